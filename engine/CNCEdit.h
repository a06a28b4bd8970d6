// Block-number engine: counts, introduces, renumbers and removes the block
// numbers at the start of NC program lines. Knows nothing of windows or files;
// the user interface is reached only through TPrubeh.
//
// Big programs travel as one text in code units C (char: UTF-8 bytes;
// char16_t: UTF-16), read line by line as views into it, and the passes write
// the new text into one output buffer: nothing is allocated per line. The
// rules are stated in UTF-16 code units, and hold unchanged for UTF-8: the
// left trim removes code units up to 32, which are single bytes in UTF-8, and
// a marker's length limit is counted in UTF-16 units.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
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

namespace cnc {

// Progress of line i of n: 100 * i / n rounded to the nearest integer, an
// exact half to the even neighbour.
std::uint8_t Procenta(std::size_t i, std::size_t n);

// A marker of the file type (a block character, the program start or end
// marker, the comment character) in the code units of the text.
template <typename C>
struct TZnacka {
    std::basic_string_view<C> Text;
    // False for a marker that never begins a line: one longer than 255 UTF-16
    // units (its length is an 8-bit count), or in UTF-8 one that holds half
    // a character (a lone surrogate), which no UTF-8 text holds.
    bool MuzeZacinat = true;
};

// A UTF-16 marker as the UTF-16 passes take it.
TZnacka<char16_t> Znacka16(std::u16string_view znacka);

// A UTF-16 marker converted for the UTF-8 passes; it owns its bytes. Half a
// character is written as U+FFFD where the marker is written into the text.
class TZnackaUtf8 {
public:
    TZnackaUtf8() = default;
    explicit TZnackaUtf8(std::u16string_view znacka);
    TZnacka<char> Znacka() const { return {text_, muze_}; }

private:
    std::string text_;
    bool muze_ = true;
};

enum class TPrikaz : std::uint8_t { Zavest, Precislovat, Odstranit };

// One block command: what it does, with which characters and markers of the
// file type, and how it numbers. Introducing uses VedlejsiZnak, the three
// markers and the switches; renumbering both characters and Zacatek;
// removing both characters.
template <typename C>
struct TZadani {
    TPrikaz Prikaz = TPrikaz::Precislovat;
    TZnacka<C> HlavniZnak, VedlejsiZnak, Zacatek, Konec, Komentar;
    std::uint32_t PrvniBlok = 5, Prirustek = 5, MaximalniBlok = 9999;
    bool CislovatOdZacatku = true;
    // New numbers get leading zeros up to this many digits (N0010); 0: none.
    std::uint8_t SirkaCisla = 0;
    bool BlokPredZnakZacatku = false, BlokPredZnakKonce = false, BlokPredZnakKomentare = false;
};

// The line rules that every pass shares (the count, introducing,
// renumbering, removing and the references):
// - A program starts at a line that begins with the start marker after the
//   left trim (blanks and control characters): "  %" starts one as "%" does.
// - A block-skip mark, "/" or "/1" to "/9", may stand in front of the block
//   character: "/N100 G0 X5" is a block line like "N100 G0 X5", and keeps its
//   mark first when it is renumbered, stripped or numbered ("/G0 X5" is
//   introduced as "/N10 G0 X5"). The mark counts only where a block character
//   that is not empty follows it (a type numbered with bare digits has none),
//   and only where the line does not begin with a block character itself.
// - A program number is no block: no pass numbers, renumbers or strips it,
//   and the count does not count it. It is a line that begins, after the
//   trim, with "O" or ":" and a digit (O1234, :1234) where that character is
//   no block character; where it is one, ":1234" (or "O1234") with nothing
//   but blanks and a comment after it, on the line right after a start line
//   (one that begins with the start marker, after its block number if it
//   has one: introducing may have numbered it).
//
// The block-line test of the count on one line (not trimmed yet): in marker
// mode (both characters set) the line begins, after the left trim and a
// block-skip mark, with either character, the block characters not followed
// by an ASCII letter or "_" (NEWCONF is a word); in digit mode (either
// character empty) its first character is a digit.
template <typename C>
bool JeBlokovyRadek(std::basic_string_view<C> radek, TZnacka<C> hlavni, TZnacka<C> vedlejsi);

// Lines and block lines of a text. The text's lines end with CR LF, a lone CR
// or a lone LF; a break at the very end opens no further line.
struct TPocty {
    std::size_t Radku = 0;
    std::size_t Bloku = 0;
};

// Counts a text that comes in pieces of whole lines (each piece ends after a
// line break, or at the end of the text; a CR LF is never cut).
// Without the start marker and the comment character, the program numbers
// of the line after a start line are counted as the block lines they look
// like (the count of the list of lines, TCNCFile::PocetBloku).
template <typename C>
class TPocitadlo {
public:
    TPocitadlo(TZnacka<C> hlavni, TZnacka<C> vedlejsi, TZnacka<C> zacatek = {}, TZnacka<C> komentar = {})
        : hlavni_(hlavni), vedlejsi_(vedlejsi), zacatek_(zacatek), komentar_(komentar) {}
    explicit TPocitadlo(const TZadani<C>& z) : TPocitadlo(z.HlavniZnak, z.VedlejsiZnak, z.Zacatek, z.Komentar) {}
    // The line before the text is a start line (a selection's text).
    void PoZacatku(bool po) { poZacatku_ = po; }
    void Pridat(std::basic_string_view<C> kus);
    // One line without its break, for a caller that walks the lines itself.
    void Radek(std::basic_string_view<C> radek);
    const TPocty& Pocty() const { return pocty_; }

private:
    void Spocitat(std::basic_string_view<C> radek);

    TZnacka<C> hlavni_, vedlejsi_, zacatek_, komentar_;
    TPocty pocty_;
    bool poZacatku_ = false;
};

template <typename C>
TPocty Spocitat(std::basic_string_view<C> text, TZnacka<C> hlavni, TZnacka<C> vedlejsi) {
    TPocitadlo<C> p(hlavni, vedlejsi);
    p.Pridat(text);
    return p.Pocty();
}

template <typename C>
TPocty Spocitat(std::basic_string_view<C> text, const TZadani<C>& z, bool poZacatku = false) {
    TPocitadlo<C> p(z);
    p.PoZacatku(poZacatku);
    p.Pridat(text);
    return p.Pocty();
}

// Whether a line (not trimmed yet) is a program number, as the passes take
// it; poZacatku: the line before it is a start line.
template <typename C>
bool JeCisloProgramu(std::basic_string_view<C> radek, const TZadani<C>& z, bool poZacatku);

// The end of the line that starts at od: the position of its CR or LF, or
// the end of the text.
std::size_t KonecRadku(std::string_view text, std::size_t od);
std::size_t KonecRadku(std::u16string_view text, std::size_t od);

// Where the next line starts after the break at konec (a position KonecRadku
// gave, before the end): past a CR LF, a lone CR or a lone LF.
template <typename C>
constexpr std::size_t ZaZlomem(std::basic_string_view<C> text, std::size_t konec) {
    return konec + ((text[konec] == C('\r') && konec + 1 < text.size() && text[konec + 1] == C('\n')) ? 2 : 1);
}

// The end of a piece of a text from od: the start of the first line that
// begins at least velikost units after od, or the end of the text. A piece
// holds whole lines, and a CR LF is never cut.
std::size_t KonecKusu(std::string_view text, std::size_t od, std::size_t velikost);

// The buffer a pass writes the new text into. It hands its content on
// (Odevzdat) whenever it holds a piece of about a megabyte, so that a long
// text never needs a second copy of itself.
template <typename C>
class TVystup {
public:
    using TOdevzdani = std::function<void(std::basic_string_view<C>)>;
    // Without odevzdat, the buffer only grows and is read with Obsah.
    explicit TVystup(TOdevzdani odevzdat = {}, std::size_t kus = std::size_t{1} << 20);

    std::basic_string_view<C> Obsah() const { return {data_.get(), delka_}; }
    void Vyprazdnit() { delka_ = 0; }
    // Hands the content on (when there is someone to take it) and empties it.
    void Odevzdat();
    // When a piece is full: Odevzdat.
    void MoznaOdevzdat() {
        if (odevzdat_ && delka_ >= kus_) Odevzdat();
    }

    // Room for n more units; Zapsano(k) counts the k written into it.
    C* Misto(std::size_t n) {
        if (kapacita_ - delka_ < n) Zvetsit(n);
        return data_.get() + delka_;
    }
    void Zapsano(std::size_t k) { delka_ += k; }
    void Pripojit(std::basic_string_view<C> s);

private:
    void Zvetsit(std::size_t n);
    TOdevzdani odevzdat_;
    std::size_t kus_;
    std::unique_ptr<C[]> data_;
    std::size_t delka_ = 0, kapacita_ = 0;
};

// What a renumbering writes of a line after its new front, when that is
// more than the rest of the line as it was: the references to block numbers
// that it rewrites (engine/Odkazy.h). The pass calls Zapsat for the lines
// from Dalsi() on (lines count from 0 in the pass); the lines before go out
// as they are, without a call.
class TZbytekRadku {
public:
    virtual ~TZbytekRadku() = default;
    std::size_t Dalsi() const { return dalsi_; }
    // Writes bytes od.. of line radek (as the pass got it, before the trim) into vystup.
    virtual void Zapsat(TVystup<char>& vystup, std::size_t radek, std::string_view text, std::size_t od) = 0;

protected:
    std::size_t dalsi_ = static_cast<std::size_t>(-1);
};

// One rewriting pass: introduces, renumbers or removes the block numbers of a
// text that comes line by line (Radek) or in pieces of whole lines (Pridat),
// writing the new text, its lines ended by CR LF, into the output buffer.
// Constructing it starts the pass (the interface's busy cursor); destroying
// it ends the pass (default cursor and beep), also after an error.
//
// A line serves the user interface after it is written (every line when
// renumbering and removing, ordinary lines when introducing), and its
// progress becomes the pass's. When serving the interface throws, that line
// is written, every later line goes out as it came (untrimmed, CR LF after
// it), and the exception goes on.
template <typename C>
class TPruchod {
public:
    // radku: the number of lines of the whole text. zlomZaPoslednim: CR LF
    // after the last line too, also when the text did not end with a break.
    TPruchod(const TZadani<C>& zadani, std::size_t radku, TVystup<C>& vystup,
             TPrubeh& prubeh = TPrubeh::Zadny(), bool zlomZaPoslednim = false);
    ~TPruchod();
    TPruchod(const TPruchod&) = delete;
    TPruchod& operator=(const TPruchod&) = delete;

    // Renumbering of UTF-8 writes the rest of the lines through z (none: as they are).
    void PsatZbytky(TZbytekRadku* z)
        requires std::is_same_v<C, char>
    {
        zbytky_ = z;
    }

    // One line without its break; zlom: the line had a break after it.
    void Radek(std::basic_string_view<C> radek, bool zlom);
    // The lines of kus, which ends after a line break or at the end of the text.
    void Pridat(std::basic_string_view<C> kus);
    // The progress of the last line that served the interface.
    std::uint8_t Procenta() const { return obslouzil_ ? cnc::Procenta(posledni_, radku_) : 0; }
    // The line before the text is a start line (a selection's text): a
    // program number on its first line stays.
    void PoZacatku(bool po) { poZacatku_ = po; }

private:
    // The three rewritings of one line; Zavest returns whether the line is
    // an ordinary one.
    bool Zavest(std::basic_string_view<C> radek);
    void Precislovat(std::basic_string_view<C> radek);
    void Odstranit(std::basic_string_view<C> radek);
    void Zlom(bool zlom);
    void Obslouzit();

    TZadani<C> z_;
    std::size_t radku_;
    TVystup<C>& vystup_;
    TPrubeh& prubeh_;
    bool zlomZaPoslednim_;
    TZbytekRadku* zbytky_ = nullptr;
    std::size_t i_ = 0;  // the line being written
    std::uint32_t cislo_;
    // The last line that served the interface (its progress is reckoned when asked).
    std::size_t posledni_ = 0;
    bool obslouzil_ = false;
    bool cislovany_ = false;  // introducing: the line just written got a number
    bool poZacatku_ = false;  // the line before is a start line
    bool preruseno_ = false;
};

extern template class TPocitadlo<char>;
extern template class TPocitadlo<char16_t>;
extern template class TVystup<char>;
extern template class TVystup<char16_t>;
extern template class TPruchod<char>;
extern template class TPruchod<char16_t>;

}  // namespace cnc

// The engine's operations on lists of UTF-16 lines, in the order of their
// arguments of old; each runs one pass of cnc::TPruchod over the lines.
class TCNCFile {
public:
    explicit TCNCFile(TPrubeh& prubeh = TPrubeh::Zadny()) : prubeh_(&prubeh) {}

    TPrubeh& Prubeh() const { return *prubeh_; }

    // Number of block lines by cnc::JeBlokovyRadek. Only reads the lines.
    std::int32_t PocetBloku(const TRadky& Radky, std::u16string_view HlavniZnak,
                            std::u16string_view VedlejsiZnak) const;

    // The test of PocetBloku for one line.
    static bool JeBlokovyRadek(std::u16string_view Radek, std::u16string_view HlavniZnak,
                               std::u16string_view VedlejsiZnak);

    // The number that follows Cislo: Cislo + Prirustek while Cislo is below the
    // maximum; once it has reached it, PrvniBlok again (restart) or Cislo (keep).
    static std::uint32_t DalsiCislo(std::uint32_t Cislo, std::uint32_t PrvniBlok,
                                    std::uint32_t Prirustek, std::uint32_t MaximalniBlok,
                                    bool CislovatOdZacatku) {
        if (Cislo < MaximalniBlok) return Cislo + Prirustek;
        return CislovatOdZacatku ? PrvniBlok : Cislo;
    }

    // The rewriting passes return the progress percentage 0..100 of the last
    // line that served the user interface. The lines are rewritten in order;
    // when the pass is interrupted by an exception, the lines before the point
    // of interruption are processed, the rest are as they were, the interface
    // is told that the pass ended, and the exception goes on.

    // Puts VedlejsiZnak + number + blank in front of every ordinary line (behind
    // its block-skip mark), and of start, end and comment lines when their
    // switch is on. The numbering restarts at every start line.
    std::uint8_t ZavestBloky(TRadky& Radky, std::u16string_view Zacatek,
                             std::u16string_view Konec, std::u16string_view Komentar,
                             std::uint32_t PrvniBlok, std::uint32_t Prirustek,
                             std::uint32_t MaximalniBlok, bool BlokPredZnakZacatku,
                             bool BlokPredZnakKonce, bool BlokPredZnakKomentare,
                             std::u16string_view VedlejsiZnak, bool CislovatOdZacatku) const;

    // Replaces the digits after the block character of every block line with
    // the next number of a fresh sequence, keeping the kind of block character
    // and the block-skip mark. The sequence restarts at every start line.
    std::uint8_t PrecislovatBloky(TRadky& Radky, std::uint32_t PrvniBlok,
                                  std::uint32_t Prirustek, std::uint32_t MaximalniBlok,
                                  std::u16string_view Zacatek, std::u16string_view HlavniZnak,
                                  std::u16string_view VedlejsiZnak,
                                  bool CislovatOdZacatku) const;

    // Removes the block character and the digits that follow it from every
    // block line; the rest of the line, a block-skip mark included, stays.
    std::uint8_t OdstranitBloky(TRadky& Radky, std::u16string_view HlavniZnak,
                                std::u16string_view VedlejsiZnak) const;

    // Any of the three on the lines, as zadani says.
    std::uint8_t Prepsat(TRadky& Radky, const cnc::TZadani<char16_t>& zadani) const;

private:
    TPrubeh* prubeh_;
};
