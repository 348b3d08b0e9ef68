// Playback and CSV export both read a log while yielding to the window system; only one of
// them may run at a time. The main window owns one LogActivity and hands it to both windows.
#pragma once

#include <optional>
#include <string>

namespace quelm {

enum class LogJob { None, Playback, Export };

inline constexpr const char* kExportRunningMessage =
    "A log export is running.  Wait until it is done before playing a log.";
inline constexpr const char* kPlaybackRunningMessage =
    "A log is being played back.  Stop the playback before exporting a log.";

class LogActivity {
  public:
    LogJob Current() const { return current_; }
    // Starts `job` unless another one runs; returns the refusal to show otherwise.
    std::optional<std::string> Begin(LogJob job);
    // Ends `job` if it is the one running.
    void End(LogJob job);

  private:
    LogJob current_ = LogJob::None;
};

}  // namespace quelm
