#include "TextovySoubor.h"

#include "Chyba.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

std::u16string Zprava(const char* format, const std::filesystem::path& soubor,
                      const std::u16string& duvod) {
    // format holds one "%s" for the path before the reason.
    const std::string_view f(format);
    const std::size_t m = f.find("%s");
    std::u16string z = ZUtf8(f.substr(0, m));
    z += TextCesty(soubor);
    z += ZUtf8(f.substr(m + 2));
    z += duvod;
    return z;
}

#ifdef _WIN32
std::u16string DuvodSystemu(DWORD kod) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, kod, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string duvod;
    if (n > 0 && text) duvod.assign(reinterpret_cast<const char16_t*>(text), n);
    if (text) LocalFree(text);
    while (!duvod.empty() && (duvod.back() == u'\r' || duvod.back() == u'\n' || duvod.back() == u' '))
        duvod.pop_back();
    if (duvod.empty()) duvod = ZUtf8("System error " + std::to_string(kod));
    return duvod;
}
#else
std::u16string DuvodSystemu(int kod) { return ZUtf8(std::strerror(kod)); }
#endif

[[noreturn]] void ChybaCteni(const std::filesystem::path& soubor, std::u16string duvod) {
    throw TChyba(Zprava("Cannot open file \"%s\". ", soubor, duvod));
}

[[noreturn]] void ChybaZapisu(const std::filesystem::path& soubor, std::u16string duvod) {
    throw TChyba(Zprava("Cannot create file \"%s\". ", soubor, duvod));
}

}  // namespace

namespace {

// Room for the lines to come in one allocation (exact for LF and CR LF text)
// instead of growing the list line by line: at a million lines the growth
// copies and touches twice the memory of the final list. Appending in many
// small pieces still grows the list geometrically.
void ZarezervovatRadky(std::vector<std::u16string>& radky, std::size_t dalsich) {
    const std::size_t potreba = radky.size() + dalsich;
    if (potreba > radky.capacity()) radky.reserve(std::max(potreba, 2 * radky.capacity()));
}

// Splits bytes into decoded lines piece by piece: a line may run across pieces,
// and a CR at the end of a piece may be followed by the LF of the next.
class TDeleniNaRadky {
public:
    // With overovat, a line that is not valid UTF-8 stops the splitting.
    TDeleniNaRadky(TKodovani k, std::vector<std::u16string>& radky, bool overovat = false)
        : k_(k), radky_(radky), overovat_(overovat) {}

    bool Platne() const { return platne_; }

    // False once a line was not valid UTF-8 (when checked).
    bool Pridat(std::string_view b) {
        std::size_t i = 0;
        if (b.empty() || !platne_) return platne_;
        if (cekaLf_) {
            cekaLf_ = false;
            if (b[0] == '\n') i = 1;
        }
        const std::size_t n = b.size();
        while (i < n) {
            std::size_t j = i;
            // Both breaks are at most 0x0D: one comparison passes every other byte of a line.
            while (j < n && (static_cast<unsigned char>(b[j]) > '\r' || (b[j] != '\n' && b[j] != '\r'))) ++j;
            if (j == n) {
                cast_.append(b.substr(i));
                zlomNaKonci_ = false;
                return true;
            }
            if (cast_.empty()) {
                Radek(b.substr(i, j - i));
            } else {
                cast_.append(b.substr(i, j - i));
                Radek(cast_);
                cast_.clear();
            }
            if (!platne_) return false;
            zlomNaKonci_ = true;
            if (b[j] == '\r') {
                if (j + 1 == n) {
                    cekaLf_ = true;
                    return true;
                }
                i = j + (b[j + 1] == '\n' ? 2 : 1);
            } else {
                i = j + 1;
            }
        }
        return true;
    }

    // The last line needs no break; a break at the end opens no further line.
    bool Dokoncit() {
        if (!cast_.empty()) {
            Radek(cast_);
            cast_.clear();
            zlomNaKonci_ = false;
        }
        return zlomNaKonci_;
    }

private:
    void Radek(std::string_view bajty) {
        if (overovat_ && !JePlatneUtf8(bajty)) {
            platne_ = false;
            return;
        }
        radky_.emplace_back();
        DekodovatDo(radky_.back(), bajty, k_);
    }

    TKodovani k_;
    std::vector<std::u16string>& radky_;
    bool overovat_ = false;
    bool platne_ = true;
    std::string cast_;
    bool cekaLf_ = false;
    bool zlomNaKonci_ = false;
};


}  // namespace

void RozdelitBajtyNaRadky(std::string_view b, TKodovani k, std::vector<std::u16string>& radky,
                          bool& koncovyZlom) {
    ZarezervovatRadky(radky, static_cast<std::size_t>(std::count(b.begin(), b.end(), '\n')) + 1);
    TDeleniNaRadky deleni(k, radky);
    deleni.Pridat(b);
    koncovyZlom = deleni.Dokoncit();
}

namespace {

template <typename Zapis>
TKodovani ZakodovatSNahradou(std::string& cil, TKodovani k, Zapis zapis) {
    const std::size_t zacatek = cil.size();
    for (TKodovani pokus : {k, TKodovani::Utf8Znacka, TKodovani::Utf16LE}) {
        cil.resize(zacatek);
        cil += ZnackaKodovani(pokus);
        if (zapis(pokus)) return pokus;
    }
    return TKodovani::Utf16LE;  // UTF-16 holds every code unit
}

}  // namespace

std::u16string TextCesty(const std::filesystem::path& soubor) {
#ifdef _WIN32
    const std::wstring& w = soubor.native();
    return std::u16string(w.begin(), w.end());
#else
    return ZUtf8(soubor.native());
#endif
}

void RozdelitNaRadky(std::u16string_view text, std::vector<std::u16string>& radky,
                     bool& koncovyZlom) {
    koncovyZlom = false;
    std::size_t zacatek = 0;
    const std::size_t n = text.size();
    ZarezervovatRadky(radky, static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1);
    while (zacatek < n) {
        std::size_t i = zacatek;
        while (i < n && text[i] != u'\n' && text[i] != u'\r') ++i;
        radky.emplace_back(text.substr(zacatek, i - zacatek));
        if (i == n) return;
        zacatek = i + ((text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1);
        if (zacatek == n) koncovyZlom = true;
    }
}

namespace {

// A UTF-8 mark in front of bytes that are not UTF-8: they are read as
// Windows-1250, so that every byte comes back when the program is saved.
TZnacka ZnackaAObsah(std::string_view b) {
    TZnacka z = RozpoznatZnacku(b);
    if (z.kodovani == TKodovani::Utf8Znacka && !JePlatneUtf8(b.substr(z.delka))) z.kodovani = TKodovani::Cp1250;
    return z;
}

}  // namespace

TText DekodovatText(std::string_view b) {
    TText t;
    const TZnacka z = ZnackaAObsah(b);
    t.Kodovani = z.kodovani;
    b.remove_prefix(z.delka);
    if (z.kodovani == TKodovani::Utf16LE || z.kodovani == TKodovani::Utf16BE) {
        std::u16string text;
        DekodovatDo(text, b, z.kodovani);
        RozdelitNaRadky(text, t.Radky, t.KoncovyZlom);
    } else {
        RozdelitBajtyNaRadky(b, z.kodovani, t.Radky, t.KoncovyZlom);
    }
    return t;
}

namespace {

// Every lone CR and lone LF of a UTF-8 text becomes CR LF.
std::string ZlomyNaCrLf(std::string text) {
    std::size_t osamelych = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '\r') {
            if (i + 1 < n && text[i + 1] == '\n')
                ++i;
            else
                ++osamelych;
        } else if (text[i] == '\n') {
            ++osamelych;
        }
    }
    if (osamelych == 0) return text;  // the usual case: nothing to copy
    std::string vysledek;
    vysledek.reserve(n + osamelych);
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            vysledek += "\r\n";
            if (c == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
        } else {
            vysledek += c;
        }
    }
    return vysledek;
}

}  // namespace

TTextEditoru TextProEditor(std::string bajty) {
    TTextEditoru t;
    const TZnacka z = ZnackaAObsah(bajty);
    t.Kodovani = z.kodovani;
    if (z.kodovani == TKodovani::Utf8 || z.kodovani == TKodovani::Utf8Znacka) {
        // Valid UTF-8: the bytes themselves, without the mark.
        bajty.erase(0, z.delka);
        t.Utf8 = ZlomyNaCrLf(std::move(bajty));
        return t;
    }
    std::u16string text;
    DekodovatDo(text, std::string_view(bajty).substr(z.delka), z.kodovani);
    bajty = std::string();
    std::string utf8;
    PripojitUtf8(utf8, text);
    t.Utf8 = ZlomyNaCrLf(std::move(utf8));
    return t;
}

TText NacistTextovySoubor(const std::filesystem::path& soubor) {
    TCteniSouboru cteni(soubor);
    constexpr std::size_t Kus = 1 << 20;
    std::string blok(Kus, '\0');

    std::size_t mame = 0;
    while (mame < 4) {
        const std::size_t n = cteni.Precist(blok.data() + mame, 4 - mame);
        if (n == 0) break;
        mame += n;
    }
    const TZnacka zacatek = RozpoznatZnacku(std::string_view(blok.data(), mame));
    if (zacatek.kodovani == TKodovani::Utf16LE || zacatek.kodovani == TKodovani::Utf16BE) {
        // Rare, and split only after decoding: read whole.
        cteni.NaZacatek();
        std::string bajty;
        while (const std::size_t n = cteni.Precist(blok.data(), Kus)) bajty.append(blok.data(), n);
        return DekodovatText(bajty);
    }

    TText t;
    // Room for the lines (reserved, not touched): a program line takes a few bytes at least.
    t.Radky.reserve(static_cast<std::size_t>(cteni.Velikost() / 8) + 16);
    // Reads the whole file in pieces into lines; false when overovat found a
    // line that is not UTF-8 (the lines are then incomplete).
    const auto precist = [&](TKodovani k, bool overovat) {
        t.Radky.clear();
        cteni.NaZacatek();
        TDeleniNaRadky deleni(k, t.Radky, overovat);
        std::size_t preskocit = zacatek.delka;  // the mark is not part of the text
        while (const std::size_t n = cteni.Precist(blok.data(), Kus)) {
            const std::size_t od = std::min(preskocit, n);
            preskocit -= od;
            if (!deleni.Pridat(std::string_view(blok.data() + od, n - od))) return false;
        }
        t.KoncovyZlom = deleni.Dokoncit();
        return deleni.Platne();
    };
    TKodovani k = zacatek.kodovani;
    if (k == TKodovani::Utf8 || k == TKodovani::Utf8Znacka) {
        // UTF-8 when every line is valid UTF-8 (a sequence never holds a line
        // break, so this is the same as the whole file being valid); bytes that
        // are not UTF-8, also behind a UTF-8 mark, are read as Windows-1250, so
        // that every byte comes back when the program is saved.
        if (precist(k, true)) {
            t.Kodovani = k;
            return t;
        }
        k = TKodovani::Cp1250;
    }
    precist(k, false);
    t.Kodovani = k;
    return t;
}

TKodovani KodovaniZapisu(const std::vector<std::u16string>& radky, TKodovani k) {
    for (TKodovani kandidat : {k, TKodovani::Utf8Znacka}) {
        bool vse = true;
        for (const auto& r : radky) {
            if (!LzeZakodovat(r, kandidat)) {
                vse = false;
                break;
            }
        }
        if (vse) return kandidat;
    }
    return TKodovani::Utf16LE;  // UTF-16 holds every code unit
}

void ZakodovatPoKusech(const std::vector<std::u16string>& radky, bool koncovyZlom, TKodovani k,
                       const std::function<void(std::string_view)>& zapsat) {
    constexpr std::size_t Kus = 1 << 20;
    std::string kus(ZnackaKodovani(k));
    kus.reserve(Kus + 4096);
    for (std::size_t i = 0; i < radky.size(); ++i) {
        ZakodovatDo(kus, radky[i], k);
        if (i + 1 < radky.size() || koncovyZlom) ZakodovatDo(kus, u"\r\n", k);
        if (kus.size() >= Kus) {
            zapsat(kus);
            kus.clear();
        }
    }
    if (!kus.empty()) zapsat(kus);
}

TKodovani ZakodovatRadky(std::string& cil, const std::vector<std::u16string>& radky,
                         bool koncovyZlom, TKodovani k) {
    const TKodovani pouzite = KodovaniZapisu(radky, k);
    ZakodovatPoKusech(radky, koncovyZlom, pouzite, [&](std::string_view kus) { cil += kus; });
    return pouzite;
}

TKodovani ZakodovatText(std::string& cil, std::u16string_view text, TKodovani k) {
    return ZakodovatSNahradou(cil, k, [&](TKodovani pokus) { return ZakodovatDo(cil, text, pokus); });
}

TKodovani ZakodovatUtf8Text(std::string& cil, std::string_view utf8, TKodovani k) {
    cil.reserve(cil.size() + utf8.size() + 3);
    return ZakodovatSNahradou(cil, k, [&](TKodovani pokus) {
        if ((pokus == TKodovani::Utf8 || pokus == TKodovani::Utf8Znacka) && JePlatneUtf8(utf8)) {
            cil += utf8;
            return true;
        }
        constexpr std::size_t Kus = 1 << 20;
        std::u16string text;
        for (std::size_t i = 0; i < utf8.size();) {
            std::size_t konec = std::min(utf8.size(), i + Kus);
            // A piece ends before a character's continuation bytes, never inside it.
            while (konec < utf8.size() && konec > i && (static_cast<unsigned char>(utf8[konec]) & 0xC0) == 0x80)
                --konec;
            if (konec == i) konec = std::min(utf8.size(), i + Kus);
            text.clear();
            DekodovatDo(text, utf8.substr(i, konec - i), TKodovani::Utf8);
            if (!ZakodovatDo(cil, text, pokus)) return false;
            i = konec;
        }
        return true;
    });
}

#ifdef _WIN32

TCteniSouboru::TCteniSouboru(const std::filesystem::path& soubor) : soubor_(soubor) {
    // Others may read the file meanwhile, but not write it.
    HANDLE h = CreateFileW(soubor.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaCteni(soubor, DuvodSystemu(GetLastError()));
    soubor_h_ = h;
}

TCteniSouboru::~TCteniSouboru() { CloseHandle(static_cast<HANDLE>(soubor_h_)); }

std::uint64_t TCteniSouboru::Velikost() const {
    LARGE_INTEGER velikost{};
    return GetFileSizeEx(static_cast<HANDLE>(soubor_h_), &velikost) ? std::uint64_t(velikost.QuadPart) : 0;
}

std::size_t TCteniSouboru::Precist(char* cil, std::size_t n) {
    DWORD precteno = 0;
    const DWORD kus = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    if (!ReadFile(static_cast<HANDLE>(soubor_h_), cil, kus, &precteno, nullptr))
        ChybaCteni(soubor_, DuvodSystemu(GetLastError()));
    return precteno;
}

void TCteniSouboru::NaZacatek() {
    LARGE_INTEGER nula{};
    if (!SetFilePointerEx(static_cast<HANDLE>(soubor_h_), nula, nullptr, FILE_BEGIN))
        ChybaCteni(soubor_, DuvodSystemu(GetLastError()));
}

TAtomickyZapis::TAtomickyZapis(const std::filesystem::path& soubor) : soubor_(soubor) {
    const DWORD atributy = GetFileAttributesW(soubor.c_str());
    existuje_ = atributy != INVALID_FILE_ATTRIBUTES;
    if (existuje_ && (atributy & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)))
        ChybaZapisu(soubor, DuvodSystemu(ERROR_ACCESS_DENIED));
    docasny_ = soubor;
    docasny_ += L".tarvik-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE h = CreateFileW(docasny_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaZapisu(soubor, DuvodSystemu(GetLastError()));
    soubor_h_ = h;
}

TAtomickyZapis::~TAtomickyZapis() {
    if (dokonceno_) return;
    CloseHandle(static_cast<HANDLE>(soubor_h_));
    DeleteFileW(docasny_.c_str());
}

void TAtomickyZapis::Zapsat(std::string_view bajty) {
    std::size_t zapsano = 0;
    while (zapsano < bajty.size()) {
        const DWORD kus = static_cast<DWORD>(std::min<std::size_t>(bajty.size() - zapsano, 1u << 30));
        DWORD w = 0;
        if (!WriteFile(static_cast<HANDLE>(soubor_h_), bajty.data() + zapsano, kus, &w, nullptr))
            ChybaZapisu(soubor_, DuvodSystemu(GetLastError()));
        zapsano += w;
    }
}

void TAtomickyZapis::Dokoncit() {
    HANDLE h = static_cast<HANDLE>(soubor_h_);
    FlushFileBuffers(h);
    CloseHandle(h);
    dokonceno_ = true;
    BOOL ok = FALSE;
    if (existuje_)
        ok = ReplaceFileW(soubor_.c_str(), docasny_.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                          nullptr);
    if (!ok) ok = MoveFileExW(docasny_.c_str(), soubor_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        const DWORD kod = GetLastError();
        DeleteFileW(docasny_.c_str());
        ChybaZapisu(soubor_, DuvodSystemu(kod));
    }
}

std::filesystem::path SlozkaProgramu() {
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
}

#else

TCteniSouboru::TCteniSouboru(const std::filesystem::path& soubor) : soubor_(soubor) {
    const int fd = ::open(soubor.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ChybaCteni(soubor, DuvodSystemu(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        ChybaCteni(soubor, DuvodSystemu(EISDIR));
    }
    fd_ = fd;
}

TCteniSouboru::~TCteniSouboru() { ::close(fd_); }

std::uint64_t TCteniSouboru::Velikost() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && st.st_size > 0 ? std::uint64_t(st.st_size) : 0;
}

std::size_t TCteniSouboru::Precist(char* cil, std::size_t n) {
    for (;;) {
        const ssize_t precteno = ::read(fd_, cil, n);
        if (precteno >= 0) return static_cast<std::size_t>(precteno);
        if (errno != EINTR) ChybaCteni(soubor_, DuvodSystemu(errno));
    }
}

void TCteniSouboru::NaZacatek() {
    if (::lseek(fd_, 0, SEEK_SET) != 0) ChybaCteni(soubor_, DuvodSystemu(errno));
}

TAtomickyZapis::TAtomickyZapis(const std::filesystem::path& soubor) : soubor_(soubor), cil_(soubor) {
    // A link is followed, so that the link stays and its target is replaced.
    std::error_code ec;
    if (std::filesystem::is_symlink(soubor, ec)) {
        const auto skutecny = std::filesystem::canonical(soubor, ec);
        if (!ec) cil_ = skutecny;
    }
    struct stat st {};
    existuje_ = ::stat(cil_.c_str(), &st) == 0;
    mod_ = 0666;
    if (existuje_) {
        if (S_ISDIR(st.st_mode)) ChybaZapisu(soubor, DuvodSystemu(EISDIR));
        // A file without any write permission is read-only, also for root.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(cil_.c_str(), W_OK) != 0)
            ChybaZapisu(soubor, DuvodSystemu(EACCES));
        mod_ = st.st_mode & 07777;
        vlastnik_ = st.st_uid;
        skupina_ = st.st_gid;
    } else {
        const mode_t maska = ::umask(0);
        ::umask(maska);
        mod_ &= ~maska;
    }
    // A hidden temporary file beside the target, so that the rename stays on one file system.
    std::string jmeno(1, '.');
    jmeno += cil_.filename().string();
    jmeno += ".XXXXXX";
    docasny_ = cil_.parent_path().empty() ? jmeno : (cil_.parent_path() / jmeno).string();
    fd_ = ::mkstemp(docasny_.data());
    if (fd_ < 0) ChybaZapisu(soubor, DuvodSystemu(errno));
}

TAtomickyZapis::~TAtomickyZapis() {
    if (dokonceno_) return;
    ::close(fd_);
    ::unlink(docasny_.c_str());
}

void TAtomickyZapis::Zapsat(std::string_view bajty) {
    std::size_t zapsano = 0;
    while (zapsano < bajty.size()) {
        const ssize_t n = ::write(fd_, bajty.data() + zapsano, std::min<std::size_t>(bajty.size() - zapsano, 1u << 30));
        if (n < 0) {
            if (errno == EINTR) continue;
            ChybaZapisu(soubor_, DuvodSystemu(errno));
        }
        zapsano += static_cast<std::size_t>(n);
    }
}

void TAtomickyZapis::Dokoncit() {
    if (::fchmod(fd_, mod_) != 0) ChybaZapisu(soubor_, DuvodSystemu(errno));
    if (existuje_ && ::geteuid() == 0) {
        // Keep the owner of a file that root saves on a user's behalf.
        if (::fchown(fd_, vlastnik_, skupina_) != 0) { /* ownership is kept when possible */ }
    }
    if (::fsync(fd_) != 0) ChybaZapisu(soubor_, DuvodSystemu(errno));
    dokonceno_ = true;
    const int zavreni = ::close(fd_);
    const int kodZavreni = errno;
    if (zavreni != 0 || ::rename(docasny_.c_str(), cil_.c_str()) != 0) {
        const int kod = zavreni != 0 ? kodZavreni : errno;
        ::unlink(docasny_.c_str());
        ChybaZapisu(soubor_, DuvodSystemu(kod));
    }
}

std::filesystem::path SlozkaProgramu() {
    std::error_code ec;
    const auto cesta = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec) / "";
    return cesta.parent_path() / "";
}

#endif

std::string NacistBajty(const std::filesystem::path& soubor) {
    TCteniSouboru cteni(soubor);
    std::string bajty;
    bajty.reserve(static_cast<std::size_t>(cteni.Velikost()));
    char blok[1 << 16];
    while (const std::size_t n = cteni.Precist(blok, sizeof blok)) bajty.append(blok, n);
    return bajty;
}

void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes) {
    TAtomickyZapis zapis(soubor);
    zapis.Zapsat(bytes);
    zapis.Dokoncit();
}
