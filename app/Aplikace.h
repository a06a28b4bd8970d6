// The program's global objects and windows: created once at start-up in a
// fixed order, destroyed at the end in reverse order. Each is reached through
// the global reference its own unit declares (Hlaseni, NastaveniForm, ...).
#pragma once

#include <memory>

class TCNCFile;
class TNastaveni;
class TRetezce;
class THlaseni;
class TJazykXML;
class THlavniForm;
class TRegistr;
class TPrubehOkna;

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
    // The five global service objects, in the order of their creation.
    std::unique_ptr<TCNCFile> cncFile_;
    std::unique_ptr<TNastaveni> nastaveni_;
    std::unique_ptr<TRetezce> retezce_;
    std::unique_ptr<THlaseni> hlaseni_;
    std::unique_ptr<TJazykXML> jazykXML_;
    // The main window; the five dialogs belong to it.
    std::unique_ptr<THlavniForm> hlavniForm_;
};
