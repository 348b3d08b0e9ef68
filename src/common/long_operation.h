// The one long operation the dashboard runs at a time (connection, receive loop, playback,
// export, self test) and what happens when the user starts another while it runs. Operations
// yield to the window system, so a second one started from a handler would otherwise run nested
// inside the first and freeze it; instead the first is stopped and allowed to unwind before the
// second starts, or the second is refused.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace quelm {

enum class LongOperation { None, Connecting, Monitoring, Playback, Export, SelfTest };

inline constexpr const char* kExportNeedsNoLinkMessage =
    "A log cannot be exported while Quelm is connected.  Disconnect first.";

enum class StartRule {
    Start,        // nothing runs
    StopRunning,  // the running operation is stopped; the new one starts once it has ended
    Refuse,       // the new one does not start; the user is told why
};

// The link (connecting or monitoring) gives way to playback and to the self test, a playback to
// the link and the self test; an export and a self test are never interrupted. Starting the
// operation that already runs is for its handler to settle first (Connect toggles, Play resumes
// a paused playback); here it counts as refused.
[[nodiscard]] StartRule RuleFor(LongOperation running, LongOperation wanted) noexcept;
// What the user is told when `wanted` is refused while `running` runs.
[[nodiscard]] std::string RefusalText(LongOperation running, LongOperation wanted);
[[nodiscard]] constexpr bool IsLink(LongOperation op) noexcept {
    return op == LongOperation::Connecting || op == LongOperation::Monitoring;
}

class OperationRecord {
  public:
    using Task = std::function<void()>;

    // `post` runs a task from the event loop, after the handler in hand has returned: a start
    // that waited for an operation to end runs there, not inside the ended operation's handler.
    explicit OperationRecord(std::function<void(Task)> post) : post_(std::move(post)) {}
    OperationRecord(const OperationRecord&) = delete;
    OperationRecord& operator=(const OperationRecord&) = delete;

    // Marks an operation as running for as long as it lives.
    class [[nodiscard]] Running {
      public:
        Running(Running&& other) noexcept : record_(std::exchange(other.record_, nullptr)) {}
        Running& operator=(Running&&) = delete;
        ~Running();
        // The connection has become the receive loop.
        void Become(LongOperation op) noexcept;

      private:
        friend class OperationRecord;
        explicit Running(OperationRecord& record) : record_(&record) {}
        OperationRecord* record_;
    };

    [[nodiscard]] LongOperation Current() const noexcept { return current_; }
    // A start waits for the running operation to end.
    [[nodiscard]] bool Waiting() const noexcept { return static_cast<bool>(waiting_); }

    // `op` runs until the result is gone; `stop` asks it to end (it unwinds at its next turn).
    // Throws std::logic_error when another operation runs: that one would be frozen.
    Running Begin(LongOperation op, Task stop);

    // Why `wanted` may not start now, or nothing when it may (perhaps after a stop).
    [[nodiscard]] std::optional<std::string> Refusal(LongOperation wanted) const;
    // Asks the running operation, if any, to stop.
    void StopCurrent();
    // Runs `start` now when nothing runs, else once the running operation has ended. A later
    // call replaces a start still waiting: the user's last choice wins.
    void WhenIdle(Task start);
    // The whole check of a handler: refuses (returns why), or stops the running operation and
    // starts `start` once it has ended, or starts it now.
    [[nodiscard]] std::optional<std::string> Request(LongOperation wanted, Task start);

  private:
    void End() noexcept;

    std::function<void(Task)> post_;
    LongOperation current_ = LongOperation::None;
    Task stop_;
    Task waiting_;
};

}  // namespace quelm
