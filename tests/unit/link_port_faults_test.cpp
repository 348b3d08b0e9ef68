// Opening a port path that is wrong: missing, a folder, a plain file, or a device held by
// another program. Each gives a SerialPortError of the right kind naming the path, and the port
// stays closed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <filesystem>
#include <fstream>
#include <string>

#include "common/qt_serial_port.h"
#include "sim/pseudoterminal.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

void EnsureQtCore() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "quelm_unit_tests";
        static char* argv[] = {name, nullptr};
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

class PortFaultTest : public ::testing::Test {
  protected:
    void SetUp() override {
        EnsureQtCore();
        dir_ = fs::temp_directory_path() / ("quelm_port_faults_" + std::to_string(::getpid()));
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(PortFaultTest, PathsThatAreNoSerialDeviceAreRefusedWithTheirName) {
    std::ofstream(dir_ / "plain") << "not a port";
    fs::create_directories(dir_ / "folder");
    struct Case {
        std::string path;
        SerialPortErrorKind kind;
    };
    const Case cases[] = {
        {"/dev/quelm-no-such-port", SerialPortErrorKind::NotFound},
        {(dir_ / "missing" / "ttyUSB0").string(), SerialPortErrorKind::NotFound},
        {(dir_ / "folder").string(), SerialPortErrorKind::Other},
        {(dir_ / "plain").string(), SerialPortErrorKind::Other},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        QtSerialPort port;
        const Outcome out = TryOpen(port, c.path);
        ASSERT_FALSE(out.opened);
        EXPECT_FALSE(port.IsOpen());
        if (c.kind == SerialPortErrorKind::NotFound) {
            EXPECT_EQ(out.kind, SerialPortErrorKind::NotFound);
        }
        EXPECT_NE(out.message.find(c.path), std::string::npos) << out.message;
        EXPECT_GT(out.message.size(), c.path.size() + 4) << "no reason given: " << out.message;
    }
}

TEST_F(PortFaultTest, EmptyPathSaysNoDeviceIsConfigured) {
    QtSerialPort port;
    const Outcome out = TryOpen(port, "");
    ASSERT_FALSE(out.opened);
    EXPECT_EQ(out.kind, SerialPortErrorKind::NotFound);
    EXPECT_EQ(out.message, "No serial device is configured");
}

TEST_F(PortFaultTest, ADeviceHeldByAnotherProgramIsAPermissionError) {
    sim::Pseudoterminal pty = sim::Pseudoterminal::Open();
    QtSerialPort first;
    ASSERT_TRUE(TryOpen(first, pty.path()).opened) << "cannot open the pseudo-terminal";
    QtSerialPort second;
    const Outcome out = TryOpen(second, pty.path());
    if (out.opened) {
        GTEST_SKIP() << "this system lets a second program open a held terminal";
    }
    EXPECT_EQ(out.kind, SerialPortErrorKind::Permission) << out.message;
    EXPECT_NE(out.message.find(pty.path()), std::string::npos) << out.message;
    EXPECT_TRUE(first.IsOpen());
}

}  // namespace
}  // namespace quelm
