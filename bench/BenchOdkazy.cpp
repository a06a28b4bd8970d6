// References to block numbers: the renumber command that updates them set
// against the plain renumber command (a file type that reads none), on the
// same text, both run through the engine's passes as the batch tool runs
// them (a first pass that counts or finds the references, then the
// rewriting pass into the output buffer), the reference pass made as the
// command layer makes it (OdkazyPrikazu). Generated ISO programs of 10,000,
// 100,000 and 1,000,000 lines, as they are and with references (a jump, a
// cycle's profile or a return on every 25th block). Each pass is also timed
// alone, the listing of tarvik-cli refs, the renumber that keeps the
// references and reports those that now lead elsewhere (--keep-references),
// and introducing into the same programs without their numbers, plain and
// with the pass that tells which references land on new blocks, and the
// renumber for a type that reads no family (the pass still tells the words
// another control reads). A summary after the table gives the commands side
// by side. --lines N[,N...] chooses the sizes (for 1x and 4x: 1000000,4000000).
#include "GeneratorProgramu.h"
#include "engine/CNCEdit.h"
#include "engine/Odkazy.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace {

std::vector<std::int64_t> Velikosti = {10'000, 100'000, 1'000'000};
// The target holds from this size on.
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
    std::size_t Radku = 0;
    std::size_t Odkazu = 0;
};

enum class TDruh { BezOdkazu, SOdkazy };

// The families the benchmark's type reads: those of a .nc type without its
// own (every family the generator writes).
constexpr TDruhyOdkazu Druhy = TDruhyOdkazu::Dosavadni();

class TPrikaz;
std::string BezCisel(std::string_view text);

// The program; bezCisel: the same without its block numbers, for introducing.
const TVzorek& Vzorek(TDruh druh, std::size_t radku, bool bezCisel = false) {
    static std::map<std::tuple<TDruh, std::size_t, bool>, std::unique_ptr<TVzorek>> hotove;
    auto& v = hotove[{druh, radku, bezCisel}];
    if (!v) {
        v = std::make_unique<TVzorek>();
        if (bezCisel) {
            const TVzorek& cislovany = Vzorek(druh, radku);
            v->Bajty = BezCisel(cislovany.Bajty);
            v->Odkazu = cislovany.Odkazu;
        } else {
            TParametryGeneratoru p;
            p.Radku = radku;
            p.Programu = std::max<std::size_t>(1, radku / RadkuProgramu);
            p.Odkazy = druh == TDruh::SOdkazy;
            v->Odkazu = GenerovatProgram(v->Bajty, p);
        }
        v->Radku = radku;
    }
    return *v;
}

// The renumber command as the batch tool runs it: a first pass over the text
// (the line and block counts that the rewriting needs; with references, the
// reference pass, which counts as it reads), then the rewriting pass into
// the output buffer, which hands on its pieces of a megabyte (here to
// nobody); with references, the rest of the lines through the edits.
class TPrikaz {
public:
    explicit TPrikaz(cnc::TPrikaz prikaz = cnc::TPrikaz::Precislovat)
        : hlavni_(u":"), vedlejsi_(u"N"), zacatek_(u"%"), konec_(u"M30"), komentar_(u"("),
          vystup_([this](std::string_view kus) {
              bajtu_ += kus.size();
              if (zachytit_) zachytit_->append(kus);
          }) {
        z_.Prikaz = prikaz;
        z_.HlavniZnak = hlavni_.Znacka();
        z_.VedlejsiZnak = vedlejsi_.Znacka();
        z_.Zacatek = zacatek_.Znacka();
        z_.Konec = konec_.Znacka();
        z_.Komentar = komentar_.Znacka();
        z_.PrvniBlok = Cislovani.PrvniBlok;
        z_.Prirustek = Cislovani.Prirustek;
        z_.MaximalniBlok = Cislovani.MaximalniBlok;
        z_.CislovatOdZacatku = Cislovani.CislovatOdZacatku;
    }

    // The first pass alone: the counts, or the references (which count too).
    cnc::TPocty Spocitat(std::string_view text) const {
        cnc::TPocitadlo<char> p(z_.HlavniZnak, z_.VedlejsiZnak);
        p.Pridat(text);
        return p.Pocty();
    }
    // The command's reference pass, as the command layer makes it: it keeps
    // only what the report names.
    TVysledekOdkazu NajitOdkazy(std::string_view text, cnc::TPocty& pocty, bool upravovat = true,
                                TDruhyOdkazu druhy = Druhy) const {
        TOdkazyBloku o = OdkazyPrikazu(z_, druhy, upravovat);
        o.NechatJenNevyresene();
        o.Pridat(text);
        pocty = o.Pocty();
        return o.Dokoncit();
    }
    // The rewriting pass alone; its output into zachytit, when given.
    void Prepsat(std::string_view text, std::size_t radku, std::span<const TUpravaOdkazu> upravy = {},
                 std::string* zachytit = nullptr) {
        zachytit_ = zachytit;
        TKurzorUprav kurzor(upravy);
        std::optional<TZbytkySUpravami> zbytky;
        if (!upravy.empty()) zbytky.emplace(kurzor);
        {
            cnc::TPruchod<char> p(z_, radku, vystup_);
            p.PsatZbytky(zbytky ? &*zbytky : nullptr);
            p.Pridat(text);
        }
        vystup_.Odevzdat();
        zachytit_ = nullptr;
        benchmark::DoNotOptimize(bajtu_);
    }
    // The whole command; the edits it made.
    std::size_t Precislovat(std::string_view text, bool odkazy, TDruhyOdkazu druhy = Druhy) {
        cnc::TPocty pocty;
        if (!odkazy) {
            pocty = Spocitat(text);
            Prepsat(text, pocty.Radku);
            return 0;
        }
        const TVysledekOdkazu o = NajitOdkazy(text, pocty, true, druhy);
        Prepsat(text, pocty.Radku, o.Upravy);
        return o.Upravy.size();
    }
    // The command that keeps the references (renumbering), or introducing:
    // the reference pass reports those that now lead elsewhere, or to new
    // blocks; the rewriting pass edits none. The references it reports.
    std::size_t SHlasenim(std::string_view text) {
        cnc::TPocty pocty;
        const TVysledekOdkazu o = NajitOdkazy(text, pocty, false);
        Prepsat(text, pocty.Radku);
        return o.Odkazy.size();
    }

private:
    cnc::TZnackaUtf8 hlavni_, vedlejsi_, zacatek_, konec_, komentar_;
    cnc::TZadani<char> z_;
    std::size_t bajtu_ = 0;
    std::string* zachytit_ = nullptr;
    cnc::TVystup<char> vystup_;
};

// The text with its block numbers removed, as the remove command leaves it.
std::string BezCisel(std::string_view text) {
    TPrikaz odstraneni(cnc::TPrikaz::Odstranit);
    std::string vysledek;
    odstraneni.Prepsat(text, odstraneni.Spocitat(text).Radku, {}, &vysledek);
    return vysledek;
}

void Popsat(benchmark::State& state, const TVzorek& v) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(v.Radku));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(v.Bajty.size()));
    state.counters["lines"] = benchmark::Counter(static_cast<double>(v.Radku));
    state.counters["refs"] = benchmark::Counter(static_cast<double>(v.Odkazu));
}

// The renumber command without the references (--keep-references).
void Precislovani(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    TPrikaz p;
    for (auto _ : state) p.Precislovat(v.Bajty, false);
    Popsat(state, v);
}

// The renumber command that updates the references (the default).
void PrecislovaniSOdkazy(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    TPrikaz p;
    std::size_t upravy = 0;
    for (auto _ : state) upravy = p.Precislovat(v.Bajty, true);
    Popsat(state, v);
    state.counters["edits"] = benchmark::Counter(static_cast<double>(upravy));
}

// The renumber command that keeps the references and reports them (--keep-references).
void PrecislovaniBezUprav(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    TPrikaz p;
    std::size_t hlaseno = 0;
    for (auto _ : state) hlaseno = p.SHlasenim(v.Bajty);
    Popsat(state, v);
    state.counters["reported"] = benchmark::Counter(static_cast<double>(hlaseno));
}

// The renumber command for a type that reads no family, as the command
// layer runs it: its reference pass finds no reference but tells the words
// another control reads as one; then the rewriting pass.
void PrecislovaniBezRodin(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    TPrikaz p;
    for (auto _ : state) p.Precislovat(v.Bajty, true, TDruhyOdkazu{});
    Popsat(state, v);
}

// Introducing into the program without its numbers, as a type that reads no
// references does it: the count pass and the rewriting pass.
void Zavedeni(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)), true);
    TPrikaz p(cnc::TPrikaz::Zavest);
    for (auto _ : state) p.Prepsat(v.Bajty, p.Spocitat(v.Bajty).Radku);
    Popsat(state, v);
}

// Introducing with the pass that tells which references land on new blocks.
void ZavedeniSOdkazy(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)), true);
    TPrikaz p(cnc::TPrikaz::Zavest);
    std::size_t hlaseno = 0;
    for (auto _ : state) hlaseno = p.SHlasenim(v.Bajty);
    Popsat(state, v);
    state.counters["reported"] = benchmark::Counter(static_cast<double>(hlaseno));
}

// The rewriting pass alone, as both commands end.
void Prepis(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    TPrikaz p;
    for (auto _ : state) p.Prepsat(v.Bajty, v.Radku);
    Popsat(state, v);
}

// The count pass alone, the first pass of the plain renumber.
void Pocty(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    const TPrikaz p;
    for (auto _ : state) benchmark::DoNotOptimize(p.Spocitat(v.Bajty));
    Popsat(state, v);
}

// The reference pass of the renumber alone, in place of the count pass.
void Sken(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    const TPrikaz p;
    cnc::TPocty pocty;
    for (auto _ : state) benchmark::DoNotOptimize(p.NajitOdkazy(v.Bajty, pocty));
    Popsat(state, v);
}

// The listing of tarvik-cli refs: every reference and its target.
void Vypis(benchmark::State& state, TDruh druh) {
    const TVzorek& v = Vzorek(druh, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        TOdkazyBloku o(Znaky);
        o.Pridat(v.Bajty);
        const TVysledekOdkazu r = o.Dokoncit();
        benchmark::DoNotOptimize(r.Odkazy.data());
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
    {"Pocty", Pocty},
    {"SkenOdkazu", Sken},
    {"Prepis", Prepis},
    {"VypisOdkazu", Vypis},
    {"PrecislovaniBezUprav", PrecislovaniBezUprav},
    {"Zavedeni", Zavedeni},
    {"ZavedeniSOdkazy", ZavedeniSOdkazy},
    {"PrecislovaniBezRodin", PrecislovaniBezRodin},
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
                    ->Unit(benchmark::kMillisecond)
                    ->ComputeStatistics("min", [](const std::vector<double>& v) {
                        return *std::min_element(v.begin(), v.end());
                    });
        }
}

// The console table as usual, keeping the CPU time of every run for the summary.
class TZapisovac : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs)
            if (!r.error_occurred && (r.run_type == Run::RT_Iteration || r.aggregate_name == "min"))
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
    std::printf("\nThe renumber command with references against the plain one on the same text\n"
                "(ms of CPU time; the best of the repetitions, or of one run). plain: the count\n"
                "pass and the rewriting pass; with refs: the reference pass and the rewriting pass\n"
                "with the edits; then the passes alone; kept refs: the command that keeps the\n"
                "references and reports those that now lead elsewhere; introduce: into the same\n"
                "text without its numbers, plain and with the pass that reports the references;\n"
                "no families: the renumber of a type that reads none, which tells the words\n"
                "another control reads:\n");
    std::printf("%10s  %-7s %9s %10s %6s %9s %9s %9s %10s %6s %9s %10s %6s %11s %6s\n", "lines", "program", "plain",
                "with refs", "ratio", "count", "refs pass", "rewrite", "kept refs", "ratio", "introduce",
                "with refs", "ratio", "no families", "ratio");
    std::map<std::int64_t, double> cil, cilBezUprav, cilZavedeni, cilBezRodin;
    for (const std::int64_t n : Velikosti)
        for (const TDruh d : {TDruh::BezOdkazu, TDruh::SOdkazy}) {
            const auto cas = [&](std::size_t b) { return z.Cas(Nazev(Behy[b], d), n); };
            const auto prosty = cas(0), sOdkazy = cas(1), bezUprav = cas(6), zavedeni = cas(7), zavedeniSOdkazy = cas(8),
                       bezRodin = cas(9);
            if (!prosty || !sOdkazy) continue;
            const auto pomer = [](std::optional<double> a, std::optional<double> b) {
                return a && b && *b > 0 ? *a / *b : 0.0;
            };
            std::printf(
                "%10lld  %-7s %9.2f %10.2f %6.2f %9.2f %9.2f %9.2f %10.2f %6.2f %9.2f %10.2f %6.2f %11.2f %6.2f\n",
                static_cast<long long>(n), d == TDruh::SOdkazy ? "refs" : "plain", *prosty, *sOdkazy, *sOdkazy / *prosty,
                cas(2).value_or(0), cas(3).value_or(0), cas(4).value_or(0), bezUprav.value_or(0),
                pomer(bezUprav, prosty), zavedeni.value_or(0), zavedeniSOdkazy.value_or(0),
                pomer(zavedeniSOdkazy, zavedeni), bezRodin.value_or(0), pomer(bezRodin, prosty));
            if (n >= VelikostCile && d == TDruh::SOdkazy) {
                cil[n] = *sOdkazy / *prosty;
                if (bezUprav) cilBezUprav[n] = pomer(bezUprav, prosty);
                if (zavedeni && zavedeniSOdkazy) cilZavedeni[n] = pomer(zavedeniSOdkazy, zavedeni);
                if (bezRodin) cilBezRodin[n] = pomer(bezRodin, prosty);
            }
        }
    const auto cilovy = [](const char* co, const std::map<std::int64_t, double>& pomery) {
        for (const auto& [n, pomer] : pomery)
            std::printf("%s at %lld lines with references: at most %.1fx the plain command: %s (%.2fx)\n", co,
                        static_cast<long long>(n), NejvyssiPomer, pomer <= NejvyssiPomer ? "met" : "MISSED", pomer);
    };
    std::printf("\n");
    cilovy("Target: renumbering", cil);
    cilovy("Kept references", cilBezUprav);
    cilovy("Introducing", cilZavedeni);
    cilovy("No families", cilBezRodin);
}

}  // namespace

// --lines N[,N...]: the sizes instead of the default ones; taken out of argv.
bool PrecistVelikosti(int& argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const bool rovno = std::strncmp(argv[i], "--lines=", 8) == 0;
        if (!rovno && std::strcmp(argv[i], "--lines") != 0) continue;
        const char* text = rovno ? argv[i] + 8 : (i + 1 < argc ? argv[i + 1] : "");
        Velikosti.clear();
        for (char* konec = nullptr;; text = konec + 1) {
            const long long n = std::strtoll(text, &konec, 10);
            if (konec == text || n <= 0) return false;
            Velikosti.push_back(n);
            if (*konec != ',') break;
        }
        const int pryc = rovno ? 1 : 2;
        for (int k = i; k + pryc <= argc; ++k) argv[k] = argv[k + pryc];
        argc -= pryc;
        return true;
    }
    return true;
}

int main(int argc, char** argv) {
    if (!PrecistVelikosti(argc, argv)) {
        std::fprintf(stderr, "--lines takes sizes separated by commas: --lines 1000000,4000000\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    Registrovat();
    TZapisovac zapisovac;
    benchmark::RunSpecifiedBenchmarks(&zapisovac);
    VypsatSouhrn(zapisovac);
    benchmark::Shutdown();
    return 0;
}
