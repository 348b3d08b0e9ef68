#include "files/playback_keys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace quelm {
namespace {

// The first record in 1..count whose stamp is at least `seconds` (count + 1 when none is).
std::uint64_t FirstAtOrAfter(double seconds, std::uint64_t count,
                             const std::function<double(std::uint64_t)>& stampOf) {
    std::uint64_t low = 1;
    std::uint64_t high = count + 1;
    while (low < high) {
        const std::uint64_t mid = low + (high - low) / 2;
        if (stampOf(mid) < seconds) {
            low = mid + 1;
        } else {
            high = mid;
        }
    }
    return low;
}

std::uint64_t PageTarget(bool forward, std::uint64_t position, std::uint64_t count,
                         const std::function<double(std::uint64_t)>& stampOf) {
    const double now = stampOf(position);
    if (std::isnan(now)) {
        return position;
    }
    // Stamps are whole hundredths: the tolerance keeps rounding from missing one by a hair.
    constexpr double kTolerance = 1e-6;
    if (forward) {
        return std::min(count, FirstAtOrAfter(now + kPageSeconds - kTolerance, count, stampOf));
    }
    // The last record stamped at or before now - 10 s: one before the first stamped after it.
    const std::uint64_t after = FirstAtOrAfter(now - kPageSeconds + kTolerance, count, stampOf);
    return std::max<std::uint64_t>(1, after - 1);
}

}  // namespace

PlaybackKeyAction ActionForKey(std::string_view keyName, LoggingState state, std::uint64_t position,
                               std::uint64_t count,
                               const std::function<double(std::uint64_t)>& stampOf) {
    const auto binding = std::find_if(kPlaybackKeys.begin(), kPlaybackKeys.end(),
                                      [&](const auto& b) { return b.name == keyName; });
    if (binding == kPlaybackKeys.end()) {
        return {};
    }
    using Kind = PlaybackKeyAction::Kind;
    if (binding->key == PlaybackKey::Mark) {
        return {Kind::Mark};
    }
    const LoggingControls controls = ControlsFor(state);
    if (binding->key == PlaybackKey::PlayPause) {
        return {controls.pause ? Kind::Pause : controls.play ? Kind::Play : Kind::None};
    }
    const bool paused = state == LoggingState::Paused;
    if (!(paused || state == LoggingState::Playing) || count == 0) {
        return {};
    }
    position = std::clamp<std::uint64_t>(position, 1, count);
    std::uint64_t target = position;
    switch (binding->key) {
        case PlaybackKey::StepBack:
            target = paused ? std::max<std::uint64_t>(1, position - 1) : position;
            break;
        case PlaybackKey::StepForward:
            target = paused ? std::min(count, position + 1) : position;
            break;
        case PlaybackKey::BackTen:
        case PlaybackKey::ForwardTen:
            target = PageTarget(binding->key == PlaybackKey::ForwardTen, position, count, stampOf);
            break;
        case PlaybackKey::ToStart:
            target = 1;
            break;
        case PlaybackKey::ToEnd:
            target = count;
            break;
        case PlaybackKey::PlayPause:
        case PlaybackKey::Mark:
            break;
    }
    if (target == position) {
        return {};
    }
    return {Kind::Move, target};
}

bool IsMarkKey(std::string_view keyName) {
    return std::any_of(kPlaybackKeys.begin(), kPlaybackKeys.end(), [&](const auto& b) {
        return b.key == PlaybackKey::Mark && b.name == keyName;
    });
}

std::string ClockText(double seconds) {
    if (!(seconds > 0) || !std::isfinite(seconds)) {
        seconds = 0;
    }
    // A stamp is a whole number of hundredths; the nudge keeps 12.34 from printing as 12.33.
    const auto hundredths = static_cast<long long>(std::floor(seconds * 100 + 1e-6));
    char text[40];
    std::snprintf(text, sizeof text, "%lld:%02lld:%02lld.%02lld", hundredths / 360000,
                  hundredths / 6000 % 60, hundredths / 100 % 60, hundredths % 100);
    return text;
}

}  // namespace quelm
