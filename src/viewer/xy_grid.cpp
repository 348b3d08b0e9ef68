#include "viewer/xy_grid.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace quelm {
namespace {

struct Span {
    double lower;
    double upper;
};

// A channel's values in the units shown.
class Shown {
  public:
    Shown(const LogColumns& log, std::size_t channel, DisplayUnits units)
        : values_(log.values[channel]), quantity_(DisplayQuantity(channel, units)) {}
    double operator()(std::size_t i) const {
        return quantity_ ? ToMetric(*quantity_, values_[i]) : values_[i];
    }

  private:
    const std::vector<float>& values_;
    std::optional<Quantity> quantity_;
};

Span ValueSpan(const Shown& v, std::size_t first, std::size_t last,
               std::pair<double, double> scale) {
    double lower = std::numeric_limits<double>::infinity();
    double upper = -lower;
    for (std::size_t i = first; i < last; ++i) {
        if (const double value = v(i); !std::isnan(value)) {
            lower = std::min(lower, value);
            upper = std::max(upper, value);
        }
    }
    if (lower > upper) {
        return {scale.first, scale.second};
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
             std::size_t first, std::size_t last, int nx, int ny, DisplayUnits units) {
    XYGrid grid;
    grid.nx = std::max(nx, 1);
    grid.ny = std::max(ny, 1);
    last = std::min(last, log.size());
    first = std::min(first, last);
    const Shown xv(log, x, units);
    const Shown yv(log, y, units);
    const Shown cv(log, colour.value_or(0), units);
    const Span xs = ValueSpan(xv, first, last, ScaleInUnits(x, units));
    const Span ys = ValueSpan(yv, first, last, ScaleInUnits(y, units));
    grid.xLower = xs.lower;
    grid.xUpper = xs.upper;
    grid.yLower = ys.lower;
    grid.yUpper = ys.upper;

    const auto cells = static_cast<std::size_t>(grid.nx) * static_cast<std::size_t>(grid.ny);
    std::vector<double> sums(cells, 0.0);
    std::vector<std::uint32_t> counts(cells, 0);
    for (std::size_t i = first; i < last; ++i) {
        const double xi = xv(i);
        const double yi = yv(i);
        const double ci = colour ? cv(i) : 1.0;
        // NaN: a failed checksum, or no metric value.
        if (std::isnan(xi) || std::isnan(yi) || std::isnan(ci)) {
            continue;
        }
        const std::size_t cell =
            static_cast<std::size_t>(Cell(yi, ys, grid.ny)) * static_cast<std::size_t>(grid.nx) +
            static_cast<std::size_t>(Cell(xi, xs, grid.nx));
        sums[cell] += ci;
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
