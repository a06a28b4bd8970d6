// The batch tool speaks the language the window would: --lang, else the one
// chosen in the window (stored with the settings), else the locale's, else
// Czech; its help, messages and refusals in
// each of the six languages, and the fallbacks when a language cannot be used.
#include "cli/Davka.h"
#include "cli/Napoveda.h"
#include "katalog/TextyDavky.h"
#include "../support/DavkaVTestu.h"
#include "../support/DocasnaSlozka.h"
#include "../support/ZkusebniUloziste.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class JazykDavky : public ::testing::Test {
protected:
    JazykDavky() {
        prostredi.SouborTypu = uloziste.Slozka() / "files.ftd";
        TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n");
        prostredi.Registr = [this] { return uloziste.Otevrit(); };
        prostredi.KlicNastaveni = uloziste.Koren();
        prostredi.SouborJazyku = TARVIK_JAZYKY_XML;
        bezCisel = (uloziste.Slozka() / "bez.nc").string();
        TDocasnaSlozka::Zapsat(bezCisel, "%\nG0 X1\nM30\n");
    }
    ~JazykDavky() override { NastavitJazyk("CZ", {}); }
    int Spustit(std::vector<std::string> argumenty) {
        vystup = TZachycenyVystup();
        return SpustitDavku(argumenty, prostredi, vystup);
    }
    // The language the window stored (nothing: none stored).
    void Ulozit(const std::u16string& jazyk) {
        auto r = uloziste.Otevrit();
        r->SmazatKlic(uloziste.Koren());
        if (jazyk.empty()) return;
        ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), true));
        r->ZapsatRetezec(u"Jazyk", jazyk);
        r->ZavritKlic();
    }

    TZkusebniUloziste uloziste;
    TProstrediDavky prostredi;
    TZachycenyVystup vystup;
    std::string bezCisel;
};

// Each language: the head of the help, a refusal (a message of the window's
// catalogue), a usage error and its pointer to the help, the folder mode's
// word for a program done, a file that cannot be opened (all of it in the
// language, the system's reason too); chosen by --lang and by the stored
// choice.
TEST_F(JazykDavky, SestJazyku) {
    const struct {
        const char16_t* kod;
        const char* pouziti;
        const char* odmitnuti;
        const char* chybaPouziti;
        const char* zkusit;
        const char* hotovo;
        const char* preskocen;
        const char* nelzeOtevrit;  // rsNELZEOTEVRIT
        const char* nenalezen;     // the reason
    } pripady[] = {
        {u"CZ", "Použití: tarvik-cli count|", "Informace: Program neobsahuje žádné NC bloky.\n",
         "tarvik-cli: neznámý příkaz 'x'", "Více řekne 'tarvik-cli --help'.", "hotovo", "přeskočen",
         "Nelze otevřít soubor", "Soubor nebo složka neexistuje."},
        {u"EN", "Usage: tarvik-cli count|", "Information: The program contains no NC block numbers.\n",
         "tarvik-cli: unknown command 'x'", "Try 'tarvik-cli --help' for more information.", "done", "skipped",
         "Cannot open file", "No such file or folder."},
        {u"SK", "Použitie: tarvik-cli count|", "Informácia: Program neobsahuje žiadne NC bloky.\n",
         "tarvik-cli: neznámy príkaz 'x'", "Viac povie 'tarvik-cli --help'.", "hotovo", "preskočený",
         "Nedá sa otvoriť súbor", "Súbor alebo priečinok neexistuje."},
        {u"DE", "Aufruf: tarvik-cli count|", "Information: Das Programm enthält keine Satznummern.\n",
         "tarvik-cli: unbekannter Befehl 'x'", "Mehr dazu mit 'tarvik-cli --help'.", "fertig", "übersprungen",
         "Datei kann nicht geöffnet werden", "Die Datei oder der Ordner existiert nicht."},
        {u"FR", "Usage : tarvik-cli count|", "Information: Le programme ne contient aucun numéro de bloc.\n",
         "tarvik-cli: commande inconnue 'x'", "Essayez 'tarvik-cli --help' pour en savoir plus.", "fait", "ignoré",
         "Impossible d'ouvrir le fichier", "Le fichier ou le dossier n'existe pas."},
        {u"ES", "Uso: tarvik-cli count|", "Información: El programa no contiene números de bloque.\n",
         "tarvik-cli: orden desconocida 'x'", "Pruebe 'tarvik-cli --help' para más información.", "hecho", "omitido",
         "No se puede abrir el archivo", "El archivo o la carpeta no existe."},
    };
    const std::string chybi = (uloziste.Slozka() / "chybi.nc").string();
    for (const auto& p : pripady) {
        const std::string kod = DoUtf8(p.kod);
        for (const bool ulozeny : {false, true}) {
            SCOPED_TRACE(kod + (ulozeny ? " stored" : " by --lang"));
            // The option wins over a stored choice.
            Ulozit(ulozeny ? p.kod : u"DE");
            const auto s = [&](std::vector<std::string> a) {
                if (!ulozeny) a.insert(a.begin(), {"--lang", kod});
                return Spustit(a);
            };
            EXPECT_EQ(s({"--help"}), 0);
            EXPECT_TRUE(vystup.program.starts_with(p.pouziti)) << vystup.program.substr(0, 80);
            EXPECT_EQ(vystup.hlaseni, "");
            EXPECT_EQ(s({"renumber", bezCisel}), 1);
            EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n') + 1), p.odmitnuti);
            EXPECT_EQ(s({"x"}), 2);
            EXPECT_EQ(vystup.hlaseni, std::string(p.chybaPouziti) + "\n" + p.zkusit + "\n");
            EXPECT_EQ(TextStavu(TStavProgramu::Hotovo), p.hotovo);
            EXPECT_EQ(TextStavu(TStavProgramu::Preskocen), p.preskocen);
            EXPECT_EQ(s({"count", chybi}), 2);
            EXPECT_EQ(vystup.hlaseni, "tarvik-cli: " + std::string(p.nelzeOtevrit) + " \"" + chybi + "\". " + p.nenalezen + "\n");
        }
    }
}

// The locale speaks while no language was chosen; a choice stored by the
// window and --lang win over it. A locale's language that cannot be used
// falls back on Czech without a warning; a chosen one is warned of.
TEST_F(JazykDavky, JazykProstredi) {
    const struct {
        const char* popis;
        std::optional<std::string> prostredi;
        std::u16string ulozeny;
        std::vector<std::string> volba;
        bool sJazykovymSouborem;
        const char* pouziti;  // the head of the help
        bool varovani;
    } pripady[] = {
        {"the locale", "EN", u"", {}, true, "Usage:", false},
        {"no locale of ours", std::nullopt, u"", {}, true, "Použití:", false},
        {"the stored choice over the locale", "EN", u"FR", {}, true, "Usage :", false},
        {"a stored Czech over the locale", "DE", u"CZ", {}, true, "Použití:", false},
        {"--lang over both", "EN", u"FR", {"--lang", "DE"}, true, "Aufruf:", false},
        {"the locale without a language file", "EN", u"", {}, false, "Použití:", false},
        {"the stored choice without a language file", "EN", u"SK", {}, false, "Použití:", true},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.popis);
        Ulozit(p.ulozeny);
        prostredi.JazykZProstredi = p.prostredi;
        prostredi.SouborJazyku = p.sJazykovymSouborem ? fs::path(TARVIK_JAZYKY_XML) : fs::path();
        std::vector<std::string> argumenty = p.volba;
        argumenty.push_back("--help");
        EXPECT_EQ(Spustit(argumenty), 0);
        EXPECT_TRUE(vystup.program.starts_with(p.pouziti)) << vystup.program.substr(0, 40);
        EXPECT_EQ(vystup.hlaseni.empty(), !p.varovani) << vystup.hlaseni;
    }
}

// The help of every language: lines under 80 columns, none starting with
// punctuation, every option named as it is typed, the paragraphs all there.
TEST_F(JazykDavky, NapovedaVeVsechJazycich) {
    NastavitJazyk("CZ", {});
    const std::string cesky = NapovedaDavky();
    for (const char* kod : {"CZ", "EN", "SK", "DE", "FR", "ES"}) {
        SCOPED_TRACE(kod);
        ASSERT_TRUE(NastavitJazyk(kod, TARVIK_JAZYKY_XML).empty());
        const std::string napoveda = NapovedaDavky();
        std::size_t radku = 0, odstavcu = 0;
        for (std::size_t od = 0; od < napoveda.size(); ++radku) {
            const std::size_t konec = napoveda.find('\n', od);
            const std::string radek = napoveda.substr(od, konec - od);
            EXPECT_LT(ZUtf8(radek).size(), 80u) << radek;
            EXPECT_EQ(radek.find_last_not_of(' '), radek.empty() ? std::string::npos : radek.size() - 1) << radek;
            // (French puts a blank before ':' and ';', which never start a line.)
            const std::size_t prvni = radek.find_first_not_of(' ');
            if (prvni != std::string::npos) {
                EXPECT_EQ(std::string_view(":;!?").find(radek[prvni]), std::string_view::npos) << radek;
            }
            if (radek.empty()) ++odstavcu;
            od = konec + 1;
        }
        EXPECT_GT(radku, 60u);
        EXPECT_EQ(odstavcu, 10u);
        for (const char* volba : {"\n  count ", "\n  refs ", "\n  -t, --type NAME ", "\n  --update-references ", "\n  --references LIST ",
                                  "\n  -o OUT ", "\n  --lang CODE ", "\n  -h, --help "})
            EXPECT_NE(napoveda.find(volba), std::string::npos) << volba;
        if (std::string(kod) != "CZ") {
            EXPECT_NE(napoveda, cesky);
        }
    }
}

// A language that cannot be used: a warning in Czech, the run in Czech, its
// exit code as it would be.
TEST_F(JazykDavky, Nahradni) {
    TDocasnaSlozka::Zapsat(uloziste.Slozka() / "vadny.xml", "<Preklad><Obecne>");
    const std::string cesky = "Informace: Program neobsahuje žádné NC bloky.\n";
    const struct {
        const char* nazev;
        std::u16string ulozeny;
        std::vector<std::string> volby;
        fs::path soubor;  // "-": the shipped one
        std::string varovani;
        std::string dalsi;  // the next line
    } pripady[] = {
        {"nothing stored: Czech", u"", {}, "-", "", cesky},
        {"an unknown code", u"", {"--lang", "XY"}, "-",
         "Varování: jazykový soubor nemá jazyk XY (má CZ, EN, SK, DE, FR, ES); platí vestavěné české texty.\n", cesky},
        {"an unknown stored code", u"Klingon", {}, "-",
         "Varování: jazykový soubor nemá jazyk Klingon (má CZ, EN, SK, DE, FR, ES); platí vestavěné české texty.\n",
         cesky},
        {"no language file", u"EN", {}, "",
         "Varování: jazyk EN nelze použít: nebyl nalezen jazykový soubor tarvik.xml; platí vestavěné české texty.\n",
         cesky},
        {"Czech needs no language file", u"CZ", {}, "", "", cesky},
        {"a language file that is not XML", u"", {"--lang=EN"}, uloziste.Slozka() / "vadny.xml",
         "Varování: The language file \"" + (uloziste.Slozka() / "vadny.xml").string() +
             "\" is not well-formed XML: Premature end of document (line 1, column 18); platí vestavěné české texty.\n",
         cesky},
        {"the last --lang wins", u"", {"--lang", "XY", "--lang=en"}, "-", "",
         "Information: The program contains no NC block numbers.\n"},
        {"a --lang after -- is a file", u"", {"--lang", "EN", "--", "--lang"}, "-", "", ""},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Ulozit(p.ulozeny);
        prostredi.SouborJazyku = p.soubor == "-" ? fs::path(TARVIK_JAZYKY_XML) : p.soubor;
        std::vector<std::string> a = p.volby;
        a.insert(a.end(), {"renumber", bezCisel});
        const int kod = Spustit(a);
        if (p.dalsi.empty()) {
            // ("--lang" after "--" is a second file: the folder mode's usage error.)
            EXPECT_EQ(kod, 2);
            continue;
        }
        EXPECT_EQ(kod, 1);
        EXPECT_EQ(vystup.hlaseni.substr(0, p.varovani.size()), p.varovani);
        EXPECT_EQ(vystup.hlaseni.substr(p.varovani.size(), p.dalsi.size()), p.dalsi) << vystup.hlaseni;
    }
}

// The language is taken from the command line before it is read: the same
// one that reading it gives.
TEST_F(JazykDavky, JazykPredRozboremArgumentu) {
    const struct {
        std::vector<std::string> argumenty;
        std::optional<std::string> jazyk;
    } pripady[] = {
        {{"count", "--lang", "EN", "p.nc"}, "EN"},
        {{"--lang=DE", "count", "p.nc"}, "DE"},
        {{"count", "--lang", "EN", "--lang", "SK", "p.nc"}, "SK"},
        {{"count", "-t", "--lang", "p.nc"}, std::nullopt},          // the value of -t
        {{"count", "--type", "--lang", "--lang", "FR", "p.nc"}, "FR"},
        {{"renumber", "-o", "--lang", "--lang=ES", "p.nc"}, "ES"},
        {{"count", "-j", "--lang", "p.nc"}, std::nullopt},
        {{"count", "-j2", "--lang", "EN", "p.nc"}, "EN"},
        {{"count", "--first=--lang", "p.nc"}, std::nullopt},
        {{"count", "--", "--lang", "EN"}, std::nullopt},
        {{"count", "p.nc", "--lang"}, std::nullopt},                // no value: a usage error
    };
    for (const auto& p : pripady) {
        std::string popis;
        for (const auto& a : p.argumenty) popis += a + " ";
        EXPECT_EQ(JazykZArgumentu(p.argumenty), p.jazyk) << popis;
        try {
            EXPECT_EQ(RozebratArgumenty(p.argumenty).jazyk, p.jazyk) << popis;
        } catch (const TChybaPouziti&) {
            // Only the lists without a language: a bad number, a missing value.
            EXPECT_FALSE(p.jazyk.has_value()) << popis;
        }
    }
}

}  // namespace
