// The command layer as the window and the batch tool ask it: what a command
// makes of a program, when it refuses or asks, and the forms numbers take.
#include "prikazy/Prikaz.h"

#include "katalog/convar.h"

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

// A report names the lines of its references, line for line of its text.
TEST(Prikaz, RadkyHlaseni) {
    const std::string text = "N1 GOTO 7\r\nN2 X\r\nN3 GOTO 2\r\nN4 GOTO #1\r\n";
    TPrikazNadTextem p(TZadaniPrikazu{TPrikazProgramu::Precislovat, Iso(), Cislovani(10, 10), false}, text);
    const auto h = p.HlaseniOdkazu(10);
    ASSERT_TRUE(h);
    std::vector<std::u16string> radky;
    for (std::size_t od = 0;;) {
        const std::size_t cr = h->Text.find(u'\r', od);
        radky.push_back(h->Text.substr(od, cr - od));
        if (cr == std::u16string::npos) break;
        od = cr + 1;
    }
    ASSERT_EQ(h->RadkyProgramu.size(), radky.size());
    std::vector<std::size_t> jmenovane;
    for (std::size_t i = 0; i < radky.size(); ++i) {
        if (h->RadkyProgramu[i] == std::u16string::npos) continue;
        jmenovane.push_back(h->RadkyProgramu[i]);
        const std::string c = std::to_string(h->RadkyProgramu[i] + 1);
        EXPECT_NE(radky[i].find(rsRADEK + u" " + std::u16string(c.begin(), c.end()) + u" "), std::u16string::npos);
    }
    EXPECT_EQ(jmenovane, (std::vector<std::size_t>{0, 3}));
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
