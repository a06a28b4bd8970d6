#include "CNCEdit.h"
#include "Vkladani.h"

#include <algorithm>
#include <cstring>
#include <exception>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

class TZadnyPrubeh final : public TPrubeh {
public:
    void ZacitPruchod() override {}
    void ObslouzitUdalosti(std::size_t, std::size_t) override {}
    void UkoncitPruchod() override {}
};

// A marker's length is an 8-bit count: a longer marker never begins a line.
constexpr std::size_t MaxDelkaZnacky = 255;

template <typename C>
using TPohled = std::basic_string_view<C>;

// A code unit's value: bytes of UTF-8 are unsigned.
inline unsigned Kod(char c) { return static_cast<unsigned char>(c); }
inline unsigned Kod(char16_t c) { return c; }

// Number of leading code units <= 32 (blank, tab and the control characters).
template <typename C>
inline std::size_t DelkaOdsazeni(TPohled<C> s) {
    std::size_t k = 0;
    while (k < s.size() && Kod(s[k]) <= 32) ++k;
    return k;
}

template <typename C>
inline TPohled<C> OrezatZleva(TPohled<C> s) {
    return s.substr(DelkaOdsazeni(s));
}

// Case-sensitive prefix test; true for an empty marker. Markers are short:
// they are compared unit by unit.
template <typename C>
inline bool ZacinaNa(TPohled<C> s, const cnc::TZnacka<C>& znacka) {
    const std::size_t n = znacka.Text.size();
    if (!znacka.MuzeZacinat || s.size() < n) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (s[i] != znacka.Text[i]) return false;
    return true;
}

template <typename C>
inline bool JeCislice(C c) {
    return Kod(c) - '0' <= 9u;
}

// The front of a block line (already trimmed): the kind of block character
// found last (true: main), how many units the block character(s), and the
// digits once counted, take (delka), and the number of digits (cislic).
struct TRozborBloku {
    bool hlavni = false;
    std::size_t delka = 0;
    std::size_t cislic = 0;
    std::size_t preskoceni = 0;  // units of the block-skip mark in front, counted in delka
};

// A block character that is set and begins s.
template <typename C>
inline bool ZnakBloku(TPohled<C> s, const cnc::TZnacka<C>& znak) {
    return !znak.Text.empty() && ZacinaNa(s, znak);
}

// The block-skip mark of a trimmed line that begins with "/" ("/", or "/1"
// to "/9"), when a block character that is set follows it: its units; 0 when
// the line has none, or begins with a block character itself. Rare: out of
// the line's way.
template <typename C>
NIKDY_INLINE std::size_t PreskoceniZaLomitkem(TPohled<C> s, const cnc::TZnacka<C>& hlavni,
                                              const cnc::TZnacka<C>& vedlejsi) {
    if (ZnakBloku(s, hlavni) || ZnakBloku(s, vedlejsi)) return 0;
    if (s.size() > 2 && Kod(s[1]) - '1' < 9u) {
        const TPohled<C> za = s.substr(2);
        if (ZnakBloku(za, hlavni) || ZnakBloku(za, vedlejsi)) return 2;
    }
    const TPohled<C> za = s.substr(1);
    return ZnakBloku(za, hlavni) || ZnakBloku(za, vedlejsi) ? 1 : 0;
}

// The block-skip mark of a trimmed line: its units, 0 for none.
template <typename C>
inline std::size_t Preskoceni(TPohled<C> s, const cnc::TZnacka<C>& hlavni, const cnc::TZnacka<C>& vedlejsi) {
    return !s.empty() && s[0] == '/' ? PreskoceniZaLomitkem(s, hlavni, vedlejsi) : 0;
}

// The block-skip mark that introducing keeps in front of the new number: "/",
// or "/1" to "/9" when no further digit follows; 0 for a line without one.
template <typename C>
inline std::size_t ZnackaPreskoceni(TPohled<C> s) {
    if (s.empty() || s[0] != '/') return 0;
    return s.size() > 1 && Kod(s[1]) - '1' < 9u && !(s.size() > 2 && Kod(s[2]) - '0' <= 9u) ? 2 : 1;
}

// The block characters at the front of s: the main one, then the secondary one.
template <typename C>
inline TRozborBloku ZnakyBloku(TPohled<C> s, const cnc::TZnacka<C>& hlavni, const cnc::TZnacka<C>& vedlejsi) {
    TRozborBloku r;
    if (!hlavni.Text.empty() && ZacinaNa(s, hlavni)) {
        r.delka = hlavni.Text.size();
        r.hlavni = true;
    }
    if (!vedlejsi.Text.empty() && ZacinaNa(s.substr(r.delka), vedlejsi)) {
        r.delka += vedlejsi.Text.size();
        r.hlavni = false;
    }
    return r;
}

// A letter or "_" right after the block characters makes a word, not a block
// number: NEWCONF and the label NINE: are no block lines; N10, "N G02" and
// "N(" are.
template <typename C>
inline bool SlovoOd(TPohled<C> s, std::size_t i) {
    if (i >= s.size()) return false;
    const unsigned c = Kod(s[i]);
    return (c - 'A' < 26u) || (c - 'a' < 26u) || c == '_';
}

// The block-line test of renumbering and removing on a trimmed line: behind
// its block-skip mark, if any, it begins with either block character (an
// empty one begins every line) and no word follows the block characters. A
// block line's mark, characters and digits go to blok.
template <typename C>
inline bool JeBlokovy(TPohled<C> s, const cnc::TZnacka<C>& hlavni, const cnc::TZnacka<C>& vedlejsi,
                      TRozborBloku& blok) {
    const std::size_t skok = Preskoceni(s, hlavni, vedlejsi);
    s.remove_prefix(skok);
    if (!ZacinaNa(s, hlavni) && !ZacinaNa(s, vedlejsi)) return false;
    blok = ZnakyBloku(s, hlavni, vedlejsi);
    if (SlovoOd(s, blok.delka)) return false;
    while (blok.delka + blok.cislic < s.size() && JeCislice(s[blok.delka + blok.cislic])) ++blok.cislic;
    blok.delka += blok.cislic + skok;
    blok.preskoceni = skok;
    return true;
}

// A program number at the front of a trimmed line: "O" or ":" and a digit,
// where that character is no block character; where it is one, only with
// nothing but blanks and a comment after its digits, right after a start
// line (poZacatku).
template <typename C>
inline bool CisloProgramuOd(TPohled<C> s, const cnc::TZadani<C>& z, bool poZacatku) {
    if (s.size() < 2 || (s[0] != C('O') && s[0] != C(':')) || !JeCislice(s[1])) return false;
    const auto jeZnak = [&](const cnc::TZnacka<C>& znak) {
        return znak.Text.size() == 1 && znak.Text[0] == s[0] && znak.MuzeZacinat;
    };
    if (!jeZnak(z.HlavniZnak) && !jeZnak(z.VedlejsiZnak)) return true;
    if (!poZacatku) return false;
    std::size_t k = 1;
    while (k < s.size() && JeCislice(s[k])) ++k;
    while (k < s.size() && Kod(s[k]) <= 32) ++k;
    return k == s.size() || (!z.Komentar.Text.empty() && ZacinaNa(s.substr(k), z.Komentar));
}

// The start test of a trimmed line.
template <typename C>
inline bool JeZacatek(TPohled<C> s, const cnc::TZnacka<C>& zacatek) {
    return !zacatek.Text.empty() && ZacinaNa(s, zacatek);
}

// A start line for the program number after it: the trimmed line begins
// with the start marker (zacatek: JeZacatek), or does so behind its block
// number (the first delkaBloku units of a block line) and blanks. Every
// line asks: the first unit after the blanks decides most of them.
template <typename C>
inline bool ZacatekProCislo(TPohled<C> s, const cnc::TZnacka<C>& zacatek, bool jeZacatek, bool blokovy,
                            std::size_t delkaBloku) {
    if (jeZacatek) return true;
    if (!blokovy || zacatek.Text.empty()) return false;
    std::size_t k = delkaBloku;
    while (k < s.size() && Kod(s[k]) <= 32) ++k;
    return k < s.size() && s[k] == zacatek.Text[0] && ZacinaNa(TPohled<C>(s.data() + k, s.size() - k), zacatek);
}

// Writes the number in decimal, with leading zeros up to sirka digits (0:
// none); returns the units written (at most 10, sirka being at most 9).
template <typename C>
inline std::size_t ZapsatCislo(C* cil, std::uint32_t cislo, std::uint8_t sirka) {
    C cifry[10];
    std::size_t n = 0;
    do {
        cifry[n++] = static_cast<C>('0' + cislo % 10);
        cislo /= 10;
    } while (cislo != 0);
    while (n < sirka && n < 9) cifry[n++] = static_cast<C>('0');
    for (std::size_t i = 0; i < n; ++i) cil[i] = cifry[n - 1 - i];
    return n;
}

#ifndef __SSE2__
// The line break bytes: a word of eight bytes holds one when any of its
// bytes is CR or LF.
inline bool MaZlom(std::uint64_t slovo) {
    constexpr std::uint64_t Jednicky = 0x0101010101010101ull;
    constexpr std::uint64_t Horni = 0x8080808080808080ull;
    const std::uint64_t lf = slovo ^ (Jednicky * '\n');
    const std::uint64_t cr = slovo ^ (Jednicky * '\r');
    return (((lf - Jednicky) & ~lf) | ((cr - Jednicky) & ~cr)) & Horni;
}
#endif

}  // namespace

TPrubeh& TPrubeh::Zadny() {
    static TZadnyPrubeh zadny;
    return zadny;
}

namespace cnc {

std::uint8_t Procenta(std::size_t i, std::size_t n) {
    if (n == 0) return 0;
    // 100 * i fits easily: a list never holds 2^57 lines.
    const std::uint64_t citatel = 100u * static_cast<std::uint64_t>(i);
    std::uint64_t q = citatel / n;
    const std::uint64_t r2 = 2 * (citatel % n);
    if (r2 > n || (r2 == n && (q & 1u) != 0)) ++q;
    return static_cast<std::uint8_t>(q);
}

TZnacka<char16_t> Znacka16(std::u16string_view znacka) { return {znacka, znacka.size() <= MaxDelkaZnacky}; }

TZnackaUtf8::TZnackaUtf8(std::u16string_view z) {
    muze_ = z.size() <= MaxDelkaZnacky;
    text_.reserve(z.size());
    for (std::size_t i = 0; i < z.size(); ++i) {
        char32_t c = z[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && i + 1 < z.size() && z[i + 1] >= 0xDC00 && z[i + 1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (z[++i] - 0xDC00);
            } else {
                c = 0xFFFD;
                muze_ = false;
            }
        }
        if (c < 0x80) {
            text_ += static_cast<char>(c);
        } else if (c < 0x800) {
            text_ += static_cast<char>(0xC0 | (c >> 6));
            text_ += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            text_ += static_cast<char>(0xE0 | (c >> 12));
            text_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text_ += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            text_ += static_cast<char>(0xF0 | (c >> 18));
            text_ += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            text_ += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            text_ += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
}

}  // namespace cnc

namespace {

// The count's test, inline in the count's pass over the lines.
template <typename C>
VZDY_INLINE bool BlokovyRadek(TPohled<C> radek, const cnc::TZnacka<C>& hlavni, const cnc::TZnacka<C>& vedlejsi) {
    radek = OrezatZleva(radek);
    // Marker mode when both characters are set, digit mode otherwise.
    if (!hlavni.Text.empty() && !vedlejsi.Text.empty()) {
        const std::size_t skok = Preskoceni(radek, hlavni, vedlejsi);
        radek.remove_prefix(skok);
        const std::size_t znaku = ZnakyBloku(radek, hlavni, vedlejsi).delka;
        return znaku > 0 && !SlovoOd(radek, znaku);
    }
    return !radek.empty() && JeCislice(radek.front());
}

}  // namespace

namespace cnc {

template <typename C>
bool JeBlokovyRadek(TPohled<C> radek, TZnacka<C> hlavni, TZnacka<C> vedlejsi) {
    return BlokovyRadek(radek, hlavni, vedlejsi);
}

template bool JeBlokovyRadek(TPohled<char>, TZnacka<char>, TZnacka<char>);
template bool JeBlokovyRadek(TPohled<char16_t>, TZnacka<char16_t>, TZnacka<char16_t>);

std::size_t KonecRadku(std::string_view text, std::size_t i) {
    const std::size_t n = text.size();
#ifdef __SSE2__
    // Sixteen bytes at a time: the first CR or LF among them.
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (i + 16 <= n) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const unsigned maska =
            static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(b, lf), _mm_cmpeq_epi8(b, cr))));
        if (maska != 0) return i + static_cast<std::size_t>(__builtin_ctz(maska));
        i += 16;
    }
#else
    // Eight bytes at a time while none of them is a break.
    while (i + 8 <= n) {
        std::uint64_t slovo;
        std::memcpy(&slovo, text.data() + i, 8);
        if (MaZlom(slovo)) break;
        i += 8;
    }
#endif
    while (i < n && text[i] != '\n' && text[i] != '\r') ++i;
    return i;
}

std::size_t KonecRadku(std::u16string_view text, std::size_t i) {
    while (i < text.size() && text[i] != u'\n' && text[i] != u'\r') ++i;
    return i;
}

std::size_t KonecKusu(std::string_view text, std::size_t od, std::size_t velikost) {
    if (velikost >= text.size() - std::min(od, text.size())) return text.size();
    const std::size_t konec = KonecRadku(text, od + velikost);
    return konec < text.size() ? ZaZlomem(text, konec) : konec;
}

// Calls radek(line, zlom) for every line of kus; zlom: a break follows it.
template <typename C, typename F>
inline void ProRadky(TPohled<C> kus, F radek) {
    std::size_t i = 0;
    const std::size_t n = kus.size();
    while (i < n) {
        const std::size_t konec = KonecRadku(kus, i);
        const bool zlom = konec < n;
        radek(kus.substr(i, konec - i), zlom);
        if (!zlom) return;
        i = ZaZlomem(kus, konec);
    }
}

template <typename C>
bool JeCisloProgramu(TPohled<C> radek, const TZadani<C>& z, bool poZacatku) {
    return CisloProgramuOd(OrezatZleva(radek), z, poZacatku);
}

template bool JeCisloProgramu(TPohled<char>, const TZadani<char>&, bool);
template bool JeCisloProgramu(TPohled<char16_t>, const TZadani<char16_t>&, bool);

// One line: the plain test without a start marker; in marker mode the
// passes' test, which gives the block's length too (one reading of the
// line's front); otherwise the count's test, and the block's length only for
// a line that holds the start marker's first unit.
template <typename C>
VZDY_INLINE void TPocitadlo<C>::Spocitat(TPohled<C> radek) {
    ++pocty_.Radku;
    if (zacatek_.Text.empty()) {
        pocty_.Bloku += BlokovyRadek(radek, hlavni_, vedlejsi_);
        return;
    }
    const TPohled<C> s = OrezatZleva(radek);
    TRozborBloku b;
    bool blok = BlokovyRadek(radek, hlavni_, vedlejsi_);
    if (blok && poZacatku_) {
        // Right after a start line (rare): a program number is no block.
        TZadani<C> z;
        z.HlavniZnak = hlavni_;
        z.VedlejsiZnak = vedlejsi_;
        z.Komentar = komentar_;
        blok = !CisloProgramuOd(s, z, true);
    }
    pocty_.Bloku += blok;
    const bool zacatek = JeZacatek(s, zacatek_);
    blok = blok && !zacatek && std::char_traits<C>::find(s.data(), s.size(), zacatek_.Text[0]) &&
           JeBlokovy(s, hlavni_, vedlejsi_, b);
    poZacatku_ = ZacatekProCislo(s, zacatek_, zacatek, blok, b.delka);
}

template <typename C>
void TPocitadlo<C>::Pridat(TPohled<C> kus) {
    if (zacatek_.Text.empty()) {
        // Without a start marker no line is a start line: the plain test, in a loop of its own.
        ProRadky(kus, [&](TPohled<C> radek, bool) {
            ++pocty_.Radku;
            pocty_.Bloku += BlokovyRadek(radek, hlavni_, vedlejsi_);
        });
        return;
    }
    ProRadky(kus, [&](TPohled<C> radek, bool) { Spocitat(radek); });
}

template <typename C>
void TPocitadlo<C>::Radek(TPohled<C> radek) {
    Spocitat(radek);
}

template <typename C>
TVystup<C>::TVystup(TOdevzdani odevzdat, std::size_t kus) : odevzdat_(std::move(odevzdat)), kus_(kus) {}

template <typename C>
void TVystup<C>::Odevzdat() {
    if (odevzdat_ && delka_ > 0) odevzdat_(Obsah());
    delka_ = 0;
}

template <typename C>
void TVystup<C>::Zvetsit(std::size_t n) {
    // A piece and a line's worth, or twice the content when it only grows.
    std::size_t nova = std::max(kapacita_ * 2, delka_ + n);
    if (odevzdat_) nova = std::max(nova, kus_ + n + 256);
    auto data = std::make_unique_for_overwrite<C[]>(nova);
    if (delka_ > 0) std::memcpy(data.get(), data_.get(), delka_ * sizeof(C));
    data_ = std::move(data);
    kapacita_ = nova;
}

template <typename C>
void TVystup<C>::Pripojit(TPohled<C> s) {
    if (s.empty()) return;
    std::memcpy(Misto(s.size()), s.data(), s.size() * sizeof(C));
    delka_ += s.size();
}

template <typename C>
TPruchod<C>::TPruchod(const TZadani<C>& zadani, std::size_t radku, TVystup<C>& vystup, TPrubeh& prubeh,
                      bool zlomZaPoslednim)
    : z_(zadani), radku_(radku), vystup_(vystup), prubeh_(prubeh), zlomZaPoslednim_(zlomZaPoslednim),
      cislo_(zadani.PrvniBlok) {
    prubeh_.ZacitPruchod();
}

template <typename C>
TPruchod<C>::~TPruchod() {
    try {
        prubeh_.UkoncitPruchod();
    } catch (...) {
        // The pass's own outcome (or exception) is what the caller sees.
    }
}

template <typename C>
void TPruchod<C>::Zlom(bool zlom) {
    if (zlom || zlomZaPoslednim_) {
        C* w = vystup_.Misto(2);
        w[0] = '\r';
        w[1] = '\n';
        vystup_.Zapsano(2);
    }
}

template <typename C>
void TPruchod<C>::Obslouzit() {
    posledni_ = i_;
    obslouzil_ = true;
    prubeh_.ObslouzitUdalosti(i_ + 1, radku_);
}

template <typename C>
bool TPruchod<C>::Zavest(TPohled<C> radek) {
    TPohled<C> s = OrezatZleva(radek);
    bool cislovat;
    bool bezny = false;
    const bool poZacatku = poZacatku_;
    poZacatku_ = JeZacatek(s, z_.Zacatek);
    if (poZacatku_) {
        cislo_ = z_.PrvniBlok;
        cislovat = z_.BlokPredZnakZacatku;
    } else if (CisloProgramuOd(s, z_, poZacatku)) {
        // A program number keeps its place before the blocks.
        cislovat = false;
    } else if (!z_.Konec.Text.empty() && ZacinaNa(s, z_.Konec)) {
        cislovat = z_.BlokPredZnakKonce;
    } else if (!z_.Komentar.Text.empty() && ZacinaNa(s, z_.Komentar)) {
        cislovat = z_.BlokPredZnakKomentare;
    } else {
        cislovat = true;
        bezny = true;
    }
    const TPohled<C> znak = z_.VedlejsiZnak.Text;
    // Right after a start line, ":10" or "O10" alone (or before a comment)
    // is what the control reads as the program's number: such a line gets
    // no number of those characters.
    if (cislovat && poZacatku && znak.size() == 1 && (znak[0] == C(':') || znak[0] == C('O')) &&
        (s.empty() || (!z_.Komentar.Text.empty() && ZacinaNa(s, z_.Komentar))))
        cislovat = false;
    C* w = vystup_.Misto(znak.size() + 11 + s.size());
    std::size_t k = 0;
    if (cislovat) {
        // A block-skip mark stays first; the blanks behind it give way to the number's.
        if (const std::size_t skok = znak.empty() ? 0 : ZnackaPreskoceni(s); skok > 0) {
            for (; k < skok; ++k) w[k] = s[k];
            s.remove_prefix(skok);
            s = OrezatZleva(s);
        }
        std::char_traits<C>::copy(w + k, znak.data(), znak.size());
        k += znak.size();
        k += ZapsatCislo(w + k, cislo_, z_.SirkaCisla);
        w[k++] = ' ';
    }
    std::char_traits<C>::copy(w + k, s.data(), s.size());
    vystup_.Zapsano(k + s.size());
    cislovany_ = cislovat;
    return bezny;
}

template <typename C>
void TPruchod<C>::Precislovat(TPohled<C> radek) {
    const TPohled<C> s = OrezatZleva(radek);
    // The start test looks at the trimmed line, as the line is written.
    const bool zacatek = JeZacatek(s, z_.Zacatek);
    if (zacatek) cislo_ = z_.PrvniBlok;
    // No emptiness check here: an empty character begins every line. A
    // program number stays as it is.
    TRozborBloku blok;
    bool blokovy = JeBlokovy(s, z_.HlavniZnak, z_.VedlejsiZnak, blok);
    if (blokovy && poZacatku_ && CisloProgramuOd(s, z_, true)) blokovy = false;
    poZacatku_ = ZacatekProCislo(s, z_.Zacatek, zacatek, blokovy, blok.delka);
    // What follows the front: the block characters and the digits go; the
    // block-skip mark stays.
    const TPohled<C> zbytek = blokovy ? s.substr(blok.delka) : s;
    const std::size_t skok = blokovy ? blok.preskoceni : 0;
    bool psatZbytek = false;
    if constexpr (std::is_same_v<C, char>) psatZbytek = zbytky_ && i_ >= zbytky_->Dalsi();
    if (blokovy && blok.cislic > 0) {
        const TPohled<C> znak = blok.hlavni ? z_.HlavniZnak.Text : z_.VedlejsiZnak.Text;
        C* w = vystup_.Misto(skok + znak.size() + 10 + zbytek.size());
        for (std::size_t k = 0; k < skok; ++k) w[k] = s[k];  // at most two units
        std::char_traits<C>::copy(w + skok, znak.data(), znak.size());
        std::size_t k = skok + znak.size();
        k += ZapsatCislo(w + k, cislo_, z_.SirkaCisla);
        cislo_ = TCNCFile::DalsiCislo(cislo_, z_.PrvniBlok, z_.Prirustek, z_.MaximalniBlok, z_.CislovatOdZacatku);
        if (!psatZbytek) {
            std::char_traits<C>::copy(w + k, zbytek.data(), zbytek.size());
            vystup_.Zapsano(k + zbytek.size());
            return;
        }
        vystup_.Zapsano(k);
    } else {
        if (skok > 0) vystup_.Pripojit(s.substr(0, skok));
        if (!psatZbytek) {
            vystup_.Pripojit(zbytek);
            return;
        }
    }
    if constexpr (std::is_same_v<C, char>) zbytky_->Zapsat(vystup_, i_, radek, radek.size() - zbytek.size());
}

template <typename C>
void TPruchod<C>::Odstranit(TPohled<C> radek) {
    const TPohled<C> s = OrezatZleva(radek);
    TRozborBloku blok;
    const bool cisloProgramu = poZacatku_ && CisloProgramuOd(s, z_, true);
    const bool blokovy = !cisloProgramu && JeBlokovy(s, z_.HlavniZnak, z_.VedlejsiZnak, blok);
    poZacatku_ = ZacatekProCislo(s, z_.Zacatek, JeZacatek(s, z_.Zacatek), blokovy, blok.delka);
    if (!blokovy) return vystup_.Pripojit(s);
    if (blok.preskoceni > 0) vystup_.Pripojit(s.substr(0, blok.preskoceni));
    vystup_.Pripojit(s.substr(blok.delka));
}

template <typename C>
void TPruchod<C>::Radek(TPohled<C> radek, bool zlom) {
    if (preruseno_) {
        // After an interruption the lines go out as they came.
        vystup_.Pripojit(radek);
        Zlom(zlom);
        ++i_;
        return;
    }
    bool obslouzit = true;
    switch (z_.Prikaz) {
        case TPrikaz::Zavest: obslouzit = Zavest(radek); break;
        case TPrikaz::Precislovat: Precislovat(radek); break;
        case TPrikaz::Odstranit: Odstranit(radek); break;
    }
    Zlom(zlom);
    if (obslouzit) {
        try {
            Obslouzit();
        } catch (...) {
            preruseno_ = true;
            ++i_;
            throw;
        }
    }
    // A numbered line of introducing advances after it has served the interface.
    if (z_.Prikaz == TPrikaz::Zavest && cislovany_)
        cislo_ = TCNCFile::DalsiCislo(cislo_, z_.PrvniBlok, z_.Prirustek, z_.MaximalniBlok, z_.CislovatOdZacatku);
    ++i_;
}

template <typename C>
void TPruchod<C>::Pridat(TPohled<C> kus) {
    // An interruption lets the rest of the piece go out as it came, then goes on.
    std::exception_ptr chyba;
    ProRadky(kus, [&](TPohled<C> radek, bool zlom) {
        try {
            Radek(radek, zlom);
        } catch (...) {
            if (!chyba) chyba = std::current_exception();
        }
        vystup_.MoznaOdevzdat();
    });
    if (chyba) std::rethrow_exception(chyba);
}

template class TPocitadlo<char>;
template class TPocitadlo<char16_t>;
template class TVystup<char>;
template class TVystup<char16_t>;
template class TPruchod<char>;
template class TPruchod<char16_t>;

}  // namespace cnc

// ---------------------------------------------------------------- lists of UTF-16 lines

namespace {

cnc::TZadani<char16_t> Zadani16(cnc::TPrikaz prikaz, std::u16string_view hlavni, std::u16string_view vedlejsi) {
    cnc::TZadani<char16_t> z;
    z.Prikaz = prikaz;
    z.HlavniZnak = cnc::Znacka16(hlavni);
    z.VedlejsiZnak = cnc::Znacka16(vedlejsi);
    return z;
}

}  // namespace

bool TCNCFile::JeBlokovyRadek(std::u16string_view Radek, std::u16string_view HlavniZnak,
                              std::u16string_view VedlejsiZnak) {
    return cnc::JeBlokovyRadek(Radek, cnc::Znacka16(HlavniZnak), cnc::Znacka16(VedlejsiZnak));
}

std::int32_t TCNCFile::PocetBloku(const TRadky& Radky, std::u16string_view HlavniZnak,
                                  std::u16string_view VedlejsiZnak) const {
    std::int32_t pocet = 0;
    for (const std::u16string& radek : Radky)
        if (JeBlokovyRadek(radek, HlavniZnak, VedlejsiZnak)) ++pocet;
    return pocet;
}

std::uint8_t TCNCFile::Prepsat(TRadky& Radky, const cnc::TZadani<char16_t>& zadani) const {
    // Each line is written alone and takes the place of the one it came from.
    cnc::TVystup<char16_t> vystup;
    cnc::TPruchod<char16_t> pruchod(zadani, Radky.size(), vystup, *prubeh_);
    for (std::u16string& radek : Radky) {
        vystup.Vyprazdnit();
        try {
            pruchod.Radek(radek, false);
        } catch (...) {
            radek.assign(vystup.Obsah());
            throw;
        }
        radek.assign(vystup.Obsah());
    }
    return pruchod.Procenta();
}

std::uint8_t TCNCFile::ZavestBloky(TRadky& Radky, std::u16string_view Zacatek,
                                   std::u16string_view Konec, std::u16string_view Komentar,
                                   std::uint32_t PrvniBlok, std::uint32_t Prirustek,
                                   std::uint32_t MaximalniBlok, bool BlokPredZnakZacatku,
                                   bool BlokPredZnakKonce, bool BlokPredZnakKomentare,
                                   std::u16string_view VedlejsiZnak,
                                   bool CislovatOdZacatku) const {
    cnc::TZadani<char16_t> z = Zadani16(cnc::TPrikaz::Zavest, {}, VedlejsiZnak);
    z.Zacatek = cnc::Znacka16(Zacatek);
    z.Konec = cnc::Znacka16(Konec);
    z.Komentar = cnc::Znacka16(Komentar);
    z.PrvniBlok = PrvniBlok;
    z.Prirustek = Prirustek;
    z.MaximalniBlok = MaximalniBlok;
    z.CislovatOdZacatku = CislovatOdZacatku;
    z.BlokPredZnakZacatku = BlokPredZnakZacatku;
    z.BlokPredZnakKonce = BlokPredZnakKonce;
    z.BlokPredZnakKomentare = BlokPredZnakKomentare;
    return Prepsat(Radky, z);
}

std::uint8_t TCNCFile::PrecislovatBloky(TRadky& Radky, std::uint32_t PrvniBlok,
                                        std::uint32_t Prirustek, std::uint32_t MaximalniBlok,
                                        std::u16string_view Zacatek,
                                        std::u16string_view HlavniZnak,
                                        std::u16string_view VedlejsiZnak,
                                        bool CislovatOdZacatku) const {
    cnc::TZadani<char16_t> z = Zadani16(cnc::TPrikaz::Precislovat, HlavniZnak, VedlejsiZnak);
    z.Zacatek = cnc::Znacka16(Zacatek);
    z.PrvniBlok = PrvniBlok;
    z.Prirustek = Prirustek;
    z.MaximalniBlok = MaximalniBlok;
    z.CislovatOdZacatku = CislovatOdZacatku;
    return Prepsat(Radky, z);
}

std::uint8_t TCNCFile::OdstranitBloky(TRadky& Radky, std::u16string_view HlavniZnak,
                                      std::u16string_view VedlejsiZnak) const {
    return Prepsat(Radky, Zadani16(cnc::TPrikaz::Odstranit, HlavniZnak, VedlejsiZnak));
}
