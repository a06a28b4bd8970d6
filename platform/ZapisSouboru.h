// Files written so that nothing is lost: a replace that is atomic where it
// can be, in place (the old bytes kept to write back) where it cannot, and
// devices and pipes written through.
#pragma once

#include "ChybySouboru.h"

#include <filesystem>
#include <string>
#include <string_view>

// Writes a file so that nothing is lost:
// - a regular file is replaced atomically: the bytes go to a new file beside
//   it (unnamed until Dokoncit where the system allows), which Dokoncit
//   flushes and renames over it; without Dokoncit the file stays as it was
//   and nothing is left behind;
// - where a new file could not take the old one's place whole (the folder
//   cannot be written, the file has other hard links, or the new file could
//   not get the old owner) the file is written in place: cut, written,
//   flushed; a failure on the way, or no Dokoncit, writes the old bytes back;
// - a device, a pipe or a descriptor named by a path (/dev/stdout) is
//   written through, never replaced by a file.
// A link is followed: it stays a link and its target is written. A file
// marked read-only is not written. Failures throw TChyba
// "Cannot create file "<path>". <reason>", the reason naming the folder when
// the folder is the cause.
class TZapisSouboru {
public:
    explicit TZapisSouboru(const std::filesystem::path& soubor);
    ~TZapisSouboru();
    TZapisSouboru(const TZapisSouboru&) = delete;
    TZapisSouboru& operator=(const TZapisSouboru&) = delete;

    void Zapsat(std::string_view bajty);
    void Dokoncit();

    // The file is written in place, not replaced; its old bytes are kept
    // (StaryObsah), so that a failure writes them back.
    bool NaMiste() const { return zpusob_ == TZpusob::NaMiste; }
    std::string_view StaryObsah() const { return stary_; }

private:
    enum class TZpusob : std::uint8_t { Nahradit, NaMiste, Primo };
    void OtevritNaMiste();
    // Creates the new file beside the target; false (the system's error
    // kept) when the folder does not allow it.
    bool VytvoritNovy();
    void DokoncitNahrazeni();
    // Cuts the file to nothing; writes all bytes at the current position;
    // flushes to disk; the reason of the last of them that failed.
    bool Vyprazdnit();
    bool ZapsatVse(std::string_view bajty);
    bool Splachnout();
    std::u16string Duvod() const;
    bool Zavrit();
    // In place: writes the old bytes back, then throws with both outcomes.
    [[noreturn]] void Selhani(const std::u16string& duvod);

    std::filesystem::path soubor_;   // as given, for messages
    std::filesystem::path cil_;      // the file written (a link's target)
    std::filesystem::path docasny_;  // the new file's name, once it has one
    TZpusob zpusob_ = TZpusob::Nahradit;
    bool dokonceno_ = false;
    bool zacato_ = false;  // in place: the old content has been cut
    std::string stary_;    // in place: the old content
#ifdef _WIN32
    void* h_ = nullptr;
    unsigned long chyba_ = 0;
#else
    int fd_ = -1;
    int chyba_ = 0;
    unsigned mod_ = 0;
#endif
};

// Writes the file with bytes as TZapisSouboru does: replaced atomically where
// that is sound, so that a failure leaves the old file whole.
// Throws TChyba "Cannot create file "<path>". <reason>".
void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes);
