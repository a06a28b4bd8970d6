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

// Reads the code of line s from byte j on with the words of every family:
// the references of the families the file type reads go to odkazy, their
// targets' texts to texty; the words that only the others read go to
// nectena (Text: the target's place in the line). The P and Q words wait in
// slova until the end of the line tells whether the line holds a cycle or a
// return that makes them references. Returns the P of a program call (M98,
// G65, G66) when the file type reads returns (BezCisla for none): where
// they return to.
std::uint64_t CistKod(std::string_view s, std::size_t j, const TPravidlaBloku& p, std::size_t radek,
                      std::vector<TOdkaz>& odkazy, std::vector<TOdkaz>& slova, std::string& texty,
                      std::vector<TOdkaz>& nectena);

// A line of a main program's end: an M30, M02 or M2 anywhere in its code
// from byte j (N70 G28 U0. W0. M30, /M30), not in a comment.
bool JeKonecProgramu(std::string_view s, std::size_t j, std::string_view komentar);

}  // namespace odkazy
