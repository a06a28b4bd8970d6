#include "ObecnaChyba.h"

#include "platform/Chyba.h"
#include "ui/Hlaseni.h"

#include <exception>
#include <new>

const QString TitulekAplikace = QStringLiteral("Tarvik");

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
