#include "Davka.h"

#include "filetypes/TypSouboru.h"
#include "platform/Registr.h"
#include "platform/SlozkyDat.h"

#include <csignal>
#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
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
    TStandardniVystup vystup;
    return SpustitDavku(argumenty, prostredi, vystup);
}
