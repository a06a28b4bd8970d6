// The comparison with the original (F7): the original and the program side
// by side, with the counts of changed, added and removed lines; F8 and
// Shift+F8 go from change to change, Enter (or Go to program) closes it with
// the current row chosen, which the main window then shows in the program.
#pragma once

#include <QDialog>

#include <cstddef>
#include <memory>

namespace Ui {
class TPorovnaniForm;
}
class TEditorProgramu;
class TPorovnani;

class TPorovnaniForm : public QDialog {
    Q_OBJECT
public:
    explicit TPorovnaniForm(QWidget* rodic = nullptr);
    ~TPorovnaniForm() override;

    // What the next showing compares (the texts must not change meanwhile),
    // the row current at first; nulls: nothing, once it is closed.
    void Nastavit(const TPorovnani* porovnani, const TEditorProgramu* puvodni, const TEditorProgramu* program,
                  std::size_t radek);
    // The row chosen (current when the dialog closed).
    std::size_t AktualniRadek() const;

    // The controls, for the tests.
    ::Ui::TPorovnaniForm& Formular() { return *ui; }

protected:
    void showEvent(QShowEvent* udalost) override;

private:
    std::unique_ptr<::Ui::TPorovnaniForm> ui;
    bool velikostNastavena_ = false;
};

// The comparison window, one for the whole run (created and destroyed by the application).
extern TPorovnaniForm* PorovnaniForm;
