// The text area of a program (memProgram, memPuvodni): a QsciScintilla
// without wrapping, with both scroll bars, a fixed-pitch font and CR LF line
// breaks, that owns its text. The text lives as UTF-8 in the area's own
// buffer. Loading and replacing go through the calls below: each replacement
// is one undo step, made without the area's notifications of every change
// (its own handler would copy and convert the whole text several times) and
// announced once afterwards by TextNahrazen.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QKeySequence>
#include <QList>

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

class TEditorProgramu : public QsciScintilla {
    Q_OBJECT
public:
    explicit TEditorProgramu(QWidget* rodic = nullptr);

    // The read-only copy of a program: not editable, on the button-face colour.
    void NastavitJenKeCteni();
    // The keys of these shortcuts are left to the window's commands (the area
    // binds Ctrl+Insert to copying and Ctrl+Delete to deleting a word).
    void UvolnitKlavesy(const QList<QKeySequence>& zkratky);

    // The text becomes utf8 as it is (NUL characters included): no undo
    // history, the saved state, the caret at the start.
    void Nacist(std::string_view utf8);

    // The text's bytes, a view of the area's own buffer, valid until the next change.
    std::string_view Utf8() const;

    // The selection as byte positions in Utf8(); Od == Po when nothing is selected.
    struct TUsek {
        std::size_t Od = 0, Po = 0;
    };
    TUsek Vyber() const;

    // Replaces the whole text by the lines joined by CR LF, with a CR LF after
    // the last one too when koncovyZlom. Each line is released once it is in,
    // so that no second copy of the whole text is made.
    void NahraditVse(std::vector<std::u16string>& radky, bool koncovyZlom);
    // Replaces the bytes od..po of the text by utf8.
    void NahraditUsek(std::size_t od, std::size_t po, std::string_view utf8);

    // The text as it stands counts as saved.
    void NastavitBodUlozeni();

signals:
    // The text was loaded or replaced by one of the calls above.
    void TextNahrazen();

private:
    // Room for a text of this many bytes, so that the buffer does not grow
    // step by step while the text goes in.
    void ZajistitMisto(std::size_t bajtu);
};
