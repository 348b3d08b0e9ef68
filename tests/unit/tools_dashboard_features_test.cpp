#include <gtest/gtest.h>

#include "fake_dashboard.h"
#include "tools/dashboard_features.h"

namespace quelm {
namespace {

// The gauges shown (Boost, Vac, WideBand, AUX1, AUX2), the boost scale and the window height for
// each set of codes. Any feature gauge keeps the tall window; a 1-bar sensor and an unknown MAP
// code leave the Boost gauge (and an unknown code the Vac gauge) as they were.
TEST(DashboardFeatures, CodesShowTheirGaugesScaleAndResize) {
    const struct {
        int map, wideBand, aux;
        const char* before;
        const char* shown;
        double boostFullScale;
        int height;
    } rows[] = {
        {2, 0, 0, "11111", "11000", 15, 9075}, {3, 0, 0, "11111", "11000", 30, 9075},
        {0, 0, 0, "11111", "00000", 0, 7575},  {1, 0, 0, "11111", "11000", 0, 9075},
        {1, 0, 0, "00111", "01000", 0, 9075},  {7, 9, 5, "00000", "00111", 0, 9075},
        {0, 1, 0, "11111", "00100", 0, 9075},  {0, 0, 1, "11111", "00011", 0, 9075},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << row.map << row.wideBand << row.aux << row.before);
        testing::FakeDashboard d;
        const char* names[] = {"Boost", "Vac", "WideBand", "AUX1", "AUX2"};
        for (int i = 0; i < 5; ++i) {
            d.visible[names[i]] = row.before[i] == '1';
        }
        ConfigureDashboardFeatures(row.map, row.wideBand, row.aux, d);
        EXPECT_EQ(d.Shown(), row.shown);
        EXPECT_EQ(d.boostFullScale, row.boostFullScale);
        EXPECT_EQ(d.heightTwips, row.height);
    }
}

}  // namespace
}  // namespace quelm
