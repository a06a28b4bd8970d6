#include "UlozeneNastaveni.h"

#include "katalog/TextyDavky.h"
#include "platform/Registr.h"

#include <algorithm>
#include <type_traits>

namespace {

using T = TUlozeneNastaveni;

template <typename TPole>
constexpr bool JeText = std::is_same_v<TPole, std::u16string T::*>;
template <typename TPole>
constexpr bool JePriznak = std::is_same_v<TPole, bool T::*>;

#define TARVIK_POPIS_NASTAVENI(pole, typ, ...) TPopisNastaveni{.Nazev = u"" #pole, .Pole = &T::pole, __VA_ARGS__},
const TPopisNastaveni Popisy[] = {TARVIK_ULOZENA_NASTAVENI(TARVIK_POPIS_NASTAVENI)};
#undef TARVIK_POPIS_NASTAVENI

}  // namespace

std::span<const TPopisNastaveni> TUlozeneNastaveni::Popisy() { return ::Popisy; }

TUlozeneNastaveni::TUlozeneNastaveni() {
    for (const TPopisNastaveni& p : Popisy()) {
        std::visit(
            [&](auto pole) {
                if constexpr (JeText<decltype(pole)>)
                    this->*pole = p.VychoziText;
                else if constexpr (JePriznak<decltype(pole)>)
                    this->*pole = p.Vychozi != 0;
                else
                    this->*pole = p.Vychozi;
            },
            p.Pole);
    }
}

void TUlozeneNastaveni::Nastavit(const TPopisNastaveni& p, std::int32_t hodnota) {
    if (const auto* cislo = std::get_if<std::int32_t T::*>(&p.Pole)) {
        this->**cislo = std::clamp(hodnota, p.Min, p.Max);
    } else if (const auto* priznak = std::get_if<bool T::*>(&p.Pole)) {
        this->**priznak = hodnota != 0;
        if (hodnota != 0 && p.Vylucuje) this->*p.Vylucuje = false;
    }
}

void TUlozeneNastaveni::Prevzit(const TPopisNastaveni& p, const TUlozeneNastaveni& z) {
    std::visit([&](auto pole) { this->*pole = z.*pole; }, p.Pole);
}

bool TUlozeneNastaveni::VolbyNastaviVse(const TPopisNastaveni& p) {
    if (!std::holds_alternative<bool T::*>(p.Pole)) return true;
    bool jedna = false, nula = false, zadna = true;
    for (const TVolbaNastaveni& v : p.Volby) {
        if (v.Dlouha.empty()) continue;
        zadna = false;
        (v.Hodnota != 0 ? jedna : nula) = true;
    }
    // The other of a pair clears this one when its switch sets it.
    if (const TPopisNastaveni* druhy = p.Vylucuje ? Popis(p.Vylucuje) : nullptr)
        for (const TVolbaNastaveni& v : druhy->Volby)
            if (!v.Dlouha.empty() && v.Hodnota != 0) nula = true;
    return zadna || (jedna && nula);
}

void TUlozeneNastaveni::Nacist(TRegistr& registr) {
    for (const TPopisNastaveni& p : Popisy()) {
        if (!registr.HodnotaExistuje(p.Nazev)) continue;
        if (p.Jazykova && std::holds_alternative<std::u16string T::*>(p.Pole)) JazykZvolen = true;
        std::visit(
            [&](auto pole) {
                if constexpr (JeText<decltype(pole)>)
                    this->*pole = registr.CistRetezec(p.Nazev);
                else if constexpr (JePriznak<decltype(pole)>)
                    Nastavit(p, registr.CistPriznak(p.Nazev) ? 1 : 0);
                else
                    Nastavit(p, registr.CistCislo(p.Nazev));
            },
            p.Pole);
    }
}

void TUlozeneNastaveni::Ulozit(TRegistr& registr) const {
    for (const TPopisNastaveni& p : Popisy()) {
        if (p.Jazykova && !JazykZvolen) continue;
        std::visit(
            [&](auto pole) {
                if constexpr (JeText<decltype(pole)>)
                    registr.ZapsatRetezec(p.Nazev, this->*pole);
                else if constexpr (JePriznak<decltype(pole)>)
                    registr.ZapsatPriznak(p.Nazev, this->*pole);
                else
                    registr.ZapsatCislo(p.Nazev, this->*pole);
            },
            p.Pole);
    }
}

void TUlozeneNastaveni::NastavitMeze() {
    for (const TPopisNastaveni& p : Popisy()) {
        if (const auto* pole = std::get_if<std::int32_t T::*>(&p.Pole))
            this->**pole = std::clamp(this->**pole, p.Min, p.Max);
    }
    PrvniBlok = std::min(PrvniBlok, MaximalniBlok);
    Prirustek = std::min(Prirustek, MaximalniBlok);
}

void TUlozeneNastaveni::NastavitUlohu(cnc::TZadani<char>& z) const {
    for (const TPopisNastaveni& p : Popisy()) {
        std::visit(
            [&](auto uloha) {
                if constexpr (!std::is_same_v<decltype(uloha), std::monostate>) {
                    using TCil = std::remove_reference_t<decltype(z.*uloha)>;
                    std::visit(
                        [&](auto pole) {
                            if constexpr (!JeText<decltype(pole)>) z.*uloha = static_cast<TCil>(this->*pole);
                        },
                        p.Pole);
                }
            },
            p.Uloha);
    }
}

const std::array<std::u16string T::*, T::PocetPoslednich>& TUlozeneNastaveni::PolePoslednich() {
    static constexpr std::array<std::u16string T::*, PocetPoslednich> pole = {
        &T::Posledni1, &T::Posledni2, &T::Posledni3, &T::Posledni4,
        &T::Posledni5, &T::Posledni6, &T::Posledni7, &T::Posledni8};
    return pole;
}
