#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "files_test_support.h"
#include "viewer/envelope.h"
#include "viewer/log_columns.h"
#include "viewer/xy_grid.h"

namespace quelm {
namespace {

using testing::ScratchDir;
using testing::StampedFrame;

// A log of `count` records whose MAF channel wanders at random, stamps rising by 0 or 1
// hundredth (several records share a stamp, as at the top rate), every 7th checksum broken.
LogColumns RandomLog(std::size_t count) {
    ScratchDir dir;
    std::mt19937 random(17);
    std::string bytes;
    std::uint32_t stamp = 0;
    for (std::size_t i = 0; i < count; ++i) {
        stamp += random() % 2;
        FrameBuffer frame = StampedFrame(stamp);
        frame[0] = static_cast<std::uint8_t>(random() % 4);
        frame[1] = static_cast<std::uint8_t>(random());
        SealFrame(frame);
        if (i % 7 == 3) {
            frame[37] ^= 1;
        }
        bytes += testing::RecordBytes(frame);
    }
    testing::Put(dir / "run.qm1", bytes);
    LogLoadResult loaded = LoadLogColumns(dir / "run.qm1", {}, BuiltInTables());
    EXPECT_EQ(loaded.kind, LogLoadResult::Kind::Done) << loaded.error;
    return std::move(loaded.columns);
}

const std::size_t kMaf = *FindLogChannel("MAF");

TEST(Envelope, KeepsEveryColumnsExtremesAndGapsAndIsExactAtFullZoom) {
    const LogColumns log = RandomLog(20000);
    ASSERT_EQ(log.badRecords, 2857u);  // every 7th record
    const std::vector<float>& maf = log.values[kMaf];
    EnvelopeLine line;

    // Few records per column: every record as it is, a failed one as a gap.
    const double t0 = log.times[5000];
    const double t1 = log.times[5100];
    BuildEnvelope(log, kMaf, t0, t1, 400, line);
    const auto first = static_cast<std::size_t>(
        std::lower_bound(log.times.begin(), log.times.end(), t0) - log.times.begin());
    ASSERT_GT(line.keys.size(), 100u);
    for (std::size_t k = 0; k < line.keys.size(); ++k) {
        const std::size_t i = first - 1 + k;  // the lead-in record comes first
        EXPECT_EQ(line.keys[k], log.times[i]);
        if (std::isnan(maf[i])) {
            EXPECT_TRUE(std::isnan(line.values[k]));
        } else {
            EXPECT_EQ(line.values[k], maf[i]);
        }
    }

    // Many records per column (whole blocks among them): each column's lowest and highest good
    // value are drawn inside the column.
    for (const int columns : {1, 37, 250}) {
        SCOPED_TRACE(columns);
        const double a = log.times[321];
        const double b = log.times[19500];
        BuildEnvelope(log, kMaf, a, b, columns, line);
        const double width = (b - a) / columns;
        for (int c = 0; c < columns; ++c) {
            const double lo = a + width * c;
            const double hi = c + 1 == columns ? std::nextafter(b, 1e9) : a + width * (c + 1);
            float want[2] = {std::numeric_limits<float>::max(), -std::numeric_limits<float>::max()};
            float got[2] = {want[0], want[1]};
            for (std::size_t i = 0; i < log.size(); ++i) {
                if (log.times[i] >= lo && log.times[i] < hi && !std::isnan(maf[i])) {
                    want[0] = std::min(want[0], maf[i]);
                    want[1] = std::max(want[1], maf[i]);
                }
            }
            for (std::size_t k = 0; k < line.keys.size(); ++k) {
                if (line.keys[k] >= lo && line.keys[k] < hi && !std::isnan(line.values[k])) {
                    got[0] = std::min(got[0], static_cast<float>(line.values[k]));
                    got[1] = std::max(got[1], static_cast<float>(line.values[k]));
                }
            }
            EXPECT_EQ(got[0], want[0]) << "column " << c;
            EXPECT_EQ(got[1], want[1]) << "column " << c;
        }
        EXPECT_LE(line.keys.size(), 2u * columns + 2);
    }
}

TEST(Envelope, MetricUnitsConvertTheLineAndEveryAxisStaysFinite) {
    const LogColumns log = RandomLog(2000);
    const std::size_t ect = *FindLogChannel("ECT");
    EnvelopeLine us;
    EnvelopeLine metric;
    BuildEnvelope(log, ect, log.times[100], log.times[1500], 50, us);
    BuildEnvelope(log, ect, log.times[100], log.times[1500], 50, metric, DisplayUnits::Metric);
    ASSERT_EQ(metric.values.size(), us.values.size());
    for (std::size_t i = 0; i < us.values.size(); ++i) {
        EXPECT_EQ(std::isnan(metric.values[i]), std::isnan(us.values[i]));
        if (!std::isnan(us.values[i])) {
            EXPECT_DOUBLE_EQ(metric.values[i], (us.values[i] - 32) * 5 / 9);
        }
    }
    // The log holds one temperature: the X-Y grid spans half a degree Celsius either side.
    const XYGrid grid = BinXY(log, ect, *FindLogChannel("RPM"), std::nullopt, 0, log.size(), 10, 10,
                              DisplayUnits::Metric);
    EXPECT_DOUBLE_EQ(grid.xUpper, (double{log.extents[ect]->second} - 32) * 5 / 9 + 0.5);
    // Fuel economy at 0 mpg has no litres per 100 km; no axis may be left without a range.
    ASSERT_EQ(log.extents[*FindLogChannel("MPG")]->first, 0.0f);
    for (std::size_t c = 0; c < kLogChannelCount; ++c) {
        const auto [lower, upper] = AxisRange(log, c, DisplayUnits::Metric);
        EXPECT_TRUE(std::isfinite(lower) && std::isfinite(upper) && lower < upper)
            << ChannelCaption(c, DisplayUnits::Metric) << ": " << lower << " .. " << upper;
    }
}

TEST(RecordAtOrBefore, FindsTheLastRecordStampedAtOrBeforeTheTime) {
    const std::vector<double> times = {1.00, 1.01, 1.01, 1.01, 1.05, 2.50};
    const struct {
        double t;
        std::optional<std::size_t> record;
    } cases[] = {
        {1.00, 0}, {1.005, 0}, {1.01, 3}, {1.04, 3}, {1.05, 4}, {2.49, 4}, {9.00, 5},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(RecordAtOrBefore(times, c.t), c.record) << c.t;
    }
    EXPECT_EQ(RecordAtOrBefore(times, 0.99), std::nullopt);
    EXPECT_EQ(RecordAtOrBefore({}, 1.0), std::nullopt);
}

}  // namespace
}  // namespace quelm
