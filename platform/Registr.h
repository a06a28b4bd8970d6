// The per-user settings store (HKEY_CURRENT_USER): keys named by absolute
// paths, values of three kinds (string, expandable string, 32-bit number),
// one current key open at a time. On Windows it is the registry itself;
// elsewhere one file per user in the text format of registry export files.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The type of a stored value.
enum class TTypHodnoty : std::uint8_t {
    Zadna,             // no such value (or no key open)
    Retezec,           // REG_SZ
    RozsirenyRetezec,  // REG_EXPAND_SZ
    Cislo,             // REG_DWORD
    Jina,              // any other type (binary, multi-string, ...)
};

// Key paths are absolute under HKEY_CURRENT_USER, with a leading backslash
// (u"\\Software\\Orvendal\\Tarvik"); a path without it means the same. Key and
// value names compare without regard to the case of ASCII letters. A value
// named by the empty string is the key's default value.
//
// Failures: reading a value of the wrong type throws TChyba
// "Invalid data type for '<name>'", a read that fails throws
// "Failed to get data for '<name>'", a write that fails throws
// "Failed to set data for '<name>'" (the file store adds ": " and the
// reason, naming the file). The file store also throws a TChyba naming the
// file when the file cannot be read at all.
class TRegistr {
public:
    virtual ~TRegistr() = default;

    // Opens the key as the current key (closing the one open before). With
    // vytvorit the key and its missing parents are created. False when the key
    // does not exist and vytvorit is false, or when it cannot be opened or
    // created; no key is then open.
    virtual bool OtevritKlic(std::u16string_view cesta, bool vytvorit) = 0;
    // Closes the current key; nothing happens when none is open.
    virtual void ZavritKlic() = 0;
    // True when the key exists (tested by opening it for reading; the current
    // key stays as it is).
    virtual bool KlicExistuje(std::u16string_view cesta) = 0;
    // Deletes the key with all its subkeys and values. False when it does not
    // exist or cannot be deleted. The root cannot be deleted.
    virtual bool SmazatKlic(std::u16string_view cesta) = 0;

    // Values of the current key. Without an open key no value exists.
    virtual bool HodnotaExistuje(std::u16string_view nazev) = 0;
    virtual TTypHodnoty TypHodnoty(std::u16string_view nazev) = 0;
    // A REG_SZ or REG_EXPAND_SZ value (not expanded), up to its first NUL.
    // A value that does not exist reads as the empty string.
    virtual std::u16string CistRetezec(std::u16string_view nazev) = 0;
    // A REG_DWORD value. A value that does not exist fails to be read.
    virtual std::int32_t CistCislo(std::u16string_view nazev) = 0;
    // A REG_DWORD value other than 0.
    bool CistPriznak(std::u16string_view nazev) { return CistCislo(nazev) != 0; }

    virtual void ZapsatRetezec(std::u16string_view nazev, std::u16string_view hodnota) = 0;
    virtual void ZapsatRozsirenyRetezec(std::u16string_view nazev, std::u16string_view hodnota) = 0;
    virtual void ZapsatCislo(std::u16string_view nazev, std::int32_t hodnota) = 0;
    // A REG_DWORD holding 1 or 0.
    void ZapsatPriznak(std::u16string_view nazev, bool hodnota) { ZapsatCislo(nazev, hodnota ? 1 : 0); }

    // The number of values of the current key; none when no key is open or
    // the key cannot be queried.
    virtual std::optional<std::uint32_t> PocetHodnot() = 0;
    // The names of the current key's values, in no particular order; empty
    // when no key is open or the key cannot be queried.
    virtual std::vector<std::u16string> NazvyHodnot() = 0;

    // A store that could be read only in part tells what was lost: the file
    // store whose file has damaged lines reads every other line, and keeps a
    // copy of the damaged file beside it before it replaces the file; this
    // is then the message for the user, naming the file, the first damaged
    // line and the copy. None when the store was read whole (the registry
    // always is).
    virtual std::optional<std::u16string> Poskozeni() { return std::nullopt; }

    // A batch of changes that reaches the store as one: between ZacitDavku
    // and DokoncitDavku the file store keeps its changes in memory, and
    // DokoncitDavku writes them at once (so that the settings and the file
    // type list saved at exit are replaced whole, or not at all); it throws
    // TChyba when that write fails. The registry writes every change at once,
    // as it always does.
    virtual void ZacitDavku() {}
    virtual void DokoncitDavku() {}

    // One snapshot for a reader: from the next read on, every read sees the
    // store as that read found it, whatever another program writes meanwhile
    // (the batch tool reads its settings and its file type list as one
    // version). A change ends the snapshot. The registry, which has no
    // versions to read, reads on as always.
    virtual void Zmrazit() {}
};

// The failures of a value, alike in every store (the texts of the Windows
// registry's own errors, which stored settings' messages have always named).
namespace ChybyHodnot {
[[noreturn]] void ChybaTypu(std::u16string_view nazev);
[[noreturn]] void ChybaCteni(std::u16string_view nazev);
// duvod: why, when the store knows it.
[[noreturn]] void ChybaZapisu(std::u16string_view nazev, std::u16string_view duvod = {});
}  // namespace ChybyHodnot

// The settings store of this platform: the registry on Windows, elsewhere
// the file CestaUlozisteNastaveni().
std::unique_ptr<TRegistr> VytvoritRegistr();

#ifndef _WIN32
// $XDG_CONFIG_HOME/Orvendal/Tarvik.reg; $XDG_CONFIG_HOME defaults to ~/.config.
std::filesystem::path CestaUlozisteNastaveni();
#endif
