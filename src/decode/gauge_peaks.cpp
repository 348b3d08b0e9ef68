#include "decode/gauge_peaks.h"

#include <array>
#include <limits>

namespace quelm {
namespace {

constexpr std::array<float GaugeValues::*, 21> kFields{
    &GaugeValues::MAFS,     &GaugeValues::tps,     &GaugeValues::ECT,       &GaugeValues::ACT,
    &GaugeValues::bap,      &GaugeValues::Advance, &GaugeValues::Boost,     &GaugeValues::Vac,
    &GaugeValues::Tach,     &GaugeValues::Speedo,  &GaugeValues::AUX1,      &GaugeValues::AUX2,
    &GaugeValues::HEGOL,    &GaugeValues::HEGOR,   &GaugeValues::DutyCycle, &GaugeValues::INJPW,
    &GaugeValues::WideBand, &GaugeValues::mpg,     &GaugeValues::EECLOAD,   &GaugeValues::hp,
    &GaugeValues::TQ,
};
static_assert(sizeof(GaugeValues) == kFields.size() * sizeof(float),
              "every dial value has its peak");

}  // namespace

void GaugePeaks::Update(const GaugeValues& values) {
    for (float GaugeValues::*field : kFields) {
        // A NaN compares false and so never becomes the peak.
        if (values.*field > peaks_.*field) {
            peaks_.*field = values.*field;
        }
    }
}

void GaugePeaks::Reset() {
    for (float GaugeValues::*field : kFields) {
        peaks_.*field = -std::numeric_limits<float>::infinity();
    }
}

}  // namespace quelm
