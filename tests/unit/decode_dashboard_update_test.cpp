#include "decode/dashboard_update.h"

#include "decode/display_units.h"
#include "decode/gauge_peaks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "fake_dashboard.h"

namespace quelm {
namespace {

using testing::CruisingEngine;

TEST(UpdateDashboard, FuelEconomy) {
    LiveConfig config;  // 19 lb/h injectors, 8 cylinders
    struct Case {
        const char* what;
        float mph;
        float duty;
        double mpg;
    };
    // 60 mph on 19 * 0.2 * 8 = 30.4 lb/h: 60 * 6.329258 / 30.4. A zero duty is replaced by a
    // hundred-thousandth once the duty gauge took it.
    const Case cases[] = {
        {"cruise", 60, 20, 12.49196},
        {"engine stopped", 0, 20, 0},
        {"stopped in fuel cut", 0, 0, 0},
        {"fuel cut", 60, 0, 60 * 6.329258 / (19 * 0.0000001 * 8)},
    };
    for (const auto& c : cases) {
        EngData e = CruisingEngine();
        e.MPH = c.mph;
        e.INJDUTY = c.duty;
        const auto g = UpdateDashboard(e, config);
        EXPECT_NEAR(e.MPG, c.mpg, std::abs(c.mpg) * 1e-5) << c.what;
        EXPECT_EQ(g.mpg, e.MPG) << c.what;
        EXPECT_EQ(g.DutyCycle, c.duty) << c.what;
        EXPECT_EQ(e.INJDUTY, c.duty == 0 ? 0.00001f : c.duty) << c.what;
    }
}

// An injector size that is not a positive number gives no fuel economy; a cylinder text that is
// not a number reads as 8, as in the conversions. (That every text gives a finite value is the
// fuzz target's work.)
TEST(UpdateDashboard, SettingsTextsThatAreNotPositiveNumbers) {
    for (const char* injsize : {"", "abc", "0", "-19"}) {
        LiveConfig config;
        config.injsize = injsize;
        for (float duty : {0.0f, 20.0f}) {
            EngData e = CruisingEngine();
            e.INJDUTY = duty;
            UpdateDashboard(e, config);
            EXPECT_EQ(e.MPG, 0) << '"' << injsize << '"';
        }
    }
    EngData a = CruisingEngine();
    EngData b = CruisingEngine();
    LiveConfig blank;
    blank.numcyl = "";
    UpdateDashboard(a, LiveConfig{});
    UpdateDashboard(b, blank);
    EXPECT_EQ(a.MPG, b.MPG);
}

TEST(UpdateDashboard, EveryGaugeGetsItsValue) {
    EngData e = CruisingEngine();
    const auto g = UpdateDashboard(e, LiveConfig{});
    const std::pair<float, float> pairs[] = {
        {g.MAFS, e.MAF},     {g.tps, e.TPS},         {g.ECT, e.ECT},
        {g.ACT, e.ACT},      {g.bap, e.BAP},         {g.Advance, e.ADVANCE},
        {g.Boost, e.BOOST},  {g.Vac, e.VACUUM},      {g.Tach, e.RPM},
        {g.Speedo, e.MPH},   {g.AUX1, e.AUX1},       {g.AUX2, e.AUX2},
        {g.HEGOL, e.HEGOL},  {g.HEGOR, e.HEGOR},     {g.DutyCycle, e.INJDUTY},
        {g.INJPW, e.INJPW},  {g.WideBand, e.WIDEO2}, {g.mpg, e.MPG},
        {g.EECLOAD, e.LOAD}, {g.hp, e.RWHP},         {g.TQ, e.RWTQ},
    };
    for (std::size_t i = 0; i < std::size(pairs); ++i) {
        EXPECT_EQ(pairs[i].first, pairs[i].second) << "gauge " << i;
    }
}

TEST(DisplayUnits, MetricValuesAgainstHandComputedOnes) {
    struct Row {
        const char* name;  // scope channel or CSV column
        double us;
        double metric;
    };
    const Row rows[] = {
        {"MPH", 60, 96.56064},      // 60 x 1.609344
        {"ECT", 212, 100},          // (212 - 32) x 5 / 9
        {"ACT", -40, -40},          //
        {"BOOST", 10, 68.94757},    // 10 x 6.894757
        {"BAP", 29.92, 101.32075},  // 29.92 x 3.3863886
        {"MPG", 30, 7.840486},      // 235.21458 / 30
        {"RWHP", 100, 74.56999},    // 100 x 0.7456999
        {"HP", 400, 298.27995},     //
        {"RWTQ", 100, 135.58179},   // 100 x 1.3558179
        {"TQ", 300, 406.74538},     //
        {"VACUUM", 17.6, 17.6},     // stays in inches of mercury
        {"RPM", 3000, 3000},        //
    };
    for (const Row& r : rows) {
        EXPECT_NEAR(InUnits(r.name, r.us, DisplayUnits::Metric), r.metric, 1e-4) << r.name;
        EXPECT_EQ(InUnits(r.name, r.us, DisplayUnits::US), r.us) << r.name;
    }
    EXPECT_TRUE(std::isnan(InUnits("MPG", 0, DisplayUnits::Metric)));  // standing still

    // The dials take the same conversions, each on its own gauge.
    EngData eng = CruisingEngine();
    const GaugeValues us = UpdateDashboard(eng, LiveConfig{});
    const GaugeValues m = InUnits(us, DisplayUnits::Metric);
    EXPECT_NEAR(m.Speedo, 96.56064, 1e-3);
    EXPECT_NEAR(m.ECT, 87.77778, 1e-4);
    EXPECT_NEAR(m.ACT, 26.66667, 1e-4);
    EXPECT_NEAR(m.bap, 29.9 * 3.3863886, 1e-3);
    EXPECT_NEAR(m.hp, 59.65600, 1e-4);
    EXPECT_NEAR(m.TQ, 284.72177, 1e-3);
    EXPECT_EQ(m.Vac, us.Vac);
    EXPECT_EQ(m.Tach, us.Tach);
    EXPECT_EQ(BoostFullScale(15, DisplayUnits::Metric), 100);
    EXPECT_EQ(BoostFullScale(30, DisplayUnits::Metric), 200);
    EXPECT_EQ(BoostFullScale(30, DisplayUnits::US), 30);
}

TEST(GaugePeaks, HighestSinceTheLastResetNeedleByNeedle) {
    GaugePeaks peaks;
    EXPECT_EQ(peaks.Peaks().Tach, -std::numeric_limits<float>::infinity());
    GaugeValues v;
    v.Tach = 3000;
    v.HEGOL = 0.8f;
    v.HEGOR = 0.2f;
    v.Advance = -15;
    peaks.Update(v);
    v.Tach = 6500;
    v.HEGOL = 0.1f;
    v.mpg = std::nanf("");  // no value: not a peak
    peaks.Update(v);
    v.Tach = 900;
    peaks.Update(v);
    EXPECT_EQ(peaks.Peaks().Tach, 6500);
    EXPECT_EQ(peaks.Peaks().HEGOL, 0.8f);
    EXPECT_EQ(peaks.Peaks().HEGOR, 0.2f);
    EXPECT_EQ(peaks.Peaks().Advance, -15);  // a negative peak is a peak
    EXPECT_EQ(peaks.Peaks().mpg, 0);
    peaks.Reset();
    EXPECT_EQ(peaks.Peaks().Tach, -std::numeric_limits<float>::infinity());
}

}  // namespace
}  // namespace quelm
