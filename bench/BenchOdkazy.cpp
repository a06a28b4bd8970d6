// References to block numbers: the cost of finding and following them, set
// against a plain renumbering of the same lines written as bytes into one
// output buffer (line views into one buffer, the way the byte-level text path
// works). Generated ISO programs of 10,000, 100,000 and 1,000,000 lines, as
// they are and with references added (a jump, a cycle's profile or a return
// on every 25th block). A summary after the table gives the renumbering with
// references against the plain one.
#include "GeneratorProgramu.h"
#include "engine/CNCEdit.h"
#include "engine/Odkazy.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::int64_t Velikosti[] = {10'000, 100'000, 1'000'000};
constexpr std::int64_t VelikostCile = 1'000'000;
constexpr double NejvyssiPomer = 1.5;
// Programs of this many lines at most, so that every block keeps a number of
// its own (the generator numbers 10, 20, ... up to 99990).
constexpr std::size_t RadkuProgramu = 8'000;

// The ISO milling type of the default list; numbered 1, 2, 3, ... so that
// every block of a program gets a number of its own.
const TZnakyOdkazu Znaky{":", "N", "%", "("};
const TCislovaniOdkazu Cislovani{1, 1, 9999, true};

struct TVzorek {
    std::string Bajty;
    std::vector<std::string_view> Radky;
    std::size_t Odkazu = 0;
};

std::vector<std::string_view> RozdelitNaRadky(std::string_view text) {
    std::vector<std::string_view> radky;
    while (!text.empty()) {
        const std::size_t konec = text.find('\n');
        std::string_view r = text.substr(0, konec);
        if (!r.empty() && r.back() == '\r') r.remove_suffix(1);
        radky.push_back(r);
        if (konec == std::string_view::npos) break;
        text.remove_prefix(konec + 1);
    }
    return radky;
}

enum class TDruh { BezOdkazu, SOdkazy };

const TVzorek& Vzorek(TDruh druh, std::size_t radku) {
    static std::map<std::pair<TDruh, std::size_t>, std::unique_ptr<TVzorek>> hotove;
    auto& v = hotove[{druh, radku}];
    if (!v) {
        TParametryGeneratoru p;
        p.Radku = radku;
        p.Programu = std::max<std::size_t>(1, radku / RadkuProgramu);
        v = std::make_unique<TVzorek>();
        p.Odkazy = druh == TDruh::SOdkazy;
        v->Odkazu = GenerovatProgram(v->Bajty, p);
        v->Radky = RozdelitNaRadky(v->Bajty);
    }
    return *v;
}

// The plain renumbering of the byte-level path: every line written anew into
// one buffer, the new number in place of the old front, CR LF after it; with
// the edits of the references merged in when there are any.
void PrecislovatBajty(const std::vector<std::string_view>& radky, std::string& cil,
                      std::span<const TUpravaOdkazu> upravy = {}) {
    const TPravidlaBloku pravidla(Znaky);
    TKurzorUprav kurzor(upravy);
    std::uint32_t cislo = Cislovani.PrvniBlok;
    char cifry[16];
    cil.clear();
    for (std::size_t i = 0; i < radky.size(); ++i) {
        const std::string_view r = radky[i];
        if (pravidla.JeZacatek(r)) cislo = Cislovani.PrvniBlok;
        const TPravidlaBloku::TBlok b = pravidla.Rozebrat(r);
        if (b.Blokovy) {
            if (b.Cislic > 0) {
                cil.append(r.substr(b.Odsazeni, b.Cislice - b.Odsazeni));
                cil.append(cifry, std::to_chars(cifry, cifry + sizeof cifry, cislo).ptr);
                cislo = TCNCFile::DalsiCislo(cislo, Cislovani.PrvniBlok, Cislovani.Prirustek,
                                             Cislovani.MaximalniBlok, Cislovani.CislovatOdZacatku);
            }
        }
        if (upravy.empty())
            cil.append(r.substr(b.Konec));
        else
            kurzor.Pripojit(cil, i, r, b.Konec);
        cil += "\r\n";
    }
}

void Popsat(benchmark::State& state, const TVzorek& v) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.Radky.size()));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(v.Bajty.size()));
    state.counters["lines"] = benchmark::Counter(static_cast<double>(v.Radky.size()));
    state.counters["refs"] = benchmark::Counter(static_cast<double>(v.Odkazu));
}

void Precislovani(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    std::string cil;
    cil.reserve(v.Bajty.size() + v.Bajty.size() / 4);
    PrecislovatBajty(v.Radky, cil);
    for (auto _ : state) {
        PrecislovatBajty(v.Radky, cil);
        benchmark::DoNotOptimize(cil.data());
    }
    Popsat(state, v);
}

void PrecislovaniSOdkazy(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    std::string cil;
    cil.reserve(v.Bajty.size() + v.Bajty.size() / 4);
    std::size_t upravy = 0;
    for (auto _ : state) {
        const TVysledekOdkazu o = PrecislovatOdkazy(v.Radky, Znaky, Cislovani);
        PrecislovatBajty(v.Radky, cil, o.Upravy);
        upravy = o.Upravy.size();
        benchmark::DoNotOptimize(cil.data());
    }
    Popsat(state, v);
    state.counters["edits"] = benchmark::Counter(static_cast<double>(upravy));
}

// The scanner alone: the first pass, which reads every line whole.
void Sken(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TOdkazyBloku o(Znaky, Cislovani);
        for (const std::string_view r : v.Radky) o.Radek(r);
        benchmark::DoNotOptimize(o);
    }
    Popsat(state, v);
}

// The listing of tarvik-cli refs: every reference and its target.
void Vypis(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const TVysledekOdkazu o = NajitOdkazy(v.Radky, Znaky);
        benchmark::DoNotOptimize(o.Odkazy.data());
    }
    Popsat(state, v);
}

struct TBeh {
    const char* nazev;
    void (*funkce)(benchmark::State&, TDruh);
};
constexpr TBeh Behy[] = {
    {"Precislovani", Precislovani},
    {"PrecislovaniSOdkazy", PrecislovaniSOdkazy},
    {"SkenOdkazu", Sken},
    {"VypisOdkazu", Vypis},
};

std::string Nazev(const TBeh& b, TDruh d) {
    return std::string(b.nazev) + (d == TDruh::SOdkazy ? "/refs" : "/plain");
}

void Registrovat() {
    for (const std::int64_t n : Velikosti)
        for (const TDruh d : {TDruh::BezOdkazu, TDruh::SOdkazy}) {
            Vzorek(d, static_cast<std::size_t>(n));
            for (const TBeh& b : Behy)
                benchmark::RegisterBenchmark(Nazev(b, d).c_str(), [f = b.funkce, d](benchmark::State& s) { f(s, d); })
                    ->Arg(n)
                    ->Unit(benchmark::kMillisecond);
        }
}

// The console table as usual, keeping the CPU time of every run for the summary.
class TZapisovac : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && (r.run_type == Run::RT_Iteration || r.aggregate_name == "median"))
                casy_[r.run_name.function_name + "/" + r.run_name.args] = r.GetAdjustedCPUTime();
    }
    std::optional<double> Cas(const std::string& nazev, std::int64_t n) const {
        const auto i = casy_.find(nazev + "/" + std::to_string(n));
        return i == casy_.end() ? std::nullopt : std::optional(i->second);
    }

private:
    std::map<std::string, double> casy_;
};

void VypsatSouhrn(const TZapisovac& z) {
    std::printf("\nRenumbering with references against the plain renumbering of the same lines\n"
                "(ms of CPU time per pass; the last of the repetitions, or their median):\n");
    std::printf("%10s  %-7s %10s %12s %8s %10s\n", "lines", "program", "plain", "with refs", "ratio", "scan");
    std::optional<double> cil;
    for (const std::int64_t n : Velikosti)
        for (const TDruh d : {TDruh::BezOdkazu, TDruh::SOdkazy}) {
            const auto prosty = z.Cas(Nazev(Behy[0], d), n);
            const auto sOdkazy = z.Cas(Nazev(Behy[1], d), n);
            const auto sken = z.Cas(Nazev(Behy[2], d), n);
            if (!prosty || !sOdkazy) continue;
            std::printf("%10lld  %-7s %10.2f %12.2f %8.2f %10.2f\n", static_cast<long long>(n),
                        d == TDruh::SOdkazy ? "refs" : "plain", *prosty, *sOdkazy, *sOdkazy / *prosty,
                        sken.value_or(0));
            if (n == VelikostCile && d == TDruh::SOdkazy) cil = *sOdkazy / *prosty;
        }
    if (cil)
        std::printf("\nTarget at %lld lines with references: at most %.1fx the plain renumbering: %s (%.2fx)\n",
                    static_cast<long long>(VelikostCile), NejvyssiPomer, *cil <= NejvyssiPomer ? "met" : "MISSED",
                    *cil);
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Registrovat();
    TZapisovac zapisovac;
    benchmark::RunSpecifiedBenchmarks(&zapisovac);
    VypsatSouhrn(zapisovac);
    benchmark::Shutdown();
    return 0;
}
