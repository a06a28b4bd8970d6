#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/CteniTextu.h"
#include "platform/ZapisSouboru.h"
#include "../support/DocasnaSlozka.h"
#include "../support/ZpravaChyby.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <thread>

#include <sys/stat.h>
#ifndef _WIN32
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

TEST(ZapisSouboru, ZapisNahradiSouborCely) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "program.nc";
    TDocasnaSlozka::Zapsat(soubor, "stary obsah, delsi nez novy\r\n");
    fs::permissions(soubor, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ZapsatSouborAtomicky(soubor, "N10 G0\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N10 G0\r\n");
    // The file keeps its permissions, and nothing is left beside it.
    EXPECT_EQ(fs::status(soubor).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(std::distance(fs::directory_iterator(slozka.Cesta()), fs::directory_iterator()), 1);
}

TEST(ZapisSouboru, OdkazZustaneOdkazem) {
    TDocasnaSlozka slozka;
    const fs::path cil = slozka / "cil.nc";
    const fs::path odkaz = slozka / "odkaz.nc";
    TDocasnaSlozka::Zapsat(cil, "A");
    fs::create_symlink(cil, odkaz);
    ZapsatSouborAtomicky(odkaz, "B");
    EXPECT_TRUE(fs::is_symlink(odkaz));
    EXPECT_EQ(TDocasnaSlozka::Precist(cil), "B");
}

TEST(ZapisSouboru, NezapsatelnySouborZustaneBezeZmeny) {
    TDocasnaSlozka slozka;
    const fs::path jenKCteni = slozka / "jen-ke-cteni.nc";
    TDocasnaSlozka::Zapsat(jenKCteni, "N10 X\r\n");
    fs::permissions(jenKCteni, fs::perms::owner_read | fs::perms::group_read);
    EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(jenKCteni, "jine"); }),
              "Cannot create file \"" + jenKCteni.string() + "\". Permission denied");
    EXPECT_EQ(TDocasnaSlozka::Precist(jenKCteni), "N10 X\r\n");

    const fs::path bezSlozky = slozka / "neni" / "x.nc";
    EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(bezSlozky, "x"); }),
              "Cannot create file \"" + bezSlozky.string() + "\". Folder \"" +
                  bezSlozky.parent_path().string() + "\": No such file or directory");
    EXPECT_FALSE(fs::exists(bezSlozky));

    EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(slozka.Cesta(), "x"); }),
              "Cannot create file \"" + slozka.Cesta().string() + "\". Is a directory");
    EXPECT_EQ(std::distance(fs::directory_iterator(slozka.Cesta()), fs::directory_iterator()), 1);
}

TEST(ZapisSouboru, NovySouborPodleMasky) {
    TDocasnaSlozka slozka;
    const fs::path novy = slozka / "novy.nc";
    const mode_t puvodni = ::umask(022);
    ZapsatSouborAtomicky(novy, "X");
    ::umask(puvodni);
    EXPECT_EQ(TDocasnaSlozka::Precist(novy), "X");
    EXPECT_EQ(fs::status(novy).permissions(), fs::perms::owner_read | fs::perms::owner_write |
                                                  fs::perms::group_read | fs::perms::others_read);
}

}  // namespace

#ifndef _WIN32

namespace {

// Runs akce in a child process, as an ordinary user (uid and gid 65534) when
// the tests run as root, which folder permissions do not stop. Returns what
// akce returns, or the message of the failure it throws.
std::string VPotomkovi(const std::function<std::string()>& akce, bool jakoUzivatel = true) {
    int roura[2];
    if (::pipe(roura) != 0) return "(no pipe)";
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::close(roura[0]);
        std::string vysledek;
        if (jakoUzivatel && ::geteuid() == 0 &&
            (::setgroups(0, nullptr) != 0 || ::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            vysledek = "(cannot become an ordinary user)";
        } else {
            try {
                vysledek = akce();
            } catch (const std::exception& e) {
                vysledek = e.what();
            }
        }
        if (::write(roura[1], vysledek.data(), vysledek.size()) < 0) ::_exit(2);
        ::_exit(0);
    }
    ::close(roura[1]);
    std::string vysledek;
    char blok[512];
    for (ssize_t n; (n = ::read(roura[0], blok, sizeof blok)) > 0;) vysledek.append(blok, static_cast<std::size_t>(n));
    ::close(roura[0]);
    int stav = 0;
    ::waitpid(pid, &stav, 0);
    if (!WIFEXITED(stav) || WEXITSTATUS(stav) != 0) return "(the child process ended abnormally)";
    return vysledek;
}

std::vector<std::string> Soubory(const fs::path& slozka) {
    std::vector<std::string> v;
    for (const auto& p : fs::directory_iterator(slozka)) v.push_back(p.path().filename().string());
    std::sort(v.begin(), v.end());
    return v;
}

// Devices, pipes and descriptors named by a path are written through, never
// replaced by a file.
TEST(ZapisSouboru, CoNeniSouborSeNenahradi) {
    TDocasnaSlozka slozka;
    const fs::path roura = slozka / "roura";
    ASSERT_EQ(::mkfifo(roura.c_str(), 0644), 0);
    const fs::path odkaz = slozka / "odkaz";
    fs::create_symlink(roura, odkaz);
    for (const fs::path& cil : {roura, odkaz}) {
        // A reader that does not wait for the writer; the bytes fit the pipe.
        const int ctenar = ::open(roura.c_str(), O_RDONLY | O_NONBLOCK);
        ASSERT_GE(ctenar, 0);
        EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(cil, "N5 X\r\n"); }), "(no failure)") << cil;
        char blok[64] = {};
        EXPECT_EQ(::read(ctenar, blok, sizeof blok), 6) << cil;
        EXPECT_STREQ(blok, "N5 X\r\n");
        ::close(ctenar);
        EXPECT_TRUE(fs::is_fifo(fs::symlink_status(roura)));
    }
    EXPECT_TRUE(fs::is_symlink(odkaz));

    // A character device of the test's own, the kind of /dev/null.
    const fs::path zarizeni = slozka / "nic";
    if (::mknod(zarizeni.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0) {
        ZapsatSouborAtomicky(zarizeni, "N5 X\r\n");
        EXPECT_TRUE(fs::is_character_file(fs::symlink_status(zarizeni)));
    }

    // A descriptor by its path, as /dev/stdout: a pipe, and a file open for
    // appending, which keeps what it held.
    int konce[2];
    ASSERT_EQ(::pipe(konce), 0);
    ZapsatSouborAtomicky("/dev/fd/" + std::to_string(konce[1]), "N10\r\n");
    ::close(konce[1]);
    char blok[64] = {};
    EXPECT_EQ(::read(konce[0], blok, sizeof blok), 5);
    EXPECT_STREQ(blok, "N10\r\n");
    ::close(konce[0]);
    const fs::path zaznam = slozka / "zaznam.txt";
    TDocasnaSlozka::Zapsat(zaznam, "stary\n");
    const int pripojit = ::open(zaznam.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(pripojit, 0);
    ZapsatSouborAtomicky("/proc/self/fd/" + std::to_string(pripojit), "novy\n");
    ::close(pripojit);
    EXPECT_EQ(TDocasnaSlozka::Precist(zaznam), "stary\nnovy\n");
    // Nothing was made beside them.
    std::vector<std::string> ocekavane = {"odkaz", "roura", "zaznam.txt"};
    if (fs::exists(fs::symlink_status(zarizeni))) ocekavane.insert(ocekavane.begin(), "nic");
    EXPECT_EQ(Soubory(slozka.Cesta()), ocekavane);
}

// A file with other hard links is written in place: every name sees the new
// content.
TEST(ZapisSouboru, PevneOdkazyZustanou) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "a.nc";
    const fs::path druhy = slozka / "b.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\nN2 Y\r\n");
    fs::create_hard_link(soubor, druhy);
    ZapsatSouborAtomicky(soubor, "N5 X\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(druhy), "N5 X\r\n");
    EXPECT_EQ(fs::hard_link_count(soubor), 2u);
    EXPECT_TRUE(fs::equivalent(soubor, druhy));
    EXPECT_EQ(Soubory(slozka.Cesta()), (std::vector<std::string>{"a.nc", "b.nc"}));
}

// The folder cannot be written, the file can: written in place. A new file
// there cannot be made, and the message says the folder is why.
TEST(ZapisSouboru, NezapisovatelnaSlozka) {
    TDocasnaSlozka slozka;
    const fs::path jenCteni = slozka / "jen-cteni";
    fs::create_directory(jenCteni);
    const fs::path soubor = jenCteni / "p.nc";
    const fs::path novy = jenCteni / "novy.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(jenCteni.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(soubor.c_str(), 65534, 65534), 0);
    }
    ::chmod(soubor.c_str(), 0644);
    ::chmod(jenCteni.c_str(), 0555);
    EXPECT_EQ(VPotomkovi([&] {
                  ZapsatSouborAtomicky(soubor, "N5 X\r\n");
                  return std::string();
              }),
              "");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 X\r\n");
    EXPECT_EQ(VPotomkovi([&] {
                  ZapsatSouborAtomicky(novy, "X");
                  return std::string();
              }),
              "Cannot create file \"" + novy.string() + "\". Folder \"" + jenCteni.string() + "\": Permission denied");
    ::chmod(jenCteni.c_str(), 0755);
    EXPECT_EQ(Soubory(jenCteni), std::vector<std::string>{"p.nc"});
}

// A file of another owner that the writer may write but cannot give away:
// written in place, so that it keeps its owner.
TEST(ZapisSouboru, CiziSouborSiNechaVlastnika) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs a second user: runs as root only";
    TDocasnaSlozka slozka;
    ::chmod(slozka.Cesta().c_str(), 0777);
    const fs::path soubor = slozka / "p.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
    ASSERT_EQ(::chown(soubor.c_str(), 65533, 65533), 0);
    ::chmod(soubor.c_str(), 0666);
    EXPECT_EQ(VPotomkovi([&] {
                  ZapsatSouborAtomicky(soubor, "N5 X\r\n");
                  return std::string();
              }),
              "");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 X\r\n");
    struct stat st {};
    ASSERT_EQ(::stat(soubor.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65533u);
    EXPECT_EQ(st.st_gid, 65533u);
    EXPECT_EQ(st.st_mode & 07777, 0666u);
    EXPECT_EQ(Soubory(slozka.Cesta()), std::vector<std::string>{"p.nc"});
}

// A failure part-way through writing in place (the file size limit here)
// writes the old bytes back and says so; a replace leaves the old file.
TEST(ZapisSouboru, SelhaniNaMisteVratiStaryObsah) {
    TDocasnaSlozka slozka;
    const fs::path odkazovany = slozka / "a.nc";
    const fs::path samotny = slozka / "c.nc";
    TDocasnaSlozka::Zapsat(odkazovany, "N1 X\r\n");
    TDocasnaSlozka::Zapsat(samotny, "N1 X\r\n");
    fs::create_hard_link(odkazovany, slozka / "b.nc");
    const auto sLimitem = [&](const fs::path& soubor) {
        return VPotomkovi(
            [&] {
                ::signal(SIGXFSZ, SIG_IGN);
                const rlimit limit{16, 16};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ZapsatSouborAtomicky(soubor, std::string(100, 'X'));
                return std::string();
            },
            false);
    };
    EXPECT_EQ(sLimitem(odkazovany),
              "Cannot create file \"" + odkazovany.string() + "\". File too large; the old content was written back");
    EXPECT_EQ(TDocasnaSlozka::Precist(odkazovany), "N1 X\r\n");
    EXPECT_EQ(sLimitem(samotny), "Cannot create file \"" + samotny.string() + "\". File too large");
    EXPECT_EQ(TDocasnaSlozka::Precist(samotny), "N1 X\r\n");

    // Left without Dokoncit (an exception between two pieces): the old content.
    {
        TZapisSouboru zapis(odkazovany);
        zapis.Zapsat("N5 ");
    }
    EXPECT_EQ(TDocasnaSlozka::Precist(odkazovany), "N1 X\r\n");
    EXPECT_EQ(Soubory(slozka.Cesta()), (std::vector<std::string>{"a.nc", "b.nc", "c.nc"}));
}

// The output of a shell command.
std::string Vystup(const std::string& prikaz) {
    std::string v;
    if (FILE* f = ::popen(prikaz.c_str(), "r")) {
        char blok[512];
        for (std::size_t n; (n = std::fread(blok, 1, sizeof blok, f)) > 0;) v.append(blok, n);
        ::pclose(f);
    }
    return v;
}

// A replace gives the new file the old one's access control list (whose mask
// would else become the group's permission) and its user attributes.
TEST(ZapisSouboru, AclAAtributySeZachovaji) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "p.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
    ::chmod(soubor.c_str(), 0640);
    if (std::system(("setfacl -m u:65534:rw,m::rw '" + soubor.string() + "' 2>/dev/null").c_str()) != 0)
        GTEST_SKIP() << "setfacl (package acl) on a file system with access control lists";
    ASSERT_EQ(::setxattr(soubor.c_str(), "user.tarvik.puvod", "CAM 3", 5, 0), 0);
    const std::string acl = "getfacl -cnp '" + soubor.string() + "'";
    const std::string pred = Vystup(acl);
    ASSERT_NE(pred.find("user:65534:rw-"), std::string::npos) << pred;
    struct stat puvodni {};
    ::stat(soubor.c_str(), &puvodni);

    ZapsatSouborAtomicky(soubor, "N5 X\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 X\r\n");
    EXPECT_EQ(Vystup(acl), pred);
    char hodnota[16] = {};
    EXPECT_EQ(::getxattr(soubor.c_str(), "user.tarvik.puvod", hodnota, sizeof hodnota), 5);
    EXPECT_STREQ(hodnota, "CAM 3");
    struct stat po {};
    ::stat(soubor.c_str(), &po);
    EXPECT_EQ(po.st_mode, puvodni.st_mode);
    EXPECT_NE(po.st_ino, puvodni.st_ino);  // replaced, not written in place
    EXPECT_EQ(Soubory(slozka.Cesta()), std::vector<std::string>{"p.nc"});
}

// A save killed before it ends leaves the file as it was and nothing beside it.
TEST(ZapisSouboru, ZabityZapisNicNenecha) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "p.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
    EXPECT_EQ(VPotomkovi(
                  [&] {
                      TZapisSouboru zapis(soubor);
                      zapis.Zapsat(std::string(1 << 20, 'X'));
                      ::raise(SIGKILL);
                      return std::string();
                  },
                  false),
              "(the child process ended abnormally)");
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N1 X\r\n");
    EXPECT_EQ(Soubory(slozka.Cesta()), std::vector<std::string>{"p.nc"});
}

// A file that cannot be read to be written in place (reading it fails at
// once) is not written, and leaves no descriptor open.
TEST(ZapisSouboru, NecitelnyNaMisteNenechaPopisovac) {
    const auto otevrenych = [] {
        return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
    };
    const auto pred = otevrenych();
    // (Reading at its start fails with an I/O error; where the system does
    // not even let it be opened, that fails.)
    EXPECT_EQ(ZpravaChyby([] { TZapisSouboru zapis("/proc/self/mem"); }).rfind("Cannot create file \"/proc/self/mem\". ", 0),
              0u);
    EXPECT_EQ(otevrenych(), pred);
}

// New files that killed saves left behind are removed by the first save of
// the run into their folder, whatever file they were for; those of a save
// still running and files of other programs stay. Later saves into that
// folder do not look again (the look costs a pass over the folder).
TEST(ZapisSouboru, OpusteneNoveSeUklidi) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "p.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
    for (const char* jmeno : {".p.nc.tarvik-Ab3xYz", ".p.nc.tarvik-bezi01", ".q.nc.tarvik-Ab3xYz", ".p.nc.Ab3xYz"})
        TDocasnaSlozka::Zapsat(slozka / jmeno, "N");
    const int bezi = ::open((slozka / ".p.nc.tarvik-bezi01").c_str(), O_RDONLY);
    ASSERT_EQ(::flock(bezi, LOCK_EX), 0);
    ZapsatSouborAtomicky(soubor, "N5 X\r\n");
    ::close(bezi);
    EXPECT_EQ(Soubory(slozka.Cesta()), (std::vector<std::string>{".p.nc.Ab3xYz", ".p.nc.tarvik-bezi01", "p.nc"}));
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 X\r\n");
    TDocasnaSlozka::Zapsat(slozka / ".r.nc.tarvik-Cd4xYz", "N");
    ZapsatSouborAtomicky(slozka / "r.nc", "N5 X\r\n");
    EXPECT_EQ(Soubory(slozka.Cesta()), (std::vector<std::string>{".p.nc.Ab3xYz", ".p.nc.tarvik-bezi01",
                                                                 ".r.nc.tarvik-Cd4xYz", "p.nc", "r.nc"}));
}


}  // namespace

#endif
