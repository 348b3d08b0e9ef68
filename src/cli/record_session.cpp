#include "cli/record_session.h"

#include <limits>
#include <ostream>
#include <system_error>
#include <utility>

#include "cli/json_line.h"
#include "link/link_statistics.h"

namespace quelm::cli {

const char* RecordEndName(RecordEnd end) {
    switch (end) {
        case RecordEnd::FramesReached:
            return "frames";
        case RecordEnd::SecondsReached:
            return "seconds";
        case RecordEnd::Interrupted:
            return "interrupted";
        case RecordEnd::TimeLimit:
            return "time_limit";
        case RecordEnd::NotConnected:
            return "not_connected";
        case RecordEnd::CannotStart:
            return "cannot_start";
        case RecordEnd::WriteFailed:
            return "write_failed";
        case RecordEnd::LinkFailed:
            return "link_failed";
        case RecordEnd::PortLost:
            return "port_lost";
        case RecordEnd::PortFailure:
            return "port_failure";
    }
    return "unknown";
}

int RecordReport::ExitCode() const {
    switch (end) {
        case RecordEnd::FramesReached:
        case RecordEnd::SecondsReached:
        case RecordEnd::Interrupted:
        case RecordEnd::TimeLimit:
            return 0;
        default:
            return 1;
    }
}

std::string RecordReportJson(const RecordReport& r) {
    JsonLine json;
    // null when no connection was made; a number is the rate the frames came at.
    json.Add("rate", r.rate ? RateValue(*r.rate) : std::numeric_limits<double>::quiet_NaN())
        .Add("status", r.status)
        .Add("connection", r.connection)
        .Add("total_frames", r.stats.TotalFrames)
        .Add("checksum_errors", r.stats.ChecksumErrors)
        .Add("timeout_errors", r.stats.TimeoutErrors)
        .Add("records", static_cast<std::int64_t>(r.records))
        .Add("markers", static_cast<std::int64_t>(r.markers))
        .Add("seconds", r.pollingSeconds)
        .Add("polls_per_second",
             r.pollingSeconds > 0 ? r.stats.TotalFrames / r.pollingSeconds : 0.0)
        .Add("end", RecordEndName(r.end));
    if (!r.out.empty()) {
        json.Add("out", r.out);
    }
    if (!r.message.empty()) {
        json.Add("message", r.message);
    }
    json.Add("exit_code", static_cast<std::int64_t>(r.ExitCode()));
    return json.Text();
}

RecordSession::RecordSession(LinkContext& ctx, HookedRuntime& rt, LogRecorder& recorder,
                             std::filesystem::path out, RecordLimits limits, std::ostream& err)
    : ctx_(ctx),
      rt_(rt),
      recorder_(recorder),
      out_(std::move(out)),
      limits_(limits),
      err_(err),
      userInterrupt_(std::move(rt.interrupted)) {
    rt_.onYield = [this] { Periodic(); };
    rt_.interrupted = [this] { return Interrupted(); };
}

RecordSession::~RecordSession() {
    rt_.onYield = nullptr;
    rt_.interrupted = std::move(userInterrupt_);
}

bool RecordSession::Interrupted() const {
    if (!userInterrupt_ || !userInterrupt_()) {
        return false;
    }
    // While polling, an interrupt stops the loop at its next turn like a disconnection, so the
    // poll under way is not cut short and counted as a timeout. Only a loop that does not come
    // round in time (inside a reconnection) is aborted.
    constexpr double kTurnAllowance = 0.5;
    return !polling_ || (interruptSeen_ && rt_.Now() - *interruptSeen_ > kTurnAllowance);
}

RecordReport RecordSession::Run() {
    ctx_.Connected = true;
    ConnectOutcome outcome;
    try {
        outcome = ConnectDevice(ctx_);
    } catch (const quelm::PortFailure& failure) {
        auto report = Finish(RecordEnd::PortFailure);
        report.portFailure = failure;
        return report;
    }
    connection_ = ctx_.status.Panel(2);
    if (outcome == ConnectOutcome::Aborted) {
        return Finish(RecordEnd::Interrupted, "Interrupted while connecting; nothing recorded.");
    }
    if (outcome == ConnectOutcome::Retry) {
        return Finish(RecordEnd::NotConnected,
                      "The device did not answer (COM Retry); nothing recorded.");
    }
    rate_ = ctx_.BaudRate;
    if (auto error = recorder_.StartRecording(out_, rt_.Now())) {
        return Finish(RecordEnd::CannotStart, *error);
    }
    logStarted_ = true;
    err_ << "Recording to " << out_.string() << std::endl;

    pollStart_ = rt_.Now();
    nextTick_ = pollStart_ + 1.0;
    polling_ = true;
    MonitorResult result;
    try {
        result = Monitor(ctx_, *this);
    } catch (const quelm::PortFailure& failure) {
        polling_ = false;
        pollEnd_ = rt_.Now();
        recorder_.StopRecording();
        auto report = Finish(RecordEnd::PortFailure);
        report.portFailure = failure;
        return report;
    }
    polling_ = false;
    pollEnd_ = rt_.Now();
    recorder_.StopRecording();

    switch (result.end) {
        case MonitorEnd::Aborted:
            // Monitor leaves the panels as they were when the program is ending.
            StopLink(ctx_);
            return Finish(RecordEnd::Interrupted, "Interrupted.");
        case MonitorEnd::PortLost:
            return Finish(RecordEnd::PortLost,
                          "The serial port failed while recording: " + result.error + ".");
        case MonitorEnd::LinkFailed:
            return Finish(RecordEnd::LinkFailed,
                          "The device stopped answering and three reconnections failed "
                          "(COM Fail).");
        case MonitorEnd::Stopped:
            break;
    }
    // Only this session clears Connected while the loop runs.
    return Finish(stop_.value_or(RecordEnd::Interrupted), stopMessage_);
}

RecordReport RecordSession::Finish(RecordEnd end, std::string message) {
    ctx_.port.Close();
    RecordReport report;
    report.end = end;
    report.connection = connection_.empty() ? ctx_.status.Panel(2) : connection_;
    report.status = ctx_.status.Panel(2);
    report.rate = rate_;
    report.stats = ctx_.Stats;
    report.records = recorder_.RecordNumber() - 1;
    report.markers = marksWritten_;
    report.pollingSeconds = pollEnd_ - pollStart_;
    // Only a log this session made: a file the connection never got to replace is not its log.
    std::error_code ec;
    if (logStarted_ && std::filesystem::exists(out_, ec)) {
        report.out = out_.string();
    }
    report.message = std::move(message);
    if (pollEnd_ > pollStart_) {
        const auto& st = report.stats;
        err_ << st.TotalFrames << " polls in " << report.pollingSeconds << " s ("
             << st.TotalFrames / report.pollingSeconds << " per second), " << st.ChecksumErrors
             << " checksum errors, " << st.TimeoutErrors << " timeouts" << std::endl;
    }
    if (!report.message.empty()) {
        err_ << report.message << std::endl;
    }
    if (report.records > 0 || end == RecordEnd::WriteFailed) {
        err_ << report.records << " records in " << report.out << std::endl;
    }
    return report;
}

void RecordSession::OnGoodFrame(const FrameBuffer& frame, const RawData&, double) {
    // A reconnection may have settled on another rate; frames arrive only at the one in force.
    if (rate_ != ctx_.BaudRate) {
        rate_ = ctx_.BaudRate;
    }
    if (recorder_.Recording()) {
        buffer_ = frame;
        const LogWriteResult written = recorder_.WriteLogRecord(buffer_, rt_.Now());
        switch (written.kind) {
            case LogWriteResult::Kind::Written:
                if (limits_.frames &&
                    recorder_.RecordNumber() - 1 >= static_cast<std::uint64_t>(*limits_.frames)) {
                    Stop(RecordEnd::FramesReached);
                }
                break;
            case LogWriteResult::Kind::LimitReached:
                Stop(RecordEnd::TimeLimit, written.message);
                break;
            case LogWriteResult::Kind::Error:
                Stop(RecordEnd::WriteFailed, written.message);
                break;
        }
    }
    Periodic();
}

void RecordSession::Stop(RecordEnd end, std::string message) {
    if (!stop_) {
        stop_ = end;
        stopMessage_ = std::move(message);
    }
    ctx_.Connected = false;
}

void RecordSession::Periodic() {
    if (!polling_) {
        return;
    }
    const double now = rt_.Now();
    if (!interruptSeen_ && userInterrupt_ && userInterrupt_()) {
        interruptSeen_ = now;
        Stop(RecordEnd::Interrupted, "Interrupted.");
    }
    if (limits_.seconds && now - pollStart_ >= *limits_.seconds) {
        Stop(RecordEnd::SecondsReached);
    }
    DropMarks();
    if (now >= nextTick_) {
        PrintStatistics();
        // A long stall (a reconnection) gives one tick, not a burst of them.
        nextTick_ = now >= nextTick_ + 1.0 ? now + 1.0 : nextTick_ + 1.0;
    }
}

void RecordSession::DropMarks() {
    if (!markLines || !recorder_.Recording()) {
        return;
    }
    for (const std::string& line : markLines()) {
        const DroppedMark dropped = marks_.Drop(recorder_, rt_.Now(), line);
        if (dropped.error) {
            err_ << *dropped.error << std::endl;
            continue;
        }
        ++marksWritten_;
        err_ << dropped.Notice() << std::endl;
    }
}

void RecordSession::PrintStatistics() {
    const StatisticsTexts t = StatisticsTick(ctx_.Stats, ctx_.FrameCounter);
    err_ << t.panel3 << "  total " << t.tfc << "  checksum errors " << t.cke << "  timeouts "
         << t.toe << "  loss " << t.flp << "%  records " << recorder_.RecordNumber() - 1
         << std::endl;
}

}  // namespace quelm::cli
