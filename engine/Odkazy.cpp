#include "Odkazy.h"

#include "CNCEdit.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <limits>
#include <stdexcept>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#if defined(__GNUC__)
#define VZDY_INLINE [[gnu::always_inline]] inline
#else
#define VZDY_INLINE inline
#endif

namespace {

constexpr std::size_t MaxDelkaZnacky = 255;
// A number that 64 bits do not hold.
constexpr std::uint64_t PrilisVelke = std::numeric_limits<std::uint64_t>::max();
// Block numbers are kept in 32 bits: from this one on, no reference finds a block.
constexpr std::uint32_t VelkeCisloBloku = std::numeric_limits<std::uint32_t>::max();
// The bits of the numbers that a program's references look up: up to 128 KiB.
constexpr std::uint64_t MaxBituCilu = std::uint64_t{1} << 20;

inline bool JeCislice(char c) { return c >= '0' && c <= '9'; }
inline bool JePismeno(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
// Letters and "_" make words: after the block characters they make a line no block line.
inline bool JeSlovni(char c) { return JePismeno(c) || c == '_'; }
inline char Velke(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
// The blanks that may stand between an address letter and its value.
inline bool JeMezera(char c) { return c == ' ' || c == '\t'; }

std::size_t DelkaUtf16(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        n += (b & 0xC0) != 0x80;  // every byte but a continuation byte starts a character
        n += b >= 0xF0;           // a four-byte character takes two units
    }
    return n;
}

// Markers are a few bytes: compared in place, without a call.
inline bool ZacinaNa(std::string_view s, std::string_view znacka, bool pouzitelna) {
    if (!pouzitelna || s.size() < znacka.size()) return false;
    for (std::size_t i = 0; i < znacka.size(); ++i)
        if (s[i] != znacka[i]) return false;
    return true;
}

std::uint64_t Hodnota(std::string_view cislice) {
    std::uint64_t v = 0;
    for (const char c : cislice) {
        const auto d = static_cast<std::uint64_t>(c - '0');
        if (v > (PrilisVelke - d) / 10) return PrilisVelke;
        v = v * 10 + d;
    }
    return v;
}

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
[[gnu::noinline]] std::size_t ZaPreskocenim(const TPravidlaBloku& p, std::string_view radek, std::size_t k) {
    const auto znak = [&](std::size_t od) {
        const std::string_view s = radek.substr(std::min(od, radek.size()));
        return (!p.Znaky.HlavniZnak.empty() && ZacinaNa(s, p.Znaky.HlavniZnak, p.HlavniPouzitelny)) ||
               (!p.Znaky.VedlejsiZnak.empty() && ZacinaNa(s, p.Znaky.VedlejsiZnak, p.VedlejsiPouzitelny));
    };
    if (znak(k)) return k;
    if (k + 2 < radek.size() && radek[k + 1] >= '1' && radek[k + 1] <= '9' && znak(k + 2)) return k + 2;
    return znak(k + 1) ? k + 1 : k;
}

// The front of a line; inline, since it runs for every line.
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

// The letters that start a reference of a file type's families, in lower
// case, 0 for one that no family needs: P (the returns, the calls and the
// cycles), Q (the cycles), the T of GOTO (the jumps). The one place that
// decides which lines the reading looks at: a line without them holds no
// reference, and is passed over at the speed of a byte search, sixteen (or
// eight) bytes at a time. Whatever the reading below accepts passes this test.
struct TSpoustece {
    char p = 0, q = 0, t = 0;
    bool Zadny() const { return p == 0 && q == 0 && t == 0; }
};

TSpoustece SpousteciPismena(TDruhyOdkazu d) {
    const bool cykly = d.Ma(TRodinaOdkazu::CyklyA) || d.Ma(TRodinaOdkazu::CyklyC);
    const bool p = cykly || d.Ma(TRodinaOdkazu::NavratM99) || d.Ma(TRodinaOdkazu::VolaniM97);
    return {p ? 'p' : '\0', cykly ? 'q' : '\0', d.Ma(TRodinaOdkazu::Skoky) ? 't' : '\0'};
}

// Could a reference start at byte j? (A byte with 0x20 set never equals 0,
// the letter of no family.)
inline bool Spoustec(std::string_view s, std::size_t j, const TSpoustece& z) {
    const char c = static_cast<char>(s[j] | 0x20);
    if (c != z.t) return c == z.p || c == z.q;
    return j >= 2 && j + 1 < s.size() && (s[j - 2] | 0x20) == 'g' && (s[j - 1] | 0x20) == 'o' &&
           (s[j + 1] | 0x20) == 'o';
}

VZDY_INLINE bool MoznaOdkaz(std::string_view s, const TSpoustece& z) {
    const std::size_t n = s.size();
    const char* d = s.data();
    std::size_t j = 0;
#ifdef __SSE2__
    if (n >= 16) {
        const __m128i mala = _mm_set1_epi8(0x20);
        const __m128i p = _mm_set1_epi8(z.p), q = _mm_set1_epi8(z.q), t = _mm_set1_epi8(z.t);
        const auto kus = [&](std::size_t k) {
            const __m128i w = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(d + k)), mala);
            unsigned maska = static_cast<unsigned>(_mm_movemask_epi8(
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(w, p), _mm_cmpeq_epi8(w, q)), _mm_cmpeq_epi8(w, t))));
            for (; maska != 0; maska &= maska - 1)
                if (Spoustec(s, k + static_cast<std::size_t>(std::countr_zero(maska)), z)) return true;
            return false;
        };
        for (; j + 16 <= n; j += 16)
            if (kus(j)) return true;
        // The rest in one piece that ends with the line (it may overlap the last one).
        return j < n && kus(n - 16);
    }
#endif
    constexpr std::uint64_t Jednicky = 0x0101010101010101ull;
    constexpr std::uint64_t Vysoke = 0x8080808080808080ull;
    constexpr std::uint64_t MalaPismena = 0x2020202020202020ull;
    const std::uint64_t P = static_cast<unsigned char>(z.p) * Jednicky, Q = static_cast<unsigned char>(z.q) * Jednicky,
                        T = static_cast<unsigned char>(z.t) * Jednicky;
    for (; j + 8 <= n; j += 8) {
        std::uint64_t w;
        std::memcpy(&w, d + j, 8);
        w |= MalaPismena;  // only P and p become p, and so on
        const std::uint64_t a = w ^ P, b = w ^ Q, c = w ^ T;
        if ((((a - Jednicky) & ~a) | ((b - Jednicky) & ~b) | ((c - Jednicky) & ~c)) & Vysoke)
            for (std::size_t k = j; k < j + 8; ++k)
                if (Spoustec(s, k, z)) return true;
    }
    for (; j < n; ++j)
        if (Spoustec(s, j, z)) return true;
    return false;
}

// The line breaks and the letters that may start a reference (Spoustec) of
// a piece of text, as two bit masks per window of 64 bytes: one reading of
// the bytes finds both where each line ends and whether it may hold a
// reference. Lines are asked for in order, so only the window being read is
// kept.
class TOknaTextu {
public:
    TOknaTextu(std::string_view text, const TSpoustece& z) : d_(text.data()), n_(text.size()), z_(z) {}

    // The end of the line that starts at i (< the text's size): its CR or LF,
    // or the end of the text; spoustec: a letter of z lies in [i, end).
    std::size_t KonecRadku(std::size_t i, bool& spoustec) {
        std::size_t z = i & ~std::size_t{63};
        if (z != zaklad_) Nacist(z);
        const std::uint64_t odI = ~std::uint64_t{0} << (i - z);
        std::uint64_t zlomy = zlomy_ & odI;
        std::uint64_t pismena = pismena_ & odI;
        while (zlomy == 0) {
            if (pismena != 0) spoustec = true;
            z += 64;
            if (z >= n_) return n_;
            Nacist(z);
            zlomy = zlomy_;
            pismena = pismena_;
        }
        const unsigned k = static_cast<unsigned>(std::countr_zero(zlomy));
        if ((pismena & ((std::uint64_t{1} << k) - 1)) != 0) spoustec = true;
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
        zlomy_ = pismena_ = 0;
#ifdef __SSE2__
        const __m128i lf = _mm_set1_epi8('\n'), cr = _mm_set1_epi8('\r'), mala = _mm_set1_epi8(0x20);
        const __m128i p = _mm_set1_epi8(z_.p), q = _mm_set1_epi8(z_.q), t = _mm_set1_epi8(z_.t);
        for (unsigned k = 0; k < 4; ++k) {
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(w + 16 * k));
            const __m128i m = _mm_or_si128(b, mala);
            const auto zl = static_cast<std::uint64_t>(
                static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(b, lf), _mm_cmpeq_epi8(b, cr)))));
            const auto ps = static_cast<std::uint64_t>(static_cast<unsigned>(_mm_movemask_epi8(
                _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(m, p), _mm_cmpeq_epi8(m, q)), _mm_cmpeq_epi8(m, t)))));
            zlomy_ |= zl << (16 * k);
            pismena_ |= ps << (16 * k);
        }
#else
        for (unsigned k = 0; k < 64; ++k) {
            const char c = w[k], m = static_cast<char>(c | 0x20);
            zlomy_ |= static_cast<std::uint64_t>(c == '\n' || c == '\r') << k;
            pismena_ |= static_cast<std::uint64_t>(m == z_.p || m == z_.q || m == z_.t) << k;
        }
#endif
    }

    const char* d_;
    std::size_t n_;
    TSpoustece z_;
    std::size_t zaklad_ = ~std::size_t{0};
    std::uint64_t zlomy_ = 0, pismena_ = 0;
};

// An integer value behind an address letter: blanks, then digits.
struct TCele {
    bool Je = false;  // digits and no decimal point after them
    std::uint64_t Hodnota = 0;
    std::size_t Konec = 0;
};

TCele CistCele(std::string_view s, std::size_t k) {
    const std::size_t n = s.size();
    while (k < n && JeMezera(s[k])) ++k;
    const std::size_t od = k;
    while (k < n && JeCislice(s[k])) ++k;
    TCele c;
    c.Konec = k;
    if (k == od) return c;
    if (k < n && s[k] == '.') {
        for (++k; k < n && JeCislice(s[k]);) ++k;
        c.Konec = k;
        return c;
    }
    c.Je = true;
    c.Hodnota = Hodnota(s.substr(od, k - od));
    return c;
}

// The end of "[...]" that starts at k, brackets nested; the line's end when it is not closed.
std::size_t KonecZavorky(std::string_view s, std::size_t k) {
    int hloubka = 0;
    for (; k < s.size(); ++k) {
        if (s[k] == '[') ++hloubka;
        if (s[k] == ']' && --hloubka == 0) return k + 1;
    }
    return k;
}

// The target of a reference, behind its word.
struct TOperand {
    bool Je = false;        // there is a target (not a label, not nothing)
    bool Cislo = false;     // a literal number: digits from Pozice, Delka bytes
    std::size_t Text = 0;   // the target as written: from Text to Konec
    std::size_t Pozice = 0, Delka = 0;
    std::size_t Konec = 0;
};

// Does a block character stand at k (a letter in either case)?
std::size_t ZnakBlokuNa(std::string_view s, std::size_t k, const TPravidlaBloku& p) {
    for (const auto& [znak, pouzitelny] : {std::pair{p.Znaky.HlavniZnak, p.HlavniPouzitelny},
                                            std::pair{p.Znaky.VedlejsiZnak, p.VedlejsiPouzitelny}}) {
        if (znak.empty() || !pouzitelny || s.size() - k < znak.size()) continue;
        if ((znak.size() == 1 && JePismeno(znak[0])) ? Velke(s[k]) == Velke(znak[0])
                                                    : s.compare(k, znak.size(), znak) == 0)
            return znak.size();
    }
    return 0;
}

// The target from k on: blanks, then (behind GOTO, when p is given) a block
// character, then digits; or a variable or an expression.
TOperand CistOperand(std::string_view s, std::size_t k, const TPravidlaBloku* p) {
    const std::size_t n = s.size();
    while (k < n && JeMezera(s[k])) ++k;
    TOperand o;
    o.Text = k;
    o.Konec = k;
    if (k >= n) return o;
    if (p) {
        const std::size_t znak = ZnakBlokuNa(s, k, *p);
        if (znak > 0 && k + znak < n && (JeCislice(s[k + znak]) || s[k + znak] == '#' || s[k + znak] == '['))
            k += znak;
    }
    const char c = s[k];
    if (JeCislice(c)) {
        std::size_t e = k;
        while (e < n && JeCislice(s[e])) ++e;
        o.Je = true;
        if (e < n && s[e] == '.') {
            for (++e; e < n && JeCislice(s[e]);) ++e;
        } else {
            o.Cislo = true;
            o.Pozice = k;
            o.Delka = e - k;
        }
        o.Konec = e;
    } else if (c == '#' || c == '[' || c == '-' || c == '+') {
        std::size_t e = k + 1;
        if (c == '[') {
            e = KonecZavorky(s, k);
        } else if (e < n && s[e] == '[') {
            e = KonecZavorky(s, e);
        } else {
            while (e < n && (JeCislice(s[e]) || s[e] == '.')) ++e;
        }
        o.Je = true;
        o.Konec = e;
    }
    if (o.Je && !o.Cislo) {
        o.Pozice = o.Text;
        o.Delka = o.Konec - o.Text;
    }
    return o;
}

TOdkaz NovyOdkaz(std::string_view s, const TOperand& o, TDruhOdkazu druh, std::size_t radek) {
    TOdkaz r;
    r.Radek = radek;
    r.Pozice = o.Pozice;
    r.Delka = o.Delka;
    r.Text = o.Text;  // in the line, until the reference is kept
    r.DelkaTextu = o.Konec - o.Text;
    r.Druh = druh;
    if (o.Cislo) {
        r.Cil = Hodnota(s.substr(o.Pozice, o.Delka));
        r.Stav = TStavOdkazu::ChybiCil;  // until a block is found
    } else {
        r.Stav = TStavOdkazu::NeniCislo;
    }
    return r;
}

void Ponechat(std::string_view s, TOdkaz r, std::vector<TOdkaz>& odkazy, std::string& texty) {
    const std::size_t text = texty.size();
    texty.append(s.substr(r.Text, r.DelkaTextu));
    r.Text = text;
    odkazy.push_back(r);
}

inline bool JeSlovo(std::string_view slovo, std::string_view klic) {
    if (slovo.size() != klic.size()) return false;
    for (std::size_t i = 0; i < slovo.size(); ++i)
        if (Velke(slovo[i]) != klic[i]) return false;
    return true;
}

// No number: a line that calls no program (CistKod), or starts none (CisloProgramu).
constexpr std::uint64_t BezCisla = ~std::uint64_t{0};

// Reads the code of line s from byte j on, for the families of the file
// type: the references go to odkazy, the P and Q words wait in slova until
// the end of the line tells whether the line holds a cycle or a return that
// makes them references. Returns the P of a program call (M98, G65, G66)
// when the file type reads returns (BezCisla for none): where they return to.
std::uint64_t CistKod(std::string_view s, std::size_t j, const TPravidlaBloku& p, std::size_t radek,
                      std::vector<TOdkaz>& odkazy, std::vector<TOdkaz>& slova, std::string& texty) {
    const std::size_t prvni = odkazy.size();
    slova.clear();
    const TDruhyOdkazu druhy = p.Znaky.Druhy;
    const bool skoky = druhy.Ma(TRodinaOdkazu::Skoky), m99 = druhy.Ma(TRodinaOdkazu::NavratM99),
               m97 = druhy.Ma(TRodinaOdkazu::VolaniM97), cyklyA = druhy.Ma(TRodinaOdkazu::CyklyA),
               cyklyC = druhy.Ma(TRodinaOdkazu::CyklyC);
    const auto jeCyklus = [&](std::uint64_t g) { return (cyklyA && g >= 70 && g <= 73) || (cyklyC && g >= 72 && g <= 75); };
    std::uint64_t cyklus = 0;  // 70 .. 75: the line holds that profile cycle
    std::uint64_t navrat = 0;  // 99 or 97: the line holds that M code
    bool volani = false;       // the line calls a program
    bool souradnice = false;   // the line holds an X, Y, Z or R word: a cycle call, no profile
    const std::string_view komentar = p.Znaky.Komentar;
    const bool zavorky = komentar == "(";
    const std::size_t n = s.size();
    while (j < n) {
        const char c = s[j];
        if (!komentar.empty() && c == komentar[0] && s.substr(j, komentar.size()) == komentar) {
            if (!zavorky) break;
            const std::size_t z = s.find(')', j + 1);
            if (z == std::string_view::npos) break;
            j = z + 1;
            continue;
        }
        if (c == '"') {
            const std::size_t z = s.find('"', j + 1);
            if (z == std::string_view::npos) break;
            j = z + 1;
            continue;
        }
        if (!JeSlovni(c)) {
            ++j;
            continue;
        }
        std::size_t k = j;
        while (k < n && JeSlovni(s[k])) ++k;
        const std::string_view slovo = s.substr(j, k - j);
        j = k;
        if (slovo.size() == 1) {
            const char a = Velke(c);
            if (a == 'G' || a == 'M') {
                const TCele h = CistCele(s, k);
                if (h.Je && a == 'G') {
                    if (cyklus == 0 && jeCyklus(h.Hodnota)) cyklus = h.Hodnota;
                    volani = volani || (m99 && (h.Hodnota == 65 || h.Hodnota == 66));
                }
                if (h.Je && a == 'M') {
                    if (navrat == 0 && ((m99 && h.Hodnota == 99) || (m97 && h.Hodnota == 97))) navrat = h.Hodnota;
                    volani = volani || (m99 && h.Hodnota == 98);
                }
                j = h.Konec;
            } else if (a == 'P' || a == 'Q') {
                const TOperand o = CistOperand(s, k, nullptr);
                if (o.Je) slova.push_back(NovyOdkaz(s, o, a == 'P' ? TDruhOdkazu::G70P : TDruhOdkazu::G70Q, radek));
                j = std::max(o.Konec, k);
            } else if (a == 'X' || a == 'Y' || a == 'Z' || a == 'R') {
                souradnice = true;
            }
            continue;
        }
        if (!skoky) continue;
        TDruhOdkazu druh;
        if (JeSlovo(slovo, "GOTO"))
            druh = TDruhOdkazu::Goto;
        else if (JeSlovo(slovo, "GOTOF"))
            druh = TDruhOdkazu::GotoF;
        else if (JeSlovo(slovo, "GOTOB"))
            druh = TDruhOdkazu::GotoB;
        else if (JeSlovo(slovo, "GOTOC"))
            druh = TDruhOdkazu::GotoC;
        else
            continue;
        const TOperand o = CistOperand(s, k, &p);
        if (!o.Je) continue;  // a label, or nothing
        Ponechat(s, NovyOdkaz(s, o, druh, radek), odkazy, texty);
        j = o.Konec;
    }
    const bool profil = cyklus != 0 && !souradnice;
    std::uint64_t volany = BezCisla;
    for (TOdkaz& o : slova) {
        const bool p = o.Druh == TDruhOdkazu::G70P;
        if (volani && p && volany == BezCisla && o.Stav != TStavOdkazu::NeniCislo) volany = o.Cil;
        if (profil) {
            const auto posun = static_cast<int>(2 * (cyklus - 70));
            o.Druh = static_cast<TDruhOdkazu>(static_cast<int>(o.Druh) + posun);
        } else if (navrat != 0 && p) {
            o.Druh = navrat == 99 ? TDruhOdkazu::M99P : TDruhOdkazu::M97P;
        } else {
            continue;
        }
        Ponechat(s, o, odkazy, texty);
    }
    // Within the line by position: the cycle's words come after the jumps.
    if (odkazy.size() - prvni > 1)
        std::sort(odkazy.begin() + static_cast<std::ptrdiff_t>(prvni), odkazy.end(),
                  [](const TOdkaz& a, const TOdkaz& b) { return a.Pozice < b.Pozice; });
    return volany;
}

// A line whose first word after the block number is M30, M02 or M2: the
// end of a main program. Inline up to the M, which few lines begin with.
inline bool JeKonecProgramu(std::string_view s, std::size_t j) {
    const std::size_t n = s.size();
    while (j < n && JeMezera(s[j])) ++j;
    if (j >= n || (s[j] | 0x20) != 'm') return false;
    const TCele h = CistCele(s, j + 1);
    return h.Je && (h.Hodnota == 30 || h.Hodnota == 2);
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

}  // namespace

std::string_view NazevDruhu(TDruhOdkazu druh) {
    static constexpr std::string_view Nazvy[] = {"GOTO",  "GOTOF", "GOTOB", "GOTOC", "M99 P", "M97 P",
                                                 "G70 P", "G70 Q", "G71 P", "G71 Q", "G72 P", "G72 Q",
                                                 "G73 P", "G73 Q", "G74 P", "G74 Q", "G75 P", "G75 Q"};
    return Nazvy[static_cast<std::size_t>(druh)];
}

std::string TUpravaOdkazu::Text() const {
    std::string s;
    Zapsat([&](std::string_view k) { s += k; });
    return s;
}

std::size_t TVysledekOdkazu::PocetNevyresenych() const {
    return static_cast<std::size_t>(std::count_if(Odkazy.begin(), Odkazy.end(),
                                                  [](const TOdkaz& o) { return o.Stav != TStavOdkazu::Vyreseny; }));
}

std::size_t TVysledekOdkazu::PocetZmenenychCilu() const {
    return static_cast<std::size_t>(
        std::count_if(Odkazy.begin(), Odkazy.end(), [](const TOdkaz& o) { return ZmenilCil(o.Stav); }));
}

// ---------------------------------------------------------------- the families as text

std::string_view ZkratkaRodiny(TRodinaOdkazu rodina) {
    static constexpr std::string_view Zkratky[PocetRodinOdkazu] = {"GOTO", "M99P", "M97P", "G70-G73", "G72-G75"};
    return Zkratky[static_cast<std::size_t>(rodina)];
}

std::string ZapsatDruhy(TDruhyOdkazu druhy) {
    if (druhy.Prazdne()) return "-";
    std::string s;
    for (std::size_t i = 0; i < PocetRodinOdkazu; ++i) {
        const auto r = static_cast<TRodinaOdkazu>(i);
        if (!druhy.Ma(r)) continue;
        if (!s.empty()) s += ' ';
        s += ZkratkaRodiny(r);
    }
    return s;
}

std::optional<TDruhyOdkazu> PrecistDruhy(std::string_view text) {
    TDruhyOdkazu druhy;
    bool znamy = false;
    const auto oddelovac = [](char c) { return c == ' ' || c == '\t' || c == ','; };
    for (std::size_t i = 0; i < text.size();) {
        if (oddelovac(text[i])) {
            ++i;
            continue;
        }
        std::size_t k = i;
        while (k < text.size() && !oddelovac(text[k])) ++k;
        const std::string_view slovo = text.substr(i, k - i);
        i = k;
        if (slovo == "-") {
            znamy = true;
            continue;
        }
        for (std::size_t r = 0; r < PocetRodinOdkazu; ++r)
            if (JeSlovo(slovo, ZkratkaRodiny(static_cast<TRodinaOdkazu>(r)))) {
                druhy.Pridat(static_cast<TRodinaOdkazu>(r));
                znamy = true;
            }
    }
    if (!znamy) return std::nullopt;
    return druhy;
}

TZnakyOdkazu ZnakyOdkazu(const cnc::TZadani<char>& z) { return ZnakyOdkazu(z, TDruhyOdkazu::Dosavadni()); }

TZnakyOdkazu ZnakyOdkazu(const cnc::TZadani<char>& z, TDruhyOdkazu druhy) {
    return {z.HlavniZnak.Text,        z.VedlejsiZnak.Text,        z.Zacatek.Text,        z.Komentar.Text,
            z.HlavniZnak.MuzeZacinat, z.VedlejsiZnak.MuzeZacinat, z.Zacatek.MuzeZacinat, druhy};
}

TPravidlaBloku::TPravidlaBloku(const TZnakyOdkazu& znaky)
    : Znaky(znaky),
      HlavniPouzitelny(znaky.HlavniMuze && DelkaUtf16(znaky.HlavniZnak) <= MaxDelkaZnacky),
      VedlejsiPouzitelny(znaky.VedlejsiMuze && DelkaUtf16(znaky.VedlejsiZnak) <= MaxDelkaZnacky),
      ZacatekPouzitelny(znaky.ZacatekMuze && DelkaUtf16(znaky.Zacatek) <= MaxDelkaZnacky),
      JednobajtoveZnaky(znaky.HlavniZnak.size() <= 1 && znaky.VedlejsiZnak.size() <= 1 && HlavniPouzitelny &&
                        VedlejsiPouzitelny) {}

bool TPravidlaBloku::JeZacatek(std::string_view radek) const {
    std::size_t i = 0;
    while (i < radek.size() && static_cast<unsigned char>(radek[i]) <= 32) ++i;
    return ZacatekOd(*this, radek, i);
}

TPravidlaBloku::TBlok TPravidlaBloku::Rozebrat(std::string_view radek) const { return RozebratRadek(*this, radek); }

std::optional<std::uint64_t> TPravidlaBloku::CisloProgramu(std::string_view radek) const {
    const std::uint64_t c = ::CisloProgramu(radek, Rozebrat(radek));
    if (c == BezCisla) return std::nullopt;
    return c;
}

void NajitOdkazyVRadku(std::string_view radek, const TZnakyOdkazu& znaky, std::vector<TOdkaz>& odkazy,
                       std::string& texty) {
    const TPravidlaBloku p(znaky);
    const std::size_t od = p.Rozebrat(radek).Konec;
    const TSpoustece spoustece = SpousteciPismena(znaky.Druhy);
    if (spoustece.Zadny() || !MoznaOdkaz(radek.substr(od), spoustece)) return;
    std::vector<TOdkaz> slova;
    CistKod(radek, od, p, 0, odkazy, slova, texty);
}

// ---------------------------------------------------------------- the pass

namespace {

bool RezimZnaku(const TZnakyOdkazu& z) { return !z.HlavniZnak.empty() && !z.VedlejsiZnak.empty(); }

}  // namespace

TOdkazyBloku::TOdkazyBloku(const TZnakyOdkazu& znaky)
    : pravidla_(znaky), rezim_(TRezim::Vypis), dotceny_(true), rezimZnaku_(RezimZnaku(znaky)) {
    const TSpoustece z = SpousteciPismena(znaky.Druhy);
    spoustecP_ = z.p, spoustecQ_ = z.q, spoustecT_ = z.t;
    spoustece_ = !z.Zadny();
    navraty_ = znaky.Druhy.Ma(TRodinaOdkazu::NavratM99);
}

TOdkazyBloku::TOdkazyBloku(const TZnakyOdkazu& znaky, const TCislovaniOdkazu& cislovani,
                           std::optional<TVyberRadku> vyber, bool upravovat)
    : TOdkazyBloku(znaky) {
    rezim_ = upravovat ? TRezim::Precislovani : TRezim::PrecislovaniBezUprav;
    cislovani_ = cislovani;
    vyber_ = vyber;
    dotceny_ = false;
    cislo_ = cislovani.PrvniBlok;
    celePrecislovani_ = !vyber;
}

TOdkazyBloku::TOdkazyBloku(const TZnakyOdkazu& znaky, const TZavedeniOdkazu& zavedeni) : TOdkazyBloku(znaky) {
    rezim_ = TRezim::Zavedeni;
    cislovani_ = zavedeni.Cislovani;
    zavedeni_ = zavedeni;
    konecPouzitelny_ = zavedeni.KonecMuze && DelkaUtf16(zavedeni.Konec) <= MaxDelkaZnacky;
    komentarPouzitelny_ = znaky.Komentar.empty() || (zavedeni.KomentarMuze && DelkaUtf16(znaky.Komentar) <= MaxDelkaZnacky);
    cislo_ = zavedeni.Cislovani.PrvniBlok;
}

bool TOdkazyBloku::VRozsahu(std::size_t radek) const {
    return !vyber_ || (radek >= vyber_->Od && radek < vyber_->Po);
}

// Inline in both callers: it runs for every line.
VZDY_INLINE void TOdkazyBloku::Radek(std::string_view radek, bool spoustec) {
    if (radek_ >= VelkeCisloBloku) throw std::length_error("more lines than references can count");
    const TPravidlaBloku::TBlok b = RozebratRadek(pravidla_, radek);
    const bool zacatek = ZacatekOd(pravidla_, radek, b.Odsazeni);
    // A program starts at a start line, or at a program number (a block line
    // has none). Introducing reads the text it writes: a line it numbers
    // (every program number, a start line when they get numbers) starts none there.
    bool noveProgram = zacatek;
    std::uint64_t cisloProgramu = BezCisla;
    if (rezim_ != TRezim::Zavedeni)
        cisloProgramu = zacatek || b.Cislic > 0 ? BezCisla : CisloProgramu(radek, b);
    else
        noveProgram = zacatek && !zavedeni_->BlokPredZnakZacatku;
    if (noveProgram || cisloProgramu != BezCisla) {
        UzavritProgram();
        ++program_;
        if (zacatek) vPosloupnosti_ = 0;
        predProgramem_ = vPosloupnosti_;
        cisloProgramu_ = cisloProgramu;
        if (cisloProgramu != BezCisla) cislaProgramu_.push_back(cisloProgramu);
    }
    // The count's test: in marker mode the block line of the renumbering,
    // else a digit after the trim.
    ++pocty_.Radku;
    pocty_.Bloku += rezimZnaku_ ? b.Blokovy : (b.Odsazeni < radek.size() && JeCislice(radek[b.Odsazeni]));

    // The command's own pass over its lines: the selection's first line from
    // inside, its last one up to where the selection ends.
    bool precislovany = false;
    std::uint32_t nove = 0;
    std::size_t konecOd = b.Konec;  // where the line's first word is looked for, as the command writes the line
    if (celePrecislovani_) {
        // All the lines, each whole: the common case, without the selection's tests.
        dotceny_ = true;
        if (zacatek) cislo_ = cislovani_->PrvniBlok;
        if (b.Blokovy && b.Cislic > 0) {
            nove = cislo_;
            if (vProgramu_ == 0) prvniNove_ = cislo_;
            const TCislovaniOdkazu& c = *cislovani_;
            cislo_ = TCNCFile::DalsiCislo(cislo_, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
            ++vProgramu_;
            ++vPosloupnosti_;
            precislovany = true;
        }
    } else if (rezim_ == TRezim::Zavedeni) {
        // The number the line gets, as introducing gives it; its old one, if any, no longer leads.
        const TZavedeniOdkazu& z = *zavedeni_;
        const std::string_view s = radek.substr(b.Odsazeni);
        bool cislovat = true;
        if (zacatek) {
            cislo_ = z.Cislovani.PrvniBlok;
            cislovat = z.BlokPredZnakZacatku;
        } else if (!z.Konec.empty() && ZacinaNa(s, z.Konec, konecPouzitelny_)) {
            cislovat = z.BlokPredZnakKonce;
        } else if (!pravidla_.Znaky.Komentar.empty() && ZacinaNa(s, pravidla_.Znaky.Komentar, komentarPouzitelny_)) {
            cislovat = z.BlokPredZnakKomentare;
        }
        if (cislovat) {
            // The line's first word follows the number, behind a block-skip mark.
            konecOd = b.Odsazeni;
            if (!pravidla_.Znaky.VedlejsiZnak.empty() && konecOd < radek.size() && radek[konecOd] == '/')
                konecOd += konecOd + 1 < radek.size() && radek[konecOd + 1] >= '1' && radek[konecOd + 1] <= '9' &&
                                   !(konecOd + 2 < radek.size() && JeCislice(radek[konecOd + 2]))
                               ? 2
                               : 1;
            ZapsatBlok(cislo_, 0, false);
            const TCislovaniOdkazu& c = z.Cislovani;
            cislo_ = TCNCFile::DalsiCislo(cislo_, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
        }
    } else if (cislovani_ && VRozsahu(radek_)) {
        dotceny_ = true;
        const bool zevnitr = vyber_ && radek_ == vyber_->Od && vyber_->OdBajtu > 0;
        const bool useknuty = vyber_ && radek_ + 1 == vyber_->Po && vyber_->PoBajtu < radek.size();
        const std::size_t od = zevnitr ? std::min(vyber_->OdBajtu, radek.size()) : 0;
        const std::size_t po = useknuty ? std::max(vyber_->PoBajtu, od) : radek.size();
        const std::string_view kus = radek.substr(od, po - od);
        const bool cely = !zevnitr && !useknuty;
        // The start test on the line as the renumbering gets it.
        if (cely ? zacatek : pravidla_.JeZacatek(kus)) cislo_ = cislovani_->PrvniBlok;
        const TPravidlaBloku::TBlok k = cely ? b : RozebratRadek(pravidla_, kus);
        if (k.Blokovy && k.Cislic > 0) {
            nove = cislo_;
            const TCislovaniOdkazu& c = *cislovani_;
            cislo_ = TCNCFile::DalsiCislo(cislo_, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
            ++vProgramu_;
            // The number renumbered is the line's own when it is the same
            // digits: not a number further in the line, nor a part of it.
            precislovany = cely || (b.Cislic > 0 && od + k.Cislice == b.Cislice && k.Cislic == b.Cislic);
        }
        if (zevnitr && vyber_->OdBajtu > b.Odsazeni) {
            // The renumbering trims the piece and rewrites its front as it would a block number.
            prepsanoOd_ = od;
            prepsanoPo_ = prepsanoOd_ + k.Konec;
        }
        if (useknuty) useknuto_ = po;
    }
    if (rezim_ != TRezim::Zavedeni && b.Blokovy && b.Cislic > 0)
        ZapsatBlok(static_cast<std::uint32_t>(std::min<std::uint64_t>(b.Hodnota, VelkeCisloBloku)), nove, precislovany);

    if (!spoustece_) {
        ++radek_;
        return;
    }
    // The returns tell a main program (it ends) from a subprogram.
    if (navraty_ && !konecProgramu_) konecProgramu_ = JeKonecProgramu(radek, konecOd);
    // A line of 4 GiB or more is not read for references (edits count its bytes in 32 bits).
    const std::string_view kod = radek.substr(b.Konec);
    if (spoustec && radek.size() <= std::numeric_limits<std::uint32_t>::max() &&
        MoznaOdkaz(kod, TSpoustece{spoustecP_, spoustecQ_, spoustecT_})) {
        const std::size_t prvni = vysledek_.Odkazy.size();
        const std::uint64_t volany =
            CistKod(radek, b.Konec, pravidla_, radek_, vysledek_.Odkazy, slova_, vysledek_.Texty);
        for (std::size_t i = prvni; i < vysledek_.Odkazy.size(); ++i) vysledek_.Odkazy[i].Program = program_;
        if (volany != BezCisla) {
            volani_.push_back({program_, volany});
            volaProgram_ = true;
        }
    }
    ++radek_;
}

void TOdkazyBloku::Radek(std::string_view radek) { Radek(radek, true); }

// Inline in the pass: it runs for every block line.
VZDY_INLINE void TOdkazyBloku::ZapsatBlok(std::uint32_t stare, std::uint32_t nove, bool precislovany) {
    const auto radek = static_cast<std::uint32_t>(radek_);
    bool jinde = false;
    if (stare < MalaCisla) {
        if (stare >= staraCisla_.size()) staraCisla_.resize(std::bit_ceil(std::size_t{stare} + 1));
        TStareCislo& e = staraCisla_[stare];
        if (e.Generace != generace_)
            e = {.Generace = generace_, .Radek = radek, .Nove = nove, .Pocet = 1, .Precislovany = precislovany};
        else if (e.Pocet < 2)
            ++e.Pocet;
    } else {
        jinde = true;
    }
    // The numbers after a renumber: which blocks carry them, for what the
    // references reach in the text it writes. A renumber of whole programs
    // gives every block its new number: the line that got it.
    if (celePrecislovani_) {
        if (nove < MalaCisla) {
            if (nove >= radkyNovych_.size()) radkyNovych_.resize(std::bit_ceil(std::size_t{nove} + 1));
            radkyNovych_[nove] = radek;
        } else {
            jinde = true;
        }
    } else if (vyber_) {
        const std::uint32_t konecne = precislovany ? nove : stare;
        if (konecne < MalaCisla) {
            if (konecne >= konecnaCisla_.size()) konecnaCisla_.resize(std::bit_ceil(std::size_t{konecne} + 1));
            TKonecneCislo& e = konecnaCisla_[konecne];
            if (e.Generace != generace_) e = {.Generace = generace_, .Pocet = 0, .Radek = radek};
            ++e.Pocet;
        } else {
            jinde = true;
        }
    }
    if (jinde) bloky_.Pridat({stare, nove, radek, precislovany});
}

void TOdkazyBloku::Pridat(std::string_view kus) {
    // The lines as cnc::TPruchod splits them: CR LF, a lone CR or a lone LF
    // ends a line, and a break at the very end opens no further line.
    const std::size_t n = kus.size();
    TOknaTextu okna(kus, TSpoustece{spoustecP_, spoustecQ_, spoustecT_});
    for (std::size_t i = 0; i < n;) {
        bool spoustec = false;  // a line without the letters holds no reference
        const std::size_t konec = okna.KonecRadku(i, spoustec);
        Radek(kus.substr(i, konec - i), spoustec);
        if (konec == n) return;
        i = cnc::ZaZlomem(kus, konec);
    }
}

TOdkazyBloku::THledany* TOdkazyBloku::Najit(std::uint64_t cislo) {
    // Block numbers mostly rise through a program: the place of the last
    // number looked up is, or is next to, the place of this one.
    const auto v = hledane_.begin();
    const std::size_t n = hledane_.size();
    const auto prvni = [&](std::size_t od, std::size_t po) {
        return static_cast<std::size_t>(
            std::lower_bound(v + static_cast<std::ptrdiff_t>(od), v + static_cast<std::ptrdiff_t>(po), cislo,
                             [](const THledany& h, std::uint64_t c) { return h.Cislo < c; }) -
            v);
    };
    std::size_t i = kurzor_;
    if (i < n && v[i].Cislo < cislo) {
        ++i;
        if (i < n && v[i].Cislo < cislo) i = prvni(i + 1, n);
    } else if (i > 0 && v[i - 1].Cislo >= cislo) {
        i = prvni(0, i - 1);
    }
    kurzor_ = i;
    return i < n && v[i].Cislo == cislo ? &v[i] : nullptr;
}

bool TOdkazyBloku::SeraditHledane() {
    std::sort(hledane_.begin(), hledane_.end(), [](const THledany& a, const THledany& b) { return a.Cislo < b.Cislo; });
    hledane_.erase(std::unique(hledane_.begin(), hledane_.end(),
                               [](const THledany& a, const THledany& b) { return a.Cislo == b.Cislo; }),
                   hledane_.end());
    kurzor_ = 0;
    return !hledane_.empty();
}

// The blocks of the program being read.
struct TOdkazyBloku::TZiveBloky {
    TOdkazyBloku& o;

    // The numbers below MalaCisla from their table, the others from the blocks that carry them.
    void Stara() const {
        for (THledany& h : o.hledane_) {
            if (h.Cislo >= o.staraCisla_.size()) break;
            const TStareCislo& e = o.staraCisla_[h.Cislo];
            if (e.Generace != o.generace_) continue;
            h.Pocet = e.Pocet;
            h.Radek = e.Radek;
            h.Nove = e.Nove;
            h.Precislovany = e.Precislovany;
        }
        // Most blocks are no target: a bit for each number looked up passes them
        // over without a search (numbers past the bits are searched).
        // The bits stay allocated from program to program; only those set are cleared.
        const std::uint64_t posledni = o.hledane_.back().Cislo;
        if (posledni < MalaCisla) return;
        const std::size_t bitu = static_cast<std::size_t>(std::min<std::uint64_t>(posledni + 1, MaxBituCilu));
        auto& mapa = o.mapaCilu_;
        if (mapa.size() * 64 < bitu) mapa.resize((bitu + 63) / 64);
        for (const THledany& h : o.hledane_)
            if (h.Cislo < bitu) mapa[h.Cislo / 64] |= std::uint64_t{1} << (h.Cislo % 64);
        o.bloky_.ProKazdy([&](const TBlokProgramu& b) {
            if (b.Stare < MalaCisla) return;
            if (b.Stare < bitu ? !((mapa[b.Stare / 64] >> (b.Stare % 64)) & 1) : b.Stare == VelkeCisloBloku) return;
            THledany* h = o.Najit(b.Stare);
            if (!h || h->Pocet++ > 0) return;
            h->Radek = b.Radek;
            h->Nove = b.Nove;
            h->Precislovany = b.Precislovany;
        });
        for (const THledany& h : o.hledane_)
            if (h.Cislo < bitu) mapa[h.Cislo / 64] = 0;
    }

    // The numbers after the renumber: of a whole program from its sequence,
    // the lines from those that got them; of a selection from the table and
    // the blocks, as the old ones.
    void Konecna() const {
        if (o.celePrecislovani_) {
            if (o.NovaStoupaji()) {
                const std::uint64_t prvni = o.prvniNove_, krok = std::max<std::uint64_t>(o.cislovani_->Prirustek, 1);
                for (THledany& h : o.hledane_)
                    h.Pocet = o.vProgramu_ > 0 && h.Cislo >= prvni && (h.Cislo - prvni) % krok == 0 &&
                              (h.Cislo - prvni) / krok < o.vProgramu_;
            } else {
                o.ProNovaCisla([&](std::uint64_t cislo) {
                    if (THledany* h = o.Najit(cislo)) ++h->Pocet;
                });
            }
            bool velka = false;
            for (THledany& h : o.hledane_) {
                if (h.Pocet == 0) continue;
                if (h.Cislo < MalaCisla)
                    h.Radek = o.radkyNovych_[h.Cislo];
                else
                    velka = true;
            }
            if (velka)
                o.bloky_.ProKazdy([&](const TBlokProgramu& b) {
                    if (THledany* h = b.Nove >= MalaCisla ? o.Najit(b.Nove) : nullptr) h->Radek = b.Radek;
                });
            return;
        }
        for (THledany& h : o.hledane_) {
            if (h.Cislo >= o.konecnaCisla_.size()) break;
            const TKonecneCislo& e = o.konecnaCisla_[h.Cislo];
            if (e.Generace != o.generace_) continue;
            h.Pocet = e.Pocet;
            h.Radek = e.Radek;
        }
        if (o.hledane_.back().Cislo < MalaCisla) return;
        o.bloky_.ProKazdy([&](const TBlokProgramu& b) {
            const std::uint64_t cislo = b.Precislovany ? b.Nove : b.Stare;
            if (cislo < MalaCisla || (!b.Precislovany && b.Stare == VelkeCisloBloku)) return;
            if (THledany* h = o.Najit(cislo))
                if (h->Pocet++ == 0) h->Radek = b.Radek;
        });
    }
};

// The archived programs that call a subprogram: a block carried in more of
// them counts once in each.
struct TOdkazyBloku::TVolajici {
    TOdkazyBloku& o;
    const std::vector<const TProgram*>& programy;

    void Hledat(const std::vector<TZaznamBloku>& archiv, bool konecne) const {
        for (const TProgram* p : programy) {
            const auto od = archiv.begin() + static_cast<std::ptrdiff_t>(konecne ? p->OdKonecnych : p->OdStarych);
            const auto po = archiv.begin() + static_cast<std::ptrdiff_t>(konecne ? p->PoKonecnych : p->PoStarych);
            for (THledany& h : o.hledane_) {
                const auto e = std::lower_bound(od, po, h.Cislo,
                                                [](const TZaznamBloku& z, std::uint64_t c) { return z.Cislo < c; });
                if (e == po || e->Cislo != h.Cislo) continue;
                if (h.Pocet == 0) {
                    h.Radek = e->Radek;
                    h.Nove = e->Nove;
                    h.Precislovany = e->Precislovany;
                }
                h.Pocet += e->Pocet;
            }
        }
    }
    void Stara() const { Hledat(o.archivStarych_, false); }
    void Konecna() const { Hledat(o.archivKonecnych_, true); }
};

// Whether the new numbers of a whole program rise all the way (the common
// case): every one but the last below the maximum, the last within 32 bits.
// Then they are the first one and its steps, each once.
bool TOdkazyBloku::NovaStoupaji() const {
    const TCislovaniOdkazu& c = *cislovani_;
    const std::uint64_t prvni = prvniNove_, krok = c.Prirustek, n = vProgramu_;
    return n <= 1 || (krok > 0 && prvni + (n - 2) * krok < c.MaximalniBlok &&
                      prvni + (n - 1) * krok <= std::numeric_limits<std::uint32_t>::max());
}

// Calls f with the new number of each block of a whole program, in order:
// the sequence from the program's first new number on.
template <typename F>
void TOdkazyBloku::ProNovaCisla(F f) const {
    const TCislovaniOdkazu& c = *cislovani_;
    std::uint32_t cislo = prvniNove_;
    for (std::size_t k = 0; k < vProgramu_; ++k) {
        f(cislo);
        cislo = TCNCFile::DalsiCislo(cislo, c.PrvniBlok, c.Prirustek, c.MaximalniBlok, c.CislovatOdZacatku);
    }
}

bool TOdkazyBloku::NoveCislaRuzna() const {
    // Only a renumber of whole programs that updates the references can know
    // it from the sequence: it rises from the first number until it reaches
    // the maximum, then starts again or keeps the number. The program's
    // blocks take its numbers from place predProgramem_ on.
    if (rezim_ != TRezim::Precislovani || vyber_) return false;
    const TCislovaniOdkazu& c = *cislovani_;
    std::size_t ruznych;  // distinct numbers of the sequence; 0: it may wrap round the 32 bits, not known
    if (c.PrvniBlok >= c.MaximalniBlok || c.Prirustek == 0)
        ruznych = 1;
    else if (c.MaximalniBlok - 1 > std::numeric_limits<std::uint32_t>::max() - c.Prirustek)
        ruznych = 0;
    else
        ruznych = (c.MaximalniBlok - c.PrvniBlok + c.Prirustek - 1) / c.Prirustek + 1;
    if (ruznych == 0) return false;
    return c.CislovatOdZacatku ? vProgramu_ <= ruznych : predProgramem_ + vProgramu_ <= ruznych;
}

void TOdkazyBloku::Upravit(TOdkaz& o) {
    // The number in its own form: a number written with leading zeros keeps its width.
    const std::string_view stare = vysledek_.TextCile(o).substr(o.DelkaTextu - o.Delka);
    TUpravaOdkazu u{.Radek = static_cast<std::uint32_t>(o.Radek),
                    .Pozice = static_cast<std::uint32_t>(o.Pozice),
                    .Delka = static_cast<std::uint32_t>(o.Delka),
                    .Cislo = o.NoveCislo};
    if (stare.size() > 1 && stare[0] == '0') u.Sirka = static_cast<std::uint32_t>(stare.size());
    // The target as the line reads now, at the end of the texts: its
    // block character, if any, and the new number; dropped when the
    // number reads as before.
    std::string& texty = vysledek_.Texty;
    const std::size_t text = texty.size(), predCislem = o.DelkaTextu - o.Delka;
    texty.reserve(text + predCislem + std::max<std::size_t>(u.Sirka, 10));  // the copy below reads texty
    texty.append(texty, o.Text, predCislem);
    u.Zapsat([&](std::string_view k) { texty += k; });
    const std::string_view vse = texty;
    if (vse.substr(text + predCislem) == vse.substr(o.Text + predCislem, o.Delka)) {
        texty.resize(text);
        return;
    }
    vysledek_.Upravy.push_back(u);
    o.Text = text;
    o.DelkaTextu = texty.size() - text;
}

template <typename Z>
void TOdkazyBloku::Vyresit(const Z& zdroj, bool vsechnyRuzne) {
    auto& odkazy = vysledek_.Odkazy;
    // Before the command: the blocks that carry each number.
    hledane_.clear();
    for (const std::size_t i : vybrane_) {
        const TOdkaz& o = odkazy[i];
        if (o.Stav == TStavOdkazu::ChybiCil && o.Cil < VelkeCisloBloku) hledane_.push_back({.Cislo = o.Cil});
    }
    if (!SeraditHledane()) return;
    zdroj.Stara();
    bool nevyresene = false;  // a number that no block, or more, carry
    for (const std::size_t i : vybrane_) {
        TOdkaz& o = odkazy[i];
        if (o.Stav != TStavOdkazu::ChybiCil || o.Cil >= VelkeCisloBloku) continue;
        const THledany* h = Najit(o.Cil);
        if (h->Pocet != 1) {
            if (h->Pocet > 1) o.Stav = TStavOdkazu::VicekratCil;
            nevyresene = true;
            continue;
        }
        // Introducing: no block carried the number; the line that gets it will.
        o.Stav = rezim_ == TRezim::Zavedeni ? TStavOdkazu::NaNovyBlok : TStavOdkazu::Vyreseny;
        o.CilovyRadek = h->Radek;
        o.Precislovany = h->Precislovany;
        o.NoveCislo = h->Nove;
        if (rezim_ == TRezim::Precislovani && o.Precislovany) Upravit(o);
    }

    // After a renumber: what each number reaches in the text it writes. A
    // renumber that updates every reference of distinct numbers changes none.
    if (rezim_ != TRezim::Precislovani && rezim_ != TRezim::PrecislovaniBezUprav) return;
    if (!nevyresene && vsechnyRuzne) return;
    const auto poPrikazu = [&](const TOdkaz& o) -> std::uint64_t {
        return rezim_ == TRezim::Precislovani && o.Stav == TStavOdkazu::Vyreseny && o.Precislovany ? o.NoveCislo
                                                                                                    : o.Cil;
    };
    const auto sledovany = [](const TOdkaz& o) {
        return (o.Stav == TStavOdkazu::Vyreseny || o.Stav == TStavOdkazu::ChybiCil ||
                o.Stav == TStavOdkazu::VicekratCil) &&
               o.Cil < VelkeCisloBloku;
    };
    hledane_.clear();
    for (const std::size_t i : vybrane_)
        if (sledovany(odkazy[i])) hledane_.push_back({.Cislo = poPrikazu(odkazy[i])});
    if (!SeraditHledane()) return;
    zdroj.Konecna();
    for (const std::size_t i : vybrane_) {
        TOdkaz& o = odkazy[i];
        if (!sledovany(o)) continue;
        const THledany* h = Najit(poPrikazu(o));
        const std::size_t pocet = h->Pocet;
        const std::size_t driv = o.Stav == TStavOdkazu::Vyreseny ? o.CilovyRadek : std::string_view::npos;
        if (pocet == 1) {
            if (driv == h->Radek) continue;
            o.Stav = TStavOdkazu::UkazujeJinam;
            o.PredchoziCil = driv;
            o.CilovyRadek = h->Radek;
        } else if (pocet == 0) {
            if (o.Stav == TStavOdkazu::ChybiCil) continue;
            o.Stav = TStavOdkazu::BezCilePoPrecislovani;
            o.PredchoziCil = driv;
        } else if (o.Stav != TStavOdkazu::VicekratCil) {
            o.Stav = TStavOdkazu::NejednoznacnyPoPrecislovani;
        }
    }
}

TVysledekOdkazu TOdkazyBloku::Dokoncit() {
    UzavritProgram();
    VyresitNavraty();
    if (upravyMimoPoradi_)
        std::stable_sort(vysledek_.Upravy.begin(), vysledek_.Upravy.end(),
                         [](const TUpravaOdkazu& a, const TUpravaOdkazu& b) {
                             return a.Radek != b.Radek ? a.Radek < b.Radek : a.Pozice < b.Pozice;
                         });
    return std::move(vysledek_);
}

void TOdkazyBloku::UzavritProgram() {
    auto& odkazy = vysledek_.Odkazy;
    const std::size_t od = odkazyProgramu_;
    // M99 P of a program without an end returns into the program that called
    // it: a subprogram with a number waits for the end of the text, where its
    // callers are known; one without stays as it is.
    bool odlozit = false;
    if (!konecProgramu_)
        for (std::size_t i = od; i < odkazy.size(); ++i) {
            TOdkaz& o = odkazy[i];
            if (o.Druh != TDruhOdkazu::M99P || o.Stav != TStavOdkazu::ChybiCil) continue;
            o.Stav = TStavOdkazu::NavratDoVolajiciho;
            odlozit = odlozit || cisloProgramu_ != BezCisla;
        }
    if (dotceny_ && od < odkazy.size()) {
        for (std::size_t i = od; i < odkazy.size(); ++i) {
            TOdkaz& o = odkazy[i];
            // Inside the front that the renumbering rewrites, or across the
            // start of the selection (where that front is empty).
            if (prepsanoPo_ > 0 && o.Radek == vyber_->Od && o.Pozice < prepsanoPo_ && o.Pozice + o.Delka > prepsanoOd_)
                o.Stav = TStavOdkazu::PrepsanyVyberem;
            // Across the end of the selection, which the renumbering ends with a line break.
            if (useknuto_ != std::string_view::npos && o.Radek + 1 == vyber_->Po && o.Pozice < useknuto_ &&
                o.Pozice + o.Delka > useknuto_)
                o.Stav = TStavOdkazu::PrepsanyVyberem;
        }
        vybrane_.clear();
        for (std::size_t i = od; i < odkazy.size(); ++i) vybrane_.push_back(i);
        Vyresit(TZiveBloky{*this}, NoveCislaRuzna());
    }
    if (volaProgram_) Archivovat();
    else if (odlozit) programy_.push_back({.Index = program_, .Cislo = cisloProgramu_, .Dotceny = dotceny_});

    // The references kept: those the report needs, and the returns that wait.
    const auto odlozeny = [&](const TOdkaz& o) {
        return cisloProgramu_ != BezCisla && o.Druh == TDruhOdkazu::M99P && o.Stav == TStavOdkazu::NavratDoVolajiciho;
    };
    std::size_t nechat = 0, vsech = 0;
    for (std::size_t i = od; i < odkazy.size(); ++i) {
        const TOdkaz& o = odkazy[i];
        const bool odl = odlozeny(o);
        vsech += dotceny_ && !odl;
        nechat += odl || (dotceny_ && (!jenNevyresene_ || o.Stav != TStavOdkazu::Vyreseny));
    }
    vysledek_.Nalezenych += vsech;
    if (nechat < odkazy.size() - od || odlozit) {
        // The others go, and their texts with them.
        std::string texty;
        std::size_t k = od;
        for (std::size_t i = od; i < odkazy.size(); ++i) {
            const bool odl = odlozeny(odkazy[i]);
            if (!odl && !(dotceny_ && (!jenNevyresene_ || odkazy[i].Stav != TStavOdkazu::Vyreseny))) continue;
            TOdkaz o = odkazy[i];
            const std::string_view text = vysledek_.TextCile(o);
            o.Text = textyProgramu_ + texty.size();
            texty += text;
            if (odl) odlozene_.push_back(k);
            odkazy[k++] = o;
        }
        odkazy.resize(k);
        vysledek_.Texty.resize(textyProgramu_);
        vysledek_.Texty += texty;
    }
    odkazyProgramu_ = odkazy.size();
    textyProgramu_ = vysledek_.Texty.size();
    bloky_.Vyprazdnit();
    // The tables' entries of this program count as empty from now on.
    if (++generace_ == 0) {
        std::fill(staraCisla_.begin(), staraCisla_.end(), TStareCislo{});
        std::fill(konecnaCisla_.begin(), konecnaCisla_.end(), TKonecneCislo{});
        generace_ = 1;
    }
    dotceny_ = rezim_ == TRezim::Vypis || rezim_ == TRezim::Zavedeni;
    vProgramu_ = 0;
    konecProgramu_ = volaProgram_ = false;
    cisloProgramu_ = BezCisla;
}

void TOdkazyBloku::Archivovat() {
    // The blocks by number, before the command and after it; the larger
    // numbers gathered from the blocks that carry them.
    const auto zaradit = [](std::vector<TZaznamBloku>& archiv, std::size_t velkych) {
        const auto zacatek = archiv.begin() + static_cast<std::ptrdiff_t>(velkych);
        std::stable_sort(zacatek, archiv.end(),
                         [](const TZaznamBloku& a, const TZaznamBloku& b) { return a.Cislo < b.Cislo; });
        std::size_t k = velkych;
        for (std::size_t i = velkych; i < archiv.size(); ++i) {
            if (k > velkych && archiv[k - 1].Cislo == archiv[i].Cislo) {
                archiv[k - 1].Pocet = std::min<std::uint32_t>(archiv[k - 1].Pocet + archiv[i].Pocet, 2);
                continue;
            }
            archiv[k++] = archiv[i];
        }
        archiv.resize(k);
    };
    TProgram p{.Index = program_, .Cislo = cisloProgramu_, .Dotceny = dotceny_};
    p.OdStarych = archivStarych_.size();
    for (std::size_t c = 0; c < staraCisla_.size(); ++c) {
        const TStareCislo& e = staraCisla_[c];
        if (e.Generace == generace_)
            archivStarych_.push_back({c, e.Radek, e.Nove, e.Pocet, e.Precislovany});
    }
    const std::size_t velkych = archivStarych_.size();
    bloky_.ProKazdy([&](const TBlokProgramu& b) {
        if (b.Stare >= MalaCisla && b.Stare != VelkeCisloBloku)
            archivStarych_.push_back({b.Stare, b.Radek, b.Nove, 1, b.Precislovany});
    });
    zaradit(archivStarych_, velkych);
    p.PoStarych = archivStarych_.size();
    p.OdKonecnych = p.PoKonecnych = archivKonecnych_.size();
    if (celePrecislovani_) {
        // The numbers of the sequence counted by number in the table of a
        // selection's renumber, which a whole one leaves free; their lines
        // those that got them. The larger ones from their blocks.
        ProNovaCisla([&](std::uint64_t cislo) {
            if (cislo >= MalaCisla) return;
            if (cislo >= konecnaCisla_.size()) konecnaCisla_.resize(std::bit_ceil(std::size_t{cislo} + 1));
            TKonecneCislo& e = konecnaCisla_[cislo];
            if (e.Generace != generace_) e = {.Generace = generace_, .Pocet = 0, .Radek = radkyNovych_[cislo]};
            ++e.Pocet;
        });
        for (std::size_t c = 0; c < konecnaCisla_.size(); ++c) {
            const TKonecneCislo& e = konecnaCisla_[c];
            if (e.Generace == generace_) archivKonecnych_.push_back({c, e.Radek, 0, e.Pocet, false});
        }
        const std::size_t velkychKonecnych = archivKonecnych_.size();
        bloky_.ProKazdy([&](const TBlokProgramu& b) {
            if (b.Nove >= MalaCisla) archivKonecnych_.push_back({b.Nove, b.Radek, 0, 1, false});
        });
        zaradit(archivKonecnych_, velkychKonecnych);
        p.PoKonecnych = archivKonecnych_.size();
    } else if (vyber_) {
        for (std::size_t c = 0; c < konecnaCisla_.size(); ++c) {
            const TKonecneCislo& e = konecnaCisla_[c];
            if (e.Generace == generace_) archivKonecnych_.push_back({c, e.Radek, 0, e.Pocet, false});
        }
        const std::size_t velkychKonecnych = archivKonecnych_.size();
        bloky_.ProKazdy([&](const TBlokProgramu& b) {
            const std::uint64_t cislo = b.Precislovany ? b.Nove : b.Stare;
            if (cislo >= MalaCisla && (b.Precislovany || b.Stare != VelkeCisloBloku))
                archivKonecnych_.push_back({cislo, b.Radek, 0, 1, false});
        });
        zaradit(archivKonecnych_, velkychKonecnych);
        p.PoKonecnych = archivKonecnych_.size();
    }
    programy_.push_back(p);
}

void TOdkazyBloku::VyresitNavraty() {
    if (odlozene_.empty()) return;
    std::sort(cislaProgramu_.begin(), cislaProgramu_.end());
    const auto existuje = [&](std::uint64_t c) {
        return std::binary_search(cislaProgramu_.begin(), cislaProgramu_.end(), c);
    };
    // A call names the program of its P, or (repeated calls, P of more than
    // four digits) the program of its last four digits when none has all of them.
    const auto vola = [&](std::uint64_t p, std::uint64_t cislo) {
        return p == cislo || (p >= 10000 && p % 10000 == cislo && !existuje(p));
    };
    const auto zaznam = [&](std::size_t program) -> const TProgram* {
        const auto i = std::lower_bound(programy_.begin(), programy_.end(), program,
                                        [](const TProgram& p, std::size_t c) { return p.Index < c; });
        return i != programy_.end() && i->Index == program ? &*i : nullptr;
    };
    auto& odkazy = vysledek_.Odkazy;
    std::vector<bool> nahlasit(odlozene_.size());
    std::vector<const TProgram*> volajici;
    for (std::size_t a = 0; a < odlozene_.size();) {
        // The returns of one subprogram.
        const std::size_t program = odkazy[odlozene_[a]].Program;
        std::size_t b = a;
        while (b < odlozene_.size() && odkazy[odlozene_[b]].Program == program) ++b;
        const TProgram* podprogram = zaznam(program);
        volajici.clear();
        for (const TVolani& v : volani_) {
            if (!vola(v.Cislo, podprogram->Cislo)) continue;
            const TProgram* p = zaznam(v.Program);
            if (p && std::find(volajici.begin(), volajici.end(), p) == volajici.end()) volajici.push_back(p);
        }
        bool dotceny = podprogram->Dotceny;
        for (const TProgram* p : volajici) dotceny = dotceny || p->Dotceny;
        if (!volajici.empty()) {
            // They return into their callers: resolved against the callers' blocks.
            vybrane_.clear();
            for (std::size_t i = a; i < b; ++i) {
                odkazy[odlozene_[i]].Stav = TStavOdkazu::ChybiCil;
                vybrane_.push_back(odlozene_[i]);
            }
            const std::size_t upravy = vysledek_.Upravy.size();
            Vyresit(TVolajici{*this, volajici}, false);
            upravyMimoPoradi_ = upravyMimoPoradi_ || vysledek_.Upravy.size() > upravy;
        }
        for (std::size_t i = a; i < b; ++i) nahlasit[i] = dotceny;
        a = b;
    }
    // The returns that the report does not need go.
    std::size_t k = 0, j = 0;
    for (std::size_t i = 0; i < odkazy.size(); ++i) {
        if (j < odlozene_.size() && odlozene_[j] == i) {
            const bool nechat = nahlasit[j] && (!jenNevyresene_ || odkazy[i].Stav != TStavOdkazu::Vyreseny);
            vysledek_.Nalezenych += nahlasit[j];
            ++j;
            if (!nechat) continue;
        }
        odkazy[k++] = odkazy[i];
    }
    odkazy.resize(k);
    odlozene_.clear();
}

// ---------------------------------------------------------------- lines in memory

TVysledekOdkazu NajitOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky) {
    TOdkazyBloku o(znaky);
    for (const std::string_view r : radky) o.Radek(r);
    return o.Dokoncit();
}

TVysledekOdkazu PrecislovatOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky,
                                  const TCislovaniOdkazu& cislovani, std::optional<TVyberRadku> vyber,
                                  bool upravovat) {
    TOdkazyBloku o(znaky, cislovani, vyber, upravovat);
    for (const std::string_view r : radky) o.Radek(r);
    return o.Dokoncit();
}

TVysledekOdkazu ZavestOdkazy(std::span<const std::string_view> radky, const TZnakyOdkazu& znaky,
                             const TZavedeniOdkazu& zavedeni) {
    TOdkazyBloku o(znaky, zavedeni);
    for (const std::string_view r : radky) o.Radek(r);
    return o.Dokoncit();
}

TOdkazyBloku OdkazyPrikazu(const cnc::TZadani<char>& zadani, TDruhyOdkazu druhy, bool aktualizovat,
                           std::optional<TVyberRadku> vyber) {
    const TZnakyOdkazu znaky = ZnakyOdkazu(zadani, druhy);
    const TCislovaniOdkazu cislovani{zadani.PrvniBlok, zadani.Prirustek, zadani.MaximalniBlok,
                                     zadani.CislovatOdZacatku};
    switch (zadani.Prikaz) {
        case cnc::TPrikaz::Zavest:
            return TOdkazyBloku(znaky, TZavedeniOdkazu{.Cislovani = cislovani,
                                                       .Konec = zadani.Konec.Text,
                                                       .KonecMuze = zadani.Konec.MuzeZacinat,
                                                       .KomentarMuze = zadani.Komentar.MuzeZacinat,
                                                       .BlokPredZnakZacatku = zadani.BlokPredZnakZacatku,
                                                       .BlokPredZnakKonce = zadani.BlokPredZnakKonce,
                                                       .BlokPredZnakKomentare = zadani.BlokPredZnakKomentare});
        case cnc::TPrikaz::Precislovat: return TOdkazyBloku(znaky, cislovani, vyber, aktualizovat);
        case cnc::TPrikaz::Odstranit: break;
    }
    return TOdkazyBloku(znaky);
}

template <typename F>
void TKurzorUprav::PripojitSUpravami(F pripojit, std::size_t radek, std::string_view text, std::size_t od,
                                     std::size_t po, std::size_t posun) {
    // Positions of the line from here on are those of text plus posun.
    po = std::min(po, text.size());
    while (i_ < upravy_.size() && upravy_[i_].Radek < radek) ++i_;
    std::size_t pozice = std::min(od, po);
    for (; i_ < upravy_.size() && upravy_[i_].Radek == radek && upravy_[i_].Pozice < po + posun; ++i_) {
        const TUpravaOdkazu& u = upravy_[i_];
        const std::size_t zacatek = u.Pozice, konec = zacatek + u.Delka;
        if (zacatek < pozice + posun || konec > po + posun)
            throw std::invalid_argument("an edit of a reference lies outside the bytes being written");
        pripojit(text.substr(pozice, zacatek - posun - pozice));
        u.Zapsat(pripojit);
        pozice = konec - posun;
    }
    pripojit(text.substr(pozice, po - pozice));
}

template void TKurzorUprav::PripojitSUpravami(TDoRetezce, std::size_t, std::string_view, std::size_t, std::size_t,
                                              std::size_t);
template void TKurzorUprav::PripojitSUpravami(TDoVystupu, std::size_t, std::string_view, std::size_t, std::size_t,
                                              std::size_t);

void PripojitSUpravami(cnc::TVystup<char>& cil, TKurzorUprav& kurzor, std::string_view text, std::size_t od,
                       std::size_t po, std::size_t radek, std::size_t odBajtu) {
    // Where the line that ends at konec is followed by the next one.
    const auto zaZlomem = [&](std::size_t konec) {
        if (konec == text.size()) return konec;
        return cnc::ZaZlomem(text, konec);
    };
    po = std::min(po, text.size());
    std::size_t zacatek = od - std::min(odBajtu, od);  // where line radek begins
    while (od < po) {
        const std::size_t dalsi = kurzor.Dalsi();
        if (dalsi == std::string_view::npos) break;
        // On to the next line with edits; the lines before it go out in one piece.
        for (; radek < dalsi && zacatek < po; ++radek) {
            const std::size_t konec = cnc::KonecRadku(text, zacatek);
            if (konec == text.size()) return cil.Pripojit(text.substr(od, po - od));
            zacatek = zaZlomem(konec);
        }
        if (zacatek >= po) break;
        if (zacatek > od) {
            cil.Pripojit(text.substr(od, zacatek - od));
            od = zacatek;
        }
        // The line as far as it lies in the text asked for, with its edits; then its break.
        const std::size_t konec = cnc::KonecRadku(text, zacatek);
        const std::size_t k = std::min(konec, po);
        if (od < k) kurzor.Pripojit(cil, radek, text.substr(zacatek, konec - zacatek), od - zacatek, k - zacatek);
        od = std::max(od, k);
        if (k < konec) return;
        const std::size_t dalsiRadek = zaZlomem(konec);
        if (od < std::min(dalsiRadek, po)) {
            cil.Pripojit(text.substr(od, std::min(dalsiRadek, po) - od));
            od = std::min(dalsiRadek, po);
        }
        if (dalsiRadek == konec) return;  // the end of the text
        zacatek = dalsiRadek;
        ++radek;
    }
    if (od < po) cil.Pripojit(text.substr(od, po - od));
}

TZbytkySUpravami::TZbytkySUpravami(TKurzorUprav& kurzor, std::size_t prvniRadek, std::size_t odBajtu)
    : kurzor_(kurzor), prvni_(prvniRadek), odBajtu_(odBajtu) {
    Posunout();
}

void TZbytkySUpravami::Posunout() {
    const std::size_t dalsi = kurzor_.Dalsi();
    dalsi_ = dalsi == std::string_view::npos ? dalsi : dalsi - std::min(dalsi, prvni_);
}

void TZbytkySUpravami::Zapsat(cnc::TVystup<char>& vystup, std::size_t radek, std::string_view text, std::size_t od) {
    kurzor_.Pripojit(vystup, prvni_ + radek, text, od, std::string_view::npos, radek == 0 ? odBajtu_ : 0);
    Posunout();
}
