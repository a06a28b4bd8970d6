// A library for LD_PRELOAD that makes a race repeatable: the program waits
// at a chosen call until the test has done what it wants done at that moment.
//
//   TARVIK_PAUZA=open:NAME:N     the N-th open of a path ending in NAME waits
//   TARVIK_PAUZA=rename:NAME:N   the N-th rename onto a path ending in NAME waits
//   TARVIK_PAUZA_ZNACKA=FILE     while the call waits, FILE exists; the call
//                                goes on once the test removes it
//
// It also fails a call as a system without it would:
//
//   TARVIK_SELHANI=fchmod:ERRNO  every fchmod fails with ERRNO (38, ENOSYS: as
//                                on FAT)
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <string>
#include <time.h>
#include <unistd.h>

namespace {

std::mutex zamek;
int pocet = 0;

// Waits when this call (druh, the path) is the one asked for.
void Pockat(const char* druh, const char* cesta) {
    const char* pauza = std::getenv("TARVIK_PAUZA");
    const char* znacka = std::getenv("TARVIK_PAUZA_ZNACKA");
    if (!pauza || !znacka || !cesta) return;
    const std::string p(pauza);
    const std::size_t a = p.find(':'), b = p.rfind(':');
    if (a == std::string::npos || b == a || p.compare(0, a, druh) != 0) return;
    const std::string jmeno = p.substr(a + 1, b - a - 1);
    const std::size_t delka = std::strlen(cesta);
    if (delka < jmeno.size() || jmeno.compare(0, jmeno.size(), cesta + delka - jmeno.size()) != 0) return;
    {
        std::lock_guard<std::mutex> z(zamek);
        if (++pocet != std::atoi(p.c_str() + b + 1)) return;
    }
    const int saved = errno;
    using TOpen = int (*)(const char*, int, ...);
    static const auto skutecny = reinterpret_cast<TOpen>(dlsym(RTLD_NEXT, "open"));
    const int fd = skutecny(znacka, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd >= 0) close(fd);
    const timespec chvile{0, 10 * 1000 * 1000};
    while (access(znacka, F_OK) == 0) nanosleep(&chvile, nullptr);
    errno = saved;
}

// True (errno set) when calls of this kind are to fail.
bool Selhat(const char* druh) {
    const char* selhani = std::getenv("TARVIK_SELHANI");
    const std::size_t n = std::strlen(druh);
    if (!selhani || std::strncmp(selhani, druh, n) != 0 || selhani[n] != ':') return false;
    errno = std::atoi(selhani + n + 1);
    return true;
}

mode_t Mod(int flags, va_list& a) {
    return (flags & O_CREAT) || (flags & O_TMPFILE) == O_TMPFILE ? static_cast<mode_t>(va_arg(a, int)) : 0;
}

template <typename F>
F Skutecna(const char* jmeno) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, jmeno));
}

}  // namespace

extern "C" {

int open(const char* cesta, int flags, ...) {
    va_list a;
    va_start(a, flags);
    const mode_t mod = Mod(flags, a);
    va_end(a);
    Pockat("open", cesta);
    static const auto f = Skutecna<int (*)(const char*, int, ...)>("open");
    return f(cesta, flags, mod);
}

int open64(const char* cesta, int flags, ...) {
    va_list a;
    va_start(a, flags);
    const mode_t mod = Mod(flags, a);
    va_end(a);
    Pockat("open", cesta);
    static const auto f = Skutecna<int (*)(const char*, int, ...)>("open64");
    return f(cesta, flags, mod);
}

int openat(int slozka, const char* cesta, int flags, ...) {
    va_list a;
    va_start(a, flags);
    const mode_t mod = Mod(flags, a);
    va_end(a);
    Pockat("open", cesta);
    static const auto f = Skutecna<int (*)(int, const char*, int, ...)>("openat");
    return f(slozka, cesta, flags, mod);
}

int rename(const char* stara, const char* nova) {
    Pockat("rename", nova);
    static const auto f = Skutecna<int (*)(const char*, const char*)>("rename");
    return f(stara, nova);
}

int fchmod(int fd, mode_t mod) {
    if (Selhat("fchmod")) return -1;
    static const auto f = Skutecna<int (*)(int, mode_t)>("fchmod");
    return f(fd, mod);
}

int renameat(int a, const char* stara, int b, const char* nova) {
    Pockat("rename", nova);
    static const auto f = Skutecna<int (*)(int, const char*, int, const char*)>("renameat");
    return f(a, stara, b, nova);
}

}  // extern "C"
