// The language dialog: the languages of the language file, each with its
// flag, code, name, version and author.
#pragma once

#include <QDialog>
#include <QIcon>
#include <QList>

#include <memory>

namespace Ui {
class TJazykForm;
}
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class TJazykForm : public QDialog {
    Q_OBJECT
public:
    explicit TJazykForm(QWidget* rodic = nullptr);
    ~TJazykForm() override;

    QTreeWidget* livJazyk() const;
    QPushButton* btnOK() const;
    QPushButton* btnStorno() const;

    // The flags of the languages, by the attribute index of the language
    // file: 0 Czech Republic, 1 United Kingdom, 2 Slovakia, 3 Germany,
    // 4 France, 5 Spain.
    QList<QIcon> ilVlajky;

    // The image of the language command for a language row: its flag among
    // the command's images (9 + the flag's position; image 8 is the command's
    // own), or image 8 when the language has no flag.
    int ObrazekPrikazu(const QTreeWidgetItem* Radek) const;

    // A row became selected or no longer selected: OK is available exactly
    // while a row is selected.
    void livJazykSelectItem(QTreeWidgetItem* Polozka, bool Vybrano);

private:
    std::unique_ptr<::Ui::TJazykForm> ui;
};

// The language dialog, one for the whole run (created and destroyed by the application).
extern TJazykForm* JazykForm;
