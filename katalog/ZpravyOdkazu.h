// Texts about references to block numbers, composed from the message
// catalogue and shared by the window and the batch tool: the question before
// removing the numbers, the report after a command, the listing of
// "tarvik-cli refs". Line numbers count from 1, as the text area shows them.
#pragma once

#include "engine/Odkazy.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// How a reference reads now: "GOTO N100", "G71 P90", "M99 P#1".
std::u16string TextOdkazu(const TVysledekOdkazu& v, const TOdkaz& o);

// Why a reference has no definite target, or how its target changed: its
// state's catalogue entry; empty for Vyreseny.
std::u16string_view DuvodOdkazu(TStavOdkazu stav);

// The state with the lines it names: "leads to another block, on line 21
// (before: line 12)", "leads to the newly numbered block on line 9"; the
// others as DuvodOdkazu. Lines count from 1.
std::u16string PopisStavu(const TOdkaz& o);

// The display name of a family of references, for the check boxes of the
// file type editor: "Skoky GOTO, GOTOF, GOTOB, GOTOC", ...: the catalogue
// entry its line of the list names.
std::u16string_view NazevRodiny(TRodinaOdkazu rodina);

// The words of v.Nectena, which families the file type does not read would
// read as references: "<rsNECTENASLOVA>: 3.", a line for each of the first
// `radku` lines that hold them, "<rsRADEK> 7 (G71 P50, G71 Q80): <the
// families' names>.", "…" when there are more; after a command (poPrikazu)
// "<rsNECTENAZUSTALA>."; with a guessed type that reads them,
// "<rsODHADTYPU> "<odhad>".". Empty when there are none. radkyProgramu as
// for ZpravaOdkazu.
std::u16string ZpravaNectenych(const TVysledekOdkazu& v, bool poPrikazu,
                               std::size_t radku = std::numeric_limits<std::size_t>::max(),
                               std::u16string_view odhad = {}, std::vector<std::size_t>* radkyProgramu = nullptr);

// Before removing the numbers of a program with references (v.Odkazy not empty):
//   "<rsODKAZYJSOU>: 3x.\r<rsODKAZYNARADCICH>: 12, 40, 57\r<rsODKAZYPRESTANOU>.\r<rsODKAZYPRESTO>?"
// with the first `radku` lines that hold references, and "…" after them when
// there are more. Without the question (the batch tool's refusal) the last line is left out.
std::u16string ZpravaOdkazyPredOdstranenim(const TVysledekOdkazu& v, bool otazka, std::size_t radku = 10);

// What a report of references follows.
enum class TZpravaPo : std::uint8_t {
    Aktualizaci,  // a renumber that updated them: their count comes first
    Ponechani,    // a renumber that kept them as they are
    Zavedeni,     // introducing
    Vypisu,       // a listing, or another command: the groups alone
};

// After a command that found references: after updating them
// "<rsODKAZYAKTUALIZOVANO>: 4."; then, when some now reach another block than
// before the command (a new one, another one or none: ZmenilCil),
// "<rsODKAZYJINAM>: 2." (after introducing "<rsODKAZYNANOVE>: 2.") and a
// line for each of the first `radku` of them, "<rsRADEK> 12 (GOTO 90):
// <PopisStavu>.", and "…" when there are more; then likewise those without a
// definite target, under "<rsODKAZYBEZCILE>: 2.". The lines are joined by CR.
// radkyProgramu, when given, gets for each line of the text the program's
// line it names (a reference's line), or npos (a heading, "…").
std::u16string ZpravaOdkazu(const TVysledekOdkazu& v, TZpravaPo po,
                            std::size_t radku = std::numeric_limits<std::size_t>::max(),
                            std::vector<std::size_t>* radkyProgramu = nullptr);

// The listing of "tarvik-cli refs": the head "<rsRADEK>\t<rsODKAZ>\t<rsCIL>\t<rsRADEKCILE>",
// a line per reference, "12\tG71 P\t90\t11" (the target's line, or PopisStavu),
// and "<rsODKAZU>: 7." at the end.
std::vector<std::u16string> VypisOdkazu(const TVysledekOdkazu& v);
