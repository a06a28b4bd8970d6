// The program's global objects and windows: created once at start-up in a
// fixed order, destroyed at the end in reverse order.
#pragma once

#include <QString>

#include <memory>

class QApplication;
class QWidget;
class TCNCFile;
class TNastaveni;
class TRetezce;
class THlaseni;
class TJazykXML;
class THlavniForm;
class TASCIIForm;
class TJazykForm;
class TNastaveniForm;
class TOAplikaciForm;
class TTypSouboruForm;
class TRegistr;
class TPrubehOkna;

// The five global service objects.
extern TCNCFile* CNCFile;
extern TNastaveni* Nastaveni;
extern TRetezce* Retezce;
extern THlaseni* Hlaseni;
extern TJazykXML* JazykXML;

// The six windows.
extern THlavniForm* HlavniForm;
extern TASCIIForm* ASCIIForm;
extern TJazykForm* JazykForm;
extern TNastaveniForm* NastaveniForm;
extern TOAplikaciForm* OAplikaciForm;
extern TTypSouboruForm* TypSouboruForm;

// The application title, caption of the general error box.
extern const QString TitulekAplikace;

class TAplikace {
public:
    // Creates the global objects, sets the title and creates the windows (the
    // main window reads the stored settings from the store).
    explicit TAplikace(std::unique_ptr<TRegistr> registr);
    ~TAplikace();
    TAplikace(const TAplikace&) = delete;
    TAplikace& operator=(const TAplikace&) = delete;

    // Shows the main window (maximised when it was closed so); its first
    // display steps follow.
    void Zobrazit();

    TRegistr& Registr() { return *registr_; }

private:
    std::unique_ptr<TRegistr> registr_;
    std::unique_ptr<TPrubehOkna> prubeh_;
};

// Shows a failure that no command caught in the general error box: error icon,
// OK, the application title as caption, the message with a full stop added
// when its last character's code is above that of the full stop.
void ZobrazitObecnouChybu(const QString& zprava);

// Runs a command; a failure it throws ends it and is shown in the general
// error box, and the application goes on.
template <typename F>
void Chranene(F&& prikaz);
void ZobrazitVyjimku();  // for the current exception, inside a catch block

template <typename F>
void Chranene(F&& prikaz) {
    try {
        prikaz();
    } catch (...) {
        ZobrazitVyjimku();
    }
}
