// The changes of a program as a unified diff of its text.
#pragma once

#include "platform/CteniTextu.h"

#include <string>
#include <string_view>

// The lines of stary and novy compared as text (line breaks and encodings
// apart), as a unified diff with three lines of context under the headers
// "--- nazev" and "+++ nazev", in UTF-8; empty when the lines are the same.
// A last line without a line break is marked "\ No newline at end of file".
//
// The block commands change lines in place and never add or remove one, so
// the lines are paired one to one after the common start and end: the diff
// costs time in proportion to the lines, where a general one (Myers) grows
// with the square of the changes, and a renumbered program changes nearly
// every line. Texts whose middle parts differ in length show that part
// replaced whole.
std::string UnifikovanyRozdil(std::string_view nazev, const TText& stary, const TText& novy);
