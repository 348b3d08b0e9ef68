#include "decode/calibration_tables.h"

#include <gtest/gtest.h>

#include <cmath>

namespace quelm {
namespace {

class BuiltInLookups : public ::testing::Test {
  protected:
    CalibrationTables t = BuiltInTables();
};

TEST_F(BuiltInLookups, ThermistorBarometerAndDiyWideBand) {
    using Lookup = double (*)(const CalibrationTables&, double);
    const struct {
        const char* what;
        Lookup lookup;
        double input;
        double expected;
    } rows[] = {
        {"thermistor on a breakpoint", ThermLookup, 0.72, 179},
        {"thermistor halfway 0.72..1.42", ThermLookup, 1.07, 156},
        {"thermistor above the last breakpoint", ThermLookup, 4.9, -40},
        {"thermistor flat start", ThermLookup, 0.1, 254},
        {"thermistor at zero volts", ThermLookup, 0.0, 254},
        {"thermistor last real breakpoint", ThermLookup, 4.52, -40},
        {"thermistor between 3.6 and 4.08", ThermLookup, 3.84, 32.5},
        {"barometer below the curve", BapLookup, 100, 15.0796},
        {"barometer halfway between entries 3 and 4", BapLookup, 150.29445,
         (23.05705 + 30.97696) / 2},
        {"barometer on entry 3", BapLookup, 138.3355, 23.05705},
        {"barometer far above", BapLookup, 1e18, 30.97696},
        {"wide band halfway 1.75..1.80", DiyLookup, 1.775, 11.1},
        {"wide band dip", DiyLookup, 1.80, 11.0},
        {"wide band first step", DiyLookup, 1.40, 10.1},
        {"wide band last step", DiyLookup, 2.90, 20.7},
        {"wide band below the steps", DiyLookup, 0.7, 10.1},
        {"wide band above the steps", DiyLookup, 4.0, 20.7},
        {"wide band 2.45 V", DiyLookup, 2.45, 14.4},
    };
    for (const auto& row : rows) {
        EXPECT_NEAR(row.lookup(t, row.input), row.expected, 1e-9) << row.what;
    }
}

TEST_F(BuiltInLookups, EntryZeroReadsZeroAndTheMafTableStartsEmpty) {
    EXPECT_EQ(t.therm[0].x, 0);
    EXPECT_EQ(t.therm[0].y, 0);
    for (const auto& p : t.maf) {
        EXPECT_EQ(p.x, 0);
        EXPECT_EQ(p.y, 0);
    }
}

// A rising curve of 31 rows: i / 6 V gives 40 * i kg/h (0..5 V, 0..1200 kg/h).
CalibrationTables LinearMaf() {
    CalibrationTables t = BuiltInTables();
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        t.maf[i] = {static_cast<double>(i) / 6.0, 40.0 * static_cast<double>(i)};
    }
    return t;
}

// Inside the curve it interpolates; at and above the last voltage it holds the last flow and
// never reads the rows past the curve; a repeated voltage does not divide by zero.
TEST(MafLookup, InterpolatesAndHoldsTheLastFlow) {
    auto t = LinearMaf();
    EXPECT_NEAR(MafLookup(t, 2.5), 600, 1e-9);
    EXPECT_NEAR(MafLookup(t, 1.0 / 12), 20, 1e-9);
    EXPECT_NEAR(MafLookup(t, 0), 0, 1e-9);
    t.maf[31] = {1000, 99999};
    for (double v : {5.0, 5.001, 7.0, 1e9}) {
        EXPECT_DOUBLE_EQ(MafLookup(t, v), 1200) << v;
    }
    t.maf[10] = {t.maf[11].x, 300};                    // rows 10 and 11 both at 11/6 V
    EXPECT_DOUBLE_EQ(MafLookup(t, t.maf[11].x), 440);  // passes both rows, starts from row 11
    EXPECT_TRUE(std::isfinite(MafLookup(t, t.maf[11].x - 0.01)));
}

// A zero-width step uses a millionth; short and empty tables are safe.
TEST(TableLookup, ZeroWidthStepAndShortTables) {
    const TablePoint table[] = {{0, 0}, {0, 5}, {1, 5}};
    // Below entry 1, between two entries at the same x: slope 5 / 0.000001.
    EXPECT_NEAR(TableLookup(table, -1e-7), -0.5, 1e-9);
    const TablePoint one[] = {{0, 3}};
    EXPECT_EQ(TableLookup(one, 2), 3);
    EXPECT_EQ(TableLookup({}, 2), 0);
}

}  // namespace
}  // namespace quelm
