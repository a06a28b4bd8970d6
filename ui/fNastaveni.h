// The settings dialog: the file type list, whose rows are the list itself
// (caption Nazev, sub-items Pripona, HlavniZnak, VedlejsiZnak, Zacatek, Konec,
// Komentar; the families of references a type names travel with its row, in
// the caption's data, and are shown by the editor). Adding and editing go through the file type editor; every change
// takes effect in the list at once, whichever way the dialog then closes. The
// other windows reach the list as file types (TypNaRadku, Typy), never by its
// columns.
//
// Translation marks: a component takes part when its dynamic property "tag"
// is -1 (set in fNastaveni.ui). The columns of livSoubory carry their marks in
// the list's dynamic property "tagSloupcu", a QVariantList with one int per
// column (-1 = translated); here all seven columns are marked.
#pragma once

#include "filetypes/TypSouboru.h"

#include <QDialog>

#include <memory>
#include <optional>
#include <vector>

namespace Ui {
class TNastaveniForm;
}
class QTreeWidget;
class QTreeWidgetItem;

class TNastaveniForm : public QDialog {
    Q_OBJECT
public:
    explicit TNastaveniForm(QWidget* rodic = nullptr);
    ~TNastaveniForm() override;

    // The file type list, in list order.
    int PocetTypu() const;
    // The file type of a row counted from 0; none past the list.
    std::optional<TTypSouboru> TypNaRadku(int radek) const;
    std::vector<TTypSouboru> Typy() const;
    // The list becomes these file types.
    void NastavitTypy(const std::vector<TTypSouboru>& typy);

    // The controls, for the tests.
    ::Ui::TNastaveniForm& Formular() { return *ui; }
    QTreeWidget* livSoubory() const;

    // The column widths of livSoubory; the last column also takes whatever
    // width the list has left, so that the row stripes reach its right edge.
    // A column whose (translated) caption is wider grows to show it.
    static constexpr int SirkySloupcu[] = {130, 70, 50, 60, 60, 60, 65};

public slots:
    void btnPridatClick();
    void btnUpravitClick();
    void btnSmazatClick();
    void sbtNahoruClick();
    void sbtDoluClick();

protected:
    void showEvent(QShowEvent* udalost) override;

private:
    // A row and its file type: the row caption is the first field, the
    // sub-items are the other six in their order, the caption's data the
    // families of references.
    static TTypSouboru TypRadku(const QTreeWidgetItem& radek);
    static void ZapsatTyp(QTreeWidgetItem& radek, const TTypSouboru& typ);
    void PridatTyp(const TTypSouboru& typ);

    // The background of the row at a position: every other row pale yellow.
    QColor BarvenRadkuListView(int radek) const;
    QTreeWidgetItem* VybranyRadek() const;
    void ZobrazitNevybrano() const;

    std::unique_ptr<::Ui::TNastaveniForm> ui;
};

// The settings dialog, one for the whole run (created and destroyed by the application).
extern TNastaveniForm* NastaveniForm;
