#include "cli/cli_runtime.h"

#include <pthread.h>

#include <chrono>
#include <ctime>

namespace quelm::cli {

StopSignals::StopSignals() {
    sigemptyset(&held_);
    sigaddset(&held_, SIGINT);
    sigaddset(&held_, SIGTERM);
    sigaddset(&held_, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &held_, &previous_);
}

StopSignals::~StopSignals() {
    const timespec none{0, 0};
    while (sigtimedwait(&held_, nullptr, &none) > 0) {
    }
    pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
}

bool StopSignals::Pending() const {
    constexpr double kAskEvery = 0.005;
    if (seen_) {
        return true;
    }
    const double now =
        std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
    if (lastAsked_ >= 0 && now - lastAsked_ < kAskEvery) {
        return false;
    }
    lastAsked_ = now;
    sigset_t pending;
    sigemptyset(&pending);
    if (sigpending(&pending) != 0) {
        return false;
    }
    seen_ = sigismember(&pending, SIGINT) == 1 || sigismember(&pending, SIGTERM) == 1 ||
            sigismember(&pending, SIGHUP) == 1;
    return seen_;
}

}  // namespace quelm::cli
