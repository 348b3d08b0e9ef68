#include "common/app_paths.h"

#include <cstdlib>
#include <string>
#include <system_error>
#include <vector>

#include <pwd.h>
#include <unistd.h>

namespace quelm {
namespace {

namespace fs = std::filesystem;

// An environment variable that is set and not empty.
std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::string(value) : std::string();
}

fs::path HomeDir() {
    if (std::string home = Env("HOME"); !home.empty()) {
        return home;
    }
    // No $HOME (a service, a stripped environment): ask the password database.
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr && found->pw_dir != nullptr) {
        return found->pw_dir;
    }
    return fs::current_path();
}

// A base folder from an XDG variable; relative values are invalid there and ignored.
fs::path XdgDir(const char* variable, const fs::path& fallbackUnderHome) {
    const fs::path value = Env(variable);
    if (!value.empty() && value.is_absolute()) {
        return value;
    }
    return HomeDir() / fallbackUnderHome;
}

fs::path ExecutableDir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? fs::path() : exe.parent_path();
}

// A folder of the user's data, made if missing. One that cannot be made shows up when a file
// is written there, with the message that belongs to that step.
fs::path DataDir(const char* name) {
    const fs::path dir = XdgDir("XDG_DATA_HOME", fs::path(".local") / "share") / "quelm" / name;
    std::error_code ec;
    fs::create_directories(dir, ec);
    return dir;
}

}  // namespace

fs::path SettingsPath(const fs::path& commandLineOverride) {
    if (!commandLineOverride.empty()) {
        return commandLineOverride;
    }
    if (std::string config = Env("QUELM_CONFIG"); !config.empty()) {
        return config;
    }
    return XdgDir("XDG_CONFIG_HOME", ".config") / "quelm" / "Quelm.ini";
}

fs::path LogsDir() {
    return DataDir("logs");
}

fs::path UserMafDir() {
    return DataDir("maflib");
}

std::vector<fs::path> MafLibCandidates(const fs::path& exeDir) {
    std::vector<fs::path> dirs;
    if (!exeDir.empty()) {
        dirs.push_back(exeDir / "maflib");
        dirs.push_back((exeDir / QUELM_BIN_TO_DATADIR / "quelm" / "maflib").lexically_normal());
    }
    dirs.push_back(fs::path(QUELM_INSTALL_DATADIR) / "quelm" / "maflib");
    return dirs;
}

fs::path MafLibDir() {
    const std::vector<fs::path> dirs = MafLibCandidates(ExecutableDir());
    for (const fs::path& dir : dirs) {
        std::error_code ec;
        if (fs::is_directory(dir, ec)) {
            return dir;
        }
    }
    return dirs.back();
}

fs::path StockMafPath() {
    return MafLibDir() / "a9lstock.maf";
}

}  // namespace quelm
