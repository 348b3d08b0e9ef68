#include "link/link_statistics.h"

#include <gtest/gtest.h>

namespace quelm {
namespace {

TEST(StatisticsTick, TurnsThePollCountIntoTexts) {
    LinkStats stats;
    stats.TotalFrames = 100;
    stats.TimeoutErrors = 20;
    stats.ChecksumErrors = 9;
    double counter = 23;
    const auto t = StatisticsTick(stats, counter);
    EXPECT_EQ(t.panel3, " 23 FPS");
    EXPECT_EQ(t.fps, "23");
    EXPECT_EQ(t.tfc, "100");
    EXPECT_EQ(t.toe, "20");
    EXPECT_EQ(t.cke, "9");
    EXPECT_EQ(t.flp, "29");  // 0.29 * 100 is a hair below 29 in binary
    EXPECT_DOUBLE_EQ(stats.FrameLoss, 0.29);
    EXPECT_EQ(stats.FramesPerSecond, 23);
    EXPECT_EQ(counter, 0);
}

TEST(StatisticsTick, FrameLossPercentage) {
    const struct {
        double total, timeouts, checksums;
        const char* flp;
    } rows[] = {
        {1000, 0, 0, "0"}, {3, 1, 0, "33"},  {200, 1, 0, "0"},
        {7, 7, 0, "100"},  {2, 3, 1, "200"},  // a timed-out poll adds nothing to TotalFrames
    };
    for (const auto& row : rows) {
        LinkStats stats;
        stats.TotalFrames = row.total;
        stats.TimeoutErrors = row.timeouts;
        stats.ChecksumErrors = row.checksums;
        double counter = 0;
        EXPECT_EQ(StatisticsTick(stats, counter).flp, row.flp) << row.total;
    }
}

TEST(StatisticsTick, NoCompletePollKeepsTheLastFrameLoss) {
    LinkStats stats;
    stats.TotalFrames = 4;
    stats.TimeoutErrors = 1;
    double counter = 5;
    StatisticsTick(stats, counter);
    stats.TotalFrames = 0;
    stats.TimeoutErrors = 50;
    const auto t = StatisticsTick(stats, counter);
    EXPECT_EQ(t.flp, "25");
    EXPECT_EQ(t.panel3, " 0 FPS");

    // A reset clears the counts but not the poll count.
    stats = {10, 2, 3, 40, 0.5};
    counter = 7;
    ResetStatistics(stats);
    EXPECT_EQ(stats.TotalFrames + stats.ChecksumErrors + stats.TimeoutErrors +
                  stats.FramesPerSecond + stats.FrameLoss,
              0);
    EXPECT_EQ(StatisticsTick(stats, counter).fps, "7");
}

}  // namespace
}  // namespace quelm
