// The references to block numbers through a renumber, on any program. The
// input's first seven bytes choose the file type's markers, the numbering, a
// selection of whole lines and the families of references the control reads
// (any of them: those of every shipped type among them); the rest is the
// program (UTF-8, or any bytes but NUL).
//
// What must hold: the reference pass gives the same edits line by line and
// over the text in two pieces; the renumbering, written as the window and
// the batch tool write it (the rewriting pass with the edits, the text
// around a selection copied with the edits of its lines), keeps every byte
// outside the block numbers and the references' digits; each edit rewrites
// the digits of a reference that resolved; and afterwards every reference
// that resolved before resolves to the same line, unless the report says its
// target's number now stands on more blocks, while every other reference
// reads as before, and reaches what the report says it reaches now. A
// renumber that keeps the references reports what its text reaches. The
// words the type does not read, and the guess of the type, come out the same
// line by line and in pieces.
#include "Fuzz.h"

#include "engine/CNCEdit.h"
#include "engine/OdhadTypu.h"
#include "engine/Odkazy.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct TTyp {
    TZnakyOdkazu znaky;
    std::string_view konec;
};
const TTyp Typy[] = {
    {{":", "N", "%", "("}, "M30"},
    {{":", "N", "%", ";"}, "M30"},
    {{"", "", "%", ";"}, "END PGM"},
    {{"", "N", "%", "("}, ""},
    {{"", "\xE2\x84\x96", "%", "("}, ""},  // a block character of three bytes
};

// The lines as the passes split them: CR LF, a lone CR or a lone LF ends a
// line; a break at the very end opens no further line. Each line's start too.
struct TRadkyTextu {
    std::vector<std::string_view> radky;
    std::vector<std::size_t> zacatky;
};

TRadkyTextu Rozdelit(std::string_view text) {
    TRadkyTextu r;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t konec = cnc::KonecRadku(text, i);
        r.radky.push_back(text.substr(i, konec - i));
        r.zacatky.push_back(i);
        if (konec == text.size()) break;
        i = konec + ((text[konec] == '\r' && konec + 1 < text.size() && text[konec + 1] == '\n') ? 2 : 1);
    }
    r.zacatky.push_back(text.size());
    return r;
}

// What a report says a reference reaches in the text the command wrote,
// against that text read again.
bool SouhlasiSVysledkem(const TOdkaz& o, const TOdkaz& po) {
    switch (o.Stav) {
        case TStavOdkazu::Vyreseny:
        case TStavOdkazu::NaNovyBlok:
        case TStavOdkazu::UkazujeJinam: return po.Stav == TStavOdkazu::Vyreseny && po.CilovyRadek == o.CilovyRadek;
        case TStavOdkazu::ChybiCil:
        case TStavOdkazu::BezCilePoPrecislovani: return po.Stav == TStavOdkazu::ChybiCil;
        case TStavOdkazu::VicekratCil:
        case TStavOdkazu::NejednoznacnyPoPrecislovani: return po.Stav == TStavOdkazu::VicekratCil;
        case TStavOdkazu::NeniCislo:
        case TStavOdkazu::NavratDoVolajiciho: return po.Stav == o.Stav;
        case TStavOdkazu::PrepsanyVyberem: return true;
    }
    return false;
}

// The reference of vysledek that is reference i of hlaseni in the same text:
// the same line, the same kind, the same place among the line's references
// of that kind (the digits of those before it may have changed length).
const TOdkaz* Protejsek(const TVysledekOdkazu& hlaseni, std::size_t i, const TVysledekOdkazu& vysledek) {
    const TOdkaz& o = hlaseni.Odkazy[i];
    std::size_t poradi = 0;
    for (std::size_t k = i; k-- > 0 && hlaseni.Odkazy[k].Radek == o.Radek;) poradi += hlaseni.Odkazy[k].Druh == o.Druh;
    const auto od = std::lower_bound(vysledek.Odkazy.begin(), vysledek.Odkazy.end(), o.Radek,
                                     [](const TOdkaz& x, std::size_t r) { return x.Radek < r; });
    for (auto k = od; k != vysledek.Odkazy.end() && k->Radek == o.Radek; ++k)
        if (k->Druh == o.Druh && poradi-- == 0) return &*k;
    return nullptr;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 7) return 0;
    const TTyp& typ = Typy[data[0] % std::size(Typy)];
    TZnakyOdkazu znaky = typ.znaky;
    znaky.Druhy = TDruhyOdkazu::ZBitu(data[6]);
    TCislovaniOdkazu c;
    c.PrvniBlok = 1 + data[1] % 100;
    c.Prirustek = 1 + data[2] % 20;
    c.MaximalniBlok = (data[3] & 0x7F) == 0 ? 9999 : (data[3] & 0x7F);
    c.CislovatOdZacatku = (data[3] & 0x80) == 0;
    const bool vybrat = (data[0] & 0x80) != 0;
    const std::string text(reinterpret_cast<const char*>(data) + 7, size - 7);
    // A program that holds a NUL is no text program: the readers refuse it,
    // so the passes never see one.
    if (text.find('\0') != std::string::npos) return 0;
    const TRadkyTextu pred = Rozdelit(text);
    const std::size_t n = pred.radky.size();
    if (n == 0) return 0;

    std::optional<TVyberRadku> vyber;
    if (vybrat) {
        const std::size_t od = data[4] % n;
        vyber = TVyberRadku{od, od + 1 + data[5] % (n - od)};
    }

    // The pass line by line, and over the text in two pieces that end after a break.
    const TVysledekOdkazu v = PrecislovatOdkazy(pred.radky, znaky, c, vyber);
    {
        TOdkazyBloku o(znaky, c, vyber);
        o.NechatJenNevyresene();
        const std::size_t rez = pred.zacatky[data[4] % (n + 1)];
        o.Pridat(std::string_view(text).substr(0, rez));
        o.Pridat(std::string_view(text).substr(rez));
        const TVysledekOdkazu w = o.Dokoncit();
        OVERIT(w.Upravy == v.Upravy);
        OVERIT(w.PocetNevyresenych() == v.PocetNevyresenych());
        OVERIT(w.Odkazy.size() == w.PocetNevyresenych());
        // The words the type does not read, alike.
        OVERIT(w.PocetNectenych == v.PocetNectenych && w.TextyNectenych == v.TextyNectenych);
    }

    // The guess of the type, line by line as in one piece; its evidence the program's own lines.
    {
        const TOdhadTypu odhad = OdhadnoutTyp(text);
        TOdhadovacTypu poRadcich;
        for (const std::string_view r : pred.radky) poRadcich.Radek(r);
        const TOdhadTypu o = poRadcich.Dokoncit();
        OVERIT(o.Nareci == odhad.Nareci && o.Dukazy == odhad.Dukazy);
        OVERIT(odhad.Dukazy.size() <= 3);
        for (const TDukazOdhadu& d : odhad.Dukazy) OVERIT(d.Radek < n && d.Text.size() <= 63);
    }

    // The renumbering as the window writes it: the text before the selection
    // and after it with the edits of its lines, the selection through the pass.
    const std::size_t od = vyber ? pred.zacatky[vyber->Od] : 0;
    const std::size_t po = vyber ? pred.zacatky[vyber->Po] : text.size();
    cnc::TZadani<char> z;
    z.HlavniZnak = {znaky.HlavniZnak, true};
    z.VedlejsiZnak = {znaky.VedlejsiZnak, true};
    z.Zacatek = {znaky.Zacatek, true};
    z.Konec = {typ.konec, true};
    z.Komentar = {znaky.Komentar, true};
    z.Prikaz = cnc::TPrikaz::Precislovat;
    z.PrvniBlok = c.PrvniBlok;
    z.Prirustek = c.Prirustek;
    z.MaximalniBlok = c.MaximalniBlok;
    z.CislovatOdZacatku = c.CislovatOdZacatku;
    const TPravidlaBloku pravidla(znaky);
    const auto precislovat = [&](std::span<const TUpravaOdkazu> upravy, std::string& novy) {
        cnc::TVystup<char> vystup([&](std::string_view k) { novy += k; }, 64);
        TKurzorUprav kurzor(upravy);
        PripojitSUpravami(vystup, kurzor, text, 0, od, 0, 0);
        {
            const std::size_t prvni = vyber ? vyber->Od : 0;
            TZbytkySUpravami zbytky(kurzor, prvni, 0);
            const std::string_view kus = std::string_view(text).substr(od, po - od);
            cnc::TPruchod<char> pruchod(z, cnc::Spocitat(kus, z.HlavniZnak, z.VedlejsiZnak).Radku, vystup,
                                        TPrubeh::Zadny(), vyber.has_value());
            // A program number first in the selection, after a start line, stays as the command keeps it.
            pruchod.PoZacatku(vyber && vyber->Od > 0 && pravidla.ZacatekProCislo(pred.radky[vyber->Od - 1]));
            pruchod.PsatZbytky(&zbytky);
            pruchod.Pridat(kus);
        }
        if (vyber) PripojitSUpravami(vystup, kurzor, text, po, text.size(), vyber->Po, 0);
        vystup.Odevzdat();
        OVERIT(kurzor.Dalsi() == std::string_view::npos);
        TRadkyTextu r = Rozdelit(novy);
        // A last line without a break that the renumbering writes as nothing
        // (blanks, a block character without digits) leaves no line.
        const TPravidlaBloku::TBlok posledni = pravidla.Rozebrat(pred.radky.back());
        if (r.radky.size() + 1 == n && (!vyber || vyber->Po == n) && posledni.Cislic == 0 &&
            posledni.Konec == pred.radky.back().size())
            r.radky.emplace_back();
        OVERIT(r.radky.size() == n);
        return r;
    };
    std::string novy;
    const TRadkyTextu poRadky = precislovat(v.Upravy, novy);
    const TVysledekOdkazu a = NajitOdkazy(pred.radky, znaky);
    const TVysledekOdkazu b = NajitOdkazy(poRadky.radky, znaky);

    // Each edit rewrites the digits of a reference that resolved.
    std::size_t k = 0;
    for (const TUpravaOdkazu& u : v.Upravy) {
        while (k < a.Odkazy.size() && (a.Odkazy[k].Radek < u.Radek ||
                                       (a.Odkazy[k].Radek == u.Radek && a.Odkazy[k].Pozice < u.Pozice)))
            ++k;
        OVERIT(k < a.Odkazy.size());
        const TOdkaz& o = a.Odkazy[k];
        OVERIT(o.Radek == u.Radek && o.Pozice == u.Pozice && o.Delka == u.Delka);
        OVERIT(o.Stav == TStavOdkazu::Vyreseny);
    }

    // Every byte outside the block numbers and the references' digits stays:
    // a line is its new front (nothing, or a block character and digits)
    // followed by the rest of the old line with the edits.
    TKurzorUprav upravy(v.Upravy);
    bool stejnaStavba = true;
    bool poZacatkuPred = false, poZacatkuPo = false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::string_view r = pred.radky[i], s = poRadky.radky[i];
        const bool prepsany = !vyber || (i >= vyber->Od && i < vyber->Po);
        std::string zbytek;
        upravy.Pripojit(zbytek, i, r, prepsany ? pravidla.Rozebrat(r).Konec : 0);
        OVERIT(s.size() >= zbytek.size() && s.substr(s.size() - zbytek.size()) == zbytek);
        const std::string_view front = s.substr(0, s.size() - zbytek.size());
        if (!prepsany) {
            OVERIT(front.empty());
        } else if (!front.empty()) {
            // A block-skip mark alone stays of a block line without digits.
            const bool znacka = front == "/" || (front.size() == 2 && front[0] == '/' && front[1] >= '1' && front[1] <= '9');
            const TPravidlaBloku::TBlok f = pravidla.Rozebrat(front);
            OVERIT(znacka || (f.Blokovy && f.Odsazeni == 0 && f.Cislic > 0 && f.Konec == front.size()));
        }
        // The trim can make a line a program start, and when a block
        // character without digits goes, the digits behind it can become a
        // block number (with an empty block character): then the programs
        // or their blocks change, not only their numbers.
        const TPravidlaBloku::TBlok x = pravidla.Rozebrat(r), y = pravidla.Rozebrat(s);
        stejnaStavba = stejnaStavba && pravidla.JeZacatek(r) == pravidla.JeZacatek(s) &&
                       pravidla.CisloProgramu(r, poZacatkuPred) == pravidla.CisloProgramu(s, poZacatkuPo) &&
                       (x.Blokovy && x.Cislic > 0) == (y.Blokovy && y.Cislic > 0);
        poZacatkuPred = pravidla.ZacatekProCislo(r);
        poZacatkuPo = pravidla.ZacatekProCislo(s);
    }
    if (!stejnaStavba) return 0;

    // What resolved before resolves to the same line.
    OVERIT(a.Odkazy.size() == b.Odkazy.size());
    std::size_t j = 0;
    for (std::size_t i = 0; i < a.Odkazy.size(); ++i) {
        const TOdkaz& x = a.Odkazy[i];
        const TOdkaz& y = b.Odkazy[i];
        OVERIT(x.Radek == y.Radek && x.Druh == y.Druh);
        if (x.Stav != TStavOdkazu::Vyreseny) {
            OVERIT(a.TextCile(x) == b.TextCile(y));
            continue;
        }
        // The renumber's report of the reference, when it has one.
        const TOdkaz* hlaseny = nullptr;
        while (j < v.Odkazy.size() && v.Odkazy[j].Radek < x.Radek) ++j;
        for (std::size_t m = j; m < v.Odkazy.size() && v.Odkazy[m].Radek == x.Radek; ++m)
            if (v.Odkazy[m].Pozice == x.Pozice) hlaseny = &v.Odkazy[m];
        if (hlaseny && hlaseny->Stav == TStavOdkazu::NejednoznacnyPoPrecislovani) {
            OVERIT(y.Stav == TStavOdkazu::VicekratCil);
            continue;
        }
        if (hlaseny) OVERIT(hlaseny->Stav == TStavOdkazu::Vyreseny && hlaseny->CilovyRadek == x.CilovyRadek);
        OVERIT(y.Stav == TStavOdkazu::Vyreseny);
        OVERIT(y.CilovyRadek == x.CilovyRadek);
    }
    // What the report says the others reach now.
    for (std::size_t i = 0; i < v.Odkazy.size(); ++i) {
        const TOdkaz& o = v.Odkazy[i];
        if (o.Stav == TStavOdkazu::Vyreseny || o.Stav == TStavOdkazu::NejednoznacnyPoPrecislovani) continue;
        const TOdkaz* x = Protejsek(v, i, b);
        OVERIT(x != nullptr);
        OVERIT(SouhlasiSVysledkem(o, *x));
    }

    // The references kept: the renumbered text without edits, as the report says.
    const TVysledekOdkazu bez = PrecislovatOdkazy(pred.radky, znaky, c, vyber, false);
    OVERIT(bez.Upravy.empty());
    std::string bezUprav;
    const TRadkyTextu bezRadky = precislovat({}, bezUprav);
    const TVysledekOdkazu poBez = NajitOdkazy(bezRadky.radky, znaky);
    OVERIT(poBez.Odkazy.size() == a.Odkazy.size());
    for (std::size_t i = 0; i < bez.Odkazy.size(); ++i) {
        const TOdkaz* x = Protejsek(bez, i, poBez);
        OVERIT(x != nullptr);
        OVERIT(SouhlasiSVysledkem(bez.Odkazy[i], *x));
    }
    return 0;
}
