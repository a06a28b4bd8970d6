// The batch tool's command line: its options as the run takes them.
#pragma once

#include "prikazy/Prikaz.h"

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
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
};

// Reads the command line (without the program's name). Throws TChybaPouziti,
// its message in the catalogue's language.
TVolby RozebratArgumenty(const std::vector<std::string>& argumenty);

// The language that --lang asks for, the last one given, read before the
// command line is (its errors are told in that language); the same value
// RozebratArgumenty gives. Never throws.
std::optional<std::string> JazykZArgumentu(const std::vector<std::string>& argumenty);
