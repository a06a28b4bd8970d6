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

}  // namespace

void RozdelitBajtyNaRadky(std::string_view b, TKodovani k, std::vector<std::u16string>& radky,
                   bool& koncovyZlom) {
    koncovyZlom = false;
    std::size_t zacatek = 0;
    const std::size_t n = b.size();
    const char* data = b.data();
    ZarezervovatRadky(radky, static_cast<std::size_t>(std::count(b.begin(), b.end(), '\n')) + 1);
    while (zacatek < n) {
        std::size_t i = zacatek;
        while (i < n && data[i] != '\n' && data[i] != '\r') ++i;
        radky.emplace_back();
        DekodovatDo(radky.back(), b.substr(zacatek, i - zacatek), k);
        if (i == n) return;
        zacatek = i + ((data[i] == '\r' && i + 1 < n && data[i + 1] == '\n') ? 2 : 1);
        if (zacatek == n) koncovyZlom = true;
    }
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

TText DekodovatText(std::string_view b) {
    TText t;
    const TZnacka z = RozpoznatZnacku(b);
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
    const TZnacka z = RozpoznatZnacku(bajty);
    t.Kodovani = z.kodovani;
    if (z.kodovani == TKodovani::Utf8 || z.kodovani == TKodovani::Utf8Znacka) {
        // Valid UTF-8 (or marked as such: what is not valid becomes U+FFFD).
        if (z.kodovani == TKodovani::Utf8Znacka && !JePlatneUtf8(std::string_view(bajty).substr(z.delka))) {
            std::u16string text;
            DekodovatDo(text, std::string_view(bajty).substr(z.delka), z.kodovani);
            bajty.clear();
            PripojitUtf8(bajty, text);
        } else {
            bajty.erase(0, z.delka);
        }
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
    return DekodovatText(NacistBajty(soubor));
}

TKodovani ZakodovatRadky(std::string& cil, const std::vector<std::u16string>& radky,
                         bool koncovyZlom, TKodovani k) {
    std::size_t odhad = 0;
    for (const auto& r : radky) odhad += r.size() + 2;
    cil.reserve(cil.size() + odhad + 3);
    return ZakodovatSNahradou(cil, k, [&](TKodovani pokus) {
        for (std::size_t i = 0; i < radky.size(); ++i) {
            if (!ZakodovatDo(cil, radky[i], pokus)) return false;
            if (i + 1 < radky.size() || koncovyZlom) ZakodovatDo(cil, u"\r\n", pokus);
        }
        return true;
    });
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

std::string NacistBajty(const std::filesystem::path& soubor) {
    // Others may read the file meanwhile, but not write it.
    HANDLE h = CreateFileW(soubor.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaCteni(soubor, DuvodSystemu(GetLastError()));
    std::string bajty;
    LARGE_INTEGER velikost{};
    if (GetFileSizeEx(h, &velikost)) bajty.reserve(static_cast<std::size_t>(velikost.QuadPart));
    char blok[1 << 16];
    for (;;) {
        DWORD precteno = 0;
        if (!ReadFile(h, blok, sizeof blok, &precteno, nullptr)) {
            const DWORD kod = GetLastError();
            CloseHandle(h);
            ChybaCteni(soubor, DuvodSystemu(kod));
        }
        if (precteno == 0) break;
        bajty.append(blok, precteno);
    }
    CloseHandle(h);
    return bajty;
}

void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes) {
    const DWORD atributy = GetFileAttributesW(soubor.c_str());
    const bool existuje = atributy != INVALID_FILE_ATTRIBUTES;
    if (existuje && (atributy & FILE_ATTRIBUTE_READONLY))
        ChybaZapisu(soubor, DuvodSystemu(ERROR_ACCESS_DENIED));
    if (existuje && (atributy & FILE_ATTRIBUTE_DIRECTORY))
        ChybaZapisu(soubor, DuvodSystemu(ERROR_ACCESS_DENIED));
    std::filesystem::path docasny = soubor;
    docasny += L".tarvik-" + std::to_wstring(GetCurrentProcessId()) + L".tmp";
    HANDLE h = CreateFileW(docasny.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaZapisu(soubor, DuvodSystemu(GetLastError()));
    std::size_t zapsano = 0;
    while (zapsano < bytes.size()) {
        const DWORD kus = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - zapsano, 1u << 30));
        DWORD w = 0;
        if (!WriteFile(h, bytes.data() + zapsano, kus, &w, nullptr)) {
            const DWORD kod = GetLastError();
            CloseHandle(h);
            DeleteFileW(docasny.c_str());
            ChybaZapisu(soubor, DuvodSystemu(kod));
        }
        zapsano += w;
    }
    FlushFileBuffers(h);
    CloseHandle(h);
    BOOL ok = FALSE;
    if (existuje)
        ok = ReplaceFileW(soubor.c_str(), docasny.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                          nullptr, nullptr);
    if (!ok)
        ok = MoveFileExW(docasny.c_str(), soubor.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) {
        const DWORD kod = GetLastError();
        DeleteFileW(docasny.c_str());
        ChybaZapisu(soubor, DuvodSystemu(kod));
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

std::string NacistBajty(const std::filesystem::path& soubor) {
    const int fd = ::open(soubor.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ChybaCteni(soubor, DuvodSystemu(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        ChybaCteni(soubor, DuvodSystemu(EISDIR));
    }
    std::string bajty;
    if (st.st_size > 0) bajty.reserve(static_cast<std::size_t>(st.st_size));
    char blok[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, blok, sizeof blok);
        if (n < 0) {
            if (errno == EINTR) continue;
            const int kod = errno;
            ::close(fd);
            ChybaCteni(soubor, DuvodSystemu(kod));
        }
        if (n == 0) break;
        bajty.append(blok, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bajty;
}

void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes) {
    // A link is followed, so that the link stays and its target is replaced.
    std::filesystem::path cil = soubor;
    std::error_code ec;
    if (std::filesystem::is_symlink(soubor, ec)) {
        const auto skutecny = std::filesystem::canonical(soubor, ec);
        if (!ec) cil = skutecny;
    }
    struct stat st {};
    const bool existuje = ::stat(cil.c_str(), &st) == 0;
    mode_t mod = 0666;
    if (existuje) {
        if (S_ISDIR(st.st_mode)) ChybaZapisu(soubor, DuvodSystemu(EISDIR));
        // A file without any write permission is read-only, also for root.
        if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(cil.c_str(), W_OK) != 0)
            ChybaZapisu(soubor, DuvodSystemu(EACCES));
        mod = st.st_mode & 07777;
    } else {
        const mode_t maska = ::umask(0);
        ::umask(maska);
        mod &= ~maska;
    }
    // A hidden temporary file beside the target, so that the rename stays on one file system.
    std::string jmeno(1, '.');
    jmeno += cil.filename().string();
    jmeno += ".XXXXXX";
    std::string sablona = cil.parent_path().empty() ? jmeno : (cil.parent_path() / jmeno).string();
    const int fd = ::mkstemp(sablona.data());
    if (fd < 0) ChybaZapisu(soubor, DuvodSystemu(errno));
    const auto selhani = [&](int kod) {
        ::close(fd);
        ::unlink(sablona.c_str());
        return DuvodSystemu(kod);
    };
    std::size_t zapsano = 0;
    while (zapsano < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + zapsano,
                                  std::min<std::size_t>(bytes.size() - zapsano, 1u << 30));
        if (n < 0) {
            if (errno == EINTR) continue;
            ChybaZapisu(soubor, selhani(errno));
        }
        zapsano += static_cast<std::size_t>(n);
    }
    if (::fchmod(fd, mod) != 0) ChybaZapisu(soubor, selhani(errno));
    if (existuje && ::geteuid() == 0) {
        // Keep the owner of a file that root saves on a user's behalf.
        if (::fchown(fd, st.st_uid, st.st_gid) != 0) { /* ownership is kept when possible */ }
    }
    if (::fsync(fd) != 0) ChybaZapisu(soubor, selhani(errno));
    if (::close(fd) != 0) {
        const int kod = errno;
        ::unlink(sablona.c_str());
        ChybaZapisu(soubor, DuvodSystemu(kod));
    }
    if (::rename(sablona.c_str(), cil.c_str()) != 0) {
        const int kod = errno;
        ::unlink(sablona.c_str());
        ChybaZapisu(soubor, DuvodSystemu(kod));
    }
}

std::filesystem::path SlozkaProgramu() {
    std::error_code ec;
    const auto cesta = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) return std::filesystem::current_path(ec) / "";
    return cesta.parent_path() / "";
}

#endif
