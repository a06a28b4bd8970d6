// The batch tool over many programs: folders, -o FOLDER, --check, --diff, -j.
#include "cli/Davka.h"
#include "cli/Rozdil.h"
#include "../support/DavkaVTestu.h"
#include "../support/DocasnaSlozka.h"

#include <gtest/gtest.h>

#include <functional>

#ifndef _WIN32
#include <grp.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

constexpr const char* Cislovany = "%\r\nN1 G90\r\nN2 X1\r\nM30\r\n";
constexpr const char* Precislovany = "%\r\nN5 G90\r\nN10 X1\r\nM30\r\n";
constexpr const char* BezCisel = "%\r\nG90\r\nM30\r\n";

// A folder of programs: two numbered ones, one without numbers (refused by
// renumber), one in a subfolder, and files that are no programs.
class Slozky : public ::testing::Test {
protected:
    Slozky() {
        prostredi.SouborTypu = slozka / "files.ftd";
        TDocasnaSlozka::Zapsat(prostredi.SouborTypu,
                               "Frézka\t.nc\t:\tN\t%\tM30\t(\t\r\n"
                               "Sinumerik\t.mpf\t:\tN\t%\tM30\t;\t\r\n");
        fs::create_directories(slozka / "p" / "pod");
        fs::create_directories(slozka / "p" / ".skryta");
        Zapsat("p/a.nc", Cislovany);
        Zapsat("p/b.nc", BezCisel);
        Zapsat("p/pod/c.MPF", "N7 X\n");
        Zapsat("p/.skryta/d.nc", Cislovany);
        Zapsat("p/.e.nc", Cislovany);
        Zapsat("p/poznamky.txt", Cislovany);
        Zapsat("p/O1234", Cislovany);
        fs::create_directories(slozka / "q");
        Zapsat("q/a.nc", Cislovany);
        fs::current_path(slozka.Cesta());
    }
    ~Slozky() override { fs::current_path(fs::temp_directory_path()); }

    void Zapsat(const std::string& jmeno, std::string_view obsah) { TDocasnaSlozka::Zapsat(slozka / jmeno, obsah); }
    std::string Precist(const std::string& jmeno) const { return TDocasnaSlozka::Precist(slozka / jmeno); }
    int Spustit(std::vector<std::string> argumenty) {
        vystup = TZachycenyVystup();
        return SpustitDavku(argumenty, prostredi, vystup);
    }
#ifndef _WIN32
    // The same in a child process of an ordinary user (uid and gid 65534),
    // when the tests run as root, which folder permissions do not stop.
    int SpustitJakoUzivatel(const std::vector<std::string>& argumenty) {
        if (::geteuid() != 0) return Spustit(argumenty);
        int roura[2];
        if (::pipe(roura) != 0) return -1;
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::close(roura[0]);
            int kod = -2;
            if (::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0) kod = Spustit(argumenty);
            const std::string zprava = static_cast<char>('0' + kod + 2) + vystup.hlaseni;
            if (::write(roura[1], zprava.data(), zprava.size()) < 0) ::_exit(2);
            ::_exit(0);
        }
        ::close(roura[1]);
        std::string zprava;
        char blok[512];
        for (ssize_t n; (n = ::read(roura[0], blok, sizeof blok)) > 0;) zprava.append(blok, static_cast<std::size_t>(n));
        ::close(roura[0]);
        ::waitpid(pid, nullptr, 0);
        if (zprava.empty()) return -3;
        vystup = TZachycenyVystup();
        vystup.hlaseni = zprava.substr(1);
        return zprava[0] - '0' - 2;
    }
#endif
    // Every file below the folder with its bytes, for "nothing changed".
    std::map<std::string, std::string> Obsah(const std::string& jmeno = "p") const {
        std::map<std::string, std::string> obsah;
        for (const auto& p : fs::recursive_directory_iterator(slozka / jmeno))
            if (p.is_regular_file()) obsah[p.path().generic_string()] = TDocasnaSlozka::Precist(p.path());
        return obsah;
    }

    TDocasnaSlozka slozka;
    TProstrediDavky prostredi;
    TZachycenyVystup vystup;
};

TEST_F(Slozky, ProgramyVeSlozce) {
    const auto pred = Obsah();
    struct Pripad {
        std::vector<std::string> argumenty;
        int kod;
        std::string hlaseni;
        std::string program;
    };
    const std::string odmitnuti =
        "p/b.nc: odmítnut: Informace: Program neobsahuje žádné NC bloky. Můžete zavést nové NC bloky.\n";
    const Pripad pripady[] = {
        {{"count", "-r", "p"}, 0, "p/a.nc: 2 bloky\np/b.nc: 0 bloků\np/pod/c.MPF: 1 blok\n",
         "2 p/a.nc\n0 p/b.nc\n1 p/pod/c.MPF\n"},
        // --all: every file but the hidden ones.
        {{"count", "-r", "--all", "p"}, 0,
         "p/O1234: 2 bloky\np/a.nc: 2 bloky\np/b.nc: 0 bloků\np/pod/c.MPF: 1 blok\np/poznamky.txt: 2 bloky\n",
         "2 p/O1234\n2 p/a.nc\n0 p/b.nc\n1 p/pod/c.MPF\n2 p/poznamky.txt\n"},
        // A file named is taken whatever its name; one reached twice once.
        {{"count", "p/poznamky.txt", "-r", "p", "p/a.nc", "./p/a.nc"}, 0,
         "p/poznamky.txt: 2 bloky\np/a.nc: 2 bloky\np/b.nc: 0 bloků\np/pod/c.MPF: 1 blok\n", ""},
        {{"renumber", "--check", "-r", "p"}, 1,
         "p/a.nc: změnil by se, 2 bloky, 75%\n" + odmitnuti + "p/pod/c.MPF: změnil by se, 1 blok, 0%\n", ""},
        {{"renumber", "--check", "p/pod/c.MPF"}, 1, "p/pod/c.MPF: změnil by se, 1 blok, 0%\n", ""},
        {{"renumber", "--diff", "-r", "p"}, 1,
         "p/a.nc: změnil by se, 2 bloky, 75%\n" + odmitnuti + "p/pod/c.MPF: změnil by se, 1 blok, 0%\n",
         "--- p/a.nc\n+++ p/a.nc\n@@ -1,4 +1,4 @@\n %\n-N1 G90\n-N2 X1\n+N5 G90\n+N10 X1\n M30\n"
         "--- p/pod/c.MPF\n+++ p/pod/c.MPF\n@@ -1 +1 @@\n-N7 X\n+N5 X\n"},
        // Usage errors touch nothing.
        {{"renumber", "p"}, 2, "tarvik-cli: 'p' je složka; programy v ní vezme -r\n", ""},
        {{"renumber", "-r", "p"}, 2, "tarvik-cli: několik programů nebo FOLDER potřebuje -i, -o FOLDER, --check nebo --diff\n", ""},
        {{"renumber", "-r", "-o", "-", "p"}, 2, "tarvik-cli: několik programů nebo FOLDER potřebuje -o FOLDER, ne -o -\n", ""},
        {{"renumber", "-r", "-o", "ven", "p", "q/a.nc"}, 2,
         "tarvik-cli: 'p/a.nc' i 'q/a.nc' by se zapsaly do 'ven/a.nc'\n", ""},
        {{"renumber", "--check", "-i", "p/a.nc"}, 2,
         "tarvik-cli: --check a --diff nic nemění: -o a --in-place zde neplatí\n", ""},
        {{"count", "--diff", "p/a.nc"}, 2, "tarvik-cli: count nic nemění: --check a --diff zde neplatí\n", ""},
        {{"count", "--all", "p"}, 2, "tarvik-cli: --all platí jen pro složky u -r\n", ""},
        {{"count", "-j", "0", "p/a.nc"}, 2, "tarvik-cli: -j potřebuje celé číslo od 1 do 9999, ne '0'\n", ""},
        {{"count", "-jx", "p/a.nc"}, 2, "tarvik-cli: -j potřebuje celé číslo od 1 do 9999, ne 'x'\n", ""},
        {{"count", "--jobs=", "p/a.nc"}, 2, "tarvik-cli: --jobs potřebuje celé číslo od 1 do 9999, ne ''\n", ""},
        {{"count", "-", "p/a.nc"}, 2, "tarvik-cli: standardní vstup (\"-\") je FILE sám o sobě, ne jeden z několika\n", ""},
        {{"renumber", "--diff", "-"}, 2, "tarvik-cli: --check a --diff porovnávají se souborem FILE, ne se standardním vstupem\n", ""},
        {{"renumber", "-t", "Nic", "-i", "-r", "p"}, 2,
         "tarvik-cli: žádný typ souboru se nejmenuje 'Nic'; typy souborů jsou:\n  1  Frézka\n  2  Sinumerik\n", ""},
    };
    for (const auto& p : pripady) {
        std::string popis;
        for (const auto& a : p.argumenty) popis += a + " ";
        EXPECT_EQ(Spustit(p.argumenty), p.kod) << popis << "\n" << vystup.hlaseni;
        if (p.kod == 2) {
            EXPECT_EQ(vystup.hlaseni.substr(0, p.hlaseni.size()), p.hlaseni) << popis;
        } else {
            EXPECT_EQ(vystup.hlaseni, p.hlaseni) << popis;
        }
        if (!p.program.empty()) {
            EXPECT_EQ(vystup.program, p.program) << popis;
        }
        EXPECT_EQ(Obsah(), pred) << popis;
    }
    EXPECT_FALSE(fs::exists(slozka / "ven"));
}

// -i and -o FOLDER: each program done on its own, a refused one left as it
// was; -o keeps the paths below the folder and leaves the programs as they were.
TEST_F(Slozky, ZapisNaMisteADoSlozky) {
    const auto pred = Obsah();
    EXPECT_EQ(Spustit({"renumber", "-r", "-o", "ven/nova", "p", "p/poznamky.txt"}), 1) << vystup.hlaseni;
    EXPECT_EQ(vystup.hlaseni, "p/a.nc: hotovo, 2 bloky, 75%\n"
                              "p/b.nc: odmítnut: Informace: Program neobsahuje žádné NC bloky. Můžete zavést nové NC bloky.\n"
                              "p/pod/c.MPF: hotovo, 1 blok, 0%\n"
                              "p/poznamky.txt: hotovo, 2 bloky, 75%\n");
    EXPECT_EQ(Obsah(), pred);
    EXPECT_EQ(Obsah("ven"), (std::map<std::string, std::string>{
                                {(slozka / "ven/nova/a.nc").generic_string(), Precislovany},
                                {(slozka / "ven/nova/pod/c.MPF").generic_string(), "N5 X\r\n"},
                                {(slozka / "ven/nova/poznamky.txt").generic_string(), Precislovany}}));

    EXPECT_EQ(Spustit({"renumber", "-i", "-r", "p"}), 1);
    EXPECT_EQ(Precist("p/a.nc"), Precislovany);
    EXPECT_EQ(Precist("p/b.nc"), BezCisel);
    EXPECT_EQ(Precist("p/pod/c.MPF"), "N5 X\r\n");
    EXPECT_EQ(Precist("p/.skryta/d.nc"), Cislovany);
    EXPECT_EQ(Precist("p/poznamky.txt"), Cislovany);

    // Renumbered once, the programs are as --check wants them.
    EXPECT_EQ(Spustit({"renumber", "--check", "p/a.nc", "p/pod"}), 2);  // a folder without -r
    EXPECT_EQ(Spustit({"renumber", "--check", "-r", "p/a.nc", "p/pod"}), 0) << vystup.hlaseni;
    EXPECT_EQ(vystup.hlaseni, "p/a.nc: beze změny, 2 bloky, 75%\np/pod/c.MPF: beze změny, 1 blok, 0%\n");
    EXPECT_EQ(Spustit({"renumber", "--diff", "-r", "p/a.nc", "p/pod"}), 0);
    EXPECT_EQ(vystup.program, "");

    // Line breaks alone: the program would change, the diff of its text is empty.
    Zapsat("p/lf.nc", "%\nN5 G90\nN10 X1\nM30\n");
    EXPECT_EQ(Spustit({"renumber", "--diff", "p/lf.nc", "p/a.nc"}), 1);
    EXPECT_EQ(vystup.hlaseni, "p/lf.nc: změnil by se (jen zlomy řádků nebo kódování), 2 bloky, 75%\n"
                              "p/a.nc: beze změny, 2 bloky, 75%\n");
    EXPECT_EQ(vystup.program, "");
}

// A program that cannot be read or written fails alone: the others are done,
// it stays as it was, and the exit status is 2 over a refusal's 1.
TEST_F(Slozky, SelhaniJednohoProgramu) {
    Zapsat("p/chybny.nc", std::string("\xFF\xFE" "N\0" "1\0\x00\xD8", 8));
#ifndef _WIN32
    Zapsat("p/jen-ke-cteni.nc", Cislovany);
    ASSERT_EQ(::chmod((slozka / "p/jen-ke-cteni.nc").c_str(), 0444), 0);
#endif
    EXPECT_EQ(Spustit({"renumber", "-i", "-r", "-j", "3", "p", "p/chybi.nc"}), 2);
    std::string ocekavane =
        "p/a.nc: hotovo, 2 bloky, 75%\n"
        "p/b.nc: odmítnut: Informace: Program neobsahuje žádné NC bloky. Můžete zavést nové NC bloky.\n"
        "p/chybny.nc: selhal: Nelze otevřít soubor \"p/chybny.nc\". Poškozené UTF-16: osamocená náhradní jednotka D800 "
        "na řádku 1.\n";
#ifndef _WIN32
    ocekavane += "p/jen-ke-cteni.nc: selhal: Nelze vytvořit soubor \"p/jen-ke-cteni.nc\". Přístup odepřen.\n";
#endif
    ocekavane += "p/pod/c.MPF: hotovo, 1 blok, 0%\n";
    ocekavane += "p/chybi.nc: selhal: Nelze otevřít soubor \"p/chybi.nc\". Soubor nebo složka neexistuje.\n";
    EXPECT_EQ(vystup.hlaseni, ocekavane);
    EXPECT_EQ(Precist("p/a.nc"), Precislovany);
    EXPECT_EQ(Precist("p/pod/c.MPF"), "N5 X\r\n");
    EXPECT_EQ(Precist("p/chybny.nc"), std::string("\xFF\xFE" "N\0" "1\0\x00\xD8", 8));
#ifndef _WIN32
    EXPECT_EQ(Precist("p/jen-ke-cteni.nc"), Cislovany);
    // Nothing left beside it.
    std::size_t souboru = 0;
    for ([[maybe_unused]] const auto& p : fs::directory_iterator(slozka / "p")) ++souboru;
    EXPECT_EQ(souboru, 9u);
#endif
}

#ifndef _WIN32
// A folder that cannot be read is told in its place; inside a folder no link
// is followed, to a folder or to a program; a link named is.
TEST_F(Slozky, NectenaSlozkaAOdkazy) {
    fs::create_directory_symlink(slozka / "p", slozka / "p/pod/zpet");
    fs::create_symlink(slozka / "p/a.nc", slozka / "p/pod/odkaz.nc");
    EXPECT_EQ(Spustit({"count", "-r", "p/pod", "p/pod/odkaz.nc"}), 0) << vystup.hlaseni;
    EXPECT_EQ(vystup.hlaseni, "p/pod/c.MPF: 1 blok\np/pod/odkaz.nc: 2 bloky\n");
    if (::geteuid() != 0) {
        // (root reads any folder)
        ASSERT_EQ(::chmod((slozka / "p/pod").c_str(), 0), 0);
        EXPECT_EQ(Spustit({"count", "-r", "p"}), 2);
        EXPECT_NE(vystup.hlaseni.find("p/pod: selhal: Nelze číst složku \"p/pod\". Přístup odepřen.\n"),
                  std::string::npos)
            << vystup.hlaseni;
        ::chmod((slozka / "p/pod").c_str(), 0755);
    }
}
#endif

#ifndef _WIN32
// Trees made to mislead the tool: an output folder inside the input, links
// out of the tree, a binary, a name with a line break, hard links, a path
// past the system's limit. Each is told, and nothing outside what was asked
// for is written.
TEST_F(Slozky, NepratelskeStromy) {
    Zapsat("venku.nc", Cislovany);
    Zapsat("ls", std::string("\x7F" "ELF\2\1\1\0\0\0N1 X\r\n", 16));
    struct Pripad {
        const char* nazev;
        std::function<void()> pripravit;
        std::vector<std::string> argumenty;
        int kod;
        std::string hlaseni;
    };
    const Pripad pripady[] = {
        {"-o inside the folder read", [] {}, {"renumber", "-r", "-o", "p/pod/ven", "p"}, 2,
         "tarvik-cli: výstupní složka 'p/pod/ven' je uvnitř složky 'p', kterou čte; zadejte složku mimo ni, nebo "
         "-i, aby se každý program zapsal přes sebe\n"},
        {"-o the folder read", [] {}, {"renumber", "-r", "-o", "./p/", "p"}, 2,
         "tarvik-cli: výstupní složka './p/' je uvnitř složky 'p', kterou čte"},
        {"-o over a program to read, by a hard link",
         [&] {
             fs::create_directories(slozka / "ven");
             fs::create_hard_link(slozka / "q/a.nc", slozka / "ven/a.nc");
         },
         {"renumber", "-o", "ven", "p/a.nc", "q/a.nc"}, 2,
         "tarvik-cli: 'p/a.nc' by se zapsal do 'ven/a.nc', což je jeden z programů ke čtení\n"},
        {"a link out of the tree is not followed",
         [&] { fs::create_symlink(slozka / "venku.nc", slozka / "p/pod/odkaz.nc"); }, {"renumber", "-r", "-i", "p/pod"},
         0, "p/pod/c.MPF: hotovo, 1 blok, 0%\n"},
        {"-o: a link planted for a result is replaced, not followed",
         [&] {
             fs::create_directories(slozka / "ven");
             fs::create_symlink(slozka / "venku.nc", slozka / "ven/c.MPF");
         },
         {"renumber", "-r", "-o", "ven", "p/pod"}, 0, "p/pod/c.MPF: hotovo, 1 blok, 0%\n"},
        {"-o: a link planted for an output folder is not followed",
         [&] {
             fs::create_directories(slozka / "p/pod/pod2");
             Zapsat("p/pod/pod2/c.MPF", "N7 X\n");
             fs::create_directories(slozka / "ven");
             fs::create_directory_symlink(slozka / "q", slozka / "ven/pod2");
         },
         {"renumber", "-r", "-o", "ven", "p/pod"}, 2,
         "p/pod/c.MPF: hotovo, 1 blok, 0%\np/pod/pod2/c.MPF: selhal: Nelze vytvořit soubor \"ven/pod2/c.MPF\". Složka "
         "\"ven/pod2\": Je to symbolický odkaz, který se zde nenásleduje, nebo smyčka odkazů.\n"},
        {"a link to a folder out of the tree is not followed",
         [&] { fs::create_directory_symlink(slozka / "q", slozka / "p/pod/q"); }, {"renumber", "-r", "--all", "-i", "p/pod"},
         0, "p/pod/c.MPF: hotovo, 1 blok, 0%\n"},
        {"a binary is not a text program", [&] { fs::copy_file(slozka / "ls", slozka / "p/pod/ls"); },
         {"renumber", "-r", "--all", "-i", "p/pod"}, 1,
         "p/pod/c.MPF: hotovo, 1 blok, 0%\np/pod/ls: odmítnut: Varování: Soubor není textový program.\n"},
        {"a line break in a name", [&] { Zapsat("p/pod/a\nb: done.nc", "N1 X\r\n"); }, {"renumber", "-r", "-i", "p/pod"},
         0, "p/pod/a\\x0ab: done.nc: hotovo, 1 blok, 0%\np/pod/c.MPF: hotovo, 1 blok, 0%\n"},
        {"a hard link in the tree, -o", [&] { fs::create_hard_link(slozka / "p/pod/c.MPF", slozka / "p/pod/d.mpf"); },
         {"renumber", "-r", "-o", "ven", "p/pod"}, 0,
         "p/pod/c.MPF: hotovo, 1 blok, 0%\np/pod/d.mpf: přeskočen: tentýž soubor jako p/pod/c.MPF; 'ven/d.mpf' se "
         "nezapíše\n"},
        {"a link named and its target in the tree", [&] { fs::create_symlink(slozka / "p/pod/c.MPF", slozka / "odkaz.nc"); },
         {"renumber", "--check", "-r", "p/pod", "odkaz.nc"}, 1,
         "p/pod/c.MPF: změnil by se, 1 blok, 0%\nodkaz.nc: přeskočen: tentýž soubor jako p/pod/c.MPF\n"},
        {"a folder that can be read but not searched",
         [&] {
             fs::create_directories(slozka / "p/pod/zamcena");
             Zapsat("p/pod/zamcena/a.nc", "N1\r\n");
             ::chmod(slozka.Cesta().c_str(), 0755);
             ::chmod((slozka / "p/pod/zamcena").c_str(), 0744);
         },
         {"(as a user)", "count", "-r", "p/pod"}, 2,
         "p/pod/c.MPF: 1 blok\np/pod/zamcena/a.nc: selhal: Nelze číst složku \"p/pod/zamcena\": \"a.nc\". "
         "Přístup odepřen.\n"},
        {"a path past the system's limit",
         [&] {
             // Folders made one inside the other, each by a short path from the one before.
             const fs::path domov = fs::current_path();
             fs::current_path(slozka / "p/pod");
             for (int i = 0; i < 20; ++i) {
                 fs::create_directory(std::string(250, char('a' + i)));
                 fs::current_path(std::string(250, char('a' + i)));
             }
             TDocasnaSlozka::Zapsat("x.nc", "N1\r\n");
             fs::current_path(domov);
         },
         {"count", "-r", "p/pod"}, 2, "p/pod/" + std::string(250, 'a')},
    };
    for (const Pripad& p : pripady) {
        fs::remove_all(slozka / "p/pod");
        fs::remove_all(slozka / "ven");
        fs::create_directories(slozka / "p/pod");
        Zapsat("p/pod/c.MPF", "N7 X\n");
        p.pripravit();
        const auto pred = p.argumenty[0] == "count" ? decltype(Obsah())() : Obsah();
        const int kod = p.argumenty.front() == "(as a user)"
                            ? SpustitJakoUzivatel({p.argumenty.begin() + 1, p.argumenty.end()})
                            : Spustit(p.argumenty);
        EXPECT_EQ(kod, p.kod) << p.nazev << "\n" << vystup.hlaseni;
        EXPECT_EQ(vystup.hlaseni.substr(0, p.hlaseni.size()), p.hlaseni) << p.nazev;
        // One line a program; a failure names what could not be read.
        if (std::string_view(p.nazev) == "a path past the system's limit") {
            EXPECT_NE(vystup.hlaseni.find("\". Jméno je příliš dlouhé.\np/pod/c.MPF: 1 blok\n"), std::string::npos)
                << vystup.hlaseni;
        }
        // Nothing written outside what was asked for.
        EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "venku.nc"), Cislovany) << p.nazev;
        EXPECT_EQ(TDocasnaSlozka::Precist(slozka / "ls").size(), 16u) << p.nazev;
        EXPECT_EQ(Precist("q/a.nc"), Cislovany) << p.nazev;
        EXPECT_EQ(Obsah("q").size(), 1u) << p.nazev;
        if (p.kod == 2 && p.argumenty[0] != "count") {
            EXPECT_EQ(Obsah(), pred) << p.nazev;
        }
    }
}

#endif

// The same lines, output and files whatever the number of programs at once.
TEST_F(Slozky, StejneProKazdeJ) {
    fs::create_directories(slozka / "mnoho");
    for (int i = 0; i < 60; ++i) {
        std::string program = "%\r\n";
        for (int r = 0; r < 1 + i * 7 % 50; ++r) {
            // Every fifth program has no block numbers.
            if (i % 5 != 0) program.append("N").append(std::to_string(r)).append(" ");
            program.append("X").append(std::to_string(r)).append("\r\n");
        }
        Zapsat(std::string("mnoho/p").append(std::to_string(100 + i)).append(".nc"), program);
    }
    std::string hlaseni, rozdil;
    std::map<std::string, std::string> vysledek;
    for (const char* j : {"1", "2", "7", "64"}) {
        EXPECT_EQ(Spustit({"renumber", "--diff", "-j", j, "-r", "mnoho"}), 1);
        if (hlaseni.empty()) {
            hlaseni = vystup.hlaseni;
            rozdil = vystup.program;
        }
        EXPECT_EQ(vystup.hlaseni, hlaseni) << j;
        EXPECT_EQ(vystup.program, rozdil) << j;
        fs::remove_all(slozka / "ven");
        EXPECT_EQ(Spustit({"renumber", "-j", j, "-r", "-o", "ven", "mnoho"}), 1);
        if (vysledek.empty()) vysledek = Obsah("ven");
        EXPECT_EQ(Obsah("ven"), vysledek) << j;
    }
    EXPECT_EQ(std::count(hlaseni.begin(), hlaseni.end(), '\n'), 60);
    EXPECT_EQ(vysledek.size(), 48u);  // the refused ones are not written
}

// The unified diff of two texts, hunk by hunk.
TEST(Rozdil, Hunky) {
    const auto text = [](std::vector<std::u16string> radky, bool zlom = true) {
        TText t;
        t.Radky = std::move(radky);
        t.KoncovyZlom = zlom;
        return t;
    };
    std::vector<std::u16string> deset;
    for (int i = 1; i <= 10; ++i) deset.push_back(std::u16string{u'L', char16_t(u'0' + i % 10)});
    const auto zmenit = [&](std::vector<int> ktere) {
        auto r = deset;
        for (int i : ktere) r[i - 1] += u"x";
        return r;
    };
    struct Pripad {
        const char* nazev;
        TText stary, novy;
        std::string rozdil;
    };
    const Pripad pripady[] = {
        {"the same", text(deset), text(deset), ""},
        {"the first line", text(deset), text(zmenit({1})), "@@ -1,4 +1,4 @@\n-L1\n+L1x\n L2\n L3\n L4\n"},
        {"two changes far apart: two hunks", text(deset), text(zmenit({2, 10})),
         "@@ -1,5 +1,5 @@\n L1\n-L2\n+L2x\n L3\n L4\n L5\n@@ -7,4 +7,4 @@\n L7\n L8\n L9\n-L0\n+L0x\n"},
        {"six lines between: one hunk", text(deset), text(zmenit({2, 9})),
         "@@ -1,10 +1,10 @@\n L1\n-L2\n+L2x\n L3\n L4\n L5\n L6\n L7\n L8\n-L9\n+L9x\n L0\n"},
        {"a run of changes", text(deset), text(zmenit({5, 6})),
         "@@ -2,8 +2,8 @@\n L2\n L3\n L4\n-L5\n-L6\n+L5x\n+L6x\n L7\n L8\n L9\n"},
        {"no break at the end", text({u"A", u"B"}, false), text({u"A", u"C"}, false),
         "@@ -1,2 +1,2 @@\n A\n-B\n\\ No newline at end of file\n+C\n\\ No newline at end of file\n"},
        {"only the break at the end", text({u"A"}, false), text({u"A"}, true),
         "@@ -1 +1 @@\n-A\n\\ No newline at end of file\n+A\n"},
        {"lines added", text({u"A", u"B"}), text({u"A", u"X", u"Y", u"B"}), "@@ -1,2 +1,4 @@\n A\n+X\n+Y\n B\n"},
        {"from nothing", text({}), text({u"A"}), "@@ -0,0 +1 @@\n+A\n"},
        {"an empty last line without a break is none", text({u"A", u""}, false), text({u"A"}, false), ""},
        {"Czech letters", text({u"(ČÁST)"}), text({u"(část)"}), "@@ -1 +1 @@\n-(ČÁST)\n+(část)\n"},
    };
    for (const auto& p : pripady) {
        const std::string r = UnifikovanyRozdil("p.nc", p.stary, p.novy);
        EXPECT_EQ(r, p.rozdil.empty() ? "" : "--- p.nc\n+++ p.nc\n" + p.rozdil) << p.nazev;
    }
}

}  // namespace
