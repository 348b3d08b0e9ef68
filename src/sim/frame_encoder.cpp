#include "sim/frame_encoder.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "decode/frame_decoder.h"

namespace quelm::sim {

namespace {

struct Point {
    double x;
    double y;
};

// The thermistor divider: volts -> degrees F, falling as the sensor warms.
constexpr std::array<Point, 8> kThermistor{{{0.24, 254},
                                            {0.39, 222},
                                            {0.72, 179},
                                            {1.42, 133},
                                            {3.6, 46},
                                            {4.08, 19},
                                            {4.37, -9},
                                            {4.52, -40}}};

// The barometric sensor: output frequency in Hz -> inches of mercury.
constexpr std::array<Point, 3> kBaro{
    {{116.8443, 15.0796}, {138.3355, 23.05705}, {162.2534, 30.97696}}};

// A typical hot-wire meter on a 5-litre engine: volts -> kg/h.
constexpr std::array<Point, 19> kMafCurve{{{0.50, 0},
                                           {0.75, 4},
                                           {1.00, 10},
                                           {1.25, 18},
                                           {1.50, 29},
                                           {1.75, 43},
                                           {2.00, 60},
                                           {2.25, 82},
                                           {2.50, 108},
                                           {2.75, 140},
                                           {3.00, 178},
                                           {3.25, 222},
                                           {3.50, 275},
                                           {3.75, 336},
                                           {4.00, 405},
                                           {4.25, 485},
                                           {4.50, 575},
                                           {4.75, 680},
                                           {5.00, 800}}};

// Finds x for a wanted y on a monotonic curve (rising or falling), holding the end values.
double InverseLookup(std::span<const Point> curve, double y) {
    const bool rising = curve.back().y > curve.front().y;
    const double lo = std::min(curve.front().y, curve.back().y);
    const double hi = std::max(curve.front().y, curve.back().y);
    y = std::clamp(y, lo, hi);
    for (std::size_t i = 1; i < curve.size(); ++i) {
        const Point a = curve[i - 1];
        const Point b = curve[i];
        const bool inside = rising ? (y >= a.y && y <= b.y) : (y <= a.y && y >= b.y);
        if (inside && a.y != b.y) {
            return a.x + (b.x - a.x) * (y - a.y) / (b.y - a.y);
        }
    }
    return curve.back().x;
}

std::uint16_t Word(double ticks) {
    if (!(ticks > 0)) {
        return 0;
    }
    return static_cast<std::uint16_t>(std::min(std::lround(ticks), 65535L));
}

void PutBigEndian(Frame& f, std::size_t at, std::uint16_t v) {
    f[at] = static_cast<std::uint8_t>(v >> 8);
    f[at + 1] = static_cast<std::uint8_t>(v & 0xFF);
}

void PutLittleEndian(Frame& f, std::size_t at, std::uint16_t v) {
    f[at] = static_cast<std::uint8_t>(v & 0xFF);
    f[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

}  // namespace

std::uint16_t VoltsToCount(double volts) {
    return static_cast<std::uint16_t>(std::lround(std::clamp(volts, 0.0, 5.0) / 5.0 * 1023.0));
}

double MafVoltsForFlow(double kgPerHour) {
    return InverseLookup(kMafCurve, kgPerHour);
}

double ThermistorVolts(double fahrenheit) {
    return InverseLookup(kThermistor, fahrenheit);
}

double BaroPeriodTicks(double inHg) {
    return 1.0 / (InverseLookup(kBaro, inHg) * kTimerTick);
}

RawCounts RawCountsFor(const EngineState& s) {
    RawCounts c;
    c.mafAd = VoltsToCount(MafVoltsForFlow(s.mafKgPerHour));
    c.tpsAd = VoltsToCount(s.tpsVolts);
    c.ectAd = VoltsToCount(ThermistorVolts(s.ectF));
    c.actAd = VoltsToCount(ThermistorVolts(s.actF));
    // A one-bar manifold sensor: 0..5 V over about 0..1 bar absolute.
    c.mapAd = VoltsToCount((s.manifoldPsi + 14.508) / 2.9224);
    // The wide-band interface's linear output: 10:1 at 0 V to 20:1 at 5 V.
    c.wbAd = VoltsToCount((s.wideBandAfr - 10.0) / 2.0);
    c.aux1Ad = VoltsToCount(s.aux1Volts);
    c.aux2Ad = VoltsToCount(s.aux2Volts);
    // The oxygen-sensor inputs are amplified so that 1 V reads full scale.
    c.hegoLeftAd = VoltsToCount(s.hegoLeftVolts * 5.0);
    c.hegoRightAd = VoltsToCount(s.hegoRightVolts * 5.0);

    // Below this the ignition pulses are too far apart for a 16-bit timer: read as stopped.
    constexpr double kSlowestRpm = 250;
    if (s.rpm >= kSlowestRpm) {
        const double firingSeconds = 120.0 / (s.rpm * kCylinders);
        c.firetime = Word(firingSeconds / kTimerTick);
        // The reference edge comes 10 degrees before the firing interval of 90 crank degrees
        // (two per cylinder on a distributor engine) runs out; the spark follows it by SPKTIME.
        const double intervalDeg = 360.0 / kCylinders * 2.0;
        const double degPerMs = s.rpm / 60.0 * 360.0 / 1000.0;
        c.spktime = Word((10.0 + intervalDeg - s.advanceDeg) / degPerMs * 921.234);
        const double cycleSeconds = 120.0 / s.rpm;
        if (s.injectorDuty >= 1.0) {
            c.status |= kInjectorHeldBit;  // held open: no pulse to measure
        } else {
            c.injtime = Word(s.injectorDuty * cycleSeconds / kPulseTick);
        }
        c.inj2time = c.injtime;
    }
    // Eight thousand sensor pulses per mile; too slow to time reads as standing still.
    if (s.mph > 0) {
        const double hertz = s.mph * 8000.0 / 3600.0;
        const double ticks = 1.0 / (hertz * kTimerTick);
        c.vsstime = ticks > 65535.0 ? 0 : Word(ticks);
    }
    c.baptime = Word(BaroPeriodTicks(s.baroInHg));
    return c;
}

Frame PackFrame(const RawCounts& c) {
    Frame f{};
    PutBigEndian(f, 0, c.mafAd);
    PutBigEndian(f, 2, c.tpsAd);
    PutBigEndian(f, 4, c.ectAd);
    PutBigEndian(f, 6, c.actAd);
    PutBigEndian(f, 8, c.mapAd);
    PutBigEndian(f, 10, c.wbAd);
    PutBigEndian(f, 12, c.aux1Ad);
    PutBigEndian(f, 14, c.aux2Ad);
    PutBigEndian(f, 16, c.hegoLeftAd);
    PutBigEndian(f, 18, c.hegoRightAd);
    PutLittleEndian(f, 20, c.firetime);
    PutLittleEndian(f, 22, c.spktime);
    PutLittleEndian(f, 24, c.injtime);
    PutLittleEndian(f, 26, c.baptime);
    PutLittleEndian(f, 28, c.inj2time);
    PutLittleEndian(f, 30, c.vsstime);
    PutLittleEndian(f, 32, 0);
    PutLittleEndian(f, 34, 0);
    f[36] = c.status;
    SealFrame(f);
    return f;
}

}  // namespace quelm::sim
