#include "RegistrSoubor.h"

#include "Chyba.h"
#include "Kodovani.h"
#include "CteniTextu.h"
#include "ZapisSouboru.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

constexpr std::uint32_t RegSz = 1, RegExpandSz = 2, RegBinary = 3, RegDword = 4;
constexpr std::u16string_view Hlavicka = u"Windows Registry Editor Version 5.00";
constexpr std::u16string_view Koren = u"HKEY_CURRENT_USER";

char16_t Velke(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - u'a' + u'A') : c; }

std::u16string Slozit(std::u16string_view s) {
    std::u16string v(s);
    for (char16_t& c : v) c = Velke(c);
    return v;
}

bool StejneBezVelikosti(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Velke(a[i]) != Velke(b[i])) return false;
    return true;
}

bool MaZlomNeboNul(std::u16string_view s) {
    return s.find_first_of(std::u16string_view(u"\r\n\0", 3)) != std::u16string_view::npos;
}

// The key path without its leading and trailing backslash ("" is the root);
// none when a key name in it is empty or holds a line break or NUL.
std::optional<std::u16string> NormalizovatCestu(std::u16string_view cesta) {
    if (!cesta.empty() && cesta.front() == u'\\') cesta.remove_prefix(1);
    if (!cesta.empty() && cesta.back() == u'\\') cesta.remove_suffix(1);
    if (cesta.empty()) return std::u16string();
    if (cesta.front() == u'\\' || cesta.back() == u'\\' || cesta.find(u"\\\\") != std::u16string_view::npos ||
        MaZlomNeboNul(cesta))
        return std::nullopt;
    return std::u16string(cesta);
}

std::string BajtyTextu(std::u16string_view t) {
    std::string b;
    b.reserve(t.size() * 2 + 2);
    for (char16_t c : t) {
        b.push_back(static_cast<char>(c & 0xFF));
        b.push_back(static_cast<char>(c >> 8));
    }
    b.append(2, '\0');
    return b;
}

// UTF-16 LE bytes up to the first NUL.
std::u16string TextBajtu(std::string_view b) {
    std::u16string t;
    for (std::size_t i = 0; i + 1 < b.size(); i += 2) {
        const auto c = static_cast<char16_t>(static_cast<unsigned char>(b[i]) |
                                             (static_cast<unsigned char>(b[i + 1]) << 8));
        if (c == 0) break;
        t.push_back(c);
    }
    return t;
}

std::u16string Uvozit(std::u16string_view s) {
    std::u16string v = u"\"";
    for (char16_t c : s) {
        if (c == u'\\' || c == u'"') v.push_back(u'\\');
        v.push_back(c);
    }
    v.push_back(u'"');
    return v;
}

// The text of a REG_SZ value that can be written between quotes: its bytes
// are the text and one closing NUL, and the text has no line break.
std::optional<std::u16string> JednoduchyRetezec(const std::string& data) {
    if (data.size() < 2 || data.size() % 2 != 0) return std::nullopt;
    std::u16string t = TextBajtu(data);
    if ((t.size() + 1) * 2 != data.size() || MaZlomNeboNul(t)) return std::nullopt;
    return t;
}

std::u16string Hex(std::uint32_t n, int cifer) {
    static constexpr char16_t cislice[] = u"0123456789abcdef";
    std::u16string v;
    do {
        v.insert(v.begin(), cislice[n & 0xF]);
        n >>= 4;
    } while (n != 0 || static_cast<int>(v.size()) < cifer);
    return v;
}

int HexCislice(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

std::optional<std::uint32_t> CistHex(std::u16string_view s, std::size_t maxCifer) {
    if (s.empty() || s.size() > maxCifer) return std::nullopt;
    std::uint32_t n = 0;
    for (char16_t c : s) {
        const int d = HexCislice(c);
        if (d < 0) return std::nullopt;
        n = (n << 4) | static_cast<std::uint32_t>(d);
    }
    return n;
}

std::u16string_view Orezat(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t')) s.remove_suffix(1);
    return s;
}

void ZapsatRadekHodnoty(std::u16string& v, const TRegistrSoubor::THodnota& h) {
    std::u16string radek = h.Nazev.empty() ? std::u16string(u"@") : Uvozit(h.Nazev);
    radek += u'=';
    if (h.Typ == RegSz) {
        if (auto t = JednoduchyRetezec(h.Data)) {
            v += radek + Uvozit(*t) + u"\r\n";
            return;
        }
    }
    if (h.Typ == RegDword && h.Data.size() == 4) {
        std::uint32_t n = 0;
        for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(h.Data[static_cast<std::size_t>(i)]);
        v += radek + u"dword:" + Hex(n, 8) + u"\r\n";
        return;
    }
    radek += h.Typ == RegBinary ? std::u16string(u"hex:") : u"hex(" + Hex(h.Typ, 1) + u"):";
    // Long data goes on continuation lines, as regedit writes it.
    for (std::size_t i = 0; i < h.Data.size(); ++i) {
        if (radek.size() > 76) {
            v += radek + u"\\\r\n";
            radek = u"  ";
        }
        radek += Hex(static_cast<unsigned char>(h.Data[i]), 2);
        if (i + 1 < h.Data.size()) radek += u',';
    }
    v += radek + u"\r\n";
}

TRegistrSoubor::TKlic& VytvoritVeStromu(TRegistrSoubor::TStrom& strom, const std::u16string& cesta) {
    // The parents first, so that each exists as a key of its own.
    std::size_t p = 0;
    for (;;) {
        p = cesta.find(u'\\', p);
        const std::u16string cast = cesta.substr(0, p);
        auto [it, nova] = strom.try_emplace(Slozit(cast));
        if (nova) it->second.Cesta = cast;
        if (p == std::u16string::npos) return it->second;
        ++p;
    }
}

// A key as one line of the file names it: its parents are not made keys of
// their own (each would hold its whole path: a key nested n levels deep
// would cost the square of n); they exist by it (JeVeStromu).
TRegistrSoubor::TKlic& KlicVeStromu(TRegistrSoubor::TStrom& strom, const std::u16string& cesta) {
    auto [it, nova] = strom.try_emplace(Slozit(cesta));
    if (nova) it->second.Cesta = cesta;
    return it->second;
}

// The key (its composed path) is in the tree, or is the parent of one that is.
bool JeVeStromu(const TRegistrSoubor::TStrom& strom, const std::u16string& slozena) {
    if (slozena.empty() || strom.count(slozena)) return true;
    const std::u16string podklice = slozena + u'\\';
    const auto it = strom.lower_bound(podklice);
    return it != strom.end() && it->first.compare(0, podklice.size(), podklice) == 0;
}

// The tree's entry of a key that is in it, made for a parent that exists by
// its subkeys only; nullptr for a key that is not in it.
TRegistrSoubor::TKlic* ZaznamKlice(TRegistrSoubor::TStrom& strom, const std::u16string& slozena) {
    if (const auto it = strom.find(slozena); it != strom.end()) return &it->second;
    if (!JeVeStromu(strom, slozena)) return nullptr;
    const auto podklic = strom.lower_bound(slozena + u'\\');
    TRegistrSoubor::TKlic& klic = strom[slozena];
    klic.Cesta = podklic->second.Cesta.substr(0, slozena.size());
    return &klic;
}

TRegistrSoubor::THodnota* NajitHodnotu(TRegistrSoubor::TKlic& klic, std::u16string_view nazev) {
    for (auto& h : klic.Hodnoty)
        if (StejneBezVelikosti(h.Nazev, nazev)) return &h;
    return nullptr;
}

const TRegistrSoubor::THodnota* NajitHodnotu(const TRegistrSoubor::TKlic* klic, std::u16string_view nazev) {
    return klic ? NajitHodnotu(const_cast<TRegistrSoubor::TKlic&>(*klic), nazev) : nullptr;
}

using ChybyHodnot::ChybaCteni;
using ChybyHodnot::ChybaTypu;
using ChybyHodnot::ChybaZapisu;

std::u16string Cislo(std::size_t n) { return ZUtf8(std::to_string(n)); }

}  // namespace

TRegistrSoubor::TRegistrSoubor(std::filesystem::path soubor) : soubor_(std::move(soubor)) {}

// ---- the file's text -------------------------------------------------------

std::u16string TRegistrSoubor::Zapis(const TStrom& strom) {
    std::u16string v(Hlavicka);
    v += u"\r\n";
    for (const auto& [slozena, klic] : strom) {
        if (slozena.empty() && klic.Hodnoty.empty()) continue;
        v += u"\r\n[";
        v += Koren;
        if (!klic.Cesta.empty()) v += u"\\" + klic.Cesta;
        v += u"]\r\n";
        for (const auto& h : klic.Hodnoty) ZapsatRadekHodnoty(v, h);
    }
    v += u"\r\n";
    return v;
}

namespace {

// Why a line cannot be read; nullptr when it can.
using TDuvod = const char16_t*;

// The lines of the file's bytes: UTF-16 by its mark, else UTF-8 (with or
// without a mark). Bytes that are not UTF-8 make their line damaged; they
// read as U+FFFD.
std::vector<std::u16string> RadkySouboru(std::string_view bajty, std::vector<TRegistrSoubor::TVada>& vady) {
    // Only the mark decides: each line is checked for UTF-8 on its own.
    const std::optional<TZnacka> znacka = NajitZnacku(bajty);
    if (znacka) bajty.remove_prefix(znacka->delka);
    std::vector<std::u16string> radky;
    bool koncovyZlom = false;
    if (znacka && znacka->kodovani != TKodovani::Utf8Znacka) {
        std::u16string text;
        DekodovatDo(text, bajty, znacka->kodovani);
        RozdelitNaRadky(text, radky, koncovyZlom);
        if (bajty.size() % 2 != 0)
            vady.push_back({std::max<std::size_t>(radky.size(), 1), u"the file ends in half a UTF-16 character"});
        return radky;
    }
    // Bytes 0D and 0A are only CR and LF in UTF-8, so the bytes split into
    // lines before they are decoded.
    std::size_t zacatek = 0;
    while (zacatek < bajty.size()) {
        std::size_t konec = bajty.find_first_of("\r\n", zacatek);
        if (konec == std::string_view::npos) konec = bajty.size();
        const std::string_view radek = bajty.substr(zacatek, konec - zacatek);
        if (!JePlatneUtf8(radek)) vady.push_back({radky.size() + 1, u"the line holds bytes that are not UTF-8"});
        radky.push_back(ZUtf8(radek));
        zacatek = konec;
        if (zacatek < bajty.size()) zacatek += bajty.substr(konec, 2) == "\r\n" ? 2 : 1;
    }
    return radky;
}

// A quoted string at s[p] (the opening quote); leaves p after the closing one.
TDuvod CistUvozeny(std::u16string_view s, std::size_t& p, std::u16string& cil) {
    for (++p; p < s.size(); ++p) {
        const char16_t c = s[p];
        if (c == u'"') {
            ++p;
            return nullptr;
        }
        if (c == u'\\') {
            if (p + 1 >= s.size() || (s[p + 1] != u'\\' && s[p + 1] != u'"'))
                return u"a backslash in a quoted string must precede \\ or \"";
            ++p;
        }
        cil.push_back(s[p]);
    }
    return u"a quoted string has no closing quote";
}

// A key line "[HKEY_CURRENT_USER\...]": the key's path.
TDuvod CistKlic(std::u16string_view radek, std::u16string& cesta) {
    if (radek.back() != u']') return u"a key line does not end with ]";
    const std::u16string_view vnitrek = radek.substr(1, radek.size() - 2);
    if (!vnitrek.empty() && vnitrek.front() == u'-') return u"deleting keys is not supported here";
    if (!StejneBezVelikosti(vnitrek.substr(0, Koren.size()), Koren) ||
        (vnitrek.size() > Koren.size() && vnitrek[Koren.size()] != u'\\'))
        return u"only keys of HKEY_CURRENT_USER belong here";
    const auto normalni = NormalizovatCestu(vnitrek.substr(Koren.size()));
    if (!normalni) return u"a key name is empty";
    cesta = *normalni;
    return nullptr;
}

// A value line radky[i]; hex data continued on the lines after it moves i to
// its last line.
TDuvod CistHodnotu(const std::vector<std::u16string>& radky, std::size_t& i, TRegistrSoubor::THodnota& h) {
    const std::u16string_view radek = Orezat(radky[i]);
    // The name: @ for the default value, else a quoted string.
    std::size_t p = 0;
    if (radek.front() == u'@') {
        p = 1;
    } else if (radek.front() == u'"') {
        if (TDuvod d = CistUvozeny(radek, p, h.Nazev)) return d;
    } else {
        return u"the line is neither a key in [ ] nor a value";
    }
    std::u16string_view zbytek = Orezat(radek.substr(p));
    if (zbytek.empty() || zbytek.front() != u'=') return u"the value's name is not followed by =";
    zbytek = Orezat(zbytek.substr(1));

    const auto zacina = [&](std::u16string_view predpona) {
        return StejneBezVelikosti(zbytek.substr(0, predpona.size()), predpona);
    };
    if (!zbytek.empty() && zbytek.front() == u'"') {
        std::u16string t;
        p = static_cast<std::size_t>(zbytek.data() - radek.data());
        if (TDuvod d = CistUvozeny(radek, p, t)) return d;
        if (!Orezat(radek.substr(p)).empty()) return u"text follows the closing quote";
        h.Typ = RegSz;
        h.Data = BajtyTextu(t);
        return nullptr;
    }
    if (zacina(u"dword:")) {
        const auto n = CistHex(zbytek.substr(6), 8);
        if (!n) return u"a dword needs one to eight hex digits";
        h.Typ = RegDword;
        for (int k = 0; k < 4; ++k) h.Data.push_back(static_cast<char>((*n >> (8 * k)) & 0xFF));
        return nullptr;
    }
    if (zacina(u"hex")) {
        zbytek.remove_prefix(3);
        if (!zbytek.empty() && zbytek.front() == u'(') {
            const std::size_t z = zbytek.find(u')');
            const auto typ = z == std::u16string_view::npos ? std::nullopt : CistHex(zbytek.substr(1, z - 1), 8);
            if (!typ) return u"hex( ) needs the type as a hex number";
            h.Typ = *typ;
            zbytek.remove_prefix(z + 1);
        } else {
            h.Typ = RegBinary;
        }
        if (zbytek.empty() || zbytek.front() != u':') return u"hex data must follow a colon";
        std::u16string data(zbytek.substr(1));
        // A backslash at the end continues the data on the next line.
        while (!data.empty() && data.back() == u'\\') {
            data.pop_back();
            if (i + 1 >= radky.size()) return u"the hex data continues past the end of the file";
            ++i;
            data += Orezat(radky[i]);
        }
        std::u16string_view d = Orezat(data);
        while (!d.empty()) {
            const std::size_t carka = d.find(u',');
            const auto bajt = CistHex(Orezat(d.substr(0, carka)), 2);
            if (!bajt) return u"hex data must be bytes of two hex digits separated by commas";
            h.Data.push_back(static_cast<char>(*bajt));
            if (carka == std::u16string_view::npos) break;
            d = Orezat(d.substr(carka + 1));
            if (d.empty()) return u"hex data ends with a comma";
        }
        return nullptr;
    }
    if (zbytek == u"-") return u"deleting values is not supported here";
    return u"the value's data is neither a quoted string, dword: nor hex:";
}

}  // namespace

TRegistrSoubor::TCteni TRegistrSoubor::Cteni(std::string_view bajty) {
    TCteni v;
    const std::vector<std::u16string> radky = RadkySouboru(bajty, v.Vady);
    const auto vada = [&](std::size_t i, std::u16string_view duvod) { v.Vady.push_back({i + 1, std::u16string(duvod)}); };

    std::size_t i = 0;
    while (i < radky.size() && Orezat(radky[i]).empty()) ++i;
    if (i == radky.size()) return v;  // an empty file is an empty store
    if (Orezat(radky[i]) == Hlavicka) {
        ++i;
    } else {
        vada(i, u"the file does not begin with \"Windows Registry Editor Version 5.00\"");
        // A key line in its place is read all the same.
        if (Orezat(radky[i]).front() != u'[') ++i;
    }

    TKlic* klic = nullptr;
    // The values of each key by their names in capitals, so that a key of
    // many values reads in time in proportion to them.
    std::map<const TKlic*, std::map<std::u16string, std::size_t>> nazvy;
    bool vadnyKlic = false;  // the last key line could not be read
    for (; i < radky.size(); ++i) {
        const std::u16string_view radek = Orezat(radky[i]);
        if (radek.empty() || radek.front() == u';') continue;
        if (radek.front() == u'[') {
            // The values under a damaged key line are left out with it.
            std::u16string cesta;
            const TDuvod d = CistKlic(radek, cesta);
            klic = d ? nullptr : &KlicVeStromu(v.Strom, cesta);
            vadnyKlic = d != nullptr;
            if (d) vada(i, d);
            continue;
        }
        const std::size_t prvni = i;
        THodnota h;
        if (TDuvod d = CistHodnotu(radky, i, h)) {
            vada(i, d);
        } else if (!klic) {
            vada(prvni, vadnyKlic ? u"the value's key line cannot be read" : u"a value comes before the first key");
        } else {
            const auto [poradi, nova] = nazvy[klic].try_emplace(Slozit(h.Nazev), klic->Hodnoty.size());
            if (nova)
                klic->Hodnoty.push_back(std::move(h));
            else
                klic->Hodnoty[poradi->second] = std::move(h);
        }
    }
    // One entry a line, in the order of the lines.
    std::stable_sort(v.Vady.begin(), v.Vady.end(), [](const TVada& a, const TVada& b) { return a.Radek < b.Radek; });
    v.Vady.erase(std::unique(v.Vady.begin(), v.Vady.end(),
                             [](const TVada& a, const TVada& b) { return a.Radek == b.Radek; }),
                 v.Vady.end());
    return v;
}

// ---- the file on disk ------------------------------------------------------

namespace {

template <typename Otisk>
Otisk OtiskSouboru(const std::filesystem::path& soubor) {
    Otisk o;
#ifdef _WIN32
    WIN32_FILE_ATTRIBUTE_DATA a{};
    if (!GetFileAttributesExW(soubor.c_str(), GetFileExInfoStandard, &a)) return o;
    o.existuje = true;
    o.velikost = (std::uintmax_t(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    o.cas = static_cast<std::int64_t>((std::uint64_t(a.ftLastWriteTime.dwHighDateTime) << 32) |
                                      a.ftLastWriteTime.dwLowDateTime);
    o.uzel = (std::uint64_t(a.ftCreationTime.dwHighDateTime) << 32) | a.ftCreationTime.dwLowDateTime;
#else
    struct stat st {};
    if (::stat(soubor.c_str(), &st) != 0) return o;
    o.existuje = true;
    o.velikost = static_cast<std::uintmax_t>(st.st_size);
    o.cas = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    o.uzel = static_cast<std::uint64_t>(st.st_ino) ^ (static_cast<std::uint64_t>(st.st_ctim.tv_nsec) << 32);
#endif
    return o;
}

std::string CasovaZnacka() {
    const std::time_t t = std::time(nullptr);
    std::tm m{};
#ifdef _WIN32
    localtime_s(&m, &t);
#else
    localtime_r(&t, &m);
#endif
    char z[32];
    std::snprintf(z, sizeof z, "%04d%02d%02d-%02d%02d%02d", m.tm_year + 1900, m.tm_mon + 1, m.tm_mday,
                  m.tm_hour, m.tm_min, m.tm_sec);
    return z;
}

}  // namespace

void TRegistrSoubor::Obnovit() {
    if (davka_ && zmenenoVDavce_) return;  // the batch's changes are the store now
    if (zmrazeno_ && otisk_) return;       // the snapshot
    const TOtisk o = OtiskSouboru<TOtisk>(soubor_);
    if (otisk_ && *otisk_ == o) return;
    otisk_.reset();
    strom_.clear();
    ++verze_;
    poskozeni_.reset();
    uschova_.reset();
    if (o.existuje) {
        // A file past the limit is not read (nor replaced: the failure ends every change).
        std::string bajty = NacistBajty(soubor_, MezVelikosti);
        TCteni cteni = Cteni(bajty);
        strom_ = std::move(cteni.Strom);
        ++verze_;
        if (!cteni.Vady.empty()) {
            const TVada& prvni = cteni.Vady.front();
            std::u16string z = u"Settings file \"" + TextCesty(soubor_) + u"\" is damaged at line " +
                               Cislo(prvni.Radek) + u": " + prvni.Duvod;
            if (const std::size_t dalsi = cteni.Vady.size() - 1; dalsi > 0)
                z += u" (and " + Cislo(dalsi) + (dalsi == 1 ? u" more damaged line)" : u" more damaged lines)");
            uschova_ = TUschova{std::move(bajty), {}, false};
            if (auto kopie = NajitKopii(uschova_->bajty)) {
                uschova_->kopie = std::move(*kopie);
                uschova_->hotovo = true;
                z += u"; the rest of it is read, and the damaged file is kept as \"" + TextCesty(uschova_->kopie) + u"\"";
            } else {
                uschova_->kopie = VolnaKopie();
                z += u"; the rest of it is read, and the damaged file will be kept as \"" +
                     TextCesty(uschova_->kopie) + u"\" when the settings are next saved";
            }
            poskozeni_ = std::move(z);
        }
    }
    otisk_ = o;
}

std::optional<std::filesystem::path> TRegistrSoubor::NajitKopii(const std::string& bajty) const {
    namespace fs = std::filesystem;
    const fs::path::string_type predpona = (soubor_.filename() += ".corrupt-").native();
    std::error_code ec;
    for (fs::directory_iterator it(SlozkaSouboru(), ec), konec; !ec && it != konec; it.increment(ec)) {
        const fs::path& kopie = it->path();
        std::error_code ec2;
        if (kopie.filename().native().rfind(predpona, 0) != 0 || !it->is_regular_file(ec2) ||
            it->file_size(ec2) != bajty.size())
            continue;
        try {
            if (NacistBajty(kopie) == bajty) return kopie;
        } catch (const TChyba&) {
            // An unreadable file is no copy.
        }
    }
    return std::nullopt;
}

std::filesystem::path TRegistrSoubor::VolnaKopie() const {
    std::filesystem::path kopie;
    std::error_code ec;
    for (int pokus = 0;; ++pokus) {
        std::string pripona = ".corrupt-" + CasovaZnacka();
        if (pokus > 0) {
            pripona += '-';
            pripona += std::to_string(pokus);
        }
        kopie = SlozkaSouboru() / soubor_.filename();
        kopie += pripona;
        if (!std::filesystem::exists(kopie, ec)) return kopie;
    }
}

std::filesystem::path TRegistrSoubor::SlozkaSouboru() const {
    return soubor_.has_parent_path() ? soubor_.parent_path() : std::filesystem::path(".");
}

void TRegistrSoubor::ZapsatStrom(const TStrom& strom) {
    std::string bajty;
    ZakodovatText(bajty, Zapis(strom), TKodovani::Utf16LE);
    std::error_code ec;
    if (soubor_.has_parent_path()) std::filesystem::create_directories(soubor_.parent_path(), ec);
    // A damaged file is replaced only once a copy of it is kept (under the
    // name given when it was read, unless that was taken meanwhile).
    if (uschova_ && !uschova_->hotovo) {
        if (std::filesystem::exists(uschova_->kopie, ec)) uschova_->kopie = VolnaKopie();
        ZapsatSouborAtomicky(uschova_->kopie, uschova_->bajty);
        uschova_->hotovo = true;
    }
    ZapsatSouborAtomicky(soubor_, bajty);
    otisk_ = OtiskSouboru<TOtisk>(soubor_);
}

template <typename Zmena>
bool TRegistrSoubor::Zmenit(Zmena zmena) {
    // A writer works on the file as it is now.
    zmrazeno_ = false;
    Obnovit();
    if (davka_ && zmenenoVDavce_) {
        ++verze_;
        return zmena(strom_);  // the batch's changes wait in memory
    }
    TStrom novy = strom_;
    if (!zmena(novy)) return false;
    if (davka_) {
        strom_ = std::move(novy);
        ++verze_;
        zmenenoVDavce_ = true;
        return true;
    }
    ZapsatStrom(novy);
    strom_ = std::move(novy);
    ++verze_;
    return true;
}

void TRegistrSoubor::ZacitDavku() {
    davka_ = true;
    zmenenoVDavce_ = false;
}

void TRegistrSoubor::DokoncitDavku() {
    const bool zapsat = davka_ && zmenenoVDavce_;
    davka_ = false;
    zmenenoVDavce_ = false;
    if (!zapsat) return;
    try {
        ZapsatStrom(strom_);
    } catch (...) {
        // What is in memory did not reach the file: read the file again next time.
        otisk_.reset();
        throw;
    }
}

const TRegistrSoubor::TKlic* TRegistrSoubor::Aktualni() const {
    // The version of the file read when the key was opened.
    if (!aktualni_) return nullptr;
    const auto it = strom_.find(*aktualni_);
    // A key deleted since it was opened, or the root without values.
    if (it == strom_.end()) return nullptr;
    return &it->second;
}

const TRegistrSoubor::THodnota* TRegistrSoubor::HodnotaAktualniho(std::u16string_view nazev) {
    const TKlic* klic = Aktualni();
    if (!klic || klic->Hodnoty.size() < 16) return NajitHodnotu(klic, nazev);
    // A key of many values (a long file type list) is read value by value:
    // its names are looked up in an index, kept while the tree and the key stay.
    if (indexKlice_ != std::pair(verze_, *aktualni_)) {
        index_.clear();
        for (std::size_t i = 0; i < klic->Hodnoty.size(); ++i) index_.emplace(Slozit(klic->Hodnoty[i].Nazev), i);
        indexKlice_ = std::pair(verze_, *aktualni_);
    }
    const auto i = index_.find(Slozit(nazev));
    return i == index_.end() ? nullptr : &klic->Hodnoty[i->second];
}

// ---- keys ------------------------------------------------------------------

bool TRegistrSoubor::OtevritKlic(std::u16string_view cesta, bool vytvorit) {
    ZavritKlic();
    const auto normalni = NormalizovatCestu(cesta);
    if (!normalni) return false;
    const std::u16string slozena = Slozit(*normalni);
    if (vytvorit) {
        try {
            Zmenit([&](TStrom& strom) {
                if (JeVeStromu(strom, slozena)) return false;
                VytvoritVeStromu(strom, *normalni);
                return true;
            });
        } catch (const TChyba& e) {
            Obnovit();
            if (!JeVeStromu(strom_, slozena)) {
                chybaOtevreni_ = e.Zprava();
                return false;
            }
        }
    } else {
        Obnovit();
        if (!JeVeStromu(strom_, slozena)) return false;
    }
    aktualni_ = slozena;
    return true;
}

void TRegistrSoubor::ZavritKlic() {
    aktualni_.reset();
    chybaOtevreni_.reset();
}

bool TRegistrSoubor::KlicExistuje(std::u16string_view cesta) {
    const auto normalni = NormalizovatCestu(cesta);
    if (!normalni) return false;
    if (!aktualni_) Obnovit();  // with a key open, the version read as it was opened
    return JeVeStromu(strom_, Slozit(*normalni));
}

bool TRegistrSoubor::SmazatKlic(std::u16string_view cesta) {
    const auto normalni = NormalizovatCestu(cesta);
    if (!normalni || normalni->empty()) return false;
    const std::u16string slozena = Slozit(*normalni);
    try {
        return Zmenit([&](TStrom& strom) {
            if (!JeVeStromu(strom, slozena)) return false;
            strom.erase(slozena);
            // The subkeys sort together, though not always right after the key
            // ("A2" comes between "A" and "A\\B").
            const std::u16string podklice = slozena + u'\\';
            auto konec = strom.lower_bound(podklice);
            const auto zacatek = konec;
            while (konec != strom.end() && konec->first.compare(0, podklice.size(), podklice) == 0) ++konec;
            strom.erase(zacatek, konec);
            return true;
        });
    } catch (const TChyba&) {
        return false;
    }
}

// ---- values ----------------------------------------------------------------

bool TRegistrSoubor::HodnotaExistuje(std::u16string_view nazev) {
    return TypHodnoty(nazev) != TTypHodnoty::Zadna;
}

TTypHodnoty TRegistrSoubor::TypHodnoty(std::u16string_view nazev) {
    const THodnota* h = HodnotaAktualniho(nazev);
    if (!h) return TTypHodnoty::Zadna;
    switch (h->Typ) {
        case RegSz: return TTypHodnoty::Retezec;
        case RegExpandSz: return TTypHodnoty::RozsirenyRetezec;
        case RegDword: return TTypHodnoty::Cislo;
        default: return TTypHodnoty::Jina;
    }
}

std::u16string TRegistrSoubor::CistRetezec(std::u16string_view nazev) {
    const THodnota* h = HodnotaAktualniho(nazev);
    if (!h) return {};
    if (h->Typ != RegSz && h->Typ != RegExpandSz) ChybaTypu(nazev);
    return TextBajtu(h->Data);
}

std::int32_t TRegistrSoubor::CistCislo(std::u16string_view nazev) {
    const THodnota* h = HodnotaAktualniho(nazev);
    if (!h) ChybaCteni(nazev);
    if (h->Typ != RegDword) ChybaTypu(nazev);
    if (h->Data.size() != 4) ChybaCteni(nazev);
    std::uint32_t n = 0;
    for (int i = 3; i >= 0; --i) n = (n << 8) | static_cast<unsigned char>(h->Data[static_cast<std::size_t>(i)]);
    return static_cast<std::int32_t>(n);
}

void TRegistrSoubor::ZapsatHodnotu(std::u16string_view nazev, std::uint32_t typ, std::string data) {
    if (!aktualni_) ChybaZapisu(nazev, chybaOtevreni_.value_or(u""));
    if (MaZlomNeboNul(nazev)) ChybaZapisu(nazev);
    bool klicChybi = false;
    try {
        Zmenit([&](TStrom& strom) {
            TKlic* zaznam = ZaznamKlice(strom, *aktualni_);
            if (!zaznam && !aktualni_->empty()) {
                // The key was deleted since it was opened.
                klicChybi = true;
                return false;
            }
            TKlic& klic = zaznam ? *zaznam : strom[*aktualni_];
            if (THodnota* h = NajitHodnotu(klic, nazev)) {
                h->Typ = typ;
                h->Data = std::move(data);
            } else {
                klic.Hodnoty.push_back({std::u16string(nazev), typ, std::move(data)});
            }
            return true;
        });
    } catch (const TChyba& e) {
        ChybaZapisu(nazev, e.Zprava());
    }
    if (klicChybi) ChybaZapisu(nazev);
}

void TRegistrSoubor::ZapsatRetezec(std::u16string_view nazev, std::u16string_view hodnota) {
    ZapsatHodnotu(nazev, RegSz, BajtyTextu(hodnota));
}

void TRegistrSoubor::ZapsatRozsirenyRetezec(std::u16string_view nazev, std::u16string_view hodnota) {
    ZapsatHodnotu(nazev, RegExpandSz, BajtyTextu(hodnota));
}

void TRegistrSoubor::ZapsatCislo(std::u16string_view nazev, std::int32_t hodnota) {
    const auto n = static_cast<std::uint32_t>(hodnota);
    std::string data;
    for (int k = 0; k < 4; ++k) data.push_back(static_cast<char>((n >> (8 * k)) & 0xFF));
    ZapsatHodnotu(nazev, RegDword, std::move(data));
}

std::optional<std::uint32_t> TRegistrSoubor::PocetHodnot() {
    if (!aktualni_) return std::nullopt;
    const TKlic* klic = Aktualni();
    if (!klic) {
        if (aktualni_->empty()) return 0u;  // the root without values
        return std::nullopt;
    }
    return static_cast<std::uint32_t>(klic->Hodnoty.size());
}

std::vector<std::u16string> TRegistrSoubor::NazvyHodnot() {
    std::vector<std::u16string> nazvy;
    if (const TKlic* klic = Aktualni())
        for (const auto& h : klic->Hodnoty) nazvy.push_back(h.Nazev);
    return nazvy;
}
