#include "common/stop_signals.h"

#include <pthread.h>
#include <signal.h>

#include <csignal>

namespace quelm {
namespace {

constexpr std::array<int, 3> kSignals{SIGINT, SIGTERM, SIGHUP};

// A signal handler can only reach state outside the program's objects; it sets this and
// nothing else, which is all that is safe to do there.
volatile std::sig_atomic_t gCaught = 0;

extern "C" void NoteSignal(int signo) {
    if (gCaught == 0) {
        gCaught = signo;
    }
}

}  // namespace

StopSignals::StopSignals() {
    gCaught = 0;
    struct sigaction action {};
    action.sa_handler = NoteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: a waiting call returns EINTR
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], nullptr, &previous_[i]);
        // A signal the caller chose to ignore (nohup, a background job) stays ignored.
        if (previous_[i].sa_handler != SIG_IGN) {
            sigaction(kSignals[i], &action, nullptr);
        }
    }
    // A signal held back by an earlier mask must reach the handler too.
    sigset_t set;
    sigemptyset(&set);
    for (const int signo : kSignals) {
        sigaddset(&set, signo);
    }
    pthread_sigmask(SIG_UNBLOCK, &set, &previousMask_);
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < kSignals.size(); ++i) {
        sigaction(kSignals[i], &previous_[i], nullptr);
    }
    pthread_sigmask(SIG_SETMASK, &previousMask_, nullptr);
}

int StopSignals::Caught() const {
    return gCaught;
}

}  // namespace quelm
