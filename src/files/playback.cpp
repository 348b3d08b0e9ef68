#include "files/playback.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "files/log_format.h"

namespace quelm {

std::int64_t RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    auto result = static_cast<std::int64_t>(below);
    if (fraction > 0.5 || (fraction == 0.5 && result % 2 != 0)) {
        ++result;
    }
    return result;
}

SliderRange PlaybackSliderRange(std::uint64_t fileBytes) {
    const double count = static_cast<double>(fileBytes) / kLogRecordBytes;
    SliderRange range;
    range.maximum = static_cast<std::int64_t>(LogRecordCount(fileBytes));
    range.tickSpacing = RoundHalfEven(count / 20.0);
    constexpr std::int64_t kMostPositions = std::numeric_limits<int>::max();
    range.recordsPerStep =
        std::max<std::int64_t>(1, (range.maximum + kMostPositions - 1) / kMostPositions);
    return range;
}

int SliderPosition(const SliderRange& range, std::int64_t record) {
    const std::int64_t clamped =
        std::clamp<std::int64_t>(record, 1, std::max<std::int64_t>(range.maximum, 1));
    return static_cast<int>((clamped - 1) / range.recordsPerStep + 1);
}

std::int64_t SliderRecord(const SliderRange& range, int position) {
    if (position >= SliderPosition(range, range.maximum)) {
        return std::max<std::int64_t>(range.maximum, 1);
    }
    return (std::max(position, 1) - 1) * range.recordsPerStep + 1;
}

LoggingControls ControlsFor(LoggingState state) {
    switch (state) {
        case LoggingState::Idle:
            return {.record = true, .play = true};
        case LoggingState::Recording:
        case LoggingState::LimitReached:
            return {.stop = true};
        case LoggingState::Declined:
            return {.record = true, .play = true, .stop = true};
        case LoggingState::Playing:
            return {.pause = true, .stop = true, .sliderVisible = true};
        case LoggingState::Paused:
            return {.play = true, .stop = true, .sliderVisible = true, .sliderEnabled = true};
    }
    return {};
}

bool PlaybackController::Play() {
    if (!ControlsFor(state_).play) {
        return false;
    }
    state_ = LoggingState::Playing;
    return true;
}

bool PlaybackController::Pause() {
    if (!ControlsFor(state_).pause) {
        return false;
    }
    state_ = LoggingState::Paused;
    return true;
}

bool PlaybackController::Stop() {
    if (state_ != LoggingState::Playing && state_ != LoggingState::Paused) {
        return false;
    }
    state_ = LoggingState::Idle;
    return true;
}

}  // namespace quelm
