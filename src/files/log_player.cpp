#include "files/log_player.h"

#include <algorithm>

#include "files/log_format.h"

namespace quelm {

void WaitForStamp(Runtime& rt, double startTime, double stamp, const bool& halt) {
    while (!halt && !rt.Aborting()) {
        const double remaining = RemainingWait(rt.Now() - startTime, stamp);
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

PlaybackResult LogPlayer::PlayLog(const std::filesystem::path& path, const PlaybackHooks& hooks,
                                  std::uint64_t first) {
    halt_ = false;
    PlaybackResult result;
    if (paused_) {
        paused_ = false;
        result.kind = PlaybackResult::Kind::Resumed;
        return result;
    }
    startTime_ = rt_.Now();
    reader_.emplace(path);
    if (!reader_->IsOpen()) {
        result.kind = PlaybackResult::Kind::Error;
        result.error = reader_->Error();
        reader_.reset();
        return result;
    }
    result.fileBytes = reader_->FileBytes();
    const std::uint64_t count = reader_->RecordCount();
    startTime_ = rt_.Now();
    if (hooks.opened) {
        hooks.opened(result.fileBytes, PlaybackSliderRange(result.fileBytes));
    }
    FrameBuffer frame{};
    first = std::clamp<std::uint64_t>(first, 1, std::max<std::uint64_t>(count, 1));
    if (first > 1 && reader_->ReadRecord(first, frame)) {
        startTime_ -= DecodeTimeStamp(frame);
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
        n = std::clamp<std::uint64_t>(hooks.position(), 1, count);
        if (!reader_->ReadRecord(n, frame)) {
            result.kind = PlaybackResult::Kind::Error;
            result.error =
                reader_->Error().empty() ? "Cannot read the log file." : reader_->Error();
            break;
        }
        const double t = DecodeTimeStamp(frame);
        hooks.showTime(t);
        if (hooks.realTime()) {
            WaitForStamp(rt_, startTime_, t, halt_);
        }
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
    paused_ = false;
    return result;
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
