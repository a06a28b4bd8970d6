// The settings store kept in one file, in the text format of registry export
// files:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Orvendal\Tarvik]
//   "Jazyk"="CZ"
//   "PrvniBlok"=dword:00000005
//
// It is written as UTF-16 LE with a byte-order mark and CR LF line breaks,
// as regedit exports; it is read in UTF-16 (by its byte-order mark) or in
// UTF-8 (with or without a mark), on every platform. Strings
// escape \ and " with a backslash; REG_EXPAND_SZ is written as hex(2):...,
// a string holding CR, LF or NUL as hex(1):..., other types as hex(N):...,
// so every value keeps its type and its bytes. Key and value names cannot
// hold CR, LF or NUL here (such a key cannot be opened, such a value not
// written).
//
// Every change reaches the disk at once: the whole file is written beside
// the old one and renamed over it, so a reader never sees a cut-off file.
// Before each operation the file is read again when it changed on disk, so
// that two copies of the program writing one after the other leave the
// values of the copy that wrote last.
//
// A file that cannot be parsed makes every read fail with a message naming
// the file and the line. The first change after that keeps the damaged file
// beside as "<name>.corrupt-YYYYMMDD-HHMMSS" and starts from an empty store.
#pragma once

#include "Registr.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

class TRegistrSoubor final : public TRegistr {
public:
    explicit TRegistrSoubor(std::filesystem::path soubor);

    bool OtevritKlic(std::u16string_view cesta, bool vytvorit) override;
    void ZavritKlic() override;
    bool KlicExistuje(std::u16string_view cesta) override;
    bool SmazatKlic(std::u16string_view cesta) override;

    bool HodnotaExistuje(std::u16string_view nazev) override;
    TTypHodnoty TypHodnoty(std::u16string_view nazev) override;
    std::u16string CistRetezec(std::u16string_view nazev) override;
    std::int32_t CistCislo(std::u16string_view nazev) override;

    void ZapsatRetezec(std::u16string_view nazev, std::u16string_view hodnota) override;
    void ZapsatRozsirenyRetezec(std::u16string_view nazev, std::u16string_view hodnota) override;
    void ZapsatCislo(std::u16string_view nazev, std::int32_t hodnota) override;

    std::optional<std::uint32_t> PocetHodnot() override;

    void ZacitDavku() override;
    void DokoncitDavku() override;

    const std::filesystem::path& Soubor() const { return soubor_; }

    // One stored value: its name, its registry type number and its bytes.
    struct THodnota {
        std::u16string Nazev;
        std::uint32_t Typ = 0;
        std::string Data;
    };
    struct TKlic {
        std::u16string Cesta;  // as first created, without the leading backslash
        std::vector<THodnota> Hodnoty;
    };
    // Keys by their path with ASCII letters in capitals; the root is "".
    using TStrom = std::map<std::u16string, TKlic>;

    // The file's text for a tree, and the tree of a file's bytes. Cteni
    // throws TChyba naming soubor and the line when the text cannot be parsed.
    static std::u16string Zapis(const TStrom& strom);
    static TStrom Cteni(std::string_view bajty, const std::filesystem::path& soubor);

private:
    struct TOtisk {
        std::uintmax_t velikost = 0;
        std::int64_t cas = 0;
        std::uint64_t uzel = 0;
        bool existuje = false;
        bool operator==(const TOtisk&) const = default;
    };

    void Obnovit();
    const TKlic* Aktualni();
    // Applies zmena to a copy of the tree and writes it; false when zmena
    // changed nothing. Throws TChyba when the file cannot be read or written.
    template <typename Zmena>
    bool Zmenit(Zmena zmena);
    void OdlozitPoskozeny();
    void ZapsatStrom(const TStrom& strom);
    void ZapsatHodnotu(std::u16string_view nazev, std::uint32_t typ, std::string data);

    std::filesystem::path soubor_;
    TStrom strom_;
    std::optional<TOtisk> otisk_;
    std::optional<std::u16string> poskozeni_;  // the parse failure of the file on disk
    std::optional<std::u16string> aktualni_;   // the current key
    // Why the last key could not be created, for the writes that follow.
    std::optional<std::u16string> chybaOtevreni_;
    // Inside a batch: the changes wait in strom_ until DokoncitDavku.
    bool davka_ = false;
    bool zmenenoVDavce_ = false;
};
