#include "UlozeneNastaveni.h"

#include "platform/Registr.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <type_traits>
#include <variant>

namespace {

using T = TUlozeneNastaveni;

// One stored value. The field's type is the value's type: a string is a
// REG_SZ, a number a REG_DWORD, a flag a REG_DWORD holding 1 or 0.
struct THodnota {
    std::u16string_view Nazev;
    std::variant<std::u16string T::*, std::int32_t T::*, bool T::*> Pole;
    std::u16string_view VychoziText{};  // a string's default
    std::int32_t Vychozi = 0;           // a number's default; a flag's as 1 or 0
    std::int32_t Min = std::numeric_limits<std::int32_t>::min();  // a number's bounds
    std::int32_t Max = std::numeric_limits<std::int32_t>::max();
    bool T::* Vylucuje = nullptr;  // the flag that this one clears when it is read as set
    bool Jazykova = false;         // part of the language choice: stored only once one is made
};

// The stored values in the order of the store.
const THodnota Hodnoty[] = {
    {.Nazev = u"Jazyk", .Pole = &T::Jazyk, .VychoziText = u"CZ", .Jazykova = true},
    {.Nazev = u"IndexObrazku", .Pole = &T::IndexObrazku, .Vychozi = 8, .Jazykova = true},
    {.Nazev = u"PrvniBlok", .Pole = &T::PrvniBlok, .Vychozi = 5, .Min = T::NejmensiCislo, .Max = T::NejvetsiCislo},
    {.Nazev = u"Prirustek", .Pole = &T::Prirustek, .Vychozi = 5, .Min = T::NejmensiCislo, .Max = T::NejvetsiCislo},
    {.Nazev = u"MaximalniBlok", .Pole = &T::MaximalniBlok, .Vychozi = 9999, .Min = T::NejmensiCislo,
     .Max = T::NejvetsiCislo},
    {.Nazev = u"SirkaCisla", .Pole = &T::SirkaCisla, .Vychozi = 0, .Min = 0, .Max = T::NejvetsiSirka},
    {.Nazev = u"CislovatOdZacatku", .Pole = &T::CislovatOdZacatku, .Vychozi = 1, .Vylucuje = &T::PonechatMaximum},
    {.Nazev = u"PonechatMaximum", .Pole = &T::PonechatMaximum, .Vychozi = 0, .Vylucuje = &T::CislovatOdZacatku},
    {.Nazev = u"BlokPredZnakKomentare", .Pole = &T::BlokPredZnakKomentare},
    {.Nazev = u"BlokPredZnakZacatku", .Pole = &T::BlokPredZnakZacatku},
    {.Nazev = u"BlokPredZnakKonce", .Pole = &T::BlokPredZnakKonce},
    {.Nazev = u"AktualizovatOdkazy", .Pole = &T::AktualizovatOdkazy, .Vychozi = 1},
    {.Nazev = u"Posledni1", .Pole = &T::Posledni1},
    {.Nazev = u"Posledni2", .Pole = &T::Posledni2},
    {.Nazev = u"Posledni3", .Pole = &T::Posledni3},
    {.Nazev = u"Posledni4", .Pole = &T::Posledni4},
    {.Nazev = u"Posledni5", .Pole = &T::Posledni5},
    {.Nazev = u"Posledni6", .Pole = &T::Posledni6},
    {.Nazev = u"Posledni7", .Pole = &T::Posledni7},
    {.Nazev = u"Posledni8", .Pole = &T::Posledni8},
};

template <typename TPole>
constexpr bool JeText = std::is_same_v<TPole, std::u16string T::*>;
template <typename TPole>
constexpr bool JePriznak = std::is_same_v<TPole, bool T::*>;

}  // namespace

TUlozeneNastaveni::TUlozeneNastaveni() {
    for (const THodnota& h : Hodnoty) {
        std::visit(
            [&](auto pole) {
                if constexpr (JeText<decltype(pole)>)
                    this->*pole = h.VychoziText;
                else if constexpr (JePriznak<decltype(pole)>)
                    this->*pole = h.Vychozi != 0;
                else
                    this->*pole = h.Vychozi;
            },
            h.Pole);
    }
}

void TUlozeneNastaveni::Nacist(TRegistr& registr) {
    for (const THodnota& h : Hodnoty) {
        if (!registr.HodnotaExistuje(h.Nazev)) continue;
        if (const auto* text = std::get_if<std::u16string T::*>(&h.Pole); text && *text == &T::Jazyk)
            JazykZvolen = true;
        std::visit(
            [&](auto pole) {
                if constexpr (JeText<decltype(pole)>) {
                    this->*pole = registr.CistRetezec(h.Nazev);
                } else if constexpr (JePriznak<decltype(pole)>) {
                    this->*pole = registr.CistPriznak(h.Nazev);
                    if (this->*pole && h.Vylucuje) this->*h.Vylucuje = false;
                } else {
                    this->*pole = std::clamp(registr.CistCislo(h.Nazev), h.Min, h.Max);
                }
            },
            h.Pole);
    }
}

void TUlozeneNastaveni::Ulozit(TRegistr& registr) const {
    for (const THodnota& h : Hodnoty) {
        if (h.Jazykova && !JazykZvolen) continue;
        std::visit(
            [&](auto pole) {
                if constexpr (JeText<decltype(pole)>)
                    registr.ZapsatRetezec(h.Nazev, this->*pole);
                else if constexpr (JePriznak<decltype(pole)>)
                    registr.ZapsatPriznak(h.Nazev, this->*pole);
                else
                    registr.ZapsatCislo(h.Nazev, this->*pole);
            },
            h.Pole);
    }
}

void TUlozeneNastaveni::NastavitMeze() {
    for (const THodnota& h : Hodnoty) {
        if (const auto* pole = std::get_if<std::int32_t T::*>(&h.Pole))
            this->**pole = std::clamp(this->**pole, h.Min, h.Max);
    }
    PrvniBlok = std::min(PrvniBlok, MaximalniBlok);
    Prirustek = std::min(Prirustek, MaximalniBlok);
}

const std::array<std::u16string T::*, T::PocetPoslednich>& TUlozeneNastaveni::PolePoslednich() {
    static constexpr std::array<std::u16string T::*, PocetPoslednich> pole = {
        &T::Posledni1, &T::Posledni2, &T::Posledni3, &T::Posledni4,
        &T::Posledni5, &T::Posledni6, &T::Posledni7, &T::Posledni8};
    return pole;
}

TUlozeneNastaveni::TMeze TUlozeneNastaveni::Meze(std::int32_t T::* pole) {
    for (const THodnota& h : Hodnoty) {
        if (const auto* p = std::get_if<std::int32_t T::*>(&h.Pole); p && *p == pole) return {h.Min, h.Max};
    }
    return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
}
