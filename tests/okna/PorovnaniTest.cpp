// Compare with the original: the words that differ within a changed line;
// the rows of the program against its original after what a user does
// (typing, pasting, deleting lines, a block command, undo), which always agree
// with the margin's marks; F8 and Shift+F8 from change to change; and the
// side-by-side window, from which Enter leads to the line in the program.
#include "OknoProgramu.h"

#include "ui/Porovnani.h"
#include "ui/fPorovnani.h"
#include "ui_fPorovnani.h"

#include <QApplication>
#include <QClipboard>

#include <random>

namespace {

// The marked spans of a line, [thus].
std::string Oznacene(std::string_view text, const std::vector<std::pair<std::size_t, std::size_t>>& useky) {
    std::string v;
    std::size_t pozice = 0;
    for (const auto& [od, po] : useky) {
        v.append(text.substr(pozice, od - pozice)).append("[").append(text.substr(od, po - od)).append("]");
        pozice = po;
    }
    return v.append(text.substr(pozice));
}

TEST(Porovnani, ZmenenaSlova) {
    const struct {
        const char* a;
        const char* b;
        const char* oznaceneA;
        const char* oznaceneB;
    } pripady[] = {
        {"N10 G1 X5", "N20 G1 X5", "[N10] G1 X5", "[N20] G1 X5"},
        {"N10 GOTO 50", "N10 GOTO 45", "N10 GOTO [50]", "N10 GOTO [45]"},
        {"G1X10.5Y-3", "G1X10.5Y-4", "G1X10.5[Y-3]", "G1X10.5[Y-4]"},
        {"G0 X1 Y2", "G0 Y2", "G0 [X1 ]Y2", "G0 Y2"},
        {"N5 M30", "M30", "[N5 ]M30", "M30"},
        {"(HRUBOVÁNÍ)", "(DOKONČENÍ)", "([HRUBOVÁNÍ])", "([DOKONČENÍ])"},
        {"X1 Y2", "X1 Y2", "X1 Y2", "X1 Y2"},
    };
    for (const auto& p : pripady) {
        const TRozdilSlov r = RozdilSlov(p.a, p.b);
        EXPECT_EQ(Oznacene(p.a, r.A), p.oznaceneA) << p.a << " | " << p.b;
        EXPECT_EQ(Oznacene(p.b, r.B), p.oznaceneB) << p.a << " | " << p.b;
    }
}

class PorovnaniVOkne : public OknoProgramu {
protected:
    long Radku(TEditorProgramu& t) { return t.SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT); }
    // The rows: = equal, ~ changed, + added, - removed.
    std::string Radky() {
        const TPorovnani& p = HlavniForm->Porovnani();
        std::string s;
        for (std::size_t r = 0; r < p.Radku(); ++r) {
            const TPorovnani::TRadek radek = p.Radek(r);
            s += !radek.Puvodne ? '+' : !radek.Nyni ? '-' : p.VeZmene(r) ? '~' : '=';
        }
        return s;
    }
    // Every line of both texts once and in order, and the program's lines as
    // the margin marks them.
    void OveritShoduSeZnackami() {
        const TPorovnani& p = HlavniForm->Porovnani();
        std::size_t puvodne = 0, nyni = 0;
        for (std::size_t r = 0; r < p.Radku(); ++r) {
            const TPorovnani::TRadek radek = p.Radek(r);
            if (radek.Puvodne) {
                ASSERT_EQ(*radek.Puvodne, puvodne++) << "row " << r;
            }
            if (!radek.Nyni) continue;
            ASSERT_EQ(*radek.Nyni, nyni++) << "row " << r;
            const auto znacka = e().ZmenaRadku(*radek.Nyni);
            using Z = TEditorProgramu::TZmenaRadku;
            const Z ocekavana = !radek.Puvodne ? Z::Novy : p.VeZmene(r) ? Z::Zmeneny : Z::Zadna;
            ASSERT_EQ(znacka, ocekavana) << "line " << *radek.Nyni << " of:\n" << Text();
        }
        EXPECT_EQ(puvodne, std::size_t(Radku(*HlavniForm->memPuvodni())));
        EXPECT_EQ(nyni, std::size_t(Radku(e())));
    }
    long Pozice(int radek) { return e().SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, radek); }
};

const std::string Program = "%\r\nN10 G0 X0\r\nN20 G1 X10\r\nN30 G1 Y10\r\nN40 G1 X0\r\nM30\r\n";

// What the user does, and the rows of the comparison afterwards.
TEST_F(PorovnaniVOkne, RadkyPoUpravach) {
    Otevrit(Program);
    const struct {
        const char* krok;
        std::function<void()> provest;
        const char* radky;
        TPorovnani::TPocty pocty;
    } kroky[] = {
        {"nothing yet", [] {}, "=======", {}},
        {"renumber (F9)", [&] { Klavesa(Qt::Key_F9); }, "=~~~~==", {4, 0, 0}},
        {"undo", [&] { Klavesa(Qt::Key_Z, Qt::ControlModifier); }, "=======", {}},
        {"a line typed above line 3",
         [&] {
             Vybrat(Pozice(2), Pozice(2));
             QTest::keyClicks(&e(), "G4 X2\r");
         },
         "==+=====", {0, 1, 0}},
        {"line 4 deleted (Ctrl+L)",
         [&] {
             Vybrat(Pozice(4), Pozice(4));
             Klavesa(Qt::Key_L, Qt::ControlModifier);
         },
         "==+=-===", {0, 1, 1}},
        // Deleted and inserted by the paste: the lines pasted are new, those
        // they replaced are gone (as the margin marks them).
        {"three lines pasted over the last two",
         [&] {
             QApplication::clipboard()->setText(QStringLiteral("N35 X1\r\nN36 X2\r\nN37 X3\r\n"));
             Vybrat(Pozice(4), Pozice(6));
             Klavesa(Qt::Key_V, Qt::ControlModifier);
         },
         "==+=---+++=", {0, 4, 3}},
        {"typing within the first line", [&] { Vybrat(1, 1); QTest::keyClicks(&e(), " (P1)"); },
         "~=+=---+++=", {1, 4, 3}},
        {"all undone", [&] { while (e().MuzeZpet()) Klavesa(Qt::Key_Z, Qt::ControlModifier); }, "=======", {}},
    };
    for (const auto& k : kroky) {
        k.provest();
        EXPECT_EQ(Radky(), k.radky) << k.krok << ":\n" << Text();
        EXPECT_EQ(HlavniForm->Porovnani().Pocty(), k.pocty) << k.krok;
        OveritShoduSeZnackami();
    }
}

// Whatever is typed, pasted, cut and undone, in any order, the rows cover both
// texts in order and agree with the margin's marks.
TEST_F(PorovnaniVOkne, NahodneUpravySouhlasiSeZnackami) {
    std::string program;
    for (int i = 1; i <= 30; ++i) program += "N" + std::to_string(i * 10) + " G1 X" + std::to_string(i) + "\r\n";
    Otevrit(program);
    std::mt19937 nahoda(27);
    const auto pozice = [&] { return long(nahoda() % std::size_t(e().length() + 1)); };
    for (int krok = 0; krok < 120; ++krok) {
        switch (nahoda() % 6) {
            case 0: Vybrat(pozice(), pozice()); QTest::keyClicks(&e(), "Y7\r"); break;
            case 1: Vybrat(pozice(), pozice()); Klavesa(Qt::Key_L, Qt::ControlModifier); break;
            case 2: {
                const long od = pozice();
                Vybrat(od, std::min<long>(e().length(), od + long(nahoda() % 40)));
                Klavesa(Qt::Key_Delete);
                break;
            }
            case 3:
                QApplication::clipboard()->setText(QStringLiteral("A\r\nB\r\n"));
                Vybrat(pozice(), pozice());
                Klavesa(Qt::Key_V, Qt::ControlModifier);
                break;
            case 4: Klavesa(Qt::Key_Z, Qt::ControlModifier); break;
            case 5: Vybrat(0, 0); Klavesa(Qt::Key_F9); break;
        }
        SCOPED_TRACE(krok);
        OveritShoduSeZnackami();
        if (HasFatalFailure()) return;
    }
}

// F8 and Shift+F8: from the first line of one change to the next, passing the
// caret's own change; a removal leads to the line after it; a beep at the ends.
TEST_F(PorovnaniVOkne, ZmenaPoZmene) {
    Otevrit(Program + "N50 X1\r\nN60 X2\r\nN70 X3\r\n");
    // Line 2 changed, line 4 cut (the old line 5 is then line 4), lines 6 and 7 changed.
    Vybrat(Pozice(1) + 2, Pozice(1) + 2);
    QTest::keyClicks(&e(), "5");
    Vybrat(Pozice(3), Pozice(3));
    Klavesa(Qt::Key_L, Qt::ControlModifier);
    Vybrat(Pozice(5), Pozice(7));
    QTest::keyClicks(&e(), "N55 X9\rN65 X8\r");
    const struct {
        Qt::KeyboardModifiers klavesa;
        long radek;
    } kroky[] = {
        {Qt::NoModifier, 1}, {Qt::NoModifier, 3}, {Qt::NoModifier, 5}, {Qt::NoModifier, 5},
        {Qt::ShiftModifier, 3}, {Qt::ShiftModifier, 1}, {Qt::ShiftModifier, 1},
    };
    Vybrat(0, 0);
    for (const auto& k : kroky) {
        Klavesa(Qt::Key_F8, k.klavesa);
        EXPECT_EQ(Radek(), k.radek) << (k.klavesa == Qt::NoModifier ? "F8" : "Shift+F8");
    }
}

// The window (F7): the counts, the changed words of a row, F8 within it, and
// Enter leads to the row's line in the program.
TEST_F(PorovnaniVOkne, OknoPorovnani) {
    Otevrit(Program);
    Klavesa(Qt::Key_F9);
    // A line after line 5, typed after its end.
    Vybrat(Pozice(5) - 2, Pozice(5) - 2);
    QTest::keyClicks(&e(), "\rG4 X2");
    Vybrat(0, 0);
    bool spusteno = false;
    scenar.Dialogy.push_back([&](QDialog& d) {
        spusteno = true;
        auto& f = static_cast<TPorovnaniForm&>(d).Formular();
        EXPECT_EQ(f.lblPocetZmenenych->text(), QStringLiteral("4"));
        EXPECT_EQ(f.lblPocetPridanych->text(), QStringLiteral("1"));
        EXPECT_EQ(f.lblPocetOdebranych->text(), QStringLiteral("0"));
        TPohledPorovnani& p = *f.pohPorovnani;
        EXPECT_EQ(p.AktualniRadek(), 0u);
        f.btnDalsi->click();
        EXPECT_EQ(p.AktualniRadek(), 1u);
        const TPohledPorovnani::TStrana puvodni = p.Obsah(1, true), nyni = p.Obsah(1, false);
        EXPECT_EQ(puvodni.Text, QStringLiteral("N10 G0 X0"));
        EXPECT_EQ(nyni.Text, QStringLiteral("N5 G0 X0"));
        EXPECT_EQ(puvodni.Zmeny, (std::vector<std::pair<int, int>>{{0, 3}}));
        EXPECT_EQ(nyni.Zmeny, (std::vector<std::pair<int, int>>{{0, 2}}));
        // The added line: only on the program's side.
        EXPECT_EQ(p.Obsah(5, true).Cislo, 0u);
        EXPECT_EQ(p.Obsah(5, false).Text, QStringLiteral("G4 X2"));
        // Lines 2 to 5 changed and the line added after them are one change: none follows.
        f.btnDalsi->click();
        EXPECT_EQ(p.AktualniRadek(), 1u);
        for (int i = 0; i < 4; ++i) QTest::keyClick(&p, Qt::Key_Down);
        EXPECT_EQ(p.AktualniRadek(), 5u);
        QTest::keyClick(&p, Qt::Key_Return);
        return d.result();
    });
    Klavesa(Qt::Key_F7);
    EXPECT_TRUE(spusteno);
    EXPECT_EQ(Radek(), 5);
}

}  // namespace
