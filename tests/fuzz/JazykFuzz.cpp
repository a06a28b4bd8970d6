// Any bytes as the language file tarvik.xml: it loads or is refused with a
// message, never crashes or hangs (libFuzzer's -timeout), and looking up the
// texts of a loaded file never fails but with a message. The batch tool's
// reader (katalog/JazykovySoubor, without Qt) and the window's agree: what
// one refuses the other refuses (unless the batch tool's refuses it as a
// file it does not take: a document type, another encoding, a name beyond
// ASCII; a file whose last character is cut short, which the window's reader
// drops unseen; or one holding control characters, which XML forbids and the
// window's reader lets pass in some places), and they give the same text, or fail alike, for every key and
// language of every section, and the same languages.
#include "Fuzz.h"

#include "katalog/JazykovySoubor.h"
#include "lang/JazykyXML.h"
#include "platform/Chyba.h"

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace {

// The bytes end inside a UTF-8 character: a lead byte with fewer
// continuation bytes after it than it announces.
bool KonciUriznutymZnakem(const std::uint8_t* data, std::size_t size) {
    for (std::size_t zpet = 1; zpet <= 3 && zpet <= size; ++zpet) {
        const std::uint8_t b = data[size - zpet];
        if ((b & 0xC0) == 0x80) continue;
        const std::size_t delka = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return delka > zpet;
    }
    return false;
}

// The bytes hold a control character that XML forbids.
bool MaRidiciZnak(const std::uint8_t* data, std::size_t size) {
    return std::any_of(data, data + size, [](std::uint8_t b) { return b < 0x20 && b != '\t' && b != '\n' && b != '\r'; });
}

// A text or the failure to give it, from either reader.
struct TVysledek {
    bool chyba = false;
    std::u16string text;  // empty: none
    bool operator==(const TVysledek&) const = default;
};

TVysledek ZOkna(const TJazykXML& jazyk, const QString& sekce, const QString& klic) {
    try {
        return {false, jazyk.DejText(sekce, klic, QString()).toStdU16String()};
    } catch (const TChyba& e) {
        OVERIT(!e.Zprava().empty());
        return {true, {}};
    }
}

TVysledek ZDavky(const TJazykovySoubor& soubor, const QString& sekce, const QString& klic, const QString& kod) {
    try {
        return {false, soubor.Text(sekce.toStdString(), klic.toStdString(), kod.toStdString()).value_or(u"")};
    } catch (const TChyba& e) {
        OVERIT(!e.Zprava().empty());
        return {true, {}};
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bajty = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    std::optional<TJazykovySoubor> davka;
    bool nepodporovany = false;
    try {
        davka = TJazykovySoubor::Precist(std::string_view(reinterpret_cast<const char*>(data), size), u"tarvik.xml");
    } catch (const TOdmitnutyJazykovySoubor& e) {
        OVERIT(!e.Zprava().empty());
        nepodporovany = e.Nepodporovany();
    }
    QDomDocument dokument;
    try {
        dokument = NacistJazykovyDokument(bajty, QStringLiteral("tarvik.xml"));
    } catch (const TChyba& e) {
        OVERIT(!e.Zprava().empty());
        OVERIT(!davka);
        return 0;
    }
    OVERIT(davka || nepodporovany || KonciUriznutymZnakem(data, size) || MaRidiciZnak(data, size));

    // Every text of the file, as the windows ask for it: section, key and
    // language by name; a bounded number, so that a wide file stays quick.
    TJazykXML jazyk;
    jazyk.Dokument = &dokument;
    int dotazu = 0;
    const QDomElement koren = dokument.documentElement();
    for (QDomElement sekce = koren.firstChildElement(); !sekce.isNull() && dotazu < 1000;
         sekce = sekce.nextSiblingElement()) {
        for (QDomElement klic = sekce.firstChildElement(); !klic.isNull() && dotazu < 1000;
             klic = klic.nextSiblingElement()) {
            for (QDomElement kod = klic.firstChildElement(); !kod.isNull() && dotazu < 1000;
                 kod = kod.nextSiblingElement(), ++dotazu) {
                jazyk.Jazyk = kod.tagName();
                const TVysledek okno = ZOkna(jazyk, sekce.tagName(), klic.tagName());
                if (davka) OVERIT(ZDavky(*davka, sekce.tagName(), klic.tagName(), kod.tagName()) == okno);
            }
        }
    }
    if (davka) {
        std::vector<std::string> kody;
        for (QDomElement j = koren.firstChildElement(QStringLiteral("JAZYKY")).firstChildElement(); !j.isNull();
             j = j.nextSiblingElement())
            kody.push_back(j.tagName().toStdString());
        OVERIT(davka->Jazyky() == kody);
    }
    return 0;
}
