#include "fTypSouboru.h"

#include "ui_fTypSouboru.h"

#include "katalog/ZpravyOdkazu.h"
#include "ui/Nastaveni.h"
#include "ui/fASCII.h"

#include <QCheckBox>
#include <QSignalBlocker>

#include <optional>

TTypSouboruForm* TypSouboruForm = nullptr;

TTypSouboruForm::TTypSouboruForm(QWidget* rodic)
    : QDialog(rodic, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      ui(std::make_unique<::Ui::TTypSouboruForm>()) {
    ui->setupUi(this);

    auto* zvyrazneni = new TZvyrazneniVstupu(*Nastaveni, this);
    for (QLineEdit* edit : {ui->edtNazev, ui->edtPripona, ui->edtHlavniZnak, ui->edtVedlejsiZnak, ui->edtZacatek,
                            ui->edtKonec, ui->edtKomentar}) {
        zvyrazneni->Sledovat(edit);
        connect(edit, &QLineEdit::textChanged, this, [this, edit] { OdstranitOddelovace(edit); });
    }
    ui->edtPripona->installEventFilter(new TFiltrZnakuSouboru(*Nastaveni, this));

    connect(ui->sbtHlavniZnak, &QToolButton::clicked, this, &TTypSouboruForm::sbtHlavniZnakClick);
    connect(ui->sbtVedlejsiZnak, &QToolButton::clicked, this, &TTypSouboruForm::sbtVedlejsiZnakClick);
    connect(ui->sbtKomentar, &QToolButton::clicked, this, &TTypSouboruForm::sbtKomentarClick);
    // A check box for each family, in the list's order, above "Výchozí"; in
    // the tab order between the comment and "Výchozí".
    QWidget* predchozi = ui->edtKomentar;
    for (const TPopisRodiny& r : RodinyOdkazu) {
        auto* box = new QCheckBox(ui->gbxOdkazy);
        box->setObjectName(QStringLiteral("chkOdkazy") + QString::fromLatin1(r.Identifikator.data(),
                                                                             qsizetype(r.Identifikator.size())));
        const auto i = static_cast<std::size_t>(r.Rodina);
        ui->vlyOdkazy->insertWidget(static_cast<int>(i), box);
        rodiny_[i] = box;
        setTabOrder(predchozi, box);
        predchozi = box;
        connect(box, &QCheckBox::toggled, this, [this] { ZmenitDruhy(); });
    }
    setTabOrder(predchozi, ui->btnVychoziOdkazy);
    connect(ui->btnVychoziOdkazy, &QPushButton::clicked, this, &TTypSouboruForm::btnVychoziOdkazyClick);
    // The default follows the extension as it is typed.
    connect(ui->edtPripona, &QLineEdit::textChanged, this, [this] {
        if (!druhy_) ZobrazitDruhy();
    });
    ZobrazitDruhy();
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnStorno, &QPushButton::clicked, this, &QDialog::reject);
    // The first control in tab order has the focus when the editor first opens;
    // later it opens with the control that had the focus when it closed.
    ui->btnOK->setFocus();
}

TTypSouboruForm::~TTypSouboruForm() = default;

QString TTypSouboruForm::KodZnaku(char16_t znak) {
    return QStringLiteral("(Dec: %1, Hex: %2)")
        .arg(int(znak))
        .arg(QStringLiteral("%1").arg(int(znak), 2, 16, QLatin1Char('0')).toUpper());
}

void TTypSouboruForm::NastavitTyp(const TTypSouboru& typ) {
    const auto pole = Pole();
    for (std::size_t i = 0; i < pole.size(); ++i) pole[i]->setText(QString::fromStdU16String(*typ.Pole()[i]));
    ui->edtPripona->setText(QString::fromStdU16String(typ.Pripona).mid(1));
    druhy_ = typ.DruhyOdkazu;
    ZobrazitDruhy();
}

TTypSouboru TTypSouboruForm::Typ() const {
    TTypSouboru typ;
    const auto pole = Pole();
    for (std::size_t i = 0; i < pole.size(); ++i) *typ.Pole()[i] = pole[i]->text().toStdU16String();
    typ.Pripona.insert(typ.Pripona.begin(), u'.');
    typ.DruhyOdkazu = druhy_;
    return typ;
}

void TTypSouboruForm::showEvent(QShowEvent* udalost) {
    // The names in the catalogue's language, which may have changed since the editor last showed.
    const auto rodiny = Rodiny();
    for (std::size_t i = 0; i < rodiny.size(); ++i)
        rodiny[i]->setText(QString::fromStdU16String(std::u16string(NazevRodiny(static_cast<TRodinaOdkazu>(i)))));
    QDialog::showEvent(udalost);
}

void TTypSouboruForm::ZobrazitDruhy() {
    TTypSouboru typ;
    typ.Pripona = u'.' + ui->edtPripona->text().toStdU16String();
    const TDruhyOdkazu druhy = druhy_.value_or(VychoziDruhyOdkazu(typ));
    const auto rodiny = Rodiny();
    for (std::size_t i = 0; i < rodiny.size(); ++i) {
        const QSignalBlocker ticho(rodiny[i]);
        rodiny[i]->setChecked(druhy.Ma(static_cast<TRodinaOdkazu>(i)));
    }
    ui->btnVychoziOdkazy->setEnabled(druhy_.has_value());
}

void TTypSouboruForm::ZmenitDruhy() {
    TDruhyOdkazu druhy;
    const auto rodiny = Rodiny();
    for (std::size_t i = 0; i < rodiny.size(); ++i)
        if (rodiny[i]->isChecked()) druhy.Pridat(static_cast<TRodinaOdkazu>(i));
    druhy_ = druhy;
    ui->btnVychoziOdkazy->setEnabled(true);
}

void TTypSouboruForm::btnVychoziOdkazyClick() {
    druhy_.reset();
    ZobrazitDruhy();
}

std::array<QLineEdit*, TTypSouboru::PocetPoli> TTypSouboruForm::Pole() const {
    return {ui->edtNazev, ui->edtPripona, ui->edtHlavniZnak, ui->edtVedlejsiZnak, ui->edtZacatek, ui->edtKonec,
            ui->edtKomentar};
}

void TTypSouboruForm::sbtHlavniZnakClick() { VybratZnak(ui->edtHlavniZnak, ui->lblVybranyHlavniZnak); }
void TTypSouboruForm::sbtVedlejsiZnakClick() { VybratZnak(ui->edtVedlejsiZnak, ui->lblVybranyVedlejsiZnak); }
void TTypSouboruForm::sbtKomentarClick() { VybratZnak(ui->edtKomentar, ui->lblVybranyZnakKomentare); }

void TTypSouboruForm::VybratZnak(QLineEdit* edit, QLabel* kod) {
    // An empty field offers the character last selected in the picker.
    const std::optional<char16_t> znak = ASCIIForm->Vybrat(edit->text().isEmpty() ? 0 : edit->text().front().unicode());
    if (!znak) return;
    edit->setText(QString(QChar(*znak)));
    kod->setText(KodZnaku(*znak));
}

void TTypSouboruForm::OdstranitOddelovace(QLineEdit* edit) {
    const QString text = edit->text();
    const auto oddelovac = [](QChar c) { return c == u'\t' || c == u'\r' || c == u'\n'; };
    if (std::none_of(text.begin(), text.end(), oddelovac)) return;
    // The cursor stays behind the same character.
    int kurzor = edit->cursorPosition();
    QString cisty;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (oddelovac(text[i])) {
            if (i < edit->cursorPosition()) --kurzor;
        } else {
            cisty += text[i];
        }
    }
    edit->setText(cisty);
    edit->setCursorPosition(kurzor);
}
