#include "cli/export_inputs.h"

#include <gtest/gtest.h>

#include <fstream>

#include "files_log_test_support.h"

namespace quelm {
namespace {

TEST(ExportInputs, LiveSettingsComeFromTheSettingsFile) {
    testing::ScratchDir dir;
    const auto ini = dir / "Quelm.ini";
    std::ofstream(ini) << "[INJECTION]\r\nNUMCYL= 4.5\r\nBATCH=YES\r\nINJSIZE=0\r\n"
                          "[IGNITION]\r\nDIS=yes\r\n[MAP]\r\nTYPE=2\r\n[WIDEBAND]\r\nTYPE=DIY\r\n";
    const cli::ExportInputs in = cli::LoadExportInputs(ini);
    EXPECT_EQ(in.config.numcyl, "4");  // halves to even
    EXPECT_EQ(in.config.injsize, "19");
    EXPECT_EQ(in.config.vsscorrection, "1");
    EXPECT_TRUE(in.config.hasbatchfire);
    EXPECT_FALSE(in.config.hasdis);  // only the exact text "YES"
    EXPECT_EQ(in.config.map, MapOption::TwoBar);
    EXPECT_EQ(in.config.wideBand, WideBandOption::Diy);
}

TEST(ExportInputs, MissingFileGivesTheDefaults) {
    testing::ScratchDir dir;
    const cli::ExportInputs in = cli::LoadExportInputs(dir / "absent.ini");
    EXPECT_EQ(in.config.numcyl, "8");
    EXPECT_FALSE(in.config.hasbatchfire);
    EXPECT_EQ(in.config.map, MapOption::NoMap);
    EXPECT_EQ(in.config.wideBand, WideBandOption::NoWideBand);
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.ini"));
}

}  // namespace
}  // namespace quelm
