#include "ChybySouboru.h"

#include "Kodovani.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#endif

std::u16string TextCisla(std::uint64_t n) { return ZUtf8(std::to_string(n)); }

std::u16string TextJednotky(std::uint64_t n) {
    static constexpr char16_t Hex[] = u"0123456789ABCDEF";
    std::u16string v;
    for (int posun = 12; posun >= 0; posun -= 4) v += Hex[(n >> posun) & 0xF];
    return v;
}

TChybaSouboru::TChybaSouboru(TUdajeChyby udaje) : TChyba(AnglickyText(udaje)), udaje_(std::move(udaje)) {}

void Vyhodit(const TUdajeChyby& udaje) {
    switch (udaje.Proc) {
        case TProcChyby::ZmenenPriCteni: throw TZmenaSouboru(udaje);
        case TProcChyby::NeniText: throw TNeniTextovyProgram(udaje);
        case TProcChyby::ZmenenOdCteni: throw TZmenenoOdCteni(udaje);
        default: throw TChybaSouboru(udaje);
    }
}

void ChybaSystemu(TCinnostSouboru cinnost, const std::filesystem::path& soubor, TKodSystemu kod) {
    TUdajeChyby u;
    u.Cinnost = cinnost;
    u.Cesta = soubor;
    u.Kod = kod;
    Vyhodit(u);
}

std::u16string AnglickyText(const TUdajeChyby& u) {
    std::u16string z;
    if (!u.Cesta.empty())
        z = (u.Cinnost == TCinnostSouboru::Cteni ? u"Cannot open file \"" : u"Cannot create file \"") +
            TextCesty(u.Cesta) + u"\". ";
    switch (u.Proc) {
        case TProcChyby::Systemova: z += DuvodSystemu(u.Kod); break;
        case TProcChyby::Slozka: z += u"Folder \"" + TextCesty(u.Slozka) + u"\": " + DuvodSystemu(u.Kod); break;
        case TProcChyby::ZmenenPriCteni: z += u"It was changed by another program while it was being read"; break;
        case TProcChyby::ZmenenOdCteni:
            z += u"It was changed by another program since it was read, and is left as it is";
            break;
        case TProcChyby::NeniText: z += u"It is not a text program: it holds a NUL character"; break;
        case TProcChyby::NeniBeznySoubor: z += u"It is not a regular file but a pipe, a device or a socket"; break;
        case TProcChyby::DlouhyRadek: z += u"A line longer than " + TextCisla(u.Cislo) + u" MiB, which no program holds"; break;
        case TProcChyby::Utf16Lichy: z += u"Damaged UTF-16: an odd number of bytes"; break;
        case TProcChyby::Utf16Nahradnik:
            z += u"Damaged UTF-16: a lone surrogate " + TextJednotky(u.Cislo) + u" in line " + TextCisla(u.Radek);
            break;
        case TProcChyby::NelzeZnovu: z += u"It cannot be read a second time"; break;
        case TProcChyby::PrilisVelky: z += u"It is larger than " + TextCisla(u.Cislo) + u" bytes, which is all that is read"; break;
    }
    if (u.StaryObsah == TStaryObsah::ZapsanZpet) z += u"; the old content was written back";
    if (u.StaryObsah == TStaryObsah::NezapsanZpet)
        z += u"; writing the old content back failed as well: " + DuvodSystemu(u.KodZpet);
    return z;
}

#ifdef _WIN32

TDruhDuvodu DruhDuvodu(TKodSystemu kod) {
    switch (kod) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return TDruhDuvodu::MistoNaDisku;
        case ERROR_WRITE_PROTECT: return TDruhDuvodu::JenProCteni;
        case ERROR_ACCESS_DENIED: return TDruhDuvodu::PristupOdepren;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND: return TDruhDuvodu::Nenalezen;
        case ERROR_FILENAME_EXCED_RANGE: return TDruhDuvodu::DlouheJmeno;
        case ERROR_TOO_MANY_OPEN_FILES: return TDruhDuvodu::MnohoSouboru;
        case ERROR_FILE_TOO_LARGE: return TDruhDuvodu::PrilisVelky;
        case ERROR_CANT_RESOLVE_FILENAME: return TDruhDuvodu::Odkaz;
        default: return TDruhDuvodu::Jiny;
    }
}

std::u16string DuvodSystemu(TKodSystemu kod) {
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

std::u16string TextCesty(const std::filesystem::path& soubor) {
    const std::wstring& w = soubor.native();
    return std::u16string(w.begin(), w.end());
}

#else

TDruhDuvodu DruhDuvodu(TKodSystemu kod) {
    switch (kod) {
        case ENOSPC: return TDruhDuvodu::MistoNaDisku;
        case EROFS: return TDruhDuvodu::JenProCteni;
        case EACCES:
        case EPERM: return TDruhDuvodu::PristupOdepren;
        case ENOENT: return TDruhDuvodu::Nenalezen;
        case ENAMETOOLONG: return TDruhDuvodu::DlouheJmeno;
        case EMFILE:
        case ENFILE: return TDruhDuvodu::MnohoSouboru;
        case EISDIR: return TDruhDuvodu::JeSlozka;
        case EFBIG: return TDruhDuvodu::PrilisVelky;
        case ELOOP: return TDruhDuvodu::Odkaz;
        default: return TDruhDuvodu::Jiny;
    }
}

// strerror_r, not strerror: the batch tool reads and writes programs on
// several threads at once. (The GNU version returns the text, the POSIX one
// fills the buffer.)
namespace {
[[maybe_unused]] const char* TextStrerror(const char* text, const char*) { return text; }
[[maybe_unused]] const char* TextStrerror(int chyba, const char* buffer) { return chyba == 0 ? buffer : nullptr; }
}  // namespace

std::u16string DuvodSystemu(TKodSystemu kod) {
    char buffer[256] = {};
    const char* text = TextStrerror(::strerror_r(kod, buffer, sizeof buffer), buffer);
    return ZUtf8(text ? text : "System error " + std::to_string(kod));
}

std::u16string TextCesty(const std::filesystem::path& soubor) { return ZUtf8(soubor.native()); }

#endif
