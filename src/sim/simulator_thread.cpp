#include "sim/simulator_thread.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <optional>
#include <system_error>

#include "common/time_slice.h"

namespace quelm::sim {

namespace {

std::pair<UniqueFd, UniqueFd> WakePipe() {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    return {UniqueFd(fds[0]), UniqueFd(fds[1])};
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

SimulatorThread::SimulatorThread(DeviceOptions options, std::unique_ptr<FrameSource> frames,
                                 std::unique_ptr<LineJournal> journal)
    : pty_(Pseudoterminal::Open()),
      path_(pty_.path()),
      model_(std::move(options), std::move(frames)),
      journal_(std::move(journal)) {
    auto [r, w] = WakePipe();
    wakeRead_ = std::move(r);
    wakeWrite_ = std::move(w);
    thread_ = std::thread([this] { Run(); });
}

SimulatorThread::~SimulatorThread() {
    Stop();
}

void SimulatorThread::Stop() {
    if (thread_.joinable()) {
        const char wake = 1;
        // A full pipe already holds a wake-up; nothing to add.
        [[maybe_unused]] const auto n = ::write(wakeWrite_.get(), &wake, 1);
        thread_.join();
    }
}

std::string SimulatorThread::error() const {
    std::lock_guard lock(errorMutex_);
    return error_;
}

void SimulatorThread::Fail(std::string message) {
    {
        std::lock_guard lock(errorMutex_);
        error_ = std::move(message);
    }
    finished_ = true;
}

void SimulatorThread::Run() {
    // Bytes are due every 87 us at 115200; the default 50 us timer slack would blur that.
    // Not being granted a finer slack only costs precision.
    [[maybe_unused]] const bool preciseTimers = RequestPreciseTimers();
    // A device answers on time whatever else the machine does; short slices bring the thread
    // closer to that on a busy machine.
    [[maybe_unused]] const bool shortSlices = RequestShortTimeSlices();
    const auto start = std::chrono::steady_clock::now();
    std::optional<double> dropSeen;
    while (true) {
        const double now = SecondsSince(start);
        if (!SendDue(now, start)) {
            return;
        }
        const DropState drop = FollowDrop(now, dropSeen);
        if (drop == DropState::Dropped) {
            return;
        }
        std::optional<double> due = model_.NextDue();
        if (drop == DropState::Waiting) {
            due = SecondsSince(start) + 0.01;
        }
        const WaitEnd end = WaitForLine(due, drop == DropState::Waiting, start);
        if (end == WaitEnd::Stop || (end == WaitEnd::Bytes && !Receive(start))) {
            return;
        }
    }
}

bool SimulatorThread::SendDue(double now, TimePoint start) {
    const std::vector<std::uint8_t> out = model_.TakeDue(now, pty_.Rates().receive);
    framesSent_ = model_.framesSent();
    if (out.empty()) {
        return true;
    }
    // The program's input buffer is finite: what does not fit is lost, as on a real line whose
    // receiver is not read.
    const ssize_t n = ::write(pty_.master(), out.data(), out.size());
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
        Fail(std::string("write to the pseudo-terminal: ") + std::strerror(errno));
        return false;
    }
    if (journal_ && !model_.NextDue()) {
        journal_->ReplyOnLine(SecondsSince(start));
    }
    return true;
}

SimulatorThread::DropState SimulatorThread::FollowDrop(double now,
                                                       std::optional<double>& dropSeen) {
    // Hanging up discards what the program has not read yet; a pulled cable leaves the bytes
    // already received in the port, so let the program take them first. The terminal passes
    // written bytes on a moment later, hence the short settling time.
    constexpr double kDropSettle = 0.05;
    constexpr double kDropGrace = 0.5;
    if (!model_.LineDropped(now)) {
        return DropState::None;
    }
    if (!dropSeen) {
        dropSeen = now;
    }
    if ((now - *dropSeen >= kDropSettle && pty_.Unread() == 0) || now - *dropSeen > kDropGrace) {
        pty_.Drop();
        dropped_ = true;
        finished_ = true;
        return DropState::Dropped;
    }
    return DropState::Waiting;
}

SimulatorThread::WaitEnd SimulatorThread::WaitForLine(std::optional<double> due, bool dropWaits,
                                                      TimePoint start) {
    std::array<pollfd, 2> fds{{{pty_.master(), POLLIN, 0}, {wakeRead_.get(), POLLIN, 0}}};
    timespec timeout{};
    const timespec* wait = nullptr;
    if (due) {
        // A timer wakes tens of microseconds late, and on a real line the last byte of a reply
        // is not late at all: wake early for it and poll without sleeping until due.
        constexpr double kLastByteLead = 150e-6;
        const double lead = model_.NextEndsReply() && !dropWaits ? kLastByteLead : 0.0;
        const double seconds = std::max(*due - lead - SecondsSince(start), 0.0);
        timeout.tv_sec = static_cast<time_t>(seconds);
        timeout.tv_nsec = static_cast<long>((seconds - std::floor(seconds)) * 1e9);
        wait = &timeout;
    }
    if (::ppoll(fds.data(), fds.size(), wait, nullptr) < 0) {
        if (errno == EINTR) {
            return WaitEnd::Due;
        }
        Fail(std::string("poll: ") + std::strerror(errno));
        return WaitEnd::Stop;
    }
    if (fds[1].revents != 0) {
        return WaitEnd::Stop;  // asked to stop
    }
    if ((fds[0].revents & POLLIN) == 0 && (fds[0].revents & (POLLHUP | POLLERR)) != 0) {
        Fail("the pseudo-terminal hung up");
        return WaitEnd::Stop;
    }
    return (fds[0].revents & POLLIN) != 0 ? WaitEnd::Bytes : WaitEnd::Due;
}

bool SimulatorThread::Receive(TimePoint start) {
    std::array<std::uint8_t, 256> in{};
    const ssize_t n = ::read(pty_.master(), in.data(), in.size());
    if (n < 0 && errno != EAGAIN && errno != EINTR) {
        Fail(std::string("read from the pseudo-terminal: ") + std::strerror(errno));
        return false;
    }
    // Each byte is heard at the rate the program has set at the moment it arrives.
    const double arrived = SecondsSince(start);
    const int rate = pty_.Rates().transmit;
    for (ssize_t i = 0; i < n; ++i) {
        model_.Receive(in[static_cast<std::size_t>(i)], rate, arrived);
        if (journal_) {
            journal_->Heard(in[static_cast<std::size_t>(i)], rate, arrived);
        }
    }
    return true;
}

}  // namespace quelm::sim
