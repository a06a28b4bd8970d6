// The file type editor: the seven fields of one file type in edit boxes, and
// the families of references to block numbers its control reads as check
// boxes (their names from the message catalogue, NazevRodiny, set each time
// the editor shows). The settings dialog fills them before showing it
// (NastavitTyp) and reads them after OK (Typ); the editor keeps its values
// and its three code labels between uses.
//
// The check boxes come from the list of families (engine/RodinyOdkazu.h):
// one for each, named chkOdkazy and the family's identifier (chkOdkazySkoky),
// in the list's order above "Výchozí".
//
// A type that names no families of its own reads the default of its
// extension: the check boxes show that default, and follow the extension as
// it is typed, while the type still names none; "Výchozí" is then disabled.
// Once the user checks or clears one, the type names its own families (all
// five, as checked), and keeps them whatever its extension; "Výchozí" gives
// it back the default (it names none again). So a type the user never set
// keeps following the default of its extension.
//
// The highlight of the focused edit (PrvekEnter, PrvekExit) is wired through
// TZvyrazneniVstupu and the extension's key filter (ZnakyPouzeProSoubor)
// through TFiltrZnakuSouboru. A TAB, CR or LF that reaches an edit (pasted or
// set from outside) is dropped at once, so no field ever holds a character the
// stored file type line cannot carry.
//
// Translation marks: a component takes part when its dynamic property "tag"
// is -1 (set in fTypSouboru.ui): the window, the seven labels and edits, the
// three "..." buttons, the group of references and its "Výchozí" button, OK
// and Storno; not the three code labels, lblOddelovacPripony, Bevel1 and the
// check boxes of the families (catalogue texts).
#pragma once

#include "filetypes/TypSouboru.h"

#include <QDialog>

#include <array>
#include <memory>
#include <optional>

namespace Ui {
class TTypSouboruForm;
}
class QCheckBox;
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
    // with a full stop in front; the families the user chose (none when he
    // left the default).
    TTypSouboru Typ() const;

    // The controls, for the tests.
    ::Ui::TTypSouboruForm& Formular() { return *ui; }
    QCheckBox* Rodina(TRodinaOdkazu rodina) const { return rodiny_[static_cast<std::size_t>(rodina)]; }

    // "(Dec: 78, Hex: 4E)" for N.
    static QString KodZnaku(char16_t znak);

public slots:
    void sbtHlavniZnakClick();
    void sbtVedlejsiZnakClick();
    void sbtKomentarClick();
    void btnVychoziOdkazyClick();

protected:
    void showEvent(QShowEvent* udalost) override;

private:
    // The check boxes in the order of the families (TRodinaOdkazu).
    const std::array<QCheckBox*, PocetRodinOdkazu>& Rodiny() const { return rodiny_; }
    // The check boxes show the type's own families, else the default of the
    // extension in the edit.
    void ZobrazitDruhy();
    // The user checked or cleared one: the type names its own families.
    void ZmenitDruhy();
    // The seven edits in the order of the file type's fields.
    std::array<QLineEdit*, TTypSouboru::PocetPoli> Pole() const;
    // Picks a character for the edit in the character picker; after OK the
    // edit holds it and the label shows its codes.
    void VybratZnak(QLineEdit* edit, QLabel* kod);
    void OdstranitOddelovace(QLineEdit* edit);

    std::unique_ptr<::Ui::TTypSouboruForm> ui;
    std::array<QCheckBox*, PocetRodinOdkazu> rodiny_{};
    std::optional<TDruhyOdkazu> druhy_;
};

// The file type editor, one for the whole run (created and destroyed by the application).
extern TTypSouboruForm* TypSouboruForm;
