#include "Zpravy.h"

#include "convar.h"

#include <algorithm>

#include "engine/CNCEdit.h"
#include "platform/Kodovani.h"

namespace {

std::u16string CisloText(std::int64_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

std::u16string TextStatistiky(std::size_t radku, std::size_t znaku, std::int64_t bloku) {
    return rsRADKU + u": " + CisloText(static_cast<std::int64_t>(radku)) + u", " + rsZNAKU + u": " +
           CisloText(static_cast<std::int64_t>(znaku)) + u", " + rsBLOKU + u": " + CisloText(bloku) +
           u".";
}

std::size_t PocetZnaku(const std::vector<std::u16string>& radky, bool koncovyZlom) {
    if (radky.empty()) return 0;
    std::size_t n = 0;
    for (const auto& r : radky) n += r.size();
    const std::size_t zlomu = radky.size() - 1 + (koncovyZlom ? 1 : 0);
    return n + 2 * zlomu;
}

std::u16string ZpravaBlokyJsou(std::int64_t n) {
    return rsBLOKYJSOU + u": " + CisloText(n) + u"x.\r" + rsBLOKYODSTRANIT + u".";
}

std::u16string ZpravaBlokyNejsou() { return rsBLOKYNEJSOU + u".\r" + rsBLOKYNOVE + u"."; }

std::u16string ZpravaBlokyNejsouVybrane() { return rsBLOKYNEJSOUVYBRANE + u".\r" + rsBLOKYNOVE + u"."; }

std::u16string ZpravaNeniCoOdstranit() { return rsBLOKYNEJSOU; }

std::u16string ZpravaNeniSoubor() { return rsNENISOUBOR + u"."; }

TStatistiky SpocitatStatistiky(std::string_view utf8, std::u16string_view hlavniZnak,
                               std::u16string_view vedlejsiZnak) {
    TStatistiky s;
    // The block test looks at the start of a line only: both block characters
    // and the character after them (or one digit), after the leading blanks.
    const std::size_t potreba = std::max<std::size_t>(hlavniZnak.size() + vedlejsiZnak.size(), 1) + 1;
    std::u16string zacatek;
    std::size_t i = 0;
    const std::size_t n = utf8.size();
    while (i < n) {
        std::size_t konec = i;
        while (konec < n && utf8[konec] != '\n' && utf8[konec] != '\r') ++konec;
        const std::string_view radek = utf8.substr(i, konec - i);
        ++s.Radku;
        for (char c : radek) {
            const auto b = static_cast<unsigned char>(c);
            // Every byte but a continuation byte starts a character; a
            // four-byte character takes two UTF-16 units.
            s.Znaku += (b & 0xC0) != 0x80;
            s.Znaku += b >= 0xF0;
        }
        std::size_t odsazeni = 0;
        while (odsazeni < radek.size() && static_cast<unsigned char>(radek[odsazeni]) <= 32) ++odsazeni;
        zacatek.clear();
        // Enough bytes for potreba characters of at most four bytes each.
        DekodovatDo(zacatek, radek.substr(odsazeni, 4 * potreba), TKodovani::Utf8);
        if (zacatek.size() > potreba) zacatek.resize(potreba);
        s.Bloku += TCNCFile::JeBlokovyRadek(zacatek, hlavniZnak, vedlejsiZnak);
        if (konec == n) break;
        i = konec + ((utf8[konec] == '\r' && konec + 1 < n && utf8[konec + 1] == '\n') ? 2 : 1);
        s.Znaku += 2;
    }
    return s;
}
