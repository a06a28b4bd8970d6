// The words of an NC program line that the editor colours, by the program's
// file type: the block number (the block character and its digits, as the
// block commands read it), G and M codes, other address words (a letter and
// its value), comments (from the type's comment character to the end of the
// line; with "(" to the closing ")"), the program start and end markers, and
// the words that are block references (as the reference pass finds them, so
// that what is coloured as a reference is what a renumber updates).
// One line at a time, only the lines shown: a program of millions of lines
// costs nothing until it is scrolled to.
#pragma once

#include "engine/CNCEdit.h"
#include "engine/Odkazy.h"
#include "filetypes/TypSouboru.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TDruhSlova : std::uint8_t { Text, CisloBloku, KodG, KodM, Adresa, Komentar, Znacka, Odkaz };

struct TSlovo {
    std::size_t Od = 0, Po = 0;  // bytes of the line
    TDruhSlova Druh = TDruhSlova::Text;
    bool operator==(const TSlovo&) const = default;
};

class TLexerNC {
public:
    // Longer lines are coloured only as far as this (a file that is no
    // program may hold one line of megabytes).
    static constexpr std::size_t NejdelsiRadek = std::size_t{1} << 16;

    TLexerNC() = default;
    TLexerNC(const TLexerNC&) = delete;
    TLexerNC& operator=(const TLexerNC&) = delete;

    // The file type's markers; without a type nothing is coloured.
    void NastavitTyp(const std::optional<TTypSouboru>& typ);
    bool Aktivni() const { return pravidla_.has_value(); }

    // The coloured words of one line (its bytes without the line break), in
    // order and apart, replacing the content of slova. Text is not listed.
    void Rozebrat(std::string_view radek, std::vector<TSlovo>& slova);

private:
    // The block references of a line, by the reference pass's own recognition.
    void NajitOdkazy(std::string_view radek);
    void Oznacit(std::size_t od, std::size_t po, TDruhSlova druh);
    // The marker begins the text at p as a word of its own.
    static bool ZacinaZnackou(std::string_view radek, std::size_t p, const cnc::TZnacka<char>& znacka);

    cnc::TZnackaUtf8 hlavni_, vedlejsi_, zacatek_, konec_, komentar_;
    TZnakyOdkazu znaky_;
    std::optional<TPravidlaBloku> pravidla_;
    std::vector<TOdkaz> odkazy_;
    std::string texty_;
    std::vector<TDruhSlova> druhy_;  // a kind for each byte of the line
};
