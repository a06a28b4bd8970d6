// Engine benchmarks: counting, introducing, renumbering and removing block
// numbers in generated programs of 10,000, 100,000 and 1,000,000 lines: the
// passes over the UTF-8 text in one buffer (as the batch tool and the window
// run them), against one copy of its bytes, and the operations on a list of
// UTF-16 lines, against one copy of the list. A summary after the table sets
// each rewriting operation against its copy.
#include "GeneratorProgramu.h"
#include "engine/CNCEdit.h"
#include "platform/CteniTextu.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstring>
#include <cstdio>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>
#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

constexpr std::int64_t Velikosti[] = {10'000, 100'000, 1'000'000};
constexpr std::int64_t VelikostCile = 1'000'000;
constexpr double NejvyssiPomerCile = 3.0;

// The ISO milling type of the default list, numbered 10, 20, ... up to 9999
// and then from 10 again.
constexpr std::u16string_view Hlavni = u":";
constexpr std::u16string_view Vedlejsi = u"N";
constexpr std::u16string_view Zacatek = u"%";
constexpr std::u16string_view Konec = u"M30";
constexpr std::u16string_view Komentar = u"(";
// The conversational type: no block characters (digit mode).
constexpr std::u16string_view ZacatekDialogu = u"BEGIN PGM";
constexpr std::uint32_t Prvni = 10, Prirustek = 10, Maximum = 9999;

enum class TVzor { IsoCislovany, IsoBezCisel, Dialogovy };

struct TVzorek {
    TRadky Radky;
    std::string Text;  // the program's bytes (ASCII: UTF-8 as they are)
    std::size_t Bajtu = 0;
};

// The lines of a generated program as the engine gets them (read through the
// same decoding as a file), made once per kind and size.
// All kinds of one size are made together, before the first benchmark of that
// size, so that no benchmark runs on a heap that another sample has just
// reshaped.
const TVzorek& Vzorek(TVzor vzor, std::size_t radku) {
    static std::map<std::pair<TVzor, std::size_t>, std::unique_ptr<TVzorek>> hotove;
    if (!hotove.count({vzor, radku})) {
        for (const TVzor druh : {TVzor::IsoCislovany, TVzor::IsoBezCisel, TVzor::Dialogovy}) {
            TParametryGeneratoru p;
            p.Radku = radku;
            p.Styl = druh == TVzor::Dialogovy ? TStylProgramu::Dialogovy : TStylProgramu::Iso;
            p.Cislovat = druh != TVzor::IsoBezCisel;
            std::string bajty;
            GenerovatProgram(bajty, p);
            auto v = std::make_unique<TVzorek>();
            v->Bajtu = bajty.size();
            v->Radky = DekodovatText(bajty).Radky;
            v->Text = std::move(bajty);
            hotove[{druh, radku}] = std::move(v);
        }
    }
    return *hotove.at({vzor, radku});
}

void Popsat(benchmark::State& state, const TVzorek& vzorek) {
    const auto n = static_cast<std::int64_t>(vzorek.Radky.size());
    state.SetItemsProcessed(state.iterations() * n);
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(vzorek.Bajtu));
    state.counters["lines"] = benchmark::Counter(static_cast<double>(n));
}

// Every benchmark starts on a heap whose free memory is merged again, not on
// the scattered small blocks that the benchmark before it left (introducing
// reallocates every line): without it, copy + operation measured up to twice
// as long in the full run as when run by itself.
void SloucitHaldu() {
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

// Baseline: one copy of the lines and its release.
void Kopie(benchmark::State& state) {
    const TVzorek& vzorek = Vzorek(TVzor::IsoCislovany, static_cast<std::size_t>(state.range(0)));
    SloucitHaldu();
    { TRadky zahrati(vzorek.Radky); }
    for (auto _ : state) {
        TRadky kopie(vzorek.Radky);
        benchmark::DoNotOptimize(kopie.data());
        benchmark::ClobberMemory();
    }
    Popsat(state, vzorek);
}

void PocetBloku(benchmark::State& state) {
    const TVzorek& vzorek = Vzorek(TVzor::IsoCislovany, static_cast<std::size_t>(state.range(0)));
    const TCNCFile engine;
    for (auto _ : state) {
        benchmark::DoNotOptimize(engine.PocetBloku(vzorek.Radky, Hlavni, Vedlejsi));
    }
    Popsat(state, vzorek);
}

// One untimed pass first, so that the first timed iteration finds the heap as
// the later ones do (see UdrzetHaldu).
template <typename Operace>
void Zahrat(const TVzorek& vzorek, const TCNCFile& engine, Operace operace) {
    SloucitHaldu();
    TRadky zahrati(vzorek.Radky);
    operace(engine, zahrati);
}

// A rewriting operation on a fresh copy of the lines each iteration. The copy
// is made, and the previous result released, while the clock is stopped: the
// time is that of the operation alone, as it runs on the copy that the caller
// has just made.
template <typename Operace>
void Prepis(benchmark::State& state, TVzor vzor, Operace operace) {
    const TVzorek& vzorek = Vzorek(vzor, static_cast<std::size_t>(state.range(0)));
    const TCNCFile engine;
    Zahrat(vzorek, engine, operace);
    std::unique_ptr<TRadky> prace;
    for (auto _ : state) {
        state.PauseTiming();
        prace.reset();
        prace = std::make_unique<TRadky>(vzorek.Radky);
        state.ResumeTiming();
        benchmark::DoNotOptimize(operace(engine, *prace));
        benchmark::ClobberMemory();
    }
    prace.reset();  // the clock has stopped with the loop
    Popsat(state, vzorek);
}

// The same operation with the copy and the release of its result inside the
// clock: (copy + operation) minus the baseline is a second estimate of the
// operation alone, free of the cost of stopping the clock.
template <typename Operace>
void KopieAPrepis(benchmark::State& state, TVzor vzor, Operace operace) {
    const TVzorek& vzorek = Vzorek(vzor, static_cast<std::size_t>(state.range(0)));
    const TCNCFile engine;
    Zahrat(vzorek, engine, operace);
    for (auto _ : state) {
        TRadky prace(vzorek.Radky);
        benchmark::DoNotOptimize(operace(engine, prace));
        benchmark::ClobberMemory();
    }
    Popsat(state, vzorek);
}

std::uint8_t Zavest(const TCNCFile& e, TRadky& r) {
    return e.ZavestBloky(r, Zacatek, Konec, Komentar, Prvni, Prirustek, Maximum, false, false,
                         false, Vedlejsi, true);
}
std::uint8_t Precislovat(const TCNCFile& e, TRadky& r) {
    return e.PrecislovatBloky(r, Prvni, Prirustek, Maximum, Zacatek, Hlavni, Vedlejsi, true);
}
std::uint8_t Odstranit(const TCNCFile& e, TRadky& r) {
    return e.OdstranitBloky(r, Hlavni, Vedlejsi);
}
std::uint8_t PrecislovatDialog(const TCNCFile& e, TRadky& r) {
    return e.PrecislovatBloky(r, 1, 1, Maximum, ZacatekDialogu, u"", u"", true);
}

// Baseline of the UTF-8 passes: one copy of the text's bytes into a buffer
// that the process already has.
void KopieTextu(benchmark::State& state) {
    const TVzorek& vzorek = Vzorek(TVzor::IsoCislovany, static_cast<std::size_t>(state.range(0)));
    std::string cil(vzorek.Text.size(), '\0');
    for (auto _ : state) {
        std::memcpy(cil.data(), vzorek.Text.data(), cil.size());
        benchmark::DoNotOptimize(cil.data());
        benchmark::ClobberMemory();
    }
    Popsat(state, vzorek);
}

void Utf8Pocty(benchmark::State& state) {
    const TVzorek& vzorek = Vzorek(TVzor::IsoCislovany, static_cast<std::size_t>(state.range(0)));
    const cnc::TZnackaUtf8 h(Hlavni), v(Vedlejsi);
    for (auto _ : state) benchmark::DoNotOptimize(cnc::Spocitat<char>(vzorek.Text, h.Znacka(), v.Znacka()));
    Popsat(state, vzorek);
}

// A pass over the UTF-8 text into the output buffer, which hands on its
// pieces of a megabyte (here to nobody), as the batch tool and the window run it.
void Utf8Pruchod(benchmark::State& state, TVzor vzor, cnc::TPrikaz prikaz) {
    const TVzorek& vzorek = Vzorek(vzor, static_cast<std::size_t>(state.range(0)));
    const bool dialog = vzor == TVzor::Dialogovy;
    const cnc::TZnackaUtf8 h(dialog ? u"" : Hlavni), v(dialog ? u"" : Vedlejsi),
        za(dialog ? ZacatekDialogu : Zacatek), ko(Konec), km(Komentar);
    cnc::TZadani<char> z;
    z.Prikaz = prikaz;
    z.HlavniZnak = h.Znacka();
    z.VedlejsiZnak = v.Znacka();
    z.Zacatek = za.Znacka();
    z.Konec = ko.Znacka();
    z.Komentar = km.Znacka();
    z.PrvniBlok = dialog ? 1 : Prvni;
    z.Prirustek = dialog ? 1 : Prirustek;
    z.MaximalniBlok = Maximum;
    std::size_t bajtu = 0;
    cnc::TVystup<char> vystup([&](std::string_view kus) { bajtu += kus.size(); });
    for (auto _ : state) {
        {
            cnc::TPruchod<char> p(z, vzorek.Radky.size(), vystup);
            p.Pridat(vzorek.Text);
        }
        vystup.Odevzdat();
        benchmark::DoNotOptimize(bajtu);
    }
    Popsat(state, vzorek);
}

struct TOperace {
    const char* nazev;
    TVzor vzor;
    std::uint8_t (*operace)(const TCNCFile&, TRadky&);
    cnc::TPrikaz prikaz;
};
// The rewriting operations that the summary sets against the copy.
constexpr TOperace Prepisujici[] = {
    {"ZavestBloky", TVzor::IsoBezCisel, Zavest, cnc::TPrikaz::Zavest},
    {"PrecislovatBloky", TVzor::IsoCislovany, Precislovat, cnc::TPrikaz::Precislovat},
    {"OdstranitBloky", TVzor::IsoCislovany, Odstranit, cnc::TPrikaz::Odstranit},
};

void Registrovat() {
    for (const std::int64_t n : Velikosti) {
        const auto nastavit = [n](benchmark::internal::Benchmark* b) {
            b->Arg(n)->Unit(benchmark::kMillisecond)->UseRealTime();
        };
        // The UTF-8 passes first, which allocate nothing per line.
        nastavit(benchmark::RegisterBenchmark("Utf8_KopieTextu", KopieTextu));
        nastavit(benchmark::RegisterBenchmark("Utf8_Pocty", Utf8Pocty));
        nastavit(benchmark::RegisterBenchmark("Utf8_PrecislovatBloky_dialog", [](benchmark::State& s) {
            Utf8Pruchod(s, TVzor::Dialogovy, cnc::TPrikaz::Precislovat);
        }));
        for (const TOperace& o : Prepisujici)
            nastavit(benchmark::RegisterBenchmark((std::string("Utf8_") + o.nazev).c_str(), [o](benchmark::State& s) {
                Utf8Pruchod(s, o.vzor, o.prikaz);
            }));
        // The copy of the list first, on the heap as the samples left it, then
        // the operations, the one that reallocates every line (introducing) last.
        nastavit(benchmark::RegisterBenchmark("Kopie", Kopie));
        nastavit(benchmark::RegisterBenchmark("PocetBloku", PocetBloku));
        nastavit(benchmark::RegisterBenchmark("PrecislovatBloky_dialog", [](benchmark::State& s) {
            Prepis(s, TVzor::Dialogovy, PrecislovatDialog);
        }));
        for (auto o = std::rbegin(Prepisujici); o != std::rend(Prepisujici); ++o)
            nastavit(benchmark::RegisterBenchmark(o->nazev, [o = *o](benchmark::State& s) {
                Prepis(s, o.vzor, o.operace);
            }));
        for (auto o = std::rbegin(Prepisujici); o != std::rend(Prepisujici); ++o)
            nastavit(benchmark::RegisterBenchmark((std::string("Kopie+") + o->nazev).c_str(),
                                                  [o = *o](benchmark::State& s) {
                                                      KopieAPrepis(s, o.vzor, o.operace);
                                                  }));
    }
}

// The console table as usual, keeping the real time per iteration of every
// run for the summary.
class TZapisovac : public benchmark::ConsoleReporter {
public:
    explicit TZapisovac(bool barvy) : ConsoleReporter(barvy ? OO_ColorTabular : OO_Tabular) {}

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred) continue;
            const Klic k{r.run_name.function_name, r.run_name.args};
            for (const bool cpu : {false, true}) {
                const double t = cpu ? r.GetAdjustedCPUTime() : r.GetAdjustedRealTime();
                if (r.run_type == Run::RT_Iteration)
                    casy_[{k, cpu}].push_back(t);
                else if (r.aggregate_name == "median")
                    mediany_[{k, cpu}] = t;
            }
        }
    }

    // Median time per pass in milliseconds (real or CPU), if the run took place.
    std::optional<double> Cas(const std::string& nazev, std::int64_t n, bool cpu) const {
        const std::pair<Klic, bool> k{{nazev, std::to_string(n)}, cpu};
        if (auto m = mediany_.find(k); m != mediany_.end()) return m->second;
        auto c = casy_.find(k);
        if (c == casy_.end() || c->second.empty()) return std::nullopt;
        std::vector<double> v = c->second;
        std::sort(v.begin(), v.end());
        const std::size_t s = v.size() / 2;
        return v.size() % 2 ? v[s] : (v[s - 1] + v[s]) / 2;
    }

private:
    using Klic = std::pair<std::string, std::string>;
    std::map<std::pair<Klic, bool>, std::vector<double>> casy_;
    std::map<std::pair<Klic, bool>, double> mediany_;
};

void VypsatSouhrn(const TZapisovac& z) {
    if (std::none_of(std::begin(Velikosti), std::end(Velikosti),
                     [&](std::int64_t n) { return z.Cas("Kopie", n, false).has_value(); }))
        return;
    std::printf("\nRewriting operations against one copy of the same lines (ms per pass, median over\n"
                "repetitions; \"alone\": copy made with the clock stopped; \"copy+op-copy\": both timed,\n"
                "minus the copy benchmark, CPU time):\n");
    std::printf("%10s  %-18s %11s %7s %11s %7s %13s %7s\n", "lines", "operation", "alone real",
                "x copy", "alone CPU", "x copy", "copy+op-copy", "x copy");
    // Both CPU estimates are shown; the target is judged on the first.
    bool cil = false, splnen = true;
    double nejhorsi = 0;
    std::string nejhorsiNazev;
    for (const std::int64_t n : Velikosti) {
        const std::optional<double> kopie = z.Cas("Kopie", n, false);
        const std::optional<double> kopieCpu = z.Cas("Kopie", n, true);
        if (!kopie || !kopieCpu) continue;
        std::printf("%10lld  %-18s %11.2f %7.2f %11.2f %7.2f\n", static_cast<long long>(n),
                    "copy of the lines", *kopie, 1.0, *kopieCpu, 1.0);
        for (const TOperace& o : Prepisujici) {
            const std::optional<double> sama = z.Cas(o.nazev, n, false);
            const std::optional<double> samaCpu = z.Cas(o.nazev, n, true);
            const std::optional<double> sKopii = z.Cas(std::string("Kopie+") + o.nazev, n, true);
            if (!sama && !sKopii) continue;
            std::printf("%10lld  %-18s", static_cast<long long>(n), o.nazev);
            if (sama && samaCpu)
                std::printf(" %11.2f %7.2f %11.2f %7.2f", *sama, *sama / *kopie, *samaCpu,
                            *samaCpu / *kopieCpu);
            else
                std::printf(" %11s %7s %11s %7s", "-", "-", "-", "-");
            if (sKopii)
                std::printf(" %13.2f %7.2f", *sKopii - *kopieCpu, (*sKopii - *kopieCpu) / *kopieCpu);
            std::printf("\n");
            if (n == VelikostCile && samaCpu) {
                // Judged on the operation alone in CPU time: on a shared machine
                // the real time also counts the waits for a core.
                const double pomer = *samaCpu / *kopieCpu;
                cil = true;
                if (pomer > NejvyssiPomerCile) splnen = false;
                if (pomer > nejhorsi) {
                    nejhorsi = pomer;
                    nejhorsiNazev = o.nazev;
                }
            }
        }
    }
    if (cil)
        std::printf("\nTarget at %lld lines: every rewriting operation alone at most %.0fx one copy "
                    "(CPU time): %s (worst %.2fx, %s)\n",
                    static_cast<long long>(VelikostCile), NejvyssiPomerCile,
                    splnen ? "met" : "MISSED", nejhorsi, nejhorsiNazev.c_str());
}

void VypsatSouhrnUtf8(const TZapisovac& z) {
    std::printf("\nThe passes over the UTF-8 text in one buffer against one copy of its bytes\n"
                "(ms per pass, median, CPU time):\n");
    std::printf("%10s  %-28s %9s %8s\n", "lines", "pass", "CPU ms", "x copy");
    for (const std::int64_t n : Velikosti) {
        const std::optional<double> kopie = z.Cas("Utf8_KopieTextu", n, true);
        if (!kopie) continue;
        std::printf("%10lld  %-28s %9.2f %8.2f\n", static_cast<long long>(n), "copy of the bytes", *kopie, 1.0);
        for (const std::string nazev : {"Utf8_Pocty", "Utf8_ZavestBloky", "Utf8_PrecislovatBloky",
                                        "Utf8_OdstranitBloky", "Utf8_PrecislovatBloky_dialog"})
            if (const std::optional<double> t = z.Cas(nazev, n, true))
                std::printf("%10lld  %-28s %9.2f %8.2f\n", static_cast<long long>(n), nazev.c_str(), *t, *t / *kopie);
    }
}

}  // namespace

// Colours as the library's own console output has them: on a terminal, unless
// --benchmark_color says otherwise.
bool Barvy(int argc, char** argv) {
    bool barvy = ::isatty(STDOUT_FILENO) != 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        constexpr std::string_view volba = "--benchmark_color=";
        if (a.substr(0, volba.size()) != volba) continue;
        const std::string_view h = a.substr(volba.size());
        if (h == "true" || h == "yes" || h == "1") barvy = true;
        else if (h == "false" || h == "no" || h == "0") barvy = false;
    }
    return barvy;
}

// Every pass allocates and frees some hundred megabytes at 1,000,000 lines. By
// default glibc hands freed memory at the top of the heap back to the system
// and takes large blocks with mmap, so that each iteration pays again for
// fresh pages (on a virtual machine several microseconds a page): the figures
// then measure the kernel's page faults more than the copy or the pass. The
// heap is therefore kept: all iterations run on memory the process already
// has, the steady state of a program that has done one pass before.
void UdrzetHaldu() {
#ifdef __GLIBC__
    mallopt(M_MMAP_MAX, 0);
    mallopt(M_TRIM_THRESHOLD, std::numeric_limits<int>::max());
#endif
}

int main(int argc, char** argv) {
    UdrzetHaldu();
    Registrovat();
    const bool barvy = Barvy(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TZapisovac zapisovac(barvy);
    benchmark::RunSpecifiedBenchmarks(&zapisovac);
    VypsatSouhrnUtf8(zapisovac);
    VypsatSouhrn(zapisovac);
    benchmark::Shutdown();
    return 0;
}
