#include "katalog/ZpravyOdkazu.h"
#include "katalog/convar.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

namespace {

const TZnakyOdkazu Iso{":", "N", "%", "("};

struct TProgram {
    explicit TProgram(std::vector<std::string> r) : radky(std::move(r)), pohledy(radky.begin(), radky.end()) {}
    std::vector<std::string> radky;
    std::vector<std::string_view> pohledy;
};

// A program with a reference of every state a listing knows but one:
// resolved, missing, no number, on two blocks.
const TProgram Program({
    "N1 GOTO 2",         // line 1: to line 2
    "N2 G71 P9 Q3 U1.",  // line 2: P missing, Q to line 3
    "N3 GOTO #1",        // line 3: no number
    "N5 X",
    "N5 M99 P5",         // line 5: two blocks carry 5
    "M30",               // a main program: M99 P jumps within it
});

TEST(ZpravyOdkazu, PredOdstranenim) {
    const TVysledekOdkazu v = NajitOdkazy(Program.pohledy, Iso);
    EXPECT_EQ(ZpravaOdkazyPredOdstranenim(v, true),
              u"Program obsahuje odkazy na čísla bloků: 5x.\rOdkazy jsou na řádcích: 1, 2, 3, 5\r"
              u"Odstraněním čísel bloků přestanou odkazy platit.\rPřesto čísla bloků odstranit?");
    // The batch tool refuses without the question; a long list ends in "…".
    EXPECT_EQ(ZpravaOdkazyPredOdstranenim(v, false, 2),
              u"Program obsahuje odkazy na čísla bloků: 5x.\rOdkazy jsou na řádcích: 1, 2, \u2026\r"
              u"Odstraněním čísel bloků přestanou odkazy platit.");
}

TEST(ZpravyOdkazu, PoPrikazu) {
    // Renumbered 10, 20, ...: GOTO 2 and Q3 follow, the others stay and are
    // named; P5, on two blocks before, now finds none.
    EXPECT_EQ(ZpravaOdkazu(PrecislovatOdkazy(Program.pohledy, Iso, {10, 10, 9999, true}), TZpravaPo::Aktualizaci),
              u"Aktualizováno odkazů na čísla bloků: 2.\rOdkazy, které nyní vedou jinam: 1.\r"
              u"Řádek 5 (M99 P5): po přečíslování nevede na žádný blok.\r"
              u"Odkazy bez jednoznačného cíle: 2.\r"
              u"Řádek 2 (G71 P9): blok s tímto číslem v programu není.\r"
              u"Řádek 3 (GOTO #1): cíl není zapsán číslem.");
    // The sequence starts again after 20: the target's new number 10 is also line 1's. The
    // reference reads as the line does now.
    const TProgram dokola({"N1 GOTO 3", "N2 X", "N3 Y"});
    EXPECT_EQ(ZpravaOdkazu(PrecislovatOdkazy(dokola.pohledy, Iso, {10, 10, 20, true}), TZpravaPo::Aktualizaci),
              u"Aktualizováno odkazů na čísla bloků: 1.\rOdkazy bez jednoznačného cíle: 1.\r"
              u"Řádek 1 (GOTO 10): po přečíslování má toto číslo více bloků.");
    // Introducing: nothing is updated; the window shows the first lines only.
    EXPECT_EQ(ZpravaOdkazu(NajitOdkazy(Program.pohledy, Iso), TZpravaPo::Vypisu, 1),
              u"Odkazy bez jednoznačného cíle: 3.\rŘádek 2 (G71 P9): blok s tímto číslem v programu není.\r\u2026");
    // Everything resolved: the count alone.
    const TProgram dobry({"N1 GOTOF N2", "N2 X"});
    EXPECT_EQ(ZpravaOdkazu(PrecislovatOdkazy(dobry.pohledy, Iso, {5, 5, 9999, true}), TZpravaPo::Aktualizaci),
              u"Aktualizováno odkazů na čísla bloků: 1.");
}

// What each command tells of the references whose target it changed: the
// lines they now reach, and before.
TEST(ZpravyOdkazu, ZmenyCilu) {
    const TProgram bezCisel({"G00 X0", "GOTO 3", "G01 X5", "GOTO 9"});
    const TProgram cisla({"N1 X", "N2 GOTO 1", "N3 GOTO 4", "N4 Y", "M30"});
    const TProgram podprogram({"O2000", "N1 X", "N2 M99 P1"});
    TZavedeniOdkazu zavedeni;
    zavedeni.Cislovani = {1, 1, 9999, true};
    struct Pripad {
        const char* nazev;
        TVysledekOdkazu vysledek;
        TZpravaPo po;
        std::u16string zprava;
    };
    const Pripad pripady[] = {
        {"introducing: GOTO 3 now reaches the third line", ZavestOdkazy(bezCisel.pohledy, Iso, zavedeni), TZpravaPo::Zavedeni,
         u"Odkazy, které nyní vedou na nově očíslované bloky: 1.\r"
         u"Řádek 2 (GOTO 3): vede na nově očíslovaný blok na řádku 3.\r"
         u"Odkazy bez jednoznačného cíle: 1.\r"
         u"Řádek 4 (GOTO 9): blok s tímto číslem v programu není."},
        // Kept from 2 by 1: N1 becomes N2, N3 becomes N4.
        {"kept references", PrecislovatOdkazy(cisla.pohledy, Iso, {2, 1, 9999, true}, std::nullopt, false), TZpravaPo::Ponechani,
         u"Odkazy, které nyní vedou jinam: 2.\r"
         u"Řádek 2 (GOTO 1): po přečíslování nevede na žádný blok (dříve na řádku 1).\r"
         u"Řádek 3 (GOTO 4): vede na jiný blok, na řádku 3 (dříve na řádku 4)."},
        {"a subprogram's return", NajitOdkazy(podprogram.pohledy, Iso), TZpravaPo::Vypisu,
         u"Odkazy bez jednoznačného cíle: 1.\r"
         u"Řádek 3 (M99 P1): vrací se do volajícího programu, který v souboru není."},
    };
    for (const auto& p : pripady) EXPECT_EQ(ZpravaOdkazu(p.vysledek, p.po), p.zprava) << p.nazev;
    // Every family of the list names its own entry of the catalogue.
    for (const TPopisRodiny& r : RodinyOdkazu) {
        const TPolozkaKatalogu* p = PolozkaKatalogu(r.KlicNazvu);
        ASSERT_NE(p, nullptr) << r.KlicNazvu;
        EXPECT_EQ(NazevRodiny(r.Rodina), *p->Text);
        for (const TPopisRodiny& jina : RodinyOdkazu) {
            if (jina.Rodina != r.Rodina) {
                EXPECT_NE(jina.KlicNazvu, r.KlicNazvu);
            }
        }
    }
}

TEST(ZpravyOdkazu, Vypis) {
    const std::vector<std::u16string> ocekavany = {
        u"Řádek\tOdkaz\tCíl\tŘádek cíle",
        u"1\tGOTO\t2\t2",
        u"2\tG71 P\t9\tblok s tímto číslem v programu není",
        u"2\tG71 Q\t3\t3",
        u"3\tGOTO\t#1\tcíl není zapsán číslem",
        u"5\tM99 P\t5\ttoto číslo má v programu více bloků",
        u"Počet odkazů na čísla bloků: 5.",
    };
    EXPECT_EQ(VypisOdkazu(NajitOdkazy(Program.pohledy, Iso)), ocekavany);
}

// The words come from the catalogue, so the catalogue pass translates them.
TEST(ZpravyOdkazu, SlovaZKatalogu) {
    rsRADEK = u"Line";
    rsODKAZNENICISLO = u"the target is not written as a number";
    const TProgram p({"GOTO #5"});
    const TVysledekOdkazu v = NajitOdkazy(p.pohledy, Iso);
    EXPECT_EQ(VypisOdkazu(v)[1], u"1\tGOTO\t#5\tthe target is not written as a number");
    EXPECT_EQ(ZpravaOdkazu(v, TZpravaPo::Vypisu),
              u"Odkazy bez jednoznačného cíle: 1.\rLine 1 (GOTO #5): the target is not written as a number.");
    ObnovitVestaveneTexty();
    EXPECT_EQ(rsRADEK, u"Řádek");
}

}  // namespace
