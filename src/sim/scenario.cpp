#include "sim/scenario.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quelm::sim {

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kBaroInHg = 29.9;
constexpr double kInHgPerPsi = 2.036;
constexpr double kDisplacementLitres = 5.0;
constexpr double kAirDensityKgPerLitre = 1.18e-3;  // at sea level and about 80 F
constexpr double kInjectorKgPerHour = 8.62;        // 19 lb/h
constexpr double kInjectorDeadSeconds = 0.0008;
constexpr double kWarmEctF = 195;

// Volumetric efficiency of a stock two-valve V8: breathes best in the upper mid range.
double VolumetricEfficiency(double rpm) {
    if (rpm <= 2500) {
        return 0.55 + 0.15 * std::clamp((rpm - 750) / 1750, 0.0, 1.0);
    }
    if (rpm <= 5000) {
        return 0.70 + 0.06 * (rpm - 2500) / 2500;
    }
    return 0.76 - 0.04 * std::min((rpm - 5000) / 1000, 1.0);
}

// Speed density: the air the cylinders draw at this speed and manifold pressure.
double AirFlowKgPerHour(double rpm, double manifoldPsi) {
    const double baroPsi = kBaroInHg / kInHgPerPsi;
    const double pressureRatio = std::max(baroPsi + manifoldPsi, 0.0) / baroPsi;
    const double litresPerSecond = kDisplacementLitres * rpm / 120.0;
    return litresPerSecond * VolumetricEfficiency(rpm) * kAirDensityKgPerLitre * pressureRatio *
           3600.0;
}

// Fraction of the cycle each injector must stay open to feed this air at this mixture.
double InjectorDuty(double rpm, double airKgPerHour, double afr) {
    const double fuelPerInjector = airKgPerHour / afr / 8.0;
    const double cycleSeconds = 120.0 / rpm;
    return fuelPerInjector / kInjectorKgPerHour + kInjectorDeadSeconds / cycleSeconds;
}

// A narrow-band sensor in closed loop: swings between lean (0.1 V) and rich (0.8 V).
double Switching(double seconds, double hertz, double phase) {
    return 0.45 + 0.35 * std::tanh(3.0 * std::sin(kTwoPi * hertz * seconds + phase));
}

double Wobble(double seconds, double period) {
    return std::sin(kTwoPi * seconds / period);
}

// Fills what every scenario derives the same way from speed, pressure and mixture.
void Complete(EngineState& s) {
    s.baroInHg = kBaroInHg;
    s.mafKgPerHour = AirFlowKgPerHour(s.rpm, s.manifoldPsi);
    s.injectorDuty = InjectorDuty(s.rpm, s.mafKgPerHour, s.wideBandAfr);
    s.aux1Volts = 2.5;
    s.aux2Volts = 0.0;
}

EngineState Idle(double t) {
    EngineState s;
    // Coolant warms from a cold start towards the thermostat's temperature.
    s.ectF = kWarmEctF - (kWarmEctF - 70.0) * std::exp(-t / 240.0);
    s.actF = 80.0 + 10.0 * (1.0 - std::exp(-t / 600.0));
    const double coldness = (kWarmEctF - s.ectF) / (kWarmEctF - 70.0);
    s.rpm = 750.0 + 150.0 * coldness + 12.0 * Wobble(t, 1.7) + 5.0 * Wobble(t, 0.37);
    s.mph = 0;
    s.tpsVolts = 0.98;
    s.manifoldPsi = -18.0 / kInHgPerPsi + 0.1 * Wobble(t, 1.7);
    s.advanceDeg = 14.0 + 2.0 * Wobble(t, 2.3);
    const double o2 = Switching(t, 0.8, 0.0);
    s.hegoLeftVolts = o2;
    s.hegoRightVolts = Switching(t, 0.8, 1.1);
    s.wideBandAfr = 14.7 - 0.6 * (o2 - 0.45) - 0.5 * coldness;
    Complete(s);
    return s;
}

EngineState Cruise(double t) {
    EngineState s;
    s.ectF = kWarmEctF + 2.0 * Wobble(t, 37.0);
    s.actF = 82.0;
    s.mph = 60.0 + 0.8 * Wobble(t, 11.0) + 0.2 * Wobble(t, 3.1);
    s.rpm = s.mph * (2000.0 / 60.0);  // overdrive, torque converter locked
    s.tpsVolts = 1.55 + 0.03 * Wobble(t, 5.3);
    s.manifoldPsi = -17.0 / kInHgPerPsi + 0.2 * Wobble(t, 5.3);
    s.advanceDeg = 34.0 + 1.0 * Wobble(t, 4.1);
    const double o2 = Switching(t, 1.5, 0.0);
    s.hegoLeftVolts = o2;
    s.hegoRightVolts = Switching(t, 1.5, 0.7);
    s.wideBandAfr = 14.7 - 0.6 * (o2 - 0.45);
    Complete(s);
    return s;
}

EngineState Wot(double t) {
    EngineState s;
    s.ectF = kWarmEctF + 3.0;
    s.actF = 78.0;
    const double phase = std::fmod(std::max(t, 0.0), kWotCycleSeconds);
    if (phase < kWotPullSeconds) {
        const double x = phase / kWotPullSeconds;
        s.rpm = 2500.0 + 3500.0 * x;
        s.tpsVolts = 4.35;
        s.manifoldPsi = -0.3;
        // Knock control pulls timing as load builds; the mixture goes richer to protect it.
        s.advanceDeg = 22.0 + 5.0 * x;
        s.wideBandAfr = 12.4 - 0.9 * x;
        s.hegoLeftVolts = 0.88;
        s.hegoRightVolts = 0.87;
    } else {
        const double x = (phase - kWotPullSeconds) / (kWotCycleSeconds - kWotPullSeconds);
        s.rpm = 6000.0 - 3500.0 * x;
        s.tpsVolts = 0.98;
        s.manifoldPsi = -21.0 / kInHgPerPsi;
        s.advanceDeg = 30.0;
        s.wideBandAfr = 16.5;
        s.hegoLeftVolts = 0.08;
        s.hegoRightVolts = 0.09;
    }
    s.mph = s.rpm * (69.0 / 6000.0);  // second gear
    Complete(s);
    return s;
}

}  // namespace

std::optional<Scenario> ParseScenario(std::string_view name) {
    if (name == "idle") {
        return Scenario::Idle;
    }
    if (name == "cruise") {
        return Scenario::Cruise;
    }
    if (name == "wot") {
        return Scenario::Wot;
    }
    return std::nullopt;
}

EngineState ScenarioState(Scenario s, double seconds) {
    switch (s) {
        case Scenario::Idle:
            return Idle(seconds);
        case Scenario::Cruise:
            return Cruise(seconds);
        case Scenario::Wot:
            return Wot(seconds);
    }
    return Idle(seconds);
}

}  // namespace quelm::sim
