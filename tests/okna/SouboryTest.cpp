// The window and the batch tool on the same files: both read a file the same
// way, write the same bytes and show the same statistics and failures.
#include "Scenar.h"

#include "app/fHlavni.h"
#include "cli/Davka.h"

#include <Qsci/qsciscintilla.h>

#include <QLabel>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

class TZachycenaDavka final : public TVystupDavky {
public:
    bool Program(std::string_view bytes) override {
        program += bytes;
        return true;
    }
    void Hlaseni(std::string_view radek) override { hlaseni.emplace_back(radek); }
    std::string program;
    std::vector<std::string> hlaseni;
};

// Two file types: the usual ISO type, and one whose secondary block
// character (written before new numbers) is a letter outside ASCII.
class OknoADavka : public ::testing::Test {
protected:
    OknoADavka() {
        TDocasnaSlozka::Zapsat(slozka / "files.ftd", "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                                                     "Řádkový\t.nc\t:\tŘ\t%\tM30\t(\t\r\n");
        prostredi.SouborTypu = slozka / "files.ftd";
        beh = std::make_unique<TBehAplikace>(slozka);
    }
    ~OknoADavka() override {
        if (HlavniForm) HlavniForm->memProgram()->setModified(false);
        beh->Zavrit();
        beh.reset();
        fs::current_path(fs::temp_directory_path());
    }

    void Otevrit(const fs::path& soubor, int pozice) {
        scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdString(soubor.string()), pozice});
        HlavniForm->aOtevritExecute();
    }
    int Davka(const std::vector<std::string>& argumenty) {
        davka = TZachycenaDavka();
        return SpustitDavku(argumenty, prostredi, davka);
    }

    TDocasnaSlozka slozka;
    TScenar scenar;
    TProstrediDavky prostredi;
    TZachycenaDavka davka;
    std::unique_ptr<TBehAplikace> beh;
};

TEST_F(OknoADavka, StejneBajtyAStatistika) {
    using Prikaz = void (THlavniForm::*)();
    struct Pripad {
        const char* nazev;
        std::string bajty;
        int typ;  // position in the list, from 1
        const char* prikaz;
        Prikaz prikazOkna;
        std::string vysledek;
    };
    std::string velky;
    while (velky.size() < (1u << 20) + 10) velky += "G1 X1.5\r\n";
    const Pripad pripady[] = {
        {"UTF-8, the fourth byte inside a character", "(\xC4\x8C\xC3\x81ST 1)\r\nG0 X1\r\nM30\r\n", 2, "introduce",
         &THlavniForm::aZavestExecute, "(\xC4\x8C\xC3\x81ST 1)\r\n\xC5\x98" "5 G0 X1\r\nM30\r\n"},
        {"Windows-1250", "N1 (\xE8\xE1st)\nN2\n", 1, "renumber", &THlavniForm::aPrecislovatExecute,
         "N5 (\xE8\xE1st)\r\nN10\r\n"},
        {"not UTF-8 only past the first megabyte", "N1\r\n" + velky + "N2 (\xE8)\r\n", 1, "renumber",
         &THlavniForm::aPrecislovatExecute, "N5\r\n" + velky + "N10 (\xE8)\r\n"},
        {"a UTF-8 mark before bytes that are not UTF-8", "\xEF\xBB\xBFN1 (\xE8)\r\n", 1, "remove",
         &THlavniForm::aOdstranitExecute, " (\xE8)\r\n"},
        {"UTF-16 LE", std::string("\xFF\xFE" "N\0" "1\0 \0\x0D\x01\r\0\n\0", 14), 1, "renumber",
         &THlavniForm::aPrecislovatExecute, "N5 \xC4\x8D\r\n"},
        {"an empty last line", "N1 X\r\nN2", 1, "remove", &THlavniForm::aOdstranitExecute, " X\r\n"},
        {"words that begin with the block character", "%\r\nNEWCONF\r\nNINE:\r\nM30\r\n", 1, "introduce",
         &THlavniForm::aZavestExecute, "%\r\nN5 NEWCONF\r\nN10 NINE:\r\nM30\r\n"},
    };
    const std::string typy[] = {"Frézka", "Řádkový"};
    for (const auto& p : pripady) {
        const fs::path soubor = slozka / "program.nc";
        const fs::path vystup = slozka / "davka.nc";
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        ASSERT_EQ(Davka({p.prikaz, "-t", typy[p.typ - 1], "-o", vystup.string(), soubor.string()}), 0) << p.nazev;
        EXPECT_EQ(TDocasnaSlozka::Precist(vystup), p.vysledek) << p.nazev;

        Otevrit(soubor, p.typ);
        (HlavniForm->*p.prikazOkna)();
        HlavniForm->aUlozitExecute();
        EXPECT_TRUE(scenar.Zpravy.empty()) << p.nazev << ": " << scenar.Zpravy.back().Text.toStdString();
        EXPECT_EQ(TDocasnaSlozka::Precist(soubor), p.vysledek) << p.nazev;
        ASSERT_FALSE(davka.hlaseni.empty());
        EXPECT_EQ(HlavniForm->Panel(0)->text().toStdString(), davka.hlaseni.back()) << p.nazev;
        scenar.Zpravy.clear();
    }
}

// UTF-16 that cannot be read whole: both say why, and the window keeps what
// it showed.
TEST_F(OknoADavka, PoskozeneUtf16) {
    const fs::path dobry = slozka / "dobry.nc";
    TDocasnaSlozka::Zapsat(dobry, "N1 X\r\n");
    Otevrit(dobry, 1);
    const struct {
        std::string bajty;
        std::string duvod;
    } pripady[] = {
        {std::string("\xFF\xFE" "N\0" "1", 5), "Poškozené UTF-16: lichý počet bajtů."},
        {std::string("\xFE\xFF\0N\xDC\0", 6), "Poškozené UTF-16: osamocená náhradní jednotka DC00 na řádku 1."},
    };
    for (const auto& p : pripady) {
        const fs::path soubor = slozka / "utf16.nc";
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        const std::string zprava = "Nelze otevřít soubor \"" + soubor.string() + "\". " + p.duvod;
        EXPECT_EQ(Davka({"count", soubor.string()}), 2);
        EXPECT_EQ(davka.hlaseni, std::vector<std::string>{"tarvik-cli: " + zprava});
        scenar.Zpravy.clear();
        Otevrit(soubor, 1);
        ASSERT_EQ(scenar.Zpravy.size(), 1u);
        // The window says the same, in the same language.
        EXPECT_EQ(scenar.Zpravy[0].Text.toStdString(), zprava);
        EXPECT_EQ(scenar.Zpravy[0].Ikona, QMessageBox::Critical);
        EXPECT_EQ(HlavniForm->AktualniSoubor().toStdString(), dobry.string());
        EXPECT_EQ(HlavniForm->memProgram()->text(), "N1 X\r\n");
    }
}

#ifndef _WIN32

// A program with a second hard link: the window's save and the batch tool's
// -i write it in place, so that both names keep one file.
TEST_F(OknoADavka, PevnyOdkazZustane) {
    const fs::path soubor = slozka / "program.nc";
    const fs::path druhy = slozka / "druhy.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
    fs::create_hard_link(soubor, druhy);
    Otevrit(soubor, 1);
    HlavniForm->aPrecislovatExecute();
    HlavniForm->aUlozitExecute();
    EXPECT_EQ(TDocasnaSlozka::Precist(druhy), "N5 X\r\n");
    EXPECT_EQ(Davka({"renumber", "--first", "7", "-i", druhy.string()}), 0);
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N7 X\r\n");
    EXPECT_TRUE(fs::equivalent(soubor, druhy));
    EXPECT_TRUE(scenar.Zpravy.empty());
}

#endif

}  // namespace
