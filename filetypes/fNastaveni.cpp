#include "fNastaveni.h"

#include "ui_fNastaveni.h"
#include "ui_fTypSouboru.h"

#include "katalog/convar.h"
#include "filetypes/Nastaveni.h"
#include "filetypes/Retezce.h"
#include "filetypes/fTypSouboru.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"

#include <QHeaderView>
#include <QStyle>

#include <array>
#include <limits>

TNastaveniForm* NastaveniForm = nullptr;

namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

// The editor's fields after the name, in the order of a row's sub-items 2 to 6.
std::array<QLineEdit*, 5> ZnakyAZnacky(Ui::TTypSouboruForm& editor) {
    return {editor.edtHlavniZnak, editor.edtVedlejsiZnak, editor.edtZacatek, editor.edtKonec, editor.edtKomentar};
}

// The extension field holds the stored extension without its leading full stop.
QString PriponaZEditoru(Ui::TTypSouboruForm& editor) { return u'.' + editor.edtPripona->text(); }

}  // namespace

TNastaveniForm::TNastaveniForm(QWidget* rodic)
    : QDialog(rodic, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                         Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<::Ui::TNastaveniForm>()) {
    ui->setupUi(this);

    QTreeWidget* seznam = ui->livSoubory;
    QVariantList znacky;
    for (int i = 0; i < seznam->columnCount(); ++i) {
        seznam->header()->resizeSection(i, SirkySloupcu[i]);
        znacky << -1;
    }
    seznam->setProperty("tagSloupcu", znacky);
    seznam->setItemDelegate(
        new TBarvenRadkuListView([this](int radek) { return BarvenRadkuListView(radek); }, seznam));
    ZachovatViditelnyVyber(seznam);

    connect(ui->btnPridat, &QPushButton::clicked, this, &TNastaveniForm::btnPridatClick);
    connect(ui->btnUpravit, &QPushButton::clicked, this, &TNastaveniForm::btnUpravitClick);
    connect(ui->btnSmazat, &QPushButton::clicked, this, &TNastaveniForm::btnSmazatClick);
    connect(ui->sbtNahoru, &QToolButton::clicked, this, &TNastaveniForm::sbtNahoruClick);
    connect(ui->sbtDolu, &QToolButton::clicked, this, &TNastaveniForm::sbtDoluClick);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnStorno, &QPushButton::clicked, this, &QDialog::reject);
}

TNastaveniForm::~TNastaveniForm() = default;

void TNastaveniForm::showEvent(QShowEvent* udalost) {
    QDialog::showEvent(udalost);
    // A caption that another language made longer is shown whole: its column
    // grows (and never shrinks, so a width the user chose stays).
    QHeaderView* hlavicka = ui->livSoubory->header();
    const QFontMetrics miry(hlavicka->font());
    const int okraj = 2 * hlavicka->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, hlavicka) + 2;
    for (int i = 0; i + 1 < ui->livSoubory->columnCount(); ++i) {
        const int potreba = miry.horizontalAdvance(ui->livSoubory->headerItem()->text(i)) + okraj;
        if (hlavicka->sectionSize(i) < potreba) hlavicka->resizeSection(i, potreba);
    }
}

QTreeWidget* TNastaveniForm::livSoubory() const { return ui->livSoubory; }

QColor TNastaveniForm::BarvenRadkuListView(int radek) const {
    return radek % 2 == 0 ? BarvaZvyrazneni : BarvaOkna();
}

QTreeWidgetItem* TNastaveniForm::VybranyRadek() const {
    const QList<QTreeWidgetItem*> vybrane = ui->livSoubory->selectedItems();
    return vybrane.isEmpty() ? nullptr : vybrane.front();
}

void TNastaveniForm::ZobrazitNevybrano() const {
    Hlaseni->ZobrazitHlaseni(thChyba, Q(rsNEVYBRANAPOLOZKA) + u'.', Q(rsCHYBA));
}

void TNastaveniForm::btnPridatClick() {
    // The editor offers what it held when it last closed.
    if (Modalni::Dialog(*TypSouboruForm) != QDialog::Accepted) return;
    auto& editor = TypSouboruForm->Formular();
    QStringList polozky{PriponaZEditoru(editor)};
    for (const QLineEdit* edit : ZnakyAZnacky(editor)) polozky << edit->text();
    Retezce->PridatRadek(ui->livSoubory, editor.edtNazev->text(), polozky, -1);
}

void TNastaveniForm::btnUpravitClick() {
    QTreeWidgetItem* radek = VybranyRadek();
    if (!radek) {
        ZobrazitNevybrano();
        return;
    }
    auto& editor = TypSouboruForm->Formular();
    editor.edtNazev->setText(radek->text(0));
    editor.edtPripona->setText(radek->text(1).mid(1));
    const auto pole = ZnakyAZnacky(editor);
    for (std::size_t i = 0; i < pole.size(); ++i) pole[i]->setText(radek->text(int(i) + 2));

    if (Modalni::Dialog(*TypSouboruForm) != QDialog::Accepted) return;
    radek->setText(0, editor.edtNazev->text());
    radek->setText(1, PriponaZEditoru(editor));
    for (std::size_t i = 0; i < pole.size(); ++i) radek->setText(int(i) + 2, pole[i]->text());
}

void TNastaveniForm::btnSmazatClick() {
    // The last file type stays, whether or not it is selected.
    if (ui->livSoubory->topLevelItemCount() <= 1) {
        Hlaseni->ZobrazitHlaseni(thInformace, Q(rsNELZESMAZAT) + u'!', Q(rsINFORMACE));
        return;
    }
    QTreeWidgetItem* radek = VybranyRadek();
    if (!radek) {
        ZobrazitNevybrano();
        return;
    }
    const QString otazka = Q(rsSMAZATPOLOZKU) + QStringLiteral(": \r\"") + radek->text(0) + QStringLiteral("\"?");
    if (Hlaseni->ZobrazitHlaseni(thVarovani, otazka, Q(rsVAROVANI), StylHlaseni::AnoNe) == Tlacitko::Ano)
        delete radek;
    ui->livSoubory->setFocus();
}

void TNastaveniForm::sbtNahoruClick() {
    QTreeWidgetItem* radek = VybranyRadek();
    if (!radek) {
        ZobrazitNevybrano();
        return;
    }
    const int pozice = ui->livSoubory->indexOfTopLevelItem(radek);
    if (pozice == 0) return;
    // Row positions travel as 16-bit numbers: a list longer than that does
    // not move rows past them.
    if (pozice > std::numeric_limits<std::uint16_t>::max()) return;
    Nastaveni->PresunoutPolozku(ui->livSoubory, std::uint16_t(pozice), std::uint16_t(pozice - 1));
}

void TNastaveniForm::sbtDoluClick() {
    QTreeWidgetItem* radek = VybranyRadek();
    if (!radek) {
        ZobrazitNevybrano();
        return;
    }
    const int pozice = ui->livSoubory->indexOfTopLevelItem(radek);
    if (pozice == ui->livSoubory->topLevelItemCount() - 1) return;
    if (pozice + 2 > std::numeric_limits<std::uint16_t>::max()) return;
    Nastaveni->PresunoutPolozku(ui->livSoubory, std::uint16_t(pozice), std::uint16_t(pozice + 2));
}
