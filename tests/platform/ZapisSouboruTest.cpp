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
#include <sys/mount.h>
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
// would else become the group's permission) and its user attributes; and
// no access control list where the old file had none, whatever the folder
// gives new files (which would hand out read access).
TEST(ZapisSouboru, AclAAtributySeZachovaji) {
    const struct {
        const char* nazev;
        const char* souboru;  // setfacl for the file, before the save ("" none)
        const char* slozce;   // setfacl for the folder, after the file was made
    } pripady[] = {
        {"the file's own list", "-m u:65534:rw,m::rw", ""},
        {"no list, the folder's default one later", "", "-d -m u:65534:rw"},
    };
    for (const auto& p : pripady) {
        TDocasnaSlozka slozka;
        const fs::path soubor = slozka / "p.nc";
        TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
        ::chmod(soubor.c_str(), 0640);
        const auto setfacl = [](const char* volby, const fs::path& cil) {
            return *volby == '\0' ||
                   std::system(("setfacl " + std::string(volby) + " '" + cil.string() + "' 2>/dev/null").c_str()) == 0;
        };
        if (!setfacl(p.souboru, soubor) || !setfacl(p.slozce, slozka.Cesta()))
            GTEST_SKIP() << "setfacl (package acl) on a file system with access control lists";
        ASSERT_EQ(::setxattr(soubor.c_str(), "user.tarvik.puvod", "CAM 3", 5, 0), 0);
        const std::string acl = "getfacl -cnp '" + soubor.string() + "'";
        const std::string pred = Vystup(acl);
        struct stat puvodni {};
        ::stat(soubor.c_str(), &puvodni);

        ZapsatSouborAtomicky(soubor, "N5 X\r\n");
        EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 X\r\n") << p.nazev;
        EXPECT_EQ(Vystup(acl), pred) << p.nazev;
        char hodnota[16] = {};
        EXPECT_EQ(::getxattr(soubor.c_str(), "user.tarvik.puvod", hodnota, sizeof hodnota), 5) << p.nazev;
        EXPECT_STREQ(hodnota, "CAM 3");
        struct stat po {};
        ::stat(soubor.c_str(), &po);
        EXPECT_EQ(po.st_mode, puvodni.st_mode) << p.nazev;
        EXPECT_NE(po.st_ino, puvodni.st_ino) << p.nazev;  // replaced, not written in place
        EXPECT_EQ(Soubory(slozka.Cesta()), std::vector<std::string>{"p.nc"});
    }
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

// Whatever has the name of a new file a killed save left behind, and is not
// provably this program's, stays: a user's own file, another user's, one
// under a lock of flock or fcntl, one with another name too. (A real one is
// removed: the kill -9 race of the batch tool's tests.)
TEST(ZapisSouboru, CiziSouboryZustanou) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "p.nc";
    TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
    TDocasnaSlozka::Zapsat(slozka / "q.nc", "N1 X\r\n");
    std::vector<int> drzene;
    const struct {
        const char* jmeno;
        std::function<void(const fs::path&)> pripravit;
    } pripady[] = {
        {".notes.tarvik-backup", [](const fs::path&) {}},
        {".p.nc.tarvik-Ab3xYz", [](const fs::path&) {}},
        {".config.tarvik-v1.0.1",
         [](const fs::path& p) {
             ::chmod(p.c_str(), 0600);
             if (::geteuid() == 0) {
                 ASSERT_EQ(::chown(p.c_str(), 65534, 65534), 0);
             }
         }},
        {".db.tarvik-000001",
         [&](const fs::path& p) {
             const int fd = ::open(p.c_str(), O_RDWR);
             struct flock zamek {};
             zamek.l_type = F_WRLCK;
             zamek.l_whence = SEEK_SET;
             ASSERT_EQ(::fcntl(fd, F_OFD_SETLK, &zamek), 0);
             drzene.push_back(fd);
         }},
        {".p.nc.tarvik-bezi01",
         [&](const fs::path& p) {
             const int fd = ::open(p.c_str(), O_RDONLY);
             ASSERT_EQ(::flock(fd, LOCK_EX), 0);
             drzene.push_back(fd);
         }},
        {".q.nc.tarvik-Cd4xYz",
         [&](const fs::path& p) {
             fs::remove(p);
             fs::create_hard_link(slozka / "q.nc", p);
         }},
    };
    std::vector<std::string> ocekavane = {"p.nc", "q.nc"};
    for (const auto& p : pripady) {
        TDocasnaSlozka::Zapsat(slozka / p.jmeno, "N");
        p.pripravit(slozka / p.jmeno);
        ocekavane.push_back(p.jmeno);
    }
    std::sort(ocekavane.begin(), ocekavane.end());
    ZapsatSouborAtomicky(soubor, "N5 X\r\n");
    for (const int fd : drzene) ::close(fd);
    EXPECT_EQ(Soubory(slozka.Cesta()), ocekavane);
    EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 X\r\n");
    EXPECT_EQ(TDocasnaSlozka::Precist(slozka / ".notes.tarvik-backup"), "N");
}

// A name of up to 255 bytes is saved, also where the new file's name beside
// it would be longer: the name in it is cut, never inside a character.
TEST(ZapisSouboru, DlouhaJmena) {
    const std::string dvoubajtovy = "\xC5\xA1";  // š
    const std::string jmena[] = {
        std::string(241, 'a'),
        std::string(250, 'b'),
        std::string(252, 'c') + ".nc",
        std::string(1, 'd') + [&] {
            std::string s;
            while (s.size() + 2 <= 254) s += dvoubajtovy;
            return s;
        }(),
    };
    for (const std::string& jmeno : jmena) {
        TDocasnaSlozka slozka;
        const fs::path soubor = slozka / jmeno;
        TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
        EXPECT_EQ(ZpravaChyby([&] { ZapsatSouborAtomicky(soubor, "N5 X\r\n"); }), "(no failure)") << jmeno.size();
        EXPECT_EQ(TDocasnaSlozka::Precist(soubor), "N5 X\r\n") << jmeno.size();
        EXPECT_EQ(Soubory(slozka.Cesta()), std::vector<std::string>{jmeno});
    }
}

// A writer given the fingerprint of what was read replaces or writes only
// that file: a file changed, replaced or deleted since stays as the other
// program left it. A file it wrote has the fingerprint it tells, for the
// next save.
TEST(ZapisSouboru, JenSouborKteryByPrecten) {
    const struct {
        const char* nazev;
        bool odkaz;  // a second hard link: written in place
        std::function<void(const fs::path&)> zmenit;
        const char* po;  // what the file holds afterwards ("" none)
    } pripady[] = {
        {"unchanged", false, [](const fs::path&) {}, "N5 X\r\n"},
        {"rewritten in place", false, [](const fs::path& p) { TDocasnaSlozka::Zapsat(p, "N7 Y\r\n"); }, "N7 Y\r\n"},
        {"replaced by a rename", false,
         [](const fs::path& p) {
             TDocasnaSlozka::Zapsat(p.string() + ".novy", "N7 Y\r\n");
             fs::rename(p.string() + ".novy", p);
         },
         "N7 Y\r\n"},
        {"deleted", false, [](const fs::path& p) { fs::remove(p); }, ""},
        {"in place: unchanged", true, [](const fs::path&) {}, "N5 X\r\n"},
        {"in place: rewritten", true, [](const fs::path& p) { TDocasnaSlozka::Zapsat(p, "N7 Y\r\n"); }, "N7 Y\r\n"},
    };
    for (const auto& p : pripady) {
        // Changed before the writer opens it, and while it writes.
        for (const bool pozde : {false, true}) {
            TDocasnaSlozka slozka;
            const fs::path soubor = slozka / "p.nc";
            TDocasnaSlozka::Zapsat(soubor, "N1 X\r\n");
            if (p.odkaz) fs::create_hard_link(soubor, slozka / "b.nc");
            const std::optional<TOtiskSouboru> precteny = OtiskSouboru(soubor);
            ASSERT_TRUE(precteny);
            std::optional<TOtiskSouboru> zapsany;
            const std::string chyba = ZpravaChyby([&] {
                if (!pozde) p.zmenit(soubor);
                TZapisSouboru zapis(soubor, precteny);
                if (pozde) p.zmenit(soubor);
                zapis.Zapsat("N5 X\r\n");
                zapis.Dokoncit();
                zapsany = zapis.Otisk();
            });
            const std::string nazev = std::string(p.nazev) + (pozde ? ", while written" : "");
            const bool zmena = std::string_view(p.po) != "N5 X\r\n";
            EXPECT_EQ(chyba, zmena ? "Cannot create file \"" + soubor.string() +
                                         "\". It was changed by another program since it was read, and is left as it is"
                                   : "(no failure)")
                << nazev;
            EXPECT_EQ(fs::exists(soubor) ? TDocasnaSlozka::Precist(soubor) : "", p.po) << nazev;
            if (!zmena) {
                EXPECT_TRUE(zapsany && zapsany == OtiskSouboru(soubor)) << nazev;
            }
            // Nothing left beside it.
            std::vector<std::string> ocekavane;
            if (p.odkaz) ocekavane.push_back("b.nc");
            if (fs::exists(soubor)) ocekavane.push_back("p.nc");
            EXPECT_EQ(Soubory(slozka.Cesta()), ocekavane) << nazev;
        }
    }
}

// The reasons of the system are data: a read-only file system is told as
// such, not as a permission denied.
TEST(ZapisSouboru, SystemJenProCteni) {
    TDocasnaSlozka slozka;
    const fs::path pripojeni = slozka / "ro";
    fs::create_directory(pripojeni);
    if (::mount("tarvik", pripojeni.c_str(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "mounting a file system needs root (CAP_SYS_ADMIN)";
    TDocasnaSlozka::Zapsat(pripojeni / "p.nc", "N1 X\r\n");
    ASSERT_EQ(::mount(nullptr, pripojeni.c_str(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
    for (const fs::path& soubor : {pripojeni / "p.nc", pripojeni / "novy.nc"}) {
        try {
            ZapsatSouborAtomicky(soubor, "N5 X\r\n");
            ADD_FAILURE() << "written on a read-only file system";
        } catch (const TChybaSouboru& e) {
            EXPECT_EQ(e.Udaje().Kod, EROFS) << e.what();
            EXPECT_EQ(DruhDuvodu(e.Udaje().Kod), TDruhDuvodu::JenProCteni);
        }
    }
    EXPECT_EQ(TDocasnaSlozka::Precist(pripojeni / "p.nc"), "N1 X\r\n");
    ::umount2(pripojeni.c_str(), MNT_DETACH);
}

}  // namespace

#endif
