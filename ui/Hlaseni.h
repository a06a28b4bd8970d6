// The message service: every message of the program is shown through
// ZobrazitHlaseni, in the platform's standard message box.
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

enum TTypHlaseni : std::uint8_t {
    thChyba = 0,      // error, OK
    thVarovani = 1,   // warning, OK
    thInformace = 2,  // information, OK
    thDotaz = 3,      // question, Yes and No
};

// Message box style bits, as the Windows message box takes them.
namespace StylHlaseni {
constexpr std::int32_t OK = 0x00;
constexpr std::int32_t OKStorno = 0x01;
constexpr std::int32_t AnoNeStorno = 0x03;
constexpr std::int32_t AnoNe = 0x04;
constexpr std::int32_t IkonaChyby = 0x10;
constexpr std::int32_t IkonaDotazu = 0x20;
constexpr std::int32_t IkonaVarovani = 0x30;
constexpr std::int32_t IkonaInformace = 0x40;
}  // namespace StylHlaseni

// Identifiers of the button that closed a message box.
namespace Tlacitko {
constexpr std::int32_t OK = 1;
constexpr std::int32_t Storno = 2;
constexpr std::int32_t Ano = 6;
constexpr std::int32_t Ne = 7;
}  // namespace Tlacitko

class THlaseni {
public:
    // Shows a message of kind Typ with the text (a CR breaks the line) and the
    // caption (an empty caption gives an empty title). Priznaky are extra style
    // bits (0: the kind's own buttons). Returns 1 OK, 2 Cancel, 6 Yes, 7 No;
    // 0 for a kind above 3, which shows nothing.
    std::int32_t ZobrazitHlaseni(std::uint8_t Typ, const QString& Text, const QString& Titulek,
                                 std::int32_t Priznaky = 0) const;

    // A message (kind 0 to 2, OK) whose lines lead into the program: line i
    // of the text (lines split at CR) names program line Radky[i] (from 0),
    // or none (npos, or past the list). Such a line is a link, reached by
    // the mouse or by Tab and Enter; choosing it closes the box, and then
    // Prejit gets the program line.
    std::int32_t ZobrazitHlaseniSOdkazy(std::uint8_t Typ, const QString& Text, const QString& Titulek,
                                        const std::vector<std::size_t>& Radky,
                                        const std::function<void(std::size_t)>& Prejit) const;

    // A question with answers of its own (texts with their access keys, the
    // first on the left) and Cancel, which Escape and closing the box press
    // too: returns the position of the answer chosen, -1 for Cancel. Enter
    // presses the answer at position vychozi (-1: Cancel).
    int ZobrazitVolbu(std::uint8_t Typ, const QString& Text, const QString& Titulek, const QStringList& Odpovedi,
                      int vychozi) const;

    // The name of a link to program line radek, and the line a link names.
    static QString OdkazNaRadek(std::size_t radek);
    static std::optional<std::size_t> RadekOdkazu(const QString& odkaz);

    // The style of a kind and the caller's flags, as the message box gets it.
    static std::int32_t Styl(std::uint8_t Typ, std::int32_t Priznaky);
};

// The message service, one for the whole run (created and destroyed by the application).
extern THlaseni* Hlaseni;
