// The batch tool's command line: its options as the run takes them.
#pragma once

#include "prikazy/Prikaz.h"

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A wrong command line: the message, then a pointer to --help; exit 2.
struct TChybaPouziti : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// What the tool is asked to do: a command on programs, the list of file
// types, or its help.
enum class TCinnost : std::uint8_t { Program, Typy, Napoveda, Verze };

// The command line.
struct TVolby {
    TCinnost cinnost = TCinnost::Napoveda;
    TPrikazProgramu prikaz = TPrikazProgramu::Pocet;
    std::optional<std::u16string> typ;
    std::optional<std::u16string> hlavni, vedlejsi, zacatek, konec, komentar;
    // The options that set a stored setting for this run (the lines of
    // TARVIK_ULOZENA_NASTAVENI), in the order given: the later one wins.
    struct TNastaveni {
        const TPopisNastaveni* Popis;
        const TVolbaNastaveni* Volba;
        std::int32_t Hodnota;
    };
    std::vector<TNastaveni> nastaveni;
    // --references: the families of references the control reads, for this
    // run in place of the file type's.
    std::optional<TDruhyOdkazu> druhyOdkazu;
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
    std::optional<std::string> jazyk;  // --lang: the language of this run
    bool odhadnout = false;   // types --guess FILE: the type the program's words point to
    bool napoveda = false, verze = false;  // -h, --version: the help or the version, whatever else
};

// An option of the batch tool that sets no stored setting (those are the
// lines of TARVIK_ULOZENA_NASTAVENI, with their options): one line of the
// table VolbyDavky, from which the parser, the help (and so bash's
// completion, which reads it) and the refusals of an option with a command
// it does not apply to all come.
struct TVolbaDavky {
    std::string_view Kratka{};  // "-t"; empty: none
    std::string_view Dlouha{};  // "--type"; empty: none
    // The word that stands for its value in the help ("NAME"); empty: it
    // takes none (a switch).
    std::string_view Zastupce{};
    // The value may also follow the short name at once ("-j4").
    bool Pripojena = false;
    // What it does with the run's options; volba is the name given.
    void (*Nastavit)(TVolby& v, const std::string& volba, const std::string& hodnota) = nullptr;
    // Its line of the help; nullptr: the place of the stored settings' options.
    const std::u16string* Napoveda = nullptr;
    // The commands it applies to (separated by blanks), else any; and the
    // refusal with any other.
    std::string_view Prikazy{};
    const std::u16string* Jen = nullptr;
};

// The options, in the order of the help.
std::span<const TVolbaDavky> VolbyDavky();

// The command's name among the names of prikazy (separated by blanks).
bool MeziPrikazy(std::string_view prikazy, std::string_view nazev);

// Reads the command line (without the program's name). Throws TChybaPouziti,
// its message in the catalogue's language.
TVolby RozebratArgumenty(const std::vector<std::string>& argumenty);

// The language that --lang asks for, the last one given, read before the
// command line is (its errors are told in that language); the same value
// RozebratArgumenty gives. Never throws.
std::optional<std::string> JazykZArgumentu(const std::vector<std::string>& argumenty);
