#include "shell/gui/gui_runtime.h"

#include <QCoreApplication>
#include <chrono>
#include <thread>

namespace quelm {

double GuiRuntime::Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void GuiRuntime::Sleep(double seconds) {
    if (seconds > 0 && !aborting_) {
        std::this_thread::sleep_for(std::chrono::duration<double>(seconds));
    }
    Yield();
}

void GuiRuntime::Yield() {
    QCoreApplication::processEvents();
}

}  // namespace quelm
