// The text area of a program (memProgram, memPuvodni): a QsciScintilla
// without wrapping, with both scroll bars, a fixed-pitch font, CR LF line
// breaks and a margin of line numbers, that owns its text. The text lives as
// UTF-8 in the area's own buffer, read in place (Utf8).
//
// A new text is built piece by piece in a document of its own beside the one
// shown (TNovyText), and replaces it in one step, without the area's
// notifications of every change: loading (Nacist), or a block command's
// result (Nahradit). The new documents come from an area of their own that
// shows nothing (a document created by the area that shows the program, and
// filled while it paints, leaves its caret's line blank whenever the caret
// blinks); the room of a large one is taken on another thread, while the
// window is served (NastavitObsluhu): the memory of a program of millions of
// lines takes the system a good part of a second to give.
//
// One undo history holds what was typed and the block commands, in order.
// What was typed is kept with its bytes, in steps: a run of typed characters
// is one step, so is a run of Delete or Backspace, and so is everything that
// one key (or one call of the window, between two turns of its event loop)
// changed; a command as the spans in which
// its result differs from the text before it, with the bytes of the other
// side (TZaznamZmen), never as a copy of the text. Undoing or redoing a
// command builds the other text from the one shown and the spans, and swaps
// the spans' sides; the document a command step left is kept until another
// text is built, so that undoing the command just done only shows it again.
//
// The area hears of a change before it is made (the bytes it inserts, or the
// place of those it deletes), and finishes recording it once it is made: the
// editor library, told of a change after it, would count every character up
// to it for assistive technology, which at the end of a program of millions
// of lines cost each keystroke a pass over all of it. The text's own
// accessible object (DostupnostEditoru.h) turns places into characters with
// an index of the lines instead. textChanged comes once a change is made.
//
// Keys with Ctrl or Alt type nothing: a shortcut mistyped (Ctrl+0, Alt+5,
// Ctrl+.) must not change a coordinate. AltGr types its characters (it comes
// without either; on Windows as Ctrl+Alt together).
//
// The text is coloured by the program's file type (TLexerNC), only the lines
// shown, through an indicator whose value is the colour: the documents keep
// no style bytes, which would take a byte for every byte of the program, and
// the time to fill them, at every open and command. When the read-only
// original is known (NastavitPuvodni) a margin marks the lines that differ
// from it.
#pragma once

#include "ui/LexerNC.h"
#include "ui/ZaznamZmen.h"

#include <Qsci/qsciscintilla.h>

#include <QColor>
#include <QKeySequence>
#include <QList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct TTypSouboru;

class TEditorProgramu : public QsciScintilla {
    Q_OBJECT
public:
    explicit TEditorProgramu(QWidget* rodic = nullptr);
    ~TEditorProgramu() override;

    // The read-only copy of a program: not editable, on the button-face colour.
    void NastavitJenKeCteni();
    // What serves the window during a long step of the area (taking the room
    // of a large document, comparing a command's result with the text),
    // called every few milliseconds meanwhile; it must not change the text.
    // None: the step runs through.
    using TObsluha = std::function<void()>;
    void NastavitObsluhu(TObsluha obsluha) { obsluha_ = std::move(obsluha); }
    // A count that grows with every change of the text (and of its file type).
    std::uint64_t Verze() const;
    // The next change the window makes through the area's own calls starts an
    // undo step of its own (what it changes until the event loop turns again
    // is that step), however it follows the one before.
    void ZacitKrok();
    // The keys of these shortcuts are left to the window's commands (the area
    // binds Ctrl+Insert to copying and Ctrl+Delete to deleting a word).
    void UvolnitKlavesy(const QList<QKeySequence>& zkratky);

    // A text built beside the one shown, in pieces of UTF-8 (NUL characters
    // kept); no view shows it until Nacist or Nahradit takes it. Small pieces
    // are gathered before they go into the document.
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
        void Odevzdat();
        void Vlozit(std::string_view utf8);
        // The document, given away.
        void* Dokument();
        TEditorProgramu& editor_;
        std::size_t odhad_;
        void* nacitac_ = nullptr;
        std::size_t delka_ = 0;
        std::string kusy_;  // small pieces not yet in the document
    };

    // The text becomes utf8 or novy as it is: no undo history, the saved
    // state, the caret at the start.
    void Nacist(std::string_view utf8);
    void Nacist(TNovyText& novy);

    // A block command's result replaces the text as one undo step (none when
    // it equals the text). vybrano: the bytes of the new text that the
    // command wrote in place of a selection, selected afterwards; the first
    // visible line stays. The step keeps only where the texts differ, found
    // by a walk of both (the result differs from the text in line fronts and
    // references). When that fails (no memory), the text stays as it was and
    // the failure goes on.
    struct TUsek {
        std::size_t Od = 0, Po = 0;
    };
    void Nahradit(TNovyText& novy, std::optional<TUsek> vybrano = std::nullopt);

    // The text's bytes, a view of the area's own buffer, valid until the next change.
    std::string_view Utf8() const;
    std::size_t Delka() const;
    // The bytes of whole lines from od (the start of a line) to the end of
    // the line that holds po, handed to kus in pieces of whole lines, read
    // where they lie: the buffer's gap, which sits where the user types,
    // stays there (Utf8 moves it to the end, and the next key moves it back,
    // each a copy of the text between). Returns where the last line ends.
    std::size_t ProjitRadky(std::size_t od, std::size_t po, const std::function<void(std::string_view)>& kus) const;

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

    // The area's own view of these would see only its own undo buffer, not
    // the history: they mean the whole history here.
    bool isModified() const { return Zmeneno(); }
    void setModified(bool zmeneno);
    bool isUndoAvailable() const { return MuzeZpet(); }
    bool isRedoAvailable() const { return MuzeZnovu(); }

    // The program's file type, whose markers colour the text; none: no colour.
    void NastavitTypSouboru(const std::optional<TTypSouboru>& typ);
    // The area with the program as it was opened (memPuvodni): the lines that
    // differ from it are marked in a margin. Null: no marks.
    void NastavitPuvodni(const TEditorProgramu* puvodni);

    enum class TZmenaRadku : std::uint8_t { Zadna, Zmeneny, Novy };
    // How line radek (from 0) differs from the original: unchanged, changed,
    // or a line the original does not have (typed, pasted, broken off). Lines
    // are followed back through the history's added and removed lines, so
    // that a line typed above does not mark all below it.
    TZmenaRadku ZmenaRadku(std::size_t radek) const;
    // The line edits of the steps applied, in the order they were made: the
    // lines of the text followed back through them, the last first, are the
    // lines of the original that ZmenaRadku compares.
    std::vector<TUpravaRadku> UpravyRadku() const;

    // Colours the lines shown, once for each text and first line (done as the
    // area paints); public for the tests.
    void ObarvitViditelne();
    // The colour of a kind of word, and of a mark.
    static QColor BarvaSlova(TDruhSlova druh);
    static QColor BarvaZmeny(TZmenaRadku zmena);
    // The indicator that carries the colours (its value is the colour), and the one that underlines references.
    static constexpr int IndikatorBarvy = 8, IndikatorOdkazu = 9;

    // The bytes the undo history takes (its records and typed changes).
    std::size_t BajtuHistorie() const;

    // Keys with these modifiers type their text (none, Shift; on Windows also
    // Ctrl+Alt, AltGr); others only run what the area binds to them.
    static bool PisiciModifikatory(Qt::KeyboardModifiers modifikatory);

    // Documents of at least this many bytes take their room on another thread.
    static constexpr std::size_t VelkyDokument = std::size_t{16} << 20;

public slots:
    // Undo and redo of the history, typed steps and commands alike, without
    // the notifications of every change.
    void undo() override;
    void redo() override;
    // Selects the whole text (or nothing) at once: the editor library would
    // copy all of it into the desktop's selection (X11's PRIMARY) first,
    // which at millions of lines took seconds; the selection is offered to
    // the desktop instead and its text made only when another program asks.
    void selectAll(bool select = true) override;

signals:
    // The text was loaded, replaced, or undone or redone by the calls above.
    void TextNahrazen();

protected:
    bool event(QEvent* udalost) override;
    bool viewportEvent(QEvent* udalost) override;
    void keyPressEvent(QKeyEvent* udalost) override;
    void paintEvent(QPaintEvent* udalost) override;

private:
    // Where the view stood: first line, selection, horizontal scroll.
    struct TPohled {
        long prvniRadek = 0, kotva = 0, kurzor = 0, posunX = 0;
    };
    // A typed change, as the area made it: bytes inserted or deleted at a position.
    struct TPrimitiv {
        std::size_t pozice = 0;
        bool vlozeno = false;
        std::string text;
    };
    // One step of the history: typed changes, or a command's record (relative
    // to the text shown on its side), with the line edits of the step (lines
    // of the text after it).
    struct TKrok {
        bool prikaz = false;
        std::vector<TPrimitiv> psani;
        TZaznamZmen zaznam;
        TPohled pred, po;
        std::vector<TUpravaRadku> radky;
        std::size_t Bajtu() const;
    };

    // A change told and not yet made: where, how many bytes (those deleted
    // are read before they go, those inserted once they are in), the text's
    // length and lines before it, whether it is recorded, and its group.
    struct TChystana {
        std::size_t pozice = 0, delka = 0;
        bool vlozeno = false;
        std::string bajty;
        long delkaPred = 0, radkuPred = 0;
        bool zapsat = false;      // typed by the user, and recorded
        std::uint64_t skupina = 0;
    };

    TPohled Pohled();
    void NastavitPohled(const TPohled& p);
    // A new document, filled later, with room for bajtu bytes (a loader).
    void* VytvoritNacitac(std::size_t bajtu);
    // Shows a document (the area's reference is the only one).
    void Zobrazit(void* dokument);
    // A change of the text: the colours and the line margin follow.
    void TextSeZmenil();
    // The area is about to make a change: typed text becomes a step, or joins
    // the last one; the rest waits until the change is made.
    void ChystanaZmena(int pozice, int druh, const char* text, int delka);
    // The change told last is made: the lines it added, the colours, the
    // margin, assistive technology and textChanged follow. Nothing while it is
    // still being made.
    void DokoncitZmenu();
    void Dokoncit() const;
    // A change made by the user goes into the history: a step of its own, or
    // the one typed last.
    void ZapsatPsani(const TChystana& z);
    // The next change starts a group of its own (an input event came, or the
    // event loop turned).
    void NovaSkupina();
    // Undoes or redoes a step; false when there was no memory for it (nothing changed).
    bool Provest(TKrok& krok, bool zpet);
    // Typed steps: undone or redone by their changes; commands: by their records.
    void ProvestPsani(const TKrok& krok, bool zpet);
    void ProvestPrikaz(TKrok& krok, bool zpet);
    void NastavitStyly();
    void NastavitOkraje();
    // The bytes of a line without its break, in place.
    std::string_view Radek(std::size_t radek) const;

    // The document a command step last left, with the steps applied in it:
    // undoing the command just done, or redoing the one just undone, shows
    // it again at once. It goes before another text is built, so that no
    // more documents are held than building one takes.
    void UvolnitMezipamet();
    void* mezipamet_ = nullptr;
    std::size_t poziceMezipameti_ = 0;

    std::optional<TChystana> chystana_;
    // Changes of one group go into one step: a group is what one input event,
    // or one turn of the event loop, changed.
    std::uint64_t skupina_ = 1, skupinaKroku_ = 0;
    bool konecSkupinyNaplanovan_ = false;
    bool vynutitKrok_ = false;  // the next change starts a step (ZacitKrok)

    std::vector<TKrok> historie_;
    std::size_t pozice_ = 0;  // steps applied
    // The number of steps applied when the text was saved, if that text can still be reached.
    std::optional<std::size_t> ulozeno_ = 0;
    bool zapisovat_ = true;  // typed changes are recorded
    // The keys that undo and redo (the area's own bindings, taken from it).
    QList<int> klavesyZpet_, klavesyZnovu_, klavesyVse_;

    TLexerNC lexer_;
    std::vector<TSlovo> slova_;
    const TEditorProgramu* puvodni_ = nullptr;
    // The text as coloured last: a count of changes, the document and the lines shown.
    std::uint64_t verze_ = 1;
    struct TObarveni {
        std::uint64_t verze = 0;
        long prvni = -1, posledni = -1;
    } obarveno_;
    int cislicRadku_ = 0;

    TObsluha obsluha_;
    // The area that creates the new documents; it is never shown.
    std::unique_ptr<QsciScintillaBase> tovarna_;
};
