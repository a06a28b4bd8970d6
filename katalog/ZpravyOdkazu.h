// Texts about references to block numbers, composed from the message
// catalogue and shared by the window and the batch tool: the question before
// removing the numbers, the report after a command, the listing of
// "tarvik-cli refs". Line numbers count from 1, as the text area shows them.
#pragma once

#include "engine/Odkazy.h"

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

// How a reference reads now: "GOTO N100", "G71 P90", "M99 P#1".
std::u16string TextOdkazu(const TVysledekOdkazu& v, const TOdkaz& o);

// Why a reference has no definite target: its state's catalogue entry; empty when it has one.
std::u16string_view DuvodOdkazu(TStavOdkazu stav);

// Before removing the numbers of a program with references (v.Odkazy not empty):
//   "<rsODKAZYJSOU>: 3x.\r<rsODKAZYNARADCICH>: 12, 40, 57\r<rsODKAZYPRESTANOU>.\r<rsODKAZYPRESTO>?"
// with the first `radku` lines that hold references, and "…" after them when
// there are more. Without the question (the batch tool's refusal) the last line is left out.
std::u16string ZpravaOdkazyPredOdstranenim(const TVysledekOdkazu& v, bool otazka, std::size_t radku = 10);

// After a command that found references: for a renumber "<rsODKAZYAKTUALIZOVANO>: 4.";
// then, when some have no definite target, "<rsODKAZYBEZCILE>: 2." and a line for each
// of the first `radku` of them, "<rsRADEK> 12 (GOTO #1): <why>.", and "…" when there
// are more. The lines are joined by CR.
std::u16string ZpravaOdkazu(const TVysledekOdkazu& v, bool precislovani,
                            std::size_t radku = std::numeric_limits<std::size_t>::max());

// The listing of "tarvik-cli refs": the head "<rsRADEK>\t<rsODKAZ>\t<rsCIL>\t<rsRADEKCILE>",
// a line per reference, "12\tG71 P\t90\t11" (the target's line, or why there is none),
// and "<rsODKAZU>: 7." at the end.
std::vector<std::u16string> VypisOdkazu(const TVysledekOdkazu& v);
