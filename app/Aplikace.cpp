#include "Aplikace.h"

#include "app/ObecnaChyba.h"
#include "app/fHlavni.h"
#include "engine/CNCEdit.h"
#include "ui/Nastaveni.h"
#include "ui/Retezce.h"
#include "ui/fASCII.h"
#include "ui/fNastaveni.h"
#include "ui/fTypSouboru.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "platform/Registr.h"
#include "ui/Hlaseni.h"
#include "ui/PrekladQt.h"
#include "ui/fOAplikaci.h"
#include "ui/fNajit.h"
#include "ui/fPorovnani.h"
#include "ui/fPrejit.h"

#include <QApplication>

// The engine's interface to the window: busy cursor, serving events, the beep.
class TPrubehOkna final : public TPrubeh {
public:
    void ZacitPruchod() override {
        if (HlavniForm) HlavniForm->ZacitPruchod();
    }
    void ObslouzitUdalosti(std::size_t hotovo, std::size_t celkem) override {
        if (HlavniForm) HlavniForm->PrubehPruchodu(hotovo, celkem);
    }
    void UkoncitPruchod() override {
        if (HlavniForm) HlavniForm->UkoncitPruchod();
    }
};

// The icons and flags live in a static library: their resources are
// registered explicitly.
static void ZaregistrovatZdroje() { Q_INIT_RESOURCE(tarvik); }

namespace {

// The windows are laid out for Tahoma 8 pt, the text areas use Courier New.
// Where the system has neither, faces of Debian's Liberation and DejaVu fonts
// stand in, with real bold weights: Liberation Sans is as wide as Tahoma, so
// the texts fit where they were laid out; DejaVu Sans Mono leaves room above
// capitals for their carons, which Liberation Mono cuts off.
void NastavitPismo() {
    QFont::insertSubstitutions(QStringLiteral("Tahoma"), {QStringLiteral("Liberation Sans"),
                                                          QStringLiteral("DejaVu Sans Condensed")});
    QFont::insertSubstitutions(QStringLiteral("Courier New"),
                               {QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")});
    QFont pismo(QStringLiteral("Tahoma"));
    pismo.setPointSize(8);
    QApplication::setFont(pismo);
}

}  // namespace

TAplikace::TAplikace(std::unique_ptr<TRegistr> registr)
    : registr_(std::move(registr)), prubeh_(std::make_unique<TPrubehOkna>()) {
    cncFile_ = std::make_unique<TCNCFile>(*prubeh_);
    CNCFile = cncFile_.get();
    nastaveni_ = std::make_unique<TNastaveni>();
    Nastaveni = nastaveni_.get();
    retezce_ = std::make_unique<TRetezce>();
    Retezce = retezce_.get();
    hlaseni_ = std::make_unique<THlaseni>();
    Hlaseni = hlaseni_.get();
    jazykXML_ = std::make_unique<TJazykXML>();
    JazykXML = jazykXML_.get();

    // The title is set as the application's name only: as its display name,
    // the window system would add it to the title of every window.
    QApplication::setApplicationName(TitulekAplikace);
    NastavitPismo();
    ZaregistrovatZdroje();
    // Qt's own texts speak Czech, as the windows do, until the first pass
    // takes the chosen language.
    NastavitJazykQt(QStringLiteral("CZ"));

    hlavniForm_ = std::make_unique<THlavniForm>(*registr_);
    HlavniForm = hlavniForm_.get();
    ASCIIForm = new TASCIIForm(HlavniForm);
    JazykForm = new TJazykForm(HlavniForm);
    NastaveniForm = new TNastaveniForm(HlavniForm);
    OAplikaciForm = new TOAplikaciForm(HlavniForm);
    TypSouboruForm = new TTypSouboruForm(HlavniForm);
    PrejitForm = new TPrejitForm(HlavniForm);
    NajitForm = new TNajitForm(HlavniForm);
    PorovnaniForm = new TPorovnaniForm(HlavniForm);
}

TAplikace::~TAplikace() {
    // The windows first (the dialogs belong to the main window), then the
    // global objects in reverse order of creation; each global reference is
    // cleared with its object.
    hlavniForm_.reset();
    HlavniForm = nullptr;
    ASCIIForm = nullptr;
    JazykForm = nullptr;
    NastaveniForm = nullptr;
    OAplikaciForm = nullptr;
    TypSouboruForm = nullptr;
    PrejitForm = nullptr;
    NajitForm = nullptr;
    PorovnaniForm = nullptr;
    jazykXML_.reset();
    JazykXML = nullptr;
    hlaseni_.reset();
    Hlaseni = nullptr;
    retezce_.reset();
    Retezce = nullptr;
    nastaveni_.reset();
    Nastaveni = nullptr;
    cncFile_.reset();
    CNCFile = nullptr;
}

void TAplikace::Zobrazit() {
    if (HlavniForm->Maximalizovat())
        HlavniForm->showMaximized();
    else
        HlavniForm->show();
}
