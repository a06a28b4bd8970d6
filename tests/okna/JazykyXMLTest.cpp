// The language file: loading, the lookups, the language list.
#include "lang/JazykyXML.h"

#include "platform/Chyba.h"
#include "../support/DocasnaSlozka.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

namespace {

QDomDocument Dokument(const std::string& xml) {
    return NacistJazykovyDokument(QByteArray::fromStdString(xml), QStringLiteral("tarvik.xml"));
}

std::string ChybaNacteni(const std::string& xml) {
    try {
        Dokument(xml);
    } catch (const TChyba& e) {
        return e.what();
    }
    return "(loaded)";
}

const std::string Hlavicka = "<?xml version='1.0' encoding='UTF-8'?>\n";

struct TPripadTextu {
    const char* Popis;
    std::string Xml;
    const char* Sekce;
    const char* Klic;
    const char* Jazyk;
    const char* Ocekavany;
};

TEST(JazykovySoubor, DejText) {
    const TPripadTextu pripady[] = {
        {"found", "<P><S><k><EN>Exit</EN></k></S></P>", "S", "k", "EN", "Exit"},
        {"any root name", "<Jiny><S><k><EN>Exit</EN></k></S></Jiny>", "S", "k", "EN", "Exit"},
        {"indentation is no text", "<P>\n  <S>\n    <k>\n      <EN>Exit</EN>\n    </k>\n  </S>\n</P>", "S", "k", "EN",
         "Exit"},
        {"empty element", "<P><S><k><EN/></k></S></P>", "S", "k", "EN", "default"},
        {"whitespace only", "<P><S><k><EN>   \n  </EN></k></S></P>", "S", "k", "EN", "default"},
        {"no element for the language", "<P><S><k><DE>Ende</DE></k></S></P>", "S", "k", "EN", "default"},
        {"missing key", "<P><S><j><EN>Exit</EN></j></S></P>", "S", "k", "EN", "default"},
        {"missing section", "<P><T><k><EN>Exit</EN></k></T></P>", "S", "k", "EN", "default"},
        {"language code in other case", "<P><S><k><en>Exit</en></k></S></P>", "S", "k", "EN", "default"},
        {"key in other case", "<P><S><K><EN>Exit</EN></K></S></P>", "S", "k", "EN", "default"},
        {"section in other case", "<P><s><k><EN>Exit</EN></k></s></P>", "S", "k", "EN", "default"},
        {"prefixed name is another name", "<P xmlns:x='urn:x'><S><k><x:EN>Exit</x:EN></k></S></P>", "S", "k", "EN",
         "default"},
        {"first of two sections", "<P><S><k><EN>one</EN></k></S><S><k><EN>two</EN></k><m><EN>m</EN></m></S></P>", "S",
         "k", "EN", "one"},
        {"second section never read", "<P><S><k><EN>one</EN></k></S><S><m><EN>m</EN></m></S></P>", "S", "m", "EN",
         "default"},
        {"first of two keys", "<P><S><k><EN>one</EN></k><k><EN>two</EN></k></S></P>", "S", "k", "EN", "one"},
        {"first of two texts", "<P><S><k><EN>one</EN><EN>two</EN></k></S></P>", "S", "k", "EN", "one"},
        {"CDATA", "<P><S><k><EN><![CDATA[a <b> & c]]></EN></k></S></P>", "S", "k", "EN", "a <b> & c"},
        {"character references", "<P><S><k><EN>E&amp;xit &#x10D;</EN></k></S></P>", "S", "k", "EN", "E&xit č"},
        {"code not in JAZYKY", "<P><JAZYKY><EN index='1'><a>x</a><b/><c/></EN></JAZYKY><S><k><XX>x</XX></k></S></P>",
         "S", "k", "XX", "x"},
        {"empty language code", "<P><S><k><EN>Exit</EN></k></S></P>", "S", "k", "", "default"},
        {"comment beside the text element", "<P><S><k><!-- c --><EN>Exit</EN></k></S></P>", "S", "k", "EN", "Exit"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.Popis);
        const QDomDocument d = Dokument(Hlavicka + p.Xml);
        TJazykXML jazyk;
        jazyk.Jazyk = QString::fromUtf8(p.Jazyk);
        jazyk.Dokument = &d;
        EXPECT_EQ(jazyk.DejText(QString::fromUtf8(p.Sekce), QString::fromUtf8(p.Klic), QStringLiteral("default")),
                  QString::fromUtf8(p.Ocekavany));
    }
}

TEST(JazykovySoubor, TextKteryNeniProstymTextemJeChyba) {
    const std::pair<const char*, std::string> pripady[] = {
        {"child element", "<P><S><k><EN><b>Exit</b></EN></k></S></P>"},
        {"text split by a comment", "<P><S><k><EN>Ex<!-- c -->it</EN></k></S></P>"},
        {"comment alone", "<P><S><k><EN><!-- c --></EN></k></S></P>"},
        {"text and CDATA", "<P><S><k><EN>Ex<![CDATA[it]]></EN></k></S></P>"},
    };
    for (const auto& [popis, xml] : pripady) {
        SCOPED_TRACE(popis);
        const QDomDocument d = Dokument(Hlavicka + xml);
        TJazykXML jazyk;
        jazyk.Jazyk = QStringLiteral("EN");
        jazyk.Dokument = &d;
        try {
            jazyk.DejText(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("default"));
            ADD_FAILURE() << "no error";
        } catch (const TChyba& e) {
            EXPECT_STREQ(e.what(), "The element \"S/k/EN\" of the language file does not contain a single text node");
        }
        // Another language of the same key is not affected.
        jazyk.Jazyk = QStringLiteral("DE");
        EXPECT_EQ(jazyk.DejText(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("default")), u"default");
    }
}

TEST(JazykovySoubor, HledaniNicNepridava) {
    TDocasnaSlozka slozka;
    const std::string xml = Hlavicka + "<P><S><k><EN>Exit</EN></k></S></P>\n";
    TDocasnaSlozka::Zapsat(slozka / "tarvik.xml", xml);
    TXMLDokument soubor(QString::fromStdString((slozka / "tarvik.xml").string()));
    ASSERT_TRUE(soubor.SouborExistuje());
    soubor.Nacist();
    const QString pred = soubor.Dokument().toString();
    TJazykXML jazyk;
    jazyk.Dokument = &soubor.Dokument();
    for (const char* kod : {"EN", "DE", "CZ"}) {
        jazyk.Jazyk = QString::fromLatin1(kod);
        for (const char* sekce : {"S", "T", "Obecne"})
            for (const char* klic : {"k", "m", "rsCHYBA"})
                jazyk.DejText(QString::fromLatin1(sekce), QString::fromLatin1(klic), QStringLiteral("x"));
    }
    QTreeWidget seznam;
    jazyk.NaplnJazyky(&seznam);
    EXPECT_EQ(soubor.Dokument().toString(), pred);
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "tarvik.xml"), xml);
}

TEST(JazykovySoubor, Nacteni) {
    TDocasnaSlozka slozka;
    // A folder of that name is no language file.
    std::filesystem::create_directory(slozka / "slozka.xml");
    EXPECT_FALSE(TXMLDokument(QString::fromStdString((slozka / "slozka.xml").string())).SouborExistuje());
    EXPECT_FALSE(TXMLDokument(QString::fromStdString((slozka / "zadny.xml").string())).SouborExistuje());

    // Not well-formed: the reason names the file and the place.
    TDocasnaSlozka::Zapsat(slozka / "tarvik.xml", Hlavicka + "<P><S></P>");
    TXMLDokument spatny(QString::fromStdString((slozka / "tarvik.xml").string()));
    try {
        spatny.Nacist();
        ADD_FAILURE() << "loaded";
    } catch (const TChyba& e) {
        const std::string zprava = e.what();
        EXPECT_NE(zprava.find("tarvik.xml\" is not well-formed XML"), std::string::npos) << zprava;
        EXPECT_NE(zprava.find("line 2"), std::string::npos) << zprava;
    }
    EXPECT_FALSE(spatny.Nacteno());

    // The encoding its declaration names.
    TDocasnaSlozka::Zapsat(slozka / "cp1250.xml",
                           "<?xml version='1.0' encoding='windows-1250'?><P><S><k><EN>\x9e\x6c\x75\x9d\x6f\x75\xe8\x6b\xfd</EN></k></S></P>");
    TXMLDokument cp1250(QString::fromStdString((slozka / "cp1250.xml").string()));
    cp1250.Nacist();
    TJazykXML jazyk;
    jazyk.Jazyk = QStringLiteral("EN");
    jazyk.Dokument = &cp1250.Dokument();
    EXPECT_EQ(jazyk.DejText(QStringLiteral("S"), QStringLiteral("k"), {}), u"žluťoučký");
}

TEST(JazykovySoubor, Entity) {
    TDocasnaSlozka slozka;
    TDocasnaSlozka::Zapsat(slozka / "tajne.txt", "TAJNE");
    const std::string adresa = "file://" + (slozka / "tajne.txt").string();

    // An external entity is never fetched: its reference reads as nothing.
    const QDomDocument d = Dokument(Hlavicka + "<!DOCTYPE P [<!ENTITY t SYSTEM '" + adresa +
                                    "'><!ENTITY v 'inner'>]>\n<P><S><k><EN>&t;</EN></k><m><EN>a &v; b</EN></m></S></P>");
    EXPECT_FALSE(d.toString().contains(u"TAJNE"));
    TJazykXML jazyk;
    jazyk.Jazyk = QStringLiteral("EN");
    jazyk.Dokument = &d;
    EXPECT_EQ(jazyk.DejText(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("default")), u"default");
    // An internal one expands.
    EXPECT_EQ(jazyk.DejText(QStringLiteral("S"), QStringLiteral("m"), QStringLiteral("default")), u"a inner b");

    // An external document type is not fetched either.
    const QDomDocument externi =
        Dokument(Hlavicka + "<!DOCTYPE P SYSTEM '" + adresa + "'>\n<P><S><k><EN>Exit</EN></k></S></P>");
    EXPECT_FALSE(externi.toString().contains(u"TAJNE"));

    // Entities that would expand without bound are refused at once.
    std::string vnorene = Hlavicka + "<!DOCTYPE P [<!ENTITY a0 'lol'>";
    for (int i = 1; i < 10; ++i) {
        vnorene += "<!ENTITY a" + std::to_string(i) + " '";
        for (int j = 0; j < 10; ++j) vnorene += "&a" + std::to_string(i - 1) + ";";
        vnorene += "'>";
    }
    vnorene += "]><P><S><k><EN>&a9;</EN></k></S></P>";
    const std::string velka(4000, 'x');
    std::string odkazy;
    for (int i = 0; i < 50000; ++i) odkazy += "&a;";
    const std::string opakovane =
        Hlavicka + "<!DOCTYPE P [<!ENTITY a '" + velka + "'>]><P><S><k><EN>" + odkazy + "</EN></k></S></P>";
    std::string prvky;
    for (int i = 0; i < 50000; ++i) prvky += "<q/>";
    const std::string vychozi = Hlavicka + "<!DOCTYPE P [<!ENTITY a '" + velka + "'><!ATTLIST q v CDATA '&a;'>]><P>" +
                                prvky + "</P>";
    const std::string smycka = Hlavicka + "<!DOCTYPE P [<!ENTITY a '&b;'><!ENTITY b '&a;'>]><P>&a;</P>";
    for (const auto& [popis, xml] : {std::pair{"nested", vnorene}, std::pair{"repeated", opakovane},
                                     std::pair{"default attribute", vychozi}, std::pair{"loop", smycka}}) {
        SCOPED_TRACE(popis);
        QElapsedTimer cas;
        cas.start();
        const std::string zprava = ChybaNacteni(xml);
        EXPECT_NE(zprava.find("tarvik.xml"), std::string::npos) << zprava;
        EXPECT_LT(cas.elapsed(), 2000);
    }
}

std::string Opakovat(const std::string& s, int n) {
    std::string v;
    v.reserve(s.size() * static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) v += s;
    return v;
}

// n entities, each but the first referring to the one before.
std::string RetezEntit(int n) {
    std::string v = "<!ENTITY e0 'x'>";
    for (int i = 1; i < n; ++i) v += "<!ENTITY e" + std::to_string(i) + " '&e" + std::to_string(i - 1) + ";'>";
    return v;
}

// n attributes a0="v" a1="v" ...
std::string Atributy(int n, const std::string& hodnota) {
    std::string v;
    for (int i = 0; i < n; ++i) {
        v += 'a';
        v += std::to_string(i);
        v += "=\"";
        v += hodnota;
        v += "\" ";
    }
    return v;
}

// A text as UTF-16 LE with its mark.
std::string Utf16(const std::string& ascii) {
    std::string v = "\xFF\xFE";
    for (char c : ascii) {
        v.push_back(c);
        v.push_back('\0');
    }
    return v;
}

TEST(JazykovySoubor, SouborPresMezeSeOdmitne) {
    // Files that would crash the program, hang the parser or make windows
    // that the window system refuses: each is refused before it is parsed,
    // and the reason says why.
    const auto text = [](std::size_t delka) {
        return Hlavicka + "<P><S><k><EN>" + std::string(delka, 'x') + "</EN></k></S></P>";
    };
    struct Pripad {
        const char* popis;
        std::string xml;
        std::string duvod;
    };
    const Pripad pripady[] = {
        {"80,000 chained entities", Hlavicka + "<!DOCTYPE P [" + RetezEntit(80000) + "]><P>&e79999;</P>",
         "is larger than 1048576 bytes"},
        {"257 chained entities", Hlavicka + "<!DOCTYPE P [" + RetezEntit(257) + "]><P>&e256;</P>",
         "declares more than 256 entities"},
        {"60,000 levels", Hlavicka + Opakovat("<a>", 60000) + Opakovat("</a>", 60000),
         "nests elements deeper than 64 levels (line 2)"},
        {"65 levels", Hlavicka + Opakovat("<a>", 65) + Opakovat("</a>", 65), "nests elements deeper than 64 levels (line 2)"},
        {"49 million characters", text(49000000), "is larger than 1048576 bytes"},
        {"1 MiB of blanks", Hlavicka + "<P>" + std::string(1024 * 1024, ' ') + "</P>", "is larger than 1048576 bytes"},
        {"a text", text(4097), "holds a text longer than 4096 characters (line 2)"},
        {"a text from an entity",
         Hlavicka + "<!DOCTYPE P [<!ENTITY d '" + std::string(3000, 'x') + "'>]><P><S><k><EN>&d;&d;</EN></k></S></P>",
         "holds a text longer than 4096 characters (line 2)"},
        {"an attribute", Hlavicka + "<P><JAZYKY><EN index='" + std::string(4097, '1') + "'/></JAZYKY></P>",
         "holds a text longer than 4096 characters (line 2)"},
        // Qt's reader takes the square of an element's attributes: minutes for 1 MiB of them.
        {"257 attributes", Hlavicka + "<P>\n<S " + Atributy(257, "") + "/></P>",
         "has an element with more than 256 attributes (line 3)"},
        {"1 MiB of attributes", Hlavicka + "<P><S " + Atributy(85000, "") + "/></P>",
         "has an element with more than 256 attributes (line 2)"},
        {"attributes in UTF-16", Utf16("<?xml version='1.0' encoding='UTF-16'?><P><S " + Atributy(300, "") + "/></P>"),
         "has an element with more than 256 attributes (line 1)"},
    };
    for (const auto& p : pripady)
        EXPECT_EQ(ChybaNacteni(p.xml), "The language file \"tarvik.xml\" " + p.duvod + "; it is not read") << p.popis;

    // Up to the limits, a file is read.
    TJazykXML jazyk;
    jazyk.Jazyk = QStringLiteral("EN");
    const QDomDocument nejdelsi = Dokument(text(4096));
    jazyk.Dokument = &nejdelsi;
    EXPECT_EQ(jazyk.DejText(QStringLiteral("S"), QStringLiteral("k"), {}), QString(4096, u'x'));
    const QDomDocument entity = Dokument(Hlavicka + "<!DOCTYPE P [" + RetezEntit(256) + "]><P><S><k><EN>&e255;</EN></k></S></P>");
    jazyk.Dokument = &entity;
    EXPECT_EQ(jazyk.DejText(QStringLiteral("S"), QStringLiteral("k"), {}), u"x");
    EXPECT_EQ(ChybaNacteni(Hlavicka + Opakovat("<a>", 64) + Opakovat("</a>", 64)), "(loaded)");
    // 256 attributes an element; "=", ">" and quotes in their values, and "=" in comments, count for nothing.
    std::string vsude = Hlavicka + "<P><!-- a=b c=d -->";
    while (vsude.size() < 1000000) vsude += "<S " + Atributy(256, "=>") + "/>";
    EXPECT_EQ(ChybaNacteni(vsude + "<S " + Atributy(256, "'") + "/></P>"), "(loaded)");
    EXPECT_EQ(ChybaNacteni(Utf16("<P><S " + Atributy(256, "=") + "/></P>")), "(loaded)");
#ifndef _WIN32
    // Its size is known before the bytes are read: what never ends is not read to its end.
    TXMLDokument nekonecny(QStringLiteral("/dev/zero"));
    try {
        nekonecny.Nacist();
        ADD_FAILURE() << "/dev/zero loaded";
    } catch (const TChyba& e) {
        EXPECT_STREQ(e.what(), "The language file \"/dev/zero\" is larger than 1048576 bytes; it is not read");
    }
#endif
}

// ---------------------------------------------------------------- the language list

struct TRadek {
    std::string Kod, Nazev, Verze, Autor;
    int Obrazek;
};

std::vector<TRadek> Radky(const QTreeWidget& s) {
    std::vector<TRadek> radky;
    for (int i = 0; i < s.topLevelItemCount(); ++i) {
        const QTreeWidgetItem* r = s.topLevelItem(i);
        radky.push_back({r->text(0).toStdString(), r->text(1).toStdString(), r->text(2).toStdString(),
                         r->text(3).toStdString(), IndexObrazkuRadku(r)});
    }
    return radky;
}

int VybranyRadek(const QTreeWidget& s) {
    const auto vybrane = s.selectedItems();
    return vybrane.isEmpty() ? -1 : s.indexOfTopLevelItem(vybrane.front());
}

const std::string Jazyky = Hlavicka +
                           "<P>\n"
                           "  <S/>\n"
                           "  <JAZYKY>\n"
                           "    <!-- the built-in language -->\n"
                           "    <CZ index='0'><Jmeno>Čeština</Jmeno><Verze>1.0</Verze><Autor>A</Autor></CZ>\n"
                           "    <?note?>\n"
                           "    <EN index=' 4 '>\n      <N>English</N>\n      <V>1.1</V>\n      <A>B</A>\n    </EN>\n"
                           "    <!-- more -->\n"
                           "    <de index='3'><N>Deutsch</N><V/><A>C</A><X>extra</X></de>\n"
                           "  </JAZYKY>\n"
                           "  <JAZYKY><FR index='4'><N>Français</N><V>1</V><A>D</A></FR></JAZYKY>\n"
                           "</P>";

TEST(JazykovySoubor, NaplnJazyky) {
    const QDomDocument d = Dokument(Jazyky);
    TJazykXML jazyk;
    jazyk.Dokument = &d;
    QTreeWidget seznam;
    seznam.setColumnCount(4);
    const QVariantList obrazky{QVariant::fromValue(QIcon()), QVariant::fromValue(QIcon())};
    seznam.setProperty("smallImages", obrazky);

    jazyk.NaplnJazyky(&seznam);
    const auto radky = Radky(seznam);
    ASSERT_EQ(radky.size(), 3u);
    EXPECT_EQ(radky[0].Kod, "CZ");
    EXPECT_EQ(radky[0].Nazev, "Čeština");
    EXPECT_EQ(radky[0].Obrazek, 0);
    EXPECT_EQ(radky[1].Kod, "EN");
    EXPECT_EQ(radky[1].Verze, "1.1");
    EXPECT_EQ(radky[1].Autor, "B");
    EXPECT_EQ(radky[1].Obrazek, 4);
    EXPECT_EQ(radky[2].Kod, "de");
    EXPECT_EQ(radky[2].Verze, "");
    EXPECT_EQ(radky[2].Obrazek, 3);

    // The current language's row, letter case ignored; none when unlisted.
    const std::pair<const char*, int> vyber[] = {{"CZ", 0}, {"en", 1}, {"DE", 2}, {"FR", -1}, {"", -1}};
    for (const auto& [kod, radek] : vyber) {
        SCOPED_TRACE(kod);
        jazyk.Jazyk = QString::fromUtf8(kod);
        jazyk.NaplnJazyky(&seznam);
        EXPECT_EQ(seznam.topLevelItemCount(), 3);
        EXPECT_EQ(VybranyRadek(seznam), radek);
    }
}

TEST(JazykovySoubor, NaplnJazykyBezSeznamu) {
    const QDomDocument d = Dokument(Hlavicka + "<P><S><k><EN>x</EN></k></S><jazyky><CZ index='0'><a/><b/><c/></CZ></jazyky></P>");
    TJazykXML jazyk;
    jazyk.Dokument = &d;
    QTreeWidget seznam;
    new QTreeWidgetItem(&seznam, QStringList{QStringLiteral("old")});
    jazyk.NaplnJazyky(&seznam);
    EXPECT_EQ(seznam.topLevelItemCount(), 0);
}

TEST(JazykovySoubor, NaplnJazykyChyby) {
    struct TPripad {
        const char* Popis;
        const char* Jazyk;
        const char* Zprava;
    };
    const TPripad pripady[] = {
        {"two children", "<EN index='1'><a>x</a><b/></EN>",
         "The language \"EN\" of the language file has 2 child nodes instead of three (name, version, author)"},
        {"no index", "<EN><a>x</a><b/><c/></EN>",
         "The language \"EN\" of the language file has no whole number in its attribute index (\"\")"},
        {"index no number", "<EN index='1a'><a>x</a><b/><c/></EN>",
         "The language \"EN\" of the language file has no whole number in its attribute index (\"1a\")"},
        {"name not plain text", "<EN index='1'><a>x<i/></a><b/><c/></EN>",
         "The element \"JAZYKY/EN\" of the language file does not contain a single text node"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.Popis);
        const QDomDocument d = Dokument(Hlavicka + "<P><JAZYKY><CZ index='0'><a>Čeština</a><b/><c/></CZ>" + p.Jazyk +
                                        "<SK index='2'><a/><b/><c/></SK></JAZYKY></P>");
        TJazykXML jazyk;
        jazyk.Dokument = &d;
        QTreeWidget seznam;
        seznam.setColumnCount(4);
        try {
            jazyk.NaplnJazyky(&seznam);
            ADD_FAILURE() << "no error";
        } catch (const TChyba& e) {
            EXPECT_STREQ(e.what(), p.Zprava);
        }
        // The rows before the failing language stay; nothing after it is read.
        ASSERT_GE(seznam.topLevelItemCount(), 1);
        EXPECT_EQ(seznam.topLevelItem(0)->text(1), u"Čeština");
        EXPECT_LE(seznam.topLevelItemCount(), 2);
    }
}

}  // namespace
