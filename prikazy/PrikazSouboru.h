// A command over a program file (or standard input) that is never whole in
// memory: a first pass decides its encoding, counts its lines and block
// lines and finds its references, a second one rewrites it piece by piece
// into the output. The batch tool runs its programs through it.
#pragma once

#include "Prikaz.h"

#include "platform/CteniTextu.h"
#include "platform/Kodovani.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class TZapisSouboru;

// What became of one program.
struct TVysledekProgramu {
    // Refused: the program's block lines do not fit the command, or removing
    // would break its references (the question, which nobody answers here).
    std::optional<THlaseniPrikazu> Odmitnuti;
    // count: the block lines; otherwise those of the result.
    std::int32_t Bloku = 0;
    std::uint8_t Procenta = 0;
    // The result's lines and characters, for the statistics line.
    std::size_t Radku = 0, Znaku = 0;
    // The encoding the program is written back in, and the one it was
    // written in (UTF-8 with a mark when the first cannot hold every
    // character, or when the result's first bytes in it would read back as
    // a mark: ZacatekJakoZnacka).
    TKodovani Pozadovane = TKodovani::Utf8, Pouzite = TKodovani::Utf8;
    bool ZacatekJakoZnacka = false;
    // The references to block numbers that the command found (introduce,
    // remove, refs: all of them) or updated (renumber: the edits and those it
    // could not update); none when it did not look for them.
    std::optional<TVysledekOdkazu> Odkazy;
    // The guessed type that reads the words the type does not read, for the
    // report (TPosudek::Odhad).
    std::u16string Odhad;
    // -t auto: the type the program's words pointed to, and the guess.
    std::optional<TTypSouboru> Typ;
    std::optional<TOdhadTypu> OdhadTypu;
};

// Why a result is written in another encoding than its own:
// "UTF-8 cannot hold every character" and the like, in the
// catalogue's language.
std::string DuvodJinehoKodovani(const TVysledekProgramu& r);

// Where the result of one program goes.
struct TCilProgramu {
    // Called once before the result's first byte (never for count or a
    // refusal), when the program has been read once and its file is closed,
    // with what that reading gave (for a writer over the program, and for a
    // later reading, to check it is still that file): the output opens.
    // When the result is written over the program's own file in place (not
    // replaced, TZapisSouboru::NaMiste), it returns the file's old bytes,
    // which the program is then read from.
    std::function<std::optional<std::string_view>(const TPrecteno&)> Otevrit;
    // The result's bytes, piece by piece.
    std::function<void(std::string_view)> Zapsat;
};

// Opens the writing of a program's result into soubor for TCilProgramu:
// the old bytes when soubor is the program's own file written in place.
// precteny: the program's fingerprint as read (TPrecteno::Otisk); the writer
// is given it when soubor is the program itself, so that a file another
// program changed since it was read is left alone.
std::optional<std::string_view> OtevritZapis(std::optional<TZapisSouboru>& zapis, const TCestaSouboru& soubor,
                                             const std::filesystem::path& program,
                                             std::optional<TOtiskSouboru> precteny = std::nullopt);

// Reads one program ("-": standard input; a file in a tree as TCestaSouboru reaches it) and counts its block lines (and
// for refs finds its references), or runs the command on it and hands the
// result's bytes to cil in pieces. Failures throw TChyba; nothing is written
// by the function itself. Programs may be processed on several threads at
// once: nothing is shared but what the arguments hold.
TVysledekProgramu ZpracovatProgram(const TZadaniPrikazu& zadani, const TCestaSouboru& soubor,
                                   const TCilProgramu& cil);

// The control a program file's words point to ("-": standard input).
// Failures throw TChyba.
TOdhadTypu OdhadnoutProgram(const std::filesystem::path& soubor);

// A program the window holds (UTF-8 with CR LF line breaks, whole in memory)
// written into a file, which it replaces as TZapisSouboru does, in the
// encoding ZpracovatProgram would write it in: the one it was read in, or
// UTF-8 with a mark when that cannot hold every character or its first bytes
// would read back as a mark. Given precteny (the file as it was read or last
// saved), the file is written only while it is still that file: otherwise
// TZmenenoOdCteni is thrown and nothing is written. prubeh hears the bytes
// written so far after each piece (pieces end after a line break). Failures
// throw TChyba; the file is then as it was.
struct TUlozeniProgramu {
    // The encoding asked for (the program's own) and the one used.
    TKodovani Pozadovane = TKodovani::Utf8, Pouzite = TKodovani::Utf8;
    bool ZacatekJakoZnacka = false;
    // The file as written, the next save's precteny.
    std::optional<TOtiskSouboru> Otisk;
};
TUlozeniProgramu UlozitProgram(const std::filesystem::path& soubor, std::string_view utf8, TKodovani precteno,
                               const std::optional<TOtiskSouboru>& precteny,
                               const std::function<void(std::size_t hotovo, std::size_t celkem)>& prubeh);

// Whether the file a program was read from, or saved into last, is still the
// one whose fingerprint was taken then, by the writer's test (the same
// fingerprint, TOtiskSouboru's ==). Changed: another program wrote, replaced
// or touched it, or something that is no file stands there; gone: nothing is
// there now. A program without a fingerprint is never told changed.
enum class TZmenaZvenku : std::uint8_t { Zadna, Zmenen, Zmizel };
TZmenaZvenku ZmenaZvenku(const std::filesystem::path& soubor, const std::optional<TOtiskSouboru>& otisk);
