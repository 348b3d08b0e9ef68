// Markers dropped while the link runs (the M key, the Mark button, a line on the recorder's
// standard input): numbered from 1 in each recording, stamped on the log's own clock and
// appended to the log's marks file at once. A marker dropped while nothing is recorded is
// numbered too but written nowhere.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "files/log_marks.h"
#include "files/log_writer.h"

namespace quelm {

struct DroppedMark {
    int number = 0;
    // The label given, or "Mark N"; the time on the log's stamps (0 when not recording).
    LogMark mark;
    // Appended to the marks file of the log being recorded.
    bool recorded = false;
    // The marks file could not be written.
    std::optional<std::string> error;

    // What the user is told: "LABEL at 12.34 s" once recorded, else the label alone.
    std::string Notice() const;
};

class LiveMarks {
  public:
    // `now` is on the recorder's clock. An empty label gives "Mark N".
    DroppedMark Drop(const LogRecorder& recorder, double now, std::string_view label = {});

  private:
    int count_ = 0;
    // The recording the count belongs to.
    std::filesystem::path path_;
    double start_ = 0;
};

}  // namespace quelm
