// Texts composed from the message catalogue: the statistics line and the
// refusals of the block commands, shared by the window and the batch tool.
#pragma once

#include "engine/CNCEdit.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// "Počet řádků: 12, Počet znaků: 345, Počet NC bloků: 10." in the current wording.
std::u16string TextStatistiky(std::size_t radku, std::size_t znaku, std::int64_t bloku);

// The three counts of the statistics line, taken from a UTF-8 text without
// splitting it into lines: lines (a break at the end opens no further line),
// UTF-16 code units with every line break counted as two, and block lines by
// the test of PocetBloku (with the start marker and the comment character,
// program numbers after a start line left out, as the commands count).
struct TStatistiky {
    std::size_t Radku = 0;
    std::size_t Znaku = 0;
    std::int64_t Bloku = 0;
};

// The counts of a text that comes in pieces of whole lines (each piece ends
// after a line break, or at the end of the text).
class TPocitadloStatistik {
public:
    TPocitadloStatistik(std::u16string_view hlavniZnak, std::u16string_view vedlejsiZnak,
                        std::u16string_view zacatek = {}, std::u16string_view komentar = {});
    // The count keeps views of the markers it owns: it stays where it was made.
    TPocitadloStatistik(const TPocitadloStatistik&) = delete;
    TPocitadloStatistik& operator=(const TPocitadloStatistik&) = delete;
    void Pridat(std::string_view kus);
    TStatistiky Statistiky() const;

private:
    cnc::TZnackaUtf8 hlavni_, vedlejsi_, zacatek_, komentar_;
    cnc::TPocitadlo<char> bloky_;
    TStatistiky s_;
};

TStatistiky SpocitatStatistiky(std::string_view utf8, std::u16string_view hlavniZnak,
                               std::u16string_view vedlejsiZnak, std::u16string_view zacatek = {},
                               std::u16string_view komentar = {});

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
