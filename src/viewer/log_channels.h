// The channels the log viewer can show: the scope channels in their selector order, then the
// engineering values no scope plots.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/records.h"
#include "decode/display_units.h"

namespace quelm {

struct LogChannel {
    std::string_view name;
    float EngData::*source;
    // The matching gauge's scale: what the chart shows when the log holds a single value.
    double lower;
    double upper;
};

inline constexpr std::size_t kLogChannelCount = 22;

// "RPM" .. "ADVANCE" as the scope selectors list them (without "*OFF*"), then "BAP" and
// "INJHELD". Every EngData field appears once.
const std::array<LogChannel, kLogChannelCount>& LogChannels();

// Exact, case-sensitive; nothing for "*OFF*" or a name not in the list.
std::optional<std::size_t> FindLogChannel(std::string_view name);

// What a channel's values (stored in US units) are converted with to show in `units`: nothing
// when they show as stored.
std::optional<Quantity> DisplayQuantity(std::size_t channel, DisplayUnits units);
// The channel's name, with the unit where `units` changes it: "MPH", or "MPH (km/h)".
std::string ChannelCaption(std::size_t channel, DisplayUnits units);
// The US range lower..upper of a channel's values in `units`, lowest first. Fuel economy at
// 0 mpg or below has no litres per 100 km: such a range runs from 0 to the metric dial's top,
// or to the highest value there is.
std::pair<double, double> RangeInUnits(std::size_t channel, double lower, double upper,
                                       DisplayUnits units);
// The channel's gauge scale in `units`.
std::pair<double, double> ScaleInUnits(std::size_t channel, DisplayUnits units);

}  // namespace quelm
