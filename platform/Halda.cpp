#include "Halda.h"

#include <cstdlib>  // defines __GLIBC__ with the GNU C library

#if defined(__linux__) && defined(__GLIBC__)
#include <cstring>
#include <string>
#include <unistd.h>
#endif

void ZapnoutVelkeStranky(char** argv) {
#if defined(__linux__) && defined(__GLIBC__)
    constexpr const char* Znacka = "TARVIK_VELKE_STRANKY";
    if (argv == nullptr || argv[0] == nullptr || std::getenv(Znacka) != nullptr) return;
    // Marked first, so that a failed or repeated start never loops.
    ::setenv(Znacka, "1", 1);
    std::string ladeni = "glibc.malloc.hugetlb=1";
    if (const char* puvodni = std::getenv("GLIBC_TUNABLES")) {
        if (std::strstr(puvodni, "glibc.malloc.hugetlb") != nullptr) return;
        ladeni = std::string(puvodni) + ":" + ladeni;
    }
    ::setenv("GLIBC_TUNABLES", ladeni.c_str(), 1);
    ::execv("/proc/self/exe", argv);
    // Not restarted: the program runs on as it is.
#else
    (void)argv;
#endif
}
