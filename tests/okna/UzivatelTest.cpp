// The windows where the window system, the focus and Qt's own parts meet
// them: questions that only Yes or No closes, every command's shortcut from
// every control, Qt's texts in the chosen language, dialogs over the main
// window, the fonts, the open dialog's entries, long names in a question and
// the character picker's rows.
#include "Scenar.h"

#include "ui_fASCII.h"
#include "ui_fHlavni.h"
#include "ui_fNastaveni.h"

#include "katalog/convar.h"
#include "app/fHlavni.h"
#include "ui/Nastaveni.h"
#include "ui/fASCII.h"
#include "ui/fNajit.h"
#include "ui/fNastaveni.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "ui/Hlaseni.h"
#include "ui/fOAplikaci.h"

#include <Qsci/qsciscintilla.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QWindow>

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class Uzivatel : public ::testing::Test {
protected:
    Uzivatel() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd",
                               "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\nObrácená\t.tap\tN\t:\t%\tM30\t;\t\r\n");
    }
    ~Uzivatel() override {
        if (beh) {
            if (HlavniForm) HlavniForm->memProgram()->setModified(false);
            beh->Zavrit();
        }
        fs::current_path(fs::temp_directory_path());
        ObnovitVestaveneTexty();
    }
    void Spustit() { beh = std::make_unique<TBehAplikace>(slozka); }
    Ui::THlavniForm& ui() { return HlavniForm->Formular(); }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

// Answers any later message box, after a test's own recording handler.
int OdpovedetOK(QMessageBox&) { return int(QMessageBox::Ok); }

// Shows a dialog as its modal run would, for a script to look at it.
void Ukazat(QWidget& okno) {
    okno.show();
    okno.activateWindow();
    QApplication::setActiveWindow(&okno);
    ZpracovatUdalosti();
}

// ---------------------------------------------------------------- questions

// The real message box: a question that offers Yes and No can only be left
// through them. Its window's close request (the title bar's close button,
// Alt+F4, the window manager) is not taken for No, which would lose the
// changes the question is about; nor is Escape.
TEST(Otazka, ZavreniOknaNeniOdpoved) {
    struct Pripad {
        std::uint8_t typ;
        std::int32_t priznaky;
    };
    for (const Pripad p : {Pripad{thDotaz, 0}, Pripad{thVarovani, StylHlaseni::AnoNe}}) {
        THlaseni hlaseni;
        bool zustala = false;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            box->close();
            ZpracovatUdalosti();
            if (box->windowHandle()) box->windowHandle()->close();
            ZpracovatUdalosti();
            QTest::keyClick(box, Qt::Key_Escape);
            zustala = box->isVisible();
            box->button(QMessageBox::No)->click();
        });
        EXPECT_EQ(hlaseni.ZobrazitHlaseni(p.typ, "Uložit?", "Potvrzení", p.priznaky), Tlacitko::Ne);
        EXPECT_TRUE(zustala) << int(p.typ);
    }
    // A box with OK alone still closes as OK.
    QTimer::singleShot(0, [] {
        if (auto* box = QApplication::activeModalWidget()) box->close();
    });
    EXPECT_EQ(THlaseni().ZobrazitHlaseni(thInformace, "Hotovo", "Informace"), Tlacitko::OK);
}

// An empty caption gives an empty title bar: the window systems put the
// application's name into an empty title, so the box's window gets a blank
// one, while its caption stays empty.
TEST(Otazka, PrazdnyTitulek) {
    QString titulek = QStringLiteral("?"), titulekOkna;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        titulek = box->windowTitle();
        titulekOkna = box->windowHandle() ? box->windowHandle()->title() : QString();
        box->button(QMessageBox::Ok)->click();
    });
    THlaseni().ZobrazitHlaseni(thInformace, "Hotovo", "");
    EXPECT_TRUE(titulek.isEmpty());
    EXPECT_FALSE(titulekOkna.isEmpty());
    EXPECT_TRUE(titulekOkna.trimmed().isEmpty()) << titulekOkna.toStdString();
}

// ---------------------------------------------------------------- shortcuts

// Every command's shortcut runs the command whatever control of the main
// window has the focus: the spin edits would take Ctrl+Insert as Copy and
// Ctrl+Delete as deleting a word.
TEST_F(Uzivatel, ZkratkyZKazdehoPrvku) {
    Spustit();
    // The window's commands; the editing commands of the text area's menu
    // are the text area's own keys.
    QList<QAction*> prikazy;
    for (QAction* a : HlavniForm->findChildren<QAction*>())
        if (!a->shortcut().isEmpty() && a->shortcutContext() != Qt::WidgetShortcut) prikazy << a;
    ASSERT_EQ(prikazy.size(), 17);
    int prvku = 0;
    for (int stranka : {0, 1}) {
        ui().pgcSoubory->setCurrentIndex(stranka);
        for (QWidget* prvek : HlavniForm->findChildren<QWidget*>()) {
            if (!prvek->isVisible() || !prvek->isEnabled() || !(prvek->focusPolicy() & Qt::TabFocus) ||
                prvek->focusProxy())
                continue;
            ++prvku;
            for (QAction* prikaz : prikazy) {
                // The find dialog that a find key showed is a window of its own: closed.
                NajitForm->hide();
                HlavniForm->activateWindow();
                prvek->setFocus();
                ZpracovatUdalosti();
                QWidget* fokus = QApplication::focusWidget();
                ASSERT_NE(fokus, nullptr);
                QSignalSpy spusteno(prikaz, &QAction::triggered);
                const QKeyCombination zkratka = prikaz->shortcut()[0];
                QTest::keyClick(fokus, zkratka.key(), zkratka.keyboardModifiers());
                EXPECT_EQ(spusteno.count(), 1) << prikaz->objectName().toStdString() << " from "
                                               << prvek->objectName().toStdString() << " ("
                                               << prvek->metaObject()->className() << ")";
            }
        }
    }
    // The three spin edits, the two option buttons, the three check boxes,
    // the page tabs and the two text areas.
    EXPECT_GE(prvku, 11);
}

// ---------------------------------------------------------------- Qt's texts

// Qt's own texts follow the chosen language: the buttons of a question.
TEST_F(Uzivatel, TextyQtVeZvolenemJazyce) {
    fs::copy_file(TARVIK_JAZYKY_XML, slozka / "tarvik.xml");
    Spustit();
    struct Pripad {
        int radek;  // in the language dialog
        const char* ano;
        const char* ne;
    };
    const Pripad pripady[] = {{3, "&Ja", "&Nein"}, {1, "&Yes", "&No"}, {2, "Án&o", "&Nie"},
                              {4, "&Oui", "&Non"}, {5, "&Sí", "&No"},   {0, "&Ano", "&Ne"}};
    QStringList texty;
    Modalni::NastavitObsluhuZpravy([&](QMessageBox& box) {
        texty = {box.button(QMessageBox::Yes)->text(), box.button(QMessageBox::No)->text()};
        return int(QMessageBox::No);
    });
    const auto tlacitka = [&] {
        Hlaseni->ZobrazitHlaseni(thDotaz, "?", "");
        return texty;
    };
    // At start, as the windows: Czech.
    EXPECT_EQ(tlacitka(), (QStringList{"&Ano", "&Ne"}));
    for (const Pripad& p : pripady) {
        scenar.Dialogy.push_back([&](QDialog&) {
            JazykForm->livJazyk()->setCurrentItem(JazykForm->livJazyk()->topLevelItem(p.radek));
            return int(QDialog::Accepted);
        });
        HlavniForm->aJazykExecute();
        EXPECT_EQ(tlacitka(), (QStringList{QString::fromUtf8(p.ano), QString::fromUtf8(p.ne)}))
            << JazykXML->Jazyk.toStdString();
    }
    Modalni::NastavitObsluhuZpravy(OdpovedetOK);
}

// ---------------------------------------------------------------- dialogs

// The dialogs open centred over the main window, the first time as later.
// (Under a window manager the first showing used to guess the frame and open
// too high; the desktop suite sees that, here there is no frame.)
TEST_F(Uzivatel, DialogyUprostredHlavnihoOkna) {
    fs::copy_file(TARVIK_JAZYKY_XML, slozka / "tarvik.xml");
    Spustit();
    HlavniForm->move(40, 30);
    ZpracovatUdalosti();
    std::vector<std::string> mimo;
    const auto zmerit = [&](QDialog& d) {
        Ukazat(d);
        // Twice the centres, so that odd sizes compare exactly.
        const QRect g = d.geometry(), h = HlavniForm->geometry();
        const QPoint posun = (g.topLeft() + g.bottomRight()) - (h.topLeft() + h.bottomRight());
        if (std::abs(posun.x()) > 1 || std::abs(posun.y()) > 1)
            mimo.push_back(QStringLiteral("%1 off by %2,%3").arg(d.objectName()).arg(posun.x() / 2.).arg(posun.y() / 2.).toStdString());
        d.hide();
        return int(QDialog::Rejected);
    };
    for (int i = 0; i < 2; ++i) {
        scenar.Dialogy.push_back(zmerit);
        HlavniForm->aNastaveniExecute();
        scenar.Dialogy.push_back(zmerit);
        HlavniForm->aOAplikaciExecute();
        scenar.Dialogy.push_back(zmerit);
        HlavniForm->aJazykExecute();
    }
    EXPECT_EQ(scenar.SpusteneDialogy.size(), 6u);
    EXPECT_EQ(mimo, std::vector<std::string>{});
}

// ---------------------------------------------------------------- fonts

// Dark pixels of a text drawn in a font.
int Inkoust(const QFont& pismo, const QString& text) {
    QImage obraz(QFontMetrics(pismo).horizontalAdvance(text) + 20, QFontMetrics(pismo).height() + 20,
                 QImage::Format_RGB32);
    obraz.fill(Qt::white);
    QPainter p(&obraz);
    p.setFont(pismo);
    p.setPen(Qt::black);
    p.drawText(10, 10 + QFontMetrics(pismo).ascent(), text);
    p.end();
    int tmavych = 0;
    for (int y = 0; y < obraz.height(); ++y)
        for (int x = 0; x < obraz.width(); ++x) tmavych += qGray(obraz.pixel(x, y)) < 128;
    return tmavych;
}

// Bold looks bold: the file bar and the About dialog's name, version and
// description put visibly more ink on the screen than their regular weight.
TEST_F(Uzivatel, TucnePismoJeTucne) {
    Spustit();
    const QLabel* popisky[] = {ui().lblSoubor, OAplikaciForm->findChild<QLabel*>("lblNazev"),
                               OAplikaciForm->findChild<QLabel*>("Label1"), OAplikaciForm->lblPopis()};
    for (const QLabel* popisek : popisky) {
        ASSERT_NE(popisek, nullptr);
        ASSERT_TRUE(popisek->font().bold()) << popisek->objectName().toStdString();
        QFont obycejne = popisek->font();
        obycejne.setBold(false);
        const QString text = QStringLiteral("Operace s CNC bloky 3.0.1 /tmp/vzor.nc");
        EXPECT_GT(Inkoust(popisek->font(), text), Inkoust(obycejne, text) * 6 / 5)
            << popisek->objectName().toStdString() << ": " << QFontInfo(popisek->font()).family().toStdString();
    }
}

// Carons on capitals (Ž, Š, Ř) keep their whole shape in the text areas: the
// line above does not cut them off. Each line is drawn in its own band; the
// band of a line of such capitals keeps a blank row above their ink.
TEST_F(Uzivatel, HackyNadVelkymiPismeny) {
    Spustit();
    QsciScintilla* e = HlavniForm->memProgram();
    e->resize(400, 200);
    e->setText(QStringLiteral("%\r\nŽŠŘŤĎŇĚČ ŽŠŘ\r\nN10 X1\r\n"));
    e->setCursorPosition(2, 0);  // no caret on the line looked at
    ZpracovatUdalosti();
    const QImage obraz = e->viewport()->grab().toImage();
    const int vyska = int(e->SendScintilla(QsciScintillaBase::SCI_TEXTHEIGHT, 1));
    const int horni = int(e->SendScintilla(QsciScintillaBase::SCI_POINTYFROMPOSITION, 0,
                                           e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1)));
    const int sirka = int(e->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0,
                                           e->SendScintilla(QsciScintillaBase::SCI_GETLINEENDPOSITION, 1)));
    // The text only, right of the margins (line numbers, marks of changed lines).
    const int levy = int(e->SendScintilla(QsciScintillaBase::SCI_POINTXFROMPOSITION, 0,
                                          e->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 1)));
    ASSERT_GT(vyska, 0);
    int prvniRadekInkoustu = -1;
    for (int y = horni; y < horni + vyska && prvniRadekInkoustu < 0; ++y)
        for (int x = levy; x < sirka; ++x)
            if (qGray(obraz.pixel(x, y)) < 160) {
                prvniRadekInkoustu = y;
                break;
            }
    ASSERT_GE(prvniRadekInkoustu, 0);
    EXPECT_GT(prvniRadekInkoustu, horni) << "the carons touch the top of their line, in "
                                         << QFontInfo(QFont(QStringLiteral("Courier New"))).family().toStdString();
}

// ---------------------------------------------------------------- the open dialog

// The open dialog (Qt's own, as shown) gives back the chosen entry's
// position whatever the file type names hold: the dialog turns runs of
// blanks, tabs, vertical tabs, page breaks and line separators into one
// blank, and two names may then read the same.
TEST(OtevreniSkutecne, PoziceZvolenePolozky) {
    TDocasnaSlozka slozka;
    TDocasnaSlozka::Zapsat(slozka / "p.nc", "N10\r\n");
    const QString soubor = QString::fromStdString((slozka / "p.nc").string());
    const QString nazvy[] = {"ISO  frézka", "A\vB", "A\fB", QString::fromUtf8("A\u0085B"),
                             QString::fromUtf8("A\u2028B"), "X Y", "X  Y", " X Y "};
    QString filtr;
    for (const QString& n : nazvy) filtr += (filtr.isEmpty() ? "" : "|") + n + " (*.nc)|*.nc";
    const int pocet = int(std::size(nazvy));
    for (int k = 0; k < pocet; ++k) {
        int nabidnuto = -1;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            auto* typy = dialog->findChild<QComboBox*>("fileTypeCombo");
            ASSERT_NE(typy, nullptr);
            ASSERT_EQ(typy->count(), pocet);
            nabidnuto = typy->currentIndex();
            typy->setCurrentIndex(k);
            emit typy->activated(k);
            dialog->selectFile(soubor);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        const auto volba = Modalni::OtevritSoubor(nullptr, filtr, (k + 3) % pocet + 1, soubor);
        ASSERT_TRUE(volba.has_value());
        EXPECT_EQ(nabidnuto, (k + 3) % pocet) << k;
        EXPECT_EQ(volba->PoziceFiltru, k + 1) << nazvy[k].toStdString();
    }
}

// ---------------------------------------------------------------- long names, the picker

// The delete question shows a long file type name whole: it wraps within
// the box instead of running past its edge.
TEST_F(Uzivatel, DlouhyNazevVOtazceSeZalomi) {
    const std::string dlouhy(160, 'W');
    TDocasnaSlozka::Zapsat(slozka / "files.ftd",
                           "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n" + dlouhy + "\t.nc\t:\tN\t%\tM30\t(\t\r\n");
    Spustit();
    QString text;
    bool vejdeSe = false, uvnitr = false;
    Modalni::NastavitObsluhuZpravy([&](QMessageBox& box) {
        Ukazat(box);
        const auto* popisek = box.findChild<QLabel*>("qt_msgbox_label");
        if (!popisek) return int(QMessageBox::No);
        text = popisek->text();
        const QRect obsah = popisek->contentsRect();
        vejdeSe = popisek->fontMetrics().boundingRect(obsah, Qt::TextWordWrap, text).width() <= obsah.width();
        uvnitr = box.rect().contains(popisek->geometry());
        box.hide();
        return int(QMessageBox::No);
    });
    scenar.Dialogy.push_back([&](QDialog&) {
        NastaveniForm->livSoubory()->setCurrentItem(NastaveniForm->livSoubory()->topLevelItem(1));
        NastaveniForm->Formular().btnSmazat->click();
        return int(QDialog::Rejected);
    });
    HlavniForm->aNastaveniExecute();
    Modalni::NastavitObsluhuZpravy(OdpovedetOK);
    EXPECT_EQ(NastaveniForm->livSoubory()->topLevelItemCount(), 2);
    // The whole name is there, broken over lines.
    EXPECT_TRUE(QString(text).remove(u'\n').contains(QString::fromStdString(dlouhy)));
    EXPECT_TRUE(vejdeSe);
    EXPECT_TRUE(uvnitr);
}

// The character picker opened with nothing chosen shows no row as selected:
// its first row, the list's keyboard cursor, keeps its stripe's colour.
TEST_F(Uzivatel, TabulkaBezVyberuNeoznaciRadek) {
    Spustit();
    ASCIIForm->Znak = 0;
    QColor prvni, treti;
    int vybranych = -1;
    scenar.Dialogy.push_back([&](QDialog& d) {
        Ukazat(d);
        QTreeWidget* seznam = ASCIIForm->Formular().livASCII;
        vybranych = int(seznam->selectedItems().size());
        const QImage obraz = seznam->viewport()->grab().toImage();
        const QRect r0 = seznam->visualItemRect(seznam->topLevelItem(0));
        const QRect r2 = seznam->visualItemRect(seznam->topLevelItem(2));
        // Column "Znak": the space of row 0 and the quote of row 2 leave its middle free.
        prvni = obraz.pixelColor(r0.left() + 40, r0.center().y());
        treti = obraz.pixelColor(r2.left() + 40, r2.center().y());
        return int(QDialog::Rejected);
    });
    Modalni::Dialog(*ASCIIForm);
    EXPECT_EQ(vybranych, 0);
    EXPECT_EQ(treti, BarvaZvyrazneni);
    EXPECT_EQ(prvni, BarvaZvyrazneni);
}

}  // namespace
