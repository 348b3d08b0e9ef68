#include <gtest/gtest.h>

#include <QCoreApplication>
#include <filesystem>

#include "common/com_port_map.h"
#include "common/qt_serial_port.h"
#include "files_test_support.h"
#include "sim/simulator_thread.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

TEST(ParseLineSettings, AcceptsTheProgramsTextsAndNothingElse) {
    const std::pair<const char*, LineSettings> good[] = {
        {"115200,N,8,1", {115200, Parity::None, 8, StopBits::One}},
        {"57600,n,8,1", {57600, Parity::None, 8, StopBits::One}},
        {"9600,e,7,2", {9600, Parity::Even, 7, StopBits::Two}},
        {"300,O,5,1.5", {300, Parity::Odd, 5, StopBits::OneAndHalf}}};
    for (const auto& [text, settings] : good) {
        EXPECT_EQ(ParseLineSettings(text), settings) << text;
    }
    for (const char* text :
         {"", "9600", "9600,N,8", "9600,N,8,1,", "x,N,8,1", "0,N,8,1", "9600,X,8,1", "9600,NN,8,1",
          "9600,N,9,1", "9600,N,8,3", " 9600,N,8,1"}) {
        EXPECT_FALSE(ParseLineSettings(text)) << text;
    }
}

TEST(ComPortMap, DefaultsAndOverrides) {
    ComPortMap map;
    EXPECT_EQ(map.DevicePath(1), "/dev/ttyS0");
    EXPECT_EQ(map.DevicePath(4), "/dev/ttyS3");
    EXPECT_EQ(map.DevicePath(0), "");
    EXPECT_EQ(map.DevicePath(5), "");
    EXPECT_TRUE(map.SetOverride(2, "/dev/ttyUSB0"));
    EXPECT_EQ(map.DevicePath(2), "/dev/ttyUSB0");
    EXPECT_TRUE(map.HasOverride(2));
    EXPECT_FALSE(map.SetOverride(0, "/dev/null"));
    EXPECT_TRUE(map.SetOverride(2, ""));
    EXPECT_EQ(map.DevicePath(2), "/dev/ttyS1");
}

// Qt wants an application object in the thread that uses ports, as the programs have.
void EnsureApplication() {
    static int argc = 1;
    static char name[] = "quelm_unit_tests";
    static char* argv[] = {name, nullptr};
    if (QCoreApplication::instance() == nullptr) {
        static QCoreApplication app(argc, argv);
    }
}

struct Outcome {
    bool opened = false;
    SerialPortErrorKind kind = SerialPortErrorKind::Other;
    std::string message;
};

Outcome TryOpen(QtSerialPort& port, const std::string& device) {
    port.SetDevice(device);
    port.SetSettings("115200,N,8,1");
    Outcome out;
    try {
        port.Open();
        out.opened = true;
    } catch (const SerialPortError& e) {
        out.kind = e.kind();
        out.message = e.what();
    }
    return out;
}

// The Qt port against paths that are no serial port, and against the simulator. Bytes both
// ways, a device that goes away and a port another program holds are the end-to-end scripts'.
struct QtPortTest : ::testing::Test {
    testing::ScratchDir dir;
    void SetUp() override { EnsureApplication(); }
};

// Missing, a folder, a plain file: refused with the path and a reason, the port stays closed.
TEST_F(QtPortTest, PathsThatAreNoSerialDeviceAreRefusedWithTheirName) {
    testing::Put(dir / "plain", "not a port");
    fs::create_directories(dir / "folder");
    const std::pair<std::string, SerialPortErrorKind> cases[] = {
        {"/dev/quelm-no-such-port", SerialPortErrorKind::NotFound},
        {(dir / "missing" / "ttyUSB0").string(), SerialPortErrorKind::NotFound},
        {(dir / "folder").string(), SerialPortErrorKind::Other},
        {(dir / "plain").string(), SerialPortErrorKind::Other},
    };
    for (const auto& [device, kind] : cases) {
        SCOPED_TRACE(device);
        QtSerialPort port;
        const Outcome out = TryOpen(port, device);
        ASSERT_FALSE(out.opened);
        EXPECT_FALSE(port.IsOpen());
        if (kind == SerialPortErrorKind::NotFound) {
            EXPECT_EQ(out.kind, SerialPortErrorKind::NotFound);
        }
        EXPECT_NE(out.message.find(device), std::string::npos) << out.message;
        EXPECT_GT(out.message.size(), device.size() + 4) << "no reason given: " << out.message;
    }
    QtSerialPort port;
    const Outcome out = TryOpen(port, "");
    EXPECT_EQ(out.kind, SerialPortErrorKind::NotFound);
    EXPECT_EQ(out.message, "No serial device is configured");
    EXPECT_THROW(port.SetSettings("fast"), SerialPortError);
}

// A byte written just before the rate changes, or just before the port closes (Qt then puts the
// terminal's own 9600 back), still reaches the device at the rate it was written at.
TEST_F(QtPortTest, BytesLeaveTheLineBeforeThePortChanges) {
    const fs::path heard = dir / "heard";
    {
        sim::SimulatorThread device(sim::DeviceOptions{},
                                    std::make_unique<sim::ScenarioSource>(sim::Scenario::Idle),
                                    std::make_unique<sim::LineJournal>(heard, ""));
        QtSerialPort port;
        port.SetDevice(device.path());
        port.SetSettings("9600,n,8,1");
        port.Open();
        port.WriteByte('c');
        port.SetSettings("19200,n,8,1");
        port.WriteByte('j');
        port.Close();
    }
    std::ifstream in(heard);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    EXPECT_EQ(lines, (std::vector<std::string>{"c 9600", "j 19200"}));
}

}  // namespace
}  // namespace quelm
