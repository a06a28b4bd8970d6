#include "Modalni.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QTreeView>
#include <QMessageBox>
#include <QScreen>
#include <QWindow>

namespace Modalni {

namespace {
TObsluhaZpravy obsluhaZpravy;
TObsluhaDialogu obsluhaDialogu;
TObsluhaOtevreni obsluhaOtevreni;
TObsluhaOtevreni obsluhaUlozeni;

// An empty caption gives an empty title bar. The window systems show the
// application's name for an empty title, so the window gets a blank one;
// its caption stays empty.
void PrazdnyTitulek(QWidget& okno) {
    if (!okno.windowTitle().isEmpty()) return;
    okno.winId();
    if (QWindow* w = okno.windowHandle()) w->setTitle(QStringLiteral(" "));
}

// Places a window's client area over the centre of its parent's window,
// within the screen.
void Vycentrovat(QWidget& okno) {
    const QWidget* rodic = okno.parentWidget() ? okno.parentWidget()->window() : nullptr;
    if (!rodic || !rodic->isVisible()) return;
    QRect r(QPoint(), okno.size());
    r.moveCenter(rodic->geometry().center());
    if (const QScreen* obrazovka = rodic->screen()) {
        // Never off the screen the main window is on.
        const QRect plocha = obrazovka->availableGeometry();
        r.moveLeft(qBound(plocha.left(), r.left(), qMax(plocha.left(), plocha.right() + 1 - r.width())));
        r.moveTop(qBound(plocha.top(), r.top(), qMax(plocha.top(), plocha.bottom() + 1 - r.height())));
    }
    // The client area's place: the window system adds its frame around it.
    okno.setGeometry(r);
}

}  // namespace

void NastavitObsluhuZpravy(TObsluhaZpravy obsluha) { obsluhaZpravy = std::move(obsluha); }
void NastavitObsluhuDialogu(TObsluhaDialogu obsluha) { obsluhaDialogu = std::move(obsluha); }
void NastavitObsluhuOtevreni(TObsluhaOtevreni obsluha) { obsluhaOtevreni = std::move(obsluha); }
void NastavitObsluhuUlozeni(TObsluhaOtevreni obsluha) { obsluhaUlozeni = std::move(obsluha); }

int Zprava(QMessageBox& box) {
    PrazdnyTitulek(box);
    if (obsluhaZpravy) return obsluhaZpravy(box);
    box.exec();
    return box.standardButton(box.clickedButton());
}

int Dialog(QDialog& dialog) {
    // Over the main window each time it opens, the first time too (left to
    // itself, the first showing guesses the window frame and opens too high).
    Vycentrovat(dialog);
    PrazdnyTitulek(dialog);
    if (obsluhaDialogu) return obsluhaDialogu(dialog);
    return dialog.exec();
}

QStringList PolozkyFiltru(const QString& filtr) {
    // "Name (*.ext)|*.ext|..." lists each entry as its name part; the pattern
    // part follows it.
    const QStringList casti = filtr.split(u'|');
    QStringList polozky;
    for (qsizetype i = 0; i + 1 < casti.size(); i += 2) {
        // The dialog takes the pattern from the parentheses of the entry's name.
        const QString nazev = casti[i].section(u'(', 0, -2);
        const QString vzor = QStringLiteral(" (") + casti[i + 1] + u')';
        // The entries as the dialog shows them: it turns every run of blanks,
        // tabs, line or page breaks into one blank.
        const auto polozka = [&](const QString& n) { return (n + vzor).simplified(); };
        // The chosen entry is found again by its position among them: entries
        // that come out the same get a number, so that each is its own.
        QString p = polozka(nazev);
        for (int n = 2; polozky.contains(p); ++n) p = polozka(nazev + QStringLiteral(" [%1]").arg(n));
        polozky << p;
    }
    return polozky;
}

namespace {

// The file dialog of either kind, with the filter's entries and the file it offers.
std::optional<TOtevreni> SouborovyDialog(QWidget* rodic, QFileDialog::AcceptMode druh, const QString& filtr,
                                         int poziceFiltru, const QString& soubor) {
    QFileDialog dialog(rodic);
    // The open dialog accepts a typed name of a file that does not exist
    // (the reading then says so); the save dialog asks before it replaces one.
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(druh);
    const QStringList polozky = PolozkyFiltru(filtr);
    if (!polozky.isEmpty()) {
        dialog.setNameFilters(polozky);
        dialog.selectNameFilter(polozky.value(qBound(1, poziceFiltru, int(polozky.size())) - 1));
    }
    if (!soubor.isEmpty()) {
        dialog.setDirectory(QFileInfo(soubor).absolutePath());
        dialog.selectFile(soubor);
    }
    ZobrazitSloupceCele(dialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // The chosen entry's position in the dialog's own list (the entries are unique there).
    const int pozice = polozky.isEmpty() ? 1 : int(dialog.nameFilters().indexOf(dialog.selectedNameFilter())) + 1;
    return TOtevreni{dialog.selectedFiles().front(), pozice < 1 ? 1 : pozice};
}

}  // namespace

void ZobrazitSloupceCele(QFileDialog& dialog) {
    // Qt's own dialog (where the platform has none): the size, type and date
    // columns as wide as what they show, the name taking the rest; the dialog
    // wide enough for all of them.
    auto* seznam = dialog.findChild<QTreeView*>();
    if (!seznam) return;
    QHeaderView* hlavicka = seznam->header();
    hlavicka->setStretchLastSection(false);
    hlavicka->setSectionResizeMode(0, QHeaderView::Stretch);
    for (int i = 1; i < hlavicka->count(); ++i) hlavicka->setSectionResizeMode(i, QHeaderView::ResizeToContents);
    QSize velikost = dialog.size().expandedTo(QSize(760, 460));
    if (const QScreen* obrazovka = dialog.screen())
        velikost = velikost.boundedTo(obrazovka->availableGeometry().size() - QSize(16, 48));
    dialog.resize(velikost);
}

std::optional<TOtevreni> OtevritSoubor(QWidget* rodic, const QString& filtr, int poziceFiltru,
                                       const QString& soubor) {
    if (obsluhaOtevreni) return obsluhaOtevreni(filtr, poziceFiltru, soubor);
    return SouborovyDialog(rodic, QFileDialog::AcceptOpen, filtr, poziceFiltru, soubor);
}

std::optional<TOtevreni> UlozitSoubor(QWidget* rodic, const QString& filtr, int poziceFiltru,
                                      const QString& soubor) {
    if (obsluhaUlozeni) return obsluhaUlozeni(filtr, poziceFiltru, soubor);
    return SouborovyDialog(rodic, QFileDialog::AcceptSave, filtr, poziceFiltru, soubor);
}

}  // namespace Modalni
