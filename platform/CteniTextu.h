// Program files read as text: byte-order-mark detection, the encoding of a
// text without a mark, the three kinds of line break; a program of any size
// read in pieces, a small text read whole.
#pragma once

#include "ChybySouboru.h"
#include "Kodovani.h"

#include <concepts>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A text read whole, as a list of lines (a file type list).
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

// What tells whether a file is still the one that was read: its identity
// (device and file number), size, and the times its content and its entry
// last changed (nanoseconds; on Windows the content's only). A file written
// in place, replaced by another, cut, touched or renamed over gets another.
//
// The one check of "is it still the file we read", for every caller:
// - a reader given the fingerprint of a first reading (TCteniSouboru with a
//   TPrecteno) refuses a file that no longer matches it;
// - a writer given the fingerprint of what was read (TZapisSouboru with
//   precteny) refuses to write or replace a target that no longer matches
//   it (TZmenenoOdCteni), checked as it opens the target and again just
//   before the rename;
// - a window that keeps a program open compares OtiskSouboru of its file
//   with the fingerprint it read, to notice a change made outside.
struct TOtiskSouboru {
    std::uint64_t Zarizeni = 0, Cislo = 0, Velikost = 0;
    std::int64_t ZmenaObsahu = 0, ZmenaZaznamu = 0;
    bool operator==(const TOtiskSouboru&) const = default;
};

// The fingerprint of the regular file a path names now (links followed);
// none when there is none (no file, a folder, a pipe, a device).
std::optional<TOtiskSouboru> OtiskSouboru(const std::filesystem::path& soubor);

// What one whole reading of a file gave: the file as it was opened (none for
// what is no file), and the number and TSouhrnBajtu of its bytes.
struct TPrecteno {
    std::optional<TOtiskSouboru> Otisk;
    std::uint64_t Delka = 0, Souhrn = 0;
};

// Where a file is, and which links on the way to it are followed. A path the
// user named (on the command line, in a dialog) is followed through every
// link. A file in a tree (Koren: the folder the user named, followed as
// named; Relativni: the path below it) is reached from that folder through
// folders that are no links, and is no link itself: a folder or a file that
// someone swaps for a link after a walk cannot lead reading or writing out
// of the tree. Identita, when given, is the file a walk found there (device
// and number): reading another fails as a change. (On Windows every path
// is followed.)
struct TCestaSouboru {
    std::filesystem::path Cesta;  // the whole path, as messages show it
    std::filesystem::path Koren, Relativni;
    std::optional<std::pair<std::uint64_t, std::uint64_t>> Identita;

    // A path named, followed (anything a path is made from).
    template <typename T>
        requires std::constructible_from<std::filesystem::path, const T&>
    TCestaSouboru(const T& cesta) : Cesta(cesta) {}  // NOLINT(google-explicit-constructor)
    TCestaSouboru(std::filesystem::path koren, std::filesystem::path relativni)
        : Cesta(koren / relativni), Koren(std::move(koren)), Relativni(std::move(relativni)) {}
    bool VeStromu() const { return !Relativni.empty(); }
};

// For a program to be written over itself: throws TChybaSouboru (writing,
// TProcChyby::NeniBeznySoubor) when soubor is a pipe, a device or a socket,
// whose reading would wait for a writer and whose bytes would not come back
// to be read a second time. A file that is missing is left to the reading
// to tell.
void OveritBeznySoubor(const TCestaSouboru& soubor);

// A 64-bit digest of a stream of bytes, the same however the stream is cut
// into pieces: four lanes of multiply-rotate rounds over 32-byte stripes,
// then the rest, mixed with the length. It tells whether a second reading
// of a file gave the bytes of the first; it is no defence against bytes
// made to collide.
class TSouhrnBajtu {
public:
    void Pridat(const char* bajty, std::size_t n);
    std::uint64_t Hodnota() const;
    std::uint64_t Delka() const { return delka_; }

private:
    std::uint64_t pruhy_[4] = {0x9E3779B185EBCA87ull + 0xC2B2AE3D27D4EB4Full, 0xC2B2AE3D27D4EB4Full, 0,
                               0 - 0x9E3779B185EBCA87ull};
    unsigned char zbytek_[32] = {};
    std::size_t vZbytku_ = 0;
    std::uint64_t delka_ = 0;
};

// True when a piece of a text, in UTF-8 as TProgramPoKusech gives it, can be
// part of a text program: it holds no NUL character. The reader of programs
// refuses a text with a piece that cannot.
bool JeTextProgramu(std::string_view kusUtf8);

// The bytes a program is read from: a file, standard input, bytes in memory.
class TZdrojBajtu {
public:
    virtual ~TZdrojBajtu() = default;
    // Up to n bytes; 0 at the end.
    virtual std::size_t Precist(char* cil, std::size_t n) = 0;
    // Back to the first byte; false when the source cannot go back (a pipe).
    virtual bool Zpet() = 0;
    // The number of bytes, when the source knows it (0 otherwise).
    virtual std::uint64_t Velikost() const = 0;
    // A failure of reading it, its reason still to be given: the path and
    // what was being done (none for bytes in memory).
    virtual TUdajeChyby UdajeChyby() const = 0;
    // The file's identity, size and times as it was opened; none for what
    // is not a file.
    virtual std::optional<TOtiskSouboru> Otisk() const { return std::nullopt; }
    // All the bytes at once, for a source that holds them in memory.
    virtual std::optional<std::string_view> VsechnyBajty() const { return std::nullopt; }
};

// Bytes in memory as a source of a text; a damaged text fails with the reason alone.
class TBajtyVPameti final : public TZdrojBajtu {
public:
    explicit TBajtyVPameti(std::string_view b) : b_(b) {}
    std::size_t Precist(char* cil, std::size_t n) override;
    bool Zpet() override {
        i_ = 0;
        return true;
    }
    std::uint64_t Velikost() const override { return b_.size(); }
    TUdajeChyby UdajeChyby() const override { return {}; }
    std::optional<std::string_view> VsechnyBajty() const override { return b_; }

private:
    std::string_view b_;
    std::size_t i_ = 0;
};

// A file read in pieces, or standard input. Failures throw TChybaSouboru
// "Cannot open file "<path>". <reason>". Others may read the file meanwhile,
// but not write it (where the platform can forbid it).
//
// Given ocekavane (a first reading of the file), the file must still be that
// file: its fingerprint is compared as it opens, and each time a reading
// from its start reaches the end, the number and digest of the bytes;
// otherwise TZmenaSouboru is thrown (at the end: before Precist gives 0).
class TCteniSouboru final : public TZdrojBajtu {
public:
    explicit TCteniSouboru(const TCestaSouboru& soubor, const TPrecteno* ocekavane = nullptr);
    // Standard input, named "-" in messages.
    struct TStandardniVstup {};
    explicit TCteniSouboru(TStandardniVstup);
    ~TCteniSouboru() override;
    TCteniSouboru(const TCteniSouboru&) = delete;
    TCteniSouboru& operator=(const TCteniSouboru&) = delete;

    const std::filesystem::path& Cesta() const { return soubor_; }
    // The size, when the file has one (0 for a pipe).
    std::uint64_t Velikost() const override;
    std::size_t Precist(char* cil, std::size_t n) override;
    // Back to where reading began (standard input need not start at its first byte).
    bool Zpet() override;
    TUdajeChyby UdajeChyby() const override;
    std::optional<TOtiskSouboru> Otisk() const override { return otisk_; }

private:
    [[noreturn]] void Zmena() const;
    // With ocekavane_: the file opened is the one read first; n bytes read
    // (0: the end) are counted, the end compared.
    void Zkontrolovat() const;
    std::size_t Zaznamenat(const char* bajty, std::size_t n);

    std::filesystem::path soubor_;
    std::optional<TOtiskSouboru> otisk_;  // a regular file's, as it was opened
    std::optional<TPrecteno> ocekavane_;
    TSouhrnBajtu souhrn_;  // of the bytes since the start, with ocekavane_
    bool vlastni_ = true;  // closed at the end (standard input is not)
    std::int64_t zacatek_ = -1;  // the position reading began at; -1: none (a pipe)
#ifdef _WIN32
    void* soubor_h_ = nullptr;
#else
    int fd_ = -1;
#endif
};

// A program read as UTF-8 in pieces of whole lines, so that a program of any
// size is never whole in memory: each piece ends after a line break (a CR LF
// is never cut) or at the end of the text, and keeps the breaks as they are.
// The encoding: a byte-order mark, else (where files without a mark are
// UTF-8) UTF-8 when the whole text is valid UTF-8 and Windows-1250
// otherwise, else the ANSI code page. Windows-1250, ANSI and UTF-16 are
// converted to UTF-8 as they are read. UTF-16 with an odd number of bytes or
// a lone surrogate is refused with its reason.
// A text can be read again from its start, for a second pass: a file is read
// again, the bytes of a source that cannot go back (a pipe) are kept.
// Every pass that reads the text to its end must give the bytes of the first
// one that did (their number and TSouhrnBajtu), and a file read again
// (CistZ) must be the same file, of the same size and times, as the one
// first read: else TZmenaSouboru is thrown, before the end of the pass (so
// before its last piece), or by CistZ itself for bytes in memory.
// A program (jenText) is refused with TNeniTextovyProgram as soon as a piece
// is not JeTextProgramu.
class TProgramPoKusech {
public:
    explicit TProgramPoKusech(TZdrojBajtu& zdroj, bool jenText = true);

    // The longest line of a program (jenText), in bytes of the file: a
    // piece holds whole lines, so a file of gigabytes without a line break
    // would be held whole (and its new text beside it). No control reads
    // such a block; a longer line fails the reading with its reason. Other
    // texts (lists) have no limit.
    static constexpr std::size_t NejdelsiRadek = std::size_t{16} << 20;
    // The bytes read from the source at a time (small enough to stay in the
    // cache, large enough that the calls do not count); a piece holds the
    // whole lines of what has been read (a CR LF across two reads is never cut).
    static constexpr std::size_t Blok = std::size_t{256} << 10;

    enum class TStav : std::uint8_t {
        Kus,    // kus holds the next piece, valid until the next call
        Konec,  // the text has ended
        // The text turned out not to be UTF-8: what came so far is void, and
        // the text comes again from its start, as Windows-1250.
        Znovu,
    };
    TStav Dalsi(std::string_view& kus);
    // The next pass, from the start of the text.
    void OdZacatku();
    // The next passes read the same bytes from zdroj; throws TZmenaSouboru
    // when zdroj is not the file first read as it was, or holds other bytes.
    void CistZ(TZdrojBajtu& zdroj);

    // The encoding, final once a pass has reached the end.
    TKodovani Kodovani() const { return k_; }
    // The first whole pass: the file as it was first opened, its bytes'
    // number and digest (both 0 before a pass has reached the end).
    TPrecteno Precteno() const;
    // False when a character read in the ANSI code page has no way back to it.
    bool LzeZapsatZpet() const { return lzeZpet_; }

private:
    std::size_t CistSurove(char* cil, std::size_t n);
    // The source has given its last byte: the pass is compared with the first.
    void KonecPruchodu();
    [[noreturn]] void Zmena() const;
    TStav Kus(std::string_view& kus, std::string_view text);
    void Rozhodnout();
    void Docist();
    [[noreturn]] void DlouhyRadek();
    TStav DalsiUtf16(std::string_view& kus);
    void DocistUtf16();
    [[noreturn]] void VadaNahradniku(char16_t jednotka);

    TZdrojBajtu* zdroj_;
    bool jenText_;
    TUdajeChyby zmena_;  // TZmenaSouboru, naming the first source
    std::optional<TOtiskSouboru> otisk_;  // of the file first read
    TSouhrnBajtu souhrn_;                 // of this pass's bytes so far
    std::optional<std::pair<std::uint64_t, std::uint64_t>> prvni_;  // the first whole pass: length, digest
    bool drzet_ = false;     // the source cannot go back: its bytes are kept
    std::string drzene_;
    std::size_t prehrat_ = 0;  // the next kept byte to give again
    std::uint64_t precteno_ = 0;  // bytes of this pass, the mark included

    bool rozhodnuto_ = false;
    TKodovani k_ = TKodovani::Utf8;
    std::size_t delkaZnacky_ = 0;
    TKodovaniTextu kodovaniTextu_{false};  // a text that is not UTF-16
    bool lzeZpet_ = true;

    bool konec_ = false;
    // Bytes read and not yet given (UTF-8 and 8-bit): the first delkaPrac_ of prac_.
    std::string prac_;
    std::size_t delkaPrac_ = 0;
    std::size_t dano_ = 0;   // of them, the bytes of the last piece
    std::size_t bezZlomu_ = 0;  // the start of prac_ (jednotky_) holds no break up to here
    std::string prevedene_;  // a piece converted to UTF-8
    std::string surove_;     // UTF-16: bytes read
    std::u16string jednotky_;  // UTF-16: units read and not yet given
    std::size_t danoJednotek_ = 0;
    std::size_t radek_ = 1;  // UTF-16: the line, for messages
    bool crPred_ = false;
};

// The whole file's bytes. Throws TChybaSouboru "Cannot open file "<path>".
// <reason>", also (TProcChyby::PrilisVelky) when it holds more than mez bytes,
// of which no more than mez + 1 are read.
std::string NacistBajty(const std::filesystem::path& soubor, std::uint64_t mez = UINT64_MAX);

// Decodes the bytes of a text file as NacistTextovySoubor reads a file.
// Throws TChyba with the reason when the bytes are damaged UTF-16.
TText DekodovatText(std::string_view bytes);

// The lines of a text file, read by the rules of TProgramPoKusech.
TText NacistTextovySoubor(const std::filesystem::path& soubor);
TText NacistText(TZdrojBajtu& zdroj);

// A file's text as a text area holds it: UTF-8 with CR LF line breaks (a
// break at the end kept), read by the rules of TProgramPoKusech and handed to
// kus piece by piece. When the text turns out not to be UTF-8 part way,
// znovu is called and the pieces come again from the start. Returns the
// encoding the file was read in; otisk, when given, gets the file's
// fingerprint as it was opened.
TKodovani NacistTextEditoru(const std::filesystem::path& soubor, const std::function<void(std::string_view)>& kus,
                            const std::function<void()>& znovu, std::optional<TOtiskSouboru>* otisk = nullptr);
