#include "fOAplikaci.h"

#include "TarvikVerze.h"
#include "ui_fOAplikaci.h"

#include <QDesktopServices>
#include <QMouseEvent>

TOAplikaciForm* OAplikaciForm = nullptr;

namespace {
TOAplikaciForm::TOtevreniAdresy otevreniAdresy;
}  // namespace

void TOAplikaciForm::NastavitOtevreniAdresy(TOtevreniAdresy otevreni) { otevreniAdresy = std::move(otevreni); }

TOAplikaciForm::TOAplikaciForm(QWidget* rodic) : QDialog(rodic), ui(std::make_unique<::Ui::TOAplikaciForm>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    setFixedSize(359, 187);

    ui->Image1->setPixmap(QIcon(QStringLiteral(":/icons/tarvik.svg")).pixmap(32, 32));

    // The name with the major version: Tahoma 27 pixels, bold, olive; the
    // whole version under it, ending where the name ends (the layout keeps
    // both as wide as the name).
    ui->lblNazev->setText(QStringLiteral("Tarvik " TARVIK_VERZE_HLAVNI));
    ui->Label1->setText(QStringLiteral(TARVIK_VERZE));
    QFont nazev = font();
    nazev.setPixelSize(27);
    nazev.setBold(true);
    ui->lblNazev->setFont(nazev);
    QPalette olivova = ui->lblNazev->palette();
    olivova.setColor(QPalette::WindowText, QColor(128, 128, 0));
    ui->lblNazev->setPalette(olivova);

    QFont popis = font();
    popis.setPixelSize(13);
    popis.setBold(true);
    ui->lblPopis->setFont(popis);

    // The address: blue, underlined, a hand over it.
    QFont adresa = ui->lblURL->font();
    adresa.setUnderline(true);
    ui->lblURL->setFont(adresa);
    QPalette modra = ui->lblURL->palette();
    modra.setColor(QPalette::WindowText, QColor(0, 0, 255));
    ui->lblURL->setPalette(modra);
    ui->lblURL->setCursor(Qt::PointingHandCursor);
    // Only the address itself is the link: the layout keeps the label as wide
    // as its text, at the right margin.
    ui->lblURL->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    ui->lblURL->installEventFilter(this);

    // Close and Escape (QDialog's own) end the dialog with Cancel.
    connect(ui->btnZavrit, &QPushButton::clicked, this, &QDialog::reject);
}

TOAplikaciForm::~TOAplikaciForm() = default;

QLabel* TOAplikaciForm::lblPopis() const { return ui->lblPopis; }
QLabel* TOAplikaciForm::lblURL() const { return ui->lblURL; }
QPushButton* TOAplikaciForm::btnZavrit() const { return ui->btnZavrit; }

bool TOAplikaciForm::eventFilter(QObject* objekt, QEvent* udalost) {
    if (objekt == ui->lblURL && udalost->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(udalost)->button() == Qt::LeftButton &&
        ui->lblURL->rect().contains(static_cast<QMouseEvent*>(udalost)->position().toPoint())) {
        lblURLClick();
        return true;
    }
    return QDialog::eventFilter(objekt, udalost);
}

void TOAplikaciForm::lblURLClick() {
    const QUrl adresa(ui->lblURL->text().trimmed());
    if (otevreniAdresy)
        otevreniAdresy(adresa);
    else
        QDesktopServices::openUrl(adresa);
}
