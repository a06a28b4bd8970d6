// The generated programs are what the benchmark figures are measured on: the
// right number of lines, the numbering of their style, and the same program
// with and without numbers.
#include "GeneratorProgramu.h"
#include "engine/CNCEdit.h"
#include "engine/Odkazy.h"
#include "platform/CteniTextu.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

namespace {

std::string Generovat(const TParametryGeneratoru& p) {
    std::string b;
    GenerovatProgram(b, p);
    return b;
}

std::u16string U16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

TRadky Radky(const std::string& bajty) { return DekodovatText(bajty).Radky; }

std::u16string Orezany(std::u16string s) {
    s.erase(0, std::min(s.size(), s.find_first_not_of(u" \t")));
    return s;
}

TParametryGeneratoru Parametry(TStylProgramu styl, std::size_t radku, std::size_t programu = 1,
                               bool cislovat = true, bool crlf = true) {
    TParametryGeneratoru p;
    p.Styl = styl;
    p.Radku = radku;
    p.Programu = programu;
    p.Cislovat = cislovat;
    p.CrLf = crlf;
    return p;
}

TEST(GeneratorProgramu, PresnyPocetRadkuAKonceRadku) {
    const TParametryGeneratoru pripady[] = {
        Parametry(TStylProgramu::Iso, 6),
        Parametry(TStylProgramu::Iso, 1000),
        Parametry(TStylProgramu::Iso, 1000, 7, false),
        Parametry(TStylProgramu::Iso, 4321, 3, true, false),
        Parametry(TStylProgramu::Dialogovy, 4),
        Parametry(TStylProgramu::Dialogovy, 1000, 5),
        Parametry(TStylProgramu::Dialogovy, 2001, 2, false, false),
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(std::to_string(p.Radku) + " lines, " + std::to_string(p.Programu) +
                     " programs, style " + std::to_string(static_cast<int>(p.Styl)));
        const std::string b = Generovat(p);
        EXPECT_EQ(static_cast<std::size_t>(std::count(b.begin(), b.end(), '\n')), p.Radku);
        EXPECT_EQ(static_cast<std::size_t>(std::count(b.begin(), b.end(), '\r')),
                  p.CrLf ? p.Radku : 0u);
        ASSERT_FALSE(b.empty());
        EXPECT_EQ(b.back(), '\n');
        if (p.CrLf) {
            EXPECT_EQ(b.find("\r\n\r\n"), std::string::npos) << "an empty line";
        }
        EXPECT_TRUE(std::all_of(b.begin(), b.end(), [](char c) {
            return (c >= 32 && c < 127) || c == '\r' || c == '\n' || c == '\t';
        }));
        const TRadky r = Radky(b);
        EXPECT_EQ(r.size(), p.Radku);
    }
}

TEST(GeneratorProgramu, StejneSemenoStejneBajty) {
    TParametryGeneratoru p = Parametry(TStylProgramu::Iso, 5000);
    const std::string a = Generovat(p);
    EXPECT_EQ(Generovat(p), a);
    p.Semeno += 1;
    EXPECT_NE(Generovat(p), a);
}

TEST(GeneratorProgramu, PrilisMaloRadku) {
    EXPECT_THROW(Generovat(Parametry(TStylProgramu::Iso, 10, 2)), TChybaGeneratoru);
    EXPECT_NO_THROW(Generovat(Parametry(TStylProgramu::Iso, 11, 2)));
    EXPECT_THROW(Generovat(Parametry(TStylProgramu::Dialogovy, 7, 2)), TChybaGeneratoru);
    EXPECT_THROW(Generovat(Parametry(TStylProgramu::Iso, 1000, 0)), TChybaGeneratoru);
}

// Renumbering with the generator's own rule (10, 20, ... up to 99990, then 10
// again, restarting at every "%") changes nothing but the indentation: every
// block number was where the engine finds it, in sequence, and ':' stands
// only at tool changes.
TEST(GeneratorProgramu, IsoCislovaniPoPravidlech) {
    const TRadky puvodni = Radky(Generovat(Parametry(TStylProgramu::Iso, 110'000, 2)));
    TRadky r = puvodni;
    const TCNCFile engine;
    engine.PrecislovatBloky(r, 10, 10, 99990, u"%", u":", u"N", true);
    std::size_t hlavnich = 0, odsazenych = 0, startu = 0;
    for (std::size_t i = 0; i < r.size(); ++i) {
        ASSERT_EQ(r[i], Orezany(puvodni[i])) << "line " << i;
        if (r[i].size() != puvodni[i].size()) ++odsazenych;
        if (r[i] == u"%") ++startu;
        if (!r[i].empty() && r[i][0] == u':') {
            ++hlavnich;
            EXPECT_NE(r[i].find(u" M6"), std::u16string::npos) << "line " << i;
        }
    }
    EXPECT_EQ(startu, 3u);
    EXPECT_GT(hlavnich, 50u);
    EXPECT_GT(odsazenych, 100u);
    // More than 9999 blocks in a program: the numbers went up to 99990 and on from 10.
    EXPECT_TRUE(std::any_of(r.begin(), r.end(), [](const std::u16string& s) {
        return s.substr(1, 6) == u"99990 ";
    }));
}

// The unnumbered program is the numbered one without its numbers, so that
// introducing and renumbering are measured on the same text.
TEST(GeneratorProgramu, BezCiselJeTentyzProgram) {
    for (const TStylProgramu styl : {TStylProgramu::Iso, TStylProgramu::Dialogovy}) {
        const bool iso = styl == TStylProgramu::Iso;
        SCOPED_TRACE(iso ? "ISO" : "conversational");
        TRadky cislovany = Radky(Generovat(Parametry(styl, 20'000, 3)));
        const TRadky bezCisel = Radky(Generovat(Parametry(styl, 20'000, 3, false)));
        const TCNCFile engine;
        const std::u16string_view h = iso ? u":" : u"";
        const std::u16string_view v = iso ? u"N" : u"";
        EXPECT_GT(engine.PocetBloku(cislovany, h, v), 19'000);
        EXPECT_EQ(engine.PocetBloku(bezCisel, h, v), 0);
        EXPECT_EQ(engine.PocetBloku(bezCisel, u"", u""), 0);
        engine.OdstranitBloky(cislovany, h, v);
        ASSERT_EQ(cislovany.size(), bezCisel.size());
        for (std::size_t i = 0; i < bezCisel.size(); ++i)
            ASSERT_EQ(Orezany(cislovany[i]), Orezany(bezCisel[i])) << "line " << i;
    }
}

// The references of the benchmarks: as many as said, each resolved to a
// block of its own program, in the lines of the same program without them.
TEST(GeneratorProgramu, OdkazyNaBlokySvehoProgramu) {
    for (const bool crlf : {true, false}) {
        TParametryGeneratoru p = Parametry(TStylProgramu::Iso, 24'000, 3, true, crlf);
        const std::string bez = Generovat(p);
        p.Odkazy = true;
        std::string s;
        const std::size_t odkazu = GenerovatProgram(s, p);
        EXPECT_GT(odkazu, 24'000u / 30);
        const TRadky a = Radky(bez), b = Radky(s);
        ASSERT_EQ(a.size(), b.size());
        std::vector<std::string_view> radky;
        std::vector<std::string> utf8;
        for (const auto& r : b) utf8.emplace_back(r.begin(), r.end());
        for (const auto& r : utf8) radky.push_back(r);
        const TVysledekOdkazu v = NajitOdkazy(radky, TZnakyOdkazu{":", "N", "%", "("});
        EXPECT_EQ(v.Odkazy.size(), odkazu);
        EXPECT_EQ(v.PocetNevyresenych(), 0u);
        std::size_t zmenenych = 0;
        for (std::size_t i = 0; i < a.size(); ++i) zmenenych += a[i] != b[i];
        EXPECT_EQ(zmenenych, odkazu - odkazu / 5);  // a cycle's line holds two
    }
}

TEST(GeneratorProgramu, DialogCislujeOdNulyVKazdemProgramu) {
    const TRadky r = Radky(Generovat(Parametry(TStylProgramu::Dialogovy, 3000, 2)));
    std::uint64_t ocekavane = 0;
    std::size_t programu = 0, komentaru = 0;
    for (const std::u16string& s : r) {
        if (s.rfind(u"; ", 0) == 0) {
            ++komentaru;
            continue;
        }
        const std::size_t mezera = s.find(u' ');
        ASSERT_NE(mezera, std::u16string::npos);
        const std::u16string zbytek = s.substr(mezera + 1);
        if (zbytek.rfind(u"BEGIN PGM P", 0) == 0) {
            ++programu;
            ocekavane = 0;
        }
        EXPECT_EQ(s.substr(0, mezera), U16(std::to_string(ocekavane)));
        ++ocekavane;
    }
    EXPECT_EQ(programu, 2u);
    EXPECT_GT(komentaru, 2u);
    EXPECT_EQ(r.front(), u"0 BEGIN PGM P1001 MM");
    EXPECT_EQ(r.back().substr(r.back().find(u' ')), u" END PGM P1002 MM");
}

// The benchmarks quote figures for 1,000,000 lines as about 45 MB.
TEST(GeneratorProgramu, IsoRadekMaKolem43Bajtu) {
    const std::string b = Generovat(Parametry(TStylProgramu::Iso, 200'000));
    const double prumer = static_cast<double>(b.size()) / 200'000.0;
    EXPECT_GE(prumer, 40.0);
    EXPECT_LE(prumer, 46.0);
}

}  // namespace
