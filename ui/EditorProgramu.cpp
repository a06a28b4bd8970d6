#include "EditorProgramu.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QFontDatabase>
#include <QKeyEvent>

#include <algorithm>
#include <new>

// Scintilla's interface of a document being filled before any view shows it,
// given by SCI_CREATELOADER: the text is appended in pieces, and the loader
// then becomes the document. Declared as Scintilla's own header (ILexer.h,
// which QScintilla does not install) declares it: the same class, in the
// global namespace, with the same virtual functions in the same order (the
// length is a Scintilla position; pieces stay far below 2 GiB).
class ILoader {
public:
    virtual int Release() = 0;
    virtual int AddData(const char* data, std::ptrdiff_t length) = 0;
    virtual void* ConvertToDocument() = 0;

protected:
    ~ILoader() = default;
};

namespace {

// A change made at once: the area sends no notification of it (its own
// handlers would copy and convert the whole text) and may be changed also
// while it is read-only; both come back afterwards.
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

}  // namespace

// ---------------------------------------------------------------- a new text

TEditorProgramu::TNovyText::TNovyText(TEditorProgramu& editor, std::size_t odhadBajtu)
    : editor_(editor), odhad_(odhadBajtu) {
    Vyprazdnit();
}

TEditorProgramu::TNovyText::~TNovyText() {
    if (nacitac_) static_cast<ILoader*>(nacitac_)->Release();
}

void TEditorProgramu::TNovyText::Vyprazdnit() {
    if (nacitac_) static_cast<ILoader*>(nacitac_)->Release();
    nacitac_ = nullptr;
    delka_ = 0;
    // A document without style bytes (the area has no lexer), with room for the whole text.
    nacitac_ = reinterpret_cast<void*>(editor_.SendScintilla(QsciScintillaBase::SCI_CREATELOADER,
                                                             static_cast<unsigned long>(odhad_ + 4096),
                                                             long(QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE)));
    if (!nacitac_) throw std::bad_alloc();
}

void TEditorProgramu::TNovyText::Pridat(std::string_view utf8) {
    // Pieces far below the 2 GiB that a Scintilla position can count.
    constexpr std::size_t Nejvic = std::size_t{1} << 26;
    for (std::size_t i = 0; i < utf8.size(); i += Nejvic) {
        const std::size_t n = std::min(Nejvic, utf8.size() - i);
        if (static_cast<ILoader*>(nacitac_)->AddData(utf8.data() + i, static_cast<std::ptrdiff_t>(n)) != 0)
            throw std::bad_alloc();
    }
    delka_ += utf8.size();
}

void* TEditorProgramu::TNovyText::Dokument() {
    void* dokument = static_cast<ILoader*>(nacitac_)->ConvertToDocument();
    nacitac_ = nullptr;
    return dokument;
}

// ---------------------------------------------------------------- the area

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

    // Undo and redo come here, whatever key the area gave them.
    for (QsciCommand* prikaz : standardCommands()->commands()) {
        QList<int>* klavesy = prikaz->command() == QsciCommand::Undo   ? &klavesyZpet_
                              : prikaz->command() == QsciCommand::Redo ? &klavesyZnovu_
                                                                       : nullptr;
        if (!klavesy) continue;
        for (int klavesa : {prikaz->key(), prikaz->alternateKey()})
            if (klavesa != 0) klavesy->append(klavesa);
        prikaz->setKey(0);
        prikaz->setAlternateKey(0);
    }
    // The document the area starts with is the first of the history.
    TDokument prvni;
    prvni.dokument = reinterpret_cast<void*>(SendScintilla(SCI_GETDOCPOINTER));
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, prvni.dokument);
    historie_.push_back(prvni);
    ulozeny_ = 0;
    connect(this, &QsciScintilla::textChanged, this, &TEditorProgramu::UpravaUzivatele);
    connect(this, &QsciScintilla::modificationChanged, this, [this](bool zmeneno) {
        if (!zmeneno) historie_[pozice_].upraven = false;
    });
}

TEditorProgramu::~TEditorProgramu() {
    for (const TDokument& d : historie_) SendScintilla(SCI_RELEASEDOCUMENT, 0UL, d.dokument);
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

void TEditorProgramu::ZapamatovatPohled() {
    TDokument& d = historie_[pozice_];
    d.prvniRadek = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    d.kotva = SendScintilla(SCI_GETANCHOR);
    d.kurzor = SendScintilla(SCI_GETCURRENTPOS);
    d.posunX = SendScintilla(SCI_GETXOFFSET);
}

void TEditorProgramu::Zobrazit(std::size_t pozice) {
    // Read-only, code page and line breaks belong to the document: the one shown gets them again.
    const bool jenKeCteni = isReadOnly();
    pozice_ = pozice;
    const TDokument& d = historie_[pozice];
    SendScintilla(SCI_SETDOCPOINTER, 0UL, d.dokument);
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
    setReadOnly(jenKeCteni);
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(d.kotva), d.kurzor);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(d.prvniRadek));
    SendScintilla(SCI_SETXOFFSET, static_cast<unsigned long>(d.posunX));
}

void TEditorProgramu::UvolnitOd(std::size_t pozice) {
    for (std::size_t i = pozice; i < historie_.size(); ++i) SendScintilla(SCI_RELEASEDOCUMENT, 0UL, historie_[i].dokument);
    if (pozice < historie_.size()) historie_.resize(pozice);
    if (ulozeny_ && *ulozeny_ >= pozice) ulozeny_.reset();
}

void TEditorProgramu::Nacist(std::string_view utf8) {
    TNovyText novy(*this, utf8.size());
    novy.Pridat(utf8);
    Nacist(novy);
}

void TEditorProgramu::Nacist(TNovyText& novy) {
    TDokument d;
    d.dokument = novy.Dokument();
    UvolnitOd(0);
    historie_.push_back(d);
    Zobrazit(0);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    NastavitBodUlozeni();
    emit TextNahrazen();
}

void TEditorProgramu::Nahradit(TNovyText& novy, std::optional<TUsek> vybrano) {
    ZapamatovatPohled();
    TDokument d = historie_[pozice_];
    d.dokument = novy.Dokument();
    d.krokuVpred = 0;
    if (vybrano) {
        d.kotva = static_cast<long>(vybrano->Od);
        d.kurzor = static_cast<long>(vybrano->Po);
    }
    // What was undone before the command cannot come back, nor can what was
    // typed and undone in the document the command started from.
    UvolnitOd(pozice_ + 1);
    historie_[pozice_].krokuVpred = 0;
    historie_.push_back(d);
    Zobrazit(pozice_ + 1);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    emit TextNahrazen();
}

void TEditorProgramu::UpravaUzivatele() {
    UvolnitOd(pozice_ + 1);
    historie_[pozice_].krokuVpred = 0;
    historie_[pozice_].upraven = true;
}

void TEditorProgramu::undo() {
    if (isReadOnly()) return;
    if (SendScintilla(SCI_CANUNDO)) {
        {
            const THromadnaZmena zmena(*this);
            SendScintilla(SCI_UNDO);
        }
        ++historie_[pozice_].krokuVpred;
    } else if (pozice_ > 0) {
        ZapamatovatPohled();
        Zobrazit(pozice_ - 1);
    } else {
        return;
    }
    emit TextNahrazen();
}

void TEditorProgramu::redo() {
    if (isReadOnly()) return;
    TDokument& d = historie_[pozice_];
    const bool posledni = pozice_ + 1 == historie_.size();
    if (posledni ? SendScintilla(SCI_CANREDO) != 0 : d.krokuVpred > 0) {
        {
            const THromadnaZmena zmena(*this);
            SendScintilla(SCI_REDO);
        }
        if (d.krokuVpred > 0) --d.krokuVpred;
    } else if (!posledni) {
        ZapamatovatPohled();
        Zobrazit(pozice_ + 1);
    } else {
        return;
    }
    emit TextNahrazen();
}

bool TEditorProgramu::MuzeZpet() const {
    return pozice_ > 0 || const_cast<TEditorProgramu*>(this)->SendScintilla(SCI_CANUNDO) != 0;
}

bool TEditorProgramu::MuzeZnovu() const {
    return pozice_ + 1 < historie_.size() || const_cast<TEditorProgramu*>(this)->SendScintilla(SCI_CANREDO) != 0;
}

bool TEditorProgramu::Zmeneno() const {
    return ulozeny_ != pozice_ || historie_[pozice_].upraven ||
           const_cast<TEditorProgramu*>(this)->SendScintilla(SCI_GETMODIFY) != 0;
}

void TEditorProgramu::NastavitBodUlozeni() {
    ulozeny_ = pozice_;
    SendScintilla(SCI_SETSAVEPOINT);
    historie_[pozice_].upraven = false;
}

void TEditorProgramu::setModified(bool zmeneno) {
    if (!zmeneno) NastavitBodUlozeni();
}

void TEditorProgramu::keyPressEvent(QKeyEvent* udalost) {
    const int klavesa = udalost->key() | int(udalost->modifiers() & ~Qt::KeypadModifier);
    if (klavesyZpet_.contains(klavesa)) {
        undo();
        udalost->accept();
        return;
    }
    if (klavesyZnovu_.contains(klavesa)) {
        redo();
        udalost->accept();
        return;
    }
    QsciScintilla::keyPressEvent(udalost);
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

std::size_t TEditorProgramu::RadekPozice(std::size_t pozice) const {
    auto* e = const_cast<TEditorProgramu*>(this);
    return static_cast<std::size_t>(e->SendScintilla(SCI_LINEFROMPOSITION, pozice));
}

std::size_t TEditorProgramu::ZacatekRadku(std::size_t radek) const {
    auto* e = const_cast<TEditorProgramu*>(this);
    return static_cast<std::size_t>(e->SendScintilla(SCI_POSITIONFROMLINE, radek));
}
