#include "Kodovani.h"

#include <array>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#endif

namespace {

// Windows-1250 bytes 0x80..0xFF. The five bytes that the code page leaves
// undefined (81, 83, 88, 90, 98) map to the C1 control of the same value, so
// that every byte reads and writes back unchanged.
constexpr std::array<char16_t, 128> Cp1250Horni = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021, 0x0088, 0x2030, 0x0160,
    0x2039, 0x015A, 0x0164, 0x017D, 0x0179, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, 0x00A0,
    0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, 0x00A8, 0x00A9, 0x015E, 0x00AB,
    0x00AC, 0x00AD, 0x00AE, 0x017B, 0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6,
    0x00B7, 0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, 0x0154, 0x00C1,
    0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, 0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A,
    0x00CD, 0x00CE, 0x010E, 0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, 0x0155, 0x00E1, 0x00E2,
    0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, 0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED,
    0x00EE, 0x010F, 0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, 0x0159,
    0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9};

// Reverse table up to the highest code point of the code page (U+2122):
// the byte + 1, or 0 when the character has no byte.
struct TCp1250Zpet {
    static constexpr std::size_t Rozsah = 0x2123;
    std::array<std::uint16_t, Rozsah> bajt{};
    constexpr TCp1250Zpet() {
        for (std::size_t i = 0; i < 128; ++i) bajt[i] = static_cast<std::uint16_t>(i + 1);
        for (std::size_t i = 0; i < 128; ++i) bajt[Cp1250Horni[i]] = static_cast<std::uint16_t>(i + 129);
    }
};

const TCp1250Zpet& Cp1250Zpet() {
    static constexpr TCp1250Zpet tabulka;
    return tabulka;
}

inline bool JeVysokyNahradnik(char32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
inline bool JeNizkyNahradnik(char32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

inline void PripojitUtf8(std::string& cil, char32_t c) {
    if (c < 0x80) {
        cil.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        cil.push_back(static_cast<char>(0xC0 | (c >> 6)));
        cil.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        cil.push_back(static_cast<char>(0xE0 | (c >> 12)));
        cil.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        cil.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        cil.push_back(static_cast<char>(0xF0 | (c >> 18)));
        cil.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        cil.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        cil.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Decodes one UTF-8 sequence starting at bytes[i]; returns its length, or 0
// when the sequence is not well-formed.
inline std::size_t DalsiZnakUtf8(std::string_view b, std::size_t i, char32_t& c) {
    const auto u = [&](std::size_t k) { return static_cast<unsigned char>(b[k]); };
    const unsigned char b0 = u(i);
    const std::size_t zbyva = b.size() - i;
    if (b0 < 0x80) {
        c = b0;
        return 1;
    }
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        if (zbyva < 2 || (u(i + 1) & 0xC0) != 0x80) return 0;
        c = (char32_t(b0 & 0x1F) << 6) | (u(i + 1) & 0x3F);
        return 2;
    }
    if (b0 >= 0xE0 && b0 <= 0xEF) {
        if (zbyva < 3) return 0;
        const unsigned char b1 = u(i + 1);
        const unsigned char dolni = b0 == 0xE0 ? 0xA0 : 0x80;
        const unsigned char horni = b0 == 0xED ? 0x9F : 0xBF;  // no surrogates
        if (b1 < dolni || b1 > horni || (u(i + 2) & 0xC0) != 0x80) return 0;
        c = (char32_t(b0 & 0x0F) << 12) | (char32_t(b1 & 0x3F) << 6) | (u(i + 2) & 0x3F);
        return 3;
    }
    if (b0 >= 0xF0 && b0 <= 0xF4) {
        if (zbyva < 4) return 0;
        const unsigned char b1 = u(i + 1);
        const unsigned char dolni = b0 == 0xF0 ? 0x90 : 0x80;
        const unsigned char horni = b0 == 0xF4 ? 0x8F : 0xBF;  // nothing above U+10FFFF
        if (b1 < dolni || b1 > horni || (u(i + 2) & 0xC0) != 0x80 ||
            (u(i + 3) & 0xC0) != 0x80)
            return 0;
        c = (char32_t(b0 & 0x07) << 18) | (char32_t(b1 & 0x3F) << 12) |
            (char32_t(u(i + 2) & 0x3F) << 6) | (u(i + 3) & 0x3F);
        return 4;
    }
    return 0;
}

void DekodovatUtf8Do(std::u16string& cil, std::string_view b) {
    // A run of ASCII, all of a typical program line, is widened in one go
    // without filling the room first.
    std::size_t ascii = 0;
    while (ascii < b.size() && static_cast<unsigned char>(b[ascii]) < 0x80) ++ascii;
    if (ascii == b.size()) {
        cil.append(reinterpret_cast<const unsigned char*>(b.data()),
                   reinterpret_cast<const unsigned char*>(b.data()) + b.size());
        return;
    }
    const std::size_t zacatek = cil.size();
    cil.resize(zacatek + b.size());  // never more units than bytes
    char16_t* w = cil.data() + zacatek;
    std::size_t i = 0;
    while (i < b.size()) {
        const unsigned char b0 = static_cast<unsigned char>(b[i]);
        if (b0 < 0x80) {
            *w++ = b0;
            ++i;
            continue;
        }
        char32_t c = 0;
        const std::size_t delka = DalsiZnakUtf8(b, i, c);
        if (delka == 0) {
            c = 0xFFFD;
            i += 1;
        } else {
            i += delka;
        }
        if (c < 0x10000) {
            *w++ = static_cast<char16_t>(c);
        } else {
            c -= 0x10000;
            *w++ = static_cast<char16_t>(0xD800 + (c >> 10));
            *w++ = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        }
    }
    cil.resize(static_cast<std::size_t>(w - cil.data()));
}

void DekodovatUtf16Do(std::u16string& cil, std::string_view b, bool bigEndian) {
    const std::size_t jednotek = b.size() / 2;
    const std::size_t zacatek = cil.size();
    cil.resize(zacatek + jednotek + (b.size() % 2));
    for (std::size_t i = 0; i < jednotek; ++i) {
        const auto lo = static_cast<unsigned char>(b[2 * i + (bigEndian ? 1 : 0)]);
        const auto hi = static_cast<unsigned char>(b[2 * i + (bigEndian ? 0 : 1)]);
        cil[zacatek + i] = static_cast<char16_t>(lo | (hi << 8));
    }
    // A cut-off last unit cannot be read as a character.
    if (b.size() % 2) cil.back() = 0xFFFD;
}

bool ZakodovatUtf8Do(std::string& cil, std::u16string_view t) {
    // The leading ASCII, all of a typical program line, in one go.
    std::size_t ascii = 0;
    while (ascii < t.size() && t[ascii] < 0x80) ++ascii;
    const std::size_t zacatek = cil.size();
    cil.resize(zacatek + ascii);
    char* w = cil.data() + zacatek;
    for (std::size_t i = 0; i < ascii; ++i) w[i] = static_cast<char>(t[i]);
    for (std::size_t i = ascii; i < t.size(); ++i) {
        char32_t c = t[i];
        if (c < 0x80) {
            cil.push_back(static_cast<char>(c));
            continue;
        }
        if (JeVysokyNahradnik(c)) {
            if (i + 1 >= t.size() || !JeNizkyNahradnik(t[i + 1])) return false;
            c = 0x10000 + ((c - 0xD800) << 10) + (t[i + 1] - 0xDC00);
            ++i;
        } else if (JeNizkyNahradnik(c)) {
            return false;
        }
        PripojitUtf8(cil, c);
    }
    return true;
}

bool ZakodovatCp1250Do(std::string& cil, std::u16string_view t) {
    const TCp1250Zpet& zpet = Cp1250Zpet();
    const std::size_t zacatek = cil.size();
    cil.resize(zacatek + t.size());
    char* w = cil.data() + zacatek;
    for (char16_t c : t) {
        if (c >= TCp1250Zpet::Rozsah) return false;
        const std::uint16_t b = zpet.bajt[c];
        if (b == 0) return false;
        *w++ = static_cast<char>(b - 1);
    }
    return true;
}

void ZakodovatUtf16Do(std::string& cil, std::u16string_view t, bool bigEndian) {
    cil.reserve(cil.size() + 2 * t.size());
    for (char16_t c : t) {
        const char lo = static_cast<char>(c & 0xFF);
        const char hi = static_cast<char>(c >> 8);
        cil.push_back(bigEndian ? hi : lo);
        cil.push_back(bigEndian ? lo : hi);
    }
}

#ifdef _WIN32
void DekodovatAnsiDo(std::u16string& cil, std::string_view b) {
    if (b.empty()) return;
    const int vstup = static_cast<int>(b.size());
    const int n = MultiByteToWideChar(CP_ACP, 0, b.data(), vstup, nullptr, 0);
    const std::size_t zacatek = cil.size();
    cil.resize(zacatek + static_cast<std::size_t>(n));
    MultiByteToWideChar(CP_ACP, 0, b.data(), vstup, reinterpret_cast<wchar_t*>(cil.data() + zacatek), n);
}

bool ZakodovatAnsiDo(std::string& cil, std::u16string_view t) {
    if (t.empty()) return true;
    const auto* w = reinterpret_cast<const wchar_t*>(t.data());
    const int vstup = static_cast<int>(t.size());
    BOOL nahrazeno = FALSE;
    const int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, vstup, nullptr, 0, nullptr, &nahrazeno);
    if (n <= 0 || nahrazeno) return false;
    const std::size_t zacatek = cil.size();
    cil.resize(zacatek + static_cast<std::size_t>(n));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, w, vstup, cil.data() + zacatek, n, nullptr, &nahrazeno);
    return !nahrazeno;
}
#endif

}  // namespace

const char* NazevKodovani(TKodovani k) {
    switch (k) {
        case TKodovani::Utf8: return "UTF-8";
        case TKodovani::Cp1250: return "Windows-1250";
        case TKodovani::Ansi: return "ANSI";
        case TKodovani::Utf8Znacka: return "UTF-8 with byte-order mark";
        case TKodovani::Utf16LE: return "UTF-16 LE";
        case TKodovani::Utf16BE: return "UTF-16 BE";
    }
    return "?";
}

bool BezZnackyUtf8() {
    // Windows set to the UTF-8 code page reads and writes as the other systems
    // do: UTF-8 when the bytes are UTF-8, Windows-1250 (every byte kept) otherwise.
#ifdef _WIN32
    return GetACP() == CP_UTF8;
#else
    return true;
#endif
}

std::optional<TZnacka> NajitZnacku(std::string_view b) {
    if (b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE') return TZnacka{TKodovani::Utf16LE, 2};
    if (b.size() >= 2 && b[0] == '\xFE' && b[1] == '\xFF') return TZnacka{TKodovani::Utf16BE, 2};
    if (b.size() >= 3 && b[0] == '\xEF' && b[1] == '\xBB' && b[2] == '\xBF') return TZnacka{TKodovani::Utf8Znacka, 3};
    return std::nullopt;
}

TKodovaniTextu::TKodovaniTextu(bool znackaUtf8)
    : k_(znackaUtf8 ? TKodovani::Utf8Znacka : BezZnackyUtf8() ? TKodovani::Utf8 : TKodovani::Ansi),
      overovat_(k_ != TKodovani::Ansi) {}

bool TKodovaniTextu::Pridat(std::string_view kus) {
    if (!overovat_ || JePlatneUtf8(kus)) return true;
    k_ = TKodovani::Cp1250;
    overovat_ = false;
    return false;
}

TZnacka RozpoznatZnacku(std::string_view b) {
    const std::optional<TZnacka> znacka = NajitZnacku(b);
    if (znacka && znacka->kodovani != TKodovani::Utf8Znacka) return *znacka;
    const std::size_t delka = znacka ? znacka->delka : 0;
    TKodovaniTextu k(znacka.has_value());
    k.Pridat(b.substr(delka));
    return {k.Kodovani(), delka};
}

bool JePlatneUtf8(std::string_view b) {
    std::size_t i = 0;
    const std::size_t n = b.size();
    while (i < n) {
        // Skip runs of ASCII sixteen bytes at a time.
        while (i + 16 <= n) {
            std::uint64_t slova[2];
            std::memcpy(slova, b.data() + i, 16);
            if ((slova[0] | slova[1]) & 0x8080808080808080ull) break;
            i += 16;
        }
        if (i >= n) break;
        if (static_cast<unsigned char>(b[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c;
        const std::size_t delka = DalsiZnakUtf8(b, i, c);
        if (delka == 0) return false;
        i += delka;
    }
    return true;
}

void DekodovatDo(std::u16string& cil, std::string_view b, TKodovani k) {
    switch (k) {
        case TKodovani::Utf8:
        case TKodovani::Utf8Znacka: DekodovatUtf8Do(cil, b); return;
        case TKodovani::Utf16LE: DekodovatUtf16Do(cil, b, false); return;
        case TKodovani::Utf16BE: DekodovatUtf16Do(cil, b, true); return;
        case TKodovani::Ansi:
#ifdef _WIN32
            DekodovatAnsiDo(cil, b);
            return;
#endif
        case TKodovani::Cp1250: {
            const std::size_t zacatek = cil.size();
            cil.resize(zacatek + b.size());
            char16_t* w = cil.data() + zacatek;
            for (char c : b) {
                const auto u = static_cast<unsigned char>(c);
                *w++ = u < 0x80 ? char16_t(u) : Cp1250Horni[u - 0x80];
            }
            return;
        }
    }
}

bool ZakodovatDo(std::string& cil, std::u16string_view t, TKodovani k) {
    switch (k) {
        case TKodovani::Utf8:
        case TKodovani::Utf8Znacka: return ZakodovatUtf8Do(cil, t);
        case TKodovani::Utf16LE: ZakodovatUtf16Do(cil, t, false); return true;
        case TKodovani::Utf16BE: ZakodovatUtf16Do(cil, t, true); return true;
        case TKodovani::Ansi:
#ifdef _WIN32
            return ZakodovatAnsiDo(cil, t);
#endif
        case TKodovani::Cp1250: return ZakodovatCp1250Do(cil, t);
    }
    return false;
}

std::string_view ZnackaKodovani(TKodovani k) {
    switch (k) {
        case TKodovani::Utf8Znacka: return "\xEF\xBB\xBF";
        case TKodovani::Utf16LE: return "\xFF\xFE";
        case TKodovani::Utf16BE: return "\xFE\xFF";
        default: return "";
    }
}

TKodovani ZakodovatText(std::string& cil, std::u16string_view text, TKodovani k) {
    const std::size_t zacatek = cil.size();
    // UTF-16, the last, holds every code unit.
    for (TKodovani pokus : {k, TKodovani::Utf8Znacka, TKodovani::Utf16LE}) {
        cil.resize(zacatek);
        cil += ZnackaKodovani(pokus);
        if (ZakodovatDo(cil, text, pokus)) return pokus;
    }
    return TKodovani::Utf16LE;
}

TKodovani KodovaniProZapis(TKodovani k) {
    if (!BezZnackyUtf8()) return TKodovani::Ansi;
    switch (k) {
        case TKodovani::Utf8Znacka:
        case TKodovani::Utf16LE:
        case TKodovani::Utf16BE: return TKodovani::Utf8;
        default: return k;
    }
}

TKodovani KodovaniZapisu(TKodovani k, std::string_view zacatek) {
    if (!ZnackaKodovani(k).empty()) return k;  // the text follows its own mark
    // The first three characters (a byte that is no UTF-8 is one) give at
    // least the first three bytes.
    std::size_t delka = 0;
    for (int znaku = 0; znaku < 3 && delka < zacatek.size(); ++znaku) {
        char32_t c;
        const std::size_t d = DalsiZnakUtf8(zacatek, delka, c);
        delka += d == 0 ? 1 : d;
    }
    std::string bajty;
    if (!PrevestZUtf8(bajty, zacatek.substr(0, delka), k) || NajitZnacku(bajty)) return TKodovani::Utf8Znacka;
    return k;
}

namespace {

// The UTF-8 bytes of the Windows-1250 bytes 0x80..0xFF: their length, then up to three bytes.
struct TCp1250Utf8 {
    std::array<std::array<char, 4>, 128> b{};
    constexpr TCp1250Utf8() {
        for (std::size_t i = 0; i < 128; ++i) {
            const char32_t c = Cp1250Horni[i];
            if (c < 0x800) {
                b[i] = {2, static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F)), 0};
            } else {
                b[i] = {3, static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
                        static_cast<char>(0x80 | (c & 0x3F))};
            }
        }
    }
};

// The characters of a UTF-8 text, one by one; a byte that is no UTF-8 is U+FFFD.
template <typename F>
bool ProZnakyUtf8(std::string_view b, F znak) {
    std::size_t i = 0;
    while (i < b.size()) {
        char32_t c = static_cast<unsigned char>(b[i]);
        std::size_t delka = 1;
        if (c >= 0x80) {
            delka = DalsiZnakUtf8(b, i, c);
            if (delka == 0) {
                c = 0xFFFD;
                delka = 1;
            }
        }
        if (!znak(c)) return false;
        i += delka;
    }
    return true;
}

std::size_t DelkaAscii(std::string_view b) {
    std::size_t i = 0;
    while (i + 8 <= b.size()) {
        std::uint64_t slovo;
        std::memcpy(&slovo, b.data() + i, 8);
        if (slovo & 0x8080808080808080ull) break;
        i += 8;
    }
    while (i < b.size() && static_cast<unsigned char>(b[i]) < 0x80) ++i;
    return i;
}

}  // namespace

void PrevestDoUtf8(std::string& cil, std::string_view b, TKodovani k) {
#ifdef _WIN32
    if (k == TKodovani::Ansi) {
        std::u16string text;
        DekodovatDo(text, b, k);
        PripojitUtf8(cil, text);
        return;
    }
#endif
    (void)k;
    static constexpr TCp1250Utf8 tabulka;
    const std::size_t zacatek = cil.size();
    cil.resize(zacatek + 3 * b.size());  // at most three bytes a byte
    char* w = cil.data() + zacatek;
    for (char c : b) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 0x80) {
            *w++ = c;
            continue;
        }
        const auto& z = tabulka.b[u - 0x80];
        for (int i = 1; i <= z[0]; ++i) *w++ = z[i];
    }
    cil.resize(static_cast<std::size_t>(w - cil.data()));
}

bool PrevestZUtf8(std::string& cil, std::string_view utf8, TKodovani k) {
    switch (k) {
        case TKodovani::Utf8:
        case TKodovani::Utf8Znacka:
            if (JePlatneUtf8(utf8)) {
                cil += utf8;
                return true;
            }
            return ProZnakyUtf8(utf8, [&](char32_t c) {
                PripojitUtf8(cil, c);
                return true;
            });
        case TKodovani::Cp1250: {
            const TCp1250Zpet& zpet = Cp1250Zpet();
            const std::size_t ascii = DelkaAscii(utf8);
            cil.append(utf8.substr(0, ascii));
            return ProZnakyUtf8(utf8.substr(ascii), [&](char32_t c) {
                if (c >= TCp1250Zpet::Rozsah || zpet.bajt[c] == 0) return false;
                cil.push_back(static_cast<char>(zpet.bajt[c] - 1));
                return true;
            });
        }
        default: {
            std::u16string text;
            DekodovatDo(text, utf8, TKodovani::Utf8);
            return ZakodovatDo(cil, text, k);
        }
    }
}

bool LzeZakodovatUtf8(std::string_view utf8, TKodovani k) {
    switch (k) {
        case TKodovani::Utf8:
        case TKodovani::Utf8Znacka:
        case TKodovani::Utf16LE:
        case TKodovani::Utf16BE: return true;
        case TKodovani::Cp1250: {
            const TCp1250Zpet& zpet = Cp1250Zpet();
            return ProZnakyUtf8(utf8.substr(DelkaAscii(utf8)),
                                [&](char32_t c) { return c < TCp1250Zpet::Rozsah && zpet.bajt[c] != 0; });
        }
        case TKodovani::Ansi: {
            std::string pokus;
            return PrevestZUtf8(pokus, utf8, k);
        }
    }
    return false;
}

std::u16string ZUtf8(std::string_view s) {
    std::u16string v;
    DekodovatUtf8Do(v, s);
    return v;
}

void PripojitUtf8(std::string& cil, std::u16string_view s) {
    cil.reserve(cil.size() + s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c < 0x80) {
            cil.push_back(static_cast<char>(c));
            continue;
        }
        if (JeVysokyNahradnik(c) && i + 1 < s.size() && JeNizkyNahradnik(s[i + 1])) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        } else if (JeVysokyNahradnik(c) || JeNizkyNahradnik(c)) {
            c = 0xFFFD;
        }
        PripojitUtf8(cil, c);
    }
}

std::string DoUtf8(std::u16string_view s) {
    std::string v;
    PripojitUtf8(v, s);
    return v;
}
