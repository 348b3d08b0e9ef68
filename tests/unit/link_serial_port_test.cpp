#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <QCoreApplication>

#include "common/com_port_map.h"
#include "common/qt_serial_port.h"

namespace quelm {
namespace {

TEST(ParseLineSettings, AcceptsTheProgramsTexts) {
    EXPECT_EQ(ParseLineSettings("115200,N,8,1"),
              (LineSettings{115200, Parity::None, 8, StopBits::One}));
    EXPECT_EQ(ParseLineSettings("57600,n,8,1"),
              (LineSettings{57600, Parity::None, 8, StopBits::One}));
    EXPECT_EQ(ParseLineSettings("9600,e,7,2"),
              (LineSettings{9600, Parity::Even, 7, StopBits::Two}));
    EXPECT_EQ(ParseLineSettings("300,O,5,1.5"),
              (LineSettings{300, Parity::Odd, 5, StopBits::OneAndHalf}));
}

TEST(ParseLineSettings, RejectsAnythingElse) {
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

// The Qt port against a pseudo-terminal: the master side plays the device.
struct PtyFixture : ::testing::Test {
    int master = -1;
    int slave = -1;
    std::string path;
    void SetUp() override {
        EnsureApplication();
        char name[256] = {};
        ASSERT_EQ(openpty(&master, &slave, name, nullptr, nullptr), 0);
        path = name;
    }
    void TearDown() override {
        if (master >= 0) {
            close(master);
        }
        if (slave >= 0) {
            close(slave);
        }
    }
};

TEST_F(PtyFixture, BytesBothWays) {
    QtSerialPort port;
    port.SetDevice(path);
    port.SetSettings("115200,N,8,1");
    port.Open();  // no modem lines on a pseudo-terminal: not an error
    ASSERT_TRUE(port.IsOpen());
    EXPECT_FALSE(port.LowLatency());

    port.WriteByte('f');
    char got = 0;
    ASSERT_EQ(read(master, &got, 1), 1);
    EXPECT_EQ(got, 'f');

    EXPECT_EQ(port.BytesWaiting(), 0u);
    EXPECT_FALSE(port.WaitForBytes(1));
    ASSERT_EQ(write(master, "\x01OK", 3), 3);
    EXPECT_TRUE(port.WaitForBytes(2000));
    std::vector<std::uint8_t> bytes;
    std::size_t total = 0;
    for (int i = 0; i < 100 && total < 3; ++i) {
        port.WaitForBytes(20);
        total += port.ReadAll(bytes);
    }
    EXPECT_EQ(total, 3u);
    port.SetSettings("9600,n,8,1");  // applied on the open port
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.BytesWaiting(), 0u);
}

TEST_F(PtyFixture, OtherSideGoneIsAnError) {
    QtSerialPort port;
    port.SetDevice(path);
    port.Open();
    close(slave);  // only the port holds the terminal now
    slave = -1;
    close(master);
    master = -1;
    EXPECT_THROW(
        {
            for (int i = 0; i < 100; ++i) {
                port.WaitForBytes(10);
                port.BytesWaiting();
            }
        },
        SerialPortError);
}

TEST(QtSerialPort, MissingDeviceIsNotFound) {
    EnsureApplication();
    QtSerialPort port;
    port.SetDevice("/dev/quelm-no-such-port");
    try {
        port.Open();
        FAIL() << "opened";
    } catch (const SerialPortError& e) {
        EXPECT_EQ(e.kind(), SerialPortErrorKind::NotFound);
        EXPECT_NE(std::string(e.what()).find("/dev/quelm-no-such-port"), std::string::npos);
    }
    EXPECT_THROW(port.SetSettings("fast"), SerialPortError);
}

}  // namespace
}  // namespace quelm
