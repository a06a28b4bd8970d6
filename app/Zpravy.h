// Texts composed from the message catalogue: the statistics line and the
// refusals of the block commands, shared by the window and the batch tool.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// "Počet řádků: 12, Počet znaků: 345, Počet NC bloků: 10." in the current wording.
std::u16string TextStatistiky(std::size_t radku, std::size_t znaku, std::int64_t bloku);

// Characters of the text of the lines, each line break counting as two (CR LF).
std::size_t PocetZnaku(const std::vector<std::u16string>& radky, bool koncovyZlom);

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

std::u16string CisloText(std::int64_t n);
