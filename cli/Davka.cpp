#include "Davka.h"

#include "app/Zpravy.h"
#include "app/convar.h"
#include "engine/CNCEdit.h"
#include "filetypes/SeznamTypu.h"
#include "filetypes/TypSouboru.h"
#include "platform/Chyba.h"
#include "platform/TextovySoubor.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace {

constexpr std::string_view Napoveda =
    "Usage: tarvik-cli count|introduce|renumber|remove [options] FILE\n"
    "       tarvik-cli types\n"
    "\n"
    "Counts, introduces, renumbers or removes the block numbers (N10, N20, ...)\n"
    "of an NC program by the rules of its CNC file type.\n"
    "\n"
    "  count       print the number of block lines\n"
    "  introduce   number a program that has no block numbers yet\n"
    "  renumber    give the block lines a fresh sequence of numbers\n"
    "  remove      strip the block numbers\n"
    "  types       list the file types, their seven fields TAB-separated\n"
    "\n"
    "  -t, --type NAME     file type by its name; default: the first type whose\n"
    "                      extension matches FILE's (case-insensitive), else the first\n"
    "  --main C            main block character of the chosen type (\"\" clears it)\n"
    "  --secondary C       secondary block character, written before new numbers\n"
    "  --start TEXT        program start marker\n"
    "  --end TEXT          program end marker\n"
    "  --comment C         comment start character\n"
    "  --first N           first block number, 1..9999 (default 5)\n"
    "  --increment N       increment, 1..9999 (default 5)\n"
    "  --max N             maximum block number, 1..9999 (default 9999); a first\n"
    "                      number or increment above it is lowered to it\n"
    "  --keep-max          after the maximum keep the last number\n"
    "  --restart           after the maximum start again at the first number\n"
    "                      (the default)\n"
    "  --number-start      introduce: number program start lines too\n"
    "  --number-end        introduce: number program end lines too\n"
    "  --number-comments   introduce: number comment lines too\n"
    "  -o OUT              write the result to OUT\n"
    "  -i, --in-place      write the result over FILE\n"
    "                      (neither: the result goes to standard output)\n"
    "  -h, --help          show this help\n"
    "\n"
    "The file types, and the defaults of --first, --increment, --max and of the\n"
    "policy after the maximum, come from the settings the window saved (on Linux\n"
    "$XDG_CONFIG_HOME/Orvendal/Tarvik.reg, ~/.config by default; on Windows the\n"
    "registry); without them from files.ftd beside the executable and the defaults\n"
    "above. The tool never writes the settings. Settings that cannot be read are\n"
    "reported, and files.ftd and the built-in defaults are used instead.\n"
    "\n"
    "The result is written with CR LF line breaks in the encoding the program was\n"
    "read in. Progress and the statistics line go to standard error.\n"
    "Exit status: 0 done, 1 refused (block numbers present or missing),\n"
    "2 usage error or a file that cannot be read or written.\n";

struct TChybaPouziti : std::runtime_error {
    using std::runtime_error::runtime_error;
};

enum class TPrikaz { Pocet, Zavest, Precislovat, Odstranit, Typy, Napoveda };

struct TVolby {
    TPrikaz prikaz = TPrikaz::Napoveda;
    std::optional<std::u16string> typ;
    std::optional<std::u16string> hlavni, vedlejsi, zacatek, konec, komentar;
    // Unset: the stored setting, else the built-in default.
    std::optional<std::uint32_t> prvni, prirustek, maximum;
    std::optional<bool> cislovatOdZacatku;
    bool blokZacatek = false, blokKonec = false, blokKomentar = false;
    std::optional<std::string> vystup;
    bool naMiste = false;
    std::string soubor;
};

std::uint32_t Cislo(const std::string& volba, const std::string& hodnota) {
    if (hodnota.empty() || hodnota.size() > 4 ||
        hodnota.find_first_not_of("0123456789") != std::string::npos)
        throw TChybaPouziti(volba + " needs a whole number from 1 to 9999, not '" + hodnota + "'");
    const auto n = static_cast<std::uint32_t>(std::stoul(hodnota));
    if (n < 1) throw TChybaPouziti(volba + " needs a whole number from 1 to 9999, not '" + hodnota + "'");
    return n;
}

std::u16string Znak(const std::string& volba, const std::string& hodnota) {
    std::u16string z = ZUtf8(hodnota);
    const bool jedenZnak = z.size() == 1 || (z.size() == 2 && z[0] >= 0xD800 && z[0] <= 0xDBFF);
    if (!z.empty() && !jedenZnak)
        throw TChybaPouziti(volba + " takes one character or \"\", not '" + hodnota + "'");
    return z;
}

TVolby RozebratArgumenty(const std::vector<std::string>& a) {
    TVolby v;
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
                if (arg == "count") v.prikaz = TPrikaz::Pocet;
                else if (arg == "introduce") v.prikaz = TPrikaz::Zavest;
                else if (arg == "renumber") v.prikaz = TPrikaz::Precislovat;
                else if (arg == "remove") v.prikaz = TPrikaz::Odstranit;
                else if (arg == "types") v.prikaz = TPrikaz::Typy;
                else throw TChybaPouziti("unknown command '" + arg + "'");
                mamPrikaz = true;
            } else if (v.soubor.empty()) {
                v.soubor = arg;
            } else {
                throw TChybaPouziti("more than one FILE given ('" + v.soubor + "', '" + arg + "')");
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
        } else if (arg == "-o") {
            v.vystup = hodnota();
            if (v.vystup->empty()) throw TChybaPouziti("option -o needs a file name");
        } else if (arg == "-i" || arg == "--in-place") {
            bezHodnoty();
            v.naMiste = true;
        } else {
            throw TChybaPouziti("unknown option '" + arg + "'");
        }
    }
    if (napoveda) {
        v.prikaz = TPrikaz::Napoveda;
        return v;
    }
    if (!mamPrikaz) throw TChybaPouziti("no command given");
    if (v.prikaz == TPrikaz::Typy) {
        if (!v.soubor.empty()) throw TChybaPouziti("types takes no FILE");
        return v;
    }
    if (v.soubor.empty()) throw TChybaPouziti("no FILE given");
    if (v.vystup && v.naMiste) throw TChybaPouziti("-o and --in-place exclude each other");
    if (v.prikaz == TPrikaz::Pocet && (v.vystup || v.naMiste))
        throw TChybaPouziti("count writes no program: -o and --in-place do not apply");
    if (volbaZavedeni && v.prikaz != TPrikaz::Zavest)
        throw TChybaPouziti("--number-start, --number-end and --number-comments apply to introduce only");
    return v;
}

// A message of the window shown as text lines: "<caption>: <text>", CR breaking the line.
void VypsatHlaseni(TVystupDavky& vystup, const std::u16string& titulek, const std::u16string& text) {
    std::u16string cely = titulek + u": " + text;
    std::size_t zacatek = 0;
    for (;;) {
        const std::size_t cr = cely.find(u'\r', zacatek);
        vystup.Hlaseni(DoUtf8(std::u16string_view(cely).substr(zacatek, cr - zacatek)));
        if (cr == std::u16string::npos) break;
        zacatek = cr + 1;
    }
}

// A failure's message as the error box shows it: a full stop is added when
// the last character's code is above that of the full stop.
std::string TextChyby(const std::u16string& zprava) {
    std::u16string z = zprava;
    if (!z.empty() && z.back() > u'.') z += u'.';
    return "tarvik-cli: " + DoUtf8(z);
}

// The numbering settings in effect: the window's defaults, then the stored
// values, then the options.
struct TCislovani {
    std::uint32_t prvni = 5, prirustek = 5, maximum = 9999;
    bool cislovatOdZacatku = true;
};

// The window's reading of its settings, without the window placement: the
// values in the window's order, each applied when it exists, until the first
// one that cannot be read. Numbers are pulled into 1..9999 as the spin edits
// do; the two overflow flags act as one pair of radio buttons.
void NacistCislovani(TRegistr& registr, std::u16string_view klic, TCislovani& c) {
    if (!registr.OtevritKlic(klic, false)) return;
    const auto cislo = [&](std::u16string_view nazev, std::uint32_t& cil) {
        if (registr.HodnotaExistuje(nazev))
            cil = static_cast<std::uint32_t>(std::clamp(registr.CistCislo(nazev), 1, 9999));
    };
    // Read only so that a value of the wrong type stops the reading here too.
    if (registr.HodnotaExistuje(u"Jazyk")) registr.CistRetezec(u"Jazyk");
    if (registr.HodnotaExistuje(u"IndexObrazku")) registr.CistCislo(u"IndexObrazku");
    cislo(u"PrvniBlok", c.prvni);
    cislo(u"Prirustek", c.prirustek);
    cislo(u"MaximalniBlok", c.maximum);
    if (registr.HodnotaExistuje(u"CislovatOdZacatku"))
        c.cislovatOdZacatku = registr.CistPriznak(u"CislovatOdZacatku");
    if (registr.HodnotaExistuje(u"PonechatMaximum") && registr.CistPriznak(u"PonechatMaximum"))
        c.cislovatOdZacatku = false;
    registr.ZavritKlic();
}

// The window's message when the settings cannot be read.
void HlaseniNastaveni(TVystupDavky& vystup, const std::u16string& zprava) {
    VypsatHlaseni(vystup, rsCHYBA, rsNELZEZEREGISTRU + u".\r(" + zprava + u".)");
}

struct TNastaveniDavky {
    std::vector<TTypSouboru> typy;
    TCislovani cislovani;
};

// The file type list and the numbering settings as the window reads them:
// the list from the store when its key exists, else from files.ftd.
TNastaveniDavky NacistNastaveni(const TProstrediDavky& prostredi, TVystupDavky& vystup) {
    TNastaveniDavky n;
    TNacteneTypy typy;
    if (prostredi.Registr) {
        const std::unique_ptr<TRegistr> registr = prostredi.Registr();
        std::optional<std::u16string> chyba;
        try {
            NacistCislovani(*registr, prostredi.KlicNastaveni, n.cislovani);
        } catch (const TChyba& e) {
            chyba = e.Zprava();
            HlaseniNastaveni(vystup, *chyba);
        }
        // A damaged store is read as far as it goes; the message says what was lost.
        if (const auto poskozeni = registr->Poskozeni()) HlaseniNastaveni(vystup, *poskozeni);
        const std::u16string klicTypu = prostredi.KlicNastaveni + u"\\TypySouboru";
        bool zeSouboru = false;
        try {
            zeSouboru = !registr->KlicExistuje(klicTypu);
        } catch (const TChyba&) {
            // NacistTypySouboru meets the same failure and reports it.
        }
        typy = NacistTypySouboru(*registr, zeSouboru, prostredi.SouborTypu, klicTypu);
        if (typy.ChybaUloziste) {
            // A damaged store: nothing of it is used.
            n.cislovani = TCislovani();
            if (typy.ChybaUloziste != chyba) HlaseniNastaveni(vystup, *typy.ChybaUloziste);
            vystup.Hlaseni("tarvik-cli: files.ftd and the built-in defaults are used instead.");
        }
    } else {
        typy = NacistTypyZeSouboru(prostredi.SouborTypu);
    }
    if (typy.ChybiSoubor) VypsatHlaseni(vystup, rsVAROVANI, rsNEDEFSOUBORY + u".");
    n.typy = std::move(typy.Typy);
    return n;
}

TTypSouboru ZvolitTyp(const TVolby& v, const std::vector<TTypSouboru>& typy) {
    TTypSouboru typ;
    if (v.typ) {
        const TTypSouboru* nalezeny = nullptr;
        for (const auto& t : typy)
            if (t.Nazev == *v.typ) {
                nalezeny = &t;
                break;
            }
        if (!nalezeny) {
            std::string znami;
            for (const auto& t : typy) znami += "\n  " + DoUtf8(t.Nazev);
            throw TChybaPouziti("no file type named '" + DoUtf8(*v.typ) + "'" +
                                (znami.empty() ? std::string() : "; the file types are:" + znami));
        }
        typ = *nalezeny;
    } else if (const TTypSouboru* podlePripony = TypPodlePripony(typy, v.soubor)) {
        typ = *podlePripony;
    } else if (!typy.empty()) {
        typ = typy.front();
    }
    if (v.hlavni) typ.HlavniZnak = *v.hlavni;
    if (v.vedlejsi) typ.VedlejsiZnak = *v.vedlejsi;
    if (v.zacatek) typ.Zacatek = *v.zacatek;
    if (v.konec) typ.Konec = *v.konec;
    if (v.komentar) typ.Komentar = *v.komentar;
    return typ;
}

int Zpracovat(const TVolby& v, const TProstrediDavky& prostredi, TVystupDavky& vystup) {
    const TNastaveniDavky nastaveni = NacistNastaveni(prostredi, vystup);
    const std::vector<TTypSouboru>& typy = nastaveni.typy;
    if (v.prikaz == TPrikaz::Typy) {
        std::string seznam;
        for (const auto& t : typy) {
            const auto pole = t.Pole();
            for (std::size_t i = 0; i < pole.size(); ++i) {
                if (i > 0) seznam += '\t';
                seznam += DoUtf8(*pole[i]);
            }
            seznam += '\n';
        }
        if (!vystup.Program(seznam)) throw TChyba(u"Cannot write to standard output");
        return 0;
    }

    const TTypSouboru typ = ZvolitTyp(v, typy);
    const std::filesystem::path soubor(v.soubor);
    TText text = NacistTextovySoubor(soubor);
    const TCNCFile engine;
    const std::int32_t bloku = engine.PocetBloku(text.Radky, typ.HlavniZnak, typ.VedlejsiZnak);

    if (v.prikaz == TPrikaz::Pocet) {
        if (!vystup.Program(std::to_string(bloku) + "\n"))
            throw TChyba(u"Cannot write to standard output");
        return 0;
    }

    // Options over the stored settings; as in the window, the maximum bounds
    // the first number and the increment.
    const std::uint32_t maximum = v.maximum.value_or(nastaveni.cislovani.maximum);
    const std::uint32_t prvni = std::min(v.prvni.value_or(nastaveni.cislovani.prvni), maximum);
    const std::uint32_t prirustek = std::min(v.prirustek.value_or(nastaveni.cislovani.prirustek), maximum);
    const bool cislovatOdZacatku = v.cislovatOdZacatku.value_or(nastaveni.cislovani.cislovatOdZacatku);
    std::uint8_t procenta = 0;
    switch (v.prikaz) {
        case TPrikaz::Zavest:
            if (bloku > 0) {
                VypsatHlaseni(vystup, rsVAROVANI, ZpravaBlokyJsou(bloku));
                return 1;
            }
            procenta = engine.ZavestBloky(text.Radky, typ.Zacatek, typ.Konec, typ.Komentar, prvni,
                                          prirustek, maximum, v.blokZacatek, v.blokKonec,
                                          v.blokKomentar, typ.VedlejsiZnak, cislovatOdZacatku);
            break;
        case TPrikaz::Precislovat:
            if (bloku == 0) {
                VypsatHlaseni(vystup, rsINFORMACE, ZpravaBlokyNejsou());
                return 1;
            }
            procenta = engine.PrecislovatBloky(text.Radky, prvni, prirustek, maximum,
                                               typ.Zacatek, typ.HlavniZnak, typ.VedlejsiZnak,
                                               cislovatOdZacatku);
            break;
        case TPrikaz::Odstranit:
            if (bloku == 0) {
                VypsatHlaseni(vystup, rsINFORMACE, ZpravaNeniCoOdstranit());
                return 1;
            }
            procenta = engine.OdstranitBloky(text.Radky, typ.HlavniZnak, typ.VedlejsiZnak);
            break;
        default: break;
    }

    // The encoding is chosen before the first byte goes out, so that the
    // program can be written in pieces, never whole in memory a second time.
    const TKodovani pozadovane = KodovaniProZapis(text.Kodovani);
    const TKodovani pouzite = KodovaniZapisu(text.Radky, pozadovane);
    if (pouzite != pozadovane)
        vystup.Hlaseni(std::string("tarvik-cli: ") + NazevKodovani(pozadovane) +
                       " cannot hold every character of the program; it is written as " +
                       NazevKodovani(pouzite) + ".");
    if (v.vystup || v.naMiste) {
        TAtomickyZapis zapis(v.vystup ? std::filesystem::path(*v.vystup) : soubor);
        ZakodovatPoKusech(text.Radky, text.KoncovyZlom, pouzite, [&](std::string_view kus) { zapis.Zapsat(kus); });
        zapis.Dokoncit();
    } else {
        bool zapsano = true;
        ZakodovatPoKusech(text.Radky, text.KoncovyZlom, pouzite,
                          [&](std::string_view kus) { zapsano = zapsano && vystup.Program(kus); });
        if (!zapsano) throw TChyba(u"Cannot write to standard output");
    }

    const std::int32_t blokuPo = engine.PocetBloku(text.Radky, typ.HlavniZnak, typ.VedlejsiZnak);
    vystup.Hlaseni(std::to_string(procenta) + "%");
    vystup.Hlaseni(DoUtf8(TextStatistiky(text.Radky.size(), PocetZnaku(text.Radky, text.KoncovyZlom),
                                         blokuPo)));
    return 0;
}

}  // namespace

int SpustitDavku(const std::vector<std::string>& argumenty, const TProstrediDavky& prostredi,
                 TVystupDavky& vystup) {
    try {
        const TVolby v = RozebratArgumenty(argumenty);
        if (v.prikaz == TPrikaz::Napoveda) {
            return vystup.Program(Napoveda) ? 0 : 2;
        }
        return Zpracovat(v, prostredi, vystup);
    } catch (const TChybaPouziti& e) {
        vystup.Hlaseni(std::string("tarvik-cli: ") + e.what());
        vystup.Hlaseni("Try 'tarvik-cli --help' for more information.");
    } catch (const TChyba& e) {
        vystup.Hlaseni(TextChyby(e.Zprava()));
    } catch (const std::bad_alloc&) {
        vystup.Hlaseni("tarvik-cli: Not enough memory for this program; nothing was written.");
    }
    return 2;
}
