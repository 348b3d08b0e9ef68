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
    // An injector held open sets the status bit instead of a pulse.
    s.rpm = 6000;
    s.injectorDuty = 1.2;
    const RawCounts held = RawCountsFor(s);
    EXPECT_EQ(held.injtime, 0);
    EXPECT_EQ(held.status & kInjectorHeldBit, kInjectorHeldBit);
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

// Each scenario reads back through the dashboard's conversions as the engine it stands for.
TEST(SimScenario, ReadsBackAsItsEngine) {
    const struct {
        Scenario scenario;
        double at;
        float rpm, mph;  // mph < 0: not checked
    } rows[] = {
        {Scenario::Idle, 600, 750, 0},
        {Scenario::Cruise, 30, 2000, 60},
        {Scenario::Wot, 0, 2500, -1},
        {Scenario::Wot, kWotPullSeconds - 0.01, 6000, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(static_cast<int>(row.scenario)) + " at " +
                     std::to_string(row.at));
        const EngData r = At(row.scenario, row.at);
        EXPECT_NEAR(r.RPM, row.rpm, 50);
        if (row.mph >= 0) {
            EXPECT_NEAR(r.MPH, row.mph, 2);
        }
        EXPECT_NEAR(r.BAP, 29.9, 0.1);
    }
    EXPECT_GT(At(Scenario::Idle, 1200).ECT, At(Scenario::Idle, 0).ECT + 50);  // warms up
    EXPECT_LT(At(Scenario::Wot, 5).WIDEO2, At(Scenario::Cruise, 5).WIDEO2);   // richer
}

}  // namespace
}  // namespace quelm::sim
