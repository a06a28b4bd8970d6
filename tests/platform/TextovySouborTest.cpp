#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/TextovySoubor.h"
#include "../support/DocasnaSlozka.h"
#include "../support/ZpravaChyby.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

TEST(TextovySoubor, NecitelnySouborHlasiCestuADuvod) {
    TDocasnaSlozka slozka;
    const fs::path chybi = slozka / "chybi.nc";
    EXPECT_EQ(ZpravaChyby([&] { NacistTextovySoubor(chybi); }),
              "Cannot open file \"" + chybi.string() + "\". No such file or directory");
    EXPECT_EQ(ZpravaChyby([&] { NacistTextovySoubor(slozka.Cesta()); }),
              "Cannot open file \"" + slozka.Cesta().string() + "\". Is a directory");
}

TEST(TextovySoubor, ZapisNahradiSouborCely) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "program.nc";
    TDocasnaSlozka::Zapsat(soubor, "stary obsah, delsi nez novy\r\n");
    fs::permissions(soubor, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ZapsatSouborAtomicky(soubor, "N10 G0\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N10 G0\r\n");
    // The file keeps its permissions, and nothing is left beside it.
    EXPECT_EQ(fs::status(soubor).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(slozka.Cesta()), fs::directory_iterator()), 1);
}

TEST(TextovySoubor, OdkazZustaneOdkazem) {
    TDocasnaSlozka slozka;
    const fs::path cil = slozka / "cil.nc";
    const fs::path odkaz = slozka / "odkaz.nc";
    TDocasnaSlozka::Zapsat(cil, "A");
    fs::create_symlink(cil, odkaz);
    ZapsatSouborAtomicky(odkaz, "B");
    EXPECT_TRUE(fs::is_symlink(odkaz));
    EXPECT_EQ(TDocasnaSlozka::Precist(cil), "B");
}

TEST(TextovySoubor, NezapsatelnySouborZustaneBezeZmeny) {
    TDocasnaSlozka slozka;
    const fs::path jenKCteni = slozka / "jen-ke-cteni.nc";
    TDocasnaSlozka::Zapsat(jenKCteni, "N10 X\r\n");
    fs::permissions(jenKCteni, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(jenKCteni, "jine"); }),
              "Cannot create file \"" + jenKCteni.string() + "\". Permission denied");
    EXPECT_EQ(TDocasnaSlozka::Precist(jenKCteni), "N10 X\r\n");

    const fs::path bezSlozky = slozka / "neni" / "x.nc";
    EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(bezSlozky, "x"); }),
              "Cannot create file \"" + bezSlozky.string() + "\". No such file or directory");
    EXPECT_FALSE(fs::exists(bezSlozky));

    EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(slozka.Cesta(), "x"); }),
              "Cannot create file \"" + slozka.Cesta().string() + "\". Is a directory");
    EXPECT_EQ(std::distance(fs::directory_iterator(slozka.Cesta()), fs::directory_iterator()), 1);
}

TEST(TextovySoubor, NovySouborPodleMasky) {
    TDocasnaSlozka slozka;
    const fs::path novy = slozka / "novy.nc";
    const mode_t puvodni = ::umask(022);
    ZapsatSouborAtomicky(novy, "X");
    ::umask(puvodni);
    EXPECT_EQ(TDocasnaSlozka::Precist(novy), "X");
    EXPECT_EQ(fs::status(novy).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                  fs::perms::group_read | fs::perms::others_read);
}

TEST(TextovySoubor, DlouhyRadekANulovyBajt) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "dlouhy.nc";
    std::string bajty(20 * 1000 * 1000, 'X');
    bajty[5] = '\0';
    bajty += "\n";
    TDocasnaSlozka::Zapsat(soubor, bajty);
    const TText text = NacistTextovySoubor(soubor);
    ASSERT_EQ(text.Radky.size(), 1u);
    EXPECT_EQ(text.Radky[0].size(), 20u * 1000 * 1000);
    EXPECT_EQ(text.Radky[0][5], u'\0');
    EXPECT_TRUE(text.KoncovyZlom);
}

}  // namespace

namespace {

// The file is read in pieces of a megabyte: what straddles a piece's end
// reads as if the file were read whole.
TEST(TextovySoubor, CteniPoKusechJakoVcelku) {
    constexpr std::size_t Kus = 1 << 20;
    const std::string vypln(Kus - 1, 'X');
    struct Pripad {
        const char* nazev;
        std::string bajty;
        TKodovani kodovani;
    };
    const Pripad pripady[] = {
        {"CR LF across the end of a piece", vypln + "\r\nN10", TKodovani::Utf8},
        {"CR at the end of a piece, no LF", vypln + "\rN10", TKodovani::Utf8},
        {"CR as the last byte of the file", vypln + "\r", TKodovani::Utf8},
        {"a character across the end of a piece", vypln + "\xC4\x8D\r\n", TKodovani::Utf8},
        {"a long character across the end", std::string(Kus - 2, 'X') + "\xF0\x9F\x94\xA7", TKodovani::Utf8},
        {"cut off at the very end", vypln + "AB\xC4", TKodovani::Cp1250},
        {"invalid only in the second piece", vypln + std::string(10, 'Y') + "\xE8\r\n", TKodovani::Cp1250},
        {"a line longer than a piece", std::string(3 * Kus + 5, 'Z') + "\nA", TKodovani::Utf8},
        {"a mark, then a break across", "\xEF\xBB\xBF" + std::string(Kus - 4, 'M') + "\r\n", TKodovani::Utf8Znacka},
        {"a mark before bytes that are not UTF-8", "\xEF\xBB\xBF" + vypln + "\xE8\r\n", TKodovani::Cp1250},
        {"a mark, a character across the end", "\xEF\xBB\xBF" + std::string(Kus - 4, 'M') + "\xC4\x8D", TKodovani::Utf8Znacka},
        {"empty", "", TKodovani::Utf8},
    };
    TDocasnaSlozka slozka;
    for (const auto& p : pripady) {
        const fs::path soubor = slozka / "kusy.nc";
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        const TText poKusech = NacistTextovySoubor(soubor);
        const TText vcelku = DekodovatText(p.bajty);
        EXPECT_EQ(poKusech.Kodovani, p.kodovani) << p.nazev;
        EXPECT_EQ(poKusech.Kodovani, vcelku.Kodovani) << p.nazev;
        EXPECT_EQ(poKusech.KoncovyZlom, vcelku.KoncovyZlom) << p.nazev;
        EXPECT_TRUE(poKusech.Radky == vcelku.Radky) << p.nazev;
    }
}

// Lines written in pieces give the same bytes as written whole, and the
// encoding is chosen before the first piece.
TEST(TextovySoubor, ZapisPoKusech) {
    std::vector<std::u16string> radky(300000, u"N10 G01 X12.5 Y-4.25 (\u010D\u00E1st)");
    radky.back() = u"M30";
    for (const TKodovani k : {TKodovani::Utf8, TKodovani::Cp1250}) {
        EXPECT_EQ(KodovaniZapisu(radky, k), k);
        std::string vcelku;
        ZakodovatRadky(vcelku, radky, true, k);
        std::string poKusech;
        std::size_t kusu = 0;
        ZakodovatPoKusech(radky, true, k, [&](std::string_view b) {
            poKusech += b;
            ++kusu;
        });
        EXPECT_EQ(poKusech, vcelku);
        EXPECT_GT(kusu, 5u);
    }
    radky[5] += u"\u2192";
    EXPECT_EQ(KodovaniZapisu(radky, TKodovani::Cp1250), TKodovani::Utf8Znacka);
    radky[6] = std::u16string(1, char16_t(0xDC00));
    EXPECT_EQ(KodovaniZapisu(radky, TKodovani::Cp1250), TKodovani::Utf16LE);
}

}  // namespace
