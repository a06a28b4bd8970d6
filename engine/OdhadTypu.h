// Which control a program's words most likely belong to: the forms of its
// lathe cycles (G70 to G75 with their profile's P and Q), G96, G18 and
// four-digit T words of a lathe against G17, G43, M6, Y words and drilling
// cycles of a mill; GOTOF, CYCLE800 or "%_N_" of Sinumerik; BEGIN PGM of a
// Heidenhain conversational program; the o-words of LinuxCNC. It knows no
// file type (it reads any program alike) and tells the lines that decided,
// so that a user sees why. Knows nothing of windows or files.
#pragma once

#include "RodinyOdkazu.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The controls a guess tells apart.
enum class TNareci : std::uint8_t {
    Nezname,          // nothing, or nothing clear enough
    IsoFrezovani,     // ISO (Fanuc, Haas) milling
    IsoSoustruzeni,   // ISO lathe, G-code system A (and B)
    IsoSoustruzeniC,  // ISO lathe, G-code system C
    Sinumerik,
    Heidenhain,       // conversational
    LinuxCnc,         // RS-274 with o-words
};

// The families of references that the control of the dialect reads.
TDruhyOdkazu DruhyNareci(TNareci nareci);

// A line that speaks for the guess: its number (from 0) and its text,
// trimmed and cut to 60 bytes (whole characters).
struct TDukazOdhadu {
    std::size_t Radek = 0;
    std::string Text;
    bool operator==(const TDukazOdhadu&) const = default;
};

struct TOdhadTypu {
    TNareci Nareci = TNareci::Nezname;
    // The lines that weighed most for it, at most three, in line order.
    std::vector<TDukazOdhadu> Dukazy;
};

// Reads a program line by line, or in pieces of whole lines.
class TOdhadovacTypu {
public:
    void Radek(std::string_view radek);
    // The lines of kus, which ends after a line break or at the end of the text.
    void Pridat(std::string_view kus);
    TOdhadTypu Dokoncit() const;

    // The groups of evidence: each dialect's own, and the lathe's of either system.
    enum TSkupina : std::uint8_t { Frezka, SoustruhA, SoustruhC, Soustruh, Sinumerik, Heidenhain, LinuxCnc, Skupin };

private:
    struct TStopa {
        std::uint32_t Vaha = 0;
        std::size_t Radek = 0;
        std::string Text;
    };
    struct TSkore {
        std::uint32_t Body = 0;
        std::array<TStopa, 3> Nejlepsi;  // by weight, then by line
        std::size_t Pocet = 0;
    };
    void Zapsat(TSkupina s, std::uint32_t vaha, std::string_view radek);

    std::array<TSkore, Skupin> skore_{};
    // How many times each feature has counted (a feature counts a few times at most).
    std::array<std::uint8_t, 32> pocty_{};
    std::size_t radek_ = 0;
};

TOdhadTypu OdhadnoutTyp(std::string_view text);
