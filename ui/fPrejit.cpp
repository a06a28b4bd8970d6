#include "fPrejit.h"

#include "ui_fPrejit.h"

#include "ui/Modalni.h"

#include <QShowEvent>

TPrejitForm* PrejitForm = nullptr;

TPrejitForm::TPrejitForm(QWidget* rodic) : QDialog(rodic), ui(std::make_unique<::Ui::TPrejitForm>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint);
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnStorno, &QPushButton::clicked, this, &QDialog::reject);
}

TPrejitForm::~TPrejitForm() = default;

std::optional<QString> TPrejitForm::Zadat() {
    if (Modalni::Dialog(*this) != QDialog::Accepted) return std::nullopt;
    return ui->edtCil->text();
}

void TPrejitForm::showEvent(QShowEvent* udalost) {
    QDialog::showEvent(udalost);
    if (udalost->spontaneous()) return;
    ui->edtCil->selectAll();
    ui->edtCil->setFocus();
}
