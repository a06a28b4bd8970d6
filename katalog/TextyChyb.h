// The failures of files told in the user's language: the window and the
// batch tool show a file's failure from its data (platform/ChybySouboru.h),
// with the catalogue's texts; the system's reason is translated where it is
// one of the common ones (no space, a read-only file system, permission
// denied, not found, a name too long, too many open files, ...), and the
// system's own text is kept for the rest.
#pragma once

#include "platform/ChybySouboru.h"

#include <exception>
#include <string>

// The system's reason for an error code.
std::u16string TextDuvodu(TKodSystemu kod);

// "<Nelze otevřít soubor | Nelze vytvořit soubor> "<path>". <reason>"; the
// reason alone for bytes in memory.
std::u16string TextChybySouboru(const TUdajeChyby& chyba);

// A failure's message for the user: a file's in the catalogue's language,
// any other TChyba's as it is.
std::u16string PrelozenaChyba(const TChyba& chyba);
