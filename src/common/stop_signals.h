// SIGINT, SIGTERM and SIGHUP asking the program to stop. While a StopSignals lives they only note
// which signal came and interrupt any system call that waits, so that the program notices at its
// next step and ends cleanly: the port closed (a killed program leaves its lock file behind), a
// temporary file removed, the dashboard's layout saved. Signals the caller ignores (nohup, a
// background job without job control) stay ignored. The dashboard, the command line and the
// simulator all stop this way; only one StopSignals lives at a time.
#pragma once

#include <signal.h>

#include <array>

namespace quelm {

class StopSignals {
  public:
    StopSignals();
    // Restores the handlers and the signal mask there were before.
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The first of the signals that arrived, 0 while none has.
    int Caught() const;
    bool Requested() const { return Caught() != 0; }
    // 128 + the signal's number: the status a shell reports for a program a signal ended.
    int ExitStatus() const { return 128 + Caught(); }

  private:
    std::array<struct sigaction, 3> previous_{};
    sigset_t previousMask_{};
};

}  // namespace quelm
