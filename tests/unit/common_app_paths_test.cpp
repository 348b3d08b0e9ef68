#include "common/app_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "files_test_support.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

// Sets or clears an environment variable for one test and restores it afterwards.
class EnvVar {
  public:
    EnvVar(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) {
            old_ = old;
        }
        Set(name, value);
    }
    ~EnvVar() { Set(name_, old_ ? old_->c_str() : nullptr); }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

  private:
    static void Set(const char* name, const char* value) {
        value != nullptr ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    const char* name_;
    std::optional<std::string> old_;
};

class AppPathsTest : public ::testing::Test {
  protected:
    testing::ScratchDir dir_;
    const fs::path& home_ = dir_.path();
};

TEST_F(AppPathsTest, SettingsPathPrecedence) {
    EnvVar home("HOME", home_.c_str());
    EnvVar xdg("XDG_CONFIG_HOME", "/xdg/config");
    EnvVar config("QUELM_CONFIG", "/etc/quelm-test.ini");

    EXPECT_EQ(SettingsPath("/tmp/given.ini"), fs::path("/tmp/given.ini"));
    EXPECT_EQ(SettingsPath(), fs::path("/etc/quelm-test.ini"));
    {
        EnvVar noConfig("QUELM_CONFIG", "");
        EXPECT_EQ(SettingsPath(), fs::path("/xdg/config/quelm/Quelm.ini"));
    }
    {
        EnvVar noConfig("QUELM_CONFIG", nullptr);
        EnvVar relative("XDG_CONFIG_HOME", "relative/config");
        EXPECT_EQ(SettingsPath(), home_ / ".config/quelm/Quelm.ini");
        EnvVar unset("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(SettingsPath(), home_ / ".config/quelm/Quelm.ini");
    }
}

TEST_F(AppPathsTest, LogsDirIsCreatedOnDemand) {
    EnvVar home("HOME", home_.c_str());
    {
        EnvVar data("XDG_DATA_HOME", nullptr);
        const fs::path logs = LogsDir();
        EXPECT_EQ(logs, home_ / ".local/share/quelm/logs");
        EXPECT_TRUE(fs::is_directory(logs));
    }
    EnvVar data("XDG_DATA_HOME", (home_ / "data").c_str());
    const fs::path logs = LogsDir();
    EXPECT_EQ(logs, home_ / "data/quelm/logs");
    EXPECT_TRUE(fs::is_directory(logs));
}

TEST(AppPaths, MafLibraryAndUserGuideFromTheBuildTreeOrAnInstalledPrefix) {
    // The build copies maflib next to the programs, the unit tests included.
    const fs::path expected = fs::path(QUELM_BINARY_DIR) / "maflib";
    ASSERT_TRUE(fs::is_directory(expected));
    EXPECT_TRUE(fs::equivalent(MafLibDir(), expected)) << MafLibDir();
    EXPECT_EQ(StockMafPath(), MafLibDir() / "a9lstock.maf");

    // The candidates run from the build tree to the configured prefix.
    const fs::path configured = fs::path(QUELM_INSTALL_DATADIR) / "quelm" / "maflib";
    // Installed under any prefix: bin/ and share/ are siblings, whatever the prefix was when
    // the program was configured.
    const std::vector<fs::path> installed = MafLibCandidates("/opt/elsewhere/bin");
    ASSERT_EQ(installed.size(), 3U);
    EXPECT_EQ(installed[0], fs::path("/opt/elsewhere/bin/maflib"));
    EXPECT_EQ(installed[1], fs::path("/opt/elsewhere/share/quelm/maflib"));
    EXPECT_EQ(installed[2], configured);
    // Without a known executable folder only the configured prefix is left.
    EXPECT_EQ(MafLibCandidates({}), std::vector<fs::path>{configured});

    // The user guide comes from an installed prefix or the source tree.
    EXPECT_EQ(UserGuideCandidates("/opt/elsewhere/bin").front(),
              fs::path("/opt/elsewhere/share/doc/quelm/user-guide.md"));
    // A build tree has no installed guide: the one in the sources is shown.
    EXPECT_EQ(UserGuidePath(), fs::path(QUELM_SOURCE_DIR) / "docs" / "user-guide.md");
}

}  // namespace
}  // namespace quelm
