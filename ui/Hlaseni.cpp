#include "Hlaseni.h"

#include "Modalni.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>

THlaseni* Hlaseni = nullptr;

namespace {

// Swallows Escape in a box that must be answered.
class TBezUniku final : public QObject {
protected:
    bool eventFilter(QObject*, QEvent* udalost) override {
        if (udalost->type() == QEvent::KeyPress || udalost->type() == QEvent::ShortcutOverride) {
            const auto* klavesa = static_cast<QKeyEvent*>(udalost);
            if (klavesa->key() == Qt::Key_Escape) return true;
        }
        return false;
    }
};

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

std::int32_t THlaseni::ZobrazitHlaseni(std::uint8_t Typ, const QString& Text, const QString& Titulek,
                                       std::int32_t Priznaky) const {
    if (Typ > thDotaz) return 0;
    const std::int32_t styl = Styl(Typ, Priznaky);

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
    QMessageBox box(ikona, Titulek, QString(Text).replace(u'\r', u'\n'), tlacitka, vlastnik);
    box.setWindowModality(Qt::ApplicationModal);
    // The text as composed, CR and all, for those who record the messages.
    box.setProperty("tarvikText", Text);
    // Only Yes or No closes a question: Escape and the close box do nothing
    // (left to itself, the box would take Escape for No and lose the
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
