#include "decode/convert_frame.h"

#include <gtest/gtest.h>

#include <cstring>

namespace quelm {
namespace {

// Timer periods giving about these engine speeds on an 8-cylinder engine.
constexpr double kFire800 = 17273;
constexpr double kFire1000 = 13819;
constexpr double kFire3000 = 4606;

double Counts(double volts) {
    return volts * 1023 / 5;
}

class Convert : public ::testing::Test {
  protected:
    Convert() {
        for (std::size_t i = 0; i < kMafPoints; ++i) {
            tables.maf[i] = {static_cast<double>(i) / 6.0, 40.0 * static_cast<double>(i)};
        }
    }
    ConvertOutput Run(const RawData& raw) { return ConvertFrame(raw, config, tables, state); }

    CalibrationTables tables = BuiltInTables();
    LiveConfig config;
    ConvertState state;
};

TEST_F(Convert, EngineSpeedAndItsClips) {
    struct Case {
        const char* cylinders;
        double fireTime;
        double rpm;
        double tolerance;
    };
    const Case cases[] = {
        {"8", 1727, 8000, 5},   // 1.8747 ms between firings
        {"4", 1727, 10000, 0},  // about 16000, shown as the 10000 ceiling
        {"8", 500, 0, 0},       // about 27600: implausible, shown as 0
        {"8", 0, 0, 0},         // no period: treated as one tick, far above 20000
        {"6", 4606, 4000, 2},
    };
    for (const auto& c : cases) {
        config.numcyl = c.cylinders;
        RawData raw;
        raw.FIRETIME = c.fireTime;
        Run(raw);
        EXPECT_NEAR(state.eng.RPM, c.rpm, c.tolerance) << c.cylinders << " cyl, " << c.fireTime;
    }
}

TEST_F(Convert, RoadSpeed) {
    RawData raw;
    raw.VSSTIME = 0;
    state.eng.MPH = 55;
    Run(raw);
    EXPECT_EQ(state.eng.MPH, 0);

    raw.VSSTIME = 1000;  // 921.23 Hz, 414.56 mph before correction
    config.vsscorrection = "1";
    Run(raw);
    EXPECT_NEAR(state.eng.MPH, 414.56, 0.01);
    config.vsscorrection = "1.05 (new tyres)";
    Run(raw);
    EXPECT_NEAR(state.eng.MPH, 414.56 * 1.05, 0.01);
    config.vsscorrection = "abc";
    Run(raw);
    EXPECT_EQ(state.eng.MPH, 0);
}

TEST_F(Convert, SparkAdvance) {
    struct Case {
        double spkTime;
        bool dis;
        double advance;
    };
    const Case cases[] = {
        {12897, false, 16.0},  // 90 degree interval, 15 ms at 1000 rpm
        {1000, false, 3.49},   // 93.49 before the wrap test, 1 < 7.5 wraps by 90
        {12897, true, -29.0},  // 45 degree interval, 7.5 ms: 12.897 is past half of it
    };
    for (const auto& c : cases) {
        RawData raw;
        raw.FIRETIME = kFire1000;
        raw.SPKTIME = c.spkTime;
        config.hasdis = c.dis;
        Run(raw);
        EXPECT_NEAR(state.eng.ADVANCE, c.advance, 0.01) << c.spkTime << " dis " << c.dis;
    }
}

TEST_F(Convert, WideBand) {
    struct Case {
        WideBandOption option;
        double volts;
        double ratio;
    };
    const Case cases[] = {
        {WideBandOption::Innovate, 2.5, 15}, {WideBandOption::Bailey, 2.5, 15},
        {WideBandOption::Innovate, 1, 12},   {WideBandOption::Bailey, 1, 18},
        {WideBandOption::Diy, 1.775, 11.1},
    };
    for (const auto& c : cases) {
        RawData raw;
        raw.WBAD = Counts(c.volts);
        config.wideBand = c.option;
        Run(raw);
        EXPECT_NEAR(state.eng.WIDEO2, c.ratio, 1e-5) << c.volts;
    }
    // Without an interface the last reading stays.
    config.wideBand = WideBandOption::NoWideBand;
    RawData raw;
    raw.WBAD = Counts(4);
    Run(raw);
    EXPECT_NEAR(state.eng.WIDEO2, 11.1, 1e-5);
}

TEST_F(Convert, ManifoldPressure) {
    struct Case {
        MapOption option;
        double volts;
        double zero;
        double boost;
        double vacuum;
        std::optional<double> fullScale;
    };
    const Case cases[] = {
        {MapOption::OneBar, 4.9645, 0, 0.0003, 0, std::nullopt},
        {MapOption::OneBar, 2, 0, -8.6632, 17.638, std::nullopt},
        {MapOption::OneBar, 2, 8.6632, 0, 0, std::nullopt},
        {MapOption::TwoBar, 2, 0, -2.6234, 5.3412, 15},
        {MapOption::ThreeBar, 4, 0, 20.9494, 0, 30},
        {MapOption::NoMap, 4, 0, 0, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        RawData raw;
        raw.MAPAD = Counts(c.volts);
        config.map = c.option;
        config.mapZeroOffset = c.zero;
        const auto out = Run(raw);
        EXPECT_NEAR(state.eng.BOOST, c.boost, 0.001) << c.volts;
        EXPECT_NEAR(state.eng.VACUUM, c.vacuum, 0.001) << c.volts;
        EXPECT_EQ(out.boostFullScale, c.fullScale) << c.volts;
    }
}

TEST_F(Convert, SensorVoltsTemperaturesAndBarometer) {
    RawData raw;
    raw.MAFAD = 1023;
    raw.TPSAD = Counts(0.8);
    raw.ECTAD = Counts(0.72);
    raw.ACTAD = Counts(4.9);
    raw.AUX1AD = Counts(1.5);
    raw.AUX2AD = 0;
    raw.HEGOLAD = 1023;
    raw.HEGORAD = 0;
    raw.BAPTIME = 0;
    Run(raw);
    EXPECT_FLOAT_EQ(state.eng.MAF, 5);
    EXPECT_FLOAT_EQ(state.eng.TPS, 0.8f);
    EXPECT_NEAR(state.eng.ECT, 179, 1e-4);
    EXPECT_FLOAT_EQ(state.eng.ACT, -40);
    EXPECT_FLOAT_EQ(state.eng.AUX1, 1.5f);
    EXPECT_FLOAT_EQ(state.eng.AUX2, 0);
    EXPECT_FLOAT_EQ(state.eng.HEGOL, 1);  // a fraction, not volts
    EXPECT_FLOAT_EQ(state.eng.HEGOR, 0);
    EXPECT_FLOAT_EQ(state.eng.BAP, 30.97696f);  // no period: far above the curve
}

RawData Injection(double fireTime, double injTime, std::uint8_t status = 0) {
    RawData raw;
    raw.FIRETIME = fireTime;
    raw.INJTIME = injTime;
    raw.STATUS = status;
    return raw;
}

TEST_F(Convert, InjectorDutyAndPulseWidth) {
    Run(Injection(kFire800, 1000, 0x10));
    EXPECT_NEAR(state.eng.INJDUTY, 1000 / (8 * kFire800) * 100, 1e-5);
    EXPECT_NEAR(state.eng.INJPW, 1.142857, 1e-5);
    EXPECT_EQ(state.eng.INJHELD, 16);
    const float duty = state.eng.INJDUTY;
    const float pw = state.eng.INJPW;

    struct Case {
        const char* what;
        double fireTime;
        std::uint8_t status;
        float duty;
    };
    const Case cases[] = {
        {"idle keeps the last duty", kFire800, 0x10, duty},
        {"fuel cut with injectors held", kFire3000, 0x10, 100},
        {"fuel cut", kFire3000, 0xEF, 0},
    };
    for (const auto& c : cases) {
        ConvertState s = state;
        ConvertFrame(Injection(c.fireTime, 0, c.status), config, tables, s);
        EXPECT_FLOAT_EQ(s.eng.INJDUTY, c.duty) << c.what;
        EXPECT_FLOAT_EQ(s.eng.INJPW, pw) << c.what;
        EXPECT_EQ(s.LastDuty, c.duty) << c.what;
        EXPECT_EQ(s.LastPW, pw) << c.what;
    }
}

TEST_F(Convert, BatchFireDoublesOnceHoweverOftenARecordIsConverted) {
    config.hasbatchfire = true;
    const RawData raw = Injection(kFire800, 1000);
    Run(raw);
    const EngData first = state.eng;
    EXPECT_NEAR(first.INJPW, 2.285714, 1e-5);
    EXPECT_NEAR(first.INJDUTY, 2000 / (8 * kFire800) * 100, 1e-5);
    Run(raw);
    Run(raw);
    EXPECT_EQ(std::memcmp(&first, &state.eng, sizeof(EngData)), 0);
}

TEST_F(Convert, LoadPowerAndTorqueFromTheAirFlow) {
    RawData raw;
    raw.FIRETIME = 1727;
    raw.MAFAD = Counts(2.5);  // 600 kg/h on the test curve
    Run(raw);
    const double rpm = state.eng.RPM;
    EXPECT_NEAR(state.eng.LOAD, 3249.04 / rpm, 1e-4);
    EXPECT_NEAR(state.eng.RWHP, 189.8738, 1e-3);
    EXPECT_NEAR(state.eng.RWTQ, 189.8738 * 5252 / rpm, 1e-3);

    raw.FIRETIME = 0;  // RPM 0
    Run(raw);
    EXPECT_EQ(state.eng.LOAD, 0);
    EXPECT_EQ(state.eng.RWHP, 0);
    EXPECT_EQ(state.eng.RWTQ, 0);
}

// (That any text under any settings gives finite values is the fuzz target's work.)
TEST_F(Convert, CylinderTextThatIsNotAPositiveNumberReadsAsEight) {
    RawData busy = Injection(1727, 3000);
    busy.SPKTIME = 5000;
    busy.MAFAD = 600;
    Run(busy);
    const EngData eight = state.eng;
    for (const char* text : {"", "abc", "0", "-4", " ", ".", "-"}) {
        ConvertState s;
        config.numcyl = text;
        ConvertFrame(busy, config, tables, s);
        EXPECT_EQ(std::memcmp(&eight, &s.eng, sizeof(EngData)), 0) << '"' << text << '"';
    }
}

}  // namespace
}  // namespace quelm
