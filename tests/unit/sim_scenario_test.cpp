#include "sim/scenario.h"

#include <gtest/gtest.h>

#include "decode/frame_decoder.h"
#include "sim/frame_encoder.h"

namespace quelm::sim {
namespace {

// A frame read back the way the dashboard reads it, for an eight-cylinder distributor engine
// with the linear wide-band interface.
struct Readback {
    double rpm = 0;
    double mph = 0;
    double duty = 0;
    double advance = 0;
    double mafVolts = 0;
    double tpsVolts = 0;
    double afr = 0;
    double hegoLeft = 0;
    double ectVolts = 0;
    double baroHz = 0;
    double boostPsi = 0;
};

Readback Read(const Frame& frame) {
    FrameBuffer buffer{};
    std::copy(frame.begin(), frame.end(), buffer.begin());
    RawData raw;
    EXPECT_FALSE(DecodeFrame(buffer, raw)) << "checksum";
    const auto volts = [](double count) { return count / 1023.0 * 5.0; };
    Readback r;
    r.rpm = raw.FIRETIME == 0 ? 0 : 120.0 / (raw.FIRETIME * 1.0855e-6 * 8);
    r.mph = raw.VSSTIME == 0 ? 0 : 1.0 / (raw.VSSTIME * 1.0855e-6) / 8000 * 3600;
    r.duty = raw.INJTIME == 0 && (raw.STATUS & 16) ? 100 : raw.INJTIME / (8 * raw.FIRETIME) * 100;
    const double rate = r.rpm / 60 * 360 / 1000;
    r.advance = 10 + rate * (90 / rate - raw.SPKTIME / 921.234);
    if (raw.SPKTIME / 1000 < 90 / rate / 2) {
        r.advance -= 90;
    }
    r.mafVolts = volts(raw.MAFAD);
    r.tpsVolts = volts(raw.TPSAD);
    r.afr = 2 * volts(raw.WBAD) + 10;
    r.hegoLeft = raw.HEGOLAD / 1023;
    r.ectVolts = volts(raw.ECTAD);
    r.baroHz = 1.0 / (raw.BAPTIME * 1.0855e-6);
    r.boostPsi = volts(raw.MAPAD) * 2.9224 - 14.508;
    return r;
}

Readback At(Scenario s, double t) {
    return Read(EncodeFrame(ScenarioState(s, t)));
}

TEST(SimEncoder, KnownTimerWordsReadBackToTheirValues) {
    EngineState s;
    s.rpm = 1000;
    s.advanceDeg = 16;
    s.mph = 60;
    const RawCounts c = RawCountsFor(s);
    EXPECT_NEAR(c.firetime, 13819, 1);  // 1000 rpm, eight cylinders
    EXPECT_NEAR(c.spktime, 12897, 1);   // 16 degrees at 1000 rpm
    EXPECT_NEAR(c.vsstime, 6909, 1);    // 60 mph at 8000 pulses a mile
    s.rpm = 0;
    s.mph = 0;
    const RawCounts stopped = RawCountsFor(s);
    EXPECT_EQ(stopped.firetime, 0);
    EXPECT_EQ(stopped.vsstime, 0);
}

TEST(SimEncoder, SensorCurvesInvertAtTheirBreakpoints) {
    EXPECT_NEAR(ThermistorVolts(179), 0.72, 1e-9);
    EXPECT_NEAR(ThermistorVolts(156), 1.07, 1e-9);
    EXPECT_NEAR(ThermistorVolts(-60), 4.52, 1e-9);
    EXPECT_NEAR(ThermistorVolts(300), 0.24, 1e-9);
    // 29.9 inHg lies between the 138.3 Hz and 162.3 Hz points of the barometric sensor.
    const double hz = 1.0 / (BaroPeriodTicks(29.9) * kTimerTick);
    EXPECT_NEAR(hz, 159.0, 0.1);
    EXPECT_LT(MafVoltsForFlow(20), MafVoltsForFlow(100));
    EXPECT_NEAR(MafVoltsForFlow(0), 0.5, 1e-9);
}

TEST(SimEncoder, InjectorHeldOpenSetsTheStatusBitInsteadOfAPulse) {
    EngineState s;
    s.rpm = 6000;
    s.injectorDuty = 1.2;
    const RawCounts c = RawCountsFor(s);
    EXPECT_EQ(c.injtime, 0);
    EXPECT_EQ(c.status & kInjectorHeldBit, kInjectorHeldBit);
}

TEST(SimScenario, IdleWarmsUpNear750WithTheCarStanding) {
    const Readback cold = At(Scenario::Idle, 0);
    const Readback warm = At(Scenario::Idle, 1200);
    EXPECT_GT(cold.ectVolts, warm.ectVolts);  // the thermistor's volts fall as it warms
    EXPECT_GT(cold.ectVolts, 2.5);
    EXPECT_NEAR(warm.ectVolts, ThermistorVolts(195), 0.02);
    for (double t = 600; t < 660; t += 0.37) {
        const Readback r = At(Scenario::Idle, t);
        EXPECT_NEAR(r.rpm, 750, 40) << t;
        EXPECT_EQ(r.mph, 0);
        EXPECT_NEAR(r.tpsVolts, 0.98, 0.01);
        EXPECT_GT(r.advance, 10);
        EXPECT_LT(r.advance, 18);
        EXPECT_GT(r.duty, 1);
        EXPECT_LT(r.duty, 10);
        EXPECT_GT(r.mafVolts, 1.0);
        EXPECT_LT(r.mafVolts, 2.0);
        EXPECT_LT(r.boostPsi, -7);  // strong vacuum
        EXPECT_NEAR(r.baroHz, 159, 1);
    }
}

TEST(SimScenario, CruiseHoldsAbout2000RpmAnd60Mph) {
    double hegoLow = 1;
    double hegoHigh = 0;
    for (double t = 0; t < 60; t += 0.13) {
        const Readback r = At(Scenario::Cruise, t);
        EXPECT_NEAR(r.rpm, 2000, 50) << t;
        EXPECT_NEAR(r.mph, 60, 2) << t;
        EXPECT_NEAR(r.advance, 34, 1.5);
        EXPECT_NEAR(r.afr, 14.7, 0.4);
        EXPECT_GT(r.duty, 3);
        EXPECT_LT(r.duty, 30);
        hegoLow = std::min(hegoLow, r.hegoLeft);
        hegoHigh = std::max(hegoHigh, r.hegoLeft);
    }
    // Closed loop: the oxygen sensor switches between lean and rich.
    EXPECT_LT(hegoLow, 0.2);
    EXPECT_GT(hegoHigh, 0.7);
}

TEST(SimScenario, WotPullRisesTo6000WithMoreAirRicherMixtureAndNearFullDuty) {
    const Readback cruise = At(Scenario::Cruise, 0);
    Readback previous = At(Scenario::Wot, 0);
    EXPECT_NEAR(previous.rpm, 2500, 10);
    for (double t = 0.5; t < kWotPullSeconds; t += 0.5) {
        const Readback r = At(Scenario::Wot, t);
        EXPECT_GT(r.rpm, previous.rpm) << t;
        EXPECT_GE(r.mafVolts, previous.mafVolts) << t;
        EXPECT_LT(r.afr, 12.6);
        EXPECT_LT(r.advance, cruise.advance - 5);  // spark retarded under full load
        EXPECT_GT(r.tpsVolts, 4);
        previous = r;
    }
    const Readback top = At(Scenario::Wot, kWotPullSeconds - 0.01);
    EXPECT_NEAR(top.rpm, 6000, 20);
    EXPECT_GT(top.duty, 90);
    EXPECT_LE(top.duty, 100);
    EXPECT_LT(top.afr, At(Scenario::Wot, 0).afr);
    // The pull repeats.
    EXPECT_NEAR(At(Scenario::Wot, kWotCycleSeconds).rpm, 2500, 10);
}

TEST(SimScenario, NamesParse) {
    EXPECT_EQ(ParseScenario("idle"), Scenario::Idle);
    EXPECT_EQ(ParseScenario("cruise"), Scenario::Cruise);
    EXPECT_EQ(ParseScenario("wot"), Scenario::Wot);
    EXPECT_FALSE(ParseScenario("drag"));
}

}  // namespace
}  // namespace quelm::sim
