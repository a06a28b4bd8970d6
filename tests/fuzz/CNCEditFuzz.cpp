// The three passes of the engine over any program and file type. The input's
// first line is a stored file type line, optionally followed (after the
// seventh field) by the first number, the increment, the maximum and the
// switches: "z" numbers start lines, "k" end lines, "c" comment lines, "o"
// starts again after the maximum. The lines after it are the program.
//
// What must hold: count, renumber and remove agree on which lines are block
// lines; a block character followed by a letter or "_" starts no block
// number; introduced numbers (behind a block-skip mark) are counted and
// removed again, giving back the program; renumbering what was introduced
// changes nothing.
#include "Fuzz.h"

#include "engine/CNCEdit.h"
#include "filetypes/TypSouboru.h"
#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/CteniTextu.h"

#include <charconv>
#include <cstdint>
#include <string>
#include <vector>

namespace {

struct TZadani {
    TTypSouboru typ;
    std::uint32_t prvni = 10, prirustek = 10, maximum = 9999;
    bool zacatek = false, konec = false, komentar = false, odZacatku = true;
};

// A number of the window's range 1..9999, else the default.
std::uint32_t Cislo(std::u16string_view pole, std::uint32_t vychozi) {
    const std::string s = DoUtf8(pole);
    std::uint32_t n = 0;
    const auto [konec, chyba] = std::from_chars(s.data(), s.data() + s.size(), n);
    return chyba == std::errc() && konec == s.data() + s.size() && n >= 1 && n <= 9999 ? n : vychozi;
}

TZadani Zadani(std::u16string_view radek) {
    TZadani z;
    if (auto typ = RozdelitRadek(radek)) z.typ = *typ;
    std::vector<std::u16string_view> pole;
    for (std::size_t od = 0;;) {
        const std::size_t tab = radek.find(u'\t', od);
        pole.push_back(radek.substr(od, tab == std::u16string_view::npos ? tab : tab - od));
        if (tab == std::u16string_view::npos) break;
        od = tab + 1;
    }
    if (pole.size() > 7) z.prvni = Cislo(pole[7], z.prvni);
    if (pole.size() > 8) z.prirustek = Cislo(pole[8], z.prirustek);
    if (pole.size() > 9) z.maximum = Cislo(pole[9], z.maximum);
    if (pole.size() > 10) {
        const std::u16string_view p = pole[10];
        z.zacatek = p.find(u'z') != p.npos;
        z.konec = p.find(u'k') != p.npos;
        z.komentar = p.find(u'c') != p.npos;
        z.odZacatku = p.find(u'o') != p.npos;
    }
    return z;
}

std::u16string_view Orezany(std::u16string_view s) {
    while (!s.empty() && s.front() <= 32) s.remove_prefix(1);
    return s;
}

bool ZacinaNa(std::u16string_view s, std::u16string_view z) { return s.substr(0, z.size()) == z; }

// A marker begins a line; one longer than 255 characters never does.
bool ZacinaZnackou(std::u16string_view s, std::u16string_view znacka) {
    return !znacka.empty() && znacka.size() <= 255 && ZacinaNa(s, znacka);
}

bool JePismeno(char16_t c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || c == u'_'; }

// Lines that begin with a block character only as the first letter of a
// word (NEWCONF, NINE:) carry no block number: every block character the
// line begins with is followed by a letter or "_", and the line does not
// begin with the main and the secondary character together.
bool JenSlovo(std::u16string_view radek, std::u16string_view hlavni, std::u16string_view vedlejsi) {
    const std::u16string_view s = Orezany(radek);
    bool nejaky = false;
    for (std::u16string_view znak : {hlavni, vedlejsi}) {
        if (znak.empty() || !ZacinaNa(s, znak)) continue;
        if (s.size() == znak.size() || !JePismeno(s[znak.size()])) return false;
        nejaky = true;
    }
    if (!hlavni.empty() && !vedlejsi.empty() && ZacinaNa(s, hlavni) && ZacinaNa(s.substr(hlavni.size()), vedlejsi))
        return false;
    return nejaky;
}

bool JeCislice(char16_t c) { return c >= u'0' && c <= u'9'; }

// A program number (O or : and a digit) keeps its place before the blocks:
// always where that character is no block character, else only on the line
// after a start line, alone there or with a comment.
bool CisloProgramu(std::u16string_view s, std::u16string_view hlavni, std::u16string_view vedlejsi,
                   std::u16string_view komentar, bool poZacatku) {
    if (s.size() < 2 || (s[0] != u'O' && s[0] != u':') || !JeCislice(s[1])) return false;
    if (hlavni != s.substr(0, 1) && vedlejsi != s.substr(0, 1)) return true;
    if (!poZacatku) return false;
    std::size_t k = 1;
    while (k < s.size() && JeCislice(s[k])) ++k;
    while (k < s.size() && s[k] <= 32) ++k;
    return k == s.size() || (!komentar.empty() && ZacinaNa(s.substr(k), komentar));
}

// The block-skip mark that introducing keeps first ("/", or "/1" to "/9"
// without a further digit) when it writes a block character.
std::size_t ZnackaPreskoceni(std::u16string_view s, std::u16string_view vedlejsi) {
    if (vedlejsi.empty() || s.empty() || s[0] != u'/') return 0;
    return s.size() > 1 && s[1] >= u'1' && s[1] <= u'9' && !(s.size() > 2 && JeCislice(s[2])) ? 2 : 1;
}

// A block character as the file type dialog is meant for: printable, no
// digit, and short enough to be a marker at all (at most 255 characters).
bool RozumnyZnak(std::u16string_view z) {
    if (z.size() > 255) return false;
    for (char16_t c : z)
        if (c <= 32 || JeCislice(c)) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TText text;
    try {
        text = DekodovatText(std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const TChyba&) {
        return 0;  // damaged UTF-16, which no program is read from
    }
    if (text.Radky.empty()) return 0;
    const TZadani z = Zadani(text.Radky.front());
    const TRadky program(text.Radky.begin() + 1, text.Radky.end());
    const std::u16string_view H = z.typ.HlavniZnak, V = z.typ.VedlejsiZnak;
    const TCNCFile cnc;

    // The mode in which every pass uses the same test: both characters set
    // (marker mode) or both empty (digits).
    const bool shodnyRezim = H.empty() == V.empty();

    const std::int32_t pocet = cnc.PocetBloku(program, H, V);
    std::int32_t blokovych = 0;
    for (const auto& r : program) blokovych += TCNCFile::JeBlokovyRadek(r, H, V) ? 1 : 0;
    OVERIT(pocet == blokovych);

    TRadky precislovany = program;
    OVERIT(cnc.PrecislovatBloky(precislovany, z.prvni, z.prirustek, z.maximum, z.typ.Zacatek, H, V,
                                z.odZacatku) <= 100);
    TRadky bezCisel = program;
    OVERIT(cnc.OdstranitBloky(bezCisel, H, V) <= 100);
    OVERIT(precislovany.size() == program.size() && bezCisel.size() == program.size());

    for (std::size_t i = 0; i < program.size(); ++i) {
        const std::u16string_view orezany = Orezany(program[i]);
        const bool blokovy = TCNCFile::JeBlokovyRadek(program[i], H, V);
        if (shodnyRezim && !blokovy) {
            // Every other line is only trimmed.
            OVERIT(precislovany[i] == orezany);
            OVERIT(bezCisel[i] == orezany);
        } else if (shodnyRezim && !H.empty()) {
            // A counted line loses at least its block character.
            OVERIT(bezCisel[i].size() < orezany.size());
        }
        if (JenSlovo(program[i], H, V)) {
            // (Counted in digit mode only by its digit.)
            if (!H.empty() && !V.empty()) OVERIT(!blokovy);
            OVERIT(precislovany[i] == orezany);
            OVERIT(bezCisel[i] == orezany);
        }
    }
    if (shodnyRezim) {
        // No pass makes a block line of a line that was none.
        OVERIT(cnc.PocetBloku(precislovany, H, V) <= pocet);
        OVERIT(cnc.PocetBloku(bezCisel, H, V) <= pocet);
    }

    // Introducing, as the window does it: only into a program without numbers.
    if (pocet != 0 || !shodnyRezim || !RozumnyZnak(H) || !RozumnyZnak(V)) return 0;
    // A block character that begins with the block-skip mark makes "//20"
    // of a skipped line, which no pass can tell from a mark and a block
    // (left as it is: no control numbers its blocks with "/").
    if (ZacinaNa(V, u"/") || ZacinaNa(H, u"/")) return 0;
    // A secondary character that begins with the main one but is longer
    // would lose only the main one.
    if (!H.empty() && V.size() > H.size() && ZacinaNa(V, H)) return 0;
    TRadky zavedeny = program;
    OVERIT(cnc.ZavestBloky(zavedeny, z.typ.Zacatek, z.typ.Konec, z.typ.Komentar, z.prvni, z.prirustek,
                           z.maximum, z.zacatek, z.konec, z.komentar, V, z.odZacatku) <= 100);
    OVERIT(zavedeny.size() == program.size());
    std::int32_t ocislovanych = 0;
    std::vector<bool> ocislovany(program.size());
    bool poZacatku = false;
    for (std::size_t i = 0; i < program.size(); ++i) {
        const std::u16string_view orezany = Orezany(program[i]);
        const std::u16string_view r = zavedeny[i];
        const bool poPredchozim = poZacatku;
        poZacatku = ZacinaZnackou(orezany, z.typ.Zacatek);
        bool cislovat = true;
        if (poZacatku)
            cislovat = z.zacatek;
        else if (CisloProgramu(orezany, H, V, z.typ.Komentar, poPredchozim))
            cislovat = false;
        else if (ZacinaZnackou(orezany, z.typ.Konec))
            cislovat = z.konec;
        else if (ZacinaZnackou(orezany, z.typ.Komentar))
            cislovat = z.komentar;
        // Nor does one whose number would read as the program's.
        if (poPredchozim && (V == u":" || V == u"O") &&
            (orezany.empty() || (!z.typ.Komentar.empty() && ZacinaNa(orezany, z.typ.Komentar))))
            cislovat = false;
        if (!cislovat) {
            OVERIT(r == orezany);
            continue;
        }
        // The block character, the number and one blank in front of the line,
        // behind its block-skip mark, which the blanks after it give way to.
        const std::u16string_view znacka = orezany.substr(0, ZnackaPreskoceni(orezany, V));
        const std::u16string_view zbytek = Orezany(orezany.substr(znacka.size()));
        OVERIT(r.size() > znacka.size() + zbytek.size() + V.size() + 1 && ZacinaNa(r, znacka) &&
               r.substr(r.size() - zbytek.size()) == zbytek);
        const std::u16string_view predpona = r.substr(znacka.size(), r.size() - zbytek.size() - znacka.size());
        OVERIT(ZacinaNa(predpona, V) && predpona.back() == u' ');
        for (char16_t c : predpona.substr(V.size(), predpona.size() - V.size() - 1)) OVERIT(JeCislice(c));
        ocislovany[i] = true;
        ++ocislovanych;
    }
    OVERIT(cnc.PocetBloku(zavedeny, H, V) == ocislovanych);

    TRadky zpet = zavedeny;
    cnc.OdstranitBloky(zpet, H, V);
    for (std::size_t i = 0; i < program.size(); ++i) {
        const std::u16string_view orezany = Orezany(program[i]);
        const std::u16string_view znacka = orezany.substr(0, ZnackaPreskoceni(orezany, V));
        OVERIT(ocislovany[i] ? zpet[i] == std::u16string(znacka) + u" " +
                                              std::u16string(Orezany(orezany.substr(znacka.size())))
                             : zpet[i] == orezany);
    }

    // Renumbering restarts where a line begins with the start marker: only
    // where no numbered line does, and start lines are not numbered, do both
    // passes restart alike.
    const std::u16string_view zacatek = z.typ.Zacatek;
    for (std::size_t i = 0; i < program.size(); ++i)
        if (ocislovany[i] && ZacinaZnackou(zavedeny[i], zacatek)) return 0;
    if (z.zacatek && !zacatek.empty()) return 0;
    TRadky znovu = zavedeny;
    cnc.PrecislovatBloky(znovu, z.prvni, z.prirustek, z.maximum, zacatek, H, V, z.odZacatku);
    OVERIT(znovu == zavedeny);
    return 0;
}
