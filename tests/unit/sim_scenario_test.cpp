#include "sim/scenario.h"

#include <gtest/gtest.h>

#include "decode/convert_frame.h"
#include "decode/frame_decoder.h"
#include "sim/frame_encoder.h"

namespace quelm::sim {
namespace {

// A frame converted the way the dashboard converts it, for an eight-cylinder distributor
// engine with a 1-bar MAP sensor and the linear wide-band interface.
EngData At(Scenario s, double t) {
    const Frame frame = EncodeFrame(ScenarioState(s, t));
    FrameBuffer buffer{};
    std::copy(frame.begin(), frame.end(), buffer.begin());
    RawData raw;
    EXPECT_FALSE(DecodeFrame(buffer, raw)) << "checksum";
    LiveConfig config;
    config.map = MapOption::OneBar;
    config.wideBand = WideBandOption::Innovate;
    ConvertState state;
    ConvertFrame(raw, config, BuiltInTables(), state);
    return state.eng;
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
    const EngData cold = At(Scenario::Idle, 0);
    const EngData warm = At(Scenario::Idle, 1200);
    EXPECT_LT(cold.ECT, 100);
    EXPECT_NEAR(warm.ECT, 195, 2);
    for (double t = 600; t < 660; t += 0.37) {
        const EngData r = At(Scenario::Idle, t);
        EXPECT_NEAR(r.RPM, 750, 40) << t;
        EXPECT_EQ(r.MPH, 0);
        EXPECT_NEAR(r.TPS, 0.98, 0.01);
        EXPECT_GT(r.ADVANCE, 10);
        EXPECT_LT(r.ADVANCE, 18);
        EXPECT_GT(r.INJDUTY, 1);
        EXPECT_LT(r.INJDUTY, 10);
        EXPECT_GT(r.MAF, 1.0);
        EXPECT_LT(r.MAF, 2.0);
        EXPECT_LT(r.BOOST, -7);  // strong vacuum
        EXPECT_NEAR(r.BAP, 29.9, 0.1);
    }
}

TEST(SimScenario, CruiseHoldsAbout2000RpmAnd60Mph) {
    float hegoLow = 1;
    float hegoHigh = 0;
    for (double t = 0; t < 60; t += 0.13) {
        const EngData r = At(Scenario::Cruise, t);
        EXPECT_NEAR(r.RPM, 2000, 50) << t;
        EXPECT_NEAR(r.MPH, 60, 2) << t;
        EXPECT_NEAR(r.ADVANCE, 34, 1.5);
        EXPECT_NEAR(r.WIDEO2, 14.7, 0.4);
        EXPECT_GT(r.INJDUTY, 3);
        EXPECT_LT(r.INJDUTY, 30);
        hegoLow = std::min(hegoLow, r.HEGOL);
        hegoHigh = std::max(hegoHigh, r.HEGOL);
    }
    // Closed loop: the oxygen sensor switches between lean and rich.
    EXPECT_LT(hegoLow, 0.2);
    EXPECT_GT(hegoHigh, 0.7);
}

TEST(SimScenario, WotPullRisesTo6000WithMoreAirRicherMixtureAndNearFullDuty) {
    const EngData cruise = At(Scenario::Cruise, 0);
    EngData previous = At(Scenario::Wot, 0);
    EXPECT_NEAR(previous.RPM, 2500, 10);
    for (double t = 0.5; t < kWotPullSeconds; t += 0.5) {
        const EngData r = At(Scenario::Wot, t);
        EXPECT_GT(r.RPM, previous.RPM) << t;
        EXPECT_GE(r.MAF, previous.MAF) << t;
        EXPECT_LT(r.WIDEO2, 12.6);
        EXPECT_LT(r.ADVANCE, cruise.ADVANCE - 5);  // spark retarded under full load
        EXPECT_GT(r.TPS, 4);
        previous = r;
    }
    const EngData top = At(Scenario::Wot, kWotPullSeconds - 0.01);
    EXPECT_NEAR(top.RPM, 6000, 20);
    EXPECT_GT(top.INJDUTY, 90);
    EXPECT_LE(top.INJDUTY, 100);
    EXPECT_LT(top.WIDEO2, At(Scenario::Wot, 0).WIDEO2);
    // The pull repeats.
    EXPECT_NEAR(At(Scenario::Wot, kWotCycleSeconds).RPM, 2500, 10);
}

TEST(SimScenario, NamesParseBack) {
    for (Scenario s : {Scenario::Idle, Scenario::Cruise, Scenario::Wot}) {
        EXPECT_EQ(ParseScenario(ScenarioName(s)), s);
    }
    EXPECT_FALSE(ParseScenario("drag"));
}

}  // namespace
}  // namespace quelm::sim
