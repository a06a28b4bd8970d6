#include "cli/Davka.h"
#include "engine/CNCEdit.h"
#include "filetypes/SeznamTypu.h"
#include "katalog/TextyDavky.h"
#include "platform/CteniTextu.h"
#include "../support/DavkaVTestu.h"
#include "../support/DocasnaSlozka.h"
#include "../support/ZkusebniUloziste.h"

#include "TarvikVerze.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

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
         "Počet řádků: 6, Počet znaků: 40, Počet NC bloků: 3.\n"},
        {{"renumber", "--first", "100", "--increment", "1"}, cislovany, 0,
         "%\r\nN100 G90\r\nN101 G0 X0\r\n:102 M6\r\n(A)\r\nM30\r\n", ""},
        {{"remove"}, cislovany, 0, "%\r\n G90\r\n G0 X0\r\n M6\r\n(A)\r\nM30\r\n", ""},
        {{"introduce"}, bezCisel, 0, "%\r\nN5 G90\r\n(A)\r\nM30\r\n",
         "Počet řádků: 4, Počet znaků: 21, Počet NC bloků: 1.\n"},
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
        {{"introduce"}, "", 0, "", "Počet řádků: 0, Počet znaků: 0, Počet NC bloků: 0.\n"},
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
              "Frézka\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\nDialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t-\n");
}

// -t takes a type's name, else its number in the list "types" prints; a
// type named by digits is found by its name first.
TEST_F(Davka, TypPodleCisla) {
    TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                                                 "Dialog\t.h\t\t\tBEGIN PGM\tEND PGM\t;\t\r\n"
                                                 "1\t.x\tQ\t\t\t\t\t\r\n");
    const std::string program = Soubor("p.nc", "N10\n:20\n30\nQ40\n");
    const struct {
        const char* typ;
        int kod;
        const char* vysledek;  // the count, or the first line of the refusal
    } pripady[] = {
        {"2", 0, "1\n"},       // Dialog: bare digits
        {"Dialog", 0, "1\n"},
        {"1", 0, "1\n"},       // the type named "1", not the first: Q only
        {"3", 0, "1\n"},
        {"4", 2, "tarvik-cli: žádný typ souboru se nejmenuje '4'; typy souborů jsou:"},
        {"0", 2, "tarvik-cli: žádný typ souboru se nejmenuje '0'; typy souborů jsou:"},
        {"02", 2, "tarvik-cli: žádný typ souboru se nejmenuje '02'; typy souborů jsou:"},
        {"+2", 2, "tarvik-cli: žádný typ souboru se nejmenuje '+2'; typy souborů jsou:"},
        {"99999999999999999999", 2, "tarvik-cli: žádný typ souboru se nejmenuje '99999999999999999999'; typy souborů jsou:"},
    };
    for (const auto& p : pripady) {
        EXPECT_EQ(Spustit({"count", "-t", p.typ, program}), p.kod) << p.typ;
        if (p.kod == 0) {
            EXPECT_EQ(vystup.program, p.vysledek) << p.typ;
        } else {
            EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')), p.vysledek);
        }
    }
    // The refusal lists the types with the numbers -t takes.
    EXPECT_NE(vystup.hlaseni.find("\n  1  Frézka\n  2  Dialog\n  3  1\n"), std::string::npos) << vystup.hlaseni;
}

// The engine's progress goes to a terminal only, never into logs and pipes.
TEST_F(Davka, PrubehJenNaTerminal) {
    for (const bool terminal : {false, true}) {
        vystup = TZachycenyVystup();
        vystup.terminal = terminal;
        EXPECT_EQ(SpustitDavku({"renumber", Soubor("p.nc", "%\r\nN5 G90\r\n  N7 G0 X0\r\n:9 M6\r\n(A)\r\nM30\r\n")},
                               prostredi, vystup),
                  0);
        EXPECT_EQ(vystup.hlaseni, std::string(terminal ? "83%\n" : "") + "Počet řádků: 6, Počet znaků: 40, Počet NC bloků: 3.\n");
    }
}

TEST_F(Davka, ZapisDoSouboru) {
    const std::string vstup = Soubor("a.nc", "N1 X\n");
    const std::string cil = (slozka / "b.nc").string();
    EXPECT_EQ(Spustit({"renumber", "-o", cil, vstup}), 0);
    EXPECT_EQ(vystup.program, "");
    EXPECT_EQ(TDocasnaSlozka::Precist(cil), "N5 X\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(vstup), "N1 X\n");
    // -o naming a folder: into it, under the program's own name.
    fs::create_directory(slozka / "ven");
    EXPECT_EQ(Spustit({"renumber", "-o", (slozka / "ven").string(), vstup}), 0);
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "ven" / "a.nc"), "N5 X\r\n");
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
    // A text that begins with U+FEFF keeps it: written without a mark in
    // front, it would read back without it. Also from UTF-16.
    const std::string dve = Soubor("dve.nc", "\xEF\xBB\xBF\xEF\xBB\xBF(A)\nN1 X\n");
    EXPECT_EQ(Spustit({"renumber", dve}), 0);
    EXPECT_EQ(vystup.program, "\xEF\xBB\xBF\xEF\xBB\xBF(A)\r\nN5 X\r\n");
    EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')),
              "tarvik-cli: první bajty programu v UTF-8 by se zpět přečetly jako značka pořadí bajtů; zapisuje se "
              "jako UTF-8 with byte-order mark.");
    const std::string utf16 = Soubor("u16.nc", std::string("\xFF\xFE\xFF\xFE(\0A\0)\0\n\0N\0" "1\0\n\0", 18));
    EXPECT_EQ(Spustit({"renumber", utf16}), 0);
    EXPECT_EQ(vystup.program, "\xEF\xBB\xBF\xEF\xBB\xBF(A)\r\nN5\r\n");
}

TEST_F(Davka, ChybyPouzitiASouboru) {
    const std::string program = Soubor("p.nc", "N1 X\n");
    const std::string chybi = (slozka / "chybi.nc").string();
    struct Pripad {
        std::vector<std::string> argumenty;
        std::string prvniRadek;
    };
    const Pripad pripady[] = {
        {{}, "tarvik-cli: nebyl zadán žádný příkaz"},
        {{"renumbr", program}, "tarvik-cli: neznámý příkaz 'renumbr'"},
        {{"renumber"}, "tarvik-cli: nebyl zadán žádný FILE"},
        {{"renumber", "--first", "0", program}, "tarvik-cli: --first potřebuje celé číslo od 1 do 9999, ne '0'"},
        {{"renumber", "--max", "10000", program}, "tarvik-cli: --max potřebuje celé číslo od 1 do 9999, ne '10000'"},
        {{"renumber", "--increment", "x", program}, "tarvik-cli: --increment potřebuje celé číslo od 1 do 9999, ne 'x'"},
        {{"renumber", "--main", "NN", program}, "tarvik-cli: --main bere jeden znak nebo \"\", ne 'NN'"},
        {{"renumber", "--first"}, "tarvik-cli: volba --first potřebuje hodnotu"},
        {{"renumber", "-o", "x", "-i", program}, "tarvik-cli: -o a --in-place se navzájem vylučují"},
        {{"renumber", "--number-end", program}, "tarvik-cli: --number-start, --number-end a --number-comments platí jen pro introduce"},
        {{"renumber", "--bogus", program}, "tarvik-cli: neznámá volba '--bogus'"},
        {{"renumber", program, program}, "tarvik-cli: několik programů nebo FOLDER potřebuje -i, -o FOLDER, --check nebo --diff"},
        {{"renumber", "-t", "Nic", program}, "tarvik-cli: žádný typ souboru se nejmenuje 'Nic'; typy souborů jsou:"},
        {{"renumber", chybi}, "tarvik-cli: Nelze otevřít soubor \"" + chybi + "\". Soubor nebo složka neexistuje."},
        {{"renumber", "-o", (slozka / "neni" / "x.nc").string(), program},
         "tarvik-cli: Nelze vytvořit soubor \"" + (slozka / "neni" / "x.nc").string() + "\". Složka \"" +
             (slozka / "neni").string() + "\": Soubor nebo složka neexistuje."},
    };
    for (const auto& p : pripady) {
        EXPECT_EQ(Spustit(p.argumenty), 2) << p.prvniRadek;
        EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')), p.prvniRadek);
        EXPECT_EQ(vystup.program, "");
    }
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "N1 X\n");

    vystup.plny = true;
    EXPECT_EQ(SpustitDavku({"renumber", program}, prostredi, vystup), 2);
    EXPECT_NE(vystup.hlaseni.find("Nelze zapisovat na standardní výstup."), std::string::npos);
}

// Every option of a stored setting, with every command: one that it applies
// to takes it over a stored value the other way, every other refuses it with
// its line's message; a number outside its line's bounds is refused.
TEST(DavkaVolbyNastaveni, KazdaVolbaSKazdymPrikazem) {
    const std::string prikazy[] = {"count", "introduce", "renumber", "remove", "refs"};
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy()) {
        for (const TVolbaNastaveni& volba : p.Volby) {
            if (volba.Dlouha.empty()) continue;
            const std::string nazev = "--" + std::string(volba.Dlouha);
            SCOPED_TRACE(nazev);
            const bool cislo = !volba.Zastupce.empty();
            const std::int32_t ocekavana = cislo ? p.Max : volba.Hodnota;
            TNastaveniDavky nastaveni;
            nastaveni.ulozene.Nastavit(p, cislo ? p.Min : 1 - volba.Hodnota);
            for (const std::string& prikaz : prikazy) {
                std::vector<std::string> argumenty = {prikaz, nazev};
                if (cislo) argumenty.push_back(std::to_string(p.Max));
                argumenty.push_back("p.nc");
                const bool plati = (" " + std::string(volba.Prikazy) + " ").find(" " + prikaz + " ") != std::string::npos;
                try {
                    const TZadaniPrikazu z = ZadaniProgramu(RozebratArgumenty(argumenty), nastaveni, "p.nc");
                    EXPECT_TRUE(plati) << prikaz;
                    std::visit(
                        [&](auto pole) {
                            if constexpr (!std::is_same_v<decltype(pole), std::u16string TUlozeneNastaveni::*>) {
                                EXPECT_EQ(static_cast<std::int32_t>(z.Cislovani.*pole), ocekavana) << prikaz;
                            }
                        },
                        p.Pole);
                } catch (const TChybaPouziti& e) {
                    EXPECT_FALSE(plati) << prikaz << ": " << e.what();
                    EXPECT_EQ(e.what(), DoUtf8(*volba.Jen)) << prikaz;
                }
            }
            if (!cislo) continue;
            for (const std::int64_t mimo : {std::int64_t(p.Min) - 1, std::int64_t(p.Max) + 1}) {
                const std::string hodnota = std::to_string(mimo);
                try {
                    RozebratArgumenty({"renumber", nazev, hodnota, "p.nc"});
                    ADD_FAILURE() << hodnota << " taken";
                } catch (const TChybaPouziti& e) {
                    EXPECT_EQ(e.what(), Vyplnit(*volba.Chybna, {nazev, hodnota}));
                }
            }
        }
    }
}

// A program whose fourth byte lies inside a UTF-8 character is UTF-8, and
// so is a list of file types that starts that way.
TEST_F(Davka, Utf8PodleCelehoSouboru) {
    const std::string program = Soubor("a.nc", "(\xC4\x8C\xC3\x81ST 1)\r\nG0 X1\r\nM30\r\n");
    const std::string cil = (slozka / "out.nc").string();
    EXPECT_EQ(Spustit({"introduce", "--secondary", "\xC5\x98", "-o", cil, program}), 0) << vystup.hlaseni;
    EXPECT_EQ(TDocasnaSlozka::Precist(cil), "(\xC4\x8C\xC3\x81ST 1)\r\n\xC5\x98" "5 G0 X1\r\nM30\r\n");
    TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Obr\xC3\xA1\xC4\x9B\x63\xC3\xAD centrum\t.nc\t:\tN\t%\tM30\t(\t\r\n");
    EXPECT_EQ(Spustit({"types"}), 0);
    EXPECT_EQ(vystup.program, "Obr\xC3\xA1\xC4\x9B\x63\xC3\xAD centrum\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\n");
}

// The statistics line counts the lines of the text written: an empty last
// line after the final break is no line.
TEST_F(Davka, StatistikaPocitaZapsaneRadky) {
    EXPECT_EQ(Spustit({"remove", Soubor("p.nc", "N1 X\r\nN2")}), 0);
    EXPECT_EQ(vystup.program, " X\r\n");
    EXPECT_EQ(vystup.hlaseni, "Počet řádků: 1, Počet znaků: 4, Počet NC bloků: 0.\n");
    EXPECT_EQ(Spustit({"renumber", Soubor("p.nc", "N1 X\nN\n")}), 0);
    EXPECT_EQ(vystup.program, "N5 X\r\n\r\n");
    EXPECT_EQ(vystup.hlaseni, "Počet řádků: 2, Počet znaků: 8, Počet NC bloků: 1.\n");
}

// UTF-16 that cannot be read whole is refused, and nothing is written.
TEST_F(Davka, PoskozeneUtf16) {
    const std::string program = Soubor("p.nc", std::string("\xFF\xFE" "N\0" "1\0\x00\xD8", 8));
    EXPECT_EQ(Spustit({"renumber", "-i", program}), 2);
    EXPECT_EQ(vystup.hlaseni,
              "tarvik-cli: Nelze otevřít soubor \"" + program +
                  "\". Poškozené UTF-16: osamocená náhradní jednotka D800 na řádku 1.\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(program), std::string("\xFF\xFE" "N\0" "1\0\x00\xD8", 8));
}

// A file without an extension (O1234) takes the type whose extension is ".".
TEST_F(Davka, BezPriponyTypSTeckou) {
    TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                                                 "Číslicový\t.\t\t\t%\tM30\t(\t\r\n");
    const std::string program = "N10 X\n20 Y\n30 Z\n";
    for (const char* jmeno : {"O1234", "O1234."}) {
        EXPECT_EQ(Spustit({"count", Soubor(jmeno, program)}), 0);
        EXPECT_EQ(vystup.program, "2\n") << jmeno;  // digit mode of the "." type
    }
    EXPECT_EQ(Spustit({"count", Soubor("p.nc", program)}), 0);
    EXPECT_EQ(vystup.program, "1\n");
    EXPECT_EQ(Spustit({"count", Soubor(".nc", program)}), 0);
    EXPECT_EQ(vystup.program, "2\n");  // a hidden name: no extension
}

// Names from the list reach the terminal with their control characters escaped.
TEST_F(Davka, RidiciZnakyEscapovane) {
    TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Zl\x1b[31my\x7f\xC2\x9b\t.nc\t:\tN\t%\tM30\t(\t\r\n");
    EXPECT_EQ(Spustit({"types"}), 0);
    EXPECT_EQ(vystup.program, "Zl\\x1b[31my\\x7f\\u009b\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\n");
    EXPECT_EQ(Spustit({"count", "-t", "Nic\x1b]0;x\x07", Soubor("p.nc", "N1\n")}), 2);
    EXPECT_EQ(vystup.hlaseni, "tarvik-cli: žádný typ souboru se nejmenuje 'Nic\\x1b]0;x\\x07'; typy souborů jsou:\n"
                              "  1  Zl\\x1b[31my\\x7f\\u009b\n"
                              "Více řekne 'tarvik-cli --help'.\n");
}

// A word that begins with the block character is no block number.
TEST_F(Davka, SlovoNeniBlok) {
    const std::string program = Soubor("p.nc", "%\r\nNEWCONF\r\nNINE:\r\nG1 X5\r\nM30\r\n");
    EXPECT_EQ(Spustit({"count", program}), 0);
    EXPECT_EQ(vystup.program, "0\n");
    EXPECT_EQ(Spustit({"introduce", "--first", "10", "--increment", "10", "-i", program}), 0);
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "%\r\nN10 NEWCONF\r\nN20 NINE:\r\nN30 G1 X5\r\nM30\r\n");
    EXPECT_EQ(Spustit({"remove", "-i", program}), 0);
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "%\r\n NEWCONF\r\n NINE:\r\n G1 X5\r\nM30\r\n");
}

#ifndef _WIN32

// Standard input as "-" or /dev/stdin, read in one pass; "-o -" writes
// standard output.
TEST_F(Davka, StandardniVstupAVystup) {
    const auto sVstupem = [&](const std::string& vstup, std::vector<std::string> argumenty) {
        const TVstupZRoury roura(vstup);
        return Spustit(std::move(argumenty));
    };
    EXPECT_EQ(sVstupem("N1 X\nN2 Y\n", {"count", "-"}), 0) << vystup.hlaseni;
    EXPECT_EQ(vystup.program, "2\n");
    EXPECT_EQ(sVstupem("N1 X\nN2 Y\n", {"count", "/dev/stdin"}), 0) << vystup.hlaseni;
    EXPECT_EQ(vystup.program, "2\n");
    EXPECT_EQ(sVstupem("N1 X\n(\xE8)\n", {"renumber", "-o", "-", "-"}), 0) << vystup.hlaseni;
    EXPECT_EQ(vystup.program, "N5 X\r\n(\xE8)\r\n");
    // A path that names a pipe is read once too, also when the result goes to a file.
    const std::string cil = (slozka / "z-roury.nc").string();
    EXPECT_EQ(sVstupem("N1 X\n", {"renumber", "-o", cil, "/dev/stdin"}), 0) << vystup.hlaseni;
    EXPECT_EQ(TDocasnaSlozka::Precist(cil), "N5 X\r\n");
    EXPECT_EQ(Spustit({"renumber", "-i", "-"}), 2);
    EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')),
              "tarvik-cli: --in-place potřebuje FILE, ne standardní vstup");
    EXPECT_FALSE(fs::exists("-"));
}

// -o onto a pipe or a device writes through it; -i on a file with hard
// links keeps them.
TEST_F(Davka, ZapisPresZarizeniAOdkazy) {
    const std::string program = Soubor("p.nc", "N1 X\n");
    const fs::path roura = slozka / "roura";
    ASSERT_EQ(::mkfifo(roura.c_str(), 0644), 0);
    const int ctenar = ::open(roura.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(ctenar, 0);
    EXPECT_EQ(Spustit({"renumber", "-o", roura.string(), program}), 0) << vystup.hlaseni;
    char blok[64] = {};
    EXPECT_EQ(::read(ctenar, blok, sizeof blok), 6);
    EXPECT_STREQ(blok, "N5 X\r\n");
    ::close(ctenar);
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(roura)));
    const fs::path zarizeni = slozka / "nic";
    if (::mknod(zarizeni.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        EXPECT_EQ(Spustit({"renumber", "-o", zarizeni.string(), program}), 0) << vystup.hlaseni;
        EXPECT_TRUE(fs::is_character_file(fs::symlink_status(zarizeni)));
    }
    const fs::path druhy = slozka / "druhy.nc";
    fs::create_hard_link(program, druhy);
    EXPECT_EQ(Spustit({"renumber", "-i", program}), 0) << vystup.hlaseni;
    EXPECT_EQ(TDocasnaSlozka::Precist(druhy), "N5 X\r\n");
}

// A program of several megabytes goes through in pieces, its lines across
// the pieces' ends, the same as the engine rewrites its list of lines: from
// a file, in place over a file with another link (read from the old bytes
// the writing keeps), and from a pipe whose text turns out to be
// Windows-1250 only at its end.
// A line break across the reader's pieces is one break: the batch tool
// writes as many lines as the program has, wherever the CR falls.
TEST_F(Davka, ZlomNaHraniciKusu) {
    for (const std::size_t posun : {std::size_t{2}, std::size_t{1}, std::size_t{0}}) {
        SCOPED_TRACE(posun);
        // "N1 " and the filler end the first piece posun bytes before its CR.
        const std::string vypln(TProgramPoKusech::Blok - 3 - posun, 'X');
        const std::string program = Soubor("p.nc", "N1 " + vypln + "\r\nN2 Y\r\n");
        EXPECT_EQ(Spustit({"renumber", "--first", "10", "--increment", "10", program}), 0) << vystup.hlaseni;
        EXPECT_EQ(vystup.program, "N10 " + vypln + "\r\nN20 Y\r\n");
        EXPECT_NE(vystup.hlaseni.find(": 2,"), std::string::npos) << vystup.hlaseni;  // lines: 2
    }
}

TEST_F(Davka, VelkyProgramPoKusech) {
    std::string bajty;
    const char* const zlomy[] = {"\r\n", "\n", "\r"};
    for (int i = 0; i < 150000; ++i) {
        if (i % 40000 == 0) bajty += "%\r\n";
        bajty += (i % 7 == 0 ? "  :" : "N") + std::to_string(i) + " G01 X" + std::to_string(i % 977) + " (\xC4\x8D\xC3\xA1st)";
        bajty += zlomy[i % 3];
    }
    // Valid UTF-8 up to its last line, which makes the whole program Windows-1250.
    bajty += "M30 (\xE8)\r\n";
    ASSERT_GT(bajty.size(), 3 * TProgramPoKusech::Blok);

    // What the engine makes of the lines.
    TText text = DekodovatText(bajty);
    ASSERT_EQ(text.Kodovani, TKodovani::Cp1250);
    TCNCFile().PrecislovatBloky(text.Radky, 10, 10, 9999, u"%", u":", u"N", true);
    std::u16string spojeny;
    for (const auto& r : text.Radky) spojeny += r + u"\r\n";
    std::string ocekavane;
    ASSERT_EQ(ZakodovatText(ocekavane, spojeny, TKodovani::Cp1250), TKodovani::Cp1250);

    const std::vector<std::string> cislovani = {"--first", "10", "--increment", "10"};
    const std::string program = Soubor("velky.nc", bajty);
    const std::string cil = (slozka / "cil.nc").string();
    std::vector<std::string> a = {"renumber", "-o", cil, program};
    a.insert(a.end(), cislovani.begin(), cislovani.end());
    EXPECT_EQ(Spustit(a), 0) << vystup.hlaseni;
    EXPECT_TRUE(TDocasnaSlozka::Precist(cil) == ocekavane);
    const std::string statistiky = vystup.hlaseni;

    const fs::path druhy = slozka / "druhy.nc";
    fs::create_hard_link(program, druhy);
    a = {"renumber", "-i", program};
    a.insert(a.end(), cislovani.begin(), cislovani.end());
    EXPECT_EQ(Spustit(a), 0) << vystup.hlaseni;
    EXPECT_TRUE(TDocasnaSlozka::Precist(druhy) == ocekavane);
    EXPECT_EQ(vystup.hlaseni, statistiky);

    a = {"renumber", "-"};
    a.insert(a.end(), cislovani.begin(), cislovani.end());
    {
        const TVstupZRoury roura(bajty);
        EXPECT_EQ(Spustit(a), 0) << vystup.hlaseni;
    }
    EXPECT_TRUE(vystup.program == ocekavane);
    EXPECT_EQ(vystup.hlaseni, statistiky);
}

// The encoding is chosen before anything is written: a block character that
// Windows-1250 cannot hold turns the program into UTF-8 with a mark, when a
// line gets it.
TEST_F(Davka, ZnakMimoKodovaniPredPrvnimBajtem) {
    const std::string program = Soubor("cp.nc", "G0 (\xE8)\r\n(\xE1)\r\n");
    EXPECT_EQ(Spustit({"introduce", "--secondary", "\xD0\x96", program}), 0);
    EXPECT_EQ(vystup.program, "\xEF\xBB\xBF\xD0\x96" "5 G0 (\xC4\x8D)\r\n(\xC3\xA1)\r\n");
    EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')),
              "tarvik-cli: Windows-1250 nepojme všechny znaky programu; zapisuje se jako UTF-8 with byte-order mark.");
    // Only comment lines, which introducing leaves without a number: the program stays as it was.
    const std::string komentare = Soubor("k.nc", "(\xE8)\r\n(\xE1)\r\n");
    EXPECT_EQ(Spustit({"introduce", "--secondary", "\xD0\x96", komentare}), 0);
    EXPECT_EQ(vystup.program, "(\xE8)\r\n(\xE1)\r\n");
    EXPECT_EQ(vystup.hlaseni, "Počet řádků: 2, Počet znaků: 10, Počet NC bloků: 0.\n");
}

#endif

// Without any file type list the markers are unknown: nothing is guessed,
// unless the options give every marker.
TEST_F(Davka, BezSeznamuTypu) {
    fs::remove(prostredi.SouborTypu);
    const std::string program = Soubor("p.nc", "%\nG0 X1\nM30\n");
    struct Pripad {
        const char* nazev;
        std::vector<std::string> argumenty;
        int kod;
        const char* vysledek;
    };
    const std::vector<std::string> znacky = {"--main", ":", "--secondary", "N", "--start", "%", "--end", "M30",
                                             "--comment", "("};
    const auto s = [&](std::vector<std::string> a, bool sZnackami) {
        if (sZnackami) a.insert(a.end(), znacky.begin(), znacky.end());
        a.push_back(program);
        return a;
    };
    const Pripad pripady[] = {
        {"count", s({"count"}, false), 2, ""},
        {"introduce", s({"introduce"}, false), 2, ""},
        {"introduce with some markers", s({"introduce", "--secondary", "N"}, false), 2, ""},
        {"types lists none", {"types"}, 0, ""},
        {"introduce with every marker", s({"introduce", "--first", "10", "--increment", "10"}, true), 0,
         "%\r\nN10 G0 X1\r\nM30\r\n"},
        {"count with every marker", s({"count"}, true), 0, "0\n"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        EXPECT_EQ(Spustit(p.argumenty), p.kod) << vystup.hlaseni;
        EXPECT_EQ(vystup.program, p.vysledek);
        EXPECT_TRUE(vystup.hlaseni.starts_with("Varování: Nepodařilo se nalézt soubor s defaultními typy souborů.\n"))
            << vystup.hlaseni;
        if (p.kod == 2) {
            EXPECT_NE(vystup.hlaseni.find("značky programu nejsou známé"), std::string::npos) << vystup.hlaseni;
        }
    }
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "%\nG0 X1\nM30\n");
}

// A file that is no text is refused by every command, and stays as it was.
TEST_F(Davka, BinarniSouborOdmitnut) {
    const std::string bajty("N10 X\0\x7f" "ELF\x02\x01", 11);
    const std::string soubor = Soubor("p.nc", bajty);
    for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
             {"count", soubor}, {"renumber", "-i", soubor}, {"remove", soubor}, {"refs", soubor}}) {
        SCOPED_TRACE(a.front());
        EXPECT_EQ(Spustit(a), 1);
        EXPECT_EQ(vystup.program, "");
        EXPECT_NE(vystup.hlaseni.find("Soubor není textový program."), std::string::npos) << vystup.hlaseni;
        EXPECT_EQ(TDocasnaSlozka::Precist(soubor), bajty);
    }
}

TEST_F(Davka, Verze) {
    EXPECT_EQ(Spustit({"--version"}), 0);
    EXPECT_TRUE(vystup.program.starts_with("tarvik-cli " TARVIK_VERZE "\n")) << vystup.program;
    EXPECT_NE(vystup.program.find("GPL"), std::string::npos);
}

TEST_F(Davka, Napoveda) {
    EXPECT_EQ(Spustit({"--help"}), 0);
    EXPECT_NE(vystup.program.find("Použití: tarvik-cli count|introduce|renumber|remove [options] FILE"),
              std::string::npos);
    // Each option of a stored setting has its line, its text's first word after it.
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy())
        for (const TVolbaNastaveni& v : p.Volby) {
            if (v.Dlouha.empty()) continue;
            const std::string radek = "\n  --" + std::string(v.Dlouha) + (v.Zastupce.empty() ? "" : " ") +
                                      std::string(v.Zastupce) + " ";
            const std::size_t kde = vystup.program.find(radek);
            ASSERT_NE(kde, std::string::npos) << radek;
            const std::string text = DoUtf8(*v.Napoveda);
            const std::size_t zaRadkem = vystup.program.find_first_not_of(' ', kde + radek.size());
            EXPECT_EQ(vystup.program.substr(zaRadkem, text.find(' ')), text.substr(0, text.find(' '))) << radek;
        }
}

// Every option of the table: one that takes a value asks for it when it is
// missing, a switch refuses one after '='; one that applies to some commands
// only is refused with the others by its own message.
TEST(DavkaVolby, KazdaVolbaTabulky) {
    const auto chyba = [](const std::vector<std::string>& argumenty) -> std::string {
        try {
            RozebratArgumenty(argumenty);
        } catch (const TChybaPouziti& e) {
            return e.what();
        }
        return "(taken)";
    };
    for (const TVolbaDavky& o : VolbyDavky()) {
        if (!o.Nastavit) continue;
        const std::string nazev(o.Dlouha.empty() ? o.Kratka : o.Dlouha);
        SCOPED_TRACE(nazev);
        if (o.Zastupce.empty()) {
            if (!o.Dlouha.empty()) {
                EXPECT_EQ(chyba({"renumber", nazev + "=1", "p.nc"}), Vyplnit(rsDBEZHODNOTY, {nazev}));
            }
        } else {
            EXPECT_EQ(chyba({"renumber", "p.nc", nazev}), Vyplnit(rsDHODNOTA, {nazev}));
        }
        if (o.Prikazy.empty()) continue;
        for (const std::string prikaz : {"count", "introduce", "renumber", "remove", "refs"}) {
            std::vector<std::string> argumenty = {prikaz, nazev};
            if (!o.Zastupce.empty()) argumenty.push_back(o.Zastupce == "LIST" ? "none" : "1");
            argumenty.push_back("p.nc");
            EXPECT_EQ(chyba(argumenty), MeziPrikazy(o.Prikazy, prikaz) ? "(taken)" : DoUtf8(*o.Jen)) << prikaz;
        }
    }
}

// The manual page names every option of the batch tool among its options.
TEST(DavkaManual, KazdaVolba) {
    const std::string manual =
        TDocasnaSlozka::Precist(fs::path(TARVIK_FILES_FTD).parent_path() / "linux" / "tarvik-cli.1");
    const std::size_t volby = manual.find("\n.SH OPTIONS\n");
    ASSERT_NE(volby, std::string::npos);
    const std::string oddil = manual.substr(volby, manual.find("\n.SH ", volby + 1) - volby);
    const auto uvedena = [&](std::string_view nazev) {
        // As roff writes it (\-\-number\-start), then the end of the name.
        std::string jmeno;
        for (const char c : nazev) jmeno += c == '-' ? std::string("\\-") : std::string(1, c);
        for (std::size_t i = oddil.find(jmeno); i != std::string::npos; i = oddil.find(jmeno, i + 1)) {
            const char pred = i > 0 ? oddil[i - 1] : ' ';
            const char za = i + jmeno.size() < oddil.size() ? oddil[i + jmeno.size()] : ' ';
            if (pred != '-' && !std::isalnum(static_cast<unsigned char>(za)) && za != '\\') return true;
        }
        return false;
    };
    for (const TVolbaDavky& o : VolbyDavky()) {
        if (!o.Kratka.empty()) {
            EXPECT_TRUE(uvedena(o.Kratka)) << o.Kratka;
        }
        if (!o.Dlouha.empty()) {
            EXPECT_TRUE(uvedena(o.Dlouha)) << o.Dlouha;
        }
    }
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy())
        for (const TVolbaNastaveni& v : p.Volby)
            if (!v.Dlouha.empty()) {
                EXPECT_TRUE(uvedena("--" + std::string(v.Dlouha))) << v.Dlouha;
            }
}

}  // namespace

// The batch tool follows the settings the window saved.
namespace {

class DavkaSNastavenim : public ::testing::TestWithParam<TDruhUloziste> {
protected:
    DavkaSNastavenim() {
        prostredi.SouborTypu = uloziste.Slozka() / "files.ftd";
        TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Ze souboru\t.nc\t:\tN\t%\tM30\t(\t\r\n");
        prostredi.Registr = [this] { return uloziste.Otevrit(); };
        prostredi.KlicNastaveni = uloziste.Koren();
        program = (uloziste.Slozka() / "p.nc").string();
        TDocasnaSlozka::Zapsat(program, "N1 X\nN2 Y\nN3 Z\n");
    }
    int Spustit(std::vector<std::string> argumenty) {
        vystup = TZachycenyVystup();
        return SpustitDavku(argumenty, prostredi, vystup);
    }
    // Replaces the stored settings by the numbers and strings given.
    void Ulozit(const std::vector<std::pair<std::u16string, std::int32_t>>& cisla,
                const std::vector<std::pair<std::u16string, std::u16string>>& retezce = {}) {
        auto r = uloziste.Otevrit();
        r->SmazatKlic(uloziste.Koren());
        ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), true));
        for (const auto& [n, h] : retezce) r->ZapsatRetezec(n, h);
        for (const auto& [n, h] : cisla) r->ZapsatCislo(n, h);
    }

    TZkusebniUloziste uloziste{GetParam()};
    TProstrediDavky prostredi;
    TZachycenyVystup vystup;
    std::string program;
};

TEST_P(DavkaSNastavenim, CislovaniZUlozenehoNastaveni) {
    using C = std::vector<std::pair<std::u16string, std::int32_t>>;
    struct Pripad {
        const char* nazev;
        C cisla;
        std::vector<std::pair<std::u16string, std::u16string>> retezce;
        std::vector<std::string> volby;
        std::string program;
        std::string hlaseni;
    };
    const std::string chybaCteni = "Chyba: Při čtení hodnot nastavení z registru došlo k chybě.\n";
    const Pripad pripady[] = {
        {"nothing stored", {}, {}, {}, "N5 X\r\nN10 Y\r\nN15 Z\r\n", ""},
        {"stored numbers", {{u"PrvniBlok", 100}, {u"Prirustek", 10}}, {}, {}, "N100 X\r\nN110 Y\r\nN120 Z\r\n", ""},
        {"an option over a stored number", {{u"PrvniBlok", 100}, {u"Prirustek", 10}}, {}, {"--first", "7"},
         "N7 X\r\nN17 Y\r\nN27 Z\r\n", ""},
        {"restart after the maximum",
         {{u"PrvniBlok", 10}, {u"Prirustek", 10}, {u"MaximalniBlok", 20}, {u"CislovatOdZacatku", 1}}, {}, {},
         "N10 X\r\nN20 Y\r\nN10 Z\r\n", ""},
        {"keep the maximum",
         {{u"PrvniBlok", 10}, {u"Prirustek", 10}, {u"MaximalniBlok", 20}, {u"CislovatOdZacatku", 0}}, {}, {},
         "N10 X\r\nN20 Y\r\nN20 Z\r\n", ""},
        {"both flags: keep wins", {{u"PrvniBlok", 10}, {u"Prirustek", 10}, {u"MaximalniBlok", 20},
                                   {u"CislovatOdZacatku", 1}, {u"PonechatMaximum", 1}}, {}, {},
         "N10 X\r\nN20 Y\r\nN20 Z\r\n", ""},
        {"--restart over a stored keep",
         {{u"PrvniBlok", 10}, {u"Prirustek", 10}, {u"MaximalniBlok", 20}, {u"PonechatMaximum", 1}}, {},
         {"--restart"}, "N10 X\r\nN20 Y\r\nN10 Z\r\n", ""},
        {"--keep-max over a stored restart",
         {{u"PrvniBlok", 10}, {u"Prirustek", 10}, {u"MaximalniBlok", 20}, {u"CislovatOdZacatku", 1}}, {},
         {"--keep-max"}, "N10 X\r\nN20 Y\r\nN20 Z\r\n", ""},
        {"stored numbers pulled into 1..9999",
         {{u"PrvniBlok", 0}, {u"Prirustek", -3}, {u"MaximalniBlok", 20000}}, {}, {}, "N1 X\r\nN2 Y\r\nN3 Z\r\n", ""},
        {"the maximum bounds the first number", {{u"PrvniBlok", 50}, {u"MaximalniBlok", 20}}, {}, {},
         "N20 X\r\nN20 Y\r\nN20 Z\r\n", ""},
        {"a value of the wrong type ends the reading", {{u"PrvniBlok", 100}, {u"MaximalniBlok", 105}},
         {{u"Prirustek", u"10"}}, {}, "N100 X\r\nN105 Y\r\nN110 Z\r\n",
         chybaCteni + "(Invalid data type for 'Prirustek'.)\n"},
        {"Jazyk as a number: nothing applies", {{u"Jazyk", 1}, {u"PrvniBlok", 100}}, {}, {},
         "N5 X\r\nN10 Y\r\nN15 Z\r\n", chybaCteni + "(Invalid data type for 'Jazyk'.)\n"},
    };
    for (const auto& p : pripady) {
        Ulozit(p.cisla, p.retezce);
        std::vector<std::string> argumenty = {"renumber"};
        argumenty.insert(argumenty.end(), p.volby.begin(), p.volby.end());
        argumenty.push_back(program);
        EXPECT_EQ(Spustit(argumenty), 0) << p.nazev << "\n" << vystup.hlaseni;
        EXPECT_EQ(vystup.program, p.program) << p.nazev;
        EXPECT_EQ(vystup.hlaseni.substr(0, p.hlaseni.size()), p.hlaseni) << p.nazev;
        if (p.hlaseni.empty()) {
            EXPECT_EQ(vystup.hlaseni.find("Chyba"), std::string::npos) << p.nazev << "\n" << vystup.hlaseni;
        }
    }
    EXPECT_EQ(Spustit({"renumber", "--keep-max", "--restart", program}), 2);
    EXPECT_EQ(vystup.hlaseni.substr(0, vystup.hlaseni.find('\n')),
              "tarvik-cli: --keep-max a --restart se navzájem vylučují");
}

// The window's switch "update references to blocks" is the default of renumber.
TEST_P(DavkaSNastavenim, OdkazyPodleUlozenehoNastaveni) {
    TDocasnaSlozka::Zapsat(program, "N1 GOTO 3\nN2 Y\nN3 Z\n");
    const struct {
        std::int32_t ulozeno;  // -1: nothing stored
        std::vector<std::string> volby;
        const char* program;
    } pripady[] = {
        {-1, {}, "N5 GOTO 15\r\nN10 Y\r\nN15 Z\r\n"},
        {0, {}, "N5 GOTO 3\r\nN10 Y\r\nN15 Z\r\n"},
        {0, {"--update-references"}, "N5 GOTO 15\r\nN10 Y\r\nN15 Z\r\n"},
        {1, {"--keep-references"}, "N5 GOTO 3\r\nN10 Y\r\nN15 Z\r\n"},
    };
    for (const auto& p : pripady) {
        if (p.ulozeno < 0)
            Ulozit({});
        else
            Ulozit({{u"AktualizovatOdkazy", p.ulozeno}});
        std::vector<std::string> a = {"renumber"};
        a.insert(a.end(), p.volby.begin(), p.volby.end());
        a.push_back(program);
        EXPECT_EQ(Spustit(a), 0) << vystup.hlaseni;
        EXPECT_EQ(vystup.program, p.program) << p.ulozeno;
    }
}

TEST_P(DavkaSNastavenim, SeznamTypuJakoOkno) {
    // No list key: files.ftd.
    Ulozit({{u"PrvniBlok", 10}});
    EXPECT_EQ(Spustit({"types"}), 0);
    EXPECT_EQ(vystup.program, "Ze souboru\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\n");

    // The stored list, in its order; files.ftd is not needed then.
    ZapsatSeznam(*uloziste.Otevrit(), uloziste.Klic(u"TypySouboru"),
                 {u"Uložený\t.mpf\t\t\tBEGIN\tEND\t;\t", u"Druhý\t.nc\t:\tN\t%\tM30\t\t"});
    std::filesystem::remove(prostredi.SouborTypu);
    EXPECT_EQ(Spustit({"types"}), 0);
    EXPECT_EQ(vystup.program, "Uložený\t.mpf\t\t\tBEGIN\tEND\t;\tGOTO\nDruhý\t.nc\t:\tN\t%\tM30\t\tGOTO M99P M97P G70-G73\n");
    EXPECT_EQ(vystup.hlaseni, "");
    EXPECT_EQ(Spustit({"count", program}), 0);
    EXPECT_EQ(vystup.program, "3\n");  // .nc: the second stored type

    // An empty stored list stays empty, without the warning.
    ZapsatSeznam(*uloziste.Otevrit(), uloziste.Klic(u"TypySouboru"), {});
    EXPECT_EQ(Spustit({"types"}), 0);
    EXPECT_EQ(vystup.program, "");
    EXPECT_EQ(vystup.hlaseni, "");
}

INSTANTIATE_TEST_SUITE_P(Uloziste, DavkaSNastavenim, ::testing::Values(VychoziDruhUloziste()),
                         [](const auto& info) { return std::string(NazevDruhu(info.param)); });

// A store that another program rewrites at one moment of the tool's
// reading: before the tool opens the file type list.
class TUlozisteSPrepisem final : public TRegistr {
public:
    TUlozisteSPrepisem(std::unique_ptr<TRegistr> r, std::function<void()> prepsat)
        : r_(std::move(r)), prepsat_(std::move(prepsat)) {}
    bool OtevritKlic(std::u16string_view cesta, bool vytvorit) override {
        if (prepsat_ && cesta.ends_with(u"TypySouboru")) std::exchange(prepsat_, nullptr)();
        return r_->OtevritKlic(cesta, vytvorit);
    }
    void ZavritKlic() override { r_->ZavritKlic(); }
    bool KlicExistuje(std::u16string_view cesta) override { return r_->KlicExistuje(cesta); }
    bool SmazatKlic(std::u16string_view cesta) override { return r_->SmazatKlic(cesta); }
    bool HodnotaExistuje(std::u16string_view n) override { return r_->HodnotaExistuje(n); }
    TTypHodnoty TypHodnoty(std::u16string_view n) override { return r_->TypHodnoty(n); }
    std::u16string CistRetezec(std::u16string_view n) override { return r_->CistRetezec(n); }
    std::int32_t CistCislo(std::u16string_view n) override { return r_->CistCislo(n); }
    void ZapsatRetezec(std::u16string_view n, std::u16string_view h) override { r_->ZapsatRetezec(n, h); }
    void ZapsatRozsirenyRetezec(std::u16string_view n, std::u16string_view h) override {
        r_->ZapsatRozsirenyRetezec(n, h);
    }
    void ZapsatCislo(std::u16string_view n, std::int32_t h) override { r_->ZapsatCislo(n, h); }
    std::optional<std::uint32_t> PocetHodnot() override { return r_->PocetHodnot(); }
    std::vector<std::u16string> NazvyHodnot() override { return r_->NazvyHodnot(); }
    std::optional<std::u16string> Poskozeni() override { return r_->Poskozeni(); }
    void Zmrazit() override { r_->Zmrazit(); }

private:
    std::unique_ptr<TRegistr> r_;
    std::function<void()> prepsat_;
};

TEST(DavkaSeSouborem, NastaveniNikdyNezapise) {
    TZkusebniUloziste uloziste(TDruhUloziste::Soubor);
    TProstrediDavky prostredi;
    prostredi.SouborTypu = uloziste.Slozka() / "files.ftd";
    TDocasnaSlozka::Zapsat(prostredi.SouborTypu, "Ze souboru\t.nc\t:\tN\t%\tM30\t(\t\r\n");
    prostredi.Registr = [&] { return uloziste.Otevrit(); };
    const std::string program = (uloziste.Slozka() / "p.nc").string();
    TDocasnaSlozka::Zapsat(program, "N1 X\n");
    const auto spustit = [&](std::vector<std::string> argumenty, TZachycenyVystup& vystup) {
        return SpustitDavku(argumenty, prostredi, vystup);
    };
    const auto soubory = [&] {
        std::vector<std::string> v;
        for (const auto& p : std::filesystem::directory_iterator(uloziste.Slozka().Cesta()))
            if (p.path().filename() != "p.nc")
                v.push_back(p.path().filename().string() + "=" + TDocasnaSlozka::Precist(p.path()));
        std::sort(v.begin(), v.end());
        return v;
    };

    // No store file: none is created.
    TZachycenyVystup vystup;
    EXPECT_EQ(spustit({"renumber", "-i", program}, vystup), 0);
    EXPECT_FALSE(std::filesystem::exists(uloziste.Soubor()));

    // A store with the list key, and then a damaged one: both stay as they are.
    {
        auto r = uloziste.Otevrit();
        ASSERT_TRUE(r->OtevritKlic(KlicNastaveni, true));
        r->ZapsatCislo(u"PrvniBlok", 100);
        UlozitTypySouboru(*r, {{u"Uložený", u".nc", u":", u"N", u"%", u"M30", u""}});
    }
    auto pred = soubory();
    vystup = TZachycenyVystup();
    EXPECT_EQ(spustit({"renumber", "-i", program}, vystup), 0);
    EXPECT_EQ(TDocasnaSlozka::Precist(program), "N100 X\r\n");
    EXPECT_EQ(spustit({"types"}, vystup), 0);
    EXPECT_EQ(vystup.program, "Uložený\t.nc\t:\tN\t%\tM30\t\tGOTO M99P M97P G70-G73\n");
    TDocasnaSlozka::Zapsat(program, "N1 X\n");
    auto po = soubory();
    EXPECT_EQ(po, pred);

    const std::string poskozeny = "Windows Registry Editor Version 5.00\r\n\r\n"
                                  "[HKEY_CURRENT_USER\\Software\\Orvendal\\Tarvik]\r\n"
                                  "\"PrvniBlok\"=dword:100000000\r\n";
    TDocasnaSlozka::Zapsat(uloziste.Soubor(), poskozeny);
    pred = soubory();
    vystup = TZachycenyVystup();
    EXPECT_EQ(spustit({"renumber", program}, vystup), 0);
    EXPECT_EQ(vystup.program, "N5 X\r\n");
    const std::string hlaseni = "Chyba: Při čtení hodnot nastavení z registru došlo k chybě.\n"
                                "(Settings file \"" + uloziste.Soubor().string() +
                                "\" is damaged at line 4: a dword needs one to eight hex digits; the rest of it "
                                "is read, and the damaged file will be kept as \"" + uloziste.Soubor().string() +
                                ".corrupt-";
    EXPECT_EQ(vystup.hlaseni.substr(0, hlaseni.size()), hlaseni);
    vystup = TZachycenyVystup();
    EXPECT_EQ(spustit({"types"}, vystup), 0);
    EXPECT_EQ(vystup.program, "Ze souboru\t.nc\t:\tN\t%\tM30\t(\tGOTO M99P M97P G70-G73\n");
    EXPECT_EQ(soubory(), pred);
    // Another program saves the store without the list while the tool reads
    // it: the tool reads the one version it began with, and writes nothing.
    fs::remove(uloziste.Soubor());
    {
        auto r = uloziste.Otevrit();
        UlozitTypySouboru(*r, {{u"Uložený", u".nc", u":", u"N", u"%", u"M30", u""}});
    }
    std::string jinaVerze;
    prostredi.Registr = [&]() -> std::unique_ptr<TRegistr> {
        return std::make_unique<TUlozisteSPrepisem>(uloziste.Otevrit(), [&] {
            auto r = uloziste.Otevrit();
            ASSERT_TRUE(r->OtevritKlic(KlicNastaveni, true));
            r->ZapsatCislo(u"PrvniBlok", 7);
            r->SmazatKlic(KlicTypuSouboru);
            jinaVerze = TDocasnaSlozka::Precist(uloziste.Soubor());
        });
    };
    vystup = TZachycenyVystup();
    EXPECT_EQ(spustit({"types"}, vystup), 0);
    EXPECT_EQ(vystup.program, "Uložený\t.nc\t:\tN\t%\tM30\t\tGOTO M99P M97P G70-G73\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(uloziste.Soubor()), jinaVerze);
}

}  // namespace
