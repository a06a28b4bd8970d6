// The language file read without Qt: what it gives, what it refuses and why,
// and its limits. (That it agrees with the window's reader on any input is
// the fuzz target fuzz_jazyk's.)
#include "katalog/JazykovySoubor.h"
#include "platform/Kodovani.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

// A file with one text: Obecne/rsCHYBA/EN holds obsah.
std::string SJednimTextem(const std::string& obsah) {
    return "<Preklad><Obecne><rsCHYBA><EN>" + obsah + "</EN></rsCHYBA></Obecne></Preklad>";
}

std::string Opakovat(const std::string& s, std::size_t n) {
    std::string v;
    for (std::size_t i = 0; i < n; ++i) v += s;
    return v;
}

// What the reader makes of bytes: the text of Obecne/rsCHYBA/EN, "(none)",
// "(lookup fails)", or "(refused)" / "(not taken)".
std::string Vysledek(const std::string& bajty) {
    try {
        const TJazykovySoubor s = TJazykovySoubor::Precist(bajty, u"t.xml");
        try {
            const auto text = s.Text("Obecne", "rsCHYBA", "EN");
            return text ? DoUtf8(*text) : "(none)";
        } catch (const TChyba& e) {
            EXPECT_NE(DoUtf8(e.Zprava()).find("Obecne/rsCHYBA/EN"), std::string::npos) << DoUtf8(e.Zprava());
            return "(lookup fails)";
        }
    } catch (const TOdmitnutyJazykovySoubor& e) {
        EXPECT_EQ(DoUtf8(e.Zprava()).rfind("The language file \"t.xml\" ", 0), 0u) << DoUtf8(e.Zprava());
        return e.Nepodporovany() ? "(not taken)" : "(refused)";
    }
}

TEST(JazykovySouborBezQt, TextyJakoOkno) {
    const struct {
        const char* nazev;
        std::string bajty;
        std::string vysledek;
    } pripady[] = {
        {"plain", SJednimTextem("Error"), "Error"},
        {"entities and character references", SJednimTextem("a&amp;b&lt;&gt;&apos;&quot;&#x41;&#66;&#x1F600;"),
         "a&b<>'\"AB\xF0\x9F\x98\x80"},
        {"line breaks read as LF, a referenced CR kept", SJednimTextem("a\r\nb\rc&#13;"), "a\nb\nc\r"},
        {"blanks around a text kept", SJednimTextem("  x  "), "  x  "},
        {"CDATA", SJednimTextem("<![CDATA[<b>&amp;</b>]]>"), "<b>&amp;</b>"},
        {"blanks around CDATA dropped", SJednimTextem("\n  <![CDATA[x]]>\n  "), "x"},
        {"a blank CDATA is a text", SJednimTextem("<![CDATA[ ]]>"), " "},
        {"blanks only: none", SJednimTextem(" \t\r\n "), "(none)"},
        {"no-break spaces only: none, as Qt drops them", SJednimTextem("&#160;\xE2\x80\x83&#x3000;"), "(none)"},
        {"empty", SJednimTextem(""), "(none)"},
        {"empty CDATA", SJednimTextem("<![CDATA[]]>"), "(none)"},
        {"no such language", "<P><Obecne><rsCHYBA><DE>Fehler</DE></rsCHYBA></Obecne></P>", "(none)"},
        {"the first of each name", "<P><Obecne><rsCHYBA><EN>1</EN><EN>2</EN></rsCHYBA><rsCHYBA><EN>3</EN></rsCHYBA>"
                                   "</Obecne><Obecne/></P>", "1"},
        {"a comment inside", SJednimTextem("a<!--c-->b"), "(lookup fails)"},
        {"text and CDATA", SJednimTextem("a<![CDATA[b]]>"), "(lookup fails)"},
        {"an element inside", SJednimTextem("<b>x</b>"), "(lookup fails)"},
        {"an instruction inside", SJednimTextem("<?p x?>"), "(lookup fails)"},
        {"declaration, mark, comments and instructions around",
         "\xEF\xBB\xBF<?xml version='1.0' encoding='utf-8' standalone=\"yes\" ?>\n<!-- c --><?p?>\n" +
             SJednimTextem("x") + "\n<!-- d --> <?q r?>\n", "x"},
        {"attributes", "<P a=\"&lt;1&gt;\" b='\"'><Obecne x=\"1\"><rsCHYBA><EN y=''>x</EN></rsCHYBA></Obecne></P>", "x"},
        {"names with '_', '-' and '.'", "<P><Obecne><rsCHYBA><EN>x</EN></rsCHYBA><a-b.c_d/></Obecne></P>", "x"},
        // Not well-formed: refused as the window refuses it.
        {"tags that do not match", "<P><Obecne></P></Obecne>", "(refused)"},
        {"not closed", "<P><Obecne>", "(refused)"},
        {"two roots", "<P/><Q/>", "(refused)"},
        {"text after the root", "<P/>x", "(refused)"},
        {"text before the root", "x<P/>", "(refused)"},
        {"nothing", "", "(refused)"},
        {"an undeclared entity", SJednimTextem("&nbsp;"), "(refused)"},
        {"a reference to no character", SJednimTextem("&#1;"), "(refused)"},
        {"a reference to a surrogate", SJednimTextem("&#xD800;"), "(refused)"},
        {"an uppercase X in a reference", SJednimTextem("&#X41;"), "(refused)"},
        {"a reference without ';'", SJednimTextem("&#65"), "(refused)"},
        {"a control character", SJednimTextem("a\x01"), "(refused)"},
        {"bytes that are not UTF-8", SJednimTextem("\xC3"), "(refused)"},
        {"an overlong form", SJednimTextem("\xC0\xAF"), "(refused)"},
        {"U+FFFE", SJednimTextem("\xEF\xBF\xBE"), "(refused)"},
        {"']]>' in a text", SJednimTextem("a]]>b"), "(refused)"},
        {"'--' in a comment", SJednimTextem("<!-- a -- b -->"), "(refused)"},
        {"an attribute twice", "<P a=\"1\" a=\"2\"/>", "(refused)"},
        {"attributes without a blank between", "<P a=\"1\"b=\"2\"/>", "(refused)"},
        {"'<' in an attribute", "<P a=\"<\"/>", "(refused)"},
        {"an unquoted attribute", "<P a=1/>", "(refused)"},
        {"XML 1.1", "<?xml version=\"1.1\"?><P/>", "(refused)"},
        {"a declaration after the start", " <?xml version=\"1.0\"?><P/>", "(refused)"},
        {"an instruction named xml", "<P><?XmL x?></P>", "(refused)"},
        {"standalone other than yes or no", "<?xml version=\"1.0\" standalone=\"YES\"?><P/>", "(refused)"},
        {"a name starting with a digit", "<1P/>", "(refused)"},
        // Well-formed perhaps, but not what the batch tool reads.
        {"a document type", "<!DOCTYPE P [<!ENTITY e \"x\">]>" + SJednimTextem("&e;"), "(not taken)"},
        {"another encoding", "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>" + SJednimTextem("\xE8"), "(not taken)"},
        {"UTF-16 with its mark", std::string("\xFF\xFE<\0P\0/\0>\0", 10), "(not taken)"},
        {"UTF-16 without a mark", std::string("<\0P\0/\0>\0", 8), "(not taken)"},
        {"a name with ':'", "<P><a:b/></P>", "(not taken)"},
        {"a name beyond ASCII", "<P><Čeština/></P>", "(not taken)"},
        {"an attribute name Qt reads more loosely", "<P a$=\"1\"/>", "(not taken)"},
    };
    for (const auto& p : pripady) EXPECT_EQ(Vysledek(p.bajty), p.vysledek) << p.nazev;
}

// The window's limits: each one right at it is read, one past it refused.
TEST(JazykovySouborBezQt, Meze) {
    const std::string smajlik = "\xF0\x9F\x98\x80";  // two UTF-16 units
    const auto atributy = [](int n) {
        std::string prvek = "<a";
        for (int i = 0; i < n; ++i) prvek += " a" + std::to_string(i) + "=\"x\"";
        return prvek + "/>";
    };
    const struct {
        const char* nazev;
        std::string uvnitr;  // what Obecne/rsCHYBA/EN holds (the root is level 1, EN level 4)
        bool precteno;
    } pripady[] = {
        {"64 levels", Opakovat("<a>", 60) + Opakovat("</a>", 60), true},
        {"65 levels", Opakovat("<a>", 61) + Opakovat("</a>", 61), false},
        {"65 levels, the last one empty", Opakovat("<a>", 60) + "<a/>" + Opakovat("</a>", 60), false},
        {"a text of 4096", Opakovat("x", 4096), true},
        {"a text of 4097", Opakovat("x", 4097), false},
        {"4096 units, each character two", Opakovat(smajlik, 2048), true},
        {"4097 units, each character but one two", Opakovat(smajlik, 2048) + "x", false},
        {"references count as what they stand for", Opakovat("&amp;", 4096), true},
        {"a CR LF counts as one", Opakovat("\r\n", 4096), true},
        {"text and CDATA count together", Opakovat("x", 2048) + "<![CDATA[" + Opakovat("y", 2049) + "]]>", false},
        {"a comment starts a new text", Opakovat("x", 3000) + "<!---->" + Opakovat("y", 3000), true},
        {"blanks count too", "<a/>" + Opakovat(" ", 4097) + "<a/>", false},
        {"an attribute of 4096", "<a b=\"" + Opakovat("x", 4096) + "\"/>", true},
        {"an attribute of 4097", "<a b='" + Opakovat("x", 4097) + "'/>", false},
        {"a name of 4096", "<" + Opakovat("n", 4096) + "/>", true},
        {"a name of 4097", "<" + Opakovat("n", 4097) + "/>", false},
        {"an element of 256 attributes", atributy(256), true},
        {"an element of 257 attributes", atributy(257), false},
    };
    for (const auto& p : pripady) {
        const std::string v = Vysledek(SJednimTextem(p.uvnitr));
        EXPECT_EQ(v != "(refused)", p.precteno) << p.nazev << ": " << v;
    }
}

TEST(JazykovySouborBezQt, VelikostPredCtenim) {
    TDocasnaSlozka slozka;
    // Comments fill the file: past 1 MiB it is refused, however well-formed.
    const std::string zacatek = SJednimTextem("x") + "<!--";
    const auto soubor = [&](std::size_t velikost) {
        const auto p = slozka / ("s" + std::to_string(velikost) + ".xml");
        TDocasnaSlozka::Zapsat(p, zacatek + std::string(velikost - zacatek.size() - 3, 'c') + "-->");
        return p;
    };
    const auto mez = static_cast<std::size_t>(TJazykovySoubor::MezVelikosti);
    EXPECT_EQ(TJazykovySoubor::Nacist(soubor(mez)).Text("Obecne", "rsCHYBA", "EN"), u"x");
    try {
        TJazykovySoubor::Nacist(soubor(mez + 1));
        ADD_FAILURE() << "a file past 1 MiB was read";
    } catch (const TOdmitnutyJazykovySoubor& e) {
        EXPECT_NE(DoUtf8(e.Zprava()).find("is larger than 1048576 bytes"), std::string::npos) << DoUtf8(e.Zprava());
    }
    EXPECT_THROW(TJazykovySoubor::Precist(std::string(mez + 1, ' '), u"t.xml"), TOdmitnutyJazykovySoubor);
    // A file that cannot be opened says so.
    try {
        TJazykovySoubor::Nacist(slozka / "chybi.xml");
        ADD_FAILURE() << "a missing file was read";
    } catch (const TChyba& e) {
        EXPECT_NE(DoUtf8(e.Zprava()).find("chybi.xml"), std::string::npos) << DoUtf8(e.Zprava());
    }
}

TEST(JazykovySouborBezQt, Jazyky) {
    const struct {
        std::string bajty;
        std::vector<std::string> kody;
    } pripady[] = {
        {"<P><JAZYKY><CZ index=\"0\"/><!--x--><EN>a</EN> <XX/></JAZYKY><JAZYKY><DE/></JAZYKY></P>", {"CZ", "EN", "XX"}},
        {"<P><Obecne/></P>", {}},
        {"<JAZYKY><EN/></JAZYKY>", {}},  // the root itself is not the list
    };
    for (const auto& p : pripady) EXPECT_EQ(TJazykovySoubor::Precist(p.bajty, u"t.xml").Jazyky(), p.kody) << p.bajty;
}

}  // namespace
