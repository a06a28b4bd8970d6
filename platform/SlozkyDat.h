// Where the program's own data files are looked for: the default file type
// list files.ftd and the language file tarvik.xml.
#pragma once

#include <filesystem>
#include <optional>
#include <vector>

// The folders, in order: the executable's own folder; the installation's
// share/tarvik (found from the executable's folder, so that an installed
// tree can move); then, except on Windows, the XDG data folders:
// $XDG_DATA_HOME/tarvik (~/.local/share/tarvik when unset) and tarvik in each
// folder of $XDG_DATA_DIRS (/usr/local/share and /usr/share when unset).
// Relative XDG folders are not valid and are left out.
std::vector<std::filesystem::path> SlozkyDat();

// The folder of the running executable, with its trailing separator.
std::filesystem::path SlozkaProgramu();

// The file of that name in the first folder that holds one (a file, not a
// folder); nothing when none does.
std::optional<std::filesystem::path> NajitSoubor(const std::vector<std::filesystem::path>& slozky,
                                                 const std::filesystem::path& jmeno);
