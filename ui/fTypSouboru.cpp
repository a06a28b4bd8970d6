#include "fTypSouboru.h"

#include "ui_fTypSouboru.h"

#include "ui/Nastaveni.h"
#include "ui/fASCII.h"

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
}

TTypSouboru TTypSouboruForm::Typ() const {
    TTypSouboru typ;
    const auto pole = Pole();
    for (std::size_t i = 0; i < pole.size(); ++i) *typ.Pole()[i] = pole[i]->text().toStdU16String();
    typ.Pripona.insert(typ.Pripona.begin(), u'.');
    return typ;
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
