#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "files/com_port_map_file.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

struct ComPortMapFile : ::testing::Test {
    fs::path dir =
        fs::temp_directory_path() /
        ("quelm_ports_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
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
    EXPECT_EQ(problems[0].rfind("line 4:", 0), 0u) << problems[0];
    EXPECT_EQ(problems[1].rfind("line 5:", 0), 0u) << problems[1];
    EXPECT_EQ(problems[2].rfind("line 6:", 0), 0u) << problems[2];
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
