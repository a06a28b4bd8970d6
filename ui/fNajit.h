// The find and replace dialog (Ctrl+F, Ctrl+H): the text to find and what
// replaces it, whole words, the case of letters, only within the selection.
// It stays open beside the program (it is not modal) and keeps what was
// entered between uses; the main window finds and replaces when its buttons
// ask, and F3 and Shift+F3 find again with what it holds, open or closed.
#pragma once

#include "ui/Hledani.h"

#include <QDialog>

#include <memory>

namespace Ui {
class TNajitForm;
}

class TNajitForm : public QDialog {
    Q_OBJECT
public:
    explicit TNajitForm(QWidget* rodic = nullptr);
    ~TNajitForm() override;

    // Shows the dialog (or brings it forward) with the focus in the text to
    // find, or with nahradit in the replacement once there is a text to find;
    // hledat, unless empty, becomes the text to find.
    void Zobrazit(bool nahradit, const QString& hledat);

    TZadaniHledani Zadani() const;
    QString Nahrada() const;
    bool VeVyberu() const;
    void NastavitVeVyberu(bool veVyberu);
    // What the last search or replace came to, under the options (empty: nothing).
    void ZobrazitStav(const QString& text);
    QString Stav() const;

    // The controls, for the tests.
    ::Ui::TNajitForm& Formular() { return *ui; }

signals:
    void Hledat(bool dopredu);
    void Nahradit();
    void NahraditVse();
    // The user ticked or cleared "only within the selection".
    void VeVyberuZmeneno(bool veVyberu);

private:
    void PovolitTlacitka();
    std::unique_ptr<::Ui::TNajitForm> ui;
};

// The find dialog, one for the whole run (created and destroyed by the application).
extern TNajitForm* NajitForm;
