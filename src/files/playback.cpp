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

double SpeedFactor(PlaybackSpeed speed) {
    switch (speed) {
        case PlaybackSpeed::Quarter:
            return 0.25;
        case PlaybackSpeed::Half:
            return 0.5;
        case PlaybackSpeed::Normal:
            return 1;
        case PlaybackSpeed::Double:
            return 2;
        case PlaybackSpeed::Four:
            return 4;
        case PlaybackSpeed::Eight:
            return 8;
        case PlaybackSpeed::Sixteen:
            return 16;
        case PlaybackSpeed::Fastest:
            break;
    }
    return 0;
}

std::string_view SpeedCaption(PlaybackSpeed speed) {
    switch (speed) {
        case PlaybackSpeed::Quarter:
            return "0.25\u00d7";
        case PlaybackSpeed::Half:
            return "0.5\u00d7";
        case PlaybackSpeed::Normal:
            return "1\u00d7";
        case PlaybackSpeed::Double:
            return "2\u00d7";
        case PlaybackSpeed::Four:
            return "4\u00d7";
        case PlaybackSpeed::Eight:
            return "8\u00d7";
        case PlaybackSpeed::Sixteen:
            return "16\u00d7";
        case PlaybackSpeed::Fastest:
            break;
    }
    return "as fast as possible";
}

PlaybackSpeed SpeedForRealTime(bool ticked, PlaybackSpeed current) {
    if (!ticked) {
        return PlaybackSpeed::Fastest;
    }
    return current == PlaybackSpeed::Fastest ? PlaybackSpeed::Normal : current;
}

PlaybackPace ChangeSpeed(const PlaybackPace& pace, double now, double speed, double lastStamp) {
    const double position =
        pace.Paced() ? pace.stampAnchor + (now - pace.wallAnchor) * pace.speed : lastStamp;
    return {.wallAnchor = now, .stampAnchor = position, .speed = speed};
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

}  // namespace quelm
