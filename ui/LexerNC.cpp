#include "LexerNC.h"

#include <algorithm>

namespace {

bool JePismeno(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool JeCislice(char c) { return c >= '0' && c <= '9'; }
bool JeMezera(char c) { return static_cast<unsigned char>(c) <= 32; }

// The end of a number at p (a sign, digits, a decimal point, digits), or p when none is there.
std::size_t KonecCisla(std::string_view r, std::size_t p) {
    std::size_t q = p;
    if (q < r.size() && (r[q] == '+' || r[q] == '-')) ++q;
    const std::size_t cislice = q;
    while (q < r.size() && JeCislice(r[q])) ++q;
    if (q < r.size() && r[q] == '.') {
        ++q;
        while (q < r.size() && JeCislice(r[q])) ++q;
    }
    // A sign or a point alone is no number.
    for (std::size_t i = cislice; i < q; ++i)
        if (JeCislice(r[i])) return q;
    return p;
}

}  // namespace

void TLexerNC::NastavitTyp(const std::optional<TTypSouboru>& typ) {
    pravidla_.reset();
    if (!typ) return;
    hlavni_ = cnc::TZnackaUtf8(typ->HlavniZnak);
    vedlejsi_ = cnc::TZnackaUtf8(typ->VedlejsiZnak);
    zacatek_ = cnc::TZnackaUtf8(typ->Zacatek);
    konec_ = cnc::TZnackaUtf8(typ->Konec);
    komentar_ = cnc::TZnackaUtf8(typ->Komentar);
    const auto h = hlavni_.Znacka(), v = vedlejsi_.Znacka(), z = zacatek_.Znacka(), k = komentar_.Znacka();
    znaky_ = TZnakyOdkazu{h.Text, v.Text, z.Text, k.Text, h.MuzeZacinat, v.MuzeZacinat, z.MuzeZacinat};
    // The references of the families the type's control reads, as a renumber updates them.
    znaky_.Druhy = DruhyOdkazuTypu(*typ);
    pravidla_.emplace(znaky_);
}

void TLexerNC::NajitOdkazy(std::string_view radek) {
    odkazy_.clear();
    texty_.clear();
    NajitOdkazyVRadku(radek, znaky_, odkazy_, texty_);
}

void TLexerNC::Oznacit(std::size_t od, std::size_t po, TDruhSlova druh) {
    std::fill(druhy_.begin() + static_cast<std::ptrdiff_t>(od), druhy_.begin() + static_cast<std::ptrdiff_t>(po), druh);
}

bool TLexerNC::ZacinaZnackou(std::string_view radek, std::size_t p, const cnc::TZnacka<char>& znacka) {
    const std::string_view z = znacka.Text;
    if (z.empty() || !znacka.MuzeZacinat || radek.substr(p, z.size()) != z) return false;
    // "M30" is the marker in "M30" and "M30 (END)", not in "M300".
    const std::size_t za = p + z.size();
    const bool slovo = JePismeno(z.back()) || JeCislice(z.back());
    return !slovo || za == radek.size() || !(JePismeno(radek[za]) || JeCislice(radek[za]));
}

void TLexerNC::Rozebrat(std::string_view radek, std::vector<TSlovo>& slova) {
    slova.clear();
    if (!pravidla_) return;
    const std::string_view r = radek.substr(0, NejdelsiRadek);
    const std::size_t n = r.size();
    druhy_.assign(n, TDruhSlova::Text);

    // The block number, as the block commands see the front of the line.
    const TPravidlaBloku::TBlok blok = pravidla_->Rozebrat(r);
    std::size_t p = blok.Odsazeni;
    if (blok.Blokovy && blok.Konec > blok.Odsazeni) {
        Oznacit(blok.Odsazeni, blok.Konec, TDruhSlova::CisloBloku);
        p = blok.Konec;
    }
    while (p < n && JeMezera(r[p])) ++p;
    // A start or end marker at the front of the line or behind its number.
    for (const cnc::TZnackaUtf8* z : {&zacatek_, &konec_}) {
        if (ZacinaZnackou(r, p, z->Znacka())) {
            Oznacit(p, p + z->Znacka().Text.size(), TDruhSlova::Znacka);
            p += z->Znacka().Text.size();
            break;
        }
    }

    const std::string_view komentar = komentar_.Znacka().Text;
    while (p < n) {
        if (!komentar.empty() && r.substr(p, komentar.size()) == komentar) {
            // "(" ends at ")"; any other comment character at the end of the line.
            std::size_t konec = n;
            if (komentar == "(") {
                const std::size_t z = r.find(')', p + 1);
                if (z != std::string_view::npos) konec = z + 1;
            }
            Oznacit(p, konec, TDruhSlova::Komentar);
            p = konec;
            continue;
        }
        const char c = r[p];
        if (c == '"') {
            // A string: no words in it.
            const std::size_t z = r.find('"', p + 1);
            p = z == std::string_view::npos ? n : z + 1;
            continue;
        }
        if (!JePismeno(c)) {
            ++p;
            continue;
        }
        std::size_t e = p;
        while (e < n && JePismeno(r[e])) ++e;
        if (e - p == 1) {
            // A word: one letter and its value, blanks allowed between them.
            std::size_t v = e;
            while (v < n && (r[v] == ' ' || r[v] == '\t')) ++v;
            const std::size_t konec = KonecCisla(r, v);
            const char pismeno = static_cast<char>(c & ~0x20);
            const TDruhSlova druh = pismeno == 'G'   ? TDruhSlova::KodG
                                    : pismeno == 'M' ? TDruhSlova::KodM
                                                     : TDruhSlova::Adresa;
            if (konec > v) {
                Oznacit(p, konec, druh);
                e = konec;
            } else if (v < n && (r[v] == '#' || r[v] == '[')) {
                // A value given by a variable or an expression: the letter alone.
                Oznacit(p, p + 1, druh);
            }
        }
        // Longer runs of letters are keywords (GOTO, IF, FMAX): plain text.
        p = e;
    }

    // The references, over whatever the words above made of them.
    NajitOdkazy(r);
    for (const TOdkaz& o : odkazy_) {
        std::size_t od = std::min(o.Pozice, n);
        const std::size_t po = std::min(o.Pozice + o.Delka, n);
        // The word's letter with it (P10, Q 20, GOTO N100), not a keyword's last one.
        std::size_t t = od;
        while (t > 0 && (r[t - 1] == ' ' || r[t - 1] == '\t')) --t;
        if (t > 0 && JePismeno(r[t - 1]) && (t == 1 || !JePismeno(r[t - 2]))) od = t - 1;
        Oznacit(od, po, TDruhSlova::Odkaz);
    }

    for (std::size_t i = 0; i < n;) {
        std::size_t j = i + 1;
        while (j < n && druhy_[j] == druhy_[i]) ++j;
        if (druhy_[i] != TDruhSlova::Text) slova.push_back({i, j, druhy_[i]});
        i = j;
    }
}
