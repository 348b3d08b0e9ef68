// What the dashboard shows for one frame, and the fuel economy it is the only place to compute.
#pragma once

#include "common/live_config.h"
#include "common/records.h"

namespace quelm {

// One value per dashboard gauge, declared in the order the gauges are written:
// MAFS, tps, ECT, ACT, bap, Advance, Boost, Vac, Tach, Speedo, AUX1, AUX2,
// the two needles of HEGOS (needle 0 HEGOL, then needle 1 HEGOR), DutyCycle, INJPW, WideBand,
// then (after the TPS tool's gauge, which shows `tps`, when that window is visible) mpg,
// EECLOAD, hp, TQ.
struct GaugeValues {
    float MAFS = 0;
    float tps = 0;
    float ECT = 0;
    float ACT = 0;
    float bap = 0;
    float Advance = 0;
    float Boost = 0;
    float Vac = 0;
    float Tach = 0;
    float Speedo = 0;
    float AUX1 = 0;
    float AUX2 = 0;
    float HEGOL = 0;
    float HEGOR = 0;
    float DutyCycle = 0;
    float INJPW = 0;
    float WideBand = 0;
    float mpg = 0;
    float EECLOAD = 0;
    float hp = 0;
    float TQ = 0;
};

// A zero injector duty becomes 0.00001 in `eng` (after DutyCycle has taken the 0), so that
// fuel economy during fuel cut is very large rather than a division by zero; MPG is computed
// and stored in `eng`. An injector size that is not a positive number gives MPG 0; the
// cylinder count is read as ConvertFrame reads it. MPG is always finite.
GaugeValues UpdateDashboard(EngData& eng, const LiveConfig& config);

}  // namespace quelm
