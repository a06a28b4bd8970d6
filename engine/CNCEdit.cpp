#include "CNCEdit.h"

namespace {

class TZadnyPrubeh final : public TPrubeh {
public:
    void ZacitPruchod() override {}
    void ObslouzitUdalosti(std::size_t, std::size_t) override {}
    void UkoncitPruchod() override {}
};

// A marker's length is an 8-bit count: a longer marker never begins a line.
constexpr std::size_t MaxDelkaZnacky = 255;

// Number of leading code units <= 32 (blank, tab and the control characters).
inline std::size_t DelkaOdsazeni(std::u16string_view s) {
    std::size_t k = 0;
    while (k < s.size() && s[k] <= 32) ++k;
    return k;
}

inline void OrezatZleva(std::u16string& s) {
    const std::size_t k = DelkaOdsazeni(s);
    if (k > 0) s.erase(0, k);
}

// Case-sensitive prefix test; true for an empty marker.
inline bool ZacinaNa(std::u16string_view s, std::u16string_view znacka) {
    if (znacka.size() > MaxDelkaZnacky) return false;
    return s.size() >= znacka.size() && s.compare(0, znacka.size(), znacka) == 0;
}

inline bool JeCislice(char16_t c) { return c >= u'0' && c <= u'9'; }

// The block character followed by the number in plain decimal, in a small
// buffer that needs no allocation for one-character markers.
class TCisloBloku {
public:
    TCisloBloku(std::u16string_view znak, std::uint32_t cislo, bool mezera) {
        char16_t cifry[10];
        std::size_t n = 0;
        do {
            cifry[n++] = static_cast<char16_t>(u'0' + cislo % 10);
            cislo /= 10;
        } while (cislo != 0);
        if (znak.size() + n + 1 > sizeof(mala_) / sizeof(mala_[0])) {
            velka_.assign(znak);
            while (n > 0) velka_.push_back(cifry[--n]);
            if (mezera) velka_.push_back(u' ');
            text_ = velka_;
            return;
        }
        std::size_t d = 0;
        for (char16_t c : znak) mala_[d++] = c;
        while (n > 0) mala_[d++] = cifry[--n];
        if (mezera) mala_[d++] = u' ';
        text_ = std::u16string_view(mala_, d);
    }
    std::u16string_view Text() const { return text_; }

private:
    char16_t mala_[24];
    std::u16string velka_;
    std::u16string_view text_;
};

// Runs the end of a pass exactly once, also when the pass is left by an
// exception: the interface restores the cursor and beeps.
class TKonecPruchodu {
public:
    explicit TKonecPruchodu(TPrubeh& p) : p_(p) { p_.ZacitPruchod(); }
    ~TKonecPruchodu() {
        try {
            p_.UkoncitPruchod();
        } catch (...) {
            // The pass's own outcome (or exception) is what the caller sees.
        }
    }
    TKonecPruchodu(const TKonecPruchodu&) = delete;
    TKonecPruchodu& operator=(const TKonecPruchodu&) = delete;

private:
    TPrubeh& p_;
};

// The front of a block line (already trimmed): the kind of block character
// found last (true: main), how many units the block character(s), and the
// digits once counted, take (delka), and the number of digits (cislic).
struct TRozborBloku {
    bool hlavni = false;
    std::size_t delka = 0;
    std::size_t cislic = 0;
};

// The block characters at the front of s: the main one, then the secondary one.
inline TRozborBloku ZnakyBloku(std::u16string_view s, std::u16string_view hlavni,
                               std::u16string_view vedlejsi) {
    TRozborBloku r;
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

// A letter or "_" right after the block characters makes a word, not a block
// number: NEWCONF and the label NINE: are no block lines; N10, "N G02" and
// "N(" are.
inline bool SlovoOd(std::u16string_view s, std::size_t i) {
    if (i >= s.size()) return false;
    const char16_t c = s[i];
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_';
}

// The block-line test of renumbering and removing on a trimmed line: it
// begins with either block character (an empty one begins every line) and no
// word follows the block characters. A block line's characters and digits go
// to blok.
inline bool JeBlokovy(std::u16string_view s, std::u16string_view hlavni, std::u16string_view vedlejsi,
                      TRozborBloku& blok) {
    if (!ZacinaNa(s, hlavni) && !ZacinaNa(s, vedlejsi)) return false;
    blok = ZnakyBloku(s, hlavni, vedlejsi);
    if (SlovoOd(s, blok.delka)) return false;
    while (blok.delka + blok.cislic < s.size() && JeCislice(s[blok.delka + blok.cislic])) ++blok.cislic;
    blok.delka += blok.cislic;
    return true;
}

}  // namespace

TPrubeh& TPrubeh::Zadny() {
    static TZadnyPrubeh zadny;
    return zadny;
}

std::uint8_t cnc::Procenta(std::size_t i, std::size_t n) {
    if (n == 0) return 0;
    // 100 * i fits easily: a list never holds 2^57 lines.
    const std::uint64_t citatel = 100u * static_cast<std::uint64_t>(i);
    std::uint64_t q = citatel / n;
    const std::uint64_t r2 = 2 * (citatel % n);
    if (r2 > n || (r2 == n && (q & 1u) != 0)) ++q;
    return static_cast<std::uint8_t>(q);
}

bool TCNCFile::JeBlokovyRadek(std::u16string_view Radek, std::u16string_view HlavniZnak,
                              std::u16string_view VedlejsiZnak) {
    Radek.remove_prefix(DelkaOdsazeni(Radek));
    // Marker mode when both characters are set, digit mode otherwise.
    if (!HlavniZnak.empty() && !VedlejsiZnak.empty()) {
        const std::size_t znaku = ZnakyBloku(Radek, HlavniZnak, VedlejsiZnak).delka;
        return znaku > 0 && !SlovoOd(Radek, znaku);
    }
    return !Radek.empty() && JeCislice(Radek.front());
}

std::int32_t TCNCFile::PocetBloku(const TRadky& Radky, std::u16string_view HlavniZnak,
                                  std::u16string_view VedlejsiZnak) const {
    std::int32_t pocet = 0;
    for (const std::u16string& radek : Radky)
        if (JeBlokovyRadek(radek, HlavniZnak, VedlejsiZnak)) ++pocet;
    return pocet;
}

std::uint32_t TCNCFile::DalsiCislo(std::uint32_t Cislo, std::uint32_t PrvniBlok,
                                   std::uint32_t Prirustek, std::uint32_t MaximalniBlok,
                                   bool CislovatOdZacatku) {
    if (Cislo < MaximalniBlok) return Cislo + Prirustek;
    return CislovatOdZacatku ? PrvniBlok : Cislo;
}

std::uint8_t TCNCFile::ZavestBloky(TRadky& Radky, std::u16string_view Zacatek,
                                   std::u16string_view Konec, std::u16string_view Komentar,
                                   std::uint32_t PrvniBlok, std::uint32_t Prirustek,
                                   std::uint32_t MaximalniBlok, bool BlokPredZnakZacatku,
                                   bool BlokPredZnakKonce, bool BlokPredZnakKomentare,
                                   std::u16string_view VedlejsiZnak,
                                   bool CislovatOdZacatku) const {
    TKonecPruchodu konec(*prubeh_);
    const std::size_t n = Radky.size();
    std::uint32_t cislo = PrvniBlok;
    std::uint8_t procenta = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::u16string& s = Radky[i];
        OrezatZleva(s);
        bool cislovat;
        bool bezny = false;
        if (!Zacatek.empty() && ZacinaNa(s, Zacatek)) {
            cislo = PrvniBlok;
            cislovat = BlokPredZnakZacatku;
        } else if (!Konec.empty() && ZacinaNa(s, Konec)) {
            cislovat = BlokPredZnakKonce;
        } else if (!Komentar.empty() && ZacinaNa(s, Komentar)) {
            cislovat = BlokPredZnakKomentare;
        } else {
            cislovat = true;
            bezny = true;
        }
        if (cislovat) {
            const TCisloBloku predpona(VedlejsiZnak, cislo, true);
            s.insert(0, predpona.Text());
        }
        if (bezny) {
            procenta = cnc::Procenta(i, n);
            prubeh_->ObslouzitUdalosti(i + 1, n);
        }
        if (cislovat)
            cislo = DalsiCislo(cislo, PrvniBlok, Prirustek, MaximalniBlok, CislovatOdZacatku);
    }
    return procenta;
}

std::uint8_t TCNCFile::PrecislovatBloky(TRadky& Radky, std::uint32_t PrvniBlok,
                                        std::uint32_t Prirustek, std::uint32_t MaximalniBlok,
                                        std::u16string_view Zacatek,
                                        std::u16string_view HlavniZnak,
                                        std::u16string_view VedlejsiZnak,
                                        bool CislovatOdZacatku) const {
    TKonecPruchodu konec(*prubeh_);
    const std::size_t n = Radky.size();
    std::uint32_t cislo = PrvniBlok;
    std::uint8_t procenta = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::u16string& s = Radky[i];
        // The start test looks at the line before it is trimmed.
        if (!Zacatek.empty() && ZacinaNa(s, Zacatek)) cislo = PrvniBlok;
        OrezatZleva(s);
        // No emptiness check here: an empty character begins every line.
        TRozborBloku blok;
        if (JeBlokovy(s, HlavniZnak, VedlejsiZnak, blok)) {
            if (blok.cislic > 0) {
                const TCisloBloku nove(blok.hlavni ? HlavniZnak : VedlejsiZnak, cislo, false);
                s.replace(0, blok.delka, nove.Text());
                cislo = DalsiCislo(cislo, PrvniBlok, Prirustek, MaximalniBlok, CislovatOdZacatku);
            } else {
                s.erase(0, blok.delka);
            }
        }
        procenta = cnc::Procenta(i, n);
        prubeh_->ObslouzitUdalosti(i + 1, n);
    }
    return procenta;
}

std::uint8_t TCNCFile::OdstranitBloky(TRadky& Radky, std::u16string_view HlavniZnak,
                                      std::u16string_view VedlejsiZnak) const {
    TKonecPruchodu konec(*prubeh_);
    const std::size_t n = Radky.size();
    std::uint8_t procenta = 0;
    for (std::size_t i = 0; i < n; ++i) {
        std::u16string& s = Radky[i];
        const std::size_t odsazeni = DelkaOdsazeni(s);
        std::u16string_view orezany(s);
        orezany.remove_prefix(odsazeni);
        std::size_t smazat = odsazeni;
        TRozborBloku blok;
        if (JeBlokovy(orezany, HlavniZnak, VedlejsiZnak, blok)) smazat += blok.delka;
        if (smazat > 0) s.erase(0, smazat);
        procenta = cnc::Procenta(i, n);
        prubeh_->ObslouzitUdalosti(i + 1, n);
    }
    return procenta;
}
