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
// the old one and renamed over it (over the target of a symbolic link, which
// stays a link), so a reader never sees a cut-off file. The file is read
// again, when it changed on disk, as a key is opened, as a key's existence is
// tested with no key open, and before every change; while a key is open,
// every read sees the version of the file that was read when it was opened,
// so that a list read value by value never mixes two versions that two copies
// of the program wrote. Two copies writing one after the other leave the
// values of the copy that wrote last.
//
// Without a byte-order mark the file is read as UTF-8. A file with lines that
// cannot be read (a line that does not parse, bytes that are not UTF-8) is
// read as far as it goes: a line that does not parse is left out (a damaged
// key line with the values under it), one with bytes that are not UTF-8 is
// read with U+FFFD in their place, and everything else is kept. Poskozeni()
// names the file, the first damaged line and the copy that keeps the damaged
// file: "<name>.corrupt-YYYYMMDD-HHMMSS" beside it, written before the file is
// first replaced (reading alone writes nothing), or a copy with the same
// bytes kept before. When the copy cannot be written, the change fails and
// the damaged file stays.
//
// A file larger than MezVelikosti is not read at all: it fails as a file
// that cannot be read (TChybaSouboru, TProcChyby::PrilisVelky), and is
// never replaced, so that no start of the program spends its time and
// memory on it and nothing it holds is lost.
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
    // 16 MiB: a list of 100,000 file types written in UTF-16 takes 9 MiB.
    static constexpr std::uint64_t MezVelikosti = std::uint64_t{16} << 20;

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
    std::vector<std::u16string> NazvyHodnot() override;
    std::optional<std::u16string> Poskozeni() override { return poskozeni_; }

    void ZacitDavku() override;
    void DokoncitDavku() override;
    void Zmrazit() override { zmrazeno_ = true; }

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

    // A line that could not be read, counted from 1, and why.
    struct TVada {
        std::size_t Radek = 0;
        std::u16string Duvod;
    };
    struct TCteni {
        TStrom Strom;             // everything that could be read
        std::vector<TVada> Vady;  // the damaged lines in order, one entry each
    };

    // The file's text for a tree, and what can be read of a file's bytes.
    static std::u16string Zapis(const TStrom& strom);
    static TCteni Cteni(std::string_view bajty);

private:
    struct TOtisk {
        std::uintmax_t velikost = 0;
        std::int64_t cas = 0;
        std::uint64_t uzel = 0;
        bool existuje = false;
        bool operator==(const TOtisk&) const = default;
    };

    // Reads the file again when it changed on disk. Throws TChyba when it
    // cannot be read.
    void Obnovit();
    const TKlic* Aktualni() const;
    // Applies zmena to a copy of the tree and writes it; false when zmena
    // changed nothing. Throws TChyba when the file cannot be read or written.
    template <typename Zmena>
    bool Zmenit(Zmena zmena);
    // A copy of a damaged file with these bytes, kept before; and a free name
    // for a new copy.
    std::optional<std::filesystem::path> NajitKopii(const std::string& bajty) const;
    std::filesystem::path VolnaKopie() const;
    std::filesystem::path SlozkaSouboru() const;
    void ZapsatStrom(const TStrom& strom);
    void ZapsatHodnotu(std::u16string_view nazev, std::uint32_t typ, std::string data);

    std::filesystem::path soubor_;
    TStrom strom_;
    std::optional<TOtisk> otisk_;
    // The damage of the file as last read, for the user.
    std::optional<std::u16string> poskozeni_;
    // A damaged file as last read: its bytes and its copy, kept (hotovo) or
    // to be kept before the file is replaced.
    struct TUschova {
        std::string bajty;
        std::filesystem::path kopie;
        bool hotovo = false;
    };
    std::optional<TUschova> uschova_;
    std::optional<std::u16string> aktualni_;   // the current key
    // A value of the current key by its name, through an index for a key of many.
    const THodnota* HodnotaAktualniho(std::u16string_view nazev);
    std::uint64_t verze_ = 0;  // counts the trees strom_ has held
    std::map<std::u16string, std::size_t> index_;
    std::optional<std::pair<std::uint64_t, std::u16string>> indexKlice_;
    // Why the last key could not be created, for the writes that follow.
    std::optional<std::u16string> chybaOtevreni_;
    // Inside a batch: the changes wait in strom_ until DokoncitDavku.
    bool davka_ = false;
    bool zmrazeno_ = false;  // reads keep the version once read
    bool zmenenoVDavce_ = false;
};
