// The character picker: the printable ASCII characters (codes 32 to 127) with
// their decimal and hexadecimal codes, from which the file type editor takes
// its block and comment characters.
//
// Translation marks: a component takes part when its dynamic property "tag"
// is -1 (set in fASCII.ui). The columns of livASCII carry their marks in the
// list's dynamic property "tagSloupcu", a QVariantList with one int per
// column (-1 = translated): only "Znak" is marked, "Dec" and "Hex" are not.
#pragma once

#include <QColor>
#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class TASCIIForm;
}

class TASCIIForm : public QDialog {
    Q_OBJECT
public:
    explicit TASCIIForm(QWidget* rodic = nullptr);
    ~TASCIIForm() override;

    // Shows the picker modally, the row of znak selected; znak 0 offers the
    // character picked last. The character picked, or none after Storno.
    std::optional<char16_t> Vybrat(char16_t znak);

    // The picked character: changed by the selection, kept between uses.
    // Code 0 means no character: OK then closes the picker as Storno does, so
    // that no field ever receives the character with code 0.
    char16_t Znak = 0;
    bool Barvit = false;  // striped rows
    QColor BarvaRadku;    // background of the rows at even positions

    // The controls, for the tests.
    ::Ui::TASCIIForm& Formular() { return *ui; }

    static constexpr char16_t PrvniZnak = 32;
    static constexpr char16_t PosledniZnak = 127;

protected:
    void showEvent(QShowEvent* udalost) override;
    // A new title (another language) widens the picker when it would not fit.
    void changeEvent(QEvent* udalost) override;
    bool eventFilter(QObject* objekt, QEvent* udalost) override;

private:
    // The picker's width: its own, or what its title needs in the title bar.
    void PrizpusobitSirku();
    void FormCreate();
    void FormShow();
    void livASCIISelectItem(int radek);
    void livASCIIDblClick();
    void btnOKClick();
    QColor BarvenRadkuListView(int radek) const;

    std::unique_ptr<::Ui::TASCIIForm> ui;
};

// The character picker, one for the whole run (created and destroyed by the application).
extern TASCIIForm* ASCIIForm;
