#include "SeznamTypu.h"

#include "platform/Chyba.h"

#include <string>

namespace {

std::u16string CisloHodnoty(std::size_t i) {
    const std::string s = std::to_string(i);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

void ZapsatSeznam(TRegistr& registr, std::u16string_view cesta, const std::vector<std::u16string>& radky) {
    registr.SmazatKlic(cesta);
    if (!registr.OtevritKlic(cesta, true)) return;
    for (std::size_t i = 0; i < radky.size(); ++i) registr.ZapsatRetezec(CisloHodnoty(i), radky[i]);
    registr.ZavritKlic();
}

void NacistSeznam(TRegistr& registr, std::u16string_view cesta, std::vector<std::u16string>& radky) {
    if (!registr.OtevritKlic(cesta, true)) return;
    const std::optional<std::uint32_t> pocet = registr.PocetHodnot();
    if (!pocet) {
        registr.ZavritKlic();
        return;
    }
    radky.reserve(radky.size() + *pocet);
    for (std::uint32_t i = 0; i < *pocet; ++i) {
        const std::u16string nazev = CisloHodnoty(i);
        switch (registr.TypHodnoty(nazev)) {
            case TTypHodnoty::Retezec:
            case TTypHodnoty::RozsirenyRetezec: radky.push_back(registr.CistRetezec(nazev)); break;
            default: radky.emplace_back(); break;
        }
    }
    registr.ZavritKlic();
}

TNacteneTypy NacistTypyZeSouboru(const std::filesystem::path& souborTypu) {
    TNacteneTypy v;
    std::error_code ec;
    if (!std::filesystem::exists(souborTypu, ec)) {
        v.ChybiSoubor = true;
        return v;
    }
    v.Typy = NacistSouborTypu(souborTypu);
    return v;
}

TNacteneTypy NacistTypySouboru(TRegistr& registr, bool nacistZeSouboru,
                               const std::filesystem::path& souborTypu, std::u16string_view klic) {
    if (nacistZeSouboru) return NacistTypyZeSouboru(souborTypu);
    std::vector<std::u16string> radky;
    try {
        // A missing key is an empty list; it is created when the list is saved.
        if (registr.KlicExistuje(klic)) NacistSeznam(registr, klic, radky);
    } catch (const TChyba& e) {
        // A damaged store: the default list, so that the user keeps working
        // with the usual types. The damaged file is kept aside when the list
        // is saved.
        TNacteneTypy v = NacistTypyZeSouboru(souborTypu);
        v.ChybaUloziste = e.Zprava();
        return v;
    }
    TNacteneTypy v;
    v.Typy = TypyZRadku(radky);
    return v;
}

void UlozitTypySouboru(TRegistr& registr, const std::vector<TTypSouboru>& typy, std::u16string_view klic) {
    std::vector<std::u16string> radky;
    radky.reserve(typy.size());
    for (const auto& t : typy) radky.push_back(SestavitRadek(t));
    ZapsatSeznam(registr, klic, radky);
}
