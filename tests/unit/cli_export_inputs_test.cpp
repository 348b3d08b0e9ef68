#include "cli/export_inputs.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "files/maf_table.h"

#include "files_test_support.h"

namespace quelm {
namespace {

// The vehicle settings reach the conversions (their rules are the vehicle configuration's); a
// missing settings file gives the defaults and is not created.
TEST(ExportInputs, LiveSettingsComeFromTheSettingsFile) {
    testing::ScratchDir dir;
    testing::Put(dir / "Quelm.ini",
                 "[INJECTION]\r\nNUMCYL= 4\r\nBATCH=YES\r\n[MAP]\r\nTYPE=2\r\n"
                 "[WIDEBAND]\r\nTYPE=DIY\r\n");
    const cli::ExportInputs in = cli::LoadExportInputs(dir / "Quelm.ini");
    EXPECT_EQ(in.config.numcyl, "4");
    EXPECT_TRUE(in.config.hasbatchfire);
    EXPECT_EQ(in.config.map, MapOption::TwoBar);
    EXPECT_EQ(in.config.wideBand, WideBandOption::Diy);
    EXPECT_EQ(cli::LoadExportInputs(dir / "absent.ini").config.numcyl, "8");
    EXPECT_FALSE(std::filesystem::exists(dir / "absent.ini"));
}

// The conversions read the MAF table: an export that skipped the curve wrote LOAD, HP and TQ
// from an all-zero table.
TEST(ExportInputs, ConfiguredMafCurveFillsTheConversionTable) {
    namespace fs = std::filesystem;
    testing::ScratchDir dir;
    std::string curve = "Volts , Kg/HR\r\n";
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        curve += std::to_string(i * 0.2) + "," + std::to_string(i * 10) + "\r\n";
    }
    std::ofstream(dir / "mine.maf") << curve;
    std::ofstream(dir / "Quelm.ini")
        << "[INJECTION]\r\nMAFFILE=" << (dir / "mine.maf").string() << "\r\n";
    const cli::ExportInputs in = cli::LoadExportInputs(dir / "Quelm.ini");
    EXPECT_TRUE(in.warnings.empty());
    EXPECT_DOUBLE_EQ(in.tables.maf[0].y, 0);
    EXPECT_DOUBLE_EQ(in.tables.maf[30].y, 300);
    EXPECT_DOUBLE_EQ(in.tables.maf[15].x, 3.0);

    // A missing curve falls back to the stock one (well over 100 kg/h at its top), with its
    // message.
    fs::remove(dir / "mine.maf");
    const cli::ExportInputs stock = cli::LoadExportInputs(dir / "Quelm.ini");
    ASSERT_FALSE(stock.warnings.empty());
    EXPECT_EQ(stock.warnings.front(), kMafNotFoundMessage);
    EXPECT_GT(stock.tables.maf[30].y, 100);
}

}  // namespace
}  // namespace quelm
