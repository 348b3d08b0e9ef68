// The dashboard's feature gauges without a window, for the feature tests.
#pragma once

#include <map>
#include <string>

#include "tools/dashboard_features.h"

namespace quelm::testing {

struct FakeDashboard : DashboardFeatureTarget {
    std::map<std::string, bool> visible{
        {"Boost", true}, {"Vac", true}, {"WideBand", true}, {"AUX1", true}, {"AUX2", true}};
    double boostFullScale = 0;
    int heightTwips = 0;
    void setGaugeVisible(const std::string& name, bool v) override { visible.at(name) = v; }
    bool gaugeVisible(const std::string& name) const override { return visible.at(name); }
    void setBoostFullScale(double psi) override { boostFullScale = psi; }
    void setWindowHeightTwips(int twips) override { heightTwips = twips; }
    // Boost, Vac, WideBand, AUX1, AUX2 as 1 (shown) or 0.
    std::string Shown() const {
        std::string s;
        for (const char* name : {"Boost", "Vac", "WideBand", "AUX1", "AUX2"}) {
            s += visible.at(name) ? '1' : '0';
        }
        return s;
    }
};

}  // namespace quelm::testing
