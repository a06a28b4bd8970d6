// A window test with a program open in the main window, driven by its keys.
#pragma once

#include "Scenar.h"

#include "app/fHlavni.h"

#include <Qsci/qsciscintilla.h>

#include <QTest>

#include <gtest/gtest.h>

#include <string>

class OknoProgramu : public ::testing::Test {
protected:
    OknoProgramu() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd", "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n");
        beh = std::make_unique<TBehAplikace>(slozka);
    }
    ~OknoProgramu() override {
        HlavniForm->memProgram()->setModified(false);
        beh->Zavrit();
        std::filesystem::current_path(std::filesystem::temp_directory_path());
    }
    QString Cesta(const char* jmeno) const { return QString::fromStdU16String((slozka / jmeno).u16string()); }
    void Otevrit(const std::string& obsah, const char* jmeno = "p.nc") {
        TDocasnaSlozka::Zapsat(slozka / jmeno, obsah);
        scenar.Otevreni.push_back(Modalni::TOtevreni{Cesta(jmeno), 1});
        Klavesa(Qt::Key_O, Qt::ControlModifier);
    }
    TEditorProgramu& e() { return *HlavniForm->memProgram(); }
    std::string Text() { return std::string(e().Utf8()); }
    // A key pressed in the program's text area (its window active).
    void Klavesa(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        if (!HlavniForm->isActiveWindow()) {
            HlavniForm->activateWindow();
            ZpracovatUdalosti();
        }
        e().setFocus();
        QTest::keyClick(&e(), k, m);
        ZpracovatUdalosti();
    }
    // Selects bytes [od, po) of the program (po < od: the caret at po).
    void Vybrat(long od, long po) { e().SendScintilla(QsciScintillaBase::SCI_SETSEL, od, po); }
    long Radek() { return e().SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, e().SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS)); }

    TDocasnaSlozka slozka;
    TScenar scenar;
    std::unique_ptr<TBehAplikace> beh;
};
