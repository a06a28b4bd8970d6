// The command layer: what a block command does to one program, decided in
// one place for the window and the batch tool. From a command, a file type,
// the numbering settings and a program's text it builds the engine's task,
// runs the first pass (lines, block lines, references), decides whether the
// command is refused or needs the user's consent, runs the second pass that
// writes the new text, and hands back every report as data: the refusal, the
// references, the encoding. The window and the batch tool only ask it and
// show its answer. Knows nothing of windows; no Qt.
//
// Where to change a numbering rule: the engine (engine/CNCEdit). How the
// stored settings become the engine's task, and when a command is refused:
// here (TUloha, Posoudit).
#pragma once

#include "engine/CNCEdit.h"
#include "engine/Odkazy.h"
#include "filetypes/TypSouboru.h"
#include "filetypes/UlozeneNastaveni.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// What a command does to a program.
enum class TPrikazProgramu : std::uint8_t {
    Pocet,        // counts its block lines
    Zavest,       // introduces block numbers
    Precislovat,  // renumbers them
    Odstranit,    // removes them
    Odkazy,       // lists the references to block numbers
};

// A command on one program: what, with which file type and numbering.
struct TZadaniPrikazu {
    TPrikazProgramu Prikaz = TPrikazProgramu::Precislovat;
    // The file type; the families of references its control reads are its
    // DruhyOdkazu, else the default (the batch tool's --references sets them
    // for a run).
    TTypSouboru Typ;
    // The numbering settings as they stand (bounded when the task is made).
    TUlozeneNastaveni Cislovani;
    // Remove the numbers also from a program whose references would then
    // point nowhere (the user agreed, or --force).
    bool Vynutit = false;
    // Set: the type is the one the program's words point to (-t auto), as
    // this gives it from the guess; Typ is not used then. A program file is
    // read once more for it (ZpracovatProgram).
    std::function<TTypSouboru(const TOdhadTypu&)> TypPodleOdhadu{};
};

// The engine's task made from a command: the file type's markers in UTF-8
// (owned here, so a task is neither copied nor moved) and the numbering.
class TUloha {
public:
    explicit TUloha(const TZadaniPrikazu& zadani);
    TUloha(const TUloha&) = delete;
    TUloha& operator=(const TUloha&) = delete;

    TPrikazProgramu Prikaz() const { return prikaz_; }
    const TTypSouboru& Typ() const { return typ_; }
    const TUlozeneNastaveni& Cislovani() const { return cislovani_; }
    bool Vynutit() const { return vynutit_; }
    // The families of references the file type's control reads (its own,
    // else the default of its extension).
    TDruhyOdkazu DruhyOdkazu() const { return druhy_; }
    // A renumber rewrites the references to follow their blocks (the
    // window's switch, --update-references); otherwise it keeps them.
    bool Aktualizovat() const { return prikaz_ == TPrikazProgramu::Precislovat && cislovani_.AktualizovatOdkazy; }
    // The pass of a block command (introduce, renumber, remove).
    const cnc::TZadani<char>& Zadani() const { return zadani_; }
    // The first pass looks for references: every command but a count, unless
    // the file type reads none (a listing looks all the same, to list none).
    // A renumber that keeps them looks too, to tell which now lead elsewhere.
    bool HledatOdkazy() const;
    // A new reference pass for the first pass, as the command reads them:
    // introducing against the numbers it gives, a renumber with or without
    // the edits, keeping only the references it reports; removing and the
    // listing find them all.
    TOdkazyBloku NoveOdkazy(std::optional<TVyberRadku> vyber = std::nullopt) const;

private:
    TPrikazProgramu prikaz_;
    TTypSouboru typ_;
    TUlozeneNastaveni cislovani_;
    bool vynutit_;
    TDruhyOdkazu druhy_;
    std::array<cnc::TZnackaUtf8, 5> znacky_;
    cnc::TZadani<char> zadani_;
};

// What a message is: the window shows it in a box of that kind, the batch
// tool as lines.
enum class TDruhHlaseni : std::uint8_t { Informace, Varovani, Dotaz };

// A message of a command: its kind, caption and text (CR between its lines).
struct THlaseniPrikazu {
    TDruhHlaseni Druh = TDruhHlaseni::Informace;
    std::u16string Titulek;
    std::u16string Text;
    // A question (Dotaz): the question itself, asked after Text (under the
    // caption of the window's questions); the command goes on only when the
    // user agrees (Vynutit). The batch tool asks nobody: it refuses with
    // Titulek and Text.
    std::u16string Otazka;
    // For each line of Text, the program's line (from 0) that it names, or
    // npos: the window lets the user go there. Every report of references
    // has an entry a line; a refusal may have none.
    std::vector<std::size_t> RadkyProgramu;
};

// What the first pass found out about a program.
struct TPosudek {
    // The lines and block lines of the text (of the selection, when the
    // command concerns one).
    cnc::TPocty Pocty;
    // The references, when the command looked for them.
    std::optional<TVysledekOdkazu> Odkazy;
    // Refused (the block lines do not fit the command), or a question
    // before removing numbers that references name.
    std::optional<THlaseniPrikazu> Odmitnuti;
    // When the text holds words that the type does not read and another
    // family would: the name of the shipped type that the program's words
    // point to, when its control reads them (NazevOdhadu); empty otherwise.
    std::u16string Odhad;
};

// The name the report of unread words gives: the shipped type of the
// guessed dialect, when that dialect's control reads some of the words and
// the type in use is not that one; empty otherwise.
std::u16string NazevOdhadu(const TUloha& uloha, const TVysledekOdkazu& odkazy, const TOdhadTypu& odhad);

// The rules of refusal: introducing into a program with block numbers,
// renumbering or removing in one without, removing numbers that references
// name without consent. vyber: the command concerns a selection.
std::optional<THlaseniPrikazu> Posoudit(const TUloha& uloha, const cnc::TPocty& pocty,
                                        const std::optional<TVysledekOdkazu>& odkazy, bool vyber = false,
                                        std::u16string_view odhad = {});

// The first pass over a program that comes in pieces of whole lines: the
// lines, the block lines and the references, read from the same fronts.
class TPrvniPruchod {
public:
    explicit TPrvniPruchod(const TUloha& uloha, std::optional<TVyberRadku> vyber = std::nullopt);
    // The text comes again from its start (it was read in another encoding).
    void Znovu();
    void Pridat(std::string_view kus);
    TPosudek Dokoncit();

private:
    const TUloha& uloha_;
    std::optional<TVyberRadku> vyber_;
    std::optional<TOdkazyBloku> odkazy_;
    std::optional<cnc::TPocitadlo<char>> pocitadlo_;
};

// What the batch tool and the window tell of the references after a command
// that met them; none when there is nothing to tell:
// - a renumber that updated them: how many, then those that now lead to
//   another block or none, and those without a definite target (always,
//   when it found references);
// - a renumber that kept them: those that now lead to another block or to
//   none, and those without a definite target (nothing when every one still
//   reaches the block it reached);
// - introducing: those that now lead to a freshly numbered block, and those
//   that lead to none;
// - a forced remove: the references it left without targets;
// then, whatever the command (the listing too), the words that a family the
// file type does not read would read as references, once for the program
// (a warning), with the guessed type when it reads them (odhad: its name).
// aktualizovat: the renumber updated the references (TUloha::Aktualizovat).
// radku: the lines of references listed at most. RadkyProgramu names the
// program's line of each line of the text.
std::optional<THlaseniPrikazu> HlaseniOdkazu(TPrikazProgramu prikaz, bool aktualizovat, const TVysledekOdkazu& odkazy,
                                             std::size_t radku = static_cast<std::size_t>(-1),
                                             std::u16string_view odhad = {});

// A command over a program held in memory as UTF-8 (the window's text), or
// over a selection of it: the first pass when it is made, the second by
// Zapsat.
class TPrikazNadTextem {
public:
    // The bytes Od..Po of the text and their lines (vyber.Radky), as the
    // reference pass takes them.
    struct TVyber {
        std::size_t Od = 0, Po = 0;
        TVyberRadku Radky;
    };
    // The first pass reads the text in pieces, telling prubeh how many of
    // its bytes it has read (the window shows the progress of long work).
    using TPrubehCteni = std::function<void(std::size_t hotovo, std::size_t celkem)>;
    TPrikazNadTextem(const TZadaniPrikazu& zadani, std::string_view text, std::optional<TVyber> vyber = std::nullopt,
                     const TPrubehCteni& prubeh = {});

    const TUloha& Uloha() const { return uloha_; }
    const TPosudek& Posudek() const { return posudek_; }
    // About the room the new text takes, as much as it can need and little
    // more: removing only shortens lines, renumbering lengthens a number by
    // as many digits as it can have, introducing puts the character, the
    // digits and a blank in front of a line; a lone CR or LF becomes CR LF.
    std::size_t Odhad() const;
    // The new text, piece by piece: the text before the selection, the pass
    // over it (with CR LF after every line of a selection), the text after
    // it; the references updated wherever they lie. When the pass fails, the
    // lines not yet written and the rest of the text go out as they were,
    // and the failure goes on. Returns the pass's progress.
    std::uint8_t Zapsat(const std::function<void(std::string_view)>& pripojit, TPrubeh& prubeh) const;
    // Where the selection starts and ends in the new text (after Zapsat).
    std::size_t ZacatekVyberu() const { return zacatekVyberu_; }
    std::size_t KonecVyberu() const { return konecVyberu_; }
    // The report of the references after the command; none without references.
    std::optional<THlaseniPrikazu> HlaseniOdkazu(std::size_t radku) const;

private:
    // The line before the selection is a start line.
    bool PoZacatku() const;

    TUloha uloha_;
    std::string_view text_;
    std::optional<TVyber> vyber_;
    TPosudek posudek_;
    mutable std::size_t zacatekVyberu_ = 0, konecVyberu_ = 0;
};
