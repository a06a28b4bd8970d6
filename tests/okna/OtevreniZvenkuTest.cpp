// Programs given to the window from outside: on the command line, dropped on
// the window, and the language file found in the program's data folders.
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"
#include "lang/fJazyk.h"
#include "ui/Prvky.h"

#include <QApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QTreeWidget>
#include <QUrl>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

class OtevreniZvenku : public ::testing::Test {
protected:
    OtevreniZvenku() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd",
                               "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                               "Obrácená\t.tap\tN\t:\t%\tM30\t;\t\r\n"
                               "Číslicový\t.\t\t\t%\tM30\t(\t\r\n");
    }
    ~OtevreniZvenku() override {
        if (beh) {
            if (HlavniForm) HlavniForm->memProgram()->setModified(false);
            beh->Zavrit();
        }
        fs::current_path(fs::temp_directory_path());
    }
    // Starts the application; the window shows with the program of the command line.
    void Spustit(const std::string& soubor = {}) {
        beh = std::make_unique<TBehAplikace>(slozka, false);
        HlavniForm->SouborPriStartu = QString::fromStdString(soubor);
        HlavniForm->show();
        ZpracovatUdalosti();
    }
    std::string Soubor(const std::string& jmeno, const std::string& obsah) {
        TDocasnaSlozka::Zapsat(slozka / jmeno, obsah);
        return (slozka / jmeno).string();
    }
    QString Text() const { return HlavniForm->memProgram()->text(); }

    // A drag of urls (with their text, as file managers send it) onto a widget:
    // enter, then drop when it was accepted. Whether the drop was accepted.
    bool Pretahnout(QWidget* cil, const QList<QUrl>& adresy, Qt::DropActions akce = Qt::CopyAction | Qt::MoveAction) {
        QMimeData data;
        data.setUrls(adresy);
        QString text;
        for (const QUrl& a : adresy) text += a.toString() + u'\n';
        data.setText(text);
        const QPoint misto(cil->width() / 2, cil->height() / 2);
        QDragEnterEvent vstup(misto, akce, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cil, &vstup);
        if (!vstup.isAccepted()) return false;
        QDropEvent pusteni(QPointF(misto), akce, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(cil, &pusteni);
        ZpracovatUdalosti();
        EXPECT_EQ(pusteni.dropAction(), Qt::CopyAction);
        return pusteni.isAccepted();
    }
    static QUrl Adresa(const std::string& soubor) { return QUrl::fromLocalFile(QString::fromStdString(soubor)); }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};

// The command line's program opens with the type of its extension, as the
// batch tool chooses it; the open dialog then offers it with that type.
TEST_F(OtevreniZvenku, ProgramZPrikazoveRadky) {
    struct Pripad {
        const char* jmeno;
        QString typ;
        int pozice;
    };
    const Pripad pripady[] = {
        {"program.TAP", "Obrácená", 2},
        {"program.nc", "Frézka", 1},
        {"O1234", "Číslicový", 3},  // no extension: the type of "."
        {"program.xyz", "Frézka", 1},  // no type of its own: the first
    };
    for (const auto& p : pripady) {
        const std::string soubor = Soubor(p.jmeno, "N10 G0\n20 M30\n");
        Spustit(soubor);
        EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(soubor)) << p.jmeno;
        EXPECT_EQ(Text(), "N10 G0\r\n20 M30\r\n") << p.jmeno;
        EXPECT_EQ(HlavniForm->Panel(1)->text(), p.typ) << p.jmeno;
        EXPECT_EQ(HlavniForm->PoziceFiltru(), p.pozice) << p.jmeno;
        EXPECT_FALSE(HlavniForm->Zmeneno()) << p.jmeno;
        EXPECT_TRUE(scenar.Zpravy.empty()) << p.jmeno;

        // The user can still open it as another type.
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdString(soubor), 1});
        HlavniForm->aOtevritExecute();
        EXPECT_EQ(scenar.NabidnutySoubor.back(), QString::fromStdString(soubor)) << p.jmeno;
        EXPECT_EQ(scenar.NabidnutyFiltr.back().second, p.pozice) << p.jmeno;
        EXPECT_EQ(HlavniForm->Panel(1)->text(), "Frézka") << p.jmeno;
        beh->Zavrit();
        beh.reset();
    }
}

// A relative name is taken from the working directory; a file that cannot be
// read is reported, and the window starts without a program.
TEST_F(OtevreniZvenku, RelativniAChybejiciProgram) {
    Soubor("rel.tap", "N1\n");
    Spustit("rel.tap");
    EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString((slozka / "rel.tap").string()));
    EXPECT_EQ(HlavniForm->Panel(1)->text(), "Obrácená");
    beh->Zavrit();
    beh.reset();

    Spustit((slozka / "chybi.nc").string());
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_TRUE(scenar.Zpravy[0].Text.startsWith("Nelze otevřít soubor")) << scenar.Zpravy[0].Text.toStdString();
    EXPECT_TRUE(HlavniForm->AktualniSoubor().isEmpty());
    // The file types are there all the same.
    EXPECT_EQ(HlavniForm->Filtr().count(u'|'), 5);
}

// What is no program file, given on the command line: a message, never a
// wait (a pipe would wait for a writer, a device might never end); the
// window starts without a program. A file that is not text is refused too.
TEST_F(OtevreniZvenku, NeniProgramovySoubor) {
    const fs::path roura = slozka / "roura.nc";
    ASSERT_EQ(mkfifo(roura.c_str(), 0600), 0);
    fs::create_directories(slozka / "slozka.nc");
    const std::string binarni = Soubor("ls.nc", std::string("\x7F" "ELF\x02\x01\x01\0\0\0\0\0\0\0\0\0", 16));
    struct Pripad {
        std::string cesta;
        std::string duvod;
    };
    const Pripad pripady[] = {
        {roura.string(), "Není to běžný soubor, ale roura, zařízení nebo soket."},
        {(slozka / "slozka.nc").string(), "Je to složka."},
        {"/dev/null", "Není to běžný soubor, ale roura, zařízení nebo soket."},
        {"/dev/zero", "Není to běžný soubor, ale roura, zařízení nebo soket."},
        {binarni, "Soubor není textový program."},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.cesta);
        scenar.Zpravy.clear();
        Spustit(p.cesta);
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Titulek, "Chyba");
        EXPECT_EQ(scenar.Zpravy[0].Text.toStdString(), "Nelze otevřít soubor \"" + p.cesta + "\". " + p.duvod);
        EXPECT_TRUE(HlavniForm->AktualniSoubor().isEmpty());
        EXPECT_TRUE(Text().isEmpty());
        EXPECT_TRUE(HlavniForm->PosledniSoubory().isEmpty());
        EXPECT_TRUE(beh->Zavrit());
        beh.reset();
    }
    EXPECT_EQ(TDocasnaSlozka::Precist(binarni).size(), 16u);
}

// A program dropped on the window or on a text area opens; the path never
// lands in the text.
TEST_F(OtevreniZvenku, PretazenyProgram) {
    Spustit();
    const std::string prvni = Soubor("prvni.tap", "N1 X\n");
    const std::string druhy = Soubor("druhy.nc", "N2 Y\n");
    EXPECT_TRUE(Pretahnout(HlavniForm, {Adresa(prvni)}));
    EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(prvni));
    EXPECT_EQ(HlavniForm->Panel(1)->text(), "Obrácená");
    EXPECT_EQ(Text(), "N1 X\r\n");
    EXPECT_EQ(HlavniForm->memPuvodni()->text(), "N1 X\r\n");

    for (QWidget* cil : {HlavniForm->memProgram()->viewport(), HlavniForm->memPuvodni()->viewport()}) {
        HlavniForm->memProgram()->setModified(false);
        EXPECT_TRUE(Pretahnout(cil, {Adresa(druhy)}));
        EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(druhy));
        EXPECT_EQ(Text(), "N2 Y\r\n");
        EXPECT_EQ(HlavniForm->Panel(1)->text(), "Frézka");
        EXPECT_FALSE(HlavniForm->Zmeneno());
        Pretahnout(HlavniForm, {Adresa(prvni)});
    }
    EXPECT_TRUE(scenar.Zpravy.empty());
}

// Only one local file is taken, and only as a copy: two files, a file
// elsewhere or one the source would move away are refused, and nothing
// changes. (A web address is text to the text areas, as in any editor.)
TEST_F(OtevreniZvenku, OdmitnutePretazeni) {
    Spustit();
    const std::string program = Soubor("p.nc", "N1\n");
    const std::string druhy = Soubor("q.nc", "N2\n");
    struct Pripad {
        const char* nazev;
        QList<QUrl> adresy;
        Qt::DropActions akce;
    };
    const Pripad pripady[] = {
        {"two files", {Adresa(program), Adresa(druhy)}, Qt::CopyAction},
        {"a web address", {QUrl(QStringLiteral("https://www.orvendal.cz/p.nc"))}, Qt::CopyAction},
        {"a missing file", {Adresa((slozka / "chybi.nc").string())}, Qt::CopyAction},
        {"moved only", {Adresa(program)}, Qt::MoveAction},
    };
    for (const auto& p : pripady) {
        for (QWidget* cil : {static_cast<QWidget*>(HlavniForm), HlavniForm->memProgram()->viewport()}) {
            if (cil != HlavniForm && !p.adresy.front().isLocalFile()) continue;
            EXPECT_FALSE(Pretahnout(cil, p.adresy, p.akce)) << p.nazev;
            EXPECT_TRUE(HlavniForm->AktualniSoubor().isEmpty()) << p.nazev;
            EXPECT_EQ(Text(), "") << p.nazev;
        }
    }
    EXPECT_TRUE(scenar.Zpravy.empty());
}

// A drop on a changed program asks first, as the open command does: Yes
// saves it, No leaves it, and the dropped program opens; Cancel leaves the
// window, its program and both files as they were.
TEST_F(OtevreniZvenku, PretazeniSeZmenenymProgramem) {
    const std::string puvodni = Soubor("puvodni.nc", "N1 X\n");
    const std::string novy = Soubor("novy.nc", "N9 Z\n");
    for (const auto odpoved : {QMessageBox::Yes, QMessageBox::No, QMessageBox::Cancel}) {
        SCOPED_TRACE(odpoved);
        const bool zruseno = odpoved == QMessageBox::Cancel;
        TDocasnaSlozka::Zapsat(puvodni, "N1 X\n");
        Spustit(puvodni);
        HlavniForm->memProgram()->insert(QStringLiteral("(A)"));
        ASSERT_TRUE(HlavniForm->Zmeneno());
        scenar.Zpravy.clear();
        scenar.Odpovedi.push_back(odpoved);
        EXPECT_TRUE(Pretahnout(HlavniForm->memProgram()->viewport(), {Adresa(novy)}));
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        EXPECT_EQ(scenar.Zpravy[0].Titulek, "Potvrzení");
        EXPECT_EQ(scenar.Zpravy[0].Text,
                  "Uložit změněný soubor\r\"" + QString::fromStdString(puvodni) + "\"?");
        EXPECT_EQ(TDocasnaSlozka::Precist(puvodni), odpoved == QMessageBox::Yes ? "(A)N1 X\r\n" : "N1 X\n");
        EXPECT_EQ(TDocasnaSlozka::Precist(novy), "N9 Z\n");
        EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString(zruseno ? puvodni : novy));
        EXPECT_EQ(Text(), zruseno ? "(A)N1 X\r\n" : "N9 Z\r\n");
        EXPECT_EQ(HlavniForm->Zmeneno(), zruseno);
        HlavniForm->memProgram()->setModified(false);
        beh->Zavrit();
        beh.reset();
    }
}

// Text dragged onto the text area stays the text area's.
TEST_F(OtevreniZvenku, PretazenyTextNeniSoubor) {
    Spustit(Soubor("p.nc", "N1\n"));
    QMimeData data;
    data.setText(QStringLiteral("G0 X1"));
    QWidget* cil = HlavniForm->memProgram()->viewport();
    QDragEnterEvent vstup(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(cil, &vstup);
    EXPECT_TRUE(vstup.isAccepted());  // by the text area
    QDropEvent pusteni(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(cil, &pusteni);
    ZpracovatUdalosti();
    EXPECT_TRUE(Text().contains(QStringLiteral("G0 X1")));
    EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdString((slozka / "p.nc").string()));
}

// Started elsewhere than from its own folder, the window finds the language
// file in its data folders; one planted in the working directory, a folder of
// programs, is never read.
TEST_F(OtevreniZvenku, JazykovySouborVeSlozkachDat) {
    TDocasnaSlozka data;
    fs::copy_file(TARVIK_JAZYKY_XML, data / "tarvik.xml");
    const auto vybratAnglictinu = [&] {
        scenar.Dialogy.push_back([](QDialog&) {
            QTreeWidget* s = JazykForm->livJazyk();
            for (int i = 0; i < s->topLevelItemCount(); ++i)
                if (s->topLevelItem(i)->text(0) == "EN") s->setCurrentItem(s->topLevelItem(i));
            return int(QDialog::Accepted);
        });
    };
    beh = std::make_unique<TBehAplikace>(slozka, false);
    HlavniForm->SlozkyDat = {slozka / "zadna", data.Cesta()};
    HlavniForm->show();
    ZpracovatUdalosti();
    vybratAnglictinu();
    HlavniForm->aJazykExecute();
    ASSERT_EQ(scenar.SpusteneDialogy.size(), 1u);
    EXPECT_TRUE(scenar.Zpravy.empty());
    EXPECT_EQ(HlavniForm->Formular().aKonec->text(), "E&xit");
    beh->Zavrit();
    beh.reset();

    // The working directory's file is not read, at start or by the language command.
    TDocasnaSlozka::Zapsat(slozka / "tarvik.xml",
                           "<?xml version=\"1.0\" encoding=\"UTF-8\"?><Preklad><JAZYKY><EN index=\"1\">"
                           "<Jmeno>English</Jmeno><Verze>1</Verze><Autor>A</Autor></EN></JAZYKY>"
                           "<HlavniForm><aKonec><EN>Quit here</EN></aKonec></HlavniForm></Preklad>");
    for (const auto& slozky : {std::vector<fs::path>{data.Cesta()}, std::vector<fs::path>{}}) {
        beh = std::make_unique<TBehAplikace>(slozka, false);
        HlavniForm->SlozkyDat = slozky;
        HlavniForm->show();
        ZpracovatUdalosti();
        if (!slozky.empty()) vybratAnglictinu();
        HlavniForm->aJazykExecute();
        EXPECT_EQ(HlavniForm->Formular().aKonec->text(), slozky.empty() ? "&Konec" : "E&xit");
        // Without a language file in the data folders the command only says so.
        EXPECT_EQ(scenar.SpusteneDialogy.size(), 2u);
        beh->Zavrit();
        beh.reset();
    }
}

}  // namespace
