#include <gtest/gtest.h>

#include <filesystem>

#include "files/com_port_map_file.h"
#include "files/dash_layout_file.h"
#include "files_test_support.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

struct ComPortMapFile : ::testing::Test {
    testing::ScratchDir dir;
};

TEST_F(ComPortMapFile, SavedMapLoadsBackAndDefaultsNeedNoLine) {
    ComPortMap map;
    map.SetOverride(1, "/dev/ttyUSB0");
    map.SetOverride(4, "/dev/serial/by-id/usb-adapter port0");  // spaces survive
    const fs::path path = ComPortMapPath(dir / "Quelm.ini");
    EXPECT_EQ(path, dir / "ports.conf");
    std::string error;
    ASSERT_TRUE(SaveComPortMap(path, map, error)) << error;

    ComPortMap loaded;
    std::vector<std::string> problems;
    LoadComPortMap(path, loaded, problems);
    EXPECT_TRUE(problems.empty());
    for (int com = 1; com <= ComPortMap::kPorts; ++com) {
        EXPECT_EQ(loaded.DevicePath(com), map.DevicePath(com)) << com;
        EXPECT_EQ(loaded.HasOverride(com), map.HasOverride(com)) << com;
    }
    EXPECT_EQ(ComPortMapText(ComPortMap{}).find('='), std::string::npos);
}

TEST_F(ComPortMapFile, BadLinesAreReportedByNumberAndTheRestStillApply) {
    ComPortMap map;
    std::vector<std::string> problems;
    ParseComPortMap(
        "# comment\n\r\ncom2 = /dev/ttyACM0\r\nCOM5=/dev/ttyS9\nCOM3=\nrubbish\n"
        "COM1=/dev/ttyUSB1",
        map, problems);
    EXPECT_EQ(map.DevicePath(2), "/dev/ttyACM0");
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyUSB1");  // last line without a newline
    EXPECT_FALSE(map.HasOverride(3));
    ASSERT_EQ(problems.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(problems[i].rfind("line " + std::to_string(i + 4) + ":", 0), 0u) << problems[i];
    }
}

TEST_F(ComPortMapFile, MissingFileKeepsDefaultsAndAFolderIsReported) {
    ComPortMap map;
    std::vector<std::string> problems;
    LoadComPortMap(dir / "ports.conf", map, problems);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyS0");
    fs::create_directories(dir / "ports.conf");
    LoadComPortMap(dir / "ports.conf", map, problems);
    EXPECT_EQ(problems.size(), 1u);
    std::string error;
    EXPECT_FALSE(SaveComPortMap(dir / "ports.conf", map, error));
    EXPECT_FALSE(error.empty());
}

TEST_F(ComPortMapFile, LayoutRoundTripAndAShrunkScreen) {
    DashLayout layout;
    layout.units = DisplayUnits::Metric;
    layout.peakHold = true;
    layout.windows = {{"SuperDash", {1700, 40, 1120, 760}, {}},
                      {"Scope3", {2400, 900, 640, 420}, {"RPM", "*OFF*", "TPS", "ADVANCE"}},
                      {"Logging", {-30, 10, 500, 260}, {}}};
    const fs::path path = DashLayoutPath(dir / "Quelm.ini");
    EXPECT_EQ(path, dir / "layout.conf");
    std::string error;
    ASSERT_TRUE(SaveDashLayout(path, layout, error)) << error;
    std::vector<std::string> problems;
    EXPECT_EQ(LoadDashLayout(path, problems), layout);
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(LoadDashLayout(dir / "absent.conf", problems), DashLayout{});
    EXPECT_TRUE(problems.empty());
    ParseDashLayout("units=imperial\nwindow=Scope1 1 2\nwindow=Bad-name 0 0 9 9\n", problems);
    EXPECT_EQ(problems.size(), 3u);

    // Saved on two screens side by side; now one smaller screen is left.
    const std::vector<ScreenRect> before{{0, 0, 1920, 1080}, {1920, 0, 1920, 1080}};
    const std::vector<ScreenRect> after{{0, 0, 1280, 800}};
    EXPECT_EQ(FitOntoScreens(layout.windows[0].rect, before), layout.windows[0].rect);
    EXPECT_EQ(FitOntoScreens(layout.windows[0].rect, after), (ScreenRect{160, 40, 1120, 760}));
    EXPECT_EQ(FitOntoScreens(layout.windows[1].rect, after), (ScreenRect{640, 380, 640, 420}));
    EXPECT_EQ(FitOntoScreens(layout.windows[2].rect, after), (ScreenRect{0, 10, 500, 260}));
    // Larger than the screen: shrunk to it.
    EXPECT_EQ(FitOntoScreens({100, 100, 2000, 1200}, after), (ScreenRect{0, 0, 1280, 800}));
    // Mostly on the second screen: moved onto that one.
    EXPECT_EQ(FitOntoScreens({3700, 500, 400, 300}, before), (ScreenRect{3440, 500, 400, 300}));
}

// A garbage ports.conf just under the size limit: a handful of its bad lines are described,
// the rest counted, and the good line in it still applies.
TEST_F(ComPortMapFile, GarbageFileGivesAFewProblemsNotThousands) {
    std::string text;
    for (int i = 0; text.size() < kComPortMapFileLimit - 100; ++i) {
        text += "rubbish " + std::to_string(i) + "\n";
    }
    text += "COM2=/dev/ttyUSB7\n";
    testing::Put(dir / "ports.conf", text);
    ComPortMap map;
    std::vector<std::string> problems;
    LoadComPortMap(dir / "ports.conf", map, problems);
    EXPECT_EQ(map.DevicePath(2), "/dev/ttyUSB7");
    ASSERT_EQ(problems.size(), kComPortMapProblemLimit + 1);
    EXPECT_NE(problems.back().find(" more lines"), std::string::npos) << problems.back();
}

// COMPORT is read by a lenient parse: only 1..4 name a port, and a number far outside int, which
// would be undefined to convert, means no port configured like any other.
TEST(ComPortNumber, OnlyOneToFourNameAPort) {
    const std::pair<const char*, int> cases[] = {
        {" 1", 1}, {"4", 4}, {"2.9", 2}, {"0", 0},           {"5", 0},
        {"-1", 0}, {"", 0},  {"abc", 0}, {"99999999999", 0}, {"-99999999999999999999", 0},
    };
    for (const auto& [text, port] : cases) {
        EXPECT_EQ(ComPortNumber(text), port) << text;
    }
}

}  // namespace
}  // namespace quelm
