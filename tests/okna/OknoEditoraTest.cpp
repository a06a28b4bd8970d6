// The editor's ways around a program: go to block, save as, the recent
// programs, the report's links into the program, the statistics line after
// undo and typing, and what is refused before it is read (a file that is not
// text, a folder, a pipe, a device).
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"
#include "platform/RegistrSoubor.h"
#include "ui/Hlaseni.h"
#include "ui/Prvky.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr char16_t Klic[] = u"\\Software\\Orvendal\\Tarvik";

class HlavniOknoEditor : public ::testing::Test {
protected:
    HlavniOknoEditor() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd",
                               "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                               "Obrácená\t.tap\tN\t:\t%\tM30\t;\t\r\n");
    }
    ~HlavniOknoEditor() override {
        if (beh) {
            if (HlavniForm) HlavniForm->memProgram()->setModified(false);
            beh->Zavrit();
        }
        fs::current_path(fs::temp_directory_path());
    }

    void Spustit() { beh = std::make_unique<TBehAplikace>(slozka); }
    void Ukoncit() {
        EXPECT_TRUE(beh->Zavrit());
        beh.reset();
    }
    Ui::THlavniForm& ui() { return HlavniForm->Formular(); }
    std::string Text() const { return std::string(HlavniForm->memProgram()->Utf8()); }
    std::string Soubor(const std::string& jmeno, const std::string& obsah) {
        TDocasnaSlozka::Zapsat(slozka / jmeno, obsah);
        return (slozka / jmeno).string();
    }
    static QString Q(const std::string& s) { return QString::fromStdString(s); }
    void Otevrit(const std::string& soubor, int pozice = 1) {
        scenar.Otevreni.push_back(Modalni::TOtevreni{Q(soubor), pozice});
        HlavniForm->aOtevritExecute();
    }
    long RadekKurzoru() const {
        TEditorProgramu& e = *HlavniForm->memProgram();
        return e.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION,
                               static_cast<unsigned long>(e.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)));
    }
    void KurzorNaRadek(long radek) {
        HlavniForm->memProgram()->SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(radek));
    }
    // Lets the idle count of the statistics run to its end.
    void PockatNaStatistiky() {
        QElapsedTimer hodiny;
        hodiny.start();
        while (HlavniForm->StatistikyCekaji() && hodiny.elapsed() < 5000) QTest::qWait(20);
        EXPECT_FALSE(HlavniForm->StatistikyCekaji());
    }
    QStringList PolozkyPoslednich() const {
        QStringList texty;
        for (QAction* a : HlavniForm->MenuPoslednich()->actions()) texty << a->text();
        return texty;
    }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

// ---------------------------------------------------------------- go to block

// Two programs in one file: a number goes to its block in the program of the
// caret only; past the last block the user hears the last number.
TEST_F(HlavniOknoEditor, PrejitNaBlok) {
    Spustit();
    Otevrit(Soubor("dva.nc",
                   "%\r\n"             // 0
                   "O1000\r\n"         // 1
                   "N10 G0 X0\r\n"     // 2
                   ":20 X1 (N15)\r\n"  // 3
                   "N120 Y2\r\n"       // 4
                   "M30\r\n"           // 5
                   "%\r\n"             // 6
                   "O2000\r\n"         // 7
                   "N15 X\r\n"         // 8
                   "N500 Y\r\n"        // 9
                   "M30\r\n"));        // 10
    struct Pripad {
        const char* cil;
        long kurzor;   // the caret's line before
        long radek;    // the caret's line after (-1: stays)
        QString zprava;  // the message, empty for none
    };
    const Pripad pripady[] = {
        {"120", 0, 4, ""},
        {"N120", 10, -1, "V této části programu není blok s číslem 120."},
        {"N120", 2, 4, ""},
        {" n10 ", 5, 2, ""},
        {":20", 0, 3, ""},
        {"N10", 8, -1, "V této části programu není blok s číslem 10."},
        {"15", 9, 8, ""},
        // 15 is a number of the other program only (and a comment here).
        {"15", 3, -1, "V této části programu není blok s číslem 15."},
        {"130", 1, -1, "Číslo je za posledním blokem této části programu, ten má číslo 120."},
        {"501", 7, -1, "Číslo je za posledním blokem této části programu, ten má číslo 500."},
        {"L5", 0, 4, ""},
        {"l 11", 0, 10, ""},
        // The empty line after the last break is a line of the text area.
        {"L12", 3, 11, ""},
        {"L13", 3, -1, "Program nemá řádek s číslem 13."},
        {"L0", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
        {"", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
        {"N", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
        {"0", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
        {"-5", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
        {"12a", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
        {"X120", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
        {"99999999999999999999", 3, -1, "Zadejte číslo bloku, nebo L a číslo řádku."},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.cil);
        scenar.Zpravy.clear();
        KurzorNaRadek(p.kurzor);
        EXPECT_EQ(HlavniForm->PrejitNa(QString::fromUtf8(p.cil)), p.zprava.isEmpty());
        EXPECT_EQ(RadekKurzoru(), p.radek < 0 ? p.kurzor : p.radek);
        if (p.zprava.isEmpty()) {
            EXPECT_TRUE(scenar.Zpravy.empty());
        } else {
            ASSERT_EQ(scenar.Zpravy.size(), 1u);
            EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Information);
            EXPECT_EQ(scenar.Zpravy[0].Text, p.zprava);
        }
    }
    EXPECT_FALSE(HlavniForm->Zmeneno());
}

// Ctrl+G: the dialog takes the target, and the caret goes there.
TEST_F(HlavniOknoEditor, PrejitKlavesou) {
    Spustit();
    Otevrit(Soubor("p.nc", "N10 A\r\nN20 B\r\nN30 C\r\n"));
    HlavniForm->memProgram()->setFocus();
    scenar.Dialogy.push_back([](QDialog& d) {
        auto* pole = d.findChild<QLineEdit*>();
        if (!pole) return int(QDialog::Rejected);
        pole->setText(QStringLiteral("30"));
        return int(QDialog::Accepted);
    });
    QTest::keyClick(HlavniForm->memProgram(), Qt::Key_G, Qt::ControlModifier);
    ASSERT_EQ(scenar.SpusteneDialogy.size(), 1u);
    EXPECT_EQ(scenar.SpusteneDialogy[0], "PrejitForm");
    EXPECT_EQ(RadekKurzoru(), 2);
    EXPECT_TRUE(scenar.Zpravy.empty());
}

// ---------------------------------------------------------------- save as

// The new file holds the text in the program's encoding; the old one stays;
// the window's name and the recent list follow. A name not given, or a file
// that cannot be written, leaves everything as it was.
TEST_F(HlavniOknoEditor, UlozitJako) {
    const std::string puvodni = "N1 (\xE8\xE1st)\r\nN2 X\r\n";  // Windows-1250
    struct Pripad {
        const char* nazev;
        std::optional<std::string> cil;  // the name given (relative to the folder), none: cancelled
        bool ulozeno;
    };
    fs::create_directories(slozka / "slozka");
    const Pripad pripady[] = {
        {"new file", "novy.nc", true},
        {"over another file", "jiny.nc", true},
        {"cancelled", std::nullopt, false},
        {"folder that is not there", "chybi/x.nc", false},
        {"a folder's name", "slozka", false},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Spustit();
        const std::string stary = Soubor("stary.nc", puvodni);
        Soubor("jiny.nc", "jiny\r\n");
        Otevrit(stary);
        HlavniForm->aPrecislovatExecute();
        scenar.Zpravy.clear();
        const std::string cesta = p.cil ? (slozka / *p.cil).string() : std::string();
        scenar.Ulozeni = {p.cil ? std::optional(Modalni::TOtevreni{Q(cesta), 1}) : std::nullopt};
        QTest::keyClick(HlavniForm->memProgram(), Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
        ASSERT_EQ(scenar.NabidnutoUlozeni.size(), 1u);
        EXPECT_EQ(scenar.NabidnutoUlozeni[0].second, Q(stary));
        EXPECT_EQ(TDocasnaSlozka::Precist(stary), puvodni);
        if (p.ulozeno) {
            EXPECT_EQ(TDocasnaSlozka::Precist(cesta), "N5 (\xE8\xE1st)\r\nN10 X\r\n");
            EXPECT_EQ(HlavniForm->AktualniSoubor(), Q(cesta));
            EXPECT_TRUE(ui().lblSoubor->text().endsWith(Q(*p.cil)));
            EXPECT_FALSE(HlavniForm->Zmeneno());
            EXPECT_EQ(HlavniForm->PosledniSoubory(), QStringList({Q(cesta), Q(stary)}));
            EXPECT_TRUE(scenar.Zpravy.empty());
            // The next save goes to the new file.
            HlavniForm->memProgram()->append(QStringLiteral("M30\r\n"));
            HlavniForm->aUlozitExecute();
            EXPECT_EQ(TDocasnaSlozka::Precist(cesta), "N5 (\xE8\xE1st)\r\nN10 X\r\nM30\r\n");
            EXPECT_EQ(TDocasnaSlozka::Precist(stary), puvodni);
        } else {
            EXPECT_EQ(HlavniForm->AktualniSoubor(), Q(stary));
            EXPECT_TRUE(HlavniForm->Zmeneno());
            EXPECT_EQ(HlavniForm->PosledniSoubory(), QStringList({Q(stary)}));
            EXPECT_EQ(scenar.Zpravy.size(), p.cil ? 1u : 0u);
            if (p.cil) {
                EXPECT_EQ(scenar.Zpravy[0].Titulek, "Chyba");
                EXPECT_TRUE(scenar.Zpravy[0].Text.startsWith("Nelze vytvořit soubor")) << scenar.Zpravy[0].Text.toStdString();
            }
            EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "jiny.nc"), "jiny\r\n");
        }
        HlavniForm->memProgram()->setModified(false);
        beh.reset();
        fs::remove(slozka / "Tarvik.reg");
        scenar.NabidnutoUlozeni.clear();
    }
}

// ---------------------------------------------------------------- recent programs

// The latest first, each once, at most eight; kept in the store and read
// back at the next start; the menu opens them.
TEST_F(HlavniOknoEditor, PosledniSoubory) {
    Spustit();
    std::vector<std::string> soubory;
    for (int i = 0; i < 10; ++i) soubory.push_back(Soubor("p" + std::to_string(i) + ".nc", "N" + std::to_string(i) + " X\r\n"));
    struct Krok {
        int otevrit;
        std::vector<int> seznam;  // the list afterwards, the latest first
    };
    const Krok kroky[] = {
        {0, {0}},
        {1, {1, 0}},
        {0, {0, 1}},  // once, to the front
        {2, {2, 0, 1}},
        {3, {3, 2, 0, 1}},
        {4, {4, 3, 2, 0, 1}},
        {5, {5, 4, 3, 2, 0, 1}},
        {6, {6, 5, 4, 3, 2, 0, 1}},
        {7, {7, 6, 5, 4, 3, 2, 0, 1}},
        {8, {8, 7, 6, 5, 4, 3, 2, 0}},  // the oldest goes
        {1, {1, 8, 7, 6, 5, 4, 3, 2}},
        {1, {1, 8, 7, 6, 5, 4, 3, 2}},
    };
    const auto seznam = [&](const std::vector<int>& indexy) {
        QStringList s;
        for (int i : indexy) s << Q(soubory[std::size_t(i)]);
        return s;
    };
    for (const Krok& k : kroky) {
        SCOPED_TRACE(k.otevrit);
        Otevrit(soubory[std::size_t(k.otevrit)]);
        EXPECT_EQ(HlavniForm->PosledniSoubory(), seznam(k.seznam));
    }
    QStringList menu;
    for (qsizetype i = 0; i < HlavniForm->PosledniSoubory().size(); ++i)
        menu << QStringLiteral("&%1 ").arg(i + 1) + HlavniForm->PosledniSoubory()[i];
    EXPECT_EQ(PolozkyPoslednich(), menu);
    EXPECT_TRUE(ui().aPosledni->isEnabled());
    Ukoncit();

    {
        TRegistrSoubor registr(slozka / "Tarvik.reg");
        ASSERT_TRUE(registr.OtevritKlic(Klic, false));
        EXPECT_EQ(registr.CistRetezec(u"Posledni1"), fs::path(soubory[1]).u16string());
        EXPECT_EQ(registr.CistRetezec(u"Posledni8"), fs::path(soubory[2]).u16string());
    }
    Spustit();
    EXPECT_EQ(HlavniForm->PosledniSoubory(), seznam({1, 8, 7, 6, 5, 4, 3, 2}));
    EXPECT_EQ(PolozkyPoslednich(), menu);
    // The third entry of the menu opens its program, which comes first.
    HlavniForm->MenuPoslednich()->actions()[2]->trigger();
    ZpracovatUdalosti();
    EXPECT_EQ(HlavniForm->AktualniSoubor(), Q(soubory[7]));
    EXPECT_EQ(Text(), "N7 X\r\n");
    EXPECT_EQ(HlavniForm->PosledniSoubory(), seznam({7, 1, 8, 6, 5, 4, 3, 2}));
    EXPECT_TRUE(scenar.Zpravy.empty());
}

// A program gone from its place: the menu says so, the program shown stays,
// and the entry leaves the list.
TEST_F(HlavniOknoEditor, ChybejiciPosledniSoubor) {
    Spustit();
    const std::string a = Soubor("a.nc", "N1 A\r\n"), b = Soubor("b.nc", "N2 B\r\n");
    Otevrit(a);
    Otevrit(b);
    fs::remove(a);
    ASSERT_EQ(HlavniForm->MenuPoslednich()->actions().size(), 2);
    HlavniForm->MenuPoslednich()->actions()[1]->trigger();
    ZpracovatUdalosti();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(scenar.Zpravy[0].Titulek, "Chyba");
    EXPECT_EQ(scenar.Zpravy[0].Text, Q("Nelze otevřít soubor \"" + a + "\". Soubor nebo složka neexistuje."));
    EXPECT_EQ(HlavniForm->AktualniSoubor(), Q(b));
    EXPECT_EQ(Text(), "N2 B\r\n");
    EXPECT_EQ(HlavniForm->PosledniSoubory(), QStringList({Q(b)}));
    EXPECT_EQ(PolozkyPoslednich(), QStringList({"&1 " + Q(b)}));
}

// ---------------------------------------------------------------- report links

// After a renumber, each report line that names a program line leads there:
// choosing it closes the box and puts the caret on that line.
TEST_F(HlavniOknoEditor, OdkazyZpravy) {
    Spustit();
    const std::string program = Soubor("p.nc", "%\r\nN1 GOTO 2\r\nN2 GOTO 7\r\nN3 GOTO #1\r\nN4 M99 P3 (GOTO 9)\r\nM30\r\n");
    ui().chkAktualizovatOdkazy->setChecked(true);
    struct Pripad {
        int odkaz;  // which link is chosen (-1: none, OK)
        long radek;  // the caret's line afterwards
    };
    const Pripad pripady[] = {{0, 2}, {1, 3}, {-1, 0}};
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.odkaz);
        HlavniForm->memProgram()->setModified(false);
        Otevrit(program);
        KurzorNaRadek(0);
        scenar.Zpravy.clear();
        QStringList adresy;
        scenar.ObsluhyZprav.push_back([&](QMessageBox& box) {
            auto* popis = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            if (!popis) return int(QMessageBox::Ok);
            const QRegularExpression odkaz(QStringLiteral("<a href=\"([^\"]*)\">"));
            for (auto shoda = odkaz.globalMatch(popis->text()); shoda.hasNext();) adresy << shoda.next().captured(1);
            // As a person would: Tab to the link, Enter follows it; or Enter on OK.
            box.show();
            if (!QTest::qWaitForWindowExposed(&box)) return int(QMessageBox::Ok);
            for (int i = 0; i <= p.odkaz; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            return box.isVisible() ? -1 : int(box.result());
        });
        HlavniForm->aPrecislovatExecute();
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Text.toStdString(),
                  "Aktualizováno odkazů na čísla bloků: 2.\rOdkazy bez jednoznačného cíle: 2.\r"
                  "Řádek 3 (GOTO 7): blok s tímto číslem v programu není.\rŘádek 4 (GOTO #1): cíl není zapsán číslem.");
        // Only the lines that name a program line are links.
        EXPECT_EQ(adresy, QStringList({THlaseni::OdkazNaRadek(2), THlaseni::OdkazNaRadek(3)}));
        EXPECT_EQ(RadekKurzoru(), p.radek);
    }
}

// ---------------------------------------------------------------- a command that changes nothing

// F9 whose result is the text as it is: no change, no undo step, no question
// on closing; a result that differs is a change as always.
TEST_F(HlavniOknoEditor, PrecislovaniBezZmeny) {
    struct Pripad {
        const char* nazev;
        std::string obsah;
        bool upravit;  // typed and saved before the command
        bool zmeneno;
    };
    const Pripad pripady[] = {
        {"numbers as they would be", "%\r\nN5 A\r\nN10 B\r\nM30\r\n", false, false},
        {"after a saved edit", "%\r\nN5 A\r\nN10 B\r\nM30\r\n", true, false},
        {"numbers that change", "%\r\nN5 A\r\nN20 B\r\nM30\r\n", false, true},
        {"no blocks (refused)", "%\r\nA\r\nM30\r\n", false, false},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Spustit();
        const std::string soubor = Soubor("p.nc", p.obsah);
        Otevrit(soubor);
        TEditorProgramu* e = HlavniForm->memProgram();
        if (p.upravit) {
            e->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
            QTest::keyClicks(e, QStringLiteral("(X)"));
            HlavniForm->aUlozitExecute();
            ASSERT_FALSE(HlavniForm->Zmeneno());
        }
        const bool zpet = e->MuzeZpet();
        scenar.Zpravy.clear();
        QTest::keyClick(e, Qt::Key_F9);
        EXPECT_EQ(HlavniForm->Zmeneno(), p.zmeneno);
        EXPECT_EQ(ui().shpStavUlozeni->Barva(), p.zmeneno ? QColor(255, 0, 0) : QColor(0, 128, 0));
        if (!p.zmeneno) EXPECT_EQ(e->MuzeZpet(), zpet);
        const std::size_t zprav = scenar.Zpravy.size();
        scenar.Odpovedi = {QMessageBox::No};
        EXPECT_TRUE(beh->Zavrit());
        // The question on closing comes only after a change.
        EXPECT_EQ(scenar.Zpravy.size(), zprav + (p.zmeneno ? 1 : 0));
        beh.reset();
        fs::remove(slozka / "Tarvik.reg");
    }
}

// ---------------------------------------------------------------- statistics

// The statistics line follows undo, redo and typing once the idle count ran.
TEST_F(HlavniOknoEditor, StatistikyPoZpetATextu) {
    Spustit();
    Otevrit(Soubor("p.nc", "%\r\nN1 A\r\nN2 B\r\nN3 C\r\nM30\r\n"));
    TEditorProgramu* e = HlavniForm->memProgram();
    e->setFocus();
    struct Krok {
        const char* nazev;
        std::function<void()> akce;
        QString statistiky;
    };
    const Krok kroky[] = {
        {"remove", [&] { QTest::keyClick(e, Qt::Key_Delete, Qt::ControlModifier); },
         "Počet řádků: 5, Počet znaků: 20, Počet NC bloků: 0."},
        {"undo", [&] { QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier); },
         "Počet řádků: 5, Počet znaků: 26, Počet NC bloků: 3."},
        {"redo", [&] { QTest::keyClick(e, Qt::Key_Y, Qt::ControlModifier); },
         "Počet řádků: 5, Počet znaků: 20, Počet NC bloků: 0."},
        {"undo again", [&] { QTest::keyClick(e, Qt::Key_Z, Qt::ControlModifier); },
         "Počet řádků: 5, Počet znaků: 26, Počet NC bloků: 3."},
        {"typed block", [&] {
             e->SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
             QTest::keyClicks(e, QStringLiteral("N9 X"));
         }, "Počet řádků: 6, Počet znaků: 30, Počet NC bloků: 4."},
        {"typed break", [&] { QTest::keyClick(e, Qt::Key_Return); },
         "Počet řádků: 6, Počet znaků: 32, Počet NC bloků: 4."},
    };
    for (const Krok& k : kroky) {
        SCOPED_TRACE(k.nazev);
        k.akce();
        PockatNaStatistiky();
        EXPECT_EQ(HlavniForm->Panel(0)->text().toStdString(), k.statistiky.toStdString());
    }
    EXPECT_TRUE(scenar.Zpravy.empty());
}

// ---------------------------------------------------------------- what is not a program

// A file that is not text (it holds NUL bytes) is refused with the reason in
// the user's language: the program shown stays, and it is never written.
TEST_F(HlavniOknoEditor, BinarniSouborSeOdmitne) {
    Spustit();
    const std::string dobry = Soubor("dobry.nc", "N1 X\r\n");
    // The start of an executable: its mark, then NUL bytes among text.
    static constexpr char zacatekElf[] = "\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0\x03\0>\0\x01\0\0\0N10 G0\r\n";
    const std::string elf(zacatekElf, sizeof zacatekElf - 1);
    struct Pripad {
        const char* nazev;
        std::string obsah;
    };
    const Pripad pripady[] = {
        {"executable", elf},
        {"NUL late in text", std::string(70000, 'X') + "\r\nN1 X\r\n" + std::string(1, '\0') + "\r\n"},
        {"UTF-16 without a mark", std::string("N\0001\0 \0X\0\r\0\n\0", 12)},
    };
    Otevrit(dobry);
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const std::string binarni = Soubor("binarni.nc", p.obsah);
        scenar.Zpravy.clear();
        Otevrit(binarni);
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Critical);
        EXPECT_EQ(scenar.Zpravy[0].Titulek, "Chyba");
        EXPECT_EQ(scenar.Zpravy[0].Text,
                  Q("Nelze otevřít soubor \"" + binarni + "\". Soubor není textový program."));
        EXPECT_EQ(HlavniForm->AktualniSoubor(), Q(dobry));
        EXPECT_EQ(Text(), "N1 X\r\n");
        EXPECT_FALSE(HlavniForm->Zmeneno());
        EXPECT_EQ(HlavniForm->PosledniSoubory(), QStringList({Q(dobry)}));
        HlavniForm->aUlozitExecute();
        EXPECT_TRUE(TDocasnaSlozka::Precist(binarni) == p.obsah);
        EXPECT_EQ(TDocasnaSlozka::Precist(dobry), "N1 X\r\n");
    }
}

// A folder, a pipe and a device are refused before anything is read (a
// pipe would wait for a writer for ever), through the open dialog.
TEST_F(HlavniOknoEditor, NeniBeznySoubor) {
    const fs::path roura = slozka / "roura.nc";
    ASSERT_EQ(mkfifo(roura.c_str(), 0600), 0);
    fs::create_directories(slozka / "slozka.nc");
    struct Pripad {
        std::string cesta;
        QString duvod;
    };
    const Pripad pripady[] = {
        {(slozka / "slozka.nc").string(), "Je to složka."},
        {roura.string(), "Není to běžný soubor, ale roura, zařízení nebo soket."},
        {"/dev/null", "Není to běžný soubor, ale roura, zařízení nebo soket."},
    };
    Spustit();
    const std::string dobry = Soubor("dobry.nc", "N1 X\r\n");
    Otevrit(dobry);
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.cesta);
        scenar.Zpravy.clear();
        Otevrit(p.cesta);
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Titulek, "Chyba");
        EXPECT_EQ(scenar.Zpravy[0].Text, Q("Nelze otevřít soubor \"" + p.cesta + "\". ") + p.duvod);
        EXPECT_EQ(HlavniForm->AktualniSoubor(), Q(dobry));
        EXPECT_EQ(Text(), "N1 X\r\n");
        EXPECT_EQ(HlavniForm->PosledniSoubory(), QStringList({Q(dobry)}));
    }
}

}  // namespace
