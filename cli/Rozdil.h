// The changes of a program as a unified diff of its text.
#pragma once

#include "platform/CteniTextu.h"

#include <functional>
#include <string>
#include <string_view>

// The lines of two program texts compared as text (line breaks and encodings
// apart), each read from its source by the program reader's rules, piece by
// piece: neither text is ever whole in memory, nor is the diff (a hunk waits
// in a temporary file until its header is known), so that the memory does
// not grow with the program.
//
// The diff goes to vystup in pieces, in UTF-8, with three lines of context
// under the headers "--- nazev" and "+++ nazev"; nothing when the lines are
// the same. A last line without a line break is marked "\ No newline at end
// of file". Returns true when the lines differ.
//
// The block commands change lines in place and never add or remove one, so
// the lines are paired one to one: the diff costs time in proportion to the
// lines, where a general one (Myers) grows with the square of the changes,
// and a renumbered program changes nearly every line. Texts of different
// lengths show the part between their common start and end replaced whole.
bool UnifikovanyRozdil(std::string_view nazev, TZdrojBajtu& stary, TZdrojBajtu& novy,
                       const std::function<void(std::string_view)>& vystup);

// True when the two program texts have the same lines (line breaks and
// encodings apart), read as above.
bool StejneRadky(TZdrojBajtu& stary, TZdrojBajtu& novy);

// The same for two texts in memory, the diff returned (an empty last line
// without a break is no line).
std::string UnifikovanyRozdil(std::string_view nazev, const TText& stary, const TText& novy);
