// The device simulator on a pseudo-terminal, running on a thread of its own so that it can live
// inside another program (the dashboard's --simulate) as well as in quelm-sim.
#pragma once

#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "sim/device_model.h"
#include "sim/line_journal.h"
#include "sim/pseudoterminal.h"

namespace quelm::sim {

class SimulatorThread {
  public:
    // Opens a new pseudo-terminal and starts answering on it; `journal`, when given, is told what
    // crossed the line. Throws std::system_error when no pseudo-terminal can be had.
    SimulatorThread(DeviceOptions options, std::unique_ptr<FrameSource> frames,
                    std::unique_ptr<LineJournal> journal = nullptr);
    // Stops the device and joins its thread; the terminal goes away with it.
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread&) = delete;
    SimulatorThread& operator=(const SimulatorThread&) = delete;

    // The path a program opens as its serial port, e.g. "/dev/pts/3".
    const std::string& path() const { return path_; }

    // Asks the device to stop and waits for its thread. Safe to call more than once.
    void Stop();

    // True once the device has stopped by itself: the line dropped (a fault) or an I/O error.
    bool finished() const { return finished_.load(); }
    bool lineDropped() const { return dropped_.load(); }
    // Why the device stopped on an I/O error; empty otherwise.
    std::string error() const;
    long framesSent() const { return framesSent_.load(); }

  private:
    using TimePoint = std::chrono::steady_clock::time_point;
    enum class DropState { None, Waiting, Dropped };
    enum class WaitEnd { Due, Bytes, Stop };

    // Answers the program until the line drops, an I/O error or Stop. The steps of one turn:
    void Run();
    // Writes the bytes due by `now`; false after an I/O error.
    bool SendDue(double now, TimePoint start);
    // A dropped line is hung up once the program has taken what it was sent.
    DropState FollowDrop(double now, std::optional<double>& dropSeen);
    // Until `due` (none: until the program writes) or a stop request.
    WaitEnd WaitForLine(std::optional<double> due, bool dropWaits, TimePoint start);
    // Hears what the program wrote; false after an I/O error.
    bool Receive(TimePoint start);
    void Fail(std::string message);

    Pseudoterminal pty_;
    std::string path_;
    DeviceModel model_;
    std::unique_ptr<LineJournal> journal_;
    UniqueFd wakeRead_;
    UniqueFd wakeWrite_;
    std::atomic<bool> finished_{false};
    std::atomic<bool> dropped_{false};
    std::atomic<long> framesSent_{0};
    mutable std::mutex errorMutex_;
    std::string error_;
    std::thread thread_;  // last: starts once everything above exists
};

}  // namespace quelm::sim
