#include "decode/convert_frame.h"

#include <cmath>
#include <limits>

#include "decode/live_numbers.h"

namespace quelm {

namespace {

constexpr double kTimerTick = 1.0855e-6;        // seconds per timer count
constexpr double kPulseTick = 4.0 / 3500000.0;  // seconds per injector count
constexpr double kVssPulsesPerMile = 8000;
constexpr double kMaxRpm = 10000;
constexpr double kImplausibleRpm = 20000;
constexpr double kFuelCutRpm = 1200;
constexpr std::uint8_t kInjectorsHeld = 16;

double Volts(double counts) {
    return counts / 1023 * 5;
}

// Every value is computed in double and kept in single precision. A result outside the float
// range (absurd settings texts such as a cylinder count of 1e-50) saturates instead of turning
// into infinity, and a NaN from a malformed record reads 0, so the displays always get a number.
float Store(double v) {
    constexpr double kMax = std::numeric_limits<float>::max();
    if (std::isnan(v)) {
        return 0;
    }
    if (v > kMax) {
        return std::numeric_limits<float>::max();
    }
    if (v < -kMax) {
        return -std::numeric_limits<float>::max();
    }
    return static_cast<float>(v);
}

// The four smoothing stages (MPH, RPM, HEGOL, HEGOR) average over one sample, so their output is
// their input; a pass-through keeps ConvertFrame free of per-channel ring state.
double Smoothed(double v) {
    return v;
}

void ConvertManifoldPressure(const RawData& raw, const LiveConfig& config, EngData& eng,
                             ConvertOutput& out) {
    const double u = Volts(raw.MAPAD);
    const double z = config.mapZeroOffset;
    switch (config.map) {
        case MapOption::NoMap:
            eng.BOOST = 0;
            eng.VACUUM = 0;
            return;
        case MapOption::OneBar:
            eng.BOOST = Store(u * 2.9224 - 14.508 + z);
            break;
        case MapOption::TwoBar:
            eng.BOOST = Store(u * 5.8448 - 14.313 + z);
            out.boostFullScale = 15;
            break;
        case MapOption::ThreeBar:
            eng.BOOST = Store(u * 8.7671 - 14.119 + z);
            out.boostFullScale = 30;
            break;
    }
    eng.VACUUM = eng.BOOST >= 0 ? 0.0f : Store(eng.BOOST * -2.036);
}

void ConvertWideBand(const RawData& raw, const LiveConfig& config, const CalibrationTables& tables,
                     EngData& eng) {
    const double w = Volts(raw.WBAD);
    switch (config.wideBand) {
        case WideBandOption::Bailey:
            eng.WIDEO2 = Store((w - 10) / -0.5);
            break;
        case WideBandOption::Diy:
            eng.WIDEO2 = Store(DiyLookup(tables, w));
            break;
        case WideBandOption::Innovate:
            eng.WIDEO2 = Store(2 * w + 10);
            break;
        case WideBandOption::NoWideBand:
            break;  // keeps the last reading
    }
}

void ConvertAdvance(const RawData& raw, const LiveConfig& config, double cylinders, EngData& eng) {
    double interval = 360 / cylinders;
    if (!config.hasdis) {
        interval *= 2;
    }
    float rate = static_cast<float>(static_cast<double>(eng.RPM) / 60 * 360 / 1000);
    if (rate == 0) {
        rate = 0.00001f;
    }
    const double intervalMs = interval * (1 / static_cast<double>(rate));
    double advance = 10 + rate * (intervalMs - raw.SPKTIME / 921.234);
    // The wrap test uses a whole millisecond per thousand counts, not the spark timer's scale.
    if (raw.SPKTIME / 1000 < intervalMs / 2) {
        advance -= interval;
    }
    eng.ADVANCE = Store(advance);
}

}  // namespace

ConvertOutput ConvertFrame(const RawData& raw, const LiveConfig& config,
                           const CalibrationTables& tables, ConvertState& state) {
    ConvertOutput out;
    EngData& eng = state.eng;
    const double cylinders = CylinderCount(config);

    // 1. Road speed.
    if (raw.VSSTIME == 0) {
        eng.MPH = 0;
    } else {
        const double hertz = 1 / (raw.VSSTIME * kTimerTick);
        const double mph = Smoothed(hertz / kVssPulsesPerMile * 3600);
        eng.MPH = Store(mph * SpeedCorrection(config));
    }

    // 2. Engine speed. A zero period is read as one tick here only; the record stays as received.
    const double fireTime = raw.FIRETIME == 0 ? 1 : raw.FIRETIME;
    eng.RPM = Store(Smoothed(1 / (fireTime * kTimerTick * cylinders) * 2 * 60));
    if (eng.RPM > kImplausibleRpm) {
        eng.RPM = 0;
    }
    if (eng.RPM > kMaxRpm) {
        eng.RPM = static_cast<float>(kMaxRpm);
    }

    // 3.-5. Barometer, sensor volts, temperatures.
    eng.BAP = Store(BapLookup(tables, 1 / ((raw.BAPTIME + 1e-12) * kTimerTick)));
    eng.MAF = Store(Volts(raw.MAFAD));
    eng.TPS = Store(Volts(raw.TPSAD));
    eng.ECT = Store(ThermLookup(tables, Volts(raw.ECTAD)));
    eng.ACT = Store(ThermLookup(tables, Volts(raw.ACTAD)));

    // 6.-9. Manifold pressure, wide-band, auxiliary inputs, oxygen sensors.
    ConvertManifoldPressure(raw, config, eng, out);
    ConvertWideBand(raw, config, tables, eng);
    eng.AUX1 = Store(Volts(raw.AUX1AD));
    eng.AUX2 = Store(Volts(raw.AUX2AD));
    eng.HEGOL = Store(Smoothed(raw.HEGOLAD / 1023));
    eng.HEGOR = Store(Smoothed(raw.HEGORAD / 1023));

    // 10. Spark advance.
    ConvertAdvance(raw, config, cylinders, eng);

    // 11.-16. Injectors. Batch fire doubles a local copy, so converting a record again (playback
    // and export re-convert records that follow a rejected one) gives the same values.
    const double injTime = config.hasbatchfire ? raw.INJTIME * 2 : raw.INJTIME;
    eng.INJDUTY = Store(injTime / (cylinders * fireTime) * 100);
    eng.INJPW = Store(injTime * kPulseTick * 1000);
    eng.INJHELD = static_cast<float>(raw.STATUS & kInjectorsHeld);
    if (eng.INJDUTY == 0) {
        eng.INJPW = Store(state.LastPW);
        if (eng.RPM < kFuelCutRpm) {
            eng.INJDUTY = Store(state.LastDuty);
        } else {
            eng.INJDUTY = eng.INJHELD == kInjectorsHeld ? 100.0f : 0.0f;
        }
    }
    state.LastDuty = eng.INJDUTY;
    state.LastPW = eng.INJPW;

    // 17. Load, power and torque from the air flow; the load formula assumes a 306 cubic inch V8.
    if (eng.RPM > 0) {
        const double rpm = eng.RPM;
        const double flow = MafLookup(tables, eng.MAF);
        eng.LOAD = Store((flow * 0.36666666) / (4 * (306.0 / 8 * 0.00044256) * rpm));
        eng.RWHP = Store((flow - 0.0175) / 3.1599);
        eng.RWTQ = Store(eng.RWHP * 5252.0 / rpm);
    } else {
        eng.LOAD = 0;
        eng.RWHP = 0;
        eng.RWTQ = 0;
    }
    return out;
}

}  // namespace quelm
