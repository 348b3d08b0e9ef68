#include "files/playback.h"

#include <gtest/gtest.h>

namespace quelm {
namespace {

TEST(Playback, RoundsHalvesToEven) {
    const std::pair<double, std::int64_t> cases[] = {
        {0.0, 0},    {0.49, 0},  {0.5, 0},  {1.5, 2},  {2.5, 2},   {3.5, 4},
        {25.02, 25}, {30.0, 30}, {2.51, 3}, {-0.5, 0}, {-1.5, -2},
    };
    for (auto [value, rounded] : cases) {
        EXPECT_EQ(RoundHalfEven(value), rounded) << value;
    }
}

TEST(Playback, SliderRangeFollowsTheRecordCount) {
    struct Case {
        std::uint64_t bytes;
        SliderRange range;
    };
    const Case cases[] = {
        {600 * 48, {1, 600, 30}},
        {24020, {1, 500, 25}},       // 500.41 records: the partial one is out of reach
        {48 * 50, {1, 50, 2}},       // 2.5 ticks round to 2
        {48 * 70, {1, 70, 4}},       // 3.5 round to 4
        {48 * 30 + 40, {1, 30, 2}},  // 30.83 records: maximum 30, not 31
        {0, {1, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        const SliderRange r = PlaybackSliderRange(c.bytes);
        EXPECT_EQ(r.minimum, c.range.minimum);
        EXPECT_EQ(r.maximum, c.range.maximum);
        EXPECT_EQ(r.tickSpacing, c.range.tickSpacing);
    }
}

// The slider counts in int: a log of 2^31 records or more moves it two (or more) records a
// step, and its last position still reaches the last record.
TEST(Playback, SliderStaysWithinIntForAnyLog) {
    const SliderRange small = PlaybackSliderRange(600 * 48);
    EXPECT_EQ(small.recordsPerStep, 1);
    EXPECT_EQ(SliderPosition(small, 37), 37);
    EXPECT_EQ(SliderRecord(small, 37), 37);
    const std::int64_t records = (std::int64_t{1} << 31) + 5;
    const SliderRange big = PlaybackSliderRange(static_cast<std::uint64_t>(records) * 48);
    EXPECT_EQ(big.maximum, records);
    EXPECT_EQ(big.recordsPerStep, 2);
    const int last = SliderPosition(big, records);
    EXPECT_GT(last, 0);
    EXPECT_EQ(SliderRecord(big, last), records);
    EXPECT_EQ(SliderRecord(big, SliderPosition(big, 1001)), 1001);
    EXPECT_EQ(SliderRecord(big, 1), 1);
}

TEST(Playback, RealTimeWaitsUntilTheStamp) {
    EXPECT_TRUE(ShouldWait(12.33, 12.34));
    EXPECT_FALSE(ShouldWait(12.34, 12.34));
    EXPECT_FALSE(ShouldWait(20.0, 12.34));
    EXPECT_DOUBLE_EQ(RemainingWait(12.0, 12.5), 0.5);
    EXPECT_EQ(RemainingWait(13.0, 12.5), 0.0);
}

TEST(Playback, ControlsFollowTheStateTable) {
    using S = LoggingState;
    struct Row {
        S state;
        bool record, play, pause, stop, sliderVisible, sliderEnabled;
    };
    const Row rows[] = {
        {S::Idle, true, true, false, false, false, false},
        {S::Recording, false, false, false, true, false, false},
        {S::Declined, true, true, false, true, false, false},
        {S::LimitReached, false, false, false, true, false, false},
        {S::Playing, false, false, true, true, true, false},
        {S::Paused, false, true, false, true, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(static_cast<int>(row.state));
        const LoggingControls c = ControlsFor(row.state);
        EXPECT_EQ(c.record, row.record);
        EXPECT_EQ(c.play, row.play);
        EXPECT_EQ(c.pause, row.pause);
        EXPECT_EQ(c.stop, row.stop);
        EXPECT_EQ(c.sliderVisible, row.sliderVisible);
        EXPECT_EQ(c.sliderEnabled, row.sliderEnabled);
    }
}

TEST(Playback, ControllerAcceptsOnlyEnabledButtons) {
    PlaybackController pc;
    EXPECT_FALSE(pc.Pause());
    EXPECT_FALSE(pc.Stop());
    EXPECT_TRUE(pc.Play());
    EXPECT_FALSE(pc.Play());
    EXPECT_TRUE(pc.Pause());
    EXPECT_EQ(pc.state(), LoggingState::Paused);
    EXPECT_FALSE(pc.Pause());
    EXPECT_TRUE(pc.Play());  // resume
    EXPECT_EQ(pc.state(), LoggingState::Playing);
    EXPECT_TRUE(pc.Pause());
    EXPECT_TRUE(pc.Stop());  // stop while paused
    EXPECT_EQ(pc.state(), LoggingState::Idle);
}

}  // namespace
}  // namespace quelm
