// CNC file types: the record, its stored line (seven fields, each followed by
// a TAB, and an eighth for the references to block numbers when the type
// names them) and the default list file files.ftd.
//
// The eighth field lists the families of references that the type's control
// reads, by their short names separated by a blank, in this order:
// "GOTO" (GOTO, GOTOF, GOTOB, GOTOC), "M99P" (M99 P), "M97P" (M97 P),
// "G70-G73" (P and Q of the lathe profile cycles, G-code systems A and B),
// "G72-G75" (the same cycles in G-code system C); "-" when it reads none.
// Reading takes the names in either case, separated by blanks or commas,
// and leaves out a name it does not know. A line without the field (stored
// before types had it, or by a program that knows only seven fields), or
// whose field names no family it knows, keeps DruhyOdkazu empty: the type
// then reads the conservative default of VychoziDruhyOdkazu.
#pragma once

#include "engine/OdhadTypu.h"
#include "engine/Odkazy.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TTypSouboru {
    std::u16string Nazev;         // display name
    std::u16string Pripona;       // extension with its leading full stop
    std::u16string HlavniZnak;    // main block character
    std::u16string VedlejsiZnak;  // secondary block character, written before new numbers
    std::u16string Zacatek;       // program start marker
    std::u16string Konec;         // program end marker
    std::u16string Komentar;      // comment start character
    // The references to block numbers its control reads; nothing when the
    // type does not say (DruhyOdkazuTypu gives the default then).
    std::optional<TDruhyOdkazu> DruhyOdkazu = std::nullopt;

    // The seven text fields (the references are not one of them).
    static constexpr std::size_t PocetPoli = 7;
    // The fields in their binding order.
    std::array<std::u16string*, PocetPoli> Pole() {
        return {&Nazev, &Pripona, &HlavniZnak, &VedlejsiZnak, &Zacatek, &Konec, &Komentar};
    }
    std::array<const std::u16string*, PocetPoli> Pole() const {
        return {&Nazev, &Pripona, &HlavniZnak, &VedlejsiZnak, &Zacatek, &Konec, &Komentar};
    }
    bool operator==(const TTypSouboru&) const = default;
};

// Moves the text of zbytek up to the first oddelovac into cast and keeps in
// zbytek only what follows it; without a separator, cast takes all of zbytek
// and zbytek becomes empty.
void OddelitCast(char16_t oddelovac, std::u16string& zbytek, std::u16string& cast);

// Reads a stored line: the fields split at TAB, the first seven taken, the
// eighth read for the references, the rest ignored. A line with fewer than
// seven fields is completed with empty fields, so that every type has all
// seven. An empty line, or one of blanks only without any TAB, holds no file
// type: the result is empty.
std::optional<TTypSouboru> RozdelitRadek(std::u16string_view radek);

// The stored line: every field followed by one TAB, the references as the
// eighth field when the type names them. TAB, CR, LF and NUL inside a field
// (which the line and the store cannot carry) are left out.
std::u16string SestavitRadek(const TTypSouboru& typ);

// The families a type reads when it does not say, by its extension (letters
// in either case), conservatively: Sinumerik programs (.mpf, .spf) the GOTO
// family only; Heidenhain (.h, .i), RS-274/LinuxCNC (.ngc) and Mach3 (.tap)
// none, as their controls jump by labels and subroutine names; any other the
// default set of the families (TDruhyOdkazu::Dosavadni), the lathe profile
// cycles of G-code system A among them. They are safe on a mill too: a
// profile call holds P and Q and no X, Y or Z, which a mill's cycle calls
// (G73 X.. Y.. Z.. R.. Q..) always hold.
TDruhyOdkazu VychoziDruhyOdkazu(const TTypSouboru& typ);

// Brings a list stored by an earlier version up to date: a type that is
// still exactly as an earlier version shipped it (all eight fields) becomes
// the type this version ships in its place (the ISO milling type that read
// no lathe profile now reads it). Any other type stays as it is.
void PrevestDodaneTypy(std::vector<TTypSouboru>& typy);

// The name of the shipped type whose control a dialect is ("ISO
// soustružení"); empty for none.
std::u16string_view NazevTypuNareci(TNareci nareci);

// The type of the list that a guess names: the shipped type of its dialect,
// found by its name; nothing when the list has no type of that name.
std::optional<std::size_t> TypPodleOdhadu(const std::vector<TTypSouboru>& typy, TNareci nareci);

// The families a type reads: its own, else the default.
TDruhyOdkazu DruhyOdkazuTypu(const TTypSouboru& typ);

// The file types of the lines, in order, blank lines left out.
std::vector<TTypSouboru> TypyZRadku(const std::vector<std::u16string>& radky);

// The default list: files.ftd in the first data folder that holds one
// (SlozkyDat: beside the executable, the installation's share/tarvik, the XDG
// data folders); when none does, the name beside the executable.
std::filesystem::path CestaVychozichTypu();

// Reads a list file (byte-order mark, else the platform's default encoding;
// CR LF, CR or LF line ends). Throws TChyba when the file cannot be read.
std::vector<TTypSouboru> NacistSouborTypu(const std::filesystem::path& soubor);

// The first type whose extension matches the file's, letters compared without
// regard to case (ASCII letters); nullptr when none does.
const TTypSouboru* TypPodlePripony(const std::vector<TTypSouboru>& typy,
                                   const std::filesystem::path& soubor);

// The position of the type a file belongs to by its name: the first type of
// its extension (TypPodlePripony); for a name without one, the type whose
// extension is "." (the stored form of no extension). Nothing when no type
// fits.
std::optional<std::size_t> TypPodleJmena(const std::vector<TTypSouboru>& typy,
                                         const std::filesystem::path& soubor);

// The position of the type a file is opened with when nobody chose one: by
// its name, else the first of the list; nothing for an empty list. The
// window and the batch tool choose alike.
std::optional<std::size_t> ZvolitTypSouboru(const std::vector<TTypSouboru>& typy,
                                            const std::filesystem::path& soubor);
