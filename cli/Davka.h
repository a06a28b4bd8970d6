// The batch tool: counts, introduces, renumbers or removes the block numbers
// of one program file from the command line.
#pragma once

#include "filetypes/SeznamTypu.h"
#include "platform/Registr.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Where the batch tool writes: the program text (standard output) and its
// messages (standard error).
class TVystupDavky {
public:
    virtual ~TVystupDavky() = default;
    // Returns false when the bytes could not be written.
    virtual bool Program(std::string_view bytes) = 0;
    // One message line, UTF-8, without its line end.
    virtual void Hlaseni(std::string_view radek) = 0;
};

struct TProstrediDavky {
    // The default file type list.
    std::filesystem::path SouborTypu;
    // Opens the settings store whose file type list and numbering settings
    // the tool follows, as the window does; the tool only reads it. Empty:
    // no store (files.ftd and the built-in defaults).
    std::function<std::unique_ptr<TRegistr>()> Registr;
    // The settings key in the store; its subkey TypySouboru holds the list.
    std::u16string KlicNastaveni{::KlicNastaveni};
};

// Exit codes: 0 done, 1 refused (the program's block lines do not fit the
// command), 2 usage error or a file that cannot be read or written.
int SpustitDavku(const std::vector<std::string>& argumenty, const TProstrediDavky& prostredi,
                 TVystupDavky& vystup);
