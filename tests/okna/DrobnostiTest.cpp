// The small things of the main window: its title names the program and marks
// it unsaved; the text area's context menu edits (undo, redo, cut, copy,
// paste, select all), each command enabled when it can act; the caret's line
// stands out after go to block; the recent programs show on a click on the
// open button's arrow; the language command has a key.
#include "OknoProgramu.h"

#include "ui_fHlavni.h"

#include "ui/Prvky.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

namespace {

class Drobnosti : public OknoProgramu {
protected:
    // The popup menu that shows after akce, as its entries (" -" after those
    // disabled); then the entry zvolit is chosen, or the menu closed.
    QStringList Nabidka(const std::function<void()>& akce, QAction* zvolit = nullptr) {
        QStringList polozky;
        QTimer::singleShot(0, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            for (QAction* a : menu->actions())
                if (!a->isSeparator())
                    polozky << QString(a->text()).remove(u'&') + (a->isEnabled() ? QString() : QStringLiteral(" -"));
            menu->close();
            if (zvolit && menu->actions().contains(zvolit)) zvolit->trigger();
        });
        akce();
        ZpracovatUdalosti();
        return polozky;
    }
    QStringList KontextovaNabidka(QAction* zvolit = nullptr) {
        return Nabidka(
            [&] {
                QContextMenuEvent udalost(QContextMenuEvent::Keyboard, QPoint(5, 5),
                                          e().viewport()->mapToGlobal(QPoint(5, 5)));
                QApplication::sendEvent(e().viewport(), &udalost);
            },
            zvolit);
    }
};

TEST_F(Drobnosti, TitulekJmenujeProgram) {
    const struct {
        const char* krok;
        std::function<void()> provest;
        const char* titulek;
    } kroky[] = {
        {"start", [] {}, "Tarvik"},
        {"typed into the empty window", [&] { QTest::keyClicks(&e(), "G0"); }, "Tarvik*"},
        {"typing undone", [&] { Klavesa(Qt::Key_Z, Qt::ControlModifier); }, "Tarvik"},
        {"a program opened", [&] { Otevrit("N10 G0\r\n", "dil.nc"); }, "dil.nc - Tarvik"},
        {"changed", [&] { QTest::keyClicks(&e(), "G1 "); }, "dil.nc* - Tarvik"},
        {"saved", [&] { Klavesa(Qt::Key_S, Qt::ControlModifier); }, "dil.nc - Tarvik"},
        {"changed again", [&] { QTest::keyClicks(&e(), "G2 "); }, "dil.nc* - Tarvik"},
        {"saved as",
         [&] {
             scenar.Ulozeni.push_back(Modalni::TOtevreni{Cesta("kopie.nc"), 1});
             Klavesa(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
         },
         "kopie.nc - Tarvik"},
    };
    for (const auto& k : kroky) {
        k.provest();
        EXPECT_EQ(HlavniForm->windowTitle().toStdString(), k.titulek) << k.krok;
    }
}

// The context menu's editing commands act on the program, and only those
// that can act are enabled when it shows.
TEST_F(Drobnosti, KontextovaNabidkaUpravuje) {
    Otevrit("G0 X1\r\n");
    QApplication::clipboard()->clear();
    const QStringList nabidka = KontextovaNabidka();
    ASSERT_GE(nabidka.size(), 6);
    EXPECT_EQ(nabidka.mid(0, 6), (QStringList{"Zpět -", "Znovu -", "Vyjmout -", "Kopírovat -", "Vložit -", "Vybrat vše"}));
    Ui::THlavniForm& ui = HlavniForm->Formular();
    const struct {
        const char* krok;
        std::pair<long, long> vyber;
        QAction* prikaz;
        const char* text;
        const char* schranka;
    } kroky[] = {
        {"copy", {3, 5}, ui.aKopirovat, "G0 X1\r\n", "X1"},
        {"cut", {0, 2}, ui.aVyjmout, " X1\r\n", "G0"},
        {"undo", {0, 0}, ui.aZpet, "G0 X1\r\n", "G0"},
        {"redo", {0, 0}, ui.aZnovu, " X1\r\n", "G0"},
        {"paste", {5, 5}, ui.aVlozit, " X1\r\nG0", "G0"},
    };
    for (const auto& k : kroky) {
        Vybrat(k.vyber.first, k.vyber.second);
        KontextovaNabidka(k.prikaz);
        EXPECT_EQ(Text(), k.text) << k.krok;
        EXPECT_EQ(QApplication::clipboard()->text().toStdString(), k.schranka) << k.krok;
    }
    Vybrat(2, 2);
    EXPECT_EQ(KontextovaNabidka().mid(0, 6), (QStringList{"Zpět", "Znovu -", "Vyjmout -", "Kopírovat -", "Vložit", "Vybrat vše"}));
    ui.aVybratVse->trigger();
    EXPECT_EQ(e().Vyber().Po - e().Vyber().Od, Text().size());
    EXPECT_EQ(KontextovaNabidka().mid(2, 2), (QStringList{"Vyjmout", "Kopírovat"}));
}

// After go to block the caret's line is the block's, and it stands out while
// the dialog's answer is read.
TEST_F(Drobnosti, RadekPoPrechoduZvyraznen) {
    Otevrit("%\r\nN10 G0\r\nN20 G1\r\nM30\r\n");
    ASSERT_TRUE(HlavniForm->PrejitNa(QStringLiteral("N20")));
    EXPECT_EQ(Radek(), 2);
    EXPECT_EQ(e().SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLE), 1);
    EXPECT_EQ(e().SendScintilla(QsciScintillaBase::SCI_GETCARETLINEVISIBLEALWAYS), 1);
}

// A click on the arrow beside the open button shows the recent programs.
TEST_F(Drobnosti, PosledniNaSipce) {
    Otevrit("N1\r\n", "prvni.nc");
    Otevrit("N2\r\n", "druhy.nc");
    auto* tlacitko = qobject_cast<QToolButton*>(
        HlavniForm->Formular().ActionToolBar1->widgetForAction(HlavniForm->Formular().aOtevrit));
    ASSERT_TRUE(tlacitko);
    HlavniForm->show();
    ZpracovatUdalosti();
    const QStringList posledni = Nabidka([&] {
        QTest::mouseClick(tlacitko, Qt::LeftButton, {}, QPoint(tlacitko->width() - 4, tlacitko->height() / 2));
    });
    ASSERT_EQ(posledni.size(), 2);
    EXPECT_TRUE(posledni[0].contains(QStringLiteral("druhy.nc"))) << posledni[0].toStdString();
    EXPECT_EQ(scenar.NabidnutyFiltr.size(), 2u) << "the click opened the open dialog";
}

// Ctrl+J runs the language command from the text area and from a spin edit.
TEST_F(Drobnosti, JazykZKlavesnice) {
    for (QWidget* w : std::initializer_list<QWidget*>{&e(), HlavniForm->Formular().speZacitOd}) {
        w->setFocus();
        QTest::keyClick(w, Qt::Key_J, Qt::ControlModifier);
        ZpracovatUdalosti();
    }
    // Without a language file the command says so (with one, its dialog shows).
    ASSERT_EQ(scenar.Zpravy.size(), 2u);
    EXPECT_TRUE(scenar.Zpravy[0].Text.contains(QStringLiteral("jazykový soubor"))) << scenar.Zpravy[0].Text.toStdString();
}

}  // namespace
