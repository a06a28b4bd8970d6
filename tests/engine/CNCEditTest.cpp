#include "engine/CNCEdit.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>

namespace {

// Records what the engine asks of the user interface; can interrupt the pass.
class TZaznamPrubehu final : public TPrubeh {
public:
    void ZacitPruchod() override { zaznam += 'Z'; }
    void ObslouzitUdalosti(std::size_t hotovo, std::size_t celkem) override {
        zaznam += 'o';
        posledni = hotovo;
        this->celkem = celkem;
        if (++obslouzeno == prerusitPo) throw std::runtime_error("interrupted");
    }
    void UkoncitPruchod() override { zaznam += 'K'; }

    std::string zaznam;
    std::size_t obslouzeno = 0;
    std::size_t prerusitPo = 0;  // 0: never
    std::size_t posledni = 0;
    std::size_t celkem = 0;
};

// The ordinary marker set of the tables below.
constexpr std::u16string_view H = u":";
constexpr std::u16string_view V = u"N";

TEST(PocetBloku, ZnakyACislice) {
    struct Pripad {
        TRadky radky;
        std::u16string hlavni, vedlejsi;
        std::int32_t ocekavano;
    };
    const Pripad pripady[] = {
        {{}, u":", u"N", 0},
        // Marker mode: after the trim the line begins with either character.
        {{u"N10 G01", u"  N20 X5", u":30 M3", u"n40", u"G01 N50", u"%", u""}, u":", u"N", 3},
        // Digit mode: both characters empty.
        {{u"10 L X+0", u"\t7 CALL", u"L X+0", u"START", u"", u"   "}, u"", u"", 2},
        // Either character empty selects digit mode.
        {{u"N10 G01", u"10 G01"}, u"", u"N", 1},
        {{u"N10 G01", u"10 G01"}, u"N", u"", 1},
        // Control characters and every code up to 32 are trimmed.
        {{std::u16string(u"\x01\x1f\x20N5"), std::u16string(1, u'\0') + u"N6"}, u":", u"N", 2},
        // Code 33 is not trimmed.
        {{u"!N5"}, u":", u"N", 0},
        // Markers of several characters, and the start of a longer marker.
        {{u"BEGIN X", u"BEG", u"BEGIN5"}, u"BEGIN", u"END", 2},
        // Other scripts' digits are no digits.
        {{u"\u0661\u0662 X", u"\uFF11 X"}, u"", u"", 0},
    };
    const TCNCFile cnc;
    for (const auto& p : pripady)
        EXPECT_EQ(cnc.PocetBloku(p.radky, p.hlavni, p.vedlejsi), p.ocekavano)
            << "first line of case: " << (p.radky.empty() ? "(none)" : std::string(p.radky[0].begin(), p.radky[0].end()));
}

TEST(PocetBloku, CteJenNeupraveneRadky) {
    TRadky radky = {u"  N10 X", u"\tG01"};
    const TRadky puvodni = radky;
    TZaznamPrubehu prubeh;
    const TCNCFile cnc(prubeh);
    EXPECT_EQ(cnc.PocetBloku(radky, H, V), 1);
    EXPECT_EQ(radky, puvodni);
    EXPECT_EQ(prubeh.zaznam, "");  // counting never serves the user interface
}

TEST(PocetBloku, ZnackaDelsiNez255NikdyNezacinaRadek) {
    const std::u16string dlouha(256, u'N');
    const std::u16string presne(255, u'N');
    const TRadky radky = {dlouha + u"10", presne + u"10", presne};
    const TCNCFile cnc;
    EXPECT_EQ(cnc.PocetBloku(radky, dlouha, dlouha), 0);
    // The first line: 255 block characters followed by a letter, a word.
    EXPECT_EQ(cnc.PocetBloku(radky, presne, presne), 2);
}

TEST(DalsiCislo, PretekaniMaxima) {
    struct Pripad {
        std::uint32_t cislo, prvni, prirustek, maximum;
        bool odZacatku;
        std::uint32_t ocekavano;
    };
    const Pripad pripady[] = {
        {19, 5, 5, 20, true, 24},   {19, 5, 5, 20, false, 24}, {20, 5, 5, 20, true, 5},
        {20, 5, 5, 20, false, 20},  {24, 5, 5, 20, false, 24}, {24, 5, 5, 20, true, 5},
        {9995, 5, 5, 9999, false, 10000}, {10000, 5, 5, 9999, false, 10000},
        {10000, 5, 5, 9999, true, 5},
        // Unsigned 32-bit arithmetic wraps.
        {0xFFFFFFFEu, 1, 5, 0xFFFFFFFFu, true, 3},
    };
    for (const auto& p : pripady)
        EXPECT_EQ(TCNCFile::DalsiCislo(p.cislo, p.prvni, p.prirustek, p.maximum, p.odZacatku),
                  p.ocekavano)
            << p.cislo << " restart=" << p.odZacatku;
}

TEST(Procenta, ZaokrouhleniNaSudou) {
    struct Pripad {
        std::size_t i, n;
        std::uint8_t ocekavano;
    };
    const Pripad pripady[] = {
        {0, 0, 0},   {0, 1, 0},   {1, 2, 50},  {4, 6, 67},   {8, 9, 89},  {99, 100, 99},
        {1, 8, 12},  // 12.5 -> 12
        {3, 8, 38},  // 37.5 -> 38
        {5, 8, 62},  // 62.5 -> 62
        {7, 8, 88},  // 87.5 -> 88
        {199, 200, 100}, {198, 200, 99},
        {1, 200, 0},  // 0.5 -> 0
        {3, 200, 2},  // 1.5 -> 2
    };
    for (const auto& p : pripady)
        EXPECT_EQ(cnc::Procenta(p.i, p.n), p.ocekavano) << p.i << "/" << p.n;
}

struct TNastaveniZavedeni {
    std::u16string zacatek = u"%", konec = u"M30", komentar = u"(";
    std::uint32_t prvni = 10, prirustek = 10, maximum = 9999;
    bool blokZacatek = false, blokKonec = false, blokKomentar = false;
    std::u16string vedlejsi = u"N";
    bool odZacatku = true;
};

std::uint8_t Zavest(TRadky& radky, const TNastaveniZavedeni& n, TPrubeh& prubeh = TPrubeh::Zadny()) {
    const TCNCFile cnc(prubeh);
    return cnc.ZavestBloky(radky, n.zacatek, n.konec, n.komentar, n.prvni, n.prirustek, n.maximum,
                           n.blokZacatek, n.blokKonec, n.blokKomentar, n.vedlejsi, n.odZacatku);
}

TEST(ZavestBloky, Pripady) {
    const TRadky sest = {u"%", u"G90 G54", u"  G00 X0 Y0", u"(ROUGH)", u"", u"M30"};
    TNastaveniZavedeni vse;
    vse.blokZacatek = vse.blokKonec = vse.blokKomentar = true;
    TNastaveniZavedeni prvni5max12;
    prvni5max12.prvni = 5;
    prvni5max12.prirustek = 5;
    prvni5max12.maximum = 12;
    TNastaveniZavedeni ponechat = prvni5max12;
    ponechat.odZacatku = false;
    TNastaveniZavedeni bezZnaku;
    bezZnaku.vedlejsi = u"";
    TNastaveniZavedeni bezKomentare;
    bezKomentare.komentar = u"";
    bezKomentare.blokKomentar = false;
    TNastaveniZavedeni viceZnaku;
    viceZnaku.zacatek = u"BEGIN PGM";
    viceZnaku.konec = u"END PGM";
    viceZnaku.komentar = u";";
    viceZnaku.vedlejsi = u"";
    viceZnaku.prvni = 1;
    viceZnaku.prirustek = 1;
    TNastaveniZavedeni zacatekIKomentar;
    zacatekIKomentar.zacatek = u"(%";
    zacatekIKomentar.komentar = u"(";
    zacatekIKomentar.blokKomentar = true;
    TNastaveniZavedeni dvojtecka = vse;
    dvojtecka.vedlejsi = u":";
    dvojtecka.blokZacatek = false;
    TNastaveniZavedeni pismenoO = vse;
    pismenoO.vedlejsi = u"O";
    pismenoO.blokZacatek = false;

    struct Pripad {
        const char* nazev;
        TRadky vstup;
        TNastaveniZavedeni nastaveni;
        TRadky vystup;
        std::uint8_t procenta;
    };
    const Pripad pripady[] = {
        {"switches off", sest, {}, {u"%", u"N10 G90 G54", u"N20 G00 X0 Y0", u"(ROUGH)", u"N30 ", u"M30"}, 67},
        {"switches on", sest, vse,
         {u"N10 %", u"N20 G90 G54", u"N30 G00 X0 Y0", u"N40 (ROUGH)", u"N50 ", u"N60 M30"}, 67},
        {"two programs", {u"%", u"A", u"%", u"B"}, {}, {u"%", u"N10 A", u"%", u"N10 B"}, 75},
        {"restart after max", {u"a", u"b", u"c", u"d", u"e"}, prvni5max12,
         {u"N5 a", u"N10 b", u"N15 c", u"N5 d", u"N10 e"}, 80},
        {"keep max", {u"a", u"b", u"c", u"d", u"e"}, ponechat,
         {u"N5 a", u"N10 b", u"N15 c", u"N15 d", u"N15 e"}, 80},
        {"empty secondary", {u"G90"}, bezZnaku, {u"10 G90"}, 0},
        {"empty comment", {u"(ROUGH)"}, bezKomentare, {u"N10 (ROUGH)"}, 0},
        {"start after blanks", {u"  %", u"G1"}, {}, {u"%", u"N10 G1"}, 50},
        {"blanks only", {u"   "}, {}, {u"N10 "}, 0},
        {"empty list", {}, {}, {}, 0},
        {"start line wins over comment", {u"(% X", u"(C"}, zacatekIKomentar, {u"(% X", u"N10 (C"}, 0},
        {"markers of several characters",
         {u"BEGIN PGM 1 MM", u"L X+0", u"; note", u"END PGM 1 MM"}, viceZnaku,
         {u"BEGIN PGM 1 MM", u"1 L X+0", u"; note", u"END PGM 1 MM"}, 25},
        // Existing numbers are not looked for: a second one goes in front.
        {"numbered line", {u"N5 X"}, {}, {u"N10 N5 X"}, 0},
        {"no ordinary line", {u"%", u"(A)", u"M30"}, {}, {u"%", u"(A)", u"M30"}, 0},
        // ":10" alone after the start line would be the program's number.
        {"empty line after the start, \":\"", {u"%", u"", u"(A)", u"G1", u""}, dvojtecka,
         {u"%", u"", u":10 (A)", u":20 G1", u":30 "}, 80},
        {"comment after the start, \"O\"", {u"%", u"(A)", u"G1"}, pismenoO, {u"%", u"(A)", u"O10 G1"}, 67},
        {"after the start, \"N\"", {u"%", u""}, vse, {u"N10 %", u"N20 "}, 50},
    };
    for (const auto& p : pripady) {
        TRadky radky = p.vstup;
        EXPECT_EQ(Zavest(radky, p.nastaveni), p.procenta) << p.nazev;
        EXPECT_EQ(radky, p.vystup) << p.nazev;
    }
}

TEST(ZavestBloky, JenBezneRadkyObsluhujiRozhrani) {
    TRadky radky = {u"%", u"G90", u"(A)", u"G91", u"M30"};
    TZaznamPrubehu prubeh;
    Zavest(radky, {}, prubeh);
    EXPECT_EQ(prubeh.zaznam, "ZooK");
    EXPECT_EQ(prubeh.posledni, 4u);
    EXPECT_EQ(prubeh.celkem, 5u);
}

TEST(ZavestBloky, PrazdnySeznamUkonciPruchod) {
    TRadky radky;
    TZaznamPrubehu prubeh;
    EXPECT_EQ(Zavest(radky, {}, prubeh), 0);
    EXPECT_EQ(prubeh.zaznam, "ZK");
}

TEST(ZavestBloky, VelkaCislaBezOmezeni) {
    TNastaveniZavedeni n;
    n.prvni = 4294967295u;
    n.maximum = 4294967295u;
    TRadky radky = {u"A", u"B"};
    Zavest(radky, n);
    EXPECT_EQ(radky, (TRadky{u"N4294967295 A", u"N4294967295 B"}));
}

TEST(ZavestBloky, DlouhyZnakPredCislem) {
    TNastaveniZavedeni n;
    n.vedlejsi = std::u16string(40, u'x');
    TRadky radky = {u"A"};
    Zavest(radky, n);
    EXPECT_EQ(radky[0], std::u16string(40, u'x') + u"10 A");
}

std::uint8_t Precislovat(TRadky& radky, std::uint32_t prvni, std::u16string_view zacatek,
                         std::u16string_view hlavni, std::u16string_view vedlejsi,
                         bool odZacatku = true, std::uint32_t prirustek = 10,
                         std::uint32_t maximum = 9999, TPrubeh& prubeh = TPrubeh::Zadny()) {
    const TCNCFile cnc(prubeh);
    return cnc.PrecislovatBloky(radky, prvni, prirustek, maximum, zacatek, hlavni, vedlejsi, odZacatku);
}

TEST(PrecislovatBloky, TabulkaDevitiRadku) {
    TRadky radky = {u"%",       u"N5 G90",           u"  N7 G00 X0", u":9 T1 M6", u"G01 X5",
                    u"N G02",   u"(N1 COMMENT)",     u"%",           u"N0100 M30"};
    const TRadky ocekavane = {u"%",      u"N10 G90",       u"N20 G00 X0", u":30 T1 M6", u"G01 X5",
                              u" G02",   u"(N1 COMMENT)",  u"%",          u"N10 M30"};
    EXPECT_EQ(Precislovat(radky, 10, u"%", H, V), 89);
    EXPECT_EQ(radky, ocekavane);
}

TEST(PrecislovatBloky, Pripady) {
    struct Pripad {
        const char* nazev;
        TRadky vstup;
        std::uint32_t prvni;
        std::u16string zacatek, hlavni, vedlejsi;
        TRadky vystup;
    };
    const std::u16string dlouhy = u"N7 " + std::u16string(297, u'X');
    const Pripad pripady[] = {
        // The start test is made after the trim, on the line as it is written.
        {"start after blanks", {u"N1 A", u"  %", u"N2 B"}, 10, u"%", u":", u"N",
         {u"N10 A", u"%", u"N10 B"}},
        {"start at line start", {u"N1 A", u"%", u"N2 B"}, 10, u"%", u":", u"N",
         {u"N10 A", u"%", u"N10 B"}},
        {"main then secondary", {u":N5 X"}, 10, u"%", u":", u"N", {u"N10 X"}},
        {"empty main", {u"123 X", u"G01", u"N5 Y"}, 10, u"%", u"", u"N", {u"N10 X", u"G01", u"N20 Y"}},
        {"digit mode", {u"10 L X+0", u"  L Y+0", u"BEGIN PGM"}, 5, u"BEGIN PGM", u"", u"",
         {u"5 L X+0", u"L Y+0", u"BEGIN PGM"}},
        {"long number", {u"N123456789012 X"}, 10, u"%", u":", u"N", {u"N10 X"}},
        {"number of 300 characters", {dlouhy}, 10, u"%", u":", u"N", {u"N10 " + std::u16string(297, u'X')}},
        {"number only", {u"N0040"}, 10, u"%", u":", u"N", {u"N10"}},
        {"markers of several characters", {u"BLK12 X", u"SUB7 Y", u"START", u"BLK1 Z"}, 1, u"START",
         u"BLK", u"SUB", {u"BLK1 X", u"SUB11 Y", u"START", u"BLK1 Z"}},
        {"lower case is no block", {u"n10 X"}, 10, u"%", u":", u"N", {u"n10 X"}},
        {"empty start marker never restarts", {u"N1 A", u"", u"N2 B"}, 10, u"", u":", u"N",
         {u"N10 A", u"", u"N20 B"}},
    };
    for (const auto& p : pripady) {
        TRadky radky = p.vstup;
        Precislovat(radky, p.prvni, p.zacatek, p.hlavni, p.vedlejsi);
        EXPECT_EQ(radky, p.vystup) << p.nazev;
    }
}

TEST(PrecislovatBloky, PretekaniMaxima) {
    const TRadky vstup = {u"N1 A", u"N2 B", u"N3 C", u"N4 D", u"N5 E"};
    TRadky znovu = vstup;
    Precislovat(znovu, 5, u"%", H, V, true, 5, 12);
    EXPECT_EQ(znovu, (TRadky{u"N5 A", u"N10 B", u"N15 C", u"N5 D", u"N10 E"}));
    TRadky ponechat = vstup;
    Precislovat(ponechat, 5, u"%", H, V, false, 5, 12);
    EXPECT_EQ(ponechat, (TRadky{u"N5 A", u"N10 B", u"N15 C", u"N15 D", u"N15 E"}));
}

TEST(PrecislovatBloky, KazdyRadekObsluhujeRozhrani) {
    TRadky radky = {u"N1", u"X", u"N2"};
    TZaznamPrubehu prubeh;
    EXPECT_EQ(Precislovat(radky, 10, u"%", H, V, true, 10, 9999, prubeh), 67);
    EXPECT_EQ(prubeh.zaznam, "ZoooK");
}

std::uint8_t Odstranit(TRadky& radky, std::u16string_view hlavni, std::u16string_view vedlejsi,
                       TPrubeh& prubeh = TPrubeh::Zadny()) {
    const TCNCFile cnc(prubeh);
    return cnc.OdstranitBloky(radky, hlavni, vedlejsi);
}

TEST(OdstranitBloky, Pripady) {
    struct Pripad {
        const char* nazev;
        TRadky vstup;
        std::u16string hlavni, vedlejsi;
        TRadky vystup;
        std::uint8_t procenta;
    };
    const Pripad pripady[] = {
        {"table",
         {u"N10 G01", u"  N20 X5", u":30 M3", u"N0040", u"N G02", u"G01 N50", u"  (COMMENT)", u"%"},
         u":", u"N",
         {u" G01", u" X5", u" M3", u"", u" G02", u"G01 N50", u"(COMMENT)", u"%"}, 88},
        {"digit mode", {u"10 L X+0", u"L X+0"}, u"", u"", {u" L X+0", u"L X+0"}, 50},
        {"empty main", {u"N10 G01", u"123 X", u"G01"}, u"", u"N", {u" G01", u" X", u"G01"}, 67},
        {"two lines", {u"N10 A", u"N20 B"}, u":", u"N", {u" A", u" B"}, 50},
        {"tab after number stays", {u"N10\tA"}, u":", u"N", {u"\tA"}, 0},
        {"300 characters", {u"N77 " + std::u16string(296, u'Y')}, u":", u"N",
         {u" " + std::u16string(296, u'Y')}, 0},
        {"main then secondary", {u":N5 X"}, u":", u"N", {u" X"}, 0},
        {"empty list", {}, u":", u"N", {}, 0},
    };
    for (const auto& p : pripady) {
        TRadky radky = p.vstup;
        EXPECT_EQ(Odstranit(radky, p.hlavni, p.vedlejsi), p.procenta) << p.nazev;
        EXPECT_EQ(radky, p.vystup) << p.nazev;
    }
}

TEST(OdstranitBloky, PrazdnySeznamUkonciPruchod) {
    TRadky radky;
    TZaznamPrubehu prubeh;
    EXPECT_EQ(Odstranit(radky, H, V, prubeh), 0);
    EXPECT_EQ(prubeh.zaznam, "ZK");
}

// A block-skip mark ("/", "/1" to "/9") in front of a block character that
// is set: the line is a block line like any other, counted, renumbered and
// stripped with its mark kept first; introducing puts the number behind it.
TEST(BlokovyRadek, ZnackaPreskoceni) {
    struct Pripad {
        std::u16string radek;
        std::u16string hlavni, vedlejsi;
        bool blok;
        std::u16string precislovany, bezCisla;
    };
    const Pripad pripady[] = {
        {u"/N100 G0 X5", u":", u"N", true, u"/N10 G0 X5", u"/ G0 X5"},
        {u"  /1N100 G0", u":", u"N", true, u"/1N10 G0", u"/1 G0"},
        {u"/9:20 T1", u":", u"N", true, u"/9:10 T1", u"/9 T1"},
        {u"/:N20 T1", u":", u"N", true, u"/N10 T1", u"/ T1"},
        {u"/N G02", u":", u"N", true, u"/ G02", u"/ G02"},
        {u"/NEWCONF", u":", u"N", false, u"/NEWCONF", u"/NEWCONF"},
        {u"/0N5 X", u":", u"N", false, u"/0N5 X", u"/0N5 X"},
        {u"/12N5 X", u":", u"N", false, u"/12N5 X", u"/12N5 X"},
        {u"/G01 X5", u":", u"N", false, u"/G01 X5", u"/G01 X5"},
        {u"N100 /X", u":", u"N", true, u"N10 /X", u" /X"},
        // A mark is a mark only before a block character that is set.
        {u"/N5 X", u"", u"N", true, u"/N10 X", u"/ X"},
        {u"/G01", u"", u"N", true, u"/G01", u"/G01"},
        {u"/10 L", u"", u"", false, u"/10 L", u"/10 L"},
    };
    const TCNCFile cnc;
    for (const auto& p : pripady) {
        const std::string nazev(p.radek.begin(), p.radek.end());
        if (!p.hlavni.empty() && !p.vedlejsi.empty()) {
            EXPECT_EQ(cnc.PocetBloku({p.radek}, p.hlavni, p.vedlejsi), p.blok ? 1 : 0) << nazev;
        }
        TRadky radky = {p.radek};
        cnc.PrecislovatBloky(radky, 10, 10, 9999, u"%", p.hlavni, p.vedlejsi, true);
        EXPECT_EQ(radky[0], p.precislovany) << nazev;
        radky = {p.radek};
        cnc.OdstranitBloky(radky, p.hlavni, p.vedlejsi);
        EXPECT_EQ(radky[0], p.bezCisla) << nazev;
    }

    // Introducing: the mark first, the blanks behind it give way to the number's.
    const std::pair<std::u16string, std::u16string> zavedene[] = {
        {u"/G01 X5", u"/N10 G01 X5"}, {u"  /3 G01", u"/3N10 G01"}, {u"/12 X", u"/N10 12 X"}, {u"/", u"/N10 "},
    };
    for (const auto& [radek, ocekavany] : zavedene) {
        TRadky radky = {radek};
        Zavest(radky, {});
        EXPECT_EQ(radky[0], ocekavany);
        // Counted, renumbered and stripped as a block line.
        EXPECT_EQ(cnc.PocetBloku(radky, H, V), 1);
    }
    TNastaveniZavedeni cislice;
    cislice.vedlejsi = u"";
    TRadky radky = {u"/G01"};
    Zavest(radky, cislice);
    EXPECT_EQ(radky[0], u"10 /G01");
}

// A block character followed by an ASCII letter or "_" starts a word (a
// Sinumerik command, a label), not a block number: counting, renumbering and
// removing leave the line alone. Anything else after it still makes a block
// line.
TEST(BlokovyRadek, SlovoNeniBlok) {
    struct Pripad {
        std::u16string radek;
        std::u16string hlavni, vedlejsi;
        bool blok;
        std::u16string precislovany, bezCisla;
    };
    const Pripad pripady[] = {
        {u"NEWCONF", u":", u"N", false, u"NEWCONF", u"NEWCONF"},
        {u"  NINE:", u":", u"N", false, u"NINE:", u"NINE:"},
        {u"N_LABEL", u":", u"N", false, u"N_LABEL", u"N_LABEL"},
        {u"Nx1", u":", u"N", false, u"Nx1", u"Nx1"},
        {u":NEWCONF", u":", u"N", false, u":NEWCONF", u":NEWCONF"},
        {u":X5", u":", u"N", false, u":X5", u":X5"},
        {u"N10 G01", u":", u"N", true, u"N10 G01", u" G01"},
        {u"N5EWCONF", u":", u"N", true, u"N10EWCONF", u"EWCONF"},
        {u"N G02", u":", u"N", true, u" G02", u" G02"},
        {u"N\tG02", u":", u"N", true, u"\tG02", u"\tG02"},
        {u"N", u":", u"N", true, u"", u""},
        {u"N(X)", u":", u"N", true, u"(X)", u"(X)"},
        {u"N\u00C1", u":", u"N", true, u"\u00C1", u"\u00C1"},
        {u":N5 X", u":", u"N", true, u"N10 X", u" X"},
        // An empty character begins every line; a word after it is no block.
        {u"NEWCONF", u"", u"N", false, u"NEWCONF", u"NEWCONF"},
        {u"G01", u"", u"N", false, u"G01", u"G01"},
        {u"7 L", u"", u"", true, u"10 L", u" L"},
    };
    const TCNCFile cnc;
    for (const auto& p : pripady) {
        const std::string nazev(p.radek.begin(), p.radek.end());
        // The count decides in marker mode only (both characters set).
        if (!p.hlavni.empty() && !p.vedlejsi.empty()) {
            EXPECT_EQ(cnc.PocetBloku({p.radek}, p.hlavni, p.vedlejsi), p.blok ? 1 : 0) << nazev;
        }
        TRadky radky = {p.radek};
        Precislovat(radky, 10, u"%", p.hlavni, p.vedlejsi);
        EXPECT_EQ(radky, TRadky{p.precislovany}) << nazev;
        radky = {p.radek};
        Odstranit(radky, p.hlavni, p.vedlejsi);
        EXPECT_EQ(radky, TRadky{p.bezCisla}) << nazev;
    }
}

// Count, introduce, renumber and remove agree on a program with words that
// begin with the block character.
TEST(BlokovyRadek, PrikazySeShoduji) {
    const TCNCFile cnc;
    TRadky radky = {u"%", u"NEWCONF", u"NINE:", u"G1 X5", u"M30"};
    EXPECT_EQ(cnc.PocetBloku(radky, H, V), 0);  // so introducing is allowed
    Zavest(radky, TNastaveniZavedeni{});
    EXPECT_EQ(radky, (TRadky{u"%", u"N10 NEWCONF", u"N20 NINE:", u"N30 G1 X5", u"M30"}));
    EXPECT_EQ(cnc.PocetBloku(radky, H, V), 3);
    Precislovat(radky, 5, u"%", H, V);
    EXPECT_EQ(radky, (TRadky{u"%", u"N5 NEWCONF", u"N15 NINE:", u"N25 G1 X5", u"M30"}));
    Odstranit(radky, H, V);
    EXPECT_EQ(radky, (TRadky{u"%", u" NEWCONF", u" NINE:", u" G1 X5", u"M30"}));
    EXPECT_EQ(cnc.PocetBloku(radky, H, V), 0);
}

// Program numbers are no blocks: no command numbers, renumbers or strips
// them, and the count leaves them out. "O1004", and ":1234" where ":" is no
// block character, anywhere; where ":" is one (the ISO types), ":0100" alone
// or with a comment on the line after a start line (numbered or not).
TEST(CislaProgramu, ZustavajiJakJsou) {
    struct Pripad {
        const char* nazev;
        std::u16string hlavni;  // block characters: hlavni and N
        TRadky radky;
        std::size_t bloku;
        TRadky zavedene, precislovane, bezCisel;  // empty: the command refuses (blocks are, or are not)
    };
    const Pripad pripady[] = {
        {"O-number", u":", {u"%", u"O01004 (HRIDEL)", u"G0 X5", u"M30"}, 0,
         {u"%", u"O01004 (HRIDEL)", u"N10 G0 X5", u"M30"}, {}, {}},
        {"a program number after the start marker", u":", {u"%", u":0100", u"N7 G0 X5", u"N9 M30"}, 2, {},
         {u"%", u":0100", u"N10 G0 X5", u"N20 M30"}, {u"%", u":0100", u" G0 X5", u" M30"}},
        {"with a comment", u":", {u"%", u"  :0100 (NAME)", u"N7 G0"}, 1, {}, {u"%", u":0100 (NAME)", u"N10 G0"},
         {u"%", u":0100 (NAME)", u" G0"}},
        {"introduced", u":", {u"%", u":0100", u"G0 X5"}, 0, {u"%", u":0100", u"N10 G0 X5"}, {}, {}},
        // After a start line that introducing numbered.
        {"after a numbered start line", u":", {u"N10 %", u"  :0100 (P)", u"N20 G0"}, 2, {},
         {u"N10 %", u":0100 (P)", u"N20 G0"}, {u" %", u":0100 (P)", u" G0"}},
        // Anywhere else, and with words, ":" starts a main block.
        {"a main block", u":", {u"%", u"N5 X", u":10 T1 M6", u":0100"}, 3, {},
         {u"%", u"N10 X", u":20 T1 M6", u":30"}, {u"%", u" X", u" T1 M6", u""}},
        {"words after it", u":", {u"%", u":0100 G0", u"N7 X"}, 2, {}, {u"%", u":10 G0", u"N20 X"},
         {u"%", u" G0", u" X"}},
        // Where ":" is no block character it is a program number anywhere.
        {"N only", u"N", {u"G0", u":1234", u"X5"}, 0, {u"N10 G0", u":1234", u"N20 X5"}, {}, {}},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        cnc::TZadani<char16_t> z;
        z.HlavniZnak = cnc::Znacka16(p.hlavni);
        z.VedlejsiZnak = cnc::Znacka16(V);
        z.Zacatek = cnc::Znacka16(u"%");
        z.Konec = cnc::Znacka16(u"M30");
        z.Komentar = cnc::Znacka16(u"(");
        z.PrvniBlok = z.Prirustek = 10;
        std::u16string text;
        for (const auto& r : p.radky) text += r + u"\r\n";
        EXPECT_EQ(cnc::Spocitat<char16_t>(text, z).Bloku, p.bloku);
        // Line by line, as the statistics of a command's result count.
        cnc::TPocitadlo<char16_t> poRadcich(z);
        for (const auto& r : p.radky) poRadcich.Radek(r);
        EXPECT_EQ(poRadcich.Pocty().Bloku, p.bloku);
        const auto provest = [&](cnc::TPrikaz prikaz) {
            TRadky radky = p.radky;
            z.Prikaz = prikaz;
            TCNCFile().Prepsat(radky, z);
            return radky;
        };
        if (!p.zavedene.empty()) {
            EXPECT_EQ(provest(cnc::TPrikaz::Zavest), p.zavedene);
        }
        if (!p.precislovane.empty()) {
            EXPECT_EQ(provest(cnc::TPrikaz::Precislovat), p.precislovane);
        }
        if (!p.bezCisel.empty()) {
            EXPECT_EQ(provest(cnc::TPrikaz::Odstranit), p.bezCisel);
        }
    }
    // Introduced with numbered start lines, the number after "N10 %" stays a program number.
    cnc::TZadani<char16_t> z;
    z.Prikaz = cnc::TPrikaz::Zavest;
    z.HlavniZnak = cnc::Znacka16(H);
    z.VedlejsiZnak = cnc::Znacka16(V);
    z.Zacatek = cnc::Znacka16(u"%");
    z.PrvniBlok = z.Prirustek = 10;
    z.BlokPredZnakZacatku = true;
    TRadky radky = {u"%", u":0100", u"G0"};
    TCNCFile().Prepsat(radky, z);
    EXPECT_EQ(radky, (TRadky{u"N10 %", u":0100", u"N20 G0"}));
    z.Prikaz = cnc::TPrikaz::Precislovat;
    TCNCFile().Prepsat(radky, z);
    EXPECT_EQ(radky, (TRadky{u"N10 %", u":0100", u"N20 G0"}));
}

// An interruption in the middle of a pass: the caller gets the lines processed
// so far, the rest untouched, the pass is ended (cursor, beep) and the
// exception goes on.
TEST(PreruseniPruchodu, VolajiciDostaneCastecneZpracovaneRadky) {
    const TRadky vstup = {u"  N1 A", u"  N2 B", u"  N3 C", u"  N4 D"};
    struct Pripad {
        const char* nazev;
        std::function<void(TRadky&, TPrubeh&)> pruchod;
        TRadky ocekavane;
    };
    const Pripad pripady[] = {
        {"introduce",
         [](TRadky& r, TPrubeh& p) { Zavest(r, {}, p); },
         {u"N10 N1 A", u"N20 N2 B", u"  N3 C", u"  N4 D"}},
        {"renumber",
         [](TRadky& r, TPrubeh& p) { Precislovat(r, 10, u"%", H, V, true, 10, 9999, p); },
         {u"N10 A", u"N20 B", u"  N3 C", u"  N4 D"}},
        {"remove",
         [](TRadky& r, TPrubeh& p) { Odstranit(r, H, V, p); },
         {u" A", u" B", u"  N3 C", u"  N4 D"}},
    };
    for (const auto& p : pripady) {
        TRadky radky = vstup;
        TZaznamPrubehu prubeh;
        prubeh.prerusitPo = 2;
        EXPECT_THROW(p.pruchod(radky, prubeh), std::runtime_error) << p.nazev;
        EXPECT_EQ(radky, p.ocekavane) << p.nazev;
        EXPECT_EQ(prubeh.zaznam, "ZooK") << p.nazev;
    }
}

}  // namespace
