#include "decode/display_units.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <utility>

namespace quelm {
namespace {

constexpr double kKmPerMile = 1.609344;
constexpr double kKpaPerPsi = 6.894757293168361;
constexpr double kKpaPerInHg = 3.386388640341;  // at 32 'F
// Litres per 100 km = this / miles per US gallon (100 km / (km per mile) x litres per gallon).
constexpr double kL100kmTimesMpg = 235.2145833;
constexpr double kKwPerHp = 0.745699871582;  // mechanical horsepower
constexpr double kNmPerLbFt = 1.3558179483;

struct NamedQuantity {
    std::string_view name;
    Quantity quantity;
};
// Scope channel names and CSV column headers.
constexpr std::array<NamedQuantity, 10> kNamed{{
    {"MPH", Quantity::Speed},
    {"ECT", Quantity::Temperature},
    {"ACT", Quantity::Temperature},
    {"BOOST", Quantity::Boost},
    {"BAP", Quantity::Barometric},
    {"MPG", Quantity::Economy},
    {"RWHP", Quantity::Power},
    {"HP", Quantity::Power},
    {"RWTQ", Quantity::Torque},
    {"TQ", Quantity::Torque},
}};

// The fields of a record that the metric display shows in other units, and their quantities.
template <class Record>
using UnitFields = std::array<std::pair<Quantity, float Record::*>, 8>;

constexpr UnitFields<GaugeValues> kGaugeFields{{
    {Quantity::Speed, &GaugeValues::Speedo},
    {Quantity::Temperature, &GaugeValues::ECT},
    {Quantity::Temperature, &GaugeValues::ACT},
    {Quantity::Boost, &GaugeValues::Boost},
    {Quantity::Barometric, &GaugeValues::bap},
    {Quantity::Economy, &GaugeValues::mpg},
    {Quantity::Power, &GaugeValues::hp},
    {Quantity::Torque, &GaugeValues::TQ},
}};

constexpr UnitFields<EngData> kEngFields{{
    {Quantity::Speed, &EngData::MPH},
    {Quantity::Temperature, &EngData::ECT},
    {Quantity::Temperature, &EngData::ACT},
    {Quantity::Barometric, &EngData::BAP},
    {Quantity::Boost, &EngData::BOOST},
    {Quantity::Economy, &EngData::MPG},
    {Quantity::Power, &EngData::RWHP},
    {Quantity::Torque, &EngData::RWTQ},
}};

template <class Record>
Record Converted(const Record& us, DisplayUnits units, const UnitFields<Record>& fields) {
    Record shown = us;
    if (units == DisplayUnits::Metric) {
        for (const auto& [quantity, field] : fields) {
            shown.*field = static_cast<float>(ToMetric(quantity, us.*field));
        }
    }
    return shown;
}

}  // namespace

double ToMetric(Quantity quantity, double us) {
    switch (quantity) {
        case Quantity::Speed:
            return us * kKmPerMile;
        case Quantity::Temperature:
            return (us - 32.0) * 5.0 / 9.0;
        case Quantity::Boost:
            return us * kKpaPerPsi;
        case Quantity::Barometric:
            return us * kKpaPerInHg;
        case Quantity::Economy:
            return us > 0 ? kL100kmTimesMpg / us : std::numeric_limits<double>::quiet_NaN();
        case Quantity::Power:
            return us * kKwPerHp;
        case Quantity::Torque:
            return us * kNmPerLbFt;
    }
    return us;
}

std::optional<Quantity> QuantityOf(std::string_view name) {
    for (const NamedQuantity& q : kNamed) {
        if (q.name == name) {
            return q.quantity;
        }
    }
    return std::nullopt;
}

std::string_view MetricUnit(Quantity quantity) {
    switch (quantity) {
        case Quantity::Speed:
            return "km/h";
        case Quantity::Temperature:
            return "C";
        case Quantity::Boost:
        case Quantity::Barometric:
            return "kPa";
        case Quantity::Economy:
            return "L/100km";
        case Quantity::Power:
            return "kW";
        case Quantity::Torque:
            return "Nm";
    }
    return "";
}

double InUnits(std::string_view name, double us, DisplayUnits units) {
    if (units == DisplayUnits::US) {
        return us;
    }
    const std::optional<Quantity> q = QuantityOf(name);
    return q ? ToMetric(*q, us) : us;
}

GaugeValues InUnits(const GaugeValues& us, DisplayUnits units) {
    return Converted(us, units, kGaugeFields);
}

EngData InUnits(const EngData& us, DisplayUnits units) {
    return Converted(us, units, kEngFields);
}

const GaugeFace* MetricFace(std::string_view gauge) {
    const auto it = std::find_if(kMetricFaces.begin(), kMetricFaces.end(),
                                 [&](const GaugeFace& f) { return f.gauge == gauge; });
    return it == kMetricFaces.end() ? nullptr : &*it;
}

double BoostFullScale(double psi, DisplayUnits units) {
    if (units == DisplayUnits::US) {
        return psi;
    }
    // The nearest 50 kPa: a round end for the scale, within a few kPa of the sensor's range.
    return std::max(50.0, std::round(ToMetric(Quantity::Boost, psi) / 50.0) * 50.0);
}

}  // namespace quelm
