#include "Hlaseni.h"

#include "Modalni.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTextBoundaryFinder>

THlaseni* Hlaseni = nullptr;

namespace {

// A box that must be answered: Escape and the window's close request (its
// close button, Alt+F4, the window manager) do nothing.
class TBezUniku final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* udalost) override {
        if (udalost->type() == QEvent::KeyPress || udalost->type() == QEvent::ShortcutOverride) {
            const auto* klavesa = static_cast<QKeyEvent*>(udalost);
            if (klavesa->key() == Qt::Key_Escape) return true;
        }
        if (udalost->type() == QEvent::Close) {
            udalost->ignore();
            return true;
        }
        return false;
    }
};

// The text with every word wider than sirka pixels broken over lines, between
// two characters (never inside one). Words lie between blanks and line breaks.
QString ZalomitDlouhaSlova(const QString& text, const QFontMetrics& miry, int sirka) {
    QString vysledek;
    vysledek.reserve(text.size());
    qsizetype zacatek = 0;
    while (zacatek <= text.size()) {
        qsizetype konec = zacatek;
        while (konec < text.size() && text[konec] != u' ' && text[konec] != u'\n' && text[konec] != u'\r') ++konec;
        const QString slovo = text.mid(zacatek, konec - zacatek);
        if (miry.horizontalAdvance(slovo) <= sirka) {
            vysledek += slovo;
        } else {
            // Each piece takes as many whole characters as fit.
            QTextBoundaryFinder hranice(QTextBoundaryFinder::Grapheme, slovo);
            qsizetype kus = 0, predchozi = 0;
            for (qsizetype p = hranice.toNextBoundary(); p > 0; p = hranice.toNextBoundary()) {
                if (predchozi > kus && miry.horizontalAdvance(slovo.mid(kus, p - kus)) > sirka) {
                    vysledek += slovo.mid(kus, predchozi - kus) + u'\n';
                    kus = predchozi;
                }
                predchozi = p;
            }
            vysledek += slovo.mid(kus);
        }
        if (konec < text.size()) vysledek += text[konec];
        zacatek = konec + 1;
    }
    return vysledek;
}

}  // namespace

std::int32_t THlaseni::Styl(std::uint8_t Typ, std::int32_t Priznaky) {
    switch (Typ) {
        case thChyba: return Priznaky | StylHlaseni::IkonaChyby;
        case thVarovani: return Priznaky | StylHlaseni::IkonaVarovani;
        case thInformace: return Priznaky | StylHlaseni::IkonaInformace;
        case thDotaz:
            return Priznaky != 0 ? Priznaky : (StylHlaseni::IkonaDotazu | StylHlaseni::AnoNe);
        default: return 0;
    }
}

namespace {

// A message box of a kind, its text made of lines (wrapped where a word is
// too wide), each a link when radky names a program line for it.
std::int32_t Zobrazit(std::uint8_t Typ, const QString& Text, const QString& Titulek, std::int32_t Priznaky,
                      const std::vector<std::size_t>* radky, std::optional<std::size_t>* zvoleny) {
    if (Typ > thDotaz) return 0;
    const std::int32_t styl = THlaseni::Styl(Typ, Priznaky);

    QMessageBox::Icon ikona = QMessageBox::NoIcon;
    switch (styl & 0xF0) {
        case StylHlaseni::IkonaChyby: ikona = QMessageBox::Critical; break;
        case StylHlaseni::IkonaDotazu: ikona = QMessageBox::Question; break;
        case StylHlaseni::IkonaVarovani: ikona = QMessageBox::Warning; break;
        case StylHlaseni::IkonaInformace: ikona = QMessageBox::Information; break;
        default: break;
    }
    QMessageBox::StandardButtons tlacitka = QMessageBox::Ok;
    switch (styl & 0x0F) {
        case StylHlaseni::OKStorno: tlacitka = QMessageBox::Ok | QMessageBox::Cancel; break;
        case StylHlaseni::AnoNeStorno:
            tlacitka = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
            break;
        case StylHlaseni::AnoNe: tlacitka = QMessageBox::Yes | QMessageBox::No; break;
        default: break;
    }

    // The box belongs to the active window and keeps the others disabled.
    QWidget* vlastnik = QApplication::activeWindow();
    QMessageBox box(ikona, Titulek, QString(), tlacitka, vlastnik);
    // A word wider than the box's text (a long file type name) is broken over
    // lines: the box would cut it off at its edge. The box widens its text to
    // half the screen, at most 500 pixels, less its icon and margins.
    const QScreen* obrazovka = vlastnik ? vlastnik->screen() : QGuiApplication::primaryScreen();
    const int sirkaBoxu = obrazovka ? qMin(obrazovka->availableGeometry().width() / 2, 500) : 500;
    const QStringList radkyTextu = Text.split(u'\r');
    const auto odkaz = [&](qsizetype i) -> std::optional<std::size_t> {
        if (!radky || i >= qsizetype(radky->size()) || (*radky)[std::size_t(i)] == std::size_t(-1)) return std::nullopt;
        return (*radky)[std::size_t(i)];
    };
    bool odkazy = false;
    for (qsizetype i = 0; i < radkyTextu.size(); ++i) odkazy = odkazy || odkaz(i).has_value();
    if (!odkazy) {
        // The text is plain text whatever it holds (a file name may look like markup).
        box.setTextFormat(Qt::PlainText);
        box.setText(ZalomitDlouhaSlova(radkyTextu.join(u'\n'), box.fontMetrics(), sirkaBoxu - 150));
    } else {
        // Rich text only for the links: every character of the lines is escaped.
        QStringList html;
        for (qsizetype i = 0; i < radkyTextu.size(); ++i) {
            QString r = ZalomitDlouhaSlova(radkyTextu[i], box.fontMetrics(), sirkaBoxu - 150)
                            .toHtmlEscaped()
                            .replace(u'\n', QStringLiteral("<br>"));
            if (const auto radek = odkaz(i))
                r = QStringLiteral("<a href=\"%1\">%2</a>").arg(THlaseni::OdkazNaRadek(*radek), r);
            html << r;
        }
        box.setTextFormat(Qt::RichText);
        box.setText(html.join(QStringLiteral("<br>")));
        // The links are reached by Tab and followed by Enter, as by the mouse.
        box.setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
        if (auto* popis = box.findChild<QLabel*>(QStringLiteral("qt_msgbox_label"))) {
            // The box's label would hand its links to the desktop (a browser)
            // and never tell of them: they are program lines, followed here.
            popis->setOpenExternalLinks(false);
            QObject::connect(popis, &QLabel::linkActivated, &box, [&box, zvoleny](const QString& adresa) {
                if (zvoleny) *zvoleny = THlaseni::RadekOdkazu(adresa);
                if (QAbstractButton* ok = box.button(QMessageBox::Ok)) ok->click();
            });
        }
    }
    box.setWindowModality(Qt::ApplicationModal);
    // The text as composed, CR and all, for those who record the messages.
    box.setProperty("tarvikText", Text);
    // Only Yes or No closes a question: Escape and the close request do
    // nothing (left to itself, the box would take either for No and lose the
    // changes the question is about).
    TBezUniku bezUniku;
    if (tlacitka == (QMessageBox::Yes | QMessageBox::No)) {
        box.setEscapeButton(static_cast<QAbstractButton*>(nullptr));
        box.installEventFilter(&bezUniku);
    }

    switch (Modalni::Zprava(box)) {
        case QMessageBox::Ok: return Tlacitko::OK;
        case QMessageBox::Cancel: return Tlacitko::Storno;
        case QMessageBox::Yes: return Tlacitko::Ano;
        case QMessageBox::No: return Tlacitko::Ne;
        default:
            // Closed by other means: the escape answer of the buttons shown.
            return tlacitka.testFlag(QMessageBox::Cancel) ? Tlacitko::Storno
                   : tlacitka.testFlag(QMessageBox::No)   ? Tlacitko::Ne
                                                          : Tlacitko::OK;
    }
}

}  // namespace

std::int32_t THlaseni::ZobrazitHlaseni(std::uint8_t Typ, const QString& Text, const QString& Titulek,
                                       std::int32_t Priznaky) const {
    return Zobrazit(Typ, Text, Titulek, Priznaky, nullptr, nullptr);
}

std::int32_t THlaseni::ZobrazitHlaseniSOdkazy(std::uint8_t Typ, const QString& Text, const QString& Titulek,
                                              const std::vector<std::size_t>& Radky,
                                              const std::function<void(std::size_t)>& Prejit) const {
    std::optional<std::size_t> zvoleny;
    const std::int32_t vysledek = Zobrazit(Typ, Text, Titulek, 0, &Radky, &zvoleny);
    // Once the box is gone: the caret goes there in the window the box belonged to.
    if (zvoleny && Prejit) Prejit(*zvoleny);
    return vysledek;
}

int THlaseni::ZobrazitVolbu(std::uint8_t Typ, const QString& Text, const QString& Titulek, const QStringList& Odpovedi,
                            int vychozi) const {
    const std::int32_t styl = Styl(Typ, StylHlaseni::OKStorno);
    QMessageBox::Icon ikona = QMessageBox::Question;
    switch (styl & 0xF0) {
        case StylHlaseni::IkonaChyby: ikona = QMessageBox::Critical; break;
        case StylHlaseni::IkonaVarovani: ikona = QMessageBox::Warning; break;
        case StylHlaseni::IkonaInformace: ikona = QMessageBox::Information; break;
        default: break;
    }
    QMessageBox box(ikona, Titulek, QString(), QMessageBox::NoButton, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    box.setText(QString(Text).replace(u'\r', u'\n'));
    box.setProperty("tarvikText", Text);
    box.setWindowModality(Qt::ApplicationModal);
    QList<QAbstractButton*> tlacitka;
    for (const QString& o : Odpovedi) tlacitka << box.addButton(o, QMessageBox::AcceptRole);
    QAbstractButton* storno = box.addButton(QMessageBox::Cancel);
    box.setEscapeButton(storno);
    if (vychozi >= 0 && vychozi < tlacitka.size())
        box.setDefaultButton(qobject_cast<QPushButton*>(tlacitka[vychozi]));
    else
        box.setDefaultButton(qobject_cast<QPushButton*>(storno));
    Modalni::Zprava(box);
    // Whatever else closed it (the window's close button) is Cancel.
    return int(tlacitka.indexOf(box.clickedButton()));
}

QString THlaseni::OdkazNaRadek(std::size_t radek) { return QStringLiteral("radek:%1").arg(radek); }

std::optional<std::size_t> THlaseni::RadekOdkazu(const QString& odkaz) {
    if (!odkaz.startsWith(QStringLiteral("radek:"))) return std::nullopt;
    bool cislo = false;
    const qulonglong radek = odkaz.mid(6).toULongLong(&cislo);
    if (!cislo) return std::nullopt;
    return std::size_t(radek);
}
