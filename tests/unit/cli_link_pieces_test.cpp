#include <gtest/gtest.h>

#include <csignal>
#include <sstream>

#include "cli/cli_runtime.h"
#include "cli/status_printer.h"
#include "common/stop_signals.h"
#include "link_fake_device.h"
#include "tools/link_self_test_device.h"

namespace quelm {
namespace {

TEST(LinkSelfTestDevice, ConnectsSendsAndReadsThroughTheLink) {
    test::FakeLink l;
    auto& [rt, device, status, map, ctx] = l;
    ctx.MaxBaudRate = "38400";
    device.maxRate = 38400;
    LinkSelfTestDevice adapter(ctx, UnansweredConnect::Refuse);

    adapter.Connect();
    EXPECT_EQ(status.Panel(2), "Ready @ 38400");
    adapter.Send('b');
    rt.Advance(0.1);
    const std::string reply = adapter.ReadReply();
    EXPECT_EQ(reply, "\x01Quelm Rev 1.4");
    EXPECT_EQ(ctx.ReplyBuffer.size(), reply.size()) << "the link's reply buffer is the one read";

    const double before = rt.Now();
    EXPECT_EQ(adapter.ReadReply(), "") << "everything waiting was taken";
    EXPECT_NEAR(rt.Now() - before, LinkSelfTestDevice::kReplyWait, 0.002)
        << "nothing on its way: gives up after the reply wait";

    // Read at once, before its bytes are on the line: the whole reply, not an empty one.
    device.enableReply = "\r0";  // the lamp's answer, as the device sends it
    adapter.Send('e');
    ASSERT_EQ(device.BytesWaiting(), 0u);
    const double sent = rt.Now();
    EXPECT_EQ(adapter.ReadReply(), "\r0");
    EXPECT_LT(rt.Now() - sent, 0.01) << "read as soon as it is there";
}

// Without a handler a port error reaches the caller (quelm selftest); with one (the dashboard)
// it is handed over once and the device goes quiet.
TEST(LinkSelfTestDevice, PortErrorsReachTheCallerOrTheHandler) {
    test::FakeLink l;
    auto& [rt, device, status, map, ctx] = l;
    device.failOpen = true;
    LinkSelfTestDevice adapter(ctx, UnansweredConnect::Refuse);
    EXPECT_THROW(adapter.Connect(), PortFailure);
    EXPECT_THROW(adapter.Send('h'), SerialPortError) << "the port is closed after the failure";

    int handed = 0;
    LinkSelfTestDevice quiet(ctx, UnansweredConnect::TestAnyway,
                             [&handed](const PortFailure&) { ++handed; });
    quiet.Connect();
    quiet.Send('h');
    EXPECT_EQ(quiet.ReadReply(), "");
    EXPECT_EQ(handed, 1);
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

// A stop signal is noted instead of ending the program, the first one counts, one the caller
// ignores stays ignored, and the handling from before comes back at the end.
TEST(StopSignals, NoteTheFirstSignalKeepIgnoredOnesIgnoredAndRestoreTheRest) {
    ASSERT_NE(std::signal(SIGHUP, SIG_IGN), SIG_ERR);
    {
        const StopSignals stop;
        ASSERT_EQ(::raise(SIGHUP), 0);
        EXPECT_FALSE(stop.Requested()) << "ignored before, ignored now";
        ASSERT_EQ(::raise(SIGTERM), 0);
        ASSERT_EQ(::raise(SIGINT), 0);
        EXPECT_EQ(stop.Caught(), SIGTERM);
        EXPECT_EQ(stop.ExitStatus(), 128 + SIGTERM);
    }
    struct sigaction term {};
    struct sigaction hup {};
    ASSERT_EQ(::sigaction(SIGTERM, nullptr, &term), 0);
    ASSERT_EQ(::sigaction(SIGHUP, nullptr, &hup), 0);
    EXPECT_EQ(term.sa_handler, SIG_DFL);
    EXPECT_EQ(hup.sa_handler, SIG_IGN);
    std::signal(SIGHUP, SIG_DFL);
}

}  // namespace
}  // namespace quelm::cli
