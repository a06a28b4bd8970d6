#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/TextovySoubor.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <functional>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string ZpravaChyby(const std::function<void()>& akce) {
    try {
        akce();
    } catch (const TChyba& e) {
        return e.what();
    }
    return "(no failure)";
}

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
