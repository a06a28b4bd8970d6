#include "CteniTextu.h"

#include "ChybySouboru.h"

#include <algorithm>
#include <cstring>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

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

constexpr std::uint64_t P1 = 0x9E3779B185EBCA87ull, P2 = 0xC2B2AE3D27D4EB4Full, P3 = 0x165667B19E3779F9ull,
                        P4 = 0x85EBCA77C2B2AE63ull, P5 = 0x27D4EB2F165667C5ull;

std::uint64_t Rotace(std::uint64_t x, int r) { return (x << r) | (x >> (64 - r)); }
std::uint64_t Kolo(std::uint64_t a, std::uint64_t vstup) { return Rotace(a + vstup * P2, 31) * P1; }
std::uint64_t Slovo64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, 8);
    return v;
}
std::uint32_t Slovo32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

void TSouhrnBajtu::Pridat(const char* bajty, std::size_t n) {
    auto p = reinterpret_cast<const unsigned char*>(bajty);
    delka_ += n;
    const auto pruh = [this](const unsigned char* q) {
        for (int i = 0; i < 4; ++i) pruhy_[i] = Kolo(pruhy_[i], Slovo64(q + 8 * i));
    };
    if (vZbytku_ > 0) {
        const std::size_t k = std::min(n, sizeof zbytek_ - vZbytku_);
        std::memcpy(zbytek_ + vZbytku_, p, k);
        vZbytku_ += k;
        p += k;
        n -= k;
        if (vZbytku_ < sizeof zbytek_) return;
        pruh(zbytek_);
        vZbytku_ = 0;
    }
    for (; n >= 32; p += 32, n -= 32) pruh(p);
    std::memcpy(zbytek_, p, n);
    vZbytku_ = n;
}

std::uint64_t TSouhrnBajtu::Hodnota() const {
    std::uint64_t h;
    if (delka_ >= 32) {
        h = Rotace(pruhy_[0], 1) + Rotace(pruhy_[1], 7) + Rotace(pruhy_[2], 12) + Rotace(pruhy_[3], 18);
        for (const std::uint64_t v : pruhy_) h = (h ^ Kolo(0, v)) * P1 + P4;
    } else {
        h = P5;
    }
    h += delka_;
    const unsigned char* p = zbytek_;
    std::size_t n = vZbytku_;
    for (; n >= 8; p += 8, n -= 8) h = Rotace(h ^ Kolo(0, Slovo64(p)), 27) * P1 + P4;
    if (n >= 4) {
        h = Rotace(h ^ (std::uint64_t{Slovo32(p)} * P1), 23) * P2 + P3;
        p += 4;
        n -= 4;
    }
    for (; n > 0; ++p, --n) h = Rotace(h ^ (*p * P5), 11) * P1;
    h ^= h >> 33;
    h *= P2;
    h ^= h >> 29;
    h *= P3;
    return h ^ (h >> 32);
}

bool JeTextProgramu(std::string_view kus) { return kus.empty() || !std::memchr(kus.data(), 0, kus.size()); }

TProgramPoKusech::TProgramPoKusech(TZdrojBajtu& zdroj, bool jenText)
    : zdroj_(&zdroj),
      jenText_(jenText),
      zmena_(zdroj.Vada(u"It was changed by another program while it was being read").Zprava()),
      otisk_(zdroj.Otisk()) {
    drzet_ = !zdroj_->Zpet();
}

void TProgramPoKusech::Zmena() const { throw TZmenaSouboru(zmena_); }

void TProgramPoKusech::KonecPruchodu() {
    const std::pair<std::uint64_t, std::uint64_t> tento{souhrn_.Delka(), souhrn_.Hodnota()};
    if (!prvni_)
        prvni_ = tento;
    else if (*prvni_ != tento)
        Zmena();
}

TProgramPoKusech::TStav TProgramPoKusech::Kus(std::string_view& kus, std::string_view text) {
    if (jenText_ && !JeTextProgramu(text))
        throw TNeniTextovyProgram(zdroj_->Vada(u"It is not a text program: it holds a NUL character").Zprava());
    kus = text;
    return TStav::Kus;
}

void TProgramPoKusech::CistZ(TZdrojBajtu& zdroj) {
    if (otisk_) {
        if (const auto otisk = zdroj.Otisk(); otisk && *otisk != *otisk_) Zmena();
    }
    if (const auto bajty = zdroj.VsechnyBajty(); bajty && prvni_) {
        TSouhrnBajtu s;
        s.Pridat(bajty->data(), bajty->size());
        if (*prvni_ != std::pair(s.Delka(), s.Hodnota())) Zmena();
    }
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
    souhrn_.Pridat(cil, k);
    if (k == 0 && n > 0) KonecPruchodu();
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
    const std::optional<TZnacka> znacka = NajitZnacku(zbytek);
    if (znacka) {
        delkaZnacky_ = znacka->delka;
        zbytek.remove_prefix(delkaZnacky_);  // the mark is not part of the text
    }
    if (znacka && JeUtf16(znacka->kodovani)) {
        k_ = znacka->kodovani;
    } else {
        kodovaniTextu_ = TKodovaniTextu(znacka.has_value());
        k_ = kodovaniTextu_.Kodovani();
    }
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
    souhrn_ = TSouhrnBajtu();
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

void TProgramPoKusech::DlouhyRadek() {
    throw zdroj_->Vada(u"A line longer than " + ZUtf8(std::to_string(NejdelsiRadek >> 20)) +
                       u" MiB, which no program holds");
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
                kodovaniTextu_.Potvrdit();
                return TStav::Konec;
            }
            // A line longer than what has been read: the next bytes are searched only.
            if (jenText_ && delkaPrac_ > NejdelsiRadek) DlouhyRadek();
            bezZlomu_ = delkaPrac_ == 0 ? 0 : delkaPrac_ - 1;
            Docist();
            continue;
        }
        const std::string_view surovy(prac_.data(), rez);
        dano_ = rez;
        if (JeUtf8(k_)) {
            // A piece ends after a break, so no character is cut: each piece is checked alone.
            if (!kodovaniTextu_.Pridat(surovy)) {
                k_ = kodovaniTextu_.Kodovani();
                OdZacatku();
                return TStav::Znovu;
            }
            return Kus(kus, surovy);
        }
        prevedene_.clear();
        PrevestDoUtf8(prevedene_, surovy, k_);
        if (k_ == TKodovani::Ansi && lzeZpet_) lzeZpet_ = LzeZakodovatUtf8(prevedene_, k_);
        return Kus(kus, prevedene_);
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
            if (jenText_ && 2 * jednotky_.size() > NejdelsiRadek) DlouhyRadek();
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
        return Kus(kus, prevedene_);
    }
}

TText NacistText(TZdrojBajtu& zdroj) {
    TText t;
    // Room for the lines (reserved, not touched): a program line takes a few bytes at least.
    t.Radky.reserve(static_cast<std::size_t>(zdroj.Velikost() / 8) + 16);
    // A list is read whatever it holds; only programs are refused for a NUL.
    TProgramPoKusech cteni(zdroj, false);
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
                            const std::function<void()>& znovu, std::optional<TOtiskSouboru>* otisk) {
    TCteniSouboru zdroj(soubor);
    if (otisk) *otisk = zdroj.Otisk();
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

TChyba TCteniSouboru::Vada(const std::u16string& duvod) const {
    return TChyba(ZpravaSouboru("Cannot open file \"%s\". ", soubor_, duvod));
}

#ifdef _WIN32

namespace {

// A disk file's fingerprint (none for a folder, a pipe or a console).
std::optional<TOtiskSouboru> OtiskPopisovace(void* h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(static_cast<HANDLE>(h)) != FILE_TYPE_DISK || !GetFileInformationByHandle(static_cast<HANDLE>(h), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return TOtiskSouboru{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                         (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                         static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                                   info.ftLastWriteTime.dwLowDateTime),
                         0};
}

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
    if (h == INVALID_HANDLE_VALUE) ChybaCteniSouboru(soubor, DuvodSystemu(GetLastError()));
    soubor_h_ = h;
    ZapamatovatZacatek(h, zacatek_);
    otisk_ = OtiskPopisovace(h);
}

std::optional<TOtiskSouboru> OtiskSouboru(const std::filesystem::path& soubor) {
    // Its attributes only, whoever has it open and however.
    HANDLE h = CreateFileW(soubor.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    const std::optional<TOtiskSouboru> otisk = OtiskPopisovace(h);
    CloseHandle(h);
    return otisk;
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false) {
    soubor_h_ = GetStdHandle(STD_INPUT_HANDLE);
    if (soubor_h_ == INVALID_HANDLE_VALUE || soubor_h_ == nullptr)
        ChybaCteniSouboru(soubor_, DuvodSystemu(ERROR_INVALID_HANDLE));
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
        ChybaCteniSouboru(soubor_, DuvodSystemu(kod));
    }
    return precteno;
}

#else

namespace {

std::optional<TOtiskSouboru> OtiskStavu(int vysledek, const struct stat& st) {
    if (vysledek != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    return TOtiskSouboru{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::uint64_t(st.st_size),
                         ns(st.st_mtim), ns(st.st_ctim)};
}

std::optional<TOtiskSouboru> OtiskPopisovace(int fd) {
    struct stat st {};
    return OtiskStavu(::fstat(fd, &st), st);
}

}  // namespace

std::optional<TOtiskSouboru> OtiskSouboru(const std::filesystem::path& soubor) {
    struct stat st {};
    return OtiskStavu(::stat(soubor.c_str(), &st), st);
}

TCteniSouboru::TCteniSouboru(const std::filesystem::path& soubor) : soubor_(soubor) {
    const int fd = ::open(soubor.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) ChybaCteniSouboru(soubor, DuvodSystemu(errno));
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        ChybaCteniSouboru(soubor, DuvodSystemu(EISDIR));
    }
    fd_ = fd;
    zacatek_ = ::lseek(fd_, 0, SEEK_CUR);
    otisk_ = OtiskPopisovace(fd_);
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false), fd_(STDIN_FILENO) {
    zacatek_ = ::lseek(fd_, 0, SEEK_CUR);
    otisk_ = OtiskPopisovace(fd_);
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
        if (errno != EINTR) ChybaCteniSouboru(soubor_, DuvodSystemu(errno));
    }
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
