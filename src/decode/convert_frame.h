// Turns the raw record into engineering values under the live settings.
#pragma once

#include <optional>

#include "common/live_config.h"
#include "common/records.h"
#include "decode/calibration_tables.h"

namespace quelm {

// What conversions carry from one frame to the next: the values a frame may leave unchanged
// (WIDEO2 without a wide-band interface, BOOST and VACUUM without a MAP sensor) and the
// injector duty and pulse width held through a zero pulse.
struct ConvertState {
    EngData eng{};
    double LastDuty = 0;
    double LastPW = 0;
};

struct ConvertOutput {
    // The Boost gauge's full scale for this frame (15 with a 2-bar, 30 with a 3-bar sensor).
    std::optional<double> boostFullScale;
};

// Fills state.eng from `raw`. `raw` is not modified, so converting the same record twice gives
// the same values. No NaN or infinity ever reaches state.eng.
ConvertOutput ConvertFrame(const RawData& raw, const LiveConfig& config,
                           const CalibrationTables& tables, ConvertState& state);

}  // namespace quelm
