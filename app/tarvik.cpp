// Tarvik: the program's start. "tarvik PROGRAM" opens the program, as the
// desktop's "Open with" does.
#include "app/Aplikace.h"
#include "app/ObecnaChyba.h"
#include "app/fHlavni.h"
#include "platform/Halda.h"
#include "platform/Registr.h"

#include <QApplication>

#include <cstdio>

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

}  // namespace

int main(int argc, char** argv) {
    ZapnoutVelkeStranky(argv);
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
        const bool napoveda = argumenty.front() == QStringLiteral("-h") || argumenty.front() == QStringLiteral("--help");
        std::fputs("Usage: tarvik [PROGRAM]\nOpens the NC program PROGRAM, if given, in Tarvik's window.\n",
                   napoveda ? stdout : stderr);
        return napoveda ? 0 : 2;
    }
    TAplikace tarvik(VytvoritRegistr());
    if (!argumenty.isEmpty()) HlavniForm->SouborPriStartu = argumenty.front();
    tarvik.Zobrazit();
    return aplikace.exec();
}
