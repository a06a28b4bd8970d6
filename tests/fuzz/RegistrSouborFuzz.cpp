// Any bytes as the settings file. What reads must be written back so that it
// reads the same: keys, value names, types and data. A file that is neither
// UTF-16 (by its mark) nor UTF-8 is damaged. A damaged line costs only
// itself (or, a key line, the values under it): the same file with one more
// bad value line reads the same. A change through the store keeps every other
// value that was read, and a damaged file is kept beside first.
#include "Fuzz.h"

#include "platform/Kodovani.h"
#include "platform/RegistrSoubor.h"
#include "platform/CteniTextu.h"

#include <cstdint>

namespace {

using TStrom = TRegistrSoubor::TStrom;

bool StejneHodnoty(const TRegistrSoubor::THodnota& a, const TRegistrSoubor::THodnota& b) {
    return a.Nazev == b.Nazev && a.Typ == b.Typ && a.Data == b.Data;
}

// The keys and values that matter: the root without values is not written.
bool StejneStromy(TStrom a, TStrom b) {
    for (TStrom* s : {&a, &b})
        if (auto it = s->find(u""); it != s->end() && it->second.Hodnoty.empty()) s->erase(it);
    if (a.size() != b.size()) return false;
    for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j) {
        if (i->first != j->first || i->second.Cesta != j->second.Cesta) return false;
        const auto& h = i->second.Hodnoty;
        const auto& k = j->second.Hodnoty;
        if (h.size() != k.size()) return false;
        for (std::size_t n = 0; n < h.size(); ++n)
            if (!StejneHodnoty(h[n], k[n])) return false;
    }
    return true;
}

std::u16string Velkymi(std::u16string s) {
    for (char16_t& c : s)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return s;
}

// The bytes with a bad value line put in after one of the lines from the
// first that is not blank (the header) on, chosen by the input's size, where
// it cannot cut a value that continues on the next line. None when no line
// allows it.
std::optional<std::string> SVadnymRadkem(std::string_view b) {
    std::vector<std::size_t> mista;  // just after a line break
    bool zahlavi = false;
    std::size_t zacatek = 0;  // of the line
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (b[i] != '\r' && b[i] != '\n') continue;
        const std::string_view radek = b.substr(zacatek, i - zacatek);
        if (b[i] == '\r' && i + 1 < b.size() && b[i + 1] == '\n') ++i;
        zacatek = i + 1;
        const std::size_t z = radek.find_last_not_of(" \t");
        if (z == std::string_view::npos) {
            if (!zahlavi) continue;
        } else if (radek[z] == '\\') {
            continue;
        }
        zahlavi = true;
        mista.push_back(i + 1);
    }
    if (mista.empty()) return std::nullopt;
    const std::size_t kde = mista[b.size() % mista.size()];
    std::string v(b.substr(0, kde));
    v += "\"Prirustek\"=dword:zz\r\n";
    v += b.substr(kde);
    return v;
}

void VyprazdnitSlozku() {
    for (const auto& polozka : std::filesystem::directory_iterator(PracovniSlozka()))
        std::filesystem::remove_all(polozka.path());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bajty(reinterpret_cast<const char*>(data), size);
    const TRegistrSoubor::TCteni cteni = TRegistrSoubor::Cteni(bajty);

    // UTF-16 by its mark, else UTF-8 (with or without its mark), or damaged.
    const TZnacka znacka = RozpoznatZnacku(bajty);
    const bool utf16 = znacka.kodovani == TKodovani::Utf16LE || znacka.kodovani == TKodovani::Utf16BE;
    if (!utf16 && !JePlatneUtf8(bajty.substr(znacka.delka))) OVERIT(!cteni.Vady.empty());
    for (std::size_t i = 0; i < cteni.Vady.size(); ++i) {
        OVERIT(cteni.Vady[i].Radek >= 1 && !cteni.Vady[i].Duvod.empty());
        if (i > 0) OVERIT(cteni.Vady[i].Radek > cteni.Vady[i - 1].Radek);
    }

    // Written as the store writes it, and read again.
    std::string zapsane;
    ZakodovatText(zapsane, TRegistrSoubor::Zapis(cteni.Strom), TKodovani::Utf16LE);
    const TRegistrSoubor::TCteni znovu = TRegistrSoubor::Cteni(zapsane);
    OVERIT(znovu.Vady.empty());
    OVERIT(StejneStromy(cteni.Strom, znovu.Strom));
    std::string podruhe;
    ZakodovatText(podruhe, TRegistrSoubor::Zapis(znovu.Strom), TKodovani::Utf16LE);
    OVERIT(podruhe == zapsane);

    // One bad line more loses nothing else.
    if (!utf16) {
        if (const auto sVadou = SVadnymRadkem(bajty)) {
            const TRegistrSoubor::TCteni s = TRegistrSoubor::Cteni(*sVadou);
            OVERIT(!s.Vady.empty());
            OVERIT(StejneStromy(cteni.Strom, s.Strom));
        }
    }

    // A change through the store keeps the rest, and the damaged file.
    VyprazdnitSlozku();
    const std::filesystem::path soubor = PracovniSlozka() / "Tarvik.reg";
    ZapsatSoubor(soubor, bajty);
    std::optional<std::u16string> poskozeni;
    {
        TRegistrSoubor registr(soubor);
        OVERIT(registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik", true));
        registr.ZapsatCislo(u"PrvniBlok", 5);
        poskozeni = registr.Poskozeni();
    }
    OVERIT(poskozeni.has_value() == !cteni.Vady.empty());
    const TRegistrSoubor::TCteni poZmene = TRegistrSoubor::Cteni(NacistBajty(soubor));
    OVERIT(poZmene.Vady.empty());
    for (const auto& [slozena, klic] : cteni.Strom) {
        if (slozena.empty() && klic.Hodnoty.empty()) continue;  // not written
        const auto it = poZmene.Strom.find(slozena);
        OVERIT(it != poZmene.Strom.end());
        for (const auto& h : klic.Hodnoty) {
            if (slozena == u"SOFTWARE\\ORVENDAL\\TARVIK" && Velkymi(h.Nazev) == u"PRVNIBLOK") continue;
            bool nalezena = false;
            for (const auto& g : it->second.Hodnoty) nalezena = nalezena || StejneHodnoty(g, h);
            OVERIT(nalezena);
        }
    }
    if (!cteni.Vady.empty()) {
        bool kopie = false;
        for (const auto& polozka : std::filesystem::directory_iterator(PracovniSlozka()))
            kopie = kopie || (polozka.path().filename().string().rfind("Tarvik.reg.corrupt-", 0) == 0 &&
                              NacistBajty(polozka.path()) == bajty);
        OVERIT(kopie);
    }
    return 0;
}
