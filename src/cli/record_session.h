// The headless recorder: connect, then run the receive loop with a sink that appends every good
// frame to the log, until enough frames or seconds, an interrupt, or a failure.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>

#include "cli/cli_runtime.h"
#include "files/live_marks.h"
#include "files/log_writer.h"
#include "link/connect_device.h"
#include "link/monitor.h"

namespace quelm::cli {

struct RecordLimits {
    std::optional<long> frames;     // good frames recorded
    std::optional<double> seconds;  // seconds of polling
};

enum class RecordEnd {
    FramesReached,
    SecondsReached,
    Interrupted,   // a stop signal; everything recorded so far is kept
    TimeLimit,     // the log's 46-hour time stamp is full
    NotConnected,  // the connection ended in "COM Retry"
    CannotStart,   // the log could not be created
    WriteFailed,   // a record could not be written; the records before it are kept
    LinkFailed,    // three reconnections failed ("COM Fail")
    PortLost,      // the port failed while polling
    PortFailure,   // a port error during a connection
};

// Short name of an end, as the JSON line gives it ("frames", "port_lost", ...).
const char* RecordEndName(RecordEnd end);

struct RecordReport {
    RecordEnd end = RecordEnd::NotConnected;
    std::string connection;  // panel 2 after the first connection: "Ready @ 38400" or "COM Retry"
    std::string status;      // panel 2 at the end
    // The rate the link last ran at ("57600"); nothing when no connection got to "Ready".
    std::optional<std::string> rate;
    LinkStats stats;
    std::uint64_t records = 0;
    std::uint64_t markers = 0;  // written to the marks file
    double pollingSeconds = 0;
    std::string out;      // the log; empty when none was created
    std::string message;  // why it ended, when that needs saying
    std::optional<quelm::PortFailure> portFailure;

    // 0 when the recording ran to an end the user asked for (or the time stamp's end); 1 when
    // the link or the log failed.
    int ExitCode() const;
};

// The last stdout line of `quelm record --json`.
std::string RecordReportJson(const RecordReport& report);

class RecordSession final : public FrameSink {
  public:
    // `rt` must be the runtime `ctx` uses; the session takes over its onYield and wraps its
    // `interrupted`. Status texts are the caller's business; the statistics lines and messages
    // go to `err`.
    RecordSession(LinkContext& ctx, HookedRuntime& rt, LogRecorder& recorder,
                  std::filesystem::path out, RecordLimits limits, std::ostream& err);
    ~RecordSession() override;
    RecordSession(const RecordSession&) = delete;
    RecordSession& operator=(const RecordSession&) = delete;

    // Runs the whole session on ctx.ComPort. Never throws for a link or log failure: the report
    // says what happened. The port is closed at the end.
    RecordReport Run();

    void OnGoodFrame(const FrameBuffer& frame, const RawData& raw, double scopeTime) override;

    // Marker lines that have arrived (standard input); each becomes a marker while recording,
    // its text the label ("Mark N" for an empty line).
    std::function<std::vector<std::string>()> markLines;

  private:
    void Periodic();
    bool Interrupted() const;
    void Stop(RecordEnd end, std::string message = {});
    void PrintStatistics();
    void DropMarks();
    RecordReport Finish(RecordEnd end, std::string message = {});

    LinkContext& ctx_;
    HookedRuntime& rt_;
    LogRecorder& recorder_;
    std::filesystem::path out_;
    RecordLimits limits_;
    std::ostream& err_;

    bool polling_ = false;
    double pollStart_ = 0;
    double pollEnd_ = 0;
    double nextTick_ = 0;
    std::function<bool()> userInterrupt_;
    std::optional<double> interruptSeen_;
    std::optional<RecordEnd> stop_;
    std::string stopMessage_;
    std::string connection_;
    std::optional<std::string> rate_;
    bool logStarted_ = false;
    FrameBuffer buffer_{};
    LiveMarks marks_;
    std::uint64_t marksWritten_ = 0;
};

}  // namespace quelm::cli
