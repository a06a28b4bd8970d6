// Texts composed from the message catalogue: the statistics line and the
// refusals of the block commands, shared by the window and the batch tool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// "Počet řádků: 12, Počet znaků: 345, Počet NC bloků: 10." in the current wording.
std::u16string TextStatistiky(std::size_t radku, std::size_t znaku, std::int64_t bloku);

// Characters of the text of the lines, each line break counting as two (CR LF).
std::size_t PocetZnaku(const std::vector<std::u16string>& radky, bool koncovyZlom);

// The three counts of the statistics line, taken from a UTF-8 text in one
// pass without splitting it into lines: lines (a break at the end opens no
// further line), UTF-16 code units with every line break counted as two, and
// block lines by the test of PocetBloku.
struct TStatistiky {
    std::size_t Radku = 0;
    std::size_t Znaku = 0;
    std::int64_t Bloku = 0;
};
TStatistiky SpocitatStatistiky(std::string_view utf8, std::u16string_view hlavniZnak,
                               std::u16string_view vedlejsiZnak);

// Introducing into a program that has n block lines: "<rsBLOKYJSOU>: <n>x.\r<rsBLOKYODSTRANIT>."
std::u16string ZpravaBlokyJsou(std::int64_t n);
// Renumbering a program without block lines: "<rsBLOKYNEJSOU>.\r<rsBLOKYNOVE>."
std::u16string ZpravaBlokyNejsou();
// Renumbering a selection without block lines.
std::u16string ZpravaBlokyNejsouVybrane();
// Removing from a program without block lines: the entry alone.
std::u16string ZpravaNeniCoOdstranit();
// A command without an open program: "<rsNENISOUBOR>."
std::u16string ZpravaNeniSoubor();

