#include "tools/gui/tps_tool_gauge.h"

#include "widgets/gauge_widget.h"

namespace quelm {

void SetupTpsToolGauge(GaugeWidget& gauge) {
    gauge.setObjectName(QStringLiteral("TPSToolGauge"));
    gauge.SetScale(0.85, 1.05);
    gauge.SetMajorStep(0.05);
    gauge.SetTitle(QStringLiteral("TPS"));
    gauge.ClearZones();
    // The bands overlap slightly; each later one is painted over the earlier ones.
    gauge.AddZone(0.85, 0.86004, kZoneRed);
    gauge.AddZone(0.85988, 0.91666, kZoneYellow);
    gauge.AddZone(0.89848, 0.98012, kZoneGreen);
    gauge.AddZone(0.97984, 1.03182, kZoneYellow);
    gauge.AddZone(1.00028, 1.05, kZoneRed);
}

}  // namespace quelm
