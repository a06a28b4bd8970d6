#include "ZapisSouboru.h"

#include "ChybySouboru.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <random>
#include <set>
#include <tuple>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif
#endif

namespace {

// The folder of a file, as the user sees it in messages.
std::filesystem::path SlozkaSouboru(const std::filesystem::path& soubor) {
    return soubor.has_parent_path() ? soubor.parent_path() : std::filesystem::path(".");
}

// New files of a save carry this after the target's name, so that one left
// behind by a killed program can be told apart and removed.
constexpr char ZnackaNovych[] = ".tarvik-";

// True the first time a save of this process writes into the folder: its
// leftovers are looked for once, not once a file (which would cost the
// square of the files of a folder).
template <typename K>
bool PrvniVeSlozce(K klic) {
    static std::mutex zamek;
    static std::set<K> videne;
    std::lock_guard<std::mutex> z(zamek);
    return videne.insert(std::move(klic)).second;
}

}  // namespace

std::optional<std::size_t> TZapisSouboru::Dokoncit(TDavkaZapisu& davka) {
    if (zpusob_ != TZpusob::Nahradit) {
        Dokoncit();
        return std::nullopt;
    }
    TDavkaZapisu::TNahrazeni n{soubor_, cil_, docasny_};
#ifdef _WIN32
    n.h = h_;
    h_ = nullptr;
#else
    if (::fchmod(fd_, mod_) != 0) ChybaZapisuSouboru(soubor_, DuvodSystemu(errno));
    n.fd = fd_;
    fd_ = -1;
#endif
    dokonceno_ = true;
    docasny_.clear();
    return davka.Pridat(std::move(n));
}

std::size_t TDavkaZapisu::Pridat(TNahrazeni n) {
    std::size_t cislo;
    bool plna;
    {
        std::lock_guard<std::mutex> z(zamek_);
        cislo = dalsi_++;
        cekajici_.emplace_back(cislo, std::move(n));
        plna = cekajici_.size() >= mez_;
    }
    if (plna) Provest();
    return cislo;
}

TDavkaZapisu::TStav TDavkaZapisu::Stav(std::size_t cislo, std::u16string* zprava) {
    std::lock_guard<std::mutex> z(zamek_);
    const auto i = hotove_.find(cislo);
    if (i == hotove_.end()) return TStav::Ceka;
    const bool selhal = i->second.has_value();
    if (selhal && zprava) *zprava = *i->second;
    hotove_.erase(i);
    return selhal ? TStav::Selhal : TStav::Hotovo;
}

TDavkaZapisu::~TDavkaZapisu() { Provest(); }

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
        TDavkaZapisu sama(1);
        const std::size_t cislo = *Dokoncit(sama);
        std::u16string zprava;
        if (sama.Stav(cislo, &zprava) == TDavkaZapisu::TStav::Selhal) throw TChyba(zprava);
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

// Removes the new files that killed saves left in a folder: a live save
// holds its new file open without sharing, so that only those go.
void UklidSlozky(const std::filesystem::path& slozka) {
    std::error_code ec;
    const std::filesystem::path uplna = std::filesystem::absolute(slozka, ec);
    if (!PrvniVeSlozce(uplna.lexically_normal().wstring())) return;
    const std::filesystem::path vzor = slozka / (std::wstring(L"*") + L".tarvik-*.tmp");
    WIN32_FIND_DATAW nalez{};
    HANDLE hledani = FindFirstFileW(vzor.c_str(), &nalez);
    if (hledani == INVALID_HANDLE_VALUE) return;
    do {
        DeleteFileW((slozka / nalez.cFileName).c_str());
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
    UklidSlozky(SlozkaSouboru(cil_));
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

void TDavkaZapisu::Provest() {
    std::lock_guard<std::mutex> provadeni(provadeni_);
    std::vector<std::pair<std::size_t, TNahrazeni>> prace;
    {
        std::lock_guard<std::mutex> z(zamek_);
        prace.swap(cekajici_);
    }
    std::vector<std::optional<std::u16string>> chyby(prace.size());
    for (std::size_t i = 0; i < prace.size(); ++i) {
        TNahrazeni& n = prace[i].second;
        const auto selhat = [&](DWORD kod) {
            chyby[i] = ZpravaSouboru("Cannot create file \"%s\". ", n.soubor, DuvodSystemu(kod));
        };
        HANDLE h = static_cast<HANDLE>(n.h);
        const bool splachnuto = FlushFileBuffers(h);
        if (!splachnuto) selhat(GetLastError());
        CloseHandle(h);
        if (splachnuto) {
            BOOL ok = FALSE;
            if (GetFileAttributesW(n.cil.c_str()) != INVALID_FILE_ATTRIBUTES)
                ok = ReplaceFileW(n.cil.c_str(), n.docasny.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                  nullptr);
            if (!ok)
                ok = MoveFileExW(n.docasny.c_str(), n.cil.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            if (!ok) selhat(GetLastError());
        }
        if (chyby[i]) DeleteFileW(n.docasny.c_str());
    }
    std::lock_guard<std::mutex> z(zamek_);
    for (std::size_t i = 0; i < prace.size(); ++i) hotove_[prace[i].first] = std::move(chyby[i]);
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

// True for the name of a new file of a save: ".NAME.tarvik-" and six characters.
bool JmenoNoveho(std::string_view jmeno) {
    constexpr std::size_t Znacka = sizeof ZnackaNovych - 1;
    return jmeno.size() > 1 + Znacka + 6 && jmeno.front() == '.' &&
           jmeno.compare(jmeno.size() - 6 - Znacka, Znacka, ZnackaNovych) == 0;
}

// Removes the new files that killed saves left in a folder, once a run: a
// live save holds a lock on its new file, which ends with the process.
void UklidSlozky(const std::filesystem::path& slozka) {
    struct stat st {};
    // (The path too: a folder removed and another made may get its number.)
    std::error_code ec;
    const std::string cesta = std::filesystem::absolute(slozka, ec).lexically_normal().native();
    if (::stat(slozka.c_str(), &st) != 0 || !PrvniVeSlozce(std::tuple(st.st_dev, st.st_ino, cesta))) return;
    for (std::filesystem::directory_iterator i(slozka, ec), konec; !ec && i != konec; i.increment(ec)) {
        if (!JmenoNoveho(i->path().filename().native())) continue;
        const int fd = ::open(i->path().c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
        if (fd < 0) continue;
        struct stat soubor {};
        if (::fstat(fd, &soubor) == 0 && S_ISREG(soubor.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0)
            ::unlink(i->path().c_str());
        ::close(fd);
    }
}

// Gives the complete unnamed file fd a name beside its target; the error code
// when it cannot.
int Pojmenovat(int fd, const std::filesystem::path& cil, std::filesystem::path& jmeno) {
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    int kod = EEXIST;
    for (int pokus = 0; pokus < 100 && kod == EEXIST; ++pokus) {
        jmeno = NahodneJmeno(cil);
        if (::linkat(AT_FDCWD, proc.c_str(), AT_FDCWD, jmeno.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno == ENOENT && ::linkat(fd, "", AT_FDCWD, jmeno.c_str(), AT_EMPTY_PATH) == 0))
            return 0;
        kod = errno;
    }
    jmeno.clear();
    return kod;
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
        ((novy.st_uid != st.st_uid || novy.st_gid != st.st_gid) && ::fchown(fd_, st.st_uid, st.st_gid) != 0) ||
        !PrenestAtributy()) {
        // The new file cannot get the old owner, access control list or
        // extended attributes: the file keeps its own.
        Zavrit();
        if (!docasny_.empty()) ::unlink(docasny_.c_str());
        docasny_.clear();
        OtevritNaMiste();
    }
}

bool TZapisSouboru::PrenestAtributy() {
#ifdef __linux__
    // The names, then each value: both may grow between two calls.
    std::vector<char> jmena(1024);
    ssize_t n;
    while ((n = ::listxattr(cil_.c_str(), jmena.data(), jmena.size())) < 0) {
        if (errno != ERANGE) return errno == ENOTSUP || errno == ENOSYS;
        jmena.resize(jmena.size() * 4);
    }
    std::vector<char> hodnota(256);
    for (const char* j = jmena.data(); j < jmena.data() + n; j += std::strlen(j) + 1) {
        const std::string_view jmeno(j);
        // The access control list and the attributes of users; security.*
        // (labels, capabilities) is the system's to give a new file.
        if (jmeno.rfind("user.", 0) != 0 && jmeno.rfind("trusted.", 0) != 0 && jmeno != "system.posix_acl_access")
            continue;
        ssize_t d;
        while ((d = ::getxattr(cil_.c_str(), j, hodnota.data(), hodnota.size())) < 0) {
            if (errno != ERANGE) return false;
            hodnota.resize(hodnota.size() * 4);
        }
        if (::fsetxattr(fd_, j, hodnota.data(), static_cast<std::size_t>(d), 0) != 0) return false;
    }
#endif
    return true;
}

bool TZapisSouboru::VytvoritNovy() {
    const std::filesystem::path slozka = SlozkaSouboru(cil_);
    UklidSlozky(slozka);
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

void TDavkaZapisu::Provest() {
    std::lock_guard<std::mutex> provadeni(provadeni_);
    std::vector<std::pair<std::size_t, TNahrazeni>> prace;
    {
        std::lock_guard<std::mutex> z(zamek_);
        prace.swap(cekajici_);
    }
    if (prace.empty()) return;
    std::vector<std::optional<std::u16string>> chyby(prace.size());
    const auto selhat = [&](std::size_t i, int kod) {
        if (!chyby[i]) chyby[i] = ZpravaSouboru("Cannot create file \"%s\". ", prace[i].second.soubor, DuvodSystemu(kod));
    };
    // Every new file on disk: one syncfs a file system, where a failure (it
    // may be another file's) is looked into file by file; else one fsync each.
    std::map<dev_t, std::vector<std::size_t>> systemy;
    for (std::size_t i = 0; i < prace.size(); ++i) {
        struct stat st {};
#ifdef __linux__
        if (prace.size() > 1 && ::fstat(prace[i].second.fd, &st) == 0) {
            systemy[st.st_dev].push_back(i);
            continue;
        }
#endif
        if (::fsync(prace[i].second.fd) != 0) selhat(i, errno);
    }
#ifdef __linux__
    for (const auto& [zarizeni, soubory] : systemy) {
        if (::syncfs(prace[soubory.front()].second.fd) == 0) continue;
        for (const std::size_t i : soubory)
            if (::fsync(prace[i].second.fd) != 0) selhat(i, errno);
    }
#endif
    // Then each takes its target's place: a name beside it (an unnamed file
    // gets it only now, so that a killed run leaves as few as it can), the
    // rename; and each folder once on disk.
    std::set<std::filesystem::path> slozky;
    for (std::size_t i = 0; i < prace.size(); ++i) {
        TNahrazeni& n = prace[i].second;
        if (!chyby[i] && n.docasny.empty()) {
            if (const int kod = Pojmenovat(n.fd, n.cil, n.docasny)) selhat(i, kod);
        }
        if (!chyby[i]) {
            if (::rename(n.docasny.c_str(), n.cil.c_str()) == 0)
                slozky.insert(SlozkaSouboru(n.cil));
            else
                selhat(i, errno);
        }
        ::close(n.fd);
        if (chyby[i] && !n.docasny.empty()) ::unlink(n.docasny.c_str());
    }
    for (const std::filesystem::path& slozka : slozky) {
        const int fd = ::open(slozka.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd >= 0) {
            ::fsync(fd);
            ::close(fd);
        }
    }
    std::lock_guard<std::mutex> z(zamek_);
    for (std::size_t i = 0; i < prace.size(); ++i) hotove_[prace[i].first] = std::move(chyby[i]);
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

TChyba TDocasnySoubor::Vada(const std::u16string& duvod) const {
    return TChyba(ZpravaSouboru("Cannot create file \"%s\". ", slozka_, duvod));
}

bool TDocasnySoubor::Zpet() {
    Vylit();
    cteno_ = 0;
    return true;
}

void TDocasnySoubor::Zapsat(std::string_view bajty) {
    constexpr std::size_t Blok = std::size_t{1} << 16;
    if (naPriste_.size() + bajty.size() > Blok) Vylit();
    if (bajty.size() >= Blok) {
        ZapsatNaDisk(bajty);
    } else {
        if (naPriste_.capacity() < Blok) naPriste_.reserve(Blok);
        naPriste_ += bajty;
    }
    velikost_ += bajty.size();
}

void TDocasnySoubor::Vylit() {
    if (naPriste_.empty()) return;
    ZapsatNaDisk(naPriste_);
    naPriste_.clear();
}

#ifdef _WIN32

TDocasnySoubor::TDocasnySoubor() {
    std::error_code ec;
    slozka_ = std::filesystem::temp_directory_path(ec);
    static std::atomic<unsigned> poradi{0};
    for (int pokus = 0; pokus < 100 && !h_; ++pokus) {
        const std::filesystem::path jmeno =
            slozka_ / (L"tarvik-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++poradi) + L".tmp");
        HANDLE h = CreateFileW(jmeno.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
        if (h != INVALID_HANDLE_VALUE) h_ = h;
        else if (GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (!h_) throw Vada(DuvodSystemu(GetLastError()));
}

TDocasnySoubor::~TDocasnySoubor() { CloseHandle(static_cast<HANDLE>(h_)); }

void TDocasnySoubor::Vyprazdnit() {
    LARGE_INTEGER nula{};
    if (!SetFilePointerEx(static_cast<HANDLE>(h_), nula, nullptr, FILE_BEGIN) || !SetEndOfFile(static_cast<HANDLE>(h_)))
        throw Vada(DuvodSystemu(GetLastError()));
    naPriste_.clear();
    velikost_ = cteno_ = 0;
}

void TDocasnySoubor::ZapsatNaDisk(std::string_view bajty) {
    LARGE_INTEGER pozice{};
    pozice.QuadPart = static_cast<LONGLONG>(velikost_ - naPriste_.size());
    if (!SetFilePointerEx(static_cast<HANDLE>(h_), pozice, nullptr, FILE_BEGIN)) throw Vada(DuvodSystemu(GetLastError()));
    for (std::size_t zapsano = 0; zapsano < bajty.size();) {
        DWORD w = 0;
        const DWORD kus = static_cast<DWORD>(std::min<std::size_t>(bajty.size() - zapsano, 1u << 30));
        if (!WriteFile(static_cast<HANDLE>(h_), bajty.data() + zapsano, kus, &w, nullptr))
            throw Vada(DuvodSystemu(GetLastError()));
        zapsano += w;
    }
}

std::size_t TDocasnySoubor::Precist(char* cil, std::size_t n) {
    Vylit();
    LARGE_INTEGER pozice{};
    pozice.QuadPart = static_cast<LONGLONG>(cteno_);
    DWORD precteno = 0;
    const DWORD kus = static_cast<DWORD>(std::min<std::uint64_t>({n, velikost_ - cteno_, 1u << 30}));
    if (kus == 0) return 0;
    if (!SetFilePointerEx(static_cast<HANDLE>(h_), pozice, nullptr, FILE_BEGIN) ||
        !ReadFile(static_cast<HANDLE>(h_), cil, kus, &precteno, nullptr))
        throw Vada(DuvodSystemu(GetLastError()));
    cteno_ += precteno;
    return precteno;
}

#else

TDocasnySoubor::TDocasnySoubor() {
    std::error_code ec;
    slozka_ = std::filesystem::temp_directory_path(ec);
#ifdef O_TMPFILE
    fd_ = ::open(slozka_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
#endif
    if (fd_ < 0) {
        // Named for a moment, then unnamed while it is open.
        std::string jmeno = (slozka_ / "tarvik-XXXXXX").native();
        fd_ = ::mkostemp(jmeno.data(), O_CLOEXEC);
        if (fd_ >= 0) ::unlink(jmeno.c_str());
    }
    if (fd_ < 0) throw Vada(DuvodSystemu(errno));
}

TDocasnySoubor::~TDocasnySoubor() { ::close(fd_); }

void TDocasnySoubor::Vyprazdnit() {
    naPriste_.clear();
    if (::ftruncate(fd_, 0) != 0) throw Vada(DuvodSystemu(errno));
    velikost_ = cteno_ = 0;
}

void TDocasnySoubor::ZapsatNaDisk(std::string_view bajty) {
    const std::uint64_t konec = velikost_ - (bajty.data() == naPriste_.data() ? naPriste_.size() : 0);
    for (std::size_t zapsano = 0; zapsano < bajty.size();) {
        const ssize_t n = ::pwrite(fd_, bajty.data() + zapsano, std::min<std::size_t>(bajty.size() - zapsano, 1u << 30),
                                   static_cast<off_t>(konec + zapsano));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw Vada(DuvodSystemu(n < 0 ? errno : ENOSPC));
        zapsano += static_cast<std::size_t>(n);
    }
}

std::size_t TDocasnySoubor::Precist(char* cil, std::size_t n) {
    Vylit();
    for (;;) {
        const ssize_t k = ::pread(fd_, cil, std::min<std::uint64_t>(n, velikost_ - cteno_), static_cast<off_t>(cteno_));
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) throw Vada(DuvodSystemu(errno));
        cteno_ += static_cast<std::uint64_t>(k);
        return static_cast<std::size_t>(k);
    }
}

#endif
