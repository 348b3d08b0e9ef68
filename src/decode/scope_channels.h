// The channels a scope pen can plot: where each value comes from and how it maps onto the
// chart's 0..1 range, and the two-decimal text the value labels show.
#pragma once

#include <array>
#include <string>
#include <string_view>

#include "common/records.h"

namespace quelm {

struct ScopeChannel {
    std::string_view name;
    float EngData::*source;  // nullptr for "*OFF*"
    double fullScale;        // the matching gauge's upper end
    double offset;           // the value that plots as 0 (the gauge's lower end)
};

// In the order the scope selectors list them. The chart maps offset..offset+fullScale to 0..1
// without clamping.
inline constexpr std::array<ScopeChannel, 21> kScopeChannels{{
    {"*OFF*", nullptr, 1, 0},
    {"RPM", &EngData::RPM, 8000, 0},
    {"LOAD", &EngData::LOAD, 2, 0},
    {"MPH", &EngData::MPH, 220, 0},
    {"MPG", &EngData::MPG, 50, 0},
    {"HEGOL", &EngData::HEGOL, 1, 0},
    {"HEGOR", &EngData::HEGOR, 1, 0},
    {"INJDUTY", &EngData::INJDUTY, 100, 0},
    {"INJPW", &EngData::INJPW, 160, 0},
    {"RWHP", &EngData::RWHP, 1000, 0},
    {"RWTQ", &EngData::RWTQ, 1000, 0},
    {"MAF", &EngData::MAF, 5, 0},
    {"TPS", &EngData::TPS, 5, 0},
    {"WIDEO2", &EngData::WIDEO2, 20, 0},
    {"AUX1", &EngData::AUX1, 5, 0},
    {"AUX2", &EngData::AUX2, 5, 0},
    {"ECT", &EngData::ECT, 300, 0},
    {"ACT", &EngData::ACT, 300, 0},
    {"BOOST", &EngData::BOOST, 30, 0},
    {"VACUUM", &EngData::VACUUM, 30, 0},
    {"ADVANCE", &EngData::ADVANCE, 70, -20},
}};

// Exact, case-sensitive; nullptr for a name not in the list.
const ScopeChannel* FindScopeChannel(std::string_view name);

// True for every channel but "*OFF*": only those feed a pen and a label.
bool ScopePlots(const ScopeChannel& channel);

// The engineering value the channel shows (0 for "*OFF*").
float ScopeValue(const ScopeChannel& channel, const EngData& eng);

// The value as a fraction of the channel's range, as the chart plots it.
double ScopeScaled(const ScopeChannel& channel, const EngData& eng);

// The read-out: a plotted fraction turned back into the unit of the named channel; 0 for
// "*OFF*" and any name not in the list.
double ScopeReadout(std::string_view name, double fraction);

// The value cut to two decimals toward minus infinity, as plain text without trailing zeros:
// -1.234 gives "-1.24", 12.345 gives "12.34", 4000 gives "4000". The cut applies to the
// shortest decimal text of the value in its own precision, so 12.345f and -3.46 are cut as
// the numbers they print as, not as their binary neighbours. Non-finite values give "0".
std::string TwoDecimalText(double value);
std::string TwoDecimalText(float value);

}  // namespace quelm
