// Where the program keeps its files on this platform.
#pragma once

#include <filesystem>

namespace quelm {

// --config wins, then $QUELM_CONFIG, then $XDG_CONFIG_HOME/quelm/Quelm.ini
// (default ~/.config/quelm/Quelm.ini).
std::filesystem::path SettingsPath(const std::filesystem::path& commandLineOverride = {});

// $XDG_DATA_HOME/quelm/logs (default ~/.local/share/quelm/logs), created on demand.
std::filesystem::path LogsDir();

// The maflib folder beside the executable in a build tree, else <prefix>/share/quelm/maflib.
std::filesystem::path MafLibDir();

// The stock curve: MafLibDir()/a9lstock.maf. It serves both as the default MAF path and as
// the fallback when the configured file is missing.
std::filesystem::path StockMafPath();

}  // namespace quelm
