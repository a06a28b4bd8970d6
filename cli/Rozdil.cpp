#include "Rozdil.h"

#include <algorithm>
#include <vector>

namespace {

constexpr std::size_t Kontext = 3;

// One side: its lines, an empty last line without a break left out (it holds nothing).
struct TStrana {
    explicit TStrana(const TText& t)
        : radky(t.Radky),
          n(t.Radky.size() - (!t.KoncovyZlom && !t.Radky.empty() && t.Radky.back().empty() ? 1 : 0)),
          zlom(t.KoncovyZlom) {}
    // The last line, without a break after it.
    bool BezZlomu(std::size_t i) const { return i + 1 == n && !zlom; }

    const std::vector<std::u16string>& radky;
    std::size_t n;
    bool zlom;
};

bool Stejne(const TStrana& a, std::size_t i, const TStrana& b, std::size_t j) {
    return a.BezZlomu(i) == b.BezZlomu(j) && a.radky[i] == b.radky[j];
}

// Lines a .. a + na of the old text replaced by lines b .. b + nb of the new.
struct TZmena {
    std::size_t a, na, b, nb;
};

// "start,count" of a hunk's header: lines counted from 1; an empty range
// names the line before it.
std::string Rozsah(std::size_t zacatek, std::size_t pocet) {
    if (pocet == 1) return std::to_string(zacatek + 1);
    return std::to_string(pocet == 0 ? zacatek : zacatek + 1) + "," + std::to_string(pocet);
}

void Radek(std::string& vystup, char znak, const TStrana& s, std::size_t i) {
    vystup += znak;
    PripojitUtf8(vystup, s.radky[i]);
    vystup += '\n';
    if (s.BezZlomu(i)) vystup += "\\ No newline at end of file\n";
}

}  // namespace

std::string UnifikovanyRozdil(std::string_view nazev, const TText& stary, const TText& novy) {
    const TStrana a(stary), b(novy);
    std::size_t zacatek = 0;
    while (zacatek < a.n && zacatek < b.n && Stejne(a, zacatek, b, zacatek)) ++zacatek;
    std::size_t konec = 0;
    while (konec < a.n - zacatek && konec < b.n - zacatek && Stejne(a, a.n - 1 - konec, b, b.n - 1 - konec))
        ++konec;

    std::vector<TZmena> zmeny;
    const std::size_t na = a.n - zacatek - konec, nb = b.n - zacatek - konec;
    if (na == nb) {
        // Line for line: each run of differing lines is one change.
        for (std::size_t i = zacatek; i < zacatek + na;) {
            if (Stejne(a, i, b, i)) {
                ++i;
                continue;
            }
            const std::size_t od = i;
            while (i < zacatek + na && !Stejne(a, i, b, i)) ++i;
            zmeny.push_back({od, i - od, od, i - od});
        }
    } else {
        zmeny.push_back({zacatek, na, zacatek, nb});
    }
    if (zmeny.empty()) return {};

    std::string vystup = "--- " + std::string(nazev) + "\n+++ " + std::string(nazev) + "\n";
    for (std::size_t i = 0; i < zmeny.size();) {
        // Changes closer than twice the context share one hunk.
        std::size_t j = i;
        while (j + 1 < zmeny.size() && zmeny[j + 1].a - (zmeny[j].a + zmeny[j].na) <= 2 * Kontext) ++j;
        const std::size_t pred = std::min(Kontext, zmeny[i].a);
        const std::size_t aOd = zmeny[i].a - pred, bOd = zmeny[i].b - pred;
        const std::size_t po = std::min(Kontext, a.n - (zmeny[j].a + zmeny[j].na));
        const std::size_t aDo = zmeny[j].a + zmeny[j].na + po, bDo = zmeny[j].b + zmeny[j].nb + po;
        vystup += "@@ -" + Rozsah(aOd, aDo - aOd) + " +" + Rozsah(bOd, bDo - bOd) + " @@\n";
        std::size_t ai = aOd;
        for (std::size_t k = i; k <= j; ++k) {
            for (; ai < zmeny[k].a; ++ai) Radek(vystup, ' ', a, ai);
            for (std::size_t x = 0; x < zmeny[k].na; ++x) Radek(vystup, '-', a, zmeny[k].a + x);
            for (std::size_t x = 0; x < zmeny[k].nb; ++x) Radek(vystup, '+', b, zmeny[k].b + x);
            ai = zmeny[k].a + zmeny[k].na;
        }
        for (; ai < aDo; ++ai) Radek(vystup, ' ', a, ai);
        i = j + 1;
    }
    return vystup;
}
