// The byte-level passes against the rules as first built (PuvodniPravidla.h)
// on random programs: the same text, progress, count and calls of the user
// interface, also when the interface interrupts the pass. UTF-8 texts with
// any characters, CR, LF and CR LF breaks in any mix, markers of several
// units, empty characters (digit mode); random bytes that are no UTF-8; and
// lists of UTF-16 lines with lone surrogates and breaks inside them.
#include "PuvodniPravidla.h"

#include "engine/CNCEdit.h"
#include "platform/Kodovani.h"
#include "platform/CteniTextu.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// Records every call as text; throws at the given call to ObslouzitUdalosti.
class TZaznam final : public TPrubeh {
public:
    explicit TZaznam(std::size_t prerusitPo) : prerusitPo_(prerusitPo) {}
    void ZacitPruchod() override { zaznam += "Z;"; }
    void ObslouzitUdalosti(std::size_t hotovo, std::size_t celkem) override {
        zaznam += std::to_string(hotovo) + "/" + std::to_string(celkem) + ";";
        if (++obslouzeno_ == prerusitPo_) throw std::runtime_error("interrupted");
    }
    void UkoncitPruchod() override { zaznam += "K;"; }
    std::string zaznam;

private:
    std::size_t prerusitPo_;
    std::size_t obslouzeno_ = 0;
};

// Pieces a program and its markers are made of: blanks and control
// characters (trimmed), markers, digits, words, characters of two, three and
// four bytes, and a run of 200 two-byte characters (200 units, 400 bytes).
const std::vector<std::u16string>& Kousky() {
    static const std::vector<std::u16string> k = {
        u" ", u"\t", u"\x01", u"\x1f", u"\x7f", u"\u00A0", u"N", u"N", u":", u"%", u"(", u";", u"M30",
        u"BEGIN PGM", u"END", u"BLK", u"0", u"1", u"7", u"42", u"00", u"G", u"X", u"a", u"_", u"n", u"Z", u"/", u"/",
        u"/3", u"O",
        u"\u010C", u"\u017E", u"\u20AC", u"\U0001F600", u"\uFFFD", u"!", u"+", std::u16string(200, u'\u010C'),
        std::u16string(256, u'N')};
    return k;
}

// Markers, with the empty one (digit mode, never a start or end) most often.
const std::vector<std::u16string>& Znacky() {
    static const std::vector<std::u16string> z = {
        u"", u"", u"", u":", u"N", u"%", u"(", u";", u"M30", u"BEGIN PGM", u"END", u"BLK", u"\u010C",
        u"\U0001F600", u"N\u017E", u"\uFFFD", std::u16string(200, u'\u010C'), std::u16string(256, u'N')};
    return z;
}

class TNahoda {
public:
    explicit TNahoda(std::uint32_t semeno) : g_(semeno) {}
    std::size_t Do(std::size_t n) { return std::uniform_int_distribution<std::size_t>(0, n - 1)(g_); }
    bool Mince(int zN = 2) { return Do(std::size_t(zN)) == 0; }
    template <typename T>
    const T& Z(const std::vector<T>& v) {
        return v[Do(v.size())];
    }

    // A line: at the front often blanks, a marker and digits.
    std::u16string Radek() {
        std::u16string r;
        const std::size_t kousku = Do(7);
        for (std::size_t i = 0; i < kousku; ++i) r += Z(Kousky());
        return r;
    }
    // Any of the three breaks.
    std::string Zlom() {
        switch (Do(3)) {
            case 0: return "\r\n";
            case 1: return "\r";
            default: return "\n";
        }
    }
    std::string TextUtf8(bool jenPlatne) {
        std::string t;
        const std::size_t radku = Do(12);
        for (std::size_t i = 0; i < radku; ++i) {
            PripojitUtf8(t, Radek());
            if (!jenPlatne && Mince(3)) t += static_cast<char>(0x80 + Do(128));  // a byte that is no UTF-8 here
            if (i + 1 < radku || Mince()) t += Zlom();
        }
        return t;
    }
    cnc::TZadani<char16_t> Zadani(std::vector<std::u16string>& drzene, bool bezFffd) {
        cnc::TZadani<char16_t> z;
        z.Prikaz = static_cast<cnc::TPrikaz>(Do(3));
        // The markers live in drzene, which never grows past its room.
        drzene.reserve(6);
        auto znacka = [&] {
            std::u16string s;
            do s = Z(Znacky());
            while (bezFffd && s == u"\uFFFD");
            drzene.push_back(s);
            return std::u16string_view(drzene.back());
        };
        z.HlavniZnak = cnc::Znacka16(znacka());
        z.VedlejsiZnak = cnc::Znacka16(znacka());
        z.Zacatek = cnc::Znacka16(znacka());
        z.Konec = cnc::Znacka16(znacka());
        z.Komentar = cnc::Znacka16(znacka());
        z.PrvniBlok = std::uint32_t(1 + Do(20));
        z.Prirustek = std::uint32_t(1 + Do(10));
        z.MaximalniBlok = std::uint32_t(1 + Do(50));
        z.CislovatOdZacatku = Mince();
        z.BlokPredZnakZacatku = Mince();
        z.BlokPredZnakKonce = Mince();
        z.BlokPredZnakKomentare = Mince();
        return z;
    }

private:
    std::mt19937 g_;
};

// The old way: the rules on the list of lines, as the rules were first built.
std::uint8_t PuvodniPruchod(TRadky& r, const cnc::TZadani<char16_t>& z, TPrubeh& p) {
    switch (z.Prikaz) {
        case cnc::TPrikaz::Zavest:
            return puvodni::ZavestBloky(r, z.Zacatek.Text, z.Konec.Text, z.Komentar.Text, z.PrvniBlok, z.Prirustek,
                                        z.MaximalniBlok, z.BlokPredZnakZacatku, z.BlokPredZnakKonce,
                                        z.BlokPredZnakKomentare, z.VedlejsiZnak.Text, z.CislovatOdZacatku, p,
                                        z.HlavniZnak.Text);
        case cnc::TPrikaz::Precislovat:
            return puvodni::PrecislovatBloky(r, z.PrvniBlok, z.Prirustek, z.MaximalniBlok, z.Zacatek.Text,
                                             z.HlavniZnak.Text, z.VedlejsiZnak.Text, z.CislovatOdZacatku, p,
                                             z.Komentar.Text);
        case cnc::TPrikaz::Odstranit:
            return puvodni::OdstranitBloky(r, z.HlavniZnak.Text, z.VedlejsiZnak.Text, p, z.Zacatek.Text,
                                           z.Komentar.Text);
    }
    return 0;
}

struct TVysledek {
    std::string text;
    std::uint8_t procenta = 0;
    bool preruseno = false;
    std::string zaznam;
    std::size_t radku = 0, bloku = 0;
    std::size_t blokuBezCiselProgramu = 0;  // the count that knows the start marker
};

// The old way of a text: decoded into lines, the pass, the lines joined by
// CR LF (after the last one too when the text ended with a break, or always
// for a selection).
TVysledek PuvodniCesta(const std::string& text, const cnc::TZadani<char16_t>& z, bool vyber,
                       std::size_t prerusitPo) {
    TVysledek v;
    TRadky radky;
    bool koncovyZlom = false;
    RozdelitNaRadky(ZUtf8(text), radky, koncovyZlom);
    v.radku = radky.size();
    v.bloku = std::size_t(puvodni::PocetBloku(radky, z.HlavniZnak.Text, z.VedlejsiZnak.Text));
    v.blokuBezCiselProgramu = std::size_t(
        puvodni::PocetBloku(radky, z.HlavniZnak.Text, z.VedlejsiZnak.Text, z.Zacatek.Text, z.Komentar.Text));
    TZaznam p(prerusitPo);
    try {
        v.procenta = PuvodniPruchod(radky, z, p);
    } catch (const std::runtime_error&) {
        v.preruseno = true;
    }
    v.zaznam = p.zaznam;
    for (std::size_t i = 0; i < radky.size(); ++i) {
        PripojitUtf8(v.text, radky[i]);
        if (i + 1 < radky.size() || koncovyZlom || vyber) v.text += "\r\n";
    }
    return v;
}

// The text in pieces of whole lines, cut at random after some of its breaks.
std::vector<std::string_view> Kusy(std::string_view text, TNahoda& n) {
    std::vector<std::string_view> kusy;
    std::size_t od = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool poZlomu = text[i] == '\n' || (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n'));
        if (poZlomu && n.Mince(3)) {
            kusy.push_back(text.substr(od, i + 1 - od));
            od = i + 1;
        }
    }
    if (od < text.size()) kusy.push_back(text.substr(od));
    return kusy;
}

// The new way: the UTF-8 bytes in pieces, through a small output buffer.
TVysledek NovaCesta(const std::string& text, const cnc::TZadani<char16_t>& z16, bool vyber, std::size_t prerusitPo,
                    TNahoda& n) {
    const cnc::TZnackaUtf8 h(z16.HlavniZnak.Text), ve(z16.VedlejsiZnak.Text), za(z16.Zacatek.Text),
        ko(z16.Konec.Text), km(z16.Komentar.Text);
    cnc::TZadani<char> z;
    z.Prikaz = z16.Prikaz;
    z.HlavniZnak = h.Znacka();
    z.VedlejsiZnak = ve.Znacka();
    z.Zacatek = za.Znacka();
    z.Konec = ko.Znacka();
    z.Komentar = km.Znacka();
    z.PrvniBlok = z16.PrvniBlok;
    z.Prirustek = z16.Prirustek;
    z.MaximalniBlok = z16.MaximalniBlok;
    z.CislovatOdZacatku = z16.CislovatOdZacatku;
    z.BlokPredZnakZacatku = z16.BlokPredZnakZacatku;
    z.BlokPredZnakKonce = z16.BlokPredZnakKonce;
    z.BlokPredZnakKomentare = z16.BlokPredZnakKomentare;

    TVysledek v;
    const cnc::TPocty pocty = cnc::Spocitat<char>(text, z.HlavniZnak, z.VedlejsiZnak);
    v.radku = pocty.Radku;
    v.bloku = pocty.Bloku;
    v.blokuBezCiselProgramu = cnc::Spocitat<char>(text, z).Bloku;
    TZaznam p(prerusitPo);
    cnc::TVystup<char> vystup([&](std::string_view kus) { v.text += kus; }, 1 + n.Do(64));
    {
        cnc::TPruchod<char> pruchod(z, pocty.Radku, vystup, p, vyber);
        for (std::string_view kus : Kusy(text, n)) {
            try {
                pruchod.Pridat(kus);
            } catch (const std::runtime_error&) {
                v.preruseno = true;
            }
        }
        v.procenta = pruchod.Procenta();
    }
    vystup.Odevzdat();
    v.zaznam = p.zaznam;
    return v;
}

TEST(PorovnaniSPuvodnimiPravidly, Utf8TextyJakoSeznamyRadku) {
    for (int kolo = 0; kolo < 4000; ++kolo) {
        TNahoda n{std::uint32_t(kolo)};
        const bool platne = kolo % 4 != 3;
        const std::string text = n.TextUtf8(platne);
        std::vector<std::u16string> drzene;
        // A U+FFFD marker would match the U+FFFD that a byte which is no
        // UTF-8 becomes in the old way, not the byte itself.
        const cnc::TZadani<char16_t> z = n.Zadani(drzene, !platne);
        const bool vyber = n.Mince(4);
        const std::size_t prerusitPo = n.Mince(4) ? 1 + n.Do(6) : 0;

        const TVysledek stary = PuvodniCesta(text, z, vyber, prerusitPo);
        const TVysledek novy = NovaCesta(text, z, vyber, prerusitPo, n);
        SCOPED_TRACE("round " + std::to_string(kolo) + ", command " + std::to_string(int(z.Prikaz)));
        ASSERT_EQ(novy.radku, stary.radku);
        ASSERT_EQ(novy.bloku, stary.bloku);
        ASSERT_EQ(novy.blokuBezCiselProgramu, stary.blokuBezCiselProgramu);
        // Bytes that are no UTF-8 stay in the new way; the old way read them as U+FFFD.
        if (platne) {
            ASSERT_EQ(novy.text, stary.text);
        } else {
            ASSERT_EQ(DoUtf8(ZUtf8(novy.text)), stary.text);
        }
        ASSERT_EQ(novy.preruseno, stary.preruseno);
        if (!stary.preruseno) {
            ASSERT_EQ(novy.procenta, stary.procenta);
        }
        ASSERT_EQ(novy.zaznam, stary.zaznam);
    }
}

// The list operations of TCNCFile run the same pass on UTF-16 lines, which
// may hold anything: lone surrogates, CR and LF inside a line.
TEST(PorovnaniSPuvodnimiPravidly, SeznamyUtf16Radku) {
    for (int kolo = 0; kolo < 3000; ++kolo) {
        TNahoda n{std::uint32_t(100000 + kolo)};
        TRadky radky(n.Do(10));
        for (auto& r : radky) {
            r = n.Radek();
            if (n.Mince(4)) r.insert(n.Do(r.size() + 1), 1, n.Mince() ? u'\xD83D' : u'\xDE00');
            if (n.Mince(6)) r.insert(n.Do(r.size() + 1), 1, n.Mince() ? u'\r' : u'\n');
        }
        std::vector<std::u16string> drzene;
        cnc::TZadani<char16_t> z = n.Zadani(drzene, false);
        if (n.Mince(5)) {
            drzene.push_back(u"\xD83D");  // half a character
            z.HlavniZnak = cnc::Znacka16(drzene.back());
        }
        const std::size_t prerusitPo = n.Mince(4) ? 1 + n.Do(6) : 0;
        SCOPED_TRACE("round " + std::to_string(kolo) + ", command " + std::to_string(int(z.Prikaz)));

        TRadky stare = radky;
        TZaznam ps(prerusitPo);
        std::uint8_t procentaStara = 0;
        bool prerusenoStare = false;
        try {
            procentaStara = PuvodniPruchod(stare, z, ps);
        } catch (const std::runtime_error&) {
            prerusenoStare = true;
        }
        TRadky nove = radky;
        TZaznam pn(prerusitPo);
        std::uint8_t procentaNova = 0;
        bool prerusenoNove = false;
        try {
            procentaNova = TCNCFile(pn).Prepsat(nove, z);
        } catch (const std::runtime_error&) {
            prerusenoNove = true;
        }
        ASSERT_EQ(nove, stare);
        ASSERT_EQ(prerusenoNove, prerusenoStare);
        if (!prerusenoStare) {
            ASSERT_EQ(procentaNova, procentaStara);
        }
        ASSERT_EQ(pn.zaznam, ps.zaznam);
        ASSERT_EQ(TCNCFile().PocetBloku(radky, z.HlavniZnak.Text, z.VedlejsiZnak.Text),
                  puvodni::PocetBloku(radky, z.HlavniZnak.Text, z.VedlejsiZnak.Text));
    }
}

// Where the UTF-8 way departs: a block character that is half a character
// (a lone surrogate, which only a hand-edited store can hold) never matches,
// since the text's characters are whole; the old way split a character of
// the text in two. Written into the text, it is U+FFFD.
TEST(PorovnaniSPuvodnimiPravidly, PulZnakuNeniZnacka) {
    const cnc::TZnackaUtf8 pul(u"\xD83D");
    EXPECT_FALSE(pul.Znacka().MuzeZacinat);
    EXPECT_EQ(pul.Znacka().Text, "\xEF\xBF\xBD");
    const cnc::TZnackaUtf8 cely(u"\U0001F600");
    EXPECT_TRUE(cely.Znacka().MuzeZacinat);
    EXPECT_EQ(cely.Znacka().Text, "\xF0\x9F\x98\x80");
    // 255 units of a two-byte character still begin a line; 256 units never do.
    EXPECT_TRUE(cnc::TZnackaUtf8(std::u16string(255, u'\u010C')).Znacka().MuzeZacinat);
    EXPECT_FALSE(cnc::TZnackaUtf8(std::u16string(256, u'N')).Znacka().MuzeZacinat);

    const cnc::TZnackaUtf8 n(u"N");
    cnc::TZadani<char> z;
    z.Prikaz = cnc::TPrikaz::Odstranit;
    z.HlavniZnak = pul.Znacka();
    z.VedlejsiZnak = n.Znacka();
    const std::string text = "\xF0\x9F\x98\x80" "5 X\r\nN6 Y\r\n";
    std::string vysledek;
    cnc::TVystup<char> vystup([&](std::string_view k) { vysledek += k; });
    {
        cnc::TPruchod<char> p(z, 2, vystup);
        p.Pridat(text);
    }
    vystup.Odevzdat();
    EXPECT_EQ(vysledek, "\xF0\x9F\x98\x80" "5 X\r\n Y\r\n");
}

}  // namespace
