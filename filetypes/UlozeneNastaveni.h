// The settings that the window and the batch tool share in the settings key:
// the language, the language command's image and the numbering settings. One
// table in UlozeneNastaveni.cpp names their stored values (name, type,
// default, bounds) in the order of the store; a new setting is a field here
// and a row there. The window's placement is the window's own and stays with it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class TRegistr;

struct TUlozeneNastaveni {
    // The bounds of the three block numbers.
    static constexpr std::int32_t NejmensiCislo = 1;
    static constexpr std::int32_t NejvetsiCislo = 9999;
    // The widest zero-padded number.
    static constexpr std::int32_t NejvetsiSirka = 9;

    // Each field is stored under its own name, and gets its default from the
    // table of stored values (the constructor); {} only keeps a field that a
    // new row forgot from ever being read uninitialised.
    std::u16string Jazyk{};           // the language code of the language file
    std::int32_t IndexObrazku{};      // the language command's image: 8 + the language's row
    // A language was chosen in the window: the store holds one. Until then
    // the two values above are not stored, and the language follows the
    // user's locale (JazykUzivatele).
    bool JazykZvolen{};
    std::int32_t PrvniBlok{};         // the first block number
    std::int32_t Prirustek{};         // the increment
    std::int32_t MaximalniBlok{};     // the maximum block number
    std::int32_t SirkaCisla{};        // new numbers padded with zeros to this many digits; 0: none
    bool CislovatOdZacatku{};         // after the maximum, start again at the first number
    bool PonechatMaximum{};           // after the maximum, keep it
    bool BlokPredZnakKomentare{};     // introducing: number comment lines too
    bool BlokPredZnakZacatku{};       // introducing: number program start lines too
    bool BlokPredZnakKonce{};         // introducing: number program end lines too
    bool AktualizovatOdkazy{};        // renumbering: update the references to block numbers
    // The programs the window opened or saved last, the latest first (full
    // paths; empty: none). Stored last, so that a damaged one never keeps
    // the numbering settings from being read.
    std::u16string Posledni1{}, Posledni2{}, Posledni3{}, Posledni4{}, Posledni5{}, Posledni6{}, Posledni7{},
        Posledni8{};

    static constexpr std::size_t PocetPoslednich = 8;
    // The fields of the recent programs, the latest first.
    static const std::array<std::u16string TUlozeneNastaveni::*, PocetPoslednich>& PolePoslednich();

    // Every setting at its default.
    TUlozeneNastaveni();

    // Reads the values of the key open in the store, in the store's order,
    // each one that exists (a stored language, readable or not, was chosen): a number is pulled into its bounds, a flag is any
    // number but 0, and the two policies after the maximum act as one pair of
    // radio buttons (a set one clears the other, a cleared one leaves the
    // other as it is). The first value that cannot be read as designed (one
    // of the wrong type) ends the reading with its TChyba: the values read
    // before it are taken, the others keep what they held.
    void Nacist(TRegistr& registr);

    // Writes every value into the key open in the store, in the store's order;
    // the language and its image only once one was chosen.
    // Failures of the store (TChyba) reach the caller.
    void Ulozit(TRegistr& registr) const;

    // Pulls the block numbers into their bounds; then the maximum bounds the
    // first number and the increment.
    void NastavitMeze();

    // The bounds of a stored number, as its row in the table gives them.
    struct TMeze {
        std::int32_t Min, Max;
    };
    static TMeze Meze(std::int32_t TUlozeneNastaveni::* pole);

    bool operator==(const TUlozeneNastaveni&) const = default;
};
