#include "OdhadTypu.h"

#include "CNCEdit.h"

#include <algorithm>

namespace {

using TSkupina = TOdhadovacTypu::TSkupina;

inline bool JeCislice(char c) { return c >= '0' && c <= '9'; }
inline bool JePismeno(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
inline char Velke(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

bool StejneBezVelikosti(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Velke(a[i]) != Velke(b[i])) return false;
    return true;
}

// A feature of a line: what it speaks for, how much, and where it is counted
// (each feature counts a few times at most, so that a long program's
// thousand Y words outweigh no profile cycle).
struct TZnak {
    TSkupina Skupina;
    std::uint32_t Vaha;
};
enum TZnakId : std::uint8_t {
    zBeginPgm, zToolCall, zOSlovo, zPojmenovany, zGotoF, zCycle, zHlavickaSinumerik, zMsg, zStrednik, zM17,
    zProfilA, zProfilC, zProfil, zG96, zG18, zT4, zUW, zG17, zG43, zM6, zY, zVrtani, PocetZnaku
};
constexpr TZnak Znaky[PocetZnaku] = {
    {TSkupina::Heidenhain, 10}, {TSkupina::Heidenhain, 3}, {TSkupina::LinuxCnc, 10}, {TSkupina::LinuxCnc, 3},
    {TSkupina::Sinumerik, 10},  {TSkupina::Sinumerik, 10}, {TSkupina::Sinumerik, 10}, {TSkupina::Sinumerik, 5},
    {TSkupina::Sinumerik, 1},   {TSkupina::Sinumerik, 2},  {TSkupina::SoustruhA, 10}, {TSkupina::SoustruhC, 10},
    {TSkupina::Soustruh, 8},    {TSkupina::Soustruh, 4},   {TSkupina::Soustruh, 2},   {TSkupina::Soustruh, 3},
    {TSkupina::Soustruh, 1},    {TSkupina::Frezka, 2},     {TSkupina::Frezka, 3},     {TSkupina::Frezka, 2},
    {TSkupina::Frezka, 1},      {TSkupina::Frezka, 2},
};
constexpr std::uint8_t NejvicePocitat = 3;

// The o-words of LinuxCNC's subroutines and flow control.
constexpr std::string_view KlicovaSlovaO[] = {"SUB",      "ENDSUB", "CALL",   "IF",     "ELSEIF", "ELSE",
                                              "ENDIF",    "WHILE",  "ENDWHILE", "DO",   "REPEAT", "ENDREPEAT",
                                              "RETURN",   "BREAK",  "CONTINUE"};

// The line's text as evidence: trimmed, at most 60 bytes of whole characters.
std::string TextDukazu(std::string_view radek) {
    std::size_t i = 0;
    while (i < radek.size() && static_cast<unsigned char>(radek[i]) <= 32) ++i;
    radek.remove_prefix(i);
    if (radek.size() > 60) {
        std::size_t k = 60;
        while (k > 0 && (static_cast<unsigned char>(radek[k]) & 0xC0) == 0x80) --k;
        return std::string(radek.substr(0, k)) + "\xE2\x80\xA6";  // …
    }
    while (!radek.empty() && static_cast<unsigned char>(radek.back()) <= 32) radek.remove_suffix(1);
    return std::string(radek);
}

}  // namespace

TDruhyOdkazu DruhyNareci(TNareci nareci) {
    using R = TRodinaOdkazu;
    switch (nareci) {
        case TNareci::IsoFrezovani: return {R::Skoky, R::NavratM99, R::VolaniM97};
        case TNareci::IsoSoustruzeni: return {R::Skoky, R::NavratM99, R::VolaniM97, R::CyklyA};
        case TNareci::IsoSoustruzeniC: return {R::Skoky, R::NavratM99, R::VolaniM97, R::CyklyC};
        case TNareci::Sinumerik: return {R::Skoky};
        case TNareci::Heidenhain:
        case TNareci::LinuxCnc:
        case TNareci::Nezname: break;
    }
    return {};
}

void TOdhadovacTypu::Zapsat(TSkupina s, std::uint32_t vaha, std::string_view radek) {
    TSkore& k = skore_[s];
    k.Body += vaha;
    // The best three, the first of equal weight kept.
    std::size_t kam = k.Pocet;
    while (kam > 0 && k.Nejlepsi[kam - 1].Vaha < vaha) --kam;
    if (kam >= k.Nejlepsi.size()) return;
    for (std::size_t i = std::min(k.Pocet, k.Nejlepsi.size() - 1); i > kam; --i) k.Nejlepsi[i] = std::move(k.Nejlepsi[i - 1]);
    k.Nejlepsi[kam] = {vaha, radek_, TextDukazu(radek)};
    k.Pocet = std::min(k.Pocet + 1, k.Nejlepsi.size());
}

void TOdhadovacTypu::Radek(std::string_view radek) {
    const auto znak = [&](TZnakId z) {
        if (pocty_[z] >= NejvicePocitat) return;
        ++pocty_[z];
        Zapsat(Znaky[z].Skupina, Znaky[z].Vaha, radek);
    };
    const std::size_t n = radek.size();
    std::size_t i = 0;
    while (i < n && static_cast<unsigned char>(radek[i]) <= 32) ++i;
    if (radek.substr(i).starts_with("%_N_")) znak(zHlavickaSinumerik);
    if (radek.find("BEGIN PGM") != std::string_view::npos || radek.find("END PGM") != std::string_view::npos)
        znak(zBeginPgm);
    if (radek.find("TOOL CALL") != std::string_view::npos || radek.find("CYCL DEF") != std::string_view::npos)
        znak(zToolCall);
    // The block number, if any: N, ":" or nothing, and digits.
    if (i < n && radek[i] == '/') i += (i + 1 < n && JeCislice(radek[i + 1])) ? 2 : 1;
    {
        std::size_t k = i;
        if (k < n && (radek[k] == 'N' || radek[k] == 'n' || radek[k] == ':')) ++k;
        const std::size_t cislice = k;
        while (k < n && JeCislice(radek[k])) ++k;
        if (k > cislice) i = k;
    }
    while (i < n && static_cast<unsigned char>(radek[i]) <= 32) ++i;
    // An o-word of LinuxCNC: o100 sub, o<name> call.
    if (i + 1 < n && (radek[i] == 'o' || radek[i] == 'O') && (JeCislice(radek[i + 1]) || radek[i + 1] == '<')) {
        std::size_t k = i + 1;
        if (radek[k] == '<') {
            k = radek.find('>', k);
            k = k == std::string_view::npos ? n : k + 1;
        } else {
            while (k < n && JeCislice(radek[k])) ++k;
        }
        while (k < n && (radek[k] == ' ' || radek[k] == '\t')) ++k;
        std::size_t e = k;
        while (e < n && JePismeno(radek[e])) ++e;
        for (const std::string_view w : KlicovaSlovaO)
            if (e > k && StejneBezVelikosti(radek.substr(k, e - k), w)) {
                znak(zOSlovo);
                break;
            }
    }
    // The words of the code, outside comments: a letter run and its value.
    bool profil[6] = {};  // G70 .. G75 on the line
    bool maP = false, maQ = false, souradnice = false, maR = false, maZ = false, g50 = false, maS = false;
    bool vrtani = false;
    for (std::size_t j = i; j < n;) {
        const char c = radek[j];
        if (c == '(') {
            const std::size_t z = radek.find(')', j);
            if (z == std::string_view::npos) break;
            j = z + 1;
            continue;
        }
        if (c == ';') {
            znak(zStrednik);
            break;
        }
        if (c == '#' && j + 1 < n && radek[j + 1] == '<') znak(zPojmenovany);
        if (!JePismeno(c)) {
            ++j;
            continue;
        }
        std::size_t k = j;
        while (k < n && (JePismeno(radek[k]) || radek[k] == '_')) ++k;
        const std::string_view slovo = radek.substr(j, k - j);
        std::size_t h = k;
        while (h < n && (radek[h] == ' ' || radek[h] == '\t') && slovo.size() == 1) ++h;
        std::size_t e = h;
        while (e < n && JeCislice(radek[e])) ++e;
        const bool cele = e > h && !(e < n && radek[e] == '.');
        std::uint64_t hodnota = 0;
        for (std::size_t d = h; d < e && d < h + 9; ++d) hodnota = hodnota * 10 + static_cast<std::uint64_t>(radek[d] - '0');
        j = std::max(k, e);
        if (slovo.size() > 1) {
            if (StejneBezVelikosti(slovo, "GOTOF") || StejneBezVelikosti(slovo, "GOTOB") ||
                StejneBezVelikosti(slovo, "GOTOC"))
                znak(zGotoF);
            else if (StejneBezVelikosti(slovo, "CYCLE") && e > k)
                znak(zCycle);
            else if (StejneBezVelikosti(slovo, "MSG") && k < n && radek[k] == '(')
                znak(zMsg);
            else if (StejneBezVelikosti(slovo, "RET"))
                znak(zM17);
            continue;
        }
        switch (Velke(c)) {
            case 'G':
                if (!cele) break;
                if (hodnota >= 70 && hodnota <= 75) profil[hodnota - 70] = true;
                if (hodnota == 96) znak(zG96);
                if (hodnota == 18) znak(zG18);
                if (hodnota == 17) znak(zG17);
                if (hodnota == 43) znak(zG43);
                if (hodnota == 50) g50 = true;
                if (hodnota >= 81 && hodnota <= 89) vrtani = true;
                break;
            case 'M':
                if (cele && hodnota == 6) znak(zM6);
                if (cele && hodnota == 17) znak(zM17);
                break;
            case 'T':
                if (e - h == 4) znak(zT4);
                break;
            case 'P': maP = maP || e > h || (h < n && (radek[h] == '#' || radek[h] == '[')); break;
            case 'Q': maQ = maQ || e > h || (h < n && (radek[h] == '#' || radek[h] == '[')); break;
            case 'X': souradnice = true; break;
            case 'Y':
                souradnice = true;
                znak(zY);
                break;
            case 'Z':
                souradnice = maZ = true;
                break;
            case 'R': maR = true; break;
            case 'S': maS = true; break;
            case 'U':
            case 'W': znak(zUW); break;
            default: break;
        }
    }
    // A profile call holds its P and Q and no coordinate.
    if (maP && maQ && !souradnice) {
        if (profil[0] || profil[1]) znak(zProfilA);
        else if (profil[4] || profil[5]) znak(zProfilC);
        else if (profil[2] || profil[3]) znak(zProfil);
    }
    // Drilling in pecks with a depth and a retract plane: a mill's cycle.
    if (vrtani || ((profil[3]) && maZ && maR)) znak(zVrtani);
    if (g50 && maS) znak(zG96);
    ++radek_;
}

void TOdhadovacTypu::Pridat(std::string_view kus) {
    for (std::size_t i = 0; i < kus.size();) {
        const std::size_t konec = cnc::KonecRadku(kus, i);
        Radek(kus.substr(i, konec - i));
        if (konec == kus.size()) return;
        i = cnc::ZaZlomem(kus, konec);
    }
}

TOdhadTypu TOdhadovacTypu::Dokoncit() const {
    const auto body = [&](TSkupina s) { return skore_[s].Body; };
    TOdhadTypu o;
    std::vector<TSkupina> skupiny;
    const std::uint32_t soustruh = body(TSkupina::SoustruhA) + body(TSkupina::SoustruhC) + body(TSkupina::Soustruh);
    if (body(TSkupina::Heidenhain) >= 10) {
        o.Nareci = TNareci::Heidenhain;
        skupiny = {TSkupina::Heidenhain};
    } else if (body(TSkupina::LinuxCnc) >= 10) {
        o.Nareci = TNareci::LinuxCnc;
        skupiny = {TSkupina::LinuxCnc};
    } else if (body(TSkupina::Sinumerik) >= 10) {
        o.Nareci = TNareci::Sinumerik;
        skupiny = {TSkupina::Sinumerik};
    } else if (soustruh >= 3 && soustruh > body(TSkupina::Frezka)) {
        // System C by its own profiles alone; any profile of system A, or none, is A.
        const bool c = body(TSkupina::SoustruhC) > 0 && body(TSkupina::SoustruhA) == 0;
        o.Nareci = c ? TNareci::IsoSoustruzeniC : TNareci::IsoSoustruzeni;
        skupiny = {c ? TSkupina::SoustruhC : TSkupina::SoustruhA, TSkupina::Soustruh};
    } else if (body(TSkupina::Frezka) >= 3 && body(TSkupina::Frezka) > soustruh) {
        o.Nareci = TNareci::IsoFrezovani;
        skupiny = {TSkupina::Frezka};
    }
    // The three weightiest lines of its groups, in line order.
    std::vector<const TStopa*> stopy;
    for (const TSkupina s : skupiny)
        for (std::size_t i = 0; i < skore_[s].Pocet; ++i) stopy.push_back(&skore_[s].Nejlepsi[i]);
    std::stable_sort(stopy.begin(), stopy.end(), [](const TStopa* a, const TStopa* b) {
        return a->Vaha != b->Vaha ? a->Vaha > b->Vaha : a->Radek < b->Radek;
    });
    // A line that speaks twice counts once.
    std::vector<const TStopa*> vybrane;
    for (const TStopa* s : stopy) {
        if (vybrane.size() == 3) break;
        if (std::none_of(vybrane.begin(), vybrane.end(), [&](const TStopa* v) { return v->Radek == s->Radek; }))
            vybrane.push_back(s);
    }
    std::sort(vybrane.begin(), vybrane.end(), [](const TStopa* a, const TStopa* b) { return a->Radek < b->Radek; });
    for (const TStopa* s : vybrane) o.Dukazy.push_back({s->Radek, s->Text});
    return o;
}

TOdhadTypu OdhadnoutTyp(std::string_view text) {
    TOdhadovacTypu o;
    o.Pridat(text);
    return o.Dokoncit();
}
