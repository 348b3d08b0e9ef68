// Face of the TPS idle setting gauge: a narrow scale around the idle target with red, yellow
// and green bands.
#pragma once

#include <QColor>

namespace quelm {

class GaugeWidget;

inline const QColor kZoneRed{220, 40, 40};
inline const QColor kZoneYellow{240, 200, 0};
inline const QColor kZoneGreen{40, 190, 70};

// Sets the scale 0.85..1.05 V, the caption "TPS" and the five bands in their painting order.
void SetupTpsToolGauge(GaugeWidget& gauge);

}  // namespace quelm
