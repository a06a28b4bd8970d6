// The About dialog: the application's name, version, a line on what it does,
// the maker's notice and web address, and the licence.
#pragma once

#include <QDialog>
#include <QUrl>

#include <functional>
#include <memory>

namespace Ui {
class TOAplikaciForm;
}
class QLabel;
class QPushButton;

class TOAplikaciForm : public QDialog {
    Q_OBJECT
public:
    explicit TOAplikaciForm(QWidget* rodic = nullptr);
    ~TOAplikaciForm() override;

    QLabel* lblPopis() const;
    QLabel* lblURL() const;
    QPushButton* btnZavrit() const;

    // Opens the address of lblURL in the default browser; the outcome is not
    // examined.
    void lblURLClick();

    // How a web address is opened: the desktop's default browser, unless a
    // test installs its own (an empty function restores the browser).
    using TOtevreniAdresy = std::function<void(const QUrl&)>;
    static void NastavitOtevreniAdresy(TOtevreniAdresy otevreni);

protected:
    bool eventFilter(QObject* objekt, QEvent* udalost) override;

private:
    std::unique_ptr<::Ui::TOAplikaciForm> ui;
};

// The About dialog, one for the whole run (created and destroyed by the application).
extern TOAplikaciForm* OAplikaciForm;
