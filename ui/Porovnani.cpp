#include "Porovnani.h"

#include "engine/CNCEdit.h"

#include <algorithm>
#include <cstring>

namespace {

// Lines of the program that continue lines Od + Posun.. of a text before
// some of the edits (or that none of them continues: added).
struct TUsekRadku {
    std::size_t Od = 0, Po = 0;
    bool Pridany = false;
    std::ptrdiff_t Posun = 0;
};

void PridatUsek(std::vector<TUsekRadku>& useky, const TUsekRadku& u) {
    if (u.Po <= u.Od) return;
    if (!useky.empty()) {
        TUsekRadku& p = useky.back();
        if (p.Po == u.Od && p.Pridany == u.Pridany && (u.Pridany || p.Posun == u.Posun)) {
            p.Po = u.Po;
            return;
        }
    }
    useky.push_back(u);
}

void PridatBlok(std::vector<TBlokPorovnani>& bloky, const TBlokPorovnani& b) {
    if (b.Radku == 0) return;
    if (!bloky.empty()) {
        TBlokPorovnani& p = bloky.back();
        const bool navazuje = p.Druh == b.Druh &&
                              (b.Druh == TBlokPorovnani::TDruh::Odebrane || p.Nyni + p.Radku == b.Nyni) &&
                              (b.Druh == TBlokPorovnani::TDruh::Pridane || p.Puvodne + p.Radku == b.Puvodne);
        if (navazuje) {
            p.Radku += b.Radku;
            return;
        }
    }
    bloky.push_back(b);
}

// Where the line after the one that starts at od starts; past the end when it has none.
std::size_t DalsiRadek(std::string_view text, std::size_t od) {
    if (od > text.size()) return od;
    const std::size_t konec = cnc::KonecRadku(text, od);
    return konec < text.size() ? cnc::ZaZlomem(text, konec) : text.size() + 1;
}

}  // namespace

std::string_view RadekTextu(std::string_view text, std::size_t od) {
    if (od >= text.size()) return {};
    return text.substr(od, cnc::KonecRadku(text, od) - od);
}

std::vector<TBlokPorovnani> ZarovnatRadky(std::span<const TUpravaRadku> upravy, std::size_t radkuNyni,
                                          std::size_t radkuPuvodne) {
    // The program's lines followed back through the edits, the last first:
    // each splits the runs at the lines where it added or removed some.
    std::vector<TUsekRadku> useky{{0, radkuNyni, false, 0}}, dalsi;
    for (auto u = upravy.rbegin(); u != upravy.rend(); ++u) {
        const std::size_t prvni = u->NaZacatku ? u->Radek : u->Radek + u->Zachovano + 1;
        const std::size_t pridano = u->Pridano > 0 ? std::size_t(u->Pridano) : 0;
        dalsi.clear();
        for (const TUsekRadku& s : useky) {
            if (s.Pridany) {
                PridatUsek(dalsi, s);
                continue;
            }
            // The run's lines before the edit: x = line + Posun.
            const auto radekX = [&](std::size_t x) { return std::size_t(std::ptrdiff_t(x) - s.Posun); };
            const std::size_t x0 = std::size_t(std::ptrdiff_t(s.Od) + s.Posun), x1 = x0 + (s.Po - s.Od);
            const std::size_t a = std::clamp(prvni, x0, x1), b = std::clamp(prvni + pridano, x0, x1);
            PridatUsek(dalsi, {s.Od, radekX(a), false, s.Posun});
            if (u->Pridano > 0) {
                PridatUsek(dalsi, {radekX(a), radekX(b), true, 0});
                PridatUsek(dalsi, {radekX(b), s.Po, false, s.Posun - u->Pridano});
            } else {
                PridatUsek(dalsi, {radekX(a), s.Po, false, s.Posun - u->Pridano});
            }
        }
        std::swap(useky, dalsi);
    }

    using D = TBlokPorovnani::TDruh;
    std::vector<TBlokPorovnani> bloky;
    std::vector<TUsekRadku> pridane;  // added lines waiting for the removed ones that go before them
    std::size_t puvodne = 0;          // the next line of the original
    // The original's lines up to doPuvodne are removed, before the added
    // lines waiting (or before program line nyni), then come those.
    const auto dokoncit = [&](std::size_t doPuvodne, std::size_t nyni) {
        if (doPuvodne > puvodne) {
            PridatBlok(bloky, {D::Odebrane, pridane.empty() ? nyni : pridane.front().Od, puvodne, doPuvodne - puvodne});
            puvodne = doPuvodne;
        }
        for (const TUsekRadku& p : pridane) PridatBlok(bloky, {D::Pridane, p.Od, puvodne, p.Po - p.Od});
        pridane.clear();
    };
    for (const TUsekRadku& s : useky) {
        if (s.Pridany) {
            PridatUsek(pridane, s);
            continue;
        }
        // Lines that would go back before the last one paired, or past the
        // original's end, count as added.
        std::size_t od = s.Od;
        const std::size_t x0 = std::size_t(std::ptrdiff_t(s.Od) + s.Posun);
        if (x0 < puvodne) {
            const std::size_t k = std::min(puvodne - x0, s.Po - s.Od);
            PridatUsek(pridane, {od, od + k, true, 0});
            od += k;
        }
        const std::size_t xOd = std::size_t(std::ptrdiff_t(od) + s.Posun);
        const std::size_t po = xOd >= radkuPuvodne ? od : std::min(s.Po, od + (radkuPuvodne - xOd));
        if (po > od) {
            dokoncit(xOd, od);
            PridatBlok(bloky, {D::Spolecne, od, xOd, po - od});
            puvodne = xOd + (po - od);
        }
        if (s.Po > po) PridatUsek(pridane, {po, s.Po, true, 0});
    }
    dokoncit(radkuPuvodne, radkuNyni);
    return bloky;
}

// ---------------------------------------------------------------- the comparison

TPorovnani::TPorovnani(std::string_view puvodni, std::string_view nyni, std::vector<TBlokPorovnani> bloky)
    : bloky_(std::move(bloky)) {
    zacatky_.reserve(bloky_.size());
    for (const TBlokPorovnani& b : bloky_) {
        zacatky_.push_back(radku_);
        radku_ += b.Radku;
    }
    // One walk over both texts, line by line along the blocks.
    using D = TBlokPorovnani::TDruh;
    std::size_t a = 0, b = 0, radek = 0;
    std::optional<std::size_t> zmena;  // the first row of the change under way
    const auto stejny = [&](bool je) {
        if (!je && !zmena) zmena = radek;
        if (je && zmena) {
            zmeny_.push_back({*zmena, radek});
            zmena.reset();
        }
        ++radek;
    };
    for (const TBlokPorovnani& blok : bloky_) {
        for (std::size_t i = 0; i < blok.Radku; ++i) {
            switch (blok.Druh) {
                case D::Spolecne: {
                    const bool je = RadekTextu(puvodni, a) == RadekTextu(nyni, b);
                    pocty_.Zmenenych += !je;
                    stejny(je);
                    a = DalsiRadek(puvodni, a);
                    b = DalsiRadek(nyni, b);
                    break;
                }
                case D::Pridane:
                    ++pocty_.Pridanych;
                    stejny(false);
                    b = DalsiRadek(nyni, b);
                    break;
                case D::Odebrane:
                    ++pocty_.Odebranych;
                    stejny(false);
                    a = DalsiRadek(puvodni, a);
                    break;
            }
        }
    }
    if (zmena) zmeny_.push_back({*zmena, radek});
}

std::size_t TPorovnani::Blok(std::size_t radek) const {
    return std::size_t(std::upper_bound(zacatky_.begin(), zacatky_.end(), radek) - zacatky_.begin()) - 1;
}

TPorovnani::TRadek TPorovnani::Radek(std::size_t radek) const {
    if (radek >= radku_) return {};
    const TBlokPorovnani& b = bloky_[Blok(radek)];
    const std::size_t k = radek - zacatky_[Blok(radek)];
    switch (b.Druh) {
        case TBlokPorovnani::TDruh::Spolecne: return {b.Puvodne + k, b.Nyni + k};
        case TBlokPorovnani::TDruh::Pridane: return {std::nullopt, b.Nyni + k};
        case TBlokPorovnani::TDruh::Odebrane: return {b.Puvodne + k, std::nullopt};
    }
    return {};
}

std::size_t TPorovnani::RadekProgramu(std::size_t radekNyni) const {
    // The last block that starts at the line or before it and holds program lines.
    auto i = std::upper_bound(bloky_.begin(), bloky_.end(), radekNyni,
                              [](std::size_t r, const TBlokPorovnani& b) { return r < b.Nyni; });
    while (i != bloky_.begin()) {
        --i;
        if (i->Druh == TBlokPorovnani::TDruh::Odebrane) continue;
        const std::size_t k = std::min(radekNyni - i->Nyni, i->Radku - 1);
        return zacatky_[std::size_t(i - bloky_.begin())] + k;
    }
    return 0;
}

std::size_t TPorovnani::RadekVProgramu(std::size_t radek) const {
    if (radku_ == 0) return 0;
    radek = std::min(radek, radku_ - 1);
    const std::size_t i = Blok(radek);
    const TBlokPorovnani& b = bloky_[i];
    if (b.Druh != TBlokPorovnani::TDruh::Odebrane) return b.Nyni + (radek - zacatky_[i]);
    // The program's line after the removed ones, or its last line.
    for (std::size_t j = i + 1; j < bloky_.size(); ++j)
        if (bloky_[j].Druh != TBlokPorovnani::TDruh::Odebrane) return bloky_[j].Nyni;
    for (std::size_t j = i; j-- > 0;)
        if (bloky_[j].Druh != TBlokPorovnani::TDruh::Odebrane) return bloky_[j].Nyni + bloky_[j].Radku - 1;
    return 0;
}

std::optional<TPorovnani::TZmena> TPorovnani::DalsiZmena(std::size_t radek) const {
    const auto i = std::upper_bound(zmeny_.begin(), zmeny_.end(), radek,
                                    [](std::size_t r, const TZmena& z) { return r < z.Od; });
    if (i == zmeny_.end()) return std::nullopt;
    return *i;
}

std::optional<TPorovnani::TZmena> TPorovnani::PredchoziZmena(std::size_t radek) const {
    const auto i = std::lower_bound(zmeny_.begin(), zmeny_.end(), radek,
                                    [](const TZmena& z, std::size_t r) { return z.Od < r; });
    if (i == zmeny_.begin()) return std::nullopt;
    return *std::prev(i);
}

bool TPorovnani::VeZmene(std::size_t radek) const {
    const auto i = std::upper_bound(zmeny_.begin(), zmeny_.end(), radek,
                                    [](std::size_t r, const TZmena& z) { return r < z.Od; });
    return i != zmeny_.begin() && radek < std::prev(i)->Po;
}

// ---------------------------------------------------------------- words

namespace {

bool Pismeno(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c >= 0x80;
}
bool Cislice(unsigned char c) { return c >= '0' && c <= '9'; }

// The ends of the words of a line.
std::vector<std::size_t> Slova(std::string_view s) {
    std::vector<std::size_t> konce;
    const std::size_t n = s.size();
    // Digits and decimal points, from a digit or a point before one.
    const auto cislo = [&](std::size_t i) {
        while (i < n && (Cislice(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
        return i;
    };
    const auto zacinaCislo = [&](std::size_t i) {
        return i < n && (Cislice(static_cast<unsigned char>(s[i])) ||
                         (s[i] == '.' && i + 1 < n && Cislice(static_cast<unsigned char>(s[i + 1]))));
    };
    for (std::size_t i = 0; i < n;) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (Pismeno(c)) {
            while (i < n && Pismeno(static_cast<unsigned char>(s[i]))) ++i;
            // An address takes its value, with a sign.
            std::size_t j = i;
            if (j < n && (s[j] == '+' || s[j] == '-')) ++j;
            if (zacinaCislo(j)) i = cislo(j);
        } else if (zacinaCislo(i)) {
            i = cislo(i);
        } else if (c == ' ' || c == '\t') {
            while (i < n && (s[i] == ' ' || s[i] == '\t')) ++i;
        } else {
            ++i;
        }
        konce.push_back(i);
    }
    return konce;
}

// Word i of a line by its ends.
std::string_view Slovo(std::string_view s, const std::vector<std::size_t>& konce, std::size_t i) {
    const std::size_t od = i == 0 ? 0 : konce[i - 1];
    return s.substr(od, konce[i] - od);
}

void PridatRozsah(std::vector<std::pair<std::size_t, std::size_t>>& rozsahy, std::size_t od, std::size_t po) {
    if (po <= od) return;
    if (!rozsahy.empty() && rozsahy.back().second == od)
        rozsahy.back().second = po;
    else
        rozsahy.emplace_back(od, po);
}

// Lines longer than this many words are compared by their common start and end only.
constexpr std::size_t NejvicSlov = 512;

}  // namespace

TRozdilSlov RozdilSlov(std::string_view a, std::string_view b) {
    TRozdilSlov r;
    if (a == b) return r;
    const std::vector<std::size_t> ka = Slova(a), kb = Slova(b);
    const auto zacatek = [](const std::vector<std::size_t>& k, std::size_t i) { return i == 0 ? 0 : k[i - 1]; };
    // The common words at the start and at the end.
    std::size_t p = 0;
    while (p < ka.size() && p < kb.size() && Slovo(a, ka, p) == Slovo(b, kb, p)) ++p;
    std::size_t s = 0;
    while (s < ka.size() - p && s < kb.size() - p &&
           Slovo(a, ka, ka.size() - 1 - s) == Slovo(b, kb, kb.size() - 1 - s))
        ++s;
    const std::size_t na = ka.size() - p - s, nb = kb.size() - p - s;
    if (na == 0 || nb == 0 || na > NejvicSlov || nb > NejvicSlov) {
        PridatRozsah(r.A, zacatek(ka, p), zacatek(ka, p + na));
        PridatRozsah(r.B, zacatek(kb, p), zacatek(kb, p + nb));
        return r;
    }
    // The longest common sequence of the words between them, then its complement.
    std::vector<std::uint16_t> d((na + 1) * (nb + 1), 0);
    const auto D = [&](std::size_t i, std::size_t j) -> std::uint16_t& { return d[i * (nb + 1) + j]; };
    for (std::size_t i = na; i-- > 0;)
        for (std::size_t j = nb; j-- > 0;)
            D(i, j) = Slovo(a, ka, p + i) == Slovo(b, kb, p + j) ? std::uint16_t(D(i + 1, j + 1) + 1)
                                                                 : std::max(D(i + 1, j), D(i, j + 1));
    std::size_t i = 0, j = 0;
    while (i < na || j < nb) {
        if (i < na && j < nb && Slovo(a, ka, p + i) == Slovo(b, kb, p + j)) {
            ++i;
            ++j;
        } else if (j < nb && (i == na || D(i, j + 1) >= D(i + 1, j))) {
            PridatRozsah(r.B, zacatek(kb, p + j), kb[p + j]);
            ++j;
        } else {
            PridatRozsah(r.A, zacatek(ka, p + i), ka[p + i]);
            ++i;
        }
    }
    return r;
}
