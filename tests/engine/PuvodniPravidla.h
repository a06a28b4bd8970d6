// The engine's rules written plainly: line by line on a list of UTF-16
// strings, each line rewritten in place, as they were first built (with the
// start test after the trim and the block-skip mark since). Kept as the
// yardstick of the byte-level passes (CNCEditPorovnaniTest), which must give
// the same text, progress and calls of the user interface.
#pragma once

#include "engine/CNCEdit.h"

#include <string>
#include <string_view>

namespace puvodni {

constexpr std::size_t MaxDelkaZnacky = 255;

inline std::size_t DelkaOdsazeni(std::u16string_view s) {
    std::size_t k = 0;
    while (k < s.size() && s[k] <= 32) ++k;
    return k;
}

inline bool ZacinaNa(std::u16string_view s, std::u16string_view znacka) {
    if (znacka.size() > MaxDelkaZnacky) return false;
    return s.size() >= znacka.size() && s.compare(0, znacka.size(), znacka) == 0;
}

inline bool JeCislice(char16_t c) { return c >= u'0' && c <= u'9'; }

inline std::u16string Cislo(std::u16string_view znak, std::uint32_t cislo, bool mezera) {
    std::u16string cifry;
    do {
        cifry.insert(cifry.begin(), static_cast<char16_t>(u'0' + cislo % 10));
        cislo /= 10;
    } while (cislo != 0);
    return std::u16string(znak) + cifry + (mezera ? u" " : u"");
}

struct TRozbor {
    bool hlavni = false;
    std::size_t delka = 0, cislic = 0;
};

inline TRozbor ZnakyBloku(std::u16string_view s, std::u16string_view hlavni, std::u16string_view vedlejsi) {
    TRozbor r;
    if (!hlavni.empty() && ZacinaNa(s, hlavni)) {
        r.delka = hlavni.size();
        r.hlavni = true;
    }
    if (!vedlejsi.empty() && ZacinaNa(s.substr(r.delka), vedlejsi)) {
        r.delka += vedlejsi.size();
        r.hlavni = false;
    }
    return r;
}

inline bool SlovoOd(std::u16string_view s, std::size_t i) {
    if (i >= s.size()) return false;
    const char16_t c = s[i];
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

// "/" or "/1" to "/9" in front of a block character that is set, on a line
// that does not begin with one: its length.
inline std::size_t Preskoceni(std::u16string_view s, std::u16string_view hlavni, std::u16string_view vedlejsi) {
    const auto znak = [&](std::u16string_view t) {
        return (!hlavni.empty() && ZacinaNa(t, hlavni)) || (!vedlejsi.empty() && ZacinaNa(t, vedlejsi));
    };
    if (s.empty() || s[0] != u'/' || znak(s)) return 0;
    if (s.size() > 2 && s[1] >= u'1' && s[1] <= u'9' && znak(s.substr(2))) return 2;
    if (s.size() > 1 && znak(s.substr(1))) return 1;
    return 0;
}

inline bool JeBlokovy(std::u16string_view s, std::u16string_view hlavni, std::u16string_view vedlejsi, TRozbor& b,
                      std::size_t& skok) {
    skok = Preskoceni(s, hlavni, vedlejsi);
    s.remove_prefix(skok);
    if (!ZacinaNa(s, hlavni) && !ZacinaNa(s, vedlejsi)) return false;
    b = ZnakyBloku(s, hlavni, vedlejsi);
    if (SlovoOd(s, b.delka)) return false;
    while (b.delka + b.cislic < s.size() && JeCislice(s[b.delka + b.cislic])) ++b.cislic;
    b.delka += b.cislic;
    return true;
}

inline bool JeBlokovyRadek(std::u16string_view r, std::u16string_view hlavni, std::u16string_view vedlejsi) {
    r.remove_prefix(DelkaOdsazeni(r));
    if (!hlavni.empty() && !vedlejsi.empty()) {
        r.remove_prefix(Preskoceni(r, hlavni, vedlejsi));
        const std::size_t znaku = ZnakyBloku(r, hlavni, vedlejsi).delka;
        return znaku > 0 && !SlovoOd(r, znaku);
    }
    return !r.empty() && JeCislice(r.front());
}

// A program number on a trimmed line: "O" or ":" and a digit, where that
// character is no block character; where it is one, with nothing but blanks
// and a comment after its digits, on the line after a start line.
inline bool CisloProgramu(std::u16string_view s, std::u16string_view hlavni, std::u16string_view vedlejsi,
                          std::u16string_view komentar, bool poZacatku) {
    if (s.size() < 2 || (s[0] != u'O' && s[0] != u':') || !JeCislice(s[1])) return false;
    if (hlavni != s.substr(0, 1) && vedlejsi != s.substr(0, 1)) return true;
    if (!poZacatku) return false;
    std::size_t k = 1;
    while (k < s.size() && JeCislice(s[k])) ++k;
    k += DelkaOdsazeni(s.substr(k));
    return k == s.size() || (!komentar.empty() && ZacinaNa(s.substr(k), komentar));
}

// A start line for the program number after it: the trimmed line begins
// with the start marker, itself or behind its block number (front units).
inline bool ZacatekProCislo(std::u16string_view s, std::u16string_view zacatek, std::size_t front) {
    if (zacatek.empty()) return false;
    s.remove_prefix(front);
    return ZacinaNa(s.substr(DelkaOdsazeni(s)), zacatek);
}

inline std::int32_t PocetBloku(const TRadky& radky, std::u16string_view hlavni, std::u16string_view vedlejsi) {
    std::int32_t n = 0;
    for (const auto& r : radky) n += JeBlokovyRadek(r, hlavni, vedlejsi);
    return n;
}

// The count with the program numbers after start lines left out.
inline std::int32_t PocetBloku(const TRadky& radky, std::u16string_view hlavni, std::u16string_view vedlejsi,
                               std::u16string_view zacatek, std::u16string_view komentar) {
    std::int32_t n = 0;
    bool poZacatku = false;
    for (const auto& r : radky) {
        std::u16string_view s(r);
        s.remove_prefix(DelkaOdsazeni(s));
        const bool blok = JeBlokovyRadek(r, hlavni, vedlejsi) && !CisloProgramu(s, hlavni, vedlejsi, komentar, poZacatku);
        n += blok;
        TRozbor b;
        std::size_t skok = 0;
        poZacatku = ZacatekProCislo(s, zacatek, blok && JeBlokovy(s, hlavni, vedlejsi, b, skok) ? skok + b.delka : 0);
    }
    return n;
}

// The end of a pass, also after an exception.
struct TKonec {
    TPrubeh& p;
    explicit TKonec(TPrubeh& p) : p(p) { p.ZacitPruchod(); }
    ~TKonec() { p.UkoncitPruchod(); }
};

inline std::uint8_t ZavestBloky(TRadky& radky, std::u16string_view zacatek, std::u16string_view konec,
                                std::u16string_view komentar, std::uint32_t prvni, std::uint32_t prirustek,
                                std::uint32_t maximum, bool blokZacatek, bool blokKonec, bool blokKomentar,
                                std::u16string_view vedlejsi, bool odZacatku, TPrubeh& prubeh,
                                std::u16string_view hlavni = {}) {
    TKonec k(prubeh);
    const std::size_t n = radky.size();
    std::uint32_t cislo = prvni;
    std::uint8_t procenta = 0;
    bool poZacatku = false;
    for (std::size_t i = 0; i < n; ++i) {
        std::u16string& s = radky[i];
        s.erase(0, DelkaOdsazeni(s));
        bool cislovat, bezny = false;
        const bool cisloProgramu = CisloProgramu(s, hlavni, vedlejsi, komentar, poZacatku);
        const bool poPredchozim = poZacatku;
        poZacatku = ZacatekProCislo(s, zacatek, 0);
        if (!zacatek.empty() && ZacinaNa(s, zacatek)) {
            cislo = prvni;
            cislovat = blokZacatek;
        } else if (cisloProgramu) {
            cislovat = false;
        } else if (!konec.empty() && ZacinaNa(s, konec)) {
            cislovat = blokKonec;
        } else if (!komentar.empty() && ZacinaNa(s, komentar)) {
            cislovat = blokKomentar;
        } else {
            cislovat = bezny = true;
        }
        // ":10" or "O10" alone (or before a comment) after a start line would
        // be the program's number.
        if (cislovat && poPredchozim && (vedlejsi == u":" || vedlejsi == u"O") &&
            (s.empty() || (!komentar.empty() && ZacinaNa(s, komentar))))
            cislovat = false;
        if (cislovat) {
            // A block-skip mark ("/", "/1" to "/9" without a further digit) stays in front.
            std::size_t skok = 0;
            if (!vedlejsi.empty() && !s.empty() && s[0] == u'/')
                skok = s.size() > 1 && s[1] >= u'1' && s[1] <= u'9' && !(s.size() > 2 && JeCislice(s[2])) ? 2 : 1;
            std::size_t mezer = 0;
            while (skok > 0 && skok + mezer < s.size() && s[skok + mezer] <= 32) ++mezer;
            s.replace(skok, mezer, Cislo(vedlejsi, cislo, true));
        }
        if (bezny) {
            procenta = cnc::Procenta(i, n);
            prubeh.ObslouzitUdalosti(i + 1, n);
        }
        if (cislovat) cislo = TCNCFile::DalsiCislo(cislo, prvni, prirustek, maximum, odZacatku);
    }
    return procenta;
}

inline std::uint8_t PrecislovatBloky(TRadky& radky, std::uint32_t prvni, std::uint32_t prirustek,
                                     std::uint32_t maximum, std::u16string_view zacatek, std::u16string_view hlavni,
                                     std::u16string_view vedlejsi, bool odZacatku, TPrubeh& prubeh,
                                     std::u16string_view komentar = {}) {
    TKonec k(prubeh);
    const std::size_t n = radky.size();
    std::uint32_t cislo = prvni;
    std::uint8_t procenta = 0;
    bool poZacatku = false;
    for (std::size_t i = 0; i < n; ++i) {
        std::u16string& s = radky[i];
        s.erase(0, DelkaOdsazeni(s));
        if (!zacatek.empty() && ZacinaNa(s, zacatek)) cislo = prvni;
        TRozbor b;
        std::size_t skok = 0;
        const bool blokovy =
            JeBlokovy(s, hlavni, vedlejsi, b, skok) && !CisloProgramu(s, hlavni, vedlejsi, komentar, poZacatku);
        poZacatku = ZacatekProCislo(s, zacatek, blokovy ? skok + b.delka : 0);
        if (blokovy) {
            if (b.cislic > 0) {
                s.replace(skok, b.delka, Cislo(b.hlavni ? hlavni : vedlejsi, cislo, false));
                cislo = TCNCFile::DalsiCislo(cislo, prvni, prirustek, maximum, odZacatku);
            } else {
                s.erase(skok, b.delka);
            }
        }
        procenta = cnc::Procenta(i, n);
        prubeh.ObslouzitUdalosti(i + 1, n);
    }
    return procenta;
}

inline std::uint8_t OdstranitBloky(TRadky& radky, std::u16string_view hlavni, std::u16string_view vedlejsi,
                                   TPrubeh& prubeh, std::u16string_view zacatek = {},
                                   std::u16string_view komentar = {}) {
    TKonec k(prubeh);
    const std::size_t n = radky.size();
    std::uint8_t procenta = 0;
    bool poZacatku = false;
    for (std::size_t i = 0; i < n; ++i) {
        std::u16string& s = radky[i];
        const std::size_t odsazeni = DelkaOdsazeni(s);
        std::u16string_view orezany(s);
        orezany.remove_prefix(odsazeni);
        TRozbor b;
        std::size_t skok = 0;
        const bool blokovy = JeBlokovy(orezany, hlavni, vedlejsi, b, skok) &&
                             !CisloProgramu(orezany, hlavni, vedlejsi, komentar, poZacatku);
        poZacatku = ZacatekProCislo(orezany, zacatek, blokovy ? skok + b.delka : 0);
        if (blokovy) s.erase(odsazeni + skok, b.delka);
        s.erase(0, odsazeni);
        procenta = cnc::Procenta(i, n);
        prubeh.ObslouzitUdalosti(i + 1, n);
    }
    return procenta;
}

}  // namespace puvodni
