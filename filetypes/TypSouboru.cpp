#include "TypSouboru.h"

#include "platform/SlozkyDat.h"
#include "platform/CteniTextu.h"

namespace {

// A field as it may be stored: without TAB, CR and LF, which the line
// cannot carry, and without NUL, at which the store's strings end.
std::u16string BezOddelovacu(std::u16string_view pole) {
    std::u16string v;
    v.reserve(pole.size());
    for (char16_t c : pole)
        if (c != u'\t' && c != u'\r' && c != u'\n' && c != u'\0') v.push_back(c);
    return v;
}

}  // namespace

void OddelitCast(char16_t oddelovac, std::u16string& zbytek, std::u16string& cast) {
    const std::size_t p = zbytek.find(oddelovac);
    if (p == std::u16string::npos) {
        cast = std::move(zbytek);
        zbytek.clear();
        return;
    }
    cast.assign(zbytek, 0, p);
    zbytek.erase(0, p + 1);
}

std::optional<TTypSouboru> RozdelitRadek(std::u16string_view radek) {
    if (radek.find(u'\t') == std::u16string_view::npos &&
        radek.find_first_not_of(u' ') == std::u16string_view::npos)
        return std::nullopt;
    TTypSouboru typ;
    const auto pole = typ.Pole();
    std::u16string zbytek(radek);
    std::size_t i = 0;
    while (!zbytek.empty()) {
        std::u16string cast;
        OddelitCast(u'\t', zbytek, cast);
        if (i < pole.size()) {
            *pole[i] = std::move(cast);
        } else if (i == pole.size()) {
            // The short names are ASCII; any other character belongs to no name.
            std::string ascii(cast.size(), '?');
            for (std::size_t k = 0; k < cast.size(); ++k)
                if (cast[k] < 0x80) ascii[k] = static_cast<char>(cast[k]);
            typ.DruhyOdkazu = PrecistDruhy(ascii);
        }
        ++i;
    }
    return typ;
}

std::u16string SestavitRadek(const TTypSouboru& typ) {
    std::u16string radek;
    for (const std::u16string* pole : typ.Pole()) {
        radek += BezOddelovacu(*pole);
        radek += u'\t';
    }
    if (typ.DruhyOdkazu) {
        const std::string druhy = ZapsatDruhy(*typ.DruhyOdkazu);
        radek.append(druhy.begin(), druhy.end());
        radek += u'\t';
    }
    return radek;
}

namespace {

// The extensions whose controls read other families than the default set.
struct TPriponaNareci {
    std::u16string_view Pripona;  // in lower case
    TDruhyOdkazu Druhy;
};
constexpr TPriponaNareci PriponyNareci[] = {
    {u".mpf", {TRodinaOdkazu::Skoky}}, {u".spf", {TRodinaOdkazu::Skoky}},
    {u".h", {}},  {u".i", {}}, {u".ngc", {}}, {u".tap", {}},
};

// Types as an earlier version shipped them, each with the type this version
// ships in its place.
struct TNahrazenyTyp {
    std::u16string_view Drive, Nyni;
};
constexpr TNahrazenyTyp NahrazeneTypy[] = {
    // Builds of 3.1.0 before list version 2: the ISO milling type read no
    // lathe profile, so a lathe program saved as .nc lost its profile's
    // targets on a renumber. (A list of 3.0.1 names no families: its rows
    // take the default of their extension, which reads them.)
    {u"ISO frézování\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P\t",
     u"ISO frézování\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\t"},
};

}  // namespace

TDruhyOdkazu VychoziDruhyOdkazu(const TTypSouboru& typ) {
    std::u16string pripona = typ.Pripona;
    for (char16_t& c : pripona)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    for (const TPriponaNareci& p : PriponyNareci)
        if (p.Pripona == pripona) return p.Druhy;
    return TDruhyOdkazu::Dosavadni();
}

std::u16string_view NazevTypuNareci(TNareci nareci) {
    switch (nareci) {
        case TNareci::IsoFrezovani: return u"ISO frézování";
        case TNareci::IsoSoustruzeni: return u"ISO soustružení";
        case TNareci::IsoSoustruzeniC: return u"ISO soustružení, G-kódy C";
        case TNareci::Sinumerik: return u"Sinumerik hlavní program";
        case TNareci::Heidenhain: return u"Heidenhain dialog";
        case TNareci::LinuxCnc: return u"G-kód RS-274";
        case TNareci::Nezname: break;
    }
    return {};
}

std::optional<std::size_t> TypPodleOdhadu(const std::vector<TTypSouboru>& typy, TNareci nareci) {
    const std::u16string_view nazev = NazevTypuNareci(nareci);
    if (nazev.empty()) return std::nullopt;
    for (std::size_t i = 0; i < typy.size(); ++i)
        if (typy[i].Nazev == nazev) return i;
    return std::nullopt;
}

void PrevestDodaneTypy(std::vector<TTypSouboru>& typy) {
    for (TTypSouboru& t : typy)
        for (const TNahrazenyTyp& n : NahrazeneTypy)
            if (RozdelitRadek(n.Drive) == t) {
                t = *RozdelitRadek(n.Nyni);
                break;
            }
}

TDruhyOdkazu DruhyOdkazuTypu(const TTypSouboru& typ) {
    return typ.DruhyOdkazu.value_or(VychoziDruhyOdkazu(typ));
}

std::vector<TTypSouboru> TypyZRadku(const std::vector<std::u16string>& radky) {
    std::vector<TTypSouboru> typy;
    typy.reserve(radky.size());
    for (const auto& r : radky)
        if (auto typ = RozdelitRadek(r)) typy.push_back(std::move(*typ));
    return typy;
}

std::filesystem::path CestaVychozichTypu() {
    return NajitSoubor(SlozkyDat(), "files.ftd").value_or(SlozkaProgramu() / "files.ftd");
}

std::vector<TTypSouboru> NacistSouborTypu(const std::filesystem::path& soubor) {
    return TypyZRadku(NacistTextovySoubor(soubor).Radky);
}

const TTypSouboru* TypPodlePripony(const std::vector<TTypSouboru>& typy,
                                   const std::filesystem::path& soubor) {
    const auto mala = [](std::u16string_view s) {
        std::u16string v(s);
        for (char16_t& c : v)
            if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        return v;
    };
    const std::u16string pripona = mala(TextCesty(soubor.extension()));
    if (pripona.empty()) return nullptr;
    for (const auto& typ : typy)
        if (mala(typ.Pripona) == pripona) return &typ;
    return nullptr;
}

std::optional<std::size_t> TypPodleJmena(const std::vector<TTypSouboru>& typy,
                                         const std::filesystem::path& soubor) {
    const TTypSouboru* typ = nullptr;
    if (!soubor.extension().empty()) {
        typ = TypPodlePripony(typy, soubor);
    } else {
        for (const auto& t : typy)
            if (t.Pripona == u".") {
                typ = &t;
                break;
            }
    }
    if (!typ) return std::nullopt;
    return static_cast<std::size_t>(typ - typy.data());
}

std::optional<std::size_t> ZvolitTypSouboru(const std::vector<TTypSouboru>& typy,
                                            const std::filesystem::path& soubor) {
    if (const auto i = TypPodleJmena(typy, soubor)) return i;
    if (typy.empty()) return std::nullopt;
    return 0;
}
