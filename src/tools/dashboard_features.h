// Which optional-sensor gauges the dashboard shows, and its height, for the feature codes.
#pragma once

#include <string>

namespace quelm {

// Implemented by the main window. Gauge names: "Boost", "Vac", "WideBand", "AUX1", "AUX2".
class DashboardFeatureTarget {
  public:
    virtual ~DashboardFeatureTarget() = default;
    virtual void SetGaugeVisible(const std::string& name, bool visible) = 0;
    virtual bool gaugeVisible(const std::string& name) const = 0;
    virtual void SetBoostFullScale(double psi) = 0;
    virtual void SetWindowHeightTwips(int twips) = 0;
};

inline constexpr int kDashboardHeightWithoutFeatures = 7575;  // twips
inline constexpr int kDashboardHeightWithFeatures = 9075;     // twips

// Shows and hides the feature gauges for the MAP, wide-band and AUX codes and sets the
// window height. A MAP code outside 0..3 leaves the Boost and Vac gauges as they are; a
// 1-bar sensor shows Vac and leaves Boost as it is.
void ConfigureDashboardFeatures(int mapType, int wideBandType, int auxType,
                                DashboardFeatureTarget& dashboard);

}  // namespace quelm
