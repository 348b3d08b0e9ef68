#include "viewer/log_channels.h"

#include <algorithm>
#include <cmath>

#include "decode/scope_channels.h"

namespace quelm {
namespace {

constexpr std::array<LogChannel, kLogChannelCount> MakeChannels() {
    std::array<LogChannel, kLogChannelCount> channels{};
    std::size_t n = 0;
    for (const ScopeChannel& scope : kScopeChannels) {
        if (scope.source != nullptr) {
            channels[n++] = {scope.name, scope.source, scope.offset,
                             scope.offset + scope.fullScale};
        }
    }
    channels[n++] = {"BAP", &EngData::BAP, 15, 32};
    channels[n++] = {"INJHELD", &EngData::INJHELD, 0, 16};
    return channels;
}

constexpr std::array<LogChannel, kLogChannelCount> kChannels = MakeChannels();
static_assert(kChannels.back().name == "INJHELD", "every scope channel plus BAP and INJHELD");

}  // namespace

const std::array<LogChannel, kLogChannelCount>& LogChannels() {
    return kChannels;
}

std::optional<Quantity> DisplayQuantity(std::size_t channel, DisplayUnits units) {
    if (units == DisplayUnits::US) {
        return std::nullopt;
    }
    return QuantityOf(kChannels[channel].name);
}

std::string ChannelCaption(std::size_t channel, DisplayUnits units) {
    std::string caption(kChannels[channel].name);
    if (const auto quantity = DisplayQuantity(channel, units)) {
        caption += " (" + std::string(MetricUnit(*quantity)) + ")";
    }
    return caption;
}

std::pair<double, double> RangeInUnits(std::size_t channel, double lower, double upper,
                                       DisplayUnits units) {
    const auto quantity = DisplayQuantity(channel, units);
    if (!quantity) {
        return {lower, upper};
    }
    lower = ToMetric(*quantity, lower);
    upper = ToMetric(*quantity, upper);
    if (std::isnan(lower) || std::isnan(upper)) {
        const double top = MetricFace("mpg")->maximum;
        return {0.0,
                std::max({top, std::isnan(lower) ? 0.0 : lower, std::isnan(upper) ? 0.0 : upper})};
    }
    return {std::min(lower, upper), std::max(lower, upper)};
}

std::pair<double, double> ScaleInUnits(std::size_t channel, DisplayUnits units) {
    return RangeInUnits(channel, kChannels[channel].lower, kChannels[channel].upper, units);
}

std::optional<std::size_t> FindLogChannel(std::string_view name) {
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        if (kChannels[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace quelm
