#include "Retezce.h"

#include "filetypes/TypSouboru.h"

#include <QTreeWidget>

TRetezce* Retezce = nullptr;

void TRetezce::OddelitCast(QChar Oddelovac, QString& Zbytek, QString& Cast) const {
    std::u16string zbytek = Zbytek.toStdU16String();
    std::u16string cast;
    ::OddelitCast(Oddelovac.unicode(), zbytek, cast);
    Zbytek = QString::fromStdU16String(zbytek);
    Cast = QString::fromStdU16String(cast);
}

void TRetezce::PridatRadek(QTreeWidget* Seznam, const QString& Titulek, const QStringList& Polozky,
                           int IndexObrazku) const {
    const bool prekreslovat = Seznam->updatesEnabled();
    Seznam->setUpdatesEnabled(false);
    auto* radek = new QTreeWidgetItem(Seznam);
    radek->setText(0, Titulek);
    for (int i = 0; i < Polozky.size(); ++i) radek->setText(i + 1, Polozky[i]);
    radek->setData(0, Qt::UserRole, IndexObrazku);
    Seznam->setUpdatesEnabled(prekreslovat);
}
