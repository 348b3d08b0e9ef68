// What the command-line tools add to the plain steady clock: work to do whenever the link yields
// (the once-a-second statistics, the time limit) and an end when the user interrupts.
#pragma once

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

}  // namespace quelm::cli
