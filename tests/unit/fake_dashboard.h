// A dashboard without a window: its feature gauges, and the readings of an engine at a steady
// cruise to show on it.
#pragma once

#include <map>
#include <string>

#include "common/records.h"
#include "tools/dashboard_features.h"

namespace quelm::testing {

struct FakeDashboard : DashboardFeatureTarget {
    std::map<std::string, bool> visible{
        {"Boost", true}, {"Vac", true}, {"WideBand", true}, {"AUX1", true}, {"AUX2", true}};
    double boostFullScale = 0;
    int heightTwips = 0;
    void SetGaugeVisible(const std::string& name, bool v) override { visible.at(name) = v; }
    bool gaugeVisible(const std::string& name) const override { return visible.at(name); }
    void SetBoostFullScale(double psi) override { boostFullScale = psi; }
    void SetWindowHeightTwips(int twips) override { heightTwips = twips; }
    // Boost, Vac, WideBand, AUX1, AUX2 as 1 (shown) or 0.
    std::string Shown() const {
        std::string s;
        for (const char* name : {"Boost", "Vac", "WideBand", "AUX1", "AUX2"}) {
            s += visible.at(name) ? '1' : '0';
        }
        return s;
    }
};

// 60 mph at 2000 rpm on 20 % injector duty, every reading different.
inline EngData CruisingEngine() {
    EngData e;
    e.MPH = 60;
    e.INJDUTY = 20;
    e.RPM = 2000;
    e.MAF = 1.5f;
    e.TPS = 0.9f;
    e.ECT = 190;
    e.ACT = 80;
    e.BAP = 29.9f;
    e.ADVANCE = 30;
    e.BOOST = -5;
    e.VACUUM = 10.18f;
    e.AUX1 = 1;
    e.AUX2 = 2;
    e.HEGOL = 0.3f;
    e.HEGOR = 0.7f;
    e.INJPW = 4;
    e.WIDEO2 = 14.7f;
    e.LOAD = 0.4f;
    e.RWHP = 80;
    e.RWTQ = 210;
    return e;
}

}  // namespace quelm::testing
