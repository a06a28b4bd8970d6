// The language file tarvik.xml read without Qt, for the batch tool: the same
// texts as the window's reader (lang/JazykyXML) gives, or a refusal where it
// refuses.
//
// Hand-written, as a small strict reader of the XML the language file uses:
// the batch tool is built for Windows with MinGW too, where Debian has no
// build of libexpat and MinGW no import library of xmllite, and Qt is the
// window's alone. It takes an XML declaration (UTF-8), comments, processing
// instructions, elements, attributes, text, the five predefined entities,
// character references and CDATA sections. A document type (and with it any
// entity declaration), another encoding than UTF-8, and names other than
// ASCII letters, digits, '_', '-' and '.' (no ':') are refused as not taken
// (TOdmitnutyJazykovySoubor::Nepodporovany): the window may read such a
// file, the batch tool then speaks its built-in Czech.
//
// It keeps the window's limits: a file larger than 1 MiB is refused before
// it is read, and so is one that nests elements deeper than 64 levels, holds
// a text or attribute value longer than 4096 characters (UTF-16 units, a
// text counted over its adjacent text and CDATA pieces) or a name longer
// than 4096, or an element of more than 256 attributes (each looked for
// among those before it). Text nodes of nothing but blanks are dropped, as Qt's document
// does (the blanks of QChar::isSpace).
#pragma once

#include "platform/Chyba.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A language file refused: malformed, past a limit, or (Nepodporovany) using
// what this reader does not take.
class TOdmitnutyJazykovySoubor : public TChyba {
public:
    TOdmitnutyJazykovySoubor(std::u16string zprava, bool nepodporovany)
        : TChyba(std::move(zprava)), nepodporovany_(nepodporovany) {}
    bool Nepodporovany() const noexcept { return nepodporovany_; }

private:
    bool nepodporovany_;
};

class TJazykovySoubor {
public:
    static constexpr std::uint64_t MezVelikosti = 1024 * 1024;  // bytes of the file
    static constexpr std::size_t MezHloubky = 64;               // levels of nested elements
    static constexpr std::size_t MezTextu = 4096;               // UTF-16 units of a text, attribute value or name
    static constexpr std::size_t MezAtributu = 256;             // attributes of one element

    // Reads the file: its size is checked before it is read. Throws TChyba
    // when it cannot be read, TOdmitnutyJazykovySoubor when it is refused.
    static TJazykovySoubor Nacist(const std::filesystem::path& soubor);
    // Parses the bytes of a language file; nazev names it in messages.
    static TJazykovySoubor Precist(std::string_view bajty, std::u16string_view nazev);

    // The text of key klic of section sekce in language jazyk, the first
    // element of each name: nothing when the file has none or an empty one.
    // Throws TChyba when the language's element holds anything but one text
    // or CDATA node, as the window's reader does.
    std::optional<std::u16string> Text(std::string_view sekce, std::string_view klic, std::string_view jazyk) const;

    // The language codes of JAZYKY (the element names of its children), in order.
    std::vector<std::string> Jazyky() const;

    enum class TDruhUzlu : std::uint8_t { Prvek, Text, CData, Jiny };
    static constexpr std::uint32_t Zadny = UINT32_MAX;
    struct TUzel {
        TDruhUzlu Druh = TDruhUzlu::Jiny;
        std::string Jmeno;        // an element's name
        std::u16string Hodnota;   // a text's or CDATA section's
        std::uint32_t PrvniDite = Zadny, PosledniDite = Zadny, Dalsi = Zadny;
    };

private:
    std::uint32_t Potomek(std::uint32_t rodic, std::string_view jmeno) const;

    std::u16string nazev_;
    std::vector<TUzel> uzly_;  // [0]: the root element
};
