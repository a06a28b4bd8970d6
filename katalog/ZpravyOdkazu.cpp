#include "ZpravyOdkazu.h"

#include "convar.h"

#include "platform/Kodovani.h"

#include <algorithm>
#include <array>

namespace {

std::u16string Cislo(std::size_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

std::u16string Ascii(std::string_view s) { return std::u16string(s.begin(), s.end()); }

constexpr std::u16string_view Vypustka = u"\u2026";

bool JeSkok(TDruhOdkazu d) {
    return d == TDruhOdkazu::Goto || d == TDruhOdkazu::GotoF || d == TDruhOdkazu::GotoB || d == TDruhOdkazu::GotoC;
}

}  // namespace

std::u16string TextOdkazu(const TVysledekOdkazu& v, const TOdkaz& o) {
    // The jumps take a blank before their target, the words none: GOTO 100, M99 P30.
    return Ascii(NazevDruhu(o.Druh)) + (JeSkok(o.Druh) ? u" " : u"") + ZUtf8(v.TextCile(o));
}

std::u16string_view DuvodOdkazu(TStavOdkazu stav) {
    switch (stav) {
        case TStavOdkazu::ChybiCil: return rsODKAZCHYBI;
        case TStavOdkazu::VicekratCil: return rsODKAZVICEKRAT;
        case TStavOdkazu::NeniCislo: return rsODKAZNENICISLO;
        case TStavOdkazu::NejednoznacnyPoPrecislovani: return rsODKAZPOPRECISLOVANI;
        case TStavOdkazu::PrepsanyVyberem: return rsODKAZVYBER;
        case TStavOdkazu::NaNovyBlok: return rsODKAZNANOVYBLOK;
        case TStavOdkazu::UkazujeJinam: return rsODKAZJINYBLOK;
        case TStavOdkazu::BezCilePoPrecislovani: return rsODKAZBEZCILEPO;
        case TStavOdkazu::NavratDoVolajiciho: return rsODKAZNAVRAT;
        case TStavOdkazu::Vyreseny: break;
    }
    return {};
}

std::u16string PopisStavu(const TOdkaz& o) {
    std::u16string s(DuvodOdkazu(o.Stav));
    if (o.Stav == TStavOdkazu::NaNovyBlok || o.Stav == TStavOdkazu::UkazujeJinam) {
        s += u' ';
        s += Cislo(o.CilovyRadek + 1);
    }
    if ((o.Stav == TStavOdkazu::UkazujeJinam || o.Stav == TStavOdkazu::BezCilePoPrecislovani) &&
        o.PredchoziCil != static_cast<std::size_t>(-1)) {
        s += u" (";
        s += rsODKAZDRIVE;
        s += u' ';
        s += Cislo(o.PredchoziCil + 1);
        s += u')';
    }
    return s;
}

std::u16string_view NazevRodiny(TRodinaOdkazu rodina) {
    // The entry the family's line names; its short name where the catalogue has none.
    if (const TPolozkaKatalogu* p = PolozkaKatalogu(PopisRodiny(rodina).KlicNazvu)) return *p->Text;
    static const auto zkratky = [] {
        std::array<std::u16string, PocetRodinOdkazu> z;
        for (const TPopisRodiny& r : RodinyOdkazu) z[static_cast<std::size_t>(r.Rodina)] = Ascii(r.Zkratka);
        return z;
    }();
    return zkratky[static_cast<std::size_t>(rodina)];
}

std::u16string ZpravaNectenych(const TVysledekOdkazu& v, bool poPrikazu, std::size_t radku,
                               std::u16string_view odhad, std::vector<std::size_t>* radkyProgramu) {
    std::u16string s;
    const auto novyRadek = [&](std::size_t radekProgramu) {
        if (!s.empty()) s += u'\r';
        if (radkyProgramu) radkyProgramu->push_back(radekProgramu);
    };
    if (radkyProgramu) radkyProgramu->clear();
    if (v.PocetNectenych == 0) return s;
    novyRadek(std::u16string::npos);
    s += rsNECTENASLOVA + u": " + Cislo(v.PocetNectenych) + u".";
    std::size_t vypsano = 0;
    for (std::size_t i = 0; i < v.Nectena.size();) {
        // The words of a line together, and the families that read them.
        const std::size_t radek = v.Nectena[i].Radek;
        if (vypsano++ == radku) {
            novyRadek(std::u16string::npos);
            s += Vypustka;
            break;
        }
        std::u16string slova;
        TDruhyOdkazu rodiny;
        for (; i < v.Nectena.size() && v.Nectena[i].Radek == radek; ++i) {
            const TOdkaz& o = v.Nectena[i];
            if (!slova.empty()) slova += u", ";
            slova += Ascii(NazevDruhu(o.Druh)) + (JeSkok(o.Druh) ? u" " : u"") + ZUtf8(v.TextNecteneho(o));
            rodiny = rodiny | TDruhyOdkazu::Ctouci(o.Druh);
        }
        std::u16string nazvy;
        for (const TPopisRodiny& r : RodinyOdkazu)
            if (rodiny.Ma(r.Rodina)) nazvy += (nazvy.empty() ? u"" : u", ") + std::u16string(NazevRodiny(r.Rodina));
        novyRadek(radek);
        s += rsRADEK + u" " + Cislo(radek + 1) + u" (" + slova + u"): " + nazvy + u".";
    }
    if (v.Nectena.size() < v.PocetNectenych && vypsano <= radku) {
        novyRadek(std::u16string::npos);
        s += Vypustka;
    }
    if (poPrikazu) {
        novyRadek(std::u16string::npos);
        s += rsNECTENAZUSTALA + u".";
    }
    if (!odhad.empty()) {
        novyRadek(std::u16string::npos);
        s += rsODHADTYPU + u" \"" + std::u16string(odhad) + u"\".";
    }
    return s;
}

std::u16string ZpravaOdkazyPredOdstranenim(const TVysledekOdkazu& v, bool otazka, std::size_t radku) {
    std::u16string s = rsODKAZYJSOU + u": " + Cislo(v.Odkazy.size()) + u"x.\r" + rsODKAZYNARADCICH + u": ";
    std::size_t vypsano = 0;
    for (std::size_t i = 0; i < v.Odkazy.size(); ++i) {
        const std::size_t radek = v.Odkazy[i].Radek;
        if (i > 0 && v.Odkazy[i - 1].Radek == radek) continue;  // a line once
        if (vypsano == radku) {
            s += u", ";
            s += Vypustka;
            break;
        }
        if (vypsano++ > 0) s += u", ";
        s += Cislo(radek + 1);
    }
    s += u"\r" + rsODKAZYPRESTANOU + u".";
    if (otazka) s += u"\r" + rsODKAZYPRESTO + u"?";
    return s;
}

std::u16string ZpravaOdkazu(const TVysledekOdkazu& v, TZpravaPo po, std::size_t radku,
                            std::vector<std::size_t>* radkyProgramu) {
    std::u16string s;
    // Each line of the text, and the program's line it names (npos: none).
    const auto novyRadek = [&](std::size_t radekProgramu) {
        if (!s.empty()) s += u'\r';
        if (radkyProgramu) radkyProgramu->push_back(radekProgramu);
    };
    if (radkyProgramu) radkyProgramu->clear();
    if (po == TZpravaPo::Aktualizaci) {
        novyRadek(std::u16string::npos);
        s += rsODKAZYAKTUALIZOVANO + u": " + Cislo(v.PocetAktualizovanych()) + u".";
    }
    // The references whose target changed, then those without a definite one.
    const auto skupina = [&](const std::u16string& nadpis, bool zmenene) {
        const auto patri = [&](const TOdkaz& o) { return o.Stav != TStavOdkazu::Vyreseny && ZmenilCil(o.Stav) == zmenene; };
        const std::size_t pocet =
            static_cast<std::size_t>(std::count_if(v.Odkazy.begin(), v.Odkazy.end(), patri));
        if (pocet == 0) return;
        novyRadek(std::u16string::npos);
        s += nadpis + u": " + Cislo(pocet) + u".";
        std::size_t vypsano = 0;
        for (const TOdkaz& o : v.Odkazy) {
            if (!patri(o)) continue;
            if (vypsano++ == radku) {
                novyRadek(std::u16string::npos);
                s += Vypustka;
                break;
            }
            novyRadek(o.Radek);
            s += rsRADEK + u" " + Cislo(o.Radek + 1) + u" (" + TextOdkazu(v, o) + u"): " + PopisStavu(o) + u".";
        }
    };
    skupina(po == TZpravaPo::Zavedeni ? rsODKAZYNANOVE : rsODKAZYJINAM, true);
    skupina(rsODKAZYBEZCILE, false);
    return s;
}

std::vector<std::u16string> VypisOdkazu(const TVysledekOdkazu& v) {
    std::vector<std::u16string> radky;
    radky.push_back(rsRADEK + u"\t" + rsODKAZ + u"\t" + rsCIL + u"\t" + rsRADEKCILE);
    for (const TOdkaz& o : v.Odkazy) {
        std::u16string r =
            Cislo(o.Radek + 1) + u"\t" + Ascii(NazevDruhu(o.Druh)) + u"\t" + ZUtf8(v.TextCile(o)) + u"\t";
        if (o.Stav == TStavOdkazu::Vyreseny)
            r += Cislo(o.CilovyRadek + 1);
        else
            r += PopisStavu(o);
        radky.push_back(std::move(r));
    }
    radky.push_back(rsODKAZU + u": " + Cislo(v.Odkazy.size()) + u".");
    return radky;
}
