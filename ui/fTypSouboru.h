// The file type editor: the seven fields of one file type in edit boxes. The
// settings dialog fills them before showing it (NastavitTyp) and reads them
// after OK (Typ); the editor keeps its values and its three code labels
// between uses.
//
// The highlight of the focused edit (PrvekEnter, PrvekExit) is wired through
// TZvyrazneniVstupu and the extension's key filter (ZnakyPouzeProSoubor)
// through TFiltrZnakuSouboru. A TAB, CR or LF that reaches an edit (pasted or
// set from outside) is dropped at once, so no field ever holds a character the
// stored file type line cannot carry.
//
// Translation marks: a component takes part when its dynamic property "tag"
// is -1 (set in fTypSouboru.ui): the window, the seven labels and edits, the
// three "..." buttons and OK and Storno; not the three code labels,
// lblOddelovacPripony and Bevel1.
#pragma once

#include "filetypes/TypSouboru.h"

#include <QDialog>

#include <array>
#include <memory>

namespace Ui {
class TTypSouboruForm;
}
class QLabel;
class QLineEdit;

class TTypSouboruForm : public QDialog {
    Q_OBJECT
public:
    explicit TTypSouboruForm(QWidget* rodic = nullptr);
    ~TTypSouboruForm() override;

    // The edits show the file type; the extension without its leading full
    // stop (an extension of one character or none gives an empty field).
    void NastavitTyp(const TTypSouboru& typ);
    // The file type the edits hold, each value as entered; the extension
    // with a full stop in front.
    TTypSouboru Typ() const;

    // The controls, for the tests.
    ::Ui::TTypSouboruForm& Formular() { return *ui; }

    // "(Dec: 78, Hex: 4E)" for N.
    static QString KodZnaku(char16_t znak);

public slots:
    void sbtHlavniZnakClick();
    void sbtVedlejsiZnakClick();
    void sbtKomentarClick();

private:
    // The seven edits in the order of the file type's fields.
    std::array<QLineEdit*, TTypSouboru::PocetPoli> Pole() const;
    // Picks a character for the edit in the character picker; after OK the
    // edit holds it and the label shows its codes.
    void VybratZnak(QLineEdit* edit, QLabel* kod);
    void OdstranitOddelovace(QLineEdit* edit);

    std::unique_ptr<::Ui::TTypSouboruForm> ui;
};

// The file type editor, one for the whole run (created and destroyed by the application).
extern TTypSouboruForm* TypSouboruForm;
