// Drives the real windows offscreen: every modal moment (message box, dialog,
// open dialog) is answered from a script and recorded.
#pragma once

#include "app/Aplikace.h"
#include "ui/Modalni.h"
#include "../support/DocasnaSlozka.h"

#include <QMessageBox>
#include <QString>

#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

struct TZaznamZpravy {
    QMessageBox::Icon Ikona;
    QMessageBox::StandardButtons Tlacitka;
    QString Titulek;
    QString Text;
};

class TScenar {
public:
    TScenar();
    ~TScenar();

    // Answers of the next message boxes, in order; a box without a scripted
    // answer is answered with its first button (OK or Yes).
    std::deque<QMessageBox::StandardButton> Odpovedi;
    // The next open dialogs: the file and the filter position chosen, or
    // nullopt for Cancel.
    std::deque<std::optional<Modalni::TOtevreni>> Otevreni;
    // The next save-as dialogs: the name and the filter position chosen, or
    // nullopt for Cancel.
    std::deque<std::optional<Modalni::TOtevreni>> Ulozeni;
    // The next message boxes handled by the test itself (after they are
    // recorded): operate the box and return the standard button that closed it.
    std::deque<std::function<int(QMessageBox&)>> ObsluhyZprav;
    // The next dialogs' runs: operate the dialog and return Accepted or Rejected.
    std::deque<std::function<int(QDialog&)>> Dialogy;

    std::vector<TZaznamZpravy> Zpravy;
    // What the open dialogs were shown with.
    std::vector<std::pair<QString, int>> NabidnutyFiltr;
    std::vector<QString> NabidnutySoubor;
    // What the save-as dialogs were shown with: the filter position and the name.
    std::vector<std::pair<int, QString>> NabidnutoUlozeni;
    std::vector<QString> SpusteneDialogy;  // object names
};

// One run of the application in a folder of its own: its store file, its
// working directory (where a language file would be) and its default list.
class TBehAplikace {
public:
    explicit TBehAplikace(TDocasnaSlozka& slozka, bool zobrazit = true);
    ~TBehAplikace();

    std::filesystem::path Ulozeni() const { return slozka_ / "Tarvik.reg"; }
    // Closes the main window as the user would (the closing question may come).
    bool Zavrit();

private:
    TDocasnaSlozka& slozka_;
    std::unique_ptr<TAplikace> aplikace_;
};

// Lets queued work (the first display) run.
void ZpracovatUdalosti();
