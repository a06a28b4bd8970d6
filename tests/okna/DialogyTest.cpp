// The file type dialogs as a user drives them: the list (adding, editing,
// deleting, moving), the file type editor and the character picker, the open
// dialog's filter that follows the list, and the list kept across a restart.
#include "Scenar.h"

#include "ui_fASCII.h"
#include "ui_fNastaveni.h"
#include "ui_fTypSouboru.h"

#include "app/fHlavni.h"
#include "katalog/ZpravyOdkazu.h"
#include "ui/Nastaveni.h"
#include "ui/fASCII.h"
#include "ui/fNastaveni.h"
#include "ui/fTypSouboru.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QScrollBar>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

using TAkce = std::function<void(QDialog&)>;

// The default list: three file types, the third with a full stop alone as
// its extension.
constexpr char TriTypy[] =
    "\xEF\xBB\xBF"
    "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
    "Obrácená\t.tap\tN\t:\t%\tM30\t;\t\r\n"
    "Heidenhain\t.\t\t\tBEGIN\tEND\t;\t\r\n";

// A dialog's modal run as the user sees it: shown and active, operated by the
// script, which closes it with a button; a dialog the script leaves open is
// closed with Storno.
std::function<int(QDialog&)> Modalne(TAkce akce) {
    return [akce = std::move(akce)](QDialog& d) {
        d.setResult(QDialog::Rejected);
        d.show();
        d.activateWindow();
        QApplication::setActiveWindow(&d);
        ZpracovatUdalosti();
        akce(d);
        if (d.isVisible()) d.reject();
        ZpracovatUdalosti();
        return d.result();
    };
}

Ui::TNastaveniForm& Seznam() { return NastaveniForm->Formular(); }
Ui::TTypSouboruForm& Editor() { return TypSouboruForm->Formular(); }
Ui::TASCIIForm& Tabulka() { return ASCIIForm->Formular(); }

QStringList Nazvy() {
    QStringList nazvy;
    for (int i = 0; i < NastaveniForm->livSoubory()->topLevelItemCount(); ++i)
        nazvy << NastaveniForm->livSoubory()->topLevelItem(i)->text(0);
    return nazvy;
}

QStringList Radek(int i) {
    QStringList pole;
    const QTreeWidgetItem* radek = NastaveniForm->livSoubory()->topLevelItem(i);
    for (int k = 0; k < 7; ++k) pole << radek->text(k);
    return pole;
}

// The selected row's position, -1 for none.
int Vybrany(QTreeWidget* seznam) {
    const auto vybrane = seznam->selectedItems();
    return vybrane.isEmpty() ? -1 : seznam->indexOfTopLevelItem(vybrane.front());
}

void Klepnout(QTreeWidget* seznam, int radek, Qt::KeyboardModifiers klavesy = {}) {
    seznam->scrollToItem(seznam->topLevelItem(radek));
    QTest::mouseClick(seznam->viewport(), Qt::LeftButton, klavesy,
                      seznam->visualItemRect(seznam->topLevelItem(radek)).center());
}

void Klepnout(QAbstractButton* tlacitko) { QTest::mouseClick(tlacitko, Qt::LeftButton); }

// Types the text key by key (letters beyond ASCII included).
void Psat(QWidget* prvek, const QString& text) {
    for (QChar c : text) QTest::sendKeyEvent(QTest::Click, prvek, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

// The colour drawn near the right end of a row of a list view, clear of its texts.
QColor BarvaRadku(QTreeWidget* seznam, int radek) {
    seznam->scrollToItem(seznam->topLevelItem(radek));
    const QRect r = seznam->visualItemRect(seznam->topLevelItem(radek));
    const int x = std::min(seznam->viewport()->width(), seznam->header()->length()) - 4;
    return seznam->viewport()->grab().toImage().pixelColor(x, r.center().y());
}

// The seven fields of the editor, in their binding order.
std::array<QLineEdit*, 7> Pole() {
    auto& e = Editor();
    return {e.edtNazev, e.edtPripona, e.edtHlavniZnak, e.edtVedlejsiZnak, e.edtZacatek, e.edtKonec, e.edtKomentar};
}

QStringList HodnotyEditoru() {
    QStringList hodnoty;
    for (QLineEdit* e : Pole()) hodnoty << e->text();
    return hodnoty;
}

void VyplnitEditor(const QStringList& hodnoty) {
    for (std::size_t i = 0; i < 7; ++i) Pole()[i]->setText(hodnoty[int(i)]);
}

class Dialogy : public ::testing::Test {
protected:
    ~Dialogy() override {
        if (beh) {
            if (HlavniForm) HlavniForm->memProgram()->setModified(false);
            beh->Zavrit();
        }
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }

    // A first start: the list comes from files.ftd.
    void Spustit(const std::string& typy = TriTypy) {
        std::filesystem::remove(slozka / "Tarvik.reg");
        TDocasnaSlozka::Zapsat(slozka / "files.ftd", typy);
        beh = std::make_unique<TBehAplikace>(slozka);
    }
    void Restartovat() {
        ASSERT_TRUE(beh->Zavrit());
        beh.reset();
        beh = std::make_unique<TBehAplikace>(slozka);
    }

    // Runs the settings dialog through the main window's command; the runs
    // queued before it follow in their order.
    void Nastaveni(TAkce akce) {
        Vnorit(std::move(akce));
        HlavniForm->aNastaveniExecute();
    }
    // A dialog run after those already queued (editor runs started by the
    // settings dialog, in the order of its clicks).
    void Zaradit(TAkce akce) { scenar.Dialogy.push_back(Modalne(std::move(akce))); }
    // The dialog run that starts next (the picker, from inside an editor run).
    void Vnorit(TAkce akce) { scenar.Dialogy.push_front(Modalne(std::move(akce))); }

    void Otevrit(const std::string& jmeno, int pozice) {
        TDocasnaSlozka::Zapsat(slozka / jmeno, "N10 X1\r\n");
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdString((slozka / jmeno).string()), pozice});
        HlavniForm->aOtevritExecute();
    }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

// ---------------------------------------------------------------- the list

TEST_F(Dialogy, SmazaniPodlePoctuRadkuAVyberu) {
    const QString nelze = "Ze seznamu nelze smazat poslední položku!";
    const QString nevybrano = "Není vybrána žádná položka.";
    struct Pripad {
        const char* nazev;
        std::string typy;
        int vyber;  // -1: no row selected
        QMessageBox::StandardButton odpoved;
        QMessageBox::Icon ikona;
        QString titulek, text;
        QStringList zbyva;
    };
    const Pripad pripady[] = {
        {"one row, selected", "Jen\t.nc\t\t\t\t\t\t\r\n", 0, QMessageBox::Yes, QMessageBox::Information, "Informace",
         nelze, {"Jen"}},
        {"one row, none selected", "Jen\t.nc\t\t\t\t\t\t\r\n", -1, QMessageBox::Yes, QMessageBox::Information,
         "Informace", nelze, {"Jen"}},
        {"empty list", "", -1, QMessageBox::Yes, QMessageBox::Information, "Informace", nelze, {}},
        {"none selected", TriTypy, -1, QMessageBox::Yes, QMessageBox::Critical, "Chyba", nevybrano,
         {"Frézka", "Obrácená", "Heidenhain"}},
        {"No keeps the row", TriTypy, 1, QMessageBox::No, QMessageBox::Warning, "Varování",
         "Smazat označenou položku: \r\"Obrácená\"?", {"Frézka", "Obrácená", "Heidenhain"}},
        {"Yes deletes it", TriTypy, 1, QMessageBox::Yes, QMessageBox::Warning, "Varování",
         "Smazat označenou položku: \r\"Obrácená\"?", {"Frézka", "Heidenhain"}},
    };
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Spustit(p.typy);
        scenar.Zpravy.clear();
        scenar.Odpovedi = {p.odpoved};
        Nastaveni([&](QDialog&) {
            if (p.vyber >= 0) Klepnout(Seznam().livSoubory, p.vyber);
            Klepnout(Seznam().btnSmazat);
            EXPECT_EQ(Nazvy(), p.zbyva);
            // After the question, whatever the answer, the list has the focus.
            if (p.ikona == QMessageBox::Warning)
                EXPECT_EQ(NastaveniForm->focusWidget(), Seznam().livSoubory);
            else
                EXPECT_EQ(NastaveniForm->focusWidget(), Seznam().btnSmazat);
            Klepnout(Seznam().btnOK);
        });
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Ikona, p.ikona);
        EXPECT_EQ(scenar.Zpravy[0].Titulek, p.titulek);
        // The line break is a CR as passed; the box may show it as LF.
        EXPECT_EQ(QString(scenar.Zpravy[0].Text).replace(u'\n', u'\r'), p.text);
        EXPECT_EQ(scenar.Zpravy[0].Tlacitka, p.ikona == QMessageBox::Warning
                                                 ? QMessageBox::Yes | QMessageBox::No
                                                 : QMessageBox::StandardButtons(QMessageBox::Ok));
        beh->Zavrit();
        beh.reset();
    }
}

TEST_F(Dialogy, BezVyberuHlasiChybu) {
    Spustit();
    Nastaveni([&](QDialog&) {
        for (QAbstractButton* b : std::initializer_list<QAbstractButton*>{Seznam().btnUpravit, Seznam().sbtNahoru,
                                                                           Seznam().sbtDolu})
            Klepnout(b);
        Klepnout(Seznam().btnOK);
    });
    ASSERT_EQ(scenar.Zpravy.size(), 3u);
    for (const auto& z : scenar.Zpravy) {
        EXPECT_EQ(z.Ikona, QMessageBox::Critical);
        EXPECT_EQ(z.Titulek, "Chyba");
        EXPECT_EQ(z.Text, "Není vybrána žádná položka.");
    }
    // No editor was opened.
    EXPECT_EQ(scenar.SpusteneDialogy, std::vector<QString>{"NastaveniForm"});
    EXPECT_EQ(Nazvy(), (QStringList{"Frézka", "Obrácená", "Heidenhain"}));
}

TEST_F(Dialogy, PresouvaniRadku) {
    const QStringList abc{"Frézka", "Obrácená", "Heidenhain"};
    struct Krok {
        int vyber;         // row clicked first, -1 to keep the selection
        bool nahoru;       // which arrow
        QStringList poradi;
        int vybrany;
    };
    struct Pripad {
        const char* nazev;
        std::vector<Krok> kroky;
    };
    const Pripad pripady[] = {
        {"first row up", {{0, true, abc, 0}}},
        {"last row down", {{2, false, abc, 2}}},
        {"second of three down and up again",
         {{1, false, {"Frézka", "Heidenhain", "Obrácená"}, 2}, {-1, true, abc, 1}}},
        {"third up twice", {{2, true, {"Frézka", "Heidenhain", "Obrácená"}, 1},
                            {-1, true, {"Heidenhain", "Frézka", "Obrácená"}, 0}}},
    };
    Spustit();
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Nastaveni([&](QDialog&) {
            for (const Krok& k : p.kroky) {
                if (k.vyber >= 0) Klepnout(Seznam().livSoubory, k.vyber);
                Klepnout(k.nahoru ? Seznam().sbtNahoru : Seznam().sbtDolu);
                EXPECT_EQ(Nazvy(), k.poradi);
                EXPECT_EQ(Vybrany(Seznam().livSoubory), k.vybrany);
            }
            // Back to the starting order for the next case.
            while (Nazvy() != abc) {
                for (int i = 0; i < 3; ++i)
                    if (Nazvy()[i] != abc[i]) {
                        Klepnout(Seznam().livSoubory, int(Nazvy().indexOf(abc[i])));
                        Klepnout(Seznam().sbtNahoru);
                        break;
                    }
            }
            Klepnout(Seznam().btnOK);
        });
    }
    EXPECT_TRUE(scenar.Zpravy.empty());
}

TEST_F(Dialogy, PresunutyRadekNeseVseANeposouvaSeznam) {
    std::string typy = TriTypy;
    for (int i = 0; i < 40; ++i) typy += "Typ " + std::to_string(i) + "\t.t\t\t\t\t\t\t\r\n";
    Spustit(typy);
    const QStringList heidenhain = Radek(2);
    Nastaveni([&](QDialog&) {
        QTreeWidget* seznam = Seznam().livSoubory;
        seznam->topLevelItem(2)->setData(0, Qt::UserRole, 7);  // an image index travels with the row
        Klepnout(seznam, 2);
        Klepnout(Seznam().sbtNahoru);
        EXPECT_EQ(Radek(1), heidenhain);
        EXPECT_EQ(seznam->topLevelItem(1)->data(0, Qt::UserRole).toInt(), 7);

        // A row moved out of sight: the list stays where the user left it.
        Klepnout(seznam, 30);
        seznam->verticalScrollBar()->setValue(0);
        Klepnout(Seznam().sbtDolu);
        EXPECT_EQ(seznam->topLevelItem(31)->text(0), "Typ 27");
        EXPECT_EQ(Vybrany(seznam), 31);
        EXPECT_EQ(seznam->verticalScrollBar()->value(), 0);
        Klepnout(Seznam().btnStorno);
    });
}

TEST_F(Dialogy, PridaniAUpravy) {
    Spustit();
    // Adding: typed fields, the comment character ; picked in the table.
    Zaradit([&](QDialog&) {
        Psat(Editor().edtNazev, "Soustruh");
        Psat(Editor().edtPripona, "lat");
        Psat(Editor().edtZacatek, "%");
        Psat(Editor().edtKonec, "M2");
        Vnorit([&](QDialog&) {
            Klepnout(Tabulka().livASCII, u';' - 32);
            Klepnout(Tabulka().btnOK);
        });
        Klepnout(Editor().sbtKomentar);
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().btnPridat);
        Klepnout(Seznam().btnOK);
    });
    ASSERT_EQ(Nazvy().size(), 4);
    EXPECT_EQ(Radek(3), (QStringList{"Soustruh", ".lat", "", "", "%", "M2", ";"}));
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItem(3)->columnCount(), 7);
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItem(3)->data(0, Qt::UserRole).toInt(), -1);
    EXPECT_EQ(Vybrany(NastaveniForm->livSoubory()), -1);  // the new row is not selected

    // Adding after editing another row offers that row; OK adds a copy.
    // Editing a full stop alone shows an empty extension and writes it back.
    Zaradit([&](QDialog&) {
        EXPECT_EQ(HodnotyEditoru(), (QStringList{"Heidenhain", "", "", "", "BEGIN", "END", ";"}));
        Klepnout(Editor().btnOK);
    });
    Zaradit([&](QDialog&) {
        EXPECT_EQ(HodnotyEditoru(), (QStringList{"Heidenhain", "", "", "", "BEGIN", "END", ";"}));
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 2);
        Klepnout(Seznam().btnUpravit);
        Klepnout(Seznam().btnPridat);
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(Radek(2), (QStringList{"Heidenhain", ".", "", "", "BEGIN", "END", ";"}));
    EXPECT_EQ(Radek(4), Radek(2));

    // Editing with Storno leaves the row; the editor keeps what was typed,
    // and the next Add offers it.
    Zaradit([&](QDialog&) {
        EXPECT_EQ(Editor().edtPripona->text(), "nc");
        Editor().edtNazev->selectAll();
        Psat(Editor().edtNazev, "Jiná");
        Klepnout(Editor().btnStorno);
    });
    Zaradit([&](QDialog&) { Klepnout(Editor().btnStorno); });
    Zaradit([&](QDialog&) {
        EXPECT_EQ(HodnotyEditoru(), (QStringList{"Jiná", "nc", ":", "N", "%", "M30", "("}));
        Editor().edtPripona->clear();
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 0);
        Klepnout(Seznam().btnUpravit);
        Klepnout(Seznam().btnPridat);  // Storno: nothing added
        Klepnout(Seznam().btnPridat);
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(Radek(0), (QStringList{"Frézka", ".nc", ":", "N", "%", "M30", "("}));
    ASSERT_EQ(Nazvy().size(), 6);
    EXPECT_EQ(Radek(5), (QStringList{"Jiná", ".", ":", "N", "%", "M30", "("}));
    EXPECT_TRUE(scenar.Zpravy.empty());
}

TEST_F(Dialogy, ZmenyZustavajiPoStornu) {
    Spustit();
    Zaradit([&](QDialog&) {
        VyplnitEditor({"Nový", "abc", "N", "", "%", "M30", ""});
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 0);
        Klepnout(Seznam().btnSmazat);
        Klepnout(Seznam().btnPridat);
        QTest::keyClick(NastaveniForm, Qt::Key_Escape);  // Esc is Storno
        EXPECT_FALSE(NastaveniForm->isVisible());
    });
    EXPECT_EQ(NastaveniForm->result(), QDialog::Rejected);
    EXPECT_EQ(Nazvy(), (QStringList{"Obrácená", "Heidenhain", "Nový"}));
}

// ---------------------------------------------------------------- the open dialog's filter

TEST_F(Dialogy, FiltrSledujeSeznam) {
    Spustit();
    Otevrit("a.h", 3);
    EXPECT_EQ(HlavniForm->Panel(1)->text(), "Heidenhain");

    // Deleting two rows and adding one, then Storno: the filter follows the
    // list and its position stays within it.
    Zaradit([&](QDialog&) {
        VyplnitEditor({"Nový", "abc", "N", "", "%", "M30", "("});
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 2);
        Klepnout(Seznam().btnSmazat);
        Klepnout(Seznam().livSoubory, 1);
        Klepnout(Seznam().btnSmazat);
        Klepnout(Seznam().btnPridat);
        Klepnout(Seznam().btnStorno);
    });
    EXPECT_EQ(HlavniForm->Filtr(), "Frézka (*.nc)|*.nc|Nový (*.abc)|*.abc");
    EXPECT_EQ(HlavniForm->PoziceFiltru(), 2);

    // The last filter entry opens with the last row's file type.
    Otevrit("b.abc", 2);
    EXPECT_EQ(scenar.NabidnutyFiltr.back(), std::make_pair(HlavniForm->Filtr(), 2));
    EXPECT_EQ(HlavniForm->Panel(1)->text(), "Nový");
    EXPECT_EQ(HlavniForm->AktivniTypSouboru().HlavniZnak, u"N");
    EXPECT_EQ(HlavniForm->AktivniTypSouboru().Komentar, u"(");

    // Moving with OK: the entries follow the new order.
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 1);
        Klepnout(Seznam().sbtNahoru);
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(HlavniForm->Filtr(), "Nový (*.abc)|*.abc|Frézka (*.nc)|*.nc");
}

TEST_F(Dialogy, SeznamPrezijeRestart) {
    Spustit();
    Zaradit([&](QDialog&) {
        VyplnitEditor({"Žlutý kůň", "ŽK", ":", "N", "%%", "M30 ; konec", ";"});
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 1);
        Klepnout(Seznam().btnSmazat);
        Klepnout(Seznam().btnPridat);
        Klepnout(Seznam().livSoubory, 2);
        Klepnout(Seznam().sbtNahoru);
        Klepnout(Seznam().btnOK);
    });
    const QStringList pred = Nazvy();
    ASSERT_EQ(pred, (QStringList{"Frézka", "Žlutý kůň", "Heidenhain"}));
    Restartovat();
    EXPECT_FALSE(HlavniForm->NacistZeSouboru);
    EXPECT_EQ(Nazvy(), pred);
    EXPECT_EQ(Radek(1), (QStringList{"Žlutý kůň", ".ŽK", ":", "N", "%%", "M30 ; konec", ";"}));
    EXPECT_EQ(Radek(2), (QStringList{"Heidenhain", ".", "", "", "BEGIN", "END", ";"}));
}

// The families of references each type names: from files.ftd into the
// list, through moving and editing a row (the editor left alone keeps
// them), into the store and back at the next start, and into the type a
// program opens with.
TEST_F(Dialogy, DruhyOdkazuPrezijiSeznamIRestart) {
    using R = TRodinaOdkazu;
    struct Typ {
        const char* radek;  // the line of files.ftd
        std::optional<TDruhyOdkazu> druhy;
    };
    const Typ typy[] = {
        {"Frézka\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P\t\r\n", TDruhyOdkazu{R::Skoky, R::NavratM99}},
        {"Žádné\t.txt\t:\tN\t%\tM30\t(\t-\t\r\n", TDruhyOdkazu{}},
        {"Výchozí\t.mpf\t:\tN\t%\tM30\t;\t\r\n", std::nullopt},
        {"Soustruh C\t.lat\t:\tN\t%\tM30\t(\tG72-G75 GOTO\t\r\n", TDruhyOdkazu{R::Skoky, R::CyklyC}},
    };
    std::string soubor;
    for (const Typ& t : typy) soubor += t.radek;
    Spustit(soubor);
    const auto druhy = [] {
        std::vector<std::optional<TDruhyOdkazu>> v;
        for (const TTypSouboru& t : NastaveniForm->Typy()) v.push_back(t.DruhyOdkazu);
        return v;
    };
    std::vector<std::optional<TDruhyOdkazu>> ocekavane;
    for (const Typ& t : typy) ocekavane.push_back(t.druhy);
    EXPECT_EQ(druhy(), ocekavane);

    // The last row moved to the top, the first edited without a look at its families.
    Zaradit([&](QDialog&) {
        Editor().edtNazev->setText("Frézka 2");
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 3);
        for (int i = 0; i < 3; ++i) Klepnout(Seznam().sbtNahoru);
        Klepnout(Seznam().livSoubory, 1);
        Klepnout(Seznam().btnUpravit);
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(Nazvy(), (QStringList{"Soustruh C", "Frézka 2", "Žádné", "Výchozí"}));
    ocekavane = {typy[3].druhy, typy[0].druhy, typy[1].druhy, typy[2].druhy};
    EXPECT_EQ(druhy(), ocekavane);

    Restartovat();
    EXPECT_FALSE(HlavniForm->NacistZeSouboru);
    EXPECT_EQ(Nazvy(), (QStringList{"Soustruh C", "Frézka 2", "Žádné", "Výchozí"}));
    EXPECT_EQ(druhy(), ocekavane);
    Otevrit("a.lat", 1);
    EXPECT_EQ(HlavniForm->AktivniTypSouboru().DruhyOdkazu, typy[3].druhy);
    Otevrit("b.mpf", 4);
    EXPECT_EQ(HlavniForm->AktivniTypSouboru().DruhyOdkazu, std::nullopt);
}

// The editor's check boxes: the type's own families, else the default of
// the extension (which follows what is typed); a box the user changes makes
// the families the type's own, "Výchozí" gives the default back.
TEST_F(Dialogy, EditorDruhuOdkazu) {
    using R = TRodinaOdkazu;
    const TDruhyOdkazu dosavadni = TDruhyOdkazu::Dosavadni();
    struct Pripad {
        const char* nazev;
        const char* radek;  // the type, a line of files.ftd
        TDruhyOdkazu zobrazene;     // checked when the editor opens
        bool vychozi;               // "Výchozí" enabled when it opens
        std::function<void()> akce;
        TDruhyOdkazu nakonec;       // checked when OK is clicked
        std::optional<TDruhyOdkazu> druhy;  // the type's families after OK
    };
    const Pripad pripady[] = {
        {"Sinumerik's default, left", "A\t.mpf\t:\tN\t%\tM30\t;\t\r\n", {R::Skoky}, false, [] {}, {R::Skoky},
         std::nullopt},
        {"the default follows the extension typed", "B\t.nc\t:\tN\t%\tM30\t(\t\r\n", dosavadni, false,
         [] {
             Editor().edtPripona->selectAll();
             Psat(Editor().edtPripona, "ngc");
         },
         {}, std::nullopt},
        {"a box checked: the type's own, whatever the extension then", "C\t.nc\t:\tN\t%\tM30\t(\t\r\n", dosavadni,
         false,
         [] {
             Klepnout(TypSouboruForm->Rodina(R::CyklyC));
             EXPECT_TRUE(Editor().btnVychoziOdkazy->isEnabled());
             Editor().edtPripona->selectAll();
             Psat(Editor().edtPripona, "ngc");
         },
         TDruhyOdkazu(dosavadni).Pridat(R::CyklyC), TDruhyOdkazu(dosavadni).Pridat(R::CyklyC)},
        {"the only box cleared: none of its own", "D\t.mpf\t:\tN\t%\tM30\t;\t\r\n", {R::Skoky}, false,
         [] { Klepnout(TypSouboruForm->Rodina(R::Skoky)); }, {}, TDruhyOdkazu{}},
        {"its own, and the default given back", "E\t.nc\t:\tN\t%\tM30\t(\tM97P\t\r\n", {R::VolaniM97}, true,
         [] {
             Klepnout(Editor().btnVychoziOdkazy);
             EXPECT_FALSE(Editor().btnVychoziOdkazy->isEnabled());
         },
         dosavadni, std::nullopt},
        {"none of its own, kept", "F\t.nc\t:\tN\t%\tM30\t(\t-\t\r\n", {}, true, [] {}, {}, TDruhyOdkazu{}},
    };
    std::string soubor;
    for (const Pripad& p : pripady) soubor += p.radek;
    Spustit(soubor);
    const auto zaskrtnute = [] {
        // A box for each family of the list, named after it, with its name in the catalogue's language.
        TDruhyOdkazu d;
        for (const TPopisRodiny& r : RodinyOdkazu) {
            QCheckBox* box = TypSouboruForm->Rodina(r.Rodina);
            EXPECT_EQ(box->objectName(), QStringLiteral("chkOdkazy") + QString::fromLatin1(r.Identifikator.data(),
                                                                                           qsizetype(r.Identifikator.size())));
            EXPECT_EQ(box->text().toStdU16String(), NazevRodiny(r.Rodina));
            if (box->isChecked()) d.Pridat(r.Rodina);
        }
        return d;
    };
    for (int i = 0; i < int(std::size(pripady)); ++i) {
        const Pripad& p = pripady[i];
        SCOPED_TRACE(p.nazev);
        Zaradit([&](QDialog&) {
            EXPECT_EQ(zaskrtnute(), p.zobrazene);
            EXPECT_EQ(Editor().btnVychoziOdkazy->isEnabled(), p.vychozi);
            p.akce();
            EXPECT_EQ(zaskrtnute(), p.nakonec);
            Klepnout(Editor().btnOK);
        });
        Nastaveni([&](QDialog&) {
            Klepnout(Seznam().livSoubory, i);
            Klepnout(Seznam().btnUpravit);
            Klepnout(Seznam().btnOK);
        });
        ASSERT_TRUE(NastaveniForm->TypNaRadku(i));
        EXPECT_EQ(NastaveniForm->TypNaRadku(i)->DruhyOdkazu, p.druhy);
    }
    // Adding offers what the editor held last: the last case's families.
    Zaradit([&](QDialog&) { Klepnout(Editor().btnOK); });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().btnPridat);
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(NastaveniForm->TypNaRadku(int(std::size(pripady)))->DruhyOdkazu, TDruhyOdkazu{});
    EXPECT_TRUE(scenar.Zpravy.empty());
}

// ---------------------------------------------------------------- the editor

TEST_F(Dialogy, PriponaOdmitaZnakyMimoJmenoSouboru) {
    Spustit();
    Zaradit([&](QDialog&) {
        Editor().edtPripona->clear();
        Psat(Editor().edtPripona, "\"a*/:<b>?\\|.;c");
        EXPECT_EQ(Editor().edtPripona->text(), "ab.;c");
        // Pasted text is not filtered.
        Editor().edtPripona->clear();
        QApplication::clipboard()->setText("x:y");
        Editor().edtPripona->paste();
        EXPECT_EQ(Editor().edtPripona->text(), "x:y");
        Klepnout(Editor().btnStorno);
    });
    Nastaveni([&](QDialog&) { Klepnout(Seznam().btnPridat); });
}

TEST_F(Dialogy, OddelovaceSeDoPoleNedostanou) {
    Spustit();
    Zaradit([&](QDialog&) {
        Editor().edtNazev->clear();
        QApplication::clipboard()->setText("Dva\ttři\r\nčtyři");
        Editor().edtNazev->paste();
        EXPECT_EQ(Editor().edtNazev->text(), "Dvatřičtyři");
        EXPECT_EQ(Editor().edtNazev->cursorPosition(), 11);
        Psat(Editor().edtNazev, "!");
        Editor().edtZacatek->setText("%\n");
        Editor().edtKonec->setText("\tM30");
        Editor().edtPripona->setText("n\rc");
        Klepnout(Editor().btnOK);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().btnPridat);
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(Radek(3), (QStringList{"Dvatřičtyři!", ".nc", "", "", "%", "M30", ""}));
}

TEST_F(Dialogy, ZvyrazneniPoliAPoradiTabulatoru) {
    Spustit();
    Zaradit([&](QDialog& d) {
        // The first control in tab order has the focus; Tab walks the edits
        // and the families ("Výchozí" is disabled while the type has none of its own).
        EXPECT_EQ(d.focusWidget(), Editor().btnOK);
        std::vector<QWidget*> ocekavano{Editor().btnStorno,      Editor().edtNazev,   Editor().edtPripona,
                                        Editor().edtHlavniZnak,  Editor().edtVedlejsiZnak, Editor().edtZacatek,
                                        Editor().edtKonec,       Editor().edtKomentar};
        for (const TPopisRodiny& r : RodinyOdkazu) ocekavano.push_back(TypSouboruForm->Rodina(r.Rodina));
        ocekavano.push_back(Editor().btnOK);
        std::vector<QWidget*> poradi;
        for (std::size_t i = 0; i < ocekavano.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            poradi.push_back(QApplication::focusWidget());
        }
        EXPECT_EQ(poradi, ocekavano);
        // Each edit is pale yellow while it has the focus, and only then.
        for (QLineEdit* pole : Pole()) {
            pole->setFocus();
            for (QLineEdit* jine : Pole())
                EXPECT_EQ(jine->palette().color(QPalette::Base), jine == pole ? BarvaZvyrazneni : BarvaOkna())
                    << qPrintable(jine->objectName()) << " with the focus in " << qPrintable(pole->objectName());
        }
        QTest::keyClick(Editor().edtNazev, Qt::Key_Return);  // Enter is OK
        EXPECT_FALSE(d.isVisible());
    });
    Nastaveni([&](QDialog&) { Klepnout(Seznam().btnPridat); });
    EXPECT_EQ(TypSouboruForm->result(), QDialog::Accepted);
}

TEST_F(Dialogy, VyberZnakuZTabulky) {
    struct Pripad {
        const char* nazev;
        QString pole;       // the field before the pick
        TAkce tabulka;      // what the user does in the picker
        int predvybrany;    // the row selected when the picker opens, -1 none
        QString vysledek;   // the field after the pick
        QString kod;        // its code label after the pick
    };
    const auto ok = [](QDialog&) { Klepnout(Tabulka().btnOK); };
    const auto storno = [](QDialog&) { Klepnout(Tabulka().btnStorno); };
    // The picker's Znak is kept for the whole run: the cases follow each other.
    const Pripad pripady[] = {
        {"OK at once on an empty field before any selection", "", ok, -1, "", ""},
        {"lower-case n finds its own row", "n", ok, 'n' - 32, "n", "(Dec: 110, Hex: 6E)"},
        {"upper-case N", "N", ok, 'N' - 32, "N", "(Dec: 78, Hex: 4E)"},
        {"a space selects the first row", " ", ok, 0, " ", "(Dec: 32, Hex: 20)"},
        {"double click on (", "", [](QDialog& d) {
             QTest::mouseDClick(Tabulka().livASCII->viewport(), Qt::LeftButton, {},
                                Tabulka().livASCII->visualItemRect(Tabulka().livASCII->topLevelItem('(' - 32)).center());
             EXPECT_FALSE(d.isVisible());
         }, 0, "(", "(Dec: 40, Hex: 28)"},
        {"Enter takes the character 127", "", [](QDialog&) {
             Klepnout(Tabulka().livASCII, 127 - 32);
             QTest::keyClick(Tabulka().livASCII, Qt::Key_Return);
         }, '(' - 32, QString(QChar(127)), "(Dec: 127, Hex: 7F)"},
        {"Storno leaves field and label", "x", [](QDialog&) {
             Klepnout(Tabulka().livASCII, 'Q' - 32);
             Klepnout(Tabulka().btnStorno);
         }, 'x' - 32, "x", "(Dec: 127, Hex: 7F)"},
        {"an empty field offers the cancelled selection", "", ok, 'Q' - 32, "Q", "(Dec: 81, Hex: 51)"},
        {"a character outside the table keeps the selection", "é", storno, 'Q' - 32, "é", "(Dec: 81, Hex: 51)"},
    };
    Spustit();
    EXPECT_TRUE(ASCIIForm->Barvit);
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Zaradit([&](QDialog&) {
            Editor().edtHlavniZnak->setText(p.pole);
            Vnorit([&](QDialog& d) {
                EXPECT_EQ(Vybrany(Tabulka().livASCII), p.predvybrany);
                EXPECT_EQ(d.focusWidget(), Tabulka().livASCII);
                p.tabulka(d);
            });
            Klepnout(Editor().sbtHlavniZnak);
            EXPECT_EQ(Editor().edtHlavniZnak->text(), p.vysledek);
            EXPECT_EQ(Editor().lblVybranyHlavniZnak->text(), p.kod);
            Klepnout(Editor().btnStorno);
        });
        Nastaveni([&](QDialog&) { Klepnout(Seznam().btnPridat); });
    }
}

TEST_F(Dialogy, KodyZnakuZustavajiMeziUpravami) {
    Spustit();
    // The first edit picks the secondary and comment characters; editing
    // another file type afterwards still shows those codes.
    Zaradit([&](QDialog&) {
        Vnorit([&](QDialog&) { Klepnout(Tabulka().btnOK); });
        Klepnout(Editor().sbtVedlejsiZnak);
        Vnorit([&](QDialog&) {
            Klepnout(Tabulka().livASCII, '#' - 32);
            Klepnout(Tabulka().btnOK);
        });
        Klepnout(Editor().sbtKomentar);
        Klepnout(Editor().btnOK);
    });
    Zaradit([&](QDialog&) {
        EXPECT_EQ(HodnotyEditoru(), (QStringList{"Obrácená", "tap", "N", ":", "%", "M30", ";"}));
        EXPECT_TRUE(Editor().lblVybranyHlavniZnak->text().isEmpty());
        EXPECT_EQ(Editor().lblVybranyVedlejsiZnak->text(), "(Dec: 78, Hex: 4E)");
        EXPECT_EQ(Editor().lblVybranyZnakKomentare->text(), "(Dec: 35, Hex: 23)");
        Klepnout(Editor().btnStorno);
    });
    Nastaveni([&](QDialog&) {
        Klepnout(Seznam().livSoubory, 0);
        Klepnout(Seznam().btnUpravit);
        Klepnout(Seznam().livSoubory, 1);
        Klepnout(Seznam().btnUpravit);
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(Radek(0), (QStringList{"Frézka", ".nc", ":", "N", "%", "M30", "#"}));
}

// ---------------------------------------------------------------- the picker

TEST_F(Dialogy, TabulkaZnaku) {
    Spustit();
    QTreeWidget* tabulka = Tabulka().livASCII;
    ASSERT_EQ(tabulka->topLevelItemCount(), 96);
    const struct {
        int radek;
        QString znak, dec, hex;
    } radky[] = {{0, " ", "32", "20"}, {33, "A", "65", "41"}, {78, "n", "110", "6E"}, {95, QString(QChar(127)), "127", "7F"}};
    for (const auto& r : radky) {
        EXPECT_EQ(tabulka->topLevelItem(r.radek)->text(0), r.znak);
        EXPECT_EQ(tabulka->topLevelItem(r.radek)->text(1), r.dec);
        EXPECT_EQ(tabulka->topLevelItem(r.radek)->text(2), r.hex);
    }

    ASCIIForm->Znak = u'A';
    ASCIIForm->Barvit = false;
    scenar.Dialogy.push_back(Modalne([&](QDialog& d) {
        // Without striping every row has the window colour.
        EXPECT_EQ(BarvaRadku(tabulka, 2), BarvaOkna());
        ASCIIForm->Barvit = true;
        ASCIIForm->BarvaRadku = BarvaZvyrazneni;
        tabulka->viewport()->update();
        EXPECT_EQ(BarvaRadku(tabulka, 2), BarvaZvyrazneni);
        EXPECT_EQ(BarvaRadku(tabulka, 3), BarvaOkna());

        // Moving the selection: the newly selected row's character.
        Klepnout(tabulka, 'b' - 32);
        EXPECT_EQ(ASCIIForm->Znak, u'b');
        // Clearing it: the character of the row that lost it.
        Klepnout(tabulka, 'b' - 32, Qt::ControlModifier);
        EXPECT_EQ(Vybrany(tabulka), -1);
        EXPECT_EQ(ASCIIForm->Znak, u'b');
        // A double click with no row selected does nothing. (The rows fill the
        // list, so a real double click's first press would select one: the
        // double click arrives here alone.)
        QMouseEvent dvojklik(QEvent::MouseButtonDblClick, tabulka->visualItemRect(tabulka->topLevelItem('b' - 32)).center(),
                             tabulka->viewport()->mapToGlobal(QPoint()), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(tabulka->viewport(), &dvojklik);
        EXPECT_TRUE(d.isVisible());
        QTest::keyClick(tabulka, Qt::Key_Escape);  // Esc is Storno
        EXPECT_FALSE(d.isVisible());
    }));
    EXPECT_EQ(Modalni::Dialog(*ASCIIForm), QDialog::Rejected);
    EXPECT_EQ(ASCIIForm->Znak, u'b');
}

// ---------------------------------------------------------------- looks

TEST_F(Dialogy, OknaPodleNavrhu) {
    // A platform whose inactive selection is grey, as on Windows.
    const QPalette puvodni = QApplication::palette();
    struct TVratitPaletu {
        QPalette p;
        ~TVratitPaletu() { QApplication::setPalette(p); }
    } vratit{puvodni};
    QPalette paleta = puvodni;
    paleta.setColor(QPalette::Inactive, QPalette::Highlight, QColor(0xC0, 0xC0, 0xC0));
    QApplication::setPalette(paleta);
    Spustit();
    struct Okno {
        QDialog* dialog;
        QSize velikost;
        bool nastroj;  // tool window
        QPushButton* vychozi;
        std::vector<const char*> oznacene, neoznacene;
    };
    const Okno okna[] = {
        {NastaveniForm, {614, 260}, false, Seznam().btnOK,
         {"pgcNastaveni", "tshSoubory", "livSoubory", "btnPridat", "btnUpravit", "btnSmazat", "sbtNahoru", "sbtDolu",
          "btnOK", "btnStorno"},
         {}},
        // The editor takes the size its layout needs (the families' names
        // differ in length from language to language).
        {TypSouboruForm, {}, true, Editor().btnOK,
         {"lblNazev", "lblPripona", "lblHlavniZnak", "lblVedlejsiZnak", "lblZacatek", "lblKonec", "lblKomentar",
          "edtNazev", "edtPripona", "edtHlavniZnak", "edtVedlejsiZnak", "edtZacatek", "edtKonec", "edtKomentar",
          "sbtHlavniZnak", "sbtVedlejsiZnak", "sbtKomentar", "gbxOdkazy", "btnVychoziOdkazy", "btnOK", "btnStorno"},
         {"lblVybranyHlavniZnak", "lblVybranyVedlejsiZnak", "lblVybranyZnakKomentare", "lblOddelovacPripony",
          "Bevel1", "chkOdkazySkoky", "chkOdkazyNavratM99", "chkOdkazyVolaniM97", "chkOdkazyCyklyA",
          "chkOdkazyCyklyC"}},
        {ASCIIForm, {172, 224}, true, Tabulka().btnOK, {"livASCII", "btnOK", "btnStorno"}, {}},
    };
    for (const Okno& o : okna) {
        SCOPED_TRACE(qPrintable(o.dialog->objectName()));
        EXPECT_EQ(o.dialog->property("tag").toInt(), -1);
        if (o.dialog == ASCIIForm) {
            // Fixed, as designed or wider where its title needs it.
            EXPECT_EQ(o.dialog->minimumSize(), o.dialog->maximumSize());
            EXPECT_EQ(o.dialog->minimumHeight(), o.velikost.height());
            EXPECT_GE(o.dialog->minimumWidth(), o.velikost.width());
        } else if (o.velikost.isValid()) {
            EXPECT_EQ(o.dialog->minimumSize(), o.velikost);
            EXPECT_EQ(o.dialog->maximumSize(), o.velikost);
        } else {
            ASSERT_NE(o.dialog->layout(), nullptr);
            EXPECT_EQ(o.dialog->layout()->sizeConstraint(), QLayout::SetFixedSize);
        }
        EXPECT_EQ(o.dialog->windowType() == Qt::Tool, o.nastroj);
        EXPECT_EQ(o.dialog->parentWidget(), HlavniForm);
        EXPECT_TRUE(o.vychozi->isDefault());
        for (const char* jmeno : o.oznacene) {
            const QObject* prvek = o.dialog->findChild<QObject*>(QLatin1String(jmeno));
            ASSERT_NE(prvek, nullptr) << jmeno;
            EXPECT_EQ(prvek->property("tag").toInt(), -1) << jmeno;
        }
        for (const char* jmeno : o.neoznacene) {
            const QObject* prvek = o.dialog->findChild<QObject*>(QLatin1String(jmeno));
            ASSERT_NE(prvek, nullptr) << jmeno;
            EXPECT_FALSE(prvek->property("tag").isValid()) << jmeno;
        }
    }

    // Columns: captions, widths and their translation marks.
    QTreeWidget* soubory = Seznam().livSoubory;
    const QStringList sloupce{"Název", "Přípona", "Hlavní", "Vedlejší", "Začátek", "Konec", "Komentář"};
    const int sirky[] = {130, 70, 50, 60, 60, 60};  // the last column takes the rest
    ASSERT_EQ(soubory->columnCount(), 7);
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(soubory->headerItem()->text(i), sloupce[i]);
        if (i < 6) {
            EXPECT_EQ(soubory->header()->sectionSize(i), sirky[i]);
        }
    }
    EXPECT_EQ(soubory->property("tagSloupcu").toList(), QVariantList(7, -1));
    EXPECT_EQ(Tabulka().livASCII->property("tagSloupcu").toList(), (QVariantList{-1, 0, 0}));
    // The last column takes what a picker widened for its title has over.
    for (int i = 0; i < 2; ++i) EXPECT_EQ(Tabulka().livASCII->header()->sectionSize(i), 50);
    EXPECT_GE(Tabulka().livASCII->header()->sectionSize(2), 50);

    // Every other row of the file type list is pale yellow, from the first.
    Nastaveni([&](QDialog&) {
        EXPECT_EQ(BarvaRadku(soubory, 0), BarvaZvyrazneni);
        EXPECT_EQ(BarvaRadku(soubory, 1), BarvaOkna());
        EXPECT_EQ(BarvaRadku(soubory, 2), BarvaZvyrazneni);
        // The selection keeps its colour while another window is active.
        Klepnout(soubory, 1);
        QApplication::setActiveWindow(HlavniForm);
        EXPECT_FALSE(NastaveniForm->isActiveWindow());
        const QColor vyber = BarvaRadku(soubory, 1);
        const QColor aktivni = paleta.color(QPalette::Active, QPalette::Highlight);
        EXPECT_LE(std::abs(vyber.red() - aktivni.red()) + std::abs(vyber.green() - aktivni.green()) +
                      std::abs(vyber.blue() - aktivni.blue()), 6)
            << qPrintable(vyber.name());
        Klepnout(Seznam().btnOK);
    });
    EXPECT_EQ(NastaveniForm->result(), QDialog::Accepted);
}

}  // namespace
