#include "EditorProgramu.h"

#include "ui/DostupnostEditoru.h"

#include "filetypes/TypSouboru.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>

#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QPointer>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>
#include <QPaintEvent>

#include <algorithm>
#include <chrono>
#include <future>
#include <new>
#include <system_error>
#include <utility>

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

// Pieces of a new text up to this size are gathered into one of Zasobnik bytes.
constexpr std::size_t MalyKus = std::size_t{1} << 16, Zasobnik = std::size_t{1} << 20;

// A typed change of this size is not kept twice (in the area's undo buffer too).
constexpr std::size_t VelkaZmena = std::size_t{1} << 20;

}  // namespace

// ---------------------------------------------------------------- a new text

TEditorProgramu::TNovyText::TNovyText(TEditorProgramu& editor, std::size_t odhadBajtu)
    : editor_(editor), odhad_(odhadBajtu) {
    // Never three documents at once: the one kept for a quick undo goes first.
    editor_.UvolnitMezipamet();
    Vyprazdnit();
}

TEditorProgramu::TNovyText::~TNovyText() {
    if (nacitac_) static_cast<ILoader*>(nacitac_)->Release();
}

void TEditorProgramu::TNovyText::Vyprazdnit() {
    if (nacitac_) static_cast<ILoader*>(nacitac_)->Release();
    nacitac_ = nullptr;
    delka_ = 0;
    kusy_.clear();
    // Room for the whole text.
    nacitac_ = editor_.VytvoritNacitac(odhad_ + 4096);
}

void TEditorProgramu::TNovyText::Vlozit(std::string_view utf8) {
    // Pieces far below the 2 GiB that a Scintilla position can count.
    constexpr std::size_t Nejvic = std::size_t{1} << 26;
    for (std::size_t i = 0; i < utf8.size(); i += Nejvic) {
        const std::size_t n = std::min(Nejvic, utf8.size() - i);
        if (static_cast<ILoader*>(nacitac_)->AddData(utf8.data() + i, static_cast<std::ptrdiff_t>(n)) != 0)
            throw std::bad_alloc();
    }
}

void TEditorProgramu::TNovyText::Odevzdat() {
    Vlozit(kusy_);
    kusy_.clear();
}

void TEditorProgramu::TNovyText::Pridat(std::string_view utf8) {
    if (utf8.size() >= MalyKus) {
        Odevzdat();
        Vlozit(utf8);
    } else {
        if (kusy_.capacity() < Zasobnik) kusy_.reserve(Zasobnik);
        if (kusy_.size() + utf8.size() > Zasobnik) Odevzdat();
        kusy_.append(utf8);
    }
    delka_ += utf8.size();
}

void* TEditorProgramu::TNovyText::Dokument() {
    Odevzdat();
    void* dokument = static_cast<ILoader*>(nacitac_)->ConvertToDocument();
    nacitac_ = nullptr;
    return dokument;
}

// ---------------------------------------------------------------- the area

TEditorProgramu::TEditorProgramu(QWidget* rodic) : QsciScintilla(rodic) {
    ZlehcitDostupnostEditoru();
    setUtf8(true);
    setEolMode(QsciScintilla::EolWindows);
    setWrapMode(QsciScintilla::WrapNone);
    NastavitStyly();
    // Room above each line for the carons of capitals (Ž, Š, Ř), which reach
    // the font's full height and would touch the line above.
    SendScintilla(SCI_SETEXTRAASCENT, 1);
    SendScintilla(SCI_SETHSCROLLBAR, 1);
    SendScintilla(SCI_SETVSCROLLBAR, 1);
    SendScintilla(SCI_SETSCROLLWIDTHTRACKING, 1);
    SendScintilla(SCI_SETSCROLLWIDTH, 1);
    SendScintilla(SCI_SETPASTECONVERTENDINGS, 1);
    SendScintilla(SCI_SETCARETFORE, QColor(Qt::black));

    // Margins: the line numbers, then (with an original) the marks of changed lines.
    for (int okraj = 0; okraj < 5; ++okraj) {
        SendScintilla(SCI_SETMARGINWIDTHN, static_cast<unsigned long>(okraj), 0L);
        SendScintilla(SCI_SETMARGINSENSITIVEN, static_cast<unsigned long>(okraj), 0L);
    }
    SendScintilla(SCI_SETMARGINTYPEN, 0UL, long(SC_MARGIN_NUMBER));
    SendScintilla(SCI_SETMARGINTYPEN, 1UL, long(SC_MARGIN_SYMBOL));
    SendScintilla(SCI_SETMARGINMASKN, 1UL, 0L);
    NastavitOkraje();

    // The colours: one indicator whose value is the colour of the text, one that underlines references.
    SendScintilla(SCI_INDICSETSTYLE, static_cast<unsigned long>(IndikatorBarvy), long(INDIC_TEXTFORE));
    SendScintilla(SCI_INDICSETFLAGS, static_cast<unsigned long>(IndikatorBarvy), long(SC_INDICFLAG_VALUEBEFORE));
    SendScintilla(SCI_INDICSETSTYLE, static_cast<unsigned long>(IndikatorOdkazu), long(INDIC_PLAIN));
    SendScintilla(SCI_INDICSETFORE, static_cast<unsigned long>(IndikatorOdkazu), BarvaSlova(TDruhSlova::Odkaz));
    // The area asks for styles before it paints the lines shown (it has no lexer and its documents no style bytes).
    connect(this, &QsciScintillaBase::SCN_STYLENEEDED, this, [this](int) { ObarvitViditelne(); });

    // Undo and redo come here, whatever key the area gave them, and
    // Ctrl+Shift+Z redoes as well.
    for (QsciCommand* prikaz : standardCommands()->commands()) {
        QList<int>* klavesy = prikaz->command() == QsciCommand::Undo        ? &klavesyZpet_
                              : prikaz->command() == QsciCommand::Redo      ? &klavesyZnovu_
                              : prikaz->command() == QsciCommand::SelectAll ? &klavesyVse_
                                                                            : nullptr;
        if (!klavesy) continue;
        for (int klavesa : {prikaz->key(), prikaz->alternateKey()})
            if (klavesa != 0) klavesy->append(klavesa);
        prikaz->setKey(0);
        prikaz->setAlternateKey(0);
    }
    const int ctrlShiftZ = (Qt::CTRL | Qt::SHIFT | Qt::Key_Z).toCombined();
    if (!klavesyZnovu_.contains(ctrlShiftZ)) klavesyZnovu_.append(ctrlShiftZ);
    if (QsciCommand* jiny = standardCommands()->boundTo(ctrlShiftZ)) {
        if (jiny->key() == ctrlShiftZ) jiny->setKey(0);
        if (jiny->alternateKey() == ctrlShiftZ) jiny->setAlternateKey(0);
    }

    // Changes are told before they are made (see the header), and textChanged
    // is sent once they are: the area's own signal would come before them.
    SendScintilla(SCI_SETMODEVENTMASK, long(SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE));
    SendScintilla(SCI_SETCOMMANDEVENTS, 0L);
    connect(this, &QsciScintillaBase::SCN_MODIFIED, this,
            [this](int pozice, int druh, const char* text, int delka, int, int, int, int, int, int) {
                ChystanaZmena(pozice, druh, text, delka);
            });
    connect(this, &QsciScintillaBase::SCN_UPDATEUI, this, [this](int co) {
        if (co & SC_UPDATE_SELECTION) OhlasitKurzor(*this);
    });
}

TEditorProgramu::~TEditorProgramu() { UvolnitMezipamet(); }

void* TEditorProgramu::VytvoritNacitac(std::size_t bajtu) {
    if (!tovarna_) tovarna_ = std::make_unique<QsciScintillaBase>();
    // A document without style bytes (the colours are indicators of the
    // lines shown). Creating it takes nothing but memory: the area that
    // creates it keeps no part of it, and nothing else is ever asked of that
    // area, so it may do so on another thread.
    const auto vytvorit = [tovarna = tovarna_.get(), bajtu] {
        return reinterpret_cast<void*>(tovarna->SendScintilla(QsciScintillaBase::SCI_CREATELOADER,
                                                              static_cast<unsigned long>(bajtu),
                                                              long(QsciScintillaBase::SC_DOCUMENTOPTION_STYLES_NONE)));
    };
    void* nacitac = nullptr;
    std::future<void*> hotovo;
    if (obsluha_ && bajtu >= VelkyDokument) {
        try {
            hotovo = std::async(std::launch::async, vytvorit);
        } catch (const std::system_error&) {
            // No thread to be had: here, then.
        }
    }
    if (hotovo.valid()) {
        while (hotovo.wait_for(std::chrono::milliseconds(20)) != std::future_status::ready) obsluha_();
        nacitac = hotovo.get();
    } else {
        nacitac = vytvorit();
    }
    if (!nacitac) throw std::bad_alloc();
    return nacitac;
}

void TEditorProgramu::UvolnitMezipamet() {
    if (mezipamet_) SendScintilla(SCI_RELEASEDOCUMENT, 0UL, mezipamet_);
    mezipamet_ = nullptr;
}

void TEditorProgramu::NastavitStyly() {
    // Courier New at 13 pixels, or the platform's fixed-pitch font.
    QString rodina = QStringLiteral("Courier New");
    if (!QFontInfo(QFont(rodina)).fixedPitch()) rodina = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    const QByteArray rodinaUtf8 = rodina.toUtf8();
    SendScintilla(SCI_STYLESETFONT, STYLE_DEFAULT, rodinaUtf8.constData());
    // 13 pixels are 9.75 points at 96 dots per inch (in hundredths of a point).
    SendScintilla(SCI_STYLESETSIZEFRACTIONAL, STYLE_DEFAULT, 975);
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, QColor(Qt::white));
    SendScintilla(SCI_STYLESETFORE, STYLE_DEFAULT, QColor(Qt::black));
    SendScintilla(SCI_STYLECLEARALL);
    // The margins in grey, the numbers a little lighter than the text.
    SendScintilla(SCI_STYLESETBACK, STYLE_LINENUMBER, QColor(0xF0, 0xF0, 0xF0));
    SendScintilla(SCI_STYLESETFORE, STYLE_LINENUMBER, QColor(0x80, 0x80, 0x80));
}

void TEditorProgramu::NastavitOkraje() {
    // Room for the digits of the last line number (at least four), and a blank on either side.
    int cislic = 4;
    for (long n = SendScintilla(SCI_GETLINECOUNT); n >= 10000; n /= 10) ++cislic;
    if (cislic != cislicRadku_) {
        cislicRadku_ = cislic;
        const QByteArray vzor = " " + QByteArray(cislic, '9') + " ";
        SendScintilla(SCI_SETMARGINWIDTHN, 0UL, SendScintilla(SCI_TEXTWIDTH, STYLE_LINENUMBER, vzor.constData()));
    }
}

void TEditorProgramu::NastavitJenKeCteni() {
    SendScintilla(SCI_STYLESETBACK, STYLE_DEFAULT, QApplication::palette().color(QPalette::Button));
    SendScintilla(SCI_STYLECLEARALL);
    SendScintilla(SCI_STYLESETBACK, STYLE_LINENUMBER, QColor(0xE4, 0xE4, 0xE4));
    SendScintilla(SCI_STYLESETFORE, STYLE_LINENUMBER, QColor(0x70, 0x70, 0x70));
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

TEditorProgramu::TPohled TEditorProgramu::Pohled() {
    return {SendScintilla(SCI_GETFIRSTVISIBLELINE), SendScintilla(SCI_GETANCHOR), SendScintilla(SCI_GETCURRENTPOS),
            SendScintilla(SCI_GETXOFFSET)};
}

void TEditorProgramu::NastavitPohled(const TPohled& p) {
    SendScintilla(SCI_SETSEL, static_cast<unsigned long>(p.kotva), p.kurzor);
    SendScintilla(SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(p.prvniRadek));
    SendScintilla(SCI_SETXOFFSET, static_cast<unsigned long>(p.posunX));
}

void TEditorProgramu::Zobrazit(void* dokument) {
    // A change told for the document shown is over before another is shown.
    DokoncitZmenu();
    chystana_.reset();
    // Read-only, code page and line breaks belong to the document: the one shown gets them again.
    const bool jenKeCteni = isReadOnly();
    SendScintilla(SCI_SETDOCPOINTER, 0UL, dokument);
    NovyDokumentDostupnosti(*this);
    // The loader's reference goes to the area, which now holds the only one.
    SendScintilla(SCI_RELEASEDOCUMENT, 0UL, dokument);
    SendScintilla(SCI_SETCODEPAGE, SC_CP_UTF8);
    SendScintilla(SCI_SETEOLMODE, SC_EOL_CRLF);
    setReadOnly(jenKeCteni);
    SendScintilla(SCI_SETUNDOCOLLECTION, 1);
    SendScintilla(SCI_EMPTYUNDOBUFFER);
    TextSeZmenil();
}

void TEditorProgramu::TextSeZmenil() {
    ++verze_;
    NastavitOkraje();
}

void TEditorProgramu::Nacist(std::string_view utf8) {
    TNovyText novy(*this, utf8.size());
    novy.Pridat(utf8);
    Nacist(novy);
}

void TEditorProgramu::Nacist(TNovyText& novy) {
    UvolnitMezipamet();
    Zobrazit(novy.Dokument());
    historie_.clear();
    pozice_ = 0;
    NastavitPohled({});
    NastavitBodUlozeni();
    emit TextNahrazen();
}

void TEditorProgramu::Nahradit(TNovyText& novy, std::optional<TUsek> vybrano) {
    DokoncitZmenu();
    TKrok krok;
    krok.prikaz = true;
    krok.pred = Pohled();
    // The text before the command stays (and with it the view of its bytes)
    // until its spans are kept.
    void* stary = reinterpret_cast<void*>(SendScintilla(SCI_GETDOCPOINTER));
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, stary);
    const std::string_view predtim = Utf8();
    Zobrazit(novy.Dokument());
    try {
        krok.zaznam = TZaznamZmen::Rozdil(predtim, Utf8(), &krok.radky, [this](std::size_t, std::size_t) {
            if (obsluha_) obsluha_();
        });
        historie_.reserve(pozice_ + 1);
    } catch (...) {
        // The text before the command comes back, as if it had not run.
        SendScintilla(SCI_ADDREFDOCUMENT, 0UL, stary);
        Zobrazit(stary);
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, stary);
        NastavitPohled(krok.pred);
        emit TextNahrazen();
        throw;
    }
    krok.po = krok.pred;
    if (vybrano) {
        krok.po.kotva = static_cast<long>(vybrano->Od);
        krok.po.kurzor = static_cast<long>(vybrano->Po);
    }
    NastavitPohled(krok.po);
    // A result equal to the text is no step; otherwise what was undone before
    // the command cannot come back.
    UvolnitMezipamet();
    if (!krok.zaznam.Prazdny()) {
        historie_.resize(pozice_);
        if (ulozeno_ && *ulozeno_ > pozice_) ulozeno_.reset();
        historie_.push_back(std::move(krok));
        // The text before the command stays for its undo.
        mezipamet_ = stary;
        poziceMezipameti_ = pozice_++;
    } else {
        SendScintilla(SCI_RELEASEDOCUMENT, 0UL, stary);
    }
    emit TextNahrazen();
}

void TEditorProgramu::NovaSkupina() { ++skupina_; }

void TEditorProgramu::ZacitKrok() {
    DokoncitZmenu();
    NovaSkupina();
    vynutitKrok_ = true;
}

void TEditorProgramu::ChystanaZmena(int pozice, int druh, const char*, int delka) {
    // The change told before this one is made by now.
    DokoncitZmenu();
    if (!(druh & (SC_MOD_BEFOREINSERT | SC_MOD_BEFOREDELETE)) || delka <= 0) return;
    TChystana z;
    z.pozice = static_cast<std::size_t>(pozice);
    z.vlozeno = (druh & SC_MOD_BEFOREINSERT) != 0;
    z.delka = static_cast<std::size_t>(delka);
    // The bytes about to go, read where they lie (the deletion moves the gap
    // there anyway); inserted bytes are read once they are in.
    if (!z.vlozeno) {
        const auto* data = reinterpret_cast<const char*>(
            SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(pozice), long(delka)));
        z.bajty.assign(data, z.delka);
    }
    z.delkaPred = SendScintilla(SCI_GETLENGTH);
    z.radkuPred = SendScintilla(SCI_GETLINECOUNT);
    z.zapsat = zapisovat_ && (druh & SC_PERFORMED_USER);
    z.skupina = skupina_;
    // What the window changes in one go, between two turns of the event
    // loop, is one group.
    if (!konecSkupinyNaplanovan_) {
        konecSkupinyNaplanovan_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                konecSkupinyNaplanovan_ = false;
                DokoncitZmenu();
                NovaSkupina();
            },
            Qt::QueuedConnection);
    }
    chystana_ = std::move(z);
}

void TEditorProgramu::ZapsatPsani(const TChystana& z) {
    const std::size_t p = z.pozice, n = z.delka;
    // A step typed last goes on when this change is of the same group, or
    // goes on typing (right after what it inserted) or deleting (a character
    // at the same place, by Delete, or just before it, by Backspace); not
    // past the saved text, and not after an undo.
    TKrok* posledni = pozice_ > 0 && pozice_ == historie_.size() && !historie_[pozice_ - 1].prikaz &&
                              ulozeno_ != pozice_ && !historie_[pozice_ - 1].psani.empty()
                          ? &historie_[pozice_ - 1]
                          : nullptr;
    if (vynutitKrok_) posledni = nullptr;
    vynutitKrok_ = false;
    if (posledni && z.skupina != skupinaKroku_) {
        const TPrimitiv& l = posledni->psani.back();
        const bool navazuje = z.vlozeno ? l.vlozeno && l.pozice + l.text.size() == p
                                        : !l.vlozeno && n <= 4 && (p == l.pozice || p + n == l.pozice);
        if (!navazuje) posledni = nullptr;
    }
    if (!posledni) {
        if (poziceMezipameti_ > pozice_) UvolnitMezipamet();
        historie_.resize(pozice_);
        if (ulozeno_ && *ulozeno_ > pozice_) ulozeno_.reset();
        posledni = &historie_.emplace_back();
        ++pozice_;
    }
    skupinaKroku_ = z.skupina;
    // Characters typed one after another, or deleted by Delete or Backspace, make one change.
    TPrimitiv* l = posledni->psani.empty() ? nullptr : &posledni->psani.back();
    if (l && z.vlozeno && l->vlozeno && l->pozice + l->text.size() == p) {
        l->text += z.bajty;
    } else if (l && !z.vlozeno && !l->vlozeno && l->pozice == p) {
        l->text += z.bajty;
    } else if (l && !z.vlozeno && !l->vlozeno && p + n == l->pozice) {
        l->text.insert(0, z.bajty);
        l->pozice = p;
    } else {
        posledni->psani.push_back({p, z.vlozeno, z.bajty});
    }
    if (n >= VelkaZmena) {
        // Kept here: the area's own copy goes once the change is complete.
        QMetaObject::invokeMethod(this, [this] { SendScintilla(SCI_EMPTYUNDOBUFFER); }, Qt::QueuedConnection);
    }
}

void TEditorProgramu::DokoncitZmenu() {
    if (!chystana_) return;
    const long delka = SendScintilla(SCI_GETLENGTH);
    const long n = long(chystana_->delka);
    if (delka != (chystana_->vlozeno ? chystana_->delkaPred + n : chystana_->delkaPred - n)) return;  // still being made
    TChystana z = std::move(*chystana_);
    chystana_.reset();
    if (z.vlozeno) {
        const auto* data = reinterpret_cast<const char*>(
            SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(z.pozice), n));
        z.bajty.assign(data, z.delka);
    }
    TextSeZmenil();
    if (z.zapsat) {
        ZapsatPsani(z);
        const long pridanoRadku = SendScintilla(SCI_GETLINECOUNT) - z.radkuPred;
        if (pridanoRadku != 0) {
            // The line the change starts in goes on below it when more of it
            // lies behind the change than before it.
            const long pozice = long(z.pozice);
            TUpravaRadku u;
            const long radek = SendScintilla(SCI_LINEFROMPOSITION, static_cast<unsigned long>(pozice));
            const long konec = z.vlozeno ? pozice + n : pozice;
            const long pred = pozice - SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek));
            const long za = SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(SendScintilla(
                                SCI_LINEFROMPOSITION, static_cast<unsigned long>(konec)))) - konec;
            u.Radek = static_cast<std::size_t>(radek);
            u.Pridano = pridanoRadku;
            u.NaZacatku = pred <= za;
            historie_[pozice_ - 1].radky.push_back(u);
        }
    }
    OhlasitZmenu(*this, z.pozice, z.bajty, z.vlozeno);
    emit textChanged();
}

void TEditorProgramu::Dokoncit() const {
    // A change made and not yet recorded (the area told of it before it made
    // it) is recorded before anything of the history or the text's count of
    // changes is read.
    const_cast<TEditorProgramu*>(this)->DokoncitZmenu();
}

std::uint64_t TEditorProgramu::Verze() const {
    Dokoncit();
    return verze_;
}

void TEditorProgramu::ProvestPsani(const TKrok& krok, bool zpet) {
    long kurzor = SendScintilla(SCI_GETCURRENTPOS);
    {
        const THromadnaZmena zmena(*this);
        SendScintilla(SCI_SETUNDOCOLLECTION, 0L);
        const auto provest = [&](const TPrimitiv& p, bool vlozit) {
            if (vlozit) {
                SendScintilla(SCI_SETTARGETRANGE, static_cast<unsigned long>(p.pozice), long(p.pozice));
                SendScintilla(SCI_REPLACETARGET, static_cast<unsigned long>(p.text.size()), p.text.data());
            } else {
                SendScintilla(SCI_DELETERANGE, static_cast<unsigned long>(p.pozice), long(p.text.size()));
            }
            // The caret where the area's own undo and redo leave it.
            kurzor = long(p.pozice + (vlozit ? p.text.size() : 0));
        };
        if (zpet) {
            for (auto p = krok.psani.rbegin(); p != krok.psani.rend(); ++p) provest(*p, !p->vlozeno);
        } else {
            for (const TPrimitiv& p : krok.psani) provest(p, p.vlozeno);
        }
        SendScintilla(SCI_SETUNDOCOLLECTION, 1L);
        SendScintilla(SCI_EMPTYUNDOBUFFER);
    }
    TextSeZmenil();
    SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(kurzor));
    SendScintilla(SCI_SCROLLCARET);
}

void TEditorProgramu::ProvestPrikaz(TKrok& krok, bool zpet) {
    (zpet ? krok.po : krok.pred) = Pohled();
    const std::size_t cil = zpet ? pozice_ - 1 : pozice_ + 1;
    void* zobrazeny = reinterpret_cast<void*>(SendScintilla(SCI_GETDOCPOINTER));
    void* jiny = nullptr;
    TZaznamZmen opacny;
    if (mezipamet_ && poziceMezipameti_ == cil) {
        // The other text is at hand: the record only turns round.
        opacny = krok.zaznam.Pouzit(Utf8(), [](std::string_view) {});
        jiny = std::exchange(mezipamet_, nullptr);
    } else {
        TNovyText novy(*this, krok.zaznam.DelkaJine());
        opacny = krok.zaznam.Pouzit(Utf8(), [&](std::string_view kus) { novy.Pridat(kus); });
        jiny = novy.Dokument();
    }
    // The text left stays for the way back.
    SendScintilla(SCI_ADDREFDOCUMENT, 0UL, zobrazeny);
    Zobrazit(jiny);
    mezipamet_ = zobrazeny;
    poziceMezipameti_ = pozice_;
    krok.zaznam = std::move(opacny);
    NastavitPohled(zpet ? krok.pred : krok.po);
}

bool TEditorProgramu::Provest(TKrok& krok, bool zpet) {
    try {
        if (krok.prikaz)
            ProvestPrikaz(krok, zpet);
        else
            ProvestPsani(krok, zpet);
    } catch (const std::exception&) {
        // No memory for the other text: it stays as it is.
        QApplication::beep();
        return false;
    }
    return true;
}

void TEditorProgramu::undo() {
    DokoncitZmenu();
    if (isReadOnly() || pozice_ == 0 || !Provest(historie_[pozice_ - 1], true)) return;
    --pozice_;
    emit TextNahrazen();
}

void TEditorProgramu::redo() {
    DokoncitZmenu();
    if (isReadOnly() || pozice_ == historie_.size() || !Provest(historie_[pozice_], false)) return;
    ++pozice_;
    emit TextNahrazen();
}

namespace {

// The desktop's selection of a text area, made when another program asks for
// it: the text selected then (nothing once the area is gone).
class TVyberNaZadost final : public QMimeData {
public:
    explicit TVyberNaZadost(QsciScintilla* e) : e_(e) {}
    QStringList formats() const override { return {QStringLiteral("text/plain")}; }
    bool hasFormat(const QString& druh) const override { return druh == QLatin1String("text/plain"); }

protected:
    QVariant retrieveData(const QString& druh, QMetaType typ) const override {
        if (druh != QLatin1String("text/plain") || !e_) return {};
        const QString text = e_->selectedText();
        return typ.id() == QMetaType::QByteArray ? QVariant(text.toUtf8()) : QVariant(text);
    }

private:
    QPointer<QsciScintilla> e_;
};

}  // namespace

void TEditorProgramu::selectAll(bool select) {
    if (!select) {
        SendScintilla(SCI_SETEMPTYSELECTION, static_cast<unsigned long>(SendScintilla(SCI_GETCURRENTPOS)));
        return;
    }
    // The caret at the start, as the area's own command leaves it; the view stays.
    SendScintilla(SCI_SETSELECTION, 0UL, SendScintilla(SCI_GETLENGTH));
    const bool vybrano = SendScintilla(SCI_GETLENGTH) > 0;
    if (vybrano) {
        QClipboard* schranka = QApplication::clipboard();
        if (schranka->supportsSelection()) schranka->setMimeData(new TVyberNaZadost(this), QClipboard::Selection);
    }
    // What the area's own selection tells: copy is available, the selection changed.
    emit QSCN_SELCHANGED(vybrano);
    OhlasitKurzor(*this);
}

bool TEditorProgramu::MuzeZpet() const {
    Dokoncit();
    return pozice_ > 0;
}

bool TEditorProgramu::MuzeZnovu() const {
    Dokoncit();
    return pozice_ < historie_.size();
}

bool TEditorProgramu::Zmeneno() const {
    Dokoncit();
    return ulozeno_ != pozice_;
}

void TEditorProgramu::NastavitBodUlozeni() {
    DokoncitZmenu();
    ulozeno_ = pozice_;
    // Typing after the save starts a step of its own.
    SendScintilla(SCI_SETSAVEPOINT);
}

void TEditorProgramu::setModified(bool zmeneno) {
    if (!zmeneno) NastavitBodUlozeni();
}

std::size_t TEditorProgramu::TKrok::Bajtu() const {
    std::size_t n = zaznam.Bajtu() + radky.capacity() * sizeof(TUpravaRadku) + psani.capacity() * sizeof(TPrimitiv);
    for (const TPrimitiv& p : psani) n += p.text.capacity();
    return n;
}

std::size_t TEditorProgramu::BajtuHistorie() const {
    Dokoncit();
    std::size_t n = historie_.capacity() * sizeof(TKrok);
    for (const TKrok& k : historie_) n += k.Bajtu();
    return n;
}

bool TEditorProgramu::PisiciModifikatory(Qt::KeyboardModifiers modifikatory) {
    const bool ctrl = modifikatory.testFlag(Qt::ControlModifier), alt = modifikatory.testFlag(Qt::AltModifier);
#ifdef Q_OS_WIN
    // AltGr comes as Ctrl and Alt together.
    if (ctrl && alt && !modifikatory.testFlag(Qt::MetaModifier)) return true;
#endif
    return !ctrl && !alt && !modifikatory.testFlag(Qt::MetaModifier);
}

bool TEditorProgramu::event(QEvent* udalost) {
    // Each key, and each text an input method commits, is a group of its own.
    const auto typ = udalost->type();
    if (typ == QEvent::KeyPress || typ == QEvent::InputMethod) NovaSkupina();
    const bool vysledek = QsciScintilla::event(udalost);
    DokoncitZmenu();
    return vysledek;
}

bool TEditorProgramu::viewportEvent(QEvent* udalost) {
    // A drop, or the mouse's paste of the selection, too.
    switch (udalost->type()) {
        case QEvent::Drop:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick: NovaSkupina(); break;
        default: break;
    }
    const bool vysledek = QsciScintilla::viewportEvent(udalost);
    DokoncitZmenu();
    return vysledek;
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
    if (klavesyVse_.contains(klavesa)) {
        selectAll(true);
        udalost->accept();
        return;
    }
    if (!udalost->text().isEmpty() && !PisiciModifikatory(udalost->modifiers())) {
        // What the area binds to the key runs; its text is not typed.
        QKeyEvent bezTextu(udalost->type(), udalost->key(), udalost->modifiers(), udalost->nativeScanCode(),
                           udalost->nativeVirtualKey(), udalost->nativeModifiers(), QString(),
                           udalost->isAutoRepeat(), quint16(udalost->count()));
        QsciScintilla::keyPressEvent(&bezTextu);
        udalost->setAccepted(bezTextu.isAccepted());
        return;
    }
    QsciScintilla::keyPressEvent(udalost);
}

// ---------------------------------------------------------------- colours and marks

QColor TEditorProgramu::BarvaSlova(TDruhSlova druh) {
    switch (druh) {
        case TDruhSlova::CisloBloku: return {0x1A, 0x4F, 0xB0};  // blue
        case TDruhSlova::KodG: return {0xB0, 0x1C, 0x1C};        // red
        case TDruhSlova::KodM: return {0x86, 0x2A, 0xA8};        // violet
        case TDruhSlova::Adresa: return {0x1E, 0x62, 0x5A};      // dark teal
        case TDruhSlova::Komentar: return {0x6A, 0x7A, 0x6A};    // grey green
        case TDruhSlova::Znacka: return {0xB8, 0x5A, 0x00};      // brown orange
        case TDruhSlova::Odkaz: return {0xC0, 0x00, 0x78};       // magenta
        case TDruhSlova::Text: break;
    }
    return {Qt::black};
}

QColor TEditorProgramu::BarvaZmeny(TZmenaRadku zmena) {
    return zmena == TZmenaRadku::Novy ? QColor(0x3C, 0xA0, 0x3C) : QColor(0xF0, 0x9A, 0x20);
}

void TEditorProgramu::NastavitTypSouboru(const std::optional<TTypSouboru>& typ) {
    lexer_.NastavitTyp(typ);
    ++verze_;
    viewport()->update();
}

void TEditorProgramu::NastavitPuvodni(const TEditorProgramu* puvodni) {
    puvodni_ = puvodni;
    SendScintilla(SCI_SETMARGINWIDTHN, 1UL, puvodni_ ? 6L : 0L);
    viewport()->update();
}

std::string_view TEditorProgramu::Radek(std::size_t radek) const {
    auto* e = const_cast<TEditorProgramu*>(this);
    const long od = e->SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek));
    const long po = e->SendScintilla(SCI_GETLINEENDPOSITION, static_cast<unsigned long>(radek));
    if (od < 0 || po <= od) return {};
    // In place: the buffer's gap moves only when it lies inside the line.
    const auto* data = reinterpret_cast<const char*>(
        e->SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(od), po - od));
    return {data, static_cast<std::size_t>(po - od)};
}

void TEditorProgramu::ObarvitViditelne() {
    const long radku = SendScintilla(SCI_GETLINECOUNT);
    const long prvni = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const long posledni = std::min(radku, prvni + SendScintilla(SCI_LINESONSCREEN) + 1);
    if (obarveno_.verze == verze_ && obarveno_.prvni == prvni && obarveno_.posledni == posledni) return;
    const long maska = SendScintilla(SCI_GETMODEVENTMASK);
    SendScintilla(SCI_SETMODEVENTMASK, 0L);
    // The lines coloured before lose their colours (the indicators of a few
    // screens at most, never of the whole program).
    const long delka = SendScintilla(SCI_GETLENGTH);
    for (int indikator : {IndikatorBarvy, IndikatorOdkazu}) {
        SendScintilla(SCI_SETINDICATORCURRENT, indikator);
        SendScintilla(SCI_INDICATORCLEARRANGE, 0UL, delka);
    }
    if (lexer_.Aktivni()) {
        for (long r = prvni; r < posledni; ++r) {
            const std::string_view text = Radek(static_cast<std::size_t>(r));
            if (text.empty()) continue;
            lexer_.Rozebrat(text, slova_);
            const long zacatek = SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(r));
            for (const TSlovo& s : slova_) {
                const QColor b = BarvaSlova(s.Druh);
                // The indicator's value is the colour, as Scintilla stores it (0xBBGGRR).
                const long hodnota = long(SC_INDICVALUEBIT) | (long(b.blue()) << 16) | (long(b.green()) << 8) | b.red();
                SendScintilla(SCI_SETINDICATORCURRENT, IndikatorBarvy);
                SendScintilla(SCI_SETINDICATORVALUE, hodnota);
                SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(zacatek + long(s.Od)),
                              long(s.Po - s.Od));
                if (s.Druh == TDruhSlova::Odkaz) {
                    SendScintilla(SCI_SETINDICATORCURRENT, IndikatorOdkazu);
                    SendScintilla(SCI_SETINDICATORVALUE, 1L);
                    SendScintilla(SCI_INDICATORFILLRANGE, static_cast<unsigned long>(zacatek + long(s.Od)),
                                  long(s.Po - s.Od));
                }
            }
        }
    }
    SendScintilla(SCI_SETMODEVENTMASK, maska);
    obarveno_ = {verze_, prvni, posledni};
}

TEditorProgramu::TZmenaRadku TEditorProgramu::ZmenaRadku(std::size_t radek) const {
    if (!puvodni_) return TZmenaRadku::Zadna;
    Dokoncit();
    // The line of the original that this one continues, step by step back.
    std::size_t r = radek;
    for (std::size_t k = pozice_; k-- > 0;) {
        const std::vector<TUpravaRadku>& radky = historie_[k].radky;
        for (auto u = radky.rbegin(); u != radky.rend(); ++u) {
            const std::optional<std::size_t> predtim = u->Predtim(r);
            if (!predtim) return TZmenaRadku::Novy;
            r = *predtim;
        }
    }
    auto* p = const_cast<TEditorProgramu*>(puvodni_);
    if (long(r) >= p->SendScintilla(SCI_GETLINECOUNT)) return TZmenaRadku::Novy;
    return Radek(radek) == puvodni_->Radek(r) ? TZmenaRadku::Zadna : TZmenaRadku::Zmeneny;
}

std::vector<TUpravaRadku> TEditorProgramu::UpravyRadku() const {
    Dokoncit();
    std::vector<TUpravaRadku> upravy;
    for (std::size_t k = 0; k < pozice_; ++k) upravy.insert(upravy.end(), historie_[k].radky.begin(), historie_[k].radky.end());
    return upravy;
}

void TEditorProgramu::paintEvent(QPaintEvent* udalost) {
    DokoncitZmenu();
    QsciScintilla::paintEvent(udalost);
    const long sirka = SendScintilla(SCI_GETMARGINWIDTHN, 1UL);
    if (!puvodni_ || sirka <= 0) return;
    const long x = SendScintilla(SCI_GETMARGINLEFT) + SendScintilla(SCI_GETMARGINWIDTHN, 0UL);
    const long vyska = SendScintilla(SCI_TEXTHEIGHT, 0UL);
    const long radku = SendScintilla(SCI_GETLINECOUNT);
    const long prvni = SendScintilla(SCI_GETFIRSTVISIBLELINE);
    const QRect oblast = udalost->rect();
    QPainter malir(viewport());
    for (long r = prvni; r < radku && vyska > 0; ++r) {
        const long y = (r - prvni) * vyska;
        if (y > oblast.bottom()) break;
        if (y + vyska <= oblast.top()) continue;
        const TZmenaRadku z = ZmenaRadku(static_cast<std::size_t>(r));
        if (z != TZmenaRadku::Zadna) malir.fillRect(QRect(int(x + 1), int(y), int(sirka - 2), int(vyska)), BarvaZmeny(z));
    }
}

std::string_view TEditorProgramu::Utf8() const {
    auto* e = const_cast<TEditorProgramu*>(this);
    const auto delka = static_cast<std::size_t>(e->SendScintilla(SCI_GETLENGTH));
    const auto* data = reinterpret_cast<const char*>(e->SendScintilla(SCI_GETCHARACTERPOINTER));
    return {data, delka};
}

std::size_t TEditorProgramu::Delka() const {
    return static_cast<std::size_t>(const_cast<TEditorProgramu*>(this)->SendScintilla(SCI_GETLENGTH));
}

std::size_t TEditorProgramu::ProjitRadky(std::size_t od, std::size_t po,
                                         const std::function<void(std::string_view)>& kus) const {
    auto* e = const_cast<TEditorProgramu*>(this);
    const auto zacatekRadku = [e](long radek) {
        return static_cast<std::size_t>(e->SendScintilla(SCI_POSITIONFROMLINE, static_cast<unsigned long>(radek)));
    };
    const auto radekPozice = [e](std::size_t pozice) { return e->SendScintilla(SCI_LINEFROMPOSITION, pozice); };
    const auto delka = static_cast<std::size_t>(e->SendScintilla(SCI_GETLENGTH));
    // A range that does not hold the gap is read in place, whole.
    const auto vMiste = [e](std::size_t z, std::size_t k) {
        if (k <= z) return std::string_view();
        const auto* data = reinterpret_cast<const char*>(
            e->SendScintilla(SCI_GETRANGEPOINTER, static_cast<unsigned long>(z), long(k - z)));
        return std::string_view(data, k - z);
    };
    od = std::min(od, delka);
    // To the start of the line after the one that holds po (the end of the text at most).
    const std::size_t konec = po >= delka ? delka : std::max(od, zacatekRadku(radekPozice(po) + 1));
    const auto mezera = static_cast<std::size_t>(e->SendScintilla(SCI_GETGAPPOSITION));
    if (mezera <= od || mezera >= konec) {
        if (konec > od) kus(vMiste(od, konec));
        return konec;
    }
    // The gap lies inside: the lines before its line and after it in place,
    // its own line copied from both sides of it.
    const long radekMezery = radekPozice(mezera);
    const std::size_t z = std::max(od, zacatekRadku(radekMezery));
    const std::size_t k = std::min(konec, zacatekRadku(radekMezery + 1));
    if (z > od) kus(vMiste(od, z));
    std::string radek(vMiste(z, mezera));
    radek += vMiste(mezera, k);
    kus(radek);
    if (konec > k) kus(vMiste(k, konec));
    return konec;
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
