#include "JazykUzivatele.h"

#include "platform/Kodovani.h"

#include <cstdlib>

namespace {

// The language part of a locale name: its letters up to "_", ".", "@" or the end.
std::string_view CastJazyka(std::string_view locale) {
    return locale.substr(0, locale.find_first_of("_.@"));
}

char Mala(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

std::optional<std::string> JazykLocale(std::string_view locale) {
    // ISO 639 names the languages; Czech is "cs", whose flag code is "CZ".
    static constexpr std::pair<std::string_view, std::string_view> Kody[] = {
        {"cs", "CZ"}, {"en", "EN"}, {"sk", "SK"}, {"de", "DE"}, {"fr", "FR"}, {"es", "ES"}};
    const std::string_view cast = CastJazyka(locale);
    if (cast.size() != 2) return std::nullopt;
    const std::string mala{Mala(cast[0]), Mala(cast[1])};
    for (const auto& [iso, kod] : Kody)
        if (mala == iso) return std::string(kod);
    return std::nullopt;
}

std::optional<std::string> JazykProstredi(const TPromennaProstredi& promenna) {
    const auto neprazdna = [&](const char* nazev) -> std::optional<std::string> {
        auto hodnota = promenna(nazev);
        if (hodnota && hodnota->empty()) hodnota.reset();
        return hodnota;
    };
    std::optional<std::string> zprav = neprazdna("LC_ALL");
    if (!zprav) zprav = neprazdna("LC_MESSAGES");
    if (!zprav) zprav = neprazdna("LANG");
    // The C locale asks for no translation: the program's own language.
    const std::string_view jazykZprav = zprav ? CastJazyka(*zprav) : std::string_view();
    if (jazykZprav == "C" || jazykZprav == "POSIX") return std::nullopt;
    if (const auto seznam = neprazdna("LANGUAGE")) {
        std::string_view zbytek = *seznam;
        while (!zbytek.empty()) {
            const std::size_t konec = zbytek.find(':');
            if (auto kod = JazykLocale(zbytek.substr(0, konec))) return kod;
            if (konec == std::string_view::npos) break;
            zbytek.remove_prefix(konec + 1);
        }
    }
    return zprav ? JazykLocale(*zprav) : std::nullopt;
}

std::optional<std::string> JazykProstredi() {
    return JazykProstredi([](const char* nazev) -> std::optional<std::string> {
        if (const char* hodnota = std::getenv(nazev)) return std::string(hodnota);
        return std::nullopt;
    });
}

std::string JazykUzivatele(bool zvolen, std::u16string_view ulozeny, const std::optional<std::string>& prostredi) {
    if (zvolen && !ulozeny.empty()) return DoUtf8(ulozeny);
    return prostredi.value_or("CZ");
}
