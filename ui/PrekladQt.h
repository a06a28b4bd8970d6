// Qt's own texts (the buttons of the message boxes, the file dialog, the
// context menus of the edits) in the program's language.
#pragma once

#include <QString>

// Takes Qt's translation for the language code of the language file ("CZ",
// "SK", "DE", ...); a language Qt has no translation for gets Qt's English.
// The previous language's translation is dropped.
void NastavitJazykQt(const QString& KodJazyka);
