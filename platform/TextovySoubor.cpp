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

// Receives the lines of a text as they are read.
class TPrijemceRadku {
public:
    virtual ~TPrijemceRadku() = default;
    // One line without its break, its bytes in encoding k (UTF-8 only when
    // they are valid UTF-8).
    virtual void Radek(std::string_view bajty, TKodovani k) = 0;
    virtual void Radek(std::u16string_view radek) = 0;
    // The lines so far were valid UTF-8, but the text is not: they are to be
    // read again as Windows-1250.
    virtual void ZnovuJakoCp1250() = 0;
};

// Lines as a list of UTF-16 strings, appended to radky.
class TDoRadku final : public TPrijemceRadku {
public:
    explicit TDoRadku(std::vector<std::u16string>& radky) : radky_(radky), od_(radky.size()) {}
    void Radek(std::string_view bajty, TKodovani k) override {
        radky_.emplace_back();
        DekodovatDo(radky_.back(), bajty, k);
    }
    void Radek(std::u16string_view radek) override { radky_.emplace_back(radek); }
    void ZnovuJakoCp1250() override {
        // Valid UTF-8 comes back byte for byte from its UTF-16 text.
        std::string bajty;
        for (std::size_t i = od_; i < radky_.size(); ++i) {
            bajty.clear();
            PripojitUtf8(bajty, radky_[i]);
            radky_[i].clear();
            DekodovatDo(radky_[i], bajty, TKodovani::Cp1250);
        }
    }

private:
    std::vector<std::u16string>& radky_;
    std::size_t od_;
};

// Lines as a text area holds them: UTF-8, CR LF between lines.
class TDoEditoru final : public TPrijemceRadku {
public:
    explicit TDoEditoru(std::string& text) : text_(text) {}
    void Radek(std::string_view bajty, TKodovani k) override {
        Zlom();
        if (k == TKodovani::Utf8 || k == TKodovani::Utf8Znacka) {
            text_ += bajty;
            return;
        }
        pomocny_.clear();
        DekodovatDo(pomocny_, bajty, k);
        PripojitUtf8(text_, pomocny_);
    }
    void Radek(std::u16string_view radek) override {
        Zlom();
        PripojitUtf8(text_, radek);
    }
    void ZnovuJakoCp1250() override {
        // Valid UTF-8 so far: these are the file's bytes, breaks aside.
        std::string bajty;
        bajty.swap(text_);
        text_.reserve(bajty.size() + bajty.size() / 4);
        constexpr std::size_t Kus = 1 << 16;
        for (std::size_t i = 0; i < bajty.size(); i += Kus) {
            pomocny_.clear();
            DekodovatDo(pomocny_, std::string_view(bajty).substr(i, Kus), TKodovani::Cp1250);
            PripojitUtf8(text_, pomocny_);
        }
    }
    // A break at the end of the text stays.
    void Dokoncit(bool koncovyZlom) {
        if (koncovyZlom) text_ += "\r\n";
    }

private:
    void Zlom() {
        if (radku_++ > 0) text_ += "\r\n";
    }
    std::string& text_;
    std::u16string pomocny_;
    std::size_t radku_ = 0;
};

// Splits bytes into lines piece by piece: a line may run across pieces, and
// a CR at the end of a piece may be followed by the LF of the next.
class TDeleniNaRadky {
public:
    // With overovat (k is UTF-8), the first line that is not valid UTF-8
    // turns the whole text into Windows-1250, so that every byte comes back
    // when it is saved.
    TDeleniNaRadky(TPrijemceRadku& prijemce, TKodovani k, bool overovat)
        : prijemce_(prijemce), k_(k), overovat_(overovat) {}

    TKodovani Kodovani() const { return k_; }

    void Pridat(std::string_view b) {
        std::size_t i = 0;
        if (b.empty()) return;
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
                return;
            }
            if (cast_.empty()) {
                Radek(b.substr(i, j - i));
            } else {
                cast_.append(b.substr(i, j - i));
                Radek(cast_);
                cast_.clear();
            }
            zlomNaKonci_ = true;
            if (b[j] == '\r') {
                if (j + 1 == n) {
                    cekaLf_ = true;
                    return;
                }
                i = j + (b[j + 1] == '\n' ? 2 : 1);
            } else {
                i = j + 1;
            }
        }
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
            overovat_ = false;
            k_ = TKodovani::Cp1250;
            prijemce_.ZnovuJakoCp1250();
        }
        prijemce_.Radek(bajty, k_);
    }

    TPrijemceRadku& prijemce_;
    TKodovani k_;
    bool overovat_;
    std::string cast_;
    bool cekaLf_ = false;
    bool zlomNaKonci_ = false;
};

// Calls radek for every line of a UTF-16 text; returns whether the text
// ended with a line break.
template <typename F>
bool ProRadky16(std::u16string_view text, F radek) {
    std::size_t zacatek = 0;
    const std::size_t n = text.size();
    while (zacatek < n) {
        std::size_t i = zacatek;
        while (i < n && text[i] != u'\n' && text[i] != u'\r') ++i;
        radek(text.substr(zacatek, i - zacatek));
        if (i == n) return false;
        zacatek = i + ((text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n') ? 2 : 1);
    }
    return n > 0;
}

bool JeUtf16(TKodovani k) { return k == TKodovani::Utf16LE || k == TKodovani::Utf16BE; }

// Why UTF-16 text with a lone surrogate at position i cannot be read.
std::u16string VadaNahradniku(std::u16string_view text, std::size_t i) {
    std::size_t radek = 1;
    for (std::size_t j = 0; j < i; ++j) {
        if (text[j] == u'\n' || (text[j] == u'\r' && !(j + 1 < i && text[j + 1] == u'\n'))) ++radek;
    }
    static constexpr char Hex[] = "0123456789ABCDEF";
    std::u16string kod;
    for (int posun = 12; posun >= 0; posun -= 4) kod += static_cast<char16_t>(Hex[(text[i] >> posun) & 0xF]);
    return u"Damaged UTF-16: a lone surrogate " + kod + u" in line " + ZUtf8(std::to_string(radek));
}

// Reads a text piece by piece, in one pass: the mark is found in the first
// bytes, UTF-8 or Windows-1250 is decided by the whole text.
class TCteniTextu {
public:
    explicit TCteniTextu(TPrijemceRadku& prijemce) : prijemce_(prijemce) {}

    void Pridat(std::string_view kus) {
        if (!rozhodnuto_) {
            const std::size_t k = std::min(kus.size(), std::size_t{3} - zacatek_.size());
            zacatek_.append(kus.substr(0, k));
            kus.remove_prefix(k);
            if (zacatek_.size() < 3) return;
            Rozhodnout();
        }
        Dal(kus);
    }

    struct TVysledek {
        TKodovani kodovani;
        bool koncovyZlom = false;
        std::u16string vada;  // not empty: why the text cannot be read
    };

    TVysledek Dokoncit() {
        if (!rozhodnuto_) Rozhodnout();
        if (deleni_) {
            const bool zlom = deleni_->Dokoncit();
            return {deleni_->Kodovani(), zlom, {}};
        }
        if (utf16_.size() % 2 != 0) return {k_, false, u"Damaged UTF-16: an odd number of bytes"};
        std::u16string text;
        DekodovatDo(text, utf16_, k_);
        std::string().swap(utf16_);
        const std::size_t osamely = NajitOsamelyNahradnik(text);
        if (osamely != std::u16string::npos) return {k_, false, VadaNahradniku(text, osamely)};
        const bool zlom = ProRadky16(text, [&](std::u16string_view r) { prijemce_.Radek(r); });
        return {k_, zlom, {}};
    }

private:
    void Rozhodnout() {
        rozhodnuto_ = true;
        std::string_view zbytek(zacatek_);
        if (const auto znacka = NajitZnacku(zbytek)) {
            k_ = znacka->kodovani;
            zbytek.remove_prefix(znacka->delka);  // the mark is not part of the text
        } else {
            k_ = BezZnackyUtf8() ? TKodovani::Utf8 : TKodovani::Ansi;
        }
        if (!JeUtf16(k_))
            deleni_.emplace(prijemce_, k_, k_ == TKodovani::Utf8 || k_ == TKodovani::Utf8Znacka);
        Dal(zbytek);
    }
    void Dal(std::string_view kus) {
        if (deleni_)
            deleni_->Pridat(kus);
        else
            utf16_.append(kus);  // rare: split only once decoded
    }

    TPrijemceRadku& prijemce_;
    std::string zacatek_;
    bool rozhodnuto_ = false;
    TKodovani k_ = TKodovani::Utf8;
    std::optional<TDeleniNaRadky> deleni_;
    std::string utf16_;
};

// Reads all of zdroj through the reader; a damaged text fails with its reason.
TCteniTextu::TVysledek CistVse(TCteniSouboru& zdroj, TPrijemceRadku& prijemce) {
    constexpr std::size_t Kus = 1 << 20;
    std::string blok(Kus, '\0');
    TCteniTextu cteni(prijemce);
    while (const std::size_t n = zdroj.Precist(blok.data(), Kus)) cteni.Pridat(std::string_view(blok.data(), n));
    TCteniTextu::TVysledek v = cteni.Dokoncit();
    if (!v.vada.empty()) ChybaCteni(zdroj.Cesta(), v.vada);
    return v;
}

}  // namespace

void RozdelitBajtyNaRadky(std::string_view b, TKodovani k, std::vector<std::u16string>& radky,
                          bool& koncovyZlom) {
    ZarezervovatRadky(radky, static_cast<std::size_t>(std::count(b.begin(), b.end(), '\n')) + 1);
    TDoRadku prijemce(radky);
    TDeleniNaRadky deleni(prijemce, k, false);
    deleni.Pridat(b);
    koncovyZlom = deleni.Dokoncit();
}

TText DekodovatText(std::string_view b) {
    TText t;
    ZarezervovatRadky(t.Radky, static_cast<std::size_t>(std::count(b.begin(), b.end(), '\n')) + 1);
    TDoRadku prijemce(t.Radky);
    TCteniTextu cteni(prijemce);
    cteni.Pridat(b);
    const TCteniTextu::TVysledek v = cteni.Dokoncit();
    if (!v.vada.empty()) throw TChyba(v.vada);
    t.Kodovani = v.kodovani;
    t.KoncovyZlom = v.koncovyZlom;
    return t;
}

TText NacistText(TCteniSouboru& zdroj) {
    TText t;
    // Room for the lines (reserved, not touched): a program line takes a few bytes at least.
    t.Radky.reserve(static_cast<std::size_t>(zdroj.Velikost() / 8) + 16);
    TDoRadku prijemce(t.Radky);
    const TCteniTextu::TVysledek v = CistVse(zdroj, prijemce);
    t.Kodovani = v.kodovani;
    t.KoncovyZlom = v.koncovyZlom;
    return t;
}

TText NacistTextovySoubor(const std::filesystem::path& soubor) {
    TCteniSouboru zdroj(soubor);
    return NacistText(zdroj);
}

TTextEditoru NacistTextEditoru(const std::filesystem::path& soubor) {
    TCteniSouboru zdroj(soubor);
    TTextEditoru t;
    const auto velikost = static_cast<std::size_t>(zdroj.Velikost());
    // Room for LF breaks that become CR LF, too.
    t.Utf8.reserve(velikost + velikost / 32 + 16);
    TDoEditoru prijemce(t.Utf8);
    const TCteniTextu::TVysledek v = CistVse(zdroj, prijemce);
    prijemce.Dokoncit(v.koncovyZlom);
    t.Kodovani = v.kodovani;
    return t;
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
    ZarezervovatRadky(radky, static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\n')) + 1);
    koncovyZlom = ProRadky16(text, [&](std::u16string_view r) { radky.emplace_back(r); });
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

#ifdef _WIN32

TCteniSouboru::TCteniSouboru(const std::filesystem::path& soubor) : soubor_(soubor) {
    // Others may read the file meanwhile, but not write it.
    HANDLE h = CreateFileW(soubor.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaCteni(soubor, DuvodSystemu(GetLastError()));
    soubor_h_ = h;
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false) {
    soubor_h_ = GetStdHandle(STD_INPUT_HANDLE);
    if (soubor_h_ == INVALID_HANDLE_VALUE || soubor_h_ == nullptr)
        ChybaCteni(soubor_, DuvodSystemu(ERROR_INVALID_HANDLE));
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
    char blok[1 << 16];
    for (;;) {
        DWORD precteno = 0;
        if (!ReadFile(h, blok, sizeof blok, &precteno, nullptr)) ChybaZapisu(soubor_, DuvodSystemu(GetLastError()));
        if (precteno == 0) break;
        stary_.append(blok, precteno);
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
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false), fd_(STDIN_FILENO) {}

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
