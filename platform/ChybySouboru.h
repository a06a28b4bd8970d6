// The failures of reading and writing a file, as data: what was being done,
// the path, why (the system's error code, or one of the reasons the file
// layer knows itself) and, for a file written in place, what became of its
// old bytes. The window and the batch tool tell them in the user's language
// (katalog/TextyChyb.h); the English text that TChyba carries is for logs
// and tests, and nothing parses it.
#pragma once

#include "Chyba.h"

#include <cstdint>
#include <filesystem>
#include <string>

// The system's error code: errno, on Windows GetLastError.
#ifdef _WIN32
using TKodSystemu = unsigned long;
#else
using TKodSystemu = int;
#endif

// What was being done: reading ("Cannot open file") or writing ("Cannot
// create file").
enum class TCinnostSouboru : std::uint8_t { Cteni, Zapis };

// Why it failed.
enum class TProcChyby : std::uint8_t {
    Systemova,        // the system's error code says why
    Slozka,           // the system's error code, met in the file's folder (Slozka)
    ZmenenPriCteni,   // another program changed it while it was being read
    ZmenenOdCteni,    // another program changed it since it was read: it is left as it is
    NeniText,         // it holds a NUL character: no text program
    NeniBeznySoubor,  // a pipe, a device or a socket where a file is needed
    DlouhyRadek,      // a line longer than Cislo MiB
    Utf16Lichy,       // UTF-16 of an odd number of bytes
    Utf16Nahradnik,   // a lone surrogate (the unit in Cislo) in line Radek
    NelzeZnovu,       // it cannot be read a second time (a pipe)
    PrilisVelky,      // larger than Cislo bytes, which is all that is read of it
};

// A file written in place whose writing failed: its old bytes were written
// back, or writing them back failed too (KodZpet says why).
enum class TStaryObsah : std::uint8_t { Nedotcen, ZapsanZpet, NezapsanZpet };

struct TUdajeChyby {
    TCinnostSouboru Cinnost = TCinnostSouboru::Cteni;
    std::filesystem::path Cesta;  // as the user named it; empty for bytes in memory
    TProcChyby Proc = TProcChyby::Systemova;
    TKodSystemu Kod = 0;           // Systemova, Slozka
    std::filesystem::path Slozka;  // Slozka
    std::uint64_t Cislo = 0, Radek = 0;
    TStaryObsah StaryObsah = TStaryObsah::Nedotcen;
    TKodSystemu KodZpet = 0;
};

// A file's failure. Its message (Zprava, what) is the English text of
// AnglickyText.
class TChybaSouboru : public TChyba {
public:
    explicit TChybaSouboru(TUdajeChyby udaje);
    const TUdajeChyby& Udaje() const noexcept { return udaje_; }

private:
    TUdajeChyby udaje_;
};

// The second reading of a file is not what the first read (ZmenenPriCteni).
class TZmenaSouboru : public TChybaSouboru {
public:
    using TChybaSouboru::TChybaSouboru;
};

// The bytes are no text program: they hold a NUL character, as executables,
// images and archives do (NeniText).
class TNeniTextovyProgram : public TChybaSouboru {
public:
    using TChybaSouboru::TChybaSouboru;
};

// A writer given the fingerprint of what was read found another file, or the
// file changed, where it was to replace or write it (ZmenenOdCteni): nothing
// was written.
class TZmenenoOdCteni : public TChybaSouboru {
public:
    using TChybaSouboru::TChybaSouboru;
};

// Throws the failure, as the type its reason has.
[[noreturn]] void Vyhodit(const TUdajeChyby& udaje);
// Throws the system's failure (TProcChyby::Systemova) of reading or writing soubor.
[[noreturn]] void ChybaSystemu(TCinnostSouboru cinnost, const std::filesystem::path& soubor, TKodSystemu kod);

// The English text: "Cannot open file "<path>". <reason>" (reading) or
// "Cannot create file "<path>". <reason>" (writing), the reason alone for
// bytes in memory; the reason of a folder "Folder "<folder>": <the
// system's>", then for a file written in place "; the old content was
// written back" or "; writing the old content back failed as well: <the
// system's>".
std::u16string AnglickyText(const TUdajeChyby& udaje);

// The numbers an error's text names, in any language: decimal, and a UTF-16
// unit as four hexadecimal digits.
std::u16string TextCisla(std::uint64_t n);
std::u16string TextJednotky(std::uint64_t n);

// The system's reasons that the user is told in their language; any other
// is told in the system's own text (DuvodSystemu).
enum class TDruhDuvodu : std::uint8_t {
    Jiny,
    MistoNaDisku,    // no space left on the device
    JenProCteni,     // a read-only file system
    PristupOdepren,  // permission denied
    Nenalezen,       // no such file or folder
    DlouheJmeno,     // a name too long
    MnohoSouboru,    // too many open files
    JeSlozka,        // a folder where a file is needed
    PrilisVelky,     // larger than the file size limit
    Odkaz,           // a symbolic link where none is followed (or a loop of links)
};
TDruhDuvodu DruhDuvodu(TKodSystemu kod);

// The path as the user sees it in messages.
std::u16string TextCesty(const std::filesystem::path& soubor);

// The system's text for an error code.
std::u16string DuvodSystemu(TKodSystemu kod);
