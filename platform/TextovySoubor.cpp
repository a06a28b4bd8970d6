#include "TextovySoubor.h"

#include "Chyba.h"

#include <algorithm>
#include <cstring>
#include <optional>
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
// strerror_r, not strerror: the batch tool reads and writes programs on
// several threads at once. (The GNU version returns the text, the POSIX one
// fills the buffer.)
[[maybe_unused]] const char* TextStrerror(const char* text, const char*) { return text; }
[[maybe_unused]] const char* TextStrerror(int chyba, const char* buffer) { return chyba == 0 ? buffer : nullptr; }

std::u16string DuvodSystemu(int kod) {
    char buffer[256] = {};
    const char* text = TextStrerror(::strerror_r(kod, buffer, sizeof buffer), buffer);
    return ZUtf8(text ? text : "System error " + std::to_string(kod));
}
#endif

[[noreturn]] void ChybaCteni(const std::filesystem::path& soubor, std::u16string duvod) {
    throw TChyba(Zprava("Cannot open file \"%s\". ", soubor, duvod));
}

[[noreturn]] void ChybaZapisu(const std::filesystem::path& soubor, std::u16string duvod) {
    throw TChyba(Zprava("Cannot create file \"%s\". ", soubor, duvod));
}

// Bytes read at a time: small enough to stay in the cache and to touch few
// pages, large enough that the calls do not count.
constexpr std::size_t Blok = std::size_t{256} << 10;

bool JeUtf16(TKodovani k) { return k == TKodovani::Utf16LE || k == TKodovani::Utf16BE; }
bool JeUtf8(TKodovani k) { return k == TKodovani::Utf8 || k == TKodovani::Utf8Znacka; }

// The position after the last line break of t at or after od that no later
// unit can change (a CR at the very end may be the first half of a CR LF);
// 0 when there is none.
template <typename C>
std::size_t PoPoslednimZlomu(std::basic_string_view<C> t, std::size_t od) {
    std::size_t i = t.size();
    if (i > 0 && t[i - 1] == C('\r')) --i;
    while (i > od) {
        --i;
        if (t[i] == C('\n') || t[i] == C('\r')) return i + 1;
    }
    return 0;
}

// True when every line break of t is CR LF.
bool JenCrLf(std::string_view t) {
    std::size_t lf = 0;
    for (std::size_t i = 0; (i = t.find('\n', i)) != std::string_view::npos; ++i, ++lf)
        if (i == 0 || t[i - 1] != '\r') return false;
    return static_cast<std::size_t>(std::count(t.begin(), t.end(), '\r')) == lf;
}

// Calls radek(line, zlom) for every line of a UTF-8 text; zlom: a break follows it.
template <typename F>
void ProRadky(std::string_view t, F radek) {
    std::size_t i = 0;
    const std::size_t n = t.size();
    while (i < n) {
        std::size_t j = i;
        // Both breaks are at most 0x0D: one comparison passes every other byte of a line.
        while (j < n && (static_cast<unsigned char>(t[j]) > '\r' || (t[j] != '\n' && t[j] != '\r'))) ++j;
        radek(t.substr(i, j - i), j < n);
        if (j == n) return;
        i = j + ((t[j] == '\r' && j + 1 < n && t[j + 1] == '\n') ? 2 : 1);
    }
}

}  // namespace

TProgramPoKusech::TProgramPoKusech(TZdrojBajtu& zdroj) : zdroj_(&zdroj) {
    drzet_ = !zdroj_->Zpet();
}

void TProgramPoKusech::CistZ(TZdrojBajtu& zdroj) {
    zdroj_ = &zdroj;
    drzet_ = !zdroj_->Zpet();
    drzene_.clear();
    prehrat_ = 0;
}

std::size_t TProgramPoKusech::CistSurove(char* cil, std::size_t n) {
    std::size_t k;
    if (prehrat_ < drzene_.size()) {
        k = std::min(n, drzene_.size() - prehrat_);
        std::memcpy(cil, drzene_.data() + prehrat_, k);
        prehrat_ += k;
    } else {
        k = zdroj_->Precist(cil, n);
        if (drzet_) {
            drzene_.append(cil, k);
            prehrat_ = drzene_.size();
        }
    }
    precteno_ += k;
    return k;
}

void TProgramPoKusech::Rozhodnout() {
    rozhodnuto_ = true;
    // The first three bytes (or all of a shorter text) tell the mark.
    char zacatek[3];
    std::size_t n = 0;
    while (n < 3) {
        const std::size_t k = CistSurove(zacatek + n, 3 - n);
        if (k == 0) break;
        n += k;
    }
    std::string_view zbytek(zacatek, n);
    if (const auto znacka = NajitZnacku(zbytek)) {
        k_ = znacka->kodovani;
        delkaZnacky_ = znacka->delka;
        zbytek.remove_prefix(delkaZnacky_);  // the mark is not part of the text
    } else {
        k_ = BezZnackyUtf8() ? TKodovani::Utf8 : TKodovani::Ansi;
    }
    overovat_ = JeUtf8(k_);
    if (JeUtf16(k_)) {
        surove_.assign(zbytek);
    } else {
        prac_.assign(zbytek);
        delkaPrac_ = prac_.size();
    }
    if (n < 3) konec_ = true;
}

void TProgramPoKusech::OdZacatku() {
    if (drzet_) {
        prehrat_ = 0;
    } else if (!zdroj_->Zpet()) {
        throw zdroj_->Vada(u"It cannot be read a second time");
    }
    precteno_ = 0;
    konec_ = false;
    delkaPrac_ = dano_ = bezZlomu_ = 0;
    surove_.clear();
    jednotky_.clear();
    danoJednotek_ = 0;
    radek_ = 1;
    crPred_ = false;
    // The mark again, and nothing else of the text.
    char znacka[3];
    for (std::size_t preskoceno = 0; preskoceno < delkaZnacky_;) {
        const std::size_t k = CistSurove(znacka, delkaZnacky_ - preskoceno);
        if (k == 0) break;
        preskoceno += k;
    }
}

void TProgramPoKusech::Docist() {
    // The buffer grows for a long line only; its room is never filled first.
    if (prac_.size() < delkaPrac_ + Blok) prac_.resize(delkaPrac_ + Blok);
    const std::size_t n = CistSurove(prac_.data() + delkaPrac_, Blok);
    delkaPrac_ += n;
    if (n == 0) konec_ = true;
}

TProgramPoKusech::TStav TProgramPoKusech::Dalsi(std::string_view& kus) {
    if (!rozhodnuto_) Rozhodnout();
    if (JeUtf16(k_)) return DalsiUtf16(kus);
    for (;;) {
        if (dano_ > 0) {
            std::memmove(prac_.data(), prac_.data() + dano_, delkaPrac_ - dano_);
            delkaPrac_ -= dano_;
            dano_ = bezZlomu_ = 0;
        }
        const std::string_view precteno(prac_.data(), delkaPrac_);
        const std::size_t rez = konec_ ? precteno.size() : PoPoslednimZlomu(precteno, bezZlomu_);
        if (rez == 0) {
            if (konec_) {
                // The whole text has been read as it was decided.
                overovat_ = false;
                return TStav::Konec;
            }
            // A line longer than what has been read: the next bytes are searched only.
            bezZlomu_ = delkaPrac_ == 0 ? 0 : delkaPrac_ - 1;
            Docist();
            continue;
        }
        const std::string_view surovy(prac_.data(), rez);
        dano_ = rez;
        if (JeUtf8(k_)) {
            // A piece ends after a break, so no character is cut: each piece is checked alone.
            if (overovat_ && !JePlatneUtf8(surovy)) {
                k_ = TKodovani::Cp1250;
                overovat_ = false;
                OdZacatku();
                return TStav::Znovu;
            }
            kus = surovy;
            return TStav::Kus;
        }
        prevedene_.clear();
        PrevestDoUtf8(prevedene_, surovy, k_);
        if (k_ == TKodovani::Ansi && lzeZpet_) lzeZpet_ = LzeZakodovatUtf8(prevedene_, k_);
        kus = prevedene_;
        return TStav::Kus;
    }
}

void TProgramPoKusech::DocistUtf16() {
    // A byte left over from the last read is the first half of a unit.
    const std::size_t zbylo = surove_.size();
    surove_.resize(zbylo + Blok);
    const std::size_t n = CistSurove(surove_.data() + zbylo, Blok);
    surove_.resize(zbylo + n);
    if (n == 0) {
        konec_ = true;
        return;
    }
    const bool be = k_ == TKodovani::Utf16BE;
    const std::size_t celych = surove_.size() / 2;
    const std::size_t od = jednotky_.size();
    jednotky_.resize(od + celych);
    for (std::size_t i = 0; i < celych; ++i) {
        const auto a = static_cast<unsigned char>(surove_[2 * i]);
        const auto b = static_cast<unsigned char>(surove_[2 * i + 1]);
        jednotky_[od + i] = static_cast<char16_t>(be ? (a << 8) | b : (b << 8) | a);
    }
    surove_.erase(0, 2 * celych);
}

void TProgramPoKusech::VadaNahradniku(char16_t jednotka) {
    // An odd number of bytes is reported first: what is left is read to know.
    char blok[1 << 16];
    while (CistSurove(blok, sizeof blok) > 0) {
    }
    if (precteno_ % 2 != 0) throw zdroj_->Vada(u"Damaged UTF-16: an odd number of bytes");
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::u16string kod;
    for (int posun = 12; posun >= 0; posun -= 4) kod += static_cast<char16_t>(Hex[(jednotka >> posun) & 0xF]);
    throw zdroj_->Vada(u"Damaged UTF-16: a lone surrogate " + kod + u" in line " + ZUtf8(std::to_string(radek_)));
}

TProgramPoKusech::TStav TProgramPoKusech::DalsiUtf16(std::string_view& kus) {
    for (;;) {
        if (danoJednotek_ > 0) {
            jednotky_.erase(0, danoJednotek_);
            danoJednotek_ = bezZlomu_ = 0;
        }
        const std::size_t rez =
            konec_ ? jednotky_.size() : PoPoslednimZlomu(std::u16string_view(jednotky_), bezZlomu_);
        if (rez == 0) {
            if (konec_) {
                if (!surove_.empty()) throw zdroj_->Vada(u"Damaged UTF-16: an odd number of bytes");
                return TStav::Konec;
            }
            // A line longer than what has been read: the next units are searched only.
            bezZlomu_ = jednotky_.empty() ? 0 : jednotky_.size() - 1;
            DocistUtf16();
            continue;
        }
        danoJednotek_ = rez;
        prevedene_.clear();
        const std::u16string_view t(jednotky_.data(), rez);
        for (std::size_t i = 0; i < t.size(); ++i) {
            const char16_t c = t[i];
            if (c >= 0xD800 && c <= 0xDFFF) {
                if (c > 0xDBFF || i + 1 >= t.size() || t[i + 1] < 0xDC00 || t[i + 1] > 0xDFFF) VadaNahradniku(c);
                PripojitUtf8(prevedene_, t.substr(i, 2));
                ++i;
                crPred_ = false;
                continue;
            }
            // Line breaks for the messages: a CR LF is one.
            if (c == u'\r' || (c == u'\n' && !crPred_)) ++radek_;
            crPred_ = c == u'\r';
            if (c < 0x80)
                prevedene_ += static_cast<char>(c);
            else
                PripojitUtf8(prevedene_, t.substr(i, 1));
        }
        kus = prevedene_;
        return TStav::Kus;
    }
}

TText NacistText(TZdrojBajtu& zdroj) {
    TText t;
    // Room for the lines (reserved, not touched): a program line takes a few bytes at least.
    t.Radky.reserve(static_cast<std::size_t>(zdroj.Velikost() / 8) + 16);
    TProgramPoKusech cteni(zdroj);
    std::string_view kus;
    for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;) {
        if (stav == TProgramPoKusech::TStav::Znovu) {
            t.Radky.clear();
            continue;
        }
        ProRadky(kus, [&](std::string_view radek, bool zlom) {
            t.Radky.emplace_back();
            DekodovatDo(t.Radky.back(), radek, TKodovani::Utf8);
            t.KoncovyZlom = zlom;
        });
    }
    t.Kodovani = cteni.Kodovani();
    return t;
}

std::size_t TBajtyVPameti::Precist(char* cil, std::size_t n) {
    n = std::min(n, b_.size() - i_);
    if (n > 0) std::memcpy(cil, b_.data() + i_, n);
    i_ += n;
    return n;
}

TText DekodovatText(std::string_view b) {
    TBajtyVPameti zdroj(b);
    return NacistText(zdroj);
}

TText NacistTextovySoubor(const std::filesystem::path& soubor) {
    TCteniSouboru zdroj(soubor);
    return NacistText(zdroj);
}

TKodovani NacistTextEditoru(const std::filesystem::path& soubor, const std::function<void(std::string_view)>& kus,
                            const std::function<void()>& znovu) {
    TCteniSouboru zdroj(soubor);
    TProgramPoKusech cteni(zdroj);
    std::string sCrLf;
    std::string_view k;
    for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(k)) != TProgramPoKusech::TStav::Konec;) {
        if (stav == TProgramPoKusech::TStav::Znovu) {
            znovu();
            continue;
        }
        // Every break becomes CR LF; a piece that has only CR LF goes as it is.
        if (JenCrLf(k)) {
            kus(k);
            continue;
        }
        sCrLf.clear();
        ProRadky(k, [&](std::string_view radek, bool zlom) {
            sCrLf += radek;
            if (zlom) sCrLf += "\r\n";
        });
        kus(sCrLf);
    }
    return cteni.Kodovani();
}

std::u16string TextCesty(const std::filesystem::path& soubor) {
#ifdef _WIN32
    const std::wstring& w = soubor.native();
    return std::u16string(w.begin(), w.end());
#else
    return ZUtf8(soubor.native());
#endif
}

void RozdelitNaRadky(std::u16string_view text, std::vector<std::u16string>& radky, bool& koncovyZlom) {
    std::size_t zacatek = 0;
    const std::size_t n = text.size();
    koncovyZlom = false;
    while (zacatek < n) {
        std::size_t i = zacatek;
        while (i < n && text[i] != u'\n' && text[i] != u'\r') ++i;
        radky.emplace_back(text.substr(zacatek, i - zacatek));
        koncovyZlom = i < n;
        if (i == n) return;
        zacatek = i + ((text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1);
    }
}

TKodovani ZakodovatText(std::string& cil, std::u16string_view text, TKodovani k) {
    const std::size_t zacatek = cil.size();
    // UTF-16, the last, holds every code unit.
    for (TKodovani pokus : {k, TKodovani::Utf8Znacka, TKodovani::Utf16LE}) {
        cil.resize(zacatek);
        cil += ZnackaKodovani(pokus);
        if (ZakodovatDo(cil, text, pokus)) return pokus;
    }
    return TKodovani::Utf16LE;
}

// ---------------------------------------------------------------- writing, shared

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
        ChybaZapisu(soubor_, Duvod());
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
    if (!Zavrit()) ChybaZapisu(soubor_, Duvod());
}

void TZapisSouboru::Selhani(const std::u16string& duvod) {
    dokonceno_ = true;  // the old bytes are written back here, once
    if (Vyprazdnit() && ZapsatVse(stary_) && Splachnout())
        ChybaZapisu(soubor_, duvod + u"; the old content was written back");
    ChybaZapisu(soubor_, duvod + u"; writing the old content back failed as well: " + Duvod());
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

TChyba TCteniSouboru::Vada(const std::u16string& duvod) const {
    return TChyba(Zprava("Cannot open file \"%s\". ", soubor_, duvod));
}

#ifdef _WIN32

namespace {

// Where reading a disk file begins; a pipe or a console has no position.
void ZapamatovatZacatek(void* h, std::int64_t& zacatek) {
    LARGE_INTEGER pozice{};
    if (GetFileType(static_cast<HANDLE>(h)) == FILE_TYPE_DISK &&
        SetFilePointerEx(static_cast<HANDLE>(h), LARGE_INTEGER{}, &pozice, FILE_CURRENT))
        zacatek = pozice.QuadPart;
}

}  // namespace

TCteniSouboru::TCteniSouboru(const std::filesystem::path& soubor) : soubor_(soubor) {
    // Others may read the file meanwhile, but not write it.
    HANDLE h = CreateFileW(soubor.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaCteni(soubor, DuvodSystemu(GetLastError()));
    soubor_h_ = h;
    ZapamatovatZacatek(h, zacatek_);
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false) {
    soubor_h_ = GetStdHandle(STD_INPUT_HANDLE);
    if (soubor_h_ == INVALID_HANDLE_VALUE || soubor_h_ == nullptr)
        ChybaCteni(soubor_, DuvodSystemu(ERROR_INVALID_HANDLE));
    ZapamatovatZacatek(soubor_h_, zacatek_);
}

bool TCteniSouboru::Zpet() {
    LARGE_INTEGER pozice{};
    pozice.QuadPart = zacatek_;
    return zacatek_ >= 0 && SetFilePointerEx(static_cast<HANDLE>(soubor_h_), pozice, nullptr, FILE_BEGIN);
}

TCteniSouboru::~TCteniSouboru() {
    if (vlastni_) CloseHandle(static_cast<HANDLE>(soubor_h_));
}

std::uint64_t TCteniSouboru::Velikost() const {
    LARGE_INTEGER velikost{};
    if (GetFileType(static_cast<HANDLE>(soubor_h_)) != FILE_TYPE_DISK) return 0;
    return GetFileSizeEx(static_cast<HANDLE>(soubor_h_), &velikost) ? std::uint64_t(velikost.QuadPart) : 0;
}

std::size_t TCteniSouboru::Precist(char* cil, std::size_t n) {
    DWORD precteno = 0;
    const DWORD kus = static_cast<DWORD>(std::min<std::size_t>(n, 1u << 30));
    if (!ReadFile(static_cast<HANDLE>(soubor_h_), cil, kus, &precteno, nullptr)) {
        const DWORD kod = GetLastError();
        if (kod == ERROR_BROKEN_PIPE) return 0;  // the writing end of a pipe closed
        ChybaCteni(soubor_, DuvodSystemu(kod));
    }
    return precteno;
}

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
        ChybaZapisu(soubor, DuvodSystemu(ERROR_ACCESS_DENIED));
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
    ChybaZapisu(soubor, u"Folder \"" + TextCesty(SlozkaSouboru(cil_)) + u"\": " + Duvod());
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
    if (h == INVALID_HANDLE_VALUE) ChybaZapisu(soubor_, DuvodSystemu(GetLastError()));
    h_ = h;
    // A failure here fails the constructor, whose destructor never runs.
    try {
        char blok[1 << 16];
        for (;;) {
            DWORD precteno = 0;
            if (!ReadFile(h, blok, sizeof blok, &precteno, nullptr)) ChybaZapisu(soubor_, DuvodSystemu(GetLastError()));
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
    if (!FlushFileBuffers(h)) ChybaZapisu(soubor_, DuvodSystemu(GetLastError()));
    CloseHandle(h);
    h_ = nullptr;
    BOOL ok = FALSE;
    if (GetFileAttributesW(cil_.c_str()) != INVALID_FILE_ATTRIBUTES)
        ok = ReplaceFileW(cil_.c_str(), docasny_.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    if (!ok) ok = MoveFileExW(docasny_.c_str(), cil_.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) ChybaZapisu(soubor_, DuvodSystemu(GetLastError()));  // the destructor removes the new file
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
    zacatek_ = ::lseek(fd_, 0, SEEK_CUR);
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false), fd_(STDIN_FILENO) {
    zacatek_ = ::lseek(fd_, 0, SEEK_CUR);
}

bool TCteniSouboru::Zpet() { return zacatek_ >= 0 && ::lseek(fd_, zacatek_, SEEK_SET) == zacatek_; }

TCteniSouboru::~TCteniSouboru() {
    if (vlastni_) ::close(fd_);
}

std::uint64_t TCteniSouboru::Velikost() const {
    struct stat st {};
    return ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0 ? std::uint64_t(st.st_size) : 0;
}

std::size_t TCteniSouboru::Precist(char* cil, std::size_t n) {
    for (;;) {
        const ssize_t precteno = ::read(fd_, cil, n);
        if (precteno >= 0) return static_cast<std::size_t>(precteno);
        if (errno != EINTR) ChybaCteni(soubor_, DuvodSystemu(errno));
    }
}

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
        if (fd_ < 0) ChybaZapisu(soubor, DuvodSystemu(errno));
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
        if (errno != ENOENT) ChybaZapisu(soubor, DuvodSystemu(errno));
        const mode_t maska = ::umask(0);
        ::umask(maska);
        mod_ = 0666 & ~maska;
        if (!VytvoritNovy()) ChybaZapisu(soubor, u"Folder \"" + TextCesty(SlozkaSouboru(cil_)) + u"\": " + Duvod());
        return;
    }
    if (S_ISDIR(st.st_mode)) ChybaZapisu(soubor, DuvodSystemu(EISDIR));
    if (!S_ISREG(st.st_mode)) {
        // A device, a pipe or a socket: written through, never replaced by a file.
        fd_ = ::open(cil_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (fd_ < 0) ChybaZapisu(soubor, DuvodSystemu(errno));
        zpusob_ = TZpusob::Primo;
        return;
    }
    // A file without any write permission is read-only, also for root.
    if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(cil_.c_str(), W_OK) != 0)
        ChybaZapisu(soubor, DuvodSystemu(EACCES));
    mod_ = st.st_mode & 07777;
    // A new file would leave the other names of the file with the old content.
    if (st.st_nlink > 1) {
        OtevritNaMiste();
        return;
    }
    if (!VytvoritNovy()) {
        if (chyba_ != EACCES && chyba_ != EPERM && chyba_ != EROFS)
            ChybaZapisu(soubor, u"Folder \"" + TextCesty(SlozkaSouboru(cil_)) + u"\": " + Duvod());
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
    if (fd_ < 0) ChybaZapisu(soubor_, DuvodSystemu(errno));
    // A failure here fails the constructor, whose destructor never runs.
    try {
        char blok[1 << 16];
        for (;;) {
            const ssize_t n = ::read(fd_, blok, sizeof blok);
            if (n == 0) break;
            if (n < 0) {
                if (errno == EINTR) continue;
                ChybaZapisu(soubor_, DuvodSystemu(errno));
            }
            stary_.append(blok, static_cast<std::size_t>(n));
        }
    } catch (...) {
        Zavrit();
        throw;
    }
}

void TZapisSouboru::DokoncitNahrazeni() {
    if (::fchmod(fd_, mod_) != 0 || ::fsync(fd_) != 0) ChybaZapisu(soubor_, DuvodSystemu(errno));
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
        if (docasny_.empty()) ChybaZapisu(soubor_, DuvodSystemu(kod));
    }
    if (::rename(docasny_.c_str(), cil_.c_str()) != 0) ChybaZapisu(soubor_, DuvodSystemu(errno));
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
    TZapisSouboru zapis(soubor);
    zapis.Zapsat(bytes);
    zapis.Dokoncit();
}
