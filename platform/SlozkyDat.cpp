#include "SlozkyDat.h"

#include <cstdlib>
#include <string_view>

#ifdef _WIN32
#include <windows.h>
#endif

#ifndef TARVIK_SDILENA_DATA
#define TARVIK_SDILENA_DATA "../share/tarvik"
#endif

namespace {

#ifndef _WIN32
// A folder named by a variable: absolute, or not at all.
std::optional<std::filesystem::path> AbsolutniSlozka(std::string_view s) {
    if (s.empty() || s.front() != '/') return std::nullopt;
    return std::filesystem::path(s);
}
#endif

}  // namespace

std::filesystem::path SlozkaProgramu() {
#ifdef _WIN32
    std::wstring cesta(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, cesta.data(), static_cast<DWORD>(cesta.size()));
        if (n < cesta.size()) {
            cesta.resize(n);
            break;
        }
        cesta.resize(cesta.size() * 2);
    }
    return std::filesystem::path(cesta).parent_path() / L"";
#else
    std::error_code ec;
    const auto cesta = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec) / "";
    return cesta.parent_path() / "";
#endif
}

std::vector<std::filesystem::path> SlozkyDat() {
    const std::filesystem::path program = SlozkaProgramu();
    std::vector<std::filesystem::path> slozky{program,
                                              (program / TARVIK_SDILENA_DATA).lexically_normal()};
#ifndef _WIN32
    const char* domov = std::getenv("XDG_DATA_HOME");
    if (const auto d = AbsolutniSlozka(domov ? domov : "")) {
        slozky.push_back(*d / "tarvik");
    } else if (const char* home = std::getenv("HOME"); home && *home) {
        slozky.push_back(std::filesystem::path(home) / ".local/share/tarvik");
    }
    const char* seznam = std::getenv("XDG_DATA_DIRS");
    std::string_view zbytek = seznam && *seznam ? seznam : "/usr/local/share/:/usr/share/";
    while (true) {
        const std::size_t dvojtecka = zbytek.find(':');
        if (const auto d = AbsolutniSlozka(zbytek.substr(0, dvojtecka))) slozky.push_back(*d / "tarvik");
        if (dvojtecka == std::string_view::npos) break;
        zbytek.remove_prefix(dvojtecka + 1);
    }
#endif
    return slozky;
}

std::optional<std::filesystem::path> NajitSoubor(const std::vector<std::filesystem::path>& slozky,
                                                 const std::filesystem::path& jmeno) {
    for (const auto& slozka : slozky) {
        std::error_code ec;
        const std::filesystem::path p = slozka / jmeno;
        if (std::filesystem::is_regular_file(p, ec)) return p;
    }
    return std::nullopt;
}
