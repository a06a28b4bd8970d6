#include "CteniTextu.h"

#include "ChybySouboru.h"
#include "Popisovace.h"

#include <algorithm>
#include <cstring>
#include <tuple>

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
    : zdroj_(&zdroj), jenText_(jenText), zmena_(zdroj.UdajeChyby()), otisk_(zdroj.Otisk()) {
    zmena_.Proc = TProcChyby::ZmenenPriCteni;
    drzet_ = !zdroj_->Zpet();
}

void TProgramPoKusech::Zmena() const { throw TZmenaSouboru(zmena_); }

TPrecteno TProgramPoKusech::Precteno() const {
    TPrecteno p;
    p.Otisk = otisk_;
    if (prvni_) std::tie(p.Delka, p.Souhrn) = *prvni_;
    return p;
}

void TProgramPoKusech::KonecPruchodu() {
    const std::pair<std::uint64_t, std::uint64_t> tento{souhrn_.Delka(), souhrn_.Hodnota()};
    if (!prvni_)
        prvni_ = tento;
    else if (*prvni_ != tento)
        Zmena();
}

TProgramPoKusech::TStav TProgramPoKusech::Kus(std::string_view& kus, std::string_view text) {
    if (jenText_ && !JeTextProgramu(text)) {
        TUdajeChyby u = zdroj_->UdajeChyby();
        u.Proc = TProcChyby::NeniText;
        throw TNeniTextovyProgram(u);
    }
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
        TUdajeChyby u = zdroj_->UdajeChyby();
        u.Proc = TProcChyby::NelzeZnovu;
        Vyhodit(u);
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
    TUdajeChyby u = zdroj_->UdajeChyby();
    u.Proc = TProcChyby::DlouhyRadek;
    u.Cislo = NejdelsiRadek >> 20;
    Vyhodit(u);
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
    TUdajeChyby u = zdroj_->UdajeChyby();
    u.Proc = TProcChyby::Utf16Lichy;
    if (precteno_ % 2 == 0) {
        u.Proc = TProcChyby::Utf16Nahradnik;
        u.Cislo = jednotka;
        u.Radek = radek_;
    }
    Vyhodit(u);
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
                if (!surove_.empty()) {
                    TUdajeChyby u = zdroj_->UdajeChyby();
                    u.Proc = TProcChyby::Utf16Lichy;
                    Vyhodit(u);
                }
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

TUdajeChyby TCteniSouboru::UdajeChyby() const {
    TUdajeChyby u;
    u.Cesta = soubor_;
    return u;
}

void TCteniSouboru::Zmena() const {
    TUdajeChyby u = UdajeChyby();
    u.Proc = TProcChyby::ZmenenPriCteni;
    throw TZmenaSouboru(u);
}

void TCteniSouboru::Zkontrolovat() const {
    if (ocekavane_ && ocekavane_->Otisk && otisk_ != ocekavane_->Otisk) Zmena();
}

std::size_t TCteniSouboru::Zaznamenat(const char* bajty, std::size_t n) {
    if (!ocekavane_) return n;
    souhrn_.Pridat(bajty, n);
    if (n == 0 && (souhrn_.Delka() != ocekavane_->Delka || souhrn_.Hodnota() != ocekavane_->Souhrn)) Zmena();
    return n;
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

std::optional<TOtiskSouboru> OtiskHandle(HANDLE h) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (GetFileType(h) != FILE_TYPE_DISK || !GetFileInformationByHandle(h, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return TOtiskSouboru{info.dwVolumeSerialNumber, (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow,
                         (std::uint64_t{info.nFileSizeHigh} << 32) | info.nFileSizeLow,
                         static_cast<std::int64_t>((std::uint64_t{info.ftLastWriteTime.dwHighDateTime} << 32) |
                                                   info.ftLastWriteTime.dwLowDateTime),
                         0};
}

}  // namespace

std::optional<TOtiskSouboru> OtiskSouboru(const std::filesystem::path& soubor) {
    HANDLE h = CreateFileW(soubor.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    const auto otisk = OtiskHandle(h);
    CloseHandle(h);
    return otisk;
}

TCteniSouboru::TCteniSouboru(const TCestaSouboru& soubor, const TPrecteno* ocekavane) : soubor_(soubor.Cesta) {
    if (ocekavane) ocekavane_ = *ocekavane;
    // Others may read the file meanwhile, but not write it.
    HANDLE h = CreateFileW(soubor_.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) ChybaSystemu(TCinnostSouboru::Cteni, soubor_, GetLastError());
    soubor_h_ = h;
    ZapamatovatZacatek(h, zacatek_);
    otisk_ = OtiskHandle(h);
    Zkontrolovat();
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false) {
    soubor_h_ = GetStdHandle(STD_INPUT_HANDLE);
    if (soubor_h_ == INVALID_HANDLE_VALUE || soubor_h_ == nullptr)
        ChybaSystemu(TCinnostSouboru::Cteni, soubor_, ERROR_INVALID_HANDLE);
    ZapamatovatZacatek(soubor_h_, zacatek_);
}

bool TCteniSouboru::Zpet() {
    LARGE_INTEGER pozice{};
    pozice.QuadPart = zacatek_;
    souhrn_ = TSouhrnBajtu();
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
        if (kod == ERROR_BROKEN_PIPE) return Zaznamenat(cil, 0);  // the writing end of a pipe closed
        ChybaSystemu(TCinnostSouboru::Cteni, soubor_, kod);
    }
    return Zaznamenat(cil, precteno);
}

#else

TPopisovac::~TPopisovac() {
    if (fd_ >= 0) ::close(fd_);
}

TPopisovac& TPopisovac::operator=(TPopisovac&& p) noexcept {
    if (this != &p) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = p.Uvolnit();
    }
    return *this;
}

TOtiskSouboru OtiskStatu(const struct stat& st) {
    const auto ns = [](const timespec& t) { return std::int64_t{t.tv_sec} * 1000000000 + t.tv_nsec; };
    return TOtiskSouboru{std::uint64_t(st.st_dev), std::uint64_t(st.st_ino), std::uint64_t(st.st_size),
                         ns(st.st_mtim), ns(st.st_ctim)};
}

TPopisovac OtevritSlozku(const TCestaSouboru& soubor, bool vytvorit, std::string& jmeno, std::filesystem::path& slozka) {
    constexpr int Slozka = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
    if (!soubor.VeStromu()) {
        slozka = soubor.Cesta.has_parent_path() ? soubor.Cesta.parent_path() : std::filesystem::path(".");
        jmeno = soubor.Cesta.filename().native();
        return TPopisovac(::open(slozka.c_str(), Slozka));
    }
    slozka = soubor.Koren;
    TPopisovac fd(::open(soubor.Koren.c_str(), Slozka));
    if (!fd && errno == ENOENT && vytvorit) {
        std::error_code ec;
        std::filesystem::create_directories(soubor.Koren, ec);
        fd = TPopisovac(::open(soubor.Koren.c_str(), Slozka));
    }
    const std::filesystem::path podslozky = soubor.Relativni.parent_path();
    for (auto i = podslozky.begin(); fd && i != podslozky.end(); ++i) {
        if (i->empty()) continue;
        slozka /= *i;
        TPopisovac dalsi(::openat(fd.Fd(), i->c_str(), Slozka | O_NOFOLLOW));
        if (!dalsi && errno == ENOENT && vytvorit && ::mkdirat(fd.Fd(), i->c_str(), 0777) == 0)
            dalsi = TPopisovac(::openat(fd.Fd(), i->c_str(), Slozka | O_NOFOLLOW));
        // A link where a folder was: refused as a link, whatever it leads to.
        if (!dalsi && errno == ENOTDIR) {
            struct stat st {};
            if (::fstatat(fd.Fd(), i->c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode)) errno = ELOOP;
        }
        fd = std::move(dalsi);
    }
    jmeno = soubor.Relativni.filename().native();
    return fd;
}

std::optional<TOtiskSouboru> OtiskSouboru(const std::filesystem::path& soubor) {
    struct stat st {};
    if (::stat(soubor.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return OtiskStatu(st);
}

namespace {

std::optional<TOtiskSouboru> OtiskPopisovace(int fd) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return OtiskStatu(st);
}

}  // namespace

TCteniSouboru::TCteniSouboru(const TCestaSouboru& soubor, const TPrecteno* ocekavane) : soubor_(soubor.Cesta) {
    if (ocekavane) ocekavane_ = *ocekavane;
    TUdajeChyby u = UdajeChyby();
    TPopisovac fd;
    if (!soubor.VeStromu()) {
        fd = TPopisovac(::open(soubor_.c_str(), O_RDONLY | O_CLOEXEC));
        if (!fd) ChybaSystemu(TCinnostSouboru::Cteni, soubor_, errno);
    } else {
        // In a tree no link is followed, and a pipe swapped in does not hold the reading.
        std::string jmeno;
        const TPopisovac slozka = OtevritSlozku(soubor, false, jmeno, u.Slozka);
        if (slozka) fd = TPopisovac(::openat(slozka.Fd(), jmeno.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
        else u.Proc = TProcChyby::Slozka;
        if (!fd) {
            u.Kod = errno;
            // The file a walk found is a link now.
            if (u.Proc == TProcChyby::Systemova && u.Kod == ELOOP && soubor.Identita) u.Proc = TProcChyby::ZmenenPriCteni;
            Vyhodit(u);
        }
        ::fcntl(fd.Fd(), F_SETFL, ::fcntl(fd.Fd(), F_GETFL) & ~O_NONBLOCK);
    }
    struct stat st {};
    if (::fstat(fd.Fd(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) ChybaSystemu(TCinnostSouboru::Cteni, soubor_, EISDIR);
        const bool jiny = soubor.Identita && *soubor.Identita != std::pair(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino));
        if (jiny || (soubor.VeStromu() && !S_ISREG(st.st_mode))) {
            u.Proc = jiny ? TProcChyby::ZmenenPriCteni : TProcChyby::NeniBeznySoubor;
            Vyhodit(u);
        }
    }
    fd_ = fd.Uvolnit();
    zacatek_ = ::lseek(fd_, 0, SEEK_CUR);
    otisk_ = OtiskPopisovace(fd_);
    Zkontrolovat();
}

TCteniSouboru::TCteniSouboru(TStandardniVstup) : soubor_("-"), vlastni_(false), fd_(STDIN_FILENO) {
    zacatek_ = ::lseek(fd_, 0, SEEK_CUR);
    otisk_ = OtiskPopisovace(fd_);
}

bool TCteniSouboru::Zpet() {
    souhrn_ = TSouhrnBajtu();
    return zacatek_ >= 0 && ::lseek(fd_, zacatek_, SEEK_SET) == zacatek_;
}

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
        if (precteno >= 0) return Zaznamenat(cil, static_cast<std::size_t>(precteno));
        if (errno != EINTR) ChybaSystemu(TCinnostSouboru::Cteni, soubor_, errno);
    }
}

#endif

void OveritBeznySoubor(const TCestaSouboru& soubor) {
    std::error_code ec;
    const auto stav = std::filesystem::status(soubor.Cesta, ec);
    if (ec || !std::filesystem::exists(stav) || std::filesystem::is_regular_file(stav)) return;
    TUdajeChyby u;
    u.Cinnost = TCinnostSouboru::Zapis;
    u.Cesta = soubor.Cesta;
    if (std::filesystem::is_directory(stav)) {
#ifdef _WIN32
        u.Kod = ERROR_DIRECTORY;
#else
        u.Kod = EISDIR;
#endif
    } else {
        u.Proc = TProcChyby::NeniBeznySoubor;
    }
    Vyhodit(u);
}

std::string NacistBajty(const std::filesystem::path& soubor, std::uint64_t mez) {
    TCteniSouboru cteni(soubor);
    const auto prilisVelky = [&] {
        TUdajeChyby u = cteni.UdajeChyby();
        u.Proc = TProcChyby::PrilisVelky;
        u.Cislo = mez;
        Vyhodit(u);
    };
    if (cteni.Velikost() > mez) prilisVelky();
    std::string bajty;
    bajty.reserve(static_cast<std::size_t>(cteni.Velikost()));
    char blok[1 << 16];
    // (It may have grown since it was opened: no more than the limit is read.)
    for (;;) {
        // One byte past the limit, at most, tells that it is past.
        const std::uint64_t zbyva = mez - bajty.size();
        const std::size_t n = cteni.Precist(blok, zbyva < sizeof blok ? static_cast<std::size_t>(zbyva) + 1 : sizeof blok);
        if (n == 0) break;
        bajty.append(blok, n);
        if (bajty.size() > mez) prilisVelky();
    }
    return bajty;
}
