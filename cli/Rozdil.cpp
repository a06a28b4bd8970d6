#include "Rozdil.h"

#include "engine/CNCEdit.h"
#include "platform/ZapisSouboru.h"

#include <algorithm>
#include <deque>
#include <optional>
#include <vector>

namespace {

constexpr std::size_t Kontext = 3;

// The lines of a program text in order, from its start as often as asked. A
// first pass settles the encoding and counts them.
class TCteniRadku {
public:
    explicit TCteniRadku(TZdrojBajtu& zdroj) : cteni_(zdroj, false) {
        std::string_view radek;
        bool zlom = false;
        std::size_t znovu = 0;
        while (Dalsi(radek, zlom)) {
            if (znovu_ != znovu) {
                // The text turned out not to be UTF-8: it is counted again.
                znovu = znovu_;
                n_ = 0;
            }
            ++n_;
            zlom_ = zlom;
        }
        OdZacatku();
    }

    void OdZacatku() {
        cteni_.OdZacatku();
        kus_ = {};
        i_ = 0;
    }

    // The next line (valid until the next call), and whether it is the last
    // one without a line break.
    bool Dalsi(std::string_view& radek, bool& zlom) {
        while (kus_.empty()) {
            const TProgramPoKusech::TStav stav = cteni_.Dalsi(kus_);
            if (stav == TProgramPoKusech::TStav::Konec) return false;
            if (stav == TProgramPoKusech::TStav::Znovu) {
                kus_ = {};
                ++znovu_;
            }
        }
        // A piece holds whole lines: it ends after a break, or at the end of the text.
        const std::size_t j = cnc::KonecRadku(kus_, 0);
        radek = kus_.substr(0, j);
        zlom = j < kus_.size();
        kus_.remove_prefix(zlom ? cnc::ZaZlomem(kus_, j) : j);
        ++i_;
        return true;
    }
    // The next line, the mark of a last line without a break with it.
    bool Dalsi(std::string_view& radek) {
        bool zlom;
        return Dalsi(radek, zlom);
    }
    // The line just read is the last one and has no break after it.
    bool BezZlomu() const { return i_ == n_ && !zlom_; }
    void Preskocit(std::size_t radku) {
        std::string_view r;
        for (std::size_t k = 0; k < radku && Dalsi(r); ++k) {
        }
    }
    std::size_t Pocet() const { return n_; }

private:
    TProgramPoKusech cteni_;
    std::string_view kus_;
    std::size_t n_ = 0, i_ = 0, znovu_ = 0;
    bool zlom_ = false;
};

// A line of context kept until it is known where it goes.
struct TRadek {
    std::string text;
    bool bezZlomu;
};

// "start,count" of a hunk's header: lines counted from 1; an empty range
// names the line before it.
std::string Rozsah(std::size_t zacatek, std::size_t pocet) {
    if (pocet == 1) return std::to_string(zacatek + 1);
    return std::to_string(pocet == 0 ? zacatek : zacatek + 1) + "," + std::to_string(pocet);
}

class TRozdil {
public:
    TRozdil(std::string_view nazev, const std::function<void(std::string_view)>& vystup)
        : nazev_(nazev), vystup_(vystup) {}

    // One line of a hunk, to where it waits (or straight out).
    static void Radek(std::string& v, char znak, std::string_view radek, bool bezZlomu) {
        v += znak;
        v += radek;
        v += '\n';
        if (bezZlomu) v += "\\ No newline at end of file\n";
    }
    void Radek(TDocasnySoubor& kam, char znak, std::string_view radek, bool bezZlomu) {
        radek_.clear();
        Radek(radek_, znak, radek, bezZlomu);
        kam.Zapsat(radek_);
    }

    void Hlavicka(std::size_t aOd, std::size_t aPocet, std::size_t bOd, std::size_t bPocet) {
        std::string h;
        if (!zmena_) h = "--- " + std::string(nazev_) + "\n+++ " + std::string(nazev_) + "\n";
        zmena_ = true;
        h += "@@ -" + Rozsah(aOd, aPocet) + " +" + Rozsah(bOd, bPocet) + " @@\n";
        vystup_(h);
    }

    void Vypsat(TDocasnySoubor& odkud) {
        odkud.Zpet();
        char blok[1 << 16];
        while (const std::size_t n = odkud.Precist(blok, sizeof blok)) vystup_(std::string_view(blok, n));
    }

    // Texts of as many lines: paired one to one, each run of differing lines
    // one change; changes closer than twice the context share a hunk.
    void PoRadcich(TCteniRadku& a, TCteniRadku& b) {
        std::deque<TRadek> pred;       // equal lines before a hunk, the last Kontext
        std::vector<TRadek> cekajici;  // equal lines after a change in a hunk
        TDocasnySoubor telo, plus;     // the hunk's lines; a run's new lines, after its old ones
        bool vHunku = false;
        std::size_t od = 0, pocet = 0;
        const auto ukoncitBeh = [&] {
            if (plus.Velikost() == 0) return;
            plus.Zpet();
            char blok[1 << 16];
            while (const std::size_t n = plus.Precist(blok, sizeof blok)) telo.Zapsat(std::string_view(blok, n));
            plus.Vyprazdnit();
        };
        const auto kontext = [&](auto zacatek, auto konec) {
            for (auto r = zacatek; r != konec; ++r, ++pocet) Radek(telo, ' ', r->text, r->bezZlomu);
        };
        std::string_view x, y;
        for (std::size_t i = 0; a.Dalsi(x) && b.Dalsi(y); ++i) {
            const bool bezZlomuA = a.BezZlomu(), bezZlomuB = b.BezZlomu();
            if (x == y && bezZlomuA == bezZlomuB) {
                if (!vHunku) {
                    pred.push_back({std::string(x), bezZlomuA});
                    if (pred.size() > Kontext) pred.pop_front();
                    continue;
                }
                ukoncitBeh();
                cekajici.push_back({std::string(x), bezZlomuA});
                if (cekajici.size() > 2 * Kontext) {
                    // Far from the next change: the hunk ends with its context.
                    kontext(cekajici.begin(), cekajici.begin() + Kontext);
                    Hlavicka(od, pocet, od, pocet);
                    Vypsat(telo);
                    vHunku = false;
                    pred.assign(cekajici.end() - Kontext, cekajici.end());
                    cekajici.clear();
                }
                continue;
            }
            if (!vHunku) {
                vHunku = true;
                telo.Vyprazdnit();
                od = i - pred.size();
                pocet = 0;
                kontext(pred.begin(), pred.end());
                pred.clear();
            } else {
                kontext(cekajici.begin(), cekajici.end());
                cekajici.clear();
            }
            Radek(telo, '-', x, bezZlomuA);
            Radek(plus, '+', y, bezZlomuB);
            ++pocet;
        }
        if (!vHunku) return;
        ukoncitBeh();
        kontext(cekajici.begin(), cekajici.begin() + static_cast<std::ptrdiff_t>(std::min(Kontext, cekajici.size())));
        Hlavicka(od, pocet, od, pocet);
        Vypsat(telo);
    }

    // Texts of different lengths: what lies between their common start and
    // end replaced whole, in one hunk.
    void Nahrazeni(TCteniRadku& a, TCteniRadku& b) {
        const std::size_t na = a.Pocet(), nb = b.Pocet();
        std::string_view x, y;
        std::size_t zacatek = 0;
        while (zacatek < std::min(na, nb) && a.Dalsi(x) && b.Dalsi(y) && x == y && a.BezZlomu() == b.BezZlomu())
            ++zacatek;
        // The common end: the lines paired from the end, the longer text's first ones passed over.
        a.OdZacatku();
        b.OdZacatku();
        a.Preskocit(na - std::min(na, nb));
        b.Preskocit(nb - std::min(na, nb));
        std::size_t konec = 0;
        while (a.Dalsi(x) && b.Dalsi(y)) konec = x == y && a.BezZlomu() == b.BezZlomu() ? konec + 1 : 0;
        konec = std::min(konec, std::min(na, nb) - zacatek);

        const std::size_t pred = std::min(Kontext, zacatek), po = std::min(Kontext, konec);
        const std::size_t od = zacatek - pred;
        Hlavicka(od, na - konec + po - od, od, nb - konec + po - od);
        std::string v;
        const auto radky = [&](TCteniRadku& t, std::size_t kolik, char znak) {
            for (std::size_t k = 0; k < kolik && t.Dalsi(x); ++k) {
                Radek(v, znak, x, t.BezZlomu());
                if (v.size() >= (1u << 16)) {
                    vystup_(v);
                    v.clear();
                }
            }
        };
        a.OdZacatku();
        a.Preskocit(od);
        radky(a, pred, ' ');
        radky(a, na - konec - zacatek, '-');
        b.OdZacatku();
        b.Preskocit(zacatek);
        radky(b, nb - konec - zacatek, '+');
        radky(a, po, ' ');
        vystup_(v);
    }

    bool Zmena() const { return zmena_; }

private:
    std::string_view nazev_;
    const std::function<void(std::string_view)>& vystup_;
    std::string radek_;
    bool zmena_ = false;
};

}  // namespace

bool UnifikovanyRozdil(std::string_view nazev, TZdrojBajtu& stary, TZdrojBajtu& novy,
                       const std::function<void(std::string_view)>& vystup) {
    TCteniRadku a(stary), b(novy);
    TRozdil rozdil(nazev, vystup);
    if (a.Pocet() == b.Pocet())
        rozdil.PoRadcich(a, b);
    else
        rozdil.Nahrazeni(a, b);
    return rozdil.Zmena();
}

bool StejneRadky(TZdrojBajtu& stary, TZdrojBajtu& novy) {
    TCteniRadku a(stary), b(novy);
    if (a.Pocet() != b.Pocet()) return false;
    std::string_view x, y;
    while (a.Dalsi(x) && b.Dalsi(y))
        if (x != y || a.BezZlomu() != b.BezZlomu()) return false;
    return true;
}

std::string UnifikovanyRozdil(std::string_view nazev, const TText& stary, const TText& novy) {
    const auto bajty = [](const TText& t) {
        std::size_t n = t.Radky.size();
        if (!t.KoncovyZlom && n > 0 && t.Radky.back().empty()) --n;  // an empty last line without a break is none
        // With the UTF-8 mark, so that no system reads it in its own code page.
        std::string b = "\xEF\xBB\xBF";
        for (std::size_t i = 0; i < n; ++i) {
            if (i > 0) b += '\n';
            PripojitUtf8(b, t.Radky[i]);
        }
        if (t.KoncovyZlom && n > 0) b += '\n';
        return b;
    };
    const std::string a = bajty(stary), b = bajty(novy);
    TBajtyVPameti zdrojA(a), zdrojB(b);
    std::string v;
    UnifikovanyRozdil(nazev, zdrojA, zdrojB, [&](std::string_view kus) { v += kus; });
    return v;
}
