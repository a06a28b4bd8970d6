#include "SkenerOdkazu.h"

namespace odkazy {

std::size_t DelkaUtf16(std::string_view s) {
    std::size_t n = 0;
    for (const char c : s) {
        const auto b = static_cast<unsigned char>(c);
        n += (b & 0xC0) != 0x80;  // every byte but a continuation byte starts a character
        n += b >= 0xF0;           // a four-byte character takes two units
    }
    return n;
}

std::uint64_t Hodnota(std::string_view cislice) {
    std::uint64_t v = 0;
    for (const char c : cislice) {
        const auto d = static_cast<std::uint64_t>(c - '0');
        if (v > (PrilisVelke - d) / 10) return PrilisVelke;
        v = v * 10 + d;
    }
    return v;
}

NIKDY_INLINE std::size_t ZaPreskocenim(const TPravidlaBloku& p, std::string_view radek, std::size_t k) {
    const auto znak = [&](std::size_t od) {
        const std::string_view s = radek.substr(std::min(od, radek.size()));
        return (!p.Znaky.HlavniZnak.empty() && ZacinaNa(s, p.Znaky.HlavniZnak, p.HlavniPouzitelny)) ||
               (!p.Znaky.VedlejsiZnak.empty() && ZacinaNa(s, p.Znaky.VedlejsiZnak, p.VedlejsiPouzitelny));
    };
    if (znak(k)) return k;
    if (k + 2 < radek.size() && radek[k + 1] >= '1' && radek[k + 1] <= '9' && znak(k + 2)) return k + 2;
    return znak(k + 1) ? k + 1 : k;
}

}  // namespace odkazy

using namespace odkazy;

TPravidlaBloku::TPravidlaBloku(const TZnakyOdkazu& znaky)
    : Znaky(znaky),
      HlavniPouzitelny(znaky.HlavniMuze && DelkaUtf16(znaky.HlavniZnak) <= MaxDelkaZnacky),
      VedlejsiPouzitelny(znaky.VedlejsiMuze && DelkaUtf16(znaky.VedlejsiZnak) <= MaxDelkaZnacky),
      ZacatekPouzitelny(znaky.ZacatekMuze && DelkaUtf16(znaky.Zacatek) <= MaxDelkaZnacky),
      KomentarPouzitelny(DelkaUtf16(znaky.Komentar) <= MaxDelkaZnacky),
      JednobajtoveZnaky(znaky.HlavniZnak.size() <= 1 && znaky.VedlejsiZnak.size() <= 1 && HlavniPouzitelny &&
                        VedlejsiPouzitelny) {}

bool TPravidlaBloku::JeZacatek(std::string_view radek) const {
    std::size_t i = 0;
    while (i < radek.size() && static_cast<unsigned char>(radek[i]) <= 32) ++i;
    return ZacatekOd(*this, radek, i);
}

TPravidlaBloku::TBlok TPravidlaBloku::Rozebrat(std::string_view radek) const { return RozebratRadek(*this, radek); }

std::optional<std::uint64_t> TPravidlaBloku::CisloProgramu(std::string_view radek, bool poZacatku) const {
    const TBlok b = Rozebrat(radek);
    std::uint64_t c = poZacatku ? CisloProgramuZaZacatkem(*this, radek, b) : BezCisla;
    if (c == BezCisla) c = odkazy::CisloProgramu(radek, b);
    if (c == BezCisla) return std::nullopt;
    return c;
}

bool TPravidlaBloku::ZacatekProCislo(std::string_view radek) const {
    const TBlok b = Rozebrat(radek);
    return odkazy::ZacatekProCislo(*this, radek, b, ZacatekOd(*this, radek, b.Odsazeni));
}
