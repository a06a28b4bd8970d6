#include "cli/Davka.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

class TZachycenyVystup final : public TVystupDavky {
public:
    bool Program(std::string_view bytes) override {
        program += bytes;
        return !plny;
    }
    void Hlaseni(std::string_view radek) override {
        hlaseni += radek;
        hlaseni += '\n';
    }
    std::string program, hlaseni;
    bool plny = false;
};

class Davka : public ::testing::Test {
protected:
    Davka() {
        prostredi.SouborTypu = slozka / "files.ftd";
        TDocasnaSlozka::Zapsat(prostredi.SouborTypu,
                               "\xEF\xBB\xBF" "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                               "Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t\r\n");
    }
    int Spustit(std::vector<std::string> argumenty) {
        vystup = TZachycenyVystup();
        return SpustitDavku(argumenty, prostredi, vystup);
    }
    std::string Soubor(const std::string& jmeno, const std::string& obsah) {
        const fs::path p = slozka / jmeno;
        TDocasnaSlozka::Zapsat(p, obsah);
        return p.string();
    }

    TDocasnaSlozka slozka;
    TProstrediDavky prostredi;
    TZachycenyVystup vystup;
};

TEST_F(Davka, PrikazyNaProgramu) {
    const std::string cislovany = "%\r\nN5 G90\r\n  N7 G0 X0\r\n:9 M6\r\n(A)\r\nM30\r\n";
    const std::string bezCisel = "%\nG90\n(A)\nM30\n";
    struct Pripad {
        std::vector<std::string> argumenty;
        std::string vstup;
        int kod;
        std::string program;
        std::string hlaseni;
    };
    const Pripad pripady[] = {
        {{"count"}, cislovany, 0, "3\n", ""},
        {{"renumber"}, cislovany, 0, "%\r\nN5 G90\r\nN10 G0 X0\r\n:15 M6\r\n(A)\r\nM30\r\n",
         "83%\nPočet řádků: 6, Počet znaků: 40, Počet NC bloků: 3.\n"},
        {{"renumber", "--first", "100", "--increment", "1"}, cislovany, 0,
         "%\r\nN100 G90\r\nN101 G0 X0\r\n:102 M6\r\n(A)\r\nM30\r\n", ""},
        {{"remove"}, cislovany, 0, "%\r\n G90\r\n G0 X0\r\n M6\r\n(A)\r\nM30\r\n", ""},
        {{"introduce"}, bezCisel, 0, "%\r\nN5 G90\r\n(A)\r\nM30\r\n",
         "25%\nPočet řádků: 4, Počet znaků: 21, Počet NC bloků: 1.\n"},
        {{"introduce", "--number-start", "--number-end", "--number-comments", "--first", "10",
          "--increment", "10"},
         bezCisel, 0, "N10 %\r\nN20 G90\r\nN30 (A)\r\nN40 M30\r\n", ""},
        {{"introduce", "--max", "3"}, "A\nB\nC", 0, "N3 A\r\nN3 B\r\nN3 C", ""},
        {{"introduce", "--first", "1", "--increment", "2", "--max", "4", "--keep-max"}, "A\nB\nC\nD", 0,
         "N1 A\r\nN3 B\r\nN5 C\r\nN5 D", ""},
        {{"introduce", "-t", "Dialog", "--first", "1", "--increment", "1", "--number-start",
          "--number-end"},
         "BEGIN PGM 1 MM\nL X+0\nEND PGM 1 MM\n", 0, "1 BEGIN PGM 1 MM\r\n2 L X+0\r\n3 END PGM 1 MM\r\n", ""},
        {{"renumber", "--main", "", "--secondary", "N"}, "123 X\nG01\n", 0, "N5 X\r\nG01\r\n", ""},
        // Refusals: the window's messages, exit 1, nothing written.
        {{"introduce"}, cislovany, 1, "",
         "Varování: Program již NC bloky obsahuje: 3x.\nNejdříve NC bloky odstraňte.\n"},
        {{"renumber"}, bezCisel, 1, "",
         "Informace: Program neobsahuje žádné NC bloky.\nMůžete zavést nové NC bloky.\n"},
        {{"remove"}, bezCisel, 1, "", "Informace: Program neobsahuje žádné NC bloky\n"},
        {{"count"}, "", 0, "0\n", ""},
        {{"introduce"}, "", 0, "", "0%\nPočet řádků: 0, Počet znaků: 0, Počet NC bloků: 0.\n"},
    };
    for (const auto& p : pripady) {
        std::vector<std::string> argumenty = p.argumenty;
        argumenty.push_back(Soubor("program.nc", p.vstup));
        EXPECT_EQ(Spustit(argumenty), p.kod) << argumenty[0] << " " << vystup.hlaseni;
        EXPECT_EQ(vystup.program, p.program) << argumenty[0];
        if (!p.hlaseni.empty()) {
            EXPECT_EQ(vystup.hlaseni, p.hlaseni) << argumenty[0];
        }
        EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "program.nc"), p.vstup);
    }
}

TEST_F(Davka, TypPodlePriponyAJmena) {
    const std::string dialog = Soubor("prog.H", "0 BEGIN PGM\n1 L\n");
    EXPECT_EQ(Spustit({"count", dialog}), 0);
    EXPECT_EQ(vystup.program, "2\n");  // digit mode of the .h type
    const std::string jinaPripona = Soubor("prog.xyz", "N10\n:20\n30\n");
    EXPECT_EQ(Spustit({"count", jinaPripona}), 0);
    EXPECT_EQ(vystup.program, "2\n");  // the first type
    EXPECT_EQ(Spustit({"count", "--type=Dialog", jinaPripona}), 0);
    EXPECT_EQ(vystup.program, "1\n");
    EXPECT_EQ(Spustit({"types"}), 0);
    EXPECT_EQ(vystup.program,
              "Frézka\t.nc\t:\tN\t%\tM30\t(\nDialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\n");
}

TEST_F(Davka, ZapisDoSouboru) {
    const std::string vstup = Soubor("a.nc", "N1 X\n");
    const std::string cil = (slozka / "b.nc").string();
    EXPECT_EQ(Spustit({"renumber", "-o", cil, vstup}), 0);
    EXPECT_EQ(vystup.program, "");
    EXPECT_EQ(TDocasnaSlozka::Precist(cil), "N5 X\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(vstup), "N1 X\n");
    EXPECT_EQ(Spustit({"renumber", "--in-place", vstup}), 0);
    EXPECT_EQ(TDocasnaSlozka::Precist(vstup), "N5 X\r\n");
}

TEST_F(Davka, KodovaniZustane) {
    // Windows-1250 stays Windows-1250; a UTF-8 file with a mark loses the mark.
    const std::string cp1250 = Soubor("cp.nc", "N1 (\xE8\xE1st)\n");
    EXPECT_EQ(Spustit({"renumber", cp1250}), 0);
    EXPECT_EQ(vystup.program, "N5 (\xE8\xE1st)\r\n");
    const std::string znacka = Soubor("bom.nc", "\xEF\xBB\xBFN1 (část)\n");
    EXPECT_EQ(Spustit({"renumber", znacka}), 0);
    EXPECT_EQ(vystup.program, "N5 (část)\r\n");
}

TEST_F(Davka, ChybyPouzitiASouboru) {
    const std::string program = Soubor("p.nc", "N1 X\n");
    const std::string chybi = (slozka / "chybi.nc").string();
    struct Pripad {
        std::vector<std::string> argumenty;
        std::string prvniRadek;
    };
    const Pripad pripady[] = {
        {{}, "tarvik-cli: no command given"},
        {{"renumbr", program}, "tarvik-cli: unknown command 'renumbr'"},
        {{"renumber"}, "tarvik-cli: no FILE given"},
        {{"renumber", "--first", "0", program}, "tarvik-cli: --first needs a whole number from 1 to 9999, not '0'"},
        {{"renumber", "--max", "10000", program}, "tarvik-cli: --max needs a whole number from 1 to 9999, not '10000'"},
        {{"renumber", "--increment", "x", program}, "tarvik-cli: --increment needs a whole number from 1 to 9999, not 'x'"},
        {{"renumber", "--main", "NN", program}, "tarvik-cli: --main takes one character or \"\", not 'NN'"},
        {{"renumber", "--first"}, "tarvik-cli: option --first needs a value"},
        {{"renumber", "-o", "x", "-i", program}, "tarvik-cli: -o and --in-place exclude each other"},
        {{"renumber", "--number-end", program}, "tarvik-cli: --number-start, --number-end and --number-comments apply to introduce only"},
        {{"renumber", "--bogus", program}, "tarvik-cli: unknown option '--bogus'"},
        {{"renumber", program, program}, "tarvik-cli: more than one FILE given ('" + program + "', '" + program + "')"},
        {{"renumber", "-t", "Nic", program}, "tarvik-cli: no file type named 'Nic'; the file types are:"},
        {{"renumber", chybi}, "tarvik-cli: Cannot open file \"" + chybi + "\". No such file or directory."},
        {{"renumber", "-o", (slozka / "neni" / "x.nc").string(), program},
         "tarvik-cli: Cannot create file \"" + (slozka / "neni" / "x.nc").string() + "\". No such file or directory."},
    };
    for (const auto& p : pripady) {
        EXPECT_EQ(Spustit(p.argumenty), 2) << p.prvniRadek;
        EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')), p.prvniRadek);
        EXPECT_EQ(vystup.program, "");
    }
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "N1 X\n");

    vystup.plny = true;
    EXPECT_EQ(SpustitDavku({"renumber", program}, prostredi, vystup), 2);
    EXPECT_NE(vystup.hlaseni.find("Cannot write to standard output."), std::string::npos);
}

TEST_F(Davka, BezSeznamuTypu) {
    fs::remove(prostredi.SouborTypu);
    const std::string program = Soubor("p.nc", "10 X\nN20\n");
    EXPECT_EQ(Spustit({"count", program}), 0);
    EXPECT_EQ(vystup.program, "1\n");  // no type: digit mode
    EXPECT_EQ(vystup.hlaseni, "Varování: Nepodařilo se nalézt soubor s defaultními typy souborů.\n");
    EXPECT_EQ(Spustit({"count", "--main", ":", "--secondary", "N", program}), 0);
    EXPECT_EQ(vystup.program, "1\n");
}

TEST_F(Davka, Napoveda) {
    EXPECT_EQ(Spustit({"--help"}), 0);
    EXPECT_NE(vystup.program.find("Usage: tarvik-cli count|introduce|renumber|remove [options] FILE"),
              std::string::npos);
}

}  // namespace
