// Tarvik: the program's start.
#include "app/Aplikace.h"
#include "app/ObecnaChyba.h"
#include "platform/Halda.h"
#include "platform/Registr.h"

#include <QApplication>

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
    TAplikace tarvik(VytvoritRegistr());
    tarvik.Zobrazit();
    return aplikace.exec();
}
