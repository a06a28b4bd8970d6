#include "fNajit.h"

#include "ui_fNajit.h"

#include <QShortcut>

TNajitForm* NajitForm = nullptr;

TNajitForm::TNajitForm(QWidget* rodic) : QDialog(rodic), ui(std::make_unique<::Ui::TNajitForm>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    setModal(false);
    connect(ui->btnNajitDalsi, &QPushButton::clicked, this, [this] { emit Hledat(true); });
    connect(ui->btnNajitPredchozi, &QPushButton::clicked, this, [this] { emit Hledat(false); });
    connect(ui->btnNahradit, &QPushButton::clicked, this, &TNajitForm::Nahradit);
    connect(ui->btnNahraditVse, &QPushButton::clicked, this, &TNajitForm::NahraditVse);
    connect(ui->btnZavrit, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui->chkVeVyberu, &QCheckBox::clicked, this, &TNajitForm::VeVyberuZmeneno);
    // F3 and Shift+F3 find here as in the program.
    for (const bool dopredu : {true, false}) {
        auto* zkratka = new QShortcut(dopredu ? QKeySequence(Qt::Key_F3) : QKeySequence(Qt::SHIFT | Qt::Key_F3), this);
        connect(zkratka, &QShortcut::activated, this, [this, dopredu] {
            if (!ui->edtNajit->text().isEmpty()) emit Hledat(dopredu);
        });
    }
    // What the last search came to no longer holds once the search changes.
    connect(ui->edtNajit, &QLineEdit::textChanged, this, [this] {
        ZobrazitStav({});
        PovolitTlacitka();
    });
    for (QCheckBox* volba : {ui->chkCelaSlova, ui->chkVelikostPismen, ui->chkVeVyberu})
        connect(volba, &QCheckBox::toggled, this, [this] { ZobrazitStav({}); });
    PovolitTlacitka();
}

TNajitForm::~TNajitForm() = default;

void TNajitForm::PovolitTlacitka() {
    const bool text = !ui->edtNajit->text().isEmpty();
    for (QPushButton* b : {ui->btnNajitDalsi, ui->btnNajitPredchozi, ui->btnNahradit, ui->btnNahraditVse})
        b->setEnabled(text);
}

void TNajitForm::Zobrazit(bool nahradit, const QString& hledat) {
    if (!hledat.isEmpty()) ui->edtNajit->setText(hledat);
    show();
    raise();
    activateWindow();
    QLineEdit* pole = nahradit && !ui->edtNajit->text().isEmpty() ? ui->edtNahradit : ui->edtNajit;
    pole->setFocus();
    pole->selectAll();
}

TZadaniHledani TNajitForm::Zadani() const {
    return {ui->edtNajit->text(), ui->chkCelaSlova->isChecked(), ui->chkVelikostPismen->isChecked()};
}

QString TNajitForm::Nahrada() const { return ui->edtNahradit->text(); }

bool TNajitForm::VeVyberu() const { return ui->chkVeVyberu->isChecked(); }

void TNajitForm::NastavitVeVyberu(bool veVyberu) {
    const QSignalBlocker blok(ui->chkVeVyberu);
    ui->chkVeVyberu->setChecked(veVyberu);
}

void TNajitForm::ZobrazitStav(const QString& text) { ui->lblStav->setText(text); }

QString TNajitForm::Stav() const { return ui->lblStav->text(); }
