// The program's text area: its text in and out as UTF-8 bytes, a new text
// built beside the one shown and put in place in one step, commands as
// single undo steps announced once and without per-change notifications,
// and one undo history of commands and typing.
#include "ui/EditorProgramu.h"

#include "ui/DostupnostEditoru.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
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

// What assistive technology reads of a text area: characters are UTF-16
// units (a Czech letter is one, a character beyond the basic plane two),
// whatever bytes the text holds; the changes, the caret and the selection are
// told with those offsets, also once a command has replaced the document.
TEST(EditorProgramu, DostupnostVeZnacich) {
    ASSERT_FALSE(QAccessible::isActive());
    TEditorProgramu e;
    e.Nacist("N10 \xC5\xBD\r\nG1 X\xF0\x9D\x9F\x99\r\nM30\r\n");  // "N10 Ž", "G1 X" and a double-struck 1
    e.show();
    QAccessibleInterface* objekt = QAccessible::queryAccessibleInterface(&e);
    ASSERT_NE(objekt, nullptr);
    EXPECT_EQ(objekt->role(), QAccessible::EditableText);
    QAccessibleTextInterface* t = objekt->textInterface();
    ASSERT_NE(t, nullptr);
    const auto text = [&] { return QString::fromUtf8(e.Utf8().data(), qsizetype(e.Utf8().size())); };
    EXPECT_EQ(t->characterCount(), text().size());
    // The caret at a byte position, told as the characters before it, and back.
    for (long bajt : {0L, 4L, 6L, 8L, 12L, 16L, 18L, 23L}) {
        e.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, static_cast<unsigned long>(bajt));
        const int znaku = QString::fromUtf8(e.Utf8().data(), bajt).size();
        EXPECT_EQ(t->cursorPosition(), znaku) << bajt;
        t->setCursorPosition(0);
        t->setCursorPosition(znaku);
        EXPECT_EQ(e.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), bajt) << bajt;
    }
    EXPECT_EQ(t->text(4, 5), QStringLiteral("Ž"));
    EXPECT_EQ(t->text(7, 13), text().mid(7, 6));
    int od = 0, po = 0;
    EXPECT_EQ(t->textAtOffset(9, QAccessible::LineBoundary, &od, &po), text().mid(7, 8));
    EXPECT_EQ(od, 7);
    EXPECT_EQ(t->textAtOffset(0, QAccessible::WordBoundary, &od, &po), QStringLiteral("N10"));
    t->setSelection(0, 7, 11);
    EXPECT_EQ(e.selectedText(), QStringLiteral("G1 X"));
    t->selection(0, &od, &po);
    EXPECT_EQ(std::pair(od, po), std::pair(7, 11));

    // While it is active, changes and caret moves are told.
    struct TUdalost {
        QAccessible::Event typ;
        int offset;
        QString text;
    };
    static std::vector<TUdalost> udalosti;
    udalosti.clear();
    NastavitPosluchaceDostupnosti([](QAccessibleEvent* u) {
        if (u->type() == QAccessible::TextInserted) {
            const auto* v = static_cast<QAccessibleTextInsertEvent*>(u);
            udalosti.push_back({u->type(), v->changePosition(), v->textInserted()});
        } else if (u->type() == QAccessible::TextRemoved) {
            const auto* v = static_cast<QAccessibleTextRemoveEvent*>(u);
            udalosti.push_back({u->type(), v->changePosition(), v->textRemoved()});
        } else if (u->type() == QAccessible::TextCaretMoved) {
            udalosti.push_back({u->type(), static_cast<QAccessibleTextCursorEvent*>(u)->cursorPosition(), {}});
        }
    });
    e.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 18UL);  // the start of "M30"
    QTest::keyClick(&e, Qt::Key_X);
    QTest::keyClick(&e, Qt::Key_Backspace);
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    NastavitPosluchaceDostupnosti({});
    // The last event of each kind.
    const auto najit = [&](QAccessible::Event typ) {
        TUdalost nalezena{QAccessible::InvalidEvent, -1, {}};
        for (const TUdalost& u : udalosti)
            if (u.typ == typ) nalezena = u;
        return nalezena;
    };
    EXPECT_EQ(najit(QAccessible::TextInserted).offset, 15);
    EXPECT_EQ(najit(QAccessible::TextInserted).text, QStringLiteral("x"));
    EXPECT_EQ(najit(QAccessible::TextRemoved).offset, 15);
    EXPECT_EQ(najit(QAccessible::TextRemoved).text, QStringLiteral("x"));
    EXPECT_EQ(najit(QAccessible::TextCaretMoved).offset, 15);

    // A command's result is another document: its characters are counted too.
    Prikaz(e, "%\r\nN5 \xC4\x8D\r\n");
    EXPECT_EQ(objekt->textInterface()->characterCount(), 9);
    EXPECT_EQ(objekt->textInterface()->text(6, 7), QStringLiteral("č"));
}

// A key with Ctrl, Alt (or the system key) types nothing, whatever text the
// keyboard gives it: a mistyped shortcut must not change a coordinate.
// AltGr types its characters: on X11 it comes without Ctrl and Alt (a Czech
// keyboard gives #, [, ], @ so), on Windows as Ctrl and Alt together. The
// keys the area binds to Ctrl keep working.
TEST(EditorProgramu, ModifikatoryNepisou) {
    struct Pripad {
        const char* nazev;
        Qt::Key klavesa;
        Qt::KeyboardModifiers modifikatory;
        const char* text;
        bool pise;
    };
#ifdef Q_OS_WIN
    constexpr bool CtrlAltPise = true;
#else
    constexpr bool CtrlAltPise = false;
#endif
    const Pripad pripady[] = {
        {"Ctrl+0", Qt::Key_0, Qt::ControlModifier, "0", false},
        {"Alt+5", Qt::Key_5, Qt::AltModifier, "5", false},
        {"Ctrl+.", Qt::Key_Period, Qt::ControlModifier, ".", false},
        {"Ctrl+Plus", Qt::Key_Plus, Qt::ControlModifier, "+", false},
        {"Ctrl+,", Qt::Key_Comma, Qt::ControlModifier, ",", false},
        {"Ctrl+Shift+1", Qt::Key_Exclam, Qt::ControlModifier | Qt::ShiftModifier, "!", false},
        {"Alt+Shift+A", Qt::Key_A, Qt::AltModifier | Qt::ShiftModifier, "A", false},
        {"the system key and 1", Qt::Key_1, Qt::MetaModifier, "1", false},
        {"a digit", Qt::Key_5, Qt::NoModifier, "5", true},
        {"Shift and a letter", Qt::Key_Y, Qt::ShiftModifier, "Y", true},
        {"AltGr+X on a Czech X11 keyboard", Qt::Key_NumberSign, Qt::NoModifier, "#", true},
        {"AltGr+F on a Czech X11 keyboard, as a group switch", Qt::Key_BracketLeft, Qt::GroupSwitchModifier, "[", true},
        {"AltGr+V on Windows (Ctrl+Alt)", Qt::Key_At, Qt::ControlModifier | Qt::AltModifier, "@", CtrlAltPise},
    };
    for (const Pripad& p : pripady) {
        TEditorProgramu e;
        e.Nacist("X5\r\n");
        e.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 2UL);
        QKeyEvent stisk(QEvent::KeyPress, p.klavesa, p.modifikatory, QString::fromUtf8(p.text));
        QApplication::sendEvent(&e, &stisk);
        EXPECT_EQ(e.Utf8(), p.pise ? std::string("X5") + p.text + "\r\n" : std::string("X5\r\n")) << p.nazev;
    }
    // Ctrl+Backspace still deletes a word, Ctrl+Z still undoes.
    TEditorProgramu e;
    e.Nacist("X5 Y7\r\n");
    e.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 5UL);
    QTest::keyClick(&e, Qt::Key_Backspace, Qt::ControlModifier);
    EXPECT_EQ(e.Utf8(), "X5 \r\n");
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Utf8(), "X5 Y7\r\n");
}

// Select all (Ctrl+A, or the call): the whole text is selected, the caret at
// its start, copy is available and copies all of it.
TEST(EditorProgramu, VybratVse) {
    TEditorProgramu e;
    e.Nacist("N1 \xC5\xBD\r\nN2\r\n");
    QSignalSpy kopirovat(&e, &QsciScintilla::copyAvailable);
    QTest::keyClick(&e, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(e.Vyber().Od, 0u);
    EXPECT_EQ(e.Vyber().Po, e.Utf8().size());
    EXPECT_EQ(e.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS), 0);
    ASSERT_EQ(kopirovat.count(), 1);
    EXPECT_TRUE(kopirovat.at(0).at(0).toBool());
    QTest::keyClick(&e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("N1 Ž\r\nN2\r\n"));
    // Typing replaces it, as one step.
    QTest::keyClick(&e, Qt::Key_X);
    EXPECT_EQ(e.Utf8(), "x");
    e.undo();
    EXPECT_EQ(e.Utf8(), "N1 \xC5\xBD\r\nN2\r\n");
}
