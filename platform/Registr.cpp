#include "Registr.h"

#include "Chyba.h"

#ifndef _WIN32

#include "RegistrSoubor.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

std::filesystem::path CestaUlozisteNastaveni() {
    std::filesystem::path zaklad;
    // A relative XDG_CONFIG_HOME is not valid and is ignored.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        zaklad = xdg;
    } else {
        const char* domov = std::getenv("HOME");
        if (!domov || !*domov) {
            const passwd* pw = ::getpwuid(::getuid());
            domov = pw && pw->pw_dir ? pw->pw_dir : "/";
        }
        zaklad = std::filesystem::path(domov) / ".config";
    }
    return zaklad / "Orvendal" / "Tarvik.reg";
}

std::unique_ptr<TRegistr> VytvoritRegistr() {
    return std::make_unique<TRegistrSoubor>(CestaUlozisteNastaveni());
}

#endif

namespace ChybyHodnot {

void ChybaTypu(std::u16string_view nazev) { throw TChyba(u"Invalid data type for '" + std::u16string(nazev) + u"'"); }

void ChybaCteni(std::u16string_view nazev) { throw TChyba(u"Failed to get data for '" + std::u16string(nazev) + u"'"); }

void ChybaZapisu(std::u16string_view nazev, std::u16string_view duvod) {
    std::u16string z = u"Failed to set data for '" + std::u16string(nazev) + u"'";
    if (!duvod.empty()) z += u": " + std::u16string(duvod);
    throw TChyba(std::move(z));
}

}  // namespace ChybyHodnot
