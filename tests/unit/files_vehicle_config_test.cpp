#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "common/app_paths.h"
#include "files/vehicle_config.h"
#include "files_test_support.h"

namespace quelm {
namespace {

class VehicleConfigTest : public ::testing::Test {
  protected:
    SettingsFile Settings(const std::string& text) {
        const auto path = dir_ / "Quelm.ini";
        std::ofstream(path) << text;
        return SettingsFile(path);
    }

    testing::ScratchDir dir_;
};

TEST_F(VehicleConfigTest, EmptySettingsFileGivesTheDefaults) {
    const auto c = LoadVehicleConfig(SettingsFile(dir_ / "missing.ini"), {});
    EXPECT_EQ(c.InjectorSize, 19);
    EXPECT_EQ(c.NumCylinders, 8);
    EXPECT_EQ(c.Displacement, 302);
    EXPECT_EQ(c.VssCorrection, 1);
    EXPECT_TRUE(c.BapPresent);
    EXPECT_FALSE(c.BatchFire);
    EXPECT_FALSE(c.DisIgnition);
    EXPECT_EQ(c.MapType, 0);
    EXPECT_EQ(c.AuxType, 0);
    EXPECT_EQ(c.WideBandType, 0);
    EXPECT_EQ(c.MafFile, StockMafPath().string());
}

TEST_F(VehicleConfigTest, CylinderCountIsRoundedHalfToEvenAndZeroMeansEight) {
    struct Row {
        const char* text;
        int expected;
    } rows[] = {{" 6", 6},  {"4.5", 4},   {"5.5", 6},    {"abc", 8}, {"0", 8},
                {"-4", -4}, {"70000", 8}, {"-40000", 8}, {"6.2x", 6}};
    for (const auto& row : rows) {
        const auto c =
            LoadVehicleConfig(Settings(std::string("[INJECTION]\nNUMCYL=") + row.text + "\n"), {});
        EXPECT_EQ(c.NumCylinders, row.expected) << row.text;
    }
}

// Numbers keep their value; the words are compared case-sensitively.
TEST_F(VehicleConfigTest, ValuesAsWritten) {
    const auto c = LoadVehicleConfig(
        Settings("[injection]\ninjsize= 24.5\nci=351\nBATCH=YES\nMAFFILE=/x/y.maf\n"
                 "[VSSCORRECTION]\nVALUE=-1.05\n[SENSORS]\nBAPPRESENT=YES\n[IGNITION]\nDIS=YES\n"),
        {});
    EXPECT_EQ(c.InjectorSize, 24.5);
    EXPECT_EQ(c.Displacement, 351);
    EXPECT_EQ(c.VssCorrection, -1.05);
    EXPECT_TRUE(c.BatchFire);
    EXPECT_TRUE(c.BapPresent);
    EXPECT_TRUE(c.DisIgnition);
    EXPECT_EQ(c.MafFile, "/x/y.maf");

    const auto lower = LoadVehicleConfig(
        Settings("[INJECTION]\nBATCH=yes\n[SENSORS]\nBAPPRESENT=no\n[IGNITION]\nDIS=yes\n"), {});
    EXPECT_FALSE(lower.BatchFire);
    EXPECT_FALSE(lower.BapPresent);
    EXPECT_FALSE(lower.DisIgnition);
}

TEST_F(VehicleConfigTest, FeatureCodes) {
    struct Row {
        const char* map;
        int expected;
    } rows[] = {{"2", 2}, {"NONE", 0}, {"", 0}, {"3", 3}, {"2.5", 2}, {"none", 0}, {"99999", 0}};
    for (const auto& row : rows) {
        const auto c = LoadVehicleConfig(
            Settings(std::string("[MAP]\nTYPE=") + row.map + "\n[AUX]\nTYPE=" + row.map + "\n"),
            {});
        EXPECT_EQ(c.MapType, row.expected) << row.map;
        EXPECT_EQ(c.AuxType, row.expected) << row.map;
    }
}

TEST_F(VehicleConfigTest, UnknownWideBandTextKeepsTheCurrentType) {
    VehicleConfig current;
    current.WideBandType = 2;
    EXPECT_EQ(LoadVehicleConfig(Settings("[WideBand]\nTYPE=innovate\n"), current).WideBandType, 2);
    EXPECT_EQ(LoadVehicleConfig(Settings(""), current).WideBandType, 2);
    EXPECT_EQ(LoadVehicleConfig(Settings("[WIDEBAND]\nTYPE=INNOVATE\n"), current).WideBandType, 3);
    EXPECT_EQ(LoadVehicleConfig(Settings("[WIDEBAND]\nTYPE=BAILEY\n"), current).WideBandType, 1);
    EXPECT_EQ(LoadVehicleConfig(Settings("[WIDEBAND]\nTYPE=NONE\n"), current).WideBandType, 0);
}

TEST(VehicleLiveConfig, LoadedValuesBecomeTheLiveFields) {
    VehicleConfig c;
    c.NumCylinders = 6;
    c.VssCorrection = 1.05;
    c.InjectorSize = 24.5;
    c.DisIgnition = true;
    c.BatchFire = true;
    c.MapType = 2;
    c.WideBandType = 3;
    LiveConfig live;
    live.mapZeroOffset = -0.3;
    ApplyToLiveConfig(c, live);
    EXPECT_EQ(live.numcyl, "6");
    EXPECT_EQ(live.vsscorrection, "1.05");
    EXPECT_EQ(live.injsize, "24.5");
    EXPECT_TRUE(live.hasdis);
    EXPECT_TRUE(live.hasbatchfire);
    EXPECT_EQ(live.map, MapOption::TwoBar);
    EXPECT_EQ(live.wideBand, WideBandOption::Innovate);
    EXPECT_EQ(live.mapZeroOffset, -0.3);

    c.MapType = 7;
    c.WideBandType = 9;
    ApplyToLiveConfig(c, live);
    EXPECT_EQ(live.map, MapOption::TwoBar);
    EXPECT_EQ(live.wideBand, WideBandOption::Innovate);
}

TEST(VehicleLiveConfig, FeatureTextsRoundTripThroughTheCodes) {
    for (int code = 0; code <= 3; ++code) {
        const auto map = MapOptionFromCode(code);
        ASSERT_TRUE(map);
        const std::string text(MapTypeText(*map));
        EXPECT_EQ(text, code == 0 ? "NONE" : std::to_string(code));
    }
    EXPECT_EQ(WideBandTypeText(*WideBandOptionFromCode(1)), "BAILEY");
    EXPECT_EQ(WideBandTypeText(*WideBandOptionFromCode(2)), "DIY");
    EXPECT_EQ(WideBandTypeText(*WideBandOptionFromCode(3)), "INNOVATE");
    EXPECT_FALSE(MapOptionFromCode(4));
    EXPECT_FALSE(WideBandOptionFromCode(-1));
    EXPECT_EQ(AuxTypeText(true), "1");
    EXPECT_EQ(AuxTypeText(false), "NONE");
}

TEST(NumberTextCheck, AcceptsOnlyWholeNumbers) {
    for (const char* good : {"302", " 302 ", "-1", "+1.5", "1.", ".5"}) {
        EXPECT_TRUE(IsNumberText(good)) << good;
    }
    for (const char* bad : {"", "   ", "abc", "302abc", "1.2.3", "-", ".", "1 2"}) {
        EXPECT_FALSE(IsNumberText(bad)) << bad;
    }
}

}  // namespace
}  // namespace quelm
