// The parts of log playback that do not need a window: slider range, pacing and the button
// states of the logging window.
#pragma once

#include <cstdint>

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

// Idle -> Playing (Play) -> Paused (Pause) -> Playing (Play resumes) ... -> Idle (Stop or the
// end of the log). Each call returns false, changing nothing, when the button is not enabled
// in the current state.
class PlaybackController {
  public:
    LoggingState state() const { return state_; }
    bool Play();
    bool Pause();
    // The Stop button, or the log played to its end.
    bool Stop();

  private:
    LoggingState state_ = LoggingState::Idle;
};

}  // namespace quelm
