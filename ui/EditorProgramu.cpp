#include "EditorProgramu.h"

#include "platform/Kodovani.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QFontDatabase>

namespace {

// A change made at once: the area sends no notification of it and may be
// changed also while it is read-only; both come back afterwards.
class THromadnaZmena {
public:
    explicit THromadnaZmena(QsciScintilla& e)
        : e_(e), maska_(e.SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK)), jenKeCteni_(e.isReadOnly()) {
        e_.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0L);
        e_.setReadOnly(false);
    }
    ~THromadnaZmena() {
        e_.setReadOnly(jenKeCteni_);
        e_.SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, maska_);
    }
    THromadnaZmena(const THromadnaZmena&) = delete;
    THromadnaZmena& operator=(const THromadnaZmena&) = delete;

private:
    QsciScintilla& e_;
    long maska_;
    bool jenKeCteni_;
};

// One undo step around a change.
class TKrokZpet {
public:
    explicit TKrokZpet(QsciScintilla& e) : e_(e) { e_.SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION); }
    ~TKrokZpet() { e_.SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION); }
    TKrokZpet(const TKrokZpet&) = delete;
    TKrokZpet& operator=(const TKrokZpet&) = delete;

private:
    QsciScintilla& e_;
};

}  // namespace

TEditorProgramu::TEditorProgramu(QWidget* rodic) : QsciScintilla(rodic) {
    // Courier New at 13 pixels, or the platform's fixed-pitch font.
    QString rodina = QStringLiteral("Courier New");
    if (!QFontInfo(QFont(rodina)).fixedPitch()) rodina = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    const QByteArray rodinaUtf8 = rodina.toUtf8();
    setUtf8(true);
    setEolMode(QsciScintilla::EolWindows);
    setWrapMode(QsciScintilla::WrapNone);
    for (int okraj = 0; okraj < 3; ++okraj) setMarginWidth(okraj, 0);
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, rodinaUtf8.constData());
    // 13 pixels are 9.75 points at 96 dots per inch (in hundredths of a point).
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, 975);
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, QColor(Qt::white));
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, QColor(Qt::black));
    SendScintilla(SCI_STYLECLEARALL);
    // Room above each line for the carons of capitals (Ž, Š, Ř), which reach
    // the font's full height and would touch the line above.
    SendScintilla(SCI_SETEXTRAASCENT, 1);
    SendScintilla(SCI_SETHSCROLLBAR, 1);
    SendScintilla(SCI_SETVSCROLLBAR, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    SendScintilla(SCI_SETCARETFORE, QColor(Qt::black));
}

void TEditorProgramu::NastavitJenKeCteni() {
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, QApplication::palette().color(QPalette::Button));
    SendScintilla(SCI_STYLECLEARALL);
    setReadOnly(true);
}

void TEditorProgramu::UvolnitKlavesy(const QList<QKeySequence>& zkratky) {
    for (const QKeySequence& zkratka : zkratky) {
        if (zkratka.isEmpty()) continue;
        const int klavesa = int(zkratka[0].key()) | int(zkratka[0].keyboardModifiers());
        while (QsciCommand* prikaz = standardCommands()->boundTo(klavesa)) {
            if (prikaz->key() == klavesa) prikaz->setKey(0);
            if (prikaz->alternateKey() == klavesa) prikaz->setAlternateKey(0);
        }
    }
}

void TEditorProgramu::Nacist(std::string_view utf8) {
    // Read-only, code page and line breaks belong to the document: the new one gets them again.
    const bool jenKeCteni = isReadOnly();
    {
        // A fresh document without style bytes (the area has no lexer), with
        // room for the whole text.
        const long dokument = SendScintilla(SCI_CREATEDOCUMENT, static_cast<unsigned long>(utf8.size()),
                                            0x1L /* SC_DOCUMENTOPTION_STYLES_NONE */);
        SendScintilla(SCI_SETDOCPOINTER, 0UL, dokument);
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, dokument);
        SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
        SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
        const THromadnaZmena zmena(*this);
        SendScintilla(SCI_SETUNDOCOLLECTION, 0);
        ZajistitMisto(utf8.size());
        // Appended with its length, so that NUL characters stay in the text.
        SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()), utf8.data());
        SendScintilla(SCI_EMPTYUNDOBUFFER);
        SendScintilla(SCI_SETUNDOCOLLECTION, 1);
        SendScintilla(SCI_SETSAVEPOINT);
        SendScintilla(SCI_GOTOPOS, 0);
    }
    setReadOnly(jenKeCteni);
    emit TextNahrazen();
}

std::string_view TEditorProgramu::Utf8() const {
    auto* e = const_cast<TEditorProgramu*>(this);
    const auto delka = static_cast<std::size_t>(e->SendScintilla(SCI_GETLENGTH));
    const auto* data = reinterpret_cast<const char*>(e->SendScintilla(SCI_GETCHARACTERPOINTER));
    return {data, delka};
}

TEditorProgramu::TUsek TEditorProgramu::Vyber() const {
    auto* e = const_cast<TEditorProgramu*>(this);
    return {static_cast<std::size_t>(e->SendScintilla(SCI_GETSELECTIONSTART)),
            static_cast<std::size_t>(e->SendScintilla(SCI_GETSELECTIONEND))};
}

void TEditorProgramu::NahraditVse(std::vector<std::u16string>& radky, bool koncovyZlom) {
    std::size_t odhad = 0;
    for (const auto& r : radky) odhad += r.size() + 2;
    {
        const THromadnaZmena zmena(*this);
        ZajistitMisto(odhad);
        const TKrokZpet krok(*this);
        SendScintilla(SCI_CLEARALL);
        // The lines go in piece by piece.
        std::string kus;
        const auto vlozit = [&] {
            SendScintilla(SCI_APPENDTEXT, static_cast<unsigned long>(kus.size()), kus.data());
            kus.clear();
        };
        for (std::size_t i = 0; i < radky.size(); ++i) {
            PripojitUtf8(kus, radky[i]);
            std::u16string().swap(radky[i]);
            if (i + 1 < radky.size() || koncovyZlom) kus += "\r\n";
            if (kus.size() >= (1u << 20)) vlozit();
        }
        vlozit();
    }
    emit TextNahrazen();
}

void TEditorProgramu::NahraditUsek(std::size_t od, std::size_t po, std::string_view utf8) {
    {
        const THromadnaZmena zmena(*this);
        ZajistitMisto(Utf8().size() - (po - od) + utf8.size());
        const TKrokZpet krok(*this);
        SendScintilla(SCI_SETTARGETSTART, static_cast<unsigned long>(od));
        SendScintilla(SCI_SETTARGETEND, static_cast<unsigned long>(po));
        SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()), utf8.data());
    }
    emit TextNahrazen();
}

void TEditorProgramu::NastavitBodUlozeni() { SendScintilla(SCI_SETSAVEPOINT); }

void TEditorProgramu::ZajistitMisto(std::size_t bajtu) {
    if (bajtu > Utf8().size()) SendScintilla(SCI_ALLOCATE, static_cast<unsigned long>(bajtu + 4096));
}
