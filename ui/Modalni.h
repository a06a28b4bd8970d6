// Every modal moment of the program passes through here: message boxes,
// dialogs, the file-open dialog and the save-as dialog. The program runs them for real; a test
// installs its own handler and answers as a user would.
#pragma once

#include <QString>

#include <functional>
#include <optional>

class QDialog;
class QFileDialog;
class QMessageBox;
class QWidget;

namespace Modalni {

// A message box, fully built (icon, buttons, text, title); the result is the
// standard button that closed it.
int Zprava(QMessageBox& box);

// A dialog's modal run, centred over the main window; the result is
// QDialog::Accepted or Rejected.
int Dialog(QDialog& dialog);

// The file-open dialog: the filter ("Name (*.ext)|*.ext|..."), the filter
// position counted from 1, and the file name it offers.
struct TOtevreni {
    QString Soubor;    // the chosen file's full path
    int PoziceFiltru;  // the chosen entry's position, from 1
};
std::optional<TOtevreni> OtevritSoubor(QWidget* rodic, const QString& filtr, int poziceFiltru,
                                       const QString& soubor);
// The save-as dialog, with the same filter: the name to save under (a file
// that exists is asked about by the dialog) and the entry chosen.
std::optional<TOtevreni> UlozitSoubor(QWidget* rodic, const QString& filtr, int poziceFiltru,
                                      const QString& soubor);

// The columns of a file dialog of Qt's own (not the platform's) shown whole.
void ZobrazitSloupceCele(QFileDialog& dialog);

// Handlers a test installs; an empty function restores the real behaviour.
using TObsluhaZpravy = std::function<int(QMessageBox&)>;
using TObsluhaDialogu = std::function<int(QDialog&)>;
using TObsluhaOtevreni = std::function<std::optional<TOtevreni>(const QString& filtr, int poziceFiltru,
                                                                const QString& soubor)>;
void NastavitObsluhuZpravy(TObsluhaZpravy obsluha);
void NastavitObsluhuDialogu(TObsluhaDialogu obsluha);
void NastavitObsluhuOtevreni(TObsluhaOtevreni obsluha);
void NastavitObsluhuUlozeni(TObsluhaOtevreni obsluha);

// The entries of a filter string, as the open dialog lists them ("Name (*.ext)").
QStringList PolozkyFiltru(const QString& filtr);

}  // namespace Modalni
