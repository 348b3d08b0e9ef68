// The virtual clock of the unit tests: it can say the program is ending, notes the time of every
// yield, runs `onYield` there as the window system runs the user's clicks, and a yield may take
// a while, like a replot.
#pragma once

#include <functional>
#include <vector>

#include "common/runtime.h"

namespace quelm::test {

struct TestClock : VirtualRuntime {
    bool ending = false;
    double yieldTakes = 0.0;
    std::vector<double> yieldsAt;
    std::function<void()> onYield;
    bool Aborting() const override { return ending; }
    void Yield() override {
        VirtualRuntime::Yield();
        Advance(yieldTakes);
        yieldsAt.push_back(Now());
        if (onYield) {
            onYield();
        }
    }
};

}  // namespace quelm::test
