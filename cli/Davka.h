// The batch tool: counts, introduces, renumbers or removes the block numbers
// of program files from the command line, one file or whole folders.
#pragma once

#include "Argumenty.h"
#include "prikazy/PrikazSouboru.h"
#include "filetypes/SeznamTypu.h"
#include "filetypes/UlozeneNastaveni.h"
#include "platform/Kodovani.h"
#include "platform/Registr.h"

#include <exception>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the batch tool writes: the program text (standard output) and its
// messages (standard error).
class TVystupDavky {
public:
    virtual ~TVystupDavky() = default;
    // Returns false when the bytes could not be written.
    virtual bool Program(std::string_view bytes) = 0;
    // A message, UTF-8: one line, or several with '\n' between them, without
    // the last line's end. Written at once: a report of thousands of lines
    // goes out in one piece.
    virtual void Hlaseni(std::string_view radky) = 0;
    // The messages reach a terminal, where a person reads them as they come:
    // only then does the tool tell its progress.
    virtual bool Terminal() const { return false; }
};

struct TProstrediDavky {
    // The default file type list.
    std::filesystem::path SouborTypu;
    // Opens the settings store whose file type list and numbering settings
    // the tool follows, as the window does; the tool only reads it. Empty:
    // no store (files.ftd and the built-in defaults).
    std::function<std::unique_ptr<TRegistr>()> Registr;
    // The settings key in the store; its subkey TypySouboru holds the list.
    std::u16string KlicNastaveni{::KlicNastaveni};
    // The language file; empty: none was found (the built-in Czech texts).
    std::filesystem::path SouborJazyku;
    // The language the user's locale asks for (JazykProstredi), spoken while
    // none was chosen in the window; nothing: Czech.
    std::optional<std::string> JazykZProstredi;
};

// Runs the tool in its language: --lang, else the one chosen in the window
// (stored with the settings), else the locale's, else CZ (NastavitJazyk: a
// language asked for that cannot be used is warned of, and the built-in
// Czech texts speak). Exit codes: 0 done, 1 refused (the
// program's block lines do not fit the command; with --check or --diff also
// a program that would change), 2 usage error or a file that cannot be read
// or written.
int SpustitDavku(const std::vector<std::string>& argumenty, const TProstrediDavky& prostredi,
                 TVystupDavky& vystup);

// ---------------------------------------------------------------- for the folder mode

// The file type list and the numbering settings, read once for a whole run,
// and what reading them met, told once the language is known.
struct TNastaveniDavky {
    std::vector<TTypSouboru> typy;
    TUlozeneNastaveni ulozene;
    // The store could not be read (whole): the failures, told in the run's language.
    std::vector<std::exception_ptr> chybyUloziste;
    bool nahradni = false;    // so files.ftd and the built-in defaults are used instead
    bool chybiSoubor = false;  // no file type list was found
};

// The file type for a program: -t (a type's name, else its number in the
// list that "types" prints, from 1), else by its name (ZvolitTypSouboru),
// with the options' fields over it. Throws TChybaPouziti for an unknown -t.
TTypSouboru ZvolitTyp(const TVolby& v, const std::vector<TTypSouboru>& typy, const std::filesystem::path& soubor);

// The command on one program: its file type, and the options' numbering
// over the stored settings.
TZadaniPrikazu ZadaniProgramu(const TVolby& v, const TNastaveniDavky& nastaveni, const std::filesystem::path& soubor);

// -t auto: which type the program's words chose, and by which lines (or
// that they chose none); empty for a program without -t auto.
std::string ZpravaOdhadu(const TVysledekProgramu& r);

// The window's message as one line of text: "<caption>: <text>", its lines
// joined by a blank.
std::string HlaseniNaRadek(const THlaseniPrikazu& hlaseni);

// A failure's message as the error box shows it, a full stop added.
std::string TextChyby(const std::u16string& zprava);

// Text for a terminal: control characters written as \x1b or \u009b.
std::string BezRidicichZnaku(std::string_view utf8);

// The folder mode (several programs, folders, --check or --diff): every
// program on its own, -j at once, one line per program on standard error in
// the order given. Exit code as SpustitDavku.
int ZpracovatSlozky(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup);
