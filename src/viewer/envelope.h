// What a chart draws of a channel: at most two points per pixel column, so that a million
// records cost no more to draw than the chart is wide.
#pragma once

#include <cstddef>
#include <utility>
#include <vector>

#include "decode/display_units.h"

#include "viewer/log_columns.h"

namespace quelm {

struct EnvelopeLine {
    std::vector<double> keys;    // seconds, in time order
    std::vector<double> values;  // NaN breaks the line: records that failed their checksum
};

// The line of `channel` over the times t0..t1 for a chart `columns` pixels wide. While the range
// holds at most two records per column, every record is a point of its own (NaN for a failed
// one). Otherwise each column t0 + k*(t1-t0)/columns .. the next gives the lowest and the
// highest good value among its records, at their own times and in time order, or one NaN
// point when all of them failed. The records just outside the range are added so that the line
// runs on to the edges. The values are in `units`. `out` is overwritten; its storage is reused.
void BuildEnvelope(const LogColumns& log, std::size_t channel, double t0, double t1, int columns,
                   EnvelopeLine& out, DisplayUnits units = DisplayUnits::US);

// The value range of a channel's axis in `units`: what the whole log holds, a little wider, or
// the channel's gauge scale when the log holds a single value or none.
std::pair<double, double> AxisRange(const LogColumns& log, std::size_t channel, DisplayUnits units);

}  // namespace quelm
