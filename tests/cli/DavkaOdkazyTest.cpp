// The batch tool and the references to block numbers: renumber updates them
// (or keeps them with --keep-references), remove refuses without --force,
// introduce reports them, refs lists them; one program, a pipe, a folder.
#include "cli/Argumenty.h"
#include "cli/Davka.h"
#include "platform/CteniTextu.h"
#include "../support/DavkaVTestu.h"
#include "../support/RadkyTextu.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

std::string Vzorek(const char* nazev) {
    std::ifstream f(std::string(TARVIK_DATA_DIR) + "/" + nazev, std::ios::binary);
    EXPECT_TRUE(f) << nazev;
    return std::string(std::istreambuf_iterator<char>(f), {});
}

class DavkaOdkazy : public ::testing::Test {
protected:
    DavkaOdkazy() {
        prostredi.SouborTypu = slozka / "files.ftd";
        TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Soustruh\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                                                     "Sinumerik\t.mpf\t:\tN\t%\tM30\t;\t\r\n");
    }
    int Spustit(std::vector<std::string> argumenty) {
        vystup = TZachycenyVystup();
        return SpustitDavku(argumenty, prostredi, vystup);
    }
    std::string Soubor(const std::string& jmeno, const std::string& obsah) {
        TDocasnaSlozka::Zapsat(slozka / jmeno, obsah);
        return (slozka / jmeno).string();
    }

    TDocasnaSlozka slozka;
    TProstrediDavky prostredi;
    TZachycenyVystup vystup;
};

// The two real-shaped programs renumbered: every jump, call, return and
// profile still names the block it named before, line for line as followed
// by hand; the listing of the result says the same.
TEST_F(DavkaOdkazy, SkutecneProgramy) {
    struct TRadek {
        std::size_t cislo;  // the line, from 1
        const char* text;
    };
    struct Pripad {
        const char* nazev;
        const char* soubor;
        std::vector<std::string> volby;
        std::vector<TRadek> radky;  // lines of the result
        std::string hlaseni;        // the end of standard error
        std::string vypis;          // refs of the result
    };
    const Pripad pripady[] = {
        // The profile of G71 and G70 runs from N90 (line 12) to N170 (line 20).
        {"lathe, 5 by 5",
         "soustruh_g71.nc",
         {},
         {{11, "N40 G71 P45 Q85 U0.4 W0.1 F0.25"},
          {12, "N45 G00 G42 X18."},
          {20, "N85 G01 X50. G40"},
          {25, "N110 G70 P45 Q85"}},
         "Informace: Aktualizováno odkazů na čísla bloků: 4.\n",
         "11\tG71 P\t45\t12\n11\tG71 Q\t85\t20\n25\tG70 P\t45\t12\n25\tG70 Q\t85\t20\n"},
        {"lathe, references kept",
         "soustruh_g71.nc",
         {"--keep-references"},
         {{11, "N40 G71 P90 Q170 U0.4 W0.1 F0.25"}, {12, "N45 G00 G42 X18."}, {25, "N110 G70 P90 Q170"}},
         "Počet řádků: 29, Počet znaků: 573, Počet NC bloků: 25.\n"
         "Varování: Odkazy, které nyní vedou jinam: 4.\n"
         "Řádek 11 (G71 P90): vede na jiný blok, na řádku 21 (dříve na řádku 12).\n"
         "Řádek 11 (G71 Q170): po přečíslování nevede na žádný blok (dříve na řádku 20).\n"
         "Řádek 25 (G70 P90): vede na jiný blok, na řádku 21 (dříve na řádku 12).\n"
         "Řádek 25 (G70 Q170): po přečíslování nevede na žádný blok (dříve na řádku 20).\n",
         // N90 now stands on line 21, and no block is N170: the wrong profile, or an alarm.
         "11\tG71 P\t90\t21\n11\tG71 Q\t170\tblok s tímto číslem v programu není\n?"},
        // M97 P500 calls the drilling (line 20), GOTO 60 loops back to the
        // positioning (line 9), GOTO 200 leaves for the end (line 18), M99
        // P30 starts the next part at the spindle start (line 6). From 100
        // by 10 the jump to 200 goes to 240: 200 is now its own line's number.
        {"macro, from 100 by 10",
         "makro_skoky.nc",
         {"--first", "100", "--increment", "10"},
         {{6, "N120 S1800 M03"},
          {9, "N150 G00 X[40. * COS[#1 * 60.]] Y[40. * SIN[#1 * 60.]]"},
          {10, "N160 M97 P260 (JEDNA DIRA)"},
          {12, "N180 IF [#1 LT 6] GOTO 150"},
          {14, "N200 IF [#100 GE 20] GOTO 240"},
          {17, "N230 M99 P120"},
          {18, "N240 G28 G91 Z0. M09"},
          {20, "N260 G83 Z-25. R2. Q3. F120"}},
         "Informace: Aktualizováno odkazů na čísla bloků: 4.\n",
         "10\tM97 P\t260\t20\n12\tGOTO\t150\t9\n14\tGOTO\t240\t18\n17\tM99 P\t120\t6\n"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const std::string program = Soubor(p.soubor, Vzorek(p.soubor));
        std::vector<std::string> a = {"renumber"};
        a.insert(a.end(), p.volby.begin(), p.volby.end());
        a.push_back(program);
        ASSERT_EQ(Spustit(a), 0) << vystup.hlaseni;
        const std::vector<std::string> radky = RadkyTextu(vystup.program);
        for (const TRadek& r : p.radky) {
            ASSERT_LE(r.cislo, radky.size());
            EXPECT_EQ(radky[r.cislo - 1], r.text) << "line " << r.cislo;
        }
        EXPECT_TRUE(vystup.hlaseni.ends_with(p.hlaseni)) << vystup.hlaseni;

        // The result listed: every reference resolved, to the line followed by hand.
        const std::string vysledek = Soubor("vysledek.nc", vystup.program);
        const int kod = Spustit({"refs", vysledek});
        const std::string vypis = p.vypis;
        if (vypis.ends_with('?')) {
            // Kept references name numbers that now stand elsewhere or nowhere.
            EXPECT_EQ(kod, 1);
            EXPECT_NE(vystup.program.find(vypis.substr(0, vypis.size() - 1)), std::string::npos) << vystup.program;
        } else {
            EXPECT_EQ(kod, 0);
            EXPECT_EQ(vystup.program, "Řádek\tOdkaz\tCíl\tŘádek cíle\n" + vypis + "Počet odkazů na čísla bloků: 4.\n");
        }
    }
}

// What each command does with a program that has references, and what it tells.
TEST_F(DavkaOdkazy, Prikazy) {
    const std::string sOdkazy = "%\r\nN10 GOTO 30\r\nN20 X\r\nN30 M99 P20\r\nM30\r\n";
    const std::string nevyresene = "N1 GOTO 9\r\nN2 GOTO #1\r\nN2 X\r\nN3 GOTO 2\r\nN4 G70 P1. Q4\r\n";
    const std::string bezCisel = "GOTO 10\r\nX\r\nM99 P#1\r\n";
    struct Pripad {
        const char* nazev;
        std::vector<std::string> argumenty;
        std::string vstup;
        int kod;
        std::string program;
        std::string hlaseni;  // the end of standard error
    };
    const Pripad pripady[] = {
        {"renumber", {"renumber", "--first", "100", "--increment", "100"}, sOdkazy, 0,
         "%\r\nN100 GOTO 300\r\nN200 X\r\nN300 M99 P200\r\nM30\r\n",
         "Informace: Aktualizováno odkazů na čísla bloků: 2.\n"},
        {"renumber, references kept", {"renumber", "--first", "100", "--increment", "100", "--keep-references"},
         sOdkazy, 0, "%\r\nN100 GOTO 30\r\nN200 X\r\nN300 M99 P20\r\nM30\r\n",
         "Počet řádků: 5, Počet znaků: 44, Počet NC bloků: 3.\n"
         "Varování: Odkazy, které nyní vedou jinam: 2.\n"
         "Řádek 2 (GOTO 30): po přečíslování nevede na žádný blok (dříve na řádku 4).\n"
         "Řádek 4 (M99 P20): po přečíslování nevede na žádný blok (dříve na řádku 3).\n"},
        // From 20 by 10: N10 becomes N20, which M99 P20 now reaches in place of its old line.
        {"renumber, references kept, one now leads to another block",
         {"renumber", "--first", "20", "--increment", "10", "--keep-references"}, sOdkazy, 0,
         "%\r\nN20 GOTO 30\r\nN30 X\r\nN40 M99 P20\r\nM30\r\n",
         "Varování: Odkazy, které nyní vedou jinam: 2.\n"
         "Řádek 2 (GOTO 30): vede na jiný blok, na řádku 3 (dříve na řádku 4).\n"
         "Řádek 4 (M99 P20): vede na jiný blok, na řádku 2 (dříve na řádku 3).\n"},
        {"renumber, references kept, every target the same",
         {"renumber", "--first", "10", "--increment", "10", "--keep-references"}, sOdkazy, 0, sOdkazy,
         "Počet řádků: 5, Počet znaků: 41, Počet NC bloků: 3.\n"},
        // The families of this run: the jumps alone, or none at all.
        // What the type does not read is left as it is, and told once.
        {"--references GOTO: M99 P is left, and told",
         {"renumber", "--first", "100", "--increment", "100", "--references", "goto"}, sOdkazy, 0,
         "%\r\nN100 GOTO 300\r\nN200 X\r\nN300 M99 P20\r\nM30\r\n",
         "Varování: Aktualizováno odkazů na čísla bloků: 1.\n" "Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém: 1.\n"
         "Řádek 4 (M99 P20): Návrat na blok M99 P.\n"
         "Zůstala, jak byla; čte-li je řídicí systém, zvolte typ souboru, který je čte.\n"},
        {"--references none", {"renumber", "--first", "100", "--increment", "100", "--references=none"}, sOdkazy, 0,
         "%\r\nN100 GOTO 30\r\nN200 X\r\nN300 M99 P20\r\nM30\r\n",
         "Počet řádků: 5, Počet znaků: 44, Počet NC bloků: 3.\nVarování: " "Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém: 2.\n"
         "Řádek 2 (GOTO 30): Skoky GOTO, GOTOF, GOTOB, GOTOC.\n"
         "Řádek 4 (M99 P20): Návrat na blok M99 P.\n"
         "Zůstala, jak byla; čte-li je řídicí systém, zvolte typ souboru, který je čte.\n"},
        // remove refuses them as it does the references it reads.
        {"--references with remove", {"remove", "--references", "M97P"}, sOdkazy, 1, "",
         "Varování: " "Slova, která typ souboru nečte jako odkazy na čísla bloků, ač je tak čte jiný řídicí systém: 2.\n"
         "Řádek 2 (GOTO 30): Skoky GOTO, GOTOF, GOTOB, GOTOC.\n"
         "Řádek 4 (M99 P20): Návrat na blok M99 P.\n"
         "Odstraněním čísel bloků přestanou odkazy platit.\n"
         "tarvik-cli: --force čísla přesto odstraní.\n"},
        {"renumber, numbers that stay", {"renumber", "--first", "10", "--increment", "10"}, sOdkazy, 0, sOdkazy,
         "Informace: Aktualizováno odkazů na čísla bloků: 0.\n"},
        {"renumber, what cannot be updated is left and reported", {"renumber", "--first", "10", "--increment", "10"},
         nevyresene, 0, "N10 GOTO 9\r\nN20 GOTO #1\r\nN30 X\r\nN40 GOTO 2\r\nN50 G70 P1. Q50\r\n",
         // GOTO 2 had two blocks; after the renumber it has none.
         "Varování: Aktualizováno odkazů na čísla bloků: 1.\n"
         "Odkazy, které nyní vedou jinam: 1.\n"
         "Řádek 4 (GOTO 2): po přečíslování nevede na žádný blok.\n"
         "Odkazy bez jednoznačného cíle: 3.\n"
         "Řádek 1 (GOTO 9): blok s tímto číslem v programu není.\n"
         "Řádek 2 (GOTO #1): cíl není zapsán číslem.\n"
         "Řádek 5 (G70 P1.): cíl není zapsán číslem.\n"},
        {"remove refused", {"remove"}, sOdkazy, 1, "",
         "Varování: Program obsahuje odkazy na čísla bloků: 2x.\n"
         "Odkazy jsou na řádcích: 2, 4\n"
         "Odstraněním čísel bloků přestanou odkazy platit.\n"
         "tarvik-cli: --force čísla přesto odstraní.\n"},
        {"remove forced", {"remove", "--force"}, sOdkazy, 0, "%\r\n GOTO 30\r\n X\r\n M99 P20\r\nM30\r\n",
         "Varování: Program obsahuje odkazy na čísla bloků: 2x.\n"
         "Odkazy jsou na řádcích: 2, 4\n"
         "Odstraněním čísel bloků přestanou odkazy platit.\n"},
        {"remove without references", {"remove"}, "N1 X\r\n", 0, " X\r\n", "Počet NC bloků: 0.\n"},
        {"introduce: a reference lands on a new block, one has no target", {"introduce"}, bezCisel, 0,
         "N5 GOTO 10\r\nN10 X\r\nN15 M99 P#1\r\n",
         "Varování: Odkazy, které nyní vedou na nově očíslované bloky: 1.\n"
         "Řádek 1 (GOTO 10): vede na nově očíslovaný blok na řádku 2.\n"
         "Odkazy bez jednoznačného cíle: 1.\n"
         "Řádek 3 (M99 P#1): cíl není zapsán číslem.\n"},
        {"introduce: numbered from 100, none lands", {"introduce", "--first", "100"}, bezCisel, 0,
         "N100 GOTO 10\r\nN105 X\r\nN110 M99 P#1\r\n",
         "Varování: Odkazy bez jednoznačného cíle: 2.\n"
         "Řádek 1 (GOTO 10): blok s tímto číslem v programu není.\n"
         "Řádek 3 (M99 P#1): cíl není zapsán číslem.\n"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        std::vector<std::string> a = p.argumenty;
        a.push_back(Soubor("p.nc", p.vstup));
        EXPECT_EQ(Spustit(a), p.kod) << vystup.hlaseni;
        EXPECT_EQ(vystup.program, p.program);
        EXPECT_TRUE(vystup.hlaseni.ends_with(p.hlaseni)) << vystup.hlaseni;
        EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "p.nc"), p.vstup);
    }
}

TEST_F(DavkaOdkazy, VypisOdkazu) {
    // Every kind, a comment, a variable, a label and a code that is none.
    const std::string program = Soubor("p.mpf",
                                       "%\n"
                                       "N10 G71 P0020 Q30 ; GOTO 10\n"
                                       "N20 GOTOF N30\n"
                                       "N30 IF R1>5 GOTOB LABEL1\n"
                                       "N40 M98 P30\n"
                                       "N40 GOTO 40\n"
                                       "N50 M97 P#2\n");
    // Every kind asked for (the Sinumerik type reads the jumps alone).
    EXPECT_EQ(Spustit({"refs", "--references", "GOTO,M97P,G70-G73", program}), 1);
    EXPECT_EQ(vystup.program,
              "Řádek\tOdkaz\tCíl\tŘádek cíle\n"
              "2\tG71 P\t0020\t3\n"
              "2\tG71 Q\t30\t4\n"
              "3\tGOTOF\tN30\t4\n"
              "6\tGOTO\t40\ttoto číslo má v programu více bloků\n"
              "7\tM97 P\t#2\tcíl není zapsán číslem\n"
              "Počet odkazů na čísla bloků: 5.\n");
    EXPECT_EQ(vystup.hlaseni, "");
    // The type's own: G71 is metric on its control, M97 no call.
    EXPECT_EQ(Spustit({"refs", program}), 1);
    EXPECT_EQ(vystup.program,
              "Řádek\tOdkaz\tCíl\tŘádek cíle\n"
              "3\tGOTOF\tN30\t4\n"
              "6\tGOTO\t40\ttoto číslo má v programu více bloků\n"
              "Počet odkazů na čísla bloků: 2.\n");
    EXPECT_EQ(Spustit({"refs", Soubor("bez.nc", "N1 X\n")}), 0);
    EXPECT_EQ(vystup.program, "Řádek\tOdkaz\tCíl\tŘádek cíle\nPočet odkazů na čísla bloků: 0.\n");

    // Options that do not fit the commands.
    const std::pair<std::vector<std::string>, const char*> chyby[] = {
        {{"refs", program, program}, "refs bere jeden FILE"},
        {{"refs", "-o", "x.nc", program}, "refs nezapisuje žádný program: -o, --in-place, --check a --diff zde neplatí"},
        {{"refs", "--first", "10", program},
         "refs nic nečísluje: --first, --increment, --max, --keep-max a --restart zde neplatí"},
        {{"renumber", "--force", program}, "--force platí jen pro remove"},
        {{"remove", "--keep-references", program}, "--keep-references a --update-references platí jen pro renumber"},
        {{"renumber", "--keep-references", "--update-references", program},
         "--keep-references a --update-references se navzájem vylučují"},
    };
    for (const auto& [argumenty, zprava] : chyby) {
        EXPECT_EQ(Spustit(argumenty), 2) << zprava;
        EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')), std::string("tarvik-cli: ") + zprava);
    }
}

// --references: the families of one run, by their short names; a value
// that names none, or a name the tool does not know, is a usage error.
TEST(DruhyOdkazuDavky, Volba) {
    using R = TRodinaOdkazu;
    struct Pripad {
        std::string hodnota;
        std::optional<TDruhyOdkazu> druhy;  // none: a usage error
    };
    const Pripad pripady[] = {
        {"GOTO,M99P", TDruhyOdkazu{R::Skoky, R::NavratM99}},
        {"goto m97p", TDruhyOdkazu{R::Skoky, R::VolaniM97}},
        {"G70-G73,G72-G75,", TDruhyOdkazu{R::CyklyA, R::CyklyC}},
        {"M99P,M99P", TDruhyOdkazu{R::NavratM99}},
        {"none", TDruhyOdkazu{}},
        {"None", TDruhyOdkazu{}},
        {"-", TDruhyOdkazu{}},
        {"", std::nullopt},
        {",", std::nullopt},
        {"GOTO,M98P", std::nullopt},
        {"M99", std::nullopt},
        {"G71", std::nullopt},
        {"GOTO,-", std::nullopt},
        {"none,GOTO", std::nullopt},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.hodnota);
        const std::vector<std::string> a = {"renumber", "--references", p.hodnota, "p.nc"};
        if (p.druhy) {
            EXPECT_EQ(RozebratArgumenty(a).druhyOdkazu, p.druhy);
            EXPECT_EQ(RozebratArgumenty({"renumber", "--references=" + p.hodnota, "p.nc"}).druhyOdkazu, p.druhy);
        } else {
            try {
                RozebratArgumenty(a);
                ADD_FAILURE() << "no usage error";
            } catch (const TChybaPouziti& e) {
                EXPECT_EQ(std::string(e.what()),
                          "--references bere druhy odkazů GOTO, M99P, M97P, G70-G73, G72-G75 oddělené čárkou, nebo "
                          "none, ne '" + p.hodnota + "'");
            }
        }
    }
    EXPECT_THROW(RozebratArgumenty({"count", "--references", "GOTO", "p.nc"}), TChybaPouziti);
    EXPECT_THROW(RozebratArgumenty({"renumber", "--references"}), TChybaPouziti);
}

// types: every shipped type with the families its control reads, as the
// stored line writes them; a type without them shows its default.
TEST_F(DavkaOdkazy, TypySDruhyOdkazu) {
    prostredi.SouborTypu = TARVIK_FILES_FTD;
    ASSERT_EQ(Spustit({"types"}), 0) << vystup.hlaseni;
    // Each line: the type's seven fields, then the families it reads.
    const std::vector<TTypSouboru> typy = NacistSouborTypu(TARVIK_FILES_FTD);
    const std::vector<std::string> radky = RadkyTextu(vystup.program);
    ASSERT_EQ(radky.size(), typy.size());
    for (std::size_t i = 0; i < typy.size(); ++i) {
        const std::string& radek = radky[i];
        ASSERT_EQ(std::count(radek.begin(), radek.end(), '\t'), 7) << radek;
        EXPECT_EQ(radek.substr(0, radek.find('\t')), DoUtf8(typy[i].Nazev));
        EXPECT_EQ(PrecistDruhy(radek.substr(radek.rfind('\t') + 1)), DruhyOdkazuTypu(typy[i])) << radek;
    }

    // A list of seven fields: each type its default, by its extension.
    TDocasnaSlozka::Zapsat(slozka / "sedm.ftd", "A\t.nc\t:\tN\t%\tM30\t(\t\r\nB\t.SPF\t:\tN\t%\tM17\t;\t\r\n"
                                                "C\t.tap\tN\tN\t%\tM30\t(\t\r\nD\t.nc\t:\tN\t%\tM30\t(\t-\t\r\n");
    prostredi.SouborTypu = slozka / "sedm.ftd";
    ASSERT_EQ(Spustit({"types"}), 0);
    EXPECT_EQ(vystup.program, "A\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\n"
                              "B\t.SPF\t:\tN\t%\tM17\t;\tGOTO\n"
                              "C\t.tap\tN\tN\t%\tM30\t(\t-\n"
                              "D\t.nc\t:\tN\t%\tM30\t(\t-\n");
}

// The shipped types through the whole tool: a mill's peck drilling keeps its
// Q (the number of a block that moves) whatever the type, a lathe's profile follows its blocks in the types
// whose control reads it, a Sinumerik G71 is metric.
TEST_F(DavkaOdkazy, DodaneTypy) {
    prostredi.SouborTypu = TARVIK_FILES_FTD;
    const std::string vrtani = "%\r\nO1000\r\nN10 G90 G54 G0 X0 Y0\r\nN20 G43 H1 Z50.\r\n"
                               "N50 G73 Z-30. R2. Q500 F250\r\nN60 G80\r\nN500 M30\r\n%\r\n";
    const std::string soustruh = "%\r\nN10 G71 U1. R0.5\r\nN20 G71 P30 Q40 U0.4 W0.1\r\nN30 G0 X20.\r\n"
                                 "N40 G1 Z-20.\r\nN50 G70 P30 Q40\r\nN60 M30\r\n%\r\n";
    struct Pripad {
        const char* nazev;
        const std::string& program;
        const char* soubor;
        std::vector<std::string> volby;
        std::vector<std::pair<std::size_t, std::string>> radky;  // lines of the result, from 1
    };
    const Pripad pripady[] = {
        {"peck drilling, ISO milling", vrtani, "m.nc", {}, {{5, "N150 G73 Z-30. R2. Q500 F250"}}},
        {"peck drilling, Fanuc", vrtani, "m.nc", {"-t", "Fanuc"}, {{5, "N150 G73 Z-30. R2. Q500 F250"}}},
        {"peck drilling, lathe type", vrtani, "m.nc", {"-t", "ISO soustružení"}, {{5, "N150 G73 Z-30. R2. Q500 F250"}}},
        {"peck drilling, every family", vrtani, "m.nc", {"--references", "GOTO,M99P,M97P,G70-G73,G72-G75"},
         {{5, "N150 G73 Z-30. R2. Q500 F250"}}},
        {"profile, Fanuc", soustruh, "s.nc", {"-t", "Fanuc"},
         {{2, "N50 G71 U1. R0.5"}, {3, "N100 G71 P150 Q200 U0.4 W0.1"}, {6, "N250 G70 P150 Q200"}}},
        // The type a .nc file gets by default reads a lathe's profile.
        {"profile, the default type of .nc", soustruh, "s.nc", {},
         {{3, "N100 G71 P150 Q200 U0.4 W0.1"}, {6, "N250 G70 P150 Q200"}}},
        {"Sinumerik: G71 is metric", soustruh, "s.mpf", {}, {{3, "N100 G71 P30 Q40 U0.4 W0.1"}}},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        std::vector<std::string> a = {"renumber", "--first", "50", "--increment", "50"};
        a.insert(a.end(), p.volby.begin(), p.volby.end());
        a.push_back(Soubor(p.soubor, p.program));
        ASSERT_EQ(Spustit(a), 0) << vystup.hlaseni;
        const std::vector<std::string> radky = RadkyTextu(vystup.program);
        for (const auto& [cislo, text] : p.radky) {
            ASSERT_LE(cislo, radky.size());
            EXPECT_EQ(radky[cislo - 1], text) << "line " << cislo;
        }
    }
}

// types --guess names the shipped type the program's words point to, with
// the lines it goes by; -t auto renumbers with that type, and says so.
TEST_F(DavkaOdkazy, OdhadTypu) {
    prostredi.SouborTypu = TARVIK_FILES_FTD;
    const std::string soustruh = Soubor("s.nc", "%\r\nO1000\r\nN10 G96 S200\r\nN20 G71 P30 Q40 U0.4\r\nN30 G0 X20.\r\n"
                                                "N40 G1 Z-20.\r\nN50 G70 P30 Q40\r\nN60 M30\r\n%\r\n");
    const std::string systemC = Soubor("c.nc", "%\r\nN10 G71\r\nN20 G75 P30 Q40 U0.2\r\nN30 X20.\r\nN40 Z-5.\r\nN50 M30\r\n");
    const std::string nic = Soubor("n.nc", "%\r\nN10 G0 X0\r\nN20 M30\r\n");
    struct Pripad {
        const char* nazev;
        std::vector<std::string> argumenty;
        int kod;
        std::string program;  // the start of standard output
        std::string hlaseni;  // the start of standard error
    };
    const Pripad pripady[] = {
        {"a lathe", {"types", "--guess", soustruh}, 0,
         "ISO soustružení\nŘádek 3: N10 G96 S200\nŘádek 4: N20 G71 P30 Q40 U0.4\nŘádek 7: N50 G70 P30 Q40\n", ""},
        {"nothing to go by", {"types", "--guess", nic}, 1, "",
         "tarvik-cli: Typ souboru nelze podle slov programu odhadnout.\n"},
        // The .nc type reads system A: the guess reads G75's profile.
        {"-t auto, system C", {"renumber", "-t", "auto", "--first", "100", "--increment", "100", systemC}, 0,
         "%\r\nN100 G71\r\nN200 G75 P300 Q400 U0.2\r\n",
         "tarvik-cli: -t auto: typ souboru 'ISO soustružení, G-kódy C' podle řádků 3\n"},
        {"-t auto without a guess", {"renumber", "-t", "auto", nic}, 0, "%\r\nN5 G0 X0\r\n",
         "tarvik-cli: -t auto: typ souboru nelze podle slov programu odhadnout; použije se 'ISO frézování'\n"},
        // The default type reads no system C: told, with the type the words point to.
        {"system C by the extension", {"renumber", "--first", "100", "--increment", "100", systemC}, 0,
         "%\r\nN100 G71\r\nN200 G75 P30 Q40 U0.2\r\n", ""},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        EXPECT_EQ(Spustit(p.argumenty), p.kod) << vystup.hlaseni;
        EXPECT_TRUE(vystup.program.starts_with(p.program)) << vystup.program;
        EXPECT_TRUE(vystup.hlaseni.starts_with(p.hlaseni)) << vystup.hlaseni;
    }
    EXPECT_NE(vystup.hlaseni.find("Slova programu odpovídají typu souboru \"ISO soustružení, G-kódy C\"."),
              std::string::npos)
        << vystup.hlaseni;
    for (const std::vector<std::string>& chybne :
         {std::vector<std::string>{"types", "--guess"}, {"types", "--guess", "a", "b"}, {"renumber", "--guess", "a"}})
        EXPECT_THROW(RozebratArgumenty(chybne), TChybaPouziti);
}

// The help names every family of references by its short name, in every
// language, as the list of families declares them.
TEST_F(DavkaOdkazy, NapovedaJmenujeRodiny) {
    prostredi.SouborJazyku = TARVIK_JAZYKY_XML;
    for (const char* jazyk : {"CZ", "EN", "SK", "DE", "FR", "ES"}) {
        SCOPED_TRACE(jazyk);
        ASSERT_EQ(Spustit({"--lang", jazyk, "--help"}), 0) << vystup.hlaseni;
        const std::size_t reference = vystup.program.find("--references LIST");
        ASSERT_NE(reference, std::string::npos);
        const std::string radek = vystup.program.substr(reference, vystup.program.find("--force", reference) - reference);
        for (const TPopisRodiny& r : RodinyOdkazu) EXPECT_NE(radek.find(r.Zkratka), std::string::npos) << r.Zkratka;
        EXPECT_EQ(vystup.program.find('%'), std::string::npos);
    }
    EXPECT_EQ(Spustit({"renumber", "--references", "G99", "p.nc"}), 2);
    for (const TPopisRodiny& r : RodinyOdkazu) EXPECT_NE(vystup.hlaseni.find(r.Zkratka), std::string::npos) << r.Zkratka;
}

// Folder mode: what became of the references, under each program's name.
TEST_F(DavkaOdkazy, Slozka) {
    fs::create_directories(slozka / "p");
    Soubor("p/a.nc", "N1 GOTO 2\nN2 X\n");
    Soubor("p/b.nc", "N1 M99 P2\nN2 X\nM30\n");
    Soubor("p/c.nc", "N1 X\n");
    EXPECT_EQ(Spustit({"renumber", "-r", "-i", "-j", "2", (slozka / "p").string()}), 0) << vystup.hlaseni;
    const std::string a = (slozka / "p" / "a.nc").string(), b = (slozka / "p" / "b.nc").string(),
                      c = (slozka / "p" / "c.nc").string();
    EXPECT_EQ(vystup.hlaseni, a + ": hotovo, 2 bloky, 50%\n" + a +
                                  ": Informace: Aktualizováno odkazů na čísla bloků: 1.\n" + b +
                                  ": hotovo, 2 bloky, 67%\n" + b +
                                  ": Informace: Aktualizováno odkazů na čísla bloků: 1.\n" + c +
                                  ": hotovo, 1 blok, 0%\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "p" / "a.nc"), "N5 GOTO 10\r\nN10 X\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "p" / "b.nc"), "N5 M99 P10\r\nN10 X\r\nM30\r\n");

    // remove: the programs with references are refused, the others done.
    EXPECT_EQ(Spustit({"remove", "-r", "-i", (slozka / "p").string()}), 1);
    EXPECT_NE(vystup.hlaseni.find(a + ": odmítnut: Varování: Program obsahuje odkazy na čísla bloků: 1x. "
                                      "Odkazy jsou na řádcích: 1 Odstraněním čísel bloků přestanou odkazy platit.\n"),
              std::string::npos)
        << vystup.hlaseni;
    EXPECT_NE(vystup.hlaseni.find(c + ": hotovo, 0 bloků, 0%\n"), std::string::npos) << vystup.hlaseni;
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "p" / "a.nc"), "N5 GOTO 10\r\nN10 X\r\n");

    // A kept renumber and introducing tell, line by line under each name,
    // what the references now reach; --check writes nothing.
    Soubor("p/d.nc", "GOTO 10\nX\n");
    const std::string d = (slozka / "p" / "d.nc").string();
    EXPECT_EQ(Spustit({"renumber", "--check", "--keep-references", "--first", "10", "--increment", "5", a, b}), 1);
    EXPECT_EQ(vystup.hlaseni, a + ": změnil by se, 2 bloky, 50%\n" + a + ": Varování: Odkazy, které nyní vedou jinam: 1.\n" +
                                  a + ": Řádek 1 (GOTO 10): vede na jiný blok, na řádku 1 (dříve na řádku 2).\n" + b +
                                  ": změnil by se, 2 bloky, 67%\n" + b + ": Varování: Odkazy, které nyní vedou jinam: 1.\n" + b +
                                  ": Řádek 1 (M99 P10): vede na jiný blok, na řádku 1 (dříve na řádku 2).\n");
    EXPECT_EQ(Spustit({"introduce", "--check", "--first", "10", d, c}), 1);
    EXPECT_EQ(vystup.hlaseni, d + ": změnil by se, 2 bloky, 50%\n" + d +
                                  ": Varování: Odkazy, které nyní vedou na nově očíslované bloky: 1.\n" + d +
                                  ": Řádek 1 (GOTO 10): vede na nově očíslovaný blok na řádku 1.\n" + c +
                                  ": změnil by se, 1 blok, 0%\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "p" / "d.nc"), "GOTO 10\nX\n");
}

#ifndef _WIN32
// A program of megabytes read from a pipe once: its references point ahead
// across the pieces it is read in, and the text turns out to be
// Windows-1250 only at its end, so the first pass starts again.
TEST_F(DavkaOdkazy, DopredneOdkazyPresKusy) {
    std::string bajty = "%\r\nN1 GOTO 500\r\nN2 G71 P3 Q400\r\nN3 X0\r\n";
    for (int i = 0; i < 100000; ++i) bajty += "G01 X" + std::to_string(i % 977) + " Y" + std::to_string(i) + " (\xC4\x8D)\r\n";
    bajty += "N400 Z0\r\nN500 M99 P1 (\xE8)\r\nM30\r\n";
    ASSERT_GT(bajty.size(), 2 * TProgramPoKusech::Blok);
    int kod;
    {
        const TVstupZRoury roura(bajty);
        kod = Spustit({"renumber", "--first", "10", "--increment", "10", "-"});
    }
    ASSERT_EQ(kod, 0) << vystup.hlaseni;
    EXPECT_TRUE(vystup.hlaseni.ends_with("Informace: Aktualizováno odkazů na čísla bloků: 4.\n")) << vystup.hlaseni;
    const std::vector<std::string> radky = RadkyTextu(vystup.program);
    ASSERT_EQ(radky.size(), 100007u);
    EXPECT_EQ(radky[1], "N10 GOTO 50");
    EXPECT_EQ(radky[2], "N20 G71 P30 Q40");
    EXPECT_EQ(radky[100004], "N40 Z0");
    EXPECT_EQ(radky[100005], "N50 M99 P10 (\xE8)");
}
#endif

}  // namespace
