// Where the program keeps its files on this platform.
#pragma once

#include <filesystem>
#include <vector>

namespace quelm {

// --config wins, then $QUELM_CONFIG, then $XDG_CONFIG_HOME/quelm/Quelm.ini
// (default ~/.config/quelm/Quelm.ini).
std::filesystem::path SettingsPath(const std::filesystem::path& commandLineOverride = {});

// $XDG_DATA_HOME/quelm/logs (default ~/.local/share/quelm/logs), created on demand.
std::filesystem::path LogsDir();

// $XDG_DATA_HOME/quelm/maflib (default ~/.local/share/quelm/maflib), created on demand: where
// the user's own curves are saved, since the curve library may be read-only.
std::filesystem::path UserMafDir();

// The first of MafLibCandidates(folder of this executable) that exists, else the last of them.
std::filesystem::path MafLibDir();

// Where the curve library may be for a program in `exeDir`, in order: `maflib` beside it (a build
// tree), the data folder relative to it (an installed prefix, wherever it was installed or moved
// to), then the data folder of the prefix the program was configured for.
std::vector<std::filesystem::path> MafLibCandidates(const std::filesystem::path& exeDir);

// The stock curve: MafLibDir()/a9lstock.maf. It serves both as the default MAF path and as
// the fallback when the configured file is missing.
std::filesystem::path StockMafPath();

}  // namespace quelm
