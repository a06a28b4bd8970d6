// The language file and its reader.
//
// The language file tarvik.xml (in the working directory) holds, under any
// root element, the language list JAZYKY and one section per window plus
// Obecne for the messages:
//
//   <Preklad>
//     <JAZYKY>
//       <EN index="1"><Jmeno>English</Jmeno><Verze>1.0</Verze><Autor>...</Autor></EN>
//     </JAZYKY>
//     <HlavniForm>
//       <aKonec><EN>E&amp;xit</EN></aKonec>
//       <aKonec-H><EN>Closes the application</EN></aKonec-H>
//     </HlavniForm>
//   </Preklad>
//
// Every window is designed in Czech; TJazykXML::PrelozFormular replaces the
// texts of the window's components that carry the translation mark, the
// dynamic property "tag" with the value -1 (on the window itself it marks the
// window's caption).
//
// Keys, from a component's object name N: N for a caption (for a list view:
// its hint), N + "-H" for a hint, N + position (decimal, from 0) for a column
// of a list view or an item of a list, N + "-K" / N + "-V" for the key and
// value column titles of a key/value table.
//
// Hints. A control's hint is one text "short|long": the part before the
// first "|" is its tooltip, the part after it the long hint; a hint without
// "|" is all short. On Qt objects:
//   - the dynamic property "hint" holds the whole hint text; the tooltip
//     shows its short part (for an action with the access key "&" taken out,
//     as Qt shows an action's caption). The long part stays in the property:
//     the status bar shows the statistics line, not hints.
//   - an object without "hint", or whose tooltip was set directly since
//     (the save-state indicator sets its tooltip itself), has its tooltip as
//     its hint; an action without a tooltip of its own (Qt then shows its
//     caption) has none.
//   - the dynamic property "showHint" (bool) is the control's "shows
//     tooltips" switch; a control without it shows them. A control that does
//     not show tooltips gets an empty tooltip, its hint is kept all the same.
//
// The component kinds of the translation, in the order they are handled, and
// the Qt classes that stand for them (a kind includes the classes derived
// from it):
//    1 any control            QWidget                       hint rule
//    2 push button            QPushButton without an icon   caption, hint rule
//    3 label                  QLabel                        caption, hint rule
//    4 menu item              QMenu (its title)             caption
//    5 action                 QAction                       caption, action hint rule
//    6 group box              QGroupBox, not a radio group  caption (title)
//    7 tab sheet              a page of a QTabWidget        caption (its tab's text)
//    8 list view              QTreeWidget                   list view hint rule, marked columns
//    9 speed button           QToolButton                   caption, hint rule
//   10 radio group            QGroupBox with the property
//                             "radioGroup" = true; its items
//                             are its QRadioButtons in order caption, hint rule, items
//   11 check box              QCheckBox                     caption
//   12 panel                  QFrame itself (not a label,
//                             list or other derived class);
//                             its caption is the property
//                             "caption"                     caption
//   13 combo box              QComboBox                     items
//   14 key/value table        QTableWidget, column 0 the
//                             key, column 1 the value       value list hint rule, column titles, rows
//   15 radio button           QRadioButton                  caption
//   16 check list box         QListWidget                   hint rule, items
//   17 picture button         QPushButton with an icon      caption, hint rule
//
// Columns of a list view carry their own mark: the list view's dynamic
// property "tagSloupcu", a list with one number per column. Only columns
// marked -1 are translated; a column the list does not name is unmarked.
#pragma once

#include <QDomDocument>
#include <QString>

#include <functional>

class QObject;
class QTreeWidget;
class QTreeWidgetItem;
class QWidget;

// The mark of a component (its "tag"), and of a list view column.
bool Oznaceny(const QObject* prvek);
int TagSloupce(const QTreeWidget* seznam, int sloupec);

// The hint of a control or action ("short|long"), and setting it.
QString Hint(const QObject* prvek);
void NastavitHint(QObject* prvek, const QString& hint);
QString KratkyHint(const QString& hint);  // before the first "|", or all of it
QString DlouhyHint(const QString& hint);  // after the first "|", or all of it
// The control's "shows tooltips" switch (true unless switched off).
bool ZobrazujeTipy(const QObject* prvek);
void NastavitZobrazovaniTipu(QObject* prvek, bool zobrazovat);

// The language file's document: the file name and, once loaded, its DOM.
class TXMLDokument {
public:
    explicit TXMLDokument(QString nazevSouboru = QStringLiteral("tarvik.xml"));

    const QString& NazevSouboru() const { return nazevSouboru_; }
    // A file (not a folder) of that name exists.
    bool SouborExistuje() const;
    bool Nacteno() const { return nacteno_; }
    // Reads and parses the file; throws TChyba with the reason when the file
    // can not be read or is not well-formed XML. Only a document that loaded
    // whole is kept.
    void Nacist();
    const QDomDocument& Dokument() const { return dokument_; }

private:
    QString nazevSouboru_;
    QDomDocument dokument_;
    bool nacteno_ = false;
};

// Parses a language file's bytes. External entities are never resolved. A
// file past sane limits is refused before it is parsed: larger than 1 MiB,
// elements nested deeper than 64 levels, an element with more than 256
// attributes, a text or attribute value longer than 4096 characters, more
// than 256 entity declarations, or entities that would expand beyond 16 Mi
// characters. Within them a file loads in time in proportion to its size.
// Throws TChyba naming the file on failure. (TXMLDokument::Nacist refuses a
// file larger than 1 MiB before it reads it.)
QDomDocument NacistJazykovyDokument(const QByteArray& bajty, const QString& nazevSouboru);

class TJazykXML {
public:
    QString Jazyk = QStringLiteral("CZ");         // the current language code
    const QDomDocument* Dokument = nullptr;       // the language file, once loaded (not owned)

    // The text of key Klic of section Sekce in the current language; Vychozi
    // when the file has none or an empty one. Looking up never changes the
    // document. Throws TChyba when the language element holds anything but
    // one text or CDATA node.
    QString DejText(const QString& Sekce, const QString& Klic, const QString& Vychozi) const;

    // Fills the language dialog's list with the languages of JAZYKY (code,
    // name, version, author) and selects the row of the current language,
    // letter case ignored. A row shows the image at position index (its
    // attribute) of the list's dynamic property "smallImages" (a list of
    // icons), when there is one. Throws TChyba for a
    // language short of its three children or with a bad index; the rows
    // appended so far stay.
    void NaplnJazyky(QTreeWidget* Seznam) const;

    // Translates the marked texts of a window from its section.
    void PrelozFormular(QWidget* Okno) const;
};

// Walks the marked texts of a window as the translation does: for each text,
// Preloz(key, current text) gives the new text. PrelozFormular is this walk
// with DejText of the window's section.
using TPrekladTextu = std::function<QString(const QString& Klic, const QString& Vychozi)>;
void ProjitFormular(QWidget* Okno, const TPrekladTextu& Preloz);

// The image list position of a language row (attribute index), -1 for none.
int IndexObrazkuRadku(const QTreeWidgetItem* radek);

// The language file reader, one for the whole run (created and destroyed by the application).
extern TJazykXML* JazykXML;
