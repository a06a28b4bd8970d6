// Languages in the running application: the catalogue pass, the language
// command and its dialog, the About dialog, and the shipped language file.
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"
#include "ui/fASCII.h"
#include "ui/fNastaveni.h"
#include "ui/fTypSouboru.h"
#include "katalog/TextyDavky.h"
#include "katalog/convar.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "platform/Kodovani.h"
#include "platform/RegistrSoubor.h"
#include "ui/fNajit.h"
#include "ui/fOAplikaci.h"
#include "ui/fPorovnani.h"
#include "ui/fPrejit.h"
#include "ui/Modalni.h"

#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QFontDatabase>
#include <QFontInfo>
#include <QCheckBox>
#include <QGroupBox>
#include <QTreeView>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr char16_t Klic[] = u"\\Software\\Orvendal\\Tarvik";

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// A small language file: CZ, EN and XX (listed, without texts and without a
// flag of its own).
const std::string MalySoubor = R"(<?xml version="1.0" encoding="UTF-8"?>
<Preklad>
  <JAZYKY>
    <CZ index="0"><Jmeno>Čeština</Jmeno><Verze>1.0</Verze><Autor>A</Autor></CZ>
    <EN index="1"><Jmeno>English</Jmeno><Verze>1.0</Verze><Autor>A</Autor></EN>
    <XX index="9"><Jmeno>Prázdný</Jmeno><Verze>0</Verze><Autor>A</Autor></XX>
  </JAZYKY>
  <Obecne>
    <rsCHYBA><EN>Error</EN></rsCHYBA>
    <rsINFORMACE><EN>Information</EN></rsINFORMACE>
  </Obecne>
  <HlavniForm>
    <lblZacitOd><EN>Start at</EN></lblZacitOd>
    <aKonec><EN>E&amp;xit</EN></aKonec>
    <aKonec-H><EN>Closes the application</EN></aKonec-H>
    <aJazyk-H><EN>Choose the language|</EN></aJazyk-H>
  </HlavniForm>
  <JazykForm>
    <btnStorno><EN>Cancel</EN></btnStorno>
  </JazykForm>
</Preklad>
)";

class Jazyky : public ::testing::Test {
protected:
    Jazyky() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd", "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n");
        TOAplikaciForm::NastavitOtevreniAdresy([this](const QUrl& adresa) { otevreneAdresy.push_back(adresa); });
    }
    ~Jazyky() override {
        TOAplikaciForm::NastavitOtevreniAdresy({});
        Ukoncit();
        fs::current_path(fs::temp_directory_path());
        ObnovitVestaveneTexty();
    }
    void Spustit() { beh = std::make_unique<TBehAplikace>(slozka); }
    void Ukoncit() {
        if (!beh) return;
        if (HlavniForm) HlavniForm->memProgram()->setModified(false);
        beh->Zavrit();
        beh.reset();
    }
    void Soubor(const std::string& obsah) { TDocasnaSlozka::Zapsat(slozka / "tarvik.xml", obsah); }
    void DodanySoubor() { fs::copy_file(TARVIK_JAZYKY_XML, slozka / "tarvik.xml", fs::copy_options::overwrite_existing); }
    void Ulozit(const std::function<void(TRegistr&)>& zapis) {
        TRegistrSoubor registr(slozka / "Tarvik.reg");
        ASSERT_TRUE(registr.OtevritKlic(Klic, true));
        zapis(registr);
        registr.ZavritKlic();
    }
    Ui::THlavniForm& ui() { return HlavniForm->Formular(); }
    // The language dialog's next run: select the row (or none), then OK or Storno.
    void Vybrat(int radek, bool ok = true) {
        scenar.Dialogy.push_back([=, this](QDialog&) {
            QTreeWidget* s = JazykForm->livJazyk();
            zobrazeneRadky = s->topLevelItemCount();
            const auto vybrane = s->selectedItems();
            predvybrany = vybrane.isEmpty() ? -1 : s->indexOfTopLevelItem(vybrane.front());
            okPredVyberem = JazykForm->btnOK()->isEnabled();
            if (radek >= 0) s->setCurrentItem(s->topLevelItem(radek));
            okPoVyberu = JazykForm->btnOK()->isEnabled();
            return int(ok ? QDialog::Accepted : QDialog::Rejected);
        });
    }
    int PocetBehu(const char* dialog) const {
        return int(std::count(scenar.SpusteneDialogy.begin(), scenar.SpusteneDialogy.end(), QLatin1String(dialog)));
    }
    const TZaznamZpravy& PosledniZprava() const { return scenar.Zpravy.back(); }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
    std::vector<QUrl> otevreneAdresy;
    int zobrazeneRadky = -2, predvybrany = -2;
    bool okPredVyberem = false, okPoVyberu = false;
};

TEST_F(Jazyky, BezSouboruVestaveneTexty) {
    rsCHYBA = u"zbytek";
    Ulozit([](TRegistr& r) { r.ZapsatRetezec(u"Jazyk", u"EN"); });
    Spustit();
    // Built-in messages, the designed window texts.
    EXPECT_EQ(rsCHYBA, u"Chyba");
    EXPECT_EQ(ui().aKonec->text(), u"&Konec");
    EXPECT_EQ(ui().aKonec->toolTip(), u"Ukončení aplikace");
    EXPECT_EQ(ui().lblZacitOd->text(), u"Začít od");
    EXPECT_TRUE(scenar.Zpravy.empty());

    // The command only says that there is no language file, in fixed Czech.
    HlavniForm->aJazykExecute();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Ikona, QMessageBox::Information);
    EXPECT_EQ(PosledniZprava().Titulek, u"Informace");
    EXPECT_EQ(PosledniZprava().Text.toStdString(),
              "Nebyl nalezen žádný jazykový soubor\rAplikace používá výchozí jazyk (Češtinu).");
    EXPECT_EQ(PocetBehu("JazykForm"), 0);
    EXPECT_EQ(HlavniForm->IndexObrazku(), 8);
}

TEST_F(Jazyky, PrvniPruchodVUlozenemJazyce) {
    DodanySoubor();
    Ulozit([](TRegistr& r) {
        r.ZapsatRetezec(u"Jazyk", u"EN");
        r.ZapsatCislo(u"IndexObrazku", 9);
    });
    Spustit();
    EXPECT_TRUE(scenar.Zpravy.empty());
    EXPECT_EQ(rsCHYBA, u"Error");
    EXPECT_EQ(rsBLOKU, u"NC block numbers");
    EXPECT_EQ(ui().aKonec->text(), u"E&xit");
    EXPECT_EQ(ui().aKonec->iconText(), u"E&xit");
    EXPECT_EQ(ui().aKonec->toolTip(), u"Exit");
    EXPECT_EQ(ui().speZacitOd->toolTip(), u"Choose the number of the first NC block");
    EXPECT_EQ(ui().gbxNcBloky->title(), u"Block numbers");
    EXPECT_EQ(ui().pgcSoubory->tabText(1), u"Original program");
    EXPECT_EQ(ui().gbxNastaveni->title(), u"Block number settings");
    // Unmarked texts stay Czech.
    EXPECT_EQ(HlavniForm->windowTitle(), u"Tarvik");
    // The dialogs.
    EXPECT_EQ(OAplikaciForm->windowTitle(), u"About the application");
    EXPECT_EQ(OAplikaciForm->lblPopis()->text(), u"Block number operations for NC programs");
    EXPECT_EQ(OAplikaciForm->btnZavrit()->text(), u"Close");
    EXPECT_EQ(JazykForm->windowTitle(), u"Application language");
    EXPECT_EQ(JazykForm->livJazyk()->headerItem()->text(3), u"Author");
    EXPECT_EQ(NastaveniForm->windowTitle(), u"Settings");
    EXPECT_EQ(NastaveniForm->livSoubory()->headerItem()->text(3), u"Secondary");
    EXPECT_EQ(TypSouboruForm->windowTitle(), u"File type settings");
    EXPECT_EQ(ASCIIForm->windowTitle(), u"ASCII character table");
    const QTreeWidget* ascii = ASCIIForm->findChild<QTreeWidget*>(QStringLiteral("livASCII"));
    ASSERT_TRUE(ascii);
    EXPECT_EQ(ascii->headerItem()->text(0), u"Character");
    EXPECT_EQ(ascii->headerItem()->text(1), u"Dec");
    EXPECT_EQ(HlavniForm->IndexObrazku(), 9);
}

// While no language was chosen, the window speaks the locale's (with its
// flag) and stores none; a language chosen in the dialog is stored and wins
// over the locale at the next start.
TEST_F(Jazyky, JazykProstredi) {
    struct TProstredi {
        TProstredi() { qputenv("LC_ALL", "de_DE.UTF-8"); }
        ~TProstredi() { qputenv("LC_ALL", "C.UTF-8"); }
    } nemecke;
    DodanySoubor();
    Spustit();
    EXPECT_EQ(JazykXML->Jazyk, u"DE");
    EXPECT_EQ(HlavniForm->IndexObrazku(), 12);
    EXPECT_EQ(ui().aOtevrit->text(), u"&Öffnen...");
    Vybrat(-1, false);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(predvybrany, 3);
    Ukoncit();
    {
        TRegistrSoubor registr(slozka / "Tarvik.reg");
        ASSERT_TRUE(registr.OtevritKlic(Klic, false));
        EXPECT_FALSE(registr.HodnotaExistuje(u"Jazyk"));
    }
    ObnovitVestaveneTexty();
    Spustit();
    Vybrat(4);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(JazykXML->Jazyk, u"FR");
    Ukoncit();
    ObnovitVestaveneTexty();
    Spustit();
    EXPECT_EQ(JazykXML->Jazyk, u"FR");
    EXPECT_EQ(HlavniForm->IndexObrazku(), 13);
    Ukoncit();
}

TEST_F(Jazyky, VolbaJazyka) {
    DodanySoubor();
    Spustit();
    EXPECT_EQ(rsCHYBA, u"Chyba");
    // The file's list, the current language selected and OK available.
    Vybrat(1);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(zobrazeneRadky, 6);
    EXPECT_EQ(predvybrany, 0);
    EXPECT_TRUE(okPredVyberem);
    EXPECT_EQ(JazykForm->livJazyk()->topLevelItem(1)->text(1), u"English");
    EXPECT_EQ(IndexObrazkuRadku(JazykForm->livJazyk()->topLevelItem(5)), 5);
    // The command shows the English flag: image 9 + its flag position 1.
    EXPECT_EQ(JazykXML->Jazyk, u"EN");
    EXPECT_EQ(HlavniForm->IndexObrazku(), 10);
    EXPECT_EQ(rsCHYBA, u"Error");
    EXPECT_EQ(ui().aOtevrit->text(), u"&Open...");

    // Storno after choosing another row changes nothing.
    Vybrat(3, false);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(predvybrany, 1);
    EXPECT_EQ(JazykXML->Jazyk, u"EN");
    EXPECT_EQ(HlavniForm->IndexObrazku(), 10);
    EXPECT_EQ(ui().aOtevrit->text(), u"&Open...");

    Vybrat(3);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(JazykXML->Jazyk, u"DE");
    EXPECT_EQ(HlavniForm->IndexObrazku(), 12);
    EXPECT_EQ(rsCHYBA, u"Fehler");
    EXPECT_EQ(NastaveniForm->windowTitle(), u"Einstellungen");
    EXPECT_EQ(PocetBehu("JazykForm"), 3);
    EXPECT_TRUE(scenar.Zpravy.empty());

    // Chosen again, the same texts.
    Vybrat(-1);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(rsCHYBA, u"Fehler");
    EXPECT_EQ(ui().aOtevrit->text(), u"&Öffnen...");

    // The choice outlives the run.
    Ukoncit();
    {
        TRegistrSoubor registr(slozka / "Tarvik.reg");
        ASSERT_TRUE(registr.OtevritKlic(Klic, false));
        EXPECT_EQ(registr.CistRetezec(u"Jazyk"), u"DE");
        EXPECT_EQ(registr.CistCislo(u"IndexObrazku"), 12);
    }
    ObnovitVestaveneTexty();
    Spustit();
    EXPECT_EQ(JazykXML->Jazyk, u"DE");
    EXPECT_EQ(HlavniForm->IndexObrazku(), 12);
    EXPECT_EQ(rsCHYBA, u"Fehler");
    EXPECT_EQ(ui().lblZacitOd->text(), u"Start bei");
}

TEST_F(Jazyky, JazykBezTextuAObrazekVlajky) {
    Soubor(MalySoubor);
    Spustit();
    Vybrat(1);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(IndexObrazkuRadku(JazykForm->livJazyk()->topLevelItem(1)), 1);
    EXPECT_EQ(HlavniForm->IndexObrazku(), 10);
    EXPECT_EQ(rsCHYBA, u"Error");
    EXPECT_EQ(ui().aKonec->text(), u"E&xit");
    EXPECT_EQ(ui().aKonec->toolTip(), u"Exit");
    // A "-H" text that ends with "|" is the tooltip itself.
    EXPECT_EQ(ui().aJazyk->toolTip(), u"Choose the language");
    EXPECT_EQ(Hint(ui().aJazyk), u"Choose the language|");

    // A language without texts: the messages and the windows go back to
    // their Czech texts, not to what the last language left.
    Vybrat(2);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(JazykXML->Jazyk, u"XX");
    // XX has no flag: the command's own image.
    EXPECT_EQ(HlavniForm->IndexObrazku(), 8);
    EXPECT_EQ(rsCHYBA, u"Chyba");
    EXPECT_EQ(rsINFORMACE, u"Informace");
    EXPECT_EQ(ui().aKonec->text(), u"&Konec");
    EXPECT_EQ(ui().aKonec->toolTip(), u"Konec");
    EXPECT_EQ(ui().lblZacitOd->text(), u"Začít od");
    EXPECT_EQ(JazykForm->btnStorno()->text(), u"Storno");
}

TEST_F(Jazyky, NeuvedenyJazyk) {
    Soubor(MalySoubor);
    Ulozit([](TRegistr& r) { r.ZapsatRetezec(u"Jazyk", u"pl"); });
    Spustit();
    // The lookups do not mind; the dialog has no row for it, so OK waits for a choice.
    Vybrat(1, false);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(zobrazeneRadky, 3);
    EXPECT_EQ(predvybrany, -1);
    EXPECT_FALSE(okPredVyberem);
    EXPECT_TRUE(okPoVyberu);
    EXPECT_EQ(JazykXML->Jazyk, u"pl");
    // The current code in another letter case selects its row.
    JazykXML->Jazyk = QStringLiteral("en");
    Vybrat(-1, false);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(predvybrany, 1);
    EXPECT_TRUE(okPredVyberem);
}

TEST_F(Jazyky, SouborSeObjeviMeziPruchody) {
    Spustit();
    EXPECT_EQ(rsCHYBA, u"Chyba");
    // The file appears during the run: the command loads it.
    DodanySoubor();
    Vybrat(1);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(PocetBehu("JazykForm"), 1);
    EXPECT_EQ(zobrazeneRadky, 6);
    EXPECT_EQ(rsCHYBA, u"Error");
    EXPECT_EQ(ui().lblZacitOd->text(), u"Start at");

    // Once loaded, the document stays: a change of the file is seen at the next start.
    Soubor(MalySoubor);
    Vybrat(-1, false);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(zobrazeneRadky, 6);

    // A file that goes away leaves the built-in messages at the next pass.
    fs::remove(slozka / "tarvik.xml");
    HlavniForm->PrelozitAplikaci();
    EXPECT_EQ(rsCHYBA, u"Chyba");
    EXPECT_EQ(ui().lblZacitOd->text(), u"Start at");
    HlavniForm->aJazykExecute();
    EXPECT_EQ(PosledniZprava().Titulek, u"Informace");
}

TEST_F(Jazyky, SouborKteryNelzeNacist) {
    Soubor("<?xml version='1.0'?>\n<Preklad><JAZYKY></Preklad>\n");
    Ulozit([](TRegistr& r) { r.ZapsatRetezec(u"Jazyk", u"EN"); });
    Spustit();
    // The first pass ends in the general error box; the built-in texts stay.
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Ikona, QMessageBox::Critical);
    EXPECT_EQ(PosledniZprava().Titulek, u"Chyba");
    const QString nazev = QString::fromStdString((slozka / "tarvik.xml").string());
    EXPECT_TRUE(PosledniZprava().Text.startsWith(QStringLiteral("The language file \"%1\" is not well-formed XML: ").arg(nazev)))
        << PosledniZprava().Text.toStdString();
    // It ends in the place of the fault, with no full stop after the ")".
    EXPECT_TRUE(PosledniZprava().Text.endsWith(u")"));
    EXPECT_EQ(rsCHYBA, u"Chyba");
    EXPECT_EQ(ui().lblZacitOd->text(), u"Začít od");

    // Still broken when the user asks for the languages: the same box, no dialog.
    HlavniForm->aJazykExecute();
    EXPECT_EQ(scenar.Zpravy.size(), 2u);
    EXPECT_EQ(PocetBehu("JazykForm"), 0);

    // Repaired: the command loads it now.
    Soubor(MalySoubor);
    Vybrat(1);
    HlavniForm->aJazykExecute();
    EXPECT_EQ(PocetBehu("JazykForm"), 1);
    EXPECT_EQ(rsCHYBA, u"Error");
}

TEST_F(Jazyky, SouborPresMezeSeNecte) {
    // A caption far longer than a window can show: the file is refused in
    // the general error box, and the built-in texts stay.
    std::string soubor = MalySoubor;
    soubor.replace(soubor.find("Start at"), 8, std::string(5000, 'S'));
    Soubor(soubor);
    Ulozit([](TRegistr& r) { r.ZapsatRetezec(u"Jazyk", u"EN"); });
    Spustit();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Titulek, u"Chyba");
    EXPECT_EQ(PosledniZprava().Text.toStdString(), "The language file \"" + (slozka / "tarvik.xml").string() +
                                                       "\" holds a text longer than 4096 characters (line 13); it is not read.");
    EXPECT_EQ(rsCHYBA, u"Chyba");
    EXPECT_EQ(ui().lblZacitOd->text(), u"Začít od");
}

TEST_F(Jazyky, ChybnyJazykVSeznamu) {
    std::string soubor = MalySoubor;
    soubor.replace(soubor.find("<XX index=\"9\">"), 14, "<XX index=\"dva\">");
    Soubor(soubor);
    Spustit();
    HlavniForm->aJazykExecute();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Titulek, u"Chyba");
    EXPECT_EQ(PosledniZprava().Text,
              u"The language \"XX\" of the language file has no whole number in its attribute index (\"dva\")");
    EXPECT_EQ(PocetBehu("JazykForm"), 0);
    EXPECT_EQ(JazykXML->Jazyk, u"CZ");
}

TEST_F(Jazyky, ChybnyTextUkonciPruchod) {
    std::string soubor = MalySoubor;
    soubor.replace(soubor.find("<rsINFORMACE><EN>Information</EN>"), 33, "<rsINFORMACE><EN>Info<b/></EN>");
    Soubor(soubor);
    Spustit();
    rsBLOKU = u"předchozí";
    Vybrat(1);
    HlavniForm->aJazykExecute();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(PosledniZprava().Text,
              u"The element \"Obecne/rsINFORMACE/EN\" of the language file does not contain a single text node.");
    // The entries before it are refreshed, those after it and the windows are not.
    EXPECT_EQ(rsCHYBA, u"Error");
    EXPECT_EQ(rsBLOKU, u"předchozí");
    EXPECT_EQ(ui().aKonec->text(), u"&Konec");
    EXPECT_EQ(JazykXML->Jazyk, u"EN");
}

// ---------------------------------------------------------------- About

TEST_F(Jazyky, OAplikaci) {
    Spustit();
    bool zobrazen = false, otevrenPoKliku = false, zavrenEscape = false;
    int vysledek = -1;
    scenar.Dialogy.push_back([&](QDialog& d) {
        d.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&d));
        zobrazen = d.isVisible();
        QTest::mouseClick(OAplikaciForm->lblURL(), Qt::LeftButton, {}, QPoint(5, 5));
        otevrenPoKliku = d.isVisible();
        QTest::keyClick(&d, Qt::Key_Escape);
        zavrenEscape = !d.isVisible();
        vysledek = d.result();
        return vysledek;
    });
    // F1 in the main window.
    QTest::keyClick(HlavniForm, Qt::Key_F1);
    EXPECT_EQ(PocetBehu("OAplikaciForm"), 1);
    EXPECT_TRUE(zobrazen);
    ASSERT_EQ(otevreneAdresy.size(), 1u);
    EXPECT_EQ(otevreneAdresy[0], QUrl(QStringLiteral("https://www.orvendal.cz/tarvik")));
    EXPECT_TRUE(otevrenPoKliku);
    EXPECT_TRUE(zavrenEscape);
    EXPECT_EQ(vysledek, int(QDialog::Rejected));

    // The close button ends it the same way.
    scenar.Dialogy.push_back([&](QDialog& d) {
        d.show();
        QTest::mouseClick(OAplikaciForm->btnZavrit(), Qt::LeftButton);
        return d.isVisible() ? -1 : d.result();
    });
    HlavniForm->aOAplikaciExecute();
    EXPECT_EQ(PocetBehu("OAplikaciForm"), 2);
    EXPECT_EQ(OAplikaciForm->result(), int(QDialog::Rejected));
}

// ---------------------------------------------------------------- the shipped file

// The languages the shipped file translates into, in the order of their texts.
const QStringList Prelozene{QStringLiteral("EN"), QStringLiteral("SK"), QStringLiteral("DE"), QStringLiteral("FR"),
                            QStringLiteral("ES")};

// Every key that the running windows, the message catalogue and the batch
// tool look up in the language file, with its Czech text: section -> key -> text.
std::map<QString, std::map<QString, QString>> HledaneKlice() {
    // The save-state indicator has a hint once the text changed.
    HlavniForm->memProgram()->setText(QStringLiteral("N10 G0\n"));
    std::map<QString, std::map<QString, QString>> hledane;
    for (QWidget* okno : std::initializer_list<QWidget*>{HlavniForm, OAplikaciForm, JazykForm, NastaveniForm,
                                                          TypSouboruForm, ASCIIForm, PrejitForm, NajitForm,
                                                          PorovnaniForm}) {
        auto& klice = hledane[okno->objectName()];
        ProjitFormular(okno, [&](const QString& k, const QString& vychozi) {
            klice.emplace(k, vychozi);
            return vychozi;
        });
    }
    for (const TPolozkaKatalogu& p : Katalog())
        hledane[QStringLiteral("Obecne")][QString::fromLatin1(p.Klic.data(), qsizetype(p.Klic.size()))] =
            Q(std::u16string(p.Vestaveny));
    // The batch tool's own texts.
    for (const TPolozkaKatalogu& p : KatalogDavky())
        hledane[QString::fromLatin1(SekceDavky.data(), qsizetype(SekceDavky.size()))]
               [QString::fromLatin1(p.Klic.data(), qsizetype(p.Klic.size()))] = Q(std::u16string(p.Vestaveny));
    return hledane;
}

// Every text that the windows look up in the shipped language file, and every
// message, has a text in each translated language; and every key of the file
// is one that some window looks up.
TEST_F(Jazyky, DodanySouborJeUplny) {
    Spustit();
    auto hledane = HledaneKlice();
    ASSERT_FALSE(ui().shpStavUlozeni->toolTip().isEmpty());

    TXMLDokument soubor(QStringLiteral(TARVIK_JAZYKY_XML));
    soubor.Nacist();
    TJazykXML jazyk;
    jazyk.Dokument = &soubor.Dokument();

    // The keys the windows look up: a sample of each kind.
    const std::pair<const char*, const char*> ocekavane[] = {
        {"HlavniForm", "aKonec"},       {"HlavniForm", "aOAplikaci-H"},   {"HlavniForm", "speMaximum-H"},
        {"HlavniForm", "shpStavUlozeni-H"}, {"HlavniForm", "tshPuvodni"}, {"HlavniForm", "chkBlokPredKoncem"},
        {"OAplikaciForm", "lblPopis"},  {"JazykForm", "JazykForm"},       {"JazykForm", "livJazyk3"},
        {"NastaveniForm", "livSoubory6"}, {"NastaveniForm", "sbtDolu-H"}, {"TypSouboruForm", "edtKomentar-H"},
        {"TypSouboruForm", "sbtKomentar"}, {"ASCIIForm", "livASCII0"},
    };
    for (const auto& [sekce, klic] : ocekavane)
        EXPECT_TRUE(hledane[QLatin1String(sekce)].count(QLatin1String(klic))) << sekce << "/" << klic;
    EXPECT_FALSE(hledane[QStringLiteral("ASCIIForm")].count(QStringLiteral("livASCII1")));
    EXPECT_TRUE(hledane[QStringLiteral("HlavniForm")].count(QStringLiteral("gbxNastaveni")));
    EXPECT_FALSE(hledane[QStringLiteral("HlavniForm")].count(QStringLiteral("HlavniForm")));

    int kontrolovanych = 0;
    for (const auto& [sekce, klice] : hledane) {
        for (const auto& [klic, cesky] : klice) {
            if (cesky.isEmpty()) continue;  // no caption to translate (the arrow buttons)
            for (const QString& kod : Prelozene) {
                jazyk.Jazyk = kod;
                EXPECT_FALSE(jazyk.DejText(sekce, klic, QString()).isEmpty())
                    << sekce.toStdString() << "/" << klic.toStdString() << "/" << kod.toStdString();
                ++kontrolovanych;
            }
        }
    }
    EXPECT_GT(kontrolovanych, 5 * 100);

    // No key of the file is left that no window looks up (a renamed control).
    const QDomElement koren = soubor.Dokument().documentElement();
    for (QDomElement sekce = koren.firstChildElement(); !sekce.isNull(); sekce = sekce.nextSiblingElement()) {
        if (sekce.tagName() == u"JAZYKY") continue;
        ASSERT_TRUE(hledane.count(sekce.tagName())) << sekce.tagName().toStdString();
        for (QDomElement k = sekce.firstChildElement(); !k.isNull(); k = k.nextSiblingElement())
            EXPECT_TRUE(hledane[sekce.tagName()].count(k.tagName()))
                << sekce.tagName().toStdString() << "/" << k.tagName().toStdString();
    }
}

// Positions of the access key marks of a caption ("&&" is a plain "&").
QList<qsizetype> Akceleratory(const QString& text) {
    QList<qsizetype> pozice;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (i + 1 < text.size() && text[i + 1] == u'&')
            ++i;
        else
            pozice << i;
    }
    return pozice;
}

// What is wrong with a translated text, measured by its Czech text.
QStringList ChybyPrekladu(const QString& sekce, const QString& cesky, const QString& text) {
    if (cesky.isEmpty())
        return text.isEmpty() ? QStringList() : QStringList{"not empty (a button with a picture only)"};
    if (text.trimmed().isEmpty()) return {"empty"};
    QStringList chyby;
    if (text != text.trimmed()) chyby << "blanks at its ends";
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 32; })) chyby << "a control character";
    if (text.contains(u'|')) chyby << "a '|' (it splits a hint)";
    if (cesky.endsWith(QStringLiteral("...")) != text.endsWith(QStringLiteral("...")))
        chyby << "'...' unlike the Czech text";
    const auto akceleratory = Akceleratory(text);
    if (akceleratory.size() != Akceleratory(cesky).size()) chyby << "access keys unlike the Czech text";
    for (qsizetype i : akceleratory)
        if (i + 1 >= text.size() || !text[i + 1].isLetterOrNumber()) chyby << "an '&' before no letter or digit";
    // The program adds its own punctuation after a message.
    if (sekce == u"Obecne" && QStringLiteral(".!?:;,").contains(text.back())) chyby << "punctuation at the end";
    return chyby;
}

// The shipped file keeps the form the program and its translators rely on:
// UTF-8 with its declaration; the languages in the dialog's order with their
// flag positions and three texts each; every section once, every key once
// with one plain text per translated language (no Czech: it is built in),
// each following the form of its Czech text; distinct access keys of the
// tool bar commands in each language.
TEST_F(Jazyky, DodanySouborMaSvujTvar) {
    Spustit();
    const auto hledane = HledaneKlice();
    std::ifstream proud(TARVIK_JAZYKY_XML, std::ios::binary);
    const std::string bajty((std::istreambuf_iterator<char>(proud)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(JePlatneUtf8(bajty));
    EXPECT_EQ(bajty.rfind(R"(<?xml version="1.0" encoding="UTF-8"?>)", 0), 0u);
    TXMLDokument soubor(QStringLiteral(TARVIK_JAZYKY_XML));
    soubor.Nacist();
    const QDomElement koren = soubor.Dokument().documentElement();

    const QStringList jazyky{"CZ", "EN", "SK", "DE", "FR", "ES"};
    const QStringList nazvy{"Čeština", "English", "Slovenčina", "Deutsch", "Français", "Español"};
    QStringList nalezene;
    for (QDomNode n = koren.firstChildElement("JAZYKY").firstChild(); !n.isNull(); n = n.nextSibling()) {
        ASSERT_TRUE(n.isElement()) << "JAZYKY holds elements only";
        const QDomElement jazyk = n.toElement();
        const qsizetype i = nalezene.size();
        nalezene << jazyk.tagName();
        EXPECT_EQ(jazyk.attribute("index"), QString::number(i)) << jazyk.tagName().toStdString();
        // The reader takes the name, version and author by their position.
        QStringList texty;
        for (QDomNode t = jazyk.firstChild(); !t.isNull(); t = t.nextSibling()) {
            EXPECT_TRUE(t.isElement() && t.childNodes().size() == 1 && t.firstChild().isText())
                << jazyk.tagName().toStdString() << ": " << t.nodeName().toStdString();
            texty << t.toElement().text().trimmed();
        }
        ASSERT_EQ(texty.size(), 3) << jazyk.tagName().toStdString();
        if (i < nazvy.size()) {
            EXPECT_EQ(texty[0], nazvy[i]);
        }
        EXPECT_FALSE(texty[1].isEmpty() || texty[2].isEmpty()) << jazyk.tagName().toStdString();
    }
    EXPECT_EQ(nalezene, jazyky);

    std::map<QString, int> sekce;
    std::map<QString, std::map<QString, QString>> texty;  // language -> command -> its text
    for (QDomNode n = koren.firstChild(); !n.isNull(); n = n.nextSibling()) {
        ASSERT_TRUE(n.isElement()) << "the root holds elements only";
        const QString nazev = n.nodeName();
        if (++sekce[nazev] > 1 || nazev == u"JAZYKY") continue;
        const auto hledaneSekce = hledane.find(nazev);
        if (hledaneSekce == hledane.end()) continue;  // unknown sections are DodanySouborJeUplny's
        std::set<QString> klice;
        for (QDomNode k = n.firstChild(); !k.isNull(); k = k.nextSibling()) {
            const std::string kde = (nazev + u'/' + k.nodeName()).toStdString();
            ASSERT_TRUE(k.isElement()) << kde << ": a section holds its keys only";
            EXPECT_TRUE(klice.insert(k.nodeName()).second) << kde << ": twice (only the first is read)";
            const auto cesky = hledaneSekce->second.find(k.nodeName());
            QStringList jazykyKlice;
            for (QDomNode j = k.firstChild(); !j.isNull(); j = j.nextSibling()) {
                jazykyKlice << (j.isElement() ? j.nodeName() : QStringLiteral("(not an element)"));
                const QDomNodeList obsah = j.childNodes();
                const bool prostyText = obsah.isEmpty() ||
                                        (obsah.size() == 1 && (obsah.at(0).isText() || obsah.at(0).isCDATASection()));
                EXPECT_TRUE(prostyText) << kde << "/" << j.nodeName().toStdString() << ": plain text only";
                if (!prostyText || cesky == hledaneSekce->second.end()) continue;
                const QString text = j.toElement().text();
                texty[j.nodeName()][k.nodeName()] = text;
                EXPECT_EQ(ChybyPrekladu(nazev, cesky->second, text).join(", ").toStdString(), "")
                    << kde << "/" << j.nodeName().toStdString() << ": " << text.toStdString();
            }
            EXPECT_EQ(jazykyKlice, Prelozene) << kde;
        }
        for (const auto& [klic, cesky] : hledaneSekce->second)
            EXPECT_TRUE(klice.count(klic)) << nazev.toStdString() << "/" << klic.toStdString() << ": missing";
    }
    for (const auto& [nazev, kolikrat] : sekce) EXPECT_EQ(kolikrat, 1) << nazev.toStdString();
    for (const auto& [nazev, klice] : hledane) EXPECT_TRUE(sekce.count(nazev)) << nazev.toStdString();

    // The access keys of the tool bar commands differ within each language.
    for (const QString& jazyk : Prelozene) {
        std::map<QChar, QString> pouzite;
        for (QAction* a : ui().ActionToolBar1->actions()) {
            if (a->isSeparator()) continue;
            const QString text = texty[jazyk][a->objectName()];
            for (qsizetype i : Akceleratory(text)) {
                if (i + 1 >= text.size()) continue;
                const auto [jiny, novy] = pouzite.emplace(text[i + 1].toCaseFolded(), a->objectName());
                EXPECT_TRUE(novy) << jazyk.toStdString() << ": " << a->objectName().toStdString() << " and "
                                  << jiny->second.toStdString() << " share the access key "
                                  << QString(text[i + 1]).toStdString();
            }
        }
    }
}

// The texts of every language fit the windows at their design sizes.
QString BezAkceleratoru(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

// What of a window's marked texts does not fit: "name: text".
QStringList Oriznute(QWidget* okno) {
    QStringList oriznute;
    const auto nevejde = [&](const QWidget* w, const QString& text) { oriznute << w->objectName() + QStringLiteral(": ") + text; };
    for (QWidget* w : okno->findChildren<QWidget*>()) {
        if (!Oznaceny(w) || !w->isVisible()) continue;
        const QFontMetrics fm(w->font());
        if (auto* l = qobject_cast<QLabel*>(w)) {
            const bool vejde = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                             : fm.horizontalAdvance(l->text()) <= l->contentsRect().width();
            if (!vejde) nevejde(l, l->text());
        } else if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
            if (w->sizeHint().width() > w->width()) nevejde(w, static_cast<QAbstractButton*>(w)->text());
        } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
            if (fm.horizontalAdvance(BezAkceleratoru(b->text())) + 6 > b->width()) nevejde(b, b->text());
        } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
            if (fm.horizontalAdvance(g->title()) + 12 > g->width()) nevejde(g, g->title());
        } else if (auto* s = qobject_cast<QTreeWidget*>(w)) {
            // The captions, and what the rows hold (a file type's name, its markers).
            const QFontMetrics fh(s->header()->font());
            const int okraj = 2 * s->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, s->header());
            for (int i = 0; i < s->columnCount(); ++i) {
                if (fh.horizontalAdvance(s->headerItem()->text(i)) + okraj > s->header()->sectionSize(i))
                    nevejde(s, s->headerItem()->text(i));
                for (int r = 0; r < s->topLevelItemCount(); ++r) {
                    const QString& t = s->topLevelItem(r)->text(i);
                    const int sirka = i + 1 == s->columnCount() && s->header()->stretchLastSection()
                                          ? s->viewport()->width() - s->header()->sectionPosition(i)
                                          : s->header()->sectionSize(i);
                    if (fm.horizontalAdvance(t) + 6 > sirka) nevejde(s, t);
                }
            }
        }
    }
    for (QTabWidget* t : okno->findChildren<QTabWidget*>())
        for (int i = 0; i < t->count(); ++i)
            if (QFontMetrics(t->tabBar()->font()).horizontalAdvance(BezAkceleratoru(t->tabText(i))) + 8 >
                t->tabBar()->tabRect(i).width())
                nevejde(t, t->tabText(i));
    // The title beside the icon and the buttons of a title bar, which
    // writes in bold, in the face of the window manager's (DejaVu Sans on
    // Debian's desktops, wider than the windows' own).
    QFont titulek(QStringLiteral("DejaVu Sans"));
    titulek.setPointSizeF(QApplication::font().pointSizeF());
    titulek.setBold(true);
    if (QFontMetrics(titulek).horizontalAdvance(okno->windowTitle()) + 70 > okno->width())
        nevejde(okno, okno->windowTitle());
    for (QToolBar* lista : okno->findChildren<QToolBar*>())
        for (QAction* a : lista->actions())
            if (!a->isSeparator() && !lista->widgetForAction(a)->isVisible()) nevejde(lista, a->text());
    return oriznute;
}

TEST_F(Jazyky, TextySeVejdou) {
    DodanySoubor();
    // The delivered file types (long names, long markers) and a program of the longest-named one.
    fs::copy_file(TARVIK_FILES_FTD, slozka / "files.ftd", fs::copy_options::overwrite_existing);
    TDocasnaSlozka::Zapsat(slozka / "program.mpf", "N10 G0\r\n");
    TDocasnaSlozka::Zapsat(slozka / "dlouhy nazev souboru programu.mpf", "N10 G0\r\n");
    for (const char* kod : {"CZ", "EN", "SK", "DE", "FR", "ES"}) {
        SCOPED_TRACE(kod);
        Ulozit([&](TRegistr& r) { r.ZapsatRetezec(u"Jazyk", QString::fromLatin1(kod).toStdU16String()); });
        Spustit();
        ASSERT_EQ(JazykXML->Jazyk, QLatin1String(kod));
        HlavniForm->OtevritPredany(QString::fromStdU16String((slozka / "program.mpf").u16string()));
        HlavniForm->memProgram()->setText(QStringLiteral("N10 G0\n"));
        ZpracovatUdalosti();
        // The status bar: the statistics line and the file type's name, whole.
        for (int i : {0, 1}) {
            const QLabel* panel = HlavniForm->Panel(i);
            EXPECT_FALSE(panel->text().isEmpty()) << i;
            EXPECT_LE(panel->fontMetrics().horizontalAdvance(panel->text()), panel->contentsRect().width())
                << panel->text().toStdString();
        }
        // Qt's own file dialog (where the platform has none): its columns show the file's size, type and date whole.
        {
            QFileDialog dialog(HlavniForm);
            dialog.setOption(QFileDialog::DontUseNativeDialog);
            dialog.setDirectory(QString::fromStdU16String(slozka.Cesta().u16string()));
            Modalni::ZobrazitSloupceCele(dialog);
            dialog.show();
            auto* seznam = dialog.findChild<QTreeView*>();
            ASSERT_NE(seznam, nullptr);
            QModelIndex radek;
            for (int i = 0; i < 100 && !radek.isValid(); ++i) {
                QTest::qWait(20);
                for (int r = 0; r < seznam->model()->rowCount(seznam->rootIndex()); ++r) {
                    const QModelIndex j = seznam->model()->index(r, 0, seznam->rootIndex());
                    if (j.data().toString().endsWith(QLatin1String(".mpf"))) radek = j;
                }
            }
            ASSERT_TRUE(radek.isValid());
            for (int i = 1; i < seznam->header()->count(); ++i) {
                const QString t = radek.siblingAtColumn(i).data().toString();
                EXPECT_LE(seznam->fontMetrics().horizontalAdvance(t), seznam->header()->sectionSize(i))
                    << t.toStdString();
            }
        }
        for (QWidget* okno : std::initializer_list<QWidget*>{HlavniForm, OAplikaciForm, JazykForm, NastaveniForm,
                                                              TypSouboruForm, ASCIIForm, PrejitForm,
                                                              NajitForm, PorovnaniForm}) {
            if (okno != HlavniForm) okno->show();
            ZpracovatUdalosti();
            EXPECT_EQ(Oriznute(okno).join(QStringLiteral(" | ")).toStdString(), "") << okno->objectName().toStdString();
            // A window laid out by a layout has room for what it holds.
            if (const QLayout* vrstva = okno->layout()) {
                EXPECT_LE(vrstva->hasHeightForWidth() ? vrstva->heightForWidth(okno->width())
                                                      : vrstva->totalMinimumSize().height(),
                          okno->height())
                    << okno->objectName().toStdString();
            }
            if (okno != HlavniForm) okno->hide();
        }
        Ukoncit();
    }
}

// The main window laid out with the fonts a system has without our
// Recommends (Liberation): DejaVu's core fonts alone, as instalace.pisma runs
// it (FONTCONFIG_FILE). No text is cut, in any language. Where other fonts
// are installed the test has nothing to show, and is skipped.
TEST_F(Jazyky, HlavniOknoJenSDejaVu) {
    // Besides the installed families, Qt lists fontconfig's generic ones.
    QStringList rodiny = QFontDatabase::families();
    rodiny.removeIf([](const QString& r) {
        return r == u"Sans Serif" || r == u"Serif" || r == u"Monospace";
    });
    if (rodiny.isEmpty() ||
        !std::all_of(rodiny.begin(), rodiny.end(), [](const QString& r) { return r.startsWith(u"DejaVu"); }))
        GTEST_SKIP() << "fonts besides DejaVu are installed: " << rodiny.join(u", ").toStdString();
    EXPECT_FALSE(rodiny.contains(QStringLiteral("DejaVu Sans Condensed")));
    DodanySoubor();
    for (const char* kod : {"CZ", "EN", "SK", "DE", "FR", "ES"}) {
        SCOPED_TRACE(kod);
        Ulozit([&](TRegistr& r) { r.ZapsatRetezec(u"Jazyk", QString::fromLatin1(kod).toStdU16String()); });
        Spustit();
        ZpracovatUdalosti();
        EXPECT_TRUE(QFontInfo(HlavniForm->font()).family().startsWith(u"DejaVu"))
            << QFontInfo(HlavniForm->font()).family().toStdString();
        EXPECT_EQ(Oriznute(HlavniForm).join(QStringLiteral(" | ")).toStdString(), "");
        Ukoncit();
    }
}

}  // namespace

namespace {

// The texts a window shows, by where they stand: its title, the captions of
// its labels, buttons, group boxes and tabs, the hints, the tool bar's
// commands. Marked for translation or not: a text left out of the walk is
// what this looks for.
std::map<QString, QString> ZobrazeneTexty(QWidget* okno) {
    std::map<QString, QString> texty;
    const auto pridat = [&](const QObject* o, const char* druh, const QString& text) {
        if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter(); }))
            texty[o->objectName() + u'/' + QLatin1String(druh)] = text;
    };
    pridat(okno, "title", okno->windowTitle());
    for (QWidget* w : okno->findChildren<QWidget*>()) {
        if (w->objectName().isEmpty() || w->objectName().startsWith(u"qt_")) continue;
        pridat(w, "hint", w->toolTip());
        if (auto* l = qobject_cast<QLabel*>(w)) pridat(l, "text", l->text());
        if (auto* b = qobject_cast<QAbstractButton*>(w)) pridat(b, "text", b->text());
        if (auto* g = qobject_cast<QGroupBox*>(w)) pridat(g, "text", g->title());
        if (auto* t = qobject_cast<QTabWidget*>(w))
            for (int i = 0; i < t->count(); ++i) pridat(t->widget(i), "tab", t->tabText(i));
    }
    for (QAction* a : okno->findChildren<QAction*>()) {
        if (a->objectName().isEmpty()) continue;
        pridat(a, "text", a->text());
        pridat(a, "hint", a->toolTip());
    }
    return texty;
}

// Every text the windows show in Czech is another in each translated
// language, unless the language file gives it the same (as "OK"): a text no
// entry covers (hard-coded, or on a control the translation does not walk)
// would stay Czech in every language.
TEST_F(Jazyky, ZadnyTextBezPrekladu) {
    DodanySoubor();
    TXMLDokument soubor(QStringLiteral(TARVIK_JAZYKY_XML));
    soubor.Nacist();
    const auto okna = [] {
        return std::vector<QWidget*>{HlavniForm, OAplikaciForm, JazykForm, NastaveniForm,
                                     TypSouboruForm, ASCIIForm, PrejitForm, NajitForm, PorovnaniForm};
    };
    std::map<QString, std::map<QString, QString>> ceske;
    Spustit();
    HlavniForm->memProgram()->setText(QStringLiteral("N10 G0\n"));  // the save state's hint
    for (QWidget* okno : okna()) ceske[okno->objectName()] = ZobrazeneTexty(okno);
    Ukoncit();
    EXPECT_EQ(ceske[QStringLiteral("OAplikaciForm")][QStringLiteral("OAplikaciForm/title")], u"O aplikaci");
    for (const char* kod : {"EN", "SK", "DE", "FR", "ES"}) {
        SCOPED_TRACE(kod);
        // The language's texts in the file: those may equal the Czech ones.
        std::set<QString> vSouboru;
        const QDomNodeList uzly = soubor.Dokument().elementsByTagName(QLatin1String(kod));
        for (int i = 0; i < uzly.size(); ++i) {
            // A hint is "short|long": either part is shown.
            const QString text = uzly.at(i).toElement().text();
            vSouboru.insert(text);
            for (const QString& cast : text.split(u'|')) vSouboru.insert(cast);
            // A command's hint is its caption without the access key.
            vSouboru.insert(QString(text).remove(u'&'));
        }
        Ulozit([&](TRegistr& r) { r.ZapsatRetezec(u"Jazyk", QString::fromLatin1(kod).toStdU16String()); });
        Spustit();
        HlavniForm->memProgram()->setText(QStringLiteral("N10 G0\n"));
        QStringList neprelozene;
        for (QWidget* okno : okna())
            for (const auto& [kde, text] : ZobrazeneTexty(okno)) {
                const auto cesky = ceske[okno->objectName()].find(kde);
                // Names are the same in every language: the program's, its maker's, its address.
                const bool jmeno = text.startsWith(u"Tarvik") || text.startsWith(u"©") || text.startsWith(u"https://");
                if (cesky != ceske[okno->objectName()].end() && cesky->second == text && !vSouboru.count(text) &&
                    !jmeno)
                    neprelozene << kde + QStringLiteral(": ") + text;
            }
        EXPECT_EQ(neprelozene.join(QStringLiteral(" | ")).toStdString(), "");
        Ukoncit();
    }
}

}  // namespace

namespace {

// Back to Czech from each language: every window shows again exactly what it
// showed at the start, the status bar's statistics and the save state's hint
// too, at once; in the other language they were its own.
TEST_F(Jazyky, ZpetDoCestinyCeleOkno) {
    DodanySoubor();
    TDocasnaSlozka::Zapsat(slozka / "program.nc", "N10 G0\r\nN20 G1\r\n");
    Spustit();
    HlavniForm->OtevritPredany(QString::fromStdU16String((slozka / "program.nc").u16string()));
    const std::vector<QWidget*> okna{HlavniForm, OAplikaciForm, JazykForm, NastaveniForm,
                                     TypSouboruForm, ASCIIForm, PrejitForm};
    const auto vse = [&] {
        std::map<QString, QString> texty;
        for (QWidget* okno : okna)
            for (const auto& [klic, text] : ZobrazeneTexty(okno)) texty[okno->objectName() + u'/' + klic] = text;
        texty[QStringLiteral("status bar")] = HlavniForm->Panel(0)->text();
        texty[QStringLiteral("save state")] = ui().shpStavUlozeni->toolTip();
        return texty;
    };
    const std::map<QString, QString> cesky = vse();
    ASSERT_EQ(cesky.at(QStringLiteral("status bar")), "Počet řádků: 2, Počet znaků: 16, Počet NC bloků: 2.");
    for (int radek = 1; radek <= 5; ++radek) {
        SCOPED_TRACE(radek);
        Vybrat(radek);
        HlavniForm->aJazykExecute();
        const std::map<QString, QString> jinak = vse();
        EXPECT_NE(jinak.at(QStringLiteral("status bar")), cesky.at(QStringLiteral("status bar")));
        EXPECT_NE(jinak.at(QStringLiteral("save state")), cesky.at(QStringLiteral("save state")));
        EXPECT_NE(jinak.at(QStringLiteral("HlavniForm/lblZacitOd/text")), QStringLiteral("Začít od"));
        Vybrat(0);
        HlavniForm->aJazykExecute();
        ASSERT_EQ(JazykXML->Jazyk, u"CZ");
        const std::map<QString, QString> zpet = vse();
        for (const auto& [klic, text] : cesky) EXPECT_EQ(zpet.at(klic), text) << klic.toStdString();
        EXPECT_EQ(zpet.size(), cesky.size());
    }
}

}  // namespace
