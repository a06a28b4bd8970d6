// The command layer as the window and the batch tool ask it: what a command
// makes of a program, when it refuses or asks, and the forms numbers take.
#include "prikazy/Prikaz.h"

#include "katalog/convar.h"
#include "platform/Kodovani.h"

#include <gtest/gtest.h>

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
        // A type whose control reads no references: nothing found, nothing said.
        {"a type without families", TPrikazProgramu::Precislovat, SDruhy(TDruhyOdkazu{}), true, 10, 10, skoky,
         "%\r\nN10 GOTO 3\r\nN20 X\r\nN30 GOTO 7\r\nM30\r\n", std::nullopt, u"", {}},
        {"RS-274 by its extension: none", TPrikazProgramu::Precislovat, SDruhy(std::nullopt, u".ngc"), true, 10, 10,
         "N1 G71 P1 Q2\r\nN2 X\r\n", "N10 G71 P1 Q2\r\nN20 X\r\n", std::nullopt, u"", {}},
        // Jumps only: M99 P is a word like any other, the jump follows.
        {"jumps only", TPrikazProgramu::Precislovat, SDruhy(TDruhyOdkazu{R::Skoky}), true, 10, 10,
         "N1 M99 P2\r\nN2 GOTO 1\r\nM30\r\n", "N10 M99 P2\r\nN20 GOTO 10\r\nM30\r\n",
         TDruhHlaseni::Informace, u"Aktualizováno odkazů na čísla bloků: 1.", {}},
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
