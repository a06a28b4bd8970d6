#include "Davka.h"

#include "app/Zpravy.h"
#include "app/convar.h"
#include "engine/CNCEdit.h"
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
    "  --keep-max          after the maximum keep the last number (default: restart\n"
    "                      at the first number)\n"
    "  --number-start      introduce: number program start lines too\n"
    "  --number-end        introduce: number program end lines too\n"
    "  --number-comments   introduce: number comment lines too\n"
    "  -o OUT              write the result to OUT\n"
    "  -i, --in-place      write the result over FILE\n"
    "                      (neither: the result goes to standard output)\n"
    "  -h, --help          show this help\n"
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
    std::uint32_t prvni = 5, prirustek = 5, maximum = 9999;
    bool ponechatMaximum = false;
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
        } else if (arg == "--keep-max") {
            bezHodnoty();
            v.ponechatMaximum = true;
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
    // As in the window: the maximum bounds the first number and the increment.
    v.prvni = std::min(v.prvni, v.maximum);
    v.prirustek = std::min(v.prirustek, v.maximum);
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

std::vector<TTypSouboru> NacistTypy(const TProstrediDavky& prostredi, TVystupDavky& vystup) {
    std::error_code ec;
    if (!std::filesystem::exists(prostredi.SouborTypu, ec)) {
        VypsatHlaseni(vystup, rsVAROVANI, rsNEDEFSOUBORY + u".");
        return {};
    }
    return NacistSouborTypu(prostredi.SouborTypu);
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
    const std::vector<TTypSouboru> typy = NacistTypy(prostredi, vystup);
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

    std::uint8_t procenta = 0;
    const bool cislovatOdZacatku = !v.ponechatMaximum;
    switch (v.prikaz) {
        case TPrikaz::Zavest:
            if (bloku > 0) {
                VypsatHlaseni(vystup, rsVAROVANI, ZpravaBlokyJsou(bloku));
                return 1;
            }
            procenta = engine.ZavestBloky(text.Radky, typ.Zacatek, typ.Konec, typ.Komentar, v.prvni,
                                          v.prirustek, v.maximum, v.blokZacatek, v.blokKonec,
                                          v.blokKomentar, typ.VedlejsiZnak, cislovatOdZacatku);
            break;
        case TPrikaz::Precislovat:
            if (bloku == 0) {
                VypsatHlaseni(vystup, rsINFORMACE, ZpravaBlokyNejsou());
                return 1;
            }
            procenta = engine.PrecislovatBloky(text.Radky, v.prvni, v.prirustek, v.maximum,
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

    const TKodovani pozadovane = KodovaniProZapis(text.Kodovani);
    std::string bajty;
    const TKodovani pouzite = ZakodovatRadky(bajty, text.Radky, text.KoncovyZlom, pozadovane);
    if (pouzite != pozadovane)
        vystup.Hlaseni(std::string("tarvik-cli: ") + NazevKodovani(pozadovane) +
                       " cannot hold every character of the program; it is written as " +
                       NazevKodovani(pouzite) + ".");
    if (v.vystup) {
        ZapsatSouborAtomicky(std::filesystem::path(*v.vystup), bajty);
    } else if (v.naMiste) {
        ZapsatSouborAtomicky(soubor, bajty);
    } else if (!vystup.Program(bajty)) {
        throw TChyba(u"Cannot write to standard output");
    }
    bajty = std::string();

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
