// The parts of log playback that do not need a window: slider range, pacing and the button
// states of the logging window.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace quelm {

// Rounds to the nearest integer, halves to the even neighbour (2.5 gives 2, 3.5 gives 4), the
// way a real number set into an integer control property rounds.
std::int64_t RoundHalfEven(double value);

struct SliderRange {
    std::int64_t minimum = 1;
    std::int64_t maximum = 0;
    std::int64_t tickSpacing = 0;
    // Records per slider position: 1, unless the log has more records than a slider (an int)
    // can count.
    std::int64_t recordsPerStep = 1;
};

// For a log of `fileBytes`: minimum 1, maximum the number of whole records (a trailing partial
// record must not be reachable by the slider), tick spacing (length / 48) / 20 rounded half to
// even. A log of 600 records gives 1..600 with ticks every 30.
SliderRange PlaybackSliderRange(std::uint64_t fileBytes);

// The slider's own numbers for a range and record: always within int, however long the log.
int SliderPosition(const SliderRange& range, std::int64_t record);
// The record a slider position stands for: the first of its step, the last record at the end.
std::int64_t SliderRecord(const SliderRange& range, int position);

// Real-Time pacing: a record stamped `stamp` seconds is shown no earlier than `stamp` seconds
// after Play; records are never skipped to catch up. `elapsed` is the time since Play.
constexpr bool ShouldWait(double elapsed, double stamp) {
    return elapsed < stamp;
}
// How long to wait before showing the record, 0 when it is due.
constexpr double RemainingWait(double elapsed, double stamp) {
    return ShouldWait(elapsed, stamp) ? stamp - elapsed : 0.0;
}

// The speed choice of the logging window. Real-Time ticked is 1x; without it playback runs as
// fast as possible.
enum class PlaybackSpeed { Quarter, Half, Normal, Double, Four, Eight, Sixteen, Fastest };
inline constexpr std::array<PlaybackSpeed, 8> kPlaybackSpeeds{
    PlaybackSpeed::Quarter, PlaybackSpeed::Half,  PlaybackSpeed::Normal,  PlaybackSpeed::Double,
    PlaybackSpeed::Four,    PlaybackSpeed::Eight, PlaybackSpeed::Sixteen, PlaybackSpeed::Fastest};

// Log seconds per clock second; 0 for as fast as possible.
double SpeedFactor(PlaybackSpeed speed);
// "0.25×" .. "16×", "as fast as possible" (UTF-8).
std::string_view SpeedCaption(PlaybackSpeed speed);
// The Real-Time box and the speed choice move together: ticking the box picks 1x (or keeps a
// speed already chosen), clearing it picks as fast as possible; a speed ticks the box.
PlaybackSpeed SpeedForRealTime(bool ticked, PlaybackSpeed current);
constexpr bool RealTimeForSpeed(PlaybackSpeed speed) {
    return speed != PlaybackSpeed::Fastest;
}

// When a record is due: the log clock stands at `stampAnchor` at clock reading `wallAnchor` and
// runs `speed` log seconds per second. Play anchors it at (Play, 0), so at 1x a record stamped
// t is due t seconds after Play. A pause or a move of the slider does not move the anchor: the
// records then run unpaced until the stamps catch up, or wait for the clock.
struct PlaybackPace {
    double wallAnchor = 0;
    double stampAnchor = 0;
    double speed = 0;  // 0: unpaced

    constexpr bool Paced() const { return speed > 0; }
    constexpr double DueTime(double stamp) const {
        return Paced() ? wallAnchor + (stamp - stampAnchor) / speed : wallAnchor;
    }
};

// The pace after the speed changes at clock `now`. Between two paced speeds the log clock goes
// on from where it stands, without a jump; from unpaced it starts at the record last shown, so
// the playback neither stalls nor races to catch up with the time since Play.
PlaybackPace ChangeSpeed(const PlaybackPace& pace, double now, double speed, double lastStamp);

enum class LoggingState { Idle, Recording, Declined, LimitReached, Playing, Paused };

// Which controls of the logging window are enabled (or, for the slider, shown) in a state.
struct LoggingControls {
    bool record = false;
    bool play = false;
    bool pause = false;
    bool stop = false;
    bool sliderVisible = false;
    bool sliderEnabled = false;
};

LoggingControls ControlsFor(LoggingState state);

}  // namespace quelm
