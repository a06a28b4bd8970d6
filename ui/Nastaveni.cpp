#include "Nastaveni.h"

#include "filetypes/SeznamTypu.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextEdit>
#include <QTreeWidget>

TNastaveni* Nastaveni = nullptr;

QColor BarvaOkna() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }

void TNastaveni::NastavitBarvuPrvku(QWidget* Prvek, const QColor& Barva) const {
    const bool vstup = qobject_cast<QLineEdit*>(Prvek) || qobject_cast<QComboBox*>(Prvek) ||
                       qobject_cast<QAbstractSpinBox*>(Prvek) || qobject_cast<QTextEdit*>(Prvek) ||
                       qobject_cast<QPlainTextEdit*>(Prvek);
    if (!vstup) return;
    QPalette paleta = Prvek->palette();
    if (paleta.color(QPalette::Base) == Barva) return;
    paleta.setColor(QPalette::Base, Barva);
    Prvek->setPalette(paleta);
}

void TNastaveni::KontrolaZnakuSouboru(QWidget*, QChar& Klic) const {
    switch (Klic.unicode()) {
        case u'"': case u'*': case u'/': case u':': case u'<': case u'>': case u'?': case u'\\':
        case u'|':
            Klic = QChar(u'\0');
            QApplication::beep();
            break;
        default: break;
    }
}

bool TNastaveni::PresunoutPolozku(QTreeWidget* Seznam, std::uint16_t Odkud, std::uint16_t Kam) const {
    const int pocet = Seznam->topLevelItemCount();
    if (Odkud >= pocet || Kam > pocet) return false;
    const bool prekreslovat = Seznam->updatesEnabled();
    Seznam->setUpdatesEnabled(false);
    // The list does not scroll to follow the row.
    const int svisle = Seznam->verticalScrollBar()->value();
    const int vodorovne = Seznam->horizontalScrollBar()->value();
    // The row moves whole: caption, sub-items and image index go with it.
    QTreeWidgetItem* radek = Seznam->takeTopLevelItem(Odkud);
    // The target counts the list before the source row left it.
    const int cil = Kam > Odkud ? Kam - 1 : Kam;
    Seznam->insertTopLevelItem(cil, radek);
    Seznam->setCurrentItem(radek);
    radek->setSelected(true);
    Seznam->verticalScrollBar()->setValue(svisle);
    Seznam->horizontalScrollBar()->setValue(vodorovne);
    Seznam->setUpdatesEnabled(prekreslovat);
    return true;
}

TZvyrazneniVstupu::TZvyrazneniVstupu(const TNastaveni& nastaveni, QObject* rodic)
    : QObject(rodic), nastaveni_(nastaveni) {}

void TZvyrazneniVstupu::Sledovat(QWidget* prvek) { prvek->installEventFilter(this); }

bool TZvyrazneniVstupu::eventFilter(QObject* objekt, QEvent* udalost) {
    if (udalost->type() == QEvent::FocusIn)
        nastaveni_.NastavitBarvuPrvku(static_cast<QWidget*>(objekt), BarvaZvyrazneni);
    else if (udalost->type() == QEvent::FocusOut)
        nastaveni_.NastavitBarvuPrvku(static_cast<QWidget*>(objekt), BarvaOkna());
    return false;
}

TFiltrZnakuSouboru::TFiltrZnakuSouboru(const TNastaveni& nastaveni, QObject* rodic)
    : QObject(rodic), nastaveni_(nastaveni) {}

bool TFiltrZnakuSouboru::eventFilter(QObject* objekt, QEvent* udalost) {
    if (udalost->type() != QEvent::KeyPress) return false;
    const auto* klavesa = static_cast<QKeyEvent*>(udalost);
    const QString text = klavesa->text();
    if (text.size() != 1) return false;
    QChar klic = text.front();
    nastaveni_.KontrolaZnakuSouboru(static_cast<QWidget*>(objekt), klic);
    return klic.isNull();  // a dropped key never reaches the edit
}

TBarvenRadkuListView::TBarvenRadkuListView(TBarva barva, QObject* rodic)
    : QStyledItemDelegate(rodic), barva_(std::move(barva)) {}

void TBarvenRadkuListView::initStyleOption(QStyleOptionViewItem* volba, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(volba, index);
    // Only a selected row is marked: some styles draw the keyboard cursor of
    // a list as a tinted row, which would look selected when none is.
    if (!(volba->state & QStyle::State_Selected)) volba->state &= ~QStyle::State_HasFocus;
    const QColor barva = barva_ ? barva_(index.row()) : QColor();
    if (barva.isValid()) volba->backgroundBrush = barva;
}

void ZachovatViditelnyVyber(QAbstractItemView* seznam) {
    QPalette paleta = seznam->palette();
    for (const auto role : {QPalette::Highlight, QPalette::HighlightedText})
        paleta.setColor(QPalette::Inactive, role, paleta.color(QPalette::Active, role));
    seznam->setPalette(paleta);
}

void TNastaveni::ZapsatSeznam(TRegistr& Registr, const QString& Klic, const QStringList& Radky) const {
    std::vector<std::u16string> radky;
    radky.reserve(std::size_t(Radky.size()));
    for (const QString& r : Radky) radky.push_back(r.toStdU16String());
    ::ZapsatSeznam(Registr, Klic.toStdU16String(), radky);
}

void TNastaveni::NacistSeznam(TRegistr& Registr, const QString& Klic, QStringList& Radky) const {
    std::vector<std::u16string> radky;
    ::NacistSeznam(Registr, Klic.toStdU16String(), radky);
    for (const auto& r : radky) Radky << QString::fromStdU16String(r);
}
