#include "common/runtime.h"

#include <chrono>
#include <thread>

namespace quelm {

void Delay(Runtime& rt, double seconds) {
    const double end = rt.Now() + seconds;
    while (rt.Now() < end && !rt.Aborting()) {
        rt.Sleep(0.010);
        rt.Yield();
    }
}

double SystemRuntime::Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void SystemRuntime::Sleep(double seconds) {
    if (seconds > 0) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
}

}  // namespace quelm
