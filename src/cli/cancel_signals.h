// SIGINT, SIGTERM and SIGHUP asking a command to stop. While a CancelSignals lives they only note
// which signal came and interrupt any system call that waits, so that the command stops at its
// next step, cleans up (a temporary file, for one) and exits as the signal would have ended it.
// Signals the caller ignores (nohup, a background job without job control) stay ignored.
#pragma once

#include <signal.h>

#include <array>

namespace quelm::cli {

class CancelSignals {
  public:
    CancelSignals();
    // Restores the handlers and the signal mask there were before.
    ~CancelSignals();
    CancelSignals(const CancelSignals&) = delete;
    CancelSignals& operator=(const CancelSignals&) = delete;

    // The first of the signals that arrived, 0 while none has.
    int Caught() const;
    // 128 + the signal's number: the status a shell reports for a program a signal ended.
    int ExitStatus() const { return 128 + Caught(); }

  private:
    std::array<struct sigaction, 3> previous_{};
    sigset_t previousMask_{};
};

}  // namespace quelm::cli
