#include "RodinyOdkazu.h"

namespace {

// Short names are ASCII: compared without regard to the case of their letters.
bool StejneBezVelikosti(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    const auto velke = [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; };
    for (std::size_t i = 0; i < a.size(); ++i)
        if (velke(a[i]) != velke(b[i])) return false;
    return true;
}

}  // namespace

std::string ZapsatDruhy(TDruhyOdkazu druhy, std::string_view oddelovac) {
    if (druhy.Prazdne()) return "-";
    std::string s;
    for (const TPopisRodiny& r : RodinyOdkazu) {
        if (!druhy.Ma(r.Rodina)) continue;
        if (!s.empty()) s += oddelovac;
        s += r.Zkratka;
    }
    return s;
}

std::optional<TDruhyOdkazu> PrecistDruhy(std::string_view text) {
    TDruhyOdkazu druhy;
    bool znamy = false;
    const auto oddelovac = [](char c) { return c == ' ' || c == '\t' || c == ','; };
    for (std::size_t i = 0; i < text.size();) {
        if (oddelovac(text[i])) {
            ++i;
            continue;
        }
        std::size_t k = i;
        while (k < text.size() && !oddelovac(text[k])) ++k;
        const std::string_view slovo = text.substr(i, k - i);
        i = k;
        if (slovo == "-") {
            znamy = true;
            continue;
        }
        for (const TPopisRodiny& r : RodinyOdkazu)
            if (StejneBezVelikosti(slovo, r.Zkratka)) {
                druhy.Pridat(r.Rodina);
                znamy = true;
            }
    }
    if (!znamy) return std::nullopt;
    return druhy;
}

