// The application's general error box: a failure that no command caught ends
// the command, is shown, and the application goes on.
#pragma once

#include <QString>

#include <exception>
#include <string>

class TChyba;

// The application title.
extern const QString TitulekAplikace;

// Shows a failure that no command caught in the general error box: error icon,
// OK, the caption of the program's errors (rsCHYBA), the message with a full
// stop added when its last character's code is above that of the full stop.
void ZobrazitObecnouChybu(const QString& zprava);

// The message of a failure in the user's language: a file's from its data
// (what was done, the path, why), the common reasons of the system
// translated and the others in the system's words (PrelozenaChyba); a
// failure of memory by the catalogue's text; any other as it is.
QString TextChyby(const std::exception_ptr& chyba);

// "<uvod> "<path>". <reason>": a file's failure as the window tells it.
QString ZpravaOSouboru(const std::u16string& uvod, const QString& cesta, const QString& duvod);

// Shows the current exception so; only inside a catch block.
void ZobrazitVyjimku();

// Runs a command; a failure it throws ends it and is shown in the general
// error box, and the application goes on.
template <typename F>
void Chranene(F&& prikaz) {
    try {
        prikaz();
    } catch (...) {
        ZobrazitVyjimku();
    }
}
