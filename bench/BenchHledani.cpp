// Find, replace and compare on a generated program in the window, driven as
// a user drives them: each step timed from the key or the click until the
// window has answered (wall and CPU ms).
//   tarvik_bench_hledani --lines N [--scintilla]
// Finding every X in place (as any case, as written, as a whole word) and a
// word near the end by F3; replacing every X word by U (the dialog's Replace
// all), its undo and redo; then a renumber, and the comparison after it: the
// first F8 (which compares the texts), the next F8, Shift+F8 from the end,
// and the side-by-side window (F7) painted. --scintilla also times the editor
// library's own search (SCI_SEARCHINTARGET) counting every X, for comparison.
// One size per process, so that the peak memory belongs to it. Offscreen.
#include "GeneratorProgramu.h"
#include "Mereni.h"

#include "app/Aplikace.h"
#include "app/fHlavni.h"
#include "platform/Halda.h"
#include "platform/RegistrSoubor.h"
#include "ui/Hledani.h"
#include "ui/Modalni.h"
#include "ui/Porovnani.h"
#include "ui/fNajit.h"
#include "ui/fPorovnani.h"

#include "ui_fNajit.h"
#include "ui_fPorovnani.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>

namespace fs = std::filesystem;

namespace {

// Serves the events that are waiting, until an event posted now has its turn.
void DoOdpovedi() {
    bool odpovezeno = false;
    QTimer::singleShot(0, [&] { odpovezeno = true; });
    while (!odpovezeno) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// A step timed until the window has answered, printed with what it came to.
void Krok(const char* nazev, const std::function<std::string()>& provest) {
    const double cpu = CpuMs();
    QElapsedTimer t;
    t.start();
    const std::string vysledek = provest();
    DoOdpovedi();
    std::printf("%-34s %9.1f %9.1f  %s\n", nazev, double(t.nsecsElapsed()) / 1e6, CpuMs() - cpu, vysledek.c_str());
    std::fflush(stdout);
}

void Klavesa(Qt::Key klavesa, Qt::KeyboardModifiers modifikatory = Qt::NoModifier) {
    HlavniForm->activateWindow();
    HlavniForm->memProgram()->setFocus();
    QTest::keyClick(HlavniForm->memProgram(), klavesa, modifikatory);
}

std::string Radek() {
    TEditorProgramu& e = *HlavniForm->memProgram();
    const long pozice = e.SendScintilla(QsciScintillaBase::SCI_GETCURRENTPOS);
    return "line " + std::to_string(e.SendScintilla(QsciScintillaBase::SCI_LINEFROMPOSITION, pozice) + 1);
}

}  // namespace

int main(int argc, char** argv) {
    ZapnoutVelkeStranky(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplikace(argc, argv);
    std::size_t radku = 100000;
    bool scintilla = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--scintilla") == 0) scintilla = true;
        if (i + 1 < argc && std::strcmp(argv[i], "--lines") == 0) radku = std::stoul(argv[i + 1]);
    }

    std::random_device rd;
    const fs::path slozka = fs::temp_directory_path() / ("tarvik-bench-" + std::to_string(rd()));
    fs::create_directories(slozka);
    const fs::path program = slozka / "program.nc";
    // Generated in a child process, so that its buffer is not part of this process's peak.
    if (const pid_t dite = fork(); dite == 0) {
        TParametryGeneratoru p;
        p.Radku = radku;
        std::string bajty;
        GenerovatProgram(bajty, p);
        std::ofstream(program, std::ios::binary).write(bajty.data(), std::streamsize(bajty.size()));
        std::_Exit(0);
    } else {
        int stav = 0;
        waitpid(dite, &stav, 0);
    }
    std::ofstream(slozka / "files.ftd", std::ios::binary) << "ISO\t.nc\t:\tN\t%\tM30\t(\t\r\n";
    fs::current_path(slozka);
    int zprav = 0;
    Modalni::NastavitObsluhuZpravy([&](QMessageBox& box) {
        ++zprav;
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(box.text()));
        return int(QMessageBox::Ok);
    });
    Modalni::NastavitObsluhuOtevreni([&](const QString&, int, const QString&) {
        return std::optional<Modalni::TOtevreni>(Modalni::TOtevreni{QString::fromStdU16String(program.u16string()), 1});
    });
    // The comparison window: shown, painted once, closed.
    Modalni::NastavitObsluhuDialogu([](QDialog& d) {
        d.show();
        DoOdpovedi();
        static_cast<TPorovnaniForm&>(d).Formular().pohPorovnani->viewport()->repaint();
        d.hide();
        return int(QDialog::Rejected);
    });

    bool spravne = true;
    {
        TAplikace tarvik(std::make_unique<TRegistrSoubor>(slozka / "Tarvik.reg"));
        HlavniForm->SouborTypu = slozka / "files.ftd";
        tarvik.Zobrazit();
        HlavniForm->activateWindow();
        if (!QTest::qWaitForWindowActive(HlavniForm, 10000)) std::fprintf(stderr, "the window did not become active\n");
        DoOdpovedi();
        TEditorProgramu& e = *HlavniForm->memProgram();
        Klavesa(Qt::Key_O, Qt::ControlModifier);
        DoOdpovedi();
        std::printf("%zu lines, %zu bytes; memory after opening: %ld MB\n", radku, e.Utf8().size(), PeakMb());
        std::printf("%-34s %9s %9s  %s\n", "step", "ms", "CPU ms", "result");

        // Finding in place.
        const std::string puvodni(e.Utf8());
        for (const auto& [nazev, zadani] :
             {std::pair{"find every X, any case", TZadaniHledani{QStringLiteral("X"), false, false}},
              std::pair{"find every X, as written", TZadaniHledani{QStringLiteral("X"), false, true}},
              std::pair{"find every X word", TZadaniHledani{QStringLiteral("X"), true, false}}}) {
            Krok(nazev, [&] {
                const std::string_view text = e.Utf8();
                return std::to_string(THledani(zadani).ProKazdy(text, 0, text.size(), [](std::size_t, std::size_t) {})) +
                       " found";
            });
        }
        if (scintilla) {
            for (const auto& [nazev, priznaky] : {std::pair{"library's search, every X, any case", 0},
                                                  std::pair{"library's search, every X word", int(QsciScintillaBase::SCFIND_WHOLEWORD)}}) {
                Krok(nazev, [&, priznaky = priznaky] {
                    const long delka = e.SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
                    e.SendScintilla(QsciScintillaBase::SCI_SETSEARCHFLAGS, priznaky);
                    long pozice = 0, pocet = 0;
                    for (;;) {
                        e.SendScintilla(QsciScintillaBase::SCI_SETTARGETRANGE, static_cast<unsigned long>(pozice), delka);
                        const long p = e.SendScintilla(QsciScintillaBase::SCI_SEARCHINTARGET, 1UL, "X");
                        if (p < 0) break;
                        ++pocet;
                        pozice = p + 1;
                    }
                    return std::to_string(pocet) + " found";
                });
            }
        }
        // F3 for the program's end from its start: the whole text searched.
        Klavesa(Qt::Key_H, Qt::ControlModifier);
        DoOdpovedi();
        Ui::TNajitForm& f = NajitForm->Formular();
        f.edtNajit->setText(QStringLiteral("M30"));
        f.chkCelaSlova->setChecked(true);
        e.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
        Krok("F3 for the last block (M30)", [&] {
            Klavesa(Qt::Key_F3);
            return Radek();
        });

        // Replace all, and its undo and redo.
        f.edtNajit->setText(QStringLiteral("X"));
        f.edtNahradit->setText(QStringLiteral("U"));
        std::string nahrazeno;
        Krok("replace every X word by U", [&] {
            f.btnNahraditVse->click();
            return NajitForm->Stav().toStdString();
        });
        nahrazeno = std::string(e.Utf8());
        Krok("undo (Ctrl+Z)", [&] {
            Klavesa(Qt::Key_Z, Qt::ControlModifier);
            return e.Utf8() == puvodni ? "the original bytes" : "NOT the original";
        });
        spravne = spravne && e.Utf8() == puvodni;
        Krok("redo (Ctrl+Y)", [&] {
            Klavesa(Qt::Key_Y, Qt::ControlModifier);
            return e.Utf8() == nahrazeno ? "replaced again" : "NOT as replaced";
        });
        spravne = spravne && e.Utf8() == nahrazeno;
        Klavesa(Qt::Key_Z, Qt::ControlModifier);
        NajitForm->hide();
        std::printf("memory after replacing: %ld MB\n", PeakMb());

        // Compare after a renumber: every block line changed.
        e.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 0UL);
        Krok("renumber (F9)", [&] {
            Klavesa(Qt::Key_F9);
            return std::string();
        });
        e.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(radku / 2));
        Krok("F8 from the middle (compares)", [&] {
            Klavesa(Qt::Key_F8);
            const TPorovnani::TPocty& p = HlavniForm->Porovnani().Pocty();
            return Radek() + "; " + std::to_string(HlavniForm->Porovnani().Zmeny().size()) + " changes, " +
                   std::to_string(p.Zmenenych) + " lines changed";
        });
        Krok("F8 again", [&] {
            Klavesa(Qt::Key_F8);
            return Radek();
        });
        Krok("Shift+F8 from the end", [&] {
            Klavesa(Qt::Key_End, Qt::ControlModifier);
            Klavesa(Qt::Key_F8, Qt::ShiftModifier);
            return Radek();
        });
        Krok("F7, the side-by-side view painted", [&] {
            Klavesa(Qt::Key_F7);
            return std::string();
        });
        // A typed character makes the comparison stale: the next F8 compares again.
        e.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(radku / 2));
        const std::size_t delka = e.Utf8().size();
        Klavesa(Qt::Key_X);
        DoOdpovedi();
        Krok("F8 after a typed character", [&] {
            Klavesa(Qt::Key_F8);
            return Radek() + (e.Utf8().size() == delka + 1 ? "" : " (NOTHING TYPED)");
        });
        std::printf("peak memory: %ld MB\n", PeakMb());
        e.setModified(false);
    }
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(slozka, ec);
    if (!spravne) std::fprintf(stderr, "undo or redo of the replace gave other bytes\n");
    return spravne && zprav == 0 ? 0 : 1;
}
