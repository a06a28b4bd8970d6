// The file type list in the settings store and its loading at start-up: one
// string value per file type under the key TypySouboru, named 0, 1, 2, ...
// in list order, each holding the type's stored line.
#pragma once

#include "filetypes/TypSouboru.h"
#include "platform/Registr.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The settings key, and the subkey of a settings key that holds the file type list.
inline constexpr std::u16string_view KlicNastaveni = u"\\Software\\Orvendal\\Tarvik";
inline std::u16string KlicTypuSouboruPod(std::u16string_view klicNastaveni) {
    return std::u16string(klicNastaveni) + u"\\TypySouboru";
}
inline const std::u16string KlicTypuSouboru = KlicTypuSouboruPod(KlicNastaveni);

// Replaces the key cesta by the lines: the key is deleted with everything in
// it (a failure to delete is ignored) and created anew; when it cannot be
// created nothing is written. Line i becomes the string value named i in
// decimal. Failures of the store (TChyba) reach the caller.
void ZapsatSeznam(TRegistr& registr, std::u16string_view cesta, const std::vector<std::u16string>& radky);

// Appends the lines stored under the key cesta (never created: reading
// writes nothing):
// the values named by a decimal number, in the order of their numbers, so
// that 10 follows 9 and a number missing in between (a line lost from a
// damaged store) loses nothing after it. Other names are left out; a value
// that is not a string reads as an empty line (which holds no file type).
// When the key is missing or cannot be opened nothing is appended.
void NacistSeznam(TRegistr& registr, std::u16string_view cesta, std::vector<std::u16string>& radky);

// The file type list as the start-up loads it.
struct TNacteneTypy {
    std::vector<TTypSouboru> Typy;
    // The default list file was to be read and does not exist: the window
    // warns once (rsNEDEFSOUBORY) and the list stays empty.
    bool ChybiSoubor = false;
    // The store could not be read at all (a settings file that cannot be
    // opened): its message. The list then comes from the default list file,
    // as at a first start. (A damaged settings file is read as far as it
    // goes, and the store's Poskozeni() tells what was lost.)
    std::optional<std::u16string> ChybaUloziste;
};

// The version of the shipped list that a stored list was saved with: the
// number value VerzeTypuSouboru in the key that holds klic (the settings
// key). A list without it was stored by an earlier version: its rows that
// are still exactly as that version shipped them take the row this version
// ships in their place (PrevestDodaneTypy); the rows the user changed or
// added stay as they are. Saving the list writes the version.
inline constexpr std::u16string_view HodnotaVerzeTypu = u"VerzeTypuSouboru";
inline constexpr std::int32_t VerzeDodanychTypu = 2;

// Loads the file type list: from the default list file souborTypu when
// nacistZeSouboru (the store had no list key at start-up), else from the
// store's key klic (a list of an earlier version brought up to date). Blank lines hold no file type; a line with fewer than
// seven fields is completed with empty fields. Reading never writes the
// store. A default list file that exists but cannot be read throws TChyba
// "Cannot open file "<path>". <reason>".
TNacteneTypy NacistTypySouboru(TRegistr& registr, bool nacistZeSouboru,
                               const std::filesystem::path& souborTypu,
                               std::u16string_view klic = KlicTypuSouboru);

// Only the default list file: missing gives ChybiSoubor and an empty list.
TNacteneTypy NacistTypyZeSouboru(const std::filesystem::path& souborTypu);

// Saves the list under klic, one stored line per type in list order (an empty
// list leaves an empty key), and the version beside it. Failures of the
// store (TChyba) reach the caller.
void UlozitTypySouboru(TRegistr& registr, const std::vector<TTypSouboru>& typy,
                       std::u16string_view klic = KlicTypuSouboru);
