#include "platform/SlozkyDat.h"
#include "platform/CteniTextu.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

// The first folder that holds the file gives it; a folder of that name is no file.
TEST(SlozkyDat, PrvniSlozkaSeSouborem) {
    TDocasnaSlozka a, b, c;
    TDocasnaSlozka::Zapsat(b / "files.ftd", "B");
    TDocasnaSlozka::Zapsat(c / "files.ftd", "C");
    fs::create_directory(a / "files.ftd");
    EXPECT_EQ(NajitSoubor({a.Cesta(), b.Cesta(), c.Cesta()}, "files.ftd"), b / "files.ftd");
    EXPECT_EQ(NajitSoubor({c.Cesta(), b.Cesta()}, "files.ftd"), c / "files.ftd");
    EXPECT_EQ(NajitSoubor({a.Cesta()}, "files.ftd"), std::nullopt);
    EXPECT_EQ(NajitSoubor({}, "files.ftd"), std::nullopt);
}

#ifndef _WIN32

// Beside the executable, the installation's share/tarvik, then the XDG data
// folders; relative XDG folders are not valid.
TEST(SlozkyDat, PoradiSlozek) {
    struct TPromenna {
        const char* nazev;
        std::optional<std::string> puvodni;
    };
    TPromenna promenne[] = {{"XDG_DATA_HOME", {}}, {"XDG_DATA_DIRS", {}}, {"HOME", {}}};
    for (auto& p : promenne)
        if (const char* h = std::getenv(p.nazev)) p.puvodni = h;
    const fs::path program = SlozkaProgramu();
    const fs::path sdilena = (program / TARVIK_SDILENA_DATA).lexically_normal();

    struct Pripad {
        const char *domov, *seznam, *home;
        std::vector<fs::path> slozky;
    };
    const Pripad pripady[] = {
        {nullptr, nullptr, "/home/u",
         {program, sdilena, "/home/u/.local/share/tarvik", "/usr/local/share/tarvik", "/usr/share/tarvik"}},
        {"/xdg", "/a:relativni:/b/", "/home/u", {program, sdilena, "/xdg/tarvik", "/a/tarvik", "/b/tarvik"}},
        {"relativni", "", "/home/u",
         {program, sdilena, "/home/u/.local/share/tarvik", "/usr/local/share/tarvik", "/usr/share/tarvik"}},
    };
    for (const auto& p : pripady) {
        const auto nastavit = [](const char* nazev, const char* hodnota) {
            if (hodnota) ::setenv(nazev, hodnota, 1);
            else ::unsetenv(nazev);
        };
        nastavit("XDG_DATA_HOME", p.domov);
        nastavit("XDG_DATA_DIRS", p.seznam);
        nastavit("HOME", p.home);
        EXPECT_EQ(SlozkyDat(), p.slozky) << (p.domov ? p.domov : "-");
    }
    for (const auto& p : promenne) {
        if (p.puvodni) ::setenv(p.nazev, p.puvodni->c_str(), 1);
        else ::unsetenv(p.nazev);
    }
}

#endif

}  // namespace
