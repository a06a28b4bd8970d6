#include "ChybySouboru.h"

#include "Kodovani.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cstring>
#endif

std::u16string ZpravaSouboru(const char* format, const std::filesystem::path& soubor, const std::u16string& duvod) {
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
std::u16string DuvodSystemu(unsigned long kod) {
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
// strerror_r, not strerror: the batch tool reads and writes programs on
// several threads at once. (The GNU version returns the text, the POSIX one
// fills the buffer.)
namespace {
[[maybe_unused]] const char* TextStrerror(const char* text, const char*) { return text; }
[[maybe_unused]] const char* TextStrerror(int chyba, const char* buffer) { return chyba == 0 ? buffer : nullptr; }
}  // namespace

std::u16string DuvodSystemu(int kod) {
    char buffer[256] = {};
    const char* text = TextStrerror(::strerror_r(kod, buffer, sizeof buffer), buffer);
    return ZUtf8(text ? text : "System error " + std::to_string(kod));
}
#endif

void ChybaCteniSouboru(const std::filesystem::path& soubor, std::u16string duvod) {
    throw TChyba(ZpravaSouboru("Cannot open file \"%s\". ", soubor, duvod));
}

void ChybaZapisuSouboru(const std::filesystem::path& soubor, std::u16string duvod) {
    throw TChyba(ZpravaSouboru("Cannot create file \"%s\". ", soubor, duvod));
}

std::u16string TextCesty(const std::filesystem::path& soubor) {
#ifdef _WIN32
    const std::wstring& w = soubor.native();
    return std::u16string(w.begin(), w.end());
#else
    return ZUtf8(soubor.native());
#endif
}
