#include "Aplikace.h"

#include "app/fHlavni.h"
#include "engine/CNCEdit.h"
#include "filetypes/Nastaveni.h"
#include "filetypes/Retezce.h"
#include "filetypes/fASCII.h"
#include "filetypes/fNastaveni.h"
#include "filetypes/fTypSouboru.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "platform/Chyba.h"
#include "platform/Registr.h"
#include "ui/Hlaseni.h"
#include "ui/PrekladQt.h"
#include "ui/fOAplikaci.h"

#include <QApplication>

TCNCFile* CNCFile = nullptr;
TNastaveni* Nastaveni = nullptr;
TRetezce* Retezce = nullptr;
THlaseni* Hlaseni = nullptr;
TJazykXML* JazykXML = nullptr;

THlavniForm* HlavniForm = nullptr;
TASCIIForm* ASCIIForm = nullptr;
TJazykForm* JazykForm = nullptr;
TNastaveniForm* NastaveniForm = nullptr;
TOAplikaciForm* OAplikaciForm = nullptr;
TTypSouboruForm* TypSouboruForm = nullptr;

const QString TitulekAplikace = QStringLiteral("Tarvik");

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
    CNCFile = new TCNCFile(*prubeh_);
    Nastaveni = new TNastaveni;
    Retezce = new TRetezce;
    Hlaseni = new THlaseni;
    JazykXML = new TJazykXML;

    // The title is set as the application's name only: as its display name,
    // the window system would add it to the title of every window.
    QApplication::setApplicationName(TitulekAplikace);
    NastavitPismo();
    ZaregistrovatZdroje();
    // Qt's own texts speak Czech, as the windows do, until the first pass
    // takes the chosen language.
    NastavitJazykQt(QStringLiteral("CZ"));

    HlavniForm = new THlavniForm(*registr_);
    ASCIIForm = new TASCIIForm(HlavniForm);
    JazykForm = new TJazykForm(HlavniForm);
    NastaveniForm = new TNastaveniForm(HlavniForm);
    OAplikaciForm = new TOAplikaciForm(HlavniForm);
    TypSouboruForm = new TTypSouboruForm(HlavniForm);
}

TAplikace::~TAplikace() {
    // The windows first (the dialogs belong to the main window), then the
    // global objects in reverse order of creation.
    delete HlavniForm;
    HlavniForm = nullptr;
    ASCIIForm = nullptr;
    JazykForm = nullptr;
    NastaveniForm = nullptr;
    OAplikaciForm = nullptr;
    TypSouboruForm = nullptr;
    delete JazykXML;
    JazykXML = nullptr;
    delete Hlaseni;
    Hlaseni = nullptr;
    delete Retezce;
    Retezce = nullptr;
    delete Nastaveni;
    Nastaveni = nullptr;
    delete CNCFile;
    CNCFile = nullptr;
}

void TAplikace::Zobrazit() {
    if (HlavniForm->Maximalizovat())
        HlavniForm->showMaximized();
    else
        HlavniForm->show();
}

void ZobrazitObecnouChybu(const QString& zprava) {
    QString text = zprava;
    if (!text.isEmpty() && text.back().unicode() > u'.') text += u'.';
    THlaseni().ZobrazitHlaseni(thChyba, text, TitulekAplikace);
}

void ZobrazitVyjimku() {
    try {
        throw;
    } catch (const TChyba& e) {
        ZobrazitObecnouChybu(QString::fromStdU16String(e.Zprava()));
    } catch (const std::bad_alloc&) {
        ZobrazitObecnouChybu(QStringLiteral("Out of memory"));
    } catch (const std::exception& e) {
        ZobrazitObecnouChybu(QString::fromUtf8(e.what()));
    } catch (...) {
        ZobrazitObecnouChybu(QStringLiteral("Unknown error"));
    }
}
