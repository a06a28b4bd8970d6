// Tarvik: the program's start. "tarvik PROGRAM" opens the program, as the
// desktop's "Open with" does.
#include "app/Aplikace.h"
#include "app/ObecnaChyba.h"
#include "app/fHlavni.h"
#include "filetypes/SeznamTypu.h"
#include "filetypes/UlozeneNastaveni.h"
#include "katalog/JazykUzivatele.h"
#include "katalog/TextyDavky.h"
#include "platform/Halda.h"
#include "platform/Registr.h"
#include "platform/SlozkyDat.h"

#include "TarvikVerze.h"

#include <QApplication>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace {

// A failure that escapes an event handler is shown in the general error box,
// and the application goes on.
class TTarvikAplikace final : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* prijemce, QEvent* udalost) override {
        try {
            return QApplication::notify(prijemce, udalost);
        } catch (...) {
            ZobrazitVyjimku();
            return false;
        }
    }
};

const char* const Pouziti =
    "Usage: tarvik [PROGRAM]\n"
    "Opens the NC program PROGRAM, if given, in Tarvik's window.\n"
    "\n"
    "  -h, --help     show this help\n"
    "      --version  show the version\n"
    "\n"
    "Qt's own options (-platform, -style, ...) are taken too. A PROGRAM whose\n"
    "name starts with \"-\" follows \"--\".\n";

// --help and --version are answered before the window system is asked for:
// they need no display. Qt's options are not known here, so either may
// follow them; a "--" ends the options.
int OdpovedetBezOkna(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--") == 0) break;
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(Pouziti, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs("tarvik " TARVIK_VERZE "\n" TARVIK_O_LICENCI, stdout);
            return 0;
        }
    }
    return -1;
}

// Where the window system cannot be reached (no display, a display that
// does not answer) Qt ends the program with a fatal message and an abort.
// While the application is made, Qt's messages are held back; a fatal one
// ends the program with exit status 1, no core dump, and the reason: for a
// screen that cannot be reached ours, in the language a run of the batch
// tool would speak, else Qt's own with what it told before. A start that
// succeeds passes the held messages on.
QtMessageHandler qtZpravy = nullptr;
std::vector<std::pair<QtMsgType, QString>> zpravyPriStartu;

std::string ZpravaBezObrazovky() {
    TUlozeneNastaveni ulozene;
    try {
        const std::unique_ptr<TRegistr> registr = VytvoritRegistr();
        registr->Zmrazit();
        if (registr->OtevritKlic(std::u16string(KlicNastaveni), false)) {
            ulozene.Nacist(*registr);
            registr->ZavritKlic();
        }
    } catch (...) {
        // The settings are not what fails here: the locale's language, or Czech.
    }
    const auto soubor = NajitSoubor(SlozkyDat(), "tarvik.xml").value_or(std::filesystem::path());
    NastavitJazyk(JazykUzivatele(ulozene.JazykZvolen, ulozene.Jazyk, JazykProstredi()), soubor);
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return Vyplnit(rsDBEZOBRAZOVKY, {display ? display : "", wayland ? wayland : ""});
}

void ZpravaPriStartu(QtMsgType druh, const QMessageLogContext&, const QString& zprava) {
    if (druh != QtFatalMsg) {
        zpravyPriStartu.emplace_back(druh, zprava);
        return;
    }
    const auto obsahuje = [](const QString& z) { return z.contains(QLatin1String("could not connect to display")); };
    const bool bezDispleje = !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY");
    std::string text;
    if (bezDispleje || std::any_of(zpravyPriStartu.begin(), zpravyPriStartu.end(),
                                   [&](const auto& z) { return obsahuje(z.second); })) {
        text = ZpravaBezObrazovky() + "\n";
    } else {
        for (const auto& z : zpravyPriStartu) text += z.second.toStdString() + "\n";
        text += zprava.toStdString() + "\n";
    }
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fflush(stderr);
    std::_Exit(1);
}

}  // namespace

int main(int argc, char** argv) {
    if (const int vysledek = OdpovedetBezOkna(argc, argv); vysledek >= 0) return vysledek;
    ZapnoutVelkeStranky(argv);
#ifdef SIGXFSZ
    // A file size limit (ulimit -f) fails a save (EFBIG) as a full disk does,
    // and the old file comes back, instead of ending the window.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    qtZpravy = qInstallMessageHandler(ZpravaPriStartu);
    TTarvikAplikace aplikace(argc, argv);
    qInstallMessageHandler(qtZpravy);
    for (const auto& [druh, zprava] : zpravyPriStartu) qt_message_output(druh, QMessageLogContext(), zprava);
    zpravyPriStartu.clear();
    // The desktop entry the windows belong to (their icon on Wayland).
    QGuiApplication::setDesktopFileName(QStringLiteral("cz.orvendal.Tarvik"));
    // Qt's own options are gone from the arguments; what is left is the
    // program ("--" before a name that starts with "-").
    QStringList argumenty = QCoreApplication::arguments().mid(1);
    const bool volba = !argumenty.isEmpty() && argumenty.front().startsWith(u'-');
    if (volba && argumenty.front() == QStringLiteral("--")) {
        argumenty.removeFirst();
    } else if (volba || argumenty.size() > 1) {
        std::fputs(Pouziti, stderr);
        return 2;
    }
    TAplikace tarvik(VytvoritRegistr());
    if (!argumenty.isEmpty()) HlavniForm->SouborPriStartu = argumenty.front();
    tarvik.Zobrazit();
    return aplikace.exec();
}
