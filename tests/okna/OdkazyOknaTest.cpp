// References to block numbers in the window: renumbering (the whole program
// or a selection) takes them along when the switch is on and leaves them when
// it is off, removing asks first, introducing and renumbering tell what became
// of them, and the switch is kept in the store.
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"
#include "engine/Odkazy.h"
#include "platform/RegistrSoubor.h"
#include "ui/Prvky.h"

#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr char16_t Klic[] = u"\\Software\\Orvendal\\Tarvik";

std::string Precist(const fs::path& soubor) {
    std::ifstream f(soubor, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

// The lines of a text with CR LF or LF breaks.
std::vector<std::string> Radky(std::string_view text) {
    std::vector<std::string> radky;
    while (!text.empty()) {
        const std::size_t konec = text.find('\n');
        std::string_view r = text.substr(0, konec);
        if (r.ends_with('\r')) r.remove_suffix(1);
        radky.emplace_back(r);
        if (konec == std::string_view::npos) break;
        text.remove_prefix(konec + 1);
    }
    return radky;
}

// Each reference of a text as the lathe and milling type reads it: its line
// and the line of the block it leads to (npos: none, or no single one).
std::vector<std::pair<std::size_t, std::size_t>> Cile(std::string_view text) {
    const std::vector<std::string> radky = Radky(text);
    const std::vector<std::string_view> pohledy(radky.begin(), radky.end());
    const TVysledekOdkazu v = NajitOdkazy(pohledy, TZnakyOdkazu{":", "N", "%", "("});
    std::vector<std::pair<std::size_t, std::size_t>> cile;
    for (const TOdkaz& o : v.Odkazy)
        cile.emplace_back(o.Radek, o.Stav == TStavOdkazu::Vyreseny ? o.CilovyRadek : std::string_view::npos);
    return cile;
}

class OdkazyOkna : public ::testing::Test {
protected:
    OdkazyOkna() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd", "ISO\t.nc\t:\tN\t%\tM30\t(\t\r\n");
    }
    ~OdkazyOkna() override {
        if (beh) {
            if (HlavniForm) HlavniForm->memProgram()->setModified(false);
            beh->Zavrit();
        }
        fs::current_path(fs::temp_directory_path());
    }

    void Spustit() { beh = std::make_unique<TBehAplikace>(slozka); }
    Ui::THlavniForm& ui() { return HlavniForm->Formular(); }
    std::string Text() const { return std::string(HlavniForm->memProgram()->Utf8()); }
    std::vector<std::string> RadkyTextu() const { return Radky(HlavniForm->memProgram()->Utf8()); }
    void Otevrit(const std::string& obsah) {
        HlavniForm->memProgram()->setModified(false);  // no question before opening
        TDocasnaSlozka::Zapsat(slozka / "p.nc", obsah);
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdU16String((slozka / "p.nc").u16string()), 1});
        HlavniForm->aOtevritExecute();
        scenar.Zpravy.clear();
    }
    void Cislovani(int od, int prirustek) {
        ui().speZacitOd->SetValue(od);
        ui().spePrirustek->SetValue(prirustek);
    }
    // Selects the bytes from the line that begins with prvni to the end of the
    // line that begins with posledni, its break included.
    void VybratRadky(const std::string& prvni, const std::string& posledni) {
        const std::string text = Text();
        const std::size_t od = text.find("\n" + prvni) + 1;
        const std::size_t po = text.find('\n', text.find("\n" + posledni) + 1) + 1;
        ASSERT_GT(od, 0u);
        ASSERT_GT(po, od);
        HlavniForm->memProgram()->SendScintilla(QsciScintillaBase::SCI_SETSEL, od, po);
    }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

const std::string Soustruh = Precist(fs::path(TARVIK_DATA_DIR) / "soustruh_g71.nc");
const std::string Makro = Precist(fs::path(TARVIK_DATA_DIR) / "makro_skoky.nc");

// The real-shaped programs renumbered, whole and in part: every reference
// names afterwards the block it named before (the same line), written as the
// new number, in one undo step; with the switch off the references stay as
// they were and point elsewhere.
TEST_F(OdkazyOkna, PrecislovaniVzorovychProgramu) {
    struct Pripad {
        const char* nazev;
        const std::string& program;
        int od, prirustek;
        const char* prvniVybrany;     // the selection's first and last line (none: the whole program)
        const char* posledniVybrany;
        bool aktualizovat;
        // Lines of the result (from 1) and what they read.
        std::vector<std::pair<std::size_t, std::string>> radky;
        QString zprava;  // the report, empty for none
        QMessageBox::Icon ikona = QMessageBox::Information;
    };
    const Pripad pripady[] = {
        {"lathe, whole", Soustruh, 5, 5, nullptr, nullptr, true,
         {{11, "N40 G71 P45 Q85 U0.4 W0.1 F0.25"}, {12, "N45 G00 G42 X18."}, {20, "N85 G01 X50. G40"},
          {25, "N110 G70 P45 Q85"}},
         "Aktualizováno odkazů na čísla bloků: 4."},
        // The profile alone: the cycles outside the selection follow it.
        {"lathe, the profile selected", Soustruh, 900, 10, "N90 ", "N170 ", true,
         {{11, "N80 G71 P900 Q980 U0.4 W0.1 F0.25"}, {12, "N900 G00 G42 X18."}, {20, "N980 G01 X50. G40"},
          {25, "N220 G70 P900 Q980"}},
         "Aktualizováno odkazů na čísla bloků: 4."},
        // Kept: N90 now stands on line 21, and no block is N170.
        {"lathe, switch off", Soustruh, 5, 5, nullptr, nullptr, false,
         {{11, "N40 G71 P90 Q170 U0.4 W0.1 F0.25"}, {25, "N110 G70 P90 Q170"}},
         "Odkazy, které nyní vedou jinam: 4.\r"
         "Řádek 11 (G71 P90): vede na jiný blok, na řádku 21 (dříve na řádku 12).\r"
         "Řádek 11 (G71 Q170): po přečíslování nevede na žádný blok (dříve na řádku 20).\r"
         "Řádek 25 (G70 P90): vede na jiný blok, na řádku 21 (dříve na řádku 12).\r"
         "Řádek 25 (G70 Q170): po přečíslování nevede na žádný blok (dříve na řádku 20).",
         QMessageBox::Warning},
        {"macro, whole", Makro, 5, 5, nullptr, nullptr, true,
         {{10, "N35 M97 P85 (JEDNA DIRA)"}, {12, "N45 IF [#1 LT 6] GOTO 30"}, {14, "N55 IF [#100 GE 20] GOTO 75"},
          {17, "N70 M99 P15"}, {20, "N85 G83 Z-25. R2. Q3. F120"}},
         "Aktualizováno odkazů na čísla bloků: 4."},
        // The local subprogram alone: its call follows it, the other jumps keep theirs.
        {"macro, the subprogram selected", Makro, 600, 10, "N500 ", "N520 ", true,
         {{10, "N70 M97 P600 (JEDNA DIRA)"}, {12, "N90 IF [#1 LT 6] GOTO 60"}, {20, "N600 G83 Z-25. R2. Q3. F120"}},
         "Aktualizováno odkazů na čísla bloků: 1."},
        {"macro, switch off", Makro, 5, 5, nullptr, nullptr, false,
         {{10, "N35 M97 P500 (JEDNA DIRA)"}, {12, "N45 IF [#1 LT 6] GOTO 60"}, {17, "N70 M99 P30"}},
         "Odkazy, které nyní vedou jinam: 4.\r"
         "Řádek 10 (M97 P500): po přečíslování nevede na žádný blok (dříve na řádku 20).\r"
         "Řádek 12 (GOTO 60): vede na jiný blok, na řádku 15 (dříve na řádku 9).\r"
         "Řádek 14 (GOTO 200): po přečíslování nevede na žádný blok (dříve na řádku 18).\r"
         "Řádek 17 (M99 P30): vede na jiný blok, na řádku 9 (dříve na řádku 6).",
         QMessageBox::Warning},
    };
    Spustit();
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        ui().chkAktualizovatOdkazy->setChecked(p.aktualizovat);
        Cislovani(p.od, p.prirustek);
        Otevrit(p.program);
        const std::string pred = Text();
        const auto cilePred = Cile(pred);
        ASSERT_GE(cilePred.size(), 4u);
        if (p.prvniVybrany) VybratRadky(p.prvniVybrany, p.posledniVybrany);

        HlavniForm->aPrecislovatExecute();
        const std::vector<std::string> radky = RadkyTextu();
        for (const auto& [radek, obsah] : p.radky) {
            ASSERT_LT(radek - 1, radky.size());
            EXPECT_EQ(radky[radek - 1], obsah) << "line " << radek;
        }
        if (p.aktualizovat) {
            EXPECT_EQ(Cile(Text()), cilePred);
        } else {
            EXPECT_NE(Cile(Text()), cilePred);
        }
        if (p.zprava.isEmpty()) {
            EXPECT_TRUE(scenar.Zpravy.empty());
        } else {
            ASSERT_EQ(scenar.Zpravy.size(), 1u);
            EXPECT_EQ(scenar.Zpravy[0].Ikona, p.ikona);
            EXPECT_EQ(scenar.Zpravy[0].Text, p.zprava);
        }
        // One step back gives the program as it was, references and all.
        HlavniForm->memProgram()->undo();
        EXPECT_EQ(Text(), pred);
    }
}

// A selection that starts or ends inside a line: the references in the
// line's other part, outside the selection, follow their blocks too.
TEST_F(OdkazyOkna, VyberUprostredRadku) {
    struct Pripad {
        const char* nazev;
        std::string program;
        int od, po;  // the selected bytes
        std::string text;
    };
    const Pripad pripady[] = {
        {"ends inside a line", "N1 X\r\nN2 GOTO 1\r\n", 0, 3, "N5 \r\nX\r\nN2 GOTO 5\r\n"},
        {"ends before a reference", "N7 X\r\nN8 GOTO 7\r\n", 0, 9, "N5 X\r\nN10 \r\nGOTO 5\r\n"},
        {"starts inside a line", "N1 GOTO 2\r\nN2 X\r\n", 3, 17, "N1 GOTO 5\r\nN5 X\r\n"},
        {"the jump before the selection", "N1 GOTO 3\r\nN2 X\r\nN3 Y\r\n", 11, 27,
         "N1 GOTO 10\r\nN5 X\r\nN10 Y\r\n"},
    };
    Spustit();
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Otevrit(p.program);
        HlavniForm->memProgram()->SendScintilla(QsciScintillaBase::SCI_SETSEL, p.od, p.po);
        HlavniForm->aPrecislovatExecute();
        EXPECT_EQ(Text(), p.text);
    }
}

// References that cannot follow their blocks are told with their lines, and
// left as they are; the others are updated all the same.
TEST_F(OdkazyOkna, OdkazyBezCileSeOhlasi) {
    Spustit();
    Cislovani(10, 10);
    Otevrit("%\r\nN1 GOTO 2\r\nN2 GOTO 7\r\nN3 GOTO #1\r\nN4 M99 P3 (GOTO 9)\r\nM30\r\n");
    HlavniForm->aPrecislovatExecute();
    EXPECT_EQ(Text(), "%\r\nN10 GOTO 20\r\nN20 GOTO 7\r\nN30 GOTO #1\r\nN40 M99 P30 (GOTO 9)\r\nM30\r\n");
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Warning);
    EXPECT_EQ(scenar.Zpravy[0].Text,
              "Aktualizováno odkazů na čísla bloků: 2.\rOdkazy bez jednoznačného cíle: 2.\r"
              "Řádek 3 (GOTO 7): blok s tímto číslem v programu není.\rŘádek 4 (GOTO #1): cíl není zapsán číslem.");
}

// A program without references renumbers without a word, as it always did.
TEST_F(OdkazyOkna, BezOdkazuBezZpravy) {
    Spustit();
    for (const bool aktualizovat : {true, false}) {
        ui().chkAktualizovatOdkazy->setChecked(aktualizovat);
        Otevrit("N1 G0 X0 (GOTO 1)\r\nN2 M98 P1\r\nN3 G76 P2 Q3\r\n");
        HlavniForm->aPrecislovatExecute();
        EXPECT_EQ(Text(), "N5 G0 X0 (GOTO 1)\r\nN10 M98 P1\r\nN15 G76 P2 Q3\r\n");
        EXPECT_TRUE(scenar.Zpravy.empty());
    }
}

// Removing the numbers of a program with references asks first, with their
// count and lines: No leaves the text untouched, Yes removes the numbers.
TEST_F(OdkazyOkna, OdstraneniSeZepta) {
    Spustit();
    const QString otazka =
        "Program obsahuje odkazy na čísla bloků: 4x.\rOdkazy jsou na řádcích: 11, 25\r"
        "Odstraněním čísel bloků přestanou odkazy platit.\rPřesto čísla bloků odstranit?";
    for (const auto odpoved : {QMessageBox::No, QMessageBox::Yes}) {
        Otevrit(Soustruh);
        const std::string pred = Text();
        scenar.Odpovedi.push_back(odpoved);
        HlavniForm->aOdstranitExecute();
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Question);
        EXPECT_EQ(scenar.Zpravy[0].Tlacitka, QMessageBox::Yes | QMessageBox::No);
        EXPECT_EQ(scenar.Zpravy[0].Text, otazka);
        if (odpoved == QMessageBox::No) {
            EXPECT_EQ(Text(), pred);
            EXPECT_FALSE(HlavniForm->Zmeneno());
        } else {
            EXPECT_EQ(RadkyTextu()[10], " G71 P90 Q170 U0.4 W0.1 F0.25");
            EXPECT_TRUE(HlavniForm->Zmeneno());
        }
    }
    // No references: no question.
    Otevrit("N1 X\r\nN2 Y\r\n");
    HlavniForm->aOdstranitExecute();
    EXPECT_EQ(Text(), " X\r\n Y\r\n");
    EXPECT_TRUE(scenar.Zpravy.empty());
}

// Introducing, and renumbering with the switch off (the whole program or a
// selection): the window tells which references now lead to a newly
// numbered block, to another block or to none; nothing when every one
// still reaches its block.
TEST_F(OdkazyOkna, ZavedeniAPonechaneOdkazyOhlasi) {
    struct Pripad {
        const char* nazev;
        TPrikazProgramu prikaz;
        const char* program;
        const char* prvniVybrany;  // the selection's first and last line (none: the whole program)
        const char* posledniVybrany;
        const char* text;
        QString zprava;  // empty: none
    };
    const Pripad pripady[] = {
        {"introduce: the jump now lands on its own line's new number", TPrikazProgramu::Zavest,
         "G0 X0\r\nIF [#1 GT 5] GOTO 10\r\nM30\r\n", nullptr, nullptr,
         "N5 G0 X0\r\nN10 IF [#1 GT 5] GOTO 10\r\nM30\r\n",
         "Odkazy, které nyní vedou na nově očíslované bloky: 1.\r"
         "Řádek 2 (GOTO 10): vede na nově očíslovaný blok na řádku 2."},
        {"introduce: one lands, one does not", TPrikazProgramu::Zavest, "G0 X0\r\nGOTO 7\r\nM99 P5\r\nM30\r\n",
         nullptr, nullptr, "N5 G0 X0\r\nN10 GOTO 7\r\nN15 M99 P5\r\nM30\r\n",
         "Odkazy, které nyní vedou na nově očíslované bloky: 1.\r"
         "Řádek 3 (M99 P5): vede na nově očíslovaný blok na řádku 1.\r"
         "Odkazy bez jednoznačného cíle: 1.\r"
         "Řádek 2 (GOTO 7): blok s tímto číslem v programu není."},
        {"kept, a selection moves the target", TPrikazProgramu::Precislovat, "N1 GOTO 3\r\nN2 X\r\nN3 Y\r\n", "N2 ",
         "N3 ", "N1 GOTO 3\r\nN5 X\r\nN10 Y\r\n",
         "Odkazy, které nyní vedou jinam: 1.\r"
         "Řádek 1 (GOTO 3): po přečíslování nevede na žádný blok (dříve na řádku 3)."},
        {"kept, every target the same", TPrikazProgramu::Precislovat, "N5 GOTO 10\r\nN10 X\r\n", nullptr, nullptr,
         "N5 GOTO 10\r\nN10 X\r\n", ""},
    };
    Spustit();
    ui().chkAktualizovatOdkazy->setChecked(false);
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Otevrit(p.program);
        if (p.prvniVybrany) VybratRadky(p.prvniVybrany, p.posledniVybrany);
        if (p.prikaz == TPrikazProgramu::Zavest)
            HlavniForm->aZavestExecute();
        else
            HlavniForm->aPrecislovatExecute();
        EXPECT_EQ(Text(), p.text);
        if (p.zprava.isEmpty()) {
            EXPECT_TRUE(scenar.Zpravy.empty());
            continue;
        }
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Warning);
        EXPECT_EQ(scenar.Zpravy[0].Text, p.zprava);
    }
}

// The families the file type names reach the window's command: a type that
// reads no references leaves GOTO alone and says nothing, with the switch on.
TEST_F(OdkazyOkna, DruhyOdkazuTypu) {
    TDocasnaSlozka::Zapsat(slozka / "files.ftd", "ISO\t.nc\t:\tN\t%\tM30\t(\t-\t\r\n");
    Spustit();
    ASSERT_TRUE(ui().chkAktualizovatOdkazy->isChecked());
    Otevrit("N1 GOTO 2\r\nN2 X\r\n");
    HlavniForm->aPrecislovatExecute();
    EXPECT_EQ(Text(), "N5 GOTO 2\r\nN10 X\r\n");
    EXPECT_EQ(HlavniForm->AktivniTypSouboru().DruhyOdkazu, TDruhyOdkazu{});
    // The jump the type does not read stays, and is told with its line.
    const QString nectena = "Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém";
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Warning);
    EXPECT_EQ(scenar.Zpravy[0].Text, nectena + ": 1.\rŘádek 1 (GOTO 2): Skoky GOTO, GOTOF, GOTOB, GOTOC.\r"
                                               "Zůstala, jak byla; čte-li je řídicí systém, zvolte typ souboru, "
                                               "který je čte.");

    // A lathe program: the status bar names the type its words point to,
    // with the lines in its tip, and the report names it too.
    Otevrit(Soustruh);
    const QLabel* odhad = HlavniForm->findChild<QLabel*>(QStringLiteral("StatusBar1Odhad"));
    ASSERT_NE(odhad, nullptr);
    EXPECT_TRUE(odhad->isVisibleTo(HlavniForm));
    EXPECT_EQ(odhad->text(), "Odhad: ISO soustružení");
    EXPECT_TRUE(odhad->toolTip().contains("Řádek 11: N80 G71 P90 Q170 U0.4 W0.1 F0.25")) << qPrintable(odhad->toolTip());
    HlavniForm->aPrecislovatExecute();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_TRUE(scenar.Zpravy[0].Text.startsWith(nectena + ": 4.\rŘádek 11 (G71 P90, G71 Q170)"));
    EXPECT_TRUE(scenar.Zpravy[0].Text.endsWith("Slova programu odpovídají typu souboru \"ISO soustružení\"."));
    // A program with nothing to go by shows no guess.
    Otevrit("N1 G0 X0\r\n");
    EXPECT_FALSE(odhad->isVisibleTo(HlavniForm));
}

// The switch is on at the first start, and what the user left it at comes
// back at the next start, through the store.
TEST_F(OdkazyOkna, PrepinacPrezijeRestart) {
    Spustit();
    EXPECT_TRUE(ui().chkAktualizovatOdkazy->isChecked());
    EXPECT_EQ(ui().chkAktualizovatOdkazy->text(), "Aktualizovat odkazy na bloky");
    EXPECT_FALSE(ui().chkAktualizovatOdkazy->toolTip().isEmpty());
    for (const bool zapnuto : {false, true}) {
        ui().chkAktualizovatOdkazy->setChecked(zapnuto);
        beh->Zavrit();
        beh.reset();
        {
            TRegistrSoubor registr(slozka / "Tarvik.reg");
            ASSERT_TRUE(registr.OtevritKlic(Klic, false));
            EXPECT_EQ(registr.CistCislo(u"AktualizovatOdkazy"), zapnuto ? 1 : 0);
        }
        Spustit();
        EXPECT_EQ(ui().chkAktualizovatOdkazy->isChecked(), zapnuto);
    }
}

}  // namespace
