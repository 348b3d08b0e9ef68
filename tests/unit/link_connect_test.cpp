#include <gtest/gtest.h>

#include "common/status_texts.h"
#include "link/connect_device.h"
#include "link_fake_device.h"

namespace quelm {
namespace {

using namespace status_text;

struct ConnectFixture : ::testing::Test, test::FakeLink {
    std::vector<std::string> panel2;

    ConnectFixture() {
        status.onChange = [this] {
            if (panel2.empty() || panel2.back() != status.Panel(2)) {
                panel2.push_back(status.Panel(2));
            }
        };
    }
    // Each 0.5 s wait runs in 10 ms steps and may overrun by one step.
    void ExpectWaitsTook(double start, int waits) {
        EXPECT_GE(rt.Now() - start, waits * 0.5 - 1e-6);
        EXPECT_LE(rt.Now() - start, waits * 0.511);
    }
};

TEST(ReplyContains, FirstByteIsNeverExamined) {
    test::FakeLink l;
    const std::tuple<std::string, std::string, bool> rows[] = {
        {"", "Quelm", false},      {"Q", "Q", false},          {"Quelm", "Quelm", false},
        {"xQuelm", "Quelm", true}, {"xquelm", "Quelm", false}, {"\x01OK", "OK", true},
        {"OK", "OK", false},
    };
    for (const auto& [reply, text, found] : rows) {
        l.ctx.ReplyBuffer.assign(reply.begin(), reply.end());
        EXPECT_EQ(ReplyContains(l.ctx, text), found) << '"' << reply << '"';
    }
}

// The device is good to 38400 and the user allows 115200: the climb fails at 57600, the device
// is reset again and the shift-up takes exactly two steps.
TEST_F(ConnectFixture, ExactSequenceForADeviceGoodTo38400) {
    device.maxRate = 38400;
    ctx.MaxBaudRate = "115200";
    const double start = rt.Now();
    EXPECT_EQ(ConnectDevice(ctx), ConnectOutcome::Ready);

    const std::vector<std::string> reset = {
        "send a", "wait 0.5", "close", "set 19200,N,8,1",  "open",
        "send a", "wait 0.5", "close", "set 38400,N,8,1",  "open",
        "send a", "wait 0.5", "close", "set 57600,N,8,1",  "open",
        "send a", "wait 0.5", "close", "set 115200,N,8,1", "open",
        "send a", "wait 0.5", "close", "set 9600,n,8,1",   "open",
        "read"};
    const std::vector<std::string> identify = {"send b", "wait 0.5", "read",
                                               "send e", "wait 0.5", "read"};
    std::vector<std::string> expected = {"device /dev/ttyS0", "set 115200,N,8,1", "open"};
    auto add = [&](const std::vector<std::string>& part) {
        expected.insert(expected.end(), part.begin(), part.end());
    };
    add(reset);
    add({"send c", "wait 0.5", "close", "set 19200,n,8,1", "open"});
    add(identify);
    add({"send c", "wait 0.5", "close", "set 38400,n,8,1", "open"});
    add(identify);
    add({"send c", "wait 0.5", "close", "set 57600,n,8,1", "open", "send b", "wait 0.5", "read"});
    add({"close", "open"});
    add(reset);
    add({"close", "set 38400,n,8,1", "open"});
    add({"close", "set 9600,n,8,1", "open", "send c", "wait 0.5", "close", "set 19200,n,8,1",
         "open", "send c", "wait 0.5", "close", "set 38400,n,8,1", "open"});
    add(identify);
    EXPECT_EQ(device.transcript, expected);

    EXPECT_EQ(ctx.BaudRate, "38400");
    EXPECT_EQ(status.Panel(1), kInitializing);
    EXPECT_EQ(status.Indicator(), ComStat::Green);
    EXPECT_EQ(panel2, (std::vector<std::string>{"", "Resetting", "Connecting", "Connected",
                                                "Ready @ 38400"}));
    ExpectWaitsTook(start, 22);
    EXPECT_TRUE(device.IsOpen());
}

// The allowed rate is read by its leading number, sign and fraction included, as every number
// is read; text without one counts as 9600. The full ladder to 115200 takes eight shift-ups,
// about 14 seconds.
TEST_F(ConnectFixture, AllowedRateLimitsTheClimb) {
    const struct {
        const char* allowed;
        const char* ready;
        int shifts;  // -1: not checked
    } rows[] = {
        {"115200", "Ready @ 115200", 8}, {"9600", "Ready @ 9600", 0},
        {"", "Ready @ 9600", 0},         {"fast", "Ready @ 9600", 0},
        {"57600", "Ready @ 57600", -1},  {"+57600", "Ready @ 57600", -1},
        {"9600.5", "Ready @ 19200", 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.allowed);
        device.transcript.clear();
        ctx.MaxBaudRate = row.allowed;
        const double start = rt.Now();
        EXPECT_EQ(ConnectDevice(ctx), ConnectOutcome::Ready);
        EXPECT_EQ(status.Panel(2), row.ready);
        EXPECT_EQ(status.Indicator(), ComStat::Green);
        if (row.shifts >= 0) {
            EXPECT_EQ(Count("send c"), row.shifts);
        }
        if (row.shifts == 8) {
            ExpectWaitsTook(start, 28);
        }
    }
}

TEST_F(ConnectFixture, NoDeviceEndsInRetryAfterAboutSixAndAHalfSeconds) {
    device.present = false;
    const double start = rt.Now();
    EXPECT_EQ(ConnectDevice(ctx), ConnectOutcome::Retry);
    EXPECT_EQ(status.Panel(2), kComRetry);
    EXPECT_EQ(status.Indicator(), ComStat::Red);
    EXPECT_EQ(ctx.BaudRate, "9600");
    EXPECT_EQ(Count("send c"), 1);
    EXPECT_EQ(Count("send e"), 0) << "no enable without the identification";
    ExpectWaitsTook(start, 13);
    EXPECT_TRUE(device.IsOpen());
}

TEST_F(ConnectFixture, PortThatCannotOpenOrIsNotConfiguredIsAPortFailure) {
    device.failOpen = true;
    try {
        ConnectDevice(ctx);
        FAIL() << "no PortFailure";
    } catch (const PortFailure& e) {
        EXPECT_STREQ(e.message(), "Serial Port Error.  Please reconfigure.");
        EXPECT_STREQ(e.title(), "System Configuration Error");
        EXPECT_NE(e.detail().find("no such device"), std::string::npos);
    }
    EXPECT_FALSE(device.IsOpen());

    device.failOpen = false;
    ctx.ComPort = 0;
    EXPECT_THROW(ConnectDevice(ctx), PortFailure);
    EXPECT_EQ(Count("send a"), 0);
}

TEST_F(ConnectFixture, ClosingTheProgramStopsTheSequence) {
    status.onChange = [this] { rt.ending = rt.ending || status.Panel(2) == kConnecting; };
    EXPECT_EQ(ConnectDevice(ctx), ConnectOutcome::Aborted);
    // The command already on its way is the last: the wait after it notices the end.
    EXPECT_EQ(device.transcript.back(), "send c");
    EXPECT_EQ(status.Panel(2), kConnecting);
}

}  // namespace
}  // namespace quelm
