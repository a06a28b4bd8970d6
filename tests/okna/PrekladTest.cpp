// Translating a window: the component kinds, the keys, the hint rules.
#include "lang/JazykyXML.h"

#include "platform/Chyba.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

template <typename T>
T* Prvek(QWidget* rodic, const char* jmeno, bool oznaceny = true) {
    auto* p = new T(rodic);
    p->setObjectName(QLatin1String(jmeno));
    if (oznaceny) p->setProperty("tag", -1);
    return p;
}

// A window with one marked component of every kind, and a few unmarked ones.
struct TOkno {
    QDialog okno;
    QLabel* lbl;
    QLabel* lblBez;
    QPushButton* btn;
    QPushButton* btnObrazek;
    QLineEdit* edt;
    QLineEdit* edtSkryty;
    QLineEdit* edtBezHintu;
    QAction* aAkce;
    QAction* aKonecHintu;
    QAction* aBezHintu;
    QTreeWidget* liv;
    QTabWidget* pgc;
    QWidget* tshA;
    QWidget* tshB;
    QGroupBox* gbx;
    QGroupBox* rgp;
    QCheckBox* chk;
    QRadioButton* rbt;
    QComboBox* cbx;
    QFrame* pnl;
    QTableWidget* vle;
    QListWidget* clb;
    QMenu* mnu;
    QToolButton* sbt;
    QDialog* podrizene;
    QLabel* lblPodrizene;

    TOkno() {
        okno.setObjectName(QStringLiteral("TestForm"));
        okno.setProperty("tag", -1);
        okno.setWindowTitle(QStringLiteral("Okno"));
        lbl = Prvek<QLabel>(&okno, "lbl");
        lbl->setText(QStringLiteral("Popisek"));
        lbl->setToolTip(QStringLiteral("Nápověda popisku"));
        lblBez = Prvek<QLabel>(&okno, "lblBez", false);
        lblBez->setText(QStringLiteral("Neoznačený"));
        btn = Prvek<QPushButton>(&okno, "btn");
        btn->setText(QStringLiteral("Tlačítko"));
        btn->setToolTip(QStringLiteral("Stiskne"));
        btnObrazek = Prvek<QPushButton>(&okno, "btnObrazek");
        btnObrazek->setText(QStringLiteral("Obrázek"));
        QPixmap obrazek(16, 16);
        obrazek.fill(Qt::red);
        btnObrazek->setIcon(QIcon(obrazek));
        edt = Prvek<QLineEdit>(&okno, "edt");
        edt->setText(QStringLiteral("obsah"));
        edt->setToolTip(QStringLiteral("Zadejte"));
        edtSkryty = Prvek<QLineEdit>(&okno, "edtSkryty");
        edtSkryty->setToolTip(QStringLiteral("Skrytý"));
        NastavitZobrazovaniTipu(edtSkryty, false);
        edtBezHintu = Prvek<QLineEdit>(&okno, "edtBezHintu");
        aAkce = new QAction(QStringLiteral("&Akce..."), &okno);
        aAkce->setObjectName(QStringLiteral("aAkce"));
        aAkce->setProperty("tag", -1);
        aAkce->setToolTip(QStringLiteral("Provede akci"));
        aKonecHintu = new QAction(QStringLiteral("&Druhá"), &okno);
        aKonecHintu->setObjectName(QStringLiteral("aKonecHintu"));
        aKonecHintu->setProperty("tag", -1);
        aKonecHintu->setToolTip(QStringLiteral("Druhá akce"));
        aBezHintu = new QAction(QStringLiteral("&Třetí"), &okno);
        aBezHintu->setObjectName(QStringLiteral("aBezHintu"));
        aBezHintu->setProperty("tag", -1);
        liv = Prvek<QTreeWidget>(&okno, "liv");
        liv->setHeaderLabels({QStringLiteral("Jedna"), QStringLiteral("Dva"), QStringLiteral("Tři"), QStringLiteral("Čtyři")});
        liv->setProperty("tagSloupcu", QVariantList{-1, 0, -1});
        liv->setToolTip(QStringLiteral("Seznam"));
        pgc = Prvek<QTabWidget>(&okno, "pgc");
        tshA = Prvek<QWidget>(nullptr, "tshA");
        tshB = Prvek<QWidget>(nullptr, "tshB", false);
        pgc->addTab(tshA, QStringLiteral("Stránka A"));
        pgc->addTab(tshB, QStringLiteral("Stránka B"));
        gbx = Prvek<QGroupBox>(&okno, "gbx");
        gbx->setTitle(QStringLiteral("Skupina"));
        rgp = Prvek<QGroupBox>(&okno, "rgp");
        rgp->setProperty("radioGroup", true);
        rgp->setTitle(QStringLiteral("Volba"));
        Prvek<QRadioButton>(rgp, "rgpA", false)->setText(QStringLiteral("první"));
        Prvek<QRadioButton>(rgp, "rgpB", false)->setText(QStringLiteral("druhá"));
        chk = Prvek<QCheckBox>(&okno, "chk");
        chk->setText(QStringLiteral("Zaškrtnout"));
        rbt = Prvek<QRadioButton>(&okno, "rbt");
        rbt->setText(QStringLiteral("Přepínač"));
        cbx = Prvek<QComboBox>(&okno, "cbx");
        cbx->addItems({QStringLiteral("jedna"), QStringLiteral("dvě")});
        pnl = Prvek<QFrame>(&okno, "pnl");
        pnl->setProperty("caption", QStringLiteral("Panel"));
        vle = Prvek<QTableWidget>(&okno, "vle");
        vle->setColumnCount(2);
        vle->setRowCount(2);
        vle->setHorizontalHeaderLabels({QStringLiteral("Klíč"), QStringLiteral("Hodnota")});
        vle->setItem(0, 0, new QTableWidgetItem(QStringLiteral("a")));
        vle->setItem(0, 1, new QTableWidgetItem(QStringLiteral("1")));
        vle->setItem(1, 0, new QTableWidgetItem(QStringLiteral("b")));
        vle->setItem(1, 1, new QTableWidgetItem(QStringLiteral("2")));
        clb = Prvek<QListWidget>(&okno, "clb");
        clb->addItems({QStringLiteral("položka")});
        mnu = Prvek<QMenu>(&okno, "mnu");
        mnu->setTitle(QStringLiteral("Nabídka"));
        sbt = Prvek<QToolButton>(&okno, "sbt");
        sbt->setText(QStringLiteral("..."));
        sbt->setToolTip(QStringLiteral("Vybrat"));
        // A dialog owned by this window is a window of its own.
        podrizene = Prvek<QDialog>(&okno, "JinyForm");
        lblPodrizene = Prvek<QLabel>(podrizene, "lbl");
        lblPodrizene->setText(QStringLiteral("Jiné okno"));
    }
};

// The section of the test window in a language file with EN and DE texts; DE
// lacks most keys.
const char* const Soubor = R"(<?xml version="1.0" encoding="UTF-8"?>
<Preklad>
  <TestForm>
    <TestForm><EN>Window</EN></TestForm>
    <lbl><EN>Label</EN><DE>Beschriftung</DE></lbl>
    <lbl-H><EN>Label hint</EN></lbl-H>
    <lblBez><EN>Unmarked</EN></lblBez>
    <btn><EN>Button</EN></btn>
    <btn-H><EN>Presses</EN></btn-H>
    <btnObrazek><EN>Picture</EN></btnObrazek>
    <edt><EN>never</EN></edt>
    <edt-H><EN>Enter</EN></edt-H>
    <edtSkryty-H><EN>Hidden</EN></edtSkryty-H>
    <edtBezHintu-H><EN>no hint to translate</EN></edtBezHintu-H>
    <aAkce><EN>&amp;Action...</EN><DE>&amp;Aktion...</DE></aAkce>
    <aAkce-H><EN>Does the action</EN></aAkce-H>
    <aKonecHintu><EN>&amp;Second</EN></aKonecHintu>
    <aKonecHintu-H><EN>Second action|</EN></aKonecHintu-H>
    <aBezHintu><EN>&amp;Third</EN></aBezHintu>
    <liv><EN>List</EN></liv>
    <liv0><EN>One</EN></liv0>
    <liv1><EN>Two</EN></liv1>
    <liv2><EN>Three</EN></liv2>
    <liv3><EN>Four</EN></liv3>
    <tshA><EN>Page A</EN></tshA>
    <tshB><EN>Page B</EN></tshB>
    <gbx><EN>Group</EN></gbx>
    <rgp><EN>Choice</EN></rgp>
    <rgp0><EN>first</EN></rgp0>
    <rgp1><EN>second</EN></rgp1>
    <chk><EN>Tick</EN></chk>
    <rbt><EN>Radio</EN></rbt>
    <cbx0><EN>one</EN></cbx0>
    <cbx1><EN>two</EN></cbx1>
    <pnl><EN>Panel EN</EN></pnl>
    <vle-H><EN>never</EN></vle-H>
    <vle-K><EN>Key</EN></vle-K>
    <vle-V><EN>Value</EN></vle-V>
    <vle1><EN>bee=two</EN></vle1>
    <clb0><EN>item</EN></clb0>
    <mnu><EN>Menu</EN></mnu>
    <sbt><EN>…</EN></sbt>
    <sbt-H><EN>Choose</EN></sbt-H>
  </TestForm>
  <JinyForm>
    <lbl><EN>Other window</EN></lbl>
  </JinyForm>
</Preklad>
)";

class Preklad : public ::testing::Test {
protected:
    Preklad() : dokument(NacistJazykovyDokument(QByteArray(Soubor), QStringLiteral("tarvik.xml"))) {
        jazyk.Dokument = &dokument;
    }
    void Prelozit(const char* kod) {
        jazyk.Jazyk = QLatin1String(kod);
        jazyk.PrelozFormular(&o.okno);
    }

    QDomDocument dokument;
    TJazykXML jazyk;
    TOkno o;
};

TEST_F(Preklad, VsechnyDruhySoucasti) {
    Prelozit("EN");
    const std::pair<QString, const char*> texty[] = {
        {o.okno.windowTitle(), "Window"},
        {o.lbl->text(), "Label"},
        {o.lblBez->text(), "Neoznačený"},
        {o.btn->text(), "Button"},
        {o.btnObrazek->text(), "Picture"},
        {o.edt->text(), "obsah"},
        {o.aAkce->text(), "&Action..."},
        {o.aAkce->iconText(), "&Action..."},
        {o.liv->headerItem()->text(0), "One"},
        {o.liv->headerItem()->text(1), "Dva"},  // unmarked column
        {o.liv->headerItem()->text(2), "Three"},
        {o.liv->headerItem()->text(3), "Čtyři"},  // the list names no mark for it
        {o.pgc->tabText(0), "Page A"},
        {o.pgc->tabText(1), "Stránka B"},
        {o.gbx->title(), "Group"},
        {o.rgp->title(), "Choice"},
        {o.rgp->findChild<QRadioButton*>(QStringLiteral("rgpA"))->text(), "first"},
        {o.rgp->findChild<QRadioButton*>(QStringLiteral("rgpB"))->text(), "second"},
        {o.chk->text(), "Tick"},
        {o.rbt->text(), "Radio"},
        {o.cbx->itemText(0), "one"},
        {o.cbx->itemText(1), "two"},
        {o.pnl->property("caption").toString(), "Panel EN"},
        {o.vle->horizontalHeaderItem(0)->text(), "Key"},
        {o.vle->horizontalHeaderItem(1)->text(), "Value"},
        {o.vle->item(0, 0)->text() + u'=' + o.vle->item(0, 1)->text(), "a=1"},
        {o.vle->item(1, 0)->text() + u'=' + o.vle->item(1, 1)->text(), "bee=two"},
        {o.clb->item(0)->text(), "item"},
        {o.mnu->title(), "Menu"},
        {o.sbt->text(), "…"},
        {o.lblPodrizene->text(), "Jiné okno"},
    };
    for (const auto& [skutecny, ocekavany] : texty) EXPECT_EQ(skutecny, QString::fromUtf8(ocekavany));
}

TEST_F(Preklad, Hinty) {
    Prelozit("EN");
    struct TPripad {
        QObject* Prvek;
        const char* Hint;
        const char* Tip;
    };
    const TPripad pripady[] = {
        // A control that shows tooltips: T + "|", the tooltip is T.
        {o.edt, "Enter|", "Enter"},
        {o.lbl, "Label hint|", "Label hint"},
        {o.sbt, "Choose|", "Choose"},
        {o.btn, "Presses|", "Presses"},
        // One that does not: "|" + T, no tooltip.
        {o.edtSkryty, "|Hidden", ""},
        // An empty hint stays empty, whatever the file has.
        {o.edtBezHintu, "", ""},
        {o.chk, "", ""},
        // A list view: "|" + the text under its bare name.
        {o.liv, "|List", ""},
        // Actions: caption + "|" + T; T as it is when it ends with "|"; and a
        // hint even without one.
        {o.aAkce, "&Action...|Does the action", "Action..."},
        {o.aKonecHintu, "Second action|", "Second action"},
        {o.aBezHintu, "&Third|", "Third"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.Prvek->objectName().toStdString());
        EXPECT_EQ(Hint(p.Prvek), QString::fromUtf8(p.Hint));
        const QString tip = qobject_cast<QAction*>(p.Prvek) ? static_cast<QAction*>(p.Prvek)->toolTip()
                                                            : static_cast<QWidget*>(p.Prvek)->toolTip();
        EXPECT_EQ(tip, QString::fromUtf8(p.Tip));
    }
}

TEST_F(Preklad, ChybejiciSekceNechavaTexty) {
    o.okno.setObjectName(QStringLiteral("ChybiForm"));
    Prelozit("EN");
    EXPECT_EQ(o.okno.windowTitle(), u"Okno");
    EXPECT_EQ(o.lbl->text(), u"Popisek");
    EXPECT_EQ(o.btn->text(), u"Tlačítko");
    EXPECT_EQ(o.aAkce->text(), u"&Akce...");
    EXPECT_EQ(o.liv->headerItem()->text(0), u"Jedna");
    EXPECT_EQ(o.cbx->itemText(1), u"dvě");
    // The hints take their form, their tooltips read as before.
    EXPECT_EQ(o.edt->toolTip(), u"Zadejte");
    EXPECT_EQ(Hint(o.edt), u"Zadejte|");
    // A push button meets the hint rule twice, as a control and as a button.
    EXPECT_EQ(Hint(o.btn), u"Stiskne||");
    EXPECT_EQ(o.btn->toolTip(), u"Stiskne");
    // An action's tooltip becomes its caption.
    EXPECT_EQ(Hint(o.aAkce), u"&Akce...|Provede akci");
    EXPECT_EQ(o.aAkce->toolTip(), u"Akce...");
}

TEST_F(Preklad, ZmenaJazykaBezTextuNechavaPredchozi) {
    Prelozit("EN");
    Prelozit("DE");
    // DE has its own texts for two keys; every other text stays English.
    EXPECT_EQ(o.lbl->text(), u"Beschriftung");
    EXPECT_EQ(o.aAkce->text(), u"&Aktion...");
    EXPECT_EQ(o.btn->text(), u"Button");
    EXPECT_EQ(o.okno.windowTitle(), u"Window");
    EXPECT_EQ(o.liv->headerItem()->text(2), u"Three");
    EXPECT_EQ(o.pgc->tabText(0), u"Page A");
    EXPECT_EQ(o.edt->toolTip(), u"Enter");
    // The action's hint text is what the last pass left, under the new caption.
    EXPECT_EQ(o.aAkce->toolTip(), u"Aktion...");
    EXPECT_EQ(Hint(o.aAkce), u"&Aktion...|&Action...|Does the action");
    // Czech has no texts: nothing goes back to the designed texts.
    Prelozit("CZ");
    EXPECT_EQ(o.lbl->text(), u"Beschriftung");
}

TEST_F(Preklad, TipNastavenyPrimoJeNovymHintem) {
    Prelozit("EN");
    // Code that sets a tooltip directly (the save-state indicator does)
    // replaces the hint.
    o.edt->setToolTip(QStringLiteral("Soubor je uložen"));
    EXPECT_EQ(Hint(o.edt), u"Soubor je uložen");
    o.okno.setObjectName(QStringLiteral("ChybiForm"));
    Prelozit("EN");
    EXPECT_EQ(Hint(o.edt), u"Soubor je uložen|");
    EXPECT_EQ(o.edt->toolTip(), u"Soubor je uložen");
}

TEST_F(Preklad, NeoznaceneOknoNechavaTitulek) {
    o.okno.setProperty("tag", 0);
    Prelozit("EN");
    EXPECT_EQ(o.okno.windowTitle(), u"Okno");
    EXPECT_EQ(o.lbl->text(), u"Label");
}

TEST(PrekladChyba, KonciUSoucasti) {
    // The second label's entry is not plain text: the first label is
    // translated, the second and third keep their texts.
    const QDomDocument d = NacistJazykovyDokument(QByteArrayLiteral(R"(<P><F>
        <l1><EN>one</EN></l1><l2><EN>t<b/>wo</EN></l2><l3><EN>three</EN></l3></F></P>)"),
                                                  QStringLiteral("tarvik.xml"));
    TJazykXML jazyk;
    jazyk.Jazyk = QStringLiteral("EN");
    jazyk.Dokument = &d;
    QWidget okno;
    okno.setObjectName(QStringLiteral("F"));
    QLabel* l[3];
    for (int i = 0; i < 3; ++i) {
        l[i] = Prvek<QLabel>(&okno, QStringLiteral("l%1").arg(i + 1).toLatin1().constData());
        l[i]->setText(QStringLiteral("původní"));
    }
    EXPECT_THROW(jazyk.PrelozFormular(&okno), TChyba);
    EXPECT_EQ(l[0]->text(), u"one");
    EXPECT_EQ(l[1]->text(), u"původní");
    EXPECT_EQ(l[2]->text(), u"původní");
}

}  // namespace
