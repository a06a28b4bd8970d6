// The settings that the window and the batch tool share in the settings key:
// the language, the language command's image, the numbering settings and the
// programs opened last. Each is one line of TARVIK_ULOZENA_NASTAVENI below:
// its field (also the name of its stored value), its type, its default, its
// bounds, the window's control that shows it, the field of the engine's task
// that it becomes, and the batch tool's options that set it for a run, with
// their help texts and refusals. The store, the window's controls, the
// command layer's task, the batch tool's parser, its merge with the stored
// settings and its help, and the tests all iterate these lines (the tests
// also that the manual page names each option); a new setting is a line
// here. The window's placement is the window's own and stays with it.
#pragma once

#include "engine/CNCEdit.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <variant>

class TRegistr;
struct TUlozeneNastaveni;

// An option of the batch tool that sets a stored setting for one run.
struct TVolbaNastaveni {
    std::string_view Dlouha;  // its long name without "--"
    // A number: the word that stands for its value in the help and manual
    // ("N"); empty for a switch.
    std::string_view Zastupce{};
    // A flag's value that the switch sets (1 or 0).
    std::int32_t Hodnota = 1;
    // The commands it applies to, as the batch tool names them, separated by
    // blanks.
    std::string_view Prikazy{};
    // Its line of the help (a text of the batch tool, katalog/TextyDavky.h).
    const std::u16string* Napoveda = nullptr;
    // The refusal when it is given with any other command.
    const std::u16string* Jen = nullptr;
    // A number: the refusal of a value that is no number within its bounds
    // (%1 the option, %2 the value).
    const std::u16string* Chybna = nullptr;
};

// One stored setting. A string is a REG_SZ, a number a REG_DWORD pulled into
// its bounds when it is read, a flag a REG_DWORD holding 1 or 0.
struct TPopisNastaveni {
    std::u16string_view Nazev;  // the field's name, the stored value's name
    std::variant<std::u16string TUlozeneNastaveni::*, std::int32_t TUlozeneNastaveni::*, bool TUlozeneNastaveni::*>
        Pole;
    std::u16string_view VychoziText{};  // a string's default
    std::int32_t Vychozi = 0;           // a number's default; a flag's as 1 or 0
    std::int32_t Min = std::numeric_limits<std::int32_t>::min();  // a number's bounds
    std::int32_t Max = std::numeric_limits<std::int32_t>::max();
    // A flag that is the other button of a pair: setting this one clears it.
    bool TUlozeneNastaveni::* Vylucuje = nullptr;
    // Part of the language choice: stored only once one was made.
    bool Jazykova = false;
    // The object name of the window's control that shows it (a spin box for
    // a number, a check box or radio button for a flag); empty: none.
    std::string_view Ovladac{};
    // The field of the engine's task that it becomes; none: the command layer
    // reads it itself, or no command does.
    std::variant<std::monostate, std::uint32_t cnc::TZadani<char>::*, std::uint8_t cnc::TZadani<char>::*,
                 bool cnc::TZadani<char>::*>
        Uloha{};
    // The batch tool's options for it: a number's one, or a flag's switches
    // (one that sets it, one that clears it). Which value a run starts from:
    // VolbyNastaviVse.
    std::array<TVolbaNastaveni, 2> Volby{};
};

// The stored settings, in the order of the store: X(field, type, the rest of
// its TPopisNastaveni, designated in the order of its members). The recent
// programs come last, so that a damaged one never keeps the numbering
// settings from being read.
// The commands that number: every option of the numbering applies to them.
#define TARVIK_CISLUJICI_PRIKAZY "count introduce renumber remove"

#define TARVIK_ULOZENA_NASTAVENI(X)                                                                                    \
    X(Jazyk, std::u16string, .VychoziText = u"CZ", .Jazykova = true)                                                   \
    X(IndexObrazku, std::int32_t, .Vychozi = 8, .Jazykova = true)                                                      \
    X(PrvniBlok, std::int32_t, .Vychozi = 5, .Min = 1, .Max = 9999, .Ovladac = "speZacitOd",                           \
      .Uloha = &cnc::TZadani<char>::PrvniBlok,                                                                         \
      .Volby = {{{.Dlouha = "first", .Zastupce = "N", .Prikazy = TARVIK_CISLUJICI_PRIKAZY, .Napoveda = &rsHFIRST,      \
                  .Jen = &rsDREFSCISLOVANI, .Chybna = &rsDCISLO}}})                                                    \
    X(Prirustek, std::int32_t, .Vychozi = 5, .Min = 1, .Max = 9999, .Ovladac = "spePrirustek",                         \
      .Uloha = &cnc::TZadani<char>::Prirustek,                                                                         \
      .Volby = {{{.Dlouha = "increment", .Zastupce = "N", .Prikazy = TARVIK_CISLUJICI_PRIKAZY,                         \
                  .Napoveda = &rsHINCREMENT, .Jen = &rsDREFSCISLOVANI, .Chybna = &rsDCISLO}}})                         \
    X(MaximalniBlok, std::int32_t, .Vychozi = 9999, .Min = 1, .Max = 9999, .Ovladac = "speMaximum",                    \
      .Uloha = &cnc::TZadani<char>::MaximalniBlok,                                                                     \
      .Volby = {{{.Dlouha = "max", .Zastupce = "N", .Prikazy = TARVIK_CISLUJICI_PRIKAZY, .Napoveda = &rsHMAX,          \
                  .Jen = &rsDREFSCISLOVANI, .Chybna = &rsDCISLO}}})                                                    \
    X(SirkaCisla, std::int32_t, .Vychozi = 0, .Min = 0, .Max = 9, .Ovladac = "speSirka",                               \
      .Uloha = &cnc::TZadani<char>::SirkaCisla,                                                                        \
      .Volby = {{{.Dlouha = "width", .Zastupce = "W", .Prikazy = "introduce renumber", .Napoveda = &rsHWIDTH,          \
                  .Jen = &rsDJENSIRKA, .Chybna = &rsDSIRKA}}})                                                         \
    X(CislovatOdZacatku, bool, .Vychozi = 1, .Vylucuje = &TUlozeneNastaveni::PonechatMaximum,                          \
      .Ovladac = "rbtCislovatOdZacatku", .Uloha = &cnc::TZadani<char>::CislovatOdZacatku,                              \
      .Volby = {{{.Dlouha = "restart", .Prikazy = TARVIK_CISLUJICI_PRIKAZY, .Napoveda = &rsHRESTART,                   \
                  .Jen = &rsDREFSCISLOVANI}}})                                                                         \
    X(PonechatMaximum, bool, .Vychozi = 0, .Vylucuje = &TUlozeneNastaveni::CislovatOdZacatku,                          \
      .Ovladac = "rbtPonechatMaximum",                                                                                 \
      .Volby = {{{.Dlouha = "keep-max", .Prikazy = TARVIK_CISLUJICI_PRIKAZY, .Napoveda = &rsHKEEPMAX,                  \
                  .Jen = &rsDREFSCISLOVANI}}})                                                                         \
    X(BlokPredZnakKomentare, bool, .Ovladac = "chkBlokPredKomentar",                                                   \
      .Uloha = &cnc::TZadani<char>::BlokPredZnakKomentare,                                                             \
      .Volby = {{{.Dlouha = "number-comments", .Prikazy = "introduce", .Napoveda = &rsHNUMBERCOMMENTS,                 \
                  .Jen = &rsDJENZAVEST}}})                                                                             \
    X(BlokPredZnakZacatku, bool, .Ovladac = "chkBlokPredProgram", .Uloha = &cnc::TZadani<char>::BlokPredZnakZacatku,   \
      .Volby = {{{.Dlouha = "number-start", .Prikazy = "introduce", .Napoveda = &rsHNUMBERSTART,                       \
                  .Jen = &rsDJENZAVEST}}})                                                                             \
    X(BlokPredZnakKonce, bool, .Ovladac = "chkBlokPredKoncem", .Uloha = &cnc::TZadani<char>::BlokPredZnakKonce,        \
      .Volby = {{{.Dlouha = "number-end", .Prikazy = "introduce", .Napoveda = &rsHNUMBEREND,                           \
                  .Jen = &rsDJENZAVEST}}})                                                                             \
    X(AktualizovatOdkazy, bool, .Vychozi = 1, .Ovladac = "chkAktualizovatOdkazy",                                      \
      .Volby = {{{.Dlouha = "keep-references", .Hodnota = 0, .Prikazy = "renumber",                                    \
                  .Napoveda = &rsHKEEPREFERENCES, .Jen = &rsDJENPRECISLOVAT},                                          \
                 {.Dlouha = "update-references", .Prikazy = "renumber", .Napoveda = &rsHUPDATEREFERENCES,              \
                  .Jen = &rsDJENPRECISLOVAT}}})                                                                        \
    X(Posledni1, std::u16string, )                                                                                     \
    X(Posledni2, std::u16string, )                                                                                     \
    X(Posledni3, std::u16string, )                                                                                     \
    X(Posledni4, std::u16string, )                                                                                     \
    X(Posledni5, std::u16string, )                                                                                     \
    X(Posledni6, std::u16string, )                                                                                     \
    X(Posledni7, std::u16string, )                                                                                     \
    X(Posledni8, std::u16string, )

struct TUlozeneNastaveni {
    // Each field is stored under its own name and gets its default from its
    // line (the constructor).
#define TARVIK_POLE_NASTAVENI(pole, typ, ...) typ pole{};
    TARVIK_ULOZENA_NASTAVENI(TARVIK_POLE_NASTAVENI)
#undef TARVIK_POLE_NASTAVENI
    // A language was chosen in the window: the store holds one. Until then
    // Jazyk and IndexObrazku are not stored, and the language follows the
    // user's locale (JazykUzivatele).
    bool JazykZvolen{};

    static constexpr std::size_t PocetPoslednich = 8;
    // The fields of the recent programs, the latest first.
    static const std::array<std::u16string TUlozeneNastaveni::*, PocetPoslednich>& PolePoslednich();

    // Every setting at its default.
    TUlozeneNastaveni();

    // The lines of TARVIK_ULOZENA_NASTAVENI, in their order.
    static std::span<const TPopisNastaveni> Popisy();
    // The line of a field; nullptr for a field without one (JazykZvolen).
    template <typename TTyp>
    static const TPopisNastaveni* Popis(TTyp TUlozeneNastaveni::* pole) {
        for (const TPopisNastaveni& p : Popisy())
            if (const auto* q = std::get_if<TTyp TUlozeneNastaveni::*>(&p.Pole); q && *q == pole) return &p;
        return nullptr;
    }

    // Reads the values of the key open in the store, in the store's order,
    // each one that exists (a stored language, readable or not, was chosen):
    // a number is pulled into its bounds, a flag is any number but 0, and a
    // flag that is set clears the other of its pair (Nastavit). The first
    // value that cannot be read as designed (one of the wrong type) ends the
    // reading with its TChyba: the values read before it are taken, the
    // others keep what they held.
    void Nacist(TRegistr& registr);

    // Writes every value into the key open in the store, in the store's order;
    // the language and its image only once one was chosen.
    // Failures of the store (TChyba) reach the caller.
    void Ulozit(TRegistr& registr) const;

    // Sets a number (pulled into its bounds) or a flag by its line, as a
    // stored value or an option sets it: a flag that is set clears the other
    // of its pair, one that is cleared leaves it as it is (two radio buttons,
    // of which neither may be selected).
    void Nastavit(const TPopisNastaveni& popis, std::int32_t hodnota);

    // Takes the value of a line's field from z.
    void Prevzit(const TPopisNastaveni& popis, const TUlozeneNastaveni& z);

    // The batch tool's options can give the line's field every value it has
    // (a flag: a switch each way, or the other of its pair that clears it),
    // or it has none: the stored value applies unless an option is given.
    // Otherwise (a switch one way only) the built-in default applies, which
    // the switch turns over: a stored switch could not be turned off.
    static bool VolbyNastaviVse(const TPopisNastaveni& popis);

    // Pulls the numbers into their bounds; then the maximum bounds the first
    // number and the increment.
    void NastavitMeze();

    // The engine's task of the settings: every line's field of the task
    // (TPopisNastaveni::Uloha) set from it; the rest of z stays.
    void NastavitUlohu(cnc::TZadani<char>& z) const;

    bool operator==(const TUlozeneNastaveni&) const = default;
};
