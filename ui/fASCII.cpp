#include "fASCII.h"

#include "ui_fASCII.h"

#include "ui/Nastaveni.h"
#include "ui/Modalni.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QShowEvent>

#include <algorithm>

TASCIIForm* ASCIIForm = nullptr;

namespace {

// The picker is laid out for MS Sans Serif 8 pt. Where the system has none,
// the one of Debian's fonts-wine stands in; failing that, Tahoma, the font of
// the other windows.
QFont PismoTabulky() {
    const QString pismo = QStringLiteral("MS Sans Serif");
    if (!QFontDatabase::families().contains(pismo)) {
        const QString soubor = QStringLiteral("/usr/share/wine/fonts/ms_sans_serif.ttf");
        if (QFileInfo::exists(soubor)) QFontDatabase::addApplicationFont(soubor);
    }
    QFont vysledek(QFontDatabase::families().contains(pismo) ? pismo : QStringLiteral("Tahoma"));
    vysledek.setPointSize(8);
    return vysledek;
}

}  // namespace

TASCIIForm::TASCIIForm(QWidget* rodic)
    : QDialog(rodic, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<::Ui::TASCIIForm>()) {
    setFont(PismoTabulky());
    ui->setupUi(this);
    ui->livASCII->setProperty("tagSloupcu", QVariantList{-1, 0, 0});
    for (int i = 0; i < 3; ++i) ui->livASCII->header()->resizeSection(i, 50);
    // A picker widened for its title gives the room to the last column.
    ui->livASCII->header()->setStretchLastSection(true);
    ui->livASCII->setItemDelegate(
        new TBarvenRadkuListView([this](int radek) { return BarvenRadkuListView(radek); }, ui->livASCII));
    ZachovatViditelnyVyber(ui->livASCII);

    connect(ui->livASCII->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& vybrano, const QItemSelection& zruseno) {
                // The row that lost the selection comes first, so that Znak ends
                // with the newly selected row's character.
                for (const QModelIndex& i : zruseno.indexes())
                    if (i.column() == 0) livASCIISelectItem(i.row());
                for (const QModelIndex& i : vybrano.indexes())
                    if (i.column() == 0) livASCIISelectItem(i.row());
            });
    ui->livASCII->viewport()->installEventFilter(this);
    connect(ui->btnOK, &QPushButton::clicked, this, &TASCIIForm::btnOKClick);
    connect(ui->btnStorno, &QPushButton::clicked, this, &QDialog::reject);

    FormCreate();
}

TASCIIForm::~TASCIIForm() = default;

void TASCIIForm::FormCreate() {
    // One row per printable code, built once: the character, its code in
    // decimal and in hexadecimal (two upper-case digits).
    QList<QTreeWidgetItem*> radky;
    for (int kod = PrvniZnak; kod <= PosledniZnak; ++kod) {
        auto* radek = new QTreeWidgetItem;
        radek->setText(0, QString(QChar(char16_t(kod))));
        radek->setText(1, QString::number(kod));
        radek->setText(2, QStringLiteral("%1").arg(kod, 2, 16, QLatin1Char('0')).toUpper());
        radky << radek;
    }
    ui->livASCII->addTopLevelItems(radky);
}

std::optional<char16_t> TASCIIForm::Vybrat(char16_t znak) {
    if (znak != 0) Znak = znak;
    if (Modalni::Dialog(*this) != QDialog::Accepted || Znak == 0) return std::nullopt;
    return Znak;
}

void TASCIIForm::changeEvent(QEvent* udalost) {
    QDialog::changeEvent(udalost);
    if (udalost->type() == QEvent::WindowTitleChange) PrizpusobitSirku();
}

void TASCIIForm::PrizpusobitSirku() {
    // Title bars write in a bold font of the window manager's, often a wider
    // face than the picker's own (a quarter wider is allowed for); beside the
    // title they hold the icon and up to three buttons.
    QFont pismo = QApplication::font();
    pismo.setBold(true);
    constexpr int Vlastni = 172, MistoTlacitek = 110;
    const int sirka =
        std::max(Vlastni, QFontMetrics(pismo).horizontalAdvance(windowTitle()) * 5 / 4 + MistoTlacitek);
    setMinimumWidth(sirka);
    setMaximumWidth(sirka);
    resize(sirka, height());
}

void TASCIIForm::showEvent(QShowEvent* udalost) {
    QDialog::showEvent(udalost);
    // Each time the picker is opened (not when the system merely shows it again).
    if (!udalost->spontaneous()) FormShow();
}

void TASCIIForm::FormShow() {
    // The row of exactly Znak (n finds n, not N); without one the list keeps
    // the selection it had when the picker last closed.
    for (int i = 0; i < ui->livASCII->topLevelItemCount(); ++i) {
        QTreeWidgetItem* radek = ui->livASCII->topLevelItem(i);
        if (Znak != 0 && radek->text(0) == QString(QChar(Znak))) {
            ui->livASCII->setCurrentItem(radek);
            radek->setSelected(true);
            ui->livASCII->scrollToItem(radek);
            break;
        }
    }
    ui->livASCII->setFocus();
}

void TASCIIForm::livASCIISelectItem(int radek) {
    const QTreeWidgetItem* polozka = ui->livASCII->topLevelItem(radek);
    if (polozka && !polozka->text(0).isEmpty()) Znak = polozka->text(0).front().unicode();
}

bool TASCIIForm::eventFilter(QObject* objekt, QEvent* udalost) {
    if (objekt == ui->livASCII->viewport() && udalost->type() == QEvent::MouseButtonDblClick) livASCIIDblClick();
    return QDialog::eventFilter(objekt, udalost);
}

void TASCIIForm::livASCIIDblClick() {
    const QList<QTreeWidgetItem*> vybrane = ui->livASCII->selectedItems();
    if (vybrane.isEmpty()) return;
    livASCIISelectItem(ui->livASCII->indexOfTopLevelItem(vybrane.front()));
    btnOKClick();
}

void TASCIIForm::btnOKClick() {
    // Nothing was ever picked: no character to hand back.
    if (Znak == 0)
        reject();
    else
        accept();
}

QColor TASCIIForm::BarvenRadkuListView(int radek) const {
    if (!Barvit) return {};
    return radek % 2 == 0 ? BarvaRadku : BarvaOkna();
}
