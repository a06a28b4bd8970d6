// The text area of a program (memProgram, memPuvodni): a QsciScintilla
// without wrapping, with both scroll bars, a fixed-pitch font and CR LF line
// breaks, that owns its text. The text lives as UTF-8 in the area's own
// buffer, read in place (Utf8).
//
// A new text is built piece by piece in a document of its own beside the one
// shown (TNovyText), and replaces it in one step, without the area's
// notifications of every change: loading (Nacist), or a block command's
// result (Nahradit). A command's result is one undo step: undoing it shows the
// document from before the command again, redoing it the command's document;
// the documents of the undo history are kept. Within each document the
// area's own undo history holds what was typed.
#pragma once

#include <Qsci/qsciscintilla.h>

#include <QKeySequence>
#include <QList>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TEditorProgramu : public QsciScintilla {
    Q_OBJECT
public:
    explicit TEditorProgramu(QWidget* rodic = nullptr);
    ~TEditorProgramu() override;

    // The read-only copy of a program: not editable, on the button-face colour.
    void NastavitJenKeCteni();
    // The keys of these shortcuts are left to the window's commands (the area
    // binds Ctrl+Insert to copying and Ctrl+Delete to deleting a word).
    void UvolnitKlavesy(const QList<QKeySequence>& zkratky);

    // A text built beside the one shown, in pieces of UTF-8 (NUL characters
    // kept); no view shows it until Nacist or Nahradit takes it.
    class TNovyText {
    public:
        // odhadBajtu: the room taken at once (the text may grow past it).
        TNovyText(TEditorProgramu& editor, std::size_t odhadBajtu);
        ~TNovyText();
        TNovyText(const TNovyText&) = delete;
        TNovyText& operator=(const TNovyText&) = delete;

        void Pridat(std::string_view utf8);
        // Empties it, to be built again from the start.
        void Vyprazdnit();
        std::size_t Delka() const { return delka_; }

    private:
        friend class TEditorProgramu;
        // The document, given away.
        void* Dokument();
        TEditorProgramu& editor_;
        std::size_t odhad_;
        void* nacitac_ = nullptr;
        std::size_t delka_ = 0;
    };

    // The text becomes utf8 or novy as it is: no undo history, the saved
    // state, the caret at the start.
    void Nacist(std::string_view utf8);
    void Nacist(TNovyText& novy);

    // A block command's result replaces the text as one undo step. vybrano:
    // the bytes of the new text that the command wrote in place of a
    // selection, selected afterwards; the first visible line stays.
    struct TUsek {
        std::size_t Od = 0, Po = 0;
    };
    void Nahradit(TNovyText& novy, std::optional<TUsek> vybrano = std::nullopt);

    // The text's bytes, a view of the area's own buffer, valid until the next change.
    std::string_view Utf8() const;

    // The selection as byte positions in Utf8(); Od == Po when nothing is selected.
    TUsek Vyber() const;
    // The line (from 0) of a byte position in Utf8(), and the position where a line starts.
    std::size_t RadekPozice(std::size_t pozice) const;
    std::size_t ZacatekRadku(std::size_t radek) const;

    // The text differs from the one saved last (or loaded).
    bool Zmeneno() const;
    // The text as it stands counts as saved.
    void NastavitBodUlozeni();
    bool MuzeZpet() const;
    bool MuzeZnovu() const;

    // The area's own view of these would see only the document shown, not
    // the history of the commands: they mean the whole history here.
    bool isModified() const { return Zmeneno(); }
    void setModified(bool zmeneno);
    bool isUndoAvailable() const { return MuzeZpet(); }
    bool isRedoAvailable() const { return MuzeZnovu(); }

public slots:
    // Undo and redo: of what was typed within the document shown, and of the
    // block commands, without the notifications of every change.
    void undo() override;
    void redo() override;

signals:
    // The text was loaded, replaced, or undone or redone by the calls above.
    void TextNahrazen();

protected:
    void keyPressEvent(QKeyEvent* udalost) override;

private:
    // One document of the undo history of the commands: its Scintilla
    // document (one reference is the history's), where the view stood, how
    // many steps typed in it can be redone before the next command, and
    // whether it was edited since it last stood at its save point (a text set
    // through the area's own calls empties its undo history and would
    // otherwise count as unchanged, as the area itself does not count it).
    struct TDokument {
        void* dokument = nullptr;
        long prvniRadek = 0, kotva = 0, kurzor = 0, posunX = 0;
        std::size_t krokuVpred = 0;
        bool upraven = false;
    };
    void Zobrazit(std::size_t pozice);
    void ZapamatovatPohled();
    void UvolnitOd(std::size_t pozice);
    // Typed text is a new step: the commands undone before it cannot come back.
    void UpravaUzivatele();

    std::vector<TDokument> historie_;
    std::size_t pozice_ = 0;  // the document shown
    // The document that holds the saved text (at its own save point), if any.
    std::optional<std::size_t> ulozeny_;
    // The keys that undo and redo (the area's own bindings, taken from it).
    QList<int> klavesyZpet_, klavesyZnovu_;
};
