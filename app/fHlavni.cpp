#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/ObecnaChyba.h"
#include "ui/Nastaveni.h"
#include "filetypes/SeznamTypu.h"
#include "ui/fASCII.h"
#include "ui/fNastaveni.h"
#include "katalog/Zpravy.h"
#include "katalog/convar.h"
#include "platform/SlozkyDat.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"
#include "ui/Porovnani.h"
#include "ui/Prvky.h"
#include "ui/fOAplikaci.h"

#include <QAction>
#include <QMenu>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QProgressBar>
#include <QProxyStyle>
#include <QScreen>
#include <QStatusBar>
#include <QToolButton>

THlavniForm* HlavniForm = nullptr;
TCNCFile* CNCFile = nullptr;

namespace {

// The lines of references listed in a message box, at most.
constexpr std::size_t RadkuVeZprave = 10;

// The separators of the tool bar, 4 pixels wide where the style draws 6: the
// arrow of the open button (the recent programs) takes that room, and the
// tool bar holds its buttons at the window's least width in every language.
class TUzkeOddelovace : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metrika, const QStyleOption* volba, const QWidget* prvek) const override {
        return metrika == PM_ToolBarSeparatorExtent ? 4 : QProxyStyle::pixelMetric(metrika, volba, prvek);
    }
};

// The window's client size at the first start: room for about 34 lines of a
// program of 100 columns, within the screen (less its frame) and never below
// the design's 632 x 446 (the outer minimum 640 x 480 leaves that inside).
QSize VelikostPrvnihoStartu(const QSize& minimum) {
    QSize velikost(980, 840);
    if (const QScreen* obrazovka = QGuiApplication::primaryScreen())
        velikost = velikost.boundedTo(obrazovka->availableGeometry().size() - QSize(16, 48));
    return velikost.expandedTo(minimum);
}

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The lines of a UTF-8 text, each with CR LF after it (a break at the very
// end opens no further line).
std::string RadkySCrLf(std::string_view text) {
    std::string v;
    v.reserve(text.size() + 2);
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t konec = cnc::KonecRadku(text, i);
        v += text.substr(i, konec - i);
        v += "\r\n";
        if (konec == text.size()) break;
        i = cnc::ZaZlomem(text, konec);
    }
    return v;
}

}  // namespace

THlavniForm::THlavniForm(TRegistr& registr, QWidget* rodic)
    : QMainWindow(rodic), ui(std::make_unique<::Ui::THlavniForm>()), registr_(registr) {
    ui->setupUi(this);
    SouborTypu = CestaVychozichTypu();
    SlozkyDat = ::SlozkyDat();
    setAttribute(Qt::WA_DeleteOnClose, false);

    // Tool bar: the settings, language and About commands show their image only.
    QList<QKeySequence> zkratky;
    for (QAction* a : Prikazy()) {
        a->setIconText(a->text());
        zkratky << a->shortcut();
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
    connect(ui->aUlozitJako, &QAction::triggered, this, &THlavniForm::aUlozitJakoExecute);
    connect(ui->aPrejit, &QAction::triggered, this, &THlavniForm::aPrejitExecute);
    connect(ui->aZavest, &QAction::triggered, this, &THlavniForm::aZavestExecute);
    connect(ui->aPrecislovat, &QAction::triggered, this, &THlavniForm::aPrecislovatExecute);
    connect(ui->aOdstranit, &QAction::triggered, this, &THlavniForm::aOdstranitExecute);
    connect(ui->aNastaveni, &QAction::triggered, this, &THlavniForm::aNastaveniExecute);
    connect(ui->aJazyk, &QAction::triggered, this, &THlavniForm::aJazykExecute);
    connect(ui->aOAplikaci, &QAction::triggered, this, &THlavniForm::aOAplikaciExecute);

    zvyrazneni_ = new TZvyrazneniVstupu(*Nastaveni, this);
    PripravitOvladaceNastaveni();
    connect(ui->speMaximum, &TSpinEdit::Opusteno, this, &THlavniForm::speMaximumExit);
    PrelozitPrepinacOdkazu();

    ui->memPuvodni->NastavitJenKeCteni();
    ui->memProgram->NastavitPuvodni(ui->memPuvodni);
    // The commands' shortcuts win over the text areas' own keys.
    for (TEditorProgramu* e : {ui->memProgram, ui->memPuvodni}) e->UvolnitKlavesy(zkratky);
    // ... and over the spin edits' own (Copy, delete a word), whatever has the focus.
    const auto prikazy = Prikazy();
    new TPrednostZkratek(this, QList<QAction*>(prikazy.begin(), prikazy.end()));
    ui->memPuvodni->setContextMenuPolicy(Qt::NoContextMenu);
    connect(ui->memProgram, &QsciScintilla::textChanged, this, &THlavniForm::memProgramChange);
    connect(ui->memProgram, &QsciScintilla::modificationChanged, this, &THlavniForm::memProgramChange);
    connect(ui->memProgram, &TEditorProgramu::TextNahrazen, this, &THlavniForm::memProgramChange);
    // A program file dropped anywhere on the window opens; the text areas
    // keep taking dragged text.
    setAcceptDrops(true);
    for (TEditorProgramu* e : {ui->memProgram, ui->memPuvodni}) e->viewport()->installEventFilter(this);

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
    PripravitNabidky();
    // The text area's long steps serve the window while it works.
    ui->memProgram->NastavitObsluhu([this] { ObslouzitPraci(); });
    ui->memPuvodni->NastavitObsluhu([this] { ObslouzitPraci(); });

    resize(VelikostPrvnihoStartu(minimumSize()));
    move(0, 0);

    // FormCreate: the stored settings, then the bounds, whatever the reading did.
    NacistNastaveni();
    NastavitMeze();
    // The program has the focus: the arrow keys scroll it, and never change a
    // numbering setting that the user does not look at.
    ui->memProgram->setFocus();
}

THlavniForm::~THlavniForm() = default;

std::array<QAction*, 18> THlavniForm::Prikazy() const {
    return {ui->aKonec,      ui->aOtevrit,     ui->aUlozit,      ui->aZavest,          ui->aPrecislovat,
            ui->aOdstranit,  ui->aNastaveni,   ui->aJazyk,       ui->aOAplikaci,       ui->aUlozitJako,
            ui->aPrejit,     ui->aNajit,       ui->aNahradit,    ui->aNajitDalsi,      ui->aNajitPredchozi,
            ui->aDalsiZmena, ui->aPredchoziZmena, ui->aPorovnat};
}

void THlavniForm::PripravitNabidky() {
    // The recent programs: the open button's drop-down and a submenu of the
    // text area's context menu (the menu key from the keyboard).
    menuPoslednich_ = new QMenu(this);
    menuPoslednich_->setObjectName(QStringLiteral("menuPoslednich"));
    ui->aPosledni->setMenu(menuPoslednich_);
    // A click on the arrow beside the open button shows them (held down, the button too).
    if (auto* tlacitko = qobject_cast<QToolButton*>(ui->ActionToolBar1->widgetForAction(ui->aOtevrit))) {
        tlacitko->setMenu(menuPoslednich_);
        tlacitko->setPopupMode(QToolButton::MenuButtonPopup);
    }
    auto* styl = new TUzkeOddelovace;
    styl->setParent(ui->ActionToolBar1);
    ui->ActionToolBar1->setStyle(styl);
    for (QAction* a : ui->ActionToolBar1->actions())
        if (a->isSeparator())
            if (QWidget* oddelovac = ui->ActionToolBar1->widgetForAction(a)) oddelovac->setStyle(styl);
    // Save as and go to block are no tool bar buttons: their shortcuts are the window's.
    addActions({ui->aUlozitJako, ui->aPrejit});
    PripravitMenuEditoru();
    ObnovitMenuPoslednich();
}

TEditorProgramu* THlavniForm::memProgram() const { return ui->memProgram; }
TEditorProgramu* THlavniForm::memPuvodni() const { return ui->memPuvodni; }

bool THlavniForm::Zmeneno() const { return ui->memProgram->Zmeneno(); }

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
    // Back in the window: has another program changed the file meanwhile?
    if (udalost->type() == QEvent::WindowActivate) NaplanovatKontroluZvenku();
    return vysledek;
}

void THlavniForm::FormShow() {
    if (formShowProbehl_) return;
    formShowProbehl_ = true;
    // Each step runs even when the one before it failed: a language file that
    // cannot be read must not leave the file type list unloaded, since the
    // list is saved at exit and would replace the user's stored list.
    Chranene([this] { PrelozitAplikaci(); });
    Chranene([this] { NacistTypySouboru(NacistZeSouboru); });
    ASCIIForm->Barvit = true;
    ASCIIForm->BarvaRadku = BarvaZvyrazneni;
    filtr_ = SestavitFiltr();
    // The program of the command line, once the file types are there.
    if (!SouborPriStartu.isEmpty()) OtevritPredany(SouborPriStartu);
}

void THlavniForm::NacistTypySouboru(bool zeSouboru) {
    NastaveniForm->NastavitTypy({});
    const TNacteneTypy nactene = ::NacistTypySouboru(registr_, zeSouboru, SouborTypu);
    // A list the store could not give (unreadable, or damaged and without a
    // list) is not written over the store at exit unless the user changes it:
    // another copy may have saved a good list meanwhile.
    ulozitSeznam_ = !nactene.ChybaUloziste && !(zeSouboru && registr_.Poskozeni());
    if (nactene.ChybiSoubor) {
        Hlaseni->ZobrazitHlaseni(thVarovani, Q(rsNEDEFSOUBORY) + u'.', Q(rsVAROVANI));
        return;
    }
    NastaveniForm->NastavitTypy(nactene.Typy);
}

// ---------------------------------------------------------------- save state

void THlavniForm::memProgramChange() {
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    NaplanovatStatistiky();
}

void THlavniForm::ObnovitStavUlozeni() {
    ObnovitTitulek();
    if (!stavUlozeniZnam_) return;  // white, without a hint, until the first change
    const bool zmeneno = Zmeneno();
    ui->shpStavUlozeni->NastavitBarvu(zmeneno ? QColor(255, 0, 0) : QColor(0, 128, 0));
    ui->shpStavUlozeni->setToolTip(Q(zmeneno ? rsNEULOZENO : rsULOZENO));
}

// ---------------------------------------------------------------- closing

void THlavniForm::aKonecExecute() { close(); }

bool THlavniForm::FormCloseQuery() {
    if (pruchodBezi_) return false;  // a pass first has to end
    try {
        return MoznaUlozit();
    } catch (...) {
        // The file could not be written: the window stays open, the program modified.
        ZobrazitVyjimku();
        return false;
    }
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

// ---------------------------------------------------------------- block commands

bool THlavniForm::PrikazMuzeBezet() {
    if (pruchodBezi_) return false;
    if (!aktualniSoubor_.isEmpty()) return true;
    Hlaseni->ZobrazitHlaseni(thChyba, Q(ZpravaNeniSoubor()), Q(rsCHYBA));
    return false;
}

TUlozeneNastaveni THlavniForm::CislovaniPrikazu() {
    // Typed values are checked as on leaving the control, also when the
    // command comes from a shortcut or a tool button that takes no focus.
    for (TSpinEdit* s : CiselneOvladace()) s->Zkontrolovat();
    NastavitMeze();
    return NastaveniOvladacu();
}

std::optional<TPrikazNadTextem::TVyber> THlavniForm::VyberPrikazu() const {
    const TEditorProgramu::TUsek usek = ui->memProgram->Vyber();
    if (usek.Po <= usek.Od) return std::nullopt;
    return TPrikazNadTextem::TVyber{usek.Od, usek.Po, RadkyVyberu(usek)};
}

void THlavniForm::ProvestPruchod(const TPrikazNadTextem& prikaz, TPrubeh& prubeh,
                                 const std::optional<TPrikazNadTextem::TVyber>& vyber) {
    TEditorProgramu& e = *ui->memProgram;
    TEditorProgramu::TNovyText novy(e, prikaz.Odhad());
    const auto nahradit = [&] {
        e.Nahradit(novy, vyber ? std::optional(TEditorProgramu::TUsek{prikaz.ZacatekVyberu(), prikaz.KonecVyberu()}) : std::nullopt);
    };
    std::uint8_t procenta = 0;
    try {
        procenta = prikaz.Zapsat([&](std::string_view kus) { novy.Pridat(kus); }, prubeh);
    } catch (...) {
        // What the pass wrote, and the rest as it was, replace the text (one undo step).
        nahradit();
        throw;
    }
    nahradit();
    AktualizovatStavovyRadek(procenta);
}

void THlavniForm::SpustitPrikaz(TPrikazProgramu druh) {
    Chranene([&] {
        if (!PrikazMuzeBezet()) return;
        const TZadaniPrikazu zadani{druh, typ_, CislovaniPrikazu()};
        // Renumbering takes only the selected lines when there is a selection.
        const std::optional<TPrikazNadTextem::TVyber> vyber =
            druh == TPrikazProgramu::Precislovat ? VyberPrikazu() : std::nullopt;
        // Both passes are one work: the progress shows from the first.
        std::optional<TPrace> prace(std::in_place, *this);
        const TPrikazNadTextem prikaz(zadani, ui->memProgram->Utf8(), vyber,
                                      [this](std::size_t hotovo, std::size_t celkem) { PrubehPrace(hotovo, celkem); });
        if (const std::optional<THlaseniPrikazu>& odmitnuti = prikaz.Posudek().Odmitnuti) {
            prace.reset();
            if (odmitnuti->Druh == TDruhHlaseni::Dotaz) {
                // Removing numbers that references name: only when the user agrees.
                if (Hlaseni->ZobrazitHlaseni(thDotaz, Q(odmitnuti->Text + u'\r' + odmitnuti->Otazka),
                                             Q(rsPOTVRZENI)) != Tlacitko::Ano)
                    return;
                prace.emplace(*this);
            } else {
                Ohlasit(*odmitnuti);
                // A selection is written back all the same.
                if (vyber) VratitVyber({vyber->Od, vyber->Po});
                return;
            }
        }
        ProvestPruchod(prikaz, CNCFile->Prubeh(), vyber);
        prace.reset();
        // After removing, the user has just been asked about the references.
        if (druh != TPrikazProgramu::Odstranit)
            if (const auto hlaseni = prikaz.HlaseniOdkazu(RadkuVeZprave)) OhlasitSOdkazy(*hlaseni);
    });
}

void THlavniForm::Ohlasit(const THlaseniPrikazu& h) {
    const TTypHlaseni druh = h.Druh == TDruhHlaseni::Varovani ? thVarovani : thInformace;
    Hlaseni->ZobrazitHlaseni(druh, Q(h.Text), Q(h.Titulek));
}

void THlavniForm::VratitVyber(TEditorProgramu::TUsek vyber) {
    TEditorProgramu& e = *ui->memProgram;
    const std::string_view text = e.Utf8();
    const std::string usek = RadkySCrLf(text.substr(vyber.Od, vyber.Po - vyber.Od));
    TEditorProgramu::TNovyText novy(e, text.size() + usek.size());
    novy.Pridat(text.substr(0, vyber.Od));
    novy.Pridat(usek);
    novy.Pridat(text.substr(vyber.Po));
    e.Nahradit(novy, TEditorProgramu::TUsek{vyber.Od, vyber.Od + usek.size()});
}

void THlavniForm::aZavestExecute() { SpustitPrikaz(TPrikazProgramu::Zavest); }

void THlavniForm::aOdstranitExecute() { SpustitPrikaz(TPrikazProgramu::Odstranit); }

void THlavniForm::aPrecislovatExecute() { SpustitPrikaz(TPrikazProgramu::Precislovat); }

// ---------------------------------------------------------------- other commands

void THlavniForm::aNastaveniExecute() {
    Chranene([this] {
        if (pruchodBezi_) return;
        Modalni::Dialog(*NastaveniForm);
        ulozitSeznam_ = true;  // the list is the user's now
        // The filter follows the list whichever way the dialog closed, so that
        // a filter entry never points at a row that is not there.
        filtr_ = SestavitFiltr();
        const int radku = NastaveniForm->PocetTypu();
        if (poziceFiltru_ > radku) poziceFiltru_ = radku > 0 ? radku : 1;
    });
}

void THlavniForm::aOAplikaciExecute() {
    Chranene([this] {
        if (pruchodBezi_) return;
        Modalni::Dialog(*OAplikaciForm);
    });
}
