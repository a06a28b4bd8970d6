#include "Aplikace.h"

#include "app/ObecnaChyba.h"
#include "app/fHlavni.h"
#include "engine/CNCEdit.h"
#include "filetypes/Nastaveni.h"
#include "filetypes/Retezce.h"
#include "filetypes/fASCII.h"
#include "filetypes/fNastaveni.h"
#include "filetypes/fTypSouboru.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "platform/Registr.h"
#include "ui/Hlaseni.h"
#include "ui/fOAplikaci.h"

#include <QApplication>
#include <QFileInfo>
#include <QFontDatabase>

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

// The windows are laid out for Tahoma 8 pt. Where the system has no Tahoma,
// the metric-compatible one of Debian's fonts-wine stands in for it.
void NastavitPismo() {
    if (!QFontDatabase::families().contains(QStringLiteral("Tahoma"))) {
        for (const char* soubor : {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"})
            if (QFileInfo::exists(QLatin1String(soubor))) QFontDatabase::addApplicationFont(QLatin1String(soubor));
    }
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

    QApplication::setApplicationName(TitulekAplikace);
    NastavitPismo();
    ZaregistrovatZdroje();
    QApplication::setApplicationDisplayName(TitulekAplikace);

    hlavniForm_ = std::make_unique<THlavniForm>(*registr_);
    HlavniForm = hlavniForm_.get();
    ASCIIForm = new TASCIIForm(HlavniForm);
    JazykForm = new TJazykForm(HlavniForm);
    NastaveniForm = new TNastaveniForm(HlavniForm);
    OAplikaciForm = new TOAplikaciForm(HlavniForm);
    TypSouboruForm = new TTypSouboruForm(HlavniForm);
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
