#include "Davka.h"

#include "filetypes/TypSouboru.h"
#include "katalog/JazykUzivatele.h"
#include "platform/Registr.h"
#include "platform/SlozkyDat.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

class TStandardniVystup final : public TVystupDavky {
public:
    bool Program(std::string_view bytes) override {
        if (!bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size())
            return false;
        return std::fflush(stdout) == 0;
    }
    void Hlaseni(std::string_view radky) override {
        // One write: standard error is not buffered.
        std::string s(radky);
        s += '\n';
        std::fwrite(s.data(), 1, s.size(), stderr);
    }
    bool Terminal() const override { return terminal_; }

private:
#ifdef _WIN32
    const bool terminal_ = _isatty(_fileno(stderr)) != 0;
#else
    const bool terminal_ = isatty(fileno(stderr)) != 0;
#endif
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
#ifdef SIGXFSZ
    // A file size limit (ulimit -f) fails the write (EFBIG) as a full disk does, instead of ending the tool.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    std::vector<std::string> argumenty(argv + 1, argv + argc);
    TProstrediDavky prostredi;
    prostredi.SouborTypu = CestaVychozichTypu();
    prostredi.Registr = [] { return VytvoritRegistr(); };
    // The window's language file where the program's data files are.
    prostredi.SouborJazyku = NajitSoubor(SlozkyDat(), "tarvik.xml").value_or(std::filesystem::path());
    prostredi.JazykZProstredi = JazykProstredi();
    TStandardniVystup vystup;
    return SpustitDavku(argumenty, prostredi, vystup);
}
