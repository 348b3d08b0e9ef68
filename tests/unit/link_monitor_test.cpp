#include <gtest/gtest.h>

#include <algorithm>

#include "common/status_texts.h"
#include "link/connect_device.h"
#include "link/monitor.h"
#include "link_fake_device.h"

namespace quelm {
namespace {

using namespace status_text;

using test::FrameMode;

struct RecordingSink : FrameSink {
    std::vector<double> seqs;  // the TPS word each good frame carried
    std::vector<double> times;
    void OnGoodFrame(const FrameBuffer&, const RawData& raw, double scopeTime) override {
        seqs.push_back(raw.TPSAD);
        times.push_back(scopeTime);
    }
};

// A link already connected at 115200, as ConnectDevice leaves it.
struct ConnectedLink : test::FakeLink {
    RecordingSink sink;
    std::vector<std::string> panel1, panel2;

    ConnectedLink() {
        device.deviceRate = 115200;
        device.SetSettings("115200,n,8,1");
        ctx.BaudRate = "115200";
        device.Open();
        device.transcript.clear();
        ctx.Connected = true;
        status.onChange = [this] {
            for (auto [panel, seen] : {std::pair{1, &panel1}, std::pair{2, &panel2}}) {
                if (seen->empty() || seen->back() != status.Panel(panel)) {
                    seen->push_back(status.Panel(panel));
                }
            }
        };
    }
    // Disconnects once the device has answered `n` polls (the last one good): the poll after it
    // goes out before that frame is handed on, and is left unanswered.
    void StopAfterPolls(int n) {
        device.onPoll = [this, n](int poll) {
            if (poll == n + 1) {
                ctx.Connected = false;
            }
        };
    }
    void Script(std::initializer_list<std::pair<int, FrameMode>> runs) {
        for (auto [count, mode] : runs) {
            device.frames.insert(device.frames.end(), count, mode);
        }
    }
    bool Reconnected() const { return Count("send a") > 0; }
    static bool Has(const std::vector<std::string>& seen, std::string_view text) {
        return std::find(seen.begin(), seen.end(), text) != seen.end();
    }
    void ExpectStopped() {
        EXPECT_FALSE(ctx.Connected);
        EXPECT_EQ(status.Panel(2), kComStopped);
        EXPECT_EQ(status.Indicator(), ComStat::Red);
        EXPECT_EQ(status.ConnectCaption(), kConnectCaption);
    }
};

struct MonitorFixture : ::testing::Test, ConnectedLink {};

TEST_F(MonitorFixture, GoodFramesReachTheSinkInOrder) {
    Script({{1, FrameMode::Good}, {1, FrameMode::Split}, {1, FrameMode::Good}});
    std::vector<std::size_t> handedOnAtPoll;
    device.onPoll = [this, &handedOnAtPoll](int poll) {
        handedOnAtPoll.push_back(sink.seqs.size());
        ctx.Connected = poll < 4;
    };
    const auto result = Monitor(ctx, sink);
    // Every poll but the first goes out before the frame before it is handed on.
    EXPECT_EQ(handedOnAtPoll, (std::vector<std::size_t>{0, 0, 1, 2}));
    EXPECT_EQ(result.end, MonitorEnd::Stopped);
    EXPECT_EQ(sink.seqs, (std::vector<double>{0, 1, 2}));
    EXPECT_TRUE(std::is_sorted(sink.times.begin(), sink.times.end()));
    EXPECT_GT(sink.times.front(), 0);
    EXPECT_EQ(ctx.Stats.TotalFrames, 3);
    EXPECT_EQ(ctx.FrameCounter, 3);
    EXPECT_EQ(status.Panel(1), kMonitoring);
    ExpectStopped();
    EXPECT_TRUE(device.IsOpen());  // a user stop leaves the port open
}

TEST_F(MonitorFixture, ElevenShortAnswersInARowReconnect) {
    Script({{11, FrameMode::Short37}});
    StopAfterPolls(12);
    Monitor(ctx, sink);
    EXPECT_TRUE(Has(panel1, kComFailTimeouts));
    EXPECT_TRUE(Reconnected());
    EXPECT_TRUE(Has(panel2, "Ready @ 115200"));
    EXPECT_EQ(ctx.Stats.TimeoutErrors, 11);
    EXPECT_EQ(ctx.Stats.ChecksumErrors, 0);
    EXPECT_EQ(ctx.Stats.TotalFrames, 1);
    EXPECT_EQ(sink.seqs, (std::vector<double>{11}));
    // The reconnection's command precedes the 12th poll.
    const auto firstReset = std::find(device.transcript.begin(), device.transcript.end(), "send a");
    EXPECT_EQ(std::count(device.transcript.begin(), firstReset, "send f"), 11);
}

// Timed-out polls (short or silent) and bad checksums are counted and never reach the sink:
// nothing received leaves the last good frame in the buffer, and a repeated 37 bytes complete
// it with the old checksum byte. Ten timeouts in a row do not reconnect. Of a burst, one extra
// byte is kept and the rest dropped.
TEST(MonitorAnswers, OnlyNewGoodFramesReachTheSink) {
    using enum FrameMode;
    const struct {
        const char* name;
        std::vector<std::pair<int, FrameMode>> script;
        std::vector<double> seqs;
        double timeouts, checksums, total;
    } rows[] = {
        {"timeouts", {{10, Short37}, {1, Good}, {10, Silent}, {1, Good}}, {10, 11}, 20, 0, 2},
        {"repeat", {{1, Good}, {1, Silent}, {1, RepeatShort}, {1, Good}}, {0, 1}, 2, 0, 2},
        {"bad checksum", {{1, BadChecksum}, {1, Good}}, {1}, 0, 1, 2},
        // The torn answer's last bytes are let in and dropped before the next poll.
        {"torn", {{1, Torn}, {1, Good}}, {1}, 0, 1, 2},
        {"burst", {{1, Burst41}}, {0}, 0, 0, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        ConnectedLink l;
        int polls = 0;
        for (auto [count, mode] : row.script) {
            l.device.frames.insert(l.device.frames.end(), count, mode);
            polls += count;
        }
        l.StopAfterPolls(polls);
        Monitor(l.ctx, l.sink);
        EXPECT_EQ(l.sink.seqs, row.seqs);
        EXPECT_EQ(l.ctx.Stats.TimeoutErrors, row.timeouts);
        EXPECT_EQ(l.ctx.Stats.ChecksumErrors, row.checksums);
        EXPECT_EQ(l.ctx.Stats.TotalFrames, row.total);
        EXPECT_EQ(l.ctx.FrameCounter, polls);
        EXPECT_FALSE(l.Reconnected());
        EXPECT_FALSE(ConnectedLink::Has(l.panel1, kComFailTimeouts));
        if (row.script.back().second == Burst41) {
            EXPECT_EQ(std::vector<int>(&l.ctx.Frame[38], &l.ctx.Frame[41]),
                      (std::vector<int>{0xE1, 0, 0}));
        }
    }
}

TEST_F(MonitorFixture, ComResetReconnectsWithTheCurrentPort) {
    map.SetOverride(2, "/dev/pts/9");
    device.onPoll = [this](int poll) {
        if (poll == 3) {
            ctx.ComPort = 2;
            status.SetPanel(1, kComReset);
        }
        if (poll == 4) {
            ctx.Connected = false;
        }
    };
    Monitor(ctx, sink);
    EXPECT_TRUE(Has(device.transcript, "device /dev/pts/9"));
    EXPECT_EQ(status.Panel(1), kMonitoring);
    EXPECT_EQ(sink.seqs,
              (std::vector<double>{0, 1, 3}));  // the poll that saw the request is not used
}

TEST_F(MonitorFixture, ThreeFailedReconnectionsStopTheLoop) {
    device.onPoll = [this](int) { device.present = false; };
    const auto result = Monitor(ctx, sink);
    EXPECT_EQ(result.end, MonitorEnd::LinkFailed);
    EXPECT_EQ(device.setDeviceCalls, 4);  // the reconnection and three retries
    ASSERT_GE(panel2.size(), 3u);
    EXPECT_EQ(std::vector<std::string_view>(panel2.end() - 3, panel2.end()),
              (std::vector<std::string_view>{kComRetry, kComFailReconnects, kComStopped}));
    ExpectStopped();
}

TEST_F(MonitorFixture, ReconnectionThatSucceedsOnTheThirdRetryGoesOnPolling) {
    device.onPoll = [this](int poll) {
        if (poll == 1) {
            device.present = false;
        }
        if (poll == 4) {  // answered: the first, then two after the reconnection, and one sent
            ctx.Connected = false;
        }
    };
    device.onSetDevice = [this](int call) { device.present = call == 4; };
    const auto result = Monitor(ctx, sink);
    EXPECT_EQ(result.end, MonitorEnd::Stopped);
    EXPECT_TRUE(Has(panel2, "Ready @ 115200"));
    EXPECT_TRUE(Has(panel2, kComRetry));
    EXPECT_FALSE(Has(panel2, kComFailReconnects));
    EXPECT_EQ(device.setDeviceCalls, 4);
    EXPECT_EQ(sink.seqs, (std::vector<double>{0, 1, 2}));
}

TEST_F(MonitorFixture, VanishingPortStopsWithAReport) {
    device.vanishAfterPolls = 3;
    const auto result = Monitor(ctx, sink);
    EXPECT_EQ(result.end, MonitorEnd::PortLost);
    EXPECT_NE(result.error.find("went away"), std::string::npos);
    EXPECT_EQ(sink.seqs.size(), 2u);
    ExpectStopped();
    EXPECT_FALSE(device.IsOpen());
}

TEST_F(MonitorFixture, PortErrorDuringReconnectionIsAPortFailure) {
    device.onPoll = [this](int poll) {
        if (poll == 2) {
            status.SetPanel(1, kComReset);
            device.failOpen = true;
        }
    };
    EXPECT_THROW(Monitor(ctx, sink), PortFailure);
    ExpectStopped();
}

TEST_F(MonitorFixture, ClosingTheProgramUnwindsTheLoop) {
    device.steady = FrameMode::Silent;
    device.onPoll = [this](int poll) { rt.ending = poll == 30; };
    const auto result = Monitor(ctx, sink);
    EXPECT_EQ(result.end, MonitorEnd::Aborted);
}

}  // namespace
}  // namespace quelm
