#include "tools/dashboard_features.h"

namespace quelm {

void ConfigureDashboardFeatures(int mapType, int wideBandType, int auxType,
                                DashboardFeatureTarget& dashboard) {
    switch (mapType) {
        case 0:
            dashboard.setGaugeVisible("Boost", false);
            dashboard.setGaugeVisible("Vac", false);
            break;
        case 1:
            dashboard.setGaugeVisible("Vac", true);
            break;
        case 2:
        case 3:
            dashboard.setGaugeVisible("Boost", true);
            dashboard.setGaugeVisible("Vac", true);
            dashboard.setBoostFullScale(mapType == 2 ? 15 : 30);
            break;
        default:
            break;
    }
    dashboard.setGaugeVisible("WideBand", wideBandType != 0);
    dashboard.setGaugeVisible("AUX1", auxType != 0);
    dashboard.setGaugeVisible("AUX2", auxType != 0);

    const bool anyShown = dashboard.gaugeVisible("Vac") || dashboard.gaugeVisible("Boost") ||
                          dashboard.gaugeVisible("WideBand") || dashboard.gaugeVisible("AUX1");
    dashboard.setWindowHeightTwips(anyShown ? kDashboardHeightWithFeatures
                                            : kDashboardHeightWithoutFeatures);
}

}  // namespace quelm
