#include "katalog/JazykovySoubor.h"
#include "katalog/TextyDavky.h"
#include "katalog/Zpravy.h"
#include "katalog/convar.h"
#include "platform/CteniTextu.h"

#include <gtest/gtest.h>

#include <set>
#include <span>

namespace {

// Every entry of both catalogues: its key unique and found, its variable
// holding its built-in text until a pass changes it and again after
// ObnovitVestaveneTexty.
TEST(Katalog, KazdaPolozka) {
    std::set<std::string_view> klice;
    for (const auto& k : {std::span<const TPolozkaKatalogu>(Katalog()), std::span<const TPolozkaKatalogu>(KatalogDavky())})
        for (const TPolozkaKatalogu& p : k) {
            EXPECT_TRUE(klice.insert(p.Klic).second) << p.Klic << " twice";
            EXPECT_FALSE(p.Vestaveny.empty()) << p.Klic;
            EXPECT_EQ(*p.Text, p.Vestaveny) << p.Klic;
        }
    for (const TPolozkaKatalogu& p : Katalog()) {
        ASSERT_EQ(PolozkaKatalogu(p.Klic), &p);
        *p.Text = u"Error";
    }
    EXPECT_EQ(PolozkaKatalogu("rsneni"), nullptr);
    ObnovitVestaveneTexty();
    for (const TPolozkaKatalogu& p : Katalog()) EXPECT_EQ(*p.Text, p.Vestaveny) << p.Klic;
}

// Every key of both catalogues has a text in every translated language of
// the shipped language file (Czech is built in), in its section; and no text there names another language's
// parameters than the built-in one (%1, %2, ...).
TEST(Katalog, KazdyKlicVKazdemJazyce) {
    const TJazykovySoubor soubor = TJazykovySoubor::Nacist(TARVIK_JAZYKY_XML);
    const std::vector<std::string> jazyky = soubor.Jazyky();
    ASSERT_EQ(jazyky.size(), 6u);
    const auto parametry = [](std::u16string_view text) {
        std::set<char16_t> p;
        for (std::size_t i = 0; i + 1 < text.size(); ++i)
            if (text[i] == u'%' && text[i + 1] >= u'1' && text[i + 1] <= u'9') p.insert(text[i + 1]);
        return p;
    };
    const std::pair<std::string_view, std::span<const TPolozkaKatalogu>> sekce[] = {{"Obecne", Katalog()},
                                                                                   {SekceDavky, KatalogDavky()}};
    for (const auto& [nazev, polozky] : sekce)
        for (const TPolozkaKatalogu& p : polozky)
            for (const std::string& jazyk : jazyky) {
                if (jazyk == "CZ") continue;
                const std::optional<std::u16string> text = soubor.Text(nazev, p.Klic, jazyk);
                ASSERT_TRUE(text && !text->empty()) << nazev << "/" << p.Klic << "/" << jazyk;
                EXPECT_EQ(parametry(*text), parametry(p.Vestaveny)) << nazev << "/" << p.Klic << "/" << jazyk;
            }
}

TEST(Zpravy, TextyPrikazu) {
    EXPECT_EQ(ZpravaBlokyJsou(70000),
              u"Program již NC bloky obsahuje: 70000x.\rNejdříve NC bloky odstraňte.");
    EXPECT_EQ(ZpravaBlokyNejsou(), u"Program neobsahuje žádné NC bloky.\rMůžete zavést nové NC bloky.");
    EXPECT_EQ(ZpravaBlokyNejsouVybrane(), u"Výběr neobsahuje žádné NC bloky.\rMůžete zavést nové NC bloky.");
    EXPECT_EQ(ZpravaNeniCoOdstranit(), u"Program neobsahuje žádné NC bloky");
    EXPECT_EQ(ZpravaNeniSoubor(), u"Není otevřený žádný soubor.");
}

TEST(Zpravy, Statistiky) {
    EXPECT_EQ(TextStatistiky(2, 17, 2), u"Počet řádků: 2, Počet znaků: 17, Počet NC bloků: 2.");
}

// The counts of the statistics line taken from a text area's UTF-8 text: the
// characters are UTF-16 code units (a four-byte character counts two), every
// line break counts two, a break at the end opens no further line; they agree
// with the counts of the text split into lines.
TEST(Zpravy, StatistikyTextuUtf8) {
    struct Pripad {
        const char* nazev;
        std::string utf8;
        std::size_t radku, znaku;
        std::int64_t bloku;
    };
    const Pripad pripady[] = {
        {"empty", "", 0, 0, 0},
        {"CR LF, a break at the end", "N10 G0\r\nN20 M30\r\n", 2, 17, 2},
        {"LF and CR count two each", "N10\nX\rN20", 3, 11, 2},
        {"two-byte letters", "N1 (\xC4\x8D\xC3\xA1st)\r\n", 1, 11, 1},
        {"a three-byte character is one unit", "(\xE2\x86\x92)\r\n", 1, 5, 0},
        {"a four-byte character is two units", "(\xF0\x9D\x84\x9E)\r\n", 1, 6, 0},
        {"blanks before the block character", "  N5\r\n\t:6 X\r\n(N7)", 3, 17, 2},
        {"no break at the end", "N10 G0\r\nN20 M30", 2, 15, 2},
        {"an empty line with its break", "\r\n", 1, 2, 0},
        {"long ASCII lines", std::string(100, 'X') + "\r\n" + std::string(17, 'Y'), 2, 119, 0},
        {"a long line with one character of two bytes", std::string(40, 'X') + "\xC4\x8D" + std::string(9, 'Y'), 1, 50,
         0},
        {"long lines with characters of two, three and four bytes",
         std::string(20, 'X') + "\xC4\x8D\xE2\x86\x92\xF0\x9D\x84\x9E" + std::string(20, 'Y') + "\n" +
             std::string(15, 'Z') + "\xF0\x9D\x84\x9E\xF0\x9D\x84\x9E",
         2, 20 + 1 + 1 + 2 + 20 + 2 + 15 + 4, 0},
    };
    for (const auto& p : pripady) {
        const TStatistiky s = SpocitatStatistiky(p.utf8, u"N", u":");
        EXPECT_EQ(s.Radku, p.radku) << p.nazev;
        EXPECT_EQ(s.Znaku, p.znaku) << p.nazev;
        EXPECT_EQ(s.Bloku, p.bloku) << p.nazev;
        // In pieces of whole lines, the same.
        TPocitadloStatistik poKusech(u"N", u":");
        for (std::size_t od = 0; od < p.utf8.size();) {
            std::size_t konec = p.utf8.find('\n', od);
            konec = konec == std::string::npos ? p.utf8.size() : konec + 1;
            poKusech.Pridat(std::string_view(p.utf8).substr(od, konec - od));
            od = konec;
        }
        EXPECT_EQ(poKusech.Statistiky().Radku, p.radku) << p.nazev;
        EXPECT_EQ(poKusech.Statistiky().Znaku, p.znaku) << p.nazev;
        EXPECT_EQ(poKusech.Statistiky().Bloku, p.bloku) << p.nazev;
    }
}

}  // namespace
