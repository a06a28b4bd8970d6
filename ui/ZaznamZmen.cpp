#include "ZaznamZmen.h"

#include "engine/CNCEdit.h"

#include <bit>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <cstdint>
#include <cstring>

namespace {

bool JeKonec(std::string_view t, std::size_t p) {
    return t[p] == '\n' || (t[p] == '\r' && (p + 1 == t.size() || t[p + 1] != '\n'));
}

// The position after the break of the line that starts at od.
std::size_t ZaRadkem(std::string_view t, std::size_t od) {
    const std::size_t k = cnc::KonecRadku(t, od);
    if (k == t.size()) return k;
    return cnc::ZaZlomem(t, k);
}

// How many bytes a[i..] and b[j..] have in common from their start, sixteen or eight at a time.
std::size_t Shodnych(std::string_view a, std::size_t i, std::string_view b, std::size_t j) {
    const std::size_t n = std::min(a.size() - i, b.size() - j);
    const char* x = a.data() + i;
    const char* y = b.data() + j;
    std::size_t k = 0;
#ifdef __SSE2__
    while (k + 16 <= n) {
        const __m128i u = _mm_loadu_si128(reinterpret_cast<const __m128i*>(x + k));
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(y + k));
        const unsigned stejne = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(u, v)));
        if (stejne != 0xFFFF) return k + static_cast<std::size_t>(std::countr_zero(~stejne));
        k += 16;
    }
#endif
    while (k + 8 <= n) {
        std::uint64_t u, v;
        std::memcpy(&u, x + k, 8);
        std::memcpy(&v, y + k, 8);
        if (u != v) {
            if constexpr (std::endian::native == std::endian::little)
                return k + static_cast<std::size_t>(std::countr_zero(u ^ v)) / 8;
            break;
        }
        k += 8;
    }
    while (k < n && x[k] == y[k]) ++k;
    return k;
}

// How many bytes a and b have in common at their end, at most nejvic, eight at a time.
std::size_t SpolecnyKonec(std::string_view a, std::string_view b, std::size_t nejvic) {
    const char* x = a.data() + a.size();
    const char* y = b.data() + b.size();
    std::size_t k = 0;
    while (k + 8 <= nejvic) {
        std::uint64_t u, v;
        std::memcpy(&u, x - k - 8, 8);
        std::memcpy(&v, y - k - 8, 8);
        if (u != v) {
            if constexpr (std::endian::native == std::endian::little)
                return k + static_cast<std::size_t>(std::countl_zero(u ^ v)) / 8;
            break;
        }
        k += 8;
    }
    while (k < nejvic && x[-1 - static_cast<std::ptrdiff_t>(k)] == y[-1 - static_cast<std::ptrdiff_t>(k)]) ++k;
    return k;
}

// Two lines: their common start and end (never overlapping), and the bytes in which they differ.
struct TPorovnani {
    std::size_t Zacatek = 0, Konec = 0, Cena = 0;
};
TPorovnani Porovnat(std::string_view a, std::string_view b) {
    TPorovnani p;
    p.Zacatek = Shodnych(a, 0, b, 0);
    p.Konec = SpolecnyKonec(a, b, std::min(a.size(), b.size()) - p.Zacatek);
    p.Cena = a.size() + b.size() - 2 * (p.Zacatek + p.Konec);
    return p;
}

// A line starts at p.
bool ZacinaRadek(std::string_view t, std::size_t p) {
    return p == 0 || t[p - 1] == '\n' || (t[p - 1] == '\r' && (p == t.size() || t[p] != '\n'));
}

// The texts x[0, nx) and y[0, ny) go on alike: for Navaz bytes, or up to and
// including a line feed, or to the end of both.
constexpr std::size_t Skok = 8, Navaz = 8;
bool Navazuji(const char* x, std::size_t nx, const char* y, std::size_t ny) {
    std::size_t k = 0;
    if (nx >= Navaz && ny >= Navaz) {
        std::uint64_t u, v;
        std::memcpy(&u, x, 8);
        std::memcpy(&v, y, 8);
        if (u == v) return true;
        if constexpr (std::endian::native == std::endian::little) {
            // Equal up to the first byte that differs: a line feed before it will do.
            const std::size_t jine = static_cast<std::size_t>(std::countr_zero(u ^ v)) / 8;
            for (; k < jine; ++k)
                if (x[k] == '\n') return true;
            return false;
        }
    }
    for (; k < Navaz; ++k) {
        if (k == nx || k == ny) return nx == ny;
        if (x[k] != y[k]) return false;
        if (x[k] == '\n') return true;
    }
    return true;
}

// Where a[i..] and b[j..], which differ at their first byte, go on alike
// again after at most Skok bytes of either: the fewest bytes skipped in both.
std::optional<std::pair<std::size_t, std::size_t>> Navazani(std::string_view a, std::size_t i, std::string_view b,
                                                            std::size_t j) {
    const std::size_t zbA = a.size() - i, zbB = b.size() - j;
    const char* x = a.data() + i;
    const char* y = b.data() + j;
    // Digits for digits first (a renumbered number): behind both runs.
    const auto cislic = [](const char* t, std::size_t n) {
        std::size_t k = 0;
        while (k < n && k <= Skok && t[k] >= '0' && t[k] <= '9') ++k;
        return k;
    };
    std::size_t ca = cislic(x, zbA), cb = cislic(y, zbB);
    while (ca > 0 && cb > 0 && x[ca - 1] == y[cb - 1]) --ca, --cb;
    if ((ca > 0 || cb > 0) && ca <= Skok && cb <= Skok && Navazuji(x + ca, zbA - ca, y + cb, zbB - cb))
        return std::pair{ca, cb};
    // A block number gone or come (removed, introduced): a letter and its
    // digits, with the blank after them or without it.
    const auto cislo = [](const char* t, std::size_t n, bool mezera) -> std::size_t {
        if (n == 0 || !((t[0] >= 'A' && t[0] <= 'Z') || (t[0] >= 'a' && t[0] <= 'z') || t[0] == ':')) return 0;
        std::size_t k = 1;
        while (k < n && k <= Skok && t[k] >= '0' && t[k] <= '9') ++k;
        if (k == 1) return 0;
        if (mezera && k < n && t[k] == ' ') ++k;
        return k <= Skok ? k : 0;
    };
    for (const bool mezera : {false, true}) {
        if (const std::size_t k = cislo(x, zbA, mezera); k > 0 && Navazuji(x + k, zbA - k, y, zbB))
            return std::pair{k, std::size_t{0}};
        if (const std::size_t k = cislo(y, zbB, mezera); k > 0 && Navazuji(x, zbA, y + k, zbB - k))
            return std::pair{std::size_t{0}, k};
    }
    for (std::size_t soucet = 1; soucet <= 2 * Skok; ++soucet) {
        for (std::size_t dx = soucet > Skok ? soucet - Skok : 0; dx <= std::min(soucet, Skok); ++dx) {
            const std::size_t dy = soucet - dx;
            if (dx <= zbA && dy <= zbB && Navazuji(x + dx, zbA - dx, y + dy, zbB - dy)) return std::pair{dx, dy};
        }
    }
    return std::nullopt;
}

// Builds the record of potom against predtim, span by span in order. Spans
// that touch are joined, so that an unchanged byte always lies between two
// (the line ends of a span are then counted alike in both texts).
class TStavitel {
public:
    TStavitel(std::string_view a, std::string_view b, std::vector<TUpravaRadku>* radky)
        : a_(a), b_(b), radky_(radky) {}

    // Bytes a[posA, posA + delkaA) became b[posB, posB + delkaB).
    void Usek(std::size_t posA, std::size_t delkaA, std::size_t posB, std::size_t delkaB) {
        if (delkaA == 0 && delkaB == 0) return;
        if (ma_ && posB == b0_ + nb_) {
            na_ += delkaA;
            nb_ += delkaB;
            return;
        }
        Odevzdat();
        ma_ = true;
        a0_ = posA;
        na_ = delkaA;
        b0_ = posB;
        nb_ = delkaB;
    }

    TZaznamZmen Dokoncit() {
        Odevzdat();
        zaznam_.Uzavrit(b_.size() - konecB_);
        return std::move(zaznam_);
    }

private:
    void Odevzdat() {
        if (!ma_) return;
        ma_ = false;
        zaznam_.Pridat(b0_ - konecB_, nb_, a_.substr(a0_, na_));
        konecB_ = b0_ + nb_;
        if (!radky_) return;
        // Most spans hold no line break and follow none that they could join or split.
        const auto zlom = [](std::string_view t, std::size_t od, std::size_t n) {
            if (od > 0 && t[od - 1] == '\r') return true;
            for (std::size_t k = od; k < od + n; ++k) {
                const auto c = static_cast<unsigned char>(t[k]);
                if (c <= '\r' && ((1U << c) & (1U << '\r' | 1U << '\n'))) return true;
            }
            return false;
        };
        if (!zlom(a_, a0_, na_) && !zlom(b_, b0_, nb_)) return;
        // Lines are counted only as far as a change of their number needs.
        std::optional<TUpravaRadku> u = UpravaRadku(a_, a0_, na_, b_, b0_, nb_, 0);
        if (!u) return;
        radek_ += KoncuRadku(b_, pocitano_, b0_);
        pocitano_ = b0_;
        u->Radek = radek_;
        radky_->push_back(*u);
    }

    std::string_view a_, b_;
    std::vector<TUpravaRadku>* radky_;
    TZaznamZmen zaznam_;
    std::size_t konecB_ = 0;
    // The span not yet written: it may go on.
    bool ma_ = false;
    std::size_t a0_ = 0, na_ = 0, b0_ = 0, nb_ = 0;
    // The line of position pocitano_ in b, counted as far as a line edit needed it.
    std::size_t pocitano_ = 0, radek_ = 0;
};

// Lines whose rests differ by more than this are tried against the next line
// of either text (a line added or removed); longer lines than Delsi are
// always taken as a pair, so that the walk stays linear.
constexpr std::size_t Prah = 32;
constexpr std::size_t Delsi = std::size_t{1} << 16;
// Within a pair: a difference longer than Rozdelit is looked into for bytes
// that match again (Shoda of them) within Okno bytes of where it starts.
constexpr std::size_t Rozdelit = 24, Okno = 16, Shoda = 4;

// Spans of a pair of lines a[i, i + A.size()) and b[j, j + B.size()).
void Par(TStavitel& s, std::size_t i, std::string_view A, std::size_t j, std::string_view B, const TPorovnani& por) {
    std::size_t x0 = por.Zacatek, y0 = por.Zacatek;
    const std::size_t xk = A.size() - por.Konec, yk = B.size() - por.Konec;
    while (x0 < xk || y0 < yk) {
        const std::size_t zbA = xk - x0, zbB = yk - y0;
        std::optional<std::pair<std::size_t, std::size_t>> shoda;
        if (zbA + zbB > Rozdelit) {
            // The nearest place, by the bytes skipped in both, where Shoda bytes match again.
            for (std::size_t soucet = 1; soucet <= 2 * Okno && !shoda; ++soucet) {
                for (std::size_t x = soucet > Okno ? soucet - Okno : 0; x <= std::min(soucet, Okno); ++x) {
                    const std::size_t y = soucet - x;
                    if (x + Shoda > zbA || y + Shoda > zbB) continue;
                    if (std::memcmp(A.data() + x0 + x, B.data() + y0 + y, Shoda) == 0) {
                        shoda = {x, y};
                        break;
                    }
                }
            }
        }
        if (!shoda) {
            s.Usek(i + x0, zbA, j + y0, zbB);
            break;
        }
        s.Usek(i + x0, shoda->first, j + y0, shoda->second);
        x0 += shoda->first;
        y0 += shoda->second;
        const std::size_t stejnych = Shodnych(A.substr(0, xk), x0, B.substr(0, yk), y0);
        x0 += stejnych;
        y0 += stejnych;
    }
}

}  // namespace

std::optional<std::size_t> TUpravaRadku::Predtim(std::size_t radek) const {
    const std::size_t prvni = NaZacatku ? Radek : Radek + Zachovano + 1;
    if (radek < prvni) return radek;
    if (Pridano >= 0) {
        const auto pridano = static_cast<std::size_t>(Pridano);
        if (radek < prvni + pridano) return std::nullopt;
        return radek - pridano;
    }
    return radek + static_cast<std::size_t>(-Pridano);
}

std::size_t KoncuRadku(std::string_view text, std::size_t od, std::size_t po) {
    std::size_t n = 0;
    for (std::size_t i = od; i < po;) {
        const std::size_t k = cnc::KonecRadku(text, i);
        if (k >= po) break;
        n += JeKonec(text, k);
        i = k + 1;
    }
    return n;
}

std::optional<TUpravaRadku> UpravaRadku(std::string_view stary, std::size_t od, std::size_t delkaStara,
                                        std::string_view novy, std::size_t od2, std::size_t delkaNova,
                                        std::size_t radek) {
    // Most changes are a few bytes inside a line: no break in them nor just before them.
    const auto bezZlomu = [](std::string_view t, std::size_t od, std::size_t po) {
        if (od > 0 && t[od - 1] == '\r') return false;
        for (std::size_t i = od; i < po; ++i)
            if (t[i] == '\r' || t[i] == '\n') return false;
        return true;
    };
    if (delkaStara + delkaNova <= 64 && bezZlomu(stary, od, od + delkaStara) && bezZlomu(novy, od2, od2 + delkaNova))
        return std::nullopt;
    const std::size_t vStarem = KoncuRadku(stary, od, od + delkaStara);
    const std::size_t vNovem = KoncuRadku(novy, od2, od2 + delkaNova);
    // A CR just before the change ends a line or not by what follows it.
    const bool predStary = od > 0 && stary[od - 1] == '\r' && JeKonec(stary, od - 1);
    const bool predNovy = od2 > 0 && novy[od2 - 1] == '\r' && JeKonec(novy, od2 - 1);
    const auto pridano = static_cast<std::ptrdiff_t>(vNovem + predNovy) - static_cast<std::ptrdiff_t>(vStarem + predStary);
    if (pridano == 0) return std::nullopt;
    TUpravaRadku u;
    u.Radek = radek;
    u.Pridano = pridano;
    u.Zachovano = std::min(vStarem, vNovem);
    // The line the change starts in goes on below it when more of it lies behind the change than before it.
    std::size_t pred = 0;
    while (pred < od2 && novy[od2 - 1 - pred] != '\n' && novy[od2 - 1 - pred] != '\r') ++pred;
    const std::size_t za = cnc::KonecRadku(novy, od2 + delkaNova) - (od2 + delkaNova);
    u.NaZacatku = pred <= za;
    return u;
}

// ---------------------------------------------------------------- the bytes

void TZaznamZmen::TBajty::PridatDlouhe(const char* data, std::size_t n) {
    while (n > 0) {
        if (zapis_ == konec_) {
            kusy_.push_back(std::make_unique_for_overwrite<std::uint8_t[]>(Kus));
            zapis_ = kusy_.back().get();
            konec_ = zapis_ + Kus;
        }
        const std::size_t k = std::min(n, static_cast<std::size_t>(konec_ - zapis_));
        std::memcpy(zapis_, data, k);
        zapis_ += k;
        bajtu_ += k;
        data += k;
        n -= k;
    }
}

void TZaznamZmen::TBajty::TCteni::DalsiKus() {
    cteni_ = b_.kusy_[kus_].get();
    konec_ = cteni_ + std::min(Kus, b_.bajtu_ - kus_ * Kus);
    ++kus_;
}

// ---------------------------------------------------------------- the record

// A span: the unchanged bytes before it (a number of 7 bits a byte), one byte
// with both lengths when they are below 15 (else 15 and the rest as a
// number), then the other version's bytes.
std::size_t TZaznamZmen::CistCislo(TBajty::TCteni& c) {
    std::size_t v = 0;
    for (unsigned posun = 0;; posun += 7) {
        const std::uint8_t b = c.Bajt();
        v |= static_cast<std::size_t>(b & 0x7F) << posun;
        if ((b & 0x80) == 0) return v;
    }
}

void TZaznamZmen::Pridat(std::size_t mezera, std::size_t delkaZobrazene, std::string_view jine) {
    ++useku_;
    delkaZobrazene_ += mezera + delkaZobrazene;
    delkaJine_ += mezera + jine.size();
    if (mezera < 0x4000 && delkaZobrazene < 15 && jine.size() <= 16 && data_.Volno() >= 4 + 16) {
        // The common span, a few bytes a line apart, written in place.
        std::uint8_t* z = data_.Zapis();
        std::uint8_t* const zacatek = z;
        if (mezera < 0x80) {
            *z++ = static_cast<std::uint8_t>(mezera);
        } else {
            *z++ = static_cast<std::uint8_t>(mezera | 0x80);
            *z++ = static_cast<std::uint8_t>(mezera >> 7);
        }
        *z++ = static_cast<std::uint8_t>(delkaZobrazene << 4 | std::min<std::size_t>(jine.size(), 15));
        if (jine.size() >= 15) *z++ = static_cast<std::uint8_t>(jine.size() - 15);
        for (char c : jine) *z++ = static_cast<std::uint8_t>(c);
        data_.Posunout(static_cast<std::size_t>(z - zacatek));
        return;
    }
    char hlava[40];
    std::size_t n = 0;
    const auto cislo = [&](std::size_t c) {
        while (c >= 0x80) {
            hlava[n++] = static_cast<char>(c | 0x80);
            c >>= 7;
        }
        hlava[n++] = static_cast<char>(c);
    };
    cislo(mezera);
    const std::size_t z = std::min<std::size_t>(delkaZobrazene, 15), j = std::min<std::size_t>(jine.size(), 15);
    hlava[n++] = static_cast<char>(z << 4 | j);
    if (z == 15) cislo(delkaZobrazene - 15);
    if (j == 15) cislo(jine.size() - 15);
    data_.Pridat(hlava, n);
    data_.Pridat(jine.data(), jine.size());
}

void TZaznamZmen::Uzavrit(std::size_t delkaZbytku) {
    delkaZobrazene_ += delkaZbytku;
    delkaJine_ += delkaZbytku;
}

TZaznamZmen TZaznamZmen::Rozdil(std::string_view a, std::string_view b, std::vector<TUpravaRadku>* radky,
                                const TPrubehRozdilu& prubeh) {
    TStavitel s(a, b, radky);
    std::size_t i = 0, j = 0;  // everything before them is accounted for
    // The progress is told each time the walk has passed this many bytes more.
    constexpr std::size_t KrokPrubehu = std::size_t{1} << 22;
    std::size_t dalsiPrubeh = prubeh ? KrokPrubehu : SIZE_MAX;
    for (;;) {
        if (i >= dalsiPrubeh) {
            prubeh(i, a.size());
            dalsiPrubeh = i + KrokPrubehu;
        }
        const std::size_t d = Shodnych(a, i, b, j);
        i += d;
        j += d;
        if (i == a.size() || j == b.size()) {
            // One text ends: the rest of the other was added or removed.
            s.Usek(i, a.size() - i, j, b.size() - j);
            break;
        }
        // The common case: a few bytes differ (digits, a line's front) and the texts go on alike.
        if (const auto n = Navazani(a, i, b, j)) {
            s.Usek(i, n->first, j, n->second);
            i += n->first;
            j += n->second;
            continue;
        }
        // Else the rests of the two lines are a pair, unless at the start of
        // both lines one of them was added or removed whole.
        const std::size_t ea = ZaRadkem(a, i), eb = ZaRadkem(b, j);
        const std::string_view A = a.substr(i, ea - i), B = b.substr(j, eb - j);
        const TPorovnani por = Porovnat(A, B);
        const std::size_t cena = por.Cena;
        if (cena > Prah && A.size() <= Delsi && B.size() <= Delsi && ZacinaRadek(a, i) && ZacinaRadek(b, j)) {
            std::size_t pridana = SIZE_MAX, odebrana = SIZE_MAX;
            if (eb < b.size()) {
                const std::size_t dalsi = ZaRadkem(b, eb);
                if (dalsi - eb <= Delsi) pridana = B.size() + Porovnat(A, b.substr(eb, dalsi - eb)).Cena;
            }
            if (ea < a.size()) {
                const std::size_t dalsi = ZaRadkem(a, ea);
                if (dalsi - ea <= Delsi) odebrana = A.size() + Porovnat(a.substr(ea, dalsi - ea), B).Cena;
            }
            if (pridana <= cena && pridana <= odebrana) {
                s.Usek(i, 0, j, B.size());
                j = eb;
                continue;
            }
            if (odebrana <= cena) {
                s.Usek(i, A.size(), j, 0);
                i = ea;
                continue;
            }
        }
        Par(s, i, A, j, B, por);
        i = ea;
        j = eb;
    }
    return s.Dokoncit();
}
