#include "Argumenty.h"

#include "platform/Kodovani.h"

#include <algorithm>

namespace {

std::int32_t Cislo(const std::string& volba, const std::string& hodnota) {
    if (hodnota.empty() || hodnota.size() > 4 ||
        hodnota.find_first_not_of("0123456789") != std::string::npos)
        throw TChybaPouziti(volba + " needs a whole number from 1 to 9999, not '" + hodnota + "'");
    const auto n = static_cast<std::int32_t>(std::stol(hodnota));
    if (n < 1) throw TChybaPouziti(volba + " needs a whole number from 1 to 9999, not '" + hodnota + "'");
    return n;
}

std::int32_t Sirka(const std::string& volba, const std::string& hodnota) {
    if (hodnota.size() != 1 || hodnota[0] < '0' || hodnota[0] > '9')
        throw TChybaPouziti(volba + " needs a width from 0 to 9 digits, not '" + hodnota + "'");
    return hodnota[0] - '0';
}

std::u16string Znak(const std::string& volba, const std::string& hodnota) {
    std::u16string z = ZUtf8(hodnota);
    const bool jedenZnak = z.size() == 1 || (z.size() == 2 && z[0] >= 0xD800 && z[0] <= 0xDBFF);
    if (!z.empty() && !jedenZnak)
        throw TChybaPouziti(volba + " takes one character or \"\", not '" + hodnota + "'");
    return z;
}

}  // namespace

TVolby RozebratArgumenty(const std::vector<std::string>& a) {
    TVolby v;
    v.cinnost = TCinnost::Program;
    bool mamPrikaz = false;
    bool jenSoubory = false;
    bool napoveda = false;
    bool volbaZavedeni = false;
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
            if (i + 1 >= a.size()) throw TChybaPouziti("option " + arg + " needs a value");
            return a[++i];
        };
        const auto bezHodnoty = [&]() {
            if (pripojena) throw TChybaPouziti("option " + arg + " takes no value");
        };
        if (jenSoubory || arg.empty() || arg[0] != '-' || arg == "-") {
            if (!mamPrikaz) {
                if (arg == "count") v.prikaz = TPrikazProgramu::Pocet;
                else if (arg == "introduce") v.prikaz = TPrikazProgramu::Zavest;
                else if (arg == "renumber") v.prikaz = TPrikazProgramu::Precislovat;
                else if (arg == "remove") v.prikaz = TPrikazProgramu::Odstranit;
                else if (arg == "types") v.cinnost = TCinnost::Typy;
                else if (arg == "refs") v.prikaz = TPrikazProgramu::Odkazy;
                else throw TChybaPouziti("unknown command '" + arg + "'");
                mamPrikaz = true;
            } else {
                v.soubory.push_back(arg);
            }
        } else if (arg == "--") {
            jenSoubory = true;
        } else if (arg == "-h" || arg == "--help") {
            bezHodnoty();
            napoveda = true;
        } else if (arg == "-t" || arg == "--type") {
            v.typ = ZUtf8(hodnota());
        } else if (arg == "--main") {
            v.hlavni = Znak(arg, hodnota());
        } else if (arg == "--secondary") {
            v.vedlejsi = Znak(arg, hodnota());
        } else if (arg == "--start") {
            v.zacatek = ZUtf8(hodnota());
        } else if (arg == "--end") {
            v.konec = ZUtf8(hodnota());
        } else if (arg == "--comment") {
            v.komentar = Znak(arg, hodnota());
        } else if (arg == "--first") {
            v.prvni = Cislo(arg, hodnota());
        } else if (arg == "--increment") {
            v.prirustek = Cislo(arg, hodnota());
        } else if (arg == "--max") {
            v.maximum = Cislo(arg, hodnota());
        } else if (arg == "--width") {
            v.sirka = Sirka(arg, hodnota());
        } else if (arg == "--keep-max" || arg == "--restart") {
            bezHodnoty();
            const bool odZacatku = arg == "--restart";
            if (v.cislovatOdZacatku && *v.cislovatOdZacatku != odZacatku)
                throw TChybaPouziti("--keep-max and --restart exclude each other");
            v.cislovatOdZacatku = odZacatku;
        } else if (arg == "--number-start") {
            bezHodnoty();
            v.blokZacatek = volbaZavedeni = true;
        } else if (arg == "--number-end") {
            bezHodnoty();
            v.blokKonec = volbaZavedeni = true;
        } else if (arg == "--number-comments") {
            bezHodnoty();
            v.blokKomentar = volbaZavedeni = true;
        } else if (arg == "--keep-references" || arg == "--update-references") {
            bezHodnoty();
            const bool aktualizovat = arg == "--update-references";
            if (v.aktualizovatOdkazy && *v.aktualizovatOdkazy != aktualizovat)
                throw TChybaPouziti("--keep-references and --update-references exclude each other");
            v.aktualizovatOdkazy = aktualizovat;
        } else if (arg == "--force") {
            bezHodnoty();
            v.vynutit = true;
        } else if (arg == "-o") {
            v.vystup = hodnota();
            if (v.vystup->empty()) throw TChybaPouziti("option -o needs a file name");
        } else if (arg == "-i" || arg == "--in-place") {
            bezHodnoty();
            v.naMiste = true;
        } else if (arg == "-r" || arg == "--recursive") {
            bezHodnoty();
            v.rekurzivne = true;
        } else if (arg == "--all") {
            bezHodnoty();
            v.vsechny = true;
        } else if (arg == "--check") {
            bezHodnoty();
            v.kontrola = true;
        } else if (arg == "--diff") {
            bezHodnoty();
            v.rozdil = true;
        } else if (arg == "--jobs" || arg.rfind("-j", 0) == 0) {
            // -j N, -jN, --jobs N, --jobs=N
            const bool pripojene = arg.size() > 2 && arg[1] == 'j';
            v.uloh = static_cast<unsigned>(Cislo(pripojene ? "-j" : arg, pripojene ? arg.substr(2) : hodnota()));
        } else {
            throw TChybaPouziti("unknown option '" + arg + "'");
        }
    }
    if (napoveda) {
        v.cinnost = TCinnost::Napoveda;
        return v;
    }
    if (!mamPrikaz) throw TChybaPouziti("no command given");
    if (v.cinnost == TCinnost::Typy) {
        if (!v.soubory.empty()) throw TChybaPouziti("types takes no FILE");
        return v;
    }
    if (v.soubory.empty()) throw TChybaPouziti("no FILE given");
    const bool standardniVstup = std::find(v.soubory.begin(), v.soubory.end(), "-") != v.soubory.end();
    if (standardniVstup && v.soubory.size() > 1)
        throw TChybaPouziti("standard input (\"-\") is a FILE of its own, not one of several");
    if (v.vystup && v.naMiste) throw TChybaPouziti("-o and --in-place exclude each other");
    if (v.naMiste && standardniVstup) throw TChybaPouziti("--in-place needs a FILE, not standard input");
    if (v.prikaz == TPrikazProgramu::Pocet && (v.vystup || v.naMiste))
        throw TChybaPouziti("count writes no program: -o and --in-place do not apply");
    if (v.prikaz == TPrikazProgramu::Pocet && (v.kontrola || v.rozdil))
        throw TChybaPouziti("count changes nothing: --check and --diff do not apply");
    if ((v.kontrola || v.rozdil) && (v.vystup || v.naMiste))
        throw TChybaPouziti("--check and --diff change nothing: -o and --in-place do not apply");
    if ((v.kontrola || v.rozdil) && standardniVstup)
        throw TChybaPouziti("--check and --diff compare with a FILE, not standard input");
    if (v.vsechny && !v.rekurzivne) throw TChybaPouziti("--all applies to the folders of -r only");
    if (volbaZavedeni && v.prikaz != TPrikazProgramu::Zavest)
        throw TChybaPouziti("--number-start, --number-end and --number-comments apply to introduce only");
    if (v.aktualizovatOdkazy && v.prikaz != TPrikazProgramu::Precislovat)
        throw TChybaPouziti("--keep-references and --update-references apply to renumber only");
    if (v.sirka && v.prikaz != TPrikazProgramu::Zavest && v.prikaz != TPrikazProgramu::Precislovat)
        throw TChybaPouziti("--width applies to introduce and renumber only");
    if (v.vynutit && v.prikaz != TPrikazProgramu::Odstranit) throw TChybaPouziti("--force applies to remove only");
    if (v.prikaz == TPrikazProgramu::Odkazy) {
        if (v.soubory.size() > 1 || v.rekurzivne) throw TChybaPouziti("refs takes one FILE");
        if (v.vystup || v.naMiste || v.kontrola || v.rozdil)
            throw TChybaPouziti("refs writes no program: -o, --in-place, --check and --diff do not apply");
        if (v.prvni || v.prirustek || v.maximum || v.cislovatOdZacatku)
            throw TChybaPouziti("refs numbers nothing: --first, --increment, --max, --keep-max and --restart do not apply");
    }
    return v;
}
