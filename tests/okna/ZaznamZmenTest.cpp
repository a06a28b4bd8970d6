// The record of a command's changes: the text before the command comes back
// from the text after it and the record, and the text after it from the
// record turned round, for any two texts; the record of what commands do
// keeps only the changed bytes; the added and removed lines follow a line back.
#include "ui/ZaznamZmen.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

std::string Pouzit(const TZaznamZmen& z, std::string_view zobrazeny, TZaznamZmen* opacny = nullptr) {
    std::string v;
    TZaznamZmen o = z.Pouzit(zobrazeny, [&](std::string_view kus) { v += kus; });
    if (opacny) *opacny = std::move(o);
    return v;
}

// Lines as the area counts them: a break at the very end opens one more, empty.
std::ptrdiff_t Radku(std::string_view t) { return std::ptrdiff_t(KoncuRadku(t, 0, t.size())) + 1; }

// Both ways, and the lines added and removed add up.
void OveritObeStrany(const std::string& predtim, const std::string& potom, const std::string& nazev) {
    std::vector<TUpravaRadku> radky;
    const TZaznamZmen z = TZaznamZmen::Rozdil(predtim, potom, &radky);
    EXPECT_EQ(z.DelkaZobrazene(), potom.size()) << nazev;
    EXPECT_EQ(z.DelkaJine(), predtim.size()) << nazev;
    TZaznamZmen opacny;
    ASSERT_EQ(Pouzit(z, potom, &opacny), predtim) << nazev;
    EXPECT_EQ(Pouzit(opacny, predtim), potom) << nazev;
    std::ptrdiff_t pridano = 0;
    for (const TUpravaRadku& u : radky) pridano += u.Pridano;
    EXPECT_EQ(pridano, Radku(potom) - Radku(predtim)) << nazev;
}

TEST(ZaznamZmen, ObeStranyATelaPrikazu) {
    struct Pripad {
        const char* nazev;
        std::string predtim, potom;
        std::size_t nejvicUseku;  // the record keeps no more spans than this
        std::size_t nejvicJinych;  // ... nor more bytes of the other text
    };
    const std::string dlouhy(70000, 'X');
    const Pripad pripady[] = {
        {"renumber", "%\r\nN10 G0 X1\r\nN20 G1 Y2\r\nN30 M30\r\n", "%\r\nN5 G0 X1\r\nN10 G1 Y2\r\nN15 M30\r\n", 3, 6},
        {"renumber, numbers alone on lines", "N10\r\nN20\r\nN990\r\n", "N5\r\nN10\r\nN1000\r\n", 3, 5},
        {"remove", "N10 G0\r\n:20 T1\r\nN30 M30", " G0\r\n T1\r\n M30", 3, 9},
        {"introduce", "%\r\nG0 X1\r\nG1 Y2\r\nM30\r\n", "%\r\nN5 G0 X1\r\nN10 G1 Y2\r\nM30\r\n", 2, 0},
        {"a reference after the number", "N10 G1\r\nN20 GOTO 10\r\n", "N5 G1\r\nN10 GOTO 5\r\n", 3, 8},
        {"lone breaks become CR LF", "A\nB\rC\n", "A\r\nB\r\nC\r\n", 3, 0},
        {"a selection that ended inside a line gains a break",
         "N30 X1 Y2\r\nN40 G1\r\n", "N5 X1\r\n Y2\r\nN40 G1\r\n", 2, 5},
        {"equal texts", "N10 X1\r\n", "N10 X1\r\n", 0, 0},
        {"from nothing", "", "N5 X1\r\n", 1, 0},
        {"to nothing", "N5 X1\r\n", "", 1, 7},
        {"a line added", "A1\r\nB2\r\nC3\r\n", "A1\r\nNEW LINE HERE AND LONGER THAN THE THRESHOLD\r\nB2\r\nC3\r\n", 1, 0},
        {"a line removed", "A1\r\nREMOVED LINE, LONGER THAN THE THRESHOLD TOO\r\nB2\r\n", "A1\r\nB2\r\n", 1, 45},
        {"NUL bytes", std::string("N1 \0A\r\n", 7), std::string("N5 \0A\r\n", 7), 1, 1},
        {"a line longer than the look-ahead", "N1 " + dlouhy + "\r\nN2 A\r\n", "N5 " + dlouhy + "\r\nN10 A\r\n", 2, 3},
        {"all different", "abc\r\ndef", "xyz\r\nuvw\r\n", 4, 8},
    };
    for (const auto& p : pripady) {
        OveritObeStrany(p.predtim, p.potom, p.nazev);
        const TZaznamZmen z = TZaznamZmen::Rozdil(p.predtim, p.potom);
        EXPECT_LE(z.Useku(), p.nejvicUseku) << p.nazev;
        // A record of a few changes takes about what they changed, not the text.
        EXPECT_LE(z.Bajtu(), 4 * z.Useku() + p.nejvicJinych) << p.nazev;
    }
}

// Random texts of NC-like lines and random changes of every kind a command or
// a paste could make, line breaks of all three kinds included.
TEST(ZaznamZmen, NahodneTexty) {
    std::mt19937 nahoda(20240521);
    const auto cislo = [&](int od, int po) { return std::uniform_int_distribution<int>(od, po)(nahoda); };
    const std::string zlomy[] = {"\r\n", "\n", "\r"};
    const std::string slova[] = {"N10", "N20 ", "G1", " X1.5", " Y-2", "(NOTE)", "M30", "%", "GOTO 10", " ", "\0"};
    for (int pokus = 0; pokus < 400; ++pokus) {
        std::string predtim;
        for (int r = cislo(0, 30); r > 0; --r) {
            for (int s = cislo(0, 5); s > 0; --s) predtim += slova[cislo(0, 10)];
            predtim += zlomy[cislo(0, 10) < 8 ? 0 : cislo(1, 2)];
        }
        std::string potom = predtim;
        for (int z = cislo(0, 8); z > 0; --z) {
            const std::size_t p = potom.empty() ? 0 : std::size_t(cislo(0, int(potom.size())));
            switch (cislo(0, 4)) {
                case 0: potom.insert(p, std::to_string(cislo(0, 99999))); break;
                case 1: potom.erase(p, std::size_t(cislo(0, 6))); break;
                case 2: potom.insert(p, zlomy[cislo(0, 2)]); break;
                case 3: potom.insert(p, "N" + std::to_string(cislo(1, 9999)) + " "); break;
                default: if (p < potom.size()) potom[p] = char(cislo(32, 126)); break;
            }
        }
        OveritObeStrany(predtim, potom, "attempt " + std::to_string(pokus));
        if (testing::Test::HasFailure()) break;
    }
}

// A line after an edit is followed back to the line before it, or is new.
TEST(ZaznamZmen, UpravaRadkuVedeZpet) {
    struct Pripad {
        const char* nazev;
        TUpravaRadku uprava;
        std::vector<std::optional<std::size_t>> predtim;  // for the lines 0, 1, 2, ... after it
    };
    const auto n = std::nullopt;
    const Pripad pripady[] = {
        {"two lines typed behind line 1", {1, 2, 0, false}, {0, 1, n, n, 2, 3}},
        {"two lines pasted above line 1", {1, 2, 0, true}, {0, n, n, 1, 2}},
        {"line 2 removed (joined to line 1)", {1, -1, 0, false}, {0, 1, 3, 4}},
        {"lines 1 and 2 removed whole", {1, -2, 0, true}, {0, 3, 4}},
        {"a change of two lines into three keeps two", {0, 1, 1, false}, {0, 1, n, 2}},
    };
    for (const auto& p : pripady)
        for (std::size_t r = 0; r < p.predtim.size(); ++r)
            EXPECT_EQ(p.uprava.Predtim(r), p.predtim[r]) << p.nazev << ", line " << r;
}

}  // namespace
