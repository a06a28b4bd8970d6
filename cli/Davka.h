// The batch tool: counts, introduces, renumbers or removes the block numbers
// of program files from the command line, one file or whole folders.
#pragma once

#include "engine/Odkazy.h"
#include "filetypes/SeznamTypu.h"
#include "filetypes/UlozeneNastaveni.h"
#include "platform/Kodovani.h"
#include "platform/Registr.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
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
};

// Exit codes: 0 done, 1 refused (the program's block lines do not fit the
// command; with --check or --diff also a program that would change), 2 usage
// error or a file that cannot be read or written.
int SpustitDavku(const std::vector<std::string>& argumenty, const TProstrediDavky& prostredi,
                 TVystupDavky& vystup);

// ---------------------------------------------------------------- for the folder mode

// A wrong command line: the message, then a pointer to --help; exit 2.
struct TChybaPouziti : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class TPrikaz { Pocet, Zavest, Precislovat, Odstranit, Odkazy, Typy, Napoveda };

// The command line.
struct TVolby {
    TPrikaz prikaz = TPrikaz::Napoveda;
    std::optional<std::u16string> typ;
    std::optional<std::u16string> hlavni, vedlejsi, zacatek, konec, komentar;
    // Unset: the stored setting, else the built-in default.
    std::optional<std::int32_t> prvni, prirustek, maximum;
    std::optional<bool> cislovatOdZacatku;
    bool blokZacatek = false, blokKonec = false, blokKomentar = false;
    // Unset: the stored setting, else on.
    std::optional<bool> aktualizovatOdkazy;
    bool vynutit = false;  // --force: remove also from a program with references
    std::optional<std::string> vystup;
    bool naMiste = false;
    // The programs and folders, in the order given.
    std::vector<std::string> soubory;
    bool rekurzivne = false;  // -r: the programs in folders and their subfolders
    bool vsechny = false;     // --all: every file of a folder, whatever its extension
    bool kontrola = false;    // --check: change nothing, tell what would change
    bool rozdil = false;      // --diff: as --check, and print the changes
    unsigned uloh = 0;        // -j: programs at once; 0: one per core
};

// The file type list and the numbering settings, read once for a whole run.
struct TNastaveniDavky {
    std::vector<TTypSouboru> typy;
    TUlozeneNastaveni ulozene;
};

// The file type for a program: -t, else by its name (ZvolitTypSouboru), with
// the options' fields over it. Throws TChybaPouziti for an unknown -t.
TTypSouboru ZvolitTyp(const TVolby& v, const std::vector<TTypSouboru>& typy, const std::filesystem::path& soubor);

// The numbering: the options over the stored settings, the maximum bounding
// the first number and the increment.
TUlozeneNastaveni CislovaniDavky(const TVolby& v, const TUlozeneNastaveni& ulozene);

// What became of one program.
struct TVysledekProgramu {
    // Refused: the program's block lines do not fit the command; the
    // window's message (caption, text with CR between its lines).
    bool Odmitnuto = false;
    std::u16string Titulek, Zprava;
    // count: the block lines; otherwise those of the result.
    std::int32_t Bloku = 0;
    std::uint8_t Procenta = 0;
    // The result's lines and characters, for the statistics line.
    std::size_t Radku = 0, Znaku = 0;
    // The encoding the program is written back in, and the one it was
    // written in (UTF-8 with a mark when the first cannot hold every
    // character, or when the result's first bytes in it would read back as
    // a mark: ZacatekJakoZnacka).
    TKodovani Pozadovane = TKodovani::Utf8, Pouzite = TKodovani::Utf8;
    bool ZacatekJakoZnacka = false;
    // The references to block numbers that the command found (introduce,
    // remove, refs: all of them) or updated (renumber: the edits and those it
    // could not update); none when it did not look for them.
    std::optional<TVysledekOdkazu> Odkazy;
};

// Why a result is written in another encoding than its own:
// "UTF-8 cannot hold every character" and the like.
std::string DuvodJinehoKodovani(const TVysledekProgramu& r);

// What the batch tool tells of the references after a command, as the
// window tells it (caption, text with CR between its lines); none when the
// command found no references.
std::optional<std::pair<std::u16string, std::u16string>> HlaseniOdkazu(TPrikaz prikaz, const TVysledekProgramu& v);

// Where the result of one program goes.
struct TCilProgramu {
    // Called once before the result's first byte (never for count or a
    // refusal), when the program has been read once and its file is closed:
    // the output opens. When the result is written over the program's own
    // file in place (not replaced, TZapisSouboru::NaMiste), it returns the
    // file's old bytes, which the program is then read from.
    std::function<std::optional<std::string_view>()> Otevrit;
    // The result's bytes, piece by piece.
    std::function<void(std::string_view)> Zapsat;
};

// Opens the writing of a program's result into soubor for TCilProgramu:
// the old bytes when soubor is the program's own file written in place.
std::optional<std::string_view> OtevritZapis(std::optional<class TZapisSouboru>& zapis,
                                             const std::filesystem::path& soubor,
                                             const std::filesystem::path& program);

// Reads one program ("-": standard input) and counts its block lines (and
// for refs finds its references), or runs the command on them and hands the
// result's bytes to cil in pieces. vynutit: remove also from a program with
// references to its block numbers (else refused).
// The program is never whole in memory: a first pass decides its encoding
// and counts its lines and block lines, a second one rewrites it piece by
// piece (the bytes of a pipe are kept for it). Failures throw TChyba;
// nothing is written by the function itself. Programs may be processed on
// several threads at once: nothing is shared but what the arguments hold.
TVysledekProgramu ZpracovatProgram(TPrikaz prikaz, const std::filesystem::path& soubor, const TTypSouboru& typ,
                                   const TUlozeneNastaveni& cislovani, const TCilProgramu& cil,
                                   bool vynutit = false);

// The window's message as one line of text: "<caption>: <text>", its lines
// joined by a blank.
std::string HlaseniNaRadek(const std::u16string& titulek, const std::u16string& text);

// A failure's message as the error box shows it, a full stop added.
std::string TextChyby(const std::u16string& zprava);

// Text for a terminal: control characters written as \x1b or \u009b.
std::string BezRidicichZnaku(std::string_view utf8);

// The folder mode (several programs, folders, --check or --diff): every
// program on its own, -j at once, one line per program on standard error in
// the order given. Exit code as SpustitDavku.
int ZpracovatSlozky(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup);
