#include "fJazyk.h"

#include "ui_fJazyk.h"

#include "lang/JazykyXML.h"

#include <QHeaderView>
#include <QItemSelectionModel>

TJazykForm* JazykForm = nullptr;

TJazykForm::TJazykForm(QWidget* rodic) : QDialog(rodic), ui(std::make_unique<::Ui::TJazykForm>()) {
    ui->setupUi(this);
    setWindowFlags(Qt::Tool | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
                   Qt::CustomizeWindowHint);
    // The size it was designed at; the layout places the controls.
    setFixedSize(409, 194);

    for (const char* vlajka : {"cz", "gb", "sk", "de", "fr", "es"})
        ilVlajky << QIcon(QStringLiteral(":/flags/%1.svg").arg(QLatin1String(vlajka)));
    QVariantList obrazky;
    for (const QIcon& i : ilVlajky) obrazky << QVariant::fromValue(i);
    ui->livJazyk->setProperty("smallImages", obrazky);

    // Every column carries the translation mark.
    ui->livJazyk->setProperty("tagSloupcu", QVariantList{-1, -1, -1, -1});
    // The version column is centred.
    ui->livJazyk->headerItem()->setTextAlignment(2, Qt::AlignCenter);
    connect(ui->livJazyk->model(), &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int od, int po) {
        for (int i = od; i <= po; ++i)
            if (QTreeWidgetItem* radek = ui->livJazyk->topLevelItem(i)) radek->setTextAlignment(2, Qt::AlignCenter);
    });
    QHeaderView* zahlavi = ui->livJazyk->header();
    zahlavi->setSectionsMovable(false);
    const int sirky[] = {70, 100, 50, 150};
    for (int i = 0; i < 4; ++i) zahlavi->resizeSection(i, sirky[i]);

    connect(ui->livJazyk->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this](const QItemSelection& vybrane, const QItemSelection& zrusene) {
                // The row that lost the selection first, then the one that got it.
                for (const QModelIndex& i : zrusene.indexes())
                    if (i.column() == 0) livJazykSelectItem(ui->livJazyk->itemFromIndex(i), false);
                for (const QModelIndex& i : vybrane.indexes())
                    if (i.column() == 0) livJazykSelectItem(ui->livJazyk->itemFromIndex(i), true);
            });
    connect(ui->btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(ui->btnStorno, &QPushButton::clicked, this, &QDialog::reject);
}

TJazykForm::~TJazykForm() = default;

QTreeWidget* TJazykForm::livJazyk() const { return ui->livJazyk; }
QPushButton* TJazykForm::btnOK() const { return ui->btnOK; }
QPushButton* TJazykForm::btnStorno() const { return ui->btnStorno; }

void TJazykForm::livJazykSelectItem(QTreeWidgetItem*, bool Vybrano) { ui->btnOK->setEnabled(Vybrano); }

int TJazykForm::ObrazekPrikazu(const QTreeWidgetItem* Radek) const {
    const int vlajka = Radek ? IndexObrazkuRadku(Radek) : -1;
    return vlajka >= 0 && vlajka < ilVlajky.size() ? 9 + vlajka : 8;
}
