// Tarvik: the program's start. "tarvik PROGRAM" opens the program, as the
// desktop's "Open with" does.
#include "app/Aplikace.h"
#include "app/ObecnaChyba.h"
#include "app/fHlavni.h"
#include "platform/Halda.h"
#include "platform/Registr.h"

#include "TarvikVerze.h"

#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstring>

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

}  // namespace

int main(int argc, char** argv) {
    if (const int vysledek = OdpovedetBezOkna(argc, argv); vysledek >= 0) return vysledek;
    ZapnoutVelkeStranky(argv);
#ifdef SIGXFSZ
    // A file size limit (ulimit -f) fails a save (EFBIG) as a full disk does,
    // and the old file comes back, instead of ending the window.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    TTarvikAplikace aplikace(argc, argv);
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
