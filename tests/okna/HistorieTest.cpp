// One undo history of what is typed and what the block commands do, driven by
// the window's keys: every step is undone to the start and redone to the end,
// the text compared with the expected bytes after each; and the lines that
// differ from the original are marked after a command, its undo and its redo.
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

class Historie : public ::testing::Test {
protected:
    Historie() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd", "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n");
        beh = std::make_unique<TBehAplikace>(slozka);
    }
    ~Historie() override {
        HlavniForm->memProgram()->setModified(false);
        beh->Zavrit();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }
    void Otevrit(const std::string& obsah, const char* jmeno = "p.nc") {
        TDocasnaSlozka::Zapsat(slozka / jmeno, obsah);
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdU16String((slozka / jmeno).u16string()), 1});
        Klavesa(Qt::Key_O, Qt::ControlModifier);
    }
    TEditorProgramu& e() { return *HlavniForm->memProgram(); }
    void Klavesa(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        e().setFocus();
        QTest::keyClick(&e(), k, m);
        ZpracovatUdalosti();
    }
    // The caret at a line's end, or a selection of delka bytes from a line's start.
    void NaKonecRadku(int radek) {
        e().SendScintilla(QsciScintillaBase::SCI_GOTOLINE, radek);
        e().SendScintilla(QsciScintillaBase::SCI_LINEEND);
    }
    void Vybrat(int radek, long delka) {
        const long od = e().SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, radek);
        e().SendScintilla(QsciScintillaBase::SCI_SETSEL, od, od + delka);
    }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

TEST_F(Historie, PsaniAPrikazyTamAZpet) {
    const std::string puvodni = "%\r\nG0 X1\r\nG1 Y2 (CUT)\r\nM30\r\n";
    Otevrit(puvodni);
    ASSERT_EQ(e().Utf8(), puvodni);
    struct Krok {
        const char* nazev;
        std::function<void()> provest;
        std::string text;  // the text after the step
    };
    const Krok kroky[] = {
        {"introduce (Ctrl+Insert)", [&] { Klavesa(Qt::Key_Insert, Qt::ControlModifier); },
         "%\r\nN5 G0 X1\r\nN10 G1 Y2 (CUT)\r\nM30\r\n"},
        {"typing", [&] { NaKonecRadku(1); QTest::keyClicks(&e(), " F100"); },
         "%\r\nN5 G0 X1 F100\r\nN10 G1 Y2 (CUT)\r\nM30\r\n"},
        {"two characters deleted (Backspace)", [&] { Klavesa(Qt::Key_Backspace); Klavesa(Qt::Key_Backspace); },
         "%\r\nN5 G0 X1 F1\r\nN10 G1 Y2 (CUT)\r\nM30\r\n"},
        {"a line duplicated (Ctrl+D)", [&] { Klavesa(Qt::Key_Down); Klavesa(Qt::Key_D, Qt::ControlModifier); },
         "%\r\nN5 G0 X1 F1\r\nN10 G1 Y2 (CUT)\r\nN10 G1 Y2 (CUT)\r\nM30\r\n"},
        {"paste (Ctrl+V)",
         [&] {
             QApplication::clipboard()->setText(QStringLiteral("N99 GOTO 5\r\n"));
             Vybrat(4, 0);
             Klavesa(Qt::Key_V, Qt::ControlModifier);
         },
         "%\r\nN5 G0 X1 F1\r\nN10 G1 Y2 (CUT)\r\nN10 G1 Y2 (CUT)\r\nN99 GOTO 5\r\nM30\r\n"},
        {"renumber from 10, the reference with it (F9)",
         [&] { HlavniForm->Formular().speZacitOd->SetValue(10); Vybrat(0, 0); Klavesa(Qt::Key_F9); },
         "%\r\nN10 G0 X1 F1\r\nN15 G1 Y2 (CUT)\r\nN20 G1 Y2 (CUT)\r\nN25 GOTO 10\r\nM30\r\n"},
        {"renumber a selection that ends inside a line",
         [&] { HlavniForm->Formular().speZacitOd->SetValue(100); Vybrat(3, 6); Klavesa(Qt::Key_F9); },
         "%\r\nN10 G0 X1 F1\r\nN15 G1 Y2 (CUT)\r\nN100 G1\r\n Y2 (CUT)\r\nN25 GOTO 10\r\nM30\r\n"},
        {"remove (Ctrl+Delete)", [&] { Klavesa(Qt::Key_Delete, Qt::ControlModifier); },
         "%\r\n G0 X1 F1\r\n G1 Y2 (CUT)\r\n G1\r\nY2 (CUT)\r\n GOTO 10\r\nM30\r\n"},
        {"introduce from 100", [&] { Klavesa(Qt::Key_Insert, Qt::ControlModifier); },
         "%\r\nN100 G0 X1 F1\r\nN105 G1 Y2 (CUT)\r\nN110 G1\r\nN115 Y2 (CUT)\r\nN120 GOTO 10\r\nM30\r\n"},
        {"a line cut (Ctrl+L)", [&] { Vybrat(4, 0); Klavesa(Qt::Key_L, Qt::ControlModifier); },
         "%\r\nN100 G0 X1 F1\r\nN105 G1 Y2 (CUT)\r\nN110 G1\r\nN120 GOTO 10\r\nM30\r\n"},
    };
    for (const Krok& k : kroky) {
        k.provest();
        ASSERT_EQ(e().Utf8(), k.text) << k.nazev;
    }
    EXPECT_TRUE(HlavniForm->Zmeneno());
    // Back to the start, one step a key, and forward again by both keys of redo.
    for (std::size_t i = std::size(kroky); i-- > 0;) {
        Klavesa(Qt::Key_Z, Qt::ControlModifier);
        ASSERT_EQ(e().Utf8(), i > 0 ? kroky[i - 1].text : puvodni) << "undo of " << kroky[i].nazev;
    }
    EXPECT_FALSE(HlavniForm->Zmeneno());
    EXPECT_FALSE(e().MuzeZpet());
    for (std::size_t i = 0; i < std::size(kroky); ++i) {
        if (i % 2)
            Klavesa(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        else
            Klavesa(Qt::Key_Y, Qt::ControlModifier);
        ASSERT_EQ(e().Utf8(), kroky[i].text) << "redo of " << kroky[i].nazev;
    }
    EXPECT_FALSE(e().MuzeZnovu());
}

// The marks follow the text: a renumber marks its lines, a line typed above
// them marks only itself, and undo takes the marks back with the changes.
TEST_F(Historie, ZnackyZmenenychRadku) {
    Otevrit("%\r\nN10 G0\r\nN20 G1\r\nM30\r\n");
    using Z = TEditorProgramu::TZmenaRadku;
    const auto znacky = [&] {
        std::vector<Z> v;
        for (long r = 0; r < e().SendScintilla(QsciScintillaBase::SCI_GETLINECOUNT); ++r)
            v.push_back(e().ZmenaRadku(std::size_t(r)));
        return v;
    };
    const std::vector<Z> nic{Z::Zadna, Z::Zadna, Z::Zadna, Z::Zadna, Z::Zadna};
    const std::vector<Z> precislovano{Z::Zadna, Z::Zmeneny, Z::Zmeneny, Z::Zadna, Z::Zadna};
    EXPECT_EQ(znacky(), nic);
    Klavesa(Qt::Key_F9);  // N5, N10
    EXPECT_EQ(znacky(), precislovano);
    // A line typed above: the lines below keep their marks, the new one is new.
    Vybrat(1, 0);
    QTest::keyClicks(&e(), "G4\r");
    EXPECT_EQ(znacky(), (std::vector<Z>{Z::Zadna, Z::Novy, Z::Zmeneny, Z::Zmeneny, Z::Zadna, Z::Zadna}));
    Klavesa(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(znacky(), precislovano);
    Klavesa(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(znacky(), nic);
    Klavesa(Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(znacky(), precislovano);
    // The original itself has no marks.
    EXPECT_EQ(HlavniForm->memPuvodni()->ZmenaRadku(1), Z::Zadna);
}

// As painted: the words in their colours, the bars of changed and new lines
// in the margin. With TARVIK_SNIMEK=FILE.png the window is saved there (the
// picture of the coloured editor).
TEST_F(Historie, VykresleniBarevAZnacek) {
    Otevrit("%\r\nO1002 (VIKO LOZISKA)\r\nN10 G21 G40 G80 G90\r\nN20 T1 M6 (FREZA D10)\r\n"
            "N30 G54 G00 X0 Y0 S3000 M3\r\nN40 G43 H1 Z50. M8\r\nN50 #1=3\r\nN60 G01 Z-1. F150\r\n"
            "N70 G02 X30. Y25. I-10. J0\r\nN80 #1=#1-1\r\nN90 IF [#1 GT 0] GOTO 60\r\n"
            "N100 G71 P110 Q130 U0.5 F0.25\r\nN110 G00 X20.\r\nN120 G01 Z-20. F0.2\r\nN130 X40.\r\n"
            "N140 G70 P110 Q130\r\nN150 M30\r\n%\r\n",
            "viko.nc");
    HlavniForm->resize(760, 640);
    const auto zacatek = [&](int r) { return e().SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, r); };
    e().SendScintilla(QsciScintillaBase::SCI_SETSEL, zacatek(3), zacatek(6));
    Klavesa(Qt::Key_F9);
    Vybrat(16, 0);
    QTest::keyClicks(&e(), "G4 X2\r");
    ZpracovatUdalosti();
    const QImage obraz = e().viewport()->grab().toImage();
    const int vyska = int(e().SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 0));
    const int xZnacky = int(e().SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0)) + 3;
    using Z = TEditorProgramu::TZmenaRadku;
    for (int r = 0; r < 19; ++r) {
        const Z z = r >= 3 && r <= 5 ? Z::Zmeneny : r == 16 ? Z::Novy : Z::Zadna;
        const QColor barva = obraz.pixelColor(xZnacky, r * vyska + vyska / 2);
        EXPECT_EQ(barva == TEditorProgramu::BarvaZmeny(z), z != Z::Zadna) << "line " << r;
    }
    // Ink of a word's colour on the line of its word (the glyphs are smoothed: near it).
    const auto barvaNaRadku = [&](int r, TDruhSlova druh) {
        const QColor c = TEditorProgramu::BarvaSlova(druh);
        for (int y = r * vyska; y < (r + 1) * vyska; ++y)
            for (int x = xZnacky; x < obraz.width(); ++x) {
                const QColor p = obraz.pixelColor(x, y);
                if (std::abs(p.red() - c.red()) + std::abs(p.green() - c.green()) + std::abs(p.blue() - c.blue()) < 60)
                    return true;
            }
        return false;
    };
    EXPECT_TRUE(barvaNaRadku(2, TDruhSlova::CisloBloku));
    EXPECT_TRUE(barvaNaRadku(2, TDruhSlova::KodG));
    EXPECT_TRUE(barvaNaRadku(10, TDruhSlova::Odkaz));
    EXPECT_FALSE(barvaNaRadku(6, TDruhSlova::KodG));
    if (const QString soubor = qEnvironmentVariable("TARVIK_SNIMEK"); !soubor.isEmpty())
        HlavniForm->grab().save(soubor);
}

}  // namespace
