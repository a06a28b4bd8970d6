// The store file itself: its text, files written by hand or by regedit, a
// damaged file and a file that cannot be written.
#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/RegistrSoubor.h"
#include "platform/CteniTextu.h"
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

// A snapshot: what another program writes after the first read is not seen
// by the reads that follow, whether the store is replaced or first created;
// a change of the reader's own ends the snapshot.
TEST(RegistrSoubor, SnimekProCteni) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    for (const bool existoval : {true, false}) {
        SCOPED_TRACE(existoval ? "replaced" : "created");
        fs::remove(soubor);
        if (existoval) {
            TRegistrSoubor w(soubor);
            ASSERT_TRUE(w.OtevritKlic(Klic, true));
            w.ZapsatCislo(u"PrvniBlok", 10);
        }
        TRegistrSoubor r(soubor);
        r.Zmrazit();
        EXPECT_EQ(r.KlicExistuje(Klic), existoval);
        {
            TRegistrSoubor w(soubor);
            ASSERT_TRUE(w.OtevritKlic(Klic, true));
            w.ZapsatCislo(u"PrvniBlok", 20);
            w.ZavritKlic();
            ASSERT_TRUE(w.OtevritKlic(Klic + std::u16string(u"\\TypySouboru"), true));
        }
        EXPECT_EQ(r.KlicExistuje(Klic + std::u16string(u"\\TypySouboru")), false);
        if (existoval) {
            ASSERT_TRUE(r.OtevritKlic(Klic, false));
            EXPECT_EQ(r.CistCislo(u"PrvniBlok"), 10);
            r.ZapsatCislo(u"Prirustek", 5);  // a change sees the file as it is now
            EXPECT_EQ(r.CistCislo(u"PrvniBlok"), 20);
        } else {
            EXPECT_FALSE(r.OtevritKlic(Klic, false));
        }
    }
}

// The copies of damaged files kept beside the store file.
std::vector<fs::path> Kopie(const fs::path& slozka) {
    std::vector<fs::path> v;
    for (const auto& jmeno : Soubory(slozka))
        if (jmeno.string().rfind("Tarvik.reg.corrupt-", 0) == 0) v.push_back(slozka / jmeno);
    return v;
}

TEST(RegistrSoubor, PoskozenySouborSeCteAUschova) {
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
        // One trailing backslash is allowed; a second would leave an empty
        // name that is written back without it.
        {h + "[HKEY_CURRENT_USER\\Software\\\\]\r\n", "line 3: a key name is empty"},
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
        {h + k + "\"Jazyk\"=\"\xC4\x8C\xFF\"\r\n", "line 4: the line holds bytes that are not UTF-8"},
        {Utf16(u"Windows Registry Editor Version 5.00\r\n") + "x",
         "line 2: the file ends in half a UTF-16 character"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.chyba);
        TDocasnaSlozka slozka;
        const fs::path soubor = slozka / "Tarvik.reg";
        TDocasnaSlozka::Zapsat(soubor, p.text);
        TRegistrSoubor r(soubor);
        // Reading fails nowhere and writes nothing; the message names the
        // file, the line and the copy to come.
        r.OtevritKlic(Klic, false);
        ASSERT_TRUE(r.Poskozeni());
        const std::string zprava = DoUtf8(*r.Poskozeni());
        std::smatch shoda;
        const std::regex vzor(R"x(Settings file "(.*)" is damaged at (.*); the rest of it is read, )x"
                              R"x(and the damaged file will be kept as "(.*)" when the settings are next saved)x");
        ASSERT_TRUE(std::regex_match(zprava, shoda, vzor)) << zprava;
        EXPECT_EQ(shoda[1], soubor.string());
        EXPECT_EQ(shoda[2], p.chyba);
        const fs::path kopie = shoda[3].str();
        EXPECT_EQ(kopie.parent_path(), slozka.Cesta());
        EXPECT_TRUE(std::regex_match(kopie.filename().string(), std::regex(R"(Tarvik\.reg\.corrupt-20\d{6}-\d{6})")))
            << kopie;
        EXPECT_EQ(TDocasnaSlozka::Precist(soubor), p.text);
        EXPECT_EQ(Soubory(slozka.Cesta()), std::vector<fs::path>{"Tarvik.reg"});

        // The first change keeps the copy, then replaces the damaged file
        // with what could be read.
        ASSERT_TRUE(r.OtevritKlic(Klic, true));
        r.ZapsatRetezec(u"Jazyk", u"CZ");
        EXPECT_EQ(Kopie(slozka.Cesta()), std::vector<fs::path>{kopie});
        EXPECT_EQ(TDocasnaSlozka::Precist(kopie), p.text);
        TRegistrSoubor dalsi(soubor);
        ASSERT_TRUE(dalsi.OtevritKlic(Klic, false));
        EXPECT_FALSE(dalsi.Poskozeni());
        EXPECT_EQ(dalsi.CistRetezec(u"Jazyk"), u"CZ");

        // The same damaged file again: the copy kept before serves.
        TDocasnaSlozka::Zapsat(soubor, p.text);
        TRegistrSoubor znovu(soubor);
        ASSERT_TRUE(znovu.OtevritKlic(Klic, true));
        ASSERT_TRUE(znovu.Poskozeni());
        EXPECT_EQ(DoUtf8(*znovu.Poskozeni()), zprava.substr(0, zprava.find(" will be kept")) + " is kept as \"" +
                                                  kopie.string() + "\"");
        znovu.ZapsatRetezec(u"Jazyk", u"CZ");
        EXPECT_EQ(Kopie(slozka.Cesta()), std::vector<fs::path>{kopie});
    }
}

TEST(RegistrSoubor, PoskozeneRadkyNeberouOstatniHodnoty) {
    // One bad value, a key line that cannot be read with a value under it,
    // and a bad entry of the file type list: everything else is read.
    const std::string text =
        "Windows Registry Editor Version 5.00\r\n"                         // 1
        "\r\n"                                                             // 2
        "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"              // 3
        "\"Jazyk\"=\"SK\"\r\n"                                             // 4
        "\"Prirustek\"=dword:zz\r\n"                                       // 5
        "\"MaximalniBlok\"=dword:00000064\r\n"                             // 6
        "\r\n"                                                             // 7
        "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\Jine\r\n"         // 8
        "\"Ztracena\"=dword:00000001\r\n"                                  // 9
        "\r\n"                                                             // 10
        "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik\\TypySouboru]\r\n" // 11
        "\"0\"=\"Frézka\t.nc\t:\tN\t%\tM30\t\t\"\r\n"                      // 12
        "\"1\"=\"Soustruh\t.tap\r\n"                                       // 13
        "\"2\"=\"Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t\"\r\n";           // 14
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    TDocasnaSlozka::Zapsat(soubor, text);
    TRegistrSoubor r(soubor);
    ASSERT_TRUE(r.OtevritKlic(Klic, false));
    EXPECT_EQ(r.CistRetezec(u"Jazyk"), u"SK");
    EXPECT_FALSE(r.HodnotaExistuje(u"Prirustek"));
    EXPECT_EQ(r.CistCislo(u"MaximalniBlok"), 100);
    ASSERT_TRUE(r.Poskozeni());
    const std::string zprava = DoUtf8(*r.Poskozeni());
    EXPECT_EQ(zprava.rfind("Settings file \"" + soubor.string() +
                               "\" is damaged at line 5: a dword needs one to eight hex digits (and 3 more damaged "
                               "lines); the rest of it is read, and the damaged file will be kept as \"",
                           0),
              0u)
        << zprava;
    EXPECT_FALSE(r.KlicExistuje(Klic + u"\\Jine"));
    ASSERT_TRUE(r.OtevritKlic(Klic + u"\\TypySouboru", false));
    EXPECT_EQ(r.CistRetezec(u"0"), u"Frézka\t.nc\t:\tN\t%\tM30\t\t");
    EXPECT_FALSE(r.HodnotaExistuje(u"1"));
    EXPECT_EQ(r.CistRetezec(u"2"), u"Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t");

    // The settings written at exit keep the list.
    ASSERT_TRUE(r.OtevritKlic(Klic, true));
    r.ZapsatCislo(u"Prirustek", 5);
    TRegistrSoubor dalsi(soubor);
    ASSERT_TRUE(dalsi.OtevritKlic(Klic + u"\\TypySouboru", false));
    EXPECT_EQ(dalsi.PocetHodnot(), 2u);
    EXPECT_EQ(dalsi.CistRetezec(u"2"), u"Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t");
}

TEST(RegistrSoubor, NeplatneUtf8NeniWindows1250) {
    // A UTF-8 file (with or without its mark) with one byte that is not
    // UTF-8: only that line is damaged; every other line stays UTF-8.
    const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"
                             "\"Nazev\"=\"Frézka\"\r\n"
                             "\"Spatny\"=\"Fr\xE9zka\"\r\n";
    for (const std::string& bajty : {text, "\xEF\xBB\xBF" + text}) {
        TDocasnaSlozka slozka;
        const fs::path soubor = slozka / "Tarvik.reg";
        TDocasnaSlozka::Zapsat(soubor, bajty);
        {
            TRegistrSoubor r(soubor);
            ASSERT_TRUE(r.OtevritKlic(Klic, true));
            EXPECT_EQ(r.CistRetezec(u"Nazev"), u"Frézka");
            EXPECT_EQ(r.CistRetezec(u"Spatny"), u"Fr\uFFFDzka");
            ASSERT_TRUE(r.Poskozeni());
            EXPECT_NE(DoUtf8(*r.Poskozeni()).find("\" is damaged at line 5: the line holds bytes that are not UTF-8;"),
                      std::string::npos)
                << DoUtf8(*r.Poskozeni());
            r.ZapsatCislo(u"PrvniBlok", 5);
        }
        TRegistrSoubor znovu(soubor);
        ASSERT_TRUE(znovu.OtevritKlic(Klic, false));
        EXPECT_EQ(znovu.CistRetezec(u"Nazev"), u"Frézka");
        EXPECT_FALSE(znovu.Poskozeni());
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

namespace {

// While a key is open, its values come from one version of the file, also
// when another copy of the program replaces the file between two reads.
TEST(RegistrSoubor, OtevrenyKlicCteJednuVerzi) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "Tarvik.reg";
    const std::u16string typy = Klic + u"\\TypySouboru";
    const auto zapsat = [&](std::u16string_view a, std::u16string_view b) {
        TRegistrSoubor jiny(soubor);
        ASSERT_TRUE(jiny.OtevritKlic(typy, true));
        jiny.ZapsatRetezec(u"0", a);
        jiny.ZapsatRetezec(u"1", b);
    };
    zapsat(u"A1", u"B1");
    TRegistrSoubor r(soubor);
    ASSERT_TRUE(r.OtevritKlic(typy, false));
    EXPECT_EQ(r.CistRetezec(u"0"), u"A1");
    zapsat(u"A2", u"B2");
    EXPECT_EQ(r.CistRetezec(u"1"), u"B1");
    EXPECT_EQ(r.PocetHodnot(), 2u);
    // Opening a key reads the file anew.
    ASSERT_TRUE(r.OtevritKlic(typy, false));
    EXPECT_EQ(r.CistRetezec(u"0"), u"A2");
    EXPECT_EQ(r.CistRetezec(u"1"), u"B2");
}

#ifndef _WIN32
// A store file that is a symbolic link stays one: its target is written,
// also when the target was damaged and a copy of it is kept first.
TEST(RegistrSoubor, OdkazZustaneOdkazem) {
    TDocasnaSlozka slozka;
    fs::create_directory(slozka / "jinde");
    const fs::path cil = slozka / "jinde" / "nastaveni.reg";
    const fs::path odkaz = slozka / "Tarvik.reg";
    fs::create_symlink(cil, odkaz);
    for (const std::string poskozeny : {"", "poškozený\r\n"}) {
        SCOPED_TRACE(poskozeny);
        TDocasnaSlozka::Zapsat(cil, poskozeny);
        {
            TRegistrSoubor r(odkaz);
            ASSERT_TRUE(r.OtevritKlic(Klic, true));
            r.ZapsatRetezec(u"Jazyk", u"CZ");
        }
        EXPECT_TRUE(fs::is_symlink(odkaz));
        EXPECT_EQ(fs::read_symlink(odkaz), cil);
        TRegistrSoubor znovu(cil);
        ASSERT_TRUE(znovu.OtevritKlic(Klic, false));
        EXPECT_EQ(znovu.CistRetezec(u"Jazyk"), u"CZ");
    }
    const auto kopie = Kopie(slozka.Cesta());
    ASSERT_EQ(kopie.size(), 1u);
    EXPECT_EQ(TDocasnaSlozka::Precist(kopie[0]), "poškozený\r\n");
}
#endif

}  // namespace
