// The channels the log viewer can show: the scope channels in their selector order, then the
// engineering values no scope plots.
#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

#include "common/records.h"

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

}  // namespace quelm
