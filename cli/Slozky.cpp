// The batch tool over many programs: the programs of the arguments and their
// folders, each processed on its own, several at once, the results told in
// the order given.
#include "Davka.h"
#include "Rozdil.h"

#include "katalog/TextyChyb.h"
#include "katalog/TextyDavky.h"
#include "katalog/convar.h"
#include "platform/Chyba.h"
#include "platform/CteniTextu.h"
#include "platform/ZapisSouboru.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>
#include <tuple>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

// One program to process, in the order of the arguments.
struct TProgram {
    fs::path soubor;
    fs::path cil;                       // -o: where its result goes
    std::optional<std::u16string> chyba;  // a folder that could not be read or searched
    std::optional<fs::path> tyz;        // another name of a program before it: not processed again
    // Found in a folder: the folder named and the path below it, where no
    // link is followed, and the file the walk found (device and number).
    fs::path koren, relativni;
    std::optional<std::pair<std::uint64_t, std::uint64_t>> identita;
    // -o: the result's path below the output folder.
    fs::path cilRelativni;

    // The program's file as it is read and written over itself.
    TCestaSouboru Zdroj() const {
        if (relativni.empty()) return TCestaSouboru(soubor);
        TCestaSouboru c(koren, relativni);
        c.Cesta = soubor;
        c.Identita = identita;
        return c;
    }
    // Its result in the output folder, reached without following a link below it.
    TCestaSouboru Vystup(const fs::path& cilova) const {
        TCestaSouboru c(cilova, cilRelativni);
        c.Cesta = cil;
        return c;
    }
};

// What became of one program: its line on standard error, what it prints on
// standard output, and its exit code.
struct TVysledek {
    int kod = 0;
    std::string radek;
    std::string vystup;
    // A replacement waiting in the run's TDavkaZapisu: the line holds until
    // it is done, and tells its failure instead.
    std::optional<std::size_t> zapis;
    std::string jmeno;
    // --diff: the diff, printed on standard output in its turn.
    std::unique_ptr<TDocasnySoubor> rozdil;
};

// True when two sources hold the same bytes, read a block at a time.
bool StejneBajty(TZdrojBajtu& a, TZdrojBajtu& b) {
    constexpr std::size_t Blok = std::size_t{1} << 16;
    std::string x(Blok, '\0'), y(Blok, '\0');
    const auto plny = [](TZdrojBajtu& z, std::string& blok) {
        std::size_t n = 0;
        while (n < blok.size())
            if (const std::size_t k = z.Precist(blok.data() + n, blok.size() - n)) n += k;
            else break;
        return n;
    };
    for (;;) {
        const std::size_t na = plny(a, x), nb = plny(b, y);
        if (na != nb || std::memcmp(x.data(), y.data(), na) != 0) return false;
        if (na < Blok) return true;
    }
}

// Replacements that wait to be finished together, each holding its new file
// and its folder open, and the programs done ahead of the one whose line is
// told next (twice as many; a --diff among them holds a temporary file). A
// program at work holds a few more (its file, its new file and folder, the
// comparison's temporary files). All of it stays within the limit of open
// files (ulimit -n), which leaves 64 at its usual 1,024; fewer programs run
// at once when it is very low.
constexpr std::size_t NejvyseCekajicich = 64;
constexpr std::uint64_t PopisovacuNaUlohu = 8, PopisovacuRezerva = 16;

std::uint64_t MezPopisovacu() {
#ifndef _WIN32
    rlimit l {};
    if (::getrlimit(RLIMIT_NOFILE, &l) == 0 && l.rlim_cur != RLIM_INFINITY) return l.rlim_cur;
#endif
    return UINT64_MAX;
}

unsigned UlohVMezi(unsigned uloh) {
    const std::uint64_t mez = MezPopisovacu();
    const std::uint64_t nejvyse = mez > PopisovacuRezerva + PopisovacuNaUlohu
                                      ? (mez - PopisovacuRezerva) / PopisovacuNaUlohu / 2
                                      : 1;
    return static_cast<unsigned>(std::clamp<std::uint64_t>(nejvyse, 1, uloh));
}

std::size_t MezCekajicich(unsigned uloh) {
    const std::uint64_t mez = MezPopisovacu();
    const std::uint64_t rezerva = PopisovacuRezerva + PopisovacuNaUlohu * uloh;
    return static_cast<std::size_t>(std::clamp<std::uint64_t>(mez > rezerva ? (mez - rezerva) / 3 : 1, 1, NejvyseCekajicich));
}

// A path in a status line: control characters escaped, so that a name with
// a line break cannot split or forge a line.
std::string Zobrazeni(const fs::path& p) { return BezRidicichZnaku(DoUtf8(TextCesty(p))); }

// ": failed: " in the catalogue's language, between a program's name and the reason.
std::string Selhal() { return ": " + TextStavu(TStavProgramu::Selhal) + ": "; }

bool Skryty(const fs::path& p) {
    // filename() is a temporary: its name is copied, never referred to.
    const auto jmeno = p.filename().native();
    return !jmeno.empty() && jmeno.front() == '.';
}

// The reason of a folder's failure, in the tool's language.
std::string DuvodSlozky(const std::error_code& ec) {
    return ec.category() == std::system_category() || ec.category() == std::generic_category()
               ? DoUtf8(TextDuvodu(static_cast<TKodSystemu>(ec.value())))
               : ec.message();
}

// The programs of a folder and its subfolders, by name: hidden files and
// folders, symbolic links (to files or folders: inside a folder no link is
// followed, so that a link cannot lead the tool out of the tree) and
// everything that is not a file are left out. An entry that cannot be
// looked at (a folder that can be read but not searched, a path past the
// system's limit) is told in its place. Each program keeps the file the
// walk found, which is all that is read and written later: nothing swapped
// in for it or for a folder on the way is followed.
void ProjitSlozku(const fs::path& koren, const fs::path& relativni, const TVolby& v,
                  const std::vector<TTypSouboru>& typy, const fs::path& cilova, std::vector<TProgram>& programy) {
    const fs::path slozka = relativni.empty() ? koren : koren / relativni;
    std::error_code ec;
    std::vector<fs::directory_entry> polozky;
    for (fs::directory_iterator i(slozka, ec), konec; !ec && i != konec; i.increment(ec)) polozky.push_back(*i);
    if (ec) {
        TProgram chybna;
        chybna.soubor = slozka;
        chybna.chyba = ZUtf8(Vyplnit(rsDNELZECISTSLOZKU, {DoUtf8(TextCesty(slozka))}) + " " + DuvodSlozky(ec));
        programy.push_back(std::move(chybna));
        return;
    }
    std::sort(polozky.begin(), polozky.end(),
              [](const auto& x, const auto& y) { return x.path().filename() < y.path().filename(); });
    for (const auto& polozka : polozky) {
        const fs::path& p = polozka.path();
        if (Skryty(p)) continue;
        const fs::file_status stav = polozka.symlink_status(ec);
        if (ec) {
            TProgram chybna;
            chybna.soubor = p;
            chybna.chyba = ZUtf8(Vyplnit(rsDNELZECISTPOLOZKU, {DoUtf8(TextCesty(slozka)), DoUtf8(TextCesty(p.filename()))}) +
                                 " " + DuvodSlozky(ec));
            programy.push_back(std::move(chybna));
            continue;
        }
        if (fs::is_directory(stav)) {
            ProjitSlozku(koren, relativni / p.filename(), v, typy, cilova, programy);
            continue;
        }
        if (!fs::is_regular_file(stav) || (!v.vsechny && !TypPodleJmena(typy, p))) continue;
        TProgram program;
        program.soubor = p;
        program.koren = koren;
        program.relativni = relativni / p.filename();
        program.cilRelativni = program.relativni;
        program.cil = cilova / program.cilRelativni;
#ifndef _WIN32
        struct stat st {};
        if (::lstat(p.c_str(), &st) == 0) program.identita = std::pair(std::uint64_t(st.st_dev), std::uint64_t(st.st_ino));
#endif
        programy.push_back(std::move(program));
    }
}

// The same file (the device and number of the file a path names, links
// followed), or the path itself where there is none.
using TKlicSouboru = std::tuple<std::uintmax_t, std::uintmax_t, std::string>;
std::optional<TKlicSouboru> KlicSouboru(const fs::path& p) {
#ifndef _WIN32
    struct stat st {};
    if (::stat(p.c_str(), &st) == 0) return TKlicSouboru{st.st_dev, st.st_ino, {}};
    return std::nullopt;
#else
    std::error_code ec;
    const fs::path kanonicka = fs::weakly_canonical(p, ec);
    return TKlicSouboru{0, 0, (ec ? p : kanonicka).generic_string()};
#endif
}

// True when folder vnitrni is slozka or lies below it (both as they are on
// disk, links followed; a folder not yet made by the path it would get).
bool VeSlozce(const fs::path& vnitrni, const fs::path& slozka) {
    std::error_code ec;
    const fs::path a = fs::weakly_canonical(fs::absolute(vnitrni, ec), ec);
    const fs::path b = fs::weakly_canonical(fs::absolute(slozka, ec), ec);
    if (ec) return false;
    auto i = a.begin();
    for (auto j = b.begin(); j != b.end(); ++j, ++i) {
        if (j->empty()) continue;  // the empty last element of a path ending in a separator
        if (i == a.end() || *i != *j) return false;
    }
    return true;
}

// The programs of the arguments, each once.
std::vector<TProgram> NajitProgramy(const TVolby& v, const std::vector<TTypSouboru>& typy) {
    const fs::path cilova = v.vystup ? fs::path(*v.vystup) : fs::path();
    std::vector<TProgram> programy;
    for (const std::string& argument : v.soubory) {
        const fs::path p(argument);
        std::error_code ec;
        if (fs::is_directory(p, ec)) {
            if (!v.rekurzivne)
                throw TChybaPouziti(Vyplnit(rsDJESLOZKA, {BezRidicichZnaku(argument)}));
            // -o into the folder read, or below it: its results would be
            // read as programs, or written over programs not yet read.
            if (v.vystup && VeSlozce(cilova, p))
                throw TChybaPouziti(Vyplnit(rsDVYSTUPUVNITR, {Zobrazeni(cilova), BezRidicichZnaku(argument)}));
            ProjitSlozku(p, {}, v, typy, cilova, programy);
        } else {
            // Named on the command line: taken whatever its extension (a link is followed).
            TProgram program;
            program.soubor = p;
            program.cilRelativni = p.filename();
            program.cil = cilova / program.cilRelativni;
            programy.push_back(std::move(program));
        }
    }

    // A program reached twice (named and in a folder, by a link or a hard
    // link) is processed once: two writers of one file would lose one result.
    // Another name of it gets a line of its own, so that a name that is not
    // written is never passed over in silence.
    std::map<TKlicSouboru, fs::path> videne;
    std::map<std::string, bool> jmena;
    std::vector<TProgram> jednou;
    for (TProgram& program : programy) {
        if (!program.chyba) {
            const std::optional<TKlicSouboru> klic = KlicSouboru(program.soubor);
            const auto [prvni, novy] =
                videne.emplace(klic.value_or(TKlicSouboru{0, 0, program.soubor.generic_string()}), program.soubor);
            if (!novy) {
                // The same name again (named and in a folder): nothing to tell.
                if (!jmena.emplace(program.soubor.lexically_normal().generic_string(), true).second) continue;
                program.tyz = prvni->second;
            }
            jmena.emplace(program.soubor.lexically_normal().generic_string(), true);
        }
        jednou.push_back(std::move(program));
    }

    if (v.vystup) {
        std::map<std::string, const TProgram*> cile;
        for (const TProgram& program : jednou) {
            if (program.chyba || program.tyz) continue;
            // Two programs into one file of -o FOLDER: the second would replace the first.
            const auto [i, nove] = cile.emplace(program.cil.lexically_normal().generic_string(), &program);
            if (!nove)
                throw TChybaPouziti(Vyplnit(
                    rsDSTEJNYCIL, {Zobrazeni(i->second->soubor), Zobrazeni(program.soubor), Zobrazeni(program.cil)}));
            // A result written over a program to be read (not its own): that
            // program would exist in no file.
            if (const auto klic = KlicSouboru(program.cil); klic && videne.count(*klic) &&
                                                            KlicSouboru(program.soubor) != klic)
                throw TChybaPouziti(Vyplnit(rsDZAPSALBYPRES, {Zobrazeni(program.soubor), Zobrazeni(program.cil)}));
        }
    }
    return jednou;
}

// One program: processed, and written over itself or into -o FOLDER, or
// compared with itself (--check, --diff). A failure (TChyba) is thrown.
void ZpracovatJeden(const TVolby& v, const TNastaveniDavky& nastaveni, const TProgram& program, TDavkaZapisu& davka,
                    TVysledek& r) {
    const std::string& jmeno = r.jmeno;
    if (program.chyba) throw TChyba(*program.chyba);
    const bool porovnat = v.kontrola || v.rozdil;
    const TCestaSouboru zdroj = program.Zdroj();
    // A pipe or a device named is no file to write a program over (one in a
    // folder is never taken).
    if (v.naMiste && program.relativni.empty()) OveritBeznySoubor(zdroj);
    std::optional<TZapisSouboru> zapis;
    // --check, --diff: the result in a temporary file, never whole in memory.
    std::optional<TDocasnySoubor> novy;
    if (porovnat) novy.emplace();
    // What the first reading gave: the writer over the program, and the
    // comparison's reading, check that it is still that file.
    TPrecteno precteno;
    TCilProgramu kam;
    kam.Otevrit = [&](const TPrecteno& p) -> std::optional<std::string_view> {
        precteno = p;
        if (porovnat) return std::nullopt;
        // (The output folders missing below -o are made by the writing.)
        return OtevritZapis(zapis, v.naMiste ? zdroj : program.Vystup(*v.vystup), program.soubor, p.Otisk);
    };
    kam.Zapsat = [&](std::string_view kus) {
        if (porovnat)
            novy->Zapsat(kus);
        else
            zapis->Zapsat(kus);
    };
    const TZadaniPrikazu zadani = ZadaniProgramu(v, nastaveni, program.soubor);
    const TVysledekProgramu p = ZpracovatProgram(zadani, zdroj, kam);
    if (p.Odmitnuti) {
        r.kod = 1;
        r.radek = jmeno + ": " + TextStavu(TStavProgramu::Odmitnut) + ": " + BezRidicichZnaku(HlaseniNaRadek(*p.Odmitnuti));
        return;
    }
    if (v.prikaz == TPrikazProgramu::Pocet) {
        r.radek = jmeno + ": " + TextPoctuBloku(p.Bloku);
        r.vystup = std::to_string(p.Bloku) + " " + jmeno + "\n";
        return;
    }
    std::string stav = TextStavu(TStavProgramu::Hotovo);
    if (porovnat) {
        // Read a third time: still the file, and the bytes, that were read.
        TCteniSouboru stary(zdroj, &precteno);
        stav = TextStavu(TStavProgramu::BezZmeny);
        if (!StejneBajty(stary, *novy)) {
            r.kod = 1;
            stav = TextStavu(TStavProgramu::ZmenilBy);
            bool radky;
            if (v.rozdil) {
                r.rozdil = std::make_unique<TDocasnySoubor>();
                radky = UnifikovanyRozdil(jmeno, stary, *novy, [&](std::string_view kus) { r.rozdil->Zapsat(kus); });
            } else {
                radky = !StejneRadky(stary, *novy);
            }
            if (!radky) stav += " " + DoUtf8(rsDJENZLOMY);
        }
    } else {
        r.zapis = zapis->Dokoncit(davka);
    }
    r.radek = jmeno + ": " + stav + ", " + TextPoctuBloku(p.Bloku) + ", " + std::to_string(p.Procenta) + "%";
    if (p.Pouzite != p.Pozadovane)
        r.radek += "; " + Vyplnit(porovnat ? rsDBYLBYZAPSAN : rsDZAPSAN, {NazevKodovani(p.Pouzite), DuvodJinehoKodovani(p)});
    // What became of the references, a line each, under the program's name.
    if (const auto hlaseni = p.Odkazy ? HlaseniOdkazu(v.prikaz, zadani.Cislovani.AktualizovatOdkazy, *p.Odkazy,
                                                      std::size_t(-1), p.Odhad)
                                      : std::nullopt) {
        std::u16string text = hlaseni->Titulek + u": " + hlaseni->Text;
        for (std::size_t od = 0;;) {
            const std::size_t cr = text.find(u'\r', od);
            r.radek += "\n" + jmeno + ": " + BezRidicichZnaku(DoUtf8(std::u16string_view(text).substr(od, cr - od)));
            if (cr == std::u16string::npos) break;
            od = cr + 1;
        }
    }
}

// True for a failure to write for want of room on the disk.
bool ChybiMisto(const TChybaSouboru& e) {
    const TUdajeChyby& u = e.Udaje();
    return u.Cinnost == TCinnostSouboru::Zapis && (u.Proc == TProcChyby::Systemova || u.Proc == TProcChyby::Slozka) &&
           DruhDuvodu(u.Kod) == TDruhDuvodu::MistoNaDisku;
}

// One program and what became of it; a failure leaves it as it was.
TVysledek ZpracovatPolozku(const TVolby& v, const TNastaveniDavky& nastaveni, const TProgram& program,
                           TDavkaZapisu& davka) {
    TVysledek r;
    const std::string jmeno = Zobrazeni(program.soubor);
    r.jmeno = jmeno;
    if (program.tyz) {
        r.radek = jmeno + ": " + TextStavu(TStavProgramu::Preskocen) + ": " + Vyplnit(rsDTYZSOUBOR, {Zobrazeni(*program.tyz)});
        if (v.vystup && v.prikaz != TPrikazProgramu::Pocet)
            r.radek += "; " + Vyplnit(rsDNEZAPISE, {Zobrazeni(program.cil)});
        return r;
    }
    for (bool znovu = true;;) {
        try {
            ZpracovatJeden(v, nastaveni, program, davka, r);
        } catch (const TChybaSouboru& e) {
            // The new files that wait hold their room on the disk until they
            // take their targets' places, which frees the old files' room: a
            // program that fits alone is tried once more after them.
            if (znovu && ChybiMisto(e) && davka.Cekajicich() > 0) {
                znovu = false;
                davka.Provest();
                r = TVysledek{};
                r.jmeno = jmeno;
                continue;
            }
            r = {2, jmeno + Selhal() + BezRidicichZnaku(TextChyby(PrelozenaChyba(e))), {}, {}, jmeno, {}};
        } catch (const TChyba& e) {
            r = {2, jmeno + Selhal() + BezRidicichZnaku(TextChyby(PrelozenaChyba(e))), {}, {}, jmeno, {}};
        } catch (const std::bad_alloc&) {
            r = {2, jmeno + Selhal() + DoUtf8(rsDMALOPAMETIPROGRAM), {}, {}, jmeno, {}};
        } catch (const std::exception& e) {
            r = {2, jmeno + Selhal() + BezRidicichZnaku(e.what()), {}, {}, jmeno, {}};
        }
        return r;
    }
}

}  // namespace

int ZpracovatSlozky(const TVolby& v, const TNastaveniDavky& nastaveni, TVystupDavky& vystup) {
    // Usage errors come before any program is touched.
    (void)ZvolitTyp(v, nastaveni.typy, {});
    const std::vector<TProgram> programy = NajitProgramy(v, nastaveni.typy);
    if (v.prikaz != TPrikazProgramu::Pocet && !v.naMiste && !v.vystup && !v.kontrola && !v.rozdil)
        throw TChybaPouziti(Vyplnit(rsDVICEPROGRAMU));
    if (v.vystup && *v.vystup == "-") throw TChybaPouziti(Vyplnit(rsDVICEPROGRAMUVYSTUP));

    int kod = 0;
    bool vystupSelhal = false;
    const auto vypsat = [&](const TVysledek& r) {
        if (!r.vystup.empty() && !vystupSelhal && !vystup.Program(r.vystup)) vystupSelhal = true;
        if (r.rozdil && !vystupSelhal) {
            r.rozdil->Zpet();
            char blok[1 << 16];
            while (const std::size_t n = r.rozdil->Precist(blok, sizeof blok))
                if (!vystup.Program(std::string_view(blok, n))) {
                    vystupSelhal = true;
                    break;
                }
        }
        vystup.Hlaseni(r.radek);
        kod = std::max(kod, r.kod);
    };

    unsigned uloh = v.uloh ? v.uloh : std::max(1u, std::thread::hardware_concurrency());
    uloh = UlohVMezi(std::max(1u, static_cast<unsigned>(std::min<std::size_t>(uloh, programy.size()))));
    const std::size_t mezCekajicich = MezCekajicich(uloh), oknoPredem = 2 * mezCekajicich;

    // The new files are flushed and take their targets' places together; a
    // line is told once its program's replacement is done.
    TDavkaZapisu davka(mezCekajicich);
    std::deque<TVysledek> cekajici;
    std::size_t vypsano = 0;
    std::mutex zamek;
    std::condition_variable hotovo;
    const auto vypsatHotove = [&](bool vse) {
        if (vse) davka.Provest();
        std::size_t vypsanych = 0;
        for (; !cekajici.empty(); cekajici.pop_front(), ++vypsanych) {
            TVysledek& r = cekajici.front();
            if (r.zapis) {
                TUdajeChyby chyba;
                const TDavkaZapisu::TStav stav = davka.Stav(*r.zapis, &chyba);
                if (stav == TDavkaZapisu::TStav::Ceka) break;
                if (stav == TDavkaZapisu::TStav::Selhal)
                    r = {2, r.jmeno + Selhal() + BezRidicichZnaku(TextChyby(TextChybySouboru(chyba))), {}, {}, r.jmeno, {}};
            }
            vypsat(r);
        }
        {
            std::lock_guard<std::mutex> z(zamek);
            vypsano += vypsanych;
        }
        hotovo.notify_all();
    };
    const auto vysledek = [&](TVysledek r) {
        cekajici.push_back(std::move(r));
        vypsatHotove(cekajici.size() >= mezCekajicich);
    };

    // The results wait for their turn: they are told in the order of the
    // programs; no program starts far ahead of the one told next.
    std::vector<std::optional<TVysledek>> vysledky(programy.size());
    std::size_t dalsi = 0;
    const auto pracovat = [&] {
        for (;;) {
            std::size_t i;
            {
                std::unique_lock<std::mutex> z(zamek);
                hotovo.wait(z, [&] { return dalsi == programy.size() || dalsi < vypsano + oknoPredem; });
                if (dalsi == programy.size()) return;
                i = dalsi++;
            }
            TVysledek r = ZpracovatPolozku(v, nastaveni, programy[i], davka);
            {
                std::lock_guard<std::mutex> z(zamek);
                vysledky[i] = std::move(r);
            }
            hotovo.notify_all();
        }
    };
    std::vector<std::thread> vlakna;
    if (uloh > 1) {
        for (unsigned k = 0; k < uloh; ++k) {
            try {
                vlakna.emplace_back(pracovat);
            } catch (const std::system_error&) {
                break;  // fewer threads than asked for; at worst none
            }
        }
    }
    if (vlakna.empty()) {
        for (const TProgram& program : programy) vysledek(ZpracovatPolozku(v, nastaveni, program, davka));
    } else {
        for (std::size_t i = 0; i < programy.size(); ++i) {
            TVysledek r;
            {
                std::unique_lock<std::mutex> z(zamek);
                hotovo.wait(z, [&] { return vysledky[i].has_value(); });
                r = std::move(*vysledky[i]);
                vysledky[i].reset();
            }
            vysledek(std::move(r));
        }
        for (std::thread& t : vlakna) t.join();
    }
    vypsatHotove(true);
    if (vystupSelhal) {
        vystup.Hlaseni("tarvik-cli: " + TextChyby(rsDNELZEVYSTUP));
        kod = 2;
    }
    return kod;
}
