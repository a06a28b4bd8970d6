// Finding a text in a program's bytes (UTF-8), read in place in the text
// area's own buffer: as written, or regardless of the case of letters;
// anywhere, or as a whole word of the program. Words of an NC program are runs
// of letters and numbers, and an address is a word apart from its value: X is
// a whole word in X10 and but not in MAX; X1 is one in X1 Y2 and in X1.
// but not in X10 or X1.5; 10 is one in X10 but not in 100 or 2.10.
//
// The bytes an occurrence can start with are looked for sixteen at a time
// (the editor library's own search takes seconds for a million lines); the
// case of letters beyond ASCII is Qt's (simple case folding).
#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

struct TZadaniHledani {
    QString Text;
    bool CelaSlova = false;
    bool VelikostPismen = false;  // letters only as written
    bool operator==(const TZadaniHledani&) const = default;
};

// Bytes [od, po) of a text stand as a whole word: neither end goes on in the
// text with a character of its kind (a letter, or a digit or a decimal point).
bool CeleSlovo(std::string_view text, std::size_t od, std::size_t po);

class THledani {
public:
    explicit THledani(const TZadaniHledani& zadani);
    bool Prazdne() const { return vzor_.empty(); }

    struct TNalez {
        std::size_t Od = 0, Po = 0;
        bool operator==(const TNalez&) const = default;
    };
    // The first occurrence that lies within [od, po) (dopredu), or the last.
    std::optional<TNalez> Najit(std::string_view text, std::size_t od, std::size_t po, bool dopredu) const;
    // The bytes [od, po) are an occurrence (the selection that a replace replaces).
    bool JeVyskyt(std::string_view text, std::size_t od, std::size_t po) const;

    // Calls pripojit(od, po) for each occurrence within [od, po), in order,
    // none overlapping the one before; returns how many.
    template <typename F>
    std::size_t ProKazdy(std::string_view text, std::size_t od, std::size_t po, F&& pripojit) const {
        std::size_t pocet = 0;
        while (const std::optional<TNalez> n = Najit(text, od, po, true)) {
            pripojit(n->Od, n->Po);
            ++pocet;
            od = n->Po;
        }
        return pocet;
    }

private:
    // The end of the occurrence that starts at i and ends by po; none there.
    std::optional<std::size_t> Shoda(std::string_view text, std::size_t i, std::size_t po) const;
    std::string vzor_;        // the text, UTF-8
    std::u32string slozeny_;  // its characters case-folded, when case does not matter
    bool velikost_ = false, celaSlova_ = false, ascii_ = true;
    std::string zacatky_;  // the bytes an occurrence can start with
};
