#include "files/log_player.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "files/log_format.h"

namespace quelm {

void WaitForStamp(Runtime& rt, const PlaybackPace& pace, double stamp, const bool& halt) {
    if (!pace.Paced()) {
        return;
    }
    // Measured from the anchor, as the time since Play is at 1x.
    const double due = (stamp - pace.stampAnchor) / pace.speed;
    while (!halt && !rt.Aborting()) {
        const double remaining = RemainingWait(rt.Now() - pace.wallAnchor, due);
        if (remaining <= 0) {
            return;
        }
        if (remaining > kPacingStep) {
            rt.Sleep(kPacingStep);
            rt.Yield();
        } else {
            // The last stretch without a yield: painting now would make the record late. At
            // least a microsecond, so that rounding can never leave a wait that makes no headway.
            rt.Sleep(std::max(remaining, kMinimumWait));
        }
    }
}

// Opens `path` for a new run and hands its size to the window; false, with the reason in
// `result`, when it cannot be read.
bool LogPlayer::OpenLog(const std::filesystem::path& path, const PlaybackHooks& hooks,
                        PlaybackResult& result) {
    startTime_ = rt_.Now();
    reader_.emplace(path);
    if (!reader_->IsOpen()) {
        result.kind = PlaybackResult::Kind::Error;
        result.error = reader_->Error();
        reader_.reset();
        return false;
    }
    result.fileBytes = reader_->FileBytes();
    count_ = reader_->RecordCount();
    seek_.reset();
    startTime_ = rt_.Now();
    pace_ = {.wallAnchor = startTime_, .stampAnchor = 0, .speed = hooks.speed()};
    if (hooks.opened) {
        hooks.opened(result.fileBytes, PlaybackSliderRange(result.fileBytes));
    }
    return true;
}

PlaybackResult LogPlayer::PlayLog(const std::filesystem::path& path, const PlaybackHooks& hooks,
                                  std::uint64_t first) {
    halt_ = false;
    PlaybackResult result;
    if (paused_) {
        paused_ = false;
        result.kind = PlaybackResult::Kind::Resumed;
        return result;
    }
    if (!OpenLog(path, hooks, result)) {
        return result;
    }
    const std::uint64_t count = count_;
    FrameBuffer frame{};
    double lastStamp = 0;
    first = std::clamp<std::uint64_t>(first, 1, std::max<std::uint64_t>(count, 1));
    if (first > 1) {
        // As a move to that record: the pace starts from its stamp.
        seek_ = first;
    }
    for (std::uint64_t n = first; n <= count; ++n) {
        hooks.showPosition(n);
        while (paused_ && !rt_.Aborting()) {
            rt_.Sleep(kPausePoll);
            rt_.Yield();
        }
        if (rt_.Aborting()) {
            result.kind = PlaybackResult::Kind::Aborted;
            break;
        }
        const std::optional<std::uint64_t> seek = std::exchange(seek_, std::nullopt);
        n = std::clamp<std::uint64_t>(seek ? *seek : hooks.position(), 1, count);
        if (seek) {
            hooks.showPosition(n);
        }
        if (!reader_->ReadRecord(n, frame)) {
            result.kind = PlaybackResult::Kind::Error;
            result.error =
                reader_->Error().empty() ? "Cannot read the log file." : reader_->Error();
            break;
        }
        const double t = DecodeTimeStamp(frame);
        hooks.showTime(t);
        const double speed = hooks.speed();
        if (seek) {
            pace_ = {.wallAnchor = rt_.Now(), .stampAnchor = t, .speed = speed};
        } else if (speed != pace_.speed) {
            pace_ = ChangeSpeed(pace_, rt_.Now(), speed, lastStamp);
        }
        WaitForStamp(rt_, pace_, t, halt_);
        lastStamp = t;
        hooks.showFrame(frame, t);
        ++result.shown;
        rt_.Yield();
        if (rt_.Aborting()) {
            result.kind = PlaybackResult::Kind::Aborted;
            break;
        }
        if (halt_) {
            halt_ = false;
            result.kind = PlaybackResult::Kind::Halted;
            break;
        }
    }
    reader_.reset();
    count_ = 0;
    paused_ = false;
    return result;
}

double LogPlayer::StampOf(std::uint64_t n) {
    FrameBuffer frame{};
    if (!reader_ || !reader_->ReadRecord(n, frame)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return DecodeTimeStamp(frame);
}

bool LogPlayer::ShowRecord(std::uint64_t n, const PlaybackHooks& hooks) {
    FrameBuffer frame{};
    if (!reader_ || !reader_->ReadRecord(n, frame)) {
        return false;
    }
    const double t = DecodeTimeStamp(frame);
    hooks.showTime(t);
    hooks.showFrame(frame, t);
    rt_.Yield();
    return true;
}

}  // namespace quelm
