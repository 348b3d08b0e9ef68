// The unit the dashboard, the scopes and a metric export show values in. The conversions and
// the log keep US units; metric is a way of showing them. Vacuum, volts, percent, milliseconds,
// air/fuel ratio, load and degrees of advance are the same in both.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "decode/dashboard_update.h"

namespace quelm {

enum class DisplayUnits { US, Metric };

// The quantities that change: road speed (mph -> km/h), temperature ('F -> 'C), boost
// (psi -> kPa), barometric pressure (inches of mercury -> kPa), fuel economy (miles per US
// gallon -> litres per 100 km), power (hp -> kW) and torque (lb-ft -> N-m).
enum class Quantity { Speed, Temperature, Boost, Barometric, Economy, Power, Torque };

// The metric value of a US value. Economy of 0 mpg or less (standing still) has no litres per
// 100 km: NaN, which the gauges show as "--".
double ToMetric(Quantity quantity, double us);

// The quantity a scope channel or a CSV column ("MPH", "ECT", "BOOST", "HP", ...) carries, if
// it changes with the units.
std::optional<Quantity> QuantityOf(std::string_view name);
// The unit a metric value of the quantity is in ("km/h", "C", "kPa", "L/100km", "kW", "Nm").
std::string_view MetricUnit(Quantity quantity);

// A value of the named channel or column in the units chosen.
double InUnits(std::string_view name, double us, DisplayUnits units);

// The gauge values as shown in the units chosen (US values pass through).
GaugeValues InUnits(const GaugeValues& us, DisplayUnits units);
// The engineering values in the units chosen: MPH, ECT, ACT, BAP, BOOST, MPG, RWHP and RWTQ
// change; the field names stay.
EngData InUnits(const EngData& us, DisplayUnits units);

// A metric dial: its own round scale, not the US ticks relabelled.
struct GaugeFace {
    std::string_view gauge;  // object name of the dial
    std::string_view title;
    std::string_view unit;
    double minimum;
    double maximum;
    double majorStep;  // 0: chosen from the scale
    // A warning band, when the dial has one (from == to: none).
    double zoneFrom = 0;
    double zoneTo = 0;
};
inline constexpr std::array<GaugeFace, 8> kMetricFaces{{
    {"Speedo", "km/h", "", 0, 360, 40},
    {"ECT", "ECT", "\u00b0C", -40, 160, 20, 115, 160},
    {"ACT", "ACT", "\u00b0C", -40, 160, 20},
    {"Boost", "Boost", "kPa", 0, 200, 25},
    {"bap", "BAP", "kPa", 50, 110, 10},
    {"mpg", "Fuel", "L/100km", 0, 30, 5},
    {"hp", "RWHP", "kW", 0, 800, 100},
    {"TQ", "RWTQ", "N\u00b7m", 0, 1400, 200},
}};

// The metric face of a dial, or nullptr for a dial that looks the same in both.
const GaugeFace* MetricFace(std::string_view gauge);

// The Boost dial's full scale for a MAP sensor's psi range: 15 psi -> 100 kPa, 30 -> 200.
double BoostFullScale(double psi, DisplayUnits units);

}  // namespace quelm
