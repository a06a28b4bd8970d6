#include "fNastaveni.h"

#include "ui_fNastaveni.h"

#include "ui/Nastaveni.h"
#include "ui/Retezce.h"
#include "ui/fTypSouboru.h"
#include "katalog/convar.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QScreen>
#include <QStyle>

#include <limits>

TNastaveniForm* NastaveniForm = nullptr;

namespace {

QString Q(const std::u16string& text) { return QString::fromStdU16String(text); }

// The families of references a row's type names, in its caption's data (the
// bits of TDruhyOdkazu); none: the type follows its default. Qt::UserRole
// holds the row's image index.
constexpr int RoleDruhuOdkazu = Qt::UserRole + 1;

std::optional<TDruhyOdkazu> DruhyRadku(const QTreeWidgetItem& radek) {
    const QVariant v = radek.data(0, RoleDruhuOdkazu);
    if (!v.isValid()) return std::nullopt;
    return TDruhyOdkazu::ZBitu(static_cast<std::uint8_t>(v.toUInt()));
}

void ZapsatDruhyRadku(QTreeWidgetItem& radek, const std::optional<TDruhyOdkazu>& druhy) {
    radek.setData(0, RoleDruhuOdkazu, druhy ? QVariant(static_cast<uint>(druhy->Bity())) : QVariant());
}

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
    // A caption that another language made longer, and a name or a marker
    // longer than its column, is shown whole: its column grows (and never
    // shrinks, so a width the user chose stays), and the dialog with it, as
    // far as the screen allows.
    QTreeWidget* seznam = ui->livSoubory;
    QHeaderView* hlavicka = seznam->header();
    const QFontMetrics miry(hlavicka->font());
    const int okraj = 2 * hlavicka->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, hlavicka) + 2;
    int sirka = 0;
    // A row's text has the focus frame's margin and a pixel on either side.
    const QFontMetrics miryRadku(seznam->font());
    const int okrajRadku = 2 * (seznam->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, seznam) + 1) + 6;
    for (int i = 0; i < seznam->columnCount(); ++i) {
        int potreba = miry.horizontalAdvance(seznam->headerItem()->text(i)) + okraj;
        for (int r = 0; r < seznam->topLevelItemCount(); ++r)
            potreba = std::max(potreba, miryRadku.horizontalAdvance(seznam->topLevelItem(r)->text(i)) + okrajRadku);
        if (hlavicka->sectionSize(i) < potreba) hlavicka->resizeSection(i, potreba);
        sirka += hlavicka->sectionSize(i);
    }
    const int chybi = sirka - seznam->viewport()->width();
    if (chybi <= 0) return;
    int nova = width() + chybi + seznam->verticalScrollBar()->sizeHint().width();
    if (const QScreen* obrazovka = screen()) nova = std::min(nova, obrazovka->availableGeometry().width() - 16);
    if (nova > width()) {
        // The list takes the width added; the dialog stays centred where it was placed.
        seznam->setMaximumWidth(seznam->width() + nova - width());
        setMaximumWidth(nova);
        move(x() - (nova - width()) / 2, y());
        resize(nova, height());
    }
}

QTreeWidget* TNastaveniForm::livSoubory() const { return ui->livSoubory; }

TTypSouboru TNastaveniForm::TypRadku(const QTreeWidgetItem& radek) {
    TTypSouboru typ;
    const auto pole = typ.Pole();
    for (std::size_t i = 0; i < pole.size(); ++i) *pole[i] = radek.text(int(i)).toStdU16String();
    typ.DruhyOdkazu = DruhyRadku(radek);
    return typ;
}

void TNastaveniForm::ZapsatTyp(QTreeWidgetItem& radek, const TTypSouboru& typ) {
    const auto pole = typ.Pole();
    for (std::size_t i = 0; i < pole.size(); ++i) radek.setText(int(i), Q(*pole[i]));
    ZapsatDruhyRadku(radek, typ.DruhyOdkazu);
}

void TNastaveniForm::PridatTyp(const TTypSouboru& typ) {
    QStringList polozky;
    for (std::size_t i = 1; i < TTypSouboru::PocetPoli; ++i) polozky << Q(*typ.Pole()[i]);
    Retezce->PridatRadek(ui->livSoubory, Q(typ.Nazev), polozky, -1);
    ZapsatDruhyRadku(*ui->livSoubory->topLevelItem(ui->livSoubory->topLevelItemCount() - 1), typ.DruhyOdkazu);
}

int TNastaveniForm::PocetTypu() const { return ui->livSoubory->topLevelItemCount(); }

std::optional<TTypSouboru> TNastaveniForm::TypNaRadku(int radek) const {
    if (radek < 0 || radek >= PocetTypu()) return std::nullopt;
    return TypRadku(*ui->livSoubory->topLevelItem(radek));
}

std::vector<TTypSouboru> TNastaveniForm::Typy() const {
    std::vector<TTypSouboru> typy;
    typy.reserve(std::size_t(PocetTypu()));
    for (int i = 0; i < PocetTypu(); ++i) typy.push_back(TypRadku(*ui->livSoubory->topLevelItem(i)));
    return typy;
}

void TNastaveniForm::NastavitTypy(const std::vector<TTypSouboru>& typy) {
    ui->livSoubory->clear();
    for (const TTypSouboru& typ : typy) PridatTyp(typ);
}

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
    PridatTyp(TypSouboruForm->Typ());
}

void TNastaveniForm::btnUpravitClick() {
    QTreeWidgetItem* radek = VybranyRadek();
    if (!radek) {
        ZobrazitNevybrano();
        return;
    }
    TypSouboruForm->NastavitTyp(TypRadku(*radek));
    if (Modalni::Dialog(*TypSouboruForm) != QDialog::Accepted) return;
    ZapsatTyp(*radek, TypSouboruForm->Typ());
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
