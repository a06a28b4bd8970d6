#include "JazykyXML.h"

#include "platform/Chyba.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QHash>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTableWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QXmlStreamReader>

#include <algorithm>
#include <cstring>
#include <vector>

TJazykXML* JazykXML = nullptr;

namespace {

// The tooltip last set from a hint: while the tooltip still reads so, the
// hint property is current.
const char* const VlastnostTipu = "tarvikTipZHintu";
// The flag position of a language row.
constexpr int RoleIndexuObrazku = Qt::UserRole + 1959;

std::u16string U16(const QString& s) { return s.toStdU16String(); }

[[noreturn]] void Selhat(const QString& zprava) { throw TChyba(U16(zprava)); }

// The caption of an action as a tooltip: without its access keys, as Qt
// shows an action's caption.
QString BezAkceleratoru(const QString& text) {
    QString s;
    s.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                s += u'&';
                ++i;
            }
            continue;
        }
        s += text[i];
    }
    return s;
}

// The caption as Qt shows it for an action without a tooltip of its own.
QString VychoziTipAkce(QString text) {
    text.remove(QStringLiteral("..."));
    for (qsizetype i = 0; i < text.size(); ++i)
        if (text[i] == u'&') text.remove(i, 1);
    return text.trimmed();
}

QString Tip(const QObject* prvek) {
    if (auto* w = qobject_cast<const QWidget*>(prvek)) return w->toolTip();
    if (auto* a = qobject_cast<const QAction*>(prvek)) {
        // An action without a tooltip reports its caption as one.
        const QString tip = a->toolTip();
        return tip == VychoziTipAkce(a->text()) || tip == VychoziTipAkce(a->iconText()) ? QString() : tip;
    }
    return {};
}

// The tooltip as the object holds it.
QString SurovyTip(const QObject* prvek) {
    if (auto* w = qobject_cast<const QWidget*>(prvek)) return w->toolTip();
    if (auto* a = qobject_cast<const QAction*>(prvek)) return a->toolTip();
    return {};
}

// The tooltip of a hint: its short part, when the control shows tooltips.
void ObnovitTip(QObject* prvek) {
    const QString hint = prvek->property("hint").toString();
    if (auto* a = qobject_cast<QAction*>(prvek)) {
        a->setToolTip(BezAkceleratoru(KratkyHint(hint)));
    } else if (auto* w = qobject_cast<QWidget*>(prvek)) {
        w->setToolTip(ZobrazujeTipy(w) ? KratkyHint(hint) : QString());
    }
    prvek->setProperty(VlastnostTipu, SurovyTip(prvek));
}

// ---------------------------------------------------------------- the document

// The first child element named exactly nazev; a null element when there is
// none. Only reads: nothing is created.
QDomElement PrvniPotomek(const QDomNode& uzel, const QString& nazev) {
    if (nazev.isEmpty()) return {};
    for (QDomNode n = uzel.firstChild(); !n.isNull(); n = n.nextSibling())
        if (n.isElement() && n.nodeName() == nazev) return n.toElement();
    return {};
}

// The text of an element: its single text or CDATA node, empty for an empty
// element; anything else is an error.
QString TextPrvku(const QDomElement& prvek, const QString& cesta) {
    const QDomNode prvni = prvek.firstChild();
    if (prvni.isNull()) return {};
    if (prvni.nextSibling().isNull() && (prvni.isText() || prvni.isCDATASection())) return prvni.nodeValue();
    Selhat(QStringLiteral("The element \"%1\" of the language file does not contain a single text node").arg(cesta));
}

// The text of any node: an element's as above, a text's, comment's or
// instruction's own value.
QString TextUzlu(const QDomNode& uzel, const QString& cesta) {
    if (uzel.isElement()) return TextPrvku(uzel.toElement(), cesta);
    return uzel.nodeValue();
}

// Limits of a language file, far above what a translation needs (the one
// that comes with the program has 28 kB, four levels and texts of under a
// hundred characters) and low enough that no file past them can hang the
// parser (Qt's DOM parser takes time that grows with the square of the
// depth) or make a window that the window system refuses. A file past any of
// them is refused before it is parsed.
constexpr qint64 MezVelikosti = 1024 * 1024;  // bytes of the file
constexpr int MezHloubky = 64;                // levels of nested elements
constexpr qsizetype MezTextu = 4096;          // characters of one text or attribute value
constexpr qsizetype MezDeklaraci = 256;       // entity declarations
// Attributes of one element: Qt's reader looks for a repeated name among the
// ones before each, so that an element's attributes cost the square of
// their number (a 1 MiB file of them took minutes).
constexpr qsizetype MezAtributu = 256;
// Entities: external ones are never resolved (the parser does not fetch
// anything); internal ones expand, and so do default attribute values. A file
// whose document type could make it expand beyond this many characters is
// refused too.
constexpr qint64 MezRozvinuti = 16 * 1024 * 1024;

[[noreturn]] void Odmitnout(const QString& nazevSouboru, const QString& proc) {
    Selhat(QStringLiteral("The language file \"%1\" %2; it is not read").arg(nazevSouboru, proc));
}

[[noreturn]] void OdmitnoutRozvinuti(const QString& nazevSouboru) {
    Odmitnout(nazevSouboru, QStringLiteral("declares entities or default attributes that would expand to more "
                                           "than %1 characters")
                                .arg(MezRozvinuti));
}

// The length of each entity's text with every reference in it expanded, at
// most MezRozvinuti; a reference that loops counts as too long. Found with a
// stack of its own, so that a long chain of entities each referring to the
// one before cannot exhaust the program's stack.
qint64 NejdelsiEntita(const QHash<QString, QString>& hodnoty) {
    struct TRozpracovana {
        QString jmeno;
        qsizetype i = 0;         // the position in its text
        qint64 celkem = 0;       // the length up to it
        qsizetype strednik = 0;  // the first ";" after i once looked for (-1: none is left)
    };
    QHash<QString, qint64> delky;
    QSet<QString> rozpracovane;
    qint64 nejdelsi = 0;
    for (auto e = hodnoty.cbegin(); e != hodnoty.cend(); ++e) {
        if (delky.contains(e.key())) continue;
        std::vector<TRozpracovana> zasobnik{{e.key()}};
        rozpracovane.insert(e.key());
        while (!zasobnik.empty()) {
            TRozpracovana& r = zasobnik.back();
            const QString& hodnota = *hodnoty.constFind(r.jmeno);
            QString dalsi;
            while (r.i < hodnota.size() && r.celkem < MezRozvinuti) {
                // ("&" stands for itself too: "&#38;" is expanded as the entity is declared.)
                if (hodnota[r.i] == u'&' && r.strednik >= 0 && r.strednik <= r.i)
                    r.strednik = hodnota.indexOf(u';', r.i + 1);
                const qsizetype strednik = hodnota[r.i] == u'&' ? r.strednik : -1;
                if (strednik < 0) {
                    ++r.celkem;
                    ++r.i;
                    continue;
                }
                const QString odkaz = hodnota.mid(r.i + 1, strednik - r.i - 1);
                if (!hodnoty.contains(odkaz)) {
                    r.celkem += strednik - r.i + 1;
                } else if (const auto d = delky.constFind(odkaz); d != delky.cend()) {
                    r.celkem += *d;
                } else if (rozpracovane.contains(odkaz)) {
                    r.celkem = MezRozvinuti;
                } else {
                    dalsi = odkaz;  // its length first; then this reference again
                    break;
                }
                r.i = strednik + 1;
            }
            if (!dalsi.isEmpty()) {
                rozpracovane.insert(dalsi);
                zasobnik.push_back({dalsi});
                continue;
            }
            const qint64 delka = std::min(r.celkem, MezRozvinuti);
            delky.insert(r.jmeno, delka);
            rozpracovane.remove(r.jmeno);
            nejdelsi = std::max(nejdelsi, delka);
            zasobnik.pop_back();
        }
    }
    return nejdelsi;
}

void ZkontrolovatDeklarace(const QXmlStreamReader& ctecka, const QByteArray& bajty, const QString& nazevSouboru) {
    const QXmlStreamEntityDeclarations deklarace = ctecka.entityDeclarations();
    if (deklarace.size() > MezDeklaraci)
        Odmitnout(nazevSouboru, QStringLiteral("declares more than %1 entities").arg(MezDeklaraci));
    // Default attribute values (shown expanded in the document type's text)
    // may be repeated on every element.
    const QString dtd = ctecka.text().toString();
    if (dtd.contains(QLatin1String("ATTLIST")) && qint64(bajty.count('<')) * dtd.size() > MezRozvinuti)
        OdmitnoutRozvinuti(nazevSouboru);
    QHash<QString, QString> hodnoty;
    for (const auto& d : deklarace) {
        const QString jmeno = d.name().toString();
        if (!hodnoty.contains(jmeno)) hodnoty.insert(jmeno, d.value().toString());  // the first one binds
    }
    const qint64 nejdelsi = NejdelsiEntita(hodnoty);
    // Every reference begins with "&".
    const qint64 odkazu = bajty.count('&');
    if (odkazu > 0 && (nejdelsi >= MezRozvinuti || odkazu * nejdelsi > MezRozvinuti))
        OdmitnoutRozvinuti(nazevSouboru);
}

// Refuses a file with an element of more attributes than MezAtributu, before
// any XML reader sees it: the start tags are found in the bytes themselves
// (an encoding whose ASCII characters are single bytes, or UTF-16 by its
// mark or its first "<"), and the "=" outside quotes in each counted. Comments,
// CDATA sections, declarations and instructions are passed over.
void ZkontrolovatAtributy(const QByteArray& bajty, const QString& nazevSouboru) {
    const auto b = [&](qsizetype i) { return static_cast<unsigned char>(bajty[i]); };
    qsizetype krok = 1, posun = 0;  // a unit's bytes; where its low byte is
    if (bajty.size() >= 2 && ((b(0) == 0xFF && b(1) == 0xFE) || (b(0) == '<' && b(1) == 0))) {
        krok = 2;
    } else if (bajty.size() >= 2 && ((b(0) == 0xFE && b(1) == 0xFF) || (b(0) == 0 && b(1) == '<'))) {
        krok = 2;
        posun = 1;
    }
    const qsizetype n = bajty.size() / krok;
    // The unit at i: its ASCII character, 0 for any other.
    const auto z = [&](qsizetype i) -> char {
        if (krok == 1) return b(i) < 0x80 ? static_cast<char>(b(i)) : 0;
        return b(2 * i + 1 - posun) == 0 && b(2 * i + posun) < 0x80 ? static_cast<char>(b(2 * i + posun)) : 0;
    };
    const auto najit = [&](qsizetype od, const char* konec) {
        const qsizetype d = static_cast<qsizetype>(std::strlen(konec));
        for (qsizetype i = od; i + d <= n; ++i) {
            qsizetype k = 0;
            while (k < d && z(i + k) == konec[k]) ++k;
            if (k == d) return i + d;
        }
        return n;
    };
    qsizetype radek = 1;
    for (qsizetype i = 0; i < n; ++i) {
        const char c = z(i);
        if (c == '\n') ++radek;
        if (c != '<' || i + 1 >= n) continue;
        const char dalsi = z(i + 1);
        if (dalsi == '!' && i + 3 < n && z(i + 2) == '-' && z(i + 3) == '-') {
            i = najit(i + 4, "-->") - 1;
        } else if (dalsi == '!' && i + 2 < n && z(i + 2) == '[') {
            i = najit(i + 3, "]]>") - 1;
        } else if (dalsi == '?') {
            i = najit(i + 2, "?>") - 1;
        } else if (dalsi != '!' && dalsi != '/') {
            // A start tag: its attributes, each one "=" outside the quotes.
            char uvozovka = 0;
            qsizetype atributu = 0;
            for (++i; i < n; ++i) {
                const char t = z(i);
                if (t == '\n') ++radek;
                if (uvozovka) {
                    if (t == uvozovka) uvozovka = 0;
                } else if (t == '"' || t == '\'') {
                    uvozovka = t;
                } else if (t == '=') {
                    if (++atributu > MezAtributu)
                        Odmitnout(nazevSouboru,
                                  QStringLiteral("has an element with more than %1 attributes (line %2)")
                                      .arg(MezAtributu)
                                      .arg(radek));
                } else if (t == '>' || t == '<') {
                    break;
                }
            }
        }
    }
}

// Refuses a file past the limits, reading it as a stream (which needs no
// more memory or time for a deep file than for a flat one). A file that is
// not well-formed is left to the parser, which says where.
void ZkontrolovatMeze(const QByteArray& bajty, const QString& nazevSouboru) {
    if (bajty.size() > MezVelikosti)
        Odmitnout(nazevSouboru, QStringLiteral("is larger than %1 bytes").arg(MezVelikosti));
    ZkontrolovatAtributy(bajty, nazevSouboru);
    QXmlStreamReader ctecka(bajty);
    const auto misto = [&] { return QStringLiteral(" (line %1)").arg(ctecka.lineNumber()); };
    const auto dlouhy = [&](qsizetype delka) {
        if (delka > MezTextu)
            Odmitnout(nazevSouboru, QStringLiteral("holds a text longer than %1 characters").arg(MezTextu) + misto());
    };
    int hloubka = 0;
    qsizetype text = 0;  // the text so far, which may come in pieces
    while (!ctecka.atEnd()) {
        switch (ctecka.readNext()) {
            case QXmlStreamReader::DTD: ZkontrolovatDeklarace(ctecka, bajty, nazevSouboru); break;
            case QXmlStreamReader::StartElement:
                if (++hloubka > MezHloubky)
                    Odmitnout(nazevSouboru, QStringLiteral("nests elements deeper than %1 levels").arg(MezHloubky) + misto());
                // (Names longer than the limit are not well-formed to the
                // parser already.)
                for (const auto& a : ctecka.attributes()) dlouhy(a.value().size());
                text = 0;
                break;
            case QXmlStreamReader::EndElement:
                --hloubka;
                text = 0;
                break;
            case QXmlStreamReader::Characters:
                text += ctecka.text().size();
                dlouhy(text);
                break;
            case QXmlStreamReader::Invalid: return;
            default: text = 0; break;
        }
    }
}

// ---------------------------------------------------------------- the walk over a window

bool JeZalozka(const QWidget* w, QTabWidget** zalozky) {
    auto* stoh = qobject_cast<QStackedWidget*>(w->parentWidget());
    if (!stoh) return false;
    auto* tw = qobject_cast<QTabWidget*>(stoh->parentWidget());
    if (!tw || tw->indexOf(const_cast<QWidget*>(w)) < 0) return false;
    *zalozky = tw;
    return true;
}

bool JeSkupinaPrepinacu(const QObject* o) {
    return qobject_cast<const QGroupBox*>(o) && o->property("radioGroup").toBool();
}

// The components a window owns, however nested, in the order of creation
// within each parent; other windows (dialogs owned by this one) and their
// contents are not part of it, a window's menus are.
void SebratSoucasti(const QObject* rodic, QList<QObject*>& soucasti) {
    for (QObject* dite : rodic->children()) {
        if (auto* w = qobject_cast<QWidget*>(dite); w && w->isWindow() && !qobject_cast<QMenu*>(w)) continue;
        soucasti << dite;
        SebratSoucasti(dite, soucasti);
    }
}

class TPrekladac {
public:
    TPrekladac(const TPrekladTextu& preloz) : preloz_(preloz) {}

    void Soucast(QObject* o) {
        const QString n = o->objectName();
        auto* w = qobject_cast<QWidget*>(o);
        auto* tlacitko = qobject_cast<QPushButton*>(o);
        // 1 any control
        if (w) PravidloHintu(w, n);
        // 2 push button
        if (tlacitko && tlacitko->icon().isNull()) {
            tlacitko->setText(preloz_(n, tlacitko->text()));
            PravidloHintu(w, n);
        }
        // 3 label
        if (auto* l = qobject_cast<QLabel*>(o)) {
            l->setText(preloz_(n, l->text()));
            PravidloHintu(w, n);
        }
        // 4 menu item
        if (auto* m = qobject_cast<QMenu*>(o)) m->setTitle(preloz_(n, m->title()));
        // 5 action
        if (auto* a = qobject_cast<QAction*>(o)) {
            const QString titulek = preloz_(n, a->text());
            a->setText(titulek);
            a->setIconText(titulek);
            const QString t = preloz_(n + QStringLiteral("-H"), Hint(a));
            NastavitHint(a, t.endsWith(u'|') ? t : titulek + u'|' + t);
        }
        // 6 group box (not a radio group)
        if (auto* g = qobject_cast<QGroupBox*>(o); g && !JeSkupinaPrepinacu(g)) g->setTitle(preloz_(n, g->title()));
        // 7 tab sheet
        QTabWidget* zalozky = nullptr;
        if (w && JeZalozka(w, &zalozky)) {
            const int i = zalozky->indexOf(w);
            zalozky->setTabText(i, preloz_(n, zalozky->tabText(i)));
        }
        // 8 list view
        if (auto* s = qobject_cast<QTreeWidget*>(o)) {
            const QString hint = Hint(s);
            if (!hint.isEmpty()) NastavitHint(s, u'|' + preloz_(n, hint));
            QTreeWidgetItem* hlavicka = s->headerItem();
            for (int i = 0; i < hlavicka->columnCount(); ++i)
                if (TagSloupce(s, i) == -1) hlavicka->setText(i, preloz_(n + QString::number(i), hlavicka->text(i)));
        }
        // 9 speed button
        if (auto* t = qobject_cast<QToolButton*>(o)) {
            t->setText(preloz_(n, t->text()));
            PravidloHintu(w, n);
        }
        // 10 radio group
        if (JeSkupinaPrepinacu(o)) {
            auto* g = static_cast<QGroupBox*>(o);
            g->setTitle(preloz_(n, g->title()));
            PravidloHintu(w, n);
            const auto polozky = g->findChildren<QRadioButton*>(Qt::FindDirectChildrenOnly);
            for (int i = 0; i < polozky.size(); ++i)
                polozky[i]->setText(preloz_(n + QString::number(i), polozky[i]->text()));
        }
        // 11 check box
        if (auto* c = qobject_cast<QCheckBox*>(o)) c->setText(preloz_(n, c->text()));
        // 12 panel
        if (w && w->metaObject() == &QFrame::staticMetaObject)
            w->setProperty("caption", preloz_(n, w->property("caption").toString()));
        // 13 combo box
        if (auto* c = qobject_cast<QComboBox*>(o))
            for (int i = 0; i < c->count(); ++i) c->setItemText(i, preloz_(n + QString::number(i), c->itemText(i)));
        // 14 key/value table
        if (auto* t = qobject_cast<QTableWidget*>(o)) HodnotovaTabulka(t, n);
        // 15 radio button
        if (auto* r = qobject_cast<QRadioButton*>(o)) r->setText(preloz_(n, r->text()));
        // 16 check list box
        if (auto* l = qobject_cast<QListWidget*>(o)) {
            PravidloHintu(w, n);
            for (int i = 0; i < l->count(); ++i)
                l->item(i)->setText(preloz_(n + QString::number(i), l->item(i)->text()));
        }
        // 17 picture button
        if (tlacitko && !tlacitko->icon().isNull()) {
            tlacitko->setText(preloz_(n, tlacitko->text()));
            PravidloHintu(w, n);
        }
    }

private:
    void PravidloHintu(QWidget* w, const QString& n) {
        const QString hint = Hint(w);
        if (hint.isEmpty()) return;
        const QString t = preloz_(n + QStringLiteral("-H"), hint);
        NastavitHint(w, ZobrazujeTipy(w) ? t + u'|' : u'|' + t);
    }

    void HodnotovaTabulka(QTableWidget* t, const QString& n) {
        const QString hint = Hint(t);
        if (!hint.isEmpty()) NastavitHint(t, u'|' + preloz_(n + QStringLiteral("-H"), hint));
        const auto titulek = [&](int sloupec, const QString& pripona) {
            QTableWidgetItem* h = t->horizontalHeaderItem(sloupec);
            if (!h) {
                if (sloupec >= t->columnCount()) return;
                h = new QTableWidgetItem;
                t->setHorizontalHeaderItem(sloupec, h);
            }
            h->setText(preloz_(n + pripona, h->text()));
        };
        titulek(0, QStringLiteral("-K"));
        titulek(1, QStringLiteral("-V"));
        for (int i = 0; i < t->rowCount(); ++i) {
            const QTableWidgetItem* k = t->item(i, 0);
            const QTableWidgetItem* v = t->item(i, 1);
            const QString radek = (k ? k->text() : QString()) + u'=' + (v ? v->text() : QString());
            const QString novy = preloz_(n + QString::number(i), radek);
            const qsizetype rovnitko = novy.indexOf(u'=');
            const QString klic = rovnitko < 0 ? novy : novy.left(rovnitko);
            const QString hodnota = rovnitko < 0 ? QString() : novy.mid(rovnitko + 1);
            if (!t->item(i, 0)) t->setItem(i, 0, new QTableWidgetItem);
            t->item(i, 0)->setText(klic);
            if (t->columnCount() > 1) {
                if (!t->item(i, 1)) t->setItem(i, 1, new QTableWidgetItem);
                t->item(i, 1)->setText(hodnota);
            }
        }
    }

    const TPrekladTextu& preloz_;
};

}  // namespace

// ---------------------------------------------------------------- marks and hints

bool Oznaceny(const QObject* prvek) {
    const QVariant tag = prvek->property("tag");
    bool ok = false;
    return tag.isValid() && tag.toLongLong(&ok) == -1 && ok;
}

int TagSloupce(const QTreeWidget* seznam, int sloupec) {
    const QVariantList tagy = seznam->property("tagSloupcu").toList();
    if (sloupec < 0 || sloupec >= tagy.size()) return 0;
    return tagy[sloupec].toInt();
}

QString KratkyHint(const QString& hint) {
    const qsizetype i = hint.indexOf(u'|');
    return i < 0 ? hint : hint.left(i);
}

QString DlouhyHint(const QString& hint) {
    const qsizetype i = hint.indexOf(u'|');
    return i < 0 ? hint : hint.mid(i + 1);
}

bool ZobrazujeTipy(const QObject* prvek) {
    const QVariant v = prvek->property("showHint");
    return !v.isValid() || v.toBool();
}

QString Hint(const QObject* prvek) {
    const QVariant hint = prvek->property("hint");
    if (hint.isValid() && prvek->property(VlastnostTipu).toString() == SurovyTip(prvek)) return hint.toString();
    return Tip(prvek);
}

void NastavitHint(QObject* prvek, const QString& hint) {
    prvek->setProperty("hint", hint);
    ObnovitTip(prvek);
}

void NastavitZobrazovaniTipu(QObject* prvek, bool zobrazovat) {
    const QString hint = Hint(prvek);
    prvek->setProperty("showHint", zobrazovat);
    NastavitHint(prvek, hint);
}

// ---------------------------------------------------------------- the file

TXMLDokument::TXMLDokument(QString nazevSouboru) : nazevSouboru_(std::move(nazevSouboru)) {}

bool TXMLDokument::SouborExistuje() const { return QFileInfo(nazevSouboru_).isFile(); }

void TXMLDokument::Nacist() {
    QFile soubor(nazevSouboru_);
    if (!soubor.open(QIODevice::ReadOnly))
        Selhat(QStringLiteral("Cannot open file \"%1\". %2").arg(nazevSouboru_, soubor.errorString()));
    // The size before the bytes: a file far past the limit is never read
    // (nor one that is no file and never ends: no more than the limit and a byte).
    if (soubor.size() > MezVelikosti)
        Odmitnout(nazevSouboru_, QStringLiteral("is larger than %1 bytes").arg(MezVelikosti));
    const QByteArray bajty = soubor.read(MezVelikosti + 1);
    if (soubor.error() != QFileDevice::NoError)
        Selhat(QStringLiteral("Cannot read file \"%1\". %2").arg(nazevSouboru_, soubor.errorString()));
    dokument_ = NacistJazykovyDokument(bajty, nazevSouboru_);
    nacteno_ = true;
}

QDomDocument NacistJazykovyDokument(const QByteArray& bajty, const QString& nazevSouboru) {
    ZkontrolovatMeze(bajty, nazevSouboru);
    QDomDocument dokument;
    QString chyba;
    int radek = 0, sloupec = 0;
    // Without namespace processing: names are compared as written.
    if (!dokument.setContent(bajty, false, &chyba, &radek, &sloupec))
        Selhat(QStringLiteral("The language file \"%1\" is not well-formed XML: %2 (line %3, column %4)")
                   .arg(nazevSouboru, chyba)
                   .arg(radek)
                   .arg(sloupec));
    return dokument;
}

// ---------------------------------------------------------------- TJazykXML

QString TJazykXML::DejText(const QString& Sekce, const QString& Klic, const QString& Vychozi) const {
    if (!Dokument) return Vychozi;
    const QDomElement sekce = PrvniPotomek(Dokument->documentElement(), Sekce);
    const QDomElement klic = PrvniPotomek(sekce, Klic);
    const QDomElement jazyk = PrvniPotomek(klic, Jazyk);
    if (jazyk.isNull()) return Vychozi;
    const QString text = TextPrvku(jazyk, Sekce + u'/' + Klic + u'/' + Jazyk);
    return text.isEmpty() ? Vychozi : text;
}

void TJazykXML::NaplnJazyky(QTreeWidget* Seznam) const {
    // Deselecting first lets the dialog hear that no row is selected now.
    Seznam->clearSelection();
    Seznam->clear();
    if (Dokument) {
        const QDomElement jazyky = PrvniPotomek(Dokument->documentElement(), QStringLiteral("JAZYKY"));
        const QVariantList obrazky = Seznam->property("smallImages").toList();
        for (QDomNode n = jazyky.firstChild(); !n.isNull(); n = n.nextSibling()) {
            if (!n.isElement()) continue;
            const QDomElement jazyk = n.toElement();
            const QString kod = jazyk.nodeName();
            auto* radek = new QTreeWidgetItem(Seznam);
            radek->setText(0, kod);
            const QDomNodeList deti = jazyk.childNodes();
            for (int i = 0; i < 3; ++i) {
                if (i >= deti.count())
                    Selhat(QStringLiteral("The language \"%1\" of the language file has %2 child nodes instead of "
                                          "three (name, version, author)")
                               .arg(kod)
                               .arg(deti.count()));
                radek->setText(i + 1, TextUzlu(deti.at(i), QStringLiteral("JAZYKY/") + kod));
            }
            const QString index = jazyk.attribute(QStringLiteral("index"));
            bool ok = false;
            const int obrazek = index.trimmed().toInt(&ok, 10);
            if (!jazyk.hasAttribute(QStringLiteral("index")) || !ok)
                Selhat(QStringLiteral("The language \"%1\" of the language file has no whole number in its "
                                      "attribute index (\"%2\")")
                           .arg(kod, index));
            radek->setData(0, RoleIndexuObrazku, obrazek);
            if (obrazek >= 0 && obrazek < obrazky.size()) radek->setIcon(0, obrazky[obrazek].value<QIcon>());
        }
    }
    for (int i = 0; i < Seznam->topLevelItemCount(); ++i) {
        QTreeWidgetItem* radek = Seznam->topLevelItem(i);
        if (radek->text(0).compare(Jazyk, Qt::CaseInsensitive) == 0) {
            Seznam->setCurrentItem(radek);
            radek->setSelected(true);
            Seznam->scrollToItem(radek);
            break;
        }
    }
}

int IndexObrazkuRadku(const QTreeWidgetItem* radek) {
    const QVariant v = radek->data(0, RoleIndexuObrazku);
    return v.isValid() ? v.toInt() : -1;
}

void ProjitFormular(QWidget* Okno, const TPrekladTextu& Preloz) {
    const QString s = Okno->objectName();
    if (Oznaceny(Okno)) Okno->setWindowTitle(Preloz(s, Okno->windowTitle()));
    QList<QObject*> soucasti;
    SebratSoucasti(Okno, soucasti);
    TPrekladac prekladac(Preloz);
    for (QObject* o : soucasti)
        if (Oznaceny(o)) prekladac.Soucast(o);
}

void TJazykXML::PrelozFormular(QWidget* Okno) const {
    const QString sekce = Okno->objectName();
    ProjitFormular(Okno, [&](const QString& klic, const QString& vychozi) { return DejText(sekce, klic, vychozi); });
}
