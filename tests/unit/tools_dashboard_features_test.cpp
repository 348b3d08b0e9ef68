#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tools/dashboard_features.h"

namespace quelm {
namespace {

struct FakeDashboard : DashboardFeatureTarget {
    std::map<std::string, bool> visible{
        {"Boost", true}, {"Vac", true}, {"WideBand", true}, {"AUX1", true}, {"AUX2", true}};
    double boostFullScale = 0;
    int heightTwips = 0;
    void SetGaugeVisible(const std::string& name, bool v) override { visible.at(name) = v; }
    bool gaugeVisible(const std::string& name) const override { return visible.at(name); }
    void SetBoostFullScale(double psi) override { boostFullScale = psi; }
    void SetWindowHeightTwips(int twips) override { heightTwips = twips; }
};

TEST(DashboardFeatures, TwoBarShowsBoostAndVacuumWithFifteenPsiScale) {
    FakeDashboard d;
    ConfigureDashboardFeatures(2, 0, 0, d);
    EXPECT_TRUE(d.visible["Boost"]);
    EXPECT_TRUE(d.visible["Vac"]);
    EXPECT_FALSE(d.visible["WideBand"]);
    EXPECT_FALSE(d.visible["AUX1"]);
    EXPECT_FALSE(d.visible["AUX2"]);
    EXPECT_EQ(d.boostFullScale, 15);
    EXPECT_EQ(d.heightTwips, 9075);
    ConfigureDashboardFeatures(3, 0, 0, d);
    EXPECT_EQ(d.boostFullScale, 30);
}

TEST(DashboardFeatures, AllDisabledHidesEveryFeatureGaugeAndShrinksTheWindow) {
    FakeDashboard d;
    ConfigureDashboardFeatures(0, 0, 0, d);
    for (const auto& [name, shown] : d.visible) {
        EXPECT_FALSE(shown) << name;
    }
    EXPECT_EQ(d.heightTwips, 7575);
}

TEST(DashboardFeatures, OneBarLeavesTheBoostGaugeAsItWas) {
    for (const bool boostBefore : {true, false}) {
        FakeDashboard d;
        d.visible["Boost"] = boostBefore;
        ConfigureDashboardFeatures(1, 0, 0, d);
        EXPECT_EQ(d.visible["Boost"], boostBefore);
        EXPECT_TRUE(d.visible["Vac"]);
        EXPECT_EQ(d.boostFullScale, 0);
        EXPECT_EQ(d.heightTwips, 9075);
    }
}

TEST(DashboardFeatures, UnknownCodes) {
    FakeDashboard d;
    d.visible["Boost"] = false;
    d.visible["Vac"] = false;
    ConfigureDashboardFeatures(7, 9, 5, d);
    EXPECT_FALSE(d.visible["Boost"]);
    EXPECT_FALSE(d.visible["Vac"]);
    EXPECT_TRUE(d.visible["WideBand"]);
    EXPECT_TRUE(d.visible["AUX1"]);
    EXPECT_TRUE(d.visible["AUX2"]);
    EXPECT_EQ(d.heightTwips, 9075);
}

TEST(DashboardFeatures, AnyOneFeatureGaugeKeepsTheTallWindow) {
    FakeDashboard wide;
    ConfigureDashboardFeatures(0, 1, 0, wide);
    EXPECT_EQ(wide.heightTwips, 9075);
    FakeDashboard aux;
    ConfigureDashboardFeatures(0, 0, 1, aux);
    EXPECT_EQ(aux.heightTwips, 9075);
}

}  // namespace
}  // namespace quelm
