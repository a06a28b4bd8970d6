#include "Zpravy.h"

#include "convar.h"

#include "engine/CNCEdit.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

std::u16string CisloText(std::int64_t n) {
    const std::string s = std::to_string(n);
    return std::u16string(s.begin(), s.end());
}

}  // namespace

std::u16string TextStatistiky(std::size_t radku, std::size_t znaku, std::int64_t bloku) {
    return rsRADKU + u": " + CisloText(static_cast<std::int64_t>(radku)) + u", " + rsZNAKU + u": " +
           CisloText(static_cast<std::int64_t>(znaku)) + u", " + rsBLOKU + u": " + CisloText(bloku) +
           u".";
}

std::u16string ZpravaBlokyJsou(std::int64_t n) {
    return rsBLOKYJSOU + u": " + CisloText(n) + u"x.\r" + rsBLOKYODSTRANIT + u".";
}

std::u16string ZpravaBlokyNejsou() { return rsBLOKYNEJSOU + u".\r" + rsBLOKYNOVE + u"."; }

std::u16string ZpravaBlokyNejsouVybrane() { return rsBLOKYNEJSOUVYBRANE + u".\r" + rsBLOKYNOVE + u"."; }

std::u16string ZpravaNeniCoOdstranit() { return rsBLOKYNEJSOU; }

std::u16string ZpravaNeniSoubor() { return rsNENISOUBOR + u"."; }

namespace {

// UTF-16 code units of a UTF-8 text: every byte but a continuation byte
// starts a character, and a four-byte character takes two units.
std::size_t JednotekUtf16(std::string_view t) {
    std::size_t n = 0, i = 0;
#ifdef __SSE2__
    // Sixteen bytes at a time: continuation bytes are -128..-65 as signed
    // bytes, the leads of four-byte characters -16..-1.
    const __m128i pokracovani = _mm_set1_epi8(-64);
    const __m128i ctyrbajtovy = _mm_set1_epi8(-17);
    for (; i + 16 <= t.size(); i += 16) {
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(t.data() + i));
        if (_mm_movemask_epi8(b) == 0) {
            n += 16;
            continue;
        }
        const auto p = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmplt_epi8(b, pokracovani)));
        const auto c = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_and_si128(_mm_cmpgt_epi8(b, ctyrbajtovy), _mm_cmplt_epi8(b, _mm_setzero_si128()))));
        n += 16 - static_cast<std::size_t>(__builtin_popcount(p)) + static_cast<std::size_t>(__builtin_popcount(c));
    }
#endif
    for (; i < t.size(); ++i) {
        const auto b = static_cast<unsigned char>(t[i]);
        n += (b & 0xC0) != 0x80;
        n += b >= 0xF0;
    }
    return n;
}

}  // namespace

TPocitadloStatistik::TPocitadloStatistik(std::u16string_view hlavniZnak, std::u16string_view vedlejsiZnak,
                                         std::u16string_view zacatek, std::u16string_view komentar)
    : hlavni_(hlavniZnak),
      vedlejsi_(vedlejsiZnak),
      zacatek_(zacatek),
      komentar_(komentar),
      bloky_(hlavni_.Znacka(), vedlejsi_.Znacka(), zacatek_.Znacka(), komentar_.Znacka()) {}

TStatistiky TPocitadloStatistik::Statistiky() const {
    TStatistiky s = s_;
    s.Bloku = static_cast<std::int64_t>(bloky_.Pocty().Bloku);
    return s;
}

void TPocitadloStatistik::Pridat(std::string_view t) {
    // The units of the whole piece count every byte of a break as one; a
    // break counts two.
    s_.Znaku += JednotekUtf16(t);
    std::size_t i = 0;
    const std::size_t n = t.size();
    while (i < n) {
        const std::size_t konec = cnc::KonecRadku(t, i);
        ++s_.Radku;
        bloky_.Radek(t.substr(i, konec - i));
        if (konec == n) break;
        // Every line break counts as two characters, as CR LF.
        i = cnc::ZaZlomem(t, konec);
        if (i - konec == 1) ++s_.Znaku;
    }
}

TStatistiky SpocitatStatistiky(std::string_view utf8, std::u16string_view hlavniZnak,
                               std::u16string_view vedlejsiZnak, std::u16string_view zacatek,
                               std::u16string_view komentar) {
    TPocitadloStatistik p(hlavniZnak, vedlejsiZnak, zacatek, komentar);
    p.Pridat(utf8);
    return p.Statistiky();
}
