#include "katalog/Zpravy.h"
#include "katalog/convar.h"

#include <gtest/gtest.h>

namespace {

TEST(Katalog, PoradiKliceAVestaveneTexty) {
    const auto& k = Katalog();
    ASSERT_EQ(k.size(), 22u);
    EXPECT_EQ(k.front().Klic, "rsCHYBA");
    EXPECT_EQ(k[8].Klic, "rsNEDEFSOUBORY");
    EXPECT_EQ(k.back().Klic, "rsBLOKU");
    for (const auto& p : k) EXPECT_EQ(*p.Text, p.Vestaveny) << p.Klic;
    ASSERT_NE(PolozkaKatalogu("rsNENISOUBOR"), nullptr);
    EXPECT_EQ(*PolozkaKatalogu("rsNENISOUBOR")->Text, u"Není otevřený žádný soubor");
    EXPECT_EQ(PolozkaKatalogu("rsneni"), nullptr);

    rsCHYBA = u"Error";
    EXPECT_EQ(*PolozkaKatalogu("rsCHYBA")->Text, u"Error");
    ObnovitVestaveneTexty();
    EXPECT_EQ(rsCHYBA, u"Chyba");
}

TEST(Zpravy, TextyPrikazu) {
    EXPECT_EQ(ZpravaBlokyJsou(70000),
              u"Program již NC bloky obsahuje: 70000x.\rNejdříve NC bloky odstraňte.");
    EXPECT_EQ(ZpravaBlokyNejsou(), u"Program neobsahuje žádné NC bloky.\rMůžete zavést nové NC bloky.");
    EXPECT_EQ(ZpravaBlokyNejsouVybrane(), u"Výběr neobsahuje žádné NC bloky.\rMůžete zavést nové NC bloky.");
    EXPECT_EQ(ZpravaNeniCoOdstranit(), u"Program neobsahuje žádné NC bloky");
    EXPECT_EQ(ZpravaNeniSoubor(), u"Není otevřený žádný soubor.");
}

TEST(Zpravy, Statistiky) {
    struct Pripad {
        std::vector<std::u16string> radky;
        bool zlom;
        std::size_t znaku;
    };
    const Pripad pripady[] = {
        {{}, false, 0},
        {{u"N10 G0", u"N20 M30"}, true, 17},
        {{u"N10 G0", u"N20 M30"}, false, 15},
        {{u""}, true, 2},
    };
    for (const auto& p : pripady) EXPECT_EQ(PocetZnaku(p.radky, p.zlom), p.znaku);
    EXPECT_EQ(TextStatistiky(2, 17, 2), u"Počet řádků: 2, Počet znaků: 17, Počet NC bloků: 2.");
}

}  // namespace
