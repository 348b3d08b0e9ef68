// What the command-line tools add to the plain steady clock: work to do whenever the link yields
// (the once-a-second statistics, the time limit) and an end when the user interrupts.
#pragma once

#include <signal.h>

#include <functional>

#include "common/runtime.h"

namespace quelm::cli {

// Forwards to another runtime, runs `onYield` after every yield and reports Aborting() once
// `interrupted` says so.
class HookedRuntime : public Runtime {
  public:
    explicit HookedRuntime(Runtime& inner) : inner_(inner) {}
    double Now() override { return inner_.Now(); }
    void Sleep(double seconds) override { inner_.Sleep(seconds); }
    void Yield() override {
        inner_.Yield();
        if (onYield) {
            onYield();
        }
    }
    bool Aborting() const override { return inner_.Aborting() || (interrupted && interrupted()); }

    std::function<void()> onYield;
    std::function<bool()> interrupted;

  private:
    Runtime& inner_;
};

// Holds SIGINT, SIGTERM and SIGHUP back for its lifetime, so that an interrupt does not kill the
// program with the port open (which leaves its lock file behind) but is noticed at the next step
// of the link. Create it before anything starts a thread, so that every thread inherits the mask.
class StopSignals {
  public:
    StopSignals();
    // Takes back any signal still held and restores the earlier mask.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // True once one of the signals has arrived (it stays held until destruction). The link asks
    // at every step of its loops; the system is asked at most every few milliseconds.
    bool Pending() const;

  private:
    mutable bool seen_ = false;
    mutable double lastAsked_ = -1;
    sigset_t held_{};
    sigset_t previous_{};
};

}  // namespace quelm::cli
