// The main window as a user drives it: start-up with and without stored
// settings, opening, the block commands, saving, closing, placement.
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"
#include "ui/Nastaveni.h"
#include "filetypes/SeznamTypu.h"
#include "ui/fNastaveni.h"
#include "platform/Chyba.h"
#include "platform/RegistrSoubor.h"
#include "platform/CteniTextu.h"
#include "ui/Hlaseni.h"
#include "ui/Prvky.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace fs = std::filesystem;

namespace {

constexpr char16_t Klic[] = u"\\Software\\Orvendal\\Tarvik";

// A folder with the default list of two file types, where the application runs.
class HlavniOkno : public ::testing::Test {
protected:
    HlavniOkno() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd",
                               "\xEF\xBB\xBF" "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                               "Obrácená\t.tap\tN\t:\t%\tM30\t;\t\r\n");
    }
    ~HlavniOkno() override {
        if (beh) {
            // Leave without questions.
            if (HlavniForm) HlavniForm->memProgram()->setModified(false);
            beh->Zavrit();
        }
        std::filesystem::current_path(fs::temp_directory_path());
    }

    void Spustit(bool zobrazit = true) { beh = std::make_unique<TBehAplikace>(slozka, zobrazit); }
    Ui::THlavniForm& ui() { return HlavniForm->Formular(); }
    QString Text() const { return HlavniForm->memProgram()->text(); }
    std::string Soubor(const std::string& jmeno, const std::string& obsah) {
        TDocasnaSlozka::Zapsat(slozka / jmeno, obsah);
        return (slozka / jmeno).string();
    }
    void Otevrit(const std::string& soubor, int pozice = 1) {
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdString(soubor), pozice});
        HlavniForm->aOtevritExecute();
    }
    // Values written into the store before the application starts.
    void Ulozit(const std::function<void(TRegistr&)>& zapis) {
        TRegistrSoubor registr(slozka / "Tarvik.reg");
        ASSERT_TRUE(registr.OtevritKlic(Klic, true));
        zapis(registr);
        registr.ZavritKlic();
    }
    void VybratZnaky(int od, int delka) {
        HlavniForm->memProgram()->SendScintilla(QsciScintillaBase::SCI_SETSEL, od, od + delka);
    }
    const TZaznamZpravy& PosledniZprava() const { return scenar.Zpravy.back(); }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

TEST_F(HlavniOkno, PrvniStartBezUlozenychNastaveni) {
    Spustit();
    EXPECT_EQ(ui().speZacitOd->Value(), 5);
    EXPECT_EQ(ui().spePrirustek->Value(), 5);
    EXPECT_EQ(ui().speMaximum->Value(), 9999);
    EXPECT_TRUE(ui().rbtCislovatOdZacatku->isChecked());
    EXPECT_FALSE(ui().rbtPonechatMaximum->isChecked());
    EXPECT_FALSE(ui().chkBlokPredKomentar->isChecked());
    EXPECT_FALSE(ui().chkBlokPredProgram->isChecked());
    EXPECT_FALSE(ui().chkBlokPredKoncem->isChecked());
    EXPECT_EQ(HlavniForm->pos(), QPoint(0, 0));
    // Room for a useful part of a program: 30 lines on a large screen, 25 on
    // one of 800 pixels (the offscreen one's), where it was 9 lines.
    const QSize plocha = HlavniForm->screen()->availableGeometry().size();
    EXPECT_TRUE(QRect(QPoint(), plocha).contains(HlavniForm->frameGeometry())) << plocha.width() << "x" << plocha.height();
    const long radku = HlavniForm->memProgram()->SendScintilla(QsciScintillaBase::SCI_LINESONSCREEN);
    EXPECT_GE(radku, plocha.height() >= 900 ? 30 : plocha.height() >= 800 ? 25 : 15) << radku << " lines, window " << HlavniForm->height() << " of " << plocha.height();
    EXPECT_TRUE(HlavniForm->NacistZeSouboru);
    ASSERT_EQ(NastaveniForm->livSoubory()->topLevelItemCount(), 2);
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItem(1)->text(0), "Obrácená");
    EXPECT_EQ(HlavniForm->Filtr(), "Frézka (*.nc)|*.nc|Obrácená (*.tap)|*.tap");
    EXPECT_EQ(ui().shpStavUlozeni->Barva(), QColor(Qt::white));
    EXPECT_TRUE(ui().shpStavUlozeni->toolTip().isEmpty());
    EXPECT_TRUE(HlavniForm->Panel(0)->text().isEmpty());
    EXPECT_TRUE(scenar.Zpravy.empty());
    // The focus starts in the program: the arrow keys scroll it, and leave
    // the numbering as it is.
    EXPECT_EQ(HlavniForm->focusWidget(), HlavniForm->memProgram());
    for (int i = 0; i < 3; ++i) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    EXPECT_EQ(ui().speZacitOd->Value(), 5);

    const QRect ram = HlavniForm->frameGeometry();
    EXPECT_TRUE(beh->Zavrit());
    EXPECT_TRUE(scenar.Zpravy.empty());  // nothing typed: no question
    TRegistrSoubor registr(slozka / "Tarvik.reg");
    ASSERT_TRUE(registr.OtevritKlic(Klic, false));
    // No language was chosen: none is stored, and the next start follows the
    // locale again.
    EXPECT_FALSE(registr.HodnotaExistuje(u"Jazyk") || registr.HodnotaExistuje(u"IndexObrazku"));
    EXPECT_EQ(registr.CistCislo(u"MaximalniBlok"), 9999);
    EXPECT_EQ(registr.CistCislo(u"CislovatOdZacatku"), 1);
    EXPECT_EQ(registr.CistCislo(u"Maximalni"), 0);
    // The outer size: the client area and the window's frame.
    EXPECT_EQ(registr.CistCislo(u"Sirka"), ram.width());
    EXPECT_EQ(registr.CistCislo(u"Vyska"), ram.height());
    ASSERT_TRUE(registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik\\TypySouboru", false));
    EXPECT_EQ(registr.CistRetezec(u"1"), u"Obrácená\t.tap\tN\t:\t%\tM30\t;\t");
    beh.reset();

    // The next start reads the list from the store, not from files.ftd.
    fs::remove(slozka / "files.ftd");
    Spustit();
    EXPECT_FALSE(HlavniForm->NacistZeSouboru);
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItemCount(), 2);
    EXPECT_TRUE(scenar.Zpravy.empty());
}

TEST_F(HlavniOkno, ChybejiciSeznamTypu) {
    fs::remove(slozka / "files.ftd");
    Spustit();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Ikona, QMessageBox::Warning);
    EXPECT_EQ(PosledniZprava().Titulek, "Varování");
    EXPECT_EQ(PosledniZprava().Text, "Nepodařilo se nalézt soubor s defaultními typy souborů.");
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItemCount(), 0);
    EXPECT_EQ(HlavniForm->Filtr(), "");

    // Opening still works, without a file type; the row that is not there is never read.
    Otevrit(Soubor("a.nc", "10 X\r\n"));
    EXPECT_EQ(Text(), "10 X\r\n");
    EXPECT_EQ(HlavniForm->Panel(0)->text(), "Počet řádků: 1, Počet znaků: 6, Počet NC bloků: 1.");
    EXPECT_EQ(HlavniForm->Panel(1)->text(), "");
}

TEST_F(HlavniOkno, UlozenaNastaveni) {
    struct Pripad {
        const char* nazev;
        std::function<void(TRegistr&)> zapis;
        int prvni, prirustek, maximum;
        bool odZacatku, ponechat;
        QString chyba;  // the error box's text, empty for none
    };
    const Pripad pripady[] = {
        {"values", [](TRegistr& r) { r.ZapsatCislo(u"PrvniBlok", 10); r.ZapsatCislo(u"Prirustek", 2);
                                     r.ZapsatCislo(u"MaximalniBlok", 500); r.ZapsatPriznak(u"CislovatOdZacatku", false);
                                     r.ZapsatPriznak(u"PonechatMaximum", true); },
         10, 2, 500, false, true, ""},
        {"out of range", [](TRegistr& r) { r.ZapsatCislo(u"PrvniBlok", 0); r.ZapsatCislo(u"MaximalniBlok", 20000); },
         1, 5, 9999, true, false, ""},
        {"first above maximum", [](TRegistr& r) { r.ZapsatCislo(u"PrvniBlok", 50); r.ZapsatCislo(u"MaximalniBlok", 20); },
         20, 5, 20, true, false, ""},
        {"both policies", [](TRegistr& r) { r.ZapsatPriznak(u"CislovatOdZacatku", true); r.ZapsatPriznak(u"PonechatMaximum", true); },
         5, 5, 9999, false, true, ""},
        {"neither policy", [](TRegistr& r) { r.ZapsatPriznak(u"CislovatOdZacatku", false); r.ZapsatPriznak(u"PonechatMaximum", false); },
         5, 5, 9999, false, false, ""},
        {"language as a number", [](TRegistr& r) { r.ZapsatCislo(u"Jazyk", 1); r.ZapsatCislo(u"PrvniBlok", 7); },
         5, 5, 9999, true, false,
         "Při čtení hodnot nastavení z registru došlo k chybě.\r(Invalid data type for 'Jazyk'.)"},
        {"first number as text", [](TRegistr& r) { r.ZapsatRetezec(u"PrvniBlok", u"7"); r.ZapsatCislo(u"MaximalniBlok", 50); },
         5, 5, 9999, true, false,
         "Při čtení hodnot nastavení z registru došlo k chybě.\r(Invalid data type for 'PrvniBlok'.)"},
    };
    for (const auto& p : pripady) {
        fs::remove(slozka / "Tarvik.reg");
        Ulozit(p.zapis);
        scenar.Zpravy.clear();
        Spustit();
        EXPECT_EQ(ui().speZacitOd->Value(), p.prvni) << p.nazev;
        EXPECT_EQ(ui().spePrirustek->Value(), p.prirustek) << p.nazev;
        EXPECT_EQ(ui().speMaximum->Value(), p.maximum) << p.nazev;
        EXPECT_EQ(ui().rbtCislovatOdZacatku->isChecked(), p.odZacatku) << p.nazev;
        EXPECT_EQ(ui().rbtPonechatMaximum->isChecked(), p.ponechat) << p.nazev;
        if (p.chyba.isEmpty()) {
            EXPECT_TRUE(scenar.Zpravy.empty()) << p.nazev;
        } else {
            ASSERT_FALSE(scenar.Zpravy.empty()) << p.nazev;
            EXPECT_EQ(scenar.Zpravy.front().Ikona, QMessageBox::Critical);
            EXPECT_EQ(scenar.Zpravy.front().Titulek, "Chyba");
            EXPECT_EQ(scenar.Zpravy.front().Text, p.chyba) << p.nazev;
        }
        beh->Zavrit();
        beh.reset();
    }
}

TEST_F(HlavniOkno, PosskozenyUlozenySoubor) {
    TDocasnaSlozka::Zapsat(slozka / "Tarvik.reg", "to neni registr\r\n[[[\r\n");
    Spustit();
    ASSERT_FALSE(scenar.Zpravy.empty());
    EXPECT_EQ(scenar.Zpravy.front().Titulek, "Chyba");
    EXPECT_TRUE(scenar.Zpravy.front().Text.startsWith("Při čtení hodnot nastavení z registru došlo k chybě.\r("));
    EXPECT_EQ(ui().speMaximum->Value(), 9999);
    beh->Zavrit();
    beh.reset();
    // The damaged file was kept aside, and the settings were written anew.
    int stranou = 0;
    for (const auto& f : fs::directory_iterator(slozka.Cesta()))
        stranou += f.path().filename().string().rfind("Tarvik.reg.corrupt-", 0) == 0;
    EXPECT_EQ(stranou, 1);
    TRegistrSoubor registr(slozka / "Tarvik.reg");
    ASSERT_TRUE(registr.OtevritKlic(Klic, false));
    EXPECT_EQ(registr.CistCislo(u"MaximalniBlok"), 9999);
}

// A list that could not be read from the store at start-up is not written
// over the stored one at exit: meanwhile another copy of the program may
// have saved its list there.
TEST_F(HlavniOkno, NenactenySeznamNeprepiseUlozeny) {
    TDocasnaSlozka::Zapsat(slozka / "Tarvik.reg", "to neni registr\r\n[[[\r\n");
    Spustit();
    ASSERT_FALSE(scenar.Zpravy.empty());
    EXPECT_EQ(NastaveniForm->PocetTypu(), 2);  // from files.ftd
    const std::vector<TTypSouboru> jineTypy{{u"Jiný", u".h", u"", u"", u"BEGIN PGM", u"END PGM", u";"}};
    fs::remove(slozka / "Tarvik.reg");
    {
        TRegistrSoubor jiny(slozka / "Tarvik.reg");
        UlozitTypySouboru(jiny, jineTypy);
    }
    EXPECT_TRUE(beh->Zavrit());
    beh.reset();
    TRegistrSoubor registr(slozka / "Tarvik.reg");
    EXPECT_EQ(NacistTypySouboru(registr, false, slozka / "files.ftd").Typy, jineTypy);
    // The settings themselves are written.
    ASSERT_TRUE(registr.OtevritKlic(Klic, false));
    EXPECT_EQ(registr.CistCislo(u"MaximalniBlok"), 9999);
}

TEST_F(HlavniOkno, PoskozenyRadekNeztratiSeznamTypu) {
    // One bad value among the settings: the other values and the stored list
    // are read, the box names the line and the copy, and the exit keeps the
    // list.
    const std::string poskozeny = "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"
                                  "\"PrvniBlok\"=dword:0000000a\r\n"
                                  "\"Prirustek\"=dword:zz\r\n"
                                  "\"MaximalniBlok\"=dword:00000064\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n"
                                  "\"0\"=\"Uložený\t.nc\t:\tN\t%\tM30\t\t\"\r\n";
    TDocasnaSlozka::Zapsat(slozka / "Tarvik.reg", poskozeny);
    Spustit();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(scenar.Zpravy.front().Titulek, "Chyba");
    const std::string text = scenar.Zpravy.front().Text.toStdString();
    const std::string kopie = (slozka / "Tarvik.reg").string() + ".corrupt-";
    EXPECT_EQ(text.rfind("Při čtení hodnot nastavení z registru došlo k chybě.\r(Settings file \"", 0), 0u) << text;
    EXPECT_NE(text.find("\" is damaged at line 5: a dword needs one to eight hex digits; the rest of it is read, and "
                        "the damaged file will be kept as \"" + kopie),
              std::string::npos)
        << text;
    EXPECT_EQ(ui().speZacitOd->Value(), 10);
    EXPECT_EQ(ui().spePrirustek->Value(), 5);
    EXPECT_EQ(ui().speMaximum->Value(), 100);
    ASSERT_EQ(NastaveniForm->livSoubory()->topLevelItemCount(), 1);
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItem(0)->text(0), "Uložený");
    beh->Zavrit();
    beh.reset();

    TRegistrSoubor registr(slozka / "Tarvik.reg");
    ASSERT_TRUE(registr.OtevritKlic(KlicTypuSouboru, false));
    EXPECT_EQ(registr.CistRetezec(u"0"), u"Uložený\t.nc\t:\tN\t%\tM30\t\t");
    EXPECT_FALSE(registr.Poskozeni());
    int stranou = 0;
    for (const auto& f : fs::directory_iterator(slozka.Cesta()))
        if (f.path().string().rfind(kopie, 0) == 0) {
            ++stranou;
            EXPECT_EQ(TDocasnaSlozka::Precist(f.path()), poskozeny);
        }
    EXPECT_EQ(stranou, 1);
}

TEST_F(HlavniOkno, UmisteniOkna) {
    Ulozit([](TRegistr& r) {
        r.ZapsatCislo(u"Vlevo", 40);
        r.ZapsatCislo(u"Nahore", 30);
        r.ZapsatCislo(u"Sirka", 800);
        r.ZapsatCislo(u"Vyska", 300);  // below the minimum
    });
    Spustit();
    // The stored values are the outer edges; the height is held at the minimum.
    EXPECT_EQ(HlavniForm->frameGeometry().topLeft(), QPoint(40, 30));
    EXPECT_EQ(HlavniForm->frameGeometry().width(), 800);
    EXPECT_EQ(HlavniForm->height(), 446);
    beh->Zavrit();
    beh.reset();

    Ulozit([](TRegistr& r) { r.ZapsatPriznak(u"Maximalni", true); });
    Spustit();
    EXPECT_TRUE(HlavniForm->isMaximized());
    beh->Zavrit();
    beh.reset();
    TRegistrSoubor registr(slozka / "Tarvik.reg");
    ASSERT_TRUE(registr.OtevritKlic(Klic, false));
    EXPECT_EQ(registr.CistCislo(u"Maximalni"), 1);
    // Closed maximised: the placement of the earlier run stays.
    EXPECT_EQ(registr.CistCislo(u"Vlevo"), 40);
    EXPECT_EQ(registr.CistCislo(u"Sirka"), 800);
}

TEST_F(HlavniOkno, MezeCiselnychPoli) {
    Spustit();
    ui().speMaximum->SetValue(3);
    ui().speMaximum->setFocus();
    ui().spePrirustek->setFocus();  // leaving the maximum
    EXPECT_EQ(ui().speZacitOd->Value(), 3);
    EXPECT_EQ(ui().spePrirustek->Value(), 3);
    EXPECT_EQ(ui().speZacitOd->MaxValue(), 3);

    // Typed beyond the bound: pulled back on leaving.
    ui().spePrirustek->lineEdit()->setText("77");
    ui().speZacitOd->setFocus();
    EXPECT_EQ(ui().spePrirustek->Value(), 3);
    // Emptied: reads as 1.
    ui().speZacitOd->lineEdit()->clear();
    EXPECT_EQ(ui().speZacitOd->Value(), 1);
    // Highlight while focused.
    EXPECT_EQ(ui().speZacitOd->palette().color(QPalette::Base), BarvaZvyrazneni);
    EXPECT_EQ(ui().spePrirustek->palette().color(QPalette::Base), BarvaOkna());

    // With the maximum at 1 both bounds are equal: nothing is corrected.
    ui().speMaximum->setFocus();
    ui().speMaximum->SetValue(1);
    ui().speZacitOd->setFocus();
    ui().speZacitOd->lineEdit()->setText("50");
    ui().spePrirustek->setFocus();
    EXPECT_EQ(ui().speZacitOd->Value(), 50);
}

TEST_F(HlavniOkno, OtevreniSouboru) {
    Spustit();
    struct Pripad {
        const char* nazev;
        std::string obsah;
        int pozice;
        QString text;
        QString statistiky;
        QString typ;
    };
    const Pripad pripady[] = {
        {"UTF-8 with a mark", "\xEF\xBB\xBFN10 (ČÁST)\r\nN20 M30\r\n", 1, "N10 (ČÁST)\r\nN20 M30\r\n",
         "Počet řádků: 2, Počet znaků: 21, Počet NC bloků: 2.", "Frézka"},
        {"LF breaks", "N10 G0\nN20 M30\n", 2, "N10 G0\r\nN20 M30\r\n",
         "Počet řádků: 2, Počet znaků: 17, Počet NC bloků: 2.", "Obrácená"},
        {"no final break", "N10 G0\rX", 1, "N10 G0\r\nX", "Počet řádků: 2, Počet znaků: 9, Počet NC bloků: 1.", "Frézka"},
        {"empty", "", 1, "", "Počet řádků: 0, Počet znaků: 0, Počet NC bloků: 0.", "Frézka"},
        {"filter position past the list", "5\n", 7, "5\r\n", "Počet řádků: 1, Počet znaků: 3, Počet NC bloků: 1.", ""},
    };
    for (const auto& p : pripady) {
        const std::string soubor = Soubor("program.nc", p.obsah);
        Otevrit(soubor, p.pozice);
        EXPECT_EQ(Text(), p.text) << p.nazev;
        EXPECT_EQ(HlavniForm->memPuvodni()->text(), p.text) << p.nazev;
        EXPECT_EQ(HlavniForm->Panel(0)->text(), p.statistiky) << p.nazev;
        EXPECT_EQ(HlavniForm->Panel(1)->text(), p.typ) << p.nazev;
        EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(soubor)) << p.nazev;
        EXPECT_FALSE(HlavniForm->Zmeneno()) << p.nazev;
        EXPECT_EQ(ui().shpStavUlozeni->Barva(), QColor(0, 128, 0)) << p.nazev;
        EXPECT_EQ(ui().shpStavUlozeni->toolTip(), "Soubor je uložen") << p.nazev;
    }
    EXPECT_TRUE(scenar.Zpravy.empty());
    EXPECT_TRUE(HlavniForm->memPuvodni()->isReadOnly());
    // The dialog offers the filter position and the file chosen last.
    ASSERT_EQ(scenar.NabidnutyFiltr.size(), 5u);
    EXPECT_EQ(scenar.NabidnutyFiltr[2].second, 2);
    EXPECT_EQ(scenar.NabidnutySoubor[1], QString::fromStdString((slozka / "program.nc").string()));
}

TEST_F(HlavniOkno, NecitelnySouborNicNezmeni) {
    Spustit();
    const std::string dobry = Soubor("dobry.nc", "N10 X\r\n");
    Otevrit(dobry);
    const std::string chybi = (slozka / "chybi.nc").string();
    Otevrit(chybi, 2);
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Titulek, "Chyba");
    EXPECT_EQ(PosledniZprava().Ikona, QMessageBox::Critical);
    EXPECT_EQ(PosledniZprava().Text,
              QString::fromStdString("Nelze otevřít soubor \"" + chybi + "\". Soubor nebo složka neexistuje."));
    EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(dobry));
    EXPECT_EQ(Text(), "N10 X\r\n");
    EXPECT_EQ(HlavniForm->Panel(1)->text(), "Frézka");
    EXPECT_EQ(HlavniForm->AktivniTypSouboru().HlavniZnak, u":");

    // Cancelling the dialog changes nothing either.
    HlavniForm->aOtevritExecute();
    EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(dobry));
}

TEST_F(HlavniOkno, PrikazyBezSouboru) {
    Spustit();
    for (auto prikaz : {&THlavniForm::aZavestExecute, &THlavniForm::aPrecislovatExecute,
                        &THlavniForm::aOdstranitExecute}) {
        scenar.Zpravy.clear();
        (HlavniForm->*prikaz)();
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(PosledniZprava().Ikona, QMessageBox::Critical);
        EXPECT_EQ(PosledniZprava().Titulek, "Chyba");
        EXPECT_EQ(PosledniZprava().Text, "Není otevřený žádný soubor.");
    }
    EXPECT_EQ(Text(), "");
}

TEST_F(HlavniOkno, BlokovePrikazy) {
    Spustit();
    const std::string cislovany = "%\r\nN5 G90\r\n  N7 G0 X0\r\n:9 M6\r\n(A)\r\nM30\r\n";
    const std::string bezCisel = "%\r\nG90\r\n(A)\r\nM30\r\n";
    struct Pripad {
        const char* nazev;
        std::string obsah;
        void (THlavniForm::*prikaz)();
        QString text;           // the program afterwards
        QString zprava;         // the message shown, empty for none
        QMessageBox::Icon ikona;
        QString statistiky;
    };
    const Pripad pripady[] = {
        {"introduce", bezCisel, &THlavniForm::aZavestExecute, "%\r\nN5 G90\r\n(A)\r\nM30\r\n", "",
         QMessageBox::NoIcon, "Počet řádků: 4, Počet znaků: 21, Počet NC bloků: 1."},
        {"introduce refused", cislovany, &THlavniForm::aZavestExecute, QString::fromStdString(cislovany),
         "Program již NC bloky obsahuje: 3x.\rNejdříve NC bloky odstraňte.", QMessageBox::Warning, ""},
        {"renumber", cislovany, &THlavniForm::aPrecislovatExecute,
         "%\r\nN5 G90\r\nN10 G0 X0\r\n:15 M6\r\n(A)\r\nM30\r\n", "", QMessageBox::NoIcon,
         "Počet řádků: 6, Počet znaků: 40, Počet NC bloků: 3."},
        {"renumber refused", bezCisel, &THlavniForm::aPrecislovatExecute, QString::fromStdString(bezCisel),
         "Program neobsahuje žádné NC bloky.\rMůžete zavést nové NC bloky.", QMessageBox::Information, ""},
        {"remove", cislovany, &THlavniForm::aOdstranitExecute, "%\r\n G90\r\n G0 X0\r\n M6\r\n(A)\r\nM30\r\n", "",
         QMessageBox::NoIcon, "Počet řádků: 6, Počet znaků: 32, Počet NC bloků: 0."},
        {"remove refused", bezCisel, &THlavniForm::aOdstranitExecute, QString::fromStdString(bezCisel),
         "Program neobsahuje žádné NC bloky", QMessageBox::Information, ""},
        {"introduce into an empty program", "", &THlavniForm::aZavestExecute, "", "", QMessageBox::NoIcon,
         "Počet řádků: 0, Počet znaků: 0, Počet NC bloků: 0."},
    };
    for (const auto& p : pripady) {
        Otevrit(Soubor("p.nc", p.obsah));
        scenar.Zpravy.clear();
        (HlavniForm->*p.prikaz)();
        EXPECT_EQ(Text(), p.text) << p.nazev;
        if (p.zprava.isEmpty()) {
            EXPECT_TRUE(scenar.Zpravy.empty()) << p.nazev;
            EXPECT_EQ(HlavniForm->Panel(0)->text(), p.statistiky) << p.nazev;
        } else {
            ASSERT_EQ(scenar.Zpravy.size(), 1u) << p.nazev;
            EXPECT_EQ(PosledniZprava().Text, p.zprava) << p.nazev;
            EXPECT_EQ(PosledniZprava().Ikona, p.ikona) << p.nazev;
            EXPECT_FALSE(HlavniForm->Zmeneno()) << p.nazev;
        }
        EXPECT_EQ(HlavniForm->memPuvodni()->text(), QString::fromStdString(p.obsah).replace("\n", "\r\n").replace("\r\r", "\r"))
            << p.nazev;
        HlavniForm->memProgram()->setModified(false);
    }
}

// An engine pass that fails part way: the lines it changed so far, and the
// rest as they were, replace the text they came from (the whole program or
// the selection), as one undo step; the failure goes on to the command and
// the status bar stays.
TEST_F(HlavniOkno, PruchodKterySelzeVratiRadky) {
    Spustit();
    // The user interface fails when the first line has been written.
    class TSelhani final : public TPrubeh {
    public:
        void ZacitPruchod() override {}
        void ObslouzitUdalosti(std::size_t, std::size_t) override { throw TChyba(u"Selhalo"); }
        void UkoncitPruchod() override {}
    } selhani;
    TZadaniPrikazu zadani;
    zadani.Prikaz = TPrikazProgramu::Precislovat;
    zadani.Typ.HlavniZnak = u":";
    zadani.Typ.VedlejsiZnak = u"N";
    zadani.Cislovani.AktualizovatOdkazy = false;
    struct Pripad {
        const char* nazev;
        int od, delka;  // the selection
        QString text;
    };
    const Pripad pripady[] = {
        {"whole program", 0, 0, "N5 A\r\n  N2 B\r\nN3 C"},
        {"selection", 6, 12, "N1 A\r\nN5 B\r\nN3 C\r\n"},
    };
    for (const auto& p : pripady) {
        Otevrit(Soubor("p.nc", "N1 A\r\n  N2 B\r\nN3 C"));
        const QString statistiky = HlavniForm->Panel(0)->text();
        VybratZnaky(p.od, p.delka);
        const auto vyber = HlavniForm->VyberPrikazu();
        const TPrikazNadTextem prikaz(zadani, HlavniForm->memProgram()->Utf8(), vyber);
        EXPECT_THROW(HlavniForm->ProvestPruchod(prikaz, selhani, vyber), TChyba) << p.nazev;
        EXPECT_EQ(Text(), p.text) << p.nazev;
        EXPECT_TRUE(HlavniForm->Zmeneno()) << p.nazev;
        EXPECT_EQ(HlavniForm->Panel(0)->text(), statistiky) << p.nazev;
        HlavniForm->memProgram()->undo();
        EXPECT_EQ(Text(), "N1 A\r\n  N2 B\r\nN3 C") << p.nazev;
    }
}

TEST_F(HlavniOkno, PrikazJeJedenKrokZpet) {
    Spustit();
    Otevrit(Soubor("p.nc", "N1 A\r\nN2 B\r\n"));
    HlavniForm->aPrecislovatExecute();
    EXPECT_EQ(Text(), "N5 A\r\nN10 B\r\n");
    EXPECT_TRUE(HlavniForm->Zmeneno());
    EXPECT_EQ(ui().shpStavUlozeni->Barva(), QColor(255, 0, 0));
    EXPECT_EQ(ui().shpStavUlozeni->toolTip(), "Soubor není uložen");
    HlavniForm->memProgram()->undo();
    EXPECT_EQ(Text(), "N1 A\r\nN2 B\r\n");
    EXPECT_FALSE(HlavniForm->Zmeneno());
    EXPECT_EQ(ui().shpStavUlozeni->Barva(), QColor(0, 128, 0));
}

TEST_F(HlavniOkno, PrecislovaniVyberu) {
    Spustit();
    struct Pripad {
        const char* nazev;
        int od, delka;
        QString text;
        QString zprava;
    };
    const std::string program = "N1 A\r\nN2 B\r\nN3 C\r\nN4 D";
    const Pripad pripady[] = {
        // Lines two and three, with the break after the third.
        {"whole lines", 6, 12, "N1 A\r\nN5 B\r\nN10 C\r\nN4 D", ""},
        // From the middle of the first line: "1 A" is a line of its own and no
        // block line; the selection ended without a break and gains one.
        {"starts mid-line", 1, 9, "N1 A\r\nN5 B\r\n\r\nN3 C\r\nN4 D", ""},
        {"ends at the end of the program", 12, 10, "N1 A\r\nN2 B\r\nN5 C\r\nN10 D\r\n", ""},
        {"no block lines", 2, 2, "N1 A\r\n\r\nN2 B\r\nN3 C\r\nN4 D",
         "Výběr neobsahuje žádné NC bloky.\rMůžete zavést nové NC bloky."},
    };
    for (const auto& p : pripady) {
        Otevrit(Soubor("p.nc", program));
        scenar.Zpravy.clear();
        VybratZnaky(p.od, p.delka);
        HlavniForm->aPrecislovatExecute();
        EXPECT_EQ(Text(), p.text) << p.nazev;
        if (p.zprava.isEmpty()) {
            EXPECT_TRUE(scenar.Zpravy.empty()) << p.nazev;
        } else {
            ASSERT_EQ(scenar.Zpravy.size(), 1u) << p.nazev;
            EXPECT_EQ(PosledniZprava().Text, p.zprava) << p.nazev;
        }
        HlavniForm->memProgram()->setModified(false);
    }
}

TEST_F(HlavniOkno, UlozeniSouboru) {
    Spustit();
    // UTF-8 with a mark comes back without it; LF breaks come back as CR LF.
    const std::string soubor = Soubor("p.nc", "\xEF\xBB\xBFN1 (část)\nN2 X\n");
    Otevrit(soubor);
    HlavniForm->aPrecislovatExecute();
    HlavniForm->aUlozitExecute();
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 (část)\r\nN10 X\r\n");
    EXPECT_FALSE(HlavniForm->Zmeneno());
    EXPECT_EQ(ui().shpStavUlozeni->Barva(), QColor(0, 128, 0));
    EXPECT_EQ(HlavniForm->memPuvodni()->text(), "N1 (část)\r\nN2 X\r\n");

    // A Windows-1250 program stays Windows-1250, until it gains a character the
    // code page cannot hold: then it is written as UTF-8 with a mark, and the user is told.
    const std::string cp = Soubor("cp.nc", "N1 (\xE8\xE1st)\r\n");
    Otevrit(cp);
    HlavniForm->aPrecislovatExecute();
    HlavniForm->aUlozitExecute();
    EXPECT_EQ(TDocasnaSlozka::Precist(cp), "N5 (\xE8\xE1st)\r\n");
    EXPECT_TRUE(scenar.Zpravy.empty());
    HlavniForm->memProgram()->append(QStringLiteral("(\u2192)"));
    HlavniForm->aUlozitExecute();
    EXPECT_EQ(TDocasnaSlozka::Precist(cp), "\xEF\xBB\xBFN5 (část)\r\n(\xE2\x86\x92)");
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Ikona, QMessageBox::Information);

    // A program that begins with U+FEFF (a file with two marks) keeps it: it
    // is written with a mark in front, else it would read back without it.
    const std::string dve = Soubor("dve.nc", "\xEF\xBB\xBF\xEF\xBB\xBF(A)\r\nN1 X\r\n");
    Otevrit(dve);
    HlavniForm->aPrecislovatExecute();
    HlavniForm->aUlozitExecute();
    EXPECT_EQ(TDocasnaSlozka::Precist(dve), "\xEF\xBB\xBF\xEF\xBB\xBF(A)\r\nN5 X\r\n");
    EXPECT_EQ(scenar.Zpravy.size(), 1u);
}

TEST_F(HlavniOkno, UlozeniNaSouborJenKeCteni) {
    Spustit();
    const std::string soubor = Soubor("ro.nc", "N1 X\r\n");
    // Read-only as it is opened (made so later, it is a change from outside).
    fs::permissions(soubor, fs::perms::owner_read);
    Otevrit(soubor);
    HlavniForm->aPrecislovatExecute();
    HlavniForm->aUlozitExecute();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Titulek, "Chyba");
    EXPECT_EQ(PosledniZprava().Text,
              QString::fromStdString("Nelze vytvořit soubor \"" + soubor + "\". Přístup odepřen."));
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N1 X\r\n");
    EXPECT_TRUE(HlavniForm->Zmeneno());
    EXPECT_EQ(ui().shpStavUlozeni->Barva(), QColor(255, 0, 0));

    // Closing: Yes saves, which fails: the window stays open, still modified.
    scenar.Odpovedi = {QMessageBox::Yes};
    EXPECT_FALSE(beh->Zavrit());
    EXPECT_TRUE(HlavniForm->isVisible());
    EXPECT_TRUE(HlavniForm->Zmeneno());
    fs::permissions(soubor, fs::perms::owner_read | fs::perms::owner_write);
}

// The question before closing: Yes saves, No does not, Cancel (Escape, or
// the question's own close button) keeps the window open with the program as
// it was. A program typed into the empty window is asked about without a
// name, and Yes asks for one: the program is saved under it, or (the name not
// given) the window stays open and nothing is written.
TEST_F(HlavniOkno, OtazkaPriZavreni) {
    struct Pripad {
        const char* nazev;
        bool otevrit;
        QMessageBox::StandardButton odpoved;
        bool jmeno;  // the save-as dialog gives the name (when it comes)
        bool zavreno;
        std::string ulozeno;  // the file afterwards
        QString otazka;
        std::size_t dialogu;  // save-as dialogs shown
    };
    const Pripad pripady[] = {
        {"yes", true, QMessageBox::Yes, false, true, "N5 X\r\n", "Uložit změněný soubor\r\"%1\"?", 0},
        {"no", true, QMessageBox::No, false, true, "N1 X\r\n", "Uložit změněný soubor\r\"%1\"?", 0},
        {"yes without a file, named", false, QMessageBox::Yes, true, true, "N1 X", "Uložit změněný soubor?", 1},
        {"yes without a file, not named", false, QMessageBox::Yes, false, false, "N1 X\r\n",
         "Uložit změněný soubor?", 1},
        {"no without a file", false, QMessageBox::No, false, true, "N1 X\r\n", "Uložit změněný soubor?", 0},
        {"cancel", true, QMessageBox::Cancel, false, false, "N1 X\r\n", "Uložit změněný soubor\r\"%1\"?", 0},
        {"cancel without a file", false, QMessageBox::Cancel, false, false, "N1 X\r\n", "Uložit změněný soubor?", 0},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const std::string soubor = Soubor("p.nc", "N1 X\r\n");
        Spustit();
        if (p.otevrit) {
            Otevrit(soubor);
            HlavniForm->aPrecislovatExecute();
        } else {
            HlavniForm->memProgram()->setText("N1 X");
        }
        scenar.Zpravy.clear();
        scenar.NabidnutoUlozeni.clear();
        scenar.Odpovedi = {p.odpoved};
        scenar.Ulozeni = {p.jmeno ? std::optional(Modalni::TOtevreni{QString::fromStdString(soubor), 1}) : std::nullopt};
        EXPECT_EQ(beh->Zavrit(), p.zavreno);
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Question);
        EXPECT_EQ(scenar.Zpravy[0].Tlacitka, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(scenar.Zpravy[0].Titulek, "Potvrzení");
        EXPECT_EQ(scenar.Zpravy[0].Text, QString(p.otazka).replace("%1", QString::fromStdString(soubor)));
        EXPECT_EQ(scenar.NabidnutoUlozeni.size(), p.dialogu);
        EXPECT_EQ(TDocasnaSlozka::Precist(soubor), p.ulozeno);
        if (!p.zavreno) {
            EXPECT_TRUE(HlavniForm->Zmeneno());
            EXPECT_EQ(HlavniForm->memProgram()->Utf8(), p.otevrit ? "N5 X\r\n" : "N1 X");
            HlavniForm->memProgram()->setModified(false);
        }
        beh.reset();
    }
}

// Opening another program over a typed one without a name: Yes asks for the
// name, and when none is given the open dialog never comes and the text stays.
TEST_F(HlavniOkno, OtevreniPoNepojmenovanemProgramu) {
    Spustit();
    const std::string jiny = Soubor("jiny.nc", "N7 Y\r\n");
    HlavniForm->memProgram()->setText("N1 X");
    scenar.Odpovedi = {QMessageBox::Yes};
    Otevrit(jiny);
    EXPECT_TRUE(scenar.NabidnutyFiltr.empty());
    EXPECT_EQ(Text(), "N1 X");
    EXPECT_TRUE(HlavniForm->AktualniSoubor().isEmpty());

    // Named now: saved there, it is the program's file, and the open dialog follows.
    const std::string novy = (slozka / "novy.tap").string();
    scenar.Odpovedi = {QMessageBox::Yes};
    scenar.Ulozeni = {Modalni::TOtevreni{QString::fromStdString(novy), 2}};
    scenar.Otevreni = {std::nullopt};
    HlavniForm->aOtevritExecute();
    EXPECT_EQ(TDocasnaSlozka::Precist(novy), "N1 X");
    EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(novy));
    EXPECT_EQ(scenar.NabidnutyFiltr.size(), 1u);
    // It had no file type: it takes the one chosen in the dialog.
    EXPECT_EQ(HlavniForm->Panel(1)->text(), "Obrácená");
    EXPECT_FALSE(HlavniForm->Zmeneno());
    ASSERT_EQ(scenar.Zpravy.size(), 2u);
    EXPECT_EQ(scenar.Zpravy[1].Text, "Uložit změněný soubor?");
}

TEST_F(HlavniOkno, ZkratitCestu) {
    Spustit();
    const QFont pismo = ui().lblSoubor->font();
    const QString cesta = "C:\\CNC\\Programy\\Dil\\program.nc";
    const QStringList kroky = {"C:\\...\\Programy\\Dil\\program.nc", "C:\\...\\Dil\\program.nc",
                               "C:\\...\\program.nc", "...\\program.nc", "program.nc"};
    const QFontMetrics miry(pismo);
    for (const QString& krok : kroky) {
        // The widest width at which this step is the result.
        EXPECT_EQ(THlavniForm::ZkratitCestu(cesta, pismo, miry.horizontalAdvance(krok)), krok);
    }
    EXPECT_EQ(THlavniForm::ZkratitCestu(cesta, pismo, 1), "program.nc");
    EXPECT_EQ(THlavniForm::ZkratitCestu(cesta, pismo, 10000), cesta);
}

}  // namespace

namespace {

TEST_F(HlavniOkno, BehemPruchoduJsouPrikazyZablokovane) {
    Spustit();
    Otevrit(Soubor("p.nc", "N1 X\r\n"));
    HlavniForm->ZacitPruchod();
    EXPECT_TRUE(HlavniForm->PruchodBezi());
    EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    for (QAction* a : {ui().aOtevrit, ui().aUlozit, ui().aZavest, ui().aPrecislovat, ui().aOdstranit,
                       ui().aNastaveni, ui().aKonec, ui().aUlozitJako, ui().aPrejit, ui().aPosledni})
        EXPECT_FALSE(a->isEnabled()) << a->objectName().toStdString();
    EXPECT_TRUE(HlavniForm->memProgram()->isReadOnly());
    // Neither a command nor closing the window gets through meanwhile.
    HlavniForm->aOtevritExecute();
    EXPECT_TRUE(scenar.NabidnutyFiltr.size() == 1u);
    EXPECT_FALSE(HlavniForm->close());

    HlavniForm->UkoncitPruchod();
    EXPECT_FALSE(HlavniForm->PruchodBezi());
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_TRUE(ui().aZavest->isEnabled());
    EXPECT_FALSE(HlavniForm->memProgram()->isReadOnly());
}

// Work that lasts shows its progress after about 200 ms, not before; the
// text cannot be undone meanwhile.
TEST_F(HlavniOkno, PrubehDlouhePrace) {
    Spustit();
    Otevrit(Soubor("p.nc", "N1 X\r\n"));
    HlavniForm->aPrecislovatExecute();
    auto* prubeh = HlavniForm->findChild<QProgressBar*>(QStringLiteral("StatusBar1Prubeh"));
    ASSERT_NE(prubeh, nullptr);
    HlavniForm->ZacitPraci();
    HlavniForm->PrubehPrace(1024, 4096);
    EXPECT_FALSE(prubeh->isVisible());
    QTest::keyClick(HlavniForm->memProgram(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "N5 X\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(230));
    HlavniForm->PrubehPrace(2048, 4096);
    EXPECT_TRUE(prubeh->isVisible());
    EXPECT_EQ(prubeh->value(), 50);
    HlavniForm->UkoncitPraci();
    EXPECT_FALSE(prubeh->isVisible());
    QTest::keyClick(HlavniForm->memProgram(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Text(), "N1 X\r\n");
}

// A program of several megabytes in Windows-1250: renumbered as the engine
// renumbers its lines, saved back in its encoding piece by piece; undone and
// saved, it is the file it was, byte for byte.
TEST_F(HlavniOkno, VelkyProgram) {
    std::string bajty;
    for (int i = 0; bajty.size() < (3u << 20); ++i) {
        bajty += i % 5000 == 0 ? "%" : "N";
        bajty += std::to_string(i);
        bajty += " G01 X1 (\xE8\xE1st \x9A)\r\n";
    }
    TText text = DekodovatText(bajty);
    ASSERT_EQ(text.Kodovani, TKodovani::Cp1250);
    TCNCFile().PrecislovatBloky(text.Radky, 5, 5, 9999, u"%", u":", u"N", true);
    std::u16string spojeny;
    for (const auto& r : text.Radky) spojeny += r + u"\r\n";
    std::string ocekavane;
    ASSERT_EQ(ZakodovatText(ocekavane, spojeny, TKodovani::Cp1250), TKodovani::Cp1250);

    Spustit();
    const std::string soubor = Soubor("velky.nc", bajty);
    Otevrit(soubor);
    HlavniForm->aPrecislovatExecute();
    HlavniForm->aUlozitExecute();
    EXPECT_TRUE(TDocasnaSlozka::Precist(soubor) == ocekavane);
    EXPECT_FALSE(HlavniForm->Zmeneno());
    HlavniForm->memProgram()->undo();
    EXPECT_TRUE(HlavniForm->Zmeneno());
    HlavniForm->aUlozitExecute();
    EXPECT_TRUE(TDocasnaSlozka::Precist(soubor) == bajty);
    EXPECT_TRUE(scenar.Zpravy.empty());
}

TEST_F(HlavniOkno, KlavesoveZkratky) {
    Spustit();
    Otevrit(Soubor("p.nc", "A\r\nB\r\n"));
    HlavniForm->memProgram()->setFocus();
    // Ctrl+Insert introduces, F9 renumbers, Ctrl+Delete removes, also from the program's text area.
    QTest::keyClick(HlavniForm->memProgram(), Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(Text(), "N5 A\r\nN10 B\r\n");
    ui().speZacitOd->SetValue(20);
    QTest::keyClick(HlavniForm->memProgram(), Qt::Key_F9);
    EXPECT_EQ(Text(), "N20 A\r\nN25 B\r\n");
    QTest::keyClick(HlavniForm->memProgram(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Text(), " A\r\n B\r\n");
    EXPECT_TRUE(scenar.Zpravy.empty());
}

}  // namespace

namespace {

// A language file that cannot be read ends the catalogue pass, but the file
// type list is loaded all the same: it is saved at exit, and an unloaded
// list would replace the user's stored one.
TEST_F(HlavniOkno, PoskozenyJazykovySouborNeztratiSeznamTypu) {
    Spustit();
    EXPECT_TRUE(beh->Zavrit());  // the list now lives in the store
    beh.reset();
    fs::remove(slozka / "files.ftd");
    TDocasnaSlozka::Zapsat(slozka / "tarvik.xml", "<Preklad><JAZYKY>");
    scenar.Zpravy.clear();
    Spustit();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Titulek, "Chyba");
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItemCount(), 2);
    EXPECT_EQ(HlavniForm->Filtr(), "Frézka (*.nc)|*.nc|Obrácená (*.tap)|*.tap");
    EXPECT_TRUE(beh->Zavrit());
    beh.reset();
    TRegistrSoubor registr(slozka / "Tarvik.reg");
    ASSERT_TRUE(registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik\\TypySouboru", false));
    EXPECT_EQ(registr.PocetHodnot(), 2u);
}

}  // namespace

namespace {

// The real message box, not the scripted seam: Escape does not answer a
// question (it would be taken for No and lose the changes asked about);
// only Yes or No closes it.
TEST(HlaseniSkutecne, UnikNeodpoviDotaz) {
    THlaseni hlaseni;
    bool unikZavrel = true;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key_Escape);
        unikZavrel = !box->isVisible();
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(hlaseni.ZobrazitHlaseni(thDotaz, "Uložit?", "Potvrzení"), Tlacitko::Ano);
    EXPECT_FALSE(unikZavrel);

    // An information box closes with Escape as OK.
    QTimer::singleShot(0, [] {
        if (auto* box = QApplication::activeModalWidget()) QTest::keyClick(box, Qt::Key_Escape);
    });
    EXPECT_EQ(hlaseni.ZobrazitHlaseni(thInformace, "Hotovo", ""), Tlacitko::OK);
}

}  // namespace

namespace {

// A value typed into a spin edit is checked when a command starts, also
// while the focus is still in it (a shortcut or a tool button takes none):
// an increment of 0 or a first number above the maximum never reaches the
// engine, which would give every block the same number.
TEST_F(HlavniOkno, CislaSeKontrolujiPredPrikazem) {
    Spustit();
    Otevrit(Soubor("p.nc", "N1 A\r\nN2 B\r\n"));
    ui().spePrirustek->setFocus();
    ui().spePrirustek->lineEdit()->setText("0");
    HlavniForm->aPrecislovatExecute();
    EXPECT_EQ(Text(), "N5 A\r\nN6 B\r\n");
    EXPECT_EQ(ui().spePrirustek->Value(), 1);

    ui().speMaximum->setFocus();
    ui().speMaximum->lineEdit()->setText("20");
    ui().speZacitOd->SetValue(50);
    HlavniForm->aPrecislovatExecute();
    // The first number is pulled down to the maximum, as on leaving the maximum.
    EXPECT_EQ(ui().speZacitOd->Value(), 20);
    EXPECT_EQ(Text(), "N20 A\r\nN20 B\r\n");
}

}  // namespace

namespace {

// The open dialog's entries: each file type its own entry, in list order,
// also when two are alike or a name holds the filter's separator.
TEST(FiltrOtevreni, KazdyTypMaVlastniPolozku) {
    struct Pripad {
        QString filtr;
        QStringList polozky;
    };
    const Pripad pripady[] = {
        {"Program (*.nc)|*.nc|Podprogram (*.spf)|*.spf", {"Program (*.nc)", "Podprogram (*.spf)"}},
        {"A (*.nc)|*.nc|A (*.nc)|*.nc|A (*.nc)|*.nc", {"A (*.nc)", "A [2] (*.nc)", "A [3] (*.nc)"}},
        {"Fr (5 os) (*.nc)|*.nc", {"Fr (5 os) (*.nc)"}},
        {"", {}},
    };
    for (const auto& p : pripady) EXPECT_EQ(Modalni::PolozkyFiltru(p.filtr), p.polozky) << p.filtr.toStdString();
}

TEST_F(HlavniOkno, SvislaCaraVNazvuTypu) {
    TDocasnaSlozka::Zapsat(slozka / "files.ftd", "A|B\t.nc\t:\tN\t%\tM30\t(\t\r\nC\t.tap\tN\t:\t%\tM30\t;\t\r\n");
    Spustit();
    EXPECT_EQ(HlavniForm->Filtr(), "A/B (*.nc)|*.nc|C (*.tap)|*.tap");
    EXPECT_EQ(Modalni::PolozkyFiltru(HlavniForm->Filtr()).size(), 2);
}

}  // namespace
