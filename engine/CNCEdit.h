// Block-number engine: counts, introduces, renumbers and removes the block
// numbers at the start of NC program lines. Knows nothing of windows or files;
// the user interface is reached only through TPrubeh.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Program lines: UTF-16 code units, no line-break characters.
using TRadky = std::vector<std::u16string>;

// What a long pass needs of the user interface. The window shows the busy
// cursor, lets pending events run and restores the cursor with a beep; tests
// record the calls.
class TPrubeh {
public:
    virtual ~TPrubeh() = default;
    // The pass starts: busy cursor.
    virtual void ZacitPruchod() = 0;
    // A line has been processed (hotovo lines of celkem): serve pending events.
    virtual void ObslouzitUdalosti(std::size_t hotovo, std::size_t celkem) = 0;
    // The pass has ended, also after an error: default cursor, then the beep.
    virtual void UkoncitPruchod() = 0;

    // An interface that does nothing, for callers without a user interface.
    static TPrubeh& Zadny();
};

class TCNCFile {
public:
    explicit TCNCFile(TPrubeh& prubeh = TPrubeh::Zadny()) : prubeh_(&prubeh) {}

    // Number of block lines: in marker mode (both characters set) the lines
    // that begin with either character after the left trim, the block
    // characters not followed by an ASCII letter or "_" (NEWCONF is a word);
    // in digit mode (either character empty) the lines whose first character
    // is a digit. Only reads the lines.
    std::int32_t PocetBloku(const TRadky& Radky, std::u16string_view HlavniZnak,
                            std::u16string_view VedlejsiZnak) const;

    // The test of PocetBloku for one line.
    static bool JeBlokovyRadek(std::u16string_view Radek, std::u16string_view HlavniZnak,
                               std::u16string_view VedlejsiZnak);

    // The number that follows Cislo: Cislo + Prirustek while Cislo is below the
    // maximum; once it has reached it, PrvniBlok again (restart) or Cislo (keep).
    static std::uint32_t DalsiCislo(std::uint32_t Cislo, std::uint32_t PrvniBlok,
                                    std::uint32_t Prirustek, std::uint32_t MaximalniBlok,
                                    bool CislovatOdZacatku);

    // The rewriting passes return the progress percentage 0..100 of the last
    // line that served the user interface. The lines are rewritten in order;
    // when the pass is interrupted by an exception, the lines before the point
    // of interruption are processed, the rest are as they were, the interface
    // is told that the pass ended, and the exception goes on.

    // Puts VedlejsiZnak + number + blank in front of every ordinary line, and of
    // start, end and comment lines when their switch is on. The numbering
    // restarts at every start line.
    std::uint8_t ZavestBloky(TRadky& Radky, std::u16string_view Zacatek,
                             std::u16string_view Konec, std::u16string_view Komentar,
                             std::uint32_t PrvniBlok, std::uint32_t Prirustek,
                             std::uint32_t MaximalniBlok, bool BlokPredZnakZacatku,
                             bool BlokPredZnakKonce, bool BlokPredZnakKomentare,
                             std::u16string_view VedlejsiZnak, bool CislovatOdZacatku) const;

    // Replaces the digits after the block character of every block line with
    // the next number of a fresh sequence, keeping the kind of block character.
    std::uint8_t PrecislovatBloky(TRadky& Radky, std::uint32_t PrvniBlok,
                                  std::uint32_t Prirustek, std::uint32_t MaximalniBlok,
                                  std::u16string_view Zacatek, std::u16string_view HlavniZnak,
                                  std::u16string_view VedlejsiZnak,
                                  bool CislovatOdZacatku) const;

    // Removes the block character and the digits that follow it from every
    // block line; the rest of the line stays.
    std::uint8_t OdstranitBloky(TRadky& Radky, std::u16string_view HlavniZnak,
                                std::u16string_view VedlejsiZnak) const;

private:
    TPrubeh* prubeh_;
};

namespace cnc {
// Progress of line i of n: 100 * i / n rounded to the nearest integer, an
// exact half to the even neighbour.
std::uint8_t Procenta(std::size_t i, std::size_t n);
}  // namespace cnc
