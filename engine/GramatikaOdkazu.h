// Inside the engine only: the grammar of each family of references, read
// from the code part of a line (after its block number): which words are
// references, of which kind, and their targets; and the words that tell the
// resolution pass about the programs (a program end, a call of a program).
#pragma once

#include "Odkazy.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace odkazy {

// Reads the code of line s from byte j on, for the families of the file
// type: the references go to odkazy, their targets' texts to texty; the P
// and Q words wait in slova until the end of the line tells whether the
// line holds a cycle or a return that makes them references. Returns the P
// of a program call (M98, G65, G66) when the file type reads returns
// (BezCisla for none): where they return to.
std::uint64_t CistKod(std::string_view s, std::size_t j, const TPravidlaBloku& p, std::size_t radek,
                      std::vector<TOdkaz>& odkazy, std::vector<TOdkaz>& slova, std::string& texty);

// A line whose first word after byte j is M30, M02 or M2: the end of a main program.
bool JeKonecProgramu(std::string_view s, std::size_t j);

}  // namespace odkazy
