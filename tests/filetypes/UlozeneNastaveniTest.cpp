#include "filetypes/UlozeneNastaveni.h"
#include "../support/ZkusebniUloziste.h"
#include "../support/ZpravaChyby.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <type_traits>

namespace {

class UlozeneNastaveni : public ::testing::TestWithParam<TDruhUloziste> {
protected:
    // Replaces the settings key by what zapis writes into it.
    void Ulozit(const std::function<void(TRegistr&)>& zapis) {
        auto r = uloziste.Otevrit();
        r->SmazatKlic(uloziste.Koren());
        ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), true));
        zapis(*r);
        r->ZavritKlic();
    }
    // The settings read from the key, starting from the defaults; the failure's message, if any.
    TUlozeneNastaveni Nacist(std::string* chyba = nullptr) {
        TUlozeneNastaveni n;
        auto r = uloziste.Otevrit();
        EXPECT_TRUE(r->OtevritKlic(uloziste.Koren(), false));
        const std::string zprava = ZpravaChyby([&] { n.Nacist(*r); });
        if (chyba) *chyba = zprava;
        return n;
    }

    TZkusebniUloziste uloziste{GetParam()};
};

// A value of each line other than its default: a number one step within
// its bounds, a flag turned over (both of a pair turn over together), a path
// with letters outside ASCII.
void NastavitJinak(TUlozeneNastaveni& n, const TPopisNastaveni& p) {
    std::visit(
        [&](auto pole) {
            using TPole = decltype(pole);
            if constexpr (std::is_same_v<TPole, std::u16string TUlozeneNastaveni::*>)
                n.*pole = u"C:\\CNC\\díl " + std::u16string(p.Nazev);
            else if constexpr (std::is_same_v<TPole, bool TUlozeneNastaveni::*>)
                n.*pole = p.Vychozi == 0;
            else
                n.*pole = p.Vychozi < p.Max ? p.Vychozi + 1 : p.Vychozi - 1;
        },
        p.Pole);
}

// Every line: its default, kept by an empty key; a value other than the
// default stored with its type under the line's name and read back as it
// was; until a language is chosen, its lines are not stored.
TEST_P(UlozeneNastaveni, KazdyRadekSeUlozi) {
    const TUlozeneNastaveni vychozi;
    Ulozit([](TRegistr&) {});
    EXPECT_EQ(Nacist(), vychozi);

    TUlozeneNastaveni n;
    n.JazykZvolen = true;
    std::size_t jazykovych = 0;
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy()) {
        NastavitJinak(n, p);
        if (p.Jazykova) ++jazykovych;
    }
    ASSERT_NE(n, vychozi);
    Ulozit([&](TRegistr& r) { n.Ulozit(r); });
    EXPECT_EQ(Nacist(), n);
    auto r = uloziste.Otevrit();
    ASSERT_TRUE(r->OtevritKlic(uloziste.Koren(), false));
    EXPECT_EQ(r->PocetHodnot(), TUlozeneNastaveni::Popisy().size());
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy()) {
        SCOPED_TRACE(std::string(p.Nazev.begin(), p.Nazev.end()));
        const bool text = std::holds_alternative<std::u16string TUlozeneNastaveni::*>(p.Pole);
        ASSERT_TRUE(r->HodnotaExistuje(p.Nazev));
        EXPECT_EQ(r->TypHodnoty(p.Nazev), text ? TTypHodnoty::Retezec : TTypHodnoty::Cislo);
    }
    r->ZavritKlic();

    n.JazykZvolen = false;
    Ulozit([&](TRegistr& r) { n.Ulozit(r); });
    auto bez = uloziste.Otevrit();
    ASSERT_TRUE(bez->OtevritKlic(uloziste.Koren(), false));
    EXPECT_EQ(bez->PocetHodnot(), TUlozeneNastaveni::Popisy().size() - jazykovych);
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy())
        EXPECT_EQ(bez->HodnotaExistuje(p.Nazev), !p.Jazykova);
    bez->ZavritKlic();
    EXPECT_FALSE(Nacist().JazykZvolen);
}

// A stored number outside its line's bounds is read as the nearest bound.
TEST_P(UlozeneNastaveni, CisloVMezichRadku) {
    for (const TPopisNastaveni& p : TUlozeneNastaveni::Popisy()) {
        const auto* pole = std::get_if<std::int32_t TUlozeneNastaveni::*>(&p.Pole);
        if (!pole || p.Min == std::numeric_limits<std::int32_t>::min()) continue;
        for (const auto& [ulozeno, ocekavano] : {std::pair{p.Min - 1, p.Min}, {p.Max + 1, p.Max}, {p.Min, p.Min}}) {
            // A copy: clang's C++20 captures no structured binding.
            const std::int32_t hodnota = ulozeno;
            Ulozit([&](TRegistr& r) { r.ZapsatCislo(p.Nazev, hodnota); });
            EXPECT_EQ(Nacist().**pole, ocekavano) << std::string(p.Nazev.begin(), p.Nazev.end()) << " " << ulozeno;
        }
    }
}

TEST_P(UlozeneNastaveni, CteniPodlePravidel) {
    struct Pripad {
        const char* nazev;
        std::function<void(TRegistr&)> zapis;
        std::function<void(TUlozeneNastaveni&)> ocekavane;  // the change from the defaults
        std::string chyba;
    };
    const Pripad pripady[] = {
        {"numbers pulled into 1..9999",
         [](TRegistr& r) { r.ZapsatCislo(u"PrvniBlok", 0); r.ZapsatCislo(u"Prirustek", -3);
                           r.ZapsatCislo(u"MaximalniBlok", 20000); },
         [](TUlozeneNastaveni& n) { n.PrvniBlok = 1; n.Prirustek = 1; n.MaximalniBlok = 9999; }, ""},
        {"the first number above the maximum stays until the bounds are set",
         [](TRegistr& r) { r.ZapsatCislo(u"PrvniBlok", 50); r.ZapsatCislo(u"MaximalniBlok", 20); },
         [](TUlozeneNastaveni& n) { n.PrvniBlok = 50; n.MaximalniBlok = 20; }, ""},
        {"the width of numbers pulled into 0..9",
         [](TRegistr& r) { r.ZapsatCislo(u"SirkaCisla", 4000); },
         [](TUlozeneNastaveni& n) { n.SirkaCisla = 9; }, ""},
        {"the switch for references: a store of an older version leaves it on",
         [](TRegistr& r) { r.ZapsatCislo(u"PrvniBlok", 10); },
         [](TUlozeneNastaveni& n) { n.PrvniBlok = 10; }, ""},
        {"the switch for references turned off",
         [](TRegistr& r) { r.ZapsatPriznak(u"AktualizovatOdkazy", false); },
         [](TUlozeneNastaveni& n) { n.AktualizovatOdkazy = false; }, ""},
        {"the switch for references as a string ends the reading",
         [](TRegistr& r) { r.ZapsatRetezec(u"AktualizovatOdkazy", u"1"); },
         [](TUlozeneNastaveni&) {}, "Invalid data type for 'AktualizovatOdkazy'"},
        {"a flag is any number but 0",
         [](TRegistr& r) { r.ZapsatCislo(u"BlokPredZnakKonce", 7); r.ZapsatCislo(u"BlokPredZnakZacatku", 0); },
         [](TUlozeneNastaveni& n) { n.BlokPredZnakKonce = true; }, ""},
        {"both policies set: keep the maximum",
         [](TRegistr& r) { r.ZapsatPriznak(u"CislovatOdZacatku", true); r.ZapsatPriznak(u"PonechatMaximum", true); },
         [](TUlozeneNastaveni& n) { n.CislovatOdZacatku = false; n.PonechatMaximum = true; }, ""},
        {"both policies cleared: neither",
         [](TRegistr& r) { r.ZapsatPriznak(u"CislovatOdZacatku", false); r.ZapsatPriznak(u"PonechatMaximum", false); },
         [](TUlozeneNastaveni& n) { n.CislovatOdZacatku = false; }, ""},
        {"an expandable string, its name in other letters",
         [](TRegistr& r) { r.ZapsatRozsirenyRetezec(u"jazyk", u"DE"); },
         [](TUlozeneNastaveni& n) { n.Jazyk = u"DE"; n.JazykZvolen = true; }, ""},
        {"the image without the language: none chosen",
         [](TRegistr& r) { r.ZapsatCislo(u"IndexObrazku", 12); },
         [](TUlozeneNastaveni& n) { n.IndexObrazku = 12; }, ""},
        {"a value of the wrong type ends the reading",
         [](TRegistr& r) { r.ZapsatCislo(u"PrvniBlok", 100); r.ZapsatRetezec(u"Prirustek", u"10");
                           r.ZapsatCislo(u"MaximalniBlok", 105); },
         [](TUlozeneNastaveni& n) { n.PrvniBlok = 100; }, "Invalid data type for 'Prirustek'"},
        {"the language as a number: nothing is taken, but a language was chosen (Czech, written back)",
         [](TRegistr& r) { r.ZapsatCislo(u"Jazyk", 1); r.ZapsatCislo(u"PrvniBlok", 7); },
         [](TUlozeneNastaveni& n) { n.JazykZvolen = true; }, "Invalid data type for 'Jazyk'"},
    };
    for (const auto& p : pripady) {
        SCOPED_TRACE(p.nazev);
        Ulozit(p.zapis);
        TUlozeneNastaveni ocekavane;
        p.ocekavane(ocekavane);
        std::string chyba;
        EXPECT_EQ(Nacist(&chyba), ocekavane);
        EXPECT_EQ(chyba, p.chyba.empty() ? "(no failure)" : p.chyba);
    }
}

TEST(UlozeneNastaveniMeze, MaximumOmezujePrvniCisloAPrirustek) {
    struct Pripad {
        std::int32_t prvni, prirustek, maximum;
        std::int32_t ocekavanyPrvni, ocekavanyPrirustek, ocekavaneMaximum;
    };
    const Pripad pripady[] = {
        {50, 60, 20, 20, 20, 20},
        {3, 4, 9999, 3, 4, 9999},
        {0, -3, 20000, 1, 1, 9999},
        {7, 7, 0, 1, 1, 1},
    };
    for (const auto& p : pripady) {
        TUlozeneNastaveni n;
        n.PrvniBlok = p.prvni;
        n.Prirustek = p.prirustek;
        n.MaximalniBlok = p.maximum;
        n.NastavitMeze();
        EXPECT_EQ(n.PrvniBlok, p.ocekavanyPrvni) << p.prvni << " " << p.maximum;
        EXPECT_EQ(n.Prirustek, p.ocekavanyPrirustek) << p.prirustek << " " << p.maximum;
        EXPECT_EQ(n.MaximalniBlok, p.ocekavaneMaximum) << p.maximum;
    }
}

INSTANTIATE_TEST_SUITE_P(Uloziste, UlozeneNastaveni, ::testing::ValuesIn(DruhyUloziste()),
                         [](const auto& info) { return std::string(NazevDruhu(info.param)); });

}  // namespace
