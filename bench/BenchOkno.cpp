// The window's main job on a generated program, offscreen: open until the text
// is shown, renumber, remove and introduce the block numbers, save; and the
// process's peak memory. One size per process, so that the peak belongs to it:
//   tarvik_bench_okno --lines N [--repeat R] [--command renumber|remove|introduce]
// With --command only that command runs between the open and the save, so
// that the peak belongs to one command (the undo history keeps the text
// before every command, and the commands of one run add up).
#include "GeneratorProgramu.h"

#include "app/Aplikace.h"
#include "app/fHlavni.h"
#include "platform/Halda.h"
#include "platform/RegistrSoubor.h"
#include "ui/Modalni.h"

#include <Qsci/qsciscintilla.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <time.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

double Ms(QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// CPU time of the process (user and system), in ms: less disturbed than the
// wall time when other work shares the cores.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

long PeakMb() {
    rusage r{};
    getrusage(RUSAGE_SELF, &r);
    return r.ru_maxrss / 1024;  // kilobytes on Linux
}

}  // namespace

int main(int argc, char** argv) {
    ZapnoutVelkeStranky(argv);
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplikace(argc, argv);
    std::size_t radku = 100000;
    int opakovani = 1;
    std::string jenPrikaz;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--lines") == 0) radku = std::stoul(argv[i + 1]);
        if (std::strcmp(argv[i], "--repeat") == 0) opakovani = std::max(1, std::stoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--command") == 0) jenPrikaz = argv[i + 1];
    }

    std::random_device rd;
    const fs::path slozka = fs::temp_directory_path() / ("tarvik-bench-" + std::to_string(rd()));
    fs::create_directories(slozka);
    const fs::path program = slozka / "program.nc";
    // The program is generated in a child process, so that its buffer is not
    // part of this process's peak.
    if (const pid_t dite = fork(); dite == 0) {
        TParametryGeneratoru p;
        p.Radku = radku;
        p.Cislovat = jenPrikaz != "introduce";  // numbers are introduced into a program without them
        std::string bajty;
        GenerovatProgram(bajty, p);
        std::ofstream(program, std::ios::binary).write(bajty.data(), std::streamsize(bajty.size()));
        std::_Exit(0);
    } else {
        int stav = 0;
        waitpid(dite, &stav, 0);
    }
    {
        // The list the window reads at its first start: the ISO milling type first.
        std::ofstream(slozka / "files.ftd", std::ios::binary) << "ISO\t.nc\t:\tN\t%\tM30\t(\t\r\n";
    }
    const auto velikost = fs::file_size(program);
    fs::current_path(slozka);

    int zprav = 0;
    Modalni::NastavitObsluhuZpravy([&](QMessageBox& box) {
        ++zprav;
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(box.text()));
        return int(QMessageBox::Ok);
    });
    Modalni::NastavitObsluhuOtevreni([&](const QString&, int, const QString&) {
        return std::optional<Modalni::TOtevreni>(
            Modalni::TOtevreni{QString::fromStdU16String(program.u16string()), 1});
    });

    struct TKrok {
        const char* nazev = "";
        std::vector<double> ms;
        std::vector<double> cpu;
        long peakMb = 0;
    };
    std::vector<TKrok> kroky(5);
    const char* const nazvy[] = {"open", "renumber", "remove", "introduce", "save"};
    for (std::size_t i = 0; i < kroky.size(); ++i) kroky[i].nazev = nazvy[i];
    {
        TAplikace tarvik(std::make_unique<TRegistrSoubor>(slozka / "Tarvik.reg"));
        HlavniForm->SouborTypu = slozka / "files.ftd";
        tarvik.Zobrazit();
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
        std::printf("memory before the first open: %ld MB\n", PeakMb());

        for (int r = 0; r < opakovani; ++r) {
            QElapsedTimer t;
            HlavniForm->memProgram()->setModified(false);
            double cpu = CpuMs();
            t.start();
            HlavniForm->aOtevritExecute();
            HlavniForm->memProgram()->repaint();  // the text is shown
            kroky[0].ms.push_back(Ms(t));
            kroky[0].cpu.push_back(CpuMs() - cpu);
            kroky[0].peakMb = PeakMb();

            void (THlavniForm::*prikazy[])() = {&THlavniForm::aPrecislovatExecute,
                                                &THlavniForm::aOdstranitExecute,
                                                &THlavniForm::aZavestExecute,
                                                &THlavniForm::aUlozitExecute};
            for (std::size_t k = 0; k < std::size(prikazy); ++k) {
                if (!jenPrikaz.empty() && k + 1 < std::size(prikazy) && jenPrikaz != kroky[k + 1].nazev) continue;
                cpu = CpuMs();
                t.restart();
                (HlavniForm->*prikazy[k])();
                if (k + 1 < std::size(prikazy)) HlavniForm->memProgram()->repaint();
                kroky[k + 1].ms.push_back(Ms(t));
                kroky[k + 1].cpu.push_back(CpuMs() - cpu);
                kroky[k + 1].peakMb = PeakMb();
            }
        }
        HlavniForm->memProgram()->setModified(false);
    }

    std::printf("window, offscreen: %zu lines, %.1f MB (%.1f bytes a line), %d repetition(s)\n", radku,
                double(velikost) / 1e6, double(velikost) / double(radku), opakovani);
    std::printf("%-10s %12s %12s %12s %14s %12s\n", "step", "best wall ms", "mean wall ms", "best CPU ms",
                "CPU ns a line", "peak MB");
    for (auto& k : kroky) {
        if (k.ms.empty()) continue;
        const double nejlepsi = *std::min_element(k.ms.begin(), k.ms.end());
        const double nejlepsiCpu = *std::min_element(k.cpu.begin(), k.cpu.end());
        double soucet = 0;
        for (double v : k.ms) soucet += v;
        std::printf("%-10s %12.1f %12.1f %12.1f %14.0f %12ld\n", k.nazev, nejlepsi, soucet / double(k.ms.size()),
                    nejlepsiCpu, nejlepsiCpu * 1e6 / double(radku), k.peakMb);
    }
    std::printf("peak memory: %ld MB (%.1f times the file)\n", PeakMb(),
                double(PeakMb()) * 1024 * 1024 / double(velikost));
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(slozka, ec);
    return zprav == 0 ? 0 : 1;
}
