// The settings store through its interface, the same cases for every store
// of the platform: the file store, and on Windows the registry.
#include "platform/Chyba.h"
#include "platform/Registr.h"
#include "../support/ZkusebniUloziste.h"

#include "../support/ZpravaChyby.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>

namespace {

class Registr : public ::testing::TestWithParam<TDruhUloziste> {
protected:
    TZkusebniUloziste uloziste{GetParam()};
};

TEST_P(Registr, HodnotySeVratiSeSvymTypem) {
    struct Retezec {
        std::u16string nazev, hodnota;
    };
    const Retezec retezce[] = {
        {u"Jazyk", u"CZ"},
        {u"Prazdny", u""},
        {u"Cesta", u"C:\\Program Files\\Tarvik\\"},
        {u"Uvozovky", u"\"Frézka\" \\\" \"\\"},
        {u"Cesky", u"Přečíslovat žluťoučký kůň ĚŠČŘŽÝÁÍÉ"},
        {u"Zlomy", u"první\r\ndruhý\rtřetí\n"},
        {u"Mimo BMP", u"\U0001F527 N10"},
        {u"\"Jméno\\s\\uvozovkami\"", u"x"},
        {u"", u"výchozí hodnota"},
        {u"Dlouhy", std::u16string(3000, u'Ž')},
    };
    const std::pair<std::u16string, std::int32_t> cisla[] = {
        {u"Nula", 0}, {u"Jedna", 1}, {u"Max", 0x7FFFFFFF}, {u"MinusJedna", -1},
        {u"Min", INT32_MIN}, {u"Vlevo", -1920}, {u"PrvniBlok", 5},
    };
    const std::u16string rozsireny = u"%USERPROFILE%\\Tarvik " + std::u16string(200, u'ř');
    {
        auto r = uloziste.Otevrit();
        ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), true));
        for (const auto& h : retezce) r->ZapsatRetezec(h.nazev, h.hodnota);
        for (const auto& [nazev, n] : cisla) r->ZapsatCislo(nazev, n);
        r->ZapsatRozsirenyRetezec(u"Rozsireny", rozsireny);
        r->ZapsatPriznak(u"Ano", true);
        r->ZapsatPriznak(u"Ne", false);
        r->ZavritKlic();
    }
    // Another store object, as the next start of the program reads them.
    auto r = uloziste.Otevrit();
    ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), false));
    for (const auto& h : retezce) {
        EXPECT_EQ(r->TypHodnoty(h.nazev), TTypHodnoty::Retezec);
        EXPECT_EQ(r->CistRetezec(h.nazev), h.hodnota);
    }
    for (const auto& [nazev, n] : cisla) {
        EXPECT_EQ(r->TypHodnoty(nazev), TTypHodnoty::Cislo);
        EXPECT_EQ(r->CistCislo(nazev), n);
    }
    EXPECT_EQ(r->TypHodnoty(u"Rozsireny"), TTypHodnoty::RozsirenyRetezec);
    EXPECT_EQ(r->CistRetezec(u"Rozsireny"), rozsireny);
    EXPECT_EQ(r->CistCislo(u"Ano"), 1);
    EXPECT_EQ(r->CistCislo(u"Ne"), 0);
    EXPECT_TRUE(r->CistPriznak(u"MinusJedna"));
    EXPECT_FALSE(r->CistPriznak(u"Nula"));
    EXPECT_EQ(r->PocetHodnot(), std::size(retezce) + std::size(cisla) + 3);
    std::vector<std::u16string> nazvy = {u"Rozsireny", u"Ano", u"Ne"}, precteno = r->NazvyHodnot();
    for (const auto& h : retezce) nazvy.push_back(h.nazev);
    for (const auto& c : cisla) nazvy.push_back(c.first);
    std::sort(nazvy.begin(), nazvy.end());
    std::sort(precteno.begin(), precteno.end());
    EXPECT_EQ(precteno, nazvy);
    // Names compare without regard to case.
    EXPECT_EQ(r->CistRetezec(u"JAZYK"), u"CZ");
    EXPECT_EQ(r->CistCislo(u"prvniblok"), 5);
}

TEST_P(Registr, PrepsanaHodnotaZmeniTyp) {
    auto r = uloziste.Otevrit();
    ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), true));
    r->ZapsatRetezec(u"PrvniBlok", u"pět");
    r->ZapsatCislo(u"PRVNIBLOK", 10);
    EXPECT_EQ(r->PocetHodnot(), 1u);
    EXPECT_EQ(r->TypHodnoty(u"PrvniBlok"), TTypHodnoty::Cislo);
    EXPECT_EQ(r->CistCislo(u"PrvniBlok"), 10);
}

TEST_P(Registr, SpatnyTypAChybejiciHodnota) {
    auto r = uloziste.Otevrit();
    ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), true));
    r->ZapsatRetezec(u"Jazyk", u"CZ");
    r->ZapsatCislo(u"PrvniBlok", 5);
    r->ZapsatRozsirenyRetezec(u"Cesta", u"%TEMP%");
    struct Pripad {
        const char* nazev;
        std::function<void()> cteni;
        std::string chyba;
    };
    const Pripad pripady[] = {
        {"number from a string", [&] { r->CistCislo(u"Jazyk"); }, "Invalid data type for 'Jazyk'"},
        {"flag from a string", [&] { r->CistPriznak(u"Jazyk"); }, "Invalid data type for 'Jazyk'"},
        {"number from an expandable string", [&] { r->CistCislo(u"Cesta"); }, "Invalid data type for 'Cesta'"},
        {"string from a number", [&] { r->CistRetezec(u"PrvniBlok"); }, "Invalid data type for 'PrvniBlok'"},
        {"missing number", [&] { r->CistCislo(u"Prirustek"); }, "Failed to get data for 'Prirustek'"},
        {"missing flag", [&] { r->CistPriznak(u"Maximalni"); }, "Failed to get data for 'Maximalni'"},
        {"missing string reads empty", [&] { EXPECT_EQ(r->CistRetezec(u"Nic"), u""); }, "(no failure)"},
    };
    for (const auto& p : pripady) EXPECT_EQ(ZpravaChyby(p.cteni), p.chyba) << p.nazev;
    EXPECT_TRUE(r->HodnotaExistuje(u"Jazyk"));
    EXPECT_FALSE(r->HodnotaExistuje(u"Nic"));
    EXPECT_EQ(r->TypHodnoty(u"Nic"), TTypHodnoty::Zadna);
}

TEST_P(Registr, ZapisBezKliceSelze) {
    auto r = uloziste.Otevrit();
    EXPECT_EQ(ZpravaChyby([&] { r->ZapsatRetezec(u"Jazyk", u"CZ"); }), "Failed to set data for 'Jazyk'");
    EXPECT_EQ(ZpravaChyby([&] { r->ZapsatCislo(u"Sirka", 640); }), "Failed to set data for 'Sirka'");
    EXPECT_EQ(ZpravaChyby([&] { r->ZapsatPriznak(u"Maximalni", true); }), "Failed to set data for 'Maximalni'");
    EXPECT_EQ(ZpravaChyby([&] { r->CistCislo(u"Sirka"); }), "Failed to get data for 'Sirka'");
    EXPECT_FALSE(r->HodnotaExistuje(u"Jazyk"));
    EXPECT_EQ(r->PocetHodnot(), std::nullopt);
    EXPECT_TRUE(r->NazvyHodnot().empty());

    // A key deleted by another copy of the program after it was opened.
    ASSERT_TRUE(r->OtevritKlic(uloziste.Klic(u"TypySouboru"), true));
    ASSERT_TRUE(uloziste.Otevrit()->SmazatKlic(uloziste.Klic(u"TypySouboru")));
    EXPECT_EQ(ZpravaChyby([&] { r->ZapsatRetezec(u"0", u"A\t.nc\t\t\t\t\t\t"); }), "Failed to set data for '0'");
    EXPECT_FALSE(uloziste.Otevrit()->KlicExistuje(uloziste.Klic(u"TypySouboru")));
}

TEST_P(Registr, Klice) {
    auto r = uloziste.Otevrit();
    const std::u16string typy = uloziste.Klic(u"TypySouboru");
    const std::u16string hluboky = typy + u"\\A\\B";
    EXPECT_FALSE(r->KlicExistuje(uloziste.Koren()));
    EXPECT_FALSE(r->OtevritKlic(uloziste.Koren(), false));
    EXPECT_EQ(r->PocetHodnot(), std::nullopt);

    // Creating a key creates its parents; a path without its leading
    // backslash means the same key.
    ASSERT_TRUE(r->OtevritKlic(hluboky, true));
    r->ZapsatCislo(u"X", 1);
    EXPECT_TRUE(r->KlicExistuje(uloziste.Koren()));
    EXPECT_TRUE(r->KlicExistuje(typy));
    EXPECT_TRUE(r->KlicExistuje(typy.substr(1)));
    EXPECT_TRUE(r->KlicExistuje(hluboky + u"\\"));
    ASSERT_TRUE(r->OtevritKlic(typy, false));
    EXPECT_EQ(r->PocetHodnot(), 0u);
    r->ZapsatRetezec(u"0", u"řádek");
    EXPECT_EQ(r->PocetHodnot(), 1u);

    // Opening another key closes the current one.
    ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), true));
    EXPECT_FALSE(r->HodnotaExistuje(u"0"));
    EXPECT_FALSE(r->OtevritKlic(uloziste.Klic(u"Chybi"), false));
    EXPECT_FALSE(r->HodnotaExistuje(u"0"));
    EXPECT_EQ(r->PocetHodnot(), std::nullopt);

    // Deleting takes the subkeys and values along, and nothing above nor
    // beside, not even a key whose name goes on from the deleted one's.
    ASSERT_TRUE(r->OtevritKlic(typy + u"2", true));
    ASSERT_TRUE(r->OtevritKlic(typy + u" kopie\\X", true));
    EXPECT_FALSE(r->SmazatKlic(uloziste.Klic(u"Chybi")));
    EXPECT_FALSE(r->SmazatKlic(u"\\"));
    EXPECT_FALSE(r->SmazatKlic(u""));
    EXPECT_FALSE(r->OtevritKlic(uloziste.Koren() + u"\\\\TypySouboru", true));
    EXPECT_TRUE(r->SmazatKlic(typy));
    EXPECT_FALSE(r->KlicExistuje(typy));
    EXPECT_FALSE(r->KlicExistuje(hluboky));
    EXPECT_FALSE(r->KlicExistuje(typy + u"\\A"));
    EXPECT_TRUE(r->KlicExistuje(uloziste.Koren()));
    EXPECT_TRUE(r->KlicExistuje(typy + u"2"));
    EXPECT_TRUE(r->KlicExistuje(typy + u" kopie\\X"));
    EXPECT_FALSE(uloziste.Otevrit()->KlicExistuje(typy));
    ASSERT_TRUE(r->OtevritKlic(typy, true));
    EXPECT_EQ(r->PocetHodnot(), 0u);
    r->ZavritKlic();
    EXPECT_EQ(r->PocetHodnot(), std::nullopt);
    EXPECT_TRUE(r->KlicExistuje(u"\\Software"));
}

TEST_P(Registr, PosledniZapisujiciVyhraje) {
    // Two copies of the program: the first reads at its start, the second
    // starts and closes, then the first closes.
    auto prvni = uloziste.Otevrit();
    EXPECT_FALSE(prvni->OtevritKlic(uloziste.Koren(), false));
    {
        auto druha = uloziste.Otevrit();
        ASSERT_TRUE(druha->OtevritKlic(uloziste.Koren(), true));
        druha->ZapsatRetezec(u"Jazyk", u"EN");
        druha->ZapsatCislo(u"PrvniBlok", 20);
        druha->ZapsatCislo(u"Vlevo", 300);
        druha->ZavritKlic();
    }
    ASSERT_TRUE(prvni->OtevritKlic(uloziste.Koren(), true));
    prvni->ZapsatRetezec(u"Jazyk", u"CZ");
    prvni->ZapsatCislo(u"PrvniBlok", 10);
    prvni->ZavritKlic();

    auto dalsi = uloziste.Otevrit();
    ASSERT_TRUE(dalsi->OtevritKlic(uloziste.Koren(), false));
    EXPECT_EQ(dalsi->CistRetezec(u"Jazyk"), u"CZ");
    EXPECT_EQ(dalsi->CistCislo(u"PrvniBlok"), 10);
    // What the last copy did not write stays from the one before.
    EXPECT_EQ(dalsi->CistCislo(u"Vlevo"), 300);
    EXPECT_EQ(dalsi->PocetHodnot(), 3u);
}

INSTANTIATE_TEST_SUITE_P(Uloziste, Registr, ::testing::ValuesIn(DruhyUloziste()),
                         [](const auto& info) { return std::string(NazevDruhu(info.param)); });

}  // namespace
