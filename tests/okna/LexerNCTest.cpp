// The colours of an NC line by its file type: one line of each kind, and the
// editor colouring only the lines it shows.
#include "ui/EditorProgramu.h"
#include "ui/LexerNC.h"

#include "filetypes/TypSouboru.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using D = TDruhSlova;

TTypSouboru Typ(std::u16string hlavni, std::u16string vedlejsi, std::u16string zacatek, std::u16string konec,
                std::u16string komentar) {
    return {u"T", u".nc", hlavni, vedlejsi, zacatek, konec, komentar};
}

TEST(LexerNC, RadekKazdehoDruhu) {
    const TTypSouboru iso = Typ(u":", u"N", u"%", u"M30", u"("), sinumerik = Typ(u":", u"N", u"%", u"M17", u";"),
                      dialog = Typ(u"", u"", u"BEGIN PGM", u"END PGM", u";");
    struct Pripad {
        const char* nazev;
        const TTypSouboru& typ;
        std::string radek;
        std::vector<TSlovo> slova;
    };
    const Pripad pripady[] = {
        {"block number, G code, address words", iso, "N10 G01 X-1.5 F200",
         {{0, 3, D::CisloBloku}, {4, 7, D::KodG}, {8, 13, D::Adresa}, {14, 18, D::Adresa}}},
        {"main block character, M code", iso, "  :20 T3 M6", {{2, 5, D::CisloBloku}, {6, 8, D::Adresa}, {9, 11, D::KodM}}},
        {"comment in parentheses, words after it", iso, "G0 (FACE) Z5.",
         {{0, 2, D::KodG}, {3, 9, D::Komentar}, {10, 13, D::Adresa}}},
        {"comment to the end of the line", sinumerik, "N5 G1 ; X1 (NOT A WORD)", {{0, 2, D::CisloBloku}, {3, 5, D::KodG}, {6, 23, D::Komentar}}},
        {"start marker", iso, "%", {{0, 1, D::Znacka}}},
        {"end marker behind the number, M300 is no marker", iso, "N90 M30",
         {{0, 3, D::CisloBloku}, {4, 7, D::Znacka}}},
        {"an M code that only begins like the end marker", iso, "M300", {{0, 4, D::KodM}}},
        {"conversational: digits are the number, markers are words", dialog, "0 BEGIN PGM P1 MM",
         {{0, 1, D::CisloBloku}, {2, 11, D::Znacka}, {12, 14, D::Adresa}}},
        {"references: GOTO target, M99 P word", iso, "N10 GOTO N20 M99 P30",
         {{0, 3, D::CisloBloku}, {9, 12, D::Odkaz}, {13, 16, D::KodM}, {17, 20, D::Odkaz}}},
        {"a cycle's profile", iso, "G71 P10 Q20 U0.5", {{0, 3, D::KodG}, {4, 7, D::Odkaz}, {8, 11, D::Odkaz}, {12, 16, D::Adresa}}},
        {"keywords, variables, strings", iso, "IF [#1 GT 0] X#2 \"G1\"", {{13, 14, D::Adresa}}},
        {"no reference inside a comment", iso, "(GOTO 10)", {{0, 9, D::Komentar}}},
    };
    TLexerNC lexer;
    std::vector<TSlovo> slova;
    for (const auto& p : pripady) {
        lexer.NastavitTyp(p.typ);
        lexer.Rozebrat(p.radek, slova);
        EXPECT_EQ(slova, p.slova) << p.nazev;
    }
    // Without a file type nothing is coloured.
    lexer.NastavitTyp(std::nullopt);
    lexer.Rozebrat("N10 G1", slova);
    EXPECT_TRUE(slova.empty());
}

// The editor colours the lines it shows, in the colour of each kind, and the
// lines scrolled away lose their colours.
TEST(LexerNC, EditorBarviJenViditelne) {
    TEditorProgramu e;
    e.resize(400, 200);
    e.show();
    std::string text;
    for (int i = 1; i <= 1000; ++i) text += "N" + std::to_string(i) + " G1 X" + std::to_string(i) + "\r\n";
    e.Nacist(text);
    e.NastavitTypSouboru(Typ(u":", u"N", u"%", u"M30", u"("));
    const auto barva = [&](long radek, long sloupec) {
        const long p = e.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, radek) + sloupec;
        return e.SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, TEditorProgramu::IndikatorBarvy, p);
    };
    const auto hodnota = [](D druh) {
        const QColor b = TEditorProgramu::BarvaSlova(druh);
        return long(QsciScintillaBase::SC_INDICVALUEBIT) | (long(b.blue()) << 16) | (long(b.green()) << 8) | b.red();
    };
    e.ObarvitViditelne();
    EXPECT_EQ(barva(0, 0), hodnota(D::CisloBloku));
    EXPECT_EQ(barva(0, 3), hodnota(D::KodG));
    EXPECT_EQ(barva(0, 6), hodnota(D::Adresa));
    EXPECT_EQ(barva(0, 2), 0);  // the blank
    EXPECT_EQ(barva(600, 0), 0);
    e.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, 600);
    e.ObarvitViditelne();
    EXPECT_EQ(barva(600, 0), hodnota(D::CisloBloku));
    EXPECT_EQ(barva(0, 0), 0);
}

}  // namespace
