#include "JazykovySoubor.h"

#include "platform/Kodovani.h"
#include "platform/CteniTextu.h"

#include <algorithm>

namespace {

using TUzel = TJazykovySoubor::TUzel;
using TDruh = TJazykovySoubor::TDruhUzlu;

std::u16string U16(std::string_view ascii) { return {ascii.begin(), ascii.end()}; }

std::u16string Cislo(std::uint64_t n) { return U16(std::to_string(n)); }

// The XML blanks.
bool Mezera(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// The blanks of QChar::isSpace: a text node of nothing else is dropped.
bool MezeraQt(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20 || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F || c == 0x205F ||
           c == 0x3000;
}

bool ZnakXml(char32_t z) {
    return z == 0x9 || z == 0xA || z == 0xD || (z >= 0x20 && z <= 0xD7FF) || (z >= 0xE000 && z <= 0xFFFD) ||
           (z >= 0x10000 && z <= 0x10FFFF);
}

bool ZacatekJmena(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool ZnakJmena(char c) { return ZacatekJmena(c) || (c >= '0' && c <= '9') || c == '-' || c == '.'; }

bool StejneBezVelikosti(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto m = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
        return m(x) == m(y);
    });
}

void Pripojit(std::u16string& cil, char32_t z) {
    if (z < 0x10000) {
        cil += static_cast<char16_t>(z);
    } else {
        z -= 0x10000;
        cil += static_cast<char16_t>(0xD800 + (z >> 10));
        cil += static_cast<char16_t>(0xDC00 + (z & 0x3FF));
    }
}

// One pass over the bytes, building the tree of nodes; the open elements on a
// stack of their own (at most MezHloubky of them).
class TCtecka {
public:
    TCtecka(std::string_view b, std::u16string_view nazev, std::vector<TUzel>& uzly)
        : b_(b), nazev_(nazev), uzly_(uzly) {}

    void Cist() {
        if (b_.size() > TJazykovySoubor::MezVelikosti)
            Mez(u"is larger than " + Cislo(TJazykovySoubor::MezVelikosti) + u" bytes", false);
        Kodovani();
        if (Je("<?xml") && i_ + 5 < b_.size() && Mezera(b_[i_ + 5])) Deklarace();
        // Before the root: blanks, comments, instructions.
        for (;;) {
            PreskocitMezery();
            if (Konec()) Vadny(u"Premature end of document");
            if (Je("<!--")) {
                Komentar();
            } else if (Je("<?")) {
                Instrukce();
            } else if (Je("<!DOCTYPE")) {
                Nepodporovany(u"a document type");
            } else if (Je("<") && !Je("<!") && !Je("</")) {
                break;
            } else {
                Vadny(u"Start tag expected");
            }
        }
        Obsah();
        // After it: blanks, comments, instructions.
        for (;;) {
            PreskocitMezery();
            if (Konec()) return;
            if (Je("<!--")) {
                Komentar();
            } else if (Je("<?")) {
                Instrukce();
            } else {
                Vadny(u"Extra content at end of document");
            }
        }
    }

private:
    // The line and column of the place, the characters counted.
    std::u16string Misto() const {
        std::uint64_t radek = 1, sloupec = 1;
        for (std::size_t k = 0; k < std::min(i_, b_.size()); ++k) {
            if (b_[k] == '\n') {
                ++radek;
                sloupec = 1;
            } else if ((static_cast<unsigned char>(b_[k]) & 0xC0) != 0x80) {
                ++sloupec;
            }
        }
        return u" (line " + Cislo(radek) + u", column " + Cislo(sloupec) + u")";
    }
    [[noreturn]] void Odmitnout(std::u16string_view proc, bool nepodporovany) {
        throw TOdmitnutyJazykovySoubor(u"The language file \"" + std::u16string(nazev_) + u"\" " + std::u16string(proc),
                                       nepodporovany);
    }
    [[noreturn]] void Vadny(std::u16string_view co) {
        Odmitnout(u"is not well-formed XML: " + std::u16string(co) + Misto(), false);
    }
    [[noreturn]] void Nepodporovany(std::u16string_view co) {
        Odmitnout(u"uses " + std::u16string(co) + Misto() + u", which the batch tool does not read", true);
    }
    // Past a limit, as the window words it.
    [[noreturn]] void Mez(std::u16string_view co, bool misto = true) {
        Odmitnout(std::u16string(co) + (misto ? Misto() : u"") + u"; it is not read", false);
    }

    bool Konec() const { return i_ >= b_.size(); }
    bool Je(std::string_view s) const { return b_.substr(i_, s.size()) == s; }
    char Ted() const { return Konec() ? '\0' : b_[i_]; }
    void Ocekavat(std::string_view s) {
        if (!Je(s)) Vadny(u"Expected '" + U16(s) + u"'");
        i_ += s.size();
    }
    bool PreskocitMezery() {
        const std::size_t od = i_;
        while (!Konec() && Mezera(b_[i_])) ++i_;
        return i_ > od;
    }

    // A byte-order mark of UTF-8 is skipped; UTF-16 and UTF-32, with a mark
    // or by the first character '<', are not taken.
    void Kodovani() {
        if (Je("\xEF\xBB\xBF")) {
            i_ = 3;
            return;
        }
        const bool utf16 = Je("\xFE\xFF") || Je("\xFF\xFE");
        const bool bezZnacky = !b_.empty() && (b_[0] == '\0' || (b_[0] == '<' && b_.size() > 1 && b_[1] == '\0'));
        if (utf16 || bezZnacky) Nepodporovany(u"another encoding than UTF-8");
    }

    // The next character, which must be well-formed UTF-8 and a character XML allows.
    char32_t Znak() {
        if (Konec()) Vadny(u"Premature end of document");
        const auto b0 = static_cast<unsigned char>(b_[i_]);
        std::size_t n = 0;
        char32_t z = 0, nejmensi = 0;
        if (b0 < 0x80) {
            z = b0;
        } else if (b0 >= 0xC2 && b0 <= 0xDF) {
            n = 1, z = b0 & 0x1F, nejmensi = 0x80;
        } else if (b0 >= 0xE0 && b0 <= 0xEF) {
            n = 2, z = b0 & 0x0F, nejmensi = 0x800;
        } else if (b0 >= 0xF0 && b0 <= 0xF4) {
            n = 3, z = b0 & 0x07, nejmensi = 0x10000;
        } else {
            Vadny(u"Encountered incorrectly encoded content");
        }
        for (std::size_t k = 1; k <= n; ++k) {
            if (i_ + k >= b_.size()) Vadny(u"Encountered incorrectly encoded content");
            const auto d = static_cast<unsigned char>(b_[i_ + k]);
            if ((d & 0xC0) != 0x80) Vadny(u"Encountered incorrectly encoded content");
            z = (z << 6) | (d & 0x3F);
        }
        if (n > 0 && (z < nejmensi || z > 0x10FFFF || (z >= 0xD800 && z <= 0xDFFF)))
            Vadny(u"Encountered incorrectly encoded content");
        if (!ZnakXml(z)) Vadny(u"Invalid character");
        i_ += n + 1;
        return z;
    }

    // A character of a text, its line breaks (CR LF, a lone CR) read as LF.
    char32_t ZnakTextu() {
        const char32_t z = Znak();
        if (z == '\r') {
            if (Ted() == '\n') ++i_;
            return '\n';
        }
        return z;
    }

    // A name: ASCII letters, digits, '_', '-' and '.', not starting with a
    // digit, '-' or '.'. A ':' or a character beyond ASCII is not taken.
    std::string Jmeno() {
        const std::size_t od = i_;
        const auto nepodporovany = [&] {
            return !Konec() && (b_[i_] == ':' || static_cast<unsigned char>(b_[i_]) >= 0x80);
        };
        if (Konec() || !ZacatekJmena(b_[i_])) {
            if (nepodporovany()) Nepodporovany(u"a name beyond ASCII letters, digits, '_', '-' and '.'");
            Vadny(u"A name expected");
        }
        while (!Konec() && ZnakJmena(b_[i_])) ++i_;
        if (nepodporovany()) Nepodporovany(u"a name beyond ASCII letters, digits, '_', '-' and '.'");
        if (i_ - od > TJazykovySoubor::MezTextu) Vadny(u"A name longer than " + Cislo(TJazykovySoubor::MezTextu));
        return std::string(b_.substr(od, i_ - od));
    }

    // A reference after its '&': one of the five entities or a character.
    void Odkaz(std::u16string& cil) {
        ++i_;
        if (Ted() == '#') {
            ++i_;
            const bool sestnactkove = Ted() == 'x';
            if (sestnactkove) ++i_;
            std::uint64_t z = 0;
            std::size_t cislic = 0;
            for (; !Konec(); ++i_, ++cislic) {
                const char c = b_[i_];
                int h;
                if (c >= '0' && c <= '9') h = c - '0';
                else if (sestnactkove && c >= 'a' && c <= 'f') h = c - 'a' + 10;
                else if (sestnactkove && c >= 'A' && c <= 'F') h = c - 'A' + 10;
                else break;
                z = std::min<std::uint64_t>(z * (sestnactkove ? 16 : 10) + h, 0x110000);
            }
            if (cislic == 0 || Ted() != ';' || !ZnakXml(static_cast<char32_t>(z)))
                Vadny(u"Invalid character reference");
            ++i_;
            Pripojit(cil, static_cast<char32_t>(z));
            return;
        }
        static constexpr std::pair<std::string_view, char16_t> Entity[] = {
            {"lt;", u'<'}, {"gt;", u'>'}, {"amp;", u'&'}, {"apos;", u'\''}, {"quot;", u'"'}};
        for (const auto& [jmeno, znak] : Entity) {
            if (Je(jmeno)) {
                i_ += jmeno.size();
                cil += znak;
                return;
            }
        }
        Vadny(u"Entity not declared");
    }

    // After an attribute's name: blanks, "=", blanks and the opening quote,
    // which is passed and given.
    char ZacatekHodnoty() {
        PreskocitMezery();
        Ocekavat("=");
        PreskocitMezery();
        const char uvozovka = Ted();
        if (uvozovka != '"' && uvozovka != '\'') Vadny(u"Expected ''' or '\"'");
        ++i_;
        return uvozovka;
    }

    // <?xml version="1.0" encoding="UTF-8" standalone="yes"?>
    void Deklarace() {
        i_ += 5;
        const auto hodnota = [&](std::string_view jmeno) {
            Ocekavat(jmeno);
            const char uvozovka = ZacatekHodnoty();
            const std::size_t od = i_;
            while (!Konec() && b_[i_] != uvozovka) ++i_;
            if (Konec()) Vadny(u"Premature end of document");
            return b_.substr(od, i_++ - od);
        };
        PreskocitMezery();
        if (hodnota("version") != "1.0") Vadny(u"Unsupported XML version");
        bool mezera = PreskocitMezery();
        if (mezera && Je("encoding")) {
            const std::string_view kodovani = hodnota("encoding");
            const bool platne = !kodovani.empty() &&
                                ((kodovani[0] >= 'A' && kodovani[0] <= 'Z') || (kodovani[0] >= 'a' && kodovani[0] <= 'z')) &&
                                std::all_of(kodovani.begin(), kodovani.end(), [](char c) {
                                    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
                                           c == '.' || c == '_' || c == '-';
                                });
            if (!platne) Vadny(u"An invalid encoding name");
            if (!StejneBezVelikosti(kodovani, "UTF-8") && !StejneBezVelikosti(kodovani, "UTF8"))
                Nepodporovany(u"another encoding than UTF-8");
            mezera = PreskocitMezery();
        }
        if (mezera && Je("standalone")) {
            const std::string_view s = hodnota("standalone");
            if (s != "yes" && s != "no") Vadny(u"Standalone accepts only yes or no");
            PreskocitMezery();
        }
        Ocekavat("?>");
    }

    // <!-- ... -->: no "--" inside, no '-' at its end.
    void Komentar() {
        i_ += 4;
        while (!Je("--")) Znak();
        i_ += 2;
        Ocekavat(">");
    }

    // <?target data?>; the target "xml" in any case is the declaration's alone.
    void Instrukce() {
        i_ += 2;
        const std::string cil = Jmeno();
        if (StejneBezVelikosti(cil, "xml")) Vadny(u"XML declaration not at start of document");
        if (!Je("?>")) {
            if (!PreskocitMezery()) Vadny(u"Expected ' ' or '?'");
            while (!Je("?>")) Znak();
        }
        i_ += 2;
    }

    std::uint32_t Uzel(TDruh druh) {
        uzly_.push_back({});
        uzly_.back().Druh = druh;
        return static_cast<std::uint32_t>(uzly_.size() - 1);
    }

    void Pridat(std::uint32_t rodic, std::uint32_t dite) {
        TUzel& r = uzly_[rodic];
        if (r.PosledniDite == TJazykovySoubor::Zadny)
            r.PrvniDite = dite;
        else
            uzly_[r.PosledniDite].Dalsi = dite;
        r.PosledniDite = dite;
    }

    // The start tag after its '<': the element, its attributes checked and
    // left out. True for an empty element (<a/>).
    bool ZacatekPrvku(std::uint32_t prvek) {
        ++i_;
        uzly_[prvek].Jmeno = Jmeno();
        std::vector<std::string> atributy;
        atributy.reserve(8);
        for (;;) {
            const bool mezera = PreskocitMezery();
            if (Je("/>")) {
                i_ += 2;
                return true;
            }
            if (Je(">")) {
                ++i_;
                return false;
            }
            if (!mezera) Vadny(u"Expected '>' or '/'");
            // (Qt takes more in an attribute's name than in an element's.)
            if (!ZacatekJmena(Ted())) Nepodporovany(u"an attribute name beyond ASCII letters, digits, '_', '-' and '.'");
            std::string jmeno = Jmeno();
            if (!Mezera(Ted()) && Ted() != '=')
                Nepodporovany(u"an attribute name beyond ASCII letters, digits, '_', '-' and '.'");
            if (atributy.size() >= TJazykovySoubor::MezAtributu)
                Mez(u"has an element with more than " + Cislo(TJazykovySoubor::MezAtributu) + u" attributes");
            if (std::find(atributy.begin(), atributy.end(), jmeno) != atributy.end())
                Vadny(u"Attribute '" + U16(jmeno) + u"' redefined");
            atributy.push_back(std::move(jmeno));
            const char uvozovka = ZacatekHodnoty();
            // The value as XML normalises it (every blank a space), counted.
            std::u16string hodnota;
            while (Ted() != uvozovka) {
                if (Konec()) Vadny(u"Premature end of document");
                if (Ted() == '<') Vadny(u"Unexpected '<'");
                if (Ted() == '&') {
                    Odkaz(hodnota);
                } else {
                    const char32_t z = ZnakTextu();
                    Pripojit(hodnota, z == '\t' || z == '\n' ? U' ' : z);
                }
                if (hodnota.size() > TJazykovySoubor::MezTextu)
                    Mez(u"holds a text longer than " + Cislo(TJazykovySoubor::MezTextu) + u" characters");
            }
            ++i_;
        }
    }

    // The root element and all it holds.
    void Obsah() {
        std::vector<std::uint32_t> otevrene{Uzel(TDruh::Prvek)};
        if (ZacatekPrvku(0)) return;
        std::u16string text;
        std::size_t delkaBehu = 0;  // the text and CDATA since the last other node
        const auto ukoncitText = [&] {
            if (text.empty()) return;
            // Blanks alone make no node.
            if (!std::all_of(text.begin(), text.end(), MezeraQt)) {
                const std::uint32_t t = Uzel(TDruh::Text);
                uzly_[t].Hodnota = std::move(text);
                Pridat(otevrene.back(), t);
            }
            text.clear();
        };
        const auto pocitat = [&](std::size_t pridano) {
            delkaBehu += pridano;
            if (delkaBehu > TJazykovySoubor::MezTextu)
                Mez(u"holds a text longer than " + Cislo(TJazykovySoubor::MezTextu) + u" characters");
        };
        while (!otevrene.empty()) {
            if (Konec()) Vadny(u"Premature end of document");
            if (Ted() == '&') {
                const std::size_t pred = text.size();
                Odkaz(text);
                pocitat(text.size() - pred);
                continue;
            }
            if (Ted() != '<') {
                if (Je("]]>")) Vadny(u"Sequence ']]>' not allowed in content");
                const std::size_t pred = text.size();
                Pripojit(text, ZnakTextu());
                pocitat(text.size() - pred);
                continue;
            }
            ukoncitText();
            if (Je("</")) {
                i_ += 2;
                const std::string jmeno = Jmeno();
                PreskocitMezery();
                Ocekavat(">");
                if (jmeno != uzly_[otevrene.back()].Jmeno) Vadny(u"Opening and ending tag mismatch");
                otevrene.pop_back();
                delkaBehu = 0;
            } else if (Je("<![CDATA[")) {
                i_ += 9;
                const std::uint32_t c = Uzel(TDruh::CData);
                std::u16string hodnota;
                while (!Je("]]>")) {
                    const std::size_t pred = hodnota.size();
                    Pripojit(hodnota, ZnakTextu());
                    pocitat(hodnota.size() - pred);
                }
                i_ += 3;
                uzly_[c].Hodnota = std::move(hodnota);
                Pridat(otevrene.back(), c);
            } else if (Je("<!--") || Je("<?")) {
                if (Je("<?"))
                    Instrukce();
                else
                    Komentar();
                Pridat(otevrene.back(), Uzel(TDruh::Jiny));
                delkaBehu = 0;
            } else if (Je("<!")) {
                Vadny(u"Unexpected '<!'");
            } else {
                if (otevrene.size() >= TJazykovySoubor::MezHloubky)
                    Mez(u"nests elements deeper than " + Cislo(TJazykovySoubor::MezHloubky) + u" levels");
                const std::uint32_t p = Uzel(TDruh::Prvek);
                Pridat(otevrene.back(), p);
                if (!ZacatekPrvku(p)) otevrene.push_back(p);
                delkaBehu = 0;
            }
        }
    }

    std::string_view b_;
    std::u16string_view nazev_;
    std::vector<TUzel>& uzly_;
    std::size_t i_ = 0;
};

}  // namespace

TJazykovySoubor TJazykovySoubor::Precist(std::string_view bajty, std::u16string_view nazev) {
    TJazykovySoubor s;
    s.nazev_ = nazev;
    TCtecka(bajty, nazev, s.uzly_).Cist();
    return s;
}

TJazykovySoubor TJazykovySoubor::Nacist(const std::filesystem::path& soubor) {
    const std::u16string nazev = TextCesty(soubor);
    TCteniSouboru cteni(soubor);
    const auto prilisVelky = [&] {
        return TOdmitnutyJazykovySoubor(u"The language file \"" + nazev + u"\" is larger than " +
                                            Cislo(MezVelikosti) + u" bytes; it is not read",
                                        false);
    };
    if (cteni.Velikost() > MezVelikosti) throw prilisVelky();
    // (It may have grown since: no more than the limit is read.)
    std::string bajty(MezVelikosti + 1, '\0');
    std::size_t precteno = 0;
    while (precteno < bajty.size()) {
        const std::size_t n = cteni.Precist(bajty.data() + precteno, bajty.size() - precteno);
        if (n == 0) break;
        precteno += n;
    }
    if (precteno > MezVelikosti) throw prilisVelky();
    bajty.resize(precteno);
    return Precist(bajty, nazev);
}

std::uint32_t TJazykovySoubor::Potomek(std::uint32_t rodic, std::string_view jmeno) const {
    if (rodic == Zadny) return Zadny;
    for (std::uint32_t d = uzly_[rodic].PrvniDite; d != Zadny; d = uzly_[d].Dalsi)
        if (uzly_[d].Druh == TDruhUzlu::Prvek && uzly_[d].Jmeno == jmeno) return d;
    return Zadny;
}

std::optional<std::u16string> TJazykovySoubor::Text(std::string_view sekce, std::string_view klic,
                                                     std::string_view jazyk) const {
    if (uzly_.empty()) return std::nullopt;
    const std::uint32_t j = Potomek(Potomek(Potomek(0, sekce), klic), jazyk);
    if (j == Zadny) return std::nullopt;
    const std::uint32_t prvni = uzly_[j].PrvniDite;
    if (prvni == Zadny) return std::nullopt;
    const TUzel& t = uzly_[prvni];
    if (t.Dalsi != Zadny || (t.Druh != TDruhUzlu::Text && t.Druh != TDruhUzlu::CData))
        throw TChyba(u"The element \"" + ZUtf8(sekce) + u'/' + ZUtf8(klic) + u'/' + ZUtf8(jazyk) +
                     u"\" of the language file does not contain a single text node");
    if (t.Hodnota.empty()) return std::nullopt;
    return t.Hodnota;
}

std::vector<std::string> TJazykovySoubor::Jazyky() const {
    std::vector<std::string> kody;
    if (uzly_.empty()) return kody;
    const std::uint32_t jazyky = Potomek(0, "JAZYKY");
    if (jazyky == Zadny) return kody;
    for (std::uint32_t d = uzly_[jazyky].PrvniDite; d != Zadny; d = uzly_[d].Dalsi)
        if (uzly_[d].Druh == TDruhUzlu::Prvek) kody.push_back(uzly_[d].Jmeno);
    return kody;
}
