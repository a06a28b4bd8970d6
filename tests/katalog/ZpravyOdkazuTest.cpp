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

// A program with a reference of every state but one: resolved, missing, no
// number, on two blocks.
const TProgram Program({
    "N1 GOTO 2",         // line 1: to line 2
    "N2 G71 P9 Q3 U1.",  // line 2: P missing, Q to line 3
    "N3 GOTO #1",        // line 3: no number
    "N5 X",
    "N5 M99 P5",         // line 5: two blocks carry 5
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
    // Renumbered 10, 20, ...: GOTO 2 and Q3 follow, the others stay and are named.
    EXPECT_EQ(ZpravaOdkazu(PrecislovatOdkazy(Program.pohledy, Iso, {10, 10, 9999, true}), true),
              u"Aktualizováno odkazů na čísla bloků: 2.\rOdkazy bez jednoznačného cíle: 3.\r"
              u"Řádek 2 (G71 P9): blok s tímto číslem v programu není.\r"
              u"Řádek 3 (GOTO #1): cíl není zapsán číslem.\r"
              u"Řádek 5 (M99 P5): toto číslo má v programu více bloků.");
    // The sequence starts again after 20: the target's new number 10 is also line 1's. The
    // reference reads as the line does now.
    const TProgram dokola({"N1 GOTO 3", "N2 X", "N3 Y"});
    EXPECT_EQ(ZpravaOdkazu(PrecislovatOdkazy(dokola.pohledy, Iso, {10, 10, 20, true}), true),
              u"Aktualizováno odkazů na čísla bloků: 1.\rOdkazy bez jednoznačného cíle: 1.\r"
              u"Řádek 1 (GOTO 10): po přečíslování má toto číslo více bloků.");
    // Introducing: nothing is updated; the window shows the first lines only.
    EXPECT_EQ(ZpravaOdkazu(NajitOdkazy(Program.pohledy, Iso), false, 1),
              u"Odkazy bez jednoznačného cíle: 3.\rŘádek 2 (G71 P9): blok s tímto číslem v programu není.\r\u2026");
    // Everything resolved: the count alone.
    const TProgram dobry({"N1 GOTOF N2", "N2 X"});
    EXPECT_EQ(ZpravaOdkazu(PrecislovatOdkazy(dobry.pohledy, Iso, {5, 5, 9999, true}), true),
              u"Aktualizováno odkazů na čísla bloků: 1.");
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
    EXPECT_EQ(ZpravaOdkazu(v, false),
              u"Odkazy bez jednoznačného cíle: 1.\rLine 1 (GOTO #5): the target is not written as a number.");
    ObnovitVestaveneTexty();
    EXPECT_EQ(rsRADEK, u"Řádek");
}

}  // namespace
