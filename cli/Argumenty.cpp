#include "Argumenty.h"

#include "katalog/TextyDavky.h"
#include "platform/Kodovani.h"

#include <algorithm>

namespace {

[[noreturn]] void Chyba(const std::u16string& vzor, std::initializer_list<std::string_view> hodnoty = {}) {
    throw TChybaPouziti(Vyplnit(vzor, hodnoty));
}

// The option of a stored setting that arg names ("--first"), with its line.
std::optional<std::pair<const TPopisNastaveni*, const TVolbaNastaveni*>> VolbaNastaveni(std::string_view arg) {
    if (arg.size() <= 2 || arg.substr(0, 2) != "--") return std::nullopt;
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy())
        for (const TVolbaNastaveni& v : p.Volby)
            if (!v.Dlouha.empty() && v.Dlouha == arg.substr(2)) return std::pair{&p, &v};
    return std::nullopt;
}

// A number of a stored setting: digits alone, no more than its largest
// value has, within its bounds.
std::int32_t CisloNastaveni(const TPopisNastaveni& p, const TVolbaNastaveni& v, const std::string& volba,
                            const std::string& hodnota) {
    const std::size_t cislic = std::to_string(p.Max).size();
    if (hodnota.empty() || hodnota.size() > cislic || hodnota.find_first_not_of("0123456789") != std::string::npos ||
        std::stol(hodnota) < p.Min || std::stol(hodnota) > p.Max)
        Chyba(*v.Chybna, {volba, hodnota});
    return static_cast<std::int32_t>(std::stol(hodnota));
}

// Two switches given together that set one flag both ways, or both flags of
// a pair, refuse each other.
void OveritSpor(const std::vector<TVolby::TNastaveni>& dosud, const TVolby::TNastaveni& n) {
    const auto jinaHodnota = [&](const TVolby::TNastaveni& d) {
        if (d.Popis == n.Popis) return d.Hodnota != n.Hodnota;
        const auto* pole = std::get_if<bool TUlozeneNastaveni::*>(&d.Popis->Pole);
        return pole && n.Popis->Vylucuje == *pole && d.Hodnota != 0 && n.Hodnota != 0;
    };
    for (const TVolby::TNastaveni& d : dosud) {
        if (!jinaHodnota(d)) continue;
        const std::string a = "--" + std::string(d.Volba->Dlouha), b = "--" + std::string(n.Volba->Dlouha);
        Chyba(rsDVYLUCUJISE, {std::min(a, b), std::max(a, b)});
    }
}

std::int32_t Cislo(const std::string& volba, const std::string& hodnota) {
    if (hodnota.empty() || hodnota.size() > 4 || hodnota.find_first_not_of("0123456789") != std::string::npos ||
        std::stol(hodnota) < 1)
        Chyba(rsDCISLO, {volba, hodnota});
    return static_cast<std::int32_t>(std::stol(hodnota));
}

std::u16string Znak(const std::string& volba, const std::string& hodnota) {
    std::u16string z = ZUtf8(hodnota);
    const bool jedenZnak = z.size() == 1 || (z.size() == 2 && z[0] >= 0xD800 && z[0] <= 0xDBFF);
    if (!z.empty() && !jedenZnak) Chyba(rsDZNAK, {volba, hodnota});
    return z;
}

// The families of --references: their short names separated by commas (or
// blanks), in either case, or "none" (also "-"). A name the tool does not
// know is an error, not left out as a stored line leaves it.
TDruhyOdkazu Druhy(const std::string& volba, const std::string& hodnota) {
    std::string mala = hodnota;
    for (char& c : mala)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (mala == "none" || mala == "-") return {};
    const auto chyba = [&] { Chyba(rsDODKAZY, {volba, hodnota, ZapsatDruhy(TDruhyOdkazu::Vsechny(), ", ")}); };
    TDruhyOdkazu druhy;
    bool nejaky = false;
    for (std::size_t od = 0; od <= hodnota.size();) {
        const std::size_t konec = std::min(hodnota.find_first_of(", \t", od), hodnota.size());
        const std::string nazev = hodnota.substr(od, konec - od);
        od = konec + 1;
        if (nazev.empty()) continue;
        const std::optional<TDruhyOdkazu> rodina = nazev == "-" ? std::nullopt : PrecistDruhy(nazev);
        if (!rodina) chyba();
        druhy = TDruhyOdkazu::ZBitu(static_cast<std::uint8_t>(druhy.Bity() | rodina->Bity()));
        nejaky = true;
    }
    if (!nejaky) chyba();
    return druhy;
}

// The options that set no stored setting, in the order of the help.
const TVolbaDavky Volby[] = {
    {.Kratka = "-t", .Dlouha = "--type", .Zastupce = "NAME",
     .Nastavit = [](TVolby& v, const std::string&, const std::string& h) { v.typ = ZUtf8(h); },
     .Napoveda = &rsHTYPE},
    {.Dlouha = "--main", .Zastupce = "C",
     .Nastavit = [](TVolby& v, const std::string& o, const std::string& h) { v.hlavni = Znak(o, h); },
     .Napoveda = &rsHMAIN},
    {.Dlouha = "--secondary", .Zastupce = "C",
     .Nastavit = [](TVolby& v, const std::string& o, const std::string& h) { v.vedlejsi = Znak(o, h); },
     .Napoveda = &rsHSECONDARY},
    {.Dlouha = "--start", .Zastupce = "TEXT",
     .Nastavit = [](TVolby& v, const std::string&, const std::string& h) { v.zacatek = ZUtf8(h); },
     .Napoveda = &rsHSTART},
    {.Dlouha = "--end", .Zastupce = "TEXT",
     .Nastavit = [](TVolby& v, const std::string&, const std::string& h) { v.konec = ZUtf8(h); },
     .Napoveda = &rsHEND},
    {.Dlouha = "--comment", .Zastupce = "C",
     .Nastavit = [](TVolby& v, const std::string& o, const std::string& h) { v.komentar = Znak(o, h); },
     .Napoveda = &rsHCOMMENT},
    {},  // here the options of the stored settings
    {.Dlouha = "--references", .Zastupce = "LIST",
     .Nastavit = [](TVolby& v, const std::string& o, const std::string& h) { v.druhyOdkazu = Druhy(o, h); },
     .Napoveda = &rsHREFERENCES, .Prikazy = "introduce renumber remove refs", .Jen = &rsDJENODKAZY},
    {.Dlouha = "--force", .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.vynutit = true; },
     .Napoveda = &rsHFORCE, .Prikazy = "remove", .Jen = &rsDJENODSTRANIT},
    {.Dlouha = "--guess", .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.odhadnout = true; },
     .Napoveda = &rsHGUESS, .Prikazy = "types", .Jen = &rsDJENODHAD},
    {.Kratka = "-o", .Zastupce = "OUT",
     .Nastavit =
         [](TVolby& v, const std::string&, const std::string& h) {
             if (h.empty()) Chyba(rsDVYSTUPJMENO);
             v.vystup = h;
         },
     .Napoveda = &rsHVYSTUP},
    {.Kratka = "-i", .Dlouha = "--in-place",
     .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.naMiste = true; },
     .Napoveda = &rsHNAMISTE},
    {.Kratka = "-r", .Dlouha = "--recursive",
     .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.rekurzivne = true; },
     .Napoveda = &rsHREKURZIVNE},
    {.Dlouha = "--all", .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.vsechny = true; },
     .Napoveda = &rsHVSECHNY},
    {.Dlouha = "--check", .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.kontrola = true; },
     .Napoveda = &rsHKONTROLA},
    {.Dlouha = "--diff", .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.rozdil = true; },
     .Napoveda = &rsHROZDIL},
    {.Kratka = "-j", .Dlouha = "--jobs", .Zastupce = "N", .Pripojena = true,
     .Nastavit = [](TVolby& v, const std::string& o,
                    const std::string& h) { v.uloh = static_cast<unsigned>(Cislo(o, h)); },
     .Napoveda = &rsHULOH},
    // (Taken before the command line is read: JazykZArgumentu.)
    {.Dlouha = "--lang", .Zastupce = "CODE",
     .Nastavit = [](TVolby& v, const std::string&, const std::string& h) { v.jazyk = h; },
     .Napoveda = &rsHJAZYK},
    {.Kratka = "-h", .Dlouha = "--help",
     .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.napoveda = true; },
     .Napoveda = &rsHNAPOVEDA},
    {.Dlouha = "--version",
     .Nastavit = [](TVolby& v, const std::string&, const std::string&) { v.verze = true; },
     .Napoveda = &rsHVERZE},
};

// The line of the option arg names, by its name alone ("--type", "-t") or,
// when it takes one, with its value after the short name ("-j4": pripojena
// gets "4").
const TVolbaDavky* NajitVolbu(const std::string& arg, std::optional<std::string>& pripojena) {
    for (const TVolbaDavky& o : Volby) {
        if (!o.Nastavit) continue;
        if (arg == o.Kratka || arg == o.Dlouha) return &o;
        if (o.Pripojena && !o.Kratka.empty() && arg.size() > o.Kratka.size() && arg.starts_with(o.Kratka)) {
            pripojena = arg.substr(o.Kratka.size());
            return &o;
        }
    }
    return nullptr;
}

bool BereHodnotu(const std::string& arg) {
    std::optional<std::string> pripojena;
    if (const TVolbaDavky* o = NajitVolbu(arg, pripojena)) return !o->Zastupce.empty() && !pripojena;
    const auto nastaveni = VolbaNastaveni(arg);
    return nastaveni && !nastaveni->second->Zastupce.empty();
}

}  // namespace

bool MeziPrikazy(std::string_view prikazy, std::string_view nazev) {
    for (std::size_t od = 0; od < prikazy.size();) {
        const std::size_t konec = std::min(prikazy.find(' ', od), prikazy.size());
        if (prikazy.substr(od, konec - od) == nazev) return true;
        od = konec + 1;
    }
    return false;
}

std::span<const TVolbaDavky> VolbyDavky() { return Volby; }

std::optional<std::string> JazykZArgumentu(const std::vector<std::string>& a) {
    std::optional<std::string> jazyk;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::string& arg = a[i];
        if (arg == "--") break;
        if (arg.rfind("--lang=", 0) == 0) {
            jazyk = arg.substr(7);
        } else if (BereHodnotu(arg) && i + 1 < a.size()) {
            if (arg == "--lang") jazyk = a[i + 1];
            ++i;
        }
    }
    return jazyk;
}

TVolby RozebratArgumenty(const std::vector<std::string>& a) {
    TVolby v;
    v.cinnost = TCinnost::Program;
    bool mamPrikaz = false;
    bool jenSoubory = false;
    std::string nazevPrikazu;
    std::vector<const TVolbaDavky*> dane;  // the options given, in their order
    for (std::size_t i = 0; i < a.size(); ++i) {
        std::string arg = a[i];
        std::optional<std::string> pripojena;
        if (!jenSoubory && arg.rfind("--", 0) == 0 && arg.size() > 2) {
            const std::size_t rovnase = arg.find('=');
            if (rovnase != std::string::npos) {
                pripojena = arg.substr(rovnase + 1);
                arg.resize(rovnase);
            }
        }
        const auto hodnota = [&]() -> std::string {
            if (pripojena) return *pripojena;
            if (!BereHodnotu(arg)) throw std::logic_error(arg + " is not among the options that take a value");
            if (i + 1 >= a.size()) Chyba(rsDHODNOTA, {arg});
            return a[++i];
        };
        const auto bezHodnoty = [&]() {
            if (pripojena) Chyba(rsDBEZHODNOTY, {arg});
        };
        if (jenSoubory || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!mamPrikaz) {
                if (arg == "count") v.prikaz = TPrikazProgramu::Pocet;
                else if (arg == "introduce") v.prikaz = TPrikazProgramu::Zavest;
                else if (arg == "renumber") v.prikaz = TPrikazProgramu::Precislovat;
                else if (arg == "remove") v.prikaz = TPrikazProgramu::Odstranit;
                else if (arg == "types") v.cinnost = TCinnost::Typy;
                else if (arg == "refs") v.prikaz = TPrikazProgramu::Odkazy;
                else Chyba(rsDNEZNAMYPRIKAZ, {arg});
                mamPrikaz = true;
                nazevPrikazu = arg;
            } else {
                v.soubory.push_back(arg);
            }
        } else if (arg == "--") {
            jenSoubory = true;
        } else if (const TVolbaDavky* o = NajitVolbu(arg, pripojena)) {
            const std::string nazev = pripojena && arg.starts_with(o->Kratka) && !arg.starts_with("--")
                                          ? std::string(o->Kratka)
                                          : arg;
            if (o->Zastupce.empty()) {
                bezHodnoty();
                o->Nastavit(v, nazev, {});
            } else {
                o->Nastavit(v, nazev, hodnota());
            }
            dane.push_back(o);
        } else if (const auto nastaveni = VolbaNastaveni(arg)) {
            const auto [popis, volba] = *nastaveni;
            TVolby::TNastaveni n{popis, volba, volba->Hodnota};
            if (!volba->Zastupce.empty()) {
                n.Hodnota = CisloNastaveni(*popis, *volba, arg, hodnota());
            } else {
                bezHodnoty();
                OveritSpor(v.nastaveni, n);
            }
            v.nastaveni.push_back(n);
        } else {
            Chyba(rsDNEZNAMAVOLBA, {arg});
        }
    }
    if (v.napoveda || v.verze) {
        v.cinnost = v.napoveda ? TCinnost::Napoveda : TCinnost::Verze;
        return v;
    }
    if (!mamPrikaz) Chyba(rsDBEZPRIKAZU);
    if (v.cinnost == TCinnost::Typy) {
        if (v.odhadnout && v.soubory.size() != 1) Chyba(rsDODHADJEDEN);
        if (!v.odhadnout && !v.soubory.empty()) Chyba(rsDTYPYBEZSOUBORU);
        return v;
    }
    if (v.odhadnout) Chyba(rsDJENODHAD);
    if (v.soubory.empty()) Chyba(rsDBEZSOUBORU);
    const bool standardniVstup = std::find(v.soubory.begin(), v.soubory.end(), "-") != v.soubory.end();
    if (standardniVstup && v.soubory.size() > 1) Chyba(rsDVSTUPSAM);
    if (v.vystup && v.naMiste) Chyba(rsDVYLUCUJISE, {"-o", "--in-place"});
    if (v.naMiste && standardniVstup) Chyba(rsDNAMISTEVSTUP);
    if (v.prikaz == TPrikazProgramu::Pocet && (v.vystup || v.naMiste)) Chyba(rsDCOUNTZAPIS);
    if (v.prikaz == TPrikazProgramu::Pocet && (v.kontrola || v.rozdil)) Chyba(rsDCOUNTKONTROLA);
    if ((v.kontrola || v.rozdil) && (v.vystup || v.naMiste)) Chyba(rsDKONTROLAZAPIS);
    if ((v.kontrola || v.rozdil) && standardniVstup) Chyba(rsDKONTROLAVSTUP);
    if (v.vsechny && !v.rekurzivne) Chyba(rsDALLBEZR);
    // An option with a command it does not apply to.
    for (const TVolby::TNastaveni& n : v.nastaveni)
        if (!MeziPrikazy(n.Volba->Prikazy, nazevPrikazu)) Chyba(*n.Volba->Jen);
    for (const TVolbaDavky* o : dane)
        if (!o->Prikazy.empty() && !MeziPrikazy(o->Prikazy, nazevPrikazu)) Chyba(*o->Jen);
    if (v.prikaz == TPrikazProgramu::Odkazy) {
        if (v.soubory.size() > 1 || v.rekurzivne) Chyba(rsDREFSJEDEN);
        if (v.vystup || v.naMiste || v.kontrola || v.rozdil) Chyba(rsDREFSZAPIS);
    }
    return v;
}
