// The program's text area: its text in and out as UTF-8 bytes, replacements
// as single undo steps announced once, without the per-change notifications.
#include "ui/EditorProgramu.h"

#include <QSignalSpy>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

TEST(EditorProgramu, NacteniDrziBajtyAStav) {
    TEditorProgramu e;
    e.NastavitJenKeCteni();
    QSignalSpy nahrazeno(&e, &TEditorProgramu::TextNahrazen);
    const std::string text("N1 (\xC4\x8D)\r\n\0X\r\n", 13);
    e.Nacist(text);
    EXPECT_EQ(e.Utf8(), text);  // the NUL character too
    EXPECT_TRUE(e.isReadOnly());
    EXPECT_FALSE(e.isModified());
    EXPECT_FALSE(e.isUndoAvailable());
    EXPECT_EQ(nahrazeno.count(), 1);
}

TEST(EditorProgramu, NahrazeniJeJedenKrokZpet) {
    struct Pripad {
        const char* nazev;
        std::function<void(TEditorProgramu&)> nahradit;
        std::string vysledek;
    };
    const Pripad pripady[] = {
        {"whole text, a break at the end",
         [](TEditorProgramu& e) {
             std::vector<std::u16string> radky{u"N5 A", u"N10 \u010D"};
             e.NahraditVse(radky, true);
             EXPECT_TRUE(radky[0].empty() && radky[1].empty());  // released on the way
         },
         "N5 A\r\nN10 \xC4\x8D\r\n"},
        {"whole text, no break at the end",
         [](TEditorProgramu& e) {
             std::vector<std::u16string> radky{u"A", u""};
             e.NahraditVse(radky, false);
         },
         "A\r\n"},
        {"a range", [](TEditorProgramu& e) { e.NahraditUsek(6, 12, "N5 B\r\nN6 C\r\n"); },
         "N1 A\r\nN5 B\r\nN6 C\r\nN3 C"},
    };
    for (const auto& p : pripady) {
        TEditorProgramu e;
        e.Nacist("N1 A\r\nN2 B\r\nN3 C");
        e.setReadOnly(true);  // as while a pass runs
        QSignalSpy nahrazeno(&e, &TEditorProgramu::TextNahrazen);
        QSignalSpy zmeneno(&e, &QsciScintilla::textChanged);
        p.nahradit(e);
        EXPECT_EQ(e.Utf8(), p.vysledek) << p.nazev;
        EXPECT_EQ(nahrazeno.count(), 1) << p.nazev;
        EXPECT_EQ(zmeneno.count(), 0) << p.nazev;
        EXPECT_TRUE(e.isReadOnly()) << p.nazev;
        EXPECT_TRUE(e.isModified()) << p.nazev;
        e.setReadOnly(false);
        e.undo();
        EXPECT_EQ(e.Utf8(), "N1 A\r\nN2 B\r\nN3 C") << p.nazev;
        EXPECT_FALSE(e.isModified()) << p.nazev;
    }
}

TEST(EditorProgramu, VyberABodUlozeni) {
    TEditorProgramu e;
    e.Nacist("N1 A\r\nN2 B\r\n");
    EXPECT_EQ(e.Vyber().Od, e.Vyber().Po);
    e.SendScintilla(QsciScintillaBase::SCI_SETSEL, 8, 2);
    EXPECT_EQ(e.Vyber().Od, 2u);
    EXPECT_EQ(e.Vyber().Po, 8u);
    e.NahraditUsek(0, 0, "%\r\n");
    EXPECT_TRUE(e.isModified());
    e.NastavitBodUlozeni();
    EXPECT_FALSE(e.isModified());
}

}  // namespace
