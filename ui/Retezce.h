// String operations of the file type list.
#pragma once

#include <QString>
#include <QStringList>

class QTreeWidget;

class TRetezce {
public:
    // Moves the text of Zbytek up to the first Oddelovac into Cast; Zbytek
    // keeps what follows it (without a separator Cast takes it all).
    void OddelitCast(QChar Oddelovac, QString& Zbytek, QString& Cast) const;

    // Appends a row with the caption, the sub-items in order and the image
    // index (-1: none), repainting the list once.
    void PridatRadek(QTreeWidget* Seznam, const QString& Titulek, const QStringList& Polozky,
                     int IndexObrazku) const;
};

// The string utilities, one for the whole run (created and destroyed by the application).
extern TRetezce* Retezce;
