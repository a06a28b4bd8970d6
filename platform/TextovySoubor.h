// Program files as text: reading with byte-order-mark detection and the three
// kinds of line break, writing with CR LF and a replace that loses nothing.
#pragma once

#include "Kodovani.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct TText {
    std::vector<std::u16string> Radky;
    // The text ended with a line break (which opens no further line).
    bool KoncovyZlom = false;
    // The encoding the bytes were read in.
    TKodovani Kodovani = TKodovani::Utf8;
};

// Splits text at CR LF, a lone CR and a lone LF; a break at the very end
// opens no further line. Appends to radky.
void RozdelitNaRadky(std::u16string_view text, std::vector<std::u16string>& radky,
                     bool& koncovyZlom);

// Splits bytes in an 8-bit encoding or UTF-8 (where bytes 0D and 0A are only
// CR and LF) into decoded lines, without a second copy of the whole text.
void RozdelitBajtyNaRadky(std::string_view bytes, TKodovani k, std::vector<std::u16string>& radky,
                          bool& koncovyZlom);

// Decodes the bytes of a text file as NacistTextovySoubor reads a file.
// Throws TChyba with the reason when the bytes are damaged UTF-16.
TText DekodovatText(std::string_view bytes);

// A file read in pieces, or standard input. Failures throw TChyba
// "Cannot open file "<path>". <reason>". Others may read the file meanwhile,
// but not write it (where the platform can forbid it).
class TCteniSouboru {
public:
    explicit TCteniSouboru(const std::filesystem::path& soubor);
    // Standard input, named "-" in messages.
    struct TStandardniVstup {};
    explicit TCteniSouboru(TStandardniVstup);
    ~TCteniSouboru();
    TCteniSouboru(const TCteniSouboru&) = delete;
    TCteniSouboru& operator=(const TCteniSouboru&) = delete;

    const std::filesystem::path& Cesta() const { return soubor_; }
    // The size, when the file has one (0 for a pipe).
    std::uint64_t Velikost() const;
    // Up to n bytes; 0 at the end of the file.
    std::size_t Precist(char* cil, std::size_t n);

private:
    std::filesystem::path soubor_;
    bool vlastni_ = true;  // closed at the end (standard input is not)
#ifdef _WIN32
    void* soubor_h_ = nullptr;
#else
    int fd_ = -1;
#endif
};

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

// The whole file's bytes. Throws TChyba "Cannot open file "<path>". <reason>".
std::string NacistBajty(const std::filesystem::path& soubor);

// The lines of a text file. The encoding is decided by the whole file: a
// byte-order mark, else (where files without a mark are UTF-8) UTF-8 when
// every byte sequence is valid UTF-8 and Windows-1250 otherwise, else the
// ANSI code page. UTF-16 with an odd number of bytes or a lone surrogate is
// refused with its reason. The file is read once, in pieces, so that a pipe
// serves as well as a file; no copy of the whole file is held besides its
// lines.
TText NacistTextovySoubor(const std::filesystem::path& soubor);
TText NacistText(TCteniSouboru& zdroj);

// A file's text as a text area holds it: UTF-8 with CR LF line breaks (a
// break at the end kept), read by the rules of NacistTextovySoubor.
struct TTextEditoru {
    std::string Utf8;
    TKodovani Kodovani = TKodovani::Utf8;
};
TTextEditoru NacistTextEditoru(const std::filesystem::path& soubor);

// Encodes the lines joined by CR LF, with a final CR LF when koncovyZlom, in
// encoding k with its mark. When k cannot hold a character, the text is
// encoded as UTF-8 with a mark instead (UTF-16 LE with a mark for a lone
// surrogate, which UTF-8 cannot hold). Returns the encoding used.
TKodovani ZakodovatRadky(std::string& cil, const std::vector<std::u16string>& radky,
                         bool koncovyZlom, TKodovani k);

// The encoding in which the lines are written: k when it holds every
// character, else UTF-8 with a mark, else UTF-16 LE with a mark.
TKodovani KodovaniZapisu(const std::vector<std::u16string>& radky, TKodovani k);

// Encodes the lines (joined by CR LF, a final CR LF when koncovyZlom) in
// encoding k, which must hold every character (KodovaniZapisu), with its mark,
// handing the bytes over in pieces of about a megabyte.
void ZakodovatPoKusech(const std::vector<std::u16string>& radky, bool koncovyZlom, TKodovani k,
                       const std::function<void(std::string_view)>& zapsat);

// The same for a text that already holds its line breaks.
TKodovani ZakodovatText(std::string& cil, std::u16string_view text, TKodovani k);

// The same for a UTF-8 text (a text area's buffer), converted piece by piece
// so that no UTF-16 copy of the whole text is made.
TKodovani ZakodovatUtf8Text(std::string& cil, std::string_view utf8, TKodovani k);

// Writes the file with bytes as TZapisSouboru does: replaced atomically where
// that is sound, so that a failure leaves the old file whole.
// Throws TChyba "Cannot create file "<path>". <reason>".
void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes);

// The path as the user sees it in messages.
std::u16string TextCesty(const std::filesystem::path& soubor);

// The folder of the running executable, with its trailing separator.
std::filesystem::path SlozkaProgramu();
