// The guess of the control a program's words belong to, on real-shaped
// programs of each dialect: the dialect and the lines that decided.
#include "engine/OdhadTypu.h"
#include "../support/RadkyTextu.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Vzorek(const char* nazev) {
    std::ifstream f(std::string(TARVIK_DATA_DIR) + "/" + nazev, std::ios::binary);
    EXPECT_TRUE(f) << nazev;
    return std::string(std::istreambuf_iterator<char>(f), {});
}

TEST(OdhadTypu, Nareci) {
    struct Pripad {
        const char* nazev;
        std::string program;
        TNareci nareci;
        std::vector<std::size_t> radky;  // of the evidence, from 0
    };
    const Pripad pripady[] = {
        {"the lathe of the issue", "%\nO1000\nN10 G50 S2000\nN20 G0 X50 Z2\nN30 G71 U2 R0.5\nN40 G71 P50 Q80 U0.4 W0.1 F0.3\n"
         "N50 G0 X20\nN60 G1 Z-20\nN70 X30\nN80 X52\nN90 G70 P50 Q80\nN100 M30\n%\n",
         TNareci::IsoSoustruzeni, {5, 10, 2}},
        {"a lathe sample", Vzorek("soustruh_g71.nc"), TNareci::IsoSoustruzeni, {}},
        {"Haas Type II roughing", "%\nO01004\nT101\nG50 S2000\nG97 S500 M03\nG71 P50 Q80 U0.02 W0.005 D0.1 F0.012 R1\n"
         "N50 G00 X0.6\nN80 X2.\nG70 P50 Q80\nM30\n%\n",
         TNareci::IsoSoustruzeni, {3, 5, 8}},
        // Its profiles in G72 to G75, its G71 metric.
        {"lathe, system C", "%\nO3001\nN10 G71 G40 G99\nN20 T0101\nN30 G96 S180 M03\nN60 G73 P70 Q100 U0.4 W0.1 F0.25\n"
         "N70 G00 X24.\nN100 X52.\nN110 G72 P70 Q100\nN120 G75 P130 Q140 U0.2 W0.1 F0.2\nN130 M30\n%\n",
         TNareci::IsoSoustruzeniC, {5, 8, 9}},
        {"a mill with peck drilling", "%\nO1001\nN10 G90 G17 G40 G80 G54\nN20 T3 M06\nN30 S2500 M03\nN40 G43 H03 Z50.\n"
         "N50 G98 G73 X20. Y15. Z-30. R2. Q50 F250\nN60 X40. Y10.\nN70 M30\n%\n",
         TNareci::IsoFrezovani, {}},
        {"a Haas mill with local calls", Vzorek("makro_skoky.nc"), TNareci::IsoFrezovani, {}},
        {"Sinumerik", "N10 G71 G90 G54 ; METRIC\nN20 T1 D1\nN30 M6\nN60 ZNOVU: G0 X=R1*10\nN80 IF R1<5 GOTOB N60\n"
         "N90 CYCLE81(10, 0, 2, -5)\nN130 M30\n",
         TNareci::Sinumerik, {0, 4, 5}},
        {"Heidenhain", "0 BEGIN PGM 1001 MM\n1 BLK FORM 0.1 Z X+0 Y+0 Z-20\n2 TOOL CALL 1 Z S3000\n3 L X+10 Y+5 R0 FMAX\n"
         "4 END PGM 1001 MM\n",
         TNareci::Heidenhain, {0, 4, 2}},
        {"LinuxCNC", "%\n(KAPSA)\no100 sub\nG73 X10 Y10 Z-5 R1 Q0.5 F100\no100 endsub\nG21 G90\no100 call\nM2\n%\n",
         TNareci::LinuxCnc, {2, 4, 6}},
        {"nothing to go by", "%\nG0 X0\nG1 X5\nM30\n%\n", TNareci::Nezname, {}},
        {"comments are no words", "%\n(G71 P10 Q20 - T0101 G96)\nG0 X0 Y0\nM30\n%\n", TNareci::Nezname, {}},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        const TOdhadTypu o = OdhadnoutTyp(p.program);
        EXPECT_EQ(o.Nareci, p.nareci);
        // Line by line the same as in pieces.
        TOdhadovacTypu radky;
        for (const std::string& r : RadkyTextu(p.program)) radky.Radek(r);
        EXPECT_EQ(radky.Dokoncit().Dukazy, o.Dukazy);
        if (p.nareci == TNareci::Nezname) {
            EXPECT_TRUE(o.Dukazy.empty());
            continue;
        }
        // At most three lines, each the program's own line as it reads.
        EXPECT_GE(o.Dukazy.size(), 2u);
        EXPECT_LE(o.Dukazy.size(), 3u);
        const std::vector<std::string> program = RadkyTextu(p.program);
        std::vector<std::size_t> radkyDukazu;
        for (const TDukazOdhadu& d : o.Dukazy) {
            ASSERT_LT(d.Radek, program.size());
            EXPECT_TRUE(program[d.Radek].starts_with(d.Text)) << d.Text;
            radkyDukazu.push_back(d.Radek);
        }
        if (!p.radky.empty()) {
            std::vector<std::size_t> ocekavane = p.radky;
            std::sort(ocekavane.begin(), ocekavane.end());
            EXPECT_EQ(radkyDukazu, ocekavane);
        }
    }
}

}  // namespace
