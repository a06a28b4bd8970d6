// The window's save through the command layer: a program is written over its
// file only while that is still the file read, whenever another program
// changes it, and a change is told the same way however it is looked for.
#include "prikazy/PrikazSouboru.h"

#include "platform/ChybySouboru.h"

#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <functional>

namespace fs = std::filesystem;

namespace {

const std::string Precteny = "N1 X1\r\n", Okno = "N1 X1\r\nG4\r\n";

void Pripsat(const fs::path& p) { TDocasnaSlozka::Zapsat(p, TDocasnaSlozka::Precist(p) + "N2 X2\r\n"); }

// What another program does to the file, before the save or while it writes
// (after the writer has opened it, before the new file takes its place).
struct TZasah {
    const char* nazev;
    std::function<void(const fs::path&)> udelat;
    TZmenaZvenku zmena;  // as the window's look tells it afterwards
    std::string soubor;  // the file afterwards, when the save is refused
};

std::vector<TZasah> Zasahy() {
    std::vector<TZasah> z = {
        {"a line appended", Pripsat, TZmenaZvenku::Zmenen, Precteny + "N2 X2\r\n"},
        {"replaced by a new file",
         [](const fs::path& p) {
             TDocasnaSlozka::Zapsat(p.string() + ".novy", "N7\r\n");
             fs::rename(p.string() + ".novy", p);
         },
         TZmenaZvenku::Zmenen, "N7\r\n"},
        {"deleted", [](const fs::path& p) { fs::remove(p); }, TZmenaZvenku::Zmizel, ""},
    };
#ifndef _WIN32
    // The same bytes' count and content time: only the entry's time tells.
    z.push_back({"rewritten at the same size, its time put back",
                 [](const fs::path& p) {
                     const auto cas = fs::last_write_time(p);
                     TDocasnaSlozka::Zapsat(p, "N1 X9\r\n");
                     fs::last_write_time(p, cas);
                 },
                 TZmenaZvenku::Zmenen, "N1 X9\r\n"});
#endif
    return z;
}

TEST(UlozeniProgramu, ZmenaZvenkuPredUlozenimIPriNem) {
    for (const bool priZapisu : {false, true}) {
        for (const TZasah& z : Zasahy()) {
            SCOPED_TRACE(std::string(z.nazev) + (priZapisu ? ", while written" : ", before the save"));
            TDocasnaSlozka slozka;
            const fs::path program = slozka / "program.nc";
            TDocasnaSlozka::Zapsat(program, Precteny);
            const std::optional<TOtiskSouboru> precteny = OtiskSouboru(program);
            ASSERT_TRUE(precteny);
            EXPECT_EQ(ZmenaZvenku(program, precteny), TZmenaZvenku::Zadna);
            if (!priZapisu) {
                z.udelat(program);
                EXPECT_EQ(ZmenaZvenku(program, precteny), z.zmena);
            }
            bool zmeneno = false;
            const auto prubeh = [&](std::size_t, std::size_t) {
                if (priZapisu && !zmeneno) z.udelat(program);
                zmeneno = true;
            };
            EXPECT_THROW(UlozitProgram(program, Okno, TKodovani::Utf8, precteny, prubeh), TZmenenoOdCteni);
            EXPECT_EQ(fs::exists(program), z.zmena != TZmenaZvenku::Zmizel);
            if (z.zmena != TZmenaZvenku::Zmizel) EXPECT_EQ(TDocasnaSlozka::Precist(program), z.soubor);
            // Nothing of the save is left beside it.
            EXPECT_EQ(std::distance(fs::directory_iterator(slozka.Cesta()), fs::directory_iterator()),
                      z.zmena == TZmenaZvenku::Zmizel ? 0 : 1);

            // Overwriting what is there now (the user's choice) writes, and the
            // fingerprint it gives back is the next save's.
            const TUlozeniProgramu u = UlozitProgram(program, Okno, TKodovani::Utf8, OtiskSouboru(program), {});
            EXPECT_EQ(TDocasnaSlozka::Precist(program), Okno);
            EXPECT_EQ(u.Otisk, OtiskSouboru(program));
            EXPECT_EQ(ZmenaZvenku(program, u.Otisk), TZmenaZvenku::Zadna);
            UlozitProgram(program, Precteny, TKodovani::Utf8, u.Otisk, {});
            EXPECT_EQ(TDocasnaSlozka::Precist(program), Precteny);
        }
    }
}

// Without a fingerprint (saved as another file, or a file that was no
// regular file) nothing is compared.
TEST(UlozeniProgramu, BezOtisku) {
    TDocasnaSlozka slozka;
    const fs::path program = slozka / "jiny.nc";
    TDocasnaSlozka::Zapsat(program, "cizi\r\n");
    EXPECT_EQ(ZmenaZvenku(program, std::nullopt), TZmenaZvenku::Zadna);
    UlozitProgram(program, Okno, TKodovani::Utf8, std::nullopt, {});
    EXPECT_EQ(TDocasnaSlozka::Precist(program), Okno);
}

}  // namespace
