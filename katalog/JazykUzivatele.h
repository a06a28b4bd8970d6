// The language Tarvik speaks to its user, decided in one place for the window
// and the batch tool: the language chosen in the window (stored with the
// settings) wins; while none was chosen, the one the user's locale names, if
// it is one of Tarvik's six; else Czech.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// The six languages of the language file, in the order of its flags.
inline constexpr std::array<std::string_view, 6> JazykyTarviku{"CZ", "EN", "SK", "DE", "FR", "ES"};

// The code of the language a locale name names ("de_DE.UTF-8", "en",
// "cs_CZ@euro", "sk_SK"), when it is one of the six; else nothing (also
// "C" and "POSIX").
std::optional<std::string> JazykLocale(std::string_view locale);

// Reads an environment variable: its value, or nothing when it is unset.
using TPromennaProstredi = std::function<std::optional<std::string>(const char* nazev)>;

// The language the environment asks for, as the C library's message
// catalogues read it: the locale of messages is the first of LC_ALL,
// LC_MESSAGES and LANG that is set and not empty; unless that locale is C or
// POSIX, the list of LANGUAGE (codes separated by colons) comes before it.
// The first of these that is one of the six; nothing when none is.
std::optional<std::string> JazykProstredi(const TPromennaProstredi& promenna);
// The same from the process's environment.
std::optional<std::string> JazykProstredi();

// The language of a run: the stored one when a language was chosen (and
// stored) in the window, else the environment's, else CZ.
std::string JazykUzivatele(bool zvolen, std::u16string_view ulozeny, const std::optional<std::string>& prostredi);
