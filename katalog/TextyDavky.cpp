#include "TextyDavky.h"

#include "JazykovySoubor.h"
#include "TextyChyb.h"

#include "platform/Kodovani.h"

#include <algorithm>

namespace {

namespace vestavene {
#define TARVIK_TEXT_DAVKY(klic, text) constexpr std::u16string_view klic = text;
TARVIK_TEXTY_DAVKY(TARVIK_TEXT_DAVKY)
#undef TARVIK_TEXT_DAVKY
}  // namespace vestavene

std::string jazyk = "CZ";

bool StejneBezVelikosti(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto m = [](char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; };
        return m(x) == m(y);
    });
}

void VestaveneTexty() {
    ObnovitVestaveneTexty();
    for (const auto& p : KatalogDavky()) p.Text->assign(p.Vestaveny);
    jazyk = "CZ";
}

}  // namespace

#define TARVIK_TEXT_DAVKY(klic, text) std::u16string klic{vestavene::klic};
TARVIK_TEXTY_DAVKY(TARVIK_TEXT_DAVKY)
#undef TARVIK_TEXT_DAVKY

const std::array<TPolozkaKatalogu, PocetTextuDavky>& KatalogDavky() {
#define TARVIK_TEXT_DAVKY(klic, text) TPolozkaKatalogu{#klic, vestavene::klic, &klic},
    static const std::array<TPolozkaKatalogu, PocetTextuDavky> katalog = {TARVIK_TEXTY_DAVKY(TARVIK_TEXT_DAVKY)};
#undef TARVIK_TEXT_DAVKY
    return katalog;
}

std::string Vyplnit(std::u16string_view vzor, std::initializer_list<std::string_view> hodnoty) {
    const std::string text = DoUtf8(vzor);
    std::string v;
    v.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9') {
            const auto n = static_cast<std::size_t>(text[i + 1] - '1');
            if (n < hodnoty.size()) {
                v += *(hodnoty.begin() + n);
                ++i;
                continue;
            }
        }
        v += text[i];
    }
    return v;
}

std::string TextPoctuBloku(std::int64_t n) {
    const std::u16string* tvar = &rsDBLOKU5;
    if (StejneBezVelikosti(jazyk, "CZ") || StejneBezVelikosti(jazyk, "SK")) {
        if (n == 1) tvar = &rsDBLOK1;
        else if (n >= 2 && n <= 4) tvar = &rsDBLOKY2;
    } else if (StejneBezVelikosti(jazyk, "FR")) {
        if (n == 0 || n == 1) tvar = &rsDBLOK1;
    } else if (n == 1) {
        tvar = &rsDBLOK1;
    }
    return Vyplnit(*tvar, {std::to_string(n)});
}

std::string TextStavu(TStavProgramu stav) {
    switch (stav) {
        case TStavProgramu::Hotovo: return DoUtf8(rsDHOTOVO);
        case TStavProgramu::BezZmeny: return DoUtf8(rsDBEZZMENY);
        case TStavProgramu::ZmenilBy: return DoUtf8(rsDZMENILBY);
        case TStavProgramu::Odmitnut: return DoUtf8(rsDODMITNUT);
        case TStavProgramu::Selhal: return DoUtf8(rsDSELHAL);
        case TStavProgramu::Preskocen: return DoUtf8(rsDPRESKOCEN);
    }
    return {};
}

const std::string& JazykKatalogu() { return jazyk; }

std::vector<std::u16string> NastavitJazyk(std::string_view kod, const std::filesystem::path& soubor) {
    VestaveneTexty();
    const bool cestina = kod.empty() || StejneBezVelikosti(kod, "CZ");
    // The warnings are told in the texts then in effect: the built-in ones.
    const auto varovani = [](const std::u16string& text) { return std::vector<std::u16string>{text}; };
    if (soubor.empty()) {
        if (cestina) return {};
        return varovani(ZUtf8(Vyplnit(rsDJAZYKBEZSOUBORU, {kod})));
    }
    std::optional<TJazykovySoubor> jazyky;
    try {
        jazyky = TJazykovySoubor::Nacist(soubor);
    } catch (const TChyba& e) {
        return varovani(ZUtf8(Vyplnit(rsDJAZYKCHYBA, {DoUtf8(PrelozenaChyba(e))})));
    }
    // The code as the file spells it.
    std::string zvoleny = "CZ";
    if (!cestina) {
        const std::vector<std::string> kody = jazyky->Jazyky();
        const auto nalezeny =
            std::find_if(kody.begin(), kody.end(), [&](const std::string& k) { return StejneBezVelikosti(k, kod); });
        if (nalezeny == kody.end()) {
            std::string seznam;
            for (const std::string& k : kody) seznam += (seznam.empty() ? "" : ", ") + k;
            return varovani(ZUtf8(Vyplnit(rsDJAZYKNEZNAMY, {kod, seznam.empty() ? "-" : seznam})));
        }
        zvoleny = *nalezeny;
    } else {
        for (const std::string& k : jazyky->Jazyky()) {
            if (StejneBezVelikosti(k, "CZ")) {
                zvoleny = k;
                break;
            }
        }
    }
    try {
        const auto prelozit = [&](std::string_view sekce, std::span<const TPolozkaKatalogu> polozky) {
            PrelozitKatalog(polozky, [&](std::string_view klic) { return jazyky->Text(sekce, klic, zvoleny); });
        };
        prelozit("Obecne", Katalog());
        prelozit(SekceDavky, KatalogDavky());
    } catch (const TChyba& e) {
        VestaveneTexty();
        return varovani(ZUtf8(Vyplnit(rsDJAZYKCHYBA, {DoUtf8(PrelozenaChyba(e))})));
    }
    jazyk = zvoleny;
    return {};
}
