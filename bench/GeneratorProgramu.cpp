#include "GeneratorProgramu.h"

#include <algorithm>
#include <charconv>
#include <string_view>
#include <string>
#include <vector>

namespace {

// splitmix64: small, fast and the same on every compiler (the distributions of
// <random> are not).
class TNahoda {
public:
    explicit TNahoda(std::uint64_t semeno) : stav_(semeno) {}
    std::uint64_t Dalsi() {
        std::uint64_t z = (stav_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    std::uint32_t Do(std::uint32_t n) { return static_cast<std::uint32_t>(Dalsi() % n); }
    // od .. do_ inclusive
    std::int64_t Mezi(std::int64_t od, std::int64_t do_) {
        return od + static_cast<std::int64_t>(Dalsi() % static_cast<std::uint64_t>(do_ - od + 1));
    }

private:
    std::uint64_t stav_;
};

void PripojitCislo(std::string& s, std::uint64_t n) {
    char b[24];
    const auto r = std::to_chars(b, b + sizeof b, n);
    s.append(b, r.ptr);
}

// A coordinate word from tenths of a micrometre, four decimals as 3D surface
// output of high-speed machines has them: ISO style "X-12.3456", "X40."
// (trailing zeros dropped, the point kept); conversational style "X+12.3456",
// "X+40" (always a sign, no bare point).
void PripojitSouradnici(std::string& s, char adresa, std::int64_t hodnota, bool dialog) {
    s += adresa;
    if (hodnota < 0) {
        s += '-';
        hodnota = -hodnota;
    } else if (dialog) {
        s += '+';
    }
    PripojitCislo(s, static_cast<std::uint64_t>(hodnota / 10000));
    const std::int64_t zlomek = hodnota % 10000;
    if (zlomek == 0) {
        if (!dialog) s += '.';
        return;
    }
    s += '.';
    char cifry[4] = {char('0' + zlomek / 1000), char('0' + zlomek / 100 % 10),
                     char('0' + zlomek / 10 % 10), char('0' + zlomek % 10)};
    std::size_t n = 4;
    while (cifry[n - 1] == '0') --n;
    s.append(cifry, n);
}

// Writes the lines of one file, numbering the blocks as the style does.
class TZapis {
public:
    TZapis(std::string& cil, const TParametryGeneratoru& p) : cil_(cil), p_(p) {}

    // Numbering starts again with every program.
    void NovyProgram() { cislo_ = p_.Styl == TStylProgramu::Iso ? 10 : 0; }

    // A block: ISO "N<number> text" (":" for a main block), conversational
    // "<number> text"; only the text when the program is not numbered.
    void Blok(std::string_view text, bool hlavni = false, std::string_view odsazeni = {}) {
        cil_ += odsazeni;
        if (p_.Cislovat) {
            if (p_.Styl == TStylProgramu::Iso) cil_ += hlavni ? ':' : 'N';
            PripojitCislo(cil_, cislo_);
            cil_ += ' ';
        }
        cil_ += text;
        Konec();
        if (p_.Styl == TStylProgramu::Iso) {
            // Five-digit block numbers, as many controls take them.
            cislo_ = cislo_ >= 99990 ? 10 : cislo_ + 10;
        } else {
            ++cislo_;
        }
    }

    // A line that carries no block number in either form.
    void Radek(std::string_view text) {
        cil_ += text;
        Konec();
    }

private:
    void Konec() {
        if (p_.CrLf) cil_ += '\r';
        cil_ += '\n';
    }

    std::string& cil_;
    const TParametryGeneratoru& p_;
    std::uint64_t cislo_ = 0;
};

constexpr std::string_view NazvyNastroju[] = {
    "END MILL D10", "END MILL D6", "FACE MILL D50", "DRILL D8.5", "SPOT DRILL D10",
    "BALL MILL R3", "CHAMFER MILL D12", "TAP M10", "ROUGHING MILL D16", "SLOT MILL D4",
};
constexpr std::string_view Operace[] = {
    "ROUGHING", "FINISHING", "POCKET", "CONTOUR", "DRILLING", "FACING", "CHAMFER", "SLOT",
};
constexpr std::string_view Poznamky[] = {
    "PASS", "CHECK DEPTH", "REST MATERIAL", "CORNER", "ISLAND", "WALL", "FLOOR",
};

// The body of one program, one line per call: operations of one tool each
// (tool change, approach, cutting moves, retract), cut off wherever the
// program's line budget ends.
class TTelo {
public:
    TTelo(TZapis& zapis, TNahoda& nahoda, bool dialog)
        : zapis_(zapis), r_(nahoda), dialog_(dialog) {}

    void DalsiRadek() {
        if (faze_ == 0) {
            NovaOperace();
        }
        if (faze_ < 6) {
            Zahajeni();
        } else if (pohybu_ > 0) {
            --pohybu_;
            dialog_ ? PohybDialog() : PohybIso();
            return;
        } else {
            Ukonceni();
        }
        ++faze_;
        if (faze_ == 8) faze_ = 0;
    }

private:
    void NovaOperace() {
        nastroj_ = 1 + r_.Do(24);
        otacky_ = 500 * (2 + r_.Do(14));
        posuv_ = 100 * (5 + r_.Do(46));
        hloubka_ = -5000 * static_cast<std::int64_t>(1 + r_.Do(12));
        pohybu_ = 150 + r_.Do(1350);
        x_ = r_.Mezi(-4000000, 4000000);
        y_ = r_.Mezi(-2500000, 2500000);
        z_ = hloubka_;
    }

    // The next point of a contour: small steps, as 3D surface passes make them.
    void Bod() {
        x_ = std::clamp<std::int64_t>(x_ + r_.Mezi(-30000, 30000), -4000000, 4000000);
        y_ = std::clamp<std::int64_t>(y_ + r_.Mezi(-30000, 30000), -2500000, 2500000);
        z_ = std::clamp<std::int64_t>(z_ + r_.Mezi(-8000, 8000), -800000, -1000);
    }

    void XY(std::string& s) {
        PripojitSouradnici(s, 'X', x_, dialog_);
        s += ' ';
        PripojitSouradnici(s, 'Y', y_, dialog_);
    }

    void Zahajeni() {
        std::string s;
        const bool iso = !dialog_;
        switch (faze_) {
            case 0:
                s = iso ? "(T" : "; T";
                PripojitCislo(s, nastroj_);
                s += ' ';
                s += NazvyNastroju[nastroj_ % std::size(NazvyNastroju)];
                s += " - ";
                s += Operace[r_.Do(std::size(Operace))];
                if (iso) s += ')';
                zapis_.Radek(s);
                return;
            case 1:
                if (iso) {
                    s = "T";
                    PripojitCislo(s, nastroj_);
                    s += " M6";
                    zapis_.Blok(s, true);  // a main block at every tool change
                } else {
                    s = "TOOL CALL ";
                    PripojitCislo(s, nastroj_);
                    s += " Z S";
                    PripojitCislo(s, otacky_);
                    s += " F";
                    PripojitCislo(s, posuv_);
                    zapis_.Blok(s);
                }
                return;
            case 2:
                Bod();
                if (iso) {
                    s = "G54 G90 G00 ";
                    XY(s);
                    s += " S";
                    PripojitCislo(s, otacky_);
                    s += " M3";
                } else {
                    s = "L ";
                    XY(s);
                    s += " R0 FMAX M3";
                }
                zapis_.Blok(s);
                return;
            case 3:
                if (iso) {
                    s = "G43 H";
                    PripojitCislo(s, nastroj_);
                    s += " Z50. M8";
                } else {
                    s = "L Z+50 R0 FMAX M8";
                }
                zapis_.Blok(s);
                return;
            case 4:
                zapis_.Blok(iso ? "G00 Z5." : "L Z+5 R0 FMAX");
                return;
            default:  // the plunge to the first depth
                Zanoreni(s);
                zapis_.Blok(s);
                return;
        }
    }

    void Ukonceni() {
        if (faze_ == 6)
            zapis_.Blok(dialog_ ? "L Z+100 R0 FMAX M9" : "G00 Z50. M9");
        else
            zapis_.Blok(dialog_ ? "L Z+100 R0 FMAX M5" : "M5");
    }

    void Zanoreni(std::string& s) {
        if (!dialog_) {
            s = "G01 ";
            PripojitSouradnici(s, 'Z', hloubka_, false);
            s += " F";
            PripojitCislo(s, posuv_ / 2);
            s += '.';
        } else {
            s = "L ";
            PripojitSouradnici(s, 'Z', hloubka_, true);
            s += " R0 F";
            PripojitCislo(s, posuv_ / 2);
        }
    }

    void PohybIso() {
        std::string s;
        const std::uint32_t los = r_.Do(1000);
        // About one line in a hundred is indented by the CAM system or by hand.
        const std::string_view odsazeni = r_.Do(100) == 0 ? (r_.Do(2) ? "  " : "\t") : "";
        if (los < 10) {
            s = "(";
            s += Poznamky[r_.Do(std::size(Poznamky))];
            s += ' ';
            PripojitCislo(s, 1 + r_.Do(9));
            s += ')';
            zapis_.Radek(s);
            return;
        }
        if (los < 40) {
            z_ = -2500 * static_cast<std::int64_t>(1 + r_.Do(40));
            s = "G01 ";
            PripojitSouradnici(s, 'Z', z_, false);
            s += " F";
            PripojitCislo(s, posuv_ / 2);
            s += '.';
        } else if (los < 70) {
            Bod();
            s = "G00 ";
            XY(s);
        } else if (los < 190) {
            const std::int64_t x0 = x_, y0 = y_;
            Bod();
            s = r_.Do(2) ? "G02 " : "G03 ";
            XY(s);
            s += ' ';
            PripojitSouradnici(s, 'I', (x_ - x0) / 2, false);
            s += ' ';
            PripojitSouradnici(s, 'J', (y_ - y0) / 2, false);
            if (r_.Do(3) == 0) {
                s += " F";
                PripojitCislo(s, posuv_);
                s += '.';
            }
        } else {
            // Mostly 3D surface passes: X, Y and Z on every line.
            Bod();
            if (r_.Do(10) < 8) s = "G01 ";
            XY(s);
            if (los >= 230) {
                s += ' ';
                PripojitSouradnici(s, 'Z', z_, false);
            }
            // Feed optimisation writes a feed on many lines.
            if (r_.Do(2) == 0) {
                s += " F";
                PripojitCislo(s, posuv_);
                s += '.';
            }
            if (los >= 985) {
                s += " (";
                s += Poznamky[r_.Do(std::size(Poznamky))];
                s += ')';
            }
        }
        zapis_.Blok(s, false, odsazeni);
    }

    void PohybDialog() {
        std::string s;
        const std::uint32_t los = r_.Do(1000);
        if (los < 10) {
            s = "; ";
            s += Poznamky[r_.Do(std::size(Poznamky))];
            s += ' ';
            PripojitCislo(s, 1 + r_.Do(9));
            zapis_.Radek(s);
            return;
        }
        if (los < 40) {
            z_ = -2500 * static_cast<std::int64_t>(1 + r_.Do(40));
            s = "L ";
            PripojitSouradnici(s, 'Z', z_, true);
            s += " R0 F";
            PripojitCislo(s, posuv_ / 2);
        } else if (los < 70) {
            Bod();
            s = "L ";
            XY(s);
            s += " R0 FMAX";
        } else if (los < 130) {
            const std::int64_t x0 = x_, y0 = y_;
            Bod();
            s = "CC ";
            PripojitSouradnici(s, 'X', (x_ + x0) / 2, true);
            s += ' ';
            PripojitSouradnici(s, 'Y', (y_ + y0) / 2, true);
        } else if (los < 190) {
            Bod();
            s = "C ";
            XY(s);
            s += r_.Do(2) ? " DR+" : " DR-";
        } else {
            Bod();
            s = "L ";
            XY(s);
            if (los >= 230) {
                s += ' ';
                PripojitSouradnici(s, 'Z', z_, true);
            }
            if (r_.Do(4) == 0) {
                s += r_.Do(2) ? " RL F" : " RR F";
                PripojitCislo(s, posuv_);
            }
        }
        zapis_.Blok(s);
    }

    TZapis& zapis_;
    TNahoda& r_;
    bool dialog_;
    int faze_ = 0;
    std::uint32_t pohybu_ = 0;
    std::uint32_t nastroj_ = 1, otacky_ = 1000, posuv_ = 300;
    std::int64_t x_ = 0, y_ = 0, z_ = -20000, hloubka_ = -20000;
};

constexpr std::size_t PevnychIso = 5;     // "%", O-number, set-up block, G28 block, M30
constexpr std::size_t PevnychDialog = 4;  // BEGIN PGM, two BLK FORM, END PGM

}  // namespace

std::size_t NejmeneRadku(const TParametryGeneratoru& p) {
    return p.Styl == TStylProgramu::Iso ? PevnychIso * p.Programu + 1 : PevnychDialog * p.Programu;
}

namespace {

// The references of TParametryGeneratoru::Odkazy, put into a generated ISO
// program whose lines end with zlom: a block line begins with "N" or ":" and
// its digits, a program begins at "%".
std::size_t PridatOdkazy(std::string& text, std::size_t od, std::string_view zlom) {
    struct TRadek {
        std::size_t zacatek, konec;  // without the break
    };
    std::vector<TRadek> radky;
    for (std::size_t i = od; i < text.size();) {
        const std::size_t k = text.find(zlom, i);
        radky.push_back({i, k});
        i = k + zlom.size();
    }
    const std::string puvodni = text.substr(od);
    const auto radek = [&](std::size_t i) {
        return std::string_view(puvodni).substr(radky[i].zacatek - od, radky[i].konec - radky[i].zacatek);
    };
    struct TBlok {
        std::size_t radek;
        std::string_view cislo;
    };
    std::vector<TBlok> bloky;
    std::vector<std::string> nove(radky.size());
    std::size_t odkazu = 0;
    const auto program = [&] {
        std::size_t druh = 0;
        for (std::size_t b = 12; b + 20 < bloky.size(); b += 25) {
            const auto cislo = [&](std::size_t k) { return std::string(bloky[k].cislo); };
            std::string s = std::string(radek(bloky[b].radek).substr(0, 1)) + cislo(b);
            switch (druh++ % 4) {
                case 0: s += " GOTO " + cislo(b + 10); break;
                case 1: s += " IF [#1 GT 0] GOTO " + cislo(b - 10); break;
                case 2:
                    s += " G71 P" + cislo(b + 1) + " Q" + cislo(b + 20) + " U0.4 W0.1 F0.2";
                    ++odkazu;
                    break;
                default: s += " M99 P" + cislo(b - 5); break;
            }
            ++odkazu;
            nove[bloky[b].radek] = std::move(s);
        }
        bloky.clear();
    };
    for (std::size_t i = 0; i < radky.size(); ++i) {
        const std::string_view r = radek(i);
        if (r.starts_with('%')) program();
        if (r.size() > 1 && (r[0] == 'N' || r[0] == ':') && r[1] >= '0' && r[1] <= '9') {
            std::size_t k = 1;
            while (k < r.size() && r[k] >= '0' && r[k] <= '9') ++k;
            bloky.push_back({i, r.substr(1, k - 1)});
        }
    }
    program();
    text.resize(od);
    for (std::size_t i = 0; i < radky.size(); ++i) {
        text += nove[i].empty() ? radek(i) : std::string_view(nove[i]);
        text += zlom;
    }
    return odkazu;
}

}  // namespace

std::size_t GenerovatProgram(std::string& cil, const TParametryGeneratoru& p) {
    const std::size_t od = cil.size();
    if (p.Programu == 0) throw TChybaGeneratoru("a file holds at least one program");
    const std::size_t nejmene = NejmeneRadku(p);
    if (p.Radku < nejmene)
        throw TChybaGeneratoru(std::to_string(p.Programu) + " program(s) need at least " +
                               std::to_string(nejmene) + " lines");
    const bool dialog = p.Styl == TStylProgramu::Dialogovy;
    cil.reserve(cil.size() + p.Radku * 44);
    TZapis z(cil, p);
    TNahoda r(p.Semeno);
    const std::size_t telo = p.Radku - nejmene;
    for (std::size_t i = 0; i < p.Programu; ++i) {
        const std::size_t radku = telo / p.Programu + (i < telo % p.Programu ? 1 : 0);
        const std::uint64_t cislo = 1001 + i;
        std::string s;
        z.NovyProgram();
        if (!dialog) {
            z.Radek("%");
            s = "O";
            PripojitCislo(s, cislo);
            s += " (PART ";
            PripojitCislo(s, cislo);
            s += ')';
            z.Radek(s);
            z.Blok("G21 G17 G40 G49 G80 G90");
        } else {
            s = "BEGIN PGM P";
            PripojitCislo(s, cislo);
            s += " MM";
            z.Blok(s);
            z.Blok("BLK FORM 0.1 Z X-400 Y-250 Z-80");
            z.Blok("BLK FORM 0.2 X+400 Y+250 Z+0");
        }
        TTelo t(z, r, dialog);
        for (std::size_t k = 0; k < radku; ++k) t.DalsiRadek();
        if (!dialog) {
            z.Blok("G28 G91 Z0.");
            z.Blok("M30");
        } else {
            s = "END PGM P";
            PripojitCislo(s, cislo);
            s += " MM";
            z.Blok(s);
        }
    }
    if (!dialog) z.Radek("%");
    if (!p.Odkazy || dialog || !p.Cislovat) return 0;
    return PridatOdkazy(cil, od, p.CrLf ? "\r\n" : "\n");
}
