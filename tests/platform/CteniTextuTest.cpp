#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/CteniTextu.h"
#include "../support/DocasnaSlozka.h"
#include "../support/ZpravaChyby.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
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
#include <unistd.h>
#endif

namespace fs = std::filesystem;

namespace {

TEST(CteniTextu, NecitelnySouborHlasiCestuADuvod) {
    TDocasnaSlozka slozka;
    const fs::path chybi = slozka / "chybi.nc";
    EXPECT_EQ(ZpravaChyby([&] { NacistTextovySoubor(chybi); }),
              "Cannot open file \"" + chybi.string() + "\". No such file or directory");
    EXPECT_EQ(ZpravaChyby([&] { NacistTextovySoubor(slozka.Cesta()); }),
              "Cannot open file \"" + slozka.Cesta().string() + "\". Is a directory");
}

TEST(CteniTextu, DlouhyRadekANulovyBajt) {
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "dlouhy.nc";
    constexpr std::size_t Delka = 20 * 1000 * 1000;
    std::string bajty(Delka, 'X');
    bajty[5] = '\0';
    bajty += "\nA";
    // The same in UTF-16 LE, twice the bytes.
    std::string utf16 = "\xFF\xFE";
    utf16.reserve(2 * bajty.size() + 2);
    for (char c : bajty) utf16 += {c, '\0'};
    for (const std::string* b : {&bajty, &utf16}) {
        TDocasnaSlozka::Zapsat(soubor, *b);
        const TText text = NacistTextovySoubor(soubor);
        ASSERT_EQ(text.Radky.size(), 2u);
        EXPECT_EQ(text.Radky[0].size(), Delka);
        EXPECT_EQ(text.Radky[0][5], u'\0');
        EXPECT_EQ(text.Radky[1], u"A");
        EXPECT_FALSE(text.KoncovyZlom);
    }
}

// A program's line is read up to its limit, in UTF-8 and in UTF-16; a
// longer one fails the reading.
TEST(CteniTextu, NejdelsiRadekProgramu) {
    constexpr std::size_t N = TProgramPoKusech::NejdelsiRadek;
    struct Pripad {
        const char* nazev;
        std::size_t delka;  // bytes of the long line in the file
        bool utf16;
        bool cte;
    };
    const Pripad pripady[] = {
        {"UTF-8 at the limit", N, false, true},
        {"UTF-8 past the limit", N + (1u << 20), false, false},
        {"UTF-16 at the limit", N, true, true},
        {"UTF-16 past the limit", N + (1u << 20), true, false},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        std::string bajty;
        if (p.utf16) {
            bajty = "\xFF\xFE";
            for (std::size_t i = 0; i < p.delka / 2; ++i) bajty += {'X', '\0'};
            bajty += {'\n', '\0', 'A', '\0'};
        } else {
            bajty = std::string(p.delka, 'X') + "\nA";
        }
        TBajtyVPameti zdroj(bajty);
        TProgramPoKusech cteni(zdroj);
        std::size_t precteno = 0;
        const auto projit = [&] {
            std::string_view kus;
            for (TProgramPoKusech::TStav s; (s = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;)
                if (s == TProgramPoKusech::TStav::Kus) precteno += kus.size();
        };
        if (p.cte) {
            projit();
            EXPECT_EQ(precteno, (p.utf16 ? p.delka / 2 : p.delka) + 2);
        } else {
            EXPECT_THROW(projit(), TChyba);
        }
    }
}

}  // namespace

namespace {

// A file read for a text area: its pieces put together, and the encoding.
struct TTextEditoru {
    std::string Utf8;
    TKodovani Kodovani;
};
TTextEditoru NacistEditor(const fs::path& soubor) {
    TTextEditoru t;
    t.Kodovani = NacistTextEditoru(
        soubor, [&](std::string_view kus) { t.Utf8 += kus; }, [&] { t.Utf8.clear(); });
    return t;
}

// The text of lines as a text area holds it: UTF-8, CR LF breaks.
std::string TextSCrLf(const TText& t) {
    std::string v;
    for (std::size_t i = 0; i < t.Radky.size(); ++i) {
        PripojitUtf8(v, t.Radky[i]);
        if (i + 1 < t.Radky.size() || t.KoncovyZlom) v += "\r\n";
    }
    return v;
}

// The file is read in pieces: what straddles a piece's end reads as if the
// file were read whole.
TEST(CteniTextu, CteniPoKusechJakoVcelku) {
    constexpr std::size_t Kus = TProgramPoKusech::Blok;
    const std::string vypln(Kus - 1, 'X');
    struct Pripad {
        const char* nazev;
        std::string bajty;
        TKodovani kodovani;
    };
    const Pripad pripady[] = {
        {"CR LF across the end of a piece", vypln + "\r\nN10", TKodovani::Utf8},
        {"CR at the end of a piece, no LF", vypln + "\rN10", TKodovani::Utf8},
        {"CR as the last byte of the file", vypln + "\r", TKodovani::Utf8},
        {"a character across the end of a piece", vypln + "\xC4\x8D\r\n", TKodovani::Utf8},
        {"a long character across the end", std::string(Kus - 2, 'X') + "\xF0\x9F\x94\xA7", TKodovani::Utf8},
        {"cut off at the very end", vypln + "AB\xC4", TKodovani::Cp1250},
        {"invalid only in the second piece", vypln + std::string(10, 'Y') + "\xE8\r\n", TKodovani::Cp1250},
        {"a line longer than a piece", std::string(3 * Kus + 5, 'Z') + "\nA", TKodovani::Utf8},
        {"a mark, then a break across", "\xEF\xBB\xBF" + std::string(Kus - 4, 'M') + "\r\n", TKodovani::Utf8Znacka},
        {"a mark before bytes that are not UTF-8", "\xEF\xBB\xBF" + vypln + "\xE8\r\n", TKodovani::Cp1250},
        {"a mark, a character across the end", "\xEF\xBB\xBF" + std::string(Kus - 4, 'M') + "\xC4\x8D", TKodovani::Utf8Znacka},
        {"empty", "", TKodovani::Utf8},
    };
    TDocasnaSlozka slozka;
    for (const auto& p : pripady) {
        const fs::path soubor = slozka / "kusy.nc";
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        const TText poKusech = NacistTextovySoubor(soubor);
        const TText vcelku = DekodovatText(p.bajty);
        EXPECT_EQ(poKusech.Kodovani, p.kodovani) << p.nazev;
        EXPECT_EQ(poKusech.Kodovani, vcelku.Kodovani) << p.nazev;
        EXPECT_EQ(poKusech.KoncovyZlom, vcelku.KoncovyZlom) << p.nazev;
        EXPECT_TRUE(poKusech.Radky == vcelku.Radky) << p.nazev;
        const TTextEditoru editor = NacistEditor(soubor);
        EXPECT_EQ(editor.Kodovani, p.kodovani) << p.nazev;
        EXPECT_TRUE(editor.Utf8 == TextSCrLf(vcelku)) << p.nazev;
    }
}

// UTF-8 converted piece by piece gives the bytes of the whole text in the
// encoding; what an encoding cannot hold is found before anything is written.
TEST(CteniTextu, PrevodZUtf8PoKusech) {
    const std::u16string radek = u"N10 G01 X12.5 Y-4.25 (\u010D\u00E1st \u20AC\u0081)\r\n";
    std::u16string text;
    for (int i = 0; i < 2000; ++i) text += radek;
    const std::string utf8 = DoUtf8(text);
    for (const TKodovani k : {TKodovani::Utf8, TKodovani::Cp1250, TKodovani::Utf16LE, TKodovani::Utf16BE}) {
        std::string vcelku;
        ASSERT_TRUE(ZakodovatDo(vcelku, text, k));
        std::string poKusech;
        // Pieces of 4096 bytes, each ending before a character's continuation bytes.
        for (std::size_t i = 0; i < utf8.size();) {
            std::size_t konec = std::min(utf8.size(), i + 4096);
            while (konec < utf8.size() && (static_cast<unsigned char>(utf8[konec]) & 0xC0) == 0x80) --konec;
            EXPECT_TRUE(PrevestZUtf8(poKusech, std::string_view(utf8).substr(i, konec - i), k));
            i = konec;
        }
        EXPECT_EQ(poKusech, vcelku) << NazevKodovani(k);
        EXPECT_TRUE(LzeZakodovatUtf8(utf8, k));
    }
    std::string cp;
    EXPECT_FALSE(LzeZakodovatUtf8("N10 \xE2\x86\x92", TKodovani::Cp1250));  // an arrow
    EXPECT_FALSE(PrevestZUtf8(cp, "N10 \xE2\x86\x92", TKodovani::Cp1250));
    // A byte that is no UTF-8 is U+FFFD, which Windows-1250 cannot hold either.
    EXPECT_FALSE(LzeZakodovatUtf8("N10 \xE8", TKodovani::Cp1250));
    std::string u;
    EXPECT_TRUE(PrevestZUtf8(u, "N10 \xE8", TKodovani::Utf8));
    EXPECT_EQ(u, "N10 \xEF\xBF\xBD");
    // Every Windows-1250 byte comes back through UTF-8.
    std::string bajty;
    for (int b = 0; b < 256; ++b) bajty += static_cast<char>(b);
    std::string prevedene, zpet;
    PrevestDoUtf8(prevedene, bajty, TKodovani::Cp1250);
    EXPECT_TRUE(PrevestZUtf8(zpet, prevedene, TKodovani::Cp1250));
    EXPECT_EQ(zpet, bajty);
}

}  // namespace

namespace {

// One reading for the batch tool's lines and the window's text: the encoding
// is decided by the whole file, never by its first bytes.
TEST(CteniTextu, KodovaniRozhodujeCelySoubor) {
    struct Pripad {
        const char* nazev;
        std::string bajty;
        TKodovani kodovani;
        std::u16string prvniRadek;
    };
    const Pripad pripady[] = {
        {"the fourth byte inside a character", "(\xC4\x8C\xC3\x81ST 1)\r\nG0 X1\r\nM30\r\n", TKodovani::Utf8,
         u"(\u010C\u00C1ST 1)"},
        {"a file type name", "Obr\xC3\xA1\xC4\x9B\x63\xC3\xAD centrum\t.nc\t:\tN\t%\tM30\t(\t\r\n", TKodovani::Utf8,
         u"Obr\u00E1\u011Bc\u00ED centrum\t.nc\t:\tN\t%\tM30\t(\t"},
        {"a character across the third byte", "ab\xC4\x8C", TKodovani::Utf8, u"ab\u010C"},
        {"two bytes, one character", "\xC4\x8C", TKodovani::Utf8, u"\u010C"},
        {"one byte", "\xE8", TKodovani::Cp1250, u"\u010D"},
        {"the start of a mark only", "\xEF\xBB", TKodovani::Cp1250, u"\u010F\u00BB"},
        {"a mark and an empty line", "\xEF\xBB\xBF\r\n", TKodovani::Utf8Znacka, u""},
        {"Windows-1250 after valid lines", "N10 (\xC4\x8C)\r\nN20 (\xE8)\r\n", TKodovani::Cp1250,
         u"N10 (\u00C4\u015A)"},
        {"UTF-16 LE, LF breaks", std::string("\xFF\xFE" "A\0\n\0B\0", 8), TKodovani::Utf16LE, u"A"},
    };
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "p.nc";
    for (const auto& p : pripady) {
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        const TText radky = NacistTextovySoubor(soubor);
        const TText vcelku = DekodovatText(p.bajty);
        const TTextEditoru editor = NacistEditor(soubor);
        EXPECT_EQ(radky.Kodovani, p.kodovani) << p.nazev;
        EXPECT_EQ(vcelku.Kodovani, p.kodovani) << p.nazev;
        EXPECT_EQ(editor.Kodovani, p.kodovani) << p.nazev;
        EXPECT_TRUE(radky.Radky == vcelku.Radky) << p.nazev;
        EXPECT_EQ(editor.Utf8, TextSCrLf(radky)) << p.nazev;
        EXPECT_TRUE(!radky.Radky.empty() && radky.Radky[0] == p.prvniRadek) << p.nazev;
    }
}

// The pieces of a program end after a line break, never inside a CR LF;
// a second pass gives the same pieces; a program that turns out not to be
// UTF-8 comes again from its start, converted. Every way of the text:
// a file, a pipe (whose bytes are kept for the second pass), bytes in memory.
TEST(ProgramPoKusech, DvaPruchody) {
    std::string utf8;
    for (int i = 0; utf8.size() < 700000; ++i) {
        utf8 += 'N';
        utf8 += std::to_string(i);
        utf8 += " X (\xC4\x8D)";
        utf8 += i % 3 == 0 ? "\r\n" : i % 3 == 1 ? "\n" : "\r";
    }
    const std::string cp1250 = utf8 + "(\xE8)\r\n";
    std::string cp1250JakoUtf8;
    PrevestDoUtf8(cp1250JakoUtf8, cp1250, TKodovani::Cp1250);
    struct Pripad {
        const char* nazev;
        const std::string& bajty;
        const std::string& text;
        TKodovani kodovani;
        int znovu;
    };
    const Pripad pripady[] = {
        {"UTF-8", utf8, utf8, TKodovani::Utf8, 0},
        {"Windows-1250 found at the end", cp1250, cp1250JakoUtf8, TKodovani::Cp1250, 1},
    };
    const auto pruchod = [](TProgramPoKusech& cteni, int& znovu) {
        std::string text;
        std::size_t kusu = 0;
        std::string_view kus;
        for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;) {
            if (stav == TProgramPoKusech::TStav::Znovu) {
                ++znovu;
                text.clear();
                continue;
            }
            ++kusu;
            EXPECT_TRUE(kus.back() == '\n' || kus.back() == '\r');
            text += kus;
        }
        EXPECT_GT(kusu, 1u);
        return text;
    };
    TDocasnaSlozka slozka;
    for (const auto& p : pripady) {
        const fs::path soubor = slozka / "p.nc";
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        TCteniSouboru zeSouboru(soubor);
        TBajtyVPameti vPameti(p.bajty);
        for (TZdrojBajtu* zdroj : std::initializer_list<TZdrojBajtu*>{&zeSouboru, &vPameti}) {
            TProgramPoKusech cteni(*zdroj);
            int znovu = 0;
            EXPECT_TRUE(pruchod(cteni, znovu) == p.text) << p.nazev;
            EXPECT_EQ(znovu, p.znovu) << p.nazev;
            EXPECT_EQ(cteni.Kodovani(), p.kodovani) << p.nazev;
            cteni.OdZacatku();
            znovu = 0;
            EXPECT_TRUE(pruchod(cteni, znovu) == p.text) << p.nazev;
            EXPECT_EQ(znovu, 0) << p.nazev;
        }
    }
}

// UTF-16 that cannot be read whole is refused with its reason, never read
// with U+FFFD in place of what is there.
TEST(CteniTextu, PoskozeneUtf16SeOhlasi) {
    const auto b = [](std::initializer_list<unsigned char> bajty) { return std::string(bajty.begin(), bajty.end()); };
    struct Pripad {
        const char* nazev;
        std::string bajty;
        std::string duvod;
    };
    const Pripad pripady[] = {
        {"LE, an odd number of bytes", b({0xFF, 0xFE, 'A', 0, 'B'}), "Damaged UTF-16: an odd number of bytes"},
        {"BE, an odd number of bytes", b({0xFE, 0xFF, 0, 'A', 0}), "Damaged UTF-16: an odd number of bytes"},
        {"a mark and one byte", b({0xFF, 0xFE, 'A'}), "Damaged UTF-16: an odd number of bytes"},
        {"a high surrogate at the end", b({0xFF, 0xFE, 'A', 0, '\r', 0, '\n', 0, 0x00, 0xD8}),
         "Damaged UTF-16: a lone surrogate D800 in line 2"},
        {"a low surrogate alone", b({0xFF, 0xFE, 0x00, 0xDC, 'A', 0}),
         "Damaged UTF-16: a lone surrogate DC00 in line 1"},
        {"a pair in the wrong order", b({0xFE, 0xFF, 0xDC, 0x00, 0xD8, 0x00}),
         "Damaged UTF-16: a lone surrogate DC00 in line 1"},
        {"lines by CR LF, CR and LF",
         b({0xFF, 0xFE, 'A', 0, '\r', 0, '\n', 0, 'B', 0, '\r', 0, 'C', 0, '\n', 0, 0xFF, 0xDB, 'x', 0}),
         "Damaged UTF-16: a lone surrogate DBFF in line 4"},
    };
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "p.nc";
    const std::string zacatek = "Cannot open file \"" + soubor.string() + "\". ";
    for (const auto& p : pripady) {
        TDocasnaSlozka::Zapsat(soubor, p.bajty);
        EXPECT_EQ(ZpravaChyby([&] { NacistTextovySoubor(soubor); }), zacatek + p.duvod) << p.nazev;
        EXPECT_EQ(ZpravaChyby([&] { NacistEditor(soubor); }), zacatek + p.duvod) << p.nazev;
        EXPECT_EQ(ZpravaChyby([&] { DekodovatText(p.bajty); }), p.duvod) << p.nazev;
    }
    // Far beyond the first piece read, the line is counted all the same; an
    // odd number of bytes is what is wrong first, also when a lone surrogate
    // comes long before the end.
    std::string dlouhy = b({0xFF, 0xFE});
    for (int i = 0; i < 200000; ++i) dlouhy += std::string("N\0\r\0\n\0", 6);
    TDocasnaSlozka::Zapsat(soubor, dlouhy + b({0x00, 0xDC}));
    EXPECT_EQ(ZpravaChyby([&] { NacistTextovySoubor(soubor); }),
              zacatek + "Damaged UTF-16: a lone surrogate DC00 in line 200001");
    TDocasnaSlozka::Zapsat(soubor, b({0xFF, 0xFE, 0x00, 0xDC}) + dlouhy.substr(2) + "x");
    EXPECT_EQ(ZpravaChyby([&] { NacistTextovySoubor(soubor); }), zacatek + "Damaged UTF-16: an odd number of bytes");
    // A pair in order is one character.
    TDocasnaSlozka::Zapsat(soubor, b({0xFF, 0xFE, 0x3D, 0xD8, 0x27, 0xDE}));
    EXPECT_EQ(NacistTextovySoubor(soubor).Radky, std::vector<std::u16string>{u"\U0001F627"});
    EXPECT_EQ(NacistEditor(soubor).Utf8, "\xF0\x9F\x98\xA7");
}

}  // namespace

#ifndef _WIN32

namespace {

// A pipe is read in one pass: nothing is read twice, also when the text turns
// out not to be UTF-8 at its very end, or is UTF-16.
TEST(CteniTextu, RouraSeCteJednou) {
    const std::string radek = "N10 G01 X12.5 (\xC4\x8C\xC3\x81ST)\r\n";
    std::string utf8;
    while (utf8.size() < 3 * TProgramPoKusech::Blok) utf8 += radek;
    const std::string pripady[] = {utf8, utf8 + "M30 (\xE8)\r\n", std::string("\xFF\xFE" "A\0\r\0\n\0", 8)};
    for (const std::string& bajty : pripady) {
        int konce[2];
        ASSERT_EQ(::pipe(konce), 0);
        std::thread pisar([&] {
            std::size_t zapsano = 0;
            while (zapsano < bajty.size()) {
                const ssize_t n = ::write(konce[1], bajty.data() + zapsano, bajty.size() - zapsano);
                if (n <= 0) break;
                zapsano += static_cast<std::size_t>(n);
            }
            ::close(konce[1]);
        });
        TText t;
        const std::string chyba =
            ZpravaChyby([&] { t = NacistTextovySoubor("/dev/fd/" + std::to_string(konce[0])); });
        // A reader that gave up ends the writer (EPIPE, not the signal).
        const auto signal = ::signal(SIGPIPE, SIG_IGN);
        ::close(konce[0]);
        pisar.join();
        ::signal(SIGPIPE, signal);
        EXPECT_EQ(chyba, "(no failure)");
        const TText vcelku = DekodovatText(bajty);
        EXPECT_EQ(t.Kodovani, vcelku.Kodovani);
        EXPECT_EQ(t.Radky.size(), vcelku.Radky.size());
        EXPECT_TRUE(t.Radky == vcelku.Radky);
    }

    // Standard input.
    int konce[2];
    ASSERT_EQ(::pipe(konce), 0);
    ASSERT_EQ(::write(konce[1], "N1\nN2\n", 6), 6);
    ::close(konce[1]);
    const int puvodni = ::dup(STDIN_FILENO);
    ::dup2(konce[0], STDIN_FILENO);
    ::close(konce[0]);
    TText t;
    {
        TCteniSouboru vstup{TCteniSouboru::TStandardniVstup{}};
        t = NacistText(vstup);
    }
    ::dup2(puvodni, STDIN_FILENO);
    ::close(puvodni);
    EXPECT_EQ(t.Radky, (std::vector<std::u16string>{u"N1", u"N2"}));
    EXPECT_TRUE(t.KoncovyZlom);
}

}  // namespace

#endif

namespace {

// Reads a whole pass; the pieces put together.
std::string Pruchod(TProgramPoKusech& cteni) {
    std::string text;
    std::string_view kus;
    for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;)
        text = stav == TProgramPoKusech::TStav::Znovu ? std::string() : text + std::string(kus);
    return text;
}

// A file changed between the passes is found out, whatever kept its size and
// time: the second pass (or CistZ) throws TZmenaSouboru, before it has given
// the last piece; a file read twice as it was passes. A file rewritten while
// the second pass reads it, its size and time kept, is told by the digest of
// its bytes alone.
TEST(CteniTextu, ZmenaMeziPruchody) {
    const std::string puvodni = "N9 X12345 Y6\r\n" + std::string(600000, 'A') + "\r\nM30\r\n";
    std::string jiny = puvodni;
    jiny[7] = '1';  // the same size
    std::string jinyDale = puvodni;
    jinyDale[400000] = 'B';  // past the first piece read
    struct Pripad {
        const char* nazev;
        std::function<void(const fs::path&)> zmenit;
        bool zmena;
        bool behem = false;  // changed after the second pass's first piece
    };
    const auto prepsat = [&](const fs::path& p, const std::string& bajty, bool casZpet) {
        struct stat st {};
        ::stat(p.c_str(), &st);
        TDocasnaSlozka::Zapsat(p, bajty);
#ifndef _WIN32
        if (casZpet) {
            const timespec casy[2] = {st.st_atim, st.st_mtim};
            ::utimensat(AT_FDCWD, p.c_str(), casy, 0);
        }
#else
        (void)casZpet;
#endif
    };
    const Pripad pripady[] = {
        {"unchanged", [](const fs::path&) {}, false},
        {"rewritten in place, its time put back", [&](const fs::path& p) { prepsat(p, jiny, true); }, true},
        {"rewritten in place", [&](const fs::path& p) { prepsat(p, jiny, false); }, true},
        {"replaced by another file", [&](const fs::path& p) {
             TDocasnaSlozka::Zapsat(p.string() + ".novy", jiny);
             fs::rename(p.string() + ".novy", p);
         }, true},
        {"cut", [&](const fs::path& p) { prepsat(p, puvodni.substr(0, 20), true); }, true},
        {"rewritten in place during the pass, its size and time kept",
         [&](const fs::path& p) { prepsat(p, jinyDale, true); }, true, true},
    };
    TDocasnaSlozka slozka;
    const fs::path soubor = slozka / "p.nc";
    for (const Pripad& p : pripady) {
        TDocasnaSlozka::Zapsat(soubor, puvodni);
        std::optional<TCteniSouboru> zdroj(std::in_place, soubor);
        TProgramPoKusech cteni(*zdroj);
        ASSERT_EQ(Pruchod(cteni), puvodni) << p.nazev;
        zdroj.reset();
        if (!p.behem) p.zmenit(soubor);
        std::string druhy;
        const std::string chyba = ZpravaChyby([&] {
            cteni.CistZ(zdroj.emplace(soubor));
            cteni.OdZacatku();
            if (p.behem) {
                std::string_view kus;
                ASSERT_EQ(cteni.Dalsi(kus), TProgramPoKusech::TStav::Kus);
                druhy = kus;
                p.zmenit(soubor);
            }
            druhy += Pruchod(cteni);
        });
        if (p.zmena) {
            EXPECT_EQ(chyba, "Cannot open file \"" + soubor.string() +
                                 "\". It was changed by another program while it was being read")
                << p.nazev;
            EXPECT_LT(druhy.size(), puvodni.size()) << p.nazev;
        } else {
            EXPECT_EQ(chyba, "(no failure)") << p.nazev;
            EXPECT_EQ(druhy, puvodni);
        }
        // The old bytes as the in-place writer holds them: checked before any piece.
        zdroj.reset();
        TBajtyVPameti stare(p.zmena ? std::string_view(jiny) : std::string_view(puvodni));
        EXPECT_EQ(ZpravaChyby([&] { cteni.CistZ(stare); }) != "(no failure)", p.zmena) << p.nazev;
    }
    // The type is TZmenaSouboru, for callers that tell it apart.
    TBajtyVPameti a(puvodni), b(jiny);
    TProgramPoKusech cteni(a);
    Pruchod(cteni);
    EXPECT_THROW(cteni.CistZ(b), TZmenaSouboru);
}

// A change that keeps the size and that no fingerprint shows (times that do
// not move, a change within their resolution, a source without any) is told
// at the end of a pass by the digest alone: in a second pass over a source
// that goes back, and in a file read against a first reading whose
// fingerprint it still has.
TEST(CteniTextu, ZmenaStejneVelikostiJenSouhrnem) {
    const std::string puvodni = "%\r\nN1 X12\r\n" + std::string(300000, 'A') + "\r\nM30\r\n";
    for (const std::size_t kde : {std::size_t{0}, std::size_t{6}, puvodni.size() - 3}) {
        for (const bool zmena : {false, true}) {
            SCOPED_TRACE(std::to_string(kde) + (zmena ? " changed" : " unchanged"));
            std::string bajty = puvodni;
            TBajtyVPameti zdroj(bajty);
            TProgramPoKusech cteni(zdroj, false);
            ASSERT_EQ(Pruchod(cteni), puvodni);
            if (zmena) bajty[kde] = bajty[kde] == '7' ? '8' : '7';
            cteni.OdZacatku();
            if (zmena)
                EXPECT_THROW(Pruchod(cteni), TZmenaSouboru);
            else
                EXPECT_EQ(Pruchod(cteni), puvodni);

            TDocasnaSlozka slozka;
            const fs::path soubor = slozka / "p.nc";
            TDocasnaSlozka::Zapsat(soubor, bajty);
            TSouhrnBajtu souhrn;
            souhrn.Pridat(puvodni.data(), puvodni.size());
            const TPrecteno prvni{OtiskSouboru(soubor), puvodni.size(), souhrn.Hodnota()};
            ASSERT_TRUE(prvni.Otisk);
            TCteniSouboru druhe(soubor, &prvni);
            std::string precteno(puvodni.size() + 1, '\0');
            const auto cist = [&] {
                std::size_t n = 0;
                while (const std::size_t k = druhe.Precist(precteno.data() + n, precteno.size() - n)) n += k;
                return n;
            };
            if (zmena)
                EXPECT_THROW(cist(), TZmenaSouboru);
            else
                EXPECT_EQ(cist(), puvodni.size());
        }
    }
}

// The digest is the same however the bytes come cut, and tells one changed
// byte apart.
TEST(CteniTextu, SouhrnNezalezinaKusech) {
    std::string bajty;
    for (int i = 0; i < 1000; ++i) bajty += static_cast<char>(i * 7 + i / 13);
    TSouhrnBajtu cely;
    cely.Pridat(bajty.data(), bajty.size());
    for (const std::size_t kus : {1u, 3u, 8u, 31u, 32u, 33u, 999u}) {
        TSouhrnBajtu poKusech;
        for (std::size_t i = 0; i < bajty.size(); i += kus)
            poKusech.Pridat(bajty.data() + i, std::min(kus, bajty.size() - i));
        EXPECT_EQ(poKusech.Hodnota(), cely.Hodnota()) << kus;
    }
    for (const std::size_t delka : {0u, 5u, 31u, 32u, 40u, 1000u}) {
        std::string jiny = bajty.substr(0, delka) + "x";
        TSouhrnBajtu a, b;
        a.Pridat(bajty.data(), delka + 1);
        b.Pridat(jiny.data(), jiny.size());
        if (bajty[delka] != 'x') {
            EXPECT_NE(a.Hodnota(), b.Hodnota()) << delka;
        }
    }
}

// A program that holds a NUL character, in any encoding, is not a text
// program: refused with TNeniTextovyProgram; a list read whole takes it.
TEST(CteniTextu, NulNeniTextProgramu) {
    const std::string pripady[] = {
        std::string("N10 X1\r\nN20\0Y\r\n", 15),
        "\x7F" "ELF" + std::string(3, '\0') + "\xE8\xFF",
        std::string("N10 \xE8\r\n") + std::string(1, '\0'),
        std::string("\xFF\xFE" "N\0\0\0", 6),
        std::string(700000, 'X') + std::string(1, '\0'),
    };
    for (const std::string& bajty : pripady) {
        TBajtyVPameti zdroj(bajty);
        TProgramPoKusech cteni(zdroj);
        EXPECT_THROW(Pruchod(cteni), TNeniTextovyProgram) << bajty.size();
        EXPECT_EQ(ZpravaChyby([&] { DekodovatText(bajty); }), "(no failure)");
    }
    EXPECT_TRUE(JeTextProgramu("N10 X1\r\n\t\x1A"));
    EXPECT_FALSE(JeTextProgramu(std::string_view("N\0", 2)));
}

}  // namespace
