#include "GramatikaOdkazu.h"

#include "SkenerOdkazu.h"

#include <algorithm>

namespace odkazy {

namespace {

// An integer value behind an address letter: blanks, then digits.
struct TCele {
    bool Je = false;  // digits and no decimal point after them
    std::uint64_t Hodnota = 0;
    std::size_t Konec = 0;
};

TCele CistCele(std::string_view s, std::size_t k) {
    const std::size_t n = s.size();
    while (k < n && JeMezera(s[k])) ++k;
    const std::size_t od = k;
    while (k < n && JeCislice(s[k])) ++k;
    TCele c;
    c.Konec = k;
    if (k == od) return c;
    if (k < n && s[k] == '.') {
        for (++k; k < n && JeCislice(s[k]);) ++k;
        c.Konec = k;
        return c;
    }
    c.Je = true;
    c.Hodnota = Hodnota(s.substr(od, k - od));
    return c;
}

// The end of "[...]" that starts at k, brackets nested; the line's end when it is not closed.
std::size_t KonecZavorky(std::string_view s, std::size_t k) {
    int hloubka = 0;
    for (; k < s.size(); ++k) {
        if (s[k] == '[') ++hloubka;
        if (s[k] == ']' && --hloubka == 0) return k + 1;
    }
    return k;
}

// The target of a reference, behind its word.
struct TOperand {
    bool Je = false;        // there is a target (not a label, not nothing)
    bool Cislo = false;     // a literal number: digits from Pozice, Delka bytes
    std::size_t Text = 0;   // the target as written: from Text to Konec
    std::size_t Pozice = 0, Delka = 0;
    std::size_t Konec = 0;
};

// Does a block character stand at k (a letter in either case)?
std::size_t ZnakBlokuNa(std::string_view s, std::size_t k, const TPravidlaBloku& p) {
    for (const auto& [znak, pouzitelny] : {std::pair{p.Znaky.HlavniZnak, p.HlavniPouzitelny},
                                            std::pair{p.Znaky.VedlejsiZnak, p.VedlejsiPouzitelny}}) {
        if (znak.empty() || !pouzitelny || s.size() - k < znak.size()) continue;
        if ((znak.size() == 1 && JePismeno(znak[0])) ? Velke(s[k]) == Velke(znak[0])
                                                    : s.compare(k, znak.size(), znak) == 0)
            return znak.size();
    }
    return 0;
}

// The target from k on: blanks, then (behind GOTO, when p is given) a block
// character, then digits; or a variable or an expression.
TOperand CistOperand(std::string_view s, std::size_t k, const TPravidlaBloku* p) {
    const std::size_t n = s.size();
    while (k < n && JeMezera(s[k])) ++k;
    TOperand o;
    o.Text = k;
    o.Konec = k;
    if (k >= n) return o;
    if (p) {
        const std::size_t znak = ZnakBlokuNa(s, k, *p);
        if (znak > 0 && k + znak < n && (JeCislice(s[k + znak]) || s[k + znak] == '#' || s[k + znak] == '['))
            k += znak;
    }
    const char c = s[k];
    if (JeCislice(c)) {
        std::size_t e = k;
        while (e < n && JeCislice(s[e])) ++e;
        o.Je = true;
        if (e < n && s[e] == '.') {
            for (++e; e < n && JeCislice(s[e]);) ++e;
        } else {
            o.Cislo = true;
            o.Pozice = k;
            o.Delka = e - k;
        }
        o.Konec = e;
    } else if (c == '#' || c == '[' || c == '-' || c == '+') {
        std::size_t e = k + 1;
        if (c == '[') {
            e = KonecZavorky(s, k);
        } else if (e < n && s[e] == '[') {
            e = KonecZavorky(s, e);
        } else {
            while (e < n && (JeCislice(s[e]) || s[e] == '.')) ++e;
        }
        o.Je = true;
        o.Konec = e;
    }
    if (o.Je && !o.Cislo) {
        o.Pozice = o.Text;
        o.Delka = o.Konec - o.Text;
    }
    return o;
}

TOdkaz NovyOdkaz(std::string_view s, const TOperand& o, TDruhOdkazu druh, std::size_t radek) {
    TOdkaz r;
    r.Radek = radek;
    r.Pozice = o.Pozice;
    r.Delka = o.Delka;
    r.Text = o.Text;  // in the line, until the reference is kept
    r.DelkaTextu = o.Konec - o.Text;
    r.Druh = druh;
    if (o.Cislo) {
        r.Cil = Hodnota(s.substr(o.Pozice, o.Delka));
        r.Stav = TStavOdkazu::ChybiCil;  // until a block is found
    } else {
        r.Stav = TStavOdkazu::NeniCislo;
    }
    return r;
}

void Ponechat(std::string_view s, TOdkaz r, std::vector<TOdkaz>& odkazy, std::string& texty) {
    const std::size_t text = texty.size();
    texty.append(s.substr(r.Text, r.DelkaTextu));
    r.Text = text;
    odkazy.push_back(r);
}

inline bool JeSlovo(std::string_view slovo, std::string_view klic) {
    if (slovo.size() != klic.size()) return false;
    for (std::size_t i = 0; i < slovo.size(); ++i)
        if (Velke(slovo[i]) != klic[i]) return false;
    return true;
}

// The kind of a word of a profile cycle, by its listing's name: G71 and P give "G71 P".
TDruhOdkazu DruhCyklu(std::uint64_t cyklus, bool q) {
    static constexpr auto Druhy = [] {
        std::array<std::array<TDruhOdkazu, 2>, 6> d{};
        for (std::size_t g = 0; g < d.size(); ++g)
            for (std::size_t k = 0; k < 2; ++k) {
                const char nazev[] = {'G', '7', static_cast<char>('0' + g), ' ', k ? 'Q' : 'P'};
                d[g][k] = *DruhPodleNazvu(std::string_view(nazev, sizeof nazev));
            }
        return d;
    }();
    return Druhy[cyklus - 70][q];
}

// The families that read the profile of cycle 70 + i, and the return or call M99 P, M97 P.
constexpr std::array<TDruhyOdkazu, 6> RodinyCyklu = [] {
    std::array<TDruhyOdkazu, 6> r{};
    for (std::size_t g = 0; g < r.size(); ++g) {
        const char nazev[] = {'G', '7', static_cast<char>('0' + g), ' ', 'P'};
        r[g] = TDruhyOdkazu::Ctouci(*DruhPodleNazvu(std::string_view(nazev, sizeof nazev)));
    }
    return r;
}();
constexpr TDruhyOdkazu RodinyM99 = TDruhyOdkazu::Ctouci(TDruhOdkazu::M99P);
constexpr TDruhyOdkazu RodinyM97 = TDruhyOdkazu::Ctouci(TDruhOdkazu::M97P);
constexpr TDruhyOdkazu RodinySkoku = TDruhyOdkazu::Ctouci(TDruhOdkazu::Goto);

// Walks the code of s from byte j: the words outside comments and strings.
// slovo(od, po) gets a word's letters s[od, po) and returns where the
// reading goes on (po, or past the word's value).
template <typename F>
void ProSlova(std::string_view s, std::size_t j, std::string_view komentar, F slovo) {
    const bool zavorky = komentar == "(";
    const std::size_t n = s.size();
    while (j < n) {
        const char c = s[j];
        if (!komentar.empty() && c == komentar[0] && s.substr(j, komentar.size()) == komentar) {
            if (!zavorky) return;
            const std::size_t z = s.find(')', j + 1);
            if (z == std::string_view::npos) return;
            j = z + 1;
            continue;
        }
        if (c == '"') {
            const std::size_t z = s.find('"', j + 1);
            if (z == std::string_view::npos) return;
            j = z + 1;
            continue;
        }
        if (!JeSlovni(c)) {
            ++j;
            continue;
        }
        std::size_t k = j;
        while (k < n && JeSlovni(s[k])) ++k;
        j = slovo(j, k);
    }
}

}  // namespace

std::uint64_t CistKod(std::string_view s, std::size_t j, const TPravidlaBloku& p, std::size_t radek,
                      std::vector<TOdkaz>& odkazy, std::vector<TOdkaz>& slova, std::string& texty,
                      std::vector<TOdkaz>& nectena) {
    const std::size_t prvni = odkazy.size();
    slova.clear();
    const TDruhyOdkazu druhy = p.Znaky.Druhy;
    const bool m99 = druhy.Ma(TRodinaOdkazu::NavratM99);
    // 70 .. 75: the first profile cycle of the line that the type reads, and that any family reads.
    std::uint64_t cyklusTypu = 0, cyklus = 0;
    // 99 or 97: the first M code of a return or call that the type reads, and that any family reads.
    std::uint64_t navratTypu = 0, navrat = 0;
    bool volani = false;      // the line calls a program
    bool souradnice = false;  // the line holds an X, Y or Z word: a cycle call, no profile
    bool maP = false, maQ = false;
    ProSlova(s, j, p.Znaky.Komentar, [&](std::size_t od, std::size_t k) {
        const std::string_view slovo = s.substr(od, k - od);
        if (slovo.size() == 1) {
            const char a = Velke(slovo[0]);
            if (a == 'G' || a == 'M') {
                const TCele h = CistCele(s, k);
                if (h.Je && a == 'G') {
                    if (h.Hodnota >= 70 && h.Hodnota <= 75) {
                        if (cyklus == 0) cyklus = h.Hodnota;
                        if (cyklusTypu == 0 && !(RodinyCyklu[h.Hodnota - 70] & druhy).Prazdne()) cyklusTypu = h.Hodnota;
                    }
                    volani = volani || (m99 && (h.Hodnota == 65 || h.Hodnota == 66));
                }
                if (h.Je && a == 'M') {
                    if (h.Hodnota == 99 || h.Hodnota == 97) {
                        if (navrat == 0) navrat = h.Hodnota;
                        if (navratTypu == 0 && !((h.Hodnota == 99 ? RodinyM99 : RodinyM97) & druhy).Prazdne())
                            navratTypu = h.Hodnota;
                    }
                    volani = volani || (m99 && h.Hodnota == 98);
                }
                return h.Konec;
            }
            if (a == 'P' || a == 'Q') {
                const TOperand o = CistOperand(s, k, nullptr);
                if (o.Je) {
                    slova.push_back(NovyOdkaz(s, o, a == 'P' ? TDruhOdkazu::G70P : TDruhOdkazu::G70Q, radek));
                    (a == 'P' ? maP : maQ) = true;
                }
                return std::max(o.Konec, k);
            }
            if (a == 'X' || a == 'Y' || a == 'Z') souradnice = true;
            return k;
        }
        TDruhOdkazu druh;
        if (JeSlovo(slovo, "GOTO"))
            druh = TDruhOdkazu::Goto;
        else if (JeSlovo(slovo, "GOTOF"))
            druh = TDruhOdkazu::GotoF;
        else if (JeSlovo(slovo, "GOTOB"))
            druh = TDruhOdkazu::GotoB;
        else if (JeSlovo(slovo, "GOTOC"))
            druh = TDruhOdkazu::GotoC;
        else
            return k;
        const TOperand o = CistOperand(s, k, &p);
        if (!o.Je) return k;  // a label, or nothing
        const TOdkaz r = NovyOdkaz(s, o, druh, radek);
        if ((RodinySkoku & druhy).Prazdne())
            nectena.push_back(r);
        else
            Ponechat(s, r, odkazy, texty);
        return o.Konec;
    });
    // A profile cycle's line holds its P and Q and no coordinate; with an X,
    // Y or Z, or without P or Q, it calls the cycle with words of their own.
    const bool profil = !souradnice && maP && maQ;
    std::uint64_t volany = BezCisla;
    for (TOdkaz& o : slova) {
        const bool jeP = o.Druh == TDruhOdkazu::G70P;
        if (volani && jeP && volany == BezCisla && o.Stav != TStavOdkazu::NeniCislo) volany = o.Cil;
        if (profil && cyklusTypu != 0) {
            o.Druh = DruhCyklu(cyklusTypu, !jeP);
        } else if (navratTypu != 0 && jeP) {
            o.Druh = navratTypu == 99 ? TDruhOdkazu::M99P : TDruhOdkazu::M97P;
        } else {
            // What another family would read here.
            if (profil && cyklus != 0) {
                o.Druh = DruhCyklu(cyklus, !jeP);
                nectena.push_back(o);
            } else if (navrat != 0 && jeP) {
                o.Druh = navrat == 99 ? TDruhOdkazu::M99P : TDruhOdkazu::M97P;
                nectena.push_back(o);
            }
            continue;
        }
        Ponechat(s, o, odkazy, texty);
    }
    // Within the line by position: the cycle's words come after the jumps.
    if (odkazy.size() - prvni > 1)
        std::sort(odkazy.begin() + static_cast<std::ptrdiff_t>(prvni), odkazy.end(),
                  [](const TOdkaz& a, const TOdkaz& b) { return a.Pozice < b.Pozice; });
    return volany;
}

bool JeKonecProgramu(std::string_view s, std::size_t j, std::string_view komentar) {
    bool konec = false;
    ProSlova(s, j, komentar, [&](std::size_t od, std::size_t k) {
        if (konec || k - od != 1 || (s[od] | 0x20) != 'm') return k;
        const TCele h = CistCele(s, k);
        konec = h.Je && (h.Hodnota == 30 || h.Hodnota == 2);
        return konec ? s.size() : h.Konec;
    });
    return konec;
}

}  // namespace odkazy

using namespace odkazy;

void NajitOdkazyVRadku(std::string_view radek, const TZnakyOdkazu& znaky, std::vector<TOdkaz>& odkazy,
                       std::string& texty) {
    const TPravidlaBloku p(znaky);
    const std::size_t od = p.Rozebrat(radek).Konec;
    if (!MoznaOdkaz(radek.substr(od))) return;
    std::vector<TOdkaz> slova, nectena;
    CistKod(radek, od, p, 0, odkazy, slova, texty, nectena);
}
