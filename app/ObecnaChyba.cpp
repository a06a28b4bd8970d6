#include "ObecnaChyba.h"

#include "katalog/convar.h"
#include "katalog/TextyChyb.h"
#include "platform/Chyba.h"
#include "ui/Hlaseni.h"

#include <new>
#include <string_view>

const QString TitulekAplikace = QStringLiteral("Tarvik");

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

}  // namespace

QString ZpravaOSouboru(const std::u16string& uvod, const QString& cesta, const QString& duvod) {
    return Q(uvod) + QStringLiteral(" \"") + cesta + QStringLiteral("\". ") + duvod;
}

QString TextChyby(const std::exception_ptr& chyba) {
    try {
        std::rethrow_exception(chyba);
    } catch (const TChyba& e) {
        return Q(PrelozenaChyba(e));
    } catch (const std::bad_alloc&) {
        return Q(rsNEDOSTATEKPAMETI);
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return Q(rsNEZNAMACHYBA);
    }
}

void ZobrazitObecnouChybu(const QString& zprava) {
    QString text = zprava;
    if (!text.isEmpty() && text.back().unicode() > u'.') text += u'.';
    THlaseni().ZobrazitHlaseni(thChyba, text, Q(rsCHYBA));
}

void ZobrazitVyjimku() { ZobrazitObecnouChybu(TextChyby(std::current_exception())); }
