#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "app/ObecnaChyba.h"
#include "filetypes/Nastaveni.h"
#include "filetypes/SeznamTypu.h"
#include "filetypes/fASCII.h"
#include "filetypes/fNastaveni.h"
#include "katalog/Zpravy.h"
#include "katalog/convar.h"
#include "platform/SlozkyDat.h"
#include "platform/CteniTextu.h"
#include "platform/ZapisSouboru.h"
#include "ui/Hlaseni.h"
#include "ui/Modalni.h"
#include "ui/Prvky.h"
#include "ui/fOAplikaci.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QFontMetrics>
#include <QProgressBar>
#include <QStatusBar>
#include <QToolButton>

THlavniForm* HlavniForm = nullptr;
TCNCFile* CNCFile = nullptr;

namespace {

// The window's client size at design; the outer minimum 640 x 480 leaves this much inside.
constexpr QSize NavrhovaVelikost{632, 446};

std::u16string U16(const QString& s) { return s.toStdU16String(); }
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
        i = konec + ((text[konec] == '\r' && konec + 1 < text.size() && text[konec + 1] == '\n') ? 2 : 1);
    }
    return v;
}

// The files a drag carries: local files only, else nothing.
std::optional<QStringList> PretazeneSoubory(const QMimeData* data) {
    if (!data || !data->hasUrls()) return std::nullopt;
    QStringList soubory;
    for (const QUrl& url : data->urls()) {
        if (!url.isLocalFile()) return std::nullopt;
        soubory << url.toLocalFile();
    }
    if (soubory.isEmpty()) return std::nullopt;
    return soubory;
}

// Long work in the window, ended also when it fails.
class TPrace {
public:
    explicit TPrace(THlavniForm& okno) : okno_(okno) { okno_.ZacitPraci(); }
    ~TPrace() { okno_.UkoncitPraci(); }
    TPrace(const TPrace&) = delete;
    TPrace& operator=(const TPrace&) = delete;

private:
    THlavniForm& okno_;
};

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
    connect(ui->aZavest, &QAction::triggered, this, &THlavniForm::aZavestExecute);
    connect(ui->aPrecislovat, &QAction::triggered, this, &THlavniForm::aPrecislovatExecute);
    connect(ui->aOdstranit, &QAction::triggered, this, &THlavniForm::aOdstranitExecute);
    connect(ui->aNastaveni, &QAction::triggered, this, &THlavniForm::aNastaveniExecute);
    connect(ui->aJazyk, &QAction::triggered, this, &THlavniForm::aJazykExecute);
    connect(ui->aOAplikaci, &QAction::triggered, this, &THlavniForm::aOAplikaciExecute);

    zvyrazneni_ = new TZvyrazneniVstupu(*Nastaveni, this);
    for (TSpinEdit* s : {ui->speZacitOd, ui->spePrirustek, ui->speMaximum}) {
        s->SetMinValue(TUlozeneNastaveni::NejmensiCislo);
        s->SetMaxValue(TUlozeneNastaveni::NejvetsiCislo);
        zvyrazneni_->Sledovat(s);
    }
    connect(ui->speMaximum, &TSpinEdit::Opusteno, this, &THlavniForm::speMaximumExit);
    PrelozitPrepinacOdkazu();

    ui->memPuvodni->NastavitJenKeCteni();
    // The commands' shortcuts win over the text areas' own keys.
    for (TEditorProgramu* e : {ui->memProgram, ui->memPuvodni}) e->UvolnitKlavesy(zkratky);
    // ... and over the spin edits' own (Copy, delete a word), whatever has the focus.
    const auto prikazy = Prikazy();
    new TPrednostZkratek(this, QList<QAction*>(prikazy.begin(), prikazy.end()));
    ui->memProgram->setContextMenuPolicy(Qt::ActionsContextMenu);
    ui->memProgram->addAction(ui->aOtevrit);
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

    resize(NavrhovaVelikost);
    move(0, 0);

    // FormCreate: the stored settings, then the bounds, whatever the reading did.
    NacistNastaveni();
    NastavitMeze();
    ui->speZacitOd->setFocus();
}

THlavniForm::~THlavniForm() = default;

std::array<QAction*, 9> THlavniForm::Prikazy() const {
    return {ui->aKonec, ui->aOtevrit, ui->aUlozit, ui->aZavest, ui->aPrecislovat,
            ui->aOdstranit, ui->aNastaveni, ui->aJazyk, ui->aOAplikaci};
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

// ---------------------------------------------------------------- open and save

QString THlavniForm::SestavitFiltr() const {
    QStringList polozky;
    for (const TTypSouboru& typ : NastaveniForm->Typy()) {
        // A "|" inside a name or an extension would shift every later entry.
        const QString pripona = Q(typ.Pripona).replace(u'|', u'/');
        const QString nazev = Q(typ.Nazev).replace(u'|', u'/');
        polozky << nazev + QStringLiteral(" (*") + pripona + QStringLiteral(")|*") + pripona;
    }
    return polozky.join(u'|');
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
        SpocitatStatistiky(ui->memProgram->Utf8(), U16(aktivniTyp_.HlavniZnak), U16(aktivniTyp_.VedlejsiZnak));
    return Q(::TextStatistiky(s.Radku, s.Znaku, s.Bloku));
}

bool THlavniForm::MoznaUlozit() {
    if (!Zmeneno()) return true;
    const QString text = Q(rsULOZITSOUBOR) + u'\r' + u'"' + aktualniSoubor_ + u'"' + u'?';
    const int odpoved = Hlaseni->ZobrazitHlaseni(thDotaz, text, Q(rsPOTVRZENI));
    if (odpoved == Tlacitko::Storno) return false;
    if (odpoved == Tlacitko::Ano) UlozitSoubor();
    return true;
}

void THlavniForm::aOtevritExecute() {
    Chranene([this] { OtevritSoubor(); });
}

void THlavniForm::OtevritSoubor() {
    if (pruchodBezi_) return;
    // Whatever the answer, the dialog follows (unless the save fails).
    MoznaUlozit();
    const auto volba = Modalni::OtevritSoubor(this, filtr_, poziceFiltru_,
                                              nabizenySoubor_.isEmpty() ? aktualniSoubor_ : nabizenySoubor_);
    if (!volba) return;
    // The dialog keeps what was chosen, also when the file then cannot be read.
    nabizenySoubor_ = volba->Soubor;
    poziceFiltru_ = volba->PoziceFiltru;

    const QString cesta = QFileInfo(volba->Soubor).absoluteFilePath();
    // The whole file is read before anything shown changes: a file that cannot
    // be read leaves the document, its name and the file type as they were.
    const std::filesystem::path soubor(cesta.toStdU16String());
    const std::size_t odhad = OdhadTextu(soubor);
    TEditorProgramu::TNovyText program(*ui->memProgram, odhad), puvodni(*ui->memPuvodni, odhad);
    const TKodovani kodovani = PrecistProgram(soubor, program, puvodni, odhad);
    // The row at the chosen filter position (none past the list).
    NastavitAktualniSoubor(cesta, kodovani, program, puvodni, NastaveniForm->TypNaRadku(poziceFiltru_ - 1));
}

std::size_t THlavniForm::OdhadTextu(const std::filesystem::path& soubor) {
    std::error_code ec;
    const auto velikost = static_cast<std::size_t>(std::filesystem::file_size(soubor, ec));
    // Room for LF breaks that become CR LF, too.
    return ec ? 0 : velikost + velikost / 32;
}

TKodovani THlavniForm::PrecistProgram(const std::filesystem::path& soubor, TEditorProgramu::TNovyText& program,
                                      TEditorProgramu::TNovyText& puvodni, std::size_t odhad) {
    // Both text areas get their documents as the file is read.
    const TPrace prace(*this);
    return NacistTextEditoru(
        soubor,
        [&](std::string_view kus) {
            program.Pridat(kus);
            puvodni.Pridat(kus);
            PrubehPrace(std::min(program.Delka(), odhad), odhad);
        },
        [&] {
            program.Vyprazdnit();
            puvodni.Vyprazdnit();
        });
}

void THlavniForm::OtevritPredany(const QString& soubor) {
    Chranene([&] {
        if (pruchodBezi_) return;
        if (!MoznaUlozit()) return;
        const QString cesta = QFileInfo(soubor).absoluteFilePath();
        const std::filesystem::path p(cesta.toStdU16String());
        const std::size_t odhad = OdhadTextu(p);
        TEditorProgramu::TNovyText program(*ui->memProgram, odhad), puvodni(*ui->memPuvodni, odhad);
        const TKodovani kodovani = PrecistProgram(p, program, puvodni, odhad);
        const std::vector<TTypSouboru> typy = NastaveniForm->Typy();
        const std::optional<std::size_t> typ = ZvolitTypSouboru(typy, p);
        nabizenySoubor_ = cesta;
        if (typ) poziceFiltru_ = int(*typ) + 1;
        NastavitAktualniSoubor(cesta, kodovani, program, puvodni,
                               typ ? std::optional<TTypSouboru>(typy[*typ]) : std::nullopt);
    });
}

bool THlavniForm::Pretazeni(QEvent* udalost) {
    const auto typ = udalost->type();
    if (typ != QEvent::DragEnter && typ != QEvent::DragMove && typ != QEvent::Drop) return false;
    auto* pretazeni = static_cast<QDropEvent*>(udalost);
    const std::optional<QStringList> soubory = PretazeneSoubory(pretazeni->mimeData());
    if (!soubory) return false;
    // One program, never moved away from where it came from.
    const bool lze = !pruchodBezi_ && soubory->size() == 1 && QFileInfo(soubory->front()).isFile() &&
                     pretazeni->possibleActions().testFlag(Qt::CopyAction);
    if (!lze) {
        pretazeni->ignore();
        return true;
    }
    pretazeni->setDropAction(Qt::CopyAction);
    pretazeni->accept();
    if (typ == QEvent::Drop) {
        // Opened once the drop has ended, so that the program the file came
        // from does not wait for the question or the reading.
        QMetaObject::invokeMethod(
            this, [this, soubor = soubory->front()] { OtevritPredany(soubor); }, Qt::QueuedConnection);
    }
    return true;
}

void THlavniForm::dragEnterEvent(QDragEnterEvent* udalost) {
    if (!Pretazeni(udalost)) QMainWindow::dragEnterEvent(udalost);
}

void THlavniForm::dragMoveEvent(QDragMoveEvent* udalost) {
    if (!Pretazeni(udalost)) QMainWindow::dragMoveEvent(udalost);
}

void THlavniForm::dropEvent(QDropEvent* udalost) {
    if (!Pretazeni(udalost)) QMainWindow::dropEvent(udalost);
}

bool THlavniForm::eventFilter(QObject* objekt, QEvent* udalost) {
    // Files dragged onto a text area are the window's; text stays the area's.
    if (Pretazeni(udalost)) return true;
    return QMainWindow::eventFilter(objekt, udalost);
}

void THlavniForm::NastavitAktualniSoubor(const QString& cesta, TKodovani kodovani, TEditorProgramu::TNovyText& program,
                                         TEditorProgramu::TNovyText& puvodni, const std::optional<TTypSouboru>& typ) {
    ui->memProgram->Nacist(program);
    ui->memPuvodni->Nacist(puvodni);
    aktualniSoubor_ = cesta;
    kodovaniSouboru_ = kodovani;
    ui->lblSoubor->setText(ZkratitCestu(QDir::toNativeSeparators(cesta), ui->lblSoubor->font(),
                                        ui->lblSoubor->width()));
    aktivniTyp_ = typ ? TAktivniTypSouboru{Q(typ->HlavniZnak), Q(typ->VedlejsiZnak), Q(typ->Zacatek), Q(typ->Konec),
                                           Q(typ->Komentar)}
                      : TAktivniTypSouboru{};
    znacky_ = {cnc::TZnackaUtf8(U16(aktivniTyp_.HlavniZnak)), cnc::TZnackaUtf8(U16(aktivniTyp_.VedlejsiZnak)),
               cnc::TZnackaUtf8(U16(aktivniTyp_.Zacatek)), cnc::TZnackaUtf8(U16(aktivniTyp_.Konec)),
               cnc::TZnackaUtf8(U16(aktivniTyp_.Komentar))};
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    panel0_->setText(TextStatistiky());
    panel1_->setText(typ ? Q(typ->Nazev) : QString());
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
    const std::string_view text = ui->memProgram->Utf8();
    const TKodovani pozadovane = KodovaniProZapis(kodovaniSouboru_);
    // A character the encoding cannot hold, or a start that would read back
    // as a mark: the file becomes UTF-8 with a mark.
    const bool lze = LzeZakodovatUtf8(text, pozadovane);
    const TKodovani pouzite = lze ? KodovaniZapisu(pozadovane, text.substr(0, 16)) : TKodovani::Utf8Znacka;
    const bool jakJe = pouzite == TKodovani::Utf8 && JePlatneUtf8(text);
    {
        // Written in pieces that end after a line break, the window served between them.
        const TPrace prace(*this);
        TZapisSouboru zapis(std::filesystem::path(aktualniSoubor_.toStdU16String()));
        std::string bajty(ZnackaKodovani(pouzite));
        constexpr std::size_t Kus = std::size_t{1} << 20;
        for (std::size_t od = 0; od < text.size();) {
            std::size_t konec = std::min(text.size(), od + Kus);
            if (konec < text.size()) {
                konec = cnc::KonecRadku(text, konec);
                if (konec < text.size()) konec += text.compare(konec, 2, "\r\n") == 0 ? 2 : 1;
            }
            if (jakJe) {
                zapis.Zapsat(text.substr(od, konec - od));
            } else {
                PrevestZUtf8(bajty, text.substr(od, konec - od), pouzite);
                zapis.Zapsat(bajty);
                bajty.clear();
            }
            od = konec;
            PrubehPrace(od, text.size());
        }
        if (!bajty.empty()) zapis.Zapsat(bajty);
        zapis.Dokoncit();
    }
    ui->memProgram->NastavitBodUlozeni();
    stavUlozeniZnam_ = true;
    ObnovitStavUlozeni();
    if (pouzite != pozadovane) {
        // The program is read in the new encoding from now on.
        kodovaniSouboru_ = pouzite;
        if (!lze)
            Hlaseni->ZobrazitHlaseni(
                thInformace,
                QStringLiteral("Program obsahuje znaky, které kódování %1 neumí zapsat.\rSoubor byl proto "
                               "uložen v kódování %2.")
                    .arg(QLatin1String(NazevKodovani(pozadovane)), QLatin1String(NazevKodovani(pouzite))),
                Q(rsINFORMACE));
    }
}

// ---------------------------------------------------------------- block commands

bool THlavniForm::PrikazMuzeBezet() {
    if (pruchodBezi_) return false;
    if (!aktualniSoubor_.isEmpty()) return true;
    Hlaseni->ZobrazitHlaseni(thChyba, Q(ZpravaNeniSoubor()), Q(rsCHYBA));
    return false;
}

cnc::TPocty THlavniForm::Spocitat(std::string_view text) const {
    return cnc::Spocitat(text, znacky_[0].Znacka(), znacky_[1].Znacka());
}

TUlozeneNastaveni THlavniForm::CislovaniPrikazu() {
    // Typed values are checked as on leaving the control, also when the
    // command comes from a shortcut or a tool button that takes no focus.
    for (TSpinEdit* s : {ui->speZacitOd, ui->spePrirustek, ui->speMaximum}) s->Zkontrolovat();
    NastavitMeze();
    TUlozeneNastaveni n = NastaveniOvladacu();
    // Never 0 and never above 9999, whatever the text holds.
    n.NastavitMeze();
    return n;
}

cnc::TZadani<char> THlavniForm::Zadani(cnc::TPrikaz prikaz, const TUlozeneNastaveni& c) const {
    cnc::TZadani<char> z;
    z.Prikaz = prikaz;
    z.HlavniZnak = znacky_[0].Znacka();
    z.VedlejsiZnak = znacky_[1].Znacka();
    z.Zacatek = znacky_[2].Znacka();
    z.Konec = znacky_[3].Znacka();
    z.Komentar = znacky_[4].Znacka();
    z.PrvniBlok = std::uint32_t(c.PrvniBlok);
    z.Prirustek = std::uint32_t(c.Prirustek);
    z.MaximalniBlok = std::uint32_t(c.MaximalniBlok);
    z.CislovatOdZacatku = c.CislovatOdZacatku;
    z.BlokPredZnakZacatku = c.BlokPredZnakZacatku;
    z.BlokPredZnakKonce = c.BlokPredZnakKonce;
    z.BlokPredZnakKomentare = c.BlokPredZnakKomentare;
    return z;
}

void THlavniForm::ProvestPruchod(const cnc::TZadani<char>& zadani, std::optional<TEditorProgramu::TUsek> vyber,
                                 std::size_t radku, TPrubeh& prubeh, const TVysledekOdkazu* odkazy) {
    TEditorProgramu& e = *ui->memProgram;
    const std::string_view text = e.Utf8();
    const TEditorProgramu::TUsek usek = vyber.value_or(TEditorProgramu::TUsek{0, text.size()});
    // The new text: what comes before the selection, the pass's lines, what
    // comes after it. Its room is taken at once, as much as it can need and
    // little more: removing only shortens lines, renumbering lengthens a
    // line by four digits at most (numbers stay below 20000), introducing
    // puts the character, five digits and a blank in front of a line; a
    // lone CR or LF becomes CR LF. An updated reference grows as a block number does.
    std::span<const TUpravaOdkazu> upravy;
    if (zadani.Prikaz == cnc::TPrikaz::Precislovat && odkazy) upravy = odkazy->Upravy;
    std::size_t rezerva = 0;
    if (zadani.Prikaz == cnc::TPrikaz::Precislovat) rezerva = 4 * (radku + upravy.size());
    if (zadani.Prikaz == cnc::TPrikaz::Zavest) rezerva = (zadani.VedlejsiZnak.Text.size() + 6) * radku;
    TEditorProgramu::TNovyText novy(e, text.size() + rezerva + radku + 2);
    cnc::TVystup<char> vystup([&](std::string_view kus) { novy.Pridat(kus); });
    // The references go through the edits wherever they lie: before the
    // selection, in it (behind the new fronts) and after it.
    const TVyberRadku radky = vyber ? RadkyVyberu(usek) : TVyberRadku{};
    TKurzorUprav kurzor(upravy);
    std::optional<TZbytkySUpravami> zbytky;
    if (!upravy.empty()) zbytky.emplace(kurzor, radky.Od, radky.OdBajtu);
    if (zbytky)
        PripojitSUpravami(vystup, kurzor, text, 0, usek.Od, 0, 0);
    else
        novy.Pridat(text.substr(0, usek.Od));
    const auto nahradit = [&](bool upravit) {
        vystup.Odevzdat();
        const std::size_t konec = novy.Delka();
        const bool zaZlomem = radky.PoBajtu == std::string_view::npos;
        if (zbytky && upravit) {
            PripojitSUpravami(vystup, kurzor, text, usek.Po, text.size(), zaZlomem ? radky.Po : radky.Po - 1,
                              zaZlomem ? 0 : radky.PoBajtu);
            vystup.Odevzdat();
        } else {
            novy.Pridat(text.substr(usek.Po));
        }
        e.Nahradit(novy, vyber ? std::optional(TEditorProgramu::TUsek{usek.Od, konec}) : std::nullopt);
    };
    std::uint8_t procenta = 0;
    try {
        // A selection is written back with CR LF after every line, the last one included.
        cnc::TPruchod<char> pruchod(zadani, radku, vystup, prubeh, vyber.has_value());
        if (zbytky) pruchod.PsatZbytky(&*zbytky);
        pruchod.Pridat(text.substr(usek.Od, usek.Po - usek.Od));
        procenta = pruchod.Procenta();
    } catch (...) {
        // The lines processed so far, and the rest as they were, replace the
        // text (one undo step); the references after the lines are left alone,
        // since the blocks they name may not have been renumbered.
        nahradit(false);
        throw;
    }
    nahradit(true);
    AktualizovatStavovyRadek(procenta);
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

void THlavniForm::AktualizovatStavovyRadek(std::uint8_t procenta) {
    panel0_->setText(QString::number(procenta) + u'%');
    panel0_->setText(TextStatistiky());
}

void THlavniForm::aZavestExecute() {
    Chranene([this] {
        if (!PrikazMuzeBezet()) return;
        const cnc::TZadani<char> z = Zadani(cnc::TPrikaz::Zavest, CislovaniPrikazu());
        // A program without numbers: its references have no targets, and are told.
        cnc::TPocty pocty;
        const TVysledekOdkazu odkazy = OdkazyPrikazu(z, std::nullopt, pocty);
        if (pocty.Bloku > 0) {
            Hlaseni->ZobrazitHlaseni(thVarovani, Q(ZpravaBlokyJsou(std::int64_t(pocty.Bloku))), Q(rsVAROVANI));
            return;
        }
        ProvestPruchod(z, std::nullopt, pocty.Radku, CNCFile->Prubeh());
        OhlasitOdkazy(odkazy, false);
    });
}

void THlavniForm::aOdstranitExecute() {
    Chranene([this] {
        if (!PrikazMuzeBezet()) return;
        const cnc::TZadani<char> z = Zadani(cnc::TPrikaz::Odstranit, CislovaniPrikazu());
        cnc::TPocty pocty;
        const TVysledekOdkazu odkazy = OdkazyPrikazu(z, std::nullopt, pocty);
        if (pocty.Bloku == 0) {
            Hlaseni->ZobrazitHlaseni(thInformace, Q(ZpravaNeniCoOdstranit()), Q(rsINFORMACE));
            return;
        }
        // Removing the numbers breaks every reference to them.
        if (!OdstranitPresOdkazy(odkazy)) return;
        ProvestPruchod(z, std::nullopt, pocty.Radku, CNCFile->Prubeh());
    });
}

void THlavniForm::aPrecislovatExecute() {
    Chranene([this] {
        if (!PrikazMuzeBezet()) return;
        const TUlozeneNastaveni c = CislovaniPrikazu();
        // Only the selected lines when there is a selection.
        const TEditorProgramu::TUsek usek = ui->memProgram->Vyber();
        std::optional<TEditorProgramu::TUsek> vyber;
        if (usek.Po > usek.Od) vyber = usek;
        const cnc::TZadani<char> z = Zadani(cnc::TPrikaz::Precislovat, c);
        // The references, when they follow their blocks, come with the count of the whole text.
        cnc::TPocty pocty;
        std::optional<TVysledekOdkazu> odkazy;
        if (c.AktualizovatOdkazy) odkazy = OdkazyPrikazu(z, vyber, pocty);
        if (vyber || !odkazy) {
            const std::string_view text = ui->memProgram->Utf8();
            pocty = Spocitat(vyber ? text.substr(usek.Od, usek.Po - usek.Od) : text);
        }
        if (pocty.Bloku == 0) {
            Hlaseni->ZobrazitHlaseni(thInformace, Q(vyber ? ZpravaBlokyNejsouVybrane() : ZpravaBlokyNejsou()),
                                     Q(rsINFORMACE));
            // A selection is written back all the same.
            if (vyber) VratitVyber(*vyber);
            return;
        }
        ProvestPruchod(z, vyber, pocty.Radku, CNCFile->Prubeh(), odkazy ? &*odkazy : nullptr);
        if (odkazy) OhlasitOdkazy(*odkazy, true);
    });
}

// ---------------------------------------------------------------- long passes

void THlavniForm::PovolitPrikazy(bool povolit) {
    for (QAction* a : Prikazy()) a->setEnabled(povolit);
    ui->memProgram->setReadOnly(!povolit);
}

void THlavniForm::ZacitPraci() {
    pruchodBezi_ = true;
    zacatekPruchodu_ = QDateTime::currentMSecsSinceEpoch();
    posledniObsluha_ = zacatekPruchodu_;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    PovolitPrikazy(false);
}

void THlavniForm::PrubehPrace(std::size_t hotovo, std::size_t celkem) {
    // Serve the window about every 30 ms, not after every line.
    if ((hotovo & 0x3FF) != 0 && hotovo != celkem) return;
    const qint64 ted = QDateTime::currentMSecsSinceEpoch();
    if (ted - posledniObsluha_ < 30) return;
    posledniObsluha_ = ted;
    if (ted - zacatekPruchodu_ > 200) {
        prubeh_->setVisible(true);
        prubeh_->setValue(celkem ? int(100 * std::min(hotovo, celkem) / celkem) : 0);
    }
    QCoreApplication::processEvents();
    // Whatever the events asked of the program's text, its bytes are where
    // the work reads them again (the area's buffer keeps its gap at the end).
    ui->memProgram->Utf8();
}

void THlavniForm::UkoncitPraci() {
    prubeh_->setVisible(false);
    PovolitPrikazy(true);
    // The default cursor, whatever was set before the work.
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    pruchodBezi_ = false;
}

void THlavniForm::ZacitPruchod() { ZacitPraci(); }

void THlavniForm::PrubehPruchodu(std::size_t hotovo, std::size_t celkem) { PrubehPrace(hotovo, celkem); }

void THlavniForm::UkoncitPruchod() {
    UkoncitPraci();
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
