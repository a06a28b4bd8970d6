// Files written so that nothing is lost: a replace that is atomic where it
// can be, in place (the old bytes kept to write back) where it cannot, and
// devices and pipes written through.
#pragma once

#include "ChybySouboru.h"
#include "CteniTextu.h"

#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TDavkaZapisu;

// Writes a file so that nothing is lost:
// - a regular file is replaced atomically: the bytes go to a new file beside
//   it, which Dokoncit flushes and renames over it; without Dokoncit the
//   file stays as it was and nothing is left behind. Where the system has
//   unnamed files (Linux's O_TMPFILE) the new file gets a name only for the
//   rename, its two calls; elsewhere it is named from the start. The name is
//   ".NAME.tarvik-" and six characters (NAME cut so that the whole fits the
//   file system's 255 bytes) that mark it as this program's: a digest of the
//   file's device, number and the name before them. A new file that a killed
//   save left behind is removed by the first later save of the run into its
//   folder, and only such a file: a regular file of the user the program runs
//   as, with one name, its mark right for it, and no lock held on it (flock,
//   fcntl); anything else of that name stays. The new file takes the old
//   one's owner, permissions, access control list and extended attributes
//   (user.*, trusted.*), and no access control list the folder would hand a
//   new file when the old one had none;
// - where a new file could not take the old one's place whole (the folder
//   cannot be written, the file has other hard links, the new file could not
//   get the old owner, its access control list or its extended attributes)
//   the file is written in place: cut, written, flushed; a failure on the
//   way, or no Dokoncit, writes the old bytes back. Writing in place is not
//   atomic: a crash or kill -9 while it writes leaves the file cut;
// - a device, a pipe or a descriptor named by a path (/dev/stdout) is
//   written through, never replaced by a file.
// A path named (TCestaSouboru from a path) is followed: a link stays a link
// and its target is written. A file in a tree follows no link below the
// tree's root: a link in its place is replaced by the new file, not
// followed, and the folders below the root are made where missing (no link
// followed either). A file marked read-only is not written.
//
// Given precteny, the fingerprint of the file as it was read (TPrecteno::
// Otisk, OtiskSouboru at reading), the file is written only while it is
// still that file: as the writer opens it, before it cuts a file written in
// place, and just before the rename, the file the name holds is compared
// with it; another file, a changed one or none fails with TZmenenoOdCteni
// "Cannot create file "<path>". It was changed by another program since it
// was read, and is left as it is", nothing written. (Between that last look
// and the rename there is no more than a system call.)
//
// Failures throw TChybaSouboru "Cannot create file "<path>". <reason>", the
// reason naming the folder when the folder is the cause.
class TZapisSouboru {
public:
    explicit TZapisSouboru(const TCestaSouboru& soubor, std::optional<TOtiskSouboru> precteny = std::nullopt);
    ~TZapisSouboru();
    TZapisSouboru(const TZapisSouboru&) = delete;
    TZapisSouboru& operator=(const TZapisSouboru&) = delete;

    void Zapsat(std::string_view bajty);
    void Dokoncit();
    // Dokoncit for many files together: a replacement is handed to davka,
    // which finishes it with the others (its number returned); a file written
    // in place or through is finished at once (none returned). A failure to
    // hand it over throws as Dokoncit does.
    std::optional<std::size_t> Dokoncit(TDavkaZapisu& davka);

    // Once Dokoncit has returned: the fingerprint of the file as written, for
    // the next save's precteny (none for what is written through).
    const std::optional<TOtiskSouboru>& Otisk() const { return otisk_; }

    // The file is written in place, not replaced; its old bytes are kept
    // (StaryObsah), so that a failure writes them back.
    bool NaMiste() const { return zpusob_ == TZpusob::NaMiste; }
    std::string_view StaryObsah() const { return stary_; }

private:
    enum class TZpusob : std::uint8_t { Nahradit, NaMiste, Primo };
    // Opens the target (POSIX), as the constructor describes.
    void Otevrit(const TCestaSouboru& kde);
    void OtevritNaMiste();
    // In place: the file is still the one read, then cut.
    void Zacit();
    // Creates the new file beside the target; false (the system's error
    // kept) when the folder does not allow it.
    bool VytvoritNovy();
    // The new file gets the old one's access control list and extended
    // attributes; false when it cannot.
    bool PrenestAtributy();
    // Cuts the file to nothing; writes all bytes at the current position;
    // flushes to disk; the reason of the last of them that failed.
    bool Vyprazdnit();
    bool ZapsatVse(std::string_view bajty);
    bool Splachnout();
    bool Zavrit();
    // The failure of writing the file: for the system's error kept (chyba_),
    // or of its folder.
    TUdajeChyby Chyba(TProcChyby proc = TProcChyby::Systemova) const;
    [[noreturn]] void ChybaSlozky(const std::filesystem::path& slozka);
    // The file as it is now is not the one read: fails.
    void OveritPrecteny(const std::optional<TOtiskSouboru>& ted);
    // In place: writes the old bytes back, then throws with both outcomes.
    [[noreturn]] void Selhani();

    std::filesystem::path soubor_;   // as given, for messages
    std::filesystem::path cil_;      // the file written (a link's target)
    std::filesystem::path docasny_;  // the new file's name, once it has one
    std::optional<TOtiskSouboru> precteny_, otisk_;
    TZpusob zpusob_ = TZpusob::Nahradit;
    bool dokonceno_ = false;
    bool zacato_ = false;  // in place: the old content has been cut
    std::string stary_;    // in place: the old content
#ifdef _WIN32
    void* h_ = nullptr;
    unsigned long chyba_ = 0;
#else
    int fd_ = -1;
    int slozka_ = -1;   // the target's folder
    std::string jmeno_;  // the target's name in it
    int chyba_ = 0;
    unsigned mod_ = 0;
    bool bezAcl_ = false;  // the old file has no access control list (nor has a new file)
#endif
};

// Writes the file with bytes as TZapisSouboru does: replaced atomically where
// that is sound, so that a failure leaves the old file whole.
// Throws TChybaSouboru "Cannot create file "<path>". <reason>".
void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes);

// Finishes replacements of many files together, with as few flushes as the
// system allows (as git's core.fsyncMethod=batch does): every new file is
// flushed at once (one syncfs per file system on Linux, else one fsync
// each), then each is renamed over its target (unless its target is no
// longer the file read: TZapisSouboru's precteny), then each folder is
// flushed once. No target is replaced before its new file is on disk. At
// most mez replacements wait (each holds its new file and its folder open):
// the one that reaches it finishes them all. Safe to use from several
// threads.
class TDavkaZapisu {
public:
    explicit TDavkaZapisu(std::size_t mez = 64) : mez_(mez) {}
    ~TDavkaZapisu();  // finishes what waits
    TDavkaZapisu(const TDavkaZapisu&) = delete;
    TDavkaZapisu& operator=(const TDavkaZapisu&) = delete;

    // Finishes every replacement that waits.
    void Provest();
    // How many wait.
    std::size_t Cekajicich();

    enum class TStav : std::uint8_t { Ceka, Hotovo, Selhal };
    // What became of replacement cislo; for Selhal, chyba gets the failure
    // (the target left as it was); for Hotovo, otisk the file as written.
    // Once told Hotovo or Selhal, its number is forgotten.
    TStav Stav(std::size_t cislo, TUdajeChyby* chyba = nullptr, std::optional<TOtiskSouboru>* otisk = nullptr);

    // A new file written whole, waiting to replace its target.
    struct TNahrazeni {
        std::filesystem::path soubor, cil, docasny;
        std::optional<TOtiskSouboru> precteny;
#ifdef _WIN32
        void* h = nullptr;
#else
        int fd = -1, slozka = -1;
        std::string jmeno;
#endif
    };
    std::size_t Pridat(TNahrazeni n);

private:
    struct THotovo {
        std::optional<TUdajeChyby> chyba;
        std::optional<TOtiskSouboru> otisk;
    };
    std::size_t mez_;
    std::mutex provadeni_;  // one Provest at a time: a later one returns after the earlier's work is done
    std::mutex zamek_;
    std::vector<std::pair<std::size_t, TNahrazeni>> cekajici_;
    std::map<std::size_t, THotovo> hotove_;
    std::size_t dalsi_ = 0;
};

// An unnamed file in the folder for temporary files (TMPDIR; on Windows
// TEMP), for bytes too many to keep in memory: written, then read from its
// start as often as asked. It is gone when it is closed, also when the
// program is killed (on Windows when the handle closes). Failures throw
// TChybaSouboru "Cannot create file "<folder>". <reason>".
class TDocasnySoubor final : public TZdrojBajtu {
public:
    TDocasnySoubor();
    ~TDocasnySoubor() override;
    TDocasnySoubor(const TDocasnySoubor&) = delete;
    TDocasnySoubor& operator=(const TDocasnySoubor&) = delete;

    void Zapsat(std::string_view bajty);
    // Empty again.
    void Vyprazdnit();
    // Reading starts again at the first byte; writing goes on at the end.
    std::size_t Precist(char* cil, std::size_t n) override;
    bool Zpet() override;
    std::uint64_t Velikost() const override { return velikost_; }
    TUdajeChyby UdajeChyby() const override;

private:
    // Writes the bytes at the end of what is on disk.
    void ZapsatNaDisk(std::string_view bajty);
    void Vylit();

    std::filesystem::path slozka_;
    std::uint64_t velikost_ = 0, cteno_ = 0;  // velikost_ counts the bytes in naPriste_ too
    std::string naPriste_;                    // small writes gathered, written 64 KiB at a time
#ifdef _WIN32
    void* h_ = nullptr;
#else
    int fd_ = -1;
#endif
};
