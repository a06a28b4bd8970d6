// Input services of the windows: the highlight of the focused input, the key
// filter for file name parts, moving rows of a list; and the file type list
// in the settings store.
#pragma once

#include <QColor>
#include <QObject>
#include <QStringList>
#include <QStyledItemDelegate>

#include <cstdint>
#include <functional>

class QAbstractItemView;
class QTreeWidget;
class QWidget;
class TRegistr;

// The background of the focused input control and of every other list row.
inline const QColor BarvaZvyrazneni{255, 255, 200};

// The system window colour, the normal background of an input control.
QColor BarvaOkna();

class TNastaveni {
public:
    // Sets the background of an input control (edit, combo box, spin edit,
    // multi-line text area); any other control is left as it is.
    void NastavitBarvuPrvku(QWidget* Prvek, const QColor& Barva) const;

    // Drops a key that a file name cannot hold (" * / : < > ? \ |): the key
    // becomes the null character and the default beep sounds.
    void KontrolaZnakuSouboru(QWidget* Prvek, QChar& Klic) const;

    // Moves the row at Odkud so that it stands before the row that was at Kam
    // (counted before the move) and selects it; the list keeps its scroll
    // position. False when a position is outside the list.
    bool PresunoutPolozku(QTreeWidget* Seznam, std::uint16_t Odkud, std::uint16_t Kam) const;

    // The file type list in the store: the key is replaced by the lines as
    // values "0", "1", ...; reading appends the lines in that order.
    void ZapsatSeznam(TRegistr& Registr, const QString& Klic, const QStringList& Radky) const;
    void NacistSeznam(TRegistr& Registr, const QString& Klic, QStringList& Radky) const;
};

// Wires the highlight to an input control: pale yellow while it has the focus.
class TZvyrazneniVstupu : public QObject {
    Q_OBJECT
public:
    TZvyrazneniVstupu(const TNastaveni& nastaveni, QObject* rodic);
    void Sledovat(QWidget* prvek);

protected:
    bool eventFilter(QObject* objekt, QEvent* udalost) override;

private:
    const TNastaveni& nastaveni_;
};

// Wires KontrolaZnakuSouboru to the key presses of an edit.
class TFiltrZnakuSouboru : public QObject {
    Q_OBJECT
public:
    TFiltrZnakuSouboru(const TNastaveni& nastaveni, QObject* rodic);

protected:
    bool eventFilter(QObject* objekt, QEvent* udalost) override;

private:
    const TNastaveni& nastaveni_;
};

// Striped rows of a list view: before a row's cells are drawn, Barva gives the
// row's background by its position; an invalid colour leaves the default.
// Only the selected row is marked, never the list's current row alone.
class TBarvenRadkuListView : public QStyledItemDelegate {
    Q_OBJECT
public:
    using TBarva = std::function<QColor(int radek)>;
    TBarvenRadkuListView(TBarva barva, QObject* rodic);

protected:
    void initStyleOption(QStyleOptionViewItem* volba, const QModelIndex& index) const override;

private:
    TBarva barva_;
};

// Keeps the selected row of a list view highlighted while another control
// has the focus.
void ZachovatViditelnyVyber(QAbstractItemView* seznam);

// The settings object, one for the whole run (created and destroyed by the application).
extern TNastaveni* Nastaveni;
