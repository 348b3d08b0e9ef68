// The dashboard's clock, wait and yield: waits sleep briefly and let the window system run
// pending handlers, so menus, the Connect button and the timer stay live inside long operations.
#pragma once

#include "common/runtime.h"

namespace quelm {

class GuiRuntime : public Runtime {
  public:
    // Asks for short time slices for the window thread, where the receive loop runs.
    GuiRuntime();
    double Now() override;
    // Only sleeps: callers yield where a repaint does no harm.
    void Sleep(double seconds) override;
    void Yield() override;
    bool Aborting() const override { return aborting_; }
    // The main window was closed: every running loop unwinds at its next check.
    void RequestAbort() { aborting_ = true; }

  private:
    bool aborting_ = false;
};

}  // namespace quelm
