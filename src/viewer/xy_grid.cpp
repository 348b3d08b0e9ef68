#include "viewer/xy_grid.h"

#include <algorithm>
#include <limits>

namespace quelm {
namespace {

struct Span {
    double lower;
    double upper;
};

Span ValueSpan(const LogColumns& log, std::size_t channel, std::size_t first, std::size_t last) {
    const std::vector<float>& v = log.values[channel];
    double lower = std::numeric_limits<double>::infinity();
    double upper = -lower;
    for (std::size_t i = first; i < last; ++i) {
        if (!std::isnan(v[i])) {
            lower = std::min<double>(lower, v[i]);
            upper = std::max<double>(upper, v[i]);
        }
    }
    if (lower > upper) {
        return {LogChannels()[channel].lower, LogChannels()[channel].upper};
    }
    if (lower == upper) {
        return {lower - 0.5, upper + 0.5};
    }
    return {lower, upper};
}

int Cell(double value, const Span& span, int cells) {
    const double at = (value - span.lower) / (span.upper - span.lower) * cells;
    return std::clamp(static_cast<int>(at), 0, cells - 1);
}

}  // namespace

XYGrid BinXY(const LogColumns& log, std::size_t x, std::size_t y, std::optional<std::size_t> colour,
             std::size_t first, std::size_t last, int nx, int ny) {
    XYGrid grid;
    grid.nx = std::max(nx, 1);
    grid.ny = std::max(ny, 1);
    last = std::min(last, log.size());
    first = std::min(first, last);
    const Span xs = ValueSpan(log, x, first, last);
    const Span ys = ValueSpan(log, y, first, last);
    grid.xLower = xs.lower;
    grid.xUpper = xs.upper;
    grid.yLower = ys.lower;
    grid.yUpper = ys.upper;

    const auto cells = static_cast<std::size_t>(grid.nx) * static_cast<std::size_t>(grid.ny);
    std::vector<double> sums(cells, 0.0);
    std::vector<std::uint32_t> counts(cells, 0);
    const std::vector<float>& xv = log.values[x];
    const std::vector<float>& yv = log.values[y];
    for (std::size_t i = first; i < last; ++i) {
        if (!log.Good(i)) {
            continue;
        }
        const std::size_t cell =
            static_cast<std::size_t>(Cell(yv[i], ys, grid.ny)) * static_cast<std::size_t>(grid.nx) +
            static_cast<std::size_t>(Cell(xv[i], xs, grid.nx));
        sums[cell] += colour ? log.values[*colour][i] : 1.0;
        ++counts[cell];
        ++grid.points;
    }

    grid.cells.assign(cells, std::numeric_limits<double>::quiet_NaN());
    double lower = std::numeric_limits<double>::infinity();
    double upper = -lower;
    for (std::size_t c = 0; c < cells; ++c) {
        if (counts[c] == 0) {
            continue;
        }
        const double value = colour ? sums[c] / counts[c] : counts[c];
        grid.cells[c] = value;
        lower = std::min(lower, value);
        upper = std::max(upper, value);
    }
    if (lower <= upper) {
        grid.cellLower = lower;
        grid.cellUpper = upper > lower ? upper : lower + 1;
    }
    return grid;
}

}  // namespace quelm
