// The command layer as the window and the batch tool ask it: what a command
// makes of a program, when it refuses or asks, and the forms numbers take.
#include "prikazy/Prikaz.h"

#include "katalog/convar.h"
#include "platform/Kodovani.h"

#include "../support/RadkyTextu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

namespace {

TTypSouboru Iso() {
    TTypSouboru t;
    t.Nazev = u"ISO";
    t.Pripona = u".nc";
    t.HlavniZnak = u":";
    t.VedlejsiZnak = u"N";
    t.Zacatek = u"%";
    t.Konec = u"M30";
    t.Komentar = u"(";
    return t;
}

struct TVysledek {
    std::string text;
    std::optional<THlaseniPrikazu> odmitnuti;
};

TVysledek Provest(TPrikazProgramu prikaz, std::string_view text, const TUlozeneNastaveni& c,
                  std::optional<TPrikazNadTextem::TVyber> vyber = std::nullopt, bool vynutit = false) {
    TPrikazNadTextem p(TZadaniPrikazu{prikaz, Iso(), c, vynutit}, text, vyber);
    TVysledek v;
    v.odmitnuti = p.Posudek().Odmitnuti;
    if (!v.odmitnuti || (v.odmitnuti->Druh == TDruhHlaseni::Dotaz && vynutit))
        p.Zapsat([&](std::string_view kus) { v.text += kus; }, TPrubeh::Zadny());
    return v;
}

TUlozeneNastaveni Cislovani(int prvni, int prirustek, int sirka = 0) {
    TUlozeneNastaveni c;
    c.PrvniBlok = prvni;
    c.Prirustek = prirustek;
    c.SirkaCisla = sirka;
    return c;
}

// When a command refuses, asks or goes on: one rule for the window and the batch tool.
TEST(Prikaz, Odmitnuti) {
    struct Pripad {
        const char* nazev;
        TPrikazProgramu prikaz;
        const char* text;
        std::optional<TDruhHlaseni> druh;  // none: the command goes on
    };
    const Pripad pripady[] = {
        {"introduce into a numbered program", TPrikazProgramu::Zavest, "N1 X\r\n", TDruhHlaseni::Varovani},
        {"introduce into a program without numbers", TPrikazProgramu::Zavest, "X\r\n", std::nullopt},
        {"renumber without numbers", TPrikazProgramu::Precislovat, "X\r\nY\r\n", TDruhHlaseni::Informace},
        {"renumber", TPrikazProgramu::Precislovat, "N1 X\r\n", std::nullopt},
        {"remove without numbers", TPrikazProgramu::Odstranit, "X\r\n", TDruhHlaseni::Informace},
        {"remove numbers that a reference names", TPrikazProgramu::Odstranit, "N1 X\r\nN2 GOTO 1\r\n",
         TDruhHlaseni::Dotaz},
        {"remove without references", TPrikazProgramu::Odstranit, "N1 X\r\n", std::nullopt},
        {"an empty program has nothing to renumber", TPrikazProgramu::Precislovat, "", TDruhHlaseni::Informace},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const TVysledek v = Provest(p.prikaz, p.text, Cislovani(10, 10));
        ASSERT_EQ(v.odmitnuti.has_value(), p.druh.has_value());
        if (!p.druh) continue;
        EXPECT_EQ(v.odmitnuti->Druh, *p.druh);
        EXPECT_FALSE(v.odmitnuti->Text.empty());
        EXPECT_EQ(v.odmitnuti->Otazka.empty(), *p.druh != TDruhHlaseni::Dotaz);
    }
    // Consent removes the numbers all the same, and the report names the references.
    const TVysledek v = Provest(TPrikazProgramu::Odstranit, "N1 X\r\nN2 GOTO 1\r\n", Cislovani(10, 10), {}, true);
    EXPECT_EQ(v.text, " X\r\n GOTO 1\r\n");
}

// A selection without block lines is refused with its own message, while
// the block lines elsewhere do not count.
TEST(Prikaz, VyberBezBloku) {
    const std::string text = "N1 X\r\nY\r\nN3 Z\r\n";
    TPrikazNadTextem::TVyber vyber{6, 9, TVyberRadku{1, 2}};
    const TVysledek v = Provest(TPrikazProgramu::Precislovat, text, Cislovani(10, 10), vyber);
    ASSERT_TRUE(v.odmitnuti);
    EXPECT_NE(v.odmitnuti->Text.find(rsBLOKYNEJSOUVYBRANE), std::u16string::npos);
}

// The selection in the new text starts where the text before it ends,
// also when the references there grew.
TEST(Prikaz, VyberVNovemTextu) {
    const std::string text = "N1 GOTO 3\r\nN2 X\r\nN3 Y\r\n";
    const std::size_t od = text.find("N3");
    TPrikazNadTextem p(TZadaniPrikazu{TPrikazProgramu::Precislovat, Iso(), Cislovani(100, 100), false}, text,
                       TPrikazNadTextem::TVyber{od, text.size(), TVyberRadku{2, 3}});
    std::string novy;
    p.Zapsat([&](std::string_view kus) { novy += kus; }, TPrubeh::Zadny());
    EXPECT_EQ(novy, "N1 GOTO 100\r\nN2 X\r\nN100 Y\r\n");
    EXPECT_EQ(novy.substr(p.ZacatekVyberu(), p.KonecVyberu() - p.ZacatekVyberu()), "N100 Y\r\n");
}

// The lines of a report's text, split at CR.
std::vector<std::u16string> RadkyZpravy(const std::u16string& text) {
    std::vector<std::u16string> radky;
    for (std::size_t od = 0;;) {
        const std::size_t cr = text.find(u'\r', od);
        radky.push_back(text.substr(od, cr - od));
        if (cr == std::u16string::npos) return radky;
        od = cr + 1;
    }
}

// A report names, line for line of its text, the program's line of each
// reference it lists ("Řádek 12 (...)"), and no line elsewhere; the lines it
// names, in order.
std::vector<std::size_t> JmenovaneRadky(const THlaseniPrikazu& h) {
    const std::vector<std::u16string> radky = RadkyZpravy(h.Text);
    EXPECT_EQ(h.RadkyProgramu.size(), radky.size()) << DoUtf8(h.Text);
    std::vector<std::size_t> jmenovane;
    for (std::size_t i = 0; i < std::min(radky.size(), h.RadkyProgramu.size()); ++i) {
        const bool odkaz = radky[i].starts_with(rsRADEK + u" ");
        if (h.RadkyProgramu[i] == std::u16string::npos) {
            EXPECT_FALSE(odkaz) << DoUtf8(radky[i]);
            continue;
        }
        const std::string c = std::to_string(h.RadkyProgramu[i] + 1);
        EXPECT_TRUE(radky[i].starts_with(rsRADEK + u" " + std::u16string(c.begin(), c.end()) + u" ("))
            << DoUtf8(radky[i]);
        jmenovane.push_back(h.RadkyProgramu[i]);
    }
    return jmenovane;
}

TTypSouboru SDruhy(std::optional<TDruhyOdkazu> druhy, std::u16string pripona = u".nc") {
    TTypSouboru t = Iso();
    t.Pripona = std::move(pripona);
    t.DruhyOdkazu = druhy;
    return t;
}

// What each command tells of the references, with the file type's families:
// the text it writes, the report's kind and text, the lines it names.
TEST(Prikaz, HlaseniOdkazu) {
    using R = TRodinaOdkazu;
    struct Pripad {
        const char* nazev;
        TPrikazProgramu prikaz;
        TTypSouboru typ;
        bool aktualizovat;
        int prvni, prirustek;
        const char* vstup;
        const char* vystup;
        std::optional<TDruhHlaseni> druh;  // none: no report
        std::u16string zprava;
        std::vector<std::size_t> radky;  // the program's lines the report names
    };
    const char* skoky = "%\r\nN1 GOTO 3\r\nN2 X\r\nN3 GOTO 7\r\nM30\r\n";
    const Pripad pripady[] = {
        {"renumber, updated", TPrikazProgramu::Precislovat, Iso(), true, 10, 10, skoky,
         "%\r\nN10 GOTO 30\r\nN20 X\r\nN30 GOTO 7\r\nM30\r\n", TDruhHlaseni::Varovani,
         u"Aktualizováno odkazů na čísla bloků: 1.\rOdkazy bez jednoznačného cíle: 1.\r"
         u"Řádek 4 (GOTO 7): blok s tímto číslem v programu není.",
         {3}},
        // Kept: GOTO 3 now finds no block, GOTO 7 none as before.
        {"renumber, kept", TPrikazProgramu::Precislovat, Iso(), false, 10, 10, skoky,
         "%\r\nN10 GOTO 3\r\nN20 X\r\nN30 GOTO 7\r\nM30\r\n", TDruhHlaseni::Varovani,
         u"Odkazy, které nyní vedou jinam: 1.\r"
         u"Řádek 2 (GOTO 3): po přečíslování nevede na žádný blok (dříve na řádku 4).\r"
         u"Odkazy bez jednoznačného cíle: 1.\r"
         u"Řádek 4 (GOTO 7): blok s tímto číslem v programu není.",
         {1, 3}},
        // From 2 by 1: N1 becomes N2, which GOTO 2 now reaches in place of N2's old line.
        {"renumber, kept, to another block", TPrikazProgramu::Precislovat, Iso(), false, 2, 1,
         "N1 X\r\nN2 Y\r\nN3 GOTO 2\r\n", "N2 X\r\nN3 Y\r\nN4 GOTO 2\r\n", TDruhHlaseni::Varovani,
         u"Odkazy, které nyní vedou jinam: 1.\rŘádek 3 (GOTO 2): vede na jiný blok, na řádku 1 (dříve na řádku 2).",
         {2}},
        {"renumber, kept, every target the same", TPrikazProgramu::Precislovat, Iso(), false, 1, 1,
         "N1 GOTO 2\r\nN2 X\r\n", "N1 GOTO 2\r\nN2 X\r\n", std::nullopt, u"", {}},
        {"introduce: one reaches a new block, one none", TPrikazProgramu::Zavest, Iso(), true, 5, 5,
         "G0 X0\r\nIF [#1 GT 5] GOTO 10\r\nGOTO 30\r\nM30\r\n",
         "N5 G0 X0\r\nN10 IF [#1 GT 5] GOTO 10\r\nN15 GOTO 30\r\nM30\r\n", TDruhHlaseni::Varovani,
         u"Odkazy, které nyní vedou na nově očíslované bloky: 1.\r"
         u"Řádek 2 (GOTO 10): vede na nově očíslovaný blok na řádku 2.\r"
         u"Odkazy bez jednoznačného cíle: 1.\r"
         u"Řádek 3 (GOTO 30): blok s tímto číslem v programu není.",
         {1, 2}},
        {"introduce, every one reaches a new block: still a warning", TPrikazProgramu::Zavest, Iso(), true, 10, 10,
         "X\r\nM99 P10\r\nM30\r\n", "N10 X\r\nN20 M99 P10\r\nM30\r\n", TDruhHlaseni::Varovani,
         u"Odkazy, které nyní vedou na nově očíslované bloky: 1.\r"
         u"Řádek 2 (M99 P10): vede na nově očíslovaný blok na řádku 1.",
         {1}},
        // A type whose control reads no references: the jumps stay, and are told once.
        {"a type without families", TPrikazProgramu::Precislovat, SDruhy(TDruhyOdkazu{}), true, 10, 10, skoky,
         "%\r\nN10 GOTO 3\r\nN20 X\r\nN30 GOTO 7\r\nM30\r\n", TDruhHlaseni::Varovani,
         u"Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém: 2.\r"
         u"Řádek 2 (GOTO 3): Skoky GOTO, GOTOF, GOTOB, GOTOC.\rŘádek 4 (GOTO 7): Skoky GOTO, GOTOF, GOTOB, GOTOC.\r"
         u"Zůstala, jak byla; čte-li je řídicí systém, zvolte typ souboru, který je čte.",
         {1, 3}},
        {"RS-274 by its extension: none, but a Fanuc profile is told", TPrikazProgramu::Precislovat,
         SDruhy(std::nullopt, u".ngc"), true, 10, 10, "N1 G71 P1 Q2\r\nN2 X\r\n", "N10 G71 P1 Q2\r\nN20 X\r\n",
         TDruhHlaseni::Varovani,
         u"Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém: 2.\r"
         u"Řádek 1 (G71 P1, G71 Q2): Profil cyklů soustružení G70 až G73 (P, Q), G-kódy A a B.\r"
         u"Zůstala, jak byla; čte-li je řídicí systém, zvolte typ souboru, který je čte.\r"
         u"Slova programu odpovídají typu souboru \"ISO soustružení\".",
         {0}},
        // Jumps only: the jump follows; M99 P is left as it is, and told.
        {"jumps only", TPrikazProgramu::Precislovat, SDruhy(TDruhyOdkazu{R::Skoky}), true, 10, 10,
         "N1 M99 P2\r\nN2 GOTO 1\r\nM30\r\n", "N10 M99 P2\r\nN20 GOTO 10\r\nM30\r\n", TDruhHlaseni::Varovani,
         u"Aktualizováno odkazů na čísla bloků: 1.\r"
         u"Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém: 1.\r"
         u"Řádek 1 (M99 P2): Návrat na blok M99 P.\r"
         u"Zůstala, jak byla; čte-li je řídicí systém, zvolte typ souboru, který je čte.",
         {0}},
        // A lathe of G-code system C: G72 is its profile, G71 is metric.
        {"lathe, system C", TPrikazProgramu::Precislovat, SDruhy(TDruhyOdkazu{R::CyklyC}), true, 10, 10,
         "N1 G71\r\nN2 G72 P3 Q4\r\nN3 X1\r\nN4 Z1\r\n", "N10 G71\r\nN20 G72 P30 Q40\r\nN30 X1\r\nN40 Z1\r\n",
         TDruhHlaseni::Informace, u"Aktualizováno odkazů na čísla bloků: 2.", {}},
        {"remove, forced", TPrikazProgramu::Odstranit, Iso(), true, 10, 10, "N1 GOTO 2\r\nN2 X\r\n",
         " GOTO 2\r\n X\r\n", TDruhHlaseni::Varovani,
         u"Program obsahuje odkazy na čísla bloků: 1x.\rOdkazy jsou na řádcích: 1\r"
         u"Odstraněním čísel bloků přestanou odkazy platit.",
         {}},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        TUlozeneNastaveni c = Cislovani(p.prvni, p.prirustek);
        c.AktualizovatOdkazy = p.aktualizovat;
        TPrikazNadTextem prikaz(TZadaniPrikazu{p.prikaz, p.typ, c, true}, p.vstup);
        EXPECT_EQ(prikaz.Uloha().DruhyOdkazu(), DruhyOdkazuTypu(p.typ));
        ASSERT_FALSE(prikaz.Posudek().Odmitnuti && prikaz.Posudek().Odmitnuti->Druh != TDruhHlaseni::Dotaz);
        std::string text;
        prikaz.Zapsat([&](std::string_view kus) { text += kus; }, TPrubeh::Zadny());
        EXPECT_EQ(text, p.vystup);
        const auto h = prikaz.HlaseniOdkazu(10);
        ASSERT_EQ(h.has_value(), p.druh.has_value()) << (h ? DoUtf8(h->Text) : "");
        if (!h) continue;
        EXPECT_EQ(h->Druh, *p.druh);
        EXPECT_EQ(h->Titulek, *p.druh == TDruhHlaseni::Varovani ? rsVAROVANI : rsINFORMACE);
        EXPECT_EQ(h->Text, p.zprava);
        EXPECT_EQ(JmenovaneRadky(*h), p.radky);
    }
}

// Right by default: shop programs renumbered with the type their file's
// extension gives in the shipped list, and with the type a careful user
// picks. Every reference reaches the same block (line) before and after;
// where the type does not read a word that another control would, the
// report says so and names the type the words point to.
TEST(Prikaz, SpravneVychozi) {
    const std::vector<TTypSouboru> dodane = NacistSouborTypu(TARVIK_FILES_FTD);
    const auto typ = [&](std::u16string_view nazev) {
        const auto t = std::find_if(dodane.begin(), dodane.end(), [&](const TTypSouboru& x) { return x.Nazev == nazev; });
        EXPECT_NE(t, dodane.end()) << DoUtf8(nazev);
        return t == dodane.end() ? TTypSouboru{} : *t;
    };
    struct Pripad {
        const char* nazev;
        const char* soubor;    // its extension gives the default type
        const char16_t* typ;   // the type a careful user picks
        std::string program;
        std::vector<std::pair<std::size_t, std::size_t>> cile;  // reference line -> target line, from 0
        std::vector<std::pair<std::size_t, std::string>> radky;  // lines of the result (from 100 by 100)
        const char16_t* odhad = nullptr;  // the default type does not read some words: the type they point to
    };
    const std::string soustruh =
        "%\r\nO1000\r\nN10 G50 S2000\r\nN20 G0 X50 Z2\r\nN30 G71 U2 R0.5\r\nN40 G71 P50 Q80 U0.4 W0.1 F0.3\r\n"
        "N50 G0 X20\r\nN60 G1 Z-20\r\nN70 X30\r\nN80 X52\r\nN90 G70 P50 Q80\r\nN100 M30\r\n%\r\n";
    const Pripad pripady[] = {
        // 1. A lathe saved as .nc keeps its profile.
        {"the most common lathe file", "lathe.nc", u"ISO soustružení", soustruh,
         {{5, 6}, {5, 9}, {10, 6}, {10, 9}},
         {{5, "N400 G71 P500 Q800 U0.4 W0.1 F0.3"}, {10, "N900 G70 P500 Q800"}}},
        // ... while a mill's peck drilling keeps its Q.
        {"a mill's peck drilling", "mill.nc", u"ISO frézování",
         "%\r\nO1001\r\nN10 G90 G17 G54\r\nN20 T3 M06\r\nN30 G43 H03 Z50.\r\nN40 G98 G73 X20. Y15. Z-30. R2. Q50 F250\r\n"
         "N50 X40.\r\nN60 G80 M30\r\n%\r\n",
         {}, {{5, "N400 G98 G73 X20. Y15. Z-30. R2. Q50 F250"}}},
        // 2. Haas Type II roughing: R1 is no coordinate.
        {"Haas Type II roughing", "haas.nc", u"ISO soustružení",
         "%\r\nO01004\r\nN1 T101\r\nN2 G50 S2000\r\nN3 G71 P50 Q80 U0.02 W0.005 D0.1 F0.012 R1\r\nN50 G00 X0.6\r\n"
         "N60 G01 Z-1.\r\nN80 X2.\r\nN90 G70 P50 Q80\r\nN100 M30\r\n%\r\n",
         {{4, 5}, {4, 7}, {8, 5}, {8, 7}}, {{4, "N300 G71 P400 Q600 U0.02 W0.005 D0.1 F0.012 R1"}}},
        // 4. The end behind other words: the loop stays in the main program.
        {"a program end behind other words", "loop.nc", u"Fanuc",
         "%\r\nO2002\r\nN10 G0 X0\r\nN20 G1 X5\r\nN30 M99 P20\r\nN70 G28 U0. W0. M30\r\n%\r\n",
         {{4, 3}}, {{4, "N300 M99 P200"}, {5, "N400 G28 U0. W0. M30"}}},
        // 5. Program numbers after the start marker are not renumbered; the
        // subprogram returns to its caller.
        {"program numbers", "o100.nc", u"ISO soustružení",
         "%\r\n:0100\r\nN10 G0 X0\r\nN20 M98 P200\r\nN30 M30\r\n%\r\n:0200 (SUB)\r\nN10 G1 X5\r\nN20 M99 P30\r\n%\r\n",
         {{8, 4}}, {{1, ":0100"}, {6, ":0200 (SUB)"}, {8, "N200 M99 P300"}}},
        // 3. A lathe of system C under the system A type: told, and the type it needs named.
        {"lathe, system C", "c.nc", u"ISO soustružení, G-kódy C",
         "%\r\nO3001\r\nN10 G71 G40 G99\r\nN20 T0101\r\nN30 G96 S180 M03\r\nN40 G73 P50 Q60 U0.4 W0.1 F0.25\r\n"
         "N50 G00 X24.\r\nN60 X52.\r\nN70 G72 P50 Q60\r\nN80 G75 P90 Q100 U0.2 F0.2\r\nN90 G01 X30.\r\nN100 X40.\r\n"
         "N110 M30\r\n%\r\n",
         {{5, 6}, {5, 7}, {8, 6}, {8, 7}, {9, 10}, {9, 11}},
         {{9, "N800 G75 P900 Q1000 U0.2 F0.2"}}, u"ISO soustružení, G-kódy C"},
    };
    for (const auto& p : pripady) {
        const std::optional<std::size_t> vychozi = ZvolitTypSouboru(dodane, p.soubor);
        ASSERT_TRUE(vychozi.has_value()) << p.soubor;
        for (const TTypSouboru& t : {dodane[*vychozi], typ(p.typ)}) {
            SCOPED_TRACE(std::string(p.nazev) + ", " + DoUtf8(t.Nazev));
            const bool cte = !p.odhad || t.Nazev == p.odhad;
            TPrikazNadTextem prikaz(TZadaniPrikazu{TPrikazProgramu::Precislovat, t, Cislovani(100, 100), false},
                                    p.program);
            ASSERT_FALSE(prikaz.Posudek().Odmitnuti);
            std::string novy;
            prikaz.Zapsat([&](std::string_view kus) { novy += kus; }, TPrubeh::Zadny());
            const std::vector<std::string> radky = RadkyTextu(novy);
            if (cte)
                for (const auto& [cislo, text] : p.radky) {
                    ASSERT_LT(cislo, radky.size());
                    EXPECT_EQ(radky[cislo], text);
                }
            // What every reference reaches, before and after.
            const TUloha uloha(TZadaniPrikazu{TPrikazProgramu::Odkazy, t, {}, false});
            const auto cile = [&](std::string_view text) {
                const std::vector<std::string> r = RadkyTextu(text);
                const std::vector<std::string_view> pohledy(r.begin(), r.end());
                std::vector<std::pair<std::size_t, std::size_t>> c;
                for (const TOdkaz& o : NajitOdkazy(pohledy, ZnakyOdkazu(uloha.Zadani(), uloha.DruhyOdkazu())).Odkazy) {
                    EXPECT_EQ(o.Stav, TStavOdkazu::Vyreseny) << o.Radek;
                    c.emplace_back(o.Radek, o.CilovyRadek);
                }
                return c;
            };
            const auto hlaseni = prikaz.HlaseniOdkazu(10);
            const auto pred = cile(p.program);
            EXPECT_EQ(cile(novy), pred);
            if (cte) {
                EXPECT_EQ(pred, p.cile);
                EXPECT_TRUE(!hlaseni || hlaseni->Text.find(rsNECTENASLOVA) == std::u16string::npos);
            } else {
                // What the type reads keeps its blocks; the rest is left as it was.
                for (const auto& o : pred) EXPECT_NE(std::find(p.cile.begin(), p.cile.end(), o), p.cile.end());
                EXPECT_LT(pred.size(), p.cile.size());
                // Told, with the lines of the words and the type they point to.
                ASSERT_TRUE(hlaseni.has_value());
                EXPECT_EQ(hlaseni->Druh, TDruhHlaseni::Varovani);
                EXPECT_NE(hlaseni->Text.find(rsNECTENASLOVA), std::u16string::npos);
                EXPECT_NE(hlaseni->Text.find(u"\"" + std::u16string(p.odhad) + u"\""), std::u16string::npos);
                EXPECT_FALSE(JmenovaneRadky(*hlaseni).empty());
            }

            // Remove asks before it breaks a reference or a word another
            // control reads, and a mill's cycle call is neither; forced, it
            // keeps the program numbers, which introducing then numbers not,
            // and introducing tells the same words the type does not read.
            const auto spustit = [&](TPrikazProgramu co, const std::string& text, bool vynutit) {
                TPrikazNadTextem k(TZadaniPrikazu{co, t, Cislovani(100, 100), vynutit}, text);
                std::string vysledek;
                if (!k.Posudek().Odmitnuti)
                    k.Zapsat([&](std::string_view kus) { vysledek += kus; }, TPrubeh::Zadny());
                const auto h = k.HlaseniOdkazu(10);
                return std::tuple(k.Posudek().Odmitnuti.has_value(), vysledek,
                                  h && h->Text.find(rsNECTENASLOVA) != std::u16string::npos);
            };
            EXPECT_EQ(std::get<0>(spustit(TPrikazProgramu::Odstranit, p.program, false)), !p.cile.empty() || !cte);
            const auto [odmitnuto, bezCisel, nectena] = spustit(TPrikazProgramu::Odstranit, p.program, true);
            ASSERT_FALSE(odmitnuto);
            EXPECT_EQ(nectena, !cte);
            const auto [zOdmitnuto, zavedeny, zNectena] = spustit(TPrikazProgramu::Zavest, bezCisel, false);
            ASSERT_FALSE(zOdmitnuto);
            EXPECT_EQ(zNectena, !cte);
            const std::vector<std::string> puvodni = RadkyTextu(p.program), bez = RadkyTextu(bezCisel),
                                           zavedene = RadkyTextu(zavedeny);
            ASSERT_EQ(bez.size(), puvodni.size());
            ASSERT_EQ(zavedene.size(), puvodni.size());
            for (std::size_t i = 0; i < puvodni.size(); ++i)
                if (puvodni[i].starts_with('O') || puvodni[i].starts_with(':')) {
                    EXPECT_EQ(bez[i], puvodni[i]);
                    EXPECT_EQ(zavedene[i], puvodni[i]);
                }
        }
    }
}

// A long report ends in "…" after the lines asked for; it names no line.
TEST(Prikaz, DlouheHlaseni) {
    std::string text;
    for (int i = 1; i <= 30; ++i) text += "N" + std::to_string(i) + " GOTO " + std::to_string(i + 1000) + "\r\n";
    TPrikazNadTextem p(TZadaniPrikazu{TPrikazProgramu::Precislovat, Iso(), Cislovani(10, 10), false}, text);
    const auto h = p.HlaseniOdkazu(3);
    ASSERT_TRUE(h);
    const std::vector<std::u16string> radky = RadkyZpravy(h->Text);
    ASSERT_EQ(radky.size(), 6u);
    EXPECT_EQ(radky.back(), u"\u2026");
    EXPECT_EQ(JmenovaneRadky(*h), (std::vector<std::size_t>{0, 1, 2}));
}

// The forms of numbers: a new block number is plain or as wide as the
// setting asks; a reference keeps the width it was written with.
TEST(Prikaz, TvaryCisel) {
    struct Pripad {
        const char* nazev;
        TPrikazProgramu prikaz;
        int prvni, prirustek, sirka;
        const char* vstup;
        const char* vysledek;
    };
    const Pripad pripady[] = {
        {"plain numbers lose their zeros", TPrikazProgramu::Precislovat, 10, 10, 0, "N0001 X\r\n:02 Y\r\n",
         "N10 X\r\n:20 Y\r\n"},
        {"width 4", TPrikazProgramu::Precislovat, 10, 10, 4, "N1 X\r\nN2 Y\r\n", "N0010 X\r\nN0020 Y\r\n"},
        {"width 9, the widest", TPrikazProgramu::Precislovat, 5, 5, 9, "N1 X\r\n", "N000000005 X\r\n"},
        {"a number wider than the width", TPrikazProgramu::Precislovat, 9999, 1, 2, "N1 X\r\n", "N9999 X\r\n"},
        {"introduce with width 3", TPrikazProgramu::Zavest, 5, 5, 3, "X\r\nY\r\n", "N005 X\r\nN010 Y\r\n"},
        {"a reference with a leading zero keeps it", TPrikazProgramu::Precislovat, 5, 5, 0,
         "N1 X\r\nN2 GOTO 01\r\n", "N5 X\r\nN10 GOTO 05\r\n"},
        {"a reference of four digits keeps four", TPrikazProgramu::Precislovat, 10, 10, 0,
         "N1 X\r\nN2 M97 P0001\r\n", "N10 X\r\nN20 M97 P0010\r\n"},
        {"a plain reference stays plain beside wide blocks", TPrikazProgramu::Precislovat, 10, 10, 4,
         "N1 X\r\nN2 GOTO 1\r\n", "N0010 X\r\nN0020 GOTO 10\r\n"},
        {"a reference wider than its new number's digits", TPrikazProgramu::Precislovat, 100, 100, 0,
         "N1 X\r\nN2 GOTO 001\r\n", "N100 X\r\nN200 GOTO 100\r\n"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        EXPECT_EQ(Provest(p.prikaz, p.vstup, Cislovani(p.prvni, p.prirustek, p.sirka)).text, p.vysledek);
    }
}

// Each switch of introducing numbers its own kind of line and no other: a
// switch wired to another kind's field shows here, where all together hide it.
TEST(Prikaz, PrepinaceZavedeniKazdyZvlast) {
    struct Pripad {
        const char* nazev;
        bool TUlozeneNastaveni::* prepinac;  // nullptr: none
        const char* vysledek;
    };
    const Pripad pripady[] = {
        {"none", nullptr, "%\r\nN10 G0\r\n(C)\r\nM30\r\n"},
        {"program start lines", &TUlozeneNastaveni::BlokPredZnakZacatku, "N10 %\r\nN20 G0\r\n(C)\r\nM30\r\n"},
        {"program end lines", &TUlozeneNastaveni::BlokPredZnakKonce, "%\r\nN10 G0\r\n(C)\r\nN20 M30\r\n"},
        {"comment lines", &TUlozeneNastaveni::BlokPredZnakKomentare, "%\r\nN10 G0\r\nN20 (C)\r\nM30\r\n"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        TUlozeneNastaveni c = Cislovani(10, 10);
        if (p.prepinac) c.*p.prepinac = true;
        EXPECT_EQ(Provest(TPrikazProgramu::Zavest, "%\r\nG0\r\n(C)\r\nM30\r\n", c).text, p.vysledek);
    }
}

// The numbering as the task takes it: bounded whatever the caller held.
TEST(Prikaz, UlohaOhraniciCislovani) {
    TUlozeneNastaveni c = Cislovani(0, 50000, 40);
    c.MaximalniBlok = 20;
    const TUloha u(TZadaniPrikazu{TPrikazProgramu::Precislovat, Iso(), c, false});
    EXPECT_EQ(u.Zadani().PrvniBlok, 1u);
    EXPECT_EQ(u.Zadani().Prirustek, 20u);
    EXPECT_EQ(u.Zadani().SirkaCisla, 9);
    EXPECT_EQ(u.Zadani().HlavniZnak.Text, ":");
    EXPECT_EQ(u.Zadani().Prikaz, cnc::TPrikaz::Precislovat);
}

// The room reckoned for the new text holds it, in the worst cases of each command.
TEST(Prikaz, OdhadStaci) {
    const std::string radky = "N1 A\nB\rN3 GOTO 1\n\n";
    for (const TPrikazProgramu prikaz : {TPrikazProgramu::Zavest, TPrikazProgramu::Precislovat}) {
        for (const int sirka : {0, 9}) {
            const std::string text = prikaz == TPrikazProgramu::Zavest ? "A\nB\rC\n\n" : radky;
            TPrikazNadTextem p(TZadaniPrikazu{prikaz, Iso(), Cislovani(9999, 9999, sirka), false}, text);
            std::string novy;
            p.Zapsat([&](std::string_view kus) { novy += kus; }, TPrubeh::Zadny());
            EXPECT_LE(novy.size(), p.Odhad()) << novy;
        }
    }
}

}  // namespace
