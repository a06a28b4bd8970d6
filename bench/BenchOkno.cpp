// The window's work on a generated program, driven by its keys:
// open (Ctrl+O), renumber (F9), remove (Ctrl+Delete) and introduce
// (Ctrl+Insert), each followed by its undo (Ctrl+Z) and redo (Ctrl+Y), then
// save (Ctrl+S). Each step is timed from the key press until the window has
// answered: the handler has returned and the events it left (repaints) are
// served. One size per process, so that the peak memory belongs to it:
//   tarvik_bench_okno --lines N [--repeat R] [--refs] [--keep-references] [--lf]
//   tarvik_bench_okno --lines N --history K
//   tarvik_bench_okno --lines N --typing [--screen-reader]
// --history K: what the undo history costs: open, K block commands in turn
// (renumber, remove, introduce, ...; each renumber with another increment,
// so that every command changes the numbers), then undo all and redo all,
// with the peak memory after each phase and the time of every undo and redo.
// --typing: what typing costs with the caret at the start, the middle and
// the end of the program: ten characters typed 150 ms apart (as a quick
// hand types; the statistics count of the idle window runs between them),
// a line down, then select all; each from the key press until the text
// area has painted it (its paint event is over), with the CPU time.
// --screen-reader: the same while assistive technology listens, as a screen
// reader does: at every change and caret move it asks the text area for the
// caret's offset and the line there.
// --refs: the program jumps to its own blocks (the generator's references);
// the window then reports them after renumbering and introducing and asks
// before removing (answered Yes). --keep-references: the window's switch
// that updates them is off, as a user who turned it off left it. --lf: the
// program has LF line breaks (the window converts them as it reads).
// Every step also tells the longest time the window served no events (a
// timer of 10 ms that cannot fire meanwhile: neither input nor repaints are
// served), and when its progress bar first showed.
// Offscreen, unless QT_QPA_PLATFORM names another platform (xcb on a
// virtual desktop: bench/okno_tabulka.sh --plocha).
#include "GeneratorProgramu.h"
#include "Mereni.h"

#include "app/Aplikace.h"
#include "app/fHlavni.h"
#include "ui/DostupnostEditoru.h"
#include "platform/Halda.h"
#include "platform/RegistrSoubor.h"
#include "ui/Modalni.h"

#include "ui_fHlavni.h"

#include <Qsci/qsciscintilla.h>

#include <QAccessible>
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QProgressBar>
#include <QTest>
#include <QTimer>

#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

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

double Ms(const QElapsedTimer& t) { return double(t.nsecsElapsed()) / 1e6; }

// How long the window went without serving its events during a step, and
// when the progress bar first showed: a timer of 10 ms fires only while the
// events are served.
class TTep {
public:
    TTep() {
        casovac_.setInterval(10);
        QObject::connect(&casovac_, &QTimer::timeout, [this] { Tik(); });
    }
    void Zacit() {
        t_.start();
        posledni_ = 0;
        nejdelsi_ = 0;
        prubeh_ = -1;
        casovac_.start();
    }
    void Ukoncit() {
        Tik();
        casovac_.stop();
    }
    double Nejdelsi() const { return nejdelsi_; }
    double Prubeh() const { return prubeh_; }

private:
    void Tik() {
        const double ted = Ms(t_);
        nejdelsi_ = std::max(nejdelsi_, ted - posledni_);
        posledni_ = ted;
        if (prubeh_ < 0 && HlavniForm) {
            const auto* p = HlavniForm->findChild<QProgressBar*>(QStringLiteral("StatusBar1Prubeh"));
            if (p && p->isVisible()) prubeh_ = ted;
        }
    }
    QTimer casovac_;
    QElapsedTimer t_;
    double posledni_ = 0, nejdelsi_ = 0, prubeh_ = -1;
};

// Serves the events that are waiting, until an event posted now has its turn.
void DoOdpovedi() {
    bool odpovezeno = false;
    QTimer::singleShot(0, [&] { odpovezeno = true; });
    while (!odpovezeno) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// One key press, timed until the window has answered: wall and CPU ms.
struct TCas {
    double ms = 0, cpu = 0;
};
TCas Stisknout(Qt::Key klavesa, Qt::KeyboardModifiers modifikatory) {
    HlavniForm->memProgram()->setFocus();
    const double cpu = CpuMs();
    QElapsedTimer t;
    t.start();
    QTest::keyClick(HlavniForm->memProgram(), klavesa, modifikatory);
    DoOdpovedi();
    return {Ms(t), CpuMs() - cpu};
}

struct TSouhrn {
    double prvni = 0, nejvic = 0, soucet = 0;
    int pocet = 0;
    void Pridat(double v) {
        if (pocet++ == 0) prvni = v;
        nejvic = std::max(nejvic, v);
        soucet += v;
    }
};

// Open, K commands, undo all, redo all: the peak after each phase.
bool Historie(int prikazu, std::size_t radku, std::uintmax_t velikost) {
    struct TPrikaz {
        const char* nazev;
        Qt::Key klavesa;
        Qt::KeyboardModifiers modifikatory;
    };
    const TPrikaz cyklus[] = {{"renumber", Qt::Key_F9, Qt::NoModifier},
                              {"remove", Qt::Key_Delete, Qt::ControlModifier},
                              {"introduce", Qt::Key_Insert, Qt::ControlModifier}};
    const TCas otevreni = Stisknout(Qt::Key_O, Qt::ControlModifier);
    const long poOtevreni = PeakMb();
    TSouhrn prikazyMs, prikazyCpu, zpetMs, zpetCpu, znovuMs, znovuCpu;
    long poPrvnim = 0;
    const int prirustky[] = {10, 3, 7, 2, 9};
    for (int i = 0; i < prikazu; ++i) {
        const TPrikaz& p = cyklus[i % 3];
        if (i % 3 == 0) HlavniForm->Formular().spePrirustek->SetValue(prirustky[(i / 3) % 5]);
        const TCas c = Stisknout(p.klavesa, p.modifikatory);
        prikazyMs.Pridat(c.ms);
        prikazyCpu.Pridat(c.cpu);
        if (i == 0) poPrvnim = PeakMb();
    }
    const long poPrikazech = PeakMb();
    const std::size_t bajtuHistorie = HlavniForm->memProgram()->BajtuHistorie();
    const std::size_t otisk = std::hash<std::string_view>{}(HlavniForm->memProgram()->Utf8());
    for (int i = 0; i < prikazu; ++i) {
        const TCas c = Stisknout(Qt::Key_Z, Qt::ControlModifier);
        zpetMs.Pridat(c.ms);
        zpetCpu.Pridat(c.cpu);
    }
    const long poZpet = PeakMb();
    const bool puvodni = HlavniForm->memProgram()->Utf8() == HlavniForm->memPuvodni()->Utf8();
    for (int i = 0; i < prikazu; ++i) {
        const TCas c = Stisknout(Qt::Key_Y, Qt::ControlModifier);
        znovuMs.Pridat(c.ms);
        znovuCpu.Pridat(c.cpu);
    }
    const long poZnovu = PeakMb();
    const bool stejny = std::hash<std::string_view>{}(HlavniForm->memProgram()->Utf8()) == otisk;
    // In the middle of the program after all of it: a paint of the lines
    // shown (their colours and the marks of changed lines, followed back
    // through the history) and a typed character.
    TEditorProgramu& e = *HlavniForm->memProgram();
    e.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(radku / 2));
    e.SendScintilla(QsciScintillaBase::SCI_SETFIRSTVISIBLELINE, static_cast<unsigned long>(radku / 2));
    DoOdpovedi();
    QElapsedTimer t;
    t.start();
    e.viewport()->repaint();
    const double malovani = Ms(t);
    const TCas znak = Stisknout(Qt::Key_X, Qt::NoModifier);
    // The first character after the commands may pay for what they left; the
    // next ones are what typing costs.
    const TCas dalsi1 = Stisknout(Qt::Key_Y, Qt::NoModifier);
    const TCas dalsi2 = Stisknout(Qt::Key_Z, Qt::NoModifier);
    const TCas dolu = Stisknout(Qt::Key_Down, Qt::NoModifier);

    std::printf("window, %s: %zu lines, %.1f MB (%.1f bytes a line); undo history of %d commands\n",
                qPrintable(QGuiApplication::platformName()), radku, double(velikost) / 1e6,
                double(velikost) / double(radku), prikazu);
    std::printf("%-9s %14s %14s %14s %14s\n", "step", "first wall ms", "max wall ms", "mean wall ms", "mean CPU ms");
    const auto radek = [](const char* nazev, const TSouhrn& ms, const TSouhrn& cpu) {
        std::printf("%-9s %14.1f %14.1f %14.1f %14.1f\n", nazev, ms.prvni, ms.nejvic, ms.soucet / ms.pocet,
                    cpu.soucet / cpu.pocet);
    };
    std::printf("%-9s %14.1f %14s %14s %14.1f\n", "open", otevreni.ms, "", "", otevreni.cpu);
    radek("command", prikazyMs, prikazyCpu);
    radek("undo", zpetMs, zpetCpu);
    radek("redo", znovuMs, znovuCpu);
    std::printf("peak MB: after open %ld, after 1 command %ld, after %d commands %ld, after undo all %ld, "
                "after redo all %ld\n",
                poOtevreni, poPrvnim, prikazu, poPrikazech, poZpet, poZnovu);
    std::printf("peak after redo all / peak after 1 command: %.2f\n", double(poZnovu) / double(poPrvnim));
    std::printf("the undo history of the %d commands holds %.1f MB\n", prikazu, double(bajtuHistorie) / 1e6);
    std::printf("then in the middle of the program: a paint of the lines shown %.1f ms, a typed character %.1f ms "
                "(%.1f ms CPU), the next two %.1f and %.1f ms; the caret a line down %.1f ms\n",
                malovani, znak.ms, znak.cpu, dalsi1.ms, dalsi2.ms, dolu.ms);
    std::printf("undo all gave the original: %s; redo all gave the text of the commands: %s\n",
                puvodni ? "yes" : "NO", stejny ? "yes" : "NO");
    return puvodni && stejny;
}

// Tells when the text area has painted: the paint event of its viewport has come.
class THlidacMalovani final : public QObject {
public:
    bool namalovano = false;

protected:
    bool eventFilter(QObject*, QEvent* udalost) override {
        if (udalost->type() == QEvent::Paint) namalovano = true;
        return false;
    }
};

// One key press, timed until the text area has painted what it did (the
// paint event is delivered, and over, within the processEvents that saw it).
TCas StisknoutAMalovat(Qt::Key klavesa, Qt::KeyboardModifiers modifikatory, THlidacMalovani& hlidac) {
    TEditorProgramu* e = HlavniForm->memProgram();
    hlidac.namalovano = false;
    bool pozde = false;
    QTimer limit;
    limit.setSingleShot(true);
    QObject::connect(&limit, &QTimer::timeout, [&] { pozde = true; });
    const double cpu = CpuMs();
    QElapsedTimer t;
    t.start();
    QTest::keyClick(e, klavesa, modifikatory);
    limit.start(10000);
    while (!hlidac.namalovano && !pozde)
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    const TCas cas{Ms(t), CpuMs() - cpu};
    if (pozde) std::fprintf(stderr, "no paint within 10 s of a key\n");
    return cas;
}

// The window serves its events for ms milliseconds, as between a typist's keys.
void Pockat(int ms) {
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 5);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Open, then at the start, the middle and the end: ten typed characters, a
// line down, select all.
bool Psani(std::size_t radku, std::uintmax_t velikost, bool ctecka) {
    const TCas otevreni = Stisknout(Qt::Key_O, Qt::ControlModifier);
    TEditorProgramu& e = *HlavniForm->memProgram();
    THlidacMalovani hlidac;
    e.viewport()->installEventFilter(&hlidac);
    std::size_t dotazu = 0, delkaRadku = 0;
    if (ctecka) {
        NastavitPosluchaceDostupnosti([&](QAccessibleEvent* u) {
            const auto typ = u->type();
            if (u->object() != &e || (typ != QAccessible::TextInserted && typ != QAccessible::TextRemoved &&
                                      typ != QAccessible::TextCaretMoved))
                return;
            QAccessibleInterface* objekt = u->accessibleInterface();
            QAccessibleTextInterface* t = objekt ? objekt->textInterface() : nullptr;
            if (!t) return;
            int od = 0, po = 0;
            delkaRadku += t->textAtOffset(t->cursorPosition(), QAccessible::LineBoundary, &od, &po).size();
            ++dotazu;
        });
    }
    std::printf("window, %s: %zu lines, %.1f MB (%.1f bytes a line); open %.0f ms%s\n",
                qPrintable(QGuiApplication::platformName()), radku, double(velikost) / 1e6,
                double(velikost) / double(radku), otevreni.ms,
                ctecka ? "; a screen reader listens (the caret's offset and its line at every change and move)" : "");
    std::printf("from the key press to the end of the text area's paint, ms (a character: median and worst of 10 "
                "typed 150 ms apart, and their mean CPU)\n");
    std::printf("%-8s %12s %12s %12s %12s %12s %12s\n", "caret", "line", "char median", "char worst",
                "char CPU", "line down", "select all");
    const struct {
        const char* nazev;
        std::size_t radek;
    } mista[] = {{"start", 2}, {"middle", radku / 2}, {"end", radku > 5 ? radku - 5 : 0}};
    bool spravne = true;
    for (const auto& m : mista) {
        e.setFocus();
        e.SendScintilla(QsciScintillaBase::SCI_GOTOLINE, static_cast<unsigned long>(m.radek));
        e.SendScintilla(QsciScintillaBase::SCI_VERTICALCENTRECARET);
        DoOdpovedi();
        // The statistics of the last changes are counted before the first key.
        while (HlavniForm->StatistikyCekaji()) Pockat(20);
        std::vector<double> znaky, cpu;
        const Qt::Key klavesy[] = {Qt::Key_X, Qt::Key_1, Qt::Key_2, Qt::Key_Period, Qt::Key_5,
                                   Qt::Key_Space, Qt::Key_Y, Qt::Key_3, Qt::Key_4, Qt::Key_Space};
        const std::size_t pred = e.Utf8().size();
        for (Qt::Key k : klavesy) {
            const TCas c = StisknoutAMalovat(k, Qt::NoModifier, hlidac);
            znaky.push_back(c.ms);
            cpu.push_back(c.cpu);
            Pockat(150);
        }
        spravne = spravne && e.Utf8().size() == pred + std::size(klavesy);
        const TCas dolu = StisknoutAMalovat(Qt::Key_Down, Qt::NoModifier, hlidac);
        Pockat(150);
        const TCas vse = StisknoutAMalovat(Qt::Key_A, Qt::ControlModifier, hlidac);
        spravne = spravne && e.Vyber().Od == 0 && e.Vyber().Po == e.Utf8().size();
        Pockat(150);
        double cpuSoucet = 0;
        for (double v : cpu) cpuSoucet += v;
        std::printf("%-8s %12zu %12.1f %12.1f %12.1f %12.1f %12.1f\n", m.nazev, m.radek + 1, Median(znaky),
                    *std::max_element(znaky.begin(), znaky.end()), cpuSoucet / double(cpu.size()), dolu.ms, vse.ms);
    }
    std::printf("every character went into the text and select all selected all of it: %s\n", spravne ? "yes" : "NO");
    if (ctecka) {
        NastavitPosluchaceDostupnosti({});
        std::printf("the screen reader asked %zu times (%zu characters of lines read)\n", dotazu, delkaRadku);
        spravne = spravne && dotazu > 0;
    }
    return spravne;
}

struct TKrok {
    const char* nazev;
    Qt::Key klavesa;
    Qt::KeyboardModifiers modifikatory;
    std::vector<double> ms, cpu;
    long peakMb = 0;
    double zamrznuti = 0, prubeh = -1;  // the first round's
};

}  // namespace

int main(int argc, char** argv) {
    // The heap as the window has it.
    ZapnoutVelkeStranky(argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication aplikace(argc, argv);
    std::size_t radku = 100000;
    int opakovani = 1, historie = 0;
    bool odkazy = false, psani = false, ctecka = false, aktualizovat = true, lf = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--refs") == 0) odkazy = true;
        if (std::strcmp(argv[i], "--lf") == 0) lf = true;
        if (std::strcmp(argv[i], "--typing") == 0) psani = true;
        if (std::strcmp(argv[i], "--screen-reader") == 0) ctecka = true;
        if (std::strcmp(argv[i], "--keep-references") == 0) aktualizovat = false;
        if (i + 1 == argc) break;
        if (std::strcmp(argv[i], "--lines") == 0) radku = std::stoul(argv[i + 1]);
        if (std::strcmp(argv[i], "--repeat") == 0) opakovani = std::max(1, std::stoi(argv[i + 1]));
        if (std::strcmp(argv[i], "--history") == 0) historie = std::max(1, std::stoi(argv[i + 1]));
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
        p.Odkazy = odkazy;
        p.CrLf = !lf;
        std::string bajty;
        GenerovatProgram(bajty, p);
        std::ofstream(program, std::ios::binary).write(bajty.data(), std::streamsize(bajty.size()));
        std::_Exit(0);
    } else {
        int stav = 0;
        waitpid(dite, &stav, 0);
    }
    // The list the window reads at its first start: the ISO milling type first.
    std::ofstream(slozka / "files.ftd", std::ios::binary) << "ISO\t.nc\t:\tN\t%\tM30\t(\t\r\n";
    const auto velikost = fs::file_size(program);
    if (!aktualizovat) {
        TRegistrSoubor registr(slozka / "Tarvik.reg");
        registr.OtevritKlic(u"\\Software\\Orvendal\\Tarvik", true);
        registr.ZapsatPriznak(u"AktualizovatOdkazy", false);
        registr.ZavritKlic();
    }
    fs::current_path(slozka);

    int zprav = 0, oOdkazech = 0;
    Modalni::NastavitObsluhuZpravy([&](QMessageBox& box) {
        // With references: the reports, and the question before removing.
        if (odkazy) {
            ++oOdkazech;
            return int(box.standardButtons().testFlag(QMessageBox::Yes) ? QMessageBox::Yes : QMessageBox::Ok);
        }
        ++zprav;
        std::fprintf(stderr, "unexpected message: %s\n", qPrintable(box.text()));
        return int(QMessageBox::Ok);
    });
    Modalni::NastavitObsluhuOtevreni([&](const QString&, int, const QString&) {
        return std::optional<Modalni::TOtevreni>(
            Modalni::TOtevreni{QString::fromStdU16String(program.u16string()), 1});
    });

    // Introducing needs a program without numbers: it follows the removal.
    std::vector<TKrok> kroky = {
        {"open", Qt::Key_O, Qt::ControlModifier, {}, {}},
        {"renumber", Qt::Key_F9, Qt::NoModifier, {}, {}},
        {"undo", Qt::Key_Z, Qt::ControlModifier, {}, {}},
        {"redo", Qt::Key_Y, Qt::ControlModifier, {}, {}},
        {"remove", Qt::Key_Delete, Qt::ControlModifier, {}, {}},
        {"undo", Qt::Key_Z, Qt::ControlModifier, {}, {}},
        {"redo", Qt::Key_Y, Qt::ControlModifier, {}, {}},
        {"introduce", Qt::Key_Insert, Qt::ControlModifier, {}, {}},
        {"undo", Qt::Key_Z, Qt::ControlModifier, {}, {}},
        {"redo", Qt::Key_Y, Qt::ControlModifier, {}, {}},
        {"save", Qt::Key_S, Qt::ControlModifier, {}, {}},
    };
    std::string kontrola;
    TTep tep;
    {
        TAplikace tarvik(std::make_unique<TRegistrSoubor>(slozka / "Tarvik.reg"));
        HlavniForm->SouborTypu = slozka / "files.ftd";
        tarvik.Zobrazit();
        // The window's shortcuts need it active (on a desktop, once the window manager says so).
        HlavniForm->activateWindow();
        if (!QTest::qWaitForWindowActive(HlavniForm, 10000)) std::fprintf(stderr, "the window did not become active\n");
        DoOdpovedi();
        std::printf("memory before the first open: %ld MB\n", PeakMb());
        if (historie > 0 || psani) {
            const bool spravne = psani ? Psani(radku, velikost, ctecka) : Historie(historie, radku, velikost);
            HlavniForm->memProgram()->setModified(false);
            std::error_code ec;
            fs::current_path(fs::temp_directory_path(), ec);
            fs::remove_all(slozka, ec);
            return spravne && zprav == 0 ? 0 : 1;
        }

        for (int r = 0; r < opakovani; ++r) {
            HlavniForm->memProgram()->setModified(false);
            // Each round renumbers with another increment, so that the
            // renumber changes the numbers that the last round introduced.
            HlavniForm->Formular().spePrirustek->SetValue(5 + r);
            for (TKrok& k : kroky) {
                HlavniForm->memProgram()->setFocus();
                const double cpu = CpuMs();
                QElapsedTimer t;
                t.start();
                tep.Zacit();
                QTest::keyClick(HlavniForm->memProgram(), k.klavesa, k.modifikatory);
                DoOdpovedi();
                tep.Ukoncit();
                k.ms.push_back(Ms(t));
                k.cpu.push_back(CpuMs() - cpu);
                // The peak of the first round: a later open builds its documents before it lets the last ones go.
                if (r == 0) {
                    k.peakMb = PeakMb();
                    k.zamrznuti = tep.Nejdelsi();
                    k.prubeh = tep.Prubeh();
                }
            }
        }
        // What the steps left: introduced into the program the removal left.
        const std::string_view text = HlavniForm->memProgram()->Utf8();
        kontrola = std::string(text.substr(0, text.find('\n', text.find('\n') + 1)));
        HlavniForm->memProgram()->setModified(false);
    }

    std::printf("window, %s: %zu lines, %.1f MB (%.1f bytes a line), %d repetition(s)\n",
                qPrintable(QGuiApplication::platformName()), radku, double(velikost) / 1e6,
                double(velikost) / double(radku), opakovani);
    std::printf("references in the program: %s; updated by renumbering: %s; messages about them: %d\n",
                odkazy ? "yes" : "no", aktualizovat ? "yes" : "no", oOdkazech);
    std::printf("first lines after the steps: %s\n", kontrola.c_str());
    std::printf("line breaks: %s\n", lf ? "LF" : "CR LF");
    std::printf("%-10s %12s %12s %12s %14s %12s %12s %12s\n", "step", "best wall ms", "mean wall ms", "best CPU ms",
                "CPU ns a line", "peak MB (1)", "freeze (1)", "progress (1)");
    for (auto& k : kroky) {
        const double nejlepsi = *std::min_element(k.ms.begin(), k.ms.end());
        const double nejlepsiCpu = *std::min_element(k.cpu.begin(), k.cpu.end());
        double soucet = 0;
        for (double v : k.ms) soucet += v;
        char prubeh[32] = "-";
        if (k.prubeh >= 0) std::snprintf(prubeh, sizeof prubeh, "%.0f", k.prubeh);
        std::printf("%-10s %12.1f %12.1f %12.1f %14.0f %12ld %12.0f %12s\n", k.nazev, nejlepsi,
                    soucet / double(k.ms.size()), nejlepsiCpu, nejlepsiCpu * 1e6 / double(radku), k.peakMb,
                    k.zamrznuti, prubeh);
    }
    const long peak = kroky.back().peakMb;
    std::printf("peak memory after the first round: %ld MB (%.1f times the file); after all rounds: %ld MB\n", peak,
                double(peak) * 1024 * 1024 / double(velikost), PeakMb());
    std::error_code ec;
    fs::current_path(fs::temp_directory_path(), ec);
    fs::remove_all(slozka, ec);
    return zprav == 0 ? 0 : 1;
}
