#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/Aplikace.h"
#include "app/Zpravy.h"
#include "app/convar.h"
#include "filetypes/Nastaveni.h"
#include "filetypes/Retezce.h"
#include "filetypes/SeznamTypu.h"
#include "filetypes/TypSouboru.h"
#include "filetypes/fNastaveni.h"
#include "filetypes/fASCII.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "platform/Chyba.h"
#include "platform/Registr.h"
#include "platform/TextovySoubor.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"
#include "ui/Prvky.h"
#include "ui/fOAplikaci.h"

#include <Qsci/qscicommand.h>
#include <Qsci/qscicommandset.h>
#include <Qsci/qsciscintilla.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>
#include <QTreeWidget>

namespace {

// The window's client size at design; the outer minimum 640 x 480 leaves this much inside.
constexpr QSize NavrhovaVelikost{632, 446};

std::u16string U16(const QString& s) { return s.toStdU16String(); }
QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The editor's text as a view of its own buffer (UTF-8), valid until the next change.
std::string_view TextEditoru(const QsciScintilla* editor) {
    auto* e = const_cast<QsciScintilla*>(editor);
    const auto delka = static_cast<std::size_t>(e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    const auto* data = reinterpret_cast<const char*>(
        e->SendScintilla(QsciScintillaBase::SCI_GETCHARACTERPOINTER));
    return {data, delka};
}

// Lines joined by CR LF, with a final CR LF when koncovyZlom, as UTF-8.
std::string Utf8SCrLf(const TRadky& radky, bool koncovyZlom) {
    std::string text;
    std::size_t odhad = 0;
    for (const auto& r : radky) odhad += r.size() + 2;
    text.reserve(odhad + 16);
    for (std::size_t i = 0; i < radky.size(); ++i) {
        PripojitUtf8(text, radky[i]);
        if (i + 1 < radky.size() || koncovyZlom) text += "\r\n";
    }
    return text;
}

// Room for a text of this many bytes, so that the text area does not grow
// its buffer step by step while the text goes in.
void ZajistitMisto(QsciScintilla* e, std::size_t bajtu) {
    const auto delka = static_cast<std::size_t>(e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH));
    if (bajtu > delka) e->SendScintilla(QsciScintillaBase::SCI_ALLOCATE, static_cast<unsigned long>(bajtu + 4096));
}

void NastavitEditor(QsciScintilla* e, bool jenKeCteni) {
    // Courier New at 13 pixels, or the platform's fixed-pitch font.
    QString rodina = QStringLiteral("Courier New");
    if (!QFontInfo(QFont(rodina)).fixedPitch()) rodina = QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    const QByteArray rodinaUtf8 = rodina.toUtf8();
    const QColor pozadi = jenKeCteni ? QApplication::palette().color(QPalette::Button) : QColor(Qt::white);
    e->setUtf8(true);
    e->setEolMode(QsciScintilla::EolWindows);
    e->setWrapMode(QsciScintilla::WrapNone);
    for (int okraj = 0; okraj < 3; ++okraj) e->setMarginWidth(okraj, 0);
    e->SendScintilla(QsciScintillaBase::SCI_STYLESETFONT, QsciScintillaBase::STYLE_DEFAULT, rodinaUtf8.constData());
    // 13 pixels are 9.75 points at 96 dots per inch (in hundredths of a point).
    e->SendScintilla(QsciScintillaBase::SCI_STYLESETSIZEFRACTIONAL, QsciScintillaBase::STYLE_DEFAULT, 975);
    e->SendScintilla(QsciScintillaBase::SCI_STYLESETBACK, QsciScintillaBase::STYLE_DEFAULT, pozadi);
    e->SendScintilla(QsciScintillaBase::SCI_STYLESETFORE, QsciScintillaBase::STYLE_DEFAULT, QColor(Qt::black));
    e->SendScintilla(QsciScintillaBase::SCI_STYLECLEARALL);
    // Room above each line for the carons of capitals (Ž, Š, Ř), which reach
    // the font's full height and would touch the line above.
    e->SendScintilla(QsciScintillaBase::SCI_SETEXTRAASCENT, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETHSCROLLBAR, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETVSCROLLBAR, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTHTRACKING, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETSCROLLWIDTH, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETPASTECONVERTENDINGS, 1);
    e->SendScintilla(QsciScintillaBase::SCI_SETCARETFORE, QColor(Qt::black));
    e->setReadOnly(jenKeCteni);
}

// A change of the whole text at once: the text area sends no notification of
// it (its own handler would copy and convert the whole text several times),
// and the window refreshes what depends on the text afterwards.
class THromadnaZmena {
public:
    explicit THromadnaZmena(QsciScintilla* e)
        : e_(e), maska_(e->SendScintilla(QsciScintillaBase::SCI_GETMODEVENTMASK)), jenKeCteni_(e->isReadOnly()) {
        e_->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, 0L);
        e_->setReadOnly(false);
    }
    ~THromadnaZmena() {
        e_->setReadOnly(jenKeCteni_);
        e_->SendScintilla(QsciScintillaBase::SCI_SETMODEVENTMASK, maska_);
    }
    THromadnaZmena(const THromadnaZmena&) = delete;
    THromadnaZmena& operator=(const THromadnaZmena&) = delete;

private:
    QsciScintilla* e_;
    long maska_;
    bool jenKeCteni_;
};

}  // namespace

THlavniForm::THlavniForm(TRegistr& registr, QWidget* rodic)
    : QMainWindow(rodic), ui(std::make_unique<::Ui::THlavniForm>()), registr_(registr) {
    ui->setupUi(this);
    SouborTypu = CestaVychozichTypu();
    setAttribute(Qt::WA_DeleteOnClose, false);

    // Tool bar: the settings, language and About commands show their image only.
    for (QAction* a : {ui->aKonec, ui->aOtevrit, ui->aUlozit, ui->aZavest, ui->aPrecislovat,
                       ui->aOdstranit, ui->aNastaveni, ui->aJazyk, ui->aOAplikaci}) {
        a->setIconText(a->text());
        auto* tlacitko = qobject_cast<QToolButton*>(ui->ActionToolBar1->widgetForAction(a));
        if (!tlacitko) continue;
        const bool jenObrazek = a == ui->aNastaveni || a == ui->aJazyk || a == ui->aOAplikaci;
        tlacitko->setToolButtonStyle(jenObrazek ? Qt::ToolButtonIconOnly : Qt::ToolButtonTextBesideIcon);
    }
    ui->ActionToolBar1->setFixedHeight(27);
    ui->ActionToolBar1->setContextMenuPolicy(Qt::PreventContextMenu);

    connect(ui->aKonec, &QAction::triggered, this, &THlavniForm::aKonecExecute);
    connect(ui->aOtevrit, &QAction::triggered, this, &THlavniForm::aOtevritExecute);
    connect(ui->aUlozit, &QAction::triggered, this, &THlavniForm::aUlozitExecute);
    connect(ui->aZavest, &QAction::triggered, this, &THlavniForm::aZavestExecute);
    connect(ui->aPrecislovat, &QAction::triggered, this, &THlavniForm::aPrecislovatExecute);
    connect(ui->aOdstranit, &QAction::triggered, this, &THlavniForm::aOdstranitExecute);
    connect(ui->aNastaveni, &QAction::triggered, this, &THlavniForm::aNastaveniExecute);
    connect(ui->aJazyk, &QAction::triggered, this, &THlavniForm::aJazykExecute);
    connect(ui->aOAplikaci, &QAction::triggered, this, &THlavniForm::aOAplikaciExecute);

    // Numbering settings: 1..9999, defaults 5, 5, 9999.
    for (TSpinEdit* s : {ui->speZacitOd, ui->spePrirustek, ui->speMaximum}) {
        s->SetMinValue(1);
        s->SetMaxValue(9999);
    }
    ui->speZacitOd->SetValue(5);
    ui->spePrirustek->SetValue(5);
    ui->speMaximum->SetValue(9999);
    zvyrazneni_ = new TZvyrazneniVstupu(*Nastaveni, this);
    for (TSpinEdit* s : {ui->speZacitOd, ui->spePrirustek, ui->speMaximum}) zvyrazneni_->Sledovat(s);
    connect(ui->speMaximum, &TSpinEdit::Opusteno, this, &THlavniForm::speMaximumExit);

    NastavitEditor(ui->memProgram, false);
    NastavitEditor(ui->memPuvodni, true);
    // The commands' shortcuts win over the text area's own keys (Ctrl+Insert
    // copies and Ctrl+Delete deletes a word there by default).
    for (QAction* a : {ui->aKonec, ui->aOtevrit, ui->aUlozit, ui->aZavest, ui->aPrecislovat, ui->aOdstranit,
                       ui->aNastaveni, ui->aJazyk, ui->aOAplikaci}) {
        const QKeySequence zkratka = a->shortcut();
        if (zkratka.isEmpty()) continue;
        const int klavesa = int(zkratka[0].key()) | int(zkratka[0].keyboardModifiers());
        for (QsciScintilla* e : {ui->memProgram, ui->memPuvodni}) {
            while (QsciCommand* prikaz = e->standardCommands()->boundTo(klavesa)) {
                if (prikaz->key() == klavesa) prikaz->setKey(0);
                if (prikaz->alternateKey() == klavesa) prikaz->setAlternateKey(0);
            }
        }
    }
    // ... and over the spin edits' own (Copy, delete a word), whatever has the focus.
    new TPrednostZkratek(this, {ui->aKonec, ui->aOtevrit, ui->aUlozit, ui->aZavest, ui->aPrecislovat, ui->aOdstranit,
                                ui->aNastaveni, ui->aJazyk, ui->aOAplikaci});
    ui->memProgram->setContextMenuPolicy(Qt::ActionsContextMenu);
    ui->memProgram->addAction(ui->aOtevrit);
    ui->memPuvodni->setContextMenuPolicy(Qt::NoContextMenu);
    connect(ui->memProgram, &QsciScintilla::textChanged, this, &THlavniForm::memProgramChange);
    connect(ui->memProgram, &QsciScintilla::modificationChanged, this, &THlavniForm::memProgramChange);

    // Status bar: panel 0 takes what panel 1 (120 pixels) leaves.
    panel0_ = new QLabel(this);
    panel0_->setObjectName(QStringLiteral("StatusBar1Panel0"));
    panel1_ = new QLabel(this);
    panel1_->setObjectName(QStringLiteral("StatusBar1Panel1"));
    panel1_->setFixedWidth(120);
    prubeh_ = new QProgressBar(this);
    prubeh_->setObjectName(QStringLiteral("StatusBar1Prubeh"));
    prubeh_->setRange(0, 100);
    prubeh_->setMaximumWidth(200);
    prubeh_->setVisible(false);
    ui->StatusBar1->addWidget(panel0_, 1);
    ui->StatusBar1->addWidget(prubeh_);
    ui->StatusBar1->addPermanentWidget(panel1_);
    ui->StatusBar1->setSizeGripEnabled(true);

    resize(NavrhovaVelikost);
    move(0, 0);

    // FormCreate: the stored settings, then the bounds, whatever the reading did.
    NacistNastaveni();
    NastavitMeze();
    ui->speZacitOd->setFocus();
}

THlavniForm::~THlavniForm() = default;

QsciScintilla* THlavniForm::memProgram() const { return ui->memProgram; }
QsciScintilla* THlavniForm::memPuvodni() const { return ui->memPuvodni; }

bool THlavniForm::Zmeneno() const { return ui->memProgram->isModified(); }

void THlavniForm::NastavitIndexObrazku(int index) {
    indexObrazku_ = index;
    // Images 8 and 9 are both the Czech flag; 10.. the other languages in order.
    static const char* const vlajky[] = {"cz", "cz", "gb", "sk", "de", "fr", "es"};
    const int i = index - 8;
    if (i >= 0 && i < int(std::size(vlajky)))
        ui->aJazyk->setIcon(QIcon(QStringLiteral(":/flags/%1.svg").arg(QLatin1String(vlajky[i]))));
}

void THlavniForm::NastavitMeze() {
    const int maximum = ui->speMaximum->Value();
    for (TSpinEdit* s : {ui->speZacitOd, ui->spePrirustek}) {
        s->SetMaxValue(maximum);
        if (s->Value() > maximum) s->SetValue(maximum);
    }
}

void THlavniForm::speMaximumExit() { NastavitMeze(); }

// ---------------------------------------------------------------- first display

void THlavniForm::showEvent(QShowEvent* udalost) {
    QMainWindow::showEvent(udalost);
    PrizpusobitRamu();
    if (!formShowProbehl_ && !formShowNaplanovan_) {
        formShowNaplanovan_ = true;
        QMetaObject::invokeMethod(this, [this] { FormShow(); }, Qt::QueuedConnection);
    }
}

void THlavniForm::PrizpusobitRamu() {
    if (!ulozenaVelikost_ || isMaximized()) return;
    // The stored size is the outer size: the frame comes off once the window
    // system has told its size (on some desktops only after the window is
    // mapped); until then, and without any frame, nothing changes.
    const QSize ram = frameGeometry().size() - geometry().size();
    if (ram.isNull()) return;
    resize((*ulozenaVelikost_ - ram).expandedTo(minimumSize()));
    ulozenaVelikost_.reset();
}

bool THlavniForm::event(QEvent* udalost) {
    const bool vysledek = QMainWindow::event(udalost);
    if (udalost->type() == QEvent::Move || udalost->type() == QEvent::Resize) PrizpusobitRamu();
    return vysledek;
}

void THlavniForm::FormShow() {
    if (formShowProbehl_) return;
    formShowProbehl_ = true;
    // Each step runs even when the one before it failed: a language file that
    // cannot be read must not leave the file type list unloaded, since the
    // list is saved at exit and would replace the user's stored list.
    Chranene([this] { PrelozitAplikaci(); });
    Chranene([this] { NacistTypySouboru(NastaveniForm->livSoubory(), NacistZeSouboru); });
    ASCIIForm->Barvit = true;
    ASCIIForm->BarvaRadku = BarvaZvyrazneni;
    filtr_ = SestavitFiltr();
}

void THlavniForm::NacistTypySouboru(QTreeWidget* seznam, bool zeSouboru) {
    seznam->clear();
    const TNacteneTypy nactene = ::NacistTypySouboru(registr_, zeSouboru, SouborTypu);
    ulozitSeznam_ = !nactene.ChybaUloziste;
    if (nactene.ChybiSoubor) {
        Hlaseni->ZobrazitHlaseni(thVarovani, Q(rsNEDEFSOUBORY) + u'.', Q(rsVAROVANI));
        return;
    }
    for (const TTypSouboru& typ : nactene.Typy) {
        QStringList polozky;
        for (std::size_t i = 1; i < TTypSouboru::PocetPoli; ++i) polozky << Q(*typ.Pole()[i]);
        Retezce->PridatRadek(seznam, Q(typ.Nazev), polozky, -1);
    }
}

// ---------------------------------------------------------------- save state

void THlavniForm::memProgramChange() {
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
}

void THlavniForm::ObnovitStavUlozeni() {
    if (!stavUlozeniZnam_) return;  // white, without a hint, until the first change
    const bool zmeneno = Zmeneno();
    ui->shpStavUlozeni->NastavitBarvu(zmeneno ? QColor(255, 0, 0) : QColor(0, 128, 0));
    ui->shpStavUlozeni->setToolTip(Q(zmeneno ? rsNEULOZENO : rsULOZENO));
}

// ---------------------------------------------------------------- closing

void THlavniForm::aKonecExecute() { close(); }

bool THlavniForm::FormCloseQuery() {
    if (pruchodBezi_) return false;  // a pass first has to end
    if (!Zmeneno()) return true;
    const QString text = Q(rsULOZITSOUBOR) + u'\r' + u'"' + aktualniSoubor_ + u'"' + u'?';
    const int odpoved = Hlaseni->ZobrazitHlaseni(thDotaz, text, Q(rsPOTVRZENI));
    if (odpoved == Tlacitko::Storno) return false;
    if (odpoved == Tlacitko::Ano) {
        try {
            UlozitSoubor();
        } catch (...) {
            // The file could not be written: the window stays open, the program modified.
            ZobrazitVyjimku();
            return false;
        }
    }
    return true;
}

void THlavniForm::closeEvent(QCloseEvent* udalost) {
    if (!FormCloseQuery()) {
        udalost->ignore();
        return;
    }
    FormClose();
    udalost->accept();
}

void THlavniForm::FormClose() { UlozitNastaveni(); }

// ---------------------------------------------------------------- settings

void THlavniForm::NacistNastaveni() {
    std::u16string hodnota;
    try {
        if (!registr_.OtevritKlic(KlicNastaveni, false)) {
            NacistZeSouboru = !registr_.KlicExistuje(KlicTypuSouboru);
            return;
        }
        const auto existuje = [&](const char16_t* nazev) { return registr_.HodnotaExistuje(nazev); };
        if (existuje(u"Jazyk")) JazykXML->Jazyk = Q(registr_.CistRetezec(u"Jazyk"));
        if (existuje(u"IndexObrazku")) NastavitIndexObrazku(registr_.CistCislo(u"IndexObrazku"));
        const auto cislo = [&](const char16_t* nazev, TSpinEdit* s) {
            if (!existuje(nazev)) return;
            // A stored number is pulled into the control's range 1..9999.
            s->SetValue(std::clamp(registr_.CistCislo(nazev), 1, 9999));
        };
        cislo(u"PrvniBlok", ui->speZacitOd);
        cislo(u"Prirustek", ui->spePrirustek);
        cislo(u"MaximalniBlok", ui->speMaximum);
        // The two overflow buttons are one group: selecting one deselects the
        // other, deselecting one leaves the other as it is.
        const auto prepinac = [&](const char16_t* nazev, QRadioButton* r) {
            if (!existuje(nazev)) return;
            if (registr_.CistPriznak(nazev)) {
                r->setChecked(true);
            } else if (r->isChecked()) {
                const bool exkluzivni = r->autoExclusive();
                r->setAutoExclusive(false);
                r->setChecked(false);
                r->setAutoExclusive(exkluzivni);
            }
        };
        prepinac(u"CislovatOdZacatku", ui->rbtCislovatOdZacatku);
        prepinac(u"PonechatMaximum", ui->rbtPonechatMaximum);
        const auto priznak = [&](const char16_t* nazev, QCheckBox* c) {
            if (existuje(nazev)) c->setChecked(registr_.CistPriznak(nazev));
        };
        priznak(u"BlokPredZnakKomentare", ui->chkBlokPredKomentar);
        priznak(u"BlokPredZnakZacatku", ui->chkBlokPredProgram);
        priznak(u"BlokPredZnakKonce", ui->chkBlokPredKoncem);

        if (existuje(u"Maximalni") && registr_.CistPriznak(u"Maximalni")) {
            maximalizovat_ = true;
        } else {
            QPoint poloha = pos();
            QSize velikost = frameGeometry().size();
            bool mamVelikost = false;
            if (existuje(u"Vlevo")) poloha.setX(registr_.CistCislo(u"Vlevo"));
            if (existuje(u"Nahore")) poloha.setY(registr_.CistCislo(u"Nahore"));
            if (existuje(u"Vyska")) {
                velikost.setHeight(registr_.CistCislo(u"Vyska"));
                mamVelikost = true;
            }
            if (existuje(u"Sirka")) {
                velikost.setWidth(registr_.CistCislo(u"Sirka"));
                mamVelikost = true;
            }
            move(poloha);
            if (mamVelikost) {
                // The outer size; the window's frame is taken off once it is shown.
                ulozenaVelikost_ = velikost;
                resize(velikost.expandedTo(minimumSize()));
            }
        }
        NacistZeSouboru = !registr_.KlicExistuje(KlicTypuSouboru);
        registr_.ZavritKlic();
    } catch (const TChyba& e) {
        registr_.ZavritKlic();
        Hlaseni->ZobrazitHlaseni(thChyba, Q(rsNELZEZEREGISTRU) + QStringLiteral(".\r(") + Q(e.Zprava()) + QStringLiteral(".)"),
                                 Q(rsCHYBA));
    }
}

void THlavniForm::UlozitNastaveni() {
    // One batch: the settings and the file type list reach the store whole,
    // so that a program killed while closing never leaves half a list.
    registr_.ZacitDavku();
    try {
        // A key that cannot be created makes the first write fail with the reason.
        registr_.OtevritKlic(KlicNastaveni, true);
        registr_.ZapsatRetezec(u"Jazyk", U16(JazykXML->Jazyk));
        registr_.ZapsatCislo(u"IndexObrazku", indexObrazku_);
        registr_.ZapsatCislo(u"PrvniBlok", ui->speZacitOd->Value());
        registr_.ZapsatCislo(u"Prirustek", ui->spePrirustek->Value());
        registr_.ZapsatCislo(u"MaximalniBlok", ui->speMaximum->Value());
        registr_.ZapsatPriznak(u"CislovatOdZacatku", ui->rbtCislovatOdZacatku->isChecked());
        registr_.ZapsatPriznak(u"PonechatMaximum", ui->rbtPonechatMaximum->isChecked());
        registr_.ZapsatPriznak(u"BlokPredZnakKomentare", ui->chkBlokPredKomentar->isChecked());
        registr_.ZapsatPriznak(u"BlokPredZnakZacatku", ui->chkBlokPredProgram->isChecked());
        registr_.ZapsatPriznak(u"BlokPredZnakKonce", ui->chkBlokPredKoncem->isChecked());
        registr_.ZapsatPriznak(u"Maximalni", isMaximized());
        if (!isMaximized()) {
            const QRect ram = frameGeometry();
            registr_.ZapsatCislo(u"Vlevo", ram.x());
            registr_.ZapsatCislo(u"Nahore", ram.y());
            registr_.ZapsatCislo(u"Vyska", ram.height());
            registr_.ZapsatCislo(u"Sirka", ram.width());
        }
        registr_.ZavritKlic();

        std::vector<TTypSouboru> typy;
        QTreeWidget* seznam = NastaveniForm->livSoubory();
        for (int i = 0; i < seznam->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* radek = seznam->topLevelItem(i);
            TTypSouboru typ;
            const auto pole = typ.Pole();
            for (std::size_t k = 0; k < TTypSouboru::PocetPoli; ++k) *pole[k] = U16(radek->text(int(k)));
            typy.push_back(std::move(typ));
        }
        // A list that could not be read from the store at start-up (and was
        // not changed since) is not written over the stored one.
        if (ulozitSeznam_) UlozitTypySouboru(registr_, typy);
        registr_.DokoncitDavku();
    } catch (const TChyba& e) {
        registr_.ZavritKlic();
        try {
            // What was written before the failure still reaches the store.
            registr_.DokoncitDavku();
        } catch (const TChyba&) {
            // The failure already being reported covers it.
        }
        Hlaseni->ZobrazitHlaseni(thChyba, Q(rsNELZEDOREGISTRU) + QStringLiteral(".\r(") + Q(e.Zprava()) + QStringLiteral(".)"),
                                 Q(rsCHYBA));
    }
}

// ---------------------------------------------------------------- open and save

QString THlavniForm::SestavitFiltr() const {
    QString filtr;
    const QTreeWidget* seznam = NastaveniForm->livSoubory();
    const int pocet = seznam->topLevelItemCount();
    for (int i = 0; i < pocet; ++i) {
        const QTreeWidgetItem* radek = seznam->topLevelItem(i);
        // A "|" inside a name or an extension would shift every later entry.
        const QString pripona = QString(radek->text(1)).replace(u'|', u'/');
        const QString nazev = QString(radek->text(0)).replace(u'|', u'/');
        filtr += nazev + QStringLiteral(" (*") + pripona + QStringLiteral(")|*") + pripona;
        if (i + 1 < pocet) filtr += u'|';
    }
    return filtr;
}

QString THlavniForm::ZkratitCestu(const QString& cesta, const QFont& pismo, int sirka) {
    const QFontMetrics miry(pismo);
    QString vysledek = cesta;
    // Both separators count, so that paths of either platform are fitted.
    QString c = cesta;
    c.replace(u'/', u'\\');
    const qsizetype posledni = c.lastIndexOf(u'\\');
    QString d = c.left(posledni + 1);
    const QString n = c.mid(posledni + 1);
    QString v;
    if (d.size() >= 2 && d[1] == u':') {
        v = d.left(2);
        d.remove(0, 2);
    }
    const auto zpet = [&](QString s) {
        // Shown with the separator the path came with.
        if (!cesta.contains(u'\\')) s.replace(u'\\', u'/');
        return s;
    };
    while ((!d.isEmpty() || !v.isEmpty()) && miry.horizontalAdvance(vysledek) > sirka) {
        if (d == u"\\...\\") {
            v.clear();
            d = QStringLiteral("...\\");
        } else if (d.isEmpty()) {
            v.clear();
        } else if (d == u"\\") {
            d.clear();
        } else {
            const bool lomitko = d.startsWith(u'\\');
            if (lomitko) d.remove(0, 1);
            if (d.startsWith(u'.')) d.remove(0, 4);
            const qsizetype p = d.indexOf(u'\\');
            if (p >= 0) {
                d = QStringLiteral("...\\") + d.mid(p + 1);
            } else {
                d.clear();
            }
            if (lomitko) d.prepend(u'\\');
        }
        vysledek = zpet(v + d + n);
    }
    return vysledek;
}

QString THlavniForm::TextStatistiky() const {
    const TStatistiky s =
        SpocitatStatistiky(TextEditoru(ui->memProgram), U16(aktivniTyp_.HlavniZnak), U16(aktivniTyp_.VedlejsiZnak));
    return Q(::TextStatistiky(s.Radku, s.Znaku, s.Bloku));
}

TRadky THlavniForm::RadkyProgramu(bool& koncovyZlom) const {
    TRadky radky;
    RozdelitBajtyNaRadky(TextEditoru(ui->memProgram), TKodovani::Utf8, radky, koncovyZlom);
    return radky;
}

void THlavniForm::NacistDoEditoru(QsciScintilla* editor, std::string_view utf8) {
    // Read-only, code page and line breaks belong to the document: the new one gets them again.
    const bool jenKeCteni = editor->isReadOnly();
    {
        // A fresh document without style bytes (the text areas have no lexer),
        // with room for the whole text.
        const long dokument = editor->SendScintilla(QsciScintillaBase::SCI_CREATEDOCUMENT,
                                                    static_cast<unsigned long>(utf8.size()), 0x1L /* SC_DOCUMENTOPTION_STYLES_NONE */);
        editor->SendScintilla(QsciScintillaBase::SCI_SETDOCPOINTER, 0UL, dokument);
        editor->SendScintilla(QsciScintillaBase::SCI_RELEASEDOCUMENT, 0UL, dokument);
        editor->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, QsciScintillaBase::SC_CP_UTF8);
        editor->SendScintilla(QsciScintillaBase::SCI_SETEOLMODE, QsciScintillaBase::SC_EOL_CRLF);
        const THromadnaZmena zmena(editor);
        editor->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 0);
        ZajistitMisto(editor, utf8.size());
        // Appended with its length, so that NUL characters stay in the text.
        editor->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(utf8.size()),
                              utf8.data());
        editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
        editor->SendScintilla(QsciScintillaBase::SCI_SETUNDOCOLLECTION, 1);
        editor->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
        editor->SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0);
    }
    editor->setReadOnly(jenKeCteni);
    if (editor == ui->memProgram) memProgramChange();
}

void THlavniForm::aOtevritExecute() {
    Chranene([this] { OtevritSoubor(); });
}

void THlavniForm::OtevritSoubor() {
    if (pruchodBezi_) return;
    if (Zmeneno()) {
        const QString text = Q(rsULOZITSOUBOR) + u'\r' + u'"' + aktualniSoubor_ + u'"' + u'?';
        if (Hlaseni->ZobrazitHlaseni(thDotaz, text, Q(rsPOTVRZENI)) == Tlacitko::Ano) UlozitSoubor();
    }
    const auto volba = Modalni::OtevritSoubor(this, filtr_, poziceFiltru_,
                                              nabizenySoubor_.isEmpty() ? aktualniSoubor_ : nabizenySoubor_);
    if (!volba) return;
    // The dialog keeps what was chosen, also when the file then cannot be read.
    nabizenySoubor_ = volba->Soubor;
    poziceFiltru_ = volba->PoziceFiltru;

    const QString cesta = QFileInfo(volba->Soubor).absoluteFilePath();
    // The whole file is read before anything shown changes: a file that cannot
    // be read leaves the document, its name and the file type as they were.
    const TTextEditoru text = TextProEditor(NacistBajty(std::filesystem::path(cesta.toStdU16String())));

    NacistDoEditoru(ui->memProgram, text.Utf8);
    NacistDoEditoru(ui->memPuvodni, text.Utf8);
    aktualniSoubor_ = cesta;
    kodovaniSouboru_ = text.Kodovani;
    ui->lblSoubor->setText(ZkratitCestu(QDir::toNativeSeparators(cesta), ui->lblSoubor->font(),
                                        ui->lblSoubor->width()));

    // The row at the chosen filter position; a position past the list, or an
    // empty list, gives a file type without characters and markers.
    const QTreeWidget* seznam = NastaveniForm->livSoubory();
    const QTreeWidgetItem* radek =
        poziceFiltru_ >= 1 && poziceFiltru_ <= seznam->topLevelItemCount() ? seznam->topLevelItem(poziceFiltru_ - 1)
                                                                          : nullptr;
    aktivniTyp_ = radek ? TAktivniTypSouboru{radek->text(2), radek->text(3), radek->text(4), radek->text(5),
                                             radek->text(6)}
                        : TAktivniTypSouboru{};

    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    panel0_->setText(TextStatistiky());
    panel1_->setText(radek ? radek->text(0) : QString());
}

void THlavniForm::aUlozitExecute() {
    Chranene([this] { UlozitSoubor(); });
}

void THlavniForm::UlozitSoubor() {
    if (pruchodBezi_) return;
    if (aktualniSoubor_.isEmpty()) {
        Hlaseni->ZobrazitHlaseni(thChyba, Q(ZpravaNeniSoubor()), Q(rsCHYBA));
        return;
    }
    const std::string_view text = TextEditoru(ui->memProgram);
    const TKodovani pozadovane = KodovaniProZapis(kodovaniSouboru_);
    const std::filesystem::path soubor(aktualniSoubor_.toStdU16String());
    TKodovani pouzite = pozadovane;
    if (pozadovane == TKodovani::Utf8 && JePlatneUtf8(text)) {
        // The text area holds the bytes to write.
        ZapsatSouborAtomicky(soubor, text);
    } else {
        std::string bajty;
        pouzite = ZakodovatUtf8Text(bajty, text, pozadovane);
        ZapsatSouborAtomicky(soubor, bajty);
    }
    ui->memProgram->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    if (pouzite != pozadovane) {
        // The program is read in the new encoding from now on.
        kodovaniSouboru_ = pouzite;
        Hlaseni->ZobrazitHlaseni(
            thInformace,
            QStringLiteral("Program obsahuje znaky, které kódování %1 neumí zapsat.\rSoubor byl proto "
                           "uložen v kódování %2.")
                .arg(QLatin1String(NazevKodovani(pozadovane)), QLatin1String(NazevKodovani(pouzite))),
            Q(rsINFORMACE));
    }
}

// ---------------------------------------------------------------- block commands

bool THlavniForm::ProgramOtevren() {
    if (!aktualniSoubor_.isEmpty()) return true;
    Hlaseni->ZobrazitHlaseni(thChyba, Q(ZpravaNeniSoubor()), Q(rsCHYBA));
    return false;
}

void THlavniForm::NahraditProgram(TRadky& radky, bool koncovyZlom) {
    QsciScintilla* e = ui->memProgram;
    std::size_t odhad = 0;
    for (const auto& r : radky) odhad += r.size() + 2;
    {
        const THromadnaZmena zmena(e);
        ZajistitMisto(e, odhad);
        // One undo step gives back the program as it was before the command.
        e->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
        e->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
        // The lines go in piece by piece, each released once it is in, so that
        // no second copy of the whole program is made.
        std::string kus;
        const auto vlozit = [&] {
            e->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(kus.size()), kus.data());
            kus.clear();
        };
        for (std::size_t i = 0; i < radky.size(); ++i) {
            PripojitUtf8(kus, radky[i]);
            std::u16string().swap(radky[i]);
            if (i + 1 < radky.size() || koncovyZlom) kus += "\r\n";
            if (kus.size() >= (1u << 20)) vlozit();
        }
        vlozit();
        e->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
    }
    memProgramChange();
}

void THlavniForm::NahraditText(long od, long po, std::string_view utf8) {
    QsciScintilla* e = ui->memProgram;
    {
        const THromadnaZmena zmena(e);
        ZajistitMisto(e, static_cast<std::size_t>(e->SendScintilla(QsciScintillaBase::SCI_GETLENGTH) - (po - od)) +
                             utf8.size());
        // One undo step gives back the program as it was before the command.
        e->SendScintilla(QsciScintillaBase::SCI_BEGINUNDOACTION);
        e->SendScintilla(QsciScintillaBase::SCI_SETTARGETSTART, od);
        e->SendScintilla(QsciScintillaBase::SCI_SETTARGETEND, po);
        e->SendScintilla(QsciScintillaBase::SCI_REPLACETARGET, static_cast<unsigned long>(utf8.size()),
                         utf8.data());
        e->SendScintilla(QsciScintillaBase::SCI_ENDUNDOACTION);
    }
    memProgramChange();
}

void THlavniForm::ZkontrolovatCisla() {
    // Typed values are checked as on leaving the control, also when the
    // command comes from a shortcut or a tool button that takes no focus.
    for (TSpinEdit* s : {ui->speZacitOd, ui->spePrirustek, ui->speMaximum}) s->Zkontrolovat();
    NastavitMeze();
}

std::uint32_t THlavniForm::Cislo(const TSpinEdit* s) {
    // Never 0 and never above 9999, whatever the text holds.
    return static_cast<std::uint32_t>(std::clamp(s->Value(), 1, 9999));
}

void THlavniForm::AktualizovatStavovyRadek(std::uint8_t procenta) {
    panel0_->setText(QString::number(procenta) + u'%');
    panel0_->setText(TextStatistiky());
}

void THlavniForm::aZavestExecute() {
    Chranene([this] {
        if (pruchodBezi_ || !ProgramOtevren()) return;
        bool zlom = false;
        TRadky radky = RadkyProgramu(zlom);
        const auto n = CNCFile->PocetBloku(radky, U16(aktivniTyp_.HlavniZnak), U16(aktivniTyp_.VedlejsiZnak));
        if (n > 0) {
            Hlaseni->ZobrazitHlaseni(thVarovani, Q(ZpravaBlokyJsou(n)), Q(rsVAROVANI));
            return;
        }
        ZkontrolovatCisla();
        std::uint8_t procenta = 0;
        try {
            procenta = CNCFile->ZavestBloky(
                radky, U16(aktivniTyp_.Zacatek), U16(aktivniTyp_.Konec), U16(aktivniTyp_.Komentar),
                Cislo(ui->speZacitOd), Cislo(ui->spePrirustek), Cislo(ui->speMaximum),
                ui->chkBlokPredProgram->isChecked(),
                ui->chkBlokPredKoncem->isChecked(), ui->chkBlokPredKomentar->isChecked(),
                U16(aktivniTyp_.VedlejsiZnak), ui->rbtCislovatOdZacatku->isChecked());
        } catch (...) {
            // The lines processed so far replace the program (one undo step).
            NahraditProgram(radky, zlom);
            throw;
        }
        NahraditProgram(radky, zlom);
        AktualizovatStavovyRadek(procenta);
    });
}

void THlavniForm::aOdstranitExecute() {
    Chranene([this] {
        if (pruchodBezi_ || !ProgramOtevren()) return;
        bool zlom = false;
        TRadky radky = RadkyProgramu(zlom);
        const auto n = CNCFile->PocetBloku(radky, U16(aktivniTyp_.HlavniZnak), U16(aktivniTyp_.VedlejsiZnak));
        if (n == 0) {
            Hlaseni->ZobrazitHlaseni(thInformace, Q(ZpravaNeniCoOdstranit()), Q(rsINFORMACE));
            return;
        }
        std::uint8_t procenta = 0;
        try {
            procenta = CNCFile->OdstranitBloky(radky, U16(aktivniTyp_.HlavniZnak), U16(aktivniTyp_.VedlejsiZnak));
        } catch (...) {
            NahraditProgram(radky, zlom);
            throw;
        }
        NahraditProgram(radky, zlom);
        AktualizovatStavovyRadek(procenta);
    });
}

void THlavniForm::aPrecislovatExecute() {
    Chranene([this] {
        if (pruchodBezi_ || !ProgramOtevren()) return;
        QsciScintilla* e = ui->memProgram;
        ZkontrolovatCisla();
        const auto prvni = Cislo(ui->speZacitOd);
        const auto prirustek = Cislo(ui->spePrirustek);
        const auto maximum = Cislo(ui->speMaximum);
        const bool odZacatku = ui->rbtCislovatOdZacatku->isChecked();
        const std::u16string hlavni = U16(aktivniTyp_.HlavniZnak), vedlejsi = U16(aktivniTyp_.VedlejsiZnak);
        const std::u16string zacatek = U16(aktivniTyp_.Zacatek);

        const long zacatekVyberu = e->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
        const long konecVyberu = e->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
        if (konecVyberu - zacatekVyberu < 1) {
            bool zlom = false;
            TRadky radky = RadkyProgramu(zlom);
            if (CNCFile->PocetBloku(radky, hlavni, vedlejsi) == 0) {
                Hlaseni->ZobrazitHlaseni(thInformace, Q(ZpravaBlokyNejsou()), Q(rsINFORMACE));
                return;
            }
            std::uint8_t procenta = 0;
            try {
                procenta = CNCFile->PrecislovatBloky(radky, prvni, prirustek, maximum, zacatek, hlavni, vedlejsi,
                                                     odZacatku);
            } catch (...) {
                NahraditProgram(radky, zlom);
                throw;
            }
            NahraditProgram(radky, zlom);
            AktualizovatStavovyRadek(procenta);
            return;
        }

        // The selection becomes a temporary list of its own lines; a line break
        // at its very end opens no further line.
        const std::string_view cely = TextEditoru(e);
        const std::string_view vybrany =
            cely.substr(std::size_t(zacatekVyberu), std::size_t(konecVyberu - zacatekVyberu));
        TRadky docasny;
        bool zlom = false;
        RozdelitBajtyNaRadky(vybrany, TKodovani::Utf8, docasny, zlom);
        // Written back with CR LF after every line, the last one included.
        const auto zapsatZpet = [&] { NahraditText(zacatekVyberu, konecVyberu, Utf8SCrLf(docasny, true)); };
        if (CNCFile->PocetBloku(docasny, hlavni, vedlejsi) == 0) {
            Hlaseni->ZobrazitHlaseni(thInformace, Q(ZpravaBlokyNejsouVybrane()), Q(rsINFORMACE));
            zapsatZpet();
            return;
        }
        std::uint8_t procenta = 0;
        try {
            procenta = CNCFile->PrecislovatBloky(docasny, prvni, prirustek, maximum, zacatek, hlavni, vedlejsi,
                                                 odZacatku);
        } catch (...) {
            zapsatZpet();
            throw;
        }
        zapsatZpet();
        AktualizovatStavovyRadek(procenta);
    });
}

// ---------------------------------------------------------------- long passes

void THlavniForm::PovolitPrikazy(bool povolit) {
    for (QAction* a : {ui->aOtevrit, ui->aUlozit, ui->aZavest, ui->aPrecislovat, ui->aOdstranit, ui->aNastaveni,
                       ui->aJazyk, ui->aOAplikaci, ui->aKonec})
        a->setEnabled(povolit);
    ui->memProgram->setReadOnly(!povolit);
}

void THlavniForm::ZacitPruchod() {
    pruchodBezi_ = true;
    zacatekPruchodu_ = QDateTime::currentMSecsSinceEpoch();
    posledniObsluha_ = zacatekPruchodu_;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    PovolitPrikazy(false);
}

void THlavniForm::PrubehPruchodu(std::size_t hotovo, std::size_t celkem) {
    // Serve the window about every 30 ms, not after every line.
    if ((hotovo & 0x3FF) != 0 && hotovo != celkem) return;
    const qint64 ted = QDateTime::currentMSecsSinceEpoch();
    if (ted - posledniObsluha_ < 30) return;
    posledniObsluha_ = ted;
    if (ted - zacatekPruchodu_ > 200) {
        prubeh_->setVisible(true);
        prubeh_->setValue(celkem ? int(100 * hotovo / celkem) : 0);
    }
    QCoreApplication::processEvents();
}

void THlavniForm::UkoncitPruchod() {
    prubeh_->setVisible(false);
    PovolitPrikazy(true);
    // The default cursor, whatever was set before the pass.
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    pruchodBezi_ = false;
    QApplication::beep();
}

// ---------------------------------------------------------------- other commands

void THlavniForm::aNastaveniExecute() {
    Chranene([this] {
        if (pruchodBezi_) return;
        Modalni::Dialog(*NastaveniForm);
        ulozitSeznam_ = true;  // the list is the user's now
        // The filter follows the list whichever way the dialog closed, so that
        // a filter entry never points at a row that is not there.
        filtr_ = SestavitFiltr();
        const int radku = NastaveniForm->livSoubory()->topLevelItemCount();
        if (poziceFiltru_ > radku) poziceFiltru_ = radku > 0 ? radku : 1;
    });
}

void THlavniForm::aOAplikaciExecute() {
    Chranene([this] {
        if (pruchodBezi_) return;
        Modalni::Dialog(*OAplikaciForm);
    });
}
