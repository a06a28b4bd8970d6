#include "ObecnaChyba.h"

#include "katalog/convar.h"
#include "platform/Chyba.h"
#include "platform/CteniTextu.h"
#include "ui/Hlaseni.h"

#include <new>
#include <string_view>

const QString TitulekAplikace = QStringLiteral("Tarvik");

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The file layer's failures: "Cannot open file "<path>". <reason>" and
// "Cannot create file "<path>". <reason>". The reason is the system's text
// or the reader's, which never holds a quote before ". ", so the path ends
// at the last one (a path may hold it).
QString TextChybySouboru(const std::u16string& zprava, const std::u16string* duvodKatalogu) {
    const struct {
        std::u16string_view anglicky;
        const std::u16string& uvod;
    } druhy[] = {{u"Cannot open file \"", rsNELZEOTEVRIT}, {u"Cannot create file \"", rsNELZEVYTVORIT}};
    for (const auto& d : druhy) {
        const std::u16string_view z(zprava);
        if (!z.starts_with(d.anglicky)) continue;
        const std::u16string_view zbytek = z.substr(d.anglicky.size());
        const std::size_t konec = zbytek.rfind(u"\". ");
        if (konec == std::u16string_view::npos) break;
        const QString duvod = duvodKatalogu ? Q(*duvodKatalogu) : Q(std::u16string(zbytek.substr(konec + 3)));
        return ZpravaOSouboru(d.uvod, Q(std::u16string(zbytek.substr(0, konec))), duvod);
    }
    return Q(zprava);
}

}  // namespace

QString ZpravaOSouboru(const std::u16string& uvod, const QString& cesta, const QString& duvod) {
    return Q(uvod) + QStringLiteral(" \"") + cesta + QStringLiteral("\". ") + duvod;
}

QString TextChyby(const std::exception_ptr& chyba) {
    try {
        std::rethrow_exception(chyba);
    } catch (const TZmenaSouboru& e) {
        return TextChybySouboru(e.Zprava(), &rsZMENENPRICTENI);
    } catch (const TNeniTextovyProgram& e) {
        return TextChybySouboru(e.Zprava(), &rsNENITEXT);
    } catch (const TChyba& e) {
        return TextChybySouboru(e.Zprava(), nullptr);
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
