// References to block numbers: the jumps of a program (GOTO, GOTOF, GOTOB,
// GOTOC), its returns and local calls (M99 P, M97 P) and the profile of the
// lathe cycles (P and Q of G70 to G73, or of G72 to G75 in G-code system C).
// Which of these families a control reads as references is the file type's
// choice (TDruhyOdkazu); the others are words like any other. Finds the
// references in UTF-8 lines, resolves each against the block numbers of its
// program, and tells how a command changes what they reach: a renumbering
// rewrites them, as edits that the renumbering pass merges into its output,
// or (when it keeps them) tells which now reach another block or none;
// introducing tells which now reach a freshly numbered block. Knows nothing
// of windows or files, and allocates nothing per line.
//
// What counts as a reference, in the code part of a line (after the block
// number; not after the comment character, not inside "( )" when the comment
// character is "(", not inside "..." strings), each for its family:
// - GOTO, GOTOF, GOTOB, GOTOC followed by a number, written bare (GOTO 100,
//   GOTO100) or behind a block character (GOTO N100, GOTOF N100). A letter
//   there starts a label (GOTOF NEXT): no reference. "#" or "[" there is a
//   variable or an expression: a reference that cannot be resolved.
// - The P word of a line that holds M99, or M97.
// - The P and Q words of a line that holds a profile cycle: G70, G71, G72 or
//   G73 (system A, and B, which numbers these cycles alike), G72, G73, G74 or
//   G75 (system C; its G70 and G71 are inch and metric). Not on a line that
//   also holds an X, Y, Z or R word: that is a cycle call with its own P and
//   Q (G73 X.. Z-30. R2. Q500 drills in pecks of 0.5 mm; G74 and G75 of
//   system A drill and groove so), never a profile.
// - Never M98 P, G65 P or G66 P, which name a program (they tell the returns
//   where they return to).
// Words are letters followed by their value; blanks may stand between the
// letter and the value (P 10), leading zeros are allowed (G071, P0010), words
// need no blank between them (G71P10Q20). A word is a single letter: XGOTO,
// GOTON100 and MP10 are no words of ours. G710 and M990 are other codes; so
// are G71.1 and M99.1. Letters and keywords are recognised in either case (as
// most controls take them); a block character behind GOTO likewise, when it is
// a letter. A number with a decimal point (P10., GOTO 10.) or a sign is not a
// block number: a reference that cannot be resolved.
//
// Blocks follow the engine's line rules (engine/CNCEdit.h): a block line
// begins, after the trim and a block-skip mark ("/N100", "/1N100"), with
// either block character (an empty one begins every line), no letter or "_"
// follows the block characters, and its number is the digits after them.
// Numbers compare by value (N0010 is block 10); blocks are kept in 32 bits,
// so a number from 4294967295 on finds no block.
//
// Programs: references resolve within their program, which starts at a line
// that begins, after the trim, with the start marker (a "%" section), or with
// a program number: "O" and a digit (O1234), or ":" and a digit where ":" is
// no block character. The renumbering's sequence restarts only at the start
// marker. M99 P returns: in a program that holds a program end (a line whose
// first word after the block number is M30, M02 or M2), it jumps within that
// program; in one without (a subprogram), it returns into the program that
// called it: into the programs of the same text that call its number (M98 P,
// G65 P, G66 P; a P of more than four digits also names the program of its
// last four, as repeated calls write it), and when none does, the reference
// is left as it is and reported (NavratDoVolajiciho).
#pragma once

#include "CNCEdit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The families of references that a control reads.
enum class TRodinaOdkazu : std::uint8_t {
    Skoky,      // GOTO, GOTOF, GOTOB, GOTOC (also after IF)
    NavratM99,  // M99 P: a return to a block
    VolaniM97,  // M97 P: a local subprogram call
    CyklyA,     // P and Q of the lathe profile cycles G70 to G73 (G-code system A, and B)
    CyklyC,     // P and Q of the lathe profile cycles G72 to G75 (G-code system C)
};
inline constexpr std::size_t PocetRodinOdkazu = 5;

// The families a file type's control reads: a small set.
class TDruhyOdkazu {
public:
    constexpr TDruhyOdkazu() = default;
    constexpr TDruhyOdkazu(std::initializer_list<TRodinaOdkazu> rodiny) {
        for (const TRodinaOdkazu r : rodiny) Pridat(r);
    }
    // Every family.
    static constexpr TDruhyOdkazu Vsechny() {
        return {TRodinaOdkazu::Skoky, TRodinaOdkazu::NavratM99, TRodinaOdkazu::VolaniM97, TRodinaOdkazu::CyklyA,
                TRodinaOdkazu::CyklyC};
    }
    // The families read before file types chose them (GOTO, M99 P, M97 P, G70
    // to G73): what a caller that names none gets.
    static constexpr TDruhyOdkazu Dosavadni() {
        return {TRodinaOdkazu::Skoky, TRodinaOdkazu::NavratM99, TRodinaOdkazu::VolaniM97, TRodinaOdkazu::CyklyA};
    }
    // The set of the low PocetRodinOdkazu bits (bit i: family i); higher bits are left out.
    static constexpr TDruhyOdkazu ZBitu(std::uint8_t bity) {
        TDruhyOdkazu d;
        d.bity_ = static_cast<std::uint8_t>(bity & ((1u << PocetRodinOdkazu) - 1));
        return d;
    }
    constexpr std::uint8_t Bity() const { return bity_; }
    constexpr bool Ma(TRodinaOdkazu r) const { return (bity_ >> static_cast<unsigned>(r)) & 1u; }
    constexpr bool Prazdne() const { return bity_ == 0; }
    constexpr TDruhyOdkazu& Pridat(TRodinaOdkazu r) {
        bity_ = static_cast<std::uint8_t>(bity_ | (1u << static_cast<unsigned>(r)));
        return *this;
    }
    constexpr TDruhyOdkazu& Odebrat(TRodinaOdkazu r) {
        bity_ = static_cast<std::uint8_t>(bity_ & ~(1u << static_cast<unsigned>(r)));
        return *this;
    }
    constexpr bool operator==(const TDruhyOdkazu&) const = default;

private:
    std::uint8_t bity_ = 0;
};

// The short name of a family in a stored file type line and on the command
// line: "GOTO", "M99P", "M97P", "G70-G73", "G72-G75".
std::string_view ZkratkaRodiny(TRodinaOdkazu rodina);

// The set as text: the short names in the order of the families, separated
// by a blank ("GOTO M99P G70-G73"); "-" for none.
std::string ZapsatDruhy(TDruhyOdkazu druhy);

// Reads what ZapsatDruhy writes: short names in either case, separated by
// blanks, tabs or commas; "-" stands for none. Names it does not know are
// left out (a field written by a later version). Nothing when the text names
// no family it knows and is not "-": the caller then takes its default.
std::optional<TDruhyOdkazu> PrecistDruhy(std::string_view text);

// The markers of the file type that references depend on, in UTF-8, and the
// families its control reads.
struct TZnakyOdkazu {
    std::string_view HlavniZnak;    // main block character
    std::string_view VedlejsiZnak;  // secondary block character
    std::string_view Zacatek;       // program start marker
    std::string_view Komentar;      // comment character
    // False for a marker that never begins a line, whatever its length
    // (cnc::TZnacka::MuzeZacinat: one that held half a character).
    bool HlavniMuze = true, VedlejsiMuze = true, ZacatekMuze = true;
    TDruhyOdkazu Druhy = TDruhyOdkazu::Dosavadni();
};

// The markers of a command of the UTF-8 passes, with the families of the file
// type (without them: TDruhyOdkazu::Dosavadni()).
TZnakyOdkazu ZnakyOdkazu(const cnc::TZadani<char>& zadani);
TZnakyOdkazu ZnakyOdkazu(const cnc::TZadani<char>& zadani, TDruhyOdkazu druhy);

// The numbering of a renumber, as PrecislovatBloky takes it.
struct TCislovaniOdkazu {
    std::uint32_t PrvniBlok = 10;
    std::uint32_t Prirustek = 10;
    std::uint32_t MaximalniBlok = 9999;
    bool CislovatOdZacatku = true;
};

// The lines that a renumber of a selection gets: lines Od to Po - 1, the first
// of them from byte OdBajtu on (a selection that starts inside a line), the
// last up to byte PoBajtu (a selection that ends inside a line; the rest of
// the line is no part of the renumbered text, its references follow as those
// of any line outside the selection).
struct TVyberRadku {
    std::size_t Od = 0;
    std::size_t Po = 0;
    std::size_t OdBajtu = 0;
    std::size_t PoBajtu = std::string_view::npos;
};

// What introducing gives the lines, as cnc::TPruchod introduces them: the
// numbering (restarted at every start line) and which lines get a number.
struct TZavedeniOdkazu {
    TCislovaniOdkazu Cislovani;
    std::string_view Konec;  // program end marker
    bool KonecMuze = true, KomentarMuze = true;  // cnc::TZnacka::MuzeZacinat of the end marker and the comment
    bool BlokPredZnakZacatku = false, BlokPredZnakKonce = false, BlokPredZnakKomentare = false;
};

enum class TDruhOdkazu : std::uint8_t {
    Goto, GotoF, GotoB, GotoC,
    M99P, M97P,
    G70P, G70Q, G71P, G71Q, G72P, G72Q, G73P, G73Q,
    G74P, G74Q, G75P, G75Q,
};

// "GOTO", "GOTOF", "M99 P", "G71 Q", ...: how a listing names the kind.
std::string_view NazevDruhu(TDruhOdkazu druh);

// What a reference reaches; after a command, what it reaches in the text the
// command writes.
enum class TStavOdkazu : std::uint8_t {
    Vyreseny,          // exactly one block of its program carries the number (after a renumber: the
                       // same block as before, by its new number when it was updated)
    ChybiCil,          // no block of its program carries it (before the command and after it)
    VicekratCil,       // more than one block of its program carries it (before and after)
    NeniCislo,         // a variable, an expression, a decimal point or a sign
    // Renumbering only:
    NejednoznacnyPoPrecislovani,  // afterwards more blocks carry its number: when it was updated, it names
                                  // its block's new number, which now stands on others too
    PrepsanyVyberem,   // a selection that starts or ends inside it: the renumbering takes it for a
                       // block number, or cuts it in two
    // Introducing only:
    NaNovyBlok,        // no block carried the number; the freshly numbered block at CilovyRadek does
    // Renumbering that keeps the references as they are (and, when it updates
    // them, those it cannot update):
    UkazujeJinam,      // now reaches the block at CilovyRadek, another than before (PredchoziCil:
                       // the block it reached, npos when it reached none or more)
    BezCilePoPrecislovani,  // reached a block (PredchoziCil) or more; now no block carries its number
    // M99 P of a subprogram that no program of the text calls: it returns into
    // a caller elsewhere, left as it is.
    NavratDoVolajiciho,
};

// The states that need the user's eye after a command: every one but Vyreseny.
// Of them, those whose reference now reaches a block (NaNovyBlok,
// UkazujeJinam) or no longer any (BezCilePoPrecislovani) tell what changed;
// the others tell why the reference has no definite target.
constexpr bool ZmenilCil(TStavOdkazu stav) {
    return stav == TStavOdkazu::NaNovyBlok || stav == TStavOdkazu::UkazujeJinam ||
           stav == TStavOdkazu::BezCilePoPrecislovani;
}

struct TOdkaz {
    std::size_t Radek = 0;        // the line, from 0
    std::size_t Program = 0;      // its program: the program starts (start lines and program numbers) up to it
    std::size_t Pozice = 0;       // byte offset in the line of the digits (of the whole target when it is no number)
    std::size_t Delka = 0;        // bytes of the digits (of the target)
    std::size_t Text = 0;         // the target as the line reads after the command (N100, 0010, #1,
                                  // [#1+10]): in TVysledekOdkazu::Texty
    std::size_t DelkaTextu = 0;
    std::uint64_t Cil = 0;        // the target number (a literal only)
    std::size_t CilovyRadek = 0;  // resolved: the line of the target block (NaNovyBlok, UkazujeJinam: the
                                  // block it now reaches)
    std::size_t PredchoziCil = static_cast<std::size_t>(-1);  // UkazujeJinam, BezCilePoPrecislovani: the
                                  // line of the block it reached before; npos for none
    std::uint32_t NoveCislo = 0;  // renumbering: the target's new number, when Precislovany
    TDruhOdkazu Druh = TDruhOdkazu::Goto;
    TStavOdkazu Stav = TStavOdkazu::Vyreseny;
    bool Precislovany = false;    // renumbering: its target block gets a new number
};

// One edit of a renumbering: bytes Pozice .. Pozice + Delka of line Radek (as
// the line was before the renumbering, leading blanks included) become the
// decimal Cislo, zero-padded to Sirka digits (the width of a number written
// with leading zeros; 0 for a plain one). An edit always lies behind the
// line's block number, so it never meets what the renumbering changes at the
// front of the line.
struct TUpravaOdkazu {
    // 32 bits each, 20 bytes an edit: lines are counted in 32 bits, and a
    // line of 4 GiB or more is not read for references.
    std::uint32_t Radek = 0;
    std::uint32_t Pozice = 0;
    std::uint32_t Delka = 0;
    std::uint32_t Cislo = 0;
    std::uint32_t Sirka = 0;

    // The new number's text, handed to pripojit (a callable taking a std::string_view) in pieces.
    template <typename F>
    void Zapsat(F&& pripojit) const;
    std::string Text() const;
    bool operator==(const TUpravaOdkazu&) const = default;
};

template <typename F>
void TUpravaOdkazu::Zapsat(F&& pripojit) const {
    char cifry[10];
    std::size_t n = 0;
    std::uint32_t c = Cislo;
    do {
        cifry[sizeof cifry - ++n] = static_cast<char>('0' + c % 10);
        c /= 10;
    } while (c != 0);
    static constexpr std::string_view Nuly = "0000000000000000";
    for (std::size_t nul = Sirka > n ? Sirka - n : 0; nul > 0;) {
        const std::size_t k = std::min(nul, Nuly.size());
        pripojit(Nuly.substr(0, k));
        nul -= k;
    }
    pripojit(std::string_view(cifry + sizeof cifry - n, n));
}

struct TVysledekOdkazu {
    // Every reference of the programs that the command concerns (a listing:
    // all), in line order; only those not resolved when the pass keeps no more
    // (TOdkazyBloku::NechatJenNevyresene).
    std::vector<TOdkaz> Odkazy;
    // Renumbering: the edits, in line order and, within a line, by position.
    std::vector<TUpravaOdkazu> Upravy;
    // The targets as the lines read after the command, for the listing and the report.
    std::string Texty;
    // The references found in those programs, the resolved ones that are
    // not kept included.
    std::size_t Nalezenych = 0;

    std::string_view TextCile(const TOdkaz& o) const { return std::string_view(Texty).substr(o.Text, o.DelkaTextu); }
    // References whose state is not Vyreseny: those a report names.
    std::size_t PocetNevyresenych() const;
    // Of them, those whose target changed (ZmenilCil).
    std::size_t PocetZmenenychCilu() const;
    // References that the edits rewrite.
    std::size_t PocetAktualizovanych() const { return Upravy.size(); }
};

// The block-line rules of the renumbering, on UTF-8 lines.
struct TPravidlaBloku {
    explicit TPravidlaBloku(const TZnakyOdkazu& znaky);

    // The front of a line as the renumbering sees it.
    struct TBlok {
        std::size_t Odsazeni = 0;  // leading bytes of code 32 or less
        bool Blokovy = false;      // a block line
        std::size_t Cislice = 0;   // where its digits start
        std::size_t Cislic = 0;    // how many there are (0: the characters go, no number comes)
        std::size_t Konec = 0;     // end of the front: the digits' end on a block line, else Odsazeni
        std::uint64_t Hodnota = 0; // the number's value; the largest 64-bit value for one that does not fit
    };
    TBlok Rozebrat(std::string_view radek) const;
    // The start test: the line begins with the start marker after the trim.
    bool JeZacatek(std::string_view radek) const;
    // The number of the program that the line starts ("O1234", or ":1234"
    // where ":" begins no block number, after the trim); nothing for a line
    // that starts none.
    std::optional<std::uint64_t> CisloProgramu(std::string_view radek) const;

    TZnakyOdkazu Znaky;
    // A marker longer than 255 UTF-16 units never begins a line (as in the engine).
    bool HlavniPouzitelny, VedlejsiPouzitelny, ZacatekPouzitelny;
    bool JednobajtoveZnaky;  // both block characters of one byte or none: the quick test
};

// Finds, resolves and (for a renumber) rewrites the references of a program
// given line by line, in one pass over the lines:
//
//     TOdkazyBloku o(znaky, cislovani, vyber);
//     for (std::string_view r : radky) o.Radek(r);
//     TVysledekOdkazu v = o.Dokoncit();
//
// A line is the line's bytes without its line break; lines may come from any
// source (a buffer in memory, pieces of a file). The blocks of the program
// being read are kept until the program ends, when its references are
// resolved: by number for numbers below 131072 (memory grows with the
// largest number, not with the program), one entry of 16 bytes a block for
// the larger ones. A program that calls others (M98 P, G65 P, G66 P) keeps
// an entry a number to the end of the text, for the returns of the programs
// it calls.
class TOdkazyBloku {
public:
    // A listing: finds and resolves the references, renumbers nothing.
    explicit TOdkazyBloku(const TZnakyOdkazu& znaky);
    // A renumber of all lines, or of the selection. The references reported
    // are those of the programs that hold renumbered lines (and the returns
    // into them). upravovat: the references follow their blocks, as edits;
    // otherwise they stay as they are and the report tells each one that now
    // reaches another block or none (UkazujeJinam, BezCilePoPrecislovani).
    TOdkazyBloku(const TZnakyOdkazu& znaky, const TCislovaniOdkazu& cislovani,
                 std::optional<TVyberRadku> vyber = std::nullopt, bool upravovat = true);
    // Introducing: the references resolve against the numbers the lines will
    // get, in the programs of the text it writes (a numbered start line or
    // program number starts none there); one that then reaches a block is
    // NaNovyBlok.
    TOdkazyBloku(const TZnakyOdkazu& znaky, const TZavedeniOdkazu& zavedeni);

    void Radek(std::string_view radek);
    // The lines of kus, which ends after a line break or at the end of the
    // text (a CR LF is never cut), as cnc::TPruchod takes them.
    void Pridat(std::string_view kus);
    // The lines and the block lines so far, as cnc::TPocitadlo counts them:
    // the count and the references share one reading of each line's front.
    const cnc::TPocty& Pocty() const { return pocty_; }
    // Keeps only the references that are not resolved (a report of a
    // renumber needs no more): the memory then grows with the edits and the
    // references it reports, not with all the references of the text.
    void NechatJenNevyresene() { jenNevyresene_ = true; }
    // The result, after the last line.
    TVysledekOdkazu Dokoncit();

private:
    enum class TRezim : std::uint8_t { Vypis, Zavedeni, Precislovani, PrecislovaniBezUprav };

    // A block line of the program being read, with a number from MalaCisla on.
    struct TBlokProgramu {
        std::uint32_t Stare;  // its number; the largest 32-bit number for one that does not fit
        std::uint32_t Nove;   // its new number, when Precislovany
        std::uint32_t Radek;
        bool Precislovany;
    };
    // The blocks of the program being read, in pieces that never move: a
    // program of a million blocks is not copied as it grows, and the pieces
    // stay from program to program.
    class TBlokyProgramu {
    public:
        void Pridat(const TBlokProgramu& b) {
            if (pocet_ == kusy_.size() * Kus) kusy_.push_back(std::make_unique_for_overwrite<TBlokProgramu[]>(Kus));
            kusy_[pocet_ / Kus][pocet_ % Kus] = b;
            ++pocet_;
        }
        void Vyprazdnit() { pocet_ = 0; }
        template <typename F>
        void ProKazdy(F f) const {
            for (std::size_t i = 0; i < pocet_; i += Kus) {
                const TBlokProgramu* k = kusy_[i / Kus].get();
                const std::size_t n = std::min(Kus, pocet_ - i);
                for (std::size_t j = 0; j < n; ++j) f(k[j]);
            }
        }

    private:
        static constexpr std::size_t Kus = std::size_t{1} << 16;
        std::vector<std::unique_ptr<TBlokProgramu[]>> kusy_;
        std::size_t pocet_ = 0;
    };
    // The blocks of the program that carry a number below MalaCisla, by the
    // number: how many (2: more than one), and the first of them. A table
    // of numbers, not of blocks: a program of ten million blocks numbered
    // up to 9999 needs ten thousand entries. An entry of another program
    // (Generace) counts as empty.
    static constexpr std::uint32_t MalaCisla = std::uint32_t{1} << 17;
    struct TStareCislo {
        std::uint32_t Generace = 0;
        std::uint32_t Radek = 0;
        std::uint32_t Nove = 0;
        std::uint8_t Pocet = 0;
        bool Precislovany = false;
    };
    // The blocks that carry a number below MalaCisla after the renumber of a
    // selection: how many, and the first of them. (A renumber of whole
    // programs knows how many from its sequence, and keeps only the line
    // that last got each number: radkyNovych_.)
    struct TKonecneCislo {
        std::uint32_t Generace = 0;
        std::uint32_t Pocet = 0;
        std::uint32_t Radek = 0;
    };
    // A number that blocks are looked up by, and the blocks that carry it.
    struct THledany {
        std::uint64_t Cislo = 0;
        std::size_t Pocet = 0;
        std::uint32_t Radek = 0;  // the first block that carries it
        std::uint32_t Nove = 0;
        bool Precislovany = false;
    };
    // The blocks of a program that calls others, kept to the end of the
    // text by number: before the command (Pocet up to 2) and after it.
    struct TZaznamBloku {
        std::uint64_t Cislo = 0;
        std::uint32_t Radek = 0;
        std::uint32_t Nove = 0;
        std::uint32_t Pocet = 0;
        bool Precislovany = false;
    };
    // A program that the end of the text needs: one that calls others (its
    // blocks in the archives), or a subprogram with returns that has a number.
    struct TProgram {
        std::size_t Index = 0;       // TOdkaz::Program
        std::uint64_t Cislo = 0;     // its number; BezCisla for none
        bool Dotceny = false;        // it concerns the command
        std::size_t OdStarych = 0, PoStarych = 0, OdKonecnych = 0, PoKonecnych = 0;  // in the archives
    };
    static constexpr std::uint64_t BezCisla = ~std::uint64_t{0};
    struct TVolani {
        std::size_t Program = 0;  // the calling program
        std::uint64_t Cislo = 0;  // its P
    };
    // Where the blocks that references are resolved against come from: the
    // program being read, or the archived programs that call a subprogram.
    struct TZiveBloky;
    struct TVolajici;

    // spoustec: false when the line holds none of the letters that start a reference.
    void Radek(std::string_view radek, bool spoustec);
    bool VRozsahu(std::size_t radek) const;
    void UzavritProgram();
    template <typename Z>
    void Vyresit(const Z& zdroj, bool vsechnyRuzne);
    bool NoveCislaRuzna() const;
    bool NovaStoupaji() const;
    template <typename F>
    void ProNovaCisla(F f) const;
    void ZapsatBlok(std::uint32_t stare, std::uint32_t nove, bool precislovany);
    void Archivovat();
    void VyresitNavraty();
    void Upravit(TOdkaz& o);
    THledany* Najit(std::uint64_t cislo);
    bool SeraditHledane();

    TPravidlaBloku pravidla_;
    TRezim rezim_ = TRezim::Vypis;
    std::optional<TCislovaniOdkazu> cislovani_;  // renumbering, and introducing
    std::optional<TVyberRadku> vyber_;
    std::optional<TZavedeniOdkazu> zavedeni_;
    bool konecPouzitelny_ = false, komentarPouzitelny_ = false;
    // The letters that start a reference of the file type's families (lower case; 0: none).
    char spoustecP_ = 0, spoustecQ_ = 0, spoustecT_ = 0;

    std::size_t radek_ = 0;    // the line being read
    std::size_t program_ = 0;  // its program: program starts so far
    bool dotceny_ = false;     // the program concerns the command
    bool rezimZnaku_ = false;  // both block characters set: the count's marker mode
    bool jenNevyresene_ = false;
    cnc::TPocty pocty_;
    // The program being read: its number, whether it holds a program end,
    // whether it calls others.
    std::uint64_t cisloProgramu_ = BezCisla;
    bool konecProgramu_ = false, volaProgram_ = false;
    // The front of the selection's first line that the renumbering rewrites,
    // when the selection starts inside the line: bytes [od, po).
    std::size_t prepsanoOd_ = 0, prepsanoPo_ = 0;
    // Where the selection ends inside its last line (npos: it does not).
    std::size_t useknuto_ = std::string_view::npos;
    // The running number of the renumber or of introducing; the blocks it has
    // numbered in the program, and in the sequence up to the program; the
    // program's first new number.
    std::uint32_t cislo_ = 0, prvniNove_ = 0;
    std::size_t vProgramu_ = 0, vPosloupnosti_ = 0, predProgramem_ = 0;
    bool celePrecislovani_ = false;  // a renumber of whole programs (no selection)
    bool spoustece_ = false;         // the file type reads references
    bool navraty_ = false;           // ... and M99 P among them

    TVysledekOdkazu vysledek_;
    std::size_t odkazyProgramu_ = 0;  // the program's references: from here to the end of Odkazy
    std::size_t textyProgramu_ = 0;   // and their texts, from here to the end of Texty
    // The program's blocks: by their numbers below MalaCisla, old and after
    // the renumber; the blocks with a larger one of the two in bloky_.
    std::vector<TStareCislo> staraCisla_;
    std::vector<TKonecneCislo> konecnaCisla_;
    std::vector<std::uint32_t> radkyNovych_;  // by a new number below MalaCisla: the line that got it last
    std::uint32_t generace_ = 1;
    TBlokyProgramu bloky_;
    std::vector<THledany> hledane_;   // sorted by number
    std::vector<std::uint64_t> mapaCilu_;  // a bit for each number in hledane_ (the smaller ones)
    std::size_t kurzor_ = 0;
    std::vector<TOdkaz> slova_;       // the P and Q words of a line until the line tells what they are
    std::vector<std::size_t> vybrane_;  // the references being resolved, by their place in Odkazy

    // What the returns of subprograms need at the end of the text.
    std::vector<TProgram> programy_;
    std::vector<TZaznamBloku> archivStarych_, archivKonecnych_;
    std::vector<TVolani> volani_;
    std::vector<std::uint64_t> cislaProgramu_;  // every program number of the text
    std::vector<std::size_t> odlozene_;  // the returns of subprograms with a number, by their place in Odkazy
    bool upravyMimoPoradi_ = false;
};
// The recognition alone: the references of one line, appended to odkazy
// (Radek 0; Stav NeniCislo for a target that is no number, else ChybiCil, as
// nothing is resolved here), their targets' texts appended to texty.
void NajitOdkazyVRadku(std::string_view radek, const TZnakyOdkazu& znaky, std::vector<TOdkaz>& odkazy,
                       std::string& texty);

// The pass over lines held in memory.
TVysledekOdkazu NajitOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky);
TVysledekOdkazu PrecislovatOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky,
                                  const TCislovaniOdkazu& cislovani,
                                  std::optional<TVyberRadku> vyber = std::nullopt, bool upravovat = true);
TVysledekOdkazu ZavestOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky,
                             const TZavedeniOdkazu& zavedeni);

// The reference pass that goes with a command of the UTF-8 passes (its
// markers, numbering and switches), for a file type whose control reads
// druhy: introducing resolves against the numbers it gives; renumbering
// updates the references when aktualizovat, else reports those it leaves
// reaching another block; removing lists them (every one breaks). The pass
// keeps views of zadani's markers: zadani must outlive it.
TOdkazyBloku OdkazyPrikazu(const cnc::TZadani<char>& zadani, TDruhyOdkazu druhy, bool aktualizovat,
                           std::optional<TVyberRadku> vyber = std::nullopt);

// Walks the edits in line order, for the renumbering pass that writes line
// after line. Pripojit appends bytes od .. po of line radek (the whole line
// as it was given; text may begin at byte posun of it) with the edits that
// lie there: a line outside the renumbered lines whole; a renumbered line
// from the end of its old front (TPravidlaBloku::TBlok::Konec) after the pass
// has written the new one; the selection's first line, when the selection
// starts inside it, in two calls, up to OdBajtu and from the end of the front
// of its selected part. Throws std::invalid_argument when an edit lies across
// od or po (bytes the pass wrote itself).
class TKurzorUprav {
public:
    explicit TKurzorUprav(std::span<const TUpravaOdkazu> upravy) : upravy_(upravy) {}
    void Pripojit(std::string& cil, std::size_t radek, std::string_view text, std::size_t od = 0,
                  std::size_t po = std::string_view::npos, std::size_t posun = 0) {
        Pripojit(TDoRetezce{cil}, radek, text, od, po, posun);
    }
    void Pripojit(cnc::TVystup<char>& cil, std::size_t radek, std::string_view text, std::size_t od = 0,
                  std::size_t po = std::string_view::npos, std::size_t posun = 0) {
        Pripojit(TDoVystupu{cil}, radek, text, od, po, posun);
    }
    // The line of the next edit that is not written yet; npos when none is left.
    std::size_t Dalsi() const { return i_ < upravy_.size() ? upravy_[i_].Radek : std::string_view::npos; }

    struct TDoRetezce {
        std::string& cil;
        void operator()(std::string_view s) const { cil.append(s); }
    };
    struct TDoVystupu {
        cnc::TVystup<char>& cil;
        // The pieces around an edit are mostly a few bytes: copied in place, without a call.
        void operator()(std::string_view s) const {
            if (s.size() > 32) return cil.Pripojit(s);
            char* w = cil.Misto(s.size());
            for (std::size_t i = 0; i < s.size(); ++i) w[i] = s[i];
            cil.Zapsano(s.size());
        }
    };

private:
    template <typename F>
    void Pripojit(F pripojit, std::size_t radek, std::string_view text, std::size_t od, std::size_t po,
                  std::size_t posun) {
        if (i_ < upravy_.size() && upravy_[i_].Radek <= radek) {
            PripojitSUpravami(pripojit, radek, text, od, po, posun);
        } else {
            const std::size_t konec = std::min(po, text.size()), zacatek = std::min(od, konec);
            pripojit(text.substr(zacatek, konec - zacatek));
        }
    }
    template <typename F>
    void PripojitSUpravami(F pripojit, std::size_t radek, std::string_view text, std::size_t od, std::size_t po,
                           std::size_t posun);

    std::span<const TUpravaOdkazu> upravy_;
    std::size_t i_ = 0;
};

// Appends text[od, po) to cil with the edits of its lines; od lies at byte
// odBajtu of line radek of the text. The lines without edits go out in one
// piece: the text before or after a selection, in the window.
void PripojitSUpravami(cnc::TVystup<char>& cil, TKurzorUprav& kurzor, std::string_view text, std::size_t od,
                       std::size_t po, std::size_t radek, std::size_t odBajtu);

// The renumbering pass (cnc::TPruchod) writes the rest of its lines with the
// edits: its line i is line prvniRadek + i of the text, its first line
// begins at byte odBajtu of that line (a selection that starts inside it).
class TZbytkySUpravami final : public cnc::TZbytekRadku {
public:
    TZbytkySUpravami(TKurzorUprav& kurzor, std::size_t prvniRadek = 0, std::size_t odBajtu = 0);
    void Zapsat(cnc::TVystup<char>& vystup, std::size_t radek, std::string_view text, std::size_t od) override;

private:
    void Posunout();
    TKurzorUprav& kurzor_;
    std::size_t prvni_, odBajtu_;
};
