// Files in messages: the path as the user sees it, the system's reason, and
// the failures of reading and writing a file that the reader and the writers
// throw.
#pragma once

#include "Chyba.h"

#include <filesystem>
#include <string>

// The path as the user sees it in messages.
std::u16string TextCesty(const std::filesystem::path& soubor);

// format with its one "%s" replaced by the path, the reason after it.
std::u16string ZpravaSouboru(const char* format, const std::filesystem::path& soubor, const std::u16string& duvod);

// The system's text for an error code (errno; GetLastError on Windows).
#ifdef _WIN32
std::u16string DuvodSystemu(unsigned long kod);
#else
std::u16string DuvodSystemu(int kod);
#endif

// Throw TChyba "Cannot open file "<path>". <reason>" and
// "Cannot create file "<path>". <reason>".
[[noreturn]] void ChybaCteniSouboru(const std::filesystem::path& soubor, std::u16string duvod);
[[noreturn]] void ChybaZapisuSouboru(const std::filesystem::path& soubor, std::u16string duvod);
