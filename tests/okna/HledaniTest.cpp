// Find and replace: what a search finds in a program (whole words of NC
// programs, the case of letters, Czech letters), and the window's dialog as a
// user drives it: finding on and back round the ends, F3 with the dialog
// closed, one replace at a time, every occurrence at once as one undo step
// with its count, and only within the selection.
#include "OknoProgramu.h"

#include "ui/fNajit.h"
#include "ui_fNajit.h"

#include "katalog/convar.h"

namespace {

// Every occurrence a search finds from the start, marked [thus] in the text.
std::string Oznacene(std::string_view text, const TZadaniHledani& zadani) {
    std::string vysledek;
    std::size_t pozice = 0;
    THledani(zadani).ProKazdy(text, 0, text.size(), [&](std::size_t od, std::size_t po) {
        vysledek.append(text.substr(pozice, od - pozice)).append("[").append(text.substr(od, po - od)).append("]");
        pozice = po;
    });
    return vysledek.append(text.substr(pozice));
}

TEST(Hledani, VyskytyVProgramu) {
    struct Pripad {
        const char* popis;
        const char* text;
        TZadaniHledani zadani;
        const char* oznacene;
    };
    const auto Z = [](const char* co, bool celaSlova = false, bool velikost = false) {
        return TZadaniHledani{QString::fromUtf8(co), celaSlova, velikost};
    };
    const Pripad pripady[] = {
        {"anywhere, any case", "N10 X10 (MAX) x5", Z("X"), "N10 [X]10 (MA[X]) [x]5"},
        {"as written", "N10 X10 (MAX) x5", Z("X", false, true), "N10 [X]10 (MA[X]) x5"},
        {"an address before its value, not in a name", "N10 X10 Y-5 (MAX) X-5.5 AX1 X", Z("X", true),
         "N10 [X]10 Y-5 (MAX) [X]-5.5 AX1 [X]"},
        {"an address with its value, not with more digits", "X1 X10 X1.5 X1. X1Y2", Z("X1", true),
         "[X1] X10 X1.5 [X1]. [X1]Y2"},
        {"a number, not within a longer one", "X10 100 2.10 R10=5 10.5", Z("10", true), "X[10] 100 2.10 R[10]=5 10.5"},
        {"a word, not the start of a longer one", "GOTO 5 GOTOF 7 (GOTO)", Z("GOTO", true), "[GOTO] 5 GOTOF 7 ([GOTO])"},
        {"Czech letters in any case", "(Čep) (ČEP) (čep) (cep)", Z("čep"), "([Čep]) ([ČEP]) ([čep]) (cep)"},
        {"Czech letters as written", "(Čep) (ČEP) (čep)", Z("Čep", false, true), "([Čep]) (ČEP) (čep)"},
        {"a Czech letter joins a word", "ŠX X", Z("X", true), "ŠX [X]"},
        {"occurrences do not overlap", "XXXXX", Z("XX"), "[XX][XX]X"},
        {"line breaks are not searched across", "N1\r\nN2", Z("1N"), "N1\r\nN2"},
    };
    for (const Pripad& p : pripady) EXPECT_EQ(Oznacene(p.text, p.zadani), p.oznacene) << p.popis;
}

// Back and forth within bounds: the first and the last occurrence that lie within them.
TEST(Hledani, VMezichObemaSmery) {
    const std::string_view text = "X1 X2 X3 X4";
    const THledani h({QStringLiteral("x"), true, false});
    const struct {
        std::size_t od, po;
        bool dopredu;
        std::optional<THledani::TNalez> nalez;
    } pripady[] = {
        {0, text.size(), true, THledani::TNalez{0, 1}},  {1, text.size(), true, THledani::TNalez{3, 4}},
        {0, text.size(), false, THledani::TNalez{9, 10}}, {0, 9, false, THledani::TNalez{6, 7}},
        {4, 6, true, std::nullopt},                       {10, 11, true, std::nullopt},
    };
    for (const auto& p : pripady) EXPECT_EQ(h.Najit(text, p.od, p.po, p.dopredu), p.nalez) << p.od << ".." << p.po;
}

class HledaniVOkne : public OknoProgramu {
protected:
    Ui::TNajitForm& f() { return NajitForm->Formular(); }
    std::string Vybrano() {
        const TEditorProgramu::TUsek v = e().Vyber();
        return Text().substr(v.Od, v.Po - v.Od);
    }
    // The dialog as Ctrl+H shows it, with what to find and what replaces it.
    void Zadat(const char* hledat, const char* nahradit, bool celaSlova = false) {
        Klavesa(Qt::Key_H, Qt::ControlModifier);
        f().edtNajit->setText(QString::fromUtf8(hledat));
        f().edtNahradit->setText(QString::fromUtf8(nahradit));
        f().chkCelaSlova->setChecked(celaSlova);
    }
};

// On and back through the program, round its ends, by the dialog's buttons
// and by F3 and Shift+F3 in the program.
TEST_F(HledaniVOkne, DalsiAPredchoziKolemKoncu) {
    Otevrit("N1 X1\r\nN2 X2\r\nN3 X3\r\n");
    Klavesa(Qt::Key_F, Qt::ControlModifier);
    ASSERT_TRUE(NajitForm->isVisible());
    QTest::keyClicks(f().edtNajit, "x");
    const struct {
        const char* krok;
        std::function<void()> provest;
        long radek;
        std::u16string stav;
    } kroky[] = {
        {"Find next", [&] { f().btnNajitDalsi->click(); }, 0, u""},
        {"F3", [&] { Klavesa(Qt::Key_F3); }, 1, u""},
        {"F3 again", [&] { Klavesa(Qt::Key_F3); }, 2, u""},
        {"F3 past the end", [&] { Klavesa(Qt::Key_F3); }, 0, rsHLEDANIODZACATKU + u'.'},
        {"Shift+F3 past the start", [&] { Klavesa(Qt::Key_F3, Qt::ShiftModifier); }, 2, rsHLEDANIODKONCE + u'.'},
        {"Find previous", [&] { f().btnNajitPredchozi->click(); }, 1, u""},
    };
    for (const auto& k : kroky) {
        k.provest();
        EXPECT_EQ(Radek(), k.radek) << k.krok;
        EXPECT_EQ(Vybrano(), "X") << k.krok;
        EXPECT_EQ(NajitForm->Stav().toStdU16String(), k.stav) << k.krok;
    }
}

// A text the program does not have: said in the dialog while it is open, in
// a message box after F3 once it is closed; the selection stays.
TEST_F(HledaniVOkne, NenalezenoSeOznami) {
    Otevrit("N1 X1\r\n");
    Zadat("Y", "");
    Vybrat(3, 5);
    f().btnNajitDalsi->click();
    EXPECT_EQ(NajitForm->Stav(), QString::fromStdU16String(rsNENALEZENO) + QStringLiteral(": \"Y\"."));
    NajitForm->close();
    Klavesa(Qt::Key_F3);
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Information);
    EXPECT_TRUE(scenar.Zpravy[0].Text.contains(QStringLiteral("\"Y\""))) << scenar.Zpravy[0].Text.toStdString();
    EXPECT_EQ(Vybrano(), "X1");
}

// Replace: the first press finds, each further one replaces what it found
// and finds the next; each replace is one undo step.
TEST_F(HledaniVOkne, NahraditPoJednom) {
    Otevrit("G0 X1\r\nG1 X2 (MAX)\r\n");
    Zadat("X", "U", true);
    f().btnNahradit->click();
    EXPECT_EQ(Text(), "G0 X1\r\nG1 X2 (MAX)\r\n");
    EXPECT_EQ(Radek(), 0);
    f().btnNahradit->click();
    EXPECT_EQ(Text(), "G0 U1\r\nG1 X2 (MAX)\r\n");
    EXPECT_EQ(Radek(), 1);
    f().btnNahradit->click();
    EXPECT_EQ(Text(), "G0 U1\r\nG1 U2 (MAX)\r\n");
    Klavesa(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "G0 U1\r\nG1 X2 (MAX)\r\n");
}

// Replace all: only what was asked for, the count told, one undo step back
// to the original bytes and one redo forward; in the selection, only there,
// also after typing above it.
TEST_F(HledaniVOkne, NahraditVseJednimKrokem) {
    const std::string puvodni = "%\r\nN10 G0 X1 Y1\r\nN20 X-2.5 (MAX)\r\nN30 X3\r\nN40 x4\r\nM30\r\n";
    Otevrit(puvodni);
    const struct {
        const char* popis;
        const char* hledat;
        const char* nahradit;
        bool celaSlova;
        std::pair<long, long> vyber;  // bytes selected before Ctrl+H
        std::size_t pocet;
        const char* text;
    } pripady[] = {
        {"every X word", "X", "U", true, {0, 0}, 4, "%\r\nN10 G0 U1 Y1\r\nN20 U-2.5 (MAX)\r\nN30 U3\r\nN40 U4\r\nM30\r\n"},
        {"anywhere, longer", "X", "XX", false, {0, 0}, 5,
         "%\r\nN10 G0 XX1 Y1\r\nN20 XX-2.5 (MAXX)\r\nN30 XX3\r\nN40 XX4\r\nM30\r\n"},
        {"only within lines 3 and 4", "X", "W", true, {17, 42}, 2,
         "%\r\nN10 G0 X1 Y1\r\nN20 W-2.5 (MAX)\r\nN30 W3\r\nN40 x4\r\nM30\r\n"},
        {"none", "Q", "W", false, {0, 0}, 0, nullptr},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.popis);
        Vybrat(p.vyber.first, p.vyber.second);
        Zadat(p.hledat, p.nahradit, p.celaSlova);
        EXPECT_EQ(NajitForm->VeVyberu(), p.vyber.second > 0);
        f().btnNahraditVse->click();
        const std::string ocekavany = p.text ? p.text : puvodni;
        EXPECT_EQ(Text(), ocekavany);
        EXPECT_EQ(NajitForm->Stav().toStdU16String(),
                  p.pocet ? rsNAHRAZENO + u": " + QString::number(p.pocet).toStdU16String() + u"."
                          : rsNENALEZENO + u": \"" + QString::fromUtf8(p.hledat).toStdU16String() + u"\".");
        if (p.pocet == 0) continue;
        Klavesa(Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(Text(), puvodni);
        Klavesa(Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(Text(), ocekavany);
        Klavesa(Qt::Key_Z, Qt::ControlModifier);
        f().chkVeVyberu->setChecked(false);
    }
    EXPECT_FALSE(HlavniForm->Zmeneno());

    // The part marked follows what is typed above it.
    Vybrat(17, 42);
    Zadat("N", "L", false);
    Vybrat(3, 3);
    QTest::keyClicks(&e(), "G4\r");
    f().btnNahraditVse->click();
    EXPECT_EQ(Text(), "%\r\nG4\r\nN10 G0 X1 Y1\r\nL20 X-2.5 (MAX)\r\nL30 X3\r\nN40 x4\r\nM30\r\n");
    // The part marked is gone with the text a renumber replaced: nothing is
    // replaced outside it.
    Vybrat(0, 0);
    Klavesa(Qt::Key_F9);
    const std::string precislovano = Text();
    f().btnNahraditVse->click();
    EXPECT_EQ(Text(), precislovano);
    EXPECT_FALSE(NajitForm->VeVyberu());
    EXPECT_EQ(NajitForm->Stav().toStdU16String(), rsVYBERPRAZDNY + u'.');
    // Ticked with nothing selected: refused and said.
    f().chkVeVyberu->setChecked(false);
    Vybrat(5, 5);
    f().chkVeVyberu->click();
    EXPECT_FALSE(NajitForm->VeVyberu());
    EXPECT_EQ(NajitForm->Stav().toStdU16String(), rsVYBERPRAZDNY + u'.');
}

// A selection within a line becomes the text to find; the keys of the
// dialog find in the program while it has the focus.
TEST_F(HledaniVOkne, VyberJeHledanyText) {
    Otevrit("N1 G71 P5\r\nN2 G71 Q7\r\n");
    Vybrat(3, 6);
    Klavesa(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(f().edtNajit->text(), QStringLiteral("G71"));
    EXPECT_FALSE(NajitForm->VeVyberu());
    QTest::keyClick(f().edtNajit, Qt::Key_Return);
    EXPECT_EQ(Radek(), 1);
    QTest::keyClick(f().edtNajit, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(Radek(), 0);
    EXPECT_EQ(Vybrano(), "G71");
}

}  // namespace
