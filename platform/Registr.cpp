#include "Registr.h"

#include "Chyba.h"

namespace ChybyHodnot {

void ChybaTypu(std::u16string_view nazev) { throw TChyba(u"Invalid data type for '" + std::u16string(nazev) + u"'"); }

void ChybaCteni(std::u16string_view nazev) { throw TChyba(u"Failed to get data for '" + std::u16string(nazev) + u"'"); }

void ChybaZapisu(std::u16string_view nazev, std::u16string_view duvod) {
    std::u16string z = u"Failed to set data for '" + std::u16string(nazev) + u"'";
    if (!duvod.empty()) z += u": " + std::u16string(duvod);
    throw TChyba(std::move(z));
}

}  // namespace ChybyHodnot
