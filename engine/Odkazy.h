// References to block numbers: the jumps of a program (GOTO, GOTOF, GOTOB,
// GOTOC), its returns and local calls (M99 P, M97 P) and the profile of the
// lathe cycles G70 to G73 (P and Q). Finds them in UTF-8 lines, resolves each
// against the block numbers of its program, and tells how a renumbering
// rewrites them, as edits that the renumbering pass merges into its output.
// Knows nothing of windows or files, and allocates nothing per line.
//
// What counts as a reference, in the code part of a line (after the block
// number; not after the comment character, not inside "( )" when the comment
// character is "(", not inside "..." strings):
// - GOTO, GOTOF, GOTOB, GOTOC followed by a number, written bare (GOTO 100,
//   GOTO100) or behind a block character (GOTO N100, GOTOF N100). A letter
//   there starts a label (GOTOF NEXT): no reference. "#" or "[" there is a
//   variable or an expression: a reference that cannot be resolved.
// - The P word of a line that holds M99 or M97.
// - The P and Q words of a line that holds G70, G71, G72 or G73 (not G74 to
//   G76, not M98, whose P names a program).
// Words are letters followed by their value; blanks may stand between the
// letter and the value (P 10), leading zeros are allowed (G071, P0010), words
// need no blank between them (G71P10Q20). A word is a single letter: XGOTO,
// GOTON100 and MP10 are no words of ours. G710 and M990 are other codes; so
// are G71.1 and M99.1. Letters and keywords are recognised in either case (as
// most controls take them); a block character behind GOTO likewise, when it is
// a letter. A number with a decimal point (P10., GOTO 10.) or a sign is not a
// block number: a reference that cannot be resolved.
//
// Programs and blocks follow the renumbering exactly: a program starts at
// every line that begins with the start marker before the trim; a block line
// begins, after the trim, with either block character (an empty one begins
// every line), no letter or "_" follows the block characters, and its number
// is the digits after them. Numbers compare by value (N0010 is block 10);
// blocks are kept in 32 bits, so a number from 4294967295 on finds no block.
#pragma once

#include "CNCEdit.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The markers of the file type that references depend on, in UTF-8.
struct TZnakyOdkazu {
    std::string_view HlavniZnak;    // main block character
    std::string_view VedlejsiZnak;  // secondary block character
    std::string_view Zacatek;       // program start marker
    std::string_view Komentar;      // comment character
    // False for a marker that never begins a line, whatever its length
    // (cnc::TZnacka::MuzeZacinat: one that held half a character).
    bool HlavniMuze = true, VedlejsiMuze = true, ZacatekMuze = true;
};

// The markers of a command of the UTF-8 passes.
TZnakyOdkazu ZnakyOdkazu(const cnc::TZadani<char>& zadani);

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

enum class TDruhOdkazu : std::uint8_t {
    Goto, GotoF, GotoB, GotoC,
    M99P, M97P,
    G70P, G70Q, G71P, G71Q, G72P, G72Q, G73P, G73Q,
};

// "GOTO", "GOTOF", "M99 P", "G71 Q", ...: how a listing names the kind.
std::string_view NazevDruhu(TDruhOdkazu druh);

enum class TStavOdkazu : std::uint8_t {
    Vyreseny,          // exactly one block of its program carries the number
    ChybiCil,          // no block of its program carries it
    VicekratCil,       // more than one block of its program carries it
    NeniCislo,         // a variable, an expression, a decimal point or a sign
    // Renumbering only:
    NejednoznacnyPoPrecislovani,  // resolved, but afterwards more blocks carry its target's number
    PrepsanyVyberem,   // a selection that starts or ends inside it: the renumbering takes it for a
                       // block number, or cuts it in two
};

struct TOdkaz {
    std::size_t Radek = 0;        // the line, from 0
    std::size_t Program = 0;      // its program: the start lines up to it
    std::size_t Pozice = 0;       // byte offset in the line of the digits (of the whole target when it is no number)
    std::size_t Delka = 0;        // bytes of the digits (of the target)
    std::size_t Text = 0;         // the target as the line reads after the command (N100, 0010, #1,
                                  // [#1+10]): in TVysledekOdkazu::Texty
    std::size_t DelkaTextu = 0;
    std::uint64_t Cil = 0;        // the target number (a literal only)
    std::size_t CilovyRadek = 0;  // resolved: the line of the target block
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
    // References whose state is not Vyreseny.
    std::size_t PocetNevyresenych() const;
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
    // The start test, made on the line before the trim.
    bool JeZacatek(std::string_view radek) const;

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
// the larger ones.
class TOdkazyBloku {
public:
    // A listing: finds and resolves the references, renumbers nothing.
    explicit TOdkazyBloku(const TZnakyOdkazu& znaky);
    // A renumber of all lines, or of the selection: also the edits. The
    // references reported are those of the programs that hold renumbered lines.
    TOdkazyBloku(const TZnakyOdkazu& znaky, const TCislovaniOdkazu& cislovani,
                 std::optional<TVyberRadku> vyber = std::nullopt);

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
    // A block line of the program being read.
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
    // How many blocks carry a number below MalaCisla after the renumber.
    struct TKonecneCislo {
        std::uint32_t Generace = 0;
        std::uint32_t Pocet = 0;
    };
    // A number that the program's blocks are looked up by, and the blocks that carry it.
    struct THledany {
        std::uint64_t Cislo = 0;
        std::size_t Pocet = 0;
        std::uint32_t Radek = 0;  // the first block that carries it
        std::uint32_t Nove = 0;
        bool Precislovany = false;
    };

    // spoustec: false when the line holds no P, Q or T (no reference).
    void Radek(std::string_view radek, bool spoustec);
    bool VRozsahu(std::size_t radek) const;
    void UzavritProgram();
    void Vyresit(std::size_t od);
    void ZapsatBlok(std::uint32_t stare, std::uint32_t nove, bool precislovany);
    THledany* Najit(std::uint64_t cislo);
    std::size_t RuznychCisel() const;

    TPravidlaBloku pravidla_;
    std::optional<TCislovaniOdkazu> cislovani_;
    std::optional<TVyberRadku> vyber_;

    std::size_t radek_ = 0;    // the line being read
    std::size_t program_ = 0;  // its program: start lines so far
    bool dotceny_ = false;     // the program concerns the command
    bool rezimZnaku_ = false;  // both block characters set: the count's marker mode
    bool jenNevyresene_ = false;
    cnc::TPocty pocty_;
    // The front of the selection's first line that the renumbering rewrites,
    // when the selection starts inside the line: bytes [od, po).
    std::size_t prepsanoOd_ = 0, prepsanoPo_ = 0;
    // Where the selection ends inside its last line (npos: it does not).
    std::size_t useknuto_ = std::string_view::npos;
    // The running number of the renumber, and the blocks it has renumbered in the program.
    std::uint32_t cislo_ = 0;
    std::size_t vProgramu_ = 0;

    TVysledekOdkazu vysledek_;
    std::size_t odkazyProgramu_ = 0;  // the program's references: from here to the end of Odkazy
    std::size_t textyProgramu_ = 0;   // and their texts, from here to the end of Texty
    // The program's blocks: by their numbers below MalaCisla, old and after
    // the renumber; the blocks with a larger one of the two in bloky_.
    std::vector<TStareCislo> staraCisla_;
    std::vector<TKonecneCislo> konecnaCisla_;
    std::uint32_t generace_ = 1;
    TBlokyProgramu bloky_;
    std::vector<THledany> hledane_;   // sorted by number
    std::vector<std::uint64_t> mapaCilu_;  // a bit for each number in hledane_ (the smaller ones)
    std::size_t kurzor_ = 0;
    std::vector<TOdkaz> slova_;       // the P and Q words of a line until the line tells what they are
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
        void operator()(std::string_view s) const { cil.Pripojit(s); }
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
