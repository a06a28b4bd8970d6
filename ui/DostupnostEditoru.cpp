#include "DostupnostEditoru.h"

#include "ui/EditorProgramu.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

using S = QsciScintillaBase;

// The text area's index of line starts in UTF-16 units is wanted (a property
// of the area: kept for every document it shows from then on).
const char* const VlastnostIndexu = "tarvikIndexUtf16";

long Poslat(const TEditorProgramu& e, unsigned int zprava, unsigned long w = 0, long l = 0) {
    return const_cast<TEditorProgramu&>(e).SendScintilla(zprava, w, l);
}

void ZajistitIndex(TEditorProgramu& e) {
    if (e.property(VlastnostIndexu).toBool()) return;
    e.setProperty(VlastnostIndexu, true);
    e.SendScintilla(S::SCI_ALLOCATELINECHARACTERINDEX, static_cast<unsigned long>(S::SC_LINECHARACTERINDEX_UTF16));
}

// A place in bytes as an offset in UTF-16 units, and back.
int Offset(TEditorProgramu& e, long pozice) {
    ZajistitIndex(e);
    const long radek = Poslat(e, S::SCI_LINEFROMPOSITION, static_cast<unsigned long>(pozice));
    const long zacatek = Poslat(e, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek));
    return int(Poslat(e, S::SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(radek), S::SC_LINECHARACTERINDEX_UTF16) +
               Poslat(e, S::SCI_COUNTCODEUNITS, static_cast<unsigned long>(zacatek), pozice));
}

long Pozice(TEditorProgramu& e, int offset) {
    ZajistitIndex(e);
    if (offset <= 0) return 0;
    const long radek =
        Poslat(e, S::SCI_LINEFROMINDEXPOSITION, static_cast<unsigned long>(offset), S::SC_LINECHARACTERINDEX_UTF16);
    const long zacatek = Poslat(e, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek));
    const long uvnitr =
        offset - Poslat(e, S::SCI_INDEXPOSITIONFROMLINE, static_cast<unsigned long>(radek), S::SC_LINECHARACTERINDEX_UTF16);
    const long p = Poslat(e, S::SCI_POSITIONRELATIVECODEUNITS, static_cast<unsigned long>(zacatek), uvnitr);
    // Past the end the area answers 0.
    return p > 0 || uvnitr == 0 ? p : Poslat(e, S::SCI_GETLENGTH);
}

int PocetZnaku(TEditorProgramu& e) { return Offset(e, Poslat(e, S::SCI_GETLENGTH)); }

// The text between two places in bytes.
QString Text(TEditorProgramu& e, long od, long po) {
    if (po <= od) return {};
    const auto* data =
        reinterpret_cast<const char*>(e.SendScintilla(S::SCI_GETRANGEPOINTER, static_cast<unsigned long>(od), po - od));
    return QString::fromUtf8(data, po - od);
}

class TDostupnyEditor final : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit TDostupnyEditor(TEditorProgramu* e) : QAccessibleWidget(e, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType typ) override {
        if (typ == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(typ);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.multiLine = true;
        s.editable = !E().isReadOnly();
        s.readOnly = E().isReadOnly();
        s.selectableText = true;
        return s;
    }

    void selection(int i, int* od, int* po) const override {
        *od = *po = 0;
        if (i != 0 || selectionCount() == 0) return;
        *od = Offset(E(), Poslat(E(), S::SCI_GETSELECTIONSTART));
        *po = Offset(E(), Poslat(E(), S::SCI_GETSELECTIONEND));
    }
    int selectionCount() const override {
        return Poslat(E(), S::SCI_GETSELECTIONSTART) < Poslat(E(), S::SCI_GETSELECTIONEND) ? 1 : 0;
    }
    void addSelection(int od, int po) override { setSelection(0, od, po); }
    void removeSelection(int i) override {
        if (i == 0) E().SendScintilla(S::SCI_SETEMPTYSELECTION, static_cast<unsigned long>(Poslat(E(), S::SCI_GETCURRENTPOS)));
    }
    void setSelection(int i, int od, int po) override {
        if (i == 0) E().SendScintilla(S::SCI_SETSEL, static_cast<unsigned long>(Pozice(E(), od)), Pozice(E(), po));
    }
    int cursorPosition() const override { return Offset(E(), Poslat(E(), S::SCI_GETCURRENTPOS)); }
    void setCursorPosition(int offset) override {
        E().SendScintilla(S::SCI_GOTOPOS, static_cast<unsigned long>(Pozice(E(), offset)));
    }
    QString text(int od, int po) const override { return Text(E(), Pozice(E(), od), Pozice(E(), po)); }
    int characterCount() const override { return PocetZnaku(E()); }

    QRect characterRect(int offset) const override {
        TEditorProgramu& e = E();
        const long p = Pozice(e, offset);
        const long dalsi = Poslat(e, S::SCI_POSITIONAFTER, static_cast<unsigned long>(p));
        const int x = int(Poslat(e, S::SCI_POINTXFROMPOSITION, 0, p));
        const int y = int(Poslat(e, S::SCI_POINTYFROMPOSITION, 0, p));
        const int x2 = int(Poslat(e, S::SCI_POINTXFROMPOSITION, 0, dalsi));
        const int vyska = int(Poslat(e, S::SCI_TEXTHEIGHT, static_cast<unsigned long>(Poslat(e, S::SCI_LINEFROMPOSITION, static_cast<unsigned long>(p)))));
        const QPoint roh = e.viewport()->mapToGlobal(QPoint(x, y));
        return {roh, QSize(std::max(1, x2 > x ? x2 - x : 1), vyska)};
    }
    int offsetAtPoint(const QPoint& bod) const override {
        TEditorProgramu& e = E();
        const QPoint m = e.viewport()->mapFromGlobal(bod);
        const long p = Poslat(e, S::SCI_CHARPOSITIONFROMPOINTCLOSE, static_cast<unsigned long>(m.x()), m.y());
        return p < 0 ? -1 : Offset(e, p);
    }
    void scrollToSubstring(int od, int po) override {
        E().SendScintilla(S::SCI_SCROLLRANGE, static_cast<unsigned long>(Pozice(E(), po)), Pozice(E(), od));
    }
    QString attributes(int offset, int* od, int* po) const override {
        *od = *po = offset;
        return {};
    }

    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType hranice, int* od, int* po) const override {
        return Usek(offset, hranice, -1, od, po);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType hranice, int* od, int* po) const override {
        return Usek(offset, hranice, +1, od, po);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType hranice, int* od, int* po) const override {
        return Usek(offset, hranice, 0, od, po);
    }

private:
    TEditorProgramu& E() const { return *static_cast<TEditorProgramu*>(widget()); }

    // The piece of text at an offset (smer 0), or the one before (-1) or
    // after it (+1), bounded by characters, words, sentences or lines. A
    // program's line is its paragraph too; the other bounds are looked for
    // within the line (with its break), never in the whole text.
    QString Usek(int offset, QAccessible::TextBoundaryType hranice, int smer, int* od, int* po) const {
        TEditorProgramu& e = E();
        *od = *po = -1;
        const int vse = PocetZnaku(e);
        if (offset < 0 || offset > vse) return {};
        if (hranice == QAccessible::NoBoundary) {
            if (smer != 0) return {};
            *od = 0;
            *po = vse;
            return text(0, vse);
        }
        long radek = Poslat(e, S::SCI_LINEFROMPOSITION, static_cast<unsigned long>(Pozice(e, offset)));
        const bool radky = hranice == QAccessible::LineBoundary || hranice == QAccessible::ParagraphBoundary;
        if (radky) {
            radek += smer;
            if (radek < 0 || radek >= Poslat(e, S::SCI_GETLINECOUNT)) return {};
            const long z = Poslat(e, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek));
            const long k = Poslat(e, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek + 1));
            *od = Offset(e, z);
            *po = Offset(e, k < z ? Poslat(e, S::SCI_GETLENGTH) : k);
            return text(*od, *po);
        }
        const long z = Poslat(e, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek));
        long k = Poslat(e, S::SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek + 1));
        if (k < z) k = Poslat(e, S::SCI_GETLENGTH);
        const int zacatek = Offset(e, z);
        const QString r = Text(e, z, k);
        const QTextBoundaryFinder::BoundaryType typ = hranice == QAccessible::WordBoundary     ? QTextBoundaryFinder::Word
                                                      : hranice == QAccessible::SentenceBoundary ? QTextBoundaryFinder::Sentence
                                                                                                 : QTextBoundaryFinder::Grapheme;
        QTextBoundaryFinder f(typ, r);
        int i = std::clamp(offset - zacatek, 0, int(r.size()));
        f.setPosition(i);
        if (!f.isAtBoundary()) f.toPreviousBoundary();
        int a = std::max(0, int(f.position()));
        int b = int(f.toNextBoundary());
        if (smer < 0) {
            f.setPosition(a);
            b = a;
            a = int(f.toPreviousBoundary());
        } else if (smer > 0) {
            a = b;
            b = int(f.toNextBoundary());
        }
        if (a < 0 || b < 0 || b < a) return {};
        *od = zacatek + a;
        *po = zacatek + b;
        return r.mid(a, b - a);
    }
};

// Assistive technology is active, as the platform says or as it last told
// the observer; a test's listener of the events.
bool aktivni = false;
std::function<void(QAccessibleEvent*)> posluchac;

class TPozorovatel final : public QAccessible::ActivationObserver {
public:
    void accessibilityActiveChanged(bool ted) override { aktivni = ted; }
};

bool Aktivni() { return aktivni || posluchac || QAccessible::isActive(); }

void Oznamit(QAccessibleEvent& u) {
    if (posluchac)
        posluchac(&u);
    else
        QAccessible::updateAccessibility(&u);
}

QAccessibleInterface* Tovarna(const QString& trida, QObject* objekt) {
    if (trida != QLatin1String(TEditorProgramu::staticMetaObject.className()) || !objekt || !objekt->isWidgetType())
        return nullptr;
    return new TDostupnyEditor(static_cast<TEditorProgramu*>(objekt));
}

}  // namespace

void ZlehcitDostupnostEditoru() {
    static const bool hotovo = [] {
        QAccessible::installFactory(Tovarna);
        static TPozorovatel pozorovatel;
        QAccessible::installActivationObserver(&pozorovatel);
        aktivni = QAccessible::isActive();
        return true;
    }();
    (void)hotovo;
}

void OhlasitZmenu(TEditorProgramu& editor, std::size_t pozice, std::string_view bajty, bool vlozeno) {
    if (!Aktivni()) return;
    const int offset = Offset(editor, long(pozice));
    const QString text = QString::fromUtf8(bajty.data(), qsizetype(bajty.size()));
    if (vlozeno) {
        QAccessibleTextInsertEvent u(&editor, offset, text);
        Oznamit(u);
    } else {
        QAccessibleTextRemoveEvent u(&editor, offset, text);
        Oznamit(u);
    }
}

void OhlasitKurzor(TEditorProgramu& editor) {
    if (!Aktivni()) return;
    const long od = editor.SendScintilla(S::SCI_GETSELECTIONSTART), po = editor.SendScintilla(S::SCI_GETSELECTIONEND);
    if (od < po) {
        QAccessibleTextSelectionEvent u(&editor, Offset(editor, od), Offset(editor, po));
        u.setCursorPosition(Offset(editor, editor.SendScintilla(S::SCI_GETCURRENTPOS)));
        Oznamit(u);
    } else {
        QAccessibleTextCursorEvent u(&editor, Offset(editor, editor.SendScintilla(S::SCI_GETCURRENTPOS)));
        Oznamit(u);
    }
}

void NovyDokumentDostupnosti(TEditorProgramu& editor) {
    // The index belongs to the document: the one shown now gets it too.
    if (editor.property(VlastnostIndexu).toBool())
        editor.SendScintilla(S::SCI_ALLOCATELINECHARACTERINDEX, static_cast<unsigned long>(S::SC_LINECHARACTERINDEX_UTF16));
}

void NastavitPosluchaceDostupnosti(std::function<void(QAccessibleEvent*)> p) { posluchac = std::move(p); }
