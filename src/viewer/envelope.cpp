#include "viewer/envelope.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quelm {
namespace {

// The lowest and highest good value of records [a, b): single records at the ends, the block
// summaries for every whole block between them.
BlockExtremes FindExtremes(const LogColumns& log, std::size_t channel, std::size_t a,
                           std::size_t b) {
    const std::vector<float>& v = log.values[channel];
    const std::size_t headEnd =
        std::min(b, (a + kEnvelopeBlock - 1) / kEnvelopeBlock * kEnvelopeBlock);
    // In record order, so the first of equal values stays.
    BlockExtremes e = SummariseRecords(v, a, headEnd);
    std::size_t i = headEnd;
    for (; i + kEnvelopeBlock <= b; i += kEnvelopeBlock) {
        MergeExtremes(e, log.blocks[channel][i / kEnvelopeBlock]);
    }
    MergeExtremes(e, SummariseRecords(v, i, b));
    return e;
}

// The first record in [from, to) stamped at or after `t`. The next column's edge is near: a
// galloping search stays in the cache lines around `from`, where a plain binary search would
// start half the log away.
std::size_t After(const std::vector<double>& times, std::size_t from, std::size_t to, double t) {
    std::size_t step = 1;
    while (from + step < to && times[from + step] < t) {
        step *= 2;
    }
    const auto begin = times.begin() + static_cast<std::ptrdiff_t>(from + step / 2);
    const auto end = times.begin() + static_cast<std::ptrdiff_t>(std::min(from + step, to));
    return static_cast<std::size_t>(std::lower_bound(begin, end, t) - times.begin());
}

}  // namespace

void BuildEnvelope(const LogColumns& log, std::size_t channel, double t0, double t1, int columns,
                   EnvelopeLine& out, DisplayUnits units) {
    out.keys.clear();
    out.values.clear();
    const std::vector<double>& times = log.times;
    const std::vector<float>& v = log.values[channel];
    if (times.empty() || columns < 1 || !(t1 > t0)) {
        return;
    }
    const auto [first, last] = RecordsIn(times, t0, t1);
    const auto point = [&](std::size_t i) {
        out.keys.push_back(times[i]);
        out.values.push_back(v[i]);
    };

    if (first > 0) {
        point(first - 1);
    }
    const auto perColumn = static_cast<std::size_t>(columns);
    if (last - first <= 2 * perColumn) {
        for (std::size_t i = first; i < last; ++i) {
            point(i);
        }
    } else {
        const double width = (t1 - t0) / columns;
        std::size_t a = first;
        for (int c = 0; c < columns && a < last; ++c) {
            const std::size_t b =
                c + 1 == columns ? last : After(times, a, last, t0 + width * (c + 1));
            if (b == a) {
                continue;
            }
            const BlockExtremes e = FindExtremes(log, channel, a, b);
            if (e.min == kNoRecord) {
                out.keys.push_back(times[a]);
                out.values.push_back(std::numeric_limits<double>::quiet_NaN());
            } else {
                point(std::min(e.min, e.max));
                if (e.min != e.max) {
                    point(std::max(e.min, e.max));
                }
            }
            a = b;
        }
    }
    if (last < times.size()) {
        point(last);
    }
    // Converting the chosen points is exact: a conversion that turns the order round (fuel
    // economy) swaps a column's lowest and highest value, and both are kept.
    if (const auto quantity = DisplayQuantity(channel, units)) {
        for (double& value : out.values) {
            value = ToMetric(*quantity, value);
        }
    }
}

std::pair<double, double> AxisRange(const LogColumns& log, std::size_t channel,
                                    DisplayUnits units) {
    const auto& extent = log.extents[channel];
    if (!extent || !(extent->second > extent->first)) {
        return ScaleInUnits(channel, units);
    }
    const auto [lower, upper] = RangeInUnits(channel, extent->first, extent->second, units);
    const double margin = (upper - lower) * 0.05;
    return {lower - margin, upper + margin};
}

}  // namespace quelm
