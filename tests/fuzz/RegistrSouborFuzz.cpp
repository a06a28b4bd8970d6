// Any bytes as the settings file. What reads must be written back so that it
// reads the same: keys, value names, types and data. A file that is neither
// UTF-16 (by its mark) nor UTF-8 is damaged, never read in another encoding.
// A change to one value keeps every other value that could be read.
#include "Fuzz.h"

#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/RegistrSoubor.h"
#include "platform/TextovySoubor.h"

#include <cstdint>
#include <optional>

namespace {

// The keys and values that matter: the root without values is not written.
bool StejneStromy(const TRegistrSoubor::TStrom& a, const TRegistrSoubor::TStrom& b) {
    const auto bezPrazdnehoKorene = [](TRegistrSoubor::TStrom s) {
        if (auto it = s.find(u""); it != s.end() && it->second.Hodnoty.empty()) s.erase(it);
        return s;
    };
    const TRegistrSoubor::TStrom x = bezPrazdnehoKorene(a), y = bezPrazdnehoKorene(b);
    if (x.size() != y.size()) return false;
    for (auto i = x.begin(), j = y.begin(); i != x.end(); ++i, ++j) {
        if (i->first != j->first || i->second.Cesta != j->second.Cesta) return false;
        const auto& h = i->second.Hodnoty;
        const auto& k = j->second.Hodnoty;
        if (h.size() != k.size()) return false;
        for (std::size_t n = 0; n < h.size(); ++n)
            if (h[n].Nazev != k[n].Nazev || h[n].Typ != k[n].Typ || h[n].Data != k[n].Data) return false;
    }
    return true;
}

std::u16string Velkymi(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

std::optional<TRegistrSoubor::TStrom> Precist(std::string_view bajty, const std::filesystem::path& soubor) {
    try {
        return TRegistrSoubor::Cteni(bajty, soubor);
    } catch (const TChyba&) {
        return std::nullopt;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bajty(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path soubor = PracovniSlozka() / "Tarvik.reg";
    const std::optional<TRegistrSoubor::TStrom> strom = Precist(bajty, soubor);

    // UTF-16 by its mark, else UTF-8 (with or without its mark), or damaged.
    const TZnacka znacka = RozpoznatZnacku(bajty);
    const bool utf16 = znacka.kodovani == TKodovani::Utf16LE || znacka.kodovani == TKodovani::Utf16BE;
    if (strom && !utf16) OVERIT(JePlatneUtf8(bajty.substr(znacka.delka)));
    if (!strom) return 0;

    // Written as the store writes it, and read again.
    std::string zapsane;
    ZakodovatText(zapsane, TRegistrSoubor::Zapis(*strom), TKodovani::Utf16LE);
    const std::optional<TRegistrSoubor::TStrom> znovu = Precist(zapsane, soubor);
    OVERIT(znovu.has_value());
    OVERIT(StejneStromy(*strom, *znovu));
    // Writing what was read back gives the same file.
    std::string podruhe;
    ZakodovatText(podruhe, TRegistrSoubor::Zapis(*znovu), TKodovani::Utf16LE);
    OVERIT(podruhe == zapsane);

    // A change through the store keeps the rest.
    ZapsatSoubor(soubor, bajty);
    {
        TRegistrSoubor registr(soubor);
        OVERIT(registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik", true));
        registr.ZapsatCislo(u"PrvniBlok", 5);
    }
    const std::optional<TRegistrSoubor::TStrom> poZmene = Precist(NacistBajty(soubor), soubor);
    OVERIT(poZmene.has_value());
    for (const auto& [slozena, klic] : *strom) {
        const auto it = poZmene->find(slozena);
        OVERIT(it != poZmene->end());
        for (const auto& h : klic.Hodnoty) {
            if (slozena == u"SOFTWARE\\ORVENDAL\\TARVIK" && Velkymi(h.Nazev) == u"PRVNIBLOK") continue;
            bool nalezena = false;
            for (const auto& g : it->second.Hodnoty)
                nalezena = nalezena || (g.Nazev == h.Nazev && g.Typ == h.Typ && g.Data == h.Data);
            OVERIT(nalezena);
        }
    }
    return 0;
}
