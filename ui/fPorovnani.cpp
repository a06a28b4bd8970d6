#include "fPorovnani.h"

#include "ui_fPorovnani.h"

#include "ui/Porovnani.h"

#include <QApplication>
#include <QScreen>
#include <QShortcut>
#include <QShowEvent>

TPorovnaniForm* PorovnaniForm = nullptr;

TPorovnaniForm::TPorovnaniForm(QWidget* rodic) : QDialog(rodic), ui(std::make_unique<::Ui::TPorovnaniForm>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMaximizeButtonHint |
                   Qt::CustomizeWindowHint);
    setSizeGripEnabled(true);
    // Each heading over its half of the view.
    ui->hlyNadpisy->setStretch(0, 1);
    ui->hlyNadpisy->setStretch(1, 1);
    const auto zmena = [this](bool dalsi) {
        TPohledPorovnani* p = ui->pohPorovnani;
        if (!(dalsi ? p->DalsiZmena() : p->PredchoziZmena())) QApplication::beep();
        p->setFocus();
    };
    connect(ui->btnDalsi, &QPushButton::clicked, this, [zmena] { zmena(true); });
    connect(ui->btnPredchozi, &QPushButton::clicked, this, [zmena] { zmena(false); });
    connect(new QShortcut(QKeySequence(Qt::Key_F8), this), &QShortcut::activated, this, [zmena] { zmena(true); });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F8), this), &QShortcut::activated, this,
            [zmena] { zmena(false); });
    connect(ui->btnPrejit, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnZavrit, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->pohPorovnani, &TPohledPorovnani::Aktivovan, this, &QDialog::accept);
}

TPorovnaniForm::~TPorovnaniForm() = default;

void TPorovnaniForm::Nastavit(const TPorovnani* porovnani, const TEditorProgramu* puvodni,
                              const TEditorProgramu* program, std::size_t radek) {
    ui->pohPorovnani->Nastavit(porovnani, puvodni, program);
    const TPorovnani::TPocty pocty = porovnani ? porovnani->Pocty() : TPorovnani::TPocty{};
    ui->lblPocetZmenenych->setText(QString::number(pocty.Zmenenych));
    ui->lblPocetPridanych->setText(QString::number(pocty.Pridanych));
    ui->lblPocetOdebranych->setText(QString::number(pocty.Odebranych));
    if (porovnani) ui->pohPorovnani->NastavitAktualniRadek(radek);
    // The first time nearly as large as the main window, and not small
    // (before it is centred over it); after that as the user left it.
    if (porovnani && !velikostNastavena_ && parentWidget()) {
        velikostNastavena_ = true;
        QSize velikost = (parentWidget()->size() * 9 / 10).expandedTo(QSize(860, 540));
        if (const QScreen* obrazovka = parentWidget()->screen())
            velikost = velikost.boundedTo(obrazovka->availableGeometry().size() * 9 / 10);
        resize(velikost.expandedTo(minimumSizeHint()));
    }
}

std::size_t TPorovnaniForm::AktualniRadek() const { return ui->pohPorovnani->AktualniRadek(); }

void TPorovnaniForm::showEvent(QShowEvent* udalost) {
    QDialog::showEvent(udalost);
    ui->pohPorovnani->setFocus();
    // The current row where the view's height now shows it.
    ui->pohPorovnani->NastavitAktualniRadek(ui->pohPorovnani->AktualniRadek());
}
