// The store file itself: its text, files written by hand or by regedit, a
// damaged file and a file that cannot be written.
#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/RegistrSoubor.h"
#include "platform/TextovySoubor.h"
#include "../support/DocasnaSlozka.h"
#include "../support/ZpravaChyby.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <regex>

namespace fs = std::filesystem;

namespace {

const std::u16string Klic = u"\\Software\\Orvendal\\Tarvik";

std::string Utf16(std::u16string_view text) {
    std::string b;
    ZakodovatText(b, text, TKodovani::Utf16LE);
    return b;
}

std::vector<fs::path> Soubory(const fs::path& slozka) {
    std::vector<fs::path> v;
    for (const auto& p : fs::directory_iterator(slozka)) v.push_back(p.path().filename());
    std::sort(v.begin(), v.end());
    return v;
}

TEST(RegistrSoubor, TextSouboru) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Orvendal" / "Tarvik.reg";  // the folder is created
    TRegistrSoubor r(soubor);
    ASSERT_TRUE(r.OtevritKlic(Klic, true));
    r.ZapsatRetezec(u"Jazyk", u"CZ");
    r.ZapsatCislo(u"PrvniBlok", 5);
    r.ZapsatCislo(u"Vlevo", -2);
    r.ZapsatRetezec(u"Cesta", u"C:\\\"x\"");
    r.ZapsatRetezec(u"Zlom", u"a\nb");
    r.ZapsatRozsirenyRetezec(u"Rozsireny", u"%A%");
    ASSERT_TRUE(r.OtevritKlic(Klic + u"\\TypySouboru", true));
    r.ZapsatRetezec(u"0", u"Frézka\t.nc\t:\tN\t%\tM30\t\t");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor),
              Utf16(u"Windows Registry Editor Version 5.00\r\n"
                    u"\r\n[HKEY_CURRENT_USER\\Software]\r\n"
                    u"\r\n[HKEY_CURRENT_USER\\Software\\Orvendal]\r\n"
                    u"\r\n[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"
                    u"\"Jazyk\"=\"CZ\"\r\n"
                    u"\"PrvniBlok\"=dword:00000005\r\n"
                    u"\"Vlevo\"=dword:fffffffe\r\n"
                    u"\"Cesta\"=\"C:\\\\\\\"x\\\"\"\r\n"
                    u"\"Zlom\"=hex(1):61,00,0a,00,62,00,00,00\r\n"
                    u"\"Rozsireny\"=hex(2):25,00,41,00,25,00,00,00\r\n"
                    u"\r\n[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n"
                    u"\"0\"=\"Frézka\t.nc\t:\tN\t%\tM30\t\t\"\r\n"
                    u"\r\n"));
    // Nothing is left beside the file.
    EXPECT_EQ(Soubory(soubor.parent_path()), std::vector<fs::path>{"Tarvik.reg"});
}

TEST(RegistrSoubor, DlouhaDataNaVicRadcich) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    const std::u16string dlouhy(100, u'x');
    {
        TRegistrSoubor r(soubor);
        ASSERT_TRUE(r.OtevritKlic(Klic, true));
        r.ZapsatRozsirenyRetezec(u"Dlouhy", dlouhy);
    }
    const TText text = DekodovatText(TDocasnaSlozka::Precist(soubor));
    std::size_t pokracovani = 0;
    for (const auto& radek : text.Radky) {
        EXPECT_LE(radek.size(), 80u);
        if (radek.rfind(u"  ", 0) == 0) ++pokracovani;
    }
    EXPECT_EQ(pokracovani, 8u);  // 202 bytes, 25 on a line
    TRegistrSoubor r(soubor);
    ASSERT_TRUE(r.OtevritKlic(Klic, false));
    EXPECT_EQ(r.CistRetezec(u"Dlouhy"), dlouhy);
}

TEST(RegistrSoubor, CteniRucnichSouboru) {
    // Files as a user or regedit may leave them, in UTF-8 or UTF-16.
    const std::string utf8 =
        "\nWindows Registry Editor Version 5.00\r\n"
        "; settings of Tarvik\r\n"
        "\r\n"
        "[hkey_current_user\\SOFTWARE\\Orvendal\\Tarvik]\r\n"
        "\"Jazyk\" = \"SK\"\r\n"
        "\"PrvniBlok\"=dword:0000000A\r\n"
        "\"Prirustek\"=DWORD:7fffffff\n"
        "\"Cesta\"=hex(2):25,00,54,00,45,00,4d,00,\\\r\n"
        "  50,00,25,00,00,00\r\n"
        "\"Binarni\"=hex:01,02\r\n"
        "\"Nic\"=hex(0):\r\n"
        "@=\"výchozí \\\"hodnota\\\" \\\\\"\r\n"
        "\"Jazyk\"=\"CZ\"\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n"
        "\"0\"=\"Frézka\t.nc\t:\tN\t%\tM30\t\t\"\r\n";
    std::string utf16be = "\xFE\xFF";
    for (char16_t c : ZUtf8(utf8.substr(utf8.find('W')))) {
        utf16be += static_cast<char>(c >> 8);
        utf16be += static_cast<char>(c & 0xFF);
    }
    for (const std::string& bajty : {utf8, "\xEF\xBB\xBF" + utf8, utf16be}) {
        TDocasnaSlozka slozka;
        TDocasnaSlozka::Zapsat(slozka / "Tarvik.reg", bajty);
        TRegistrSoubor r(slozka / "Tarvik.reg");
        ASSERT_TRUE(r.OtevritKlic(Klic, false));
        EXPECT_EQ(r.CistRetezec(u"Jazyk"), u"CZ");  // the later line wins
        EXPECT_EQ(r.CistCislo(u"PrvniBlok"), 10);
        EXPECT_EQ(r.CistCislo(u"Prirustek"), 0x7FFFFFFF);
        EXPECT_EQ(r.TypHodnoty(u"Cesta"), TTypHodnoty::RozsirenyRetezec);
        EXPECT_EQ(r.CistRetezec(u"Cesta"), u"%TEMP%");
        EXPECT_EQ(r.TypHodnoty(u"Binarni"), TTypHodnoty::Jina);
        EXPECT_EQ(ZpravaChyby([&] { r.CistRetezec(u"Binarni"); }), "Invalid data type for 'Binarni'");
        EXPECT_EQ(r.TypHodnoty(u"Nic"), TTypHodnoty::Jina);
        EXPECT_EQ(r.CistRetezec(u""), u"výchozí \"hodnota\" \\");
        EXPECT_EQ(r.PocetHodnot(), 7u);
        EXPECT_TRUE(r.KlicExistuje(u"\\Software\\Orvendal"));
        ASSERT_TRUE(r.OtevritKlic(Klic + u"\\TypySouboru", false));
        EXPECT_EQ(r.CistRetezec(u"0"), u"Frézka\t.nc\t:\tN\t%\tM30\t\t");

        // A change keeps every other value with its type and bytes.
        r.ZapsatRetezec(u"1", u"Soustruh");
        TRegistrSoubor znovu(slozka / "Tarvik.reg");
        ASSERT_TRUE(znovu.OtevritKlic(Klic, false));
        EXPECT_EQ(znovu.CistRetezec(u"Cesta"), u"%TEMP%");
        EXPECT_EQ(znovu.TypHodnoty(u"Binarni"), TTypHodnoty::Jina);
        EXPECT_EQ(znovu.TypHodnoty(u"Nic"), TTypHodnoty::Jina);
        EXPECT_EQ(znovu.PocetHodnot(), 7u);
    }
}

TEST(RegistrSoubor, PrazdnyAChybejiciSoubor) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    {
        TRegistrSoubor r(soubor);
        EXPECT_FALSE(r.KlicExistuje(Klic));
        EXPECT_FALSE(r.OtevritKlic(Klic, false));
        EXPECT_FALSE(r.SmazatKlic(Klic));
        EXPECT_FALSE(fs::exists(soubor));  // reading creates nothing
    }
    TDocasnaSlozka::Zapsat(soubor, "\r\n  \r\n");
    TRegistrSoubor r(soubor);
    EXPECT_FALSE(r.KlicExistuje(Klic));
    ASSERT_TRUE(r.OtevritKlic(Klic, true));
    EXPECT_TRUE(TRegistrSoubor(soubor).KlicExistuje(Klic));
}

TEST(RegistrSoubor, PoskozenySouborZustaneStranou) {
    struct Pripad {
        std::string text;
        std::string chyba;
    };
    const std::string h = "Windows Registry Editor Version 5.00\r\n\r\n";
    const std::string k = "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n";
    const Pripad pripady[] = {
        {"REGEDIT4\r\n" + k, "line 1: the file does not begin with \"Windows Registry Editor Version 5.00\""},
        {"\x01\x02garbage", "line 1: the file does not begin with \"Windows Registry Editor Version 5.00\""},
        {h + "\"Jazyk\"=\"CZ\"\r\n", "line 3: a value comes before the first key"},
        {h + "[HKEY_LOCAL_MACHINE\\Software]\r\n", "line 3: only keys of HKEY_CURRENT_USER belong here"},
        {h + "[HKEY_CURRENT_USERS\\Software]\r\n", "line 3: only keys of HKEY_CURRENT_USER belong here"},
        {h + "[HKEY_CURRENT_USER\\Software\r\n", "line 3: a key line does not end with ]"},
        {h + "[HKEY_CURRENT_USER\\Software\\\\Tarvik]\r\n", "line 3: a key name is empty"},
        {h + "[-HKEY_CURRENT_USER\\Software]\r\n", "line 3: deleting keys is not supported here"},
        {h + k + "\"Jazyk\"=\"CZ\r\n", "line 4: a quoted string has no closing quote"},
        {h + k + "\"Jazyk=\"CZ\"\r\n", "line 4: the value's name is not followed by ="},
        {h + k + "\"Jazyk\"=\"CZ\" x\r\n", "line 4: text follows the closing quote"},
        {h + k + "\"Jazyk\"=\"C\\Z\"\r\n", "line 4: a backslash in a quoted string must precede \\ or \""},
        {h + k + "Jazyk=\"CZ\"\r\n", "line 4: the line is neither a key in [ ] nor a value"},
        {h + k + "\"PrvniBlok\"=dword:\r\n", "line 4: a dword needs one to eight hex digits"},
        {h + k + "\"PrvniBlok\"=dword:123456789\r\n", "line 4: a dword needs one to eight hex digits"},
        {h + k + "\"PrvniBlok\"=dword:0000000g\r\n", "line 4: a dword needs one to eight hex digits"},
        {h + k + "\"PrvniBlok\"=5\r\n", "line 4: the value's data is neither a quoted string, dword: nor hex:"},
        {h + k + "\"PrvniBlok\"=-\r\n", "line 4: deleting values is not supported here"},
        {h + k + "\"X\"=hex(2)25,00\r\n", "line 4: hex data must follow a colon"},
        {h + k + "\"X\"=hex(zz):25,00\r\n", "line 4: hex( ) needs the type as a hex number"},
        {h + k + "\"X\"=hex:2,5,100\r\n", "line 4: hex data must be bytes of two hex digits separated by commas"},
        {h + k + "\"X\"=hex:25,00,\r\n", "line 4: hex data ends with a comma"},
        {h + k + "\"X\"=hex:25,\\\r\n", "line 4: the hex data continues past the end of the file"},
        {h + k + "\"X\"=hex:25,\\\r\n  zz\r\n", "line 5: hex data must be bytes of two hex digits separated by commas"},
    };
    for (const auto& p : pripady) {
        TDocasnaSlozka slozka;
        const fs::path soubor = slozka / "Tarvik.reg";
        TDocasnaSlozka::Zapsat(soubor, p.text);
        const std::string ocekavana = "Cannot read settings file \"" + soubor.string() + "\", " + p.chyba;
        TRegistrSoubor r(soubor);
        // Every read fails with the file and the line, and changes nothing.
        EXPECT_EQ(ZpravaChyby([&] { r.OtevritKlic(Klic, false); }), ocekavana);
        EXPECT_EQ(ZpravaChyby([&] { r.KlicExistuje(Klic); }), ocekavana);
        EXPECT_EQ(ZpravaChyby([&] { TRegistrSoubor(soubor).KlicExistuje(u"\\"); }), ocekavana);
        EXPECT_EQ(TDocasnaSlozka::Precist(soubor), p.text);
        EXPECT_EQ(Soubory(slozka.Cesta()), std::vector<fs::path>{"Tarvik.reg"});

        // The next change keeps the damaged file aside and starts afresh.
        ASSERT_TRUE(r.OtevritKlic(Klic, true));
        r.ZapsatRetezec(u"Jazyk", u"CZ");
        const auto soubory = Soubory(slozka.Cesta());
        ASSERT_EQ(soubory.size(), 2u);
        EXPECT_EQ(soubory[0], "Tarvik.reg");
        EXPECT_TRUE(std::regex_match(soubory[1].string(),
                                     std::regex(R"(Tarvik\.reg\.corrupt-20\d{6}-\d{6})")))
            << soubory[1];
        EXPECT_EQ(TDocasnaSlozka::Precist(slozka.Cesta() / soubory[1]), p.text);
        TRegistrSoubor dalsi(soubor);
        ASSERT_TRUE(dalsi.OtevritKlic(Klic, false));
        EXPECT_EQ(dalsi.CistRetezec(u"Jazyk"), u"CZ");
        EXPECT_EQ(dalsi.PocetHodnot(), 1u);
    }
}

TEST(RegistrSoubor, DruhyPoskozenySouborNeprepisePrvni) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    for (const char* text : {"poškozený 1", "poškozený 2"}) {
        TDocasnaSlozka::Zapsat(soubor, text);
        ASSERT_TRUE(TRegistrSoubor(soubor).OtevritKlic(Klic, true));
    }
    std::vector<std::string> stranou;
    for (const auto& jmeno : Soubory(slozka.Cesta()))
        if (jmeno != "Tarvik.reg") stranou.push_back(TDocasnaSlozka::Precist(slozka.Cesta() / jmeno));
    std::sort(stranou.begin(), stranou.end());
    EXPECT_EQ(stranou, (std::vector<std::string>{"poškozený 1", "poškozený 2"}));
}

TEST(RegistrSoubor, NezapsatelnySoubor) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    {
        TRegistrSoubor r(soubor);
        ASSERT_TRUE(r.OtevritKlic(Klic, true));
        r.ZapsatRetezec(u"Jazyk", u"CZ");
    }
    const std::string puvodni = TDocasnaSlozka::Precist(soubor);
    fs::permissions(soubor, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    TRegistrSoubor r(soubor);
    // An existing key opens; each write fails with the value and the file.
    ASSERT_TRUE(r.OtevritKlic(Klic, true));
    EXPECT_EQ(r.CistRetezec(u"Jazyk"), u"CZ");
    const auto zacinaChybou = [](const std::string& zprava, const std::string& nazev, const fs::path& s) {
        return zprava.rfind("Failed to set data for '" + nazev + "': Cannot create file \"" + s.string() + "\". ", 0) == 0;
    };
    std::string zprava = ZpravaChyby([&] { r.ZapsatRetezec(u"Jazyk", u"EN"); });
    EXPECT_TRUE(zacinaChybou(zprava, "Jazyk", soubor)) << zprava;
    EXPECT_EQ(r.CistRetezec(u"Jazyk"), u"CZ");
    // A key that is not there cannot be created, nor one deleted; the writes
    // that follow tell why.
    EXPECT_FALSE(r.OtevritKlic(Klic + u"\\TypySouboru", true));
    EXPECT_FALSE(r.SmazatKlic(Klic));
    zprava = ZpravaChyby([&] { r.ZapsatCislo(u"Sirka", 1); });
    EXPECT_TRUE(zacinaChybou(zprava, "Sirka", soubor)) << zprava;
    r.ZavritKlic();
    EXPECT_EQ(ZpravaChyby([&] { r.ZapsatCislo(u"Sirka", 1); }), "Failed to set data for 'Sirka'");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), puvodni);
    fs::permissions(soubor, fs::perms::owner_write, fs::perm_options::add);

    // A store whose folder is a file.
    TDocasnaSlozka::Zapsat(slozka / "soubor", "x");
    TRegistrSoubor podSouborem(slozka / "soubor" / "Tarvik.reg");
    EXPECT_FALSE(podSouborem.KlicExistuje(Klic));
    EXPECT_FALSE(podSouborem.OtevritKlic(Klic, true));
    zprava = ZpravaChyby([&] { podSouborem.ZapsatRetezec(u"Jazyk", u"CZ"); });
    EXPECT_TRUE(zacinaChybou(zprava, "Jazyk", slozka / "soubor" / "Tarvik.reg")) << zprava;
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "soubor"), "x");
}

#ifndef _WIN32
TEST(RegistrSoubor, CestaPodleXdg) {
    struct Pripad {
        const char* xdg;
        const char* home;
        std::string cesta;
    };
    const Pripad pripady[] = {
        {"/tmp/konfigurace", "/home/u", "/tmp/konfigurace/Orvendal/Tarvik.reg"},
        {nullptr, "/home/u", "/home/u/.config/Orvendal/Tarvik.reg"},
        {"", "/home/u", "/home/u/.config/Orvendal/Tarvik.reg"},
        {"relativni", "/home/u", "/home/u/.config/Orvendal/Tarvik.reg"},
    };
    const auto puvodni = [](const char* n) -> std::optional<std::string> {
        const char* v = std::getenv(n);
        return v ? std::optional<std::string>(v) : std::nullopt;
    };
    const auto xdg = puvodni("XDG_CONFIG_HOME"), home = puvodni("HOME");
    const auto nastavit = [](const char* n, const std::optional<std::string>& v) {
        if (v) ::setenv(n, v->c_str(), 1);
        else ::unsetenv(n);
    };
    for (const auto& p : pripady) {
        nastavit("XDG_CONFIG_HOME", p.xdg ? std::optional<std::string>(p.xdg) : std::nullopt);
        nastavit("HOME", std::string(p.home));
        EXPECT_EQ(CestaUlozisteNastaveni().string(), p.cesta);
    }
    nastavit("XDG_CONFIG_HOME", xdg);
    nastavit("HOME", home);
}
#endif

}  // namespace

namespace {

// A batch reaches the file as one write: until DokoncitDavku the file holds
// what it held before, and a copy of the program reading it meanwhile sees
// the old values; afterwards all of them are there.
TEST(RegistrSoubor, DavkaZapiseVseNajednou) {
    TDocasnaSlozka slozka;
    const auto soubor = slozka / "Tarvik.reg";
    TRegistrSoubor registr(soubor);
    ASSERT_TRUE(registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik", true));
    registr.ZapsatCislo(u"PrvniBlok", 5);
    const std::string predtim = TDocasnaSlozka::Precist(soubor);

    registr.ZacitDavku();
    registr.ZapsatCislo(u"PrvniBlok", 10);
    ASSERT_TRUE(registr.SmazatKlic(u"\\Software\\Orvendal\\Tarvik\\TypySouboru") ||
                !registr.KlicExistuje(u"\\Software\\Orvendal\\Tarvik\\TypySouboru"));
    ASSERT_TRUE(registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik\\TypySouboru", true));
    registr.ZapsatRetezec(u"0", u"A\t.nc\t\t\t\t\t\t");
    EXPECT_EQ(registr.CistRetezec(u"0"), u"A\t.nc\t\t\t\t\t\t");  // the batch reads its own changes
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), predtim);
    {
        TRegistrSoubor jiny(soubor);
        ASSERT_TRUE(jiny.OtevritKlic(u"\\Software\\Orvendal\\Tarvik", false));
        EXPECT_EQ(jiny.CistCislo(u"PrvniBlok"), 5);
    }
    registr.DokoncitDavku();

    TRegistrSoubor potom(soubor);
    ASSERT_TRUE(potom.OtevritKlic(u"\\Software\\Orvendal\\Tarvik", false));
    EXPECT_EQ(potom.CistCislo(u"PrvniBlok"), 10);
    ASSERT_TRUE(potom.OtevritKlic(u"\\Software\\Orvendal\\Tarvik\\TypySouboru", false));
    EXPECT_EQ(potom.CistRetezec(u"0"), u"A\t.nc\t\t\t\t\t\t");
}

}  // namespace
