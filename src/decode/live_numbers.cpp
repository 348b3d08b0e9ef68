#include "decode/live_numbers.h"

#include <cmath>

#include "common/number_text.h"

namespace quelm {

namespace {

constexpr double kDefaultCylinders = 8;

}  // namespace

double CylinderCount(const LiveConfig& config) {
    const double n = LenientNumber(config.numcyl);
    return std::isfinite(n) && n > 0 ? n : kDefaultCylinders;
}

double SpeedCorrection(const LiveConfig& config) {
    return LenientNumber(config.vsscorrection);
}

double InjectorSize(const LiveConfig& config) {
    return LenientNumber(config.injsize);
}

}  // namespace quelm
