// The batch tool's texts: filling in their parameters, the forms of a count,
// choosing the language of a run and falling back on Czech, and what every
// translation of the shipped language file must keep.
#include "katalog/JazykovySoubor.h"
#include "katalog/TextyDavky.h"
#include "platform/Kodovani.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>

namespace {

// Each test leaves the catalogue built-in, as the other tests expect it.
class TextyDavky : public ::testing::Test {
protected:
    ~TextyDavky() override { NastavitJazyk("CZ", {}); }
    TDocasnaSlozka slozka;
};

TEST_F(TextyDavky, Vyplnit) {
    const struct {
        std::u16string vzor;
        std::vector<std::string> hodnoty;
        std::string vysledek;
    } pripady[] = {
        {u"%1 a %2", {"x", "y"}, "x a y"},
        {u"%2 před %1", {"x", "y"}, "y před x"},
        {u"%1%1", {"ab"}, "abab"},
        // A value is never searched for placeholders in turn.
        {u"%1 %2", {"%2", "z"}, "%2 z"},
        // A '%' without a value's number stays.
        {u"%3, 100%, %x, %", {"a", "b"}, "%3, 100%, %x, %"},
        {u"'%1'", {"Frézka\\x1b"}, "'Frézka\\x1b'"},
    };
    for (const auto& p : pripady) {
        std::string v;
        if (p.hodnoty.size() == 1) v = Vyplnit(p.vzor, {p.hodnoty[0]});
        else v = Vyplnit(p.vzor, {p.hodnoty[0], p.hodnoty[1]});
        EXPECT_EQ(v, p.vysledek) << DoUtf8(p.vzor);
    }
}

// Each language gives a count its own form: Czech and Slovak have three.
TEST_F(TextyDavky, PocetBloku) {
    const struct {
        const char* jazyk;
        std::int64_t n;
        const char* text;
    } pripady[] = {
        {"CZ", 0, "0 bloků"},   {"CZ", 1, "1 blok"},      {"CZ", 2, "2 bloky"},   {"CZ", 4, "4 bloky"},
        {"CZ", 5, "5 bloků"},   {"CZ", 22, "22 bloků"},   {"SK", 1, "1 blok"},    {"SK", 3, "3 bloky"},
        {"SK", 11, "11 blokov"}, {"EN", 0, "0 blocks"},   {"EN", 1, "1 block"},   {"EN", 3, "3 blocks"},
        {"DE", 1, "1 Block"},   {"DE", 2, "2 Blöcke"},    {"FR", 0, "0 bloc"},    {"FR", 1, "1 bloc"},
        {"FR", 2, "2 blocs"},   {"ES", 1, "1 bloque"},    {"ES", 5, "5 bloques"},
    };
    for (const auto& p : pripady) {
        EXPECT_TRUE(NastavitJazyk(p.jazyk, TARVIK_JAZYKY_XML).empty());
        EXPECT_EQ(TextPoctuBloku(p.n), p.text) << p.jazyk << " " << p.n;
    }
}

// The language chosen, or why it cannot be, in Czech; then every text is built in.
TEST_F(TextyDavky, VolbaJazyka) {
    TDocasnaSlozka::Zapsat(slozka / "vadny.xml", "<Preklad><Obecne>");
    TDocasnaSlozka::Zapsat(slozka / "spatny-text.xml",
                           "<P><JAZYKY><EN/></JAZYKY><Obecne><rsCHYBA><EN>Error</EN></rsCHYBA>"
                           "<rsINFORMACE><EN><b/></EN></rsINFORMACE></Obecne></P>");
    TDocasnaSlozka::Zapsat(slozka / "malo.xml", "<P><JAZYKY><EN/><XX/></JAZYKY><Obecne><rsCHYBA><EN>Error</EN>"
                                                "<XX>Fel</XX></rsCHYBA></Obecne><Davka><rsDHOTOVO><EN>done</EN>"
                                                "</rsDHOTOVO></Davka></P>");
    const std::string dodany = TARVIK_JAZYKY_XML;
    const struct {
        const char* nazev;
        std::string kod;
        std::filesystem::path soubor;
        const char* jazyk;       // JazykKatalogu afterwards
        const char16_t* chyba;   // rsCHYBA afterwards
        std::string varovani;    // the start of the warning; "" for none
    } pripady[] = {
        {"Czech without a file", "CZ", {}, "CZ", u"Chyba", ""},
        {"no code is Czech", "", {}, "CZ", u"Chyba", ""},
        {"English", "EN", dodany, "EN", u"Error", ""},
        {"letter case ignored", "de", dodany, "DE", u"Fehler", ""},
        {"Czech from the file", "cz", dodany, "CZ", u"Chyba", ""},
        {"a language with some texts", "XX", slozka / "malo.xml", "XX", u"Fel", ""},
        {"English without a file", "EN", {}, "CZ", u"Chyba",
         "jazyk EN nelze použít: nebyl nalezen jazykový soubor tarvik.xml; platí vestavěné české texty"},
        {"a code the file does not list", "XY", dodany, "CZ", u"Chyba",
         "jazykový soubor nemá jazyk XY (má CZ, EN, SK, DE, FR, ES); platí vestavěné české texty"},
        {"a file that is not XML", "EN", slozka / "vadny.xml", "CZ", u"Chyba", "The language file \""},
        {"a missing file", "EN", slozka / "chybi.xml", "CZ", u"Chyba", "Nelze otevřít soubor \""},
        {"a text held wrongly: nothing of the file", "EN", slozka / "spatny-text.xml", "CZ", u"Chyba",
         "The element \"Obecne/rsINFORMACE/EN\" of the language file does not contain a single text node; platí "
         "vestavěné české texty"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        rsCHYBA = u"zbytek";
        rsDHOTOVO = u"zbytek";
        const auto varovani = NastavitJazyk(p.kod, p.soubor);
        EXPECT_EQ(JazykKatalogu(), p.jazyk);
        EXPECT_EQ(rsCHYBA, p.chyba);
        if (p.varovani.empty()) {
            EXPECT_TRUE(varovani.empty()) << DoUtf8(varovani.front());
        } else {
            ASSERT_EQ(varovani.size(), 1u);
            EXPECT_EQ(DoUtf8(varovani.front()).substr(0, p.varovani.size()), p.varovani);
            EXPECT_EQ(rsDHOTOVO, u"hotovo");
        }
    }
    // A text the language lacks is the built-in one.
    NastavitJazyk("XX", slozka / "malo.xml");
    EXPECT_EQ(rsDHOTOVO, u"hotovo");
    EXPECT_EQ(rsINFORMACE, u"Informace");
}

// Every translation of the batch tool's texts keeps what the program and the
// user rely on: the options, the placeholders, the commands' own words.
TEST_F(TextyDavky, PrekladyDrziVolbyAParametry) {
    const TJazykovySoubor soubor = TJazykovySoubor::Nacist(TARVIK_JAZYKY_XML);
    EXPECT_EQ(soubor.Jazyky(), (std::vector<std::string>{"CZ", "EN", "SK", "DE", "FR", "ES"}));
    const std::regex znacka(R"((^|[ ("'])(--?[a-z][a-z-]*|%[1-9]|FILE|FOLDER|OUT))");
    const auto znacky = [&](const std::string& text) {
        std::set<std::string> z;
        for (auto i = std::sregex_iterator(text.begin(), text.end(), znacka); i != std::sregex_iterator(); ++i)
            z.insert((*i)[2]);
        return z;
    };
    int prekladu = 0;
    for (const TPolozkaKatalogu& p : KatalogDavky()) {
        const auto cesky = znacky(DoUtf8(p.Vestaveny));
        for (const char* kod : {"EN", "SK", "DE", "FR", "ES"}) {
            const auto text = soubor.Text(SekceDavky, p.Klic, kod);
            ASSERT_TRUE(text.has_value()) << p.Klic << "/" << kod;
            EXPECT_EQ(znacky(DoUtf8(*text)), cesky) << p.Klic << "/" << kod << ": " << DoUtf8(*text);
            ++prekladu;
        }
    }
    EXPECT_EQ(prekladu, 5 * static_cast<int>(PocetTextuDavky));
}

}  // namespace
