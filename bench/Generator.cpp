// tarvik-gen: writes a realistic NC program of a given number of lines, for
// the benchmarks and for trying the batch tool on large files.
#include "GeneratorProgramu.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

namespace {

constexpr const char* Napoveda =
    "Usage: tarvik-gen [options]\n"
    "\n"
    "Writes a realistic NC program, the same bytes on every run.\n"
    "\n"
    "  --style iso|conversational   ISO milling program with %, O-number, N block\n"
    "                               numbers (increment 10, ':' at tool changes) and\n"
    "                               comments in parentheses (default); or a\n"
    "                               conversational program numbered with bare digits\n"
    "                               between BEGIN PGM and END PGM, '; ' comments\n"
    "  --lines N                    lines in the file (default 1000)\n"
    "  --programs K                 programs in the file (default 1)\n"
    "  --unnumbered                 no block numbers (a program to introduce them into)\n"
    "  --refs                       ISO: every 25th block a reference to another\n"
    "                               block of its program (GOTO, IF .. GOTO, G71 P Q,\n"
    "                               M99 P); use programs of at most 8000 lines\n"
    "                               (--programs) for numbers of their own\n"
    "  --lf                         LF line ends (default CR LF)\n"
    "  --seed S                     another fixed seed (default: the built-in one)\n"
    "  --files N                    N programs into the folder -o names (created\n"
    "                               when missing), p00001.nc, p00002.nc, ..., each\n"
    "                               with the next seed\n"
    "  -o FILE                      write to FILE (default: standard output)\n"
    "  -h, --help                   show this help\n";

bool Cislo(std::string_view text, std::uint64_t& n) {
    if (text.empty()) return false;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), n);
    return r.ec == std::errc() && r.ptr == text.data() + text.size();
}

// Writes the bytes to the file (nullptr: standard output); false after telling why.
bool Zapsat(const std::string& bajty, const char* soubor) {
    std::FILE* f = soubor ? std::fopen(soubor, "wb") : stdout;
    if (!f) {
        std::fprintf(stderr, "tarvik-gen: cannot create %s: %s\n", soubor, std::strerror(errno));
        return false;
    }
    const bool zapsano = std::fwrite(bajty.data(), 1, bajty.size(), f) == bajty.size();
    const bool zavreno = f == stdout ? std::fflush(f) == 0 : std::fclose(f) == 0;
    if (!zapsano || !zavreno) {
        std::fprintf(stderr, "tarvik-gen: cannot write %s: %s\n", soubor ? soubor : "to standard output",
                     std::strerror(errno));
        if (soubor) std::remove(soubor);
        return false;
    }
    return true;
}

int ChybaPouziti(const std::string& zprava) {
    std::fprintf(stderr, "tarvik-gen: %s\nTry 'tarvik-gen --help' for more information.\n",
                 zprava.c_str());
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    TParametryGeneratoru p;
    std::string vystup;
    std::uint64_t souboru = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const auto hodnota = [&](std::string_view& h) {
            if (i + 1 >= argc) return false;
            h = argv[++i];
            return true;
        };
        std::string_view h;
        std::uint64_t n = 0;
        if (a == "-h" || a == "--help") {
            std::fputs(Napoveda, stdout);
            return 0;
        } else if (a == "--style") {
            if (!hodnota(h)) return ChybaPouziti("--style needs a value");
            if (h == "iso") p.Styl = TStylProgramu::Iso;
            else if (h == "conversational") p.Styl = TStylProgramu::Dialogovy;
            else return ChybaPouziti("--style is iso or conversational, not '" + std::string(h) + "'");
        } else if (a == "--lines" || a == "--programs" || a == "--seed" || a == "--files") {
            if (!hodnota(h) || !Cislo(h, n) || (n == 0 && a != "--seed"))
                return ChybaPouziti(std::string(a) + " needs a whole number" +
                                    (a == "--seed" ? "" : " above 0"));
            if (a == "--lines") p.Radku = n;
            else if (a == "--programs") p.Programu = n;
            else if (a == "--files") souboru = n;
            else p.Semeno = n;
        } else if (a == "--unnumbered") {
            p.Cislovat = false;
        } else if (a == "--refs") {
            p.Odkazy = true;
        } else if (a == "--lf") {
            p.CrLf = false;
        } else if (a == "-o") {
            if (!hodnota(h) || h.empty()) return ChybaPouziti("-o needs a file name");
            vystup = h;
        } else {
            return ChybaPouziti("unknown option '" + std::string(a) + "'");
        }
    }

    if (souboru > 0) {
        // A folder of programs, for the batch tool's folder mode.
        if (vystup.empty()) return ChybaPouziti("--files needs the folder as -o FOLDER");
        std::error_code ec;
        std::filesystem::create_directories(vystup, ec);
        std::size_t celkem = 0;
        for (std::uint64_t i = 1; i <= souboru; ++i) {
            std::string bajty;
            try {
                GenerovatProgram(bajty, p);
            } catch (const TChybaGeneratoru& e) {
                return ChybaPouziti(e.what());
            }
            char jmeno[32];
            std::snprintf(jmeno, sizeof jmeno, "p%05llu.nc", static_cast<unsigned long long>(i));
            if (!Zapsat(bajty, (std::filesystem::path(vystup) / jmeno).string().c_str())) return 2;
            celkem += bajty.size();
            ++p.Semeno;
        }
        std::fprintf(stderr, "tarvik-gen: %llu programs of %zu lines, %zu bytes, written to %s\n",
                     static_cast<unsigned long long>(souboru), p.Radku, celkem, vystup.c_str());
        return 0;
    }

    std::string bajty;
    std::size_t odkazu = 0;
    try {
        odkazu = GenerovatProgram(bajty, p);
    } catch (const TChybaGeneratoru& e) {
        return ChybaPouziti(e.what());
    }
    if (!Zapsat(bajty, vystup.empty() ? nullptr : vystup.c_str())) return 2;
    std::fprintf(stderr, "tarvik-gen: %zu lines, %zu bytes (%.1f bytes a line), %zu references%s%s\n", p.Radku,
                 bajty.size(), static_cast<double>(bajty.size()) / static_cast<double>(p.Radku), odkazu,
                 vystup.empty() ? "" : " written to ", vystup.c_str());
    return 0;
}
