#include "SeznamTypu.h"

#include "platform/Chyba.h"

#include <algorithm>
#include <string>
#include <utility>

namespace {

std::u16string CisloHodnoty(std::size_t i) {
    const std::string s = std::to_string(i);
    return std::u16string(s.begin(), s.end());
}

// The position a value name stands for: a decimal number without leading
// zeros, as the list is written.
std::optional<std::uint32_t> PoziceHodnoty(std::u16string_view nazev) {
    if (nazev.empty() || nazev.size() > 9 || (nazev.size() > 1 && nazev.front() == u'0')) return std::nullopt;
    std::uint32_t i = 0;
    for (char16_t c : nazev) {
        if (c < u'0' || c > u'9') return std::nullopt;
        i = i * 10 + static_cast<std::uint32_t>(c - u'0');
    }
    return i;
}

// The key that holds the list's key: where its version is kept.
std::u16string KlicVerze(std::u16string_view klic) {
    return std::u16string(klic.substr(0, std::min(klic.rfind(u'\\'), klic.size())));
}

// The version the stored list was saved with; 0 for none (an earlier version's list).
std::int32_t VerzeSeznamu(TRegistr& registr, std::u16string_view klic) {
    const std::u16string rodic = KlicVerze(klic);
    if (rodic.empty() || !registr.OtevritKlic(rodic, false)) return 0;
    std::int32_t verze = 0;
    if (registr.TypHodnoty(HodnotaVerzeTypu) == TTypHodnoty::Cislo) verze = registr.CistCislo(HodnotaVerzeTypu);
    registr.ZavritKlic();
    return verze;
}

}  // namespace

void ZapsatSeznam(TRegistr& registr, std::u16string_view cesta, const std::vector<std::u16string>& radky) {
    registr.SmazatKlic(cesta);
    if (!registr.OtevritKlic(cesta, true)) return;
    for (std::size_t i = 0; i < radky.size(); ++i) registr.ZapsatRetezec(CisloHodnoty(i), radky[i]);
    registr.ZavritKlic();
}

void NacistSeznam(TRegistr& registr, std::u16string_view cesta, std::vector<std::u16string>& radky) {
    // A reader never creates: the key missing (another program may have
    // just deleted it) is an empty list, and the store stays as it is.
    if (!registr.OtevritKlic(cesta, false)) return;
    // The values named by a position, in the order of their numbers.
    std::vector<std::pair<std::uint32_t, std::u16string>> pozice;
    for (std::u16string& nazev : registr.NazvyHodnot())
        if (const auto i = PoziceHodnoty(nazev)) pozice.emplace_back(*i, std::move(nazev));
    std::sort(pozice.begin(), pozice.end());
    radky.reserve(radky.size() + pozice.size());
    for (const auto& [i, nazev] : pozice) {
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
        // A store that cannot be read at all: the default list, so that the
        // user keeps working with the usual types.
        TNacteneTypy v = NacistTypyZeSouboru(souborTypu);
        v.ChybaUloziste = e.Zprava();
        return v;
    }
    TNacteneTypy v;
    v.Typy = TypyZRadku(radky);
    try {
        if (VerzeSeznamu(registr, klic) < VerzeDodanychTypu) PrevestDodaneTypy(v.Typy);
    } catch (const TChyba&) {
        // A version that cannot be read: the list as it is stored.
    }
    return v;
}

void UlozitTypySouboru(TRegistr& registr, const std::vector<TTypSouboru>& typy, std::u16string_view klic) {
    std::vector<std::u16string> radky;
    radky.reserve(typy.size());
    for (const auto& t : typy) radky.push_back(SestavitRadek(t));
    ZapsatSeznam(registr, klic, radky);
    const std::u16string rodic = KlicVerze(klic);
    if (!rodic.empty() && registr.OtevritKlic(rodic, true)) {
        registr.ZapsatCislo(HodnotaVerzeTypu, VerzeDodanychTypu);
        registr.ZavritKlic();
    }
}
