// The clock, the wait and the yield behind one interface, so that long operations run the
// same way in the dashboard (events processed), on the command line (nothing to process) and
// under test (a virtual clock that advances instantly).
#pragma once

namespace quelm {

class Runtime {
  public:
    virtual ~Runtime() = default;
    // Seconds on a steady clock; only differences are meaningful.
    virtual double Now() = 0;
    // Block for about this long (the virtual clock just advances).
    virtual void Sleep(double seconds) = 0;
    // Let the window system run pending handlers; a no-op without windows.
    virtual void Yield() = 0;
    // True once the program is ending (the main window was closed): every loop unwinds.
    virtual bool Aborting() const { return false; }
};

// Waits in 10 ms steps, yielding after each, until `seconds` have passed or the program ends.
void Delay(Runtime& rt, double seconds);

// The real steady clock with no event processing: the command-line tools.
class SystemRuntime : public Runtime {
  public:
    double Now() override;
    void Sleep(double seconds) override;
    void Yield() override {}
};

// A clock that only moves when someone sleeps: tests run 14-second sequences in microseconds.
class VirtualRuntime : public Runtime {
  public:
    double Now() override { return now_; }
    void Sleep(double seconds) override {
        if (seconds > 0) {
            now_ += seconds;
        }
    }
    void Yield() override { ++yields_; }
    void Advance(double seconds) { Sleep(seconds); }
    long yields() const { return yields_; }

  private:
    double now_ = 1000.0;
    long yields_ = 0;
};

}  // namespace quelm
