#include "tools/scope_rules.h"

#include <gtest/gtest.h>

#include <set>

#include "decode/scope_channels.h"

namespace quelm {
namespace {

TEST(ScopeRules, NextSlotIsTheLowestHiddenOneAndElevenWhenAllTenShow) {
    std::set<int> shown;
    auto visible = [&](int slot) { return shown.count(slot) > 0; };
    EXPECT_EQ(NextFreeScopeSlot(visible), 1);
    shown = {1, 2, 3, 4};
    EXPECT_EQ(NextFreeScopeSlot(visible), 5);
    shown = {1, 3, 4};
    EXPECT_EQ(NextFreeScopeSlot(visible), 2);
    shown = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(NextFreeScopeSlot(visible), kNoFreeScopeSlot);
    shown.erase(10);
    EXPECT_EQ(NextFreeScopeSlot(visible), 10);
}

TEST(ScopeRules, LiveFramesSkipMinimisedWindowsPlaybackDoesNot) {
    struct Row {
        bool visible, minimised, live, takes;
    };
    const Row rows[] = {
        {true, false, true, true},   {true, true, true, false}, {false, false, true, false},
        {true, false, false, true},  {true, true, false, true}, {false, false, false, false},
        {false, true, false, false},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(ScopeTakesFrame(r.visible, r.minimised, r.live), r.takes)
            << r.visible << r.minimised << r.live;
    }
}

TEST(ScopeRules, SavedNameFoundExactlyElseAdvance) {
    EXPECT_EQ(kScopeChannels[static_cast<std::size_t>(RestoredChannelIndex("RPM"))].name, "RPM");
    EXPECT_EQ(RestoredChannelIndex("*OFF*"), 0);
    EXPECT_EQ(kScopeChannels[static_cast<std::size_t>(RestoredChannelIndex("BOOST"))].name,
              "BOOST");
    for (const char* unknown : {"", "rpm", "RPM ", "Advance", "SPEED"}) {
        EXPECT_EQ(RestoredChannelIndex(unknown), 20) << unknown;
    }
    for (std::size_t i = 0; i < kScopeChannels.size(); ++i) {
        EXPECT_EQ(RestoredChannelIndex(kScopeChannels[i].name), static_cast<int>(i));
    }
}

TEST(ScopeRules, WindowAtLeast5000TwipsAndChartLessTheMargins) {
    EXPECT_EQ(FitScopeWindow({3000, 3000}), (ScopeSizing{{5000, 5000}, {4880, 3750}}));
    EXPECT_EQ(FitScopeWindow({9000, 4000}), (ScopeSizing{{9000, 5000}, {8880, 3750}}));
    EXPECT_EQ(FitScopeWindow({4999, 7200}), (ScopeSizing{{5000, 7200}, {4880, 5950}}));
    EXPECT_EQ(FitScopeWindow({5000, 5000}), (ScopeSizing{{5000, 5000}, {4880, 3750}}));
    EXPECT_DOUBLE_EQ(TwipsPerPixel(96), 15.0);
    EXPECT_DOUBLE_EQ(TwipsPerPixel(144), 10.0);
}

TEST(ScopeRules, PausedScopeScrollsWithinItsHistory) {
    const TimeRange shown{185, 200};
    // 120 s kept behind the newest point at 200 s.
    EXPECT_EQ(ScrollScope(shown, -30, 80, 200), (TimeRange{155, 170}));
    EXPECT_EQ(ScrollScope(shown, -500, 80, 200), (TimeRange{80, 95}));
    EXPECT_EQ(ScrollScope(shown, 40, 80, 200), (TimeRange{185, 200}));
    EXPECT_EQ(ScrollScope({100, 115}, 3, 80, 200), (TimeRange{103, 118}));
    // History trimmed under a paused view moves it along.
    EXPECT_EQ(ScrollScope({60, 75}, 0, 80, 200), (TimeRange{80, 95}));
    // Less history than the range: it starts at the oldest point.
    EXPECT_EQ(ScrollScope({0, 15}, -5, 2, 9), (TimeRange{2, 17}));
}

}  // namespace
}  // namespace quelm
