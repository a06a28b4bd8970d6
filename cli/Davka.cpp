#include "Davka.h"

#include "Napoveda.h"
#include "TarvikVerze.h"

#include "filetypes/SeznamTypu.h"
#include "filetypes/TypSouboru.h"
#include "filetypes/UlozeneNastaveni.h"
#include "katalog/JazykUzivatele.h"
#include "katalog/TextyChyb.h"
#include "katalog/TextyDavky.h"
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

// A message of the window shown as text lines: "<caption>: <text>", CR breaking the line.
void VypsatHlaseni(TVystupDavky& vystup, const std::u16string& titulek, const std::u16string& text) {
    std::u16string cely = titulek + u": " + text;
    std::replace(cely.begin(), cely.end(), u'\r', u'\n');
    vystup.Hlaseni(DoUtf8(cely));
}

void VypsatHlaseni(TVystupDavky& vystup, const THlaseniPrikazu& h) { VypsatHlaseni(vystup, h.Titulek, h.Text); }

}  // namespace

std::string HlaseniNaRadek(const THlaseniPrikazu& h) {
    std::u16string cely = h.Titulek + u": " + h.Text;
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
    bool Terminal() const override { return vystup_.Terminal(); }
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

// The file type list and the numbering settings as the window reads them:
// the list from the store when its key exists, else from files.ftd. What
// went wrong is kept, to be told once the language is known (OhlasitNastaveni).
TNastaveniDavky NacistNastaveni(const TProstrediDavky& prostredi) {
    TNastaveniDavky n;
    TNacteneTypy typy;
    if (prostredi.Registr) {
        const std::unique_ptr<TRegistr> registr = prostredi.Registr();
        // The settings and the file type list of one run are one version of the store.
        registr->Zmrazit();
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
            n.chybyUloziste.push_back(std::current_exception());
        }
        // A damaged store is read as far as it goes; the message says what was lost.
        if (const auto poskozeni = registr->Poskozeni())
            n.chybyUloziste.push_back(std::make_exception_ptr(TChyba(*poskozeni)));
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
            if (typy.ChybaUloziste != chyba)
                n.chybyUloziste.push_back(std::make_exception_ptr(TChyba(*typy.ChybaUloziste)));
            n.nahradni = true;
        }
    } else {
        typy = NacistTypyZeSouboru(prostredi.SouborTypu);
    }
    n.chybiSoubor = typy.ChybiSoubor;
    n.typy = std::move(typy.Typy);
    return n;
}

// What reading the settings met, in the current language: the window's messages.
void OhlasitNastaveni(const TNastaveniDavky& n, TVystupDavky& vystup) {
    for (const std::exception_ptr& chyba : n.chybyUloziste) {
        std::u16string zprava;
        try {
            std::rethrow_exception(chyba);
        } catch (const TChyba& e) {
            zprava = PrelozenaChyba(e);
        }
        VypsatHlaseni(vystup, rsCHYBA, rsNELZEZEREGISTRU + u".\r(" + zprava + u".)");
    }
    if (n.nahradni) vystup.Hlaseni("tarvik-cli: " + DoUtf8(rsDNAHRADNI));
    if (n.chybiSoubor) VypsatHlaseni(vystup, rsVAROVANI, rsNEDEFSOUBORY + u".");
}

// The number of a line of "types" (1 for the first): digits alone, without a
// sign or leading zero.
std::optional<std::size_t> CisloTypu(std::u16string_view text) {
    if (text.empty() || text.size() > 6 || text.front() == u'0') return std::nullopt;
    std::size_t cislo = 0;
    for (const char16_t c : text) {
        if (c < u'0' || c > u'9') return std::nullopt;
        cislo = cislo * 10 + std::size_t(c - u'0');
    }
    return cislo;
}

// -t auto, where no type of the list is named so: the type the program's words point to.
bool TypAuto(const TVolby& v, const std::vector<TTypSouboru>& typy) {
    return v.typ && *v.typ == u"auto" &&
           std::none_of(typy.begin(), typy.end(), [](const TTypSouboru& t) { return t.Nazev == u"auto"; });
}

// The type by the file's name (standard input: the first), with the options' fields over it.
TTypSouboru TypBezVolby(const TVolby& v, const std::vector<TTypSouboru>& typy, const std::filesystem::path& soubor) {
    TVolby bez = v;
    bez.typ.reset();
    return ZvolitTyp(bez, typy, soubor);
}

// The options' fields over a type.
void PrepsatPole(const TVolby& v, TTypSouboru& typ) {
    if (v.hlavni) typ.HlavniZnak = *v.hlavni;
    if (v.vedlejsi) typ.VedlejsiZnak = *v.vedlejsi;
    if (v.zacatek) typ.Zacatek = *v.zacatek;
    if (v.konec) typ.Konec = *v.konec;
    if (v.komentar) typ.Komentar = *v.komentar;
    if (v.druhyOdkazu) typ.DruhyOdkazu = *v.druhyOdkazu;
}

}  // namespace

TTypSouboru ZvolitTyp(const TVolby& v, const std::vector<TTypSouboru>& typy, const std::filesystem::path& soubor) {
    if (TypAuto(v, typy)) return TypBezVolby(v, typy, soubor);  // until the program is read
    TTypSouboru typ;
    if (v.typ) {
        const TTypSouboru* nalezeny = nullptr;
        for (const auto& t : typy)
            if (t.Nazev == *v.typ) {
                nalezeny = &t;
                break;
            }
        // No type of that name: the number of a line of "types".
        if (const auto cislo = CisloTypu(*v.typ); !nalezeny && cislo && *cislo <= typy.size())
            nalezeny = &typy[*cislo - 1];
        if (!nalezeny) {
            std::string zprava = Vyplnit(rsDNEZNAMYTYP, {BezRidicichZnaku(DoUtf8(*v.typ))});
            if (!typy.empty()) zprava += "; " + DoUtf8(rsDTYPYSOUBORU);
            for (std::size_t i = 0; i < typy.size(); ++i)
                zprava += "\n  " + std::to_string(i + 1) + "  " + BezRidicichZnaku(DoUtf8(typy[i].Nazev));
            throw TChybaPouziti(zprava);
        }
        typ = *nalezeny;
    } else if (soubor != "-") {
        if (const auto i = ZvolitTypSouboru(typy, soubor)) typ = typy[*i];
    } else if (!typy.empty()) {
        typ = typy.front();  // standard input has no name
    }
    PrepsatPole(v, typ);
    return typ;
}

TZadaniPrikazu ZadaniProgramu(const TVolby& v, const TNastaveniDavky& nastaveni, const std::filesystem::path& soubor) {
    TZadaniPrikazu z;
    z.Prikaz = v.prikaz;
    z.Typ = ZvolitTyp(v, nastaveni.typy, soubor);
    // The options over the stored settings (a switch one way only over its
    // built-in default: VolbyNastaviVse); the task bounds them as the
    // window's are.
    TUlozeneNastaveni& c = z.Cislovani;
    c = nastaveni.ulozene;
    static const TUlozeneNastaveni vychozi;
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy())
        if (!TUlozeneNastaveni::VolbyNastaviVse(p)) c.Prevzit(p, vychozi);
    for (const TVolby::TNastaveni& n : v.nastaveni) c.Nastavit(*n.Popis, n.Hodnota);
    z.Vynutit = v.vynutit;
    if (TypAuto(v, nastaveni.typy))
        z.TypPodleOdhadu = [v, typy = nastaveni.typy, soubor](const TOdhadTypu& odhad) {
            const std::optional<std::size_t> i = TypPodleOdhadu(typy, odhad.Nareci);
            if (!i) return TypBezVolby(v, typy, soubor);
            TTypSouboru typ = typy[*i];
            PrepsatPole(v, typ);
            return typ;
        };
    return z;
}

std::string ZpravaOdhadu(const TVysledekProgramu& r) {
    if (!r.Typ || !r.OdhadTypu) return {};
    const TOdhadTypu& o = *r.OdhadTypu;
    if (o.Nareci == TNareci::Nezname || NazevTypuNareci(o.Nareci) != r.Typ->Nazev)
        return Vyplnit(rsDAUTONENI, {BezRidicichZnaku(DoUtf8(r.Typ->Nazev))});
    std::string radky;
    for (const TDukazOdhadu& d : o.Dukazy) radky += (radky.empty() ? "" : ", ") + std::to_string(d.Radek + 1);
    return Vyplnit(rsDAUTO, {BezRidicichZnaku(DoUtf8(r.Typ->Nazev)), radky});
}

namespace {

// refs: the listing on standard output; exit 1 when a reference has no definite target.
int VypsatOdkazy(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup) {
    const std::string& jmeno = v.soubory.front();
    const TVysledekProgramu r = ZpracovatProgram(ZadaniProgramu(v, nastaveni, jmeno), std::filesystem::path(jmeno), {});
    if (const std::string odhad = ZpravaOdhadu(r); !odhad.empty()) vystup.Hlaseni("tarvik-cli: " + odhad);
    if (r.Odmitnuti) {
        VypsatHlaseni(vystup, *r.Odmitnuti);
        return 1;
    }
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
    if (!vystup.Program(vypis)) throw TChyba(rsDNELZEVYSTUP);
    // The words the type does not read, which another control reads as references.
    if (const auto nectena = HlaseniOdkazu(TPrikazProgramu::Odkazy, false, *r.Odkazy, std::size_t(-1), r.Odhad))
        VypsatHlaseni(vystup, *nectena);
    return r.Odkazy->PocetNevyresenych() > 0 ? 1 : 0;
}

// One program, its result to standard output, -o OUT or over itself, the
// statistics on standard error.
int ZpracovatJeden(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup) {
    const std::string& jmeno = v.soubory.front();
    const TZadaniPrikazu zadani = ZadaniProgramu(v, nastaveni, jmeno);
    std::optional<std::filesystem::path> cil;
    if (v.naMiste) {
        cil = jmeno;
    } else if (v.vystup && *v.vystup != "-") {
        cil = *v.vystup;
        // Into a folder under the program's own name.
        std::error_code ec;
        if (std::filesystem::is_directory(*cil, ec)) *cil /= std::filesystem::path(jmeno).filename();
    }
    // A pipe or a device is no file to write a program over: reading it
    // would wait for a writer, and what it gave would never come back.
    if (v.naMiste) OveritBeznySoubor(std::filesystem::path(jmeno));
    // The file is replaced only once the whole result is written, and only
    // while it is still the program read.
    std::optional<TZapisSouboru> zapis;
    TCilProgramu kam;
    kam.Otevrit = [&](const TPrecteno& precteno) -> std::optional<std::string_view> {
        if (!cil) return std::nullopt;
        return OtevritZapis(zapis, *cil, jmeno, precteno.Otisk);
    };
    kam.Zapsat = [&](std::string_view kus) {
        if (zapis) {
            zapis->Zapsat(kus);
        } else if (!vystup.Program(kus)) {
            throw TChyba(rsDNELZEVYSTUP);
        }
    };
    const auto r = ZpracovatProgram(zadani, std::filesystem::path(jmeno), kam);
    if (const std::string odhad = ZpravaOdhadu(r); !odhad.empty()) vystup.Hlaseni("tarvik-cli: " + odhad);
    if (r.Odmitnuti) {
        VypsatHlaseni(vystup, *r.Odmitnuti);
        if (r.Odmitnuti->Druh == TDruhHlaseni::Dotaz)
            vystup.Hlaseni("tarvik-cli: " + DoUtf8(rsDVYNUTIT));
        return 1;
    }
    if (v.prikaz == TPrikazProgramu::Pocet) {
        if (!vystup.Program(std::to_string(r.Bloku) + "\n")) throw TChyba(rsDNELZEVYSTUP);
        return 0;
    }
    if (zapis) zapis->Dokoncit();
    if (r.Pouzite != r.Pozadovane)
        vystup.Hlaseni("tarvik-cli: " + Vyplnit(rsDZAPISUJESEJAKO, {DuvodJinehoKodovani(r), NazevKodovani(r.Pouzite)}));
    // The engine's progress, for a person watching; not into logs and pipes.
    if (vystup.Terminal()) vystup.Hlaseni(std::to_string(r.Procenta) + "%");
    vystup.Hlaseni(DoUtf8(TextStatistiky(r.Radku, r.Znaku, r.Bloku)));
    if (r.Odkazy)
        if (const auto hlaseni =
                HlaseniOdkazu(v.prikaz, zadani.Cislovani.AktualizovatOdkazy, *r.Odkazy, std::size_t(-1), r.Odhad))
            VypsatHlaseni(vystup, *hlaseni);
    return 0;
}

// Several programs, folders, --check or --diff: each program on its own.
bool RezimSlozek(const TVolby& v) {
    if (v.soubory.size() > 1 || v.kontrola || v.rozdil) return true;
    std::error_code ec;
    return v.soubory.front() != "-" && std::filesystem::is_directory(v.soubory.front(), ec);
}

int Zpracovat(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup) {
    OhlasitNastaveni(nastaveni, vystup);
    const std::vector<TTypSouboru>& typy = nastaveni.typy;
    // Without a file type the markers of a program are unknown: a guess
    // would number the start line and every other line in digit mode.
    const bool znackyZVoleb = v.hlavni && v.vedlejsi && v.zacatek && v.konec && v.komentar;
    if (typy.empty() && v.cinnost == TCinnost::Program && !znackyZVoleb)
        throw TChyba(rsDBEZTYPU);
    if (v.cinnost == TCinnost::Typy && v.odhadnout) {
        // The type the words point to, and the lines it goes by.
        const TOdhadTypu o = OdhadnoutProgram(v.soubory.front());
        if (o.Nareci == TNareci::Nezname) {
            vystup.Hlaseni("tarvik-cli: " + DoUtf8(rsODHADNENI) + ".");
            return 1;
        }
        std::string text = BezRidicichZnaku(DoUtf8(NazevTypuNareci(o.Nareci))) + "\n";
        for (const TDukazOdhadu& d : o.Dukazy)
            text += DoUtf8(rsRADEK) + " " + std::to_string(d.Radek + 1) + ": " + BezRidicichZnaku(d.Text) + "\n";
        if (!vystup.Program(text)) throw TChyba(rsDNELZEVYSTUP);
        return 0;
    }
    if (v.cinnost == TCinnost::Typy) {
        // The seven fields, then the families of references the type reads
        // (its own or its default) in the stored short form.
        std::string seznam;
        for (const auto& t : typy) {
            for (const std::u16string* pole : t.Pole()) seznam += BezRidicichZnaku(DoUtf8(*pole)) + '\t';
            seznam += ZapsatDruhy(DruhyOdkazuTypu(t)) + '\n';
        }
        if (!vystup.Program(seznam)) throw TChyba(rsDNELZEVYSTUP);
        return 0;
    }
    if (v.prikaz == TPrikazProgramu::Odkazy) return VypsatOdkazy(v, nastaveni, vystup);
    if (RezimSlozek(v)) return ZpracovatSlozky(v, nastaveni, vystup);
    return ZpracovatJeden(v, nastaveni, vystup);
}

}  // namespace

int SpustitDavku(const std::vector<std::string>& argumenty, const TProstrediDavky& prostredi,
                 TVystupDavky& vystupProgramu) {
    TBezpecnaHlaseni vystup(vystupProgramu);
    try {
        // The language comes first, so that everything is told in it: --lang,
        // else the one chosen in the window (stored with the settings, which
        // are read before the command line is; what reading them met is told
        // once it is read), else the locale's. A language asked for that
        // cannot be used is warned of; the locale's falls back on Czech
        // without a word.
        const TNastaveniDavky nastaveni = NacistNastaveni(prostredi);
        const std::optional<std::string> volba = JazykZArgumentu(argumenty);
        const TUlozeneNastaveni& ulozene = nastaveni.ulozene;
        const bool vyzadany = volba || ulozene.JazykZvolen;
        const std::string jazyk = volba ? *volba : JazykUzivatele(ulozene.JazykZvolen, ulozene.Jazyk, prostredi.JazykZProstredi);
        for (const std::u16string& varovani : NastavitJazyk(jazyk, prostredi.SouborJazyku))
            if (vyzadany) VypsatHlaseni(vystup, rsVAROVANI, varovani + u".");
        const TVolby v = RozebratArgumenty(argumenty);
        if (v.cinnost == TCinnost::Napoveda) return vystup.Program(NapovedaDavky()) ? 0 : 2;
        if (v.cinnost == TCinnost::Verze) return vystup.Program("tarvik-cli " TARVIK_VERZE "\n" TARVIK_O_LICENCI) ? 0 : 2;
        return Zpracovat(v, nastaveni, vystup);
    } catch (const TChybaPouziti& e) {
        vystup.Hlaseni(std::string("tarvik-cli: ") + e.what());
        vystup.Hlaseni(DoUtf8(rsDZKUSTNAPOVEDU));
    } catch (const TChyba& e) {
        vystup.Hlaseni("tarvik-cli: " + TextChyby(PrelozenaChyba(e)));
    } catch (const std::bad_alloc&) {
        vystup.Hlaseni("tarvik-cli: " + DoUtf8(rsDMALOPAMETI));
    } catch (const std::exception& e) {
        // Nothing may end the tool without a word: an unforeseen failure is
        // told as one, and what was being written is left as it was.
        vystup.Hlaseni("tarvik-cli: " + Vyplnit(rsDNECEKANE, {e.what()}));
    }
    return 2;
}
