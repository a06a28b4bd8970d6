#include "Hledani.h"

#include <QChar>

#include <cstring>
#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

enum class TTrida { Jina, Pismeno, Cislo };

// The kind of the character at i: letters (and the bytes of characters
// beyond ASCII), numbers (digits, a point before a digit), others.
TTrida Trida(std::string_view t, std::size_t i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80) return TTrida::Pismeno;
    if (c >= '0' && c <= '9') return TTrida::Cislo;
    if (c == '.' && i + 1 < t.size() && t[i + 1] >= '0' && t[i + 1] <= '9') return TTrida::Cislo;
    return TTrida::Jina;
}

// One character of UTF-8 at i: its code and its length (a byte that starts
// none is a character of its own that matches nothing).
std::pair<char32_t, std::size_t> Znak(std::string_view t, std::size_t i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (c < 0x80) return {c, 1};
    const std::size_t delka = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 0;
    if (delka == 0 || i + delka > t.size()) return {0xFFFFFFFF, 1};
    char32_t z = c & (0x7F >> delka);
    for (std::size_t k = 1; k < delka; ++k) {
        const auto d = static_cast<unsigned char>(t[i + k]);
        if ((d & 0xC0) != 0x80) return {0xFFFFFFFF, 1};
        z = (z << 6) | (d & 0x3F);
    }
    return {z, delka};
}

char32_t Slozit(char32_t z) { return z == 0xFFFFFFFF ? z : QChar::toCaseFolded(z); }

unsigned char Mala(unsigned char c) { return c >= 'A' && c <= 'Z' ? static_cast<unsigned char>(c | 0x20) : c; }

// The first byte of UTF-8 of a character.
char PrvniBajt(char32_t z) {
    const QString s = QString::fromUcs4(&z, 1);
    const QByteArray b = s.toUtf8();
    return b.isEmpty() ? '\0' : b[0];
}

// The first position in [od, po) that holds one of the bytes (at most four).
std::size_t DalsiZBajtu(std::string_view t, std::size_t od, std::size_t po, std::string_view bajty) {
    if (bajty.size() == 1) {
        const void* p = std::memchr(t.data() + od, bajty[0], po - od);
        return p ? std::size_t(static_cast<const char*>(p) - t.data()) : po;
    }
    std::size_t i = od;
#ifdef __SSE2__
    __m128i hledane[4];
    for (std::size_t k = 0; k < bajty.size(); ++k) hledane[k] = _mm_set1_epi8(bajty[k]);
    while (i + 16 <= po) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data() + i));
        __m128i shoda = _mm_cmpeq_epi8(b, hledane[0]);
        for (std::size_t k = 1; k < bajty.size(); ++k) shoda = _mm_or_si128(shoda, _mm_cmpeq_epi8(b, hledane[k]));
        if (const unsigned maska = static_cast<unsigned>(_mm_movemask_epi8(shoda)))
            return i + static_cast<std::size_t>(__builtin_ctz(maska));
        i += 16;
    }
#endif
    for (; i < po; ++i)
        if (bajty.find(t[i]) != std::string_view::npos) return i;
    return po;
}

}  // namespace

bool CeleSlovo(std::string_view text, std::size_t od, std::size_t po) {
    if (po <= od || po > text.size()) return false;
    if (od > 0) {
        const TTrida t = Trida(text, od);
        if (t != TTrida::Jina && Trida(text, od - 1) == t) return false;
    }
    if (po < text.size()) {
        const TTrida t = Trida(text, po - 1);
        if (t != TTrida::Jina && Trida(text, po) == t) return false;
    }
    return true;
}

THledani::THledani(const TZadaniHledani& zadani)
    : vzor_(zadani.Text.toStdString()), velikost_(zadani.VelikostPismen), celaSlova_(zadani.CelaSlova) {
    if (vzor_.empty()) return;
    for (char c : vzor_) ascii_ = ascii_ && static_cast<unsigned char>(c) < 0x80;
    if (velikost_) {
        zacatky_ = vzor_.substr(0, 1);
        return;
    }
    for (std::size_t i = 0; i < vzor_.size();) {
        const auto [z, delka] = Znak(vzor_, i);
        slozeny_.push_back(Slozit(z));
        i += delka;
    }
    // The first character in any case that folds to the same one.
    const char32_t prvni = Znak(vzor_, 0).first;
    for (const char32_t z : {prvni, slozeny_[0], QChar::toUpper(slozeny_[0]), QChar::toLower(slozeny_[0]),
                             QChar::toTitleCase(slozeny_[0]), QChar::toUpper(prvni), QChar::toLower(prvni)}) {
        const char b = PrvniBajt(z);
        if (b != '\0' && zacatky_.find(b) == std::string::npos && zacatky_.size() < 4) zacatky_ += b;
    }
}

std::optional<std::size_t> THledani::Shoda(std::string_view text, std::size_t i, std::size_t po) const {
    std::size_t konec = i;
    if (velikost_ || ascii_) {
        if (vzor_.size() > po - i) return std::nullopt;
        if (velikost_) {
            if (std::memcmp(text.data() + i, vzor_.data(), vzor_.size()) != 0) return std::nullopt;
        } else {
            for (std::size_t k = 0; k < vzor_.size(); ++k)
                if (Mala(static_cast<unsigned char>(text[i + k])) != Mala(static_cast<unsigned char>(vzor_[k])))
                    return std::nullopt;
        }
        konec = i + vzor_.size();
    } else {
        for (const char32_t z : slozeny_) {
            if (konec >= po) return std::nullopt;
            const auto [t, delka] = Znak(text.substr(0, po), konec);
            if (Slozit(t) != z) return std::nullopt;
            konec += delka;
        }
    }
    if (celaSlova_ && !CeleSlovo(text, i, konec)) return std::nullopt;
    return konec;
}

std::optional<THledani::TNalez> THledani::Najit(std::string_view text, std::size_t od, std::size_t po,
                                                bool dopredu) const {
    po = std::min(po, text.size());
    if (vzor_.empty() || od >= po) return std::nullopt;
    if (dopredu) {
        for (std::size_t i = od;; ++i) {
            i = DalsiZBajtu(text, i, po, zacatky_);
            if (i >= po) return std::nullopt;
            if (const auto konec = Shoda(text, i, po)) return TNalez{i, *konec};
        }
    }
    for (std::size_t i = po; i-- > od;) {
        if (zacatky_.find(text[i]) == std::string::npos) continue;
        if (const auto konec = Shoda(text, i, po)) return TNalez{i, *konec};
    }
    return std::nullopt;
}

bool THledani::JeVyskyt(std::string_view text, std::size_t od, std::size_t po) const {
    if (vzor_.empty() || od >= po || po > text.size()) return false;
    const auto konec = Shoda(text, od, po);
    return konec && *konec == po;
}
