// Renders the windows to PNG files for looking at them: the main window with
// the sample program open (after a renumbering, and after a replace within a
// selection), each dialog, the comparison with the original, and the
// questions about unsaved changes and about a change made outside; with
// --jazyk=CODE in that language of ./tarvik.xml (the window texts and the
// messages, as a user who chose it sees them at the next start).
//   tarvik-snimek OUTPUT_FOLDER [PROGRAM] [--jazyk=CODE]
#include "Scenar.h"

#include "app/fHlavni.h"
#include "ui/fASCII.h"
#include "ui/fNastaveni.h"
#include "ui/fTypSouboru.h"
#include "lang/JazykyXML.h"
#include "lang/fJazyk.h"
#include "platform/RegistrSoubor.h"
#include "ui/fNajit.h"
#include "ui/fOAplikaci.h"
#include "ui/fPorovnani.h"
#include "ui/fPrejit.h"
#include "ui_fNajit.h"
#include "ui_fPorovnani.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QStringList argumenty;
    QString kodJazyka;
    for (int i = 1; i < argc; ++i) {
        const QString a = QString::fromLocal8Bit(argv[i]);
        if (a.startsWith(QLatin1String("--jazyk=")))
            kodJazyka = a.mid(8);
        else
            argumenty << a;
    }
    if (argumenty.isEmpty()) {
        std::fprintf(stderr, "usage: tarvik-snimek OUTPUT_FOLDER [PROGRAM] [--jazyk=CODE]\n");
        return 2;
    }
    const QString vystup = QFileInfo(argumenty[0]).absoluteFilePath();
    QDir().mkpath(vystup);
    const QString program = argumenty.size() > 1 ? QFileInfo(argumenty[1]).absoluteFilePath()
                                                 : QStringLiteral(TARVIK_DATA_DIR "/vzor.nc");
    const std::filesystem::path jazyk = std::filesystem::current_path() / "tarvik.xml";

    TDocasnaSlozka slozka;
    if (std::filesystem::exists(jazyk)) std::filesystem::copy_file(jazyk, slozka / "tarvik.xml");
    std::filesystem::copy_file(TARVIK_FILES_FTD, slozka / "files.ftd");
    if (!kodJazyka.isEmpty()) {
        // The language as stored by an earlier run, so that the first pass uses it.
        TRegistrSoubor registr(slozka / "Tarvik.reg");
        if (registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik", true)) {
            registr.ZapsatRetezec(u"Jazyk", kodJazyka.toStdU16String());
            registr.ZavritKlic();
        }
    }
    TScenar scenar;
    TBehAplikace beh(slozka);
    if (JazykXML->Dokument) {
        // The language dialog as the command shows it, and the command's flag.
        JazykXML->NaplnJazyky(JazykForm->livJazyk());
        const auto vybrane = JazykForm->livJazyk()->selectedItems();
        if (!vybrane.isEmpty()) HlavniForm->NastavitIndexObrazku(JazykForm->ObrazekPrikazu(vybrane.front()));
    }
    // A copy is opened: another program changes it below.
    const std::filesystem::path kopie = slozka.Cesta() / std::filesystem::path(program.toStdU16String()).filename();
    std::filesystem::copy_file(program.toStdU16String(), kopie);
    scenar.Otevreni.push_back(Modalni::TOtevreni{QString::fromStdU16String(kopie.u16string()), 1});
    HlavniForm->aOtevritExecute();
    HlavniForm->memProgram()->setSelection(3, 0, 6, 0);
    HlavniForm->aPrecislovatExecute();
    ZpracovatUdalosti();

    const auto ulozit = [&](QWidget* okno, const char* jmeno) {
        okno->ensurePolished();
        if (!okno->isVisible()) {
            okno->show();
            ZpracovatUdalosti();
        }
        const QString soubor = vystup + u'/' + QLatin1String(jmeno) + QStringLiteral(".png");
        okno->grab().save(soubor);
        std::printf("%s\n", qPrintable(soubor));
        if (okno != HlavniForm) okno->hide();
    };
    ulozit(HlavniForm, "HlavniForm");
    ulozit(NastaveniForm, "NastaveniForm");
    ulozit(TypSouboruForm, "TypSouboruForm");
    ulozit(ASCIIForm, "ASCIIForm");
    ulozit(JazykForm, "JazykForm");
    ulozit(OAplikaciForm, "OAplikaciForm");
    ulozit(PrejitForm, "PrejitForm");
    // Find and replace after a replace of every X word within the selection.
    HlavniForm->memProgram()->setSelection(1, 0, 8, 0);
    HlavniForm->aNahraditExecute();
    NajitForm->Formular().edtNajit->setText(QStringLiteral("X"));
    NajitForm->Formular().edtNahradit->setText(QStringLiteral("U"));
    NajitForm->Formular().chkCelaSlova->setChecked(true);
    HlavniForm->NahraditVse();
    ZpracovatUdalosti();
    ulozit(HlavniForm, "HlavniFormHledani");
    ulozit(NajitForm, "NajitForm");
    // The comparison of the renumbered and replaced program with its original.
    PorovnaniForm->Nastavit(&HlavniForm->Porovnani(), HlavniForm->memPuvodni(), HlavniForm->memProgram(), 0);
    PorovnaniForm->Formular().pohPorovnani->DalsiZmena();
    ulozit(PorovnaniForm, "PorovnaniForm");
    // The questions, as shown, then cancelled.
    const auto otazka = [&](const char* jmeno) {
        scenar.ObsluhyZprav.push_back([&ulozit, jmeno](QMessageBox& box) {
            ulozit(&box, jmeno);
            return int(QMessageBox::Cancel);
        });
    };
    otazka("OtazkaUlozit");
    HlavniForm->aOtevritExecute();
    TDocasnaSlozka::Zapsat(kopie, TDocasnaSlozka::Precist(kopie) + "M30\r\n");
    otazka("OtazkaZvenku");
    HlavniForm->aUlozitExecute();
    for (const auto& z : scenar.Zpravy) std::printf("message: %s | %s\n", qPrintable(z.Titulek), qPrintable(z.Text));
    return 0;
}
