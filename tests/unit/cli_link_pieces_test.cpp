#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <sstream>

#include "cli/cli_runtime.h"
#include "cli/cli_self_test_device.h"
#include "cli/port_failure_report.h"
#include "cli/status_printer.h"
#include "link_fake_device.h"
#include "tools/self_test.h"

namespace quelm {
namespace {

TEST(CliSelfTestDevice, ConnectsSendsAndReadsThroughTheLink) {
    test::FakeLink l;
    auto& [rt, device, status, map, ctx] = l;
    ctx.MaxBaudRate = "38400";
    device.maxRate = 38400;
    cli::CliSelfTestDevice adapter(ctx);

    adapter.Connect();
    EXPECT_EQ(status.Panel(2), "Ready @ 38400");
    adapter.Send('b');
    rt.Advance(0.1);
    const std::string reply = adapter.ReadReply();
    EXPECT_EQ(reply, "\x01Quelm Rev 1.4");
    EXPECT_EQ(ctx.ReplyBuffer.size(), reply.size()) << "the link's reply buffer is the one read";

    const double before = rt.Now();
    EXPECT_EQ(adapter.ReadReply(), "") << "everything waiting was taken";
    EXPECT_NEAR(rt.Now() - before, cli::CliSelfTestDevice::kReplyWait, 0.002)
        << "nothing on its way: gives up after the reply wait";
}

TEST(CliSelfTestDevice, AReplyStillOnItsWayIsWaitedFor) {
    test::FakeLink l;
    auto& [rt, device, status, map, ctx] = l;
    ctx.MaxBaudRate = "9600";
    device.maxRate = 9600;
    cli::CliSelfTestDevice adapter(ctx);
    adapter.Connect();
    device.enableReply = "\r0";  // the lamp's answer, as the device sends it

    // Read at once, before its bytes are on the line: the whole reply, not an empty one.
    adapter.Send('e');
    ASSERT_EQ(device.BytesWaiting(), 0u);
    const double sent = rt.Now();
    const std::string reply = adapter.ReadReply();
    EXPECT_EQ(reply, "\r0");
    EXPECT_TRUE(ReplyShowsLightOn(reply));
    EXPECT_LT(rt.Now() - sent, 0.01) << "read as soon as it is there";
}

TEST(CliSelfTestDevice, PortErrorsReachTheCaller) {
    test::FakeLink l;
    auto& [rt, device, status, map, ctx] = l;
    device.failOpen = true;
    cli::CliSelfTestDevice adapter(ctx);
    EXPECT_THROW(adapter.Connect(), PortFailure);
    EXPECT_THROW(adapter.Send('h'), SerialPortError) << "the port is closed after the failure";
}

TEST(PortFailureText, GivesTheMessageTheDetailAndForPermissionAHint) {
    const std::string notFound = cli::PortFailureText(
        PortFailure("/dev/ttyUSB9: No such file or directory", SerialPortErrorKind::NotFound));
    EXPECT_EQ(notFound,
              "Serial Port Error.  Please reconfigure.\n/dev/ttyUSB9: No such file or directory\n");
    const std::string denied = cli::PortFailureText(
        PortFailure("/dev/ttyS0: Permission denied", SerialPortErrorKind::Permission));
    EXPECT_EQ(denied.rfind("Serial Port Error.  Please reconfigure.\n", 0), 0u);
    EXPECT_NE(denied.find("dialout"), std::string::npos);
}

TEST(StatusPrinter, PrintsPanelTextsOnlyWhenTheyChange) {
    StatusModel status;
    std::ostringstream out;
    cli::PrintStatusChanges(status, out);
    status.SetPanel(1, "Initializing");
    status.SetPanel(2, "Resetting");
    status.SetIndicator(ComStat::Yellow);
    status.SetIndicator(ComStat::Grey);
    status.SetPanel(2, "Ready @ 9600");
    status.SetPanel(1, "Monitoring");
    status.SetIndicator(ComStat::Green);
    EXPECT_EQ(out.str(), "Initializing\nResetting\nReady @ 9600\nMonitoring\n");
}

}  // namespace
}  // namespace quelm

namespace quelm::cli {
namespace {

TEST(StopSignals, HoldsATerminationUntilAskedAndTakesItBackAtTheEnd) {
    {
        StopSignals held;
        EXPECT_FALSE(held.Pending());
        ASSERT_EQ(::raise(SIGTERM), 0);
        // Asked too soon after the first question, the system is not asked again yet.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(50);
        bool seen = false;
        while (!seen && std::chrono::steady_clock::now() < until) {
            seen = held.Pending();
        }
        EXPECT_TRUE(seen);
        EXPECT_TRUE(held.Pending()) << "stays seen";
    }
    // Still running: the held signal was taken back, not delivered.
    SUCCEED();
}

}  // namespace
}  // namespace quelm::cli
