#include "Halda.h"

#include <cstdlib>  // defines __GLIBC__ with the GNU C library

#if defined(__linux__) && defined(__GLIBC__)
#include <cstring>
#include <string>
#include <unistd.h>
#endif

void ZapnoutVelkeStranky(char** argv) {
#if defined(__linux__) && defined(__GLIBC__)
    // The mark carries what GLIBC_TUNABLES held before the restart, so that
    // the restarted program gives it back and starts nothing with its own
    // setting: "zadne" for no value, "puvodni:" followed by the value.
    constexpr const char* Znacka = "TARVIK_VELKE_STRANKY";
    if (const char* znacka = std::getenv(Znacka)) {
        const std::string hodnota = znacka;
        if (hodnota == "zadne") {
            ::unsetenv("GLIBC_TUNABLES");
        } else if (hodnota.rfind("puvodni:", 0) == 0) {
            ::setenv("GLIBC_TUNABLES", hodnota.c_str() + 8, 1);
        }
        // Any other value keeps the program from restarting, and is left as it is.
        if (hodnota == "zadne" || hodnota.rfind("puvodni:", 0) == 0) ::unsetenv(Znacka);
        return;
    }
    if (argv == nullptr || argv[0] == nullptr) return;
    const char* puvodni = std::getenv("GLIBC_TUNABLES");
    if (puvodni != nullptr && std::strstr(puvodni, "glibc.malloc.hugetlb") != nullptr) return;
    const std::string znacka = puvodni ? std::string("puvodni:") + puvodni : std::string("zadne");
    const std::string ladeni = puvodni ? std::string(puvodni) + ":glibc.malloc.hugetlb=1" : "glibc.malloc.hugetlb=1";
    // Marked first, so that a failed or repeated start never loops.
    ::setenv(Znacka, znacka.c_str(), 1);
    ::setenv("GLIBC_TUNABLES", ladeni.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    // Not restarted: the program runs on as it is, with the environment it had.
    if (puvodni) {
        ::setenv("GLIBC_TUNABLES", znacka.c_str() + 8, 1);
    } else {
        ::unsetenv("GLIBC_TUNABLES");
    }
    ::unsetenv(Znacka);
#else
    (void)argv;
#endif
}
