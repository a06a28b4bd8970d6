#include "Zpravy.h"

#include "convar.h"

std::u16string CisloText(std::int64_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

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
