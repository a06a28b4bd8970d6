// Character encodings of program files: byte-order marks, strict UTF-8,
// UTF-16, Windows-1250 with all 256 byte values mapped, and (on Windows) the
// ANSI code page.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

enum class TKodovani : std::uint8_t {
    Utf8,        // no mark, valid UTF-8 (not on Windows)
    Cp1250,      // no mark, not valid UTF-8 (not on Windows)
    Ansi,        // no mark, the ANSI code page (Windows)
    Utf8Znacka,  // UTF-8 with its mark
    Utf16LE,     // UTF-16 little-endian with its mark
    Utf16BE,     // UTF-16 big-endian with its mark
};

// Readable name of an encoding, for messages.
const char* NazevKodovani(TKodovani k);

// An encoding and the length of its byte-order mark (0 when there is none).
struct TZnacka {
    TKodovani kodovani;
    std::size_t delka;
};

// The byte-order mark at the start of bytes (FF FE, FE FF, EF BB BF), if
// there is one: its encoding and length. It needs the first three bytes of
// a text, or all of a shorter one.
std::optional<TZnacka> NajitZnacku(std::string_view zacatek);

// How a text without a mark is read: true, as UTF-8 when all of it is valid
// UTF-8, else as Windows-1250; false (Windows with another code page), in
// the ANSI code page.
bool BezZnackyUtf8();

// The one rule for the encoding of a text that is not UTF-16: every reader
// of program text decides by it. A text with the UTF-8 mark, or without a
// mark where files without one are UTF-8 (BezZnackyUtf8), is UTF-8 as long
// as all of it is valid UTF-8, and Windows-1250 (every byte kept) as soon as
// a piece is not; without a mark elsewhere it is the ANSI code page. The text
// comes in pieces that cut no character (each ends after a line break, or at
// the end of the text).
class TKodovaniTextu {
public:
    explicit TKodovaniTextu(bool znackaUtf8);
    // False when this piece turned the text to Windows-1250: what was taken
    // as UTF-8 before it is void, and the text is to be read again.
    bool Pridat(std::string_view kus);
    // The whole text has been read: the encoding is final.
    void Potvrdit() { overovat_ = false; }
    TKodovani Kodovani() const { return k_; }

private:
    TKodovani k_;
    bool overovat_;
};

// The encoding and mark of a whole text by the rules above (the encoding of
// a text that is not UTF-16 decided from all of its bytes).
TZnacka RozpoznatZnacku(std::string_view bytes);

// True when bytes are well-formed UTF-8: no overlong forms, no surrogates,
// nothing above U+10FFFF, no cut-off sequence.
bool JePlatneUtf8(std::string_view bytes);

// Appends the UTF-16 text of bytes in encoding k (without any mark). For
// UTF-8 the bytes must be valid; Cp1250 maps every byte.
void DekodovatDo(std::u16string& cil, std::string_view bytes, TKodovani k);

// Appends text in encoding k (without a mark) to cil. Returns false, leaving
// cil in an unspecified state, when k cannot hold a character of the text:
// nothing is ever replaced by "?".
bool ZakodovatDo(std::string& cil, std::u16string_view text, TKodovani k);

// Appends the UTF-8 text of bytes in an 8-bit encoding (Cp1250, Ansi).
void PrevestDoUtf8(std::string& cil, std::string_view bytes, TKodovani k);

// Appends a UTF-8 text in encoding k (without a mark); a byte that is no
// UTF-8 is read as U+FFFD. Returns false, leaving cil in an unspecified
// state, when k cannot hold a character of the text.
bool PrevestZUtf8(std::string& cil, std::string_view utf8, TKodovani k);

// True when encoding k holds every character of a UTF-8 text (PrevestZUtf8
// would succeed), found without encoding it where that is possible.
bool LzeZakodovatUtf8(std::string_view utf8, TKodovani k);

// The byte-order mark written in front of a text in encoding k ("" for none).
std::string_view ZnackaKodovani(TKodovani k);

// Encodes a text that already holds its line breaks in encoding k with its
// mark; when k cannot hold a character, as UTF-8 with a mark instead (UTF-16
// LE with a mark for a lone surrogate, which UTF-8 cannot hold). Returns the
// encoding used.
TKodovani ZakodovatText(std::string& cil, std::u16string_view text, TKodovani k);

// The encoding that a text read in k is written back in: the 8-bit encoding
// it came in (ANSI on Windows), UTF-8 without a mark for a file that came
// with a mark.
TKodovani KodovaniProZapis(TKodovani k);

// The encoding a UTF-8 text is written in when k is asked for, decided by
// the start of the text: k, or UTF-8 with a mark when k writes no mark and
// the text's first bytes in k would be read as one (EF BB BF, FE FF, FF FE:
// a text that begins with U+FEFF, or in Windows-1250 with "ď»ż",
// "ţ˙" or "˙ţ"), so that the file reads back as the same text. Also
// UTF-8 with a mark when k cannot hold one of the first characters, as for
// any character k cannot hold. The first three characters decide, so the
// text's first line with its break, or all of a shorter text, is enough.
TKodovani KodovaniZapisu(TKodovani k, std::string_view zacatekUtf8);

// Lenient conversions for messages, arguments and the editor's buffer: what
// does not convert (a lone surrogate, a malformed byte) becomes U+FFFD.
std::u16string ZUtf8(std::string_view s);
std::string DoUtf8(std::u16string_view s);
void PripojitUtf8(std::string& cil, std::u16string_view s);
