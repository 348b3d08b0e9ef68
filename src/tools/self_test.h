// The key-on engine-off self test: starts the engine computer's test through the device, polls
// the check-engine light, times each flash and gap, and reports lamp, digits and codes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "common/runtime.h"
#include "common/test_access.h"
#include "tools/flash_decoder.h"
#include "tools/self_test_device.h"
#include "tools/trouble_codes.h"

namespace quelm {

inline constexpr char kBeginSelfTestCommand = 'i';
inline constexpr char kLightStateCommand = 'h';
inline constexpr char kEndSelfTestCommand = 'j';

inline constexpr double kSelfTestStartWaitSeconds = 6.0;
inline constexpr double kLightPollWaitSeconds = 0.01;

inline constexpr std::string_view kStatusInitializing = "Initializing Communications";
inline constexpr std::string_view kStatusInProgress = "Please Wait.  Self Test In Progress.";
inline constexpr std::string_view kStatusDoNotDisturb =
    "Do not disturb computer in any way during self test or erroneous results will occur.";
inline constexpr std::string_view kStatusComplete = "Self Test Complete";

// The device says the light is lit with a "0" anywhere after the first byte of its reply; the
// first byte is never examined.
bool ReplyShowsLightOn(std::string_view reply);

// Sends "h", waits one poll step, reads the reply and tells whether the light is lit.
bool TestLightOn(SelfTestDevice& device, Runtime& rt);
void BeginSelfTest(SelfTestDevice& device);
void EndSelfTest(SelfTestDevice& device);

// Where a run reports what it sees. Every member may be left empty.
struct SelfTestObserver {
    std::function<void(std::string_view)> status;
    std::function<void(bool lit)> lamp;
    std::function<void(const CodeDigits&)> digits;
    std::function<void()> clearCodes;
    // One code list line, without its line break.
    std::function<void(const std::string&)> codeLine;
};

// One object per window: the digit displays carry over from one run to the next.
class SelfTest {
  public:
    SelfTest(SelfTestDevice& device, Runtime& rt, SelfTestObserver observer = {});

    // The whole test from connecting to "Self Test Complete". Returns when the light stays
    // dark for more than 6 s after a flash, on Stop, or when the program ends.
    void Run();

    // Ends the test: the running run leaves its polling at the next poll. Sends "j" at once.
    void Stop();

    // Between the start wait and the end of decoding.
    bool Running() const { return running_; }
    // A run is on the stack (it may still be connecting or unwinding after Stop).
    bool InProgress() const { return inProgress_; }

  private:
    friend struct TestAccess<SelfTest>;

    bool KeepGoing() const { return running_ && !rt_.Aborting(); }
    void Report(std::string_view text);
    void ShowLamp(bool lit);
    void DecodeOneCycle();

    SelfTestDevice& device_;
    Runtime& rt_;
    SelfTestObserver observer_;
    TroubleCodes codes_{};
    FlashDecoderState state_;
    bool running_ = false;
    bool inProgress_ = false;
    bool stopRequested_ = false;
    bool lampKnown_ = false;  // the lamp is only reported when it changes
    bool lampLit_ = false;
};

}  // namespace quelm
