// A program that another program changes while the window holds it (a CAM
// post, a colleague): the window notices it before saving and when it becomes
// active again, asks, and does what the user chose; it never overwrites the
// other program's work without a word.
#include "Scenar.h"

#include "ui_fHlavni.h"

#include "app/fHlavni.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <functional>
#include <string>

namespace fs = std::filesystem;

namespace {

class ZmenaZvenku : public ::testing::Test {
protected:
    ZmenaZvenku() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd", "\xEF\xBB\xBF" "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n");
        TDocasnaSlozka::Zapsat(program, "N1 X1\r\n");
        beh = std::make_unique<TBehAplikace>(slozka);
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdU16String(program.u16string()), 1});
        HlavniForm->aOtevritExecute();
    }
    ~ZmenaZvenku() override {
        HlavniForm->memProgram()->setModified(false);
        beh->Zavrit();
        fs::current_path(fs::temp_directory_path());
    }
    // Typed at the end of the program, as the user does.
    void Napsat(const char* text) {
        TEditorProgramu& e = *HlavniForm->memProgram();
        e.SendScintilla(QsciScintillaBase::SCI_DOCUMENTEND);
        e.SendScintilla(QsciScintillaBase::SCI_ADDTEXT, std::strlen(text), text);
    }
    // The next question is answered with the button of this text (none: the
    // box is closed, which is Cancel).
    void Odpovedet(const QString& tlacitko) {
        scenar.ObsluhyZprav.push_back([this, tlacitko](QMessageBox& box) {
            QStringList texty;
            for (QAbstractButton* b : box.buttons()) texty << b->text();
            tlacitka.push_back(texty);
            for (QAbstractButton* b : box.buttons())
                if (b->text() == tlacitko) b->click();
            return int(QMessageBox::Cancel);
        });
    }
    std::string Text() const { return std::string(HlavniForm->memProgram()->Utf8()); }
    // The window comes to the front again.
    void Aktivovat() {
        QEvent aktivace(QEvent::WindowActivate);
        QApplication::sendEvent(HlavniForm, &aktivace);
        ZpracovatUdalosti();
    }

    TDocasnaSlozka slozka;
    const fs::path program = slozka / "program.nc";
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
    std::vector<QStringList> tlacitka;  // the buttons of the questions asked
};

const QString Znovu = QStringLiteral("&Načíst znovu"), Prepsat = QStringLiteral("&Přepsat"),
              Jako = QStringLiteral("Uložit &jako..."), Ulozit = QStringLiteral("&Uložit");
// No button of these: the box is closed (Escape, its close button), which is Cancel.
const QString Zavrit = QStringLiteral("(closed)");

// Ctrl+S after another program changed the file: each answer, and what the
// file and the window hold afterwards.
TEST_F(ZmenaZvenku, UlozeniPoZmeneZvenku) {
    struct Pripad {
        const char* nazev;
        std::function<void(const fs::path&)> zvenku;  // what the other program does
        QString odpoved;                              // empty: no question expected
        std::string soubor, okno;                     // the file and the window's program afterwards
        bool zmeneno;                                 // the window's program still unsaved
    };
    const auto pripsat = [](const fs::path& p) {
        TDocasnaSlozka::Zapsat(p, TDocasnaSlozka::Precist(p) + "N2 X2\r\n");
    };
    // Same size, only its time differs: still another program's work.
    const auto prepsatStejneDlouhy = [](const fs::path& p) {
        const auto cas = fs::last_write_time(p);
        TDocasnaSlozka::Zapsat(p, "N1 X9\r\n");
        fs::last_write_time(p, cas + std::chrono::seconds(1));
    };
    // Replaced by a new file (as most programs save).
    const auto nahradit = [](const fs::path& p) {
        TDocasnaSlozka::Zapsat(p.string() + ".novy", "N7 Y\r\n");
        fs::rename(p.string() + ".novy", p);
    };
    const auto jenPrava = [](const fs::path& p) {
        fs::permissions(p, fs::perms::group_read, fs::perm_options::add);
    };
    const auto smazat = [](const fs::path& p) { fs::remove(p); };
    const Pripad pripady[] = {
        {"nothing changed", [](const fs::path&) {}, {}, "N1 X1\r\nG4\r\n", "N1 X1\r\nG4\r\n", false},
        // The writer's test: the file's entry changed too (as when a copy
        // that keeps the time is put over it).
        {"only the permissions changed, overwritten", jenPrava, Prepsat, "N1 X1\r\nG4\r\n", "N1 X1\r\nG4\r\n",
         false},
        {"a line appended, read again", pripsat, Znovu, "N1 X1\r\nN2 X2\r\n", "N1 X1\r\nN2 X2\r\n", false},
        {"a line appended, overwritten", pripsat, Prepsat, "N1 X1\r\nG4\r\n", "N1 X1\r\nG4\r\n", false},
        {"a line appended, cancelled", pripsat, Zavrit, "N1 X1\r\nN2 X2\r\n", "N1 X1\r\nG4\r\n",
         true},
        {"rewritten at the same size, cancelled", prepsatStejneDlouhy, Zavrit, "N1 X9\r\n",
         "N1 X1\r\nG4\r\n", true},
        {"replaced, read again", nahradit, Znovu, "N7 Y\r\n", "N7 Y\r\n", false},
        {"deleted, saved again", smazat, Ulozit, "N1 X1\r\nG4\r\n", "N1 X1\r\nG4\r\n", false},
        // Nothing to read again: the window keeps its program, and nothing is written.
        {"deleted, cancelled", smazat, Zavrit, "", "N1 X1\r\nG4\r\n", true},
    };
    for (const Pripad& p : pripady) {
        SCOPED_TRACE(p.nazev);
        HlavniForm->memProgram()->setModified(false);
        TDocasnaSlozka::Zapsat(program, "N1 X1\r\n");
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdU16String(program.u16string()), 1});
        HlavniForm->aOtevritExecute();
        Napsat("G4\r\n");
        p.zvenku(program);
        scenar.Zpravy.clear();
        tlacitka.clear();
        if (!p.odpoved.isEmpty()) Odpovedet(p.odpoved);
        HlavniForm->aUlozitExecute();
        EXPECT_EQ(scenar.Zpravy.size(), p.odpoved.isEmpty() ? 0u : 1u);
        if (!p.odpoved.isEmpty() && !tlacitka.empty()) {
            const bool smazany = p.odpoved == Ulozit || p.soubor.empty();
            EXPECT_EQ(scenar.Zpravy[0].Titulek, "Varování");
            EXPECT_TRUE(scenar.Zpravy[0].Text.startsWith(smazany ? "Soubor mezitím jiný program smazal nebo přesunul:\r\""
                                                                 : "Soubor mezitím změnil jiný program:\r\""))
                << scenar.Zpravy[0].Text.toStdString();
            // Reading again loses the typed line: the question says so.
            EXPECT_TRUE(smazany || scenar.Zpravy[0].Text.endsWith("Načtením znovu se ztratí změny, které nejsou uložené."));
            EXPECT_EQ(tlacitka[0].size(), smazany ? 3 : 4);
            EXPECT_EQ(tlacitka[0].contains(Znovu), !smazany);
            EXPECT_TRUE(tlacitka[0].contains(Jako));
        }
        EXPECT_EQ(TDocasnaSlozka::Precist(program), p.soubor);
        EXPECT_EQ(Text(), p.okno);
        EXPECT_EQ(HlavniForm->Zmeneno(), p.zmeneno);
    }
}

// Save as from the question: the other program's file stays as it made it,
// the window's program goes to the new name, which is its file from then on.
TEST_F(ZmenaZvenku, UlozitJakoZOtazky) {
    Napsat("G4\r\n");
    TDocasnaSlozka::Zapsat(program, "N1 X1\r\nN2 X2\r\n");
    const fs::path jiny = slozka / "moje.nc";
    Odpovedet(Jako);
    scenar.Ulozeni.push_back(Modalni::TOtevreni{QString::fromStdU16String(jiny.u16string()), 1});
    HlavniForm->aUlozitExecute();
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "N1 X1\r\nN2 X2\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(jiny), "N1 X1\r\nG4\r\n");
    EXPECT_EQ(HlavniForm->AktualniSoubor(), QString::fromStdU16String(jiny.u16string()));
    EXPECT_FALSE(HlavniForm->Zmeneno());
}

// Coming back to the window: a change is asked about once (Enter reads an
// unchanged program again), a change after that again; a closing question's
// Yes does not overwrite a changed file unasked either.
TEST_F(ZmenaZvenku, PriAktivaci) {
    Aktivovat();
    EXPECT_TRUE(scenar.Zpravy.empty());
    TDocasnaSlozka::Zapsat(program, "N1 X1\r\nN2 X2\r\n");
    scenar.ObsluhyZprav.push_back([](QMessageBox& box) {
        // Enter presses the default button.
        if (box.defaultButton()) box.defaultButton()->click();
        return int(QMessageBox::NoButton);
    });
    Aktivovat();
    ASSERT_EQ(scenar.Zpravy.size(), 1u);
    EXPECT_EQ(Text(), "N1 X1\r\nN2 X2\r\n");
    EXPECT_EQ(HlavniForm->memPuvodni()->Utf8(), "N1 X1\r\nN2 X2\r\n");

    // Typed, then changed outside: Cancel, and the same change is not asked
    // about at the next activation; the next change is.
    Napsat("G4\r\n");
    TDocasnaSlozka::Zapsat(program, "N3\r\n");
    Odpovedet(Zavrit);
    Aktivovat();
    Aktivovat();
    EXPECT_EQ(scenar.Zpravy.size(), 2u);
    EXPECT_EQ(Text(), "N1 X1\r\nN2 X2\r\nG4\r\n");
    TDocasnaSlozka::Zapsat(program, "N3 X3\r\n");
    Odpovedet(Zavrit);
    Aktivovat();
    EXPECT_EQ(scenar.Zpravy.size(), 3u);

    // Closing: Yes to saving, then Cancel to overwriting: the window stays.
    Odpovedet(Zavrit);
    scenar.ObsluhyZprav.push_front([](QMessageBox&) { return int(QMessageBox::Yes); });
    EXPECT_FALSE(beh->Zavrit());
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "N3 X3\r\n");
    EXPECT_TRUE(HlavniForm->Zmeneno());
}

}  // namespace
