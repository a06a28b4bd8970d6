#include "filetypes/SeznamTypu.h"
#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/RegistrSoubor.h"
#include "../support/ZkusebniUloziste.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>

namespace fs = std::filesystem;

namespace {

TTypSouboru Typ(std::u16string nazev, std::u16string pripona = u".nc", std::u16string komentar = u"") {
    return {nazev, pripona, u":", u"N", u"%", u"M30", komentar};
}

TTypSouboru Pole(std::u16string nazev, std::u16string pripona = u"", std::u16string hlavni = u"",
                 std::u16string vedlejsi = u"", std::u16string zacatek = u"") {
    return {nazev, pripona, hlavni, vedlejsi, zacatek, u"", u""};
}

std::u16string Cislo(std::size_t i) {
    const std::string s = std::to_string(i);
    return std::u16string(s.begin(), s.end());
}

// The values of a key by name 0, 1, ... as far as they go, and their count.
std::vector<std::u16string> Hodnoty(TRegistr& r, const std::u16string& klic, std::uint32_t* pocet = nullptr) {
    std::vector<std::u16string> v;
    if (!r.OtevritKlic(klic, false)) return v;
    if (pocet) *pocet = r.PocetHodnot().value_or(9999);
    for (std::size_t i = 0; r.HodnotaExistuje(Cislo(i)); ++i) v.push_back(r.CistRetezec(Cislo(i)));
    r.ZavritKlic();
    return v;
}

class SeznamTypu : public ::testing::TestWithParam<TDruhUloziste> {
protected:
    SeznamTypu() {
        TDocasnaSlozka::Zapsat(ftd, "\xEF\xBB\xBF" "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                                    "Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t\r\n");
    }
    TZkusebniUloziste uloziste{GetParam()};
    const std::u16string klic = uloziste.Klic(u"TypySouboru");
    const fs::path ftd = uloziste.Slozka() / "files.ftd";
};

TEST_P(SeznamTypu, JedenactTypuVPoradi) {
    std::vector<TTypSouboru> typy;
    for (int i = 0; i < 11; ++i) typy.push_back(Typ(u"Typ " + Cislo(static_cast<std::size_t>(i)), u".t"));
    UlozitTypySouboru(*uloziste.Otevrit(), typy, klic);

    auto r = uloziste.Otevrit();
    std::uint32_t pocet = 0;
    const auto hodnoty = Hodnoty(*r, klic, &pocet);
    EXPECT_EQ(pocet, 11u);
    ASSERT_EQ(hodnoty.size(), 11u);
    EXPECT_EQ(hodnoty[10], u"Typ 10\t.t\t:\tN\t%\tM30\t\t");
    const TNacteneTypy nactene = NacistTypySouboru(*r, false, ftd, klic);
    EXPECT_EQ(nactene.Typy, typy);  // 10 after 9, not after 1
    EXPECT_FALSE(nactene.ChybiSoubor);
    EXPECT_FALSE(nactene.ChybaUloziste);

    // A shorter list leaves nothing of the longer one behind.
    const std::vector<TTypSouboru> kratsi = {Typ(u"A"), Typ(u"B", u".mpf", u";"), Typ(u"C")};
    UlozitTypySouboru(*r, kratsi, klic);
    EXPECT_EQ(Hodnoty(*r, klic, &pocet).size(), 3u);
    EXPECT_EQ(pocet, 3u);
    EXPECT_EQ(NacistTypySouboru(*uloziste.Otevrit(), false, ftd, klic).Typy, kratsi);

    // An empty list leaves an empty key, which reads as an empty list.
    UlozitTypySouboru(*r, {}, klic);
    EXPECT_TRUE(r->KlicExistuje(klic));
    EXPECT_EQ(Hodnoty(*r, klic, &pocet).size(), 0u);
    EXPECT_EQ(pocet, 0u);
    EXPECT_TRUE(NacistTypySouboru(*r, false, ftd, klic).Typy.empty());
}

TEST_P(SeznamTypu, PrvniSpusteni) {
    // No key: the list comes from files.ftd; after saving, from the key.
    auto r = uloziste.Otevrit();
    const bool zeSouboru = !r->KlicExistuje(klic);
    EXPECT_TRUE(zeSouboru);
    const TNacteneTypy prvni = NacistTypySouboru(*r, zeSouboru, ftd, klic);
    ASSERT_EQ(prvni.Typy.size(), 2u);
    EXPECT_EQ(prvni.Typy[0].Nazev, u"Frézka");
    EXPECT_EQ(prvni.Typy[1].Zacatek, u"BEGIN PGM");
    EXPECT_FALSE(r->KlicExistuje(klic));  // reading writes nothing
    UlozitTypySouboru(*r, prvni.Typy, klic);

    fs::remove(ftd);
    auto dalsi = uloziste.Otevrit();
    ASSERT_TRUE(dalsi->KlicExistuje(klic));
    const TNacteneTypy druhe = NacistTypySouboru(*dalsi, false, ftd, klic);
    EXPECT_EQ(druhe.Typy, prvni.Typy);
    EXPECT_FALSE(druhe.ChybiSoubor);
}

TEST_P(SeznamTypu, ChybejiciSouborTypu) {
    fs::remove(ftd);
    auto r = uloziste.Otevrit();
    const TNacteneTypy nactene = NacistTypySouboru(*r, true, ftd, klic);
    EXPECT_TRUE(nactene.ChybiSoubor);
    EXPECT_TRUE(nactene.Typy.empty());
    // Saved at exit: an empty key, so the next start reads the store, silently.
    UlozitTypySouboru(*r, nactene.Typy, klic);
    ASSERT_TRUE(r->KlicExistuje(klic));
    const TNacteneTypy dalsi = NacistTypySouboru(*r, false, ftd, klic);
    EXPECT_FALSE(dalsi.ChybiSoubor);
    EXPECT_TRUE(dalsi.Typy.empty());
}

TEST_P(SeznamTypu, NeobvykleHodnoty) {
    // Values the program never writes itself: each reads as an empty line,
    // which holds no file type, so no row lacks a field.
    auto r = uloziste.Otevrit();
    ASSERT_TRUE(r->OtevritKlic(klic, true));
    r->ZapsatRetezec(u"0", u"A\t.a\t\t\t\t\t\t");
    r->ZapsatCislo(u"1", 7);                                // not a string
    r->ZapsatRozsirenyRetezec(u"2", u"B\t.b\t:\tN\t%\t\t"); // read as a string
    r->ZapsatRetezec(u"4", u"C");                           // 3 is missing
    r->ZapsatRetezec(u"12", u"D");                          // so are 5 to 11
    r->ZapsatRetezec(u"Jine", u"E");                        // no number names it
    r->ZapsatRetezec(u"05", u"F");                          // nor this one, as written
    r->ZavritKlic();
    std::vector<std::u16string> radky = {u"předtím"};
    NacistSeznam(*r, klic, radky);
    EXPECT_EQ(radky, (std::vector<std::u16string>{u"předtím", u"A\t.a\t\t\t\t\t\t", u"", u"B\t.b\t:\tN\t%\t\t",
                                                  u"C", u"D"}));
    const TNacteneTypy nactene = NacistTypySouboru(*r, false, ftd, klic);
    EXPECT_EQ(nactene.Typy, (std::vector<TTypSouboru>{Pole(u"A", u".a"), Pole(u"B", u".b", u":", u"N", u"%"), Pole(u"C"),
                                                      Pole(u"D")}));
}

TEST_P(SeznamTypu, NulVPoliNeusekneRadek) {
    // A NUL (say from a files.ftd read in Windows-1250) would end the stored
    // string; it is left out as TAB, CR and LF are.
    const std::vector<TTypSouboru> typy = {{std::u16string(u"Fr\0ézka", 7), u".nc", u":", u"N", u"%", u"M30", u"("},
                                           {u"Dialog", u".h", u"", u"", std::u16string(u"\0BEGIN", 6), u"END", u""}};
    UlozitTypySouboru(*uloziste.Otevrit(), typy, klic);
    EXPECT_EQ(NacistTypySouboru(*uloziste.Otevrit(), false, ftd, klic).Typy,
              (std::vector<TTypSouboru>{{u"Frézka", u".nc", u":", u"N", u"%", u"M30", u"("},
                                        {u"Dialog", u".h", u"", u"", u"BEGIN", u"END", u""}}));
}

TEST_P(SeznamTypu, SeznamPodKlicemKteryChybi) {
    auto r = uloziste.Otevrit();
    std::vector<std::u16string> radky;
    NacistSeznam(*r, klic, radky);  // a reader never creates the key
    EXPECT_TRUE(radky.empty());
    EXPECT_FALSE(r->KlicExistuje(klic));
    ZapsatSeznam(*r, klic, {u"x", u"y"});
    NacistSeznam(*r, klic, radky);
    EXPECT_EQ(radky, (std::vector<std::u16string>{u"x", u"y"}));
    // The list replaces a key that held subkeys too.
    ASSERT_TRUE(r->OtevritKlic(klic + u"\\Podklic", true));
    ZapsatSeznam(*r, klic, {u"z"});
    EXPECT_FALSE(r->KlicExistuje(klic + u"\\Podklic"));
    radky.clear();
    NacistSeznam(*r, klic, radky);
    EXPECT_EQ(radky, std::vector<std::u16string>{u"z"});
}

// A list stored by an earlier version (no version beside it): the mill it
// never changed gains the lathe profile when it is read, the user's rows stay;
// once this version has saved the list, the user's own choice stays too.
TEST_P(SeznamTypu, SeznamStarsiVerze) {
    const std::u16string staraFreza = u"ISO frézování\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P\t";
    const std::u16string vlastni = u"Soustruh\t.lat\t:\tN\t%\tM30\t(\tGOTO\t";
    {
        auto r = uloziste.Otevrit();
        ZapsatSeznam(*r, klic, {vlastni, staraFreza});
    }
    const auto cteni = [&] { return NacistTypySouboru(*uloziste.Otevrit(), false, ftd, klic).Typy; };
    std::vector<TTypSouboru> typy = cteni();
    ASSERT_EQ(typy.size(), 2u);
    EXPECT_EQ(typy[0], *RozdelitRadek(vlastni));
    EXPECT_TRUE(DruhyOdkazuTypu(typy[1]).Ma(TRodinaOdkazu::CyklyA));
    // Saved by this version, a mill the user set back to no profile keeps it.
    typy[1].DruhyOdkazu = *RozdelitRadek(staraFreza)->DruhyOdkazu;
    UlozitTypySouboru(*uloziste.Otevrit(), typy, klic);
    EXPECT_EQ(cteni(), typy);
    auto r = uloziste.Otevrit();
    EXPECT_EQ(Hodnoty(*r, klic).size(), 2u);  // the list's key holds its lines alone
}

INSTANTIATE_TEST_SUITE_P(Uloziste, SeznamTypu, ::testing::ValuesIn(DruhyUloziste()),
                         [](const auto& info) { return std::string(NazevDruhu(info.param)); });

TEST(SouborTypu, NacteniPriSpusteni) {
    TDocasnaSlozka slozka;
    const fs::path ftd = slozka / "files.ftd";
    const TTypSouboru frezka{u"Frézka", u".nc", u":", u"N", u"%", u"M30", u""};
    const TTypSouboru soustruh{u"Soustruh", u".tap", u":", u"N", u"%", u"M30", u"("};
    struct Pripad {
        const char* nazev;
        std::string bajty;
        std::vector<TTypSouboru> typy;
    };
    const Pripad pripady[] = {
        {"UTF-8 mark, Czech letters", "\xEF\xBB\xBF" "Frézka\t.nc\t:\tN\t%\tM30\t\t\r\nSoustruh\t.tap\t:\tN\t%\tM30\t(\t\r\n",
         {frezka, soustruh}},
        // Without a mark: the platform's 8-bit code page (on Windows the ANSI
        // code page; E9 and E1 are é and á in Windows-1250 and 1252 alike).
        {"no mark", "Fr\xE9zka\t.nc\t:\tN\t%\tM30\t\t\r\n", {frezka}},
        {"CR only", "Fr\xE9zka\t.nc\t:\tN\t%\tM30\t\t\rSoustruh\t.tap\t:\tN\t%\tM30\t(\t\r", {frezka, soustruh}},
        {"no closing TAB, extra fields", "Soustruh\t.tap\t:\tN\t%\tM30\t(\nFr\xE9zka\t.nc\t:\tN\t%\tM30\t\tnav\xED" "c\tdal\n",
         {soustruh, frezka}},
        {"missing fields, blank lines", "\r\nJen n\xE1zev\r\n\r\nFr\xE9zka\t.nc\t:\r\n",
         {Pole(u"Jen název"), Pole(u"Frézka", u".nc", u":")}},
        {"empty", "", {}},
    };
    for (const auto& p : pripady) {
        TDocasnaSlozka::Zapsat(ftd, p.bajty);
        const TNacteneTypy nactene = NacistTypyZeSouboru(ftd);
        EXPECT_EQ(nactene.Typy, p.typy) << p.nazev;
        EXPECT_FALSE(nactene.ChybiSoubor) << p.nazev;
    }
#ifndef _WIN32
    TDocasnaSlozka::Zapsat(ftd, "Frézka\t.nc\t:\tN\t%\tM30\t\t\n");  // UTF-8 without a mark
    EXPECT_EQ(NacistTypyZeSouboru(ftd).Typy, std::vector<TTypSouboru>{frezka});
#endif
}

TEST(SouborTypu, NecitelnySouborTypu) {
    TDocasnaSlozka slozka;
    const fs::path ftd = slozka / "files.ftd";
    fs::create_directory(ftd);
    TRegistrSoubor r(slozka / "Tarvik.reg");
    std::string zprava;
    try {
        NacistTypySouboru(r, true, ftd);
    } catch (const TChyba& e) {
        zprava = e.what();
    }
    EXPECT_EQ(zprava.rfind("Cannot open file \"" + ftd.string() + "\". ", 0), 0u) << zprava;
}

TEST(SouborTypu, PoskozeneUlozisteZachovaSeznam) {
    // One bad value among the settings, one bad entry in the list: the list
    // is read from the store all the same, and the next exit keeps it.
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    const fs::path ftd = slozka / "files.ftd";
    TDocasnaSlozka::Zapsat(ftd, "\xEF\xBB\xBF" "Ze souboru\t.nc\t:\tN\t%\tM30\t\t\r\n");
    const std::string poskozeny = "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"
                                  "\"Prirustek\"=dword:zz\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n"
                                  "\"0\"=\"Frézka\t.nc\t:\tN\t%\tM30\t\t\"\r\n"
                                  "\"1\"=\"Soustruh\t.tap\r\n"
                                  "\"2\"=\"Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t\"\r\n";
    TDocasnaSlozka::Zapsat(soubor, poskozeny);
    const std::vector<TTypSouboru> ulozene = {{u"Frézka", u".nc", u":", u"N", u"%", u"M30", u""},
                                              {u"Dialog", u".h", u"", u"", u"BEGIN PGM", u"END PGM", u";"}};
    {
        TRegistrSoubor r(soubor);
        ASSERT_TRUE(r.KlicExistuje(KlicTypuSouboru));
        const TNacteneTypy nactene = NacistTypySouboru(r, false, ftd);
        EXPECT_FALSE(nactene.ChybaUloziste);
        EXPECT_EQ(nactene.Typy, ulozene);
        ASSERT_TRUE(r.Poskozeni());
        EXPECT_NE(DoUtf8(*r.Poskozeni()).find("is damaged at line 4: a dword needs one to eight hex digits (and 1 more "
                                              "damaged line); the rest of it is read, and the damaged file will be kept as"),
                  std::string::npos)
            << DoUtf8(*r.Poskozeni());

        // Exit: the settings, then the list, in one batch.
        r.ZacitDavku();
        ASSERT_TRUE(r.OtevritKlic(KlicNastaveni, true));
        r.ZapsatCislo(u"Prirustek", 5);
        r.ZavritKlic();
        UlozitTypySouboru(r, nactene.Typy);
        r.DokoncitDavku();
    }
    TRegistrSoubor dalsi(soubor);
    ASSERT_TRUE(dalsi.KlicExistuje(KlicTypuSouboru));
    EXPECT_EQ(NacistTypySouboru(dalsi, false, ftd).Typy, ulozene);
    EXPECT_FALSE(dalsi.Poskozeni());
    std::size_t stranou = 0;
    for (const auto& p : fs::directory_iterator(slozka.Cesta()))
        if (p.path().filename().string().rfind("Tarvik.reg.corrupt-", 0) == 0) {
            ++stranou;
            EXPECT_EQ(TDocasnaSlozka::Precist(p.path()), poskozeny);
        }
    EXPECT_EQ(stranou, 1u);
}

// A store that lets something happen after each string read from it.
class TPoCteni final : public TRegistr {
public:
    TPoCteni(TRegistr& r, std::function<void()> poCteni) : r_(r), poCteni_(std::move(poCteni)) {}
    bool OtevritKlic(std::u16string_view c, bool v) override { return r_.OtevritKlic(c, v); }
    void ZavritKlic() override { r_.ZavritKlic(); }
    bool KlicExistuje(std::u16string_view c) override { return r_.KlicExistuje(c); }
    bool SmazatKlic(std::u16string_view c) override { return r_.SmazatKlic(c); }
    bool HodnotaExistuje(std::u16string_view n) override { return r_.HodnotaExistuje(n); }
    TTypHodnoty TypHodnoty(std::u16string_view n) override { return r_.TypHodnoty(n); }
    std::u16string CistRetezec(std::u16string_view n) override {
        std::u16string t = r_.CistRetezec(n);
        poCteni_();
        return t;
    }
    std::int32_t CistCislo(std::u16string_view n) override { return r_.CistCislo(n); }
    void ZapsatRetezec(std::u16string_view n, std::u16string_view h) override { r_.ZapsatRetezec(n, h); }
    void ZapsatRozsirenyRetezec(std::u16string_view n, std::u16string_view h) override {
        r_.ZapsatRozsirenyRetezec(n, h);
    }
    void ZapsatCislo(std::u16string_view n, std::int32_t h) override { r_.ZapsatCislo(n, h); }
    std::optional<std::uint32_t> PocetHodnot() override { return r_.PocetHodnot(); }
    std::vector<std::u16string> NazvyHodnot() override { return r_.NazvyHodnot(); }

private:
    TRegistr& r_;
    std::function<void()> poCteni_;
};

TEST(SouborTypu, SeznamZJedneVerzeSouboru) {
    // A copy of the program exits and saves its list while another starts
    // and reads the list value by value: the reader gets one whole list.
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    const std::vector<TTypSouboru> stary = {Typ(u"A"), Typ(u"B"), Typ(u"C")};
    const std::vector<TTypSouboru> novy = {Typ(u"X"), Typ(u"Y"), Typ(u"Z"), Typ(u"W")};
    TRegistrSoubor pisatel(soubor);
    UlozitTypySouboru(pisatel, stary);
    bool ulozeno = false;
    TRegistrSoubor ctenar(soubor);
    TPoCteni r(ctenar, [&] {
        if (!std::exchange(ulozeno, true)) UlozitTypySouboru(pisatel, novy);
    });
    EXPECT_EQ(NacistTypySouboru(r, false, slozka / "files.ftd").Typy, stary);
    EXPECT_TRUE(ulozeno);
    EXPECT_EQ(NacistTypySouboru(r, false, slozka / "files.ftd").Typy, novy);
}

TEST(SouborTypu, UlozeniDoNezapsatelnehoUlozisteNeniChyba) {
    // The key cannot be created: nothing is written, and no failure.
    TDocasnaSlozka slozka;
    TDocasnaSlozka::Zapsat(slozka / "soubor", "x");
    TRegistrSoubor r(slozka / "soubor" / "Tarvik.reg");
    UlozitTypySouboru(r, {Typ(u"A")});
    EXPECT_FALSE(r.KlicExistuje(KlicTypuSouboru));
}

}  // namespace
