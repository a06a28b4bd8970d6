#include "ZapisSouboru.h"

#include "ChybySouboru.h"
#include "Popisovace.h"

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
#include <cstdio>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/xattr.h>
#endif
#endif

namespace {

#ifdef _WIN32
// The folder of a file, as the user sees it in messages.
std::filesystem::path SlozkaSouboru(const std::filesystem::path& soubor) {
    return soubor.has_parent_path() ? soubor.parent_path() : std::filesystem::path(".");
}
#endif

// New files of a save carry this after the target's name, then six
// characters of the alphabet.
constexpr char ZnackaNovych[] = ".tarvik-";
constexpr char Abeceda[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
constexpr std::size_t DelkaZnacky = 6;
// The longest name a file system takes (bytes; UTF-16 units on Windows).
constexpr std::size_t NejdelsiJmeno = 255;

// The start of a new file's name for the target jmeno: hidden, the target's
// name cut so that the whole name fits (at a character's start), the mark.
template <typename Znak>
std::basic_string<Znak> ZakladNoveho(std::basic_string_view<Znak> jmeno) {
    std::size_t n = std::min(jmeno.size(), NejdelsiJmeno - 1 - (sizeof ZnackaNovych - 1) - DelkaZnacky);
    // (UTF-8's continuation bytes, UTF-16's low surrogates.)
    const auto uvnitrZnaku = [&](std::size_t i) {
        const auto z = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Znak>>(jmeno[i]));
        return sizeof(Znak) == 1 ? (z & 0xC0) == 0x80 : (z >= 0xDC00 && z <= 0xDFFF);
    };
    while (n > 0 && n < jmeno.size() && uvnitrZnaku(n)) --n;
    std::basic_string<Znak> z(1, Znak('.'));
    z.append(jmeno.substr(0, n));
    for (const char c : std::string_view(ZnackaNovych)) z += Znak(c);
    return z;
}

// The six characters that mark a new file as this program's: a digest of
// its device, its number and the name before them. Another program's file
// of such a name bears it only by a chance of one in 62^6.
template <typename Znak>
std::basic_string<Znak> Znacka(std::uint64_t zarizeni, std::uint64_t cislo, std::basic_string_view<Znak> zaklad) {
    TSouhrnBajtu s;
    s.Pridat(reinterpret_cast<const char*>(&zarizeni), sizeof zarizeni);
    s.Pridat(reinterpret_cast<const char*>(&cislo), sizeof cislo);
    s.Pridat(reinterpret_cast<const char*>(zaklad.data()), zaklad.size() * sizeof(Znak));
    std::uint64_t h = s.Hodnota();
    std::basic_string<Znak> z;
    for (std::size_t i = 0; i < DelkaZnacky; ++i, h /= sizeof Abeceda - 1) z += Znak(Abeceda[h % (sizeof Abeceda - 1)]);
    return z;
}

// Six characters of the alphabet at random, for a name the file has before its mark.
template <typename Znak>
std::basic_string<Znak> Nahodne() {
    thread_local std::mt19937_64 nahoda{std::random_device{}()};
    std::basic_string<Znak> z;
    for (std::size_t i = 0; i < DelkaZnacky; ++i) z += Znak(Abeceda[nahoda() % (sizeof Abeceda - 1)]);
    return z;
}

// The part of a name before a new file's six characters, when the name has
// the form of one: ".NAME.tarvik-" and six characters of the alphabet.
template <typename Znak>
std::optional<std::basic_string_view<Znak>> ZakladJmenaNoveho(std::basic_string_view<Znak> jmeno) {
    constexpr std::size_t Znacka = sizeof ZnackaNovych - 1;
    if (jmeno.size() <= 1 + Znacka + DelkaZnacky || jmeno.front() != Znak('.')) return std::nullopt;
    const std::size_t zacatek = jmeno.size() - DelkaZnacky - Znacka;
    for (std::size_t i = 0; i < Znacka; ++i)
        if (jmeno[zacatek + i] != Znak(ZnackaNovych[i])) return std::nullopt;
    for (std::size_t i = jmeno.size() - DelkaZnacky; i < jmeno.size(); ++i)
        if (const auto z = static_cast<std::uint32_t>(static_cast<std::make_unsigned_t<Znak>>(jmeno[i]));
            z == 0 || z > 0x7F || !std::strchr(Abeceda, static_cast<char>(z)))
            return std::nullopt;
    return jmeno.substr(0, jmeno.size() - DelkaZnacky);
}

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

void TZapisSouboru::OveritPrecteny(const std::optional<TOtiskSouboru>& ted) {
    if (precteny_ && ted != precteny_) Vyhodit(Chyba(TProcChyby::ZmenenOdCteni));
}

TUdajeChyby TZapisSouboru::Chyba(TProcChyby proc) const {
    TUdajeChyby u;
    u.Cinnost = TCinnostSouboru::Zapis;
    u.Cesta = soubor_;
    u.Proc = proc;
    u.Kod = chyba_;
    return u;
}

void TZapisSouboru::ChybaSlozky(const std::filesystem::path& slozka) {
    TUdajeChyby u = Chyba(TProcChyby::Slozka);
    u.Slozka = slozka;
    Vyhodit(u);
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

std::size_t TDavkaZapisu::Cekajicich() {
    std::lock_guard<std::mutex> z(zamek_);
    return cekajici_.size();
}

TDavkaZapisu::TStav TDavkaZapisu::Stav(std::size_t cislo, TUdajeChyby* chyba, std::optional<TOtiskSouboru>* otisk) {
    std::lock_guard<std::mutex> z(zamek_);
    const auto i = hotove_.find(cislo);
    if (i == hotove_.end()) return TStav::Ceka;
    const bool selhal = i->second.chyba.has_value();
    if (selhal && chyba) *chyba = *i->second.chyba;
    if (!selhal && otisk) *otisk = i->second.otisk;
    hotove_.erase(i);
    return selhal ? TStav::Selhal : TStav::Hotovo;
}

TDavkaZapisu::~TDavkaZapisu() { Provest(); }

void TZapisSouboru::Zacit() {
    // The file read is the one cut: another program's write since stays.
#ifdef _WIN32
    OveritPrecteny(OtiskSouboru(cil_));
#else
    struct stat st {};
    OveritPrecteny(::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) ? std::optional(OtiskStatu(st)) : std::nullopt);
#endif
    zacato_ = true;
    if (!Vyprazdnit()) Selhani();
}

void TZapisSouboru::Zapsat(std::string_view bajty) {
    if (zpusob_ == TZpusob::NaMiste && !zacato_) Zacit();
    if (!ZapsatVse(bajty)) {
        if (zpusob_ == TZpusob::NaMiste) Selhani();
        Vyhodit(Chyba());
    }
}

void TZapisSouboru::Dokoncit() {
    if (zpusob_ == TZpusob::Nahradit) {
        TDavkaZapisu sama(1);
        const std::size_t cislo = *Dokoncit(sama);
        TUdajeChyby chyba;
        if (sama.Stav(cislo, &chyba, &otisk_) == TDavkaZapisu::TStav::Selhal) Vyhodit(chyba);
        return;
    }
    if (zpusob_ == TZpusob::NaMiste) {
        if (!zacato_) Zacit();
        if (!Splachnout()) Selhani();
    }
    dokonceno_ = true;
#ifndef _WIN32
    struct stat st {};
    if (zpusob_ == TZpusob::NaMiste && ::fstat(fd_, &st) == 0) otisk_ = OtiskStatu(st);
#endif
    if (!Zavrit()) Vyhodit(Chyba());
}

void TZapisSouboru::Selhani() {
    dokonceno_ = true;  // the old bytes are written back here, once
    TUdajeChyby u = Chyba();
    if (Vyprazdnit() && ZapsatVse(stary_) && Splachnout()) {
        u.StaryObsah = TStaryObsah::ZapsanZpet;
    } else {
        u.StaryObsah = TStaryObsah::NezapsanZpet;
        u.KodZpet = chyba_;
    }
    Vyhodit(u);
}

#ifdef _WIN32

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


namespace {

std::optional<std::pair<std::uint64_t, std::uint64_t>> CisloSouboru(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(h, &info)) return std::nullopt;
    return std::pair(std::uint64_t{info.dwVolumeSerialNumber},
                     (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow);
}

// Renames an open file within its folder (it was opened with DELETE access).
bool Prejmenovat(HANDLE h, const std::filesystem::path& nove) {
    const std::wstring& jmeno = nove.native();
    std::vector<char> b(sizeof(FILE_RENAME_INFO) + jmeno.size() * sizeof(wchar_t));
    auto* info = reinterpret_cast<FILE_RENAME_INFO*>(b.data());
    info->ReplaceIfExists = FALSE;
    info->RootDirectory = nullptr;
    info->FileNameLength = static_cast<DWORD>(jmeno.size() * sizeof(wchar_t));
    std::memcpy(info->FileName, jmeno.data(), info->FileNameLength);
    return SetFileInformationByHandle(h, FileRenameInfo, info, static_cast<DWORD>(b.size()));
}

// Removes the new files that killed saves left in a folder, those alone: a
// file of one name whose mark is right for it, that no living save holds
// open (a save opens its new file without sharing).
void UklidSlozky(const std::filesystem::path& slozka) {
    std::error_code ec;
    const std::filesystem::path uplna = std::filesystem::absolute(slozka, ec);
    if (!PrvniVeSlozce(uplna.lexically_normal().wstring())) return;
    const std::filesystem::path vzor = slozka / (std::wstring(L".*") + L".tarvik-*");
    WIN32_FIND_DATAW nalez{};
    HANDLE hledani = FindFirstFileW(vzor.c_str(), &nalez);
    if (hledani == INVALID_HANDLE_VALUE) return;
    do {
        const std::wstring_view jmeno(nalez.cFileName);
        const auto zaklad = ZakladJmenaNoveho(jmeno);
        if (!zaklad || (nalez.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) continue;
        HANDLE h = CreateFileW((slozka / nalez.cFileName).c_str(), DELETE | FILE_READ_ATTRIBUTES, 0, nullptr,
                               OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h == INVALID_HANDLE_VALUE) continue;
        BY_HANDLE_FILE_INFORMATION info{};
        const auto cislo = CisloSouboru(h);
        if (cislo && GetFileInformationByHandle(h, &info) && info.nNumberOfLinks == 1 &&
            Znacka<wchar_t>(cislo->first, cislo->second, *zaklad) == jmeno.substr(zaklad->size())) {
            FILE_DISPOSITION_INFO smazat{TRUE};
            SetFileInformationByHandle(h, FileDispositionInfo, &smazat, sizeof smazat);
        }
        CloseHandle(h);
    } while (FindNextFileW(hledani, &nalez));
    FindClose(hledani);
}

}  // namespace

TZapisSouboru::TZapisSouboru(const TCestaSouboru& soubor, std::optional<TOtiskSouboru> precteny)
    : soubor_(soubor.Cesta), cil_(soubor.Cesta), precteny_(std::move(precteny)) {
    const DWORD atributy = GetFileAttributesW(soubor_.c_str());
    const bool existuje = atributy != INVALID_FILE_ATTRIBUTES;
    if (!existuje) {
        if (soubor.VeStromu() && !precteny_) {
            std::error_code ec;
            std::filesystem::create_directories(SlozkaSouboru(cil_), ec);
        }
        OveritPrecteny(std::nullopt);
    }
    if (existuje && (atributy & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY))) {
        chyba_ = ERROR_ACCESS_DENIED;
        Vyhodit(Chyba());
    }
    HANDLE h = CreateFileW(soubor_.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
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
        if (existuje) OveritPrecteny(OtiskSouboru(soubor_));
        if (odkazy) {
            OtevritNaMiste();
            return;
        }
    } else if (existuje) {
        OveritPrecteny(OtiskSouboru(soubor_));
    }
    if (VytvoritNovy()) return;
    if (existuje && chyba_ == ERROR_ACCESS_DENIED) {
        OtevritNaMiste();
        return;
    }
    ChybaSlozky(SlozkaSouboru(cil_));
}

bool TZapisSouboru::VytvoritNovy() {
    const std::filesystem::path slozka = SlozkaSouboru(cil_);
    UklidSlozky(slozka);
    const std::wstring zaklad = ZakladNoveho<wchar_t>(cil_.filename().native());
    for (int pokus = 0; pokus < 100; ++pokus) {
        const std::filesystem::path jmeno = slozka / (zaklad + Nahodne<wchar_t>());
        HANDLE h = CreateFileW(jmeno.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) {
            chyba_ = GetLastError();
            if (chyba_ == ERROR_FILE_EXISTS) continue;
            return false;
        }
        h_ = h;
        docasny_ = jmeno;
        // The mark, now that the file has its number.
        if (const auto cislo = CisloSouboru(h)) {
            const std::filesystem::path oznaceny = slozka / (zaklad + Znacka<wchar_t>(cislo->first, cislo->second, zaklad));
            if (Prejmenovat(h, oznaceny)) docasny_ = oznaceny;
        }
        return true;
    }
    return false;
}

void TZapisSouboru::OtevritNaMiste() {
    zpusob_ = TZpusob::NaMiste;
    HANDLE h = CreateFileW(cil_.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        chyba_ = GetLastError();
        Vyhodit(Chyba());
    }
    h_ = h;
    // A failure here fails the constructor, whose destructor never runs.
    try {
        char blok[1 << 16];
        for (;;) {
            DWORD precteno = 0;
            if (!ReadFile(h, blok, sizeof blok, &precteno, nullptr)) {
                chyba_ = GetLastError();
                Vyhodit(Chyba());
            }
            if (precteno == 0) break;
            stary_.append(blok, precteno);
        }
    } catch (...) {
        Zavrit();
        throw;
    }
}

std::optional<std::size_t> TZapisSouboru::Dokoncit(TDavkaZapisu& davka) {
    if (zpusob_ != TZpusob::Nahradit) {
        Dokoncit();
        return std::nullopt;
    }
    TDavkaZapisu::TNahrazeni n;
    n.soubor = soubor_;
    n.cil = cil_;
    n.docasny = docasny_;
    n.precteny = precteny_;
    n.h = h_;
    h_ = nullptr;
    dokonceno_ = true;
    docasny_.clear();
    return davka.Pridat(std::move(n));
}

void TDavkaZapisu::Provest() {
    std::lock_guard<std::mutex> provadeni(provadeni_);
    std::vector<std::pair<std::size_t, TNahrazeni>> prace;
    {
        std::lock_guard<std::mutex> z(zamek_);
        prace.swap(cekajici_);
    }
    std::vector<THotovo> vysledky(prace.size());
    for (std::size_t i = 0; i < prace.size(); ++i) {
        TNahrazeni& n = prace[i].second;
        const auto selhat = [&](TProcChyby proc, DWORD kod) {
            TUdajeChyby u;
            u.Cinnost = TCinnostSouboru::Zapis;
            u.Cesta = n.soubor;
            u.Proc = proc;
            u.Kod = kod;
            vysledky[i].chyba = u;
        };
        HANDLE h = static_cast<HANDLE>(n.h);
        const bool splachnuto = FlushFileBuffers(h);
        if (!splachnuto) selhat(TProcChyby::Systemova, GetLastError());
        CloseHandle(h);
        if (splachnuto && n.precteny && OtiskSouboru(n.cil) != n.precteny) selhat(TProcChyby::ZmenenOdCteni, 0);
        if (!vysledky[i].chyba) {
            BOOL ok = FALSE;
            if (GetFileAttributesW(n.cil.c_str()) != INVALID_FILE_ATTRIBUTES)
                ok = ReplaceFileW(n.cil.c_str(), n.docasny.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                                  nullptr);
            if (!ok)
                ok = MoveFileExW(n.docasny.c_str(), n.cil.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
            if (!ok) selhat(TProcChyby::Systemova, GetLastError());
            else vysledky[i].otisk = OtiskSouboru(n.cil);
        }
        if (vysledky[i].chyba) DeleteFileW(n.docasny.c_str());
    }
    std::lock_guard<std::mutex> z(zamek_);
    for (std::size_t i = 0; i < prace.size(); ++i) hotove_[prace[i].first] = std::move(vysledky[i]);
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

// The path under which system calls that take no folder descriptor reach
// jmeno in folder slozka, not following jmeno itself when it is a link.
std::string CestaVeSlozce(int slozka, const std::string& jmeno) {
    return "/proc/self/fd/" + std::to_string(slozka) + "/" + jmeno;
}

// True when someone holds a lock on the open file fd: flock, or a lock of
// fcntl (POSIX or of an open file description) on any part of it.
bool Zamceny(int fd) {
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return true;
    ::flock(fd, LOCK_UN);
    struct flock zamek {};
    zamek.l_type = F_WRLCK;
    zamek.l_whence = SEEK_SET;
#ifdef F_OFD_GETLK
    if (::fcntl(fd, F_OFD_GETLK, &zamek) == 0) return zamek.l_type != F_UNLCK;
#endif
    return ::fcntl(fd, F_GETLK, &zamek) != 0 || zamek.l_type != F_UNLCK;
}

// Removes the new files that killed saves left in a folder, once a run, and
// only those: a regular file of the user the program runs as, with one
// name, whose mark is right for its device and number, and that nobody holds
// a lock on (a living save holds one on its new file). Whatever else has
// such a name stays.
void UklidSlozky(int slozka) {
    struct stat st {};
    if (::fstat(slozka, &st) != 0 || !PrvniVeSlozce(std::pair(st.st_dev, st.st_ino))) return;
    const int kopie = ::openat(slozka, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    DIR* d = kopie >= 0 ? ::fdopendir(kopie) : nullptr;
    if (!d) {
        if (kopie >= 0) ::close(kopie);
        return;
    }
    const uid_t ja = ::geteuid();
    while (const dirent* polozka = ::readdir(d)) {
        const std::string_view jmeno(polozka->d_name);
        const auto zaklad = ZakladJmenaNoveho(jmeno);
        if (!zaklad) continue;
        struct stat s {};
        if (::fstatat(slozka, polozka->d_name, &s, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(s.st_mode) ||
            s.st_uid != ja || s.st_nlink != 1 || Znacka(s.st_dev, s.st_ino, *zaklad) != jmeno.substr(zaklad->size()))
            continue;
        const TPopisovac fd(::openat(slozka, polozka->d_name, O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        struct stat otevreny {};
        if (fd && ::fstat(fd.Fd(), &otevreny) == 0 && otevreny.st_dev == s.st_dev && otevreny.st_ino == s.st_ino &&
            !Zamceny(fd.Fd()))
            ::unlinkat(slozka, polozka->d_name, 0);
    }
    ::closedir(d);
}

// Gives the complete unnamed file fd a name beside its target jmeno in
// folder slozka: its mark, else (that name taken) one at random; the error
// code when it cannot.
int Pojmenovat(int fd, int slozka, const std::string& jmeno, std::string& docasny) {
    const std::string proc = "/proc/self/fd/" + std::to_string(fd);
    const std::string zaklad = ZakladNoveho<char>(jmeno);
    struct stat st {};
    int kod = EEXIST;
    for (int pokus = 0; pokus < 100 && kod == EEXIST; ++pokus) {
        docasny = zaklad + (pokus == 0 && ::fstat(fd, &st) == 0 ? Znacka<char>(st.st_dev, st.st_ino, zaklad)
                                                                 : Nahodne<char>());
        if (::linkat(AT_FDCWD, proc.c_str(), slozka, docasny.c_str(), AT_SYMLINK_FOLLOW) == 0 ||
            (errno == ENOENT && ::linkat(fd, "", slozka, docasny.c_str(), AT_EMPTY_PATH) == 0))
            return 0;
        kod = errno;
    }
    docasny.clear();
    return kod;
}

// The new file gets the permissions it is to have. A file system that keeps
// none (FAT: ENOSYS, ENOTSUP) gives every file its own, the old one's too.
bool NastavitPrava(int fd, mode_t mod, int& chyba) {
    if (::fchmod(fd, mod) == 0) return true;
    chyba = errno;
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (st.st_mode & 07777) == mod) return true;
    return chyba == ENOSYS || chyba == ENOTSUP || chyba == EOPNOTSUPP;
}

}  // namespace

TZapisSouboru::~TZapisSouboru() {
    if (!dokonceno_ && zpusob_ == TZpusob::NaMiste && zacato_) {
        // Left on the way (an exception between two pieces): the old content again.
        if (Vyprazdnit() && ZapsatVse(stary_)) Splachnout();
    }
    Zavrit();
    if (!dokonceno_ && !docasny_.empty() && slozka_ >= 0) ::unlinkat(slozka_, docasny_.c_str(), 0);
    if (slozka_ >= 0) ::close(slozka_);
}

TZapisSouboru::TZapisSouboru(const TCestaSouboru& soubor, std::optional<TOtiskSouboru> precteny)
    : soubor_(soubor.Cesta), cil_(soubor.Cesta), precteny_(std::move(precteny)) {
    if (!soubor.VeStromu()) {
        if (const int popisovac = CisloPopisovace(soubor_); popisovac >= 0) {
            // Written through the descriptor as it is open: never cut, never replaced.
            fd_ = ::fcntl(popisovac, F_DUPFD_CLOEXEC, 0);
            if (fd_ < 0) {
                chyba_ = errno;
                Vyhodit(Chyba());
            }
            zpusob_ = TZpusob::Primo;
            return;
        }
        // A link named is followed, so that the link stays and its target is written.
        std::error_code ec;
        if (std::filesystem::is_symlink(soubor_, ec)) {
            const auto skutecny = std::filesystem::canonical(soubor_, ec);
            if (!ec) cil_ = skutecny;
        }
    }
    // A failure here fails the constructor, whose destructor never runs.
    try {
        Otevrit(soubor.VeStromu() ? soubor : TCestaSouboru(cil_));
    } catch (...) {
        Zavrit();
        if (!docasny_.empty()) ::unlinkat(slozka_, docasny_.c_str(), 0);
        if (slozka_ >= 0) ::close(slozka_);
        throw;
    }
}

void TZapisSouboru::Otevrit(const TCestaSouboru& kde) {
    std::filesystem::path slozka;
    // The folders of a file in a tree are made where missing (not those of
    // a file read, which must be there).
    TPopisovac fd = OtevritSlozku(kde, kde.VeStromu() && !precteny_, jmeno_, slozka);
    if (!fd) {
        chyba_ = errno;
        ChybaSlozky(slozka);
    }
    slozka_ = fd.Uvolnit();
    if (jmeno_.empty() || jmeno_ == "." || jmeno_ == "..") {
        chyba_ = EISDIR;
        Vyhodit(Chyba());
    }
    const auto vytvorit = [&] {
        // What was read is gone: nothing is made in its place.
        OveritPrecteny(std::nullopt);
        const mode_t maska = ::umask(0);
        ::umask(maska);
        mod_ = 0666 & ~maska;
        // (A file new in a folder takes the access control list the folder gives.)
        if (!VytvoritNovy()) ChybaSlozky(slozka);
    };
    struct stat st {};
    if (::fstatat(slozka_, jmeno_.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
        chyba_ = errno;
        if (chyba_ != ENOENT) Vyhodit(Chyba());
        vytvorit();
        return;
    }
    // A link in a tree is replaced by the new file, never followed (a named
    // one was followed above: one here has just been made, or leads nowhere).
    if (S_ISLNK(st.st_mode)) {
        vytvorit();
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        chyba_ = EISDIR;
        Vyhodit(Chyba());
    }
    if (!S_ISREG(st.st_mode)) {
        OveritPrecteny(std::nullopt);
        // A pipe or a device in a tree is nobody's to write through.
        if (kde.VeStromu()) Vyhodit(Chyba(TProcChyby::NeniBeznySoubor));
        // A device, a pipe or a socket named: written through, never replaced by a file.
        fd_ = ::openat(slozka_, jmeno_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
        if (fd_ < 0) {
            chyba_ = errno;
            Vyhodit(Chyba());
        }
        zpusob_ = TZpusob::Primo;
        return;
    }
    OveritPrecteny(OtiskStatu(st));
    // A file without any write permission is read-only, also for root; a
    // read-only file system says so itself.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
        chyba_ = EACCES;
        Vyhodit(Chyba());
    }
    if (::faccessat(slozka_, jmeno_.c_str(), W_OK, 0) != 0) {
        chyba_ = errno;
        Vyhodit(Chyba());
    }
    mod_ = st.st_mode & 07777;
    // A new file would leave the other names of the file with the old content.
    if (st.st_nlink > 1) {
        OtevritNaMiste();
        return;
    }
    if (!VytvoritNovy()) {
        if (chyba_ != EACCES && chyba_ != EPERM && chyba_ != EROFS) ChybaSlozky(slozka);
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
        if (!docasny_.empty()) ::unlinkat(slozka_, docasny_.c_str(), 0);
        docasny_.clear();
        OtevritNaMiste();
    }
}

bool TZapisSouboru::PrenestAtributy() {
#ifdef __linux__
    const std::string stary = CestaVeSlozce(slozka_, jmeno_);
    // The names, then each value: both may grow between two calls.
    std::vector<char> jmena(1024);
    ssize_t n;
    while ((n = ::llistxattr(stary.c_str(), jmena.data(), jmena.size())) < 0) {
        if (errno != ERANGE) return errno == ENOTSUP || errno == ENOSYS;
        jmena.resize(jmena.size() * 4);
    }
    std::vector<char> hodnota(256);
    bool acl = false;
    for (const char* j = jmena.data(); j < jmena.data() + n; j += std::strlen(j) + 1) {
        const std::string_view jmeno(j);
        // The access control list and the attributes of users; security.*
        // (labels, capabilities) is the system's to give a new file.
        if (jmeno.rfind("user.", 0) != 0 && jmeno.rfind("trusted.", 0) != 0 && jmeno != "system.posix_acl_access")
            continue;
        acl = acl || jmeno == "system.posix_acl_access";
        ssize_t d;
        while ((d = ::lgetxattr(stary.c_str(), j, hodnota.data(), hodnota.size())) < 0) {
            if (errno != ERANGE) return false;
            hodnota.resize(hodnota.size() * 4);
        }
        if (::fsetxattr(fd_, j, hodnota.data(), static_cast<std::size_t>(d), 0) != 0) return false;
    }
    bezAcl_ = !acl;
#endif
    return true;
}

bool TZapisSouboru::VytvoritNovy() {
    UklidSlozky(slozka_);
#ifdef O_TMPFILE
    // Unnamed until it is complete, so that a killed save leaves nothing.
    fd_ = ::openat(slozka_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_EX | LOCK_NB);
        return true;
    }
    if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) {
        chyba_ = errno;
        return false;
    }
#endif
    // A named new file, locked while it lives, and marked once it has its number.
    const std::string zaklad = ZakladNoveho<char>(jmeno_);
    for (int pokus = 0; pokus < 100; ++pokus) {
        std::string jmeno = zaklad + Nahodne<char>();
        fd_ = ::openat(slozka_, jmeno.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_EX | LOCK_NB);
            struct stat st {};
#ifdef RENAME_NOREPLACE
            if (::fstat(fd_, &st) == 0) {
                const std::string oznaceny = zaklad + Znacka<char>(st.st_dev, st.st_ino, zaklad);
                if (::renameat2(slozka_, jmeno.c_str(), slozka_, oznaceny.c_str(), RENAME_NOREPLACE) == 0)
                    jmeno = oznaceny;
            }
#endif
            docasny_ = jmeno;
            return true;
        }
        if (errno != EEXIST) break;
    }
    chyba_ = errno;
    return false;
}

void TZapisSouboru::OtevritNaMiste() {
    zpusob_ = TZpusob::NaMiste;
    fd_ = ::openat(slozka_, jmeno_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (fd_ < 0) {
        chyba_ = errno;
        Vyhodit(Chyba());
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    struct stat st {};
    if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
        chyba_ = EAGAIN;
        OveritPrecteny(std::nullopt);
        Vyhodit(Chyba(TProcChyby::NeniBeznySoubor));
    }
    OveritPrecteny(OtiskStatu(st));
    char blok[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd_, blok, sizeof blok);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            chyba_ = errno;
            Vyhodit(Chyba());
        }
        stary_.append(blok, static_cast<std::size_t>(n));
    }
}

std::optional<std::size_t> TZapisSouboru::Dokoncit(TDavkaZapisu& davka) {
    if (zpusob_ != TZpusob::Nahradit) {
        Dokoncit();
        return std::nullopt;
    }
#ifdef __linux__
    // An access control list the folder gave the new file, where the old one had none.
    if (bezAcl_ && ::fremovexattr(fd_, "system.posix_acl_access") != 0 && errno != ENODATA && errno != ENOTSUP &&
        errno != EOPNOTSUPP) {
        chyba_ = errno;
        Vyhodit(Chyba());
    }
#endif
    if (!NastavitPrava(fd_, mod_, chyba_)) Vyhodit(Chyba());
    TDavkaZapisu::TNahrazeni n;
    n.soubor = soubor_;
    n.cil = cil_;
    n.docasny = docasny_;
    n.precteny = precteny_;
    n.fd = fd_;
    n.slozka = slozka_;
    n.jmeno = jmeno_;
    fd_ = slozka_ = -1;
    dokonceno_ = true;
    docasny_.clear();
    return davka.Pridat(std::move(n));
}

void TDavkaZapisu::Provest() {
    std::lock_guard<std::mutex> provadeni(provadeni_);
    std::vector<std::pair<std::size_t, TNahrazeni>> prace;
    {
        std::lock_guard<std::mutex> z(zamek_);
        prace.swap(cekajici_);
    }
    if (prace.empty()) return;
    std::vector<THotovo> vysledky(prace.size());
    const auto selhat = [&](std::size_t i, int kod, TProcChyby proc = TProcChyby::Systemova) {
        if (vysledky[i].chyba) return;
        TUdajeChyby u;
        u.Cinnost = TCinnostSouboru::Zapis;
        u.Cesta = prace[i].second.soubor;
        u.Proc = proc;
        u.Kod = kod;
        vysledky[i].chyba = u;
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
    // gets it only now, so that a killed run leaves as few as it can), a last
    // look that the target is still the file read, the rename; and each
    // folder once on disk.
    std::map<std::pair<dev_t, ino_t>, int> slozky;
    for (std::size_t i = 0; i < prace.size(); ++i) {
        TNahrazeni& n = prace[i].second;
        std::string docasny = n.docasny.native();
        if (!vysledky[i].chyba && docasny.empty()) {
            if (const int kod = Pojmenovat(n.fd, n.slozka, n.jmeno, docasny)) selhat(i, kod);
        }
        if (!vysledky[i].chyba && n.precteny) {
            struct stat st {};
            if (::fstatat(n.slozka, n.jmeno.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
                OtiskStatu(st) != *n.precteny)
                selhat(i, 0, TProcChyby::ZmenenOdCteni);
        }
        if (!vysledky[i].chyba) {
            struct stat st {};
            if (::renameat(n.slozka, docasny.c_str(), n.slozka, n.jmeno.c_str()) != 0) {
                selhat(i, errno);
            } else {
                if (::fstat(n.fd, &st) == 0) vysledky[i].otisk = OtiskStatu(st);
                if (::fstat(n.slozka, &st) == 0 && slozky.emplace(std::pair(st.st_dev, st.st_ino), n.slozka).second)
                    n.slozka = -1;  // kept open until its folder is flushed
            }
        }
        ::close(n.fd);
        if (vysledky[i].chyba && !docasny.empty()) ::unlinkat(n.slozka, docasny.c_str(), 0);
        if (n.slozka >= 0) ::close(n.slozka);
    }
    for (const auto& [klic, fd] : slozky) {
        ::fsync(fd);
        ::close(fd);
    }
    std::lock_guard<std::mutex> z(zamek_);
    for (std::size_t i = 0; i < prace.size(); ++i) hotove_[prace[i].first] = std::move(vysledky[i]);
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

#endif

void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes) {
    TZapisSouboru zapis(soubor);
    zapis.Zapsat(bytes);
    zapis.Dokoncit();
}

TUdajeChyby TDocasnySoubor::UdajeChyby() const {
    TUdajeChyby u;
    u.Cinnost = TCinnostSouboru::Zapis;
    u.Cesta = slozka_;
    return u;
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
    if (!h_) ChybaSystemu(TCinnostSouboru::Zapis, slozka_, GetLastError());
}

TDocasnySoubor::~TDocasnySoubor() { CloseHandle(static_cast<HANDLE>(h_)); }

void TDocasnySoubor::Vyprazdnit() {
    LARGE_INTEGER nula{};
    if (!SetFilePointerEx(static_cast<HANDLE>(h_), nula, nullptr, FILE_BEGIN) || !SetEndOfFile(static_cast<HANDLE>(h_)))
        ChybaSystemu(TCinnostSouboru::Zapis, slozka_, GetLastError());
    naPriste_.clear();
    velikost_ = cteno_ = 0;
}

void TDocasnySoubor::ZapsatNaDisk(std::string_view bajty) {
    LARGE_INTEGER pozice{};
    pozice.QuadPart = static_cast<LONGLONG>(velikost_ - naPriste_.size());
    if (!SetFilePointerEx(static_cast<HANDLE>(h_), pozice, nullptr, FILE_BEGIN)) ChybaSystemu(TCinnostSouboru::Zapis, slozka_, GetLastError());
    for (std::size_t zapsano = 0; zapsano < bajty.size();) {
        DWORD w = 0;
        const DWORD kus = static_cast<DWORD>(std::min<std::size_t>(bajty.size() - zapsano, 1u << 30));
        if (!WriteFile(static_cast<HANDLE>(h_), bajty.data() + zapsano, kus, &w, nullptr))
            ChybaSystemu(TCinnostSouboru::Zapis, slozka_, GetLastError());
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
        ChybaSystemu(TCinnostSouboru::Zapis, slozka_, GetLastError());
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
    if (fd_ < 0) ChybaSystemu(TCinnostSouboru::Zapis, slozka_, errno);
}

TDocasnySoubor::~TDocasnySoubor() { ::close(fd_); }

void TDocasnySoubor::Vyprazdnit() {
    naPriste_.clear();
    if (::ftruncate(fd_, 0) != 0) ChybaSystemu(TCinnostSouboru::Zapis, slozka_, errno);
    velikost_ = cteno_ = 0;
}

void TDocasnySoubor::ZapsatNaDisk(std::string_view bajty) {
    const std::uint64_t konec = velikost_ - (bajty.data() == naPriste_.data() ? naPriste_.size() : 0);
    for (std::size_t zapsano = 0; zapsano < bajty.size();) {
        const ssize_t n = ::pwrite(fd_, bajty.data() + zapsano, std::min<std::size_t>(bajty.size() - zapsano, 1u << 30),
                                   static_cast<off_t>(konec + zapsano));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) ChybaSystemu(TCinnostSouboru::Zapis, slozka_, n < 0 ? errno : ENOSPC);
        zapsano += static_cast<std::size_t>(n);
    }
}

std::size_t TDocasnySoubor::Precist(char* cil, std::size_t n) {
    Vylit();
    for (;;) {
        const ssize_t k = ::pread(fd_, cil, std::min<std::uint64_t>(n, velikost_ - cteno_), static_cast<off_t>(cteno_));
        if (k < 0 && errno == EINTR) continue;
        if (k < 0) ChybaSystemu(TCinnostSouboru::Zapis, slozka_, errno);
        cteno_ += static_cast<std::uint64_t>(k);
        return static_cast<std::size_t>(k);
    }
}

#endif
