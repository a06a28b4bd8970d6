// The settings store of this platform elsewhere than on Windows: the file
// store in the user's configuration folder. (On Windows the registry's
// own, in RegistrWin32.cpp.)
#include "Registr.h"
#include "RegistrSoubor.h"

#ifndef _WIN32

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
