#include "filetypes/TypSouboru.h"
#include "platform/Kodovani.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <algorithm>

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

// The references a type's control reads: the eighth field of its line.
TEST(RadekTypu, DruhyOdkazu) {
    using R = TRodinaOdkazu;
    struct Pripad {
        const char* nazev;
        std::u16string radek;
        std::optional<TDruhyOdkazu> druhy;  // as read
        TDruhyOdkazu plati;                 // what the type then reads
    };
    const Pripad pripady[] = {
        {"named", u"Soustruh\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P G70-G73\t", TDruhyOdkazu{R::Skoky, R::NavratM99, R::CyklyA},
         TDruhyOdkazu{R::Skoky, R::NavratM99, R::CyklyA}},
        {"none", u"Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t-\t", TDruhyOdkazu{}, TDruhyOdkazu{}},
        {"without the closing TAB, in lower case", u"A\t.nc\t:\tN\t%\tM30\t(\tg72-g75", TDruhyOdkazu{R::CyklyC},
         TDruhyOdkazu{R::CyklyC}},
        {"a name of a later version left out", u"A\t.nc\t:\tN\t%\tM30\t(\tGOTO,G99\t", TDruhyOdkazu{R::Skoky},
         TDruhyOdkazu{R::Skoky}},
        // Stored before types had the field, or nothing known in it: the default of the extension.
        {"seven fields, Sinumerik", u"S\t.MPF\t:\tN\t%\tM30\t;\t", std::nullopt, TDruhyOdkazu{R::Skoky}},
        {"seven fields, RS-274", u"G\t.ngc\tN\tN\t%\tM2\t(\t", std::nullopt, TDruhyOdkazu{}},
        {"seven fields, Mach3", u"M\t.tap\tN\tN\t%\tM30\t(\t", std::nullopt, TDruhyOdkazu{}},
        {"seven fields, Heidenhain", u"H\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t", std::nullopt, TDruhyOdkazu{}},
        {"seven fields, ISO", u"I\t.nc\t:\tN\t%\tM30\t(\t", std::nullopt, TDruhyOdkazu::Dosavadni()},
        {"an empty eighth field", u"I\t.nc\t:\tN\t%\tM30\t(\t\t", std::nullopt, TDruhyOdkazu::Dosavadni()},
        {"nothing known", u"I\t.nc\t:\tN\t%\tM30\t(\tx\u010C\t", std::nullopt, TDruhyOdkazu::Dosavadni()},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const auto typ = RozdelitRadek(p.radek);
        ASSERT_TRUE(typ.has_value());
        EXPECT_EQ(typ->DruhyOdkazu, p.druhy);
        EXPECT_EQ(DruhyOdkazuTypu(*typ), p.plati);
        // Written back: the field when the type names them, else seven fields as before.
        const std::u16string radek = SestavitRadek(*typ);
        EXPECT_EQ(std::count(radek.begin(), radek.end(), u'\t'), p.druhy ? 8 : 7);
        EXPECT_EQ(RozdelitRadek(radek), typ);
    }
    TTypSouboru t = Typ(u"A", u".nc", u":", u"N", u"%", u"M30", u"(");
    t.DruhyOdkazu = TDruhyOdkazu::Vsechny();
    EXPECT_EQ(SestavitRadek(t), u"A\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73 G72-G75\t");
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

    // Every shipped type names the references its control reads; the type a
    // .nc file gets by default reads a lathe's profile (a mill's cycle calls
    // hold X, Y or Z and keep their P and Q); no type reads both systems'
    // profiles (G70 and G71 are inch and metric in system C); Sinumerik reads
    // jumps only (G71 is metric, L100 P3 calls three times); Heidenhain,
    // RS-274 and Mach3 jump by labels and names.
    using R = TRodinaOdkazu;
    for (const auto& t : typy) {
        SCOPED_TRACE(DoUtf8(t.Nazev));
        ASSERT_TRUE(t.DruhyOdkazu.has_value());
        EXPECT_FALSE(t.DruhyOdkazu->Ma(R::CyklyA) && t.DruhyOdkazu->Ma(R::CyklyC));
        if (t.Pripona == u".mpf" || t.Pripona == u".spf") {
            EXPECT_EQ(t.DruhyOdkazu, TDruhyOdkazu{R::Skoky});
        }
        if (t.Pripona == u".h" || t.Pripona == u".ngc" || t.Pripona == u".tap") {
            EXPECT_EQ(t.DruhyOdkazu, TDruhyOdkazu{});
        }
    }
    const std::optional<std::size_t> nc = ZvolitTypSouboru(typy, "lathe.nc");
    ASSERT_TRUE(nc.has_value());
    EXPECT_TRUE(DruhyOdkazuTypu(typy[*nc]).Ma(R::CyklyA));
}

// A list stored by an earlier version: a shipped type it never changed
// takes this version's line; a changed or added one stays.
TEST(SouborTypu, PrevodStarsihoSeznamu) {
    const auto radek = [](std::u16string_view r) { return *RozdelitRadek(r); };
    const TTypSouboru staraFreza = radek(u"ISO frézování\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P\t");
    TTypSouboru prejmenovana = staraFreza;
    prejmenovana.Nazev = u"Moje fréza";
    const TTypSouboru vlastni = radek(u"Haas\t.nc\tN\tN\t%\tM30\t(\tGOTO M97P\t");
    std::vector<TTypSouboru> typy = {vlastni, staraFreza, prejmenovana};
    PrevestDodaneTypy(typy);
    // This version's mill, as files.ftd ships it.
    const std::vector<TTypSouboru> dodane = NacistSouborTypu(TARVIK_FILES_FTD);
    const auto freza = std::find_if(dodane.begin(), dodane.end(), [](const TTypSouboru& t) { return t.Nazev == u"ISO frézování"; });
    ASSERT_NE(freza, dodane.end());
    EXPECT_EQ(typy, (std::vector<TTypSouboru>{vlastni, *freza, prejmenovana}));
    EXPECT_TRUE(DruhyOdkazuTypu(typy[1]).Ma(TRodinaOdkazu::CyklyA));
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
