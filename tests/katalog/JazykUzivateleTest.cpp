// The language a user gets while none was chosen in the window: the one the
// locale asks for, read as the C library's message catalogues read it.
#include "katalog/JazykUzivatele.h"

#include <gtest/gtest.h>

#include <map>

namespace {

TEST(JazykUzivatele, ZProstredi) {
    const struct {
        const char* popis;
        std::map<std::string, std::string> promenne;
        const char* jazyk;  // nullptr: none of the six
    } pripady[] = {
        {"nothing set", {}, nullptr},
        {"LANG", {{"LANG", "en_US.UTF-8"}}, "EN"},
        {"LANG of Czech", {{"LANG", "cs_CZ.UTF-8"}}, "CZ"},
        {"a modifier and an upper-case name", {{"LANG", "DE_AT@euro"}}, "DE"},
        {"a bare language", {{"LANG", "sk"}}, "SK"},
        {"LC_MESSAGES over LANG", {{"LANG", "en_US.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}}, "DE"},
        {"LC_ALL over both", {{"LC_ALL", "fr_FR.UTF-8"}, {"LC_MESSAGES", "de_DE.UTF-8"}, {"LANG", "en_US"}}, "FR"},
        {"an empty LC_ALL is unset", {{"LC_ALL", ""}, {"LANG", "es_ES.UTF-8"}}, "ES"},
        {"LC_ALL of another language wins all the same", {{"LC_ALL", "pl_PL.UTF-8"}, {"LANG", "de_DE"}}, nullptr},
        {"the C locale: the program's own language", {{"LC_ALL", "C.UTF-8"}, {"LANG", "de_DE.UTF-8"}}, nullptr},
        {"the C locale ignores LANGUAGE", {{"LANG", "POSIX"}, {"LANGUAGE", "fr"}}, nullptr},
        {"LANGUAGE alone", {{"LANGUAGE", "fr"}}, "FR"},
        {"LANGUAGE before the locale", {{"LANG", "de_DE.UTF-8"}, {"LANGUAGE", "es_ES:de"}}, "ES"},
        {"the first of LANGUAGE that is one of the six", {{"LANG", "en_GB.UTF-8"}, {"LANGUAGE", "pl:nb:sk_SK:en"}}, "SK"},
        {"LANGUAGE without one of the six: the locale", {{"LANG", "en_GB.UTF-8"}, {"LANGUAGE", "pl::nb"}}, "EN"},
        {"three letters are no language of ours", {{"LANG", "ces_CZ"}}, nullptr},
        {"a code of the language file is no locale", {{"LANG", "CZ"}}, nullptr},
    };
    for (const auto& p : pripady) {
        const auto jazyk = JazykProstredi([&](const char* nazev) -> std::optional<std::string> {
            const auto i = p.promenne.find(nazev);
            if (i == p.promenne.end()) return std::nullopt;
            return i->second;
        });
        EXPECT_EQ(jazyk.value_or("-"), p.jazyk ? p.jazyk : "-") << p.popis;
    }
}

// The choice made in the window wins; then the locale's; then Czech.
TEST(JazykUzivatele, Poradi) {
    EXPECT_EQ(JazykUzivatele(true, u"SK", std::string("DE")), "SK");
    EXPECT_EQ(JazykUzivatele(false, u"SK", std::string("DE")), "DE");
    EXPECT_EQ(JazykUzivatele(false, u"CZ", std::nullopt), "CZ");
    EXPECT_EQ(JazykUzivatele(true, u"", std::string("FR")), "FR");
}

}  // namespace
