// The playback loop: reads a log record by record and hands each frame to the displays, paced
// by the record time stamps when asked, with pause, seek and stop. It yields through the
// runtime, so the window's buttons act on it through Pause(), Resume() and RequestHalt().
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "common/records.h"
#include "common/runtime.h"
#include "files/log_reader.h"
#include "files/playback.h"

namespace quelm {

// What the loop tells the window and asks it.
struct PlaybackHooks {
    // The log is open: its length and the slider range (maximum 0 for a log without records).
    std::function<void(std::uint64_t fileBytes, const SliderRange& range)> opened;
    // Record n is about to be shown: the counter and the slider follow it.
    std::function<void(std::uint64_t n)> showPosition;
    // Where the slider stands now (the user may have moved it while paused).
    std::function<std::uint64_t()> position;
    // The record's time stamp in seconds.
    std::function<void(double seconds)> showTime;
    // Decode, convert and display one frame at this scope time.
    std::function<void(const FrameBuffer& frame, double seconds)> showFrame;
    // Log seconds per clock second, 0 for as fast as possible: the Real-Time box and the speed
    // choice (read per record: they may change during playback).
    std::function<double()> speed;
};

struct PlaybackResult {
    enum class Kind { Played, Halted, Aborted, Resumed, Error };
    Kind kind = Kind::Played;
    std::uint64_t fileBytes = 0;
    std::uint64_t shown = 0;
    // Kind::Error: why the log could not be opened or read.
    std::string error;
};

// Longest single sleep of the Real-Time wait: the window stays responsive while the next stamp
// is far off, and the last stretch is slept exactly so records are shown close to their stamp.
inline constexpr double kPacingStep = 0.002;
inline constexpr double kMinimumWait = 1e-6;
// Sleep between yields while paused.
inline constexpr double kPausePoll = 0.005;

// Waits until the record stamped `stamp` is due at `pace` on the runtime's clock, or until
// `halt` is set or the program ends. Never returns early otherwise; an unpaced pace never waits.
void WaitForStamp(Runtime& rt, const PlaybackPace& pace, double stamp, const bool& halt);

class LogPlayer {
  public:
    explicit LogPlayer(Runtime& rt) : rt_(rt) {}

    // `PlayLog`: plays `path` from record `first` (1: the whole log), paced as if Play had been
    // pressed at that record's stamp. When a playback is paused, only resumes it (returns
    // Resumed at once; the running loop goes on).
    PlaybackResult PlayLog(const std::filesystem::path& path, const PlaybackHooks& hooks,
                           std::uint64_t first = 1);

    // `ShowSliderRecord`: shows record n of the log being played (while paused).
    bool ShowRecord(std::uint64_t n, const PlaybackHooks& hooks);

    // A move while playing (the keys): record n comes next, due at once, and the pace goes on
    // from its stamp. While paused the position hook moves the playback instead.
    void Seek(std::uint64_t n) { seek_ = n; }

    // The log being played: whole records, and the stamp of record n (1..RecordCount()) in
    // seconds, NaN when it cannot be read.
    std::uint64_t RecordCount() const { return count_; }
    double StampOf(std::uint64_t n);

    void Pause() { paused_ = true; }
    // The Stop action: a paused playback wakes, shows its record once more and ends.
    void RequestHalt() {
        paused_ = false;
        halt_ = true;
    }

    bool Running() const { return reader_.has_value(); }
    bool Paused() const { return paused_; }
    double StartTime() const { return startTime_; }
    // When the records are due now.
    const PlaybackPace& Pace() const { return pace_; }

  private:
    bool OpenLog(const std::filesystem::path& path, const PlaybackHooks& hooks,
                 PlaybackResult& result);

    Runtime& rt_;
    std::optional<LogReader> reader_;
    std::uint64_t count_ = 0;
    std::optional<std::uint64_t> seek_;
    PlaybackPace pace_;
    bool paused_ = false;
    bool halt_ = false;
    double startTime_ = 0;
};

}  // namespace quelm
