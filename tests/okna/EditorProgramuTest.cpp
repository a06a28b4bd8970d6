// The program's text area: its text in and out as UTF-8 bytes, a new text
// built beside the one shown and put in place in one step, commands as
// single undo steps announced once and without per-change notifications,
// and one undo history of commands and typing.
#include "ui/EditorProgramu.h"

#include <QAccessible>
#include <QSignalSpy>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

// A command's result, replacing the whole text or a range of it.
void Prikaz(TEditorProgramu& e, std::string_view novy, std::optional<TEditorProgramu::TUsek> vybrano = {}) {
    TEditorProgramu::TNovyText t(e, novy.size());
    t.Pridat(novy);
    e.Nahradit(t, vybrano);
}

// Typing at a position, as the user does (the area's notifications come).
void Napsat(TEditorProgramu& e, long pozice, const char* text) {
    e.SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, static_cast<unsigned long>(pozice), text);
}

TEST(EditorProgramu, NacteniDrziBajtyAStav) {
    TEditorProgramu e;
    e.NastavitJenKeCteni();
    QSignalSpy nahrazeno(&e, &TEditorProgramu::TextNahrazen);
    const std::string text("N1 (\xC4\x8D)\r\n\0X\r\n", 13);
    // Built in pieces, emptied once (a text that turned out not to be UTF-8) and built again.
    TEditorProgramu::TNovyText t(e, 4);
    t.Pridat("zahozeno");
    t.Vyprazdnit();
    t.Pridat(text.substr(0, 5));
    t.Pridat(text.substr(5));
    e.Nacist(t);
    EXPECT_EQ(e.Utf8(), text);  // the NUL character too
    EXPECT_TRUE(e.isReadOnly());
    EXPECT_FALSE(e.Zmeneno());
    EXPECT_FALSE(e.MuzeZpet());
    EXPECT_EQ(nahrazeno.count(), 1);
    // A second load forgets the first text's history.
    e.setReadOnly(false);
    Prikaz(e, "A");
    e.Nacist("B\r\n");
    EXPECT_EQ(e.Utf8(), "B\r\n");
    EXPECT_FALSE(e.MuzeZpet());
    EXPECT_FALSE(e.MuzeZnovu());
}

TEST(EditorProgramu, PrikazJeJedenKrokZpet) {
    struct Pripad {
        const char* nazev;
        std::string novy;
        std::optional<TEditorProgramu::TUsek> vybrano;
    };
    const Pripad pripady[] = {
        {"whole text", "N5 A\r\nN10 \xC4\x8D\r\n", std::nullopt},
        {"a range", "N1 A\r\nN5 B\r\nN6 C\r\nN3 C", TEditorProgramu::TUsek{6, 18}},
    };
    for (const auto& p : pripady) {
        TEditorProgramu e;
        e.Nacist("N1 A\r\nN2 B\r\nN3 C");
        e.setReadOnly(true);  // as while a pass runs
        QSignalSpy nahrazeno(&e, &TEditorProgramu::TextNahrazen);
        QSignalSpy zmeneno(&e, &QsciScintilla::textChanged);
        Prikaz(e, p.novy, p.vybrano);
        EXPECT_EQ(e.Utf8(), p.novy) << p.nazev;
        EXPECT_EQ(nahrazeno.count(), 1) << p.nazev;
        EXPECT_EQ(zmeneno.count(), 0) << p.nazev;
        EXPECT_TRUE(e.isReadOnly()) << p.nazev;
        EXPECT_TRUE(e.Zmeneno()) << p.nazev;
        if (p.vybrano) {
            EXPECT_EQ(e.Vyber().Od, p.vybrano->Od) << p.nazev;
            EXPECT_EQ(e.Vyber().Po, p.vybrano->Po) << p.nazev;
        }
        // Nothing is undone while the area is read-only.
        e.undo();
        EXPECT_EQ(e.Utf8(), p.novy) << p.nazev;
        e.setReadOnly(false);
        e.undo();
        EXPECT_EQ(e.Utf8(), "N1 A\r\nN2 B\r\nN3 C") << p.nazev;
        EXPECT_FALSE(e.Zmeneno()) << p.nazev;
        EXPECT_FALSE(e.MuzeZpet()) << p.nazev;
        e.redo();
        EXPECT_EQ(e.Utf8(), p.novy) << p.nazev;
        EXPECT_TRUE(e.Zmeneno()) << p.nazev;
        EXPECT_EQ(nahrazeno.count(), 3) << p.nazev;
        EXPECT_EQ(zmeneno.count(), 0) << p.nazev;
    }
}

// Typing and commands in one history: undo and redo walk it in order, new
// typing after an undo drops what was undone, and what was typed and undone
// before a command never comes back after it.
TEST(EditorProgramu, JednaHistorie) {
    TEditorProgramu e;
    e.Nacist("A\r\n");
    Napsat(e, 0, "x");                 // xA
    Prikaz(e, "N5 xA\r\n");            // the command
    Napsat(e, 0, "y");                 // yN5 xA
    e.undo();
    EXPECT_EQ(e.Utf8(), "N5 xA\r\n");
    e.undo();
    EXPECT_EQ(e.Utf8(), "xA\r\n");
    e.undo();
    EXPECT_EQ(e.Utf8(), "A\r\n");
    EXPECT_FALSE(e.MuzeZpet());
    e.redo();
    e.redo();
    EXPECT_EQ(e.Utf8(), "N5 xA\r\n");
    e.redo();
    EXPECT_EQ(e.Utf8(), "yN5 xA\r\n");
    EXPECT_FALSE(e.MuzeZnovu());

    // Undo the command and type: the command cannot be redone.
    e.undo();
    e.undo();
    EXPECT_EQ(e.Utf8(), "xA\r\n");
    Napsat(e, 0, "z");
    EXPECT_FALSE(e.MuzeZnovu());
    e.redo();
    EXPECT_EQ(e.Utf8(), "zxA\r\n");

    // Typing undone before a command is no redo step after the command is undone.
    e.undo();                        // xA, "z" can be redone
    Prikaz(e, "N5 xA\r\n");
    e.undo();
    EXPECT_EQ(e.Utf8(), "xA\r\n");
    e.redo();
    EXPECT_EQ(e.Utf8(), "N5 xA\r\n");
}

// The saved text is one place in the history: the area is unchanged there
// only, whichever way it is reached.
TEST(EditorProgramu, BodUlozeniVHistorii) {
    TEditorProgramu e;
    e.Nacist("A\r\n");
    Prikaz(e, "B\r\n");
    e.NastavitBodUlozeni();
    EXPECT_FALSE(e.Zmeneno());
    e.undo();
    EXPECT_TRUE(e.Zmeneno());
    e.redo();
    EXPECT_FALSE(e.Zmeneno());
    Napsat(e, 0, "x");
    EXPECT_TRUE(e.Zmeneno());
    e.undo();
    EXPECT_FALSE(e.Zmeneno());
    // The saved document dropped from the history: changed from then on.
    e.undo();
    Prikaz(e, "C\r\n");
    e.undo();
    e.setModified(false);  // the area's own call means the same
    EXPECT_FALSE(e.isModified());
    e.redo();
    EXPECT_TRUE(e.isModified());
    // A text set through the area's own call, which empties its undo
    // history, is a change as well.
    e.Nacist("A\r\n");
    e.setText("N1 X");
    EXPECT_TRUE(e.Zmeneno());
}

// Ctrl+Z and Ctrl+Y, Ctrl+Shift+Z (redo as on Linux), and the area's other
// keys for them, go through the history.
TEST(EditorProgramu, KlavesyZpetAZnovu) {
    TEditorProgramu e;
    e.Nacist("A\r\n");
    Prikaz(e, "B\r\n");
    const struct {
        Qt::Key klavesa;
        Qt::KeyboardModifiers modifikatory;
        const char* text;
    } kroky[] = {
        {Qt::Key_Z, Qt::ControlModifier, "A\r\n"},
        {Qt::Key_Y, Qt::ControlModifier, "B\r\n"},
        {Qt::Key_Backspace, Qt::AltModifier, "A\r\n"},
        {Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier, "B\r\n"},
    };
    for (const auto& k : kroky) {
        QTest::keyClick(&e, k.klavesa, k.modifikatory);
        EXPECT_EQ(e.Utf8(), k.text) << k.klavesa;
    }
}

TEST(EditorProgramu, VyberABodUlozeni) {
    TEditorProgramu e;
    e.Nacist("N1 A\r\nN2 B\r\n");
    EXPECT_EQ(e.Vyber().Od, e.Vyber().Po);
    e.SendScintilla(QsciScintillaBase::SCI_SETSEL, 8, 2);
    EXPECT_EQ(e.Vyber().Od, 2u);
    EXPECT_EQ(e.Vyber().Po, 8u);
    Prikaz(e, "%\r\nN1 A\r\nN2 B\r\n");
    EXPECT_TRUE(e.Zmeneno());
    e.NastavitBodUlozeni();
    EXPECT_FALSE(e.Zmeneno());
}

}  // namespace

namespace {

// Assistive technology switched on for a test, and off again after it.
struct TAktivniDostupnost {
    TAktivniDostupnost() { QAccessible::setActive(true); }
    ~TAktivniDostupnost() { QAccessible::setActive(false); }
};

}  // namespace

// Without assistive technology a text area answers as a plain editable text
// (the full object counts the text on every caret move); while it is there,
// the full one reads the text, characters not bytes.
TEST(EditorProgramu, DostupnostJenSeCtenarem) {
    ASSERT_FALSE(QAccessible::isActive());
    TEditorProgramu e;
    e.setText(QStringLiteral("N10 Ž\r\nN20\r\n"));
    e.show();
    QAccessibleInterface* prosty = QAccessible::queryAccessibleInterface(&e);
    ASSERT_NE(prosty, nullptr);
    EXPECT_EQ(prosty->role(), QAccessible::EditableText);
    EXPECT_EQ(prosty->textInterface(), nullptr);
    {
        const TAktivniDostupnost ctenar;
        QAccessibleInterface* plny = QAccessible::queryAccessibleInterface(&e);
        ASSERT_NE(plny, nullptr);
        ASSERT_NE(plny->textInterface(), nullptr);
        EXPECT_EQ(plny->textInterface()->characterCount(), 12);
        EXPECT_EQ(plny->textInterface()->text(4, 5), QStringLiteral("Ž"));
        // An area made while it is active gets the full object at once.
        TEditorProgramu dalsi;
        dalsi.show();
        QAccessibleInterface* dalsiObjekt = QAccessible::queryAccessibleInterface(&dalsi);
        ASSERT_NE(dalsiObjekt, nullptr);
        EXPECT_NE(dalsiObjekt->textInterface(), nullptr);
    }
    // Gone again: plain once more.
    QAccessibleInterface* zase = QAccessible::queryAccessibleInterface(&e);
    ASSERT_NE(zase, nullptr);
    EXPECT_EQ(zase->textInterface(), nullptr);
}
