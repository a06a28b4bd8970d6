// Any bytes as the language file tarvik.xml: it loads or is refused with a
// message, never crashes or hangs (libFuzzer's -timeout), and looking up the
// texts of a loaded file never fails but with a message.
#include "Fuzz.h"

#include "lang/JazykyXML.h"
#include "platform/Chyba.h"

#include <QByteArray>
#include <QDomDocument>
#include <QDomElement>

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bajty = QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QDomDocument dokument;
    try {
        dokument = NacistJazykovyDokument(bajty, QStringLiteral("tarvik.xml"));
    } catch (const TChyba& e) {
        OVERIT(!e.Zprava().empty());
        return 0;
    }

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
                try {
                    jazyk.DejText(sekce.tagName(), klic.tagName(), QStringLiteral("výchozí"));
                } catch (const TChyba& e) {
                    OVERIT(!e.Zprava().empty());
                }
            }
        }
    }
    return 0;
}
