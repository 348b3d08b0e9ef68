#include "shell/gui/gui_runtime.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

#include "common/time_slice.h"

namespace quelm {

GuiRuntime::GuiRuntime() {
    // Without short slices the loop only polls a little slower on a busy machine.
    [[maybe_unused]] const bool shortSlices = RequestShortTimeSlices();
}

double GuiRuntime::Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void GuiRuntime::Sleep(double seconds) {
    if (seconds > 0 && !aborting_) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    // No event processing here: callers yield where a repaint can do no harm, and a repaint
    // right after a sleep would land exactly when a frame or a record is due.
}

void GuiRuntime::Yield() {
    QCoreApplication::processEvents();
}

}  // namespace quelm
