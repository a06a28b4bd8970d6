// A program against its original, as the window compares them: rows of the
// lines both texts have (equal or changed), of the lines only the program has
// (added) and of those only the original had (removed), aligned by the line
// edits that led from the original to the program (the same by which the
// margin marks the changed lines, so that a line typed above does not make
// every line below it a change); the changes, runs of rows that are not
// equal, found by one walk over both texts; and within a changed line the
// words that differ. Qt-free: texts are UTF-8 bytes, lines end at CR LF, a
// lone CR or a lone LF, and a text has one line more than line breaks, as the
// text areas count them.
#pragma once

#include "ui/ZaznamZmen.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

// A run of rows: lines both texts have (each of the program's continues the
// original's line beside it), lines only the program has, or lines only the
// original had. Nyni and Puvodne are the first line of the run in the program
// and in the original; a run that one text does not have stands before that
// text's line Nyni or Puvodne.
struct TBlokPorovnani {
    enum class TDruh : std::uint8_t { Spolecne, Pridane, Odebrane };
    TDruh Druh = TDruh::Spolecne;
    std::size_t Nyni = 0, Puvodne = 0, Radku = 0;
    bool operator==(const TBlokPorovnani&) const = default;
};

// The rows of a program of radkuNyni lines against its original of
// radkuPuvodne lines, from the line edits that led from the original to the
// program in the order they were made; removed lines stand before the added
// ones where both meet. A line the edits follow past the original's end
// counts as added.
std::vector<TBlokPorovnani> ZarovnatRadky(std::span<const TUpravaRadku> upravy, std::size_t radkuNyni,
                                          std::size_t radkuPuvodne);

// The bytes of the line of a text that starts at od, without its break.
std::string_view RadekTextu(std::string_view text, std::size_t od);

class TPorovnani {
public:
    // Compares the texts row by row along the blocks (ZarovnatRadky of them);
    // the texts are read only here.
    TPorovnani(std::string_view puvodni, std::string_view nyni, std::vector<TBlokPorovnani> bloky);

    // A row: its line in each text (none where the text has none).
    struct TRadek {
        std::optional<std::size_t> Puvodne, Nyni;
    };
    std::size_t Radku() const { return radku_; }
    TRadek Radek(std::size_t radek) const;
    // The row of a line of the program.
    std::size_t RadekProgramu(std::size_t radekNyni) const;
    // The line of the program a row leads to: its own, or for a removed
    // line the program's line after it (the last line at the end).
    std::size_t RadekVProgramu(std::size_t radek) const;

    // A change: rows [Od, Po), none of them equal, between equal ones.
    struct TZmena {
        std::size_t Od = 0, Po = 0;
        bool operator==(const TZmena&) const = default;
    };
    const std::vector<TZmena>& Zmeny() const { return zmeny_; }
    // The change that starts first after row radek, or last before it.
    std::optional<TZmena> DalsiZmena(std::size_t radek) const;
    std::optional<TZmena> PredchoziZmena(std::size_t radek) const;
    // Whether a row is in a change.
    bool VeZmene(std::size_t radek) const;

    // Lines changed (both texts have them), added and removed.
    struct TPocty {
        std::size_t Zmenenych = 0, Pridanych = 0, Odebranych = 0;
        bool operator==(const TPocty&) const = default;
    };
    const TPocty& Pocty() const { return pocty_; }

private:
    // The block of a row, by the rows before each block.
    std::size_t Blok(std::size_t radek) const;
    std::vector<TBlokPorovnani> bloky_;
    std::vector<std::size_t> zacatky_;  // the first row of each block
    std::size_t radku_ = 0;
    std::vector<TZmena> zmeny_;
    TPocty pocty_;
};

// The bytes in which two versions of a line differ, word by word: spans
// [od, po) of a that are gone and of b that came. A word is an address with
// its value (X-10.5, N20), a run of letters, a number, a run of blanks, or
// any other character; unchanged words between the spans stay unmarked.
struct TRozdilSlov {
    std::vector<std::pair<std::size_t, std::size_t>> A, B;
    bool operator==(const TRozdilSlov&) const = default;
};
TRozdilSlov RozdilSlov(std::string_view a, std::string_view b);
