#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "link/monitor.h"
#include "link_fake_device.h"

namespace quelm {
namespace {

using test::FakeDevice;
using test::FrameMode;

struct ReadFrameAt : ::testing::TestWithParam<int>, test::FakeLink {
    ReadFrameAt() {
        const auto rate = std::to_string(GetParam());
        device.deviceRate = GetParam();
        device.SetSettings(rate + ",n,8,1");
        device.Open();
        ctx.BaudRate = rate;
    }
    double LongestGapBetweenYields(double from) const {
        double gap = 0;
        for (double t : rt.yieldsAt) {
            gap = std::max(gap, t - from);
            from = t;
        }
        return gap;
    }
};

TEST_P(ReadFrameAt, CollectsAFrameInAFewReadsAndKeepsYielding) {
    for (auto mode : {FrameMode::Good, FrameMode::Split}) {
        device.frames = {mode};
        device.transcript.clear();
        rt.yieldsAt.clear();
        const double start = rt.Now();
        ReadFrame(ctx);
        EXPECT_FALSE(ctx.FrameTimedOut);
        EXPECT_EQ(std::vector<std::uint8_t>(ctx.Frame.begin(), ctx.Frame.begin() + kFrameBytes),
                  FakeDevice::MakeFrame(device.nextSeq - 1));
        // The flush, then one read per burst: no read of a byte or two at a time.
        EXPECT_LE(Count("read"), mode == FrameMode::Good ? 2 : 3);
        EXPECT_LE(LongestGapBetweenYields(start), 0.005 + 1e-9);
        // Asleep through the frame's line time, not awake every millisecond of it; the device's
        // 2 ms before answering and the last bytes are waited for a millisecond at a time. (So is
        // the split frame's pause, hence no bound there.)
        if (mode == FrameMode::Good) {
            const double lineTime = kFrameBytes * 10.0 / GetParam();
            EXPECT_LE(static_cast<double>(rt.yieldsAt.size()), std::ceil(lineTime / 0.005) + 7);
        }
    }
    EXPECT_EQ(ctx.Stats.TotalFrames, 2);
}

TEST_P(ReadFrameAt, ASilentDeviceTimesOutAtTheDeadlineWhileYielding) {
    device.frames = {FrameMode::Silent};
    const double start = rt.Now();
    ReadFrame(ctx);
    EXPECT_TRUE(ctx.FrameTimedOut);
    EXPECT_EQ(ctx.Stats.TimeoutErrors, 1);
    EXPECT_NEAR(rt.Now() - start, kPollTimeout, 0.002);
    EXPECT_LE(LongestGapBetweenYields(start), 0.005 + 1e-9);
}

// Window work that takes a millisecond and more per yield runs while the frame is on the line:
// the frame is in as soon as its bytes are, with no yield between them and the next poll.
TEST_P(ReadFrameAt, SlowRepaintsOverlapTheLineInsteadOfDelayingTheFrame) {
    rt.yieldTakes = 0.0012;
    device.frames = {FrameMode::Good};
    const double start = rt.Now();
    ReadFrame(ctx);
    EXPECT_FALSE(ctx.FrameTimedOut);
    const double answerDelay = 0.002;
    const double lineTime = kFrameBytes * 10.0 / GetParam();
    // Within the wait granularity of the last bytes, well under one yield.
    EXPECT_LE(rt.Now() - start, answerDelay + lineTime + 0.0006);
    ASSERT_FALSE(rt.yieldsAt.empty());
    EXPECT_LE(LongestGapBetweenYields(start), 0.005 + rt.yieldTakes + 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Rates, ReadFrameAt, ::testing::Values(9600, 57600, 115200));

}  // namespace
}  // namespace quelm
