#include "decode/display_units.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    if (units == DisplayUnits::US) {
        return us;
    }
    GaugeValues m = us;
    auto to = [](Quantity q, float v) { return static_cast<float>(ToMetric(q, v)); };
    m.Speedo = to(Quantity::Speed, us.Speedo);
    m.ECT = to(Quantity::Temperature, us.ECT);
    m.ACT = to(Quantity::Temperature, us.ACT);
    m.Boost = to(Quantity::Boost, us.Boost);
    m.bap = to(Quantity::Barometric, us.bap);
    m.mpg = to(Quantity::Economy, us.mpg);
    m.hp = to(Quantity::Power, us.hp);
    m.TQ = to(Quantity::Torque, us.TQ);
    return m;
}

EngData InUnits(const EngData& us, DisplayUnits units) {
    if (units == DisplayUnits::US) {
        return us;
    }
    EngData m = us;
    auto to = [](Quantity q, float v) { return static_cast<float>(ToMetric(q, v)); };
    m.MPH = to(Quantity::Speed, us.MPH);
    m.ECT = to(Quantity::Temperature, us.ECT);
    m.ACT = to(Quantity::Temperature, us.ACT);
    m.BAP = to(Quantity::Barometric, us.BAP);
    m.BOOST = to(Quantity::Boost, us.BOOST);
    m.MPG = to(Quantity::Economy, us.MPG);
    m.RWHP = to(Quantity::Power, us.RWHP);
    m.RWTQ = to(Quantity::Torque, us.RWTQ);
    return m;
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
