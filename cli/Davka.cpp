#include "Davka.h"

#include "engine/CNCEdit.h"
#include "engine/Odkazy.h"
#include "filetypes/SeznamTypu.h"
#include "filetypes/TypSouboru.h"
#include "filetypes/UlozeneNastaveni.h"
#include "katalog/Zpravy.h"
#include "katalog/ZpravyOdkazu.h"
#include "katalog/convar.h"
#include "platform/Chyba.h"
#include "platform/CteniTextu.h"
#include "platform/ZapisSouboru.h"

#include <algorithm>
#include <optional>
#include <stdexcept>

namespace {

constexpr std::string_view Napoveda =
    "Usage: tarvik-cli count|introduce|renumber|remove [options] FILE|FOLDER...\n"
    "       tarvik-cli refs [options] FILE\n"
    "       tarvik-cli types\n"
    "\n"
    "Counts, introduces, renumbers or removes the block numbers (N10, N20, ...)\n"
    "of NC programs by the rules of their CNC file type.\n"
    "\n"
    "  count       print the number of block lines\n"
    "  introduce   number a program that has no block numbers yet\n"
    "  renumber    give the block lines a fresh sequence of numbers\n"
    "  remove      strip the block numbers\n"
    "  refs        list the references to block numbers (GOTO, GOTOF/B/C, M99 P,\n"
    "              M97 P, P and Q of G70 to G73): line, kind, target, and the\n"
    "              line of the target block or why there is none; exit 1 when\n"
    "              any has no definite target\n"
    "  types       list the file types, their seven fields TAB-separated\n"
    "\n"
    "  -t, --type NAME     file type by its name; default: the first type whose\n"
    "                      extension matches the file's (case-insensitive; a file\n"
    "                      without one takes the type whose extension is \".\"),\n"
    "                      else the first\n"
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
    "  --keep-references   renumber: leave the references to block numbers as they\n"
    "                      are (by default they follow their blocks' new numbers)\n"
    "  --update-references renumber: update them (the default)\n"
    "  --force             remove: remove the numbers also from a program whose\n"
    "                      references to them would then point nowhere\n"
    "  -o OUT              write the result to OUT (\"-\": standard output); with\n"
    "                      several programs or a FOLDER, OUT is a folder that\n"
    "                      receives them, keeping their paths below each FOLDER\n"
    "  -i, --in-place      write the result over each file\n"
    "                      (neither: the result of one FILE goes to standard output)\n"
    "  -r, --recursive     take the programs in each FOLDER and its subfolders:\n"
    "                      the files whose extension belongs to a file type\n"
    "                      (hidden files and folders and links to folders left out)\n"
    "  --all               with -r, every file, whatever its extension\n"
    "  --check             change nothing; tell which programs would change, and\n"
    "                      exit 1 when any would (or is refused)\n"
    "  --diff              as --check, and print the changes as a unified diff of\n"
    "                      the texts on standard output\n"
    "  -j, --jobs N        process N programs at once (default: one per core)\n"
    "  -h, --help          show this help\n"
    "\n"
    "The file types, and the defaults of --first, --increment, --max and of the\n"
    "policy after the maximum, come from the settings the window saved (on Linux\n"
    "$XDG_CONFIG_HOME/Orvendal/Tarvik.reg, ~/.config by default; on Windows the\n"
    "registry); without them from files.ftd beside the executable and the defaults\n"
    "above. The tool never writes the settings. Settings that cannot be read are\n"
    "reported, and files.ftd and the built-in defaults are used instead.\n"
    "\n"
    "FILE \"-\" reads the program from standard input.\n"
    "\n"
    "With several programs, a FOLDER, --check or --diff, each program is done on\n"
    "its own: one line per program on standard error (the file, then \"done\",\n"
    "\"unchanged\", \"would change\", \"refused: \" and the reason, or \"failed: \"\n"
    "and the reason), in the order given whatever -j; count prints \"N FILE\" for\n"
    "each on standard output. A program that fails or is refused is left as it\n"
    "was; the others are done all the same.\n"
    "\n"
    "References to block numbers: renumber gives them the new numbers of their\n"
    "blocks, each program of the file on its own, and tells on standard error how\n"
    "many it updated and which it could not (a target that is missing, on more\n"
    "than one block, or not a number), which it leaves as they are; introduce\n"
    "tells which references the program has, none of them has a target; remove\n"
    "refuses a program with references unless --force.\n"
    "\n"
    "The result is written with CR LF line breaks in the encoding the program was\n"
    "read in. A file is replaced whole, or written in place where a new file\n"
    "could not take its place (a folder that cannot be written, hard links,\n"
    "another owner); a device or a pipe is written through. Progress and the\n"
    "statistics line go to standard error.\n"
    "Exit status: 0 done, 1 refused (block numbers present or missing, references\n"
    "that remove would break; with --check or --diff also a program that would\n"
    "change; refs: a reference without a definite target), 2 usage error or a\n"
    "file that cannot be read or written (the highest of all programs).\n";

std::int32_t Cislo(const std::string& volba, const std::string& hodnota) {
    if (hodnota.empty() || hodnota.size() > 4 ||
        hodnota.find_first_not_of("0123456789") != std::string::npos)
        throw TChybaPouziti(volba + " needs a whole number from 1 to 9999, not '" + hodnota + "'");
    const auto n = static_cast<std::int32_t>(std::stol(hodnota));
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
                else if (arg == "refs") v.prikaz = TPrikaz::Odkazy;
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
        v.prikaz = TPrikaz::Napoveda;
        return v;
    }
    if (!mamPrikaz) throw TChybaPouziti("no command given");
    if (v.prikaz == TPrikaz::Typy) {
        if (!v.soubory.empty()) throw TChybaPouziti("types takes no FILE");
        return v;
    }
    if (v.soubory.empty()) throw TChybaPouziti("no FILE given");
    const bool standardniVstup = std::find(v.soubory.begin(), v.soubory.end(), "-") != v.soubory.end();
    if (standardniVstup && v.soubory.size() > 1)
        throw TChybaPouziti("standard input (\"-\") is a FILE of its own, not one of several");
    if (v.vystup && v.naMiste) throw TChybaPouziti("-o and --in-place exclude each other");
    if (v.naMiste && standardniVstup) throw TChybaPouziti("--in-place needs a FILE, not standard input");
    if (v.prikaz == TPrikaz::Pocet && (v.vystup || v.naMiste))
        throw TChybaPouziti("count writes no program: -o and --in-place do not apply");
    if (v.prikaz == TPrikaz::Pocet && (v.kontrola || v.rozdil))
        throw TChybaPouziti("count changes nothing: --check and --diff do not apply");
    if ((v.kontrola || v.rozdil) && (v.vystup || v.naMiste))
        throw TChybaPouziti("--check and --diff change nothing: -o and --in-place do not apply");
    if ((v.kontrola || v.rozdil) && standardniVstup)
        throw TChybaPouziti("--check and --diff compare with a FILE, not standard input");
    if (v.vsechny && !v.rekurzivne) throw TChybaPouziti("--all applies to the folders of -r only");
    if (volbaZavedeni && v.prikaz != TPrikaz::Zavest)
        throw TChybaPouziti("--number-start, --number-end and --number-comments apply to introduce only");
    if (v.aktualizovatOdkazy && v.prikaz != TPrikaz::Precislovat)
        throw TChybaPouziti("--keep-references and --update-references apply to renumber only");
    if (v.vynutit && v.prikaz != TPrikaz::Odstranit) throw TChybaPouziti("--force applies to remove only");
    if (v.prikaz == TPrikaz::Odkazy) {
        if (v.soubory.size() > 1 || v.rekurzivne) throw TChybaPouziti("refs takes one FILE");
        if (v.vystup || v.naMiste || v.kontrola || v.rozdil)
            throw TChybaPouziti("refs writes no program: -o, --in-place, --check and --diff do not apply");
        if (v.prvni || v.prirustek || v.maximum || v.cislovatOdZacatku)
            throw TChybaPouziti("refs numbers nothing: --first, --increment, --max, --keep-max and --restart do not apply");
    }
    return v;
}

// A message of the window shown as text lines: "<caption>: <text>", CR breaking the line.
void VypsatHlaseni(TVystupDavky& vystup, const std::u16string& titulek, const std::u16string& text) {
    std::u16string cely = titulek + u": " + text;
    std::replace(cely.begin(), cely.end(), u'\r', u'\n');
    vystup.Hlaseni(DoUtf8(cely));
}

}  // namespace

std::string HlaseniNaRadek(const std::u16string& titulek, const std::u16string& text) {
    std::u16string cely = titulek + u": " + text;
    std::replace(cely.begin(), cely.end(), u'\r', u' ');
    return DoUtf8(cely);
}

// A failure's message as the error box shows it: a full stop is added when
// the last character's code is above that of the full stop.
std::string TextChyby(const std::u16string& zprava) {
    std::u16string z = zprava;
    if (!z.empty() && z.back() > u'.') z += u'.';
    return DoUtf8(z);
}

// Text for a terminal: control characters (C0, DEL and C1) are written as
// \x1b or \u009b, never raw.
std::string BezRidicichZnaku(std::string_view utf8) {
    static constexpr char Hex[] = "0123456789abcdef";
    std::string v;
    v.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const auto dalsi = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        if (b < 0x20 || b == 0x7F) {
            v += "\\x";
            v += Hex[b >> 4];
            v += Hex[b & 0xF];
        } else if (b == 0xC2 && dalsi >= 0x80 && dalsi <= 0x9F) {
            v += "\\u00";
            v += Hex[dalsi >> 4];
            v += Hex[dalsi & 0xF];
            ++i;
        } else {
            v += static_cast<char>(b);
        }
    }
    return v;
}

namespace {

// Every message goes out with its control characters escaped, a message of
// several lines line by line: names and paths come from files and arguments.
class TBezpecnaHlaseni final : public TVystupDavky {
public:
    explicit TBezpecnaHlaseni(TVystupDavky& vystup) : vystup_(vystup) {}
    bool Program(std::string_view bytes) override { return vystup_.Program(bytes); }
    void Hlaseni(std::string_view text) override {
        std::string radky;
        for (;;) {
            const std::size_t konec = text.find('\n');
            radky += BezRidicichZnaku(text.substr(0, konec));
            if (konec == std::string_view::npos) break;
            radky += '\n';
            text.remove_prefix(konec + 1);
        }
        vystup_.Hlaseni(radky);
    }

private:
    TVystupDavky& vystup_;
};

// The window's message when the settings cannot be read.
void HlaseniNastaveni(TVystupDavky& vystup, const std::u16string& zprava) {
    VypsatHlaseni(vystup, rsCHYBA, rsNELZEZEREGISTRU + u".\r(" + zprava + u".)");
}

// The file type list and the numbering settings as the window reads them:
// the list from the store when its key exists, else from files.ftd.
TNastaveniDavky NacistNastaveni(const TProstrediDavky& prostredi, TVystupDavky& vystup) {
    TNastaveniDavky n;
    TNacteneTypy typy;
    if (prostredi.Registr) {
        const std::unique_ptr<TRegistr> registr = prostredi.Registr();
        std::optional<std::u16string> chyba;
        try {
            // As the window reads them: a value of the wrong type ends the reading.
            if (registr->OtevritKlic(prostredi.KlicNastaveni, false)) {
                n.ulozene.Nacist(*registr);
                registr->ZavritKlic();
            }
        } catch (const TChyba& e) {
            registr->ZavritKlic();
            chyba = e.Zprava();
            HlaseniNastaveni(vystup, *chyba);
        }
        // A damaged store is read as far as it goes; the message says what was lost.
        if (const auto poskozeni = registr->Poskozeni()) HlaseniNastaveni(vystup, *poskozeni);
        const std::u16string klicTypu = KlicTypuSouboruPod(prostredi.KlicNastaveni);
        bool zeSouboru = false;
        try {
            zeSouboru = !registr->KlicExistuje(klicTypu);
        } catch (const TChyba&) {
            // NacistTypySouboru meets the same failure and reports it.
        }
        typy = NacistTypySouboru(*registr, zeSouboru, prostredi.SouborTypu, klicTypu);
        if (typy.ChybaUloziste) {
            // A damaged store: nothing of it is used.
            n.ulozene = TUlozeneNastaveni();
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

}  // namespace

TTypSouboru ZvolitTyp(const TVolby& v, const std::vector<TTypSouboru>& typy, const std::filesystem::path& soubor) {
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
            for (const auto& t : typy) znami += "\n  " + BezRidicichZnaku(DoUtf8(t.Nazev));
            throw TChybaPouziti("no file type named '" + BezRidicichZnaku(DoUtf8(*v.typ)) + "'" +
                                (znami.empty() ? std::string() : "; the file types are:" + znami));
        }
        typ = *nalezeny;
    } else if (soubor != "-") {
        if (const auto i = ZvolitTypSouboru(typy, soubor)) typ = typy[*i];
    } else if (!typy.empty()) {
        typ = typy.front();  // standard input has no name
    }
    if (v.hlavni) typ.HlavniZnak = *v.hlavni;
    if (v.vedlejsi) typ.VedlejsiZnak = *v.vedlejsi;
    if (v.zacatek) typ.Zacatek = *v.zacatek;
    if (v.konec) typ.Konec = *v.konec;
    if (v.komentar) typ.Komentar = *v.komentar;
    return typ;
}

TUlozeneNastaveni CislovaniDavky(const TVolby& v, const TUlozeneNastaveni& ulozene) {
    // The options over the stored settings (the switches of introducing are
    // the options' alone); as in the window, the maximum bounds the first
    // number and the increment.
    TUlozeneNastaveni c = ulozene;
    c.PrvniBlok = v.prvni.value_or(c.PrvniBlok);
    c.Prirustek = v.prirustek.value_or(c.Prirustek);
    c.MaximalniBlok = v.maximum.value_or(c.MaximalniBlok);
    c.CislovatOdZacatku = v.cislovatOdZacatku.value_or(c.CislovatOdZacatku);
    c.BlokPredZnakZacatku = v.blokZacatek;
    c.BlokPredZnakKonce = v.blokKonec;
    c.BlokPredZnakKomentare = v.blokKomentar;
    c.AktualizovatOdkazy = v.aktualizovatOdkazy.value_or(c.AktualizovatOdkazy);
    c.NastavitMeze();
    return c;
}

std::optional<std::string_view> OtevritZapis(std::optional<TZapisSouboru>& zapis, const std::filesystem::path& soubor,
                                             const std::filesystem::path& program) {
    zapis.emplace(soubor);
    std::error_code ec;
    if (zapis->NaMiste() && program != "-" && std::filesystem::equivalent(soubor, program, ec))
        return zapis->StaryObsah();
    return std::nullopt;
}

namespace {

// The markers of the file type as the UTF-8 passes take them.
struct TZnackyUtf8 {
    explicit TZnackyUtf8(const TTypSouboru& t)
        : hlavni(t.HlavniZnak), vedlejsi(t.VedlejsiZnak), zacatek(t.Zacatek), konec(t.Konec), komentar(t.Komentar) {}
    cnc::TZnackaUtf8 hlavni, vedlejsi, zacatek, konec, komentar;
};

// Runs a pass over the whole text, which comes again from its start; the
// rest of the lines through zbytky, when given.
std::uint8_t Projit(TProgramPoKusech& cteni, const cnc::TZadani<char>& z, std::size_t radku,
                    cnc::TVystup<char>& vystup, cnc::TZbytekRadku* zbytky = nullptr) {
    cteni.OdZacatku();
    cnc::TPruchod<char> pruchod(z, radku, vystup);
    pruchod.PsatZbytky(zbytky);
    std::string_view kus;
    while (cteni.Dalsi(kus) == TProgramPoKusech::TStav::Kus) pruchod.Pridat(kus);
    const std::uint8_t procenta = pruchod.Procenta();
    vystup.Odevzdat();
    return procenta;
}

}  // namespace

TVysledekProgramu ZpracovatProgram(TPrikaz prikaz, const std::filesystem::path& soubor, const TTypSouboru& typ,
                                   const TUlozeneNastaveni& c, const TCilProgramu& cil, bool vynutit) {
    TVysledekProgramu vysledek;
    std::optional<TCteniSouboru> zdroj;
    if (soubor == "-")
        zdroj.emplace(TCteniSouboru::TStandardniVstup{});
    else
        zdroj.emplace(soubor);
    TProgramPoKusech cteni(*zdroj);
    const TZnackyUtf8 znacky(typ);

    cnc::TZadani<char> z;
    z.Prikaz = prikaz == TPrikaz::Zavest ? cnc::TPrikaz::Zavest
               : prikaz == TPrikaz::Odstranit ? cnc::TPrikaz::Odstranit
                                             : cnc::TPrikaz::Precislovat;
    z.HlavniZnak = znacky.hlavni.Znacka();
    z.VedlejsiZnak = znacky.vedlejsi.Znacka();
    z.Zacatek = znacky.zacatek.Znacka();
    z.Konec = znacky.konec.Znacka();
    z.Komentar = znacky.komentar.Znacka();
    z.PrvniBlok = static_cast<std::uint32_t>(c.PrvniBlok);
    z.Prirustek = static_cast<std::uint32_t>(c.Prirustek);
    z.MaximalniBlok = static_cast<std::uint32_t>(c.MaximalniBlok);
    z.CislovatOdZacatku = c.CislovatOdZacatku;
    z.BlokPredZnakZacatku = c.BlokPredZnakZacatku;
    z.BlokPredZnakKonce = c.BlokPredZnakKonce;
    z.BlokPredZnakKomentare = c.BlokPredZnakKomentare;

    // The first pass: the encoding, the lines and the block lines, and the
    // references to block numbers (all of them, or for a renumber what it
    // changes and reports), read from the same fronts of the lines. A
    // renumber needs them all before it rewrites: a jump may go forward.
    const bool odkazy = prikaz == TPrikaz::Zavest || prikaz == TPrikaz::Odstranit || prikaz == TPrikaz::Odkazy ||
                        (prikaz == TPrikaz::Precislovat && c.AktualizovatOdkazy);
    const TZnakyOdkazu znakyOdkazu = ZnakyOdkazu(z);
    const auto noveOdkazy = [&] {
        if (prikaz != TPrikaz::Precislovat) return TOdkazyBloku(znakyOdkazu);
        TOdkazyBloku o(znakyOdkazu, TCislovaniOdkazu{z.PrvniBlok, z.Prirustek, z.MaximalniBlok, z.CislovatOdZacatku});
        o.NechatJenNevyresene();
        return o;
    };
    std::optional<TOdkazyBloku> hledani;
    std::optional<cnc::TPocitadlo<char>> pocitadlo;
    const auto zacit = [&] {
        if (odkazy)
            hledani.emplace(noveOdkazy());
        else
            pocitadlo.emplace(z.HlavniZnak, z.VedlejsiZnak);
    };
    zacit();
    std::string_view kus;
    for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;) {
        if (stav == TProgramPoKusech::TStav::Znovu)
            zacit();
        else if (hledani)
            hledani->Pridat(kus);
        else
            pocitadlo->Pridat(kus);
    }
    const cnc::TPocty pocty = hledani ? hledani->Pocty() : pocitadlo->Pocty();
    const std::size_t radku = pocty.Radku;
    const auto bloku = static_cast<std::int32_t>(pocty.Bloku);
    vysledek.Bloku = bloku;
    if (hledani) vysledek.Odkazy = hledani->Dokoncit();
    if (prikaz == TPrikaz::Pocet || prikaz == TPrikaz::Odkazy) return vysledek;

    const auto odmitnout = [&](const std::u16string& titulek, const std::u16string& zprava) {
        vysledek.Odmitnuto = true;
        vysledek.Titulek = titulek;
        vysledek.Zprava = zprava;
        return vysledek;
    };
    switch (prikaz) {
        case TPrikaz::Zavest:
            if (bloku > 0) return odmitnout(rsVAROVANI, ZpravaBlokyJsou(bloku));
            break;
        case TPrikaz::Precislovat:
            if (bloku == 0) return odmitnout(rsINFORMACE, ZpravaBlokyNejsou());
            break;
        case TPrikaz::Odstranit:
            if (bloku == 0) return odmitnout(rsINFORMACE, ZpravaNeniCoOdstranit());
            // Removing the numbers breaks every reference to them: not without --force.
            if (!vysledek.Odkazy->Odkazy.empty() && !vynutit)
                return odmitnout(rsVAROVANI, ZpravaOdkazyPredOdstranenim(*vysledek.Odkazy, false));
            break;
        default: return vysledek;  // types and help never come here
    }

    // The encoding is chosen before the first byte goes out. The result holds
    // the characters of the program and the numbers; only a character read in
    // the ANSI code page without a way back, or the block character that
    // introducing writes, can be one the encoding cannot hold: then a pass
    // that writes nothing tells.
    vysledek.Pozadovane = vysledek.Pouzite = KodovaniProZapis(cteni.Kodovani());
    if (!cteni.LzeZapsatZpet() ||
        (z.Prikaz == cnc::TPrikaz::Zavest && !LzeZakodovatUtf8(z.VedlejsiZnak.Text, vysledek.Pozadovane))) {
        bool lze = true;
        cnc::TVystup<char> zkouska(
            [&](std::string_view k) { lze = lze && LzeZakodovatUtf8(k, vysledek.Pozadovane); });
        Projit(cteni, z, radku, zkouska);
        if (!lze) vysledek.Pouzite = TKodovani::Utf8Znacka;
    }

    // The second pass: the program rewritten, piece by piece, into the
    // output. A file is closed while the output opens (Windows sees no hard
    // links of a file that is open, nor replaces it), then read again, or
    // from its old bytes when the output writes it in place; a source that
    // cannot be read again (a pipe) keeps its bytes and stays open.
    const bool znovuOtevrit = soubor != "-" && zdroj->Zpet();
    if (znovuOtevrit) zdroj.reset();
    std::optional<TBajtyVPameti> stare;
    if (const std::optional<std::string_view> stary = cil.Otevrit ? cil.Otevrit() : std::nullopt)
        cteni.CistZ(stare.emplace(*stary));
    else if (znovuOtevrit)
        cteni.CistZ(zdroj.emplace(soubor));
    TPocitadloStatistik statistiky(typ.HlavniZnak, typ.VedlejsiZnak);
    // UTF-8 read goes out as it is: the passes write only whole characters.
    TKodovani k = vysledek.Pouzite;
    const bool cteniUtf8 = cteni.Kodovani() == TKodovani::Utf8 || cteni.Kodovani() == TKodovani::Utf8Znacka;
    bool jakoUtf8 = (k == TKodovani::Utf8 || k == TKodovani::Utf8Znacka) && cteniUtf8;
    std::string zakodovane(ZnackaKodovani(k));
    bool prvniKus = true;
    cnc::TVystup<char> novy([&](std::string_view kus) {
        if (prvniKus) {
            // A text whose first bytes would read back as a mark gets a real
            // one in front; the first piece holds at least its first line.
            prvniKus = false;
            if (const TKodovani sZnackou = KodovaniZapisu(k, kus); sZnackou != k) {
                vysledek.Pouzite = k = sZnackou;
                vysledek.ZacatekJakoZnacka = true;
                zakodovane = ZnackaKodovani(k);
                jakoUtf8 = cteniUtf8;
            }
        }
        statistiky.Pridat(kus);
        if (jakoUtf8 && zakodovane.empty()) {
            cil.Zapsat(kus);
            return;
        }
        PrevestZUtf8(zakodovane, kus, k);
        cil.Zapsat(zakodovane);
        zakodovane.clear();
    });
    // A renumber writes the references that it updates.
    std::optional<TKurzorUprav> kurzor;
    std::optional<TZbytkySUpravami> zbytky;
    if (z.Prikaz == cnc::TPrikaz::Precislovat && vysledek.Odkazy && !vysledek.Odkazy->Upravy.empty())
        zbytky.emplace(kurzor.emplace(vysledek.Odkazy->Upravy));
    vysledek.Procenta = Projit(cteni, z, radku, novy, zbytky ? &*zbytky : nullptr);
    if (!zakodovane.empty()) cil.Zapsat(zakodovane);  // the mark of an empty program
    // The program is read: its file closes before a new one can take its place.
    zdroj.reset();

    const TStatistiky s = statistiky.Statistiky();
    vysledek.Bloku = static_cast<std::int32_t>(s.Bloku);
    vysledek.Radku = s.Radku;
    vysledek.Znaku = s.Znaku;
    return vysledek;
}

std::string DuvodJinehoKodovani(const TVysledekProgramu& r) {
    if (r.ZacatekJakoZnacka)
        return std::string("the program's first bytes in ") + NazevKodovani(r.Pozadovane) +
               " would read back as a byte-order mark";
    return std::string(NazevKodovani(r.Pozadovane)) + " cannot hold every character of the program";
}

std::optional<std::pair<std::u16string, std::u16string>> HlaseniOdkazu(TPrikaz prikaz, const TVysledekProgramu& v) {
    if (v.Odmitnuto || !v.Odkazy || v.Odkazy->Nalezenych == 0) return std::nullopt;
    const TVysledekOdkazu& o = *v.Odkazy;
    switch (prikaz) {
        case TPrikaz::Precislovat:
            return std::pair(o.PocetNevyresenych() > 0 ? rsVAROVANI : rsINFORMACE, ZpravaOdkazu(o, true));
        case TPrikaz::Zavest: return std::pair(rsVAROVANI, ZpravaOdkazu(o, false));
        case TPrikaz::Odstranit: return std::pair(rsVAROVANI, ZpravaOdkazyPredOdstranenim(o, false));
        default: return std::nullopt;
    }
}

namespace {

// refs: the listing on standard output; exit 1 when a reference has no definite target.
int VypsatOdkazy(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup) {
    const std::string& jmeno = v.soubory.front();
    const TVysledekProgramu r = ZpracovatProgram(TPrikaz::Odkazy, jmeno, ZvolitTyp(v, nastaveni.typy, jmeno),
                                                 CislovaniDavky(v, nastaveni.ulozene), {});
    std::string vypis;
    for (const std::u16string& radek : VypisOdkazu(*r.Odkazy)) {
        // The fields TAB-separated, what they hold escaped.
        const std::string utf8 = DoUtf8(radek);
        for (std::size_t od = 0;;) {
            const std::size_t tab = utf8.find('\t', od);
            vypis += BezRidicichZnaku(std::string_view(utf8).substr(od, tab - od));
            if (tab == std::string::npos) break;
            vypis += '\t';
            od = tab + 1;
        }
        vypis += '\n';
    }
    if (!vystup.Program(vypis)) throw TChyba(u"Cannot write to standard output");
    return r.Odkazy->PocetNevyresenych() > 0 ? 1 : 0;
}

// One program, its result to standard output, -o OUT or over itself, the
// statistics on standard error.
int ZpracovatJeden(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup) {
    const std::string& jmeno = v.soubory.front();
    const TTypSouboru typ = ZvolitTyp(v, nastaveni.typy, jmeno);
    std::optional<std::filesystem::path> cil;
    if (v.naMiste) {
        cil = jmeno;
    } else if (v.vystup && *v.vystup != "-") {
        cil = *v.vystup;
        // Into a folder under the program's own name.
        std::error_code ec;
        if (std::filesystem::is_directory(*cil, ec)) *cil /= std::filesystem::path(jmeno).filename();
    }
    // The file is replaced only once the whole result is written.
    std::optional<TZapisSouboru> zapis;
    TCilProgramu kam;
    kam.Otevrit = [&]() -> std::optional<std::string_view> {
        if (!cil) return std::nullopt;
        return OtevritZapis(zapis, *cil, jmeno);
    };
    kam.Zapsat = [&](std::string_view kus) {
        if (zapis) {
            zapis->Zapsat(kus);
        } else if (!vystup.Program(kus)) {
            throw TChyba(u"Cannot write to standard output");
        }
    };
    const auto r = ZpracovatProgram(v.prikaz, jmeno, typ, CislovaniDavky(v, nastaveni.ulozene), kam, v.vynutit);
    if (v.prikaz == TPrikaz::Pocet) {
        if (!vystup.Program(std::to_string(r.Bloku) + "\n")) throw TChyba(u"Cannot write to standard output");
        return 0;
    }
    if (r.Odmitnuto) {
        VypsatHlaseni(vystup, r.Titulek, r.Zprava);
        if (v.prikaz == TPrikaz::Odstranit && r.Odkazy && !r.Odkazy->Odkazy.empty())
            vystup.Hlaseni("tarvik-cli: --force removes the numbers all the same.");
        return 1;
    }
    if (zapis) zapis->Dokoncit();
    if (r.Pouzite != r.Pozadovane)
        vystup.Hlaseni("tarvik-cli: " + DuvodJinehoKodovani(r) + "; it is written as " + NazevKodovani(r.Pouzite) +
                       ".");
    vystup.Hlaseni(std::to_string(r.Procenta) + "%");
    vystup.Hlaseni(DoUtf8(TextStatistiky(r.Radku, r.Znaku, r.Bloku)));
    if (const auto hlaseni = HlaseniOdkazu(v.prikaz, r)) VypsatHlaseni(vystup, hlaseni->first, hlaseni->second);
    return 0;
}

// Several programs, folders, --check or --diff: each program on its own.
bool RezimSlozek(const TVolby& v) {
    if (v.soubory.size() > 1 || v.kontrola || v.rozdil) return true;
    std::error_code ec;
    return v.soubory.front() != "-" && std::filesystem::is_directory(v.soubory.front(), ec);
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
                seznam += BezRidicichZnaku(DoUtf8(*pole[i]));
            }
            seznam += '\n';
        }
        if (!vystup.Program(seznam)) throw TChyba(u"Cannot write to standard output");
        return 0;
    }
    if (v.prikaz == TPrikaz::Odkazy) return VypsatOdkazy(v, nastaveni, vystup);
    if (RezimSlozek(v)) return ZpracovatSlozky(v, nastaveni, vystup);
    return ZpracovatJeden(v, nastaveni, vystup);
}

}  // namespace

int SpustitDavku(const std::vector<std::string>& argumenty, const TProstrediDavky& prostredi,
                 TVystupDavky& vystupProgramu) {
    TBezpecnaHlaseni vystup(vystupProgramu);
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
        vystup.Hlaseni("tarvik-cli: " + TextChyby(e.Zprava()));
    } catch (const std::bad_alloc&) {
        vystup.Hlaseni("tarvik-cli: Not enough memory for this program; nothing was written.");
    }
    return 2;
}
