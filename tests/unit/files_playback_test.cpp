#include "files/playback.h"

#include "files/playback_keys.h"

#include <gtest/gtest.h>

namespace quelm {
namespace {

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

TEST(Playback, KeysActOnTheStateTheyArePressedIn) {
    // 100 records half a second apart: record n is stamped (n - 1) / 2 s.
    const auto stampOf = [](std::uint64_t n) { return static_cast<double>(n - 1) * 0.5; };
    using K = PlaybackKeyAction::Kind;
    using S = LoggingState;
    struct Row {
        const char* key;
        S state;
        std::uint64_t position;
        PlaybackKeyAction action;
    };
    const Row rows[] = {
        {"Space", S::Idle, 0, {K::Play}},
        {"Space", S::Playing, 5, {K::Pause}},
        {"Space", S::Paused, 5, {K::Play}},
        {"Space", S::Recording, 0, {}},
        {"Left", S::Paused, 5, {K::Move, 4}},
        {"Left", S::Paused, 1, {}},   // already at the start
        {"Left", S::Playing, 5, {}},  // steps only while paused
        {"Right", S::Paused, 5, {K::Move, 6}},
        {"Right", S::Paused, 100, {}},
        {"PgUp", S::Playing, 50, {K::Move, 30}},  // 24.5 s -> 14.5 s
        {"PgUp", S::Paused, 15, {K::Move, 1}},    // 7 s: to the start
        {"PgDown", S::Paused, 50, {K::Move, 70}},
        {"PgDown", S::Playing, 90, {K::Move, 100}},  // past the end: the last record
        {"Home", S::Playing, 50, {K::Move, 1}},
        {"End", S::Paused, 50, {K::Move, 100}},
        {"Home", S::Idle, 50, {}},           // nothing to move
        {"M", S::Recording, 50, {K::Mark}},  // whatever the playback does
        {"X", S::Playing, 50, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.key) + " at " + std::to_string(row.position));
        EXPECT_EQ(ActionForKey(row.key, row.state, row.position, 100, stampOf), row.action);
    }
}

TEST(Playback, ClockTextCutsToHundredths) {
    const std::pair<double, const char*> cases[] = {
        {0, "0:00:00.00"},          {12.34, "0:00:12.34"}, {3723.456, "1:02:03.45"},
        {167772.15, "46:36:12.15"}, {-1, "0:00:00.00"},
    };
    for (const auto& [seconds, text] : cases) {
        EXPECT_EQ(ClockText(seconds), text) << seconds;
    }
}

TEST(Playback, ControlsFollowTheStateTable) {
    using S = LoggingState;
    // Record, Play, pause, Stop enabled; the slider Visible, Enabled.
    const std::pair<S, std::string> rows[] = {
        {S::Idle, "RP----"},         {S::Recording, "---S--"}, {S::Declined, "RP-S--"},
        {S::LimitReached, "---S--"}, {S::Playing, "--pSV-"},   {S::Paused, "-P-SVE"},
    };
    for (const auto& [state, shown] : rows) {
        const LoggingControls c = ControlsFor(state);
        const bool on[] = {c.record, c.play, c.pause, c.stop, c.sliderVisible, c.sliderEnabled};
        std::string flags;
        for (std::size_t i = 0; i < std::size(on); ++i) {
            flags += on[i] ? "RPpSVE"[i] : '-';
        }
        EXPECT_EQ(flags, shown) << static_cast<int>(state);
    }
}

}  // namespace
}  // namespace quelm
