#include "common/long_operation.h"

#include <stdexcept>

namespace quelm {

namespace {

const char* Verb(LongOperation wanted) {
    switch (wanted) {
        case LongOperation::Playback:
            return "playing a log.";
        case LongOperation::Export:
            return "exporting a log.";
        case LongOperation::SelfTest:
            return "starting the self test.";
        default:
            return "connecting.";
    }
}

}  // namespace

StartRule RuleFor(LongOperation running, LongOperation wanted) noexcept {
    bool givesWay = false;
    switch (running) {
        case LongOperation::None:
            return StartRule::Start;
        case LongOperation::Connecting:
        case LongOperation::Monitoring:
            givesWay = wanted == LongOperation::Playback || wanted == LongOperation::SelfTest;
            break;
        case LongOperation::Playback:
            givesWay = IsLink(wanted) || wanted == LongOperation::SelfTest;
            break;
        case LongOperation::Export:
        case LongOperation::SelfTest:
            break;
    }
    return givesWay ? StartRule::StopRunning : StartRule::Refuse;
}

std::string RefusalText(LongOperation running, LongOperation wanted) {
    const std::string before = Verb(wanted);
    switch (running) {
        case LongOperation::Connecting:
        case LongOperation::Monitoring:
            return wanted == LongOperation::Export
                       ? kExportNeedsNoLinkMessage
                       : "Quelm is connected.  Disconnect before " + before;
        case LongOperation::Playback:
            return "A log is being played back.  Stop the playback before " + before;
        case LongOperation::Export:
            return "A log export is running.  Wait until it is done before " + before;
        case LongOperation::SelfTest:
            return "The self test is running.  Stop the self test before " + before;
        case LongOperation::None:
            break;
    }
    return {};
}

OperationRecord::Running::~Running() {
    if (record_ != nullptr) {
        record_->End();
    }
}

void OperationRecord::Running::Become(LongOperation op) noexcept {
    if (record_ != nullptr) {
        record_->current_ = op;
    }
}

OperationRecord::Running OperationRecord::Begin(LongOperation op, Task stop) {
    if (current_ != LongOperation::None) {
        throw std::logic_error("a long operation started inside another");
    }
    current_ = op;
    stop_ = std::move(stop);
    return Running(*this);
}

std::optional<std::string> OperationRecord::Refusal(LongOperation wanted) const {
    if (RuleFor(current_, wanted) == StartRule::Refuse) {
        return RefusalText(current_, wanted);
    }
    return std::nullopt;
}

void OperationRecord::StopCurrent() {
    if (current_ != LongOperation::None && stop_) {
        // A copy: stopping may end the operation and with it the stored function.
        const Task stop = stop_;
        stop();
    }
}

void OperationRecord::WhenIdle(Task start) {
    if (current_ == LongOperation::None) {
        waiting_ = nullptr;
        start();
    } else {
        waiting_ = std::move(start);
    }
}

std::optional<std::string> OperationRecord::Request(LongOperation wanted, Task start) {
    if (auto refusal = Refusal(wanted)) {
        return refusal;
    }
    StopCurrent();
    WhenIdle(std::move(start));
    return std::nullopt;
}

void OperationRecord::End() noexcept {
    current_ = LongOperation::None;
    stop_ = nullptr;
    if (!waiting_) {
        return;
    }
    // Something may start between now and the posted turn; the waiting start then waits again.
    post_([this, start = std::exchange(waiting_, nullptr)]() mutable {
        if (!waiting_) {
            WhenIdle(std::move(start));
        }
    });
}

}  // namespace quelm
