#include "Modalni.h"

#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace Modalni {

namespace {
TObsluhaZpravy obsluhaZpravy;
TObsluhaDialogu obsluhaDialogu;
TObsluhaOtevreni obsluhaOtevreni;
}  // namespace

void NastavitObsluhuZpravy(TObsluhaZpravy obsluha) { obsluhaZpravy = std::move(obsluha); }
void NastavitObsluhuDialogu(TObsluhaDialogu obsluha) { obsluhaDialogu = std::move(obsluha); }
void NastavitObsluhuOtevreni(TObsluhaOtevreni obsluha) { obsluhaOtevreni = std::move(obsluha); }

int Zprava(QMessageBox& box) {
    if (obsluhaZpravy) return obsluhaZpravy(box);
    box.exec();
    return box.standardButton(box.clickedButton());
}

int Dialog(QDialog& dialog) {
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
        QString nazev = casti[i].section(u'(', 0, -2).trimmed();
        // The chosen entry is found again by its text: two file types of the
        // same name and extension get a number, so that each selects its own row.
        const QString vzor = QStringLiteral(" (") + casti[i + 1] + u')';
        if (polozky.contains(nazev + vzor)) {
            int n = 2;
            while (polozky.contains(nazev + QStringLiteral(" [%1]").arg(n) + vzor)) ++n;
            nazev += QStringLiteral(" [%1]").arg(n);
        }
        polozky << nazev + vzor;
    }
    return polozky;
}

std::optional<TOtevreni> OtevritSoubor(QWidget* rodic, const QString& filtr, int poziceFiltru,
                                       const QString& soubor) {
    if (obsluhaOtevreni) return obsluhaOtevreni(filtr, poziceFiltru, soubor);
    QFileDialog dialog(rodic);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    const QStringList polozky = PolozkyFiltru(filtr);
    if (!polozky.isEmpty()) {
        dialog.setNameFilters(polozky);
        dialog.selectNameFilter(polozky.value(qBound(1, poziceFiltru, int(polozky.size())) - 1));
    }
    if (!soubor.isEmpty()) {
        dialog.setDirectory(QFileInfo(soubor).absolutePath());
        dialog.selectFile(soubor);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    const int pozice = polozky.isEmpty() ? 1 : int(polozky.indexOf(dialog.selectedNameFilter())) + 1;
    return TOtevreni{dialog.selectedFiles().front(), pozice < 1 ? 1 : pozice};
}

}  // namespace Modalni
