#include "platform/Kodovani.h"
#include "platform/CteniTextu.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Line breaks as writing leaves them: every CR LF, lone CR and lone LF becomes CR LF.
std::string ZlomyNaCrLf(std::string_view b) {
    std::string v;
    for (std::size_t i = 0; i < b.size(); ++i) {
        if (b[i] == '\r') {
            v += "\r\n";
            if (i + 1 < b.size() && b[i + 1] == '\n') ++i;
        } else if (b[i] == '\n') {
            v += "\r\n";
        } else {
            v += b[i];
        }
    }
    return v;
}

// Reads bytes as a program file, as UTF-8 in pieces, and writes them back
// unedited in the encoding they are written in, as the batch tool and the
// window do (all bytes, a NUL too, which programs refuse).
std::string ZpetNaBajty(std::string_view bajty, TKodovani* pouzite = nullptr) {
    TBajtyVPameti zdroj(bajty);
    TProgramPoKusech cteni(zdroj, false);
    std::string utf8;
    std::string_view kus;
    for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;) {
        if (stav == TProgramPoKusech::TStav::Znovu) utf8.clear();
        else utf8 += ZlomyNaCrLf(kus);
    }
    TKodovani k = KodovaniProZapis(cteni.Kodovani());
    if (!LzeZakodovatUtf8(utf8, k)) k = TKodovani::Utf8Znacka;
    k = KodovaniZapisu(k, utf8);
    std::string vystup(ZnackaKodovani(k));
    EXPECT_TRUE(PrevestZUtf8(vystup, utf8, k));
    if (pouzite) *pouzite = k;
    return vystup;
}

TEST(Kodovani, KazdyBajtSeVratiBezeZmeny) {
    for (int b = 0; b < 256; ++b) {
        const std::string bajty = std::string("A") + char(b) + "B\r\n" + char(b);
        EXPECT_EQ(ZpetNaBajty(bajty), ZlomyNaCrLf(bajty)) << "byte " << b;
    }
    std::string vsechny;
    for (int b = 0; b < 256; ++b) vsechny += char(b);
    EXPECT_EQ(DekodovatText(vsechny).Kodovani, TKodovani::Cp1250);
    EXPECT_EQ(ZpetNaBajty(vsechny), ZlomyNaCrLf(vsechny));
}

TEST(Kodovani, NeplatneUtf8SeVratiBezeZmeny) {
    const char* pripady[] = {
        "\xC0\x80",          // overlong NUL
        "\xE0\x80\xAF",      // overlong slash
        "\xED\xA0\x80",      // surrogate
        "\xF4\x90\x80\x80",  // above U+10FFFF
        "\xF5\x80\x80\x80",  // never a lead byte
        "\x80",              // lone continuation byte
        "N10 \xC5",          // cut off at the end
        "\xC5\r\n\x99",      // cut off before a line break
        "Fr\xE9zka \xC3\xA9",  // Windows-1250 mixed with UTF-8
        "\xFE\xFE\xFF",      // no mark, yet bytes of marks
    };
    for (const char* p : pripady) {
        const std::string bajty(p);
        EXPECT_FALSE(JePlatneUtf8(bajty)) << bajty;
        EXPECT_EQ(ZpetNaBajty(bajty), ZlomyNaCrLf(bajty)) << bajty;
    }
}

TEST(Kodovani, PlatneUtf8SeVratiBezeZmeny) {
    const std::string pripady[] = {
        "Frézka \xE2\x82\xAC \xF0\x9F\x94\xA7",  // Czech, euro, a four-byte character
        std::string("N10\0X", 5),               // NUL bytes
        "\xEF\xBF\xBF\xF4\x8F\xBF\xBF",         // U+FFFF and U+10FFFF
        "",
    };
    for (const auto& bajty : pripady) {
        EXPECT_TRUE(JePlatneUtf8(bajty));
        TKodovani pouzite;
        EXPECT_EQ(ZpetNaBajty(bajty, &pouzite), bajty);
        EXPECT_EQ(pouzite, TKodovani::Utf8);
    }
}

// A UTF-8 mark in front of bytes that are not UTF-8: the bytes come back as
// they were, only the mark is dropped.
TEST(Kodovani, ZnackaUtf8PredNeplatnymiBajty) {
    const std::string bajty = "\xEF\xBB\xBFN1 (\xE8\xE1st)\r\nN2 \xC5\r\n";
    EXPECT_EQ(DekodovatText(bajty).Kodovani, TKodovani::Cp1250);
    EXPECT_EQ(ZpetNaBajty(bajty), bajty.substr(3));
}

TEST(Kodovani, ZnackyUrcujiKodovani) {
    struct Pripad {
        std::string bajty;
        TKodovani kodovani;
        std::u16string prvniRadek;
        std::string zapsano;
    };
    const Pripad pripady[] = {
        {"\xEF\xBB\xBFN\xC3\xA9\r\nX", TKodovani::Utf8Znacka, u"N\u00E9", "N\xC3\xA9\r\nX"},
        {std::string("\xFF\xFEN\0\x0D\x01\n\0", 8), TKodovani::Utf16LE, u"N\u010D", "N\xC4\x8D\r\n"},
        {std::string("\xFE\xFF\0N\x01\x0D\0\n", 8), TKodovani::Utf16BE, u"N\u010D", "N\xC4\x8D\r\n"},
        // A mark alone is an empty text.
        {"\xEF\xBB\xBF", TKodovani::Utf8Znacka, u"", ""},
    };
    for (const auto& p : pripady) {
        const TText text = DekodovatText(p.bajty);
        EXPECT_EQ(text.Kodovani, p.kodovani);
        EXPECT_EQ(text.Radky.empty() ? std::u16string() : text.Radky[0], p.prvniRadek);
        TKodovani pouzite;
        EXPECT_EQ(ZpetNaBajty(p.bajty, &pouzite), p.zapsano);
        EXPECT_EQ(pouzite, TKodovani::Utf8);  // written without a mark
    }
}

// A text whose bytes without a mark would begin as a mark does is written
// as UTF-8 with its mark, so that it is not taken for one when read again.
TEST(Kodovani, ZacatekJakoZnacka) {
    struct Pripad {
        const char* nazev;
        TKodovani k;
        std::string zacatek;  // UTF-8
        TKodovani pouzite;
    };
    const std::string feff = "\xEF\xBB\xBF";
    const Pripad pripady[] = {
        {"plain text", TKodovani::Utf8, "N10 X1\r\n", TKodovani::Utf8},
        {"empty", TKodovani::Utf8, "", TKodovani::Utf8},
        {"U+FEFF first", TKodovani::Utf8, feff + "N10\r\n", TKodovani::Utf8Znacka},
        {"U+FEFF alone", TKodovani::Utf8, feff, TKodovani::Utf8Znacka},
        {"U+FEFF second", TKodovani::Utf8, "N" + feff, TKodovani::Utf8},
        {"bytes of a mark that are no UTF-8", TKodovani::Utf8, "\xEF\xBB\r\n", TKodovani::Utf8},
        {"ď»ż in Windows-1250", TKodovani::Cp1250, "\xC4\x8F\xC2\xBB\xC5\xBC\xC5\xA0\r\n", TKodovani::Utf8Znacka},
        {"ţ˙ in Windows-1250", TKodovani::Cp1250, "\xC5\xA3\xCB\x99%\r\n", TKodovani::Utf8Znacka},
        {"˙ţ alone", TKodovani::Cp1250, "\xCB\x99\xC5\xA3", TKodovani::Utf8Znacka},
        {"ď», then a break", TKodovani::Cp1250, "\xC4\x8F\xC2\xBB\r\n\xC5\xBC", TKodovani::Cp1250},
        {"ď» alone", TKodovani::Cp1250, "\xC4\x8F\xC2\xBB", TKodovani::Cp1250},
        {"ţţ˙", TKodovani::Cp1250, "\xC5\xA3\xC5\xA3\xCB\x99", TKodovani::Cp1250},
        {"Czech text", TKodovani::Cp1250, "Fr\xC3\xA9zka\r\n", TKodovani::Cp1250},
        {"U+FEFF, which Windows-1250 cannot hold", TKodovani::Cp1250, feff + "N", TKodovani::Utf8Znacka},
        {"an arrow among the first three", TKodovani::Cp1250, "N\xE2\x86\x92", TKodovani::Utf8Znacka},
        {"an arrow after them", TKodovani::Cp1250, "N10\xE2\x86\x92", TKodovani::Cp1250},
        {"a mark written anyway", TKodovani::Utf8Znacka, feff, TKodovani::Utf8Znacka},
        {"UTF-16 LE writes its mark", TKodovani::Utf16LE, "\xCB\x99\xC5\xA3", TKodovani::Utf16LE},
        {"UTF-16 BE writes its mark", TKodovani::Utf16BE, feff, TKodovani::Utf16BE},
    };
    for (const auto& p : pripady) EXPECT_EQ(KodovaniZapisu(p.k, p.zacatek), p.pouzite) << p.nazev;
}

// Such texts, read and written back unedited, read again as the same text.
TEST(Kodovani, ZacatekJakoZnackaSeCteStejne) {
    const std::string pripady[] = {
        std::string("\xFF\xFE\xFF\xFEX\0", 6),  // UTF-16 whose text begins with U+FEFF
        "\xEF\xBB\xBF\xEF\xBB\xBFX",           // two UTF-8 marks
        "\xEF\xBB\xBF\xEF\xBB\xBF\x8A\r\n",   // a UTF-8 mark, then EF BB BF in Windows-1250
        "\xEF\xBB\xBF\xFE\xFF%\r\n",           // a UTF-8 mark, then FE FF in Windows-1250
        "\xEF\xBB\xBF\xFF\xFE\r\n",            // a UTF-8 mark, then FF FE in Windows-1250
    };
    for (const std::string& bajty : pripady) {
        TKodovani pouzite;
        const std::string zapsano = ZpetNaBajty(bajty, &pouzite);
        EXPECT_EQ(pouzite, TKodovani::Utf8Znacka) << bajty;
        const TText pred = DekodovatText(bajty), po = DekodovatText(zapsano);
        EXPECT_EQ(po.Radky, pred.Radky) << bajty;
        EXPECT_EQ(po.KoncovyZlom, pred.KoncovyZlom) << bajty;
    }
}

TEST(Kodovani, ZnakMimoKodovaniNikdyNeniOtaznik) {
    // A Windows-1250 file gains a character the code page cannot hold.
    TText text = DekodovatText("Fr\xE9zka\r\n");
    ASSERT_EQ(text.Kodovani, TKodovani::Cp1250);
    text.Radky[0] += u"\u2192\r\n";
    std::string vystup;
    EXPECT_FALSE(LzeZakodovatUtf8(DoUtf8(text.Radky[0]), TKodovani::Cp1250));
    EXPECT_EQ(ZakodovatText(vystup, text.Radky[0], TKodovani::Cp1250), TKodovani::Utf8Znacka);
    EXPECT_EQ(vystup, "\xEF\xBB\xBF" "Fr\xC3\xA9zka\xE2\x86\x92\r\n");

    // A lone surrogate has no UTF-8 form: the text goes out as UTF-16.
    vystup.clear();
    EXPECT_EQ(ZakodovatText(vystup, std::u16string(1, char16_t(0xD800)), TKodovani::Utf8), TKodovani::Utf16LE);
    EXPECT_EQ(vystup, std::string("\xFF\xFE\x00\xD8", 4));
}

TEST(RozdelitNaRadky, TriDruhyZlomu) {
    struct Pripad {
        std::u16string text;
        std::vector<std::u16string> radky;
        bool koncovyZlom;
    };
    const Pripad pripady[] = {
        {u"", {}, false},
        {u"A", {u"A"}, false},
        {u"A\r\n", {u"A"}, true},
        {u"A\r\nB\rC\nD", {u"A", u"B", u"C", u"D"}, false},
        {u"\n\n", {u"", u""}, true},
        {u"\r\r\n", {u"", u""}, true},
        {u"A\n\rB", {u"A", u"", u"B"}, false},
        {u"A\r", {u"A"}, true},
    };
    for (const auto& p : pripady) {
        std::vector<std::u16string> radky;
        bool zlom = false;
        RozdelitNaRadky(p.text, radky, zlom);
        EXPECT_EQ(radky, p.radky);
        EXPECT_EQ(zlom, p.koncovyZlom);
        // The same text read as bytes splits the same way.
        std::string bajty(p.text.begin(), p.text.end());
        const TText t = DekodovatText(bajty);
        EXPECT_EQ(t.Radky, p.radky);
        EXPECT_EQ(t.KoncovyZlom, p.koncovyZlom);
    }
}

}  // namespace
