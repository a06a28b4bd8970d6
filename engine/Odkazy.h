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
//
// Where each part lives: the families and their text form in RodinyOdkazu.h;
// the reading of a line's front and the pre-filter in SkenerOdkazu.h; the
// words of each family in GramatikaOdkazu.cpp; the resolution pass in
// Odkazy.cpp; the edits and the writers that merge them in UpravyOdkazu.h.
#pragma once

#include "CNCEdit.h"
#include "RodinyOdkazu.h"
#include "UpravyOdkazu.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

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
    // Words of those programs that a family the file type does not read
    // would read as references (G71 P50 Q80 where the type reads no lathe
    // cycles): the first MaxNectenych, in line order, each with the kind that
    // family reads (Stav and the target's block are not looked for), their
    // targets in TextyNectenych; and how many there are.
    static constexpr std::size_t MaxNectenych = 1000;
    std::vector<TOdkaz> Nectena;
    std::string TextyNectenych;
    std::size_t PocetNectenych = 0;

    std::string_view TextCile(const TOdkaz& o) const { return std::string_view(Texty).substr(o.Text, o.DelkaTextu); }
    std::string_view TextNecteneho(const TOdkaz& o) const {
        return std::string_view(TextyNectenych).substr(o.Text, o.DelkaTextu);
    }
    // The families that would read the words of Nectena.
    TDruhyOdkazu RodinyNectenych() const;
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
    // where ":" begins no block number, after the trim; where it does, a
    // ":1234" alone, or with a comment, right after a start line: poZacatku);
    // nothing for a line that starts none.
    std::optional<std::uint64_t> CisloProgramu(std::string_view radek, bool poZacatku = false) const;
    // Whether the line is a start line for the program number after it: it
    // begins with the start marker after the trim, or behind its block number.
    bool ZacatekProCislo(std::string_view radek) const;

    TZnakyOdkazu Znaky;
    // A marker longer than 255 UTF-16 units never begins a line (as in the engine).
    bool HlavniPouzitelny, VedlejsiPouzitelny, ZacatekPouzitelny, KomentarPouzitelny;
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
    const cnc::TPocty& Pocty() const;
    // Keeps only the references that are not resolved (a report of a
    // renumber needs no more): the memory then grows with the edits and the
    // references it reports, not with all the references of the text.
    void NechatJenNevyresene();
    // The result, after the last line.
    TVysledekOdkazu Dokoncit();

    TOdkazyBloku(TOdkazyBloku&&) noexcept;
    TOdkazyBloku& operator=(TOdkazyBloku&&) noexcept;
    ~TOdkazyBloku();

private:
    // The pass's state and its resolution of each program (engine/Odkazy.cpp).
    class TStav;
    std::unique_ptr<TStav> s_;
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

