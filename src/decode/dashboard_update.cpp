#include "decode/dashboard_update.h"

#include <cmath>
#include <limits>

#include "decode/live_numbers.h"

namespace quelm {

namespace {

constexpr float kFuelCutDuty = 0.00001f;
// 2.2 lb per kg, 0.76 kg per litre of fuel, 0.26417 US gallons per litre.
constexpr double kGallonsPerPound = 2.2 * (0.76 / 0.26417);

float MilesPerGallon(const EngData& eng, const LiveConfig& config) {
    const double injectorSize = InjectorSize(config);
    if (!(injectorSize > 0) || !std::isfinite(injectorSize)) {
        return 0;  // while the injector size is being edited
    }
    const double fuel = injectorSize * (eng.INJDUTY / 100.0) * CylinderCount(config);
    const double mpg = eng.MPH * kGallonsPerPound / fuel;
    if (std::isnan(mpg)) {
        return 0;  // standing still on a fuel figure that underflowed to 0
    }
    // A vanishing fuel flow saturates rather than reading as infinity.
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(std::fmax(-kMax, std::fmin(kMax, mpg)));
}

}  // namespace

GaugeValues UpdateDashboard(EngData& eng, const LiveConfig& config) {
    GaugeValues g;
    g.MAFS = eng.MAF;
    g.tps = eng.TPS;
    g.ECT = eng.ECT;
    g.ACT = eng.ACT;
    g.bap = eng.BAP;
    g.Advance = eng.ADVANCE;
    g.Boost = eng.BOOST;
    g.Vac = eng.VACUUM;
    g.Tach = eng.RPM;
    g.Speedo = eng.MPH;
    g.AUX1 = eng.AUX1;
    g.AUX2 = eng.AUX2;
    g.HEGOL = eng.HEGOL;
    g.HEGOR = eng.HEGOR;
    g.DutyCycle = eng.INJDUTY;
    g.INJPW = eng.INJPW;
    g.WideBand = eng.WIDEO2;

    if (eng.INJDUTY == 0) {
        eng.INJDUTY = kFuelCutDuty;
    }
    eng.MPG = MilesPerGallon(eng, config);

    g.mpg = eng.MPG;
    g.EECLOAD = eng.LOAD;
    g.hp = eng.RWHP;
    g.TQ = eng.RWTQ;
    return g;
}

}  // namespace quelm
