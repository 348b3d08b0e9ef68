#include "widgets/gauge_scale.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quelm::gauge_scale {

double Fraction(double value, double minimum, double maximum) {
    const double span = maximum - minimum;
    if (!(span > 0.0) || std::isnan(value)) {
        return 0.0;
    }
    return std::clamp((value - minimum) / span, 0.0, 1.0);
}

double AngleDeg(double fraction) {
    return kStartAngleDeg - kSweepDeg * fraction;
}

double NiceStep(double range, double wantedIntervals) {
    if (!(range > 0.0) || !std::isfinite(range)) {
        return 1.0;
    }
    const double decade = std::pow(10.0, std::floor(std::log10(range)) - 1.0);
    constexpr std::array<double, 7> kMantissas{1.0, 2.0, 2.5, 5.0, 10.0, 20.0, 25.0};
    double best = decade * 10.0;
    double bestScore = 1e300;
    for (double m : kMantissas) {
        const double step = m * decade;
        const double intervals = range / step;
        if (intervals < 3.0 || intervals > 11.0) {
            continue;
        }
        // Prefer round steps: 2.5 spacings only when nothing else fits as well.
        const double penalty = (m == 2.5 || m == 25.0) ? 1.5 : 0.0;
        const double score = std::abs(intervals - wantedIntervals) + penalty;
        if (score < bestScore) {
            bestScore = score;
            best = step;
        }
    }
    return best;
}

int StepDecimals(double step) {
    for (int d = 0; d < 4; ++d) {
        const double scaled = step * std::pow(10.0, d);
        if (std::abs(scaled - std::round(scaled)) < 1e-6 * std::max(1.0, scaled)) {
            return d;
        }
    }
    return 4;
}

int ReadoutDecimals(double range) {
    if (!(range > 0.0) || !std::isfinite(range)) {
        return 2;
    }
    const int digits = static_cast<int>(std::floor(std::log10(range)));
    return std::clamp(2 - digits, 0, 3);
}

}  // namespace quelm::gauge_scale
