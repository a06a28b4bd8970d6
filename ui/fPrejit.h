// The go-to dialog (Ctrl+G): a block number, or L and a line number. What
// the text means is the main window's to decide; the dialog keeps the text
// between uses, selected, so that the next number replaces it.
#pragma once

#include <QDialog>

#include <memory>
#include <optional>

namespace Ui {
class TPrejitForm;
}

class TPrejitForm : public QDialog {
    Q_OBJECT
public:
    explicit TPrejitForm(QWidget* rodic = nullptr);
    ~TPrejitForm() override;

    // Shows the dialog modally; the text entered, or none after Storno.
    std::optional<QString> Zadat();

    // The controls, for the tests.
    ::Ui::TPrejitForm& Formular() { return *ui; }

protected:
    void showEvent(QShowEvent* udalost) override;

private:
    std::unique_ptr<::Ui::TPrejitForm> ui;
};

// The go-to dialog, one for the whole run (created and destroyed by the application).
extern TPrejitForm* PrejitForm;
