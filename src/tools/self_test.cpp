#include "tools/self_test.h"

#include <utility>

#include "link/connect_device.h"

namespace quelm {

bool ReplyShowsLightOn(std::string_view reply) {
    return ReplyContains(reply, "0");
}

bool TestLightOn(SelfTestDevice& device, Runtime& rt) {
    device.Send(kLightStateCommand);
    Delay(rt, kLightPollWaitSeconds);
    return ReplyShowsLightOn(device.ReadReply());
}

void BeginSelfTest(SelfTestDevice& device) {
    device.Send(kBeginSelfTestCommand);
}

void EndSelfTest(SelfTestDevice& device) {
    device.Send(kEndSelfTestCommand);
}

SelfTest::SelfTest(SelfTestDevice& device, Runtime& rt, SelfTestObserver observer)
    : device_(device), rt_(rt), observer_(std::move(observer)) {
    LoadTroubleCodes(codes_);
}

void SelfTest::Run() {
    struct InProgressMark {
        bool& flag;
        explicit InProgressMark(bool& f) : flag(f) { flag = true; }
        ~InProgressMark() { flag = false; }
    } mark(inProgress_);
    stopRequested_ = false;
    lampKnown_ = false;
    LoadTroubleCodes(codes_);

    Report(kStatusInitializing);
    device_.Connect();
    BeginSelfTest(device_);

    Report(kStatusInProgress);
    // A Stop while connecting is remembered, so the test does not go on behind an enabled
    // Start button.
    running_ = !stopRequested_;
    const double waitEnd = rt_.Now() + kSelfTestStartWaitSeconds;
    while (rt_.Now() < waitEnd && KeepGoing()) {
        rt_.Sleep(0.010);
        rt_.Yield();
    }

    if (observer_.clearCodes) {
        observer_.clearCodes();
    }
    state_.BeginRun();

    while (KeepGoing() && !TestLightOn(device_, rt_)) {
        ShowLamp(false);
        rt_.Yield();
    }

    Report(kStatusDoNotDisturb);
    while (KeepGoing()) {
        DecodeOneCycle();
    }

    Report(kStatusComplete);
    EndSelfTest(device_);
    running_ = false;
    device_.Release();
}

void SelfTest::Stop() {
    stopRequested_ = true;
    running_ = false;
    EndSelfTest(device_);
}

void SelfTest::DecodeOneCycle() {
    double mark = rt_.Now();
    while (KeepGoing() && TestLightOn(device_, rt_)) {
        ShowLamp(true);
        rt_.Yield();
    }
    const double onSeconds = rt_.Now() - mark;

    mark = rt_.Now();
    while (KeepGoing() && !TestLightOn(device_, rt_)) {
        ShowLamp(false);
        rt_.Yield();
    }
    const double offSeconds = rt_.Now() - mark;
    rt_.Yield();

    // A cycle cut short by Stop is still evaluated, as its flash and gap so far stand.
    const FlashCycleResult r = DecodeFlashCycle(state_, onSeconds, offSeconds);
    state_ = r.state;
    if (r.digitsChanged && observer_.digits) {
        observer_.digits(state_.digits);
    }
    if (r.codeEnded && IsListedCode(r.code) && observer_.codeLine) {
        observer_.codeLine(CodeLine(r.code, codes_));
    }
    if (r.testEnded) {
        running_ = false;
    }
}

void SelfTest::Report(std::string_view text) {
    if (observer_.status) {
        observer_.status(text);
    }
}

void SelfTest::ShowLamp(bool lit) {
    if (lampKnown_ && lampLit_ == lit) {
        return;
    }
    lampKnown_ = true;
    lampLit_ = lit;
    if (observer_.lamp) {
        observer_.lamp(lit);
    }
}

}  // namespace quelm
