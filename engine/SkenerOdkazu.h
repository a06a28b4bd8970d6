// Inside the engine only: the byte-level reading that the reference pass
// does on every line. The front of a line (its block number, read eight
// bytes at a time), and the pre-filter that tells, sixteen (or eight) bytes
// at a time, whether a line holds a letter that starts a reference: the
// letters come from the list of families (engine/RodinyOdkazu.h), the one
// place that names them, and both the SSE and the plain branch, and the
// windows of a whole text, are built from them. Whatever the grammar reads
// passes this test. Inline: it runs for every line.
#pragma once

#include "Odkazy.h"
#include "Vkladani.h"

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string_view>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace odkazy {

constexpr std::size_t MaxDelkaZnacky = 255;
// A number that 64 bits do not hold.
constexpr std::uint64_t PrilisVelke = std::numeric_limits<std::uint64_t>::max();
// Block numbers are kept in 32 bits: from this one on, no reference finds a block.
constexpr std::uint32_t VelkeCisloBloku = std::numeric_limits<std::uint32_t>::max();
// No number: a line that calls no program, or starts none.
constexpr std::uint64_t BezCisla = ~std::uint64_t{0};

inline bool JeCislice(char c) { return c >= '0' && c <= '9'; }
inline bool JePismeno(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// Letters and "_" make words: after the block characters they make a line no block line.
inline bool JeSlovni(char c) { return JePismeno(c) || c == '_'; }
inline char Velke(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
// The blanks that may stand between an address letter and its value.
inline bool JeMezera(char c) { return c == ' ' || c == '\t'; }

// The UTF-16 units of a UTF-8 text: a marker's length limit counts them.
std::size_t DelkaUtf16(std::string_view s);

// Markers are a few bytes: compared in place, without a call.
inline bool ZacinaNa(std::string_view s, std::string_view znacka, bool pouzitelna) {
    if (!pouzitelna || s.size() < znacka.size()) return false;
    for (std::size_t i = 0; i < znacka.size(); ++i)
        if (s[i] != znacka[i]) return false;
    return true;
}

// The value of decimal digits; PrilisVelke for one that 64 bits do not hold.
std::uint64_t Hodnota(std::string_view cislice);

// ---------------------------------------------------------------- the front of a line

// Eight bytes of a line, the first in the lowest byte: how many of them,
// from the first, are digits. A byte is a digit when its high half is 3 and
// it stays so with 6 added; a carry out of a byte that is no digit reaches
// only the bytes after it.
inline std::size_t CislicNaZacatku(std::uint64_t w) {
    constexpr std::uint64_t Horni = 0xF0F0F0F0F0F0F0F0ull, Trojky = 0x3030303030303030ull;
    const std::uint64_t jine = ((w & Horni) ^ Trojky) | (((w + 0x0606060606060606ull) & Horni) ^ Trojky);
    return jine == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(jine)) / 8;
}

// The value of the first cislic (1 to 7) digits of eight bytes.
inline std::uint64_t HodnotaCislic(std::uint64_t w, std::size_t cislic) {
    // The digits moved to the top bytes, zeros (as leading zeros) below them.
    w = (w - 0x3030303030303030ull) << (8 * (8 - cislic));
    w = (w * 10 + (w >> 8)) & 0x00FF00FF00FF00FFull;
    w = (w * 100 + (w >> 16)) & 0x0000FFFF0000FFFFull;
    return (w * 10000 + (w >> 32)) & 0xFFFFFFFFull;
}

// Where the block characters of a line whose trimmed text begins with "/"
// at k start: behind a block-skip mark ("/", "/1" to "/9") that a block
// character that is set follows; at k when there is none, or when the line
// begins with a block character itself. Rare: out of the line's way.
std::size_t ZaPreskocenim(const TPravidlaBloku& p, std::string_view radek, std::size_t k);

// The front of a line.
VZDY_INLINE TPravidlaBloku::TBlok RozebratRadek(const TPravidlaBloku& p, std::string_view radek) {
    using TBlok = TPravidlaBloku::TBlok;
    TBlok b;
    const char* d = radek.data();
    const std::size_t n = radek.size();
    std::size_t i = 0;
    while (i < n && static_cast<unsigned char>(d[i]) <= 32) ++i;
    b.Odsazeni = b.Konec = i;
    const std::string_view hlavni = p.Znaky.HlavniZnak, vedlejsi = p.Znaky.VedlejsiZnak;
    std::size_t k = i;  // past the block-skip mark, then past the block characters
    if (k < n && d[k] == '/') k = ZaPreskocenim(p, radek, k);
    if (p.JednobajtoveZnaky) {
        // No emptiness check here: an empty character begins every line.
        const bool h = !hlavni.empty() && k < n && d[k] == hlavni[0];
        if (!hlavni.empty() && !vedlejsi.empty() && !h && (k >= n || d[k] != vedlejsi[0])) return b;
        k += h;
        k += !vedlejsi.empty() && k < n && d[k] == vedlejsi[0];
    } else {
        const std::string_view s = radek.substr(k);
        if (!ZacinaNa(s, hlavni, p.HlavniPouzitelny) && !ZacinaNa(s, vedlejsi, p.VedlejsiPouzitelny)) return b;
        if (!hlavni.empty() && ZacinaNa(s, hlavni, p.HlavniPouzitelny)) k += hlavni.size();
        if (!vedlejsi.empty() && ZacinaNa(radek.substr(k), vedlejsi, p.VedlejsiPouzitelny)) k += vedlejsi.size();
    }
    if (k < n && JeSlovni(d[k])) return b;
    b.Blokovy = true;
    b.Cislice = k;
    std::uint64_t v = 0;
    if constexpr (std::endian::native == std::endian::little) {
        // Up to seven digits read from eight bytes at once, without a branch per digit.
        if (n - k >= 8) {
            std::uint64_t w;
            std::memcpy(&w, d + k, 8);
            const std::size_t cislic = CislicNaZacatku(w);
            if (cislic > 0 && cislic < 8) {
                b.Cislic = cislic;
                b.Konec = k + cislic;
                b.Hodnota = HodnotaCislic(w, cislic);
                return b;
            }
        }
    }
    for (; k < n && JeCislice(d[k]); ++k) v = v * 10 + static_cast<std::uint64_t>(d[k] - '0');
    b.Cislic = k - b.Cislice;
    b.Konec = k;
    // Up to 19 digits fit in 64 bits; a longer number is counted again, with care.
    b.Hodnota = b.Cislic < 20 ? v : Hodnota(radek.substr(b.Cislice, b.Cislic));
    return b;
}

// The start test at byte i, where the line's trim ends.
inline bool ZacatekOd(const TPravidlaBloku& p, std::string_view radek, std::size_t i) {
    const std::string_view z = p.Znaky.Zacatek;
    if (z.empty() || i >= radek.size() || radek[i] != z[0]) return false;
    return ZacinaNa(radek.substr(i), z, p.ZacatekPouzitelny);
}

// The number of a program that a line starts: "O" and digits (O1234), or
// ":" and digits where ":" begins no block number, after the trim; BezCisla
// when the line starts none.
inline std::uint64_t CisloProgramu(std::string_view radek, const TPravidlaBloku::TBlok& b) {
    const std::size_t i = b.Odsazeni;
    if (i + 1 >= radek.size() || (radek[i] != 'O' && radek[i] != ':') || !JeCislice(radek[i + 1])) return BezCisla;
    if (b.Blokovy && b.Cislic > 0) return BezCisla;  // a block number: a block line, no program
    std::size_t k = i + 1;
    while (k < radek.size() && JeCislice(radek[k])) ++k;
    return std::min(Hodnota(radek.substr(i + 1, k - i - 1)), BezCisla - 1);
}

// The number of a program that the line right after a start line gives as
// ":1234" (or "O1234") where that character is a block character: the
// number alone, or with blanks and a comment after it; BezCisla for none.
// Such a line is no block line (engine/CNCEdit.h).
inline std::uint64_t CisloProgramuZaZacatkem(const TPravidlaBloku& p, std::string_view radek,
                                             const TPravidlaBloku::TBlok& b) {
    if (!b.Blokovy || b.Cislic == 0 || b.Cislice != b.Odsazeni + 1) return BezCisla;
    if (radek[b.Odsazeni] != ':' && radek[b.Odsazeni] != 'O') return BezCisla;
    std::size_t k = b.Konec;
    while (k < radek.size() && static_cast<unsigned char>(radek[k]) <= 32) ++k;
    const std::string_view komentar = p.Znaky.Komentar;
    if (k < radek.size() && (komentar.empty() || !ZacinaNa(radek.substr(k), komentar, p.KomentarPouzitelny)))
        return BezCisla;
    return std::min(b.Hodnota, BezCisla - 1);
}

// A start line for the program number after it: the line begins with the
// start marker after the trim, or behind its block number and blanks.
inline bool ZacatekProCislo(const TPravidlaBloku& p, std::string_view radek, const TPravidlaBloku::TBlok& b,
                            bool zacatek) {
    if (zacatek) return true;
    if (!b.Blokovy || p.Znaky.Zacatek.empty()) return false;
    std::size_t k = b.Konec;
    while (k < radek.size() && static_cast<unsigned char>(radek[k]) <= 32) ++k;
    return ZacatekOd(p, radek, k);
}

// ---------------------------------------------------------------- the pre-filter

// The words that start a reference of any family, each once, and the
// letters the reading looks for: the one place they come from is the list
// of families. Lower case; the words are letters only.
struct TSpousteciSlova {
    std::array<TSpoustec, 16> Slova{};
    std::size_t PocetSlov = 0;
    std::array<char, 16> Pismena{};
    std::size_t PocetPismen = 0;
};

constexpr char Male(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr TSpousteciSlova SpousteciSlova() {
    TSpousteciSlova s;
    for (const TPopisRodiny& r : RodinyOdkazu)
        for (std::size_t i = 0; i < r.PocetSpoustecu; ++i) {
            const TSpoustec& w = r.Spoustece[i];
            bool je = false;
            for (std::size_t k = 0; k < s.PocetSlov; ++k)
                je = je || (s.Slova[k].Slovo == w.Slovo && s.Slova[k].Pismeno == w.Pismeno);
            if (!je) s.Slova[s.PocetSlov++] = w;
            const char p = Male(w.Slovo[w.Pismeno]);
            bool mam = false;
            for (std::size_t k = 0; k < s.PocetPismen; ++k) mam = mam || s.Pismena[k] == p;
            if (!mam) s.Pismena[s.PocetPismen++] = p;
        }
    return s;
}

inline constexpr TSpousteciSlova Spoustece = SpousteciSlova();
inline constexpr std::size_t PocetPismen = Spoustece.PocetPismen;

constexpr bool SpousteceJsouPismena() {
    for (std::size_t k = 0; k < Spoustece.PocetSlov; ++k) {
        const TSpoustec& w = Spoustece.Slova[k];
        if (w.Slovo.empty() || w.Pismeno >= w.Slovo.size()) return false;
        for (const char c : w.Slovo)
            if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
    }
    return Spoustece.PocetPismen > 0;
}
static_assert(SpousteceJsouPismena(), "a word that starts references is letters, its letter one of them");

// The letter that ends the search for a program end (M30, M2): the reading
// of ends looks only at lines that hold it.
constexpr char PismenoKonce = 'm';

// Could a reference start at byte j: is it the looked-for letter of a word
// that stands there? (A byte with 0x20 set is a lower-case letter only when
// it was a letter.)
inline bool Spoustec(std::string_view s, std::size_t j) {
    const char c = static_cast<char>(s[j] | 0x20);
    for (std::size_t k = 0; k < Spoustece.PocetSlov; ++k) {
        const TSpoustec& w = Spoustece.Slova[k];
        if (c != Male(w.Slovo[w.Pismeno])) continue;
        if (w.Slovo.size() == 1) return true;
        if (j < w.Pismeno || j - w.Pismeno + w.Slovo.size() > s.size()) continue;
        const std::size_t od = j - w.Pismeno;
        bool shoda = true;
        for (std::size_t i = 0; i < w.Slovo.size() && shoda; ++i)
            shoda = static_cast<char>(s[od + i] | 0x20) == Male(w.Slovo[i]);
        if (shoda) return true;
    }
    return false;
}

#ifdef __SSE2__
// The bytes of sixteen that are one of the letters, in either case.
inline __m128i ShodaPismen(__m128i bajty) {
    const __m128i w = _mm_or_si128(bajty, _mm_set1_epi8(0x20));
    __m128i m = _mm_cmpeq_epi8(w, _mm_set1_epi8(Spoustece.Pismena[0]));
    for (std::size_t i = 1; i < PocetPismen; ++i)
        m = _mm_or_si128(m, _mm_cmpeq_epi8(w, _mm_set1_epi8(Spoustece.Pismena[i])));
    return m;
}
#endif

// The bytes of eight that are one of the letters, in either case: the high bit of each.
inline std::uint64_t ShodaPismen(std::uint64_t w) {
    constexpr std::uint64_t Jednicky = 0x0101010101010101ull;
    constexpr std::uint64_t Vysoke = 0x8080808080808080ull;
    w |= 0x2020202020202020ull;  // only P and p become p, and so on
    std::uint64_t shoda = 0;
    for (std::size_t i = 0; i < PocetPismen; ++i) {
        const std::uint64_t x = w ^ (static_cast<unsigned char>(Spoustece.Pismena[i]) * Jednicky);
        shoda |= (x - Jednicky) & ~x;
    }
    return shoda & Vysoke;
}

// Could a line (from where its code starts) hold a reference?
VZDY_INLINE bool MoznaOdkaz(std::string_view s) {
    const std::size_t n = s.size();
    const char* d = s.data();
    std::size_t j = 0;
#ifdef __SSE2__
    if (n >= 16) {
        const auto kus = [&](std::size_t k) {
            const __m128i w = _mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k));
            unsigned maska = static_cast<unsigned>(_mm_movemask_epi8(ShodaPismen(w)));
            for (; maska != 0; maska &= maska - 1)
                if (Spoustec(s, k + static_cast<std::size_t>(std::countr_zero(maska)))) return true;
            return false;
        };
        for (; j + 16 <= n; j += 16)
            if (kus(j)) return true;
        // The rest in one piece that ends with the line (it may overlap the last one).
        return j < n && kus(n - 16);
    }
#endif
    for (; j + 8 <= n; j += 8) {
        std::uint64_t w;
        std::memcpy(&w, d + j, 8);
        if (ShodaPismen(w) != 0)
            for (std::size_t k = j; k < j + 8; ++k)
                if (Spoustec(s, k)) return true;
    }
    for (; j < n; ++j)
        if (Spoustec(s, j)) return true;
    return false;
}

// The line breaks, the letters that may start a reference (Spoustec) and
// the letter of a program end of a piece of text, as bit masks per window of
// 64 bytes: one reading of the bytes finds where each line ends, whether it
// may hold a reference and whether it may end a program. Lines are asked for
// in order, so only the window being read is kept.
class TOknaTextu {
public:
    explicit TOknaTextu(std::string_view text) : d_(text.data()), n_(text.size()) {}

    // The end of the line that starts at i (< the text's size): its CR or LF,
    // or the end of the text; spoustec: a letter lies in [i, end); konec: an M does.
    std::size_t KonecRadku(std::size_t i, bool& spoustec, bool& konec) {
        std::size_t z = i & ~std::size_t{63};
        if (z != zaklad_) Nacist(z);
        const std::uint64_t odI = ~std::uint64_t{0} << (i - z);
        std::uint64_t zlomy = zlomy_ & odI;
        std::uint64_t pismena = pismena_ & odI, emka = emka_ & odI;
        while (zlomy == 0) {
            spoustec = spoustec || pismena != 0;
            konec = konec || emka != 0;
            z += 64;
            if (z >= n_) return n_;
            Nacist(z);
            zlomy = zlomy_;
            pismena = pismena_;
            emka = emka_;
        }
        const unsigned k = static_cast<unsigned>(std::countr_zero(zlomy));
        const std::uint64_t pred = (std::uint64_t{1} << k) - 1;
        spoustec = spoustec || (pismena & pred) != 0;
        konec = konec || (emka & pred) != 0;
        return z + k;
    }

private:
    void Nacist(std::size_t z) {
        zaklad_ = z;
        const char* w = d_ + z;
        alignas(16) char zbytek[64];
        if (n_ - z < 64) {
            // The text's last bytes, the rest zero (no break, no letter).
            std::memset(zbytek, 0, sizeof zbytek);
            std::memcpy(zbytek, w, n_ - z);
            w = zbytek;
        }
        zlomy_ = pismena_ = emka_ = 0;
#ifdef __SSE2__
        const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), m = _mm_set1_epi8(PismenoKonce);
        for (unsigned k = 0; k < 4; ++k) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 16 * k));
            const auto maska = [](__m128i x) {
                return static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(x)));
            };
            zlomy_ |= maska(_mm_or_si128(_mm_cmpeq_epi8(b, lf), _mm_cmpeq_epi8(b, cr))) << (16 * k);
            pismena_ |= maska(ShodaPismen(b)) << (16 * k);
            emka_ |= maska(_mm_cmpeq_epi8(_mm_or_si128(b, _mm_set1_epi8(0x20)), m)) << (16 * k);
        }
#else
        for (unsigned k = 0; k < 64; k += 8) {
            std::uint64_t slovo;
            std::memcpy(&slovo, w + k, 8);
            const std::uint64_t pismena = ShodaPismen(slovo);
            for (unsigned b = 0; b < 8; ++b) {
                const char c = w[k + b];
                zlomy_ |= static_cast<std::uint64_t>(c == '\n' || c == '\r') << (k + b);
                pismena_ |= ((pismena >> (8 * b + 7)) & 1u) << (k + b);
                emka_ |= static_cast<std::uint64_t>(static_cast<char>(c | 0x20) == PismenoKonce) << (k + b);
            }
        }
#endif
    }

    const char* d_;
    std::size_t n_;
    std::size_t zaklad_ = ~std::size_t{0};
    std::uint64_t zlomy_ = 0, pismena_ = 0, emka_ = 0;
};

}  // namespace odkazy
