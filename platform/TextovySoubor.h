// Program files as text: reading with byte-order-mark detection and the three
// kinds of line break, writing with CR LF and an atomic replace.
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

// Decodes the bytes of a text file (mark, else the platform's default) and
// splits them into lines.
TText DekodovatText(std::string_view bytes);

// A file read in pieces. Failures throw TChyba
// "Cannot open file "<path>". <reason>". Others may read the file meanwhile,
// but not write it (where the platform can forbid it).
class TCteniSouboru {
public:
    explicit TCteniSouboru(const std::filesystem::path& soubor);
    ~TCteniSouboru();
    TCteniSouboru(const TCteniSouboru&) = delete;
    TCteniSouboru& operator=(const TCteniSouboru&) = delete;

    std::uint64_t Velikost() const;
    // Up to n bytes; 0 at the end of the file.
    std::size_t Precist(char* cil, std::size_t n);
    void NaZacatek();

private:
    std::filesystem::path soubor_;
#ifdef _WIN32
    void* soubor_h_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// A file replaced atomically: the bytes go to a file beside it, which
// Dokoncit flushes and renames over it; without Dokoncit (a failure on the
// way) the file stays as it was and the one beside it is removed. A file
// marked read-only is not replaced. Failures throw TChyba
// "Cannot create file "<path>". <reason>".
class TAtomickyZapis {
public:
    explicit TAtomickyZapis(const std::filesystem::path& soubor);
    ~TAtomickyZapis();
    TAtomickyZapis(const TAtomickyZapis&) = delete;
    TAtomickyZapis& operator=(const TAtomickyZapis&) = delete;

    void Zapsat(std::string_view bajty);
    void Dokoncit();

private:
    std::filesystem::path soubor_;
    bool existuje_ = false;
    bool dokonceno_ = false;
#ifdef _WIN32
    std::filesystem::path docasny_;
    void* soubor_h_ = nullptr;
#else
    std::filesystem::path cil_;
    std::string docasny_;
    int fd_ = -1;
    unsigned mod_ = 0;
    unsigned vlastnik_ = 0;
    unsigned skupina_ = 0;
#endif
};

// The whole file's bytes. Throws TChyba "Cannot open file "<path>". <reason>".
std::string NacistBajty(const std::filesystem::path& soubor);

// A file's bytes as a text area holds them: UTF-8 with CR LF line breaks (a
// break at the end kept), decoded by the mark or the platform's default.
struct TTextEditoru {
    std::string Utf8;
    TKodovani Kodovani = TKodovani::Utf8;
};
TTextEditoru TextProEditor(std::string bajty);

// The lines of a text file, as DekodovatText(NacistBajty(soubor)) gives them,
// read in pieces: no copy of the whole file is held besides its lines.
TText NacistTextovySoubor(const std::filesystem::path& soubor);

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

// Replaces the file with bytes atomically: written beside it, flushed, then
// renamed over it, so that a failure leaves the old file whole. A file marked
// read-only is not replaced. Throws TChyba "Cannot create file "<path>". <reason>".
void ZapsatSouborAtomicky(const std::filesystem::path& soubor, std::string_view bytes);

// The path as the user sees it in messages.
std::u16string TextCesty(const std::filesystem::path& soubor);

// The folder of the running executable, with its trailing separator.
std::filesystem::path SlozkaProgramu();
