#include "filetypes/TypSouboru.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

namespace {

TTypSouboru Typ(std::u16string nazev, std::u16string pripona, std::u16string hlavni,
                std::u16string vedlejsi, std::u16string zacatek, std::u16string konec,
                std::u16string komentar) {
    return {nazev, pripona, hlavni, vedlejsi, zacatek, konec, komentar};
}

TEST(OddelitCast, Rozdeleni) {
    struct Pripad {
        std::u16string zbytek, cast, zbyva;
    };
    const Pripad pripady[] = {
        {u"a\tb\tc", u"a", u"b\tc"},
        {u"\tb", u"", u"b"},
        {u"a\t", u"a", u""},
        {u"abc", u"abc", u""},
        {u"", u"", u""},
    };
    for (const auto& p : pripady) {
        std::u16string zbytek = p.zbytek, cast = u"old";
        OddelitCast(u'\t', zbytek, cast);
        EXPECT_EQ(cast, p.cast);
        EXPECT_EQ(zbytek, p.zbyva);
    }
}

TEST(RadekTypu, Cteni) {
    const TTypSouboru frezka = Typ(u"Frézka", u".nc", u":", u"N", u"%", u"M30", u"");
    struct Pripad {
        const char* nazev;
        std::u16string radek;
        std::optional<TTypSouboru> typ;
    };
    const Pripad pripady[] = {
        {"as written", u"Frézka\t.nc\t:\tN\t%\tM30\t\t", frezka},
        {"empty secondary and comment", u"A\t.x\t:\t\t%\tM30\t\t", Typ(u"A", u".x", u":", u"", u"%", u"M30", u"")},
        {"no closing TAB, comment set", u"A\t.x\t:\tN\t%\tM30\t(",
         Typ(u"A", u".x", u":", u"N", u"%", u"M30", u"(")},
        {"more than seven fields", u"A\t.x\t:\tN\t%\tM30\t(\tnavic\tdalsi\t",
         Typ(u"A", u".x", u":", u"N", u"%", u"M30", u"(")},
        // Fewer than seven fields: completed with empty fields.
        {"six fields", u"Frézka\t.nc\t:\tN\t%\tM30\t", frezka},
        {"name only", u"Jen název", Typ(u"Jen název", u"", u"", u"", u"", u"", u"")},
        {"all fields empty", u"\t\t\t\t\t\t\t", TTypSouboru{}},
        {"blank line", u"", std::nullopt},
        {"blanks only", u"   ", std::nullopt},
    };
    for (const auto& p : pripady) EXPECT_EQ(RozdelitRadek(p.radek), p.typ) << p.nazev;
}

TEST(RadekTypu, ZapisAZpet) {
    const TTypSouboru typy[] = {
        Typ(u"Frézka", u".nc", u":", u"N", u"%", u"M30", u""),
        Typ(u"", u".", u"", u"", u"", u"", u""),
        Typ(u"Dlouhé značky", u".h", u"", u"", u"BEGIN PGM", u"END PGM", u";"),
    };
    for (const auto& t : typy) {
        const std::u16string radek = SestavitRadek(t);
        EXPECT_EQ(std::count(radek.begin(), radek.end(), u'\t'), 7);
        EXPECT_EQ(radek.back(), u'\t');
        EXPECT_EQ(RozdelitRadek(radek), t);
    }
    EXPECT_EQ(SestavitRadek(Typ(u"Frézka", u".nc", u":", u"N", u"%", u"M30", u"")),
              u"Frézka\t.nc\t:\tN\t%\tM30\t\t");
    // TAB, CR, LF and NUL cannot travel inside a field: they are left out.
    EXPECT_EQ(SestavitRadek(Typ(u"A\tB", u".n\rc", u"", u"", u"%\n", std::u16string(u"M\0" "30", 4), u"")),
              u"AB\t.nc\t\t\t%\tM30\t\t");
}

TEST(SouborTypu, ZnackyAKonceRadku) {
    TDocasnaSlozka slozka;
    const std::string radek1 = "Frézka\t.nc\t:\tN\t%\tM30\t\t";
    const std::string radek2 = "Soustruh\t.tap\t:\tN\t%\tM30\t(\t";
    const std::string cp1250 = "Fr\xE9zka\t.nc\t:\tN\t%\tM30\t\t";
    struct Pripad {
        const char* nazev;
        std::string bajty;
        std::size_t pocet;
    };
    const Pripad pripady[] = {
        {"UTF-8 mark, CR LF", "\xEF\xBB\xBF" + radek1 + "\r\n" + radek2 + "\r\n", 2},
        {"no mark, LF", radek1 + "\n" + radek2, 2},
        {"CR only", radek1 + "\r" + radek2 + "\r", 2},
        {"Windows-1250", cp1250 + "\r\n" + radek2 + "\r\n", 2},
        {"blank lines skipped", radek1 + "\r\n\r\n" + radek2 + "\r\n\r\n", 2},
        {"empty", "", 0},
    };
    for (const auto& p : pripady) {
        const auto soubor = slozka / "files.ftd";
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        const auto typy = NacistSouborTypu(soubor);
        ASSERT_EQ(typy.size(), p.pocet) << p.nazev;
        if (p.pocet == 0) continue;
        EXPECT_EQ(typy[0], Typ(u"Frézka", u".nc", u":", u"N", u"%", u"M30", u"")) << p.nazev;
        EXPECT_EQ(typy[1], Typ(u"Soustruh", u".tap", u":", u"N", u"%", u"M30", u"(")) << p.nazev;
    }
}

TEST(SouborTypu, DodavanySeznam) {
    const auto typy = NacistSouborTypu(TARVIK_FILES_FTD);
    ASSERT_GE(typy.size(), 5u);
    EXPECT_EQ(typy[0].Pripona, u".nc");
    EXPECT_EQ(typy[0].HlavniZnak, u":");
    EXPECT_EQ(typy[0].VedlejsiZnak, u"N");
    EXPECT_EQ(typy[0].Zacatek, u"%");
    bool strednik = false, cislice = false;
    for (const auto& t : typy) {
        EXPECT_FALSE(t.Nazev.empty());
        EXPECT_EQ(t.Pripona.front(), u'.');
        for (const auto* znak : {&t.HlavniZnak, &t.VedlejsiZnak, &t.Komentar}) EXPECT_LE(znak->size(), 1u);
        strednik = strednik || t.Komentar == u";";
        cislice = cislice || (t.HlavniZnak.empty() && t.VedlejsiZnak.empty() && !t.Zacatek.empty());
    }
    EXPECT_TRUE(strednik);
    EXPECT_TRUE(cislice);
}

TEST(SouborTypu, PodlePripony) {
    const std::vector<TTypSouboru> typy = {
        Typ(u"A", u".nc", u"", u"", u"", u"", u""),
        Typ(u"B", u".MPF", u"", u"", u"", u"", u""),
        Typ(u"C", u".nc", u"", u"", u"", u"", u""),
    };
    EXPECT_EQ(TypPodlePripony(typy, "x/prog.NC"), &typy[0]);
    EXPECT_EQ(TypPodlePripony(typy, "prog.mpf"), &typy[1]);
    EXPECT_EQ(TypPodlePripony(typy, "prog.txt"), nullptr);
    EXPECT_EQ(TypPodlePripony(typy, "prog"), nullptr);
}

// The type a file is opened with when nobody chose one, in the window and
// in the batch tool alike.
TEST(SouborTypu, VolbaPodleJmena) {
    const std::vector<TTypSouboru> sTeckou = {
        Typ(u"A", u".nc", u"", u"", u"", u"", u""),
        Typ(u"B", u".MPF", u"", u"", u"", u"", u""),
        Typ(u"Bez přípony", u".", u"", u"", u"", u"", u""),
    };
    const std::vector<TTypSouboru> bezTecky(sTeckou.begin(), sTeckou.begin() + 2);
    struct Pripad {
        const std::vector<TTypSouboru>* typy;
        const char* soubor;
        std::optional<std::size_t> podleJmena, zvoleny;
    };
    const Pripad pripady[] = {
        {&sTeckou, "dir.x/prog.mpf", 1, 1},
        {&sTeckou, "O1234", 2, 2},
        {&sTeckou, "O1234.", 2, 2},
        {&sTeckou, ".nc", 2, 2},  // a hidden name, no extension
        {&sTeckou, "prog.txt", std::nullopt, 0},
        {&bezTecky, "O1234", std::nullopt, 0},
        {&bezTecky, "prog.nc", 0, 0},
    };
    for (const auto& p : pripady) {
        EXPECT_EQ(TypPodleJmena(*p.typy, p.soubor), p.podleJmena) << p.soubor;
        EXPECT_EQ(ZvolitTypSouboru(*p.typy, p.soubor), p.zvoleny) << p.soubor;
    }
    EXPECT_EQ(ZvolitTypSouboru({}, "prog.nc"), std::nullopt);
}

}  // namespace
