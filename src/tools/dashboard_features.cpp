#include "tools/dashboard_features.h"

namespace quelm {

void ConfigureDashboardFeatures(int mapType, int wideBandType, int auxType,
                                DashboardFeatureTarget& dashboard) {
    switch (mapType) {
        case 0:
            dashboard.SetGaugeVisible("Boost", false);
            dashboard.SetGaugeVisible("Vac", false);
            break;
        case 1:
            dashboard.SetGaugeVisible("Vac", true);
            break;
        case 2:
        case 3:
            dashboard.SetGaugeVisible("Boost", true);
            dashboard.SetGaugeVisible("Vac", true);
            dashboard.SetBoostFullScale(mapType == 2 ? 15 : 30);
            break;
        default:
            break;
    }
    dashboard.SetGaugeVisible("WideBand", wideBandType != 0);
    dashboard.SetGaugeVisible("AUX1", auxType != 0);
    dashboard.SetGaugeVisible("AUX2", auxType != 0);

    const bool anyShown = dashboard.gaugeVisible("Vac") || dashboard.gaugeVisible("Boost") ||
                          dashboard.gaugeVisible("WideBand") || dashboard.gaugeVisible("AUX1");
    dashboard.SetWindowHeightTwips(anyShown ? kDashboardHeightWithFeatures
                                            : kDashboardHeightWithoutFeatures);
}

}  // namespace quelm
