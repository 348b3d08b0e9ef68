// The log recorder: appends one record per validated frame, durably, and keeps the recording
// state the logging window and the headless recorder show.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/records.h"

namespace quelm {

inline constexpr const char* kLogTimeLimitMessage =
    "Maximum 46hour Log Time Exceeded.  Logging Stopped.";

// True when something exists at `path` (the caller asks before overwriting it).
bool LogFileExists(const std::filesystem::path& path);

struct LogWriteResult {
    enum class Kind { Written, LimitReached, Error };
    Kind kind = Kind::Error;
    // Kind::LimitReached: kLogTimeLimitMessage; Kind::Error: what went wrong.
    std::string message;
    // The number the next record will take (2 after the first record).
    std::uint64_t recordNumber = 0;
    // Seconds since the recording started, also when nothing was written.
    double elapsed = 0;
    // Integer part of recordNumber * 48 / 1000.
    std::uint64_t fileSizeKb = 0;
};

// Recorder state: `Recording`, `RecordNumber`, `RecordStartTime`. Times are seconds on the
// steady clock of Runtime::Now(), which runs on across midnight.
class LogRecorder {
  public:
    // Starts a recording into `path`, replacing any file there (ask first: LogFileExists); an
    // entry that is not a regular file, or a read-only file, is refused and left as it is. The
    // file is created at once so that an unusable name or folder is reported here and not at
    // the first frame; the markers file of the log it replaces is removed. Returns the message
    // when recording cannot start; the state is then unchanged.
    std::optional<std::string> StartRecording(const std::filesystem::path& path, double now);
    void StopRecording() { recording_ = false; }

    // Stamps `buffer` bytes 38..40 with the time since the start and appends it as the next
    // record. The file is opened for this one record and closed again, so the record has been
    // handed to the operating system when the call returns; the 48 bytes go out in one write,
    // and should only part of them get through, the file is cut back to the records before it.
    // Records go only into the file StartRecording created, and only right after the records
    // written so far: when the name no longer leads to that file (moved, deleted, replaced) or
    // the file has been cut short, nothing is written, since a new file or a gap would read back
    // as zero-filled records that pass the checksum. Stops the recording on the 46-hour limit
    // (nothing written) and on any write failure; the records written before stay.
    LogWriteResult WriteLogRecord(FrameBuffer& buffer, double now);

    bool Recording() const { return recording_; }
    std::uint64_t RecordNumber() const { return recordNumber_; }
    double RecordStartTime() const { return recordStartTime_; }
    const std::filesystem::path& path() const { return path_; }

  private:
    std::optional<std::string> AppendRecord(const FrameBuffer& buffer) const;

    bool recording_ = false;
    std::uint64_t recordNumber_ = 1;
    double recordStartTime_ = 0;
    std::filesystem::path path_;
    // The file StartRecording created (device and inode).
    std::uint64_t device_ = 0;
    std::uint64_t inode_ = 0;
};

}  // namespace quelm
