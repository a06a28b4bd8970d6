#include "ZapisSouboru.h"

#include "ChybySouboru.h"

#include <algorithm>
#include <cstring>
#include <random>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The folder of a file, as the user sees it in messages.
std::filesystem::path SlozkaSouboru(const std::filesystem::path& soubor) {
    return soubor.has_parent_path() ? soubor.parent_path() : std::filesystem::path(".");
}

// New files of a save carry this after the target's name, so that one left
// behind by a killed program can be told apart and removed.
constexpr char ZnackaNovych[] = ".tarvik-";

}  // namespace

void TZapisSouboru::Zapsat(std::string_view bajty) {
    if (zpusob_ == TZpusob::NaMiste && !zacato_) {
        zacato_ = true;
        if (!Vyprazdnit()) Selhani(Duvod());
    }
    if (!ZapsatVse(bajty)) {
        if (zpusob_ == TZpusob::NaMiste) Selhani(Duvod());
        ChybaZapisuSouboru(soubor_, Duvod());
    }
}

void TZapisSouboru::Dokoncit() {
    if (zpusob_ == TZpusob::Nahradit) {
        DokoncitNahrazeni();
        return;
    }
    if (zpusob_ == TZpusob::NaMiste) {
        if (!zacato_) {
            zacato_ = true;
            if (!Vyprazdnit()) Selhani(Duvod());
        }
        if (!Splachnout()) Selhani(Duvod());
    }
    dokonceno_ = true;
    if (!Zavrit()) ChybaZapisuSouboru(soubor_, Duvod());
}

void TZapisSouboru::Selhani(const std::u16string& duvod) {
    dokonceno_ = true;  // the old bytes are written back here, once
    if (Vyprazdnit() && ZapsatVse(stary_) && Splachnout())
        ChybaZapisuSouboru(soubor_, duvod + u"; the old content was written back");
    ChybaZapisuSouboru(soubor_, duvod + u"; writing the old content back failed as well: " + Duvod());
}

TZapisSouboru::~TZapisSouboru() {
    if (!dokonceno_ && zpusob_ == TZpusob::NaMiste && zacato_) {
        // Left on the way (an exception between two pieces): the old content again.
        if (Vyprazdnit() && ZapsatVse(stary_)) Splachnout();
    }
    Zavrit();
    if (!dokonceno_ && !docasny_.empty()) {
        std::error_code ec;
        std::filesystem::remove(docasny_, ec);
    }
}

#ifdef _WIN32

namespace {

// Removes new files that a killed save left beside the target: a live save
// holds its new file open without sharing, so that only those go.
void UklidOpustenychNovych(const std::filesystem::path& cil) {
    std::filesystem::path vzor = cil;
    vzor += ZnackaNovych;
    vzor += L"*.tmp";
    WIN32_FIND_DATAW nalez{};
    HANDLE hledani = FindFirstFileW(vzor.c_str(), &nalez);
    if (hledani == INVALID_HANDLE_VALUE) return;
    do {
        DeleteFileW((SlozkaSouboru(cil) / nalez.cFileName).c_str());
    } while (FindNextFileW(hledani, &nalez));
    FindClose(hledani);
}

}  // namespace

TZapisSouboru::TZapisSouboru(const std::filesystem::path& soubor) : soubor_(soubor), cil_(soubor) {
    const DWORD atributy = GetFileAttributesW(soubor.c_str());
    const bool existuje = atributy != INVALID_FILE_ATTRIBUTES;
    if (existuje && (atributy & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        ChybaZapisuSouboru(soubor, DuvodSystemu(ERROR_ACCESS_DENIED));
    HANDLE h = CreateFileW(soubor.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        if (GetFileType(h) != FILE_TYPE_DISK) {
            // A device or a pipe (NUL, CON): written through, never replaced.
            h_ = h;
            zpusob_ = TZpusob::Primo;
            return;
        }
        BY_HANDLE_FILE_INFORMATION info{};
        const bool odkazy = GetFileInformationByHandle(h, &info) && info.nNumberOfLinks > 1;
        CloseHandle(h);
        if (odkazy) {
            OtevritNaMiste();
            return;
        }
    }
    if (VytvoritNovy()) return;
    if (existuje && chyba_ == ERROR_ACCESS_DENIED) {
        OtevritNaMiste();
        return;
    }
    ChybaZapisuSouboru(soubor, u"Folder \"" + TextCesty(SlozkaSouboru(cil_)) + u"\": " + Duvod());
}

bool TZapisSouboru::VytvoritNovy() {
    UklidOpustenychNovych(cil_);
    std::filesystem::path novy = cil_;
    novy += ZnackaNovych + std::to_string(GetCurrentProcessId()) + ".tmp";
    HANDLE h = CreateFileW(novy.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        chyba_ = GetLastError();
        return false;
    }
    h_ = h;
    docasny_ = novy;
    return true;
}

void TZapisSouboru::OtevritNaMiste() {
    zpusob_ = TZpusob::NaMiste;
    HANDLE h = CreateFileW(cil_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaZapisuSouboru(soubor_, DuvodSystemu(GetLastError()));
    h_ = h;
    // A failure here fails the constructor, whose destructor never runs.
    try {
        char blok[1 << 16];
        for (;;) {
            DWORD precteno = 0;
            if (!ReadFile(h, blok, sizeof blok, &precteno, nullptr)) ChybaZapisuSouboru(soubor_, DuvodSystemu(GetLastError()));
            if (precteno == 0) break;
            stary_.append(blok, precteno);
        }
    } catch (...) {
        Zavrit();
        throw;
    }
}

void TZapisSouboru::DokoncitNahrazeni() {
    HANDLE h = static_cast<HANDLE>(h_);
    if (!FlushFileBuffers(h)) ChybaZapisuSouboru(soubor_, DuvodSystemu(GetLastError()));
    CloseHandle(h);
    h_ = nullptr;
    BOOL ok = FALSE;
    if (GetFileAttributesW(cil_.c_str()) != INVALID_FILE_ATTRIBUTES)
        ok = ReplaceFileW(cil_.c_str(), docasny_.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!ok) ok = MoveFileExW(docasny_.c_str(), cil_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) ChybaZapisuSouboru(soubor_, DuvodSystemu(GetLastError()));  // the destructor removes the new file
    dokonceno_ = true;
    docasny_.clear();
}

bool TZapisSouboru::Vyprazdnit() {
    LARGE_INTEGER nula{};
    HANDLE h = static_cast<HANDLE>(h_);
    if (SetFilePointerEx(h, nula, nullptr, FILE_BEGIN) && SetEndOfFile(h)) return true;
    chyba_ = GetLastError();
    return false;
}

bool TZapisSouboru::ZapsatVse(std::string_view bajty) {
    std::size_t zapsano = 0;
    while (zapsano < bajty.size()) {
        const DWORD kus = static_cast<DWORD>(std::min<std::size_t>(bajty.size() - zapsano, 1u << 30));
        DWORD w = 0;
        if (!WriteFile(static_cast<HANDLE>(h_), bajty.data() + zapsano, kus, &w, nullptr)) {
            chyba_ = GetLastError();
            return false;
        }
        zapsano += w;
    }
    return true;
}

bool TZapisSouboru::Splachnout() {
    if (FlushFileBuffers(static_cast<HANDLE>(h_))) return true;
    chyba_ = GetLastError();
    return false;
}

bool TZapisSouboru::Zavrit() {
    if (h_ == nullptr) return true;
    const BOOL ok = CloseHandle(static_cast<HANDLE>(h_));
    h_ = nullptr;
    if (!ok) chyba_ = GetLastError();
    return ok;
}

std::u16string TZapisSouboru::Duvod() const { return DuvodSystemu(chyba_); }

#else

namespace {

// The descriptor that a path names, also through links (/dev/stdout,
// /dev/fd/N, /proc/self/fd/N); -1 for any other path.
int CisloPopisovace(const std::filesystem::path& soubor) {
    namespace fs = std::filesystem;
    const std::string vlastni = "/proc/" + std::to_string(::getpid()) + "/fd/";
    fs::path p = soubor;
    for (int krok = 0; krok < 40; ++krok) {
        std::error_code ec;
        const std::string s = fs::absolute(p, ec).lexically_normal().string();
        if (s == "/dev/stdin") return STDIN_FILENO;
        if (s == "/dev/stdout") return STDOUT_FILENO;
        if (s == "/dev/stderr") return STDERR_FILENO;
        for (const std::string& predpona : {std::string("/dev/fd/"), std::string("/proc/self/fd/"), vlastni}) {
            const bool cislo = s.size() > predpona.size() && s.size() <= predpona.size() + 9 &&
                               s.compare(0, predpona.size(), predpona) == 0 &&
                               s.find_first_not_of("0123456789", predpona.size()) == std::string::npos;
            if (cislo) return std::stoi(s.substr(predpona.size()));
        }
        if (!fs::is_symlink(p, ec)) return -1;
        const fs::path cil = fs::read_symlink(p, ec);
        if (ec) return -1;
        p = cil.is_absolute() ? cil : p.parent_path() / cil;
    }
    return -1;
}

// The start of the names of new files for the target: hidden, the target's
// name, the mark; six random characters follow.
std::string PredponaNovych(const std::filesystem::path& cil) {
    std::string predpona(1, '.');
    predpona += cil.filename().string();
    predpona += ZnackaNovych;
    return predpona;
}

std::filesystem::path NahodneJmeno(const std::filesystem::path& cil) {
    static constexpr char Znaky[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    thread_local std::mt19937_64 nahoda{std::random_device{}() ^ (std::uint64_t(::getpid()) << 32)};
    std::string jmeno = PredponaNovych(cil);
    for (int i = 0; i < 6; ++i) jmeno += Znaky[nahoda() % (sizeof Znaky - 1)];
    return SlozkaSouboru(cil) / jmeno;
}

// Removes new files that a killed save left beside the target: a live save
// holds a lock on its new file, which ends with the process.
void UklidOpustenychNovych(const std::filesystem::path& cil) {
    const std::string predpona = PredponaNovych(cil);
    std::error_code ec;
    for (std::filesystem::directory_iterator i(SlozkaSouboru(cil), ec), konec; !ec && i != konec; i.increment(ec)) {
        const std::string jmeno = i->path().filename().string();
        if (jmeno.size() != predpona.size() + 6 || jmeno.compare(0, predpona.size(), predpona) != 0) continue;
        const int fd = ::open(i->path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) continue;
        struct stat st {};
        if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(i->path().c_str());
        ::close(fd);
    }
}

}  // namespace

TZapisSouboru::TZapisSouboru(const std::filesystem::path& soubor) : soubor_(soubor), cil_(soubor) {
    if (const int popisovac = CisloPopisovace(soubor); popisovac >= 0) {
        // Written through the descriptor as it is open: never cut, never replaced.
        fd_ = ::fcntl(popisovac, F_DUPFD_CLOEXEC, 0);
        if (fd_ < 0) ChybaZapisuSouboru(soubor, DuvodSystemu(errno));
        zpusob_ = TZpusob::Primo;
        return;
    }
    // A link is followed, so that the link stays and its target is written.
    std::error_code ec;
    if (std::filesystem::is_symlink(soubor, ec)) {
        const auto skutecny = std::filesystem::canonical(soubor, ec);
        if (!ec) cil_ = skutecny;
    }
    struct stat st {};
    if (::stat(cil_.c_str(), &st) != 0) {
        if (errno != ENOENT) ChybaZapisuSouboru(soubor, DuvodSystemu(errno));
        const mode_t maska = ::umask(0);
        ::umask(maska);
        mod_ = 0666 & ~maska;
        if (!VytvoritNovy()) ChybaZapisuSouboru(soubor, u"Folder \"" + TextCesty(SlozkaSouboru(cil_)) + u"\": " + Duvod());
        return;
    }
    if (S_ISDIR(st.st_mode)) ChybaZapisuSouboru(soubor, DuvodSystemu(EISDIR));
    if (!S_ISREG(st.st_mode)) {
        // A device, a pipe or a socket: written through, never replaced by a file.
        fd_ = ::open(cil_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) ChybaZapisuSouboru(soubor, DuvodSystemu(errno));
        zpusob_ = TZpusob::Primo;
        return;
    }
    // A file without any write permission is read-only, also for root.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(cil_.c_str(), W_OK) != 0)
        ChybaZapisuSouboru(soubor, DuvodSystemu(EACCES));
    mod_ = st.st_mode & 07777;
    // A new file would leave the other names of the file with the old content.
    if (st.st_nlink > 1) {
        OtevritNaMiste();
        return;
    }
    if (!VytvoritNovy()) {
        if (chyba_ != EACCES && chyba_ != EPERM && chyba_ != EROFS)
            ChybaZapisuSouboru(soubor, u"Folder \"" + TextCesty(SlozkaSouboru(cil_)) + u"\": " + Duvod());
        // The folder cannot be written, the file can.
        OtevritNaMiste();
        return;
    }
    struct stat novy {};
    if (::fstat(fd_, &novy) != 0 ||
        ((novy.st_uid != st.st_uid || novy.st_gid != st.st_gid) && ::fchown(fd_, st.st_uid, st.st_gid) != 0)) {
        // The new file cannot get the old owner: the file keeps its own.
        Zavrit();
        if (!docasny_.empty()) ::unlink(docasny_.c_str());
        docasny_.clear();
        OtevritNaMiste();
    }
}

bool TZapisSouboru::VytvoritNovy() {
    UklidOpustenychNovych(cil_);
    const std::filesystem::path slozka = SlozkaSouboru(cil_);
#ifdef O_TMPFILE
    // Unnamed until it is complete, so that a killed save leaves nothing.
    fd_ = ::open(slozka.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_EX | LOCK_NB);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        chyba_ = errno;
        return false;
    }
#endif
    // A named new file, locked while it lives.
    for (int pokus = 0; pokus < 100; ++pokus) {
        const std::filesystem::path jmeno = NahodneJmeno(cil_);
        fd_ = ::open(jmeno.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd_ >= 0) {
            docasny_ = jmeno;
            ::flock(fd_, LOCK_EX | LOCK_NB);
            return true;
        }
        if (errno != EEXIST) break;
    }
    chyba_ = errno;
    return false;
}

void TZapisSouboru::OtevritNaMiste() {
    zpusob_ = TZpusob::NaMiste;
    fd_ = ::open(cil_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd_ < 0) ChybaZapisuSouboru(soubor_, DuvodSystemu(errno));
    // A failure here fails the constructor, whose destructor never runs.
    try {
        char blok[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd_, blok, sizeof blok);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                ChybaZapisuSouboru(soubor_, DuvodSystemu(errno));
            }
            stary_.append(blok, static_cast<std::size_t>(n));
        }
    } catch (...) {
        Zavrit();
        throw;
    }
}

void TZapisSouboru::DokoncitNahrazeni() {
    if (::fchmod(fd_, mod_) != 0 || ::fsync(fd_) != 0) ChybaZapisuSouboru(soubor_, DuvodSystemu(errno));
    const std::filesystem::path slozka = SlozkaSouboru(cil_);
    if (docasny_.empty()) {
        // The complete file gets a name beside the target, then the target's.
        const std::string proc = "/proc/self/fd/" + std::to_string(fd_);
        int kod = EEXIST;
        for (int pokus = 0; pokus < 100 && kod == EEXIST; ++pokus) {
            const std::filesystem::path jmeno = NahodneJmeno(cil_);
            if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, jmeno.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
                (errno == ENOENT && ::linkat(fd_, "", AT_FDCWD, jmeno.c_str(), AT_EMPTY_PATH) == 0)) {
                docasny_ = jmeno;
                break;
            }
            kod = errno;
        }
        if (docasny_.empty()) ChybaZapisuSouboru(soubor_, DuvodSystemu(kod));
    }
    if (::rename(docasny_.c_str(), cil_.c_str()) != 0) ChybaZapisuSouboru(soubor_, DuvodSystemu(errno));
    dokonceno_ = true;
    docasny_.clear();
    Zavrit();
    // The rename itself reaches the disk.
    const int fdSlozky = ::open(slozka.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fdSlozky >= 0) {
        ::fsync(fdSlozky);
        ::close(fdSlozky);
    }
}

bool TZapisSouboru::Vyprazdnit() {
    if (::ftruncate(fd_, 0) == 0 && ::lseek(fd_, 0, SEEK_SET) == 0) return true;
    chyba_ = errno;
    return false;
}

bool TZapisSouboru::ZapsatVse(std::string_view bajty) {
    std::size_t zapsano = 0;
    while (zapsano < bajty.size()) {
        const ssize_t n = ::write(fd_, bajty.data() + zapsano, std::min<std::size_t>(bajty.size() - zapsano, 1u << 30));
        if (n < 0) {
            if (errno == EINTR) continue;
            chyba_ = errno;
            return false;
        }
        zapsano += static_cast<std::size_t>(n);
    }
    return true;
}

bool TZapisSouboru::Splachnout() {
    if (::fsync(fd_) == 0) return true;
    chyba_ = errno;
    return false;
}

bool TZapisSouboru::Zavrit() {
    if (fd_ < 0) return true;
    const int vysledek = ::close(fd_);
    fd_ = -1;
    if (vysledek != 0) chyba_ = errno;
    return vysledek == 0;
}

std::u16string TZapisSouboru::Duvod() const { return DuvodSystemu(chyba_); }

#endif

void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes) {
    TZapisSouboru zapis(soubor);
    zapis.Zapsat(bytes);
    zapis.Dokoncit();
}
