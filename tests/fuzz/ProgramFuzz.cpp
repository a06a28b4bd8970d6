// Any bytes as a program file, read and written back unedited as the window
// and the batch tool do. Both must read the file the same way, and the bytes
// must come back: a file without a byte-order mark, or with the UTF-8 mark,
// byte for byte (its line breaks CR LF, the mark dropped); a UTF-16 file, whose
// text is written back as UTF-8, character for character. A text whose bytes
// would then begin as a mark does comes back as UTF-8 with its mark. UTF-16
// that cannot be read whole (an odd number of bytes, a lone surrogate) is
// refused. The saved file reads back as the same text.
#include "Fuzz.h"

#include "platform/Chyba.h"
#include "platform/Kodovani.h"
#include "platform/CteniTextu.h"
#include "platform/ZapisSouboru.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

namespace {

// Every lone CR and lone LF becomes CR LF; CR LF stays.
template <typename Retezec>
Retezec ZlomyCrLf(const Retezec& s) {
    using Znak = typename Retezec::value_type;
    Retezec v;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == Znak('\r') || s[i] == Znak('\n')) {
            v.push_back(Znak('\r'));
            v.push_back(Znak('\n'));
            if (s[i] == Znak('\r') && i + 1 < s.size() && s[i + 1] == Znak('\n')) ++i;
        } else {
            v.push_back(s[i]);
        }
    }
    return v;
}

// The UTF-8 form of UTF-16 text; none when it holds a lone surrogate.
std::optional<std::string> Utf8(std::u16string_view t) {
    std::string v;
    for (std::size_t i = 0; i < t.size(); ++i) {
        char32_t c = t[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c > 0xDBFF || i + 1 >= t.size() || t[i + 1] < 0xDC00 || t[i + 1] > 0xDFFF) return std::nullopt;
            c = 0x10000 + ((c - 0xD800) << 10) + (t[++i] - 0xDC00);
        }
        if (c < 0x80) {
            v += static_cast<char>(c);
        } else if (c < 0x800) {
            v += static_cast<char>(0xC0 | (c >> 6));
            v += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            v += static_cast<char>(0xE0 | (c >> 12));
            v += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            v += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            v += static_cast<char>(0xF0 | (c >> 18));
            v += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            v += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            v += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return v;
}

bool ZacinaZnackou(std::string_view b) {
    return b.substr(0, 2) == "\xFF\xFE" || b.substr(0, 2) == "\xFE\xFF" || b.substr(0, 3) == "\xEF\xBB\xBF";
}

// The bytes an unedited program is saved as; none for a UTF-16 file that
// cannot be read whole (an odd number of bytes, a lone surrogate).
std::optional<std::string> OcekavaneBajty(std::string_view b) {
    const bool le = b.size() >= 2 && b[0] == '\xFF' && b[1] == '\xFE';
    const bool be = b.size() >= 2 && b[0] == '\xFE' && b[1] == '\xFF';
    if (!le && !be) {
        if (b.substr(0, 3) == "\xEF\xBB\xBF") b.remove_prefix(3);
        if (!ZacinaZnackou(b)) return ZlomyCrLf(std::string(b));
        // Bytes after the mark that begin as one: their text as UTF-8, after its mark.
        std::string v = "\xEF\xBB\xBF";
        if (JePlatneUtf8(b))
            v += b;
        else
            PrevestDoUtf8(v, b, TKodovani::Cp1250);
        return ZlomyCrLf(v);
    }
    b.remove_prefix(2);
    if (b.size() % 2 != 0) return std::nullopt;
    std::u16string t;
    for (std::size_t i = 0; i < b.size(); i += 2) {
        const auto prvni = static_cast<unsigned char>(b[i]), druhy = static_cast<unsigned char>(b[i + 1]);
        t.push_back(static_cast<char16_t>(le ? prvni | (druhy << 8) : (prvni << 8) | druhy));
    }
    std::optional<std::string> v = Utf8(ZlomyCrLf(t));
    if (v && ZacinaZnackou(*v)) v->insert(0, "\xEF\xBB\xBF");
    return v;
}

// The lines as the window's text area holds them.
std::string TextOkna(const TText& t) {
    std::string v;
    for (std::size_t i = 0; i < t.Radky.size(); ++i) {
        PripojitUtf8(v, t.Radky[i]);
        if (i + 1 < t.Radky.size() || t.KoncovyZlom) v += "\r\n";
    }
    return v;
}

// The bytes an unedited UTF-8 text (CR LF breaks) is saved as, in the
// encoding it was read in: UTF-8 with a mark when that one cannot hold it,
// or when its bytes would begin as a mark.
std::string Ulozit(std::string_view utf8, TKodovani precteno) {
    TKodovani k = KodovaniProZapis(precteno);
    if (!LzeZakodovatUtf8(utf8, k)) k = TKodovani::Utf8Znacka;
    k = KodovaniZapisu(k, utf8);
    std::string v(ZnackaKodovani(k));
    OVERIT(PrevestZUtf8(v, utf8, k));
    return v;
}

// Reads with r; false when the file was refused with a message.
template <typename Cteni>
bool Precist(Cteni r) {
    try {
        r();
        return true;
    } catch (const TChyba& e) {
        OVERIT(!e.Zprava().empty());
        return false;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bajty(reinterpret_cast<const char*>(data), size);
    const std::filesystem::path soubor = PracovniSlozka() / "program.nc";
    ZapsatSoubor(soubor, bajty);

    std::string okno;  // the window's text area: UTF-8
    TKodovani oknoKodovani = TKodovani::Utf8;
    std::string davka;  // the batch tool's pieces, UTF-8 with their breaks
    TKodovani davkaKodovani = TKodovani::Utf8;
    TText radky;        // the lines of a file type list
    TText cely;         // the bytes decoded whole
    const bool oknoCte = Precist([&] {
        oknoKodovani = NacistTextEditoru(
            soubor, [&](std::string_view kus) { okno += kus; }, [&] { okno.clear(); });
    });
    // (Every byte, as a list is read: a program that holds a NUL is refused below.)
    const bool davkaCte = Precist([&] {
        TCteniSouboru zdroj(soubor);
        TProgramPoKusech cteni(zdroj, false);
        std::string_view kus;
        for (TProgramPoKusech::TStav stav; (stav = cteni.Dalsi(kus)) != TProgramPoKusech::TStav::Konec;) {
            if (stav == TProgramPoKusech::TStav::Znovu) davka.clear();
            else davka += kus;
        }
        davkaKodovani = cteni.Kodovani();
    });
    const bool radkyCte = Precist([&] { radky = NacistTextovySoubor(soubor); });
    const bool celyCte = Precist([&] { cely = DekodovatText(bajty); });
    const std::optional<std::string> ocekavane = OcekavaneBajty(bajty);

    // One way to read a file; damaged UTF-16 is refused, never read with U+FFFD.
    OVERIT(davkaCte == ocekavane.has_value());
    OVERIT(radkyCte == ocekavane.has_value());
    OVERIT(celyCte == ocekavane.has_value());
    if (!ocekavane) {
        OVERIT(!oknoCte);
        return 0;
    }
    // A program that holds a NUL character is not a text program: refused by
    // the readers of programs, as such.
    const bool nul = std::any_of(cely.Radky.begin(), cely.Radky.end(),
                                 [](const std::u16string& r) { return r.find(u'\0') != std::u16string::npos; });
    OVERIT(oknoCte == !nul);
    if (nul) {
        bool neniText = false;
        try {
            TBajtyVPameti zdroj(bajty);
            TProgramPoKusech cteni(zdroj);
            std::string_view kus;
            while (cteni.Dalsi(kus) != TProgramPoKusech::TStav::Konec) {
            }
        } catch (const TNeniTextovyProgram&) {
            neniText = true;
        }
        OVERIT(neniText);
    } else {
        OVERIT(oknoKodovani == davkaKodovani);
        OVERIT(okno == ZlomyCrLf(davka));
    }
    OVERIT(radky.Kodovani == davkaKodovani);
    OVERIT(ZlomyCrLf(davka) == TextOkna(radky));
    if (nul) {
        // What the window would save had it taken the text: the batch tool's.
        okno = ZlomyCrLf(davka);
        oknoKodovani = davkaKodovani;
    }
    OVERIT(cely.Radky == radky.Radky && cely.KoncovyZlom == radky.KoncovyZlom && cely.Kodovani == radky.Kodovani);

    // The encoding is decided from the whole file, read in pieces as read whole.
    OVERIT(davkaKodovani == RozpoznatZnacku(bajty).kodovani);

    // Nothing lost, saved from the window and from the batch tool.
    OVERIT(Ulozit(okno, oknoKodovani) == *ocekavane);
    const std::string ulozeneDavkou = Ulozit(ZlomyCrLf(davka), davkaKodovani);
    OVERIT(ulozeneDavkou == *ocekavane);

    // The saved file holds those bytes and reads back as the same text.
    ZapsatSouborAtomicky(soubor, ulozeneDavkou);
    OVERIT(NacistBajty(soubor) == ulozeneDavkou);
    const TText znovu = NacistTextovySoubor(soubor);
    OVERIT(znovu.Radky == radky.Radky && znovu.KoncovyZlom == radky.KoncovyZlom);
    return 0;
}
