// The families of references to block numbers that a control reads, and
// their text form, declared once: the list TARVIK_RODINY_ODKAZU below gives
// the enum, the short name of the stored file type line and the command
// line, the catalogue entry of the family's display name (the file type
// editor's check box), whether it is in the default set, the words that
// start its references (the letters the reading looks for first) and the
// kinds of reference it reads. A new family is one line there, its kinds in
// TARVIK_DRUHY_ODKAZU, its words in engine/GramatikaOdkazu.cpp and its name
// in the message catalogue; leaving one out fails the build or a test.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

// The kinds of references: X(identifier, how a listing names it, a line
// that holds one, to 10: the grammar must read it there).
#define TARVIK_DRUHY_ODKAZU(X)                 \
    X(Goto, "GOTO", "IF [#1 GT 0] GOTO 10")    \
    X(GotoF, "GOTOF", "GOTOF N10")             \
    X(GotoB, "GOTOB", "GOTOB N10")             \
    X(GotoC, "GOTOC", "GOTOC N10")             \
    X(M99P, "M99 P", "M99 P10")                \
    X(M97P, "M97 P", "M97 P10 L2")             \
    X(G70P, "G70 P", "G70 P10 Q20")            \
    X(G70Q, "G70 Q", "G70 P20 Q10")            \
    X(G71P, "G71 P", "G71 P10 Q20 U0.4 W0.1")  \
    X(G71Q, "G71 Q", "G71 P20 Q10 U0.4 W0.1")  \
    X(G72P, "G72 P", "G72 P10 Q20")            \
    X(G72Q, "G72 Q", "G72 P20 Q10")            \
    X(G73P, "G73 P", "G73 P10 Q20 U1. W1.")    \
    X(G73Q, "G73 Q", "G73 P20 Q10 U1. W1.")    \
    X(G74P, "G74 P", "G74 P10 Q20 U0.2")       \
    X(G74Q, "G74 Q", "G74 P20 Q10 U0.2")       \
    X(G75P, "G75 P", "G75 P10 Q20")            \
    X(G75Q, "G75 Q", "G75 P20 Q10")

// The families: X(identifier, short name, catalogue entry of the display
// name, in the default set, ({the words that start its references}),
// ({the kinds it reads})). A starting word is a letter, or a keyword with
// the place of the letter the reading looks for ("GOTO" by its T, which far
// fewer words hold than G or O). The default set is what a file type reads
// when neither it nor its extension says otherwise.
#define TARVIK_RODINY_ODKAZU(X)                                                                          \
    X(Skoky, "GOTO", "rsDRUHODKAZUSKOKY", true, ({{"GOTO", 2}}), ({Goto, GotoF, GotoB, GotoC}))         \
    X(NavratM99, "M99P", "rsDRUHODKAZUM99", true, ({{"P", 0}}), ({M99P}))                                \
    X(VolaniM97, "M97P", "rsDRUHODKAZUM97", true, ({{"P", 0}}), ({M97P}))                                \
    X(CyklyA, "G70-G73", "rsDRUHODKAZUCYKLYA", true, ({{"P", 0}, {"Q", 0}}),                             \
      ({G70P, G70Q, G71P, G71Q, G72P, G72Q, G73P, G73Q}))                                                \
    X(CyklyC, "G72-G75", "rsDRUHODKAZUCYKLYC", false, ({{"P", 0}, {"Q", 0}}),                            \
      ({G72P, G72Q, G73P, G73Q, G74P, G74Q, G75P, G75Q}))

#define TARVIK_IDENTIFIKATOR(i, ...) i,
// A kind of reference.
enum class TDruhOdkazu : std::uint8_t { TARVIK_DRUHY_ODKAZU(TARVIK_IDENTIFIKATOR) };
// A family of references that a control reads.
enum class TRodinaOdkazu : std::uint8_t { TARVIK_RODINY_ODKAZU(TARVIK_IDENTIFIKATOR) };
#undef TARVIK_IDENTIFIKATOR

#define TARVIK_JEDNA(...) +1
inline constexpr std::size_t PocetDruhuOdkazu = 0 TARVIK_DRUHY_ODKAZU(TARVIK_JEDNA);
inline constexpr std::size_t PocetRodinOdkazu = 0 TARVIK_RODINY_ODKAZU(TARVIK_JEDNA);
#undef TARVIK_JEDNA

// "GOTO", "GOTOF", "M99 P", "G71 Q", ...: how a listing names the kind.
constexpr std::string_view NazevDruhu(TDruhOdkazu druh) {
#define TARVIK_NAZEV(i, nazev, ...) nazev,
    constexpr std::string_view Nazvy[] = {TARVIK_DRUHY_ODKAZU(TARVIK_NAZEV)};
#undef TARVIK_NAZEV
    return Nazvy[static_cast<std::size_t>(druh)];
}

// A line that holds a reference of the kind, to block 10.
constexpr std::string_view PrikladDruhu(TDruhOdkazu druh) {
#define TARVIK_PRIKLAD(i, nazev, priklad) priklad,
    constexpr std::string_view Priklady[] = {TARVIK_DRUHY_ODKAZU(TARVIK_PRIKLAD)};
#undef TARVIK_PRIKLAD
    return Priklady[static_cast<std::size_t>(druh)];
}

// The kind a listing names so ("G71 Q"); nothing for a name of no kind.
constexpr std::optional<TDruhOdkazu> DruhPodleNazvu(std::string_view nazev) {
    for (std::size_t i = 0; i < PocetDruhuOdkazu; ++i)
        if (NazevDruhu(static_cast<TDruhOdkazu>(i)) == nazev) return static_cast<TDruhOdkazu>(i);
    return std::nullopt;
}

// A word that starts references: the letter the reading looks for is
// Slovo[Pismeno]; letters in either case.
struct TSpoustec {
    std::string_view Slovo;
    std::size_t Pismeno = 0;
};

// A family as its line of the list declares it.
struct TPopisRodiny {
    TRodinaOdkazu Rodina{};
    std::string_view Identifikator;  // as the enum names it (Skoky): the file type editor's check box is chkOdkazy...
    std::string_view Zkratka;    // in a stored file type line and on the command line
    std::string_view KlicNazvu;  // the catalogue entry of its display name
    bool Vychozi = false;        // in the default set
    std::array<TSpoustec, 4> Spoustece{};  // the first PocetSpoustecu
    std::size_t PocetSpoustecu = 0;
    std::array<TDruhOdkazu, 16> Druhy{};   // the kinds it reads, the first PocetDruhu
    std::size_t PocetDruhu = 0;

    constexpr bool Cte(TDruhOdkazu druh) const {
        for (std::size_t i = 0; i < PocetDruhu; ++i)
            if (Druhy[i] == druh) return true;
        return false;
    }
};

namespace detail_rodiny {
constexpr TPopisRodiny Popis(TRodinaOdkazu rodina, std::string_view identifikator, std::string_view zkratka,
                             std::string_view klic, bool vychozi, std::initializer_list<TSpoustec> spoustece,
                             std::initializer_list<TDruhOdkazu> druhy) {
    TPopisRodiny p{rodina, identifikator, zkratka, klic, vychozi};
    for (const TSpoustec& s : spoustece) p.Spoustece[p.PocetSpoustecu++] = s;
    for (const TDruhOdkazu d : druhy) p.Druhy[p.PocetDruhu++] = d;
    return p;
}
}  // namespace detail_rodiny

// The families in the order of the list (the order of their bits, and of
// their short names in a stored line).
inline constexpr std::array<TPopisRodiny, PocetRodinOdkazu> RodinyOdkazu = [] {
    using enum TDruhOdkazu;
#define TARVIK_ROZBALIT(...) __VA_ARGS__
#define TARVIK_POPIS(i, zkratka, klic, vychozi, spoustece, druhy) \
    detail_rodiny::Popis(TRodinaOdkazu::i, #i, zkratka, klic, vychozi, TARVIK_ROZBALIT spoustece, TARVIK_ROZBALIT druhy),
    return std::array<TPopisRodiny, PocetRodinOdkazu>{TARVIK_RODINY_ODKAZU(TARVIK_POPIS)};
#undef TARVIK_POPIS
#undef TARVIK_ROZBALIT
}();

constexpr const TPopisRodiny& PopisRodiny(TRodinaOdkazu rodina) {
    return RodinyOdkazu[static_cast<std::size_t>(rodina)];
}

// The families a control reads: a small set.
class TDruhyOdkazu {
public:
    constexpr TDruhyOdkazu() = default;
    constexpr TDruhyOdkazu(std::initializer_list<TRodinaOdkazu> rodiny) {
        for (const TRodinaOdkazu r : rodiny) Pridat(r);
    }
    // Every family.
    static constexpr TDruhyOdkazu Vsechny() { return ZBitu(~std::uint32_t{0}); }
    // The default set: the families whose line says so (GOTO, M99 P, M97 P,
    // G70 to G73): what a type reads that does not say, and what a caller
    // that names none gets.
    static constexpr TDruhyOdkazu Dosavadni() {
        TDruhyOdkazu d;
        for (const TPopisRodiny& p : RodinyOdkazu)
            if (p.Vychozi) d.Pridat(p.Rodina);
        return d;
    }
    // The families that read a kind.
    static constexpr TDruhyOdkazu Ctouci(TDruhOdkazu druh) {
        TDruhyOdkazu d;
        for (const TPopisRodiny& p : RodinyOdkazu)
            if (p.Cte(druh)) d.Pridat(p.Rodina);
        return d;
    }
    // The set of bits (bit i: the family of line i of the list); bits of no family are left out.
    static constexpr TDruhyOdkazu ZBitu(std::uint32_t bity) {
        TDruhyOdkazu d;
        d.bity_ = bity & Maska;
        return d;
    }
    constexpr std::uint32_t Bity() const { return bity_; }
    constexpr bool Ma(TRodinaOdkazu r) const { return (bity_ >> static_cast<unsigned>(r)) & 1u; }
    constexpr bool Prazdne() const { return bity_ == 0; }
    constexpr TDruhyOdkazu& Pridat(TRodinaOdkazu r) {
        bity_ |= std::uint32_t{1} << static_cast<unsigned>(r);
        return *this;
    }
    constexpr TDruhyOdkazu& Odebrat(TRodinaOdkazu r) {
        bity_ &= ~(std::uint32_t{1} << static_cast<unsigned>(r));
        return *this;
    }
    // The families of either set, and of both.
    constexpr TDruhyOdkazu operator|(TDruhyOdkazu d) const { return ZBitu(bity_ | d.bity_); }
    constexpr TDruhyOdkazu operator&(TDruhyOdkazu d) const { return ZBitu(bity_ & d.bity_); }
    constexpr bool operator==(const TDruhyOdkazu&) const = default;

private:
    static_assert(PocetRodinOdkazu < 32, "every family is a bit of TDruhyOdkazu");
    static constexpr std::uint32_t Maska = (std::uint32_t{1} << PocetRodinOdkazu) - 1;
    std::uint32_t bity_ = 0;
};

// The short name of a family: "GOTO", "M99P", "M97P", "G70-G73", "G72-G75".
constexpr std::string_view ZkratkaRodiny(TRodinaOdkazu rodina) { return PopisRodiny(rodina).Zkratka; }

// The set as text: the short names in the order of the list, separated by
// a blank ("GOTO M99P G70-G73"); "-" for none. oddelovac: what stands
// between them.
std::string ZapsatDruhy(TDruhyOdkazu druhy, std::string_view oddelovac = " ");

// Reads what ZapsatDruhy writes: short names in either case, separated by
// blanks, tabs or commas; "-" stands for none. Names it does not know are
// left out (a field written by a later version). Nothing when the text names
// no family it knows and is not "-": the caller then takes its default.
std::optional<TDruhyOdkazu> PrecistDruhy(std::string_view text);
