// The main window's long work and its statistics line: work that takes long
// (reading, a command's passes, loading a text into the text areas, saving)
// shows its progress and lets the window repaint; the statistics line
// follows the text, counted when the window is idle.
#include "fHlavni.h"

#include "ui_fHlavni.h"

#include "engine/CNCEdit.h"
#include "katalog/Zpravy.h"

#include <QApplication>
#include <QDateTime>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

namespace {

QString Q(const std::u16string& s) { return QString::fromStdU16String(s); }

// The window is served about this often during work (ms), and shows the
// progress once the work has taken longer than this (ms).
constexpr qint64 ObsluhaKazdych = 30, PrubehPo = 200;

// The statistics are counted this long after the last change (ms), a slice
// of this many bytes at a time.
constexpr int StatistikyPo = 150;
constexpr std::size_t KusStatistik = std::size_t{4} << 20;

}  // namespace

// ---------------------------------------------------------------- work

void THlavniForm::PovolitPrikazy(bool povolit) {
    for (QAction* a : Prikazy()) a->setEnabled(povolit);
    ui->aPosledni->setEnabled(povolit && !posledni_.isEmpty());
    ui->memProgram->setReadOnly(!povolit);
}

void THlavniForm::ZacitPraci() {
    // Work within work (a command's pass) goes on as the same work.
    if (hloubkaPrace_++ > 0) return;
    pruchodBezi_ = true;
    zacatekPruchodu_ = QDateTime::currentMSecsSinceEpoch();
    posledniObsluha_ = zacatekPruchodu_;
    procentaPrace_ = 0;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    PovolitPrikazy(false);
}

void THlavniForm::PrubehPrace(std::size_t hotovo, std::size_t celkem) {
    if (celkem > 0) procentaPrace_ = int(100 * std::min(hotovo, celkem) / celkem);
    ObslouzitPraci();
}

void THlavniForm::ObslouzitPraci() {
    if (hloubkaPrace_ == 0) return;
    const qint64 ted = QDateTime::currentMSecsSinceEpoch();
    if (ted - posledniObsluha_ < ObsluhaKazdych) return;
    posledniObsluha_ = ted;
    if (ted - zacatekPruchodu_ > PrubehPo) {
        prubeh_->setVisible(true);
        prubeh_->setValue(procentaPrace_);
    }
    QCoreApplication::processEvents();
    // Whatever the events asked of the program's text, its bytes are where
    // the work reads them again (the area's buffer keeps its gap at the end).
    ui->memProgram->Utf8();
}

void THlavniForm::UkoncitPraci() {
    if (--hloubkaPrace_ > 0) return;
    prubeh_->setVisible(false);
    PovolitPrikazy(true);
    // The default cursor, whatever was set before the work.
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    pruchodBezi_ = false;
}

void THlavniForm::ZacitPruchod() { ZacitPraci(); }

void THlavniForm::PrubehPruchodu(std::size_t hotovo, std::size_t celkem) {
    // A pass tells every line: the clock is read every 1024th.
    if ((hotovo & 0x3FF) == 0 || hotovo == celkem) PrubehPrace(hotovo, celkem);
}

void THlavniForm::UkoncitPruchod() {
    UkoncitPraci();
    QApplication::beep();
}

// ---------------------------------------------------------------- statistics

// A count under way: of the text with this count of changes, so far up to
// this byte.
struct THlavniForm::TPocitani {
    TPocitani(std::uint64_t v, const TTypSouboru& typ) : verze(v), pocitadlo(typ.HlavniZnak, typ.VedlejsiZnak, typ.Zacatek, typ.Komentar) {
        static std::uint64_t pocitani = 0;
        kolo = ++pocitani;
    }
    std::uint64_t verze;
    std::uint64_t kolo;  // which count this is
    std::size_t pozice = 0;
    TPocitadloStatistik pocitadlo;
};

QString THlavniForm::TextStatistiky() const {
    const TStatistiky s = SpocitatStatistiky(ui->memProgram->Utf8(), typ_.HlavniZnak, typ_.VedlejsiZnak, typ_.Zacatek, typ_.Komentar);
    return Q(::TextStatistiky(s.Radku, s.Znaku, s.Bloku));
}

void THlavniForm::ZobrazitStatistiky(const TStatistiky& s) {
    zobrazeneStatistiky_ = s;
    PrelozitStatistiky();
}

void THlavniForm::PrelozitStatistiky() {
    if (zobrazeneStatistiky_)
        panel0_->setText(Q(::TextStatistiky(zobrazeneStatistiky_->Radku, zobrazeneStatistiky_->Znaku,
                                            zobrazeneStatistiky_->Bloku)));
}

void THlavniForm::SpocitatAZobrazitStatistiky() {
    ZobrazitStatistiky(SpocitatStatistiky(ui->memProgram->Utf8(), typ_.HlavniZnak, typ_.VedlejsiZnak));
    StatistikyZobrazeny();
}

void THlavniForm::AktualizovatStavovyRadek(std::uint8_t procenta) {
    panel0_->setText(QString::number(procenta) + u'%');
    SpocitatAZobrazitStatistiky();
}

void THlavniForm::StatistikyZobrazeny() {
    verzeStatistik_ = ui->memProgram->Verze();
    pocitani_.reset();
    if (casovacStatistik_) casovacStatistik_->stop();
}

bool THlavniForm::StatistikyCekaji() const {
    return (casovacStatistik_ && casovacStatistik_->isActive()) || pocitani_ != nullptr;
}

void THlavniForm::NaplanovatStatistiky() {
    // No comparison of counts of changes here: the text area tells of a
    // change before it counts it, so one keystroke after a finished count
    // would look like none. The count itself sees whether the text changed.
    if (!casovacStatistik_) {
        casovacStatistik_ = new QTimer(this);
        casovacStatistik_->setSingleShot(true);
        casovacStatistik_->setInterval(StatistikyPo);
        connect(casovacStatistik_, &QTimer::timeout, this, &THlavniForm::PocitatStatistiky);
    }
    // A count under way is of an older text: it starts again once the typing pauses.
    pocitani_.reset();
    casovacStatistik_->start();
}

void THlavniForm::PocitatStatistiky() {
    if (pruchodBezi_) {
        // Work shows its own statistics when it ends; otherwise again afterwards.
        casovacStatistik_->start();
        return;
    }
    const std::uint64_t verze = ui->memProgram->Verze();
    if (verze == verzeStatistik_) {
        pocitani_.reset();
        return;
    }
    if (!pocitani_ || pocitani_->verze != verze) pocitani_ = std::make_shared<TPocitani>(verze, typ_);
    // One slice of whole lines, read where they lie (the text's gap stays
    // where the user types); the next when the window has served its events.
    const TEditorProgramu& e = *ui->memProgram;
    const std::size_t delka = e.Delka();
    const std::size_t od = std::min(pocitani_->pozice, delka);
    const std::size_t konec =
        e.ProjitRadky(od, od + KusStatistik, [&](std::string_view kus) { pocitani_->pocitadlo.Pridat(kus); });
    pocitani_->pozice = konec;
    if (konec < delka) {
        QTimer::singleShot(0, this, [this, kolo = pocitani_->kolo] {
            // A change meanwhile started the count anew, after a pause.
            if (pocitani_ && pocitani_->kolo == kolo) PocitatStatistiky();
        });
        return;
    }
    ZobrazitStatistiky(pocitani_->pocitadlo.Statistiky());
    verzeStatistik_ = verze;
    pocitani_.reset();
}
