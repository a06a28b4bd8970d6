// The application's general error box: a failure that no command caught ends
// the command, is shown, and the application goes on.
#pragma once

#include <QString>

// The application title, caption of the general error box.
extern const QString TitulekAplikace;

// Shows a failure that no command caught in the general error box: error icon,
// OK, the application title as caption, the message with a full stop added
// when its last character's code is above that of the full stop.
void ZobrazitObecnouChybu(const QString& zprava);

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
