#include "viewer/log_channels.h"

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

std::optional<std::size_t> FindLogChannel(std::string_view name) {
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        if (kChannels[i].name == name) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace quelm
