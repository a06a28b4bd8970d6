#include "engine/CNCEdit.h"
#include "engine/Odkazy.h"
#include "filetypes/TypSouboru.h"
#include "platform/Kodovani.h"
#include "../support/RadkyTextu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

// File types as the shipped list has them.
const TZnakyOdkazu Iso{":", "N", "%", "("};
const TZnakyOdkazu Sinumerik{":", "N", "%", ";"};
const TZnakyOdkazu Cislice{"", "", "%", ";"};

using TRadkyUtf8 = std::vector<std::string>;

std::vector<std::string_view> Pohledy(const TRadkyUtf8& radky) { return {radky.begin(), radky.end()}; }

// "G71 P=10" for a number, "GOTO=#1?" for a target that is none.
std::string Popis(const TOdkaz& o, std::string_view text) {
    std::string s(NazevDruhu(o.Druh));
    s += '=';
    s += text;
    if (o.Stav == TStavOdkazu::NeniCislo) s += '?';
    return s;
}

std::string OdkazyRadku(std::string_view radek, const TZnakyOdkazu& znaky = Iso) {
    std::vector<TOdkaz> odkazy;
    std::string texty;
    NajitOdkazyVRadku(radek, znaky, odkazy, texty);
    std::string s;
    for (const TOdkaz& o : odkazy) {
        const std::string_view text = std::string_view(texty).substr(o.Text, o.DelkaTextu);
        // The digits (the whole target when it is no number) are where the reference says.
        const std::string_view cislice = o.Stav == TStavOdkazu::NeniCislo ? text : text.substr(text.size() - o.Delka);
        EXPECT_EQ(radek.substr(o.Pozice, o.Delka), cislice) << radek;
        if (!s.empty()) s += ", ";
        s += Popis(o, text);
    }
    return s;
}

TEST(Odkazy, DruhyOdkazu) {
    struct Pripad {
        const char* radek;
        const char* odkazy;
    };
    const Pripad pripady[] = {
        {"N10 GOTO 100", "GOTO=100"},
        {"N10 IF [#1 GT 5] GOTO 200", "GOTO=200"},
        {"IF[#1GT5]GOTO200", "GOTO=200"},
        {"N10 GOTO N100", "GOTO=N100"},
        {"N10 GOTO\t:100", "GOTO=:100"},
        {"IF R1>5 GOTOF N100", "GOTOF=N100"},
        {"GOTOB N20", "GOTOB=N20"},
        {"GOTOC N30", "GOTOC=N30"},
        {"M99 P30", "M99 P=30"},
        {"N40 M97 P500 (LOCAL)", "M97 P=500"},
        {"P30 M99", "M99 P=30"},
        {"M099 P30", "M99 P=30"},
        {"M99P30Q40", "M99 P=30"},
        {"G71 P10 Q20 U0.4 W0.1 F0.25", "G71 P=10, G71 Q=20"},
        {"G70P10Q20", "G70 P=10, G70 Q=20"},
        {"G071 P0010 Q0020", "G71 P=0010, G71 Q=0020"},
        {"G72 P 10 Q 20", "G72 P=10, G72 Q=20"},
        {"G73 P10 Q20 U1. W1. D3", "G73 P=10, G73 Q=20"},
        {"P10 Q20 G71", "G71 P=10, G71 Q=20"},
        {"G 71 P10 Q20", "G71 P=10, G71 Q=20"},
        // Haas Type II roughing: its R is no coordinate, the line is a profile call.
        {"G71 P50 Q80 U0.02 W0.005 D0.1 F0.012 R1", "G71 P=50, G71 Q=80"},
        {"N5 GOTO 10 G70 P20 Q30", "GOTO=10, G70 P=20, G70 Q=30"},
        // Lower case, as controls that take it read it.
        {"n10 goto 100", "GOTO=100"},
        {"g71 p10 q20", "G71 P=10, G71 Q=20"},
        {"gotof n100", "GOTOF=n100"},
        // Not a target number: reported, never rewritten.
        {"GOTO #1", "GOTO=#1?"},
        {"GOTO [#1+10]", "GOTO=[#1+10]?"},
        {"GOTO #[#2+1]", "GOTO=#[#2+1]?"},
        {"GOTO N#5", "GOTO=N#5?"},
        {"GOTO 10.", "GOTO=10.?"},
        {"G70 P#1 Q#2", "G70 P=#1?, G70 Q=#2?"},
        {"G71 P10. Q20", "G71 P=10.?, G71 Q=20"},
        {"G71 P-10 Q20", "G71 P=-10?, G71 Q=20"},
    };
    for (const auto& p : pripady) EXPECT_EQ(OdkazyRadku(p.radek), p.odkazy) << p.radek;
}

TEST(Odkazy, CoOdkazemNeni) {
    const char* radky[] = {
        "N100 X5",                 // the block number itself
        "GOTOF NEXT", "GOTO LABEL1", "GOTOC _END", "GOTOF N_X", "GOTO", "GOTO N", "GOTO  ",
        "XGOTO 10", "GOTON100", "GOTOX 10", "GOTO_1 10",
        "M98 P1000", "G65 P9010 A1", "M990 P1", "M99.1 P1", "M9 P1", "M99", "MP10",
        "G74 R0.5", "G74 X20. Z-30. P3000 Q5000 F0.1", "G75 P10 Q20", "G76 P010060 Q100 R0.05",
        "G710 P10 Q20", "G71.1 P10 Q20", "G7 P10", "G170 P10", "G71 U2. R0.5",
        // A cycle line without its P or Q calls the cycle: no profile.
        "G71 P10 U0.4 W0.1", "G70 Q20", "G73 Z-30. P500 Q2000",
        "G04 P500", "G83 Z-25. R2. Q3. F120",
        // Comments: inside "( )" when the comment character is "(".
        "N10 (GOTO 100)", "(G71 P10 Q20)", "G71 (P10 Q20)", "N10 G70 (ROUGH P10 Q20", "(M99) P30",
    };
    for (const char* r : radky) EXPECT_EQ(OdkazyRadku(r), "") << r;

    // The code after a closed comment is read.
    EXPECT_EQ(OdkazyRadku("N10 G00 X0 (M99 P30) GOTO 20 (GOTO 30)"), "GOTO=20");
    EXPECT_EQ(OdkazyRadku("G71 (ROUGH) P10 Q20"), "G71 P=10, G71 Q=20");
    // A comment character other than "(": the rest of the line; parentheses are code.
    EXPECT_EQ(OdkazyRadku("N10 GOTOF N100 ; GOTOB N5", Sinumerik), "GOTOF=N100");
    EXPECT_EQ(OdkazyRadku("; GOTO 10", Sinumerik), "");
    EXPECT_EQ(OdkazyRadku("(GOTO 10)", Sinumerik), "GOTO=10");
    // Strings are text, not code.
    EXPECT_EQ(OdkazyRadku("MSG(\"GOTOF N100\") GOTOF N200", Sinumerik), "GOTOF=N200");
    EXPECT_EQ(OdkazyRadku("MSG(\"GOTOF N100", Sinumerik), "");
    // No comment character: nothing is a comment.
    EXPECT_EQ(OdkazyRadku("(GOTO 10)", TZnakyOdkazu{":", "N", "%", ""}), "GOTO=10");
}

TEST(Odkazy, ZnakyTypuSouboru) {
    // Digit mode: the leading digits are the block number.
    EXPECT_EQ(OdkazyRadku("100 GOTO 200", Cislice), "GOTO=200");
    EXPECT_EQ(OdkazyRadku("  7 M99 P3", Cislice), "M99 P=3");
    // Without block characters there is no "N" form: N is a label then.
    EXPECT_EQ(OdkazyRadku("GOTO N100", Cislice), "");
    // A block character of several bytes, behind GOTO too.
    const TZnakyOdkazu vicebajtovy{"", "\xE2\x84\x96", "%", "("};  // "№"
    EXPECT_EQ(OdkazyRadku("\xE2\x84\x96" "10 GOTO \xE2\x84\x96" "20", vicebajtovy), "GOTO=\xE2\x84\x96" "20");
    // A block character that is a letter follows in either case; one that is not, exactly.
    EXPECT_EQ(OdkazyRadku("GOTO n5"), "GOTO=n5");
    EXPECT_EQ(OdkazyRadku("GOTO ;5", TZnakyOdkazu{";", "N", "%", "("}), "GOTO=;5");
}

// ---------------------------------------------------------------- resolving

// What a reference reaches, after its description: "->7" (line 7), " missing", ...
std::string CoDosahuje(const TOdkaz& o) {
    const auto radek = [](std::size_t r) { return std::to_string(r); };
    const std::string driv = o.PredchoziCil == std::string_view::npos ? "" : " was " + radek(o.PredchoziCil);
    switch (o.Stav) {
        case TStavOdkazu::Vyreseny: return "->" + radek(o.CilovyRadek);
        case TStavOdkazu::ChybiCil: return " missing";
        case TStavOdkazu::VicekratCil: return " duplicate";
        case TStavOdkazu::NeniCislo: return "";
        case TStavOdkazu::NejednoznacnyPoPrecislovani: return " ambiguous";
        case TStavOdkazu::PrepsanyVyberem: return " cut";
        case TStavOdkazu::NaNovyBlok: return " new->" + radek(o.CilovyRadek);
        case TStavOdkazu::UkazujeJinam: return " now->" + radek(o.CilovyRadek) + driv;
        case TStavOdkazu::BezCilePoPrecislovani: return " gone" + driv;
        case TStavOdkazu::NavratDoVolajiciho: return " returns";
    }
    return " ?";
}

// Every reference of a result: "line:kind=target->line; ...".
std::string Popsat(const TVysledekOdkazu& v) {
    std::string s;
    for (const TOdkaz& o : v.Odkazy) {
        if (!s.empty()) s += "; ";
        s += std::to_string(o.Radek) + ":" + Popis(o, v.TextCile(o)) + CoDosahuje(o);
    }
    return s;
}

std::string Vyresene(const TRadkyUtf8& radky, const TZnakyOdkazu& znaky = Iso) {
    return Popsat(NajitOdkazy(Pohledy(radky), znaky));
}

TEST(Odkazy, Reseni) {
    struct Pripad {
        const char* nazev;
        const char* program;
        const char* vysledek;
        TZnakyOdkazu znaky = Iso;
    };
    const Pripad pripady[] = {
        {"forward and back", "N10 GOTO 30\nN20 X1\nN30 GOTO 10", "0:GOTO=30->2; 2:GOTO=10->0"},
        {"leading zeros on either side", "N0010 X1\nN20 G70 P10 Q0020", "1:G70 P=10->0; 1:G70 Q=0020->1"},
        {"missing and duplicate", "N10 X1\nN10 X2\nN20 GOTO 10\nN30 GOTO 40",
         "2:GOTO=10 duplicate; 3:GOTO=40 missing"},
        {"not a number", "N10 GOTO #1\nN20 M99 P20.", "0:GOTO=#1?; 1:M99 P=20.?"},
        {"each program its own numbers", "%\nN10 GOTO 20\nN20 X\n%\nN20 GOTO 10\nN10 Y\n%\nGOTO 10",
         "1:GOTO=20->2; 4:GOTO=10->5; 7:GOTO=10 missing"},
        {"a start after blanks starts a program", "N10 X\n  %\nN20 GOTO 10", "2:GOTO=10 missing"},
        {"lines before the first start are a program", "N10 X\n%\nN20 GOTO 10", "2:GOTO=10 missing"},
        {"no number behind the block character: no target", "N X\nN10 GOTO 0", "1:GOTO=0 missing"},
        {"a word after the block character: no block", "NEWCONF\nN10 GOTO 20\nN20 X",
         "1:GOTO=20->2"},
        {"blanks before the block number", "  N10 X\n\tN20 GOTO 10", "1:GOTO=10->0"},
        {"lower-case block lines are no blocks", "n10 X\nN20 GOTO 10", "1:GOTO=10 missing"},
        {"main and secondary characters", ":10 T1 M6\nN20 GOTO 10", "1:GOTO=10->0"},
        // Numbers from 4294967295 on find no block.
        {"a number beyond 32 bits", "N4294967295 X\nN4294967294 Y\nN1 GOTO 4294967295\nN2 GOTO 4294967294",
         "2:GOTO=4294967295 missing; 3:GOTO=4294967294->1"},
        {"a number beyond 64 bits", "N99999999999999999999 X\nN1 GOTO 99999999999999999999",
         "1:GOTO=99999999999999999999 missing"},
        {"digit mode", "0 BEGIN PGM\n5 L X+0\n7 GOTO 5", "2:GOTO=5->1", Cislice},
        {"no references", "N10 X\nN20 Y", ""},
    };
    for (const auto& p : pripady) EXPECT_EQ(Vyresene(RadkyTextu(p.program), p.znaky), p.vysledek) << p.nazev;
}

// ---------------------------------------------------------------- renumbering

struct TPrecislovano {
    TRadkyUtf8 Radky;
    TVysledekOdkazu Vysledek;
};

std::string Spojit(const TRadkyUtf8& radky) {
    std::string s;
    for (const auto& r : radky) s += r + "\n";
    return s;
}

// The engine's renumber of UTF-16 lines with every marker of the type, as
// the commands run it; poZacatku: the line before them is a start line.
void PrecislovatRadky(TRadky& radky, const TZnakyOdkazu& znaky, const TCislovaniOdkazu& c, bool poZacatku = false) {
    const std::u16string h = ZUtf8(znaky.HlavniZnak), v = ZUtf8(znaky.VedlejsiZnak), za = ZUtf8(znaky.Zacatek),
                         km = ZUtf8(znaky.Komentar);
    cnc::TZadani<char16_t> z;
    z.Prikaz = cnc::TPrikaz::Precislovat;
    z.HlavniZnak = cnc::Znacka16(h);
    z.VedlejsiZnak = cnc::Znacka16(v);
    z.Zacatek = cnc::Znacka16(za);
    z.Komentar = cnc::Znacka16(km);
    z.PrvniBlok = c.PrvniBlok;
    z.Prirustek = c.Prirustek;
    z.MaximalniBlok = c.MaximalniBlok;
    z.CislovatOdZacatku = c.CislovatOdZacatku;
    cnc::TVystup<char16_t> vystup;
    cnc::TPruchod<char16_t> pruchod(z, radky.size(), vystup);
    pruchod.PoZacatku(poZacatku);
    for (std::u16string& r : radky) {
        vystup.Vyprazdnit();
        pruchod.Radek(r, false);
        r.assign(vystup.Obsah());
    }
}

// A selection of whole lines whose line before is a start line: the
// command's pass keeps a program number on its first line.
bool PredVyberemZacatek(const TRadkyUtf8& radky, const TZnakyOdkazu& znaky, std::optional<TVyberRadku> vyber) {
    return vyber && vyber->OdBajtu == 0 && vyber->Od > 0 && vyber->Od <= radky.size() &&
           TPravidlaBloku(znaky).ZacatekProCislo(radky[vyber->Od - 1]);
}

// The renumbering as the window runs it on its text: the text before the
// selection and after it copied with the edits of its lines, the selection
// (or the whole text) through the engine's byte-level pass, which writes the
// rest of each line with the edits. The result's lines.
TRadkyUtf8 PrecislovatText(const TRadkyUtf8& radky, const TZnakyOdkazu& znaky, const TCislovaniOdkazu& c,
                           std::optional<TVyberRadku> vyber, const TVysledekOdkazu& v) {
    const std::string text = Spojit(radky);
    std::vector<std::size_t> zacatky{0};
    for (const auto& r : radky) zacatky.push_back(zacatky.back() + r.size() + 1);
    std::size_t od = 0, po = text.size();
    if (vyber) {
        od = zacatky[vyber->Od] + std::min(vyber->OdBajtu, radky[vyber->Od].size() + 1);
        po = vyber->PoBajtu == std::string_view::npos ? zacatky[vyber->Po] : zacatky[vyber->Po - 1] + vyber->PoBajtu;
    }
    const cnc::TZnackaUtf8 hlavni(ZUtf8(znaky.HlavniZnak)), vedlejsi(ZUtf8(znaky.VedlejsiZnak)),
        zacatek(ZUtf8(znaky.Zacatek)), komentar(ZUtf8(znaky.Komentar));
    cnc::TZadani<char> z;
    z.HlavniZnak = hlavni.Znacka();
    z.VedlejsiZnak = vedlejsi.Znacka();
    z.Zacatek = zacatek.Znacka();
    z.Komentar = komentar.Znacka();
    z.PrvniBlok = c.PrvniBlok;
    z.Prirustek = c.Prirustek;
    z.MaximalniBlok = c.MaximalniBlok;
    z.CislovatOdZacatku = c.CislovatOdZacatku;
    std::string novy;
    // Small pieces, so that the edits meet the pieces' ends too.
    cnc::TVystup<char> vystup([&](std::string_view k) { novy += k; }, 16);
    TKurzorUprav kurzor(v.Upravy);
    PripojitSUpravami(vystup, kurzor, text, 0, od, 0, 0);
    {
        const std::size_t prvni = vyber ? vyber->Od : 0;
        TZbytkySUpravami zbytky(kurzor, prvni, od - zacatky[prvni]);
        const std::string_view kus = std::string_view(text).substr(od, po - od);
        cnc::TPruchod<char> pruchod(z, cnc::Spocitat(kus, z.HlavniZnak, z.VedlejsiZnak).Radku, vystup,
                                    TPrubeh::Zadny(), vyber.has_value());
        pruchod.PoZacatku(PredVyberemZacatek(radky, znaky, vyber));
        pruchod.PsatZbytky(&zbytky);
        pruchod.Pridat(kus);
    }
    std::size_t radek = 0;
    while (radek + 1 < zacatky.size() && zacatky[radek + 1] <= po) ++radek;
    PripojitSUpravami(vystup, kurzor, text, po, text.size(), radek, po - zacatky[radek]);
    vystup.Odevzdat();
    EXPECT_EQ(kurzor.Dalsi(), std::string_view::npos) << "edits left unwritten";
    return RadkyTextu(novy);
}

// A renumbering line by line, the yardstick: the engine renumbers the lines
// it gets (the selection's first from inside, its last up to where it ends),
// every line is written anew, its new front followed by the rest with the
// edits of the references. The byte-level path of the window and the batch
// tool must give the same lines.
TPrecislovano Precislovat(const TRadkyUtf8& radky, const TZnakyOdkazu& znaky, const TCislovaniOdkazu& c,
                          std::optional<TVyberRadku> vyber = std::nullopt) {
    TPrecislovano p;
    const auto pohledy = Pohledy(radky);
    p.Vysledek = PrecislovatOdkazy(pohledy, znaky, c, vyber);
    const std::size_t n = radky.size();
    const std::size_t od = vyber ? std::min(vyber->Od, n) : 0;
    const std::size_t po = vyber ? std::min(vyber->Po, n) : n;
    const std::size_t odBajtu = vyber ? vyber->OdBajtu : 0;
    const std::size_t poBajtu = vyber ? vyber->PoBajtu : std::string_view::npos;
    const auto zacatek = [&](std::size_t i) { return i == od ? std::min(odBajtu, radky[i].size()) : 0; };
    const auto konec = [&](std::size_t i) {
        return i + 1 == po && poBajtu != std::string_view::npos ? std::max(std::min(poBajtu, radky[i].size()), zacatek(i))
                                                                : radky[i].size();
    };
    TRadky prace;
    for (std::size_t i = od; i < po; ++i) prace.push_back(ZUtf8(pohledy[i].substr(zacatek(i), konec(i) - zacatek(i))));
    PrecislovatRadky(prace, znaky, c, PredVyberemZacatek(radky, znaky, vyber));
    const TPravidlaBloku pravidla(znaky);
    TKurzorUprav kurzor(p.Vysledek.Upravy);
    for (std::size_t i = 0; i < n; ++i) {
        std::string r;
        if (i < od || i >= po) {
            kurzor.Pripojit(r, i, radky[i]);
        } else {
            const std::size_t z = zacatek(i), k = konec(i);
            kurzor.Pripojit(r, i, radky[i], 0, z);
            const std::string_view kus = pohledy[i].substr(z, k - z);
            const std::size_t front = pravidla.Rozebrat(kus).Konec;
            const std::string novy = DoUtf8(prace[i - od]);
            const std::string_view zbytek = kus.substr(front);
            // The engine changes the front only.
            EXPECT_TRUE(novy.ends_with(zbytek)) << radky[i] << " -> " << novy;
            r += novy.substr(0, novy.size() - zbytek.size());
            kurzor.Pripojit(r, i, radky[i], z + front, k);
            if (i + 1 == po && poBajtu != std::string_view::npos) {
                // The renumbering ends the selection with a line break.
                p.Radky.push_back(std::move(r));
                r.clear();
                kurzor.Pripojit(r, i, radky[i], k);
            }
        }
        p.Radky.push_back(std::move(r));
    }
    EXPECT_EQ(PrecislovatText(radky, znaky, c, vyber, p.Vysledek), p.Radky) << "the byte-level path";
    return p;
}

// The references that are not resolved, as the report lists them (as the
// lines read afterwards): "line:kind=target reason".
std::string Nevyresene(const TVysledekOdkazu& v) {
    std::string s;
    for (const TOdkaz& o : v.Odkazy) {
        if (o.Stav == TStavOdkazu::Vyreseny) continue;
        if (!s.empty()) s += "; ";
        s += std::to_string(o.Radek) + ":" + Popis(o, v.TextCile(o)) + CoDosahuje(o);
    }
    return s;
}

TEST(Odkazy, Precislovani) {
    struct Pripad {
        const char* nazev;
        const char* program;
        TCislovaniOdkazu cislovani;
        std::optional<TVyberRadku> vyber;
        const char* vysledek;
        std::size_t aktualizovano;
        const char* nevyresene;
        TZnakyOdkazu znaky = Iso;
    };
    const TCislovaniOdkazu po10{10, 10, 9999, true};
    const TCislovaniOdkazu od100{100, 5, 9999, true};
    const Pripad pripady[] = {
        {"jumps forward and back", "N1 GOTO 3\nN2 X\nN3 IF [#1 GT 0] GOTO 1\n", po10, {},
         "N10 GOTO 30\nN20 X\nN30 IF [#1 GT 0] GOTO 10\n", 2, ""},
        {"each form kept", "N1 G71 P0002 Q003 U1.\nN2 X\nN3 Z\nN4 GOTO N2\nN5 G70P2Q3\nN6 M99 P04\nN7 M30\n", od100,
         {}, "N100 G71 P0105 Q110 U1.\nN105 X\nN110 Z\nN115 GOTO N105\nN120 G70P105Q110\nN125 M99 P115\nN130 M30\n", 6,
         ""},
        {"a number that stays is no edit", "N10 GOTO 20\nN20 GOTO 25\nN25 X\n", po10, {},
         "N10 GOTO 20\nN20 GOTO 30\nN30 X\n", 1, ""},
        {"the old number now on another block", "N5 X\nN10 GOTO 5\n", TCislovaniOdkazu{10, 10, 9999, true}, {},
         "N10 X\nN20 GOTO 10\n", 1, ""},
        // GOTO 2 had two blocks and now has none.
        {"unresolved ones stay as they are, and tell what they reach now",
         "N1 GOTO 9\nN2 GOTO #1\nN2 X\nN3 GOTO 2\nN4 G70 P1. Q4\nN5 GOTO 30\n", po10, {},
         "N10 GOTO 9\nN20 GOTO #1\nN30 X\nN40 GOTO 2\nN50 G70 P1. Q50\nN60 GOTO 30\n", 1,
         "0:GOTO=9 missing; 1:GOTO=#1?; 3:GOTO=2 gone; 4:G70 P=1.?; 5:GOTO=30 now->2"},
        {"several programs, each its own sequence", "%\nN7 GOTO 9\nN9 X\n%\nN9 GOTO 7\nN7 Y\n", po10, {},
         "%\nN10 GOTO 20\nN20 X\n%\nN10 GOTO 20\nN20 Y\n", 2, ""},
        {"blanks and the trim", "  N7 G71 P 8 Q 9\n\tN8 X\n N9 Z\n", po10, {},
         "N10 G71 P 20 Q 30\nN20 X\nN30 Z\n", 2, ""},
        {"comments are left alone", "N1 GOTO 2 (GOTO 1)\nN2 X\n", po10, {}, "N10 GOTO 20 (GOTO 1)\nN20 X\n", 1, ""},
        {"a selection: references outside it follow it",
         "N10 GOTO 30\nN20 X\nN30 Y\nN40 GOTO 20\nN50 GOTO 40\n", TCislovaniOdkazu{100, 1, 9999, true},
         TVyberRadku{1, 3}, "N10 GOTO 101\nN100 X\nN101 Y\nN40 GOTO 100\nN50 GOTO 40\n", 2, ""},
        {"a selection in one program: the others are not reported",
         "%\nN1 GOTO 9\n%\nN1 X\nN2 GOTO 1\n", po10, TVyberRadku{3, 5}, "%\nN1 GOTO 9\n%\nN10 X\nN20 GOTO 10\n", 1,
         ""},
        {"a selection that gives a referenced number to a second block",
         "N10 GOTO 20\nN20 X\nN1 Y\nN2 GOTO 1\n", po10, TVyberRadku{2, 4},
         "N10 GOTO 20\nN20 X\nN10 Y\nN20 GOTO 10\n", 1, "0:GOTO=20 ambiguous; 3:GOTO=10 ambiguous"},
        {"the sequence starts again after the maximum", "N1 GOTO 3\nN2 X\nN3 Y\nN4 GOTO 1\n",
         TCislovaniOdkazu{10, 10, 20, true}, {}, "N10 GOTO 10\nN20 X\nN10 Y\nN20 GOTO 10\n", 2,
         "0:GOTO=10 ambiguous; 3:GOTO=10 ambiguous"},
        {"the maximum kept", "N1 GOTO 3\nN2 X\nN3 Y\nN4 GOTO 2\n", TCislovaniOdkazu{10, 10, 20, false}, {},
         "N10 GOTO 20\nN20 X\nN20 Y\nN20 GOTO 20\n", 2, "0:GOTO=20 ambiguous; 3:GOTO=20 ambiguous"},
        // Numbers from 131072 on are kept block by block, the smaller ones by number.
        {"large numbers", "N200000 GOTO 300000\nN300000 X\nN5 GOTO 200000\n", po10, {},
         "N10 GOTO 20\nN20 X\nN30 GOTO 10\n", 2, ""},
        {"a large number twice", "N200000 X\nN200000 Y\nN3 GOTO 200000\nN4 GOTO 3\n", po10, {},
         "N10 X\nN20 Y\nN30 GOTO 200000\nN40 GOTO 30\n", 1, "2:GOTO=200000 gone"},
        {"new numbers across 131072", "N1 GOTO 3\nN2 X\nN3 GOTO 1\n", TCislovaniOdkazu{131071, 1, 4000000000, true},
         {}, "N131071 GOTO 131073\nN131072 X\nN131073 GOTO 131071\n", 2, ""},
        {"a selection that gives a large number to a second block", "N131072 X\nN1 Y\nN2 GOTO 1\n",
         TCislovaniOdkazu{131072, 1, 4000000000, true}, TVyberRadku{1, 3},
         "N131072 X\nN131072 Y\nN131073 GOTO 131072\n", 1, "2:GOTO=131072 ambiguous"},
        {"a selection that gives a small number to a second block", "N7 X\nN200000 Y\nN3 GOTO 200000\n",
         TCislovaniOdkazu{7, 1, 9999, true}, TVyberRadku{1, 3}, "N7 X\nN7 Y\nN8 GOTO 7\n", 1,
         "2:GOTO=7 ambiguous"},
        {"digit mode", "0 BEGIN PGM\n1 L X+0\n2 GOTO 1\n", TCislovaniOdkazu{5, 5, 9999, true}, {},
         "5 BEGIN PGM\n10 L X+0\n15 GOTO 10\n", 1, "", Cislice},
        // A selection that starts inside a line: the engine renumbers the
        // piece from there on, which keeps the sequence in step.
        {"a selection from inside a line", "N5 G01 N20 X5\nN30 GOTO 30\nN40 GOTO 5\n", po10, TVyberRadku{0, 3, 7},
         "N5 G01 N10 X5\nN20 GOTO 20\nN30 GOTO 5\n", 1, ""},
        {"a selection from inside a reference", "N10 GOTO N20\nN20 X\n", TCislovaniOdkazu{50, 10, 9999, true},
         TVyberRadku{0, 2, 9}, "N10 GOTO N50\nN60 X\n", 0, "0:GOTO=N20 cut"},
        {"a selection from inside a reference's digits", "N10 GOTO 200\nN200 X\n", po10, TVyberRadku{0, 2, 10},
         "N10 GOTO 200\nN10 X\n", 0, "0:GOTO=200 cut"},
        {"a selection from the leading blanks renumbers the line's own number", "  N5 GOTO 6\nN6 X\n", po10,
         TVyberRadku{0, 2, 1}, " N10 GOTO 20\nN20 X\n", 1, ""},
        // A selection that ends inside a line: the renumbering ends it with a
        // line break, and the rest of the line follows as a line of its own.
        {"a selection that ends inside a line", "N10 GOTO 30\nN20 X GOTO 10\nN30 Y\n",
         TCislovaniOdkazu{100, 10, 9999, true}, TVyberRadku{0, 2, 0, 5},
         "N100 GOTO 30\nN110 X\n GOTO 100\nN30 Y\n", 1, ""},
        {"a selection that ends inside a reference", "N10 GOTO 20\nN20 X\n", TCislovaniOdkazu{50, 10, 9999, true},
         TVyberRadku{0, 1, 0, 10}, "N50 GOTO 2\n0\nN20 X\n", 0, "0:GOTO=20 cut"},
        {"a selection that ends inside a line's number keeps the references to it",
         "N10 X\nN1234 GOTO 1234\nN30 GOTO 10\n", po10, TVyberRadku{0, 2, 0, 3},
         "N10 X\nN20\n34 GOTO 1234\nN30 GOTO 10\n", 0, ""},
        {"a selection inside one line", "N10 X N7 GOTO 10\nN20 GOTO 10\n", TCislovaniOdkazu{500, 10, 9999, true},
         TVyberRadku{0, 1, 6, 9}, "N10 X N500 \nGOTO 10\nN20 GOTO 10\n", 0, ""},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const TPrecislovano v = Precislovat(RadkyTextu(p.program), p.znaky, p.cislovani, p.vyber);
        EXPECT_EQ(Spojit(v.Radky), p.vysledek);
        EXPECT_EQ(v.Vysledek.PocetAktualizovanych(), p.aktualizovano);
        EXPECT_EQ(Nevyresene(v.Vysledek), p.nevyresene);
    }
}

// ---------------------------------------------------------------- the dialects

// A type of the shipped list, as the reference pass takes it: its markers
// and the families its control reads.
struct TDodanyTyp {
    std::string hlavni, vedlejsi, zacatek, komentar;
    TDruhyOdkazu druhy;
    TZnakyOdkazu Znaky() const {
        TZnakyOdkazu z{hlavni, vedlejsi, zacatek, komentar};
        z.Druhy = druhy;
        return z;
    }
};

const std::vector<TTypSouboru>& DodaneTypy() {
    static const std::vector<TTypSouboru> typy = NacistSouborTypu(TARVIK_FILES_FTD);
    return typy;
}

TDodanyTyp DodanyTyp(std::u16string_view nazev) {
    for (const TTypSouboru& t : DodaneTypy())
        if (t.Nazev == nazev)
            return {DoUtf8(t.HlavniZnak), DoUtf8(t.VedlejsiZnak), DoUtf8(t.Zacatek), DoUtf8(t.Komentar),
                    DruhyOdkazuTypu(t)};
    ADD_FAILURE() << "no shipped type " << DoUtf8(nazev);
    return {};
}

// Real-shaped programs of each dialect with the shipped type a shop opens
// them with, renumbered: which block each reference reaches before and after
// (lines from 0), lines of the result, and what the renumber reports.
TEST(Odkazy, Nareci) {
    struct Pripad {
        const char* nazev;
        const char16_t* typ;
        const char* program;
        TCislovaniOdkazu cislovani;
        const char* pred;
        std::vector<std::pair<std::size_t, const char*>> radky;
        const char* po;
        const char* hlaseni = "";
    };
    const char* vrtani =
        "%\nO1001 (VRTANI G73 A G83)\nN10 G90 G17 G40 G80 G54\nN20 T3 M06 (VRTAK D6.8)\nN30 S2500 M03\n"
        "N40 G43 H03 Z50. M08\nN50 G98 G73 X20. Y15. Z-30. R2. Q50 F250\nN60 X40.\n"
        "N70 G83 X60. Z-25. R2. Q5. F200\nN80 G80 G00 Z100. M09\nN90 M30\n%\n";
    const Pripad pripady[] = {
        // G73 drills in pecks of Q: a depth, never a block, also where a block carries its number.
        {"mill peck drilling", u"ISO frézování", vrtani, {100, 10, 9999, true}, "",
         {{6, "N140 G98 G73 X20. Y15. Z-30. R2. Q50 F250"}, {8, "N160 G83 X60. Z-25. R2. Q5. F200"}}, ""},
        {"mill peck drilling read as generic Fanuc (lathe cycles on)", u"Fanuc", vrtani, {100, 10, 9999, true}, "",
         {{6, "N140 G98 G73 X20. Y15. Z-30. R2. Q50 F250"}}, ""},
        // The profile of G71 and G70 follows; G75 grooves with its own P and Q.
        {"lathe, G-code system A", u"Fanuc",
         "%\nO2001 (HRIDEL)\nN10 G21 G40 G99\nN20 T0101\nN30 G96 S200 M03\nN40 G00 X54. Z2.\n"
         "N50 G71 U2. R0.5\nN60 G71 P70 Q110 U0.4 W0.1 F0.25\nN70 G00 X20.\nN80 G01 Z-20. F0.12\nN90 X30.\n"
         "N100 Z-40.\nN110 X52.\nN120 G70 P70 Q110\nN130 G75 X20. Z-10. P2000 Q3000 F0.08\nN140 G74 R0.5\n"
         "N150 G74 Z-20. Q3000 F0.1\nN160 G28 U0. W0.\nN170 M30\n%\n",
         {5, 5, 9999, true}, "7:G71 P=70->8; 7:G71 Q=110->12; 13:G70 P=70->8; 13:G70 Q=110->12",
         {{7, "N30 G71 P35 Q55 U0.4 W0.1 F0.25"}, {13, "N60 G70 P35 Q55"},
          {14, "N65 G75 X20. Z-10. P2000 Q3000 F0.08"}},
         "7:G71 P=35->8; 7:G71 Q=55->12; 13:G70 P=35->8; 13:G70 Q=55->12"},
        // System C: G71 is metric, G73 roughs, G72 finishes, G75 repeats a pattern, G77 grooves.
        {"lathe, G-code system C", u"ISO soustružení, G-kódy C",
         "%\nO3001 (POUZDRO, G-KODY C)\nN10 G71 G40 G99\nN20 T0101\nN30 G96 S180 M03\nN40 G00 X54. Z2.\n"
         "N50 G73 U1.5 R0.5\nN60 G73 P70 Q100 U0.4 W0.1 F0.25\nN70 G00 X24.\nN80 G01 Z-25. F0.1\n"
         "N90 X40. Z-35.\nN100 X52.\nN110 G72 P70 Q100\nN120 G75 P130 Q140 U0.2 W0.1 F0.2\n"
         "N130 G01 X30. Z-40.\nN140 X40. Z-50.\nN150 G77 X30. Z-5. P1000 Q2000 F0.05\nN160 M30\n%\n",
         {10, 5, 9999, true},
         "7:G73 P=70->8; 7:G73 Q=100->11; 12:G72 P=70->8; 12:G72 Q=100->11; 13:G75 P=130->14; 13:G75 Q=140->15",
         {{2, "N10 G71 G40 G99"}, {7, "N35 G73 P40 Q55 U0.4 W0.1 F0.25"}, {12, "N60 G72 P40 Q55"},
          {13, "N65 G75 P70 Q75 U0.2 W0.1 F0.2"}, {16, "N80 G77 X30. Z-5. P1000 Q2000 F0.05"}},
         "7:G73 P=40->8; 7:G73 Q=55->11; 12:G72 P=40->8; 12:G72 Q=55->11; 13:G75 P=70->14; 13:G75 Q=75->15"},
        // G71 is metric and L100 P3 calls a subprogram three times; labels are no block numbers.
        {"Sinumerik", u"Sinumerik hlavní program",
         "%\nN10 G71 G90 G54 ; G71 METRICKY\nN20 T1 D1\nN30 M6\nN40 S1200 M3\nN50 R1=0\n"
         "N60 ZNOVU: G0 X=R1*10 Y0\nN70 R1=R1+1\nN80 IF R1<5 GOTOB N60\nN90 G71 L100 P3\n"
         "N100 IF R1==5 GOTOF N130\nN110 GOTOF KONEC\nN120 M0\nN130 KONEC: M30\n",
         {100, 10, 9999, true}, "8:GOTOB=N60->6; 10:GOTOF=N130->13",
         {{8, "N170 IF R1<5 GOTOB N150"}, {9, "N180 G71 L100 P3"}, {10, "N190 IF R1==5 GOTOF N220"}},
         "8:GOTOB=N150->6; 10:GOTOF=N220->13"},
        // M97 calls the local subprogram at N100; M99 P3 in the main program loops to N3.
        {"Haas", u"ISO frézování",
         "%\nO4001 (HAAS - M97 A M99 P)\nN1 G90 G54 G00 X0 Y0\nN2 T1 M06\nN3 S3000 M03\nN4 G43 H01 Z10.\n"
         "N5 M97 P100 L4\nN6 G00 Z100.\nN7 M99 P3\nN8 M30\nN100 G91 G01 Z-1. F200\nN101 X50.\n"
         "N102 G90 G00 Z5.\nN103 M99\n%\n",
         {10, 10, 9999, true}, "6:M97 P=100->10; 8:M99 P=3->4", {{6, "N50 M97 P90 L4"}, {8, "N70 M99 P30"}},
         "6:M97 P=90->10; 8:M99 P=30->4"},
        {"Macro B", u"ISO frézování",
         "%\nO9010 (MAKRO B - RADA DER)\nN10 #1=0\nN20 IF [#1 GE #2] GOTO 80\nN30 G00 X[#1*#3] Y0\n"
         "N40 G81 Z-5. R1. F100\nN50 #1=#1+1\nN60 GOTO 20\nN70 GOTO #4\nN80 G80\nN90 M99\n%\n",
         {1, 1, 9999, true}, "3:GOTO=80->9; 7:GOTO=20->3; 8:GOTO=#4?",
         {{3, "N2 IF [#1 GE #2] GOTO 8"}, {7, "N6 GOTO 2"}}, "3:GOTO=8->9; 7:GOTO=2->3; 8:GOTO=#4?", "8:GOTO=#4?"},
        // o100 names a subroutine; G71 Q100 calls it.
        {"LinuxCNC", u"G-kód RS-274",
         "%\n(KAPSA - LINUXCNC)\no100 sub\nN10 G73 X10 Y10 Z-5 R1 Q0.5 F100\no100 endsub\nN20 G21 G90\n"
         "N30 o100 call\nN40 G71 Q100 X10 Z-20 D1 I0.1 R0.5\nN100 G0 Z5\nN110 M2\n%\n",
         {10, 10, 9999, true}, "", {{7, "N40 G71 Q100 X10 Z-20 D1 I0.1 R0.5"}, {8, "N50 G0 Z5"}}, ""},
        {"Mach3", u"Mach3",
         "%\nN5 G90 G54 G17\nN10 T1 M6\nN15 S3000 M3\nN20 G0 X0 Y0 Z5\nN25 G73 X10 Y10 Z-12 R1 Q5 F300\n"
         "N30 M98 P1000 L2\nN35 G80 G0 Z25\nN40 M30\nO1000\nN45 G1 X20 Y20\nN50 M99\n%\n",
         {10, 10, 9999, true}, "", {{5, "N50 G73 X10 Y10 Z-12 R1 Q5 F300"}, {6, "N60 M98 P1000 L2"}}, ""},
        // Optional blocks keep their skip mark and are blocks like any other.
        {"block skip", u"ISO frézování",
         "%\nO5001 (PRESKAKOVANI BLOKU)\nN10 G00 X0 Y0\n/N20 M00 (KONTROLA ROZMERU)\n/2N30 G00 Z50.\n"
         "N40 IF [#1 EQ 1] GOTO 20\nN50 GOTO 30\nN60 M30\n%\n",
         {100, 10, 9999, true}, "5:GOTO=20->3; 6:GOTO=30->4",
         {{3, "/N110 M00 (KONTROLA ROZMERU)"}, {4, "/2N120 G00 Z50."}, {5, "N130 IF [#1 EQ 1] GOTO 110"},
          {6, "N140 GOTO 120"}},
         "5:GOTO=110->3; 6:GOTO=120->4"},
        // "  %" starts the second program, as the renumbering writes it.
        {"a start marker after blanks", u"ISO frézování", "N10 G00 X0\nN20 GOTO 10\n  %\nN10 G00 X5\nN20 GOTO 10\nM30\n",
         {100, 10, 9999, true}, "1:GOTO=10->0; 4:GOTO=10->3",
         {{1, "N110 GOTO 100"}, {2, "%"}, {3, "N100 G00 X5"}, {4, "N110 GOTO 100"}}, "1:GOTO=100->0; 4:GOTO=100->3"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const TDodanyTyp typ = DodanyTyp(p.typ);
        const TZnakyOdkazu znaky = typ.Znaky();
        const TRadkyUtf8 radky = RadkyTextu(p.program);
        EXPECT_EQ(Vyresene(radky, znaky), p.pred);
        const TPrecislovano v = Precislovat(radky, znaky, p.cislovani);
        for (const auto& [radek, text] : p.radky) {
            ASSERT_LT(radek, v.Radky.size());
            EXPECT_EQ(v.Radky[radek], text);
        }
        EXPECT_EQ(Vyresene(v.Radky, znaky), p.po);
        EXPECT_EQ(Nevyresene(v.Vysledek), p.hlaseni);
    }
}

// Programs and subprograms in one file: each resolves within itself, and the
// return of a subprogram (M99 P) into the program that called it.
TEST(Odkazy, Podprogramy) {
    struct Pripad {
        const char* nazev;
        const char* program;
        TCislovaniOdkazu cislovani;
        std::optional<TVyberRadku> vyber;
        const char* pred;
        std::vector<std::pair<std::size_t, const char*>> radky;
        const char* hlaseni;
    };
    const char* hlavniAPodprogram =
        "%\nO1000 (HLAVNI)\nN10 G90 G54\nN20 M98 P2000\nN30 G00 Z100.\nN40 M30\nO2000 (PODPROGRAM)\n"
        "N10 G01 X10.\nN20 IF [#1 GT 0] GOTO 10\nN30 M99 P30\n%\n";
    const Pripad pripady[] = {
        // The jump stays in the subprogram; the return goes to the caller's N30, not to its own.
        {"main program and subprogram", hlavniAPodprogram, {100, 10, 9999, true}, {},
         "8:GOTO=10->7; 9:M99 P=30->4", {{8, "N150 IF [#1 GT 0] GOTO 140"}, {9, "N160 M99 P120"}}, ""},
        // Renumbering the main program alone: the return follows, the jump is not the command's.
        {"the caller renumbered alone", hlavniAPodprogram, {500, 10, 9999, true}, TVyberRadku{2, 6}, "",
         {{4, "N520 G00 Z100."}, {9, "N30 M99 P520"}}, ""},
        // A subprogram alone in its file returns into a caller elsewhere: left, and said.
        {"a subprogram's file", "%\nO2000 (JEN PODPROGRAM)\nN10 G01 X10.\nN20 G01 Z-1.\nN30 G00 Z5.\nN40 M99 P30\n%\n",
         {100, 10, 9999, true}, {}, "5:M99 P=30 returns", {{4, "N120 G00 Z5."}, {5, "N130 M99 P30"}},
         "5:M99 P=30 returns"},
        // The caller after the subprogram, calling it three times (P3 2000).
        {"called after, repeated", "%\nO2000\nN1 G91 G01 Z-2.\nN2 M99 P3\nO1000\nN1 G90\nN2 M98 P32000\nN3 G00 Z100.\n"
         "N4 M30\n%\n",
         {10, 10, 9999, true}, {}, "3:M99 P=3->7", {{3, "N20 M99 P50"}}, ""},
        // ":0200" after the start marker numbers its program: the return goes to the caller, and
        // neither number is renumbered.
        {"program numbers after the start marker", "%\n:0100\nN10 G0 X0\nN20 M98 P200\nN30 M30\n%\n:0200\nN10 G1 X5\n"
         "N20 M99 P30\n%\n",
         {5, 5, 9999, true}, {}, "8:M99 P=30->4", {{1, ":0100"}, {6, ":0200"}, {8, "N10 M99 P15"}}, ""},
        // The end of a main program anywhere on its line: its loop M99 P jumps within it.
        {"a program end behind other words", "%\nO1002\nN10 G0 X0\nN20 G1 X5\nN30 M99 P20\nN70 G28 U0. W0. M30\n%\n",
         {100, 10, 9999, true}, {}, "4:M99 P=20->3", {{4, "N120 M99 P110"}}, ""},
        {"an optional program end", "%\nO1002\nN10 G0 X0\nN20 G1 X5\nN30 M99 P20\n/M30\n%\n",
         {100, 10, 9999, true}, {}, "4:M99 P=20->3", {{4, "N120 M99 P110"}}, ""},
        // M30 in a comment ends nothing: a subprogram that no program of the file calls.
        {"a program end in a comment", "%\nO2002\nN10 G1 X5\nN20 M99 P10 (NOT M30)\n%\n",
         {100, 10, 9999, true}, {}, "3:M99 P=10 returns", {{3, "N110 M99 P10 (NOT M30)"}}, "3:M99 P=10 returns"},
        {"a macro called with G65", "%\nO1000\nN10 G65 P9100 A1.\nN20 G00 X0\nN30 M30\nO9100\nN10 #1=#1+1\nN20 M99 P20\n%\n",
         {5, 5, 9999, true}, {}, "7:M99 P=20->3", {{7, "N25 M99 P10"}}, ""},
        // Two callers carry N30: the return has no one block; after the renumber only
        // the first caller's line 4 carries 30 (and that is said).
        {"two callers", "%\nO1000\nN10 M98 P2000\nN30 G00 Z50.\nN40 M30\nO1001\nN10 M98 P2000\nN30 G00 Z80.\nN40 M30\n"
         "O2000\nN10 M99 P30\n%\n",
         {10, 10, 9999, true}, {}, "10:M99 P=30 duplicate", {{10, "N70 M99 P30"}}, "10:M99 P=30 now->4"},
        // A jump to a number that only another program of the section carries alarms on the control.
        {"a jump to another program's block", "%\nO1000\nN10 GOTO 50\nN20 M30\nO2000\nN50 M99\n%\n",
         {10, 10, 9999, true}, {}, "2:GOTO=50 missing", {{2, "N10 GOTO 50"}}, "2:GOTO=50 missing"},
    };
    const TDodanyTyp iso = DodanyTyp(u"ISO frézování");
    const TZnakyOdkazu znaky = iso.Znaky();
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const TRadkyUtf8 radky = RadkyTextu(p.program);
        if (*p.pred) EXPECT_EQ(Vyresene(radky, znaky), p.pred);
        const TPrecislovano v = Precislovat(radky, znaky, p.cislovani, p.vyber);
        for (const auto& [radek, text] : p.radky) {
            ASSERT_LT(radek, v.Radky.size());
            EXPECT_EQ(v.Radky[radek], text);
        }
        EXPECT_EQ(Nevyresene(v.Vysledek), p.hlaseni);
    }
}

// The states of a command's report, and the text the command writes read
// again: what the report says each reference reaches is what it reaches.
void OveritProtiVysledku(const TVysledekOdkazu& hlaseni, const TVysledekOdkazu& vysledek) {
    for (const TOdkaz& o : hlaseni.Odkazy) {
        const auto po = std::find_if(vysledek.Odkazy.begin(), vysledek.Odkazy.end(), [&](const TOdkaz& x) {
            return x.Radek == o.Radek && x.Druh == o.Druh && hlaseni.TextCile(o) == vysledek.TextCile(x);
        });
        ASSERT_NE(po, vysledek.Odkazy.end()) << "line " << o.Radek;
        switch (o.Stav) {
            case TStavOdkazu::Vyreseny:
            case TStavOdkazu::NaNovyBlok:
            case TStavOdkazu::UkazujeJinam:
                EXPECT_EQ(po->Stav, TStavOdkazu::Vyreseny) << "line " << o.Radek;
                EXPECT_EQ(po->CilovyRadek, o.CilovyRadek) << "line " << o.Radek;
                break;
            case TStavOdkazu::ChybiCil:
            case TStavOdkazu::BezCilePoPrecislovani: EXPECT_EQ(po->Stav, TStavOdkazu::ChybiCil) << o.Radek; break;
            case TStavOdkazu::VicekratCil:
            case TStavOdkazu::NejednoznacnyPoPrecislovani:
                EXPECT_EQ(po->Stav, TStavOdkazu::VicekratCil) << "line " << o.Radek;
                break;
            case TStavOdkazu::NeniCislo:
            case TStavOdkazu::NavratDoVolajiciho: EXPECT_EQ(po->Stav, o.Stav) << "line " << o.Radek; break;
            case TStavOdkazu::PrepsanyVyberem: break;
        }
    }
}

TRadky Utf16(const TRadkyUtf8& radky) {
    TRadky r;
    for (const auto& s : radky) r.push_back(ZUtf8(s));
    return r;
}

TRadkyUtf8 Utf8(const TRadky& radky) {
    TRadkyUtf8 r;
    for (const auto& s : radky) r.push_back(DoUtf8(s));
    return r;
}

// Introducing numbers into a program with jumps: which jumps then reach a
// freshly numbered block, as the control reads the text introducing writes.
TEST(Odkazy, Zavedeni) {
    struct Pripad {
        const char* nazev;
        bool cislovatZnacky;  // start, end and comment lines too
        const char* hlaseni;
    };
    const char* program = "%\nG00 X0 Y0\nIF [#1 GT 5] GOTO 30\nG01 X10.\nGOTO 90\n(KONEC)\nM30\n%\n";
    const Pripad pripady[] = {
        {"ordinary lines numbered", false, "2:GOTO=30 new->3; 4:GOTO=90 missing"},
        // "N10 %" starts no program in the text written: one sequence, GOTO 30 its own line.
        {"every line numbered", true, "2:GOTO=30 new->2; 4:GOTO=90 missing"},
    };
    const TDodanyTyp iso = DodanyTyp(u"ISO frézování");
    const TZnakyOdkazu znaky = iso.Znaky();
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const TRadkyUtf8 radky = RadkyTextu(program);
        TZavedeniOdkazu z;
        z.Cislovani = {10, 10, 9999, true};
        z.Konec = "M30";
        z.BlokPredZnakZacatku = z.BlokPredZnakKonce = z.BlokPredZnakKomentare = p.cislovatZnacky;
        const TVysledekOdkazu v = ZavestOdkazy(Pohledy(radky), znaky, z);
        EXPECT_EQ(Popsat(v), p.hlaseni);
        TRadky zavedene = Utf16(radky);
        TCNCFile().ZavestBloky(zavedene, u"%", u"M30", u"(", 10, 10, 9999, p.cislovatZnacky, p.cislovatZnacky,
                               p.cislovatZnacky, u"N", true);
        const TRadkyUtf8 po = Utf8(zavedene);
        OveritProtiVysledku(v, NajitOdkazy(Pohledy(po), znaky));
    }
}

// A renumber that keeps the references as they are tells each one that now
// reaches another block, or none.
TEST(Odkazy, PrecislovaniBezUprav) {
    struct Pripad {
        const char* nazev;
        const char* program;
        TCislovaniOdkazu cislovani;
        const char* hlaseni;
    };
    const char* program = "N10 G00 X0\nN20 GOTO 40\nN30 GOTO 50\nN40 X5\nN50 Y5\nN60 GOTO 70\nN70 GOTO 10\nM30\n";
    const Pripad pripady[] = {
        {"the numbers shift", program, {20, 10, 9999, true},
         "1:GOTO=40 now->2 was 3; 2:GOTO=50 now->3 was 4; 5:GOTO=70 now->5 was 6; 6:GOTO=10 gone was 0"},
        {"the numbers stay", program, {10, 10, 9999, true}, ""},
        {"the sequence starts again", program, {10, 10, 30, true},
         "1:GOTO=40 gone was 3; 2:GOTO=50 gone was 4; 5:GOTO=70 gone was 6; 6:GOTO=10 ambiguous"},
        {"a missing target that appears", "N1 GOTO 3\nN2 X\nM30\n", {2, 1, 9999, true}, "0:GOTO=3 now->1"},
    };
    const TDodanyTyp iso = DodanyTyp(u"ISO frézování");
    const TZnakyOdkazu znaky = iso.Znaky();
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const TRadkyUtf8 radky = RadkyTextu(p.program);
        const TVysledekOdkazu v = PrecislovatOdkazy(Pohledy(radky), znaky, p.cislovani, std::nullopt, false);
        EXPECT_TRUE(v.Upravy.empty());
        EXPECT_EQ(Nevyresene(v), p.hlaseni);
        TRadky prace = Utf16(radky);
        PrecislovatRadky(prace, znaky, p.cislovani);
        OveritProtiVysledku(v, NajitOdkazy(Pohledy(Utf8(prace)), znaky));
    }
}

// The families as the stored file type line and the command line write them.
TEST(Odkazy, TextDruhu) {
    using R = TRodinaOdkazu;
    struct Pripad {
        const char* text;
        std::optional<TDruhyOdkazu> druhy;
    };
    const Pripad pripady[] = {
        {"GOTO M99P M97P G70-G73", TDruhyOdkazu::Dosavadni()},
        {"g72-g75,goto", TDruhyOdkazu{R::CyklyC, R::Skoky}},
        {"-", TDruhyOdkazu{}},
        {" GOTO\tG99 ", TDruhyOdkazu{R::Skoky}},  // a name of a later version is left out
        {"G99", std::nullopt},                    // nothing known: the type's default
        {"", std::nullopt},
    };
    for (const auto& p : pripady) EXPECT_EQ(PrecistDruhy(p.text), p.druhy) << p.text;
    EXPECT_EQ(ZapsatDruhy({}), "-");
    // Every set of the declared families is written and read back; each
    // family alone is its short name, which names no other.
    for (std::uint32_t bity = 0; bity < (std::uint32_t{1} << PocetRodinOdkazu); ++bity)
        EXPECT_EQ(PrecistDruhy(ZapsatDruhy(TDruhyOdkazu::ZBitu(bity))), TDruhyOdkazu::ZBitu(bity));
    for (const TPopisRodiny& r : RodinyOdkazu) {
        EXPECT_EQ(ZapsatDruhy({r.Rodina}), r.Zkratka);
        EXPECT_EQ(PrecistDruhy(r.Zkratka), TDruhyOdkazu{r.Rodina}) << r.Zkratka;
        // It reads kinds, and the words that start them pass the pre-filter.
        ASSERT_GT(r.PocetDruhu, 0u) << r.Zkratka;
        for (std::size_t i = 0; i < r.PocetDruhu; ++i)
            EXPECT_TRUE(TDruhyOdkazu::Ctouci(r.Druhy[i]).Ma(r.Rodina)) << NazevDruhu(r.Druhy[i]);
    }
}

// Every kind of the list is read where its example line holds it, by the
// families that read it, and by no other.
TEST(Odkazy, PrikladyDruhu) {
    for (std::size_t i = 0; i < PocetDruhuOdkazu; ++i) {
        const auto druh = static_cast<TDruhOdkazu>(i);
        SCOPED_TRACE(PrikladDruhu(druh));
        for (const TPopisRodiny& r : RodinyOdkazu) {
            TZnakyOdkazu z = Iso;
            z.Druhy = {r.Rodina};
            std::vector<TOdkaz> odkazy;
            std::string texty;
            NajitOdkazyVRadku(PrikladDruhu(druh), z, odkazy, texty);
            const auto najde = std::find_if(odkazy.begin(), odkazy.end(), [&](const TOdkaz& o) {
                return o.Druh == druh && o.Cil == 10 && o.Stav == TStavOdkazu::ChybiCil;
            });
            EXPECT_EQ(najde != odkazy.end(), r.Cte(druh)) << r.Zkratka;
        }
    }
}

// The text of a window (the pre-filter's windows of 64 bytes, the program
// end's letter) and the text line by line give the same references, words
// the type does not read, counts and edits: the letters that start a
// reference stand at every place of a window and of a 16-byte piece, at the
// ends of lines of every length, with every kind of line break.
TEST(Odkazy, OknaJakoRadky) {
    const char* slova[] = {"GOTO 3", "G71 P2 Q3", "M99 P1", "M97 P2", "G75 P1 Q2", "M30", "gOtO 2", "GOTOF N2"};
    std::vector<std::string> programy;
    for (std::size_t sirka = 0; sirka < 80; sirka += 7)
        for (const char* slovo : slova)
            for (const char* zlom : {"\n", "\r\n", "\r"}) {
                std::string p = "%" + std::string(zlom) + "N1 " + std::string(sirka, 'X') + slovo + zlom + "N2 " +
                                std::string(sirka % 17, ' ') + slovo + zlom + "N3 X" + zlom + std::string(sirka, 'Y') +
                                "(" + slovo + ")" + zlom + "N4 M99 P3";
                programy.push_back(std::move(p));
            }
    const TCislovaniOdkazu c{10, 10, 9999, true};
    for (const TDruhyOdkazu druhy : {TDruhyOdkazu::Dosavadni(), TDruhyOdkazu{}, TDruhyOdkazu::Vsechny()})
        for (const std::string& program : programy) {
            SCOPED_TRACE(ZapsatDruhy(druhy) + ": " + program);
            TZnakyOdkazu z = Iso;
            z.Druhy = druhy;
            TOdkazyBloku okna(z, c), radky(z, c);
            okna.Pridat(program);
            const TRadkyUtf8 r = RadkyTextu(program);
            // The line path splits at CR too.
            std::vector<std::string> vsechny;
            for (std::size_t i = 0; i <= program.size();) {
                const std::size_t konec = cnc::KonecRadku(std::string_view(program), i);
                vsechny.push_back(program.substr(i, konec - i));
                if (konec == program.size()) break;
                i = cnc::ZaZlomem(std::string_view(program), konec);
            }
            for (const std::string& radek : vsechny) radky.Radek(radek);
            EXPECT_EQ(okna.Pocty().Radku, radky.Pocty().Radku);
            EXPECT_EQ(okna.Pocty().Bloku, radky.Pocty().Bloku);
            const TVysledekOdkazu a = okna.Dokoncit(), b = radky.Dokoncit();
            EXPECT_EQ(Popsat(a), Popsat(b));
            EXPECT_EQ(a.Upravy, b.Upravy);
            EXPECT_EQ(a.PocetNectenych, b.PocetNectenych);
            EXPECT_EQ(a.TextyNectenych, b.TextyNectenych);
            // None is lost: the window's path finds every word the line's does.
            EXPECT_EQ(a.Nalezenych + a.PocetNectenych, b.Nalezenych + b.PocetNectenych);
            EXPECT_GT(a.Nalezenych + a.PocetNectenych, 0u);
        }
}

TEST(Odkazy, KurzorUprav) {
    const std::vector<TUpravaOdkazu> upravy = {
        {.Radek = 1, .Pozice = 5, .Delka = 2, .Cislo = 7, .Sirka = 0},
        {.Radek = 1, .Pozice = 9, .Delka = 4, .Cislo = 5, .Sirka = 4},
        {.Radek = 3, .Pozice = 0, .Delka = 1, .Cislo = 12345, .Sirka = 3},
    };
    TKurzorUprav k(upravy);
    std::string s;
    k.Pripojit(s, 0, "abc");
    k.Pripojit(s, 1, "GOTO 10 P0010 X", 4);
    k.Pripojit(s, 3, "1");
    EXPECT_EQ(s, "abc 7 P0005 X12345");
    // An edit across the bytes asked for is the caller's fault.
    TKurzorUprav k2(upravy);
    EXPECT_THROW(k2.Pripojit(s, 1, "GOTO 10 P0010 X", 6), std::invalid_argument);
    TKurzorUprav k3(upravy);
    EXPECT_THROW(k3.Pripojit(s, 1, "GOTO 10 P0010 X", 0, 6), std::invalid_argument);
}

// The pass reads each line's front once, for the references and for the
// count of lines and block lines, which must be the engine's count.
TEST(Odkazy, PoctyJakoMotor) {
    const char* texty[] = {
        "", "N1 X", "N1\r\nX\rN2\n\n  :3 A\nNEXT\n9 Y\n", "%\r\n0 BEGIN PGM\r\n  12 L\r\n; 4\r\nN_1\r\n:N5\r\n",
        "\r\r\n\n", "N1 A\r\n", "\t\x01N9\nNX\n N\n",
    };
    for (const TZnakyOdkazu& z : {Iso, Sinumerik, Cislice, TZnakyOdkazu{"", "N", "%", "("}, TZnakyOdkazu{"N", "", "", ""}}) {
        const cnc::TZnackaUtf8 h(ZUtf8(z.HlavniZnak)), v(ZUtf8(z.VedlejsiZnak));
        for (const char* text : texty) {
            SCOPED_TRACE(std::string(z.HlavniZnak) + "|" + std::string(z.VedlejsiZnak) + " " + text);
            TOdkazyBloku o(z);
            o.Pridat(text);
            const cnc::TPocty ocekavane = cnc::Spocitat(std::string_view(text), h.Znacka(), v.Znacka());
            EXPECT_EQ(o.Pocty().Radku, ocekavane.Radku);
            EXPECT_EQ(o.Pocty().Bloku, ocekavane.Bloku);
        }
    }
}

// The block number of a line's front, whatever its length and whatever
// follows it (the front reads eight bytes at once where the line has them):
// the digits and their value as a plain reading gives them.
TEST(Odkazy, CisloBloku) {
    const TPravidlaBloku pravidla(Iso);
    const char* za[] = {"", " X1", "X", "/", ":", "\xFF\xFA\xF6 GOTO 1", "\x2F\x3A" "0000000", "\t", ".5"};
    std::string cislice;
    for (std::size_t delka = 1; delka <= 21; ++delka) {
        cislice += static_cast<char>('0' + (delka * 7) % 10);
        for (const char* zbytek : za)
            for (const char* pred : {"N", ":", "  N", ":N"}) {
                const std::string radek = pred + cislice + zbytek;
                SCOPED_TRACE(radek);
                const TPravidlaBloku::TBlok b = pravidla.Rozebrat(radek);
                ASSERT_TRUE(b.Blokovy);
                EXPECT_EQ(b.Cislice, std::string_view(pred).size());
                EXPECT_EQ(b.Cislic, delka);
                EXPECT_EQ(b.Konec, b.Cislice + delka);
                std::uint64_t hodnota = 0;
                bool velke = false;
                for (const char c : cislice) {
                    velke = velke || hodnota > (UINT64_MAX - 9) / 10;
                    hodnota = hodnota * 10 + static_cast<std::uint64_t>(c - '0');
                }
                EXPECT_EQ(b.Hodnota, velke ? UINT64_MAX : hodnota);
            }
    }
}

// ---------------------------------------------------------------- random programs

class TNahoda {
public:
    explicit TNahoda(std::uint64_t semeno) : stav_(semeno) {}
    std::uint32_t Do(std::uint32_t n) {
        std::uint64_t z = (stav_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return static_cast<std::uint32_t>((z ^ (z >> 31)) % n);
    }
    bool Kdyz(std::uint32_t procent) { return Do(100) < procent; }

private:
    std::uint64_t stav_;
};

TRadkyUtf8 NahodnyProgram(TNahoda& r, const TZnakyOdkazu& z) {
    const auto cislo = [&] {
        std::string s = r.Kdyz(10) ? "00" : "";
        return s + std::to_string(1 + r.Do(25));
    };
    const bool znaky = !z.VedlejsiZnak.empty();
    TRadkyUtf8 radky;
    const std::size_t n = 5 + r.Do(40);
    for (std::size_t i = 0; i < n; ++i) {
        if (r.Kdyz(5)) {
            radky.push_back(r.Kdyz(30) ? "  %" : "%");
            // A program number after it, which a main block character would read as a block.
            if (r.Kdyz(40)) radky.push_back(":" + std::to_string(1000 + r.Do(4)) + (r.Kdyz(30) ? " (P)" : ""));
            continue;
        }
        if (r.Kdyz(4)) {
            // A program number, which programs call.
            radky.push_back("O" + std::to_string(1000 + r.Do(4)));
            continue;
        }
        std::string s = r.Kdyz(10) ? "  " : "";
        if (r.Kdyz(75)) {
            if (znaky && r.Kdyz(8)) s += r.Kdyz(50) ? "/" : "/2";
            if (znaky) s += r.Kdyz(10) ? z.HlavniZnak : z.VedlejsiZnak;
            s += cislo() + " ";
        }
        const std::string t = cislo();
        switch (r.Do(22)) {
            case 0: s += "GOTO " + t; break;
            case 1: s += "IF [#1 GT 2] GOTO" + t; break;
            case 2: s += znaky ? "GOTO " + std::string(z.VedlejsiZnak) + t : "GOTO " + t; break;
            case 3: s += "G71 P" + t + " Q" + cislo() + " U0.5"; break;
            case 4: s += "G70P" + t + "Q" + cislo(); break;
            case 5: s += "M99 P" + t; break;
            case 6: s += "X5 M97 P" + t; break;
            case 7: s += "GOTO #" + t; break;
            case 8: s += "G71 P" + t + ". Q" + cislo(); break;
            case 9: s += std::string(z.Komentar) + "GOTO " + t + (z.Komentar == "(" ? ")" : ""); break;
            case 10: s += "M98 P" + std::to_string(r.Kdyz(50) ? 1000 + r.Do(4) : 1 + r.Do(25)); break;
            case 11: s += "G76 P" + t + " Q" + cislo(); break;
            case 12: s += "G73 X5. Z-3. R1. Q" + t; break;  // a cycle call: no profile
            case 13: s += "G74 P" + t + " Q" + cislo() + " U0.2"; break;
            case 14: s += "G75 P" + t + " Q" + cislo(); break;
            case 15: s += "M30"; break;
            case 16: s += "G65 P" + std::to_string(1000 + r.Do(4)) + " A1."; break;
            // A program's end behind other words; Haas Type II roughing, whose R is no coordinate.
            case 17: s += r.Kdyz(50) ? "G28 U0. W0. M30" : "/M30"; break;
            case 18: s += "G71 P" + t + " Q" + cislo() + " U0.02 W0.005 D0.1 F0.012 R1"; break;
            default: s += "G01 X" + t + ". Y-" + cislo(); break;
        }
        radky.push_back(std::move(s));
    }
    return radky;
}

// The families of a trial: those of a shipped type, or any.
TDruhyOdkazu NahodneDruhy(TNahoda& r) {
    const auto& typy = DodaneTypy();
    if (r.Kdyz(50)) return DruhyOdkazuTypu(typy[r.Do(static_cast<std::uint32_t>(typy.size()))]);
    return TDruhyOdkazu::ZBitu(static_cast<std::uint8_t>(r.Do(32)));
}

// After a renumber, every reference that resolved before resolves to the
// same line, unless the report says that its target's number now stands on
// more blocks; every other reference stays as it was written, and what the
// report says it reaches now is what the written text reaches. A renumber
// that keeps the references, and introducing, report what their text
// reaches. With the families of every shipped type, and any.
TEST(Odkazy, NahodneProgramy) {
    TNahoda r(0x4F444B415A59ull);
    const TZnakyOdkazu typy[] = {Iso, Sinumerik, Cislice, TZnakyOdkazu{"", "N", "%", "("}};
    // Files a user just opens: the type their extension gives in the shipped list.
    const char* soubory[] = {"p.nc", "P.NC", "p.nc", "p.mpf", "p.spf", "p.ngc", "p.tap", "p.txt"};
    std::size_t vyresenych = 0, aktualizovanych = 0, nejednoznacnych = 0, vyberu = 0, navratu = 0, zmenenych = 0,
                podlePripony = 0;
    for (int pokus = 0; pokus < 1000; ++pokus) {
        TZnakyOdkazu z = typy[r.Do(4)];
        z.Druhy = NahodneDruhy(r);
        TDodanyTyp dodany;  // holds the markers z views
        if (r.Kdyz(35)) {
            const char* soubor = soubory[r.Do(std::size(soubory))];
            const std::optional<std::size_t> t = ZvolitTypSouboru(DodaneTypy(), soubor);
            ASSERT_TRUE(t.has_value()) << soubor;
            dodany = DodanyTyp(DodaneTypy()[*t].Nazev);
            z = dodany.Znaky();
            podlePripony += z.Druhy.Ma(TRodinaOdkazu::CyklyA);
        }
        const TRadkyUtf8 radky = NahodnyProgram(r, z);
        TCislovaniOdkazu c;
        c.PrvniBlok = 1 + r.Do(30);
        c.Prirustek = 1 + r.Do(10);
        c.MaximalniBlok = r.Kdyz(30) ? 1 + r.Do(60) : 9999;
        c.CislovatOdZacatku = r.Kdyz(70);
        std::optional<TVyberRadku> vyber;
        if (r.Kdyz(40)) {
            const std::size_t od = r.Do(static_cast<std::uint32_t>(radky.size()));
            const std::size_t po = od + 1 + r.Do(static_cast<std::uint32_t>(radky.size() - od));
            // From the line's start or from its leading blanks.
            vyber = TVyberRadku{od, po, radky[od].starts_with("  ") ? r.Do(3) : 0};
            ++vyberu;
        }
        SCOPED_TRACE(Spojit(radky) + "first " + std::to_string(c.PrvniBlok) + " step " +
                     std::to_string(c.Prirustek) + " max " + std::to_string(c.MaximalniBlok) + " kinds " +
                     ZapsatDruhy(z.Druhy) +
                     (vyber ? " lines " + std::to_string(vyber->Od) + ".." + std::to_string(vyber->Po) : ""));

        const TVysledekOdkazu pred = NajitOdkazy(Pohledy(radky), z);
        for (const TOdkaz& o : pred.Odkazy) navratu += o.Stav == TStavOdkazu::NavratDoVolajiciho;
        const TPrecislovano p = Precislovat(radky, z, c, vyber);
        {
            // Over the text in one piece, keeping only what the report needs:
            // the same edits, the same report.
            TOdkazyBloku o(z, c, vyber);
            o.NechatJenNevyresene();
            o.Pridat(Spojit(radky));
            const TVysledekOdkazu v = o.Dokoncit();
            EXPECT_EQ(v.Upravy, p.Vysledek.Upravy);
            EXPECT_EQ(Nevyresene(v), Nevyresene(p.Vysledek));
            EXPECT_EQ(v.PocetNevyresenych(), v.Odkazy.size());
        }
        const TVysledekOdkazu po = NajitOdkazy(Pohledy(p.Radky), z);
        ASSERT_EQ(pred.Odkazy.size(), po.Odkazy.size());
        std::size_t zmenenychTextu = 0, j = 0;
        for (std::size_t i = 0; i < pred.Odkazy.size(); ++i) {
            const TOdkaz& a = pred.Odkazy[i];
            const TOdkaz& b = po.Odkazy[i];
            ASSERT_EQ(a.Radek, b.Radek);
            // The renumber's report covers the programs it touched, in the same order.
            const TOdkaz* hlaseny = nullptr;
            while (j < p.Vysledek.Odkazy.size() && p.Vysledek.Odkazy[j].Radek < a.Radek) ++j;
            for (std::size_t k = j; k < p.Vysledek.Odkazy.size() && p.Vysledek.Odkazy[k].Radek == a.Radek; ++k)
                if (p.Vysledek.Odkazy[k].Pozice == a.Pozice) hlaseny = &p.Vysledek.Odkazy[k];
            zmenenychTextu += pred.TextCile(a) != po.TextCile(b);
            if (a.Stav != TStavOdkazu::Vyreseny) {
                EXPECT_EQ(pred.TextCile(a), po.TextCile(b)) << "line " << a.Radek;
                if (hlaseny && hlaseny->Stav == TStavOdkazu::UkazujeJinam) {
                    ++zmenenych;
                    EXPECT_EQ(b.Stav, TStavOdkazu::Vyreseny) << "line " << a.Radek;
                    EXPECT_EQ(b.CilovyRadek, hlaseny->CilovyRadek) << "line " << a.Radek;
                }
                continue;
            }
            ++vyresenych;
            if (hlaseny && hlaseny->Stav == TStavOdkazu::NejednoznacnyPoPrecislovani) {
                ++nejednoznacnych;
                EXPECT_EQ(b.Stav, TStavOdkazu::VicekratCil) << "line " << a.Radek;
                continue;
            }
            if (hlaseny) {
                EXPECT_EQ(hlaseny->Stav, TStavOdkazu::Vyreseny) << "line " << a.Radek;
                EXPECT_EQ(hlaseny->CilovyRadek, a.CilovyRadek) << "line " << a.Radek;
            }
            EXPECT_EQ(b.Stav, TStavOdkazu::Vyreseny) << "line " << a.Radek;
            EXPECT_EQ(b.CilovyRadek, a.CilovyRadek) << "line " << a.Radek;
        }
        EXPECT_EQ(zmenenychTextu, p.Vysledek.PocetAktualizovanych());
        aktualizovanych += zmenenychTextu;

        if (!vyber) {
            // The references kept: the report tells what the renumbered text reaches.
            const TVysledekOdkazu bez = PrecislovatOdkazy(Pohledy(radky), z, c, std::nullopt, false);
            TRadky prace = Utf16(radky);
            PrecislovatRadky(prace, z, c);
            OveritProtiVysledku(bez, NajitOdkazy(Pohledy(Utf8(prace)), z));
            ASSERT_EQ(bez.Odkazy.size(), pred.Odkazy.size());
        }
        if (pred.Odkazy.size() > 0 && !z.VedlejsiZnak.empty()) {
            // Introducing, into the program with its numbers removed (the
            // command refuses one that has them): the report tells what the
            // numbered text reaches.
            TRadky bezCisel = Utf16(radky);
            TCNCFile().OdstranitBloky(bezCisel, ZUtf8(z.HlavniZnak), ZUtf8(z.VedlejsiZnak));
            const TRadkyUtf8 program = Utf8(bezCisel);
            TZavedeniOdkazu zav;
            zav.Cislovani = c;
            zav.Konec = "M30";
            zav.BlokPredZnakZacatku = r.Kdyz(30);
            zav.BlokPredZnakKonce = r.Kdyz(30);
            zav.BlokPredZnakKomentare = r.Kdyz(30);
            const TVysledekOdkazu v = ZavestOdkazy(Pohledy(program), z, zav);
            TRadky zavedene = bezCisel;
            TCNCFile().ZavestBloky(zavedene, ZUtf8(z.Zacatek), u"M30", ZUtf8(z.Komentar), c.PrvniBlok, c.Prirustek,
                                   c.MaximalniBlok, zav.BlokPredZnakZacatku, zav.BlokPredZnakKonce,
                                   zav.BlokPredZnakKomentare, ZUtf8(z.VedlejsiZnak), c.CislovatOdZacatku);
            OveritProtiVysledku(v, NajitOdkazy(Pohledy(Utf8(zavedene)), z));
        }
    }
    // The programs exercise what they are meant to.
    EXPECT_GT(vyresenych, 1000u);
    EXPECT_GT(aktualizovanych, 600u);
    EXPECT_GT(nejednoznacnych, 100u);
    EXPECT_GT(vyberu, 250u);
    EXPECT_GT(navratu, 150u);
    EXPECT_GT(zmenenych, 150u);
    EXPECT_GT(podlePripony, 150u);
}

// ---------------------------------------------------------------- real-shaped programs

TRadkyUtf8 Vzorek(const char* nazev) {
    std::ifstream f(std::string(TARVIK_DATA_DIR) + "/" + nazev, std::ios::binary);
    EXPECT_TRUE(f) << nazev;
    return RadkyTextu(std::string(std::istreambuf_iterator<char>(f), {}));
}

struct TOcekavanyOdkaz {
    std::size_t radek;
    const char* odkaz;
    std::size_t cil;
};

// Every reference resolves to the line given, before and after the renumber.
void OveritCile(const TRadkyUtf8& radky, const std::vector<TOcekavanyOdkaz>& ocekavane) {
    const TVysledekOdkazu v = NajitOdkazy(Pohledy(radky), Iso);
    ASSERT_EQ(v.Odkazy.size(), ocekavane.size());
    for (std::size_t i = 0; i < ocekavane.size(); ++i) {
        const TOdkaz& o = v.Odkazy[i];
        EXPECT_EQ(o.Radek, ocekavane[i].radek);
        EXPECT_EQ(Popis(o, v.TextCile(o)), ocekavane[i].odkaz);
        EXPECT_EQ(o.Stav, TStavOdkazu::Vyreseny);
        EXPECT_EQ(o.CilovyRadek, ocekavane[i].cil) << ocekavane[i].odkaz;
    }
}

TEST(Odkazy, SoustruzeniG71AG70) {
    const TRadkyUtf8 radky = Vzorek("soustruh_g71.nc");
    ASSERT_EQ(radky.size(), 29u);
    // The profile runs from "N90 G00 G42 X18." (line 11) to "N170 G01 X50. G40" (line 19).
    OveritCile(radky, {{10, "G71 P=90", 11}, {10, "G71 Q=170", 19}, {24, "G70 P=90", 11}, {24, "G70 Q=170", 19}});

    // The whole program with the window's defaults, 5 by 5.
    const TPrecislovano p = Precislovat(radky, Iso, {5, 5, 9999, true});
    EXPECT_EQ(p.Radky[10], "N40 G71 P45 Q85 U0.4 W0.1 F0.25");
    EXPECT_EQ(p.Radky[11], "N45 G00 G42 X18.");
    EXPECT_EQ(p.Radky[19], "N85 G01 X50. G40");
    EXPECT_EQ(p.Radky[24], "N110 G70 P45 Q85");
    EXPECT_EQ(p.Vysledek.PocetAktualizovanych(), 4u);
    EXPECT_EQ(p.Vysledek.PocetNevyresenych(), 0u);
    OveritCile(p.Radky, {{10, "G71 P=45", 11}, {10, "G71 Q=85", 19}, {24, "G70 P=45", 11}, {24, "G70 Q=85", 19}});

    // Only the profile, from 1000 by 10: both cycles outside it follow.
    const TPrecislovano v = Precislovat(radky, Iso, {1000, 10, 9999, true}, TVyberRadku{11, 20});
    EXPECT_EQ(v.Radky[10], "N80 G71 P1000 Q1080 U0.4 W0.1 F0.25");
    EXPECT_EQ(v.Radky[19], "N1080 G01 X50. G40");
    EXPECT_EQ(v.Radky[20], "N180 G00 X100. Z100. M09");
    EXPECT_EQ(v.Radky[24], "N220 G70 P1000 Q1080");
    EXPECT_EQ(v.Vysledek.PocetNevyresenych(), 0u);
    OveritCile(v.Radky,
               {{10, "G71 P=1000", 11}, {10, "G71 Q=1080", 19}, {24, "G70 P=1000", 11}, {24, "G70 Q=1080", 19}});
}

TEST(Odkazy, MakroSeSkoky) {
    const TRadkyUtf8 radky = Vzorek("makro_skoky.nc");
    ASSERT_EQ(radky.size(), 23u);
    // M97 P500 calls the drilling at line 19, GOTO 60 loops back to the
    // positioning at line 8, GOTO 200 leaves for the end at line 17, and
    // M99 P30 starts the next part at the spindle start, line 5.
    OveritCile(radky, {{9, "M97 P=500", 19}, {11, "GOTO=60", 8}, {13, "GOTO=200", 17}, {16, "M99 P=30", 5}});

    // From 100 by 10: the jump to 200 must now go to 240, since 200 is the
    // new number of its own line.
    const TPrecislovano p = Precislovat(radky, Iso, {100, 10, 9999, true});
    EXPECT_EQ(p.Radky[9], "N160 M97 P260 (JEDNA DIRA)");
    EXPECT_EQ(p.Radky[11], "N180 IF [#1 LT 6] GOTO 150");
    EXPECT_EQ(p.Radky[13], "N200 IF [#100 GE 20] GOTO 240");
    EXPECT_EQ(p.Radky[16], "N230 M99 P120");
    EXPECT_EQ(p.Radky[19], "N260 G83 Z-25. R2. Q3. F120");
    EXPECT_EQ(p.Radky[21], "N280 M99");
    EXPECT_EQ(p.Vysledek.PocetAktualizovanych(), 4u);
    OveritCile(p.Radky, {{9, "M97 P=260", 19}, {11, "GOTO=150", 8}, {13, "GOTO=240", 17}, {16, "M99 P=120", 5}});

    // From 10 by 10 only the numbers after N140 change: two references.
    const TPrecislovano q = Precislovat(radky, Iso, {10, 10, 9999, true});
    EXPECT_EQ(q.Vysledek.PocetAktualizovanych(), 2u);
    EXPECT_EQ(q.Radky[9], "N70 M97 P170 (JEDNA DIRA)");
    EXPECT_EQ(q.Radky[13], "N110 IF [#100 GE 20] GOTO 150");
    OveritCile(q.Radky, {{9, "M97 P=170", 19}, {11, "GOTO=60", 8}, {13, "GOTO=150", 17}, {16, "M99 P=30", 5}});
}

}  // namespace
