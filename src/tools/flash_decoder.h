// Turns the check-engine light's flashes into trouble codes. The caller times each flash and
// the dark gap after it; one cycle of the decoder takes those two durations and gives the new
// state. Thresholds (seconds): a flash shorter than 1.2 counts, a gap longer than 1.2 ends a
// digit, a gap between 3 and 6 ends a code, a gap longer than 6 ends the test.
#pragma once

#include <array>
#include <string>

#include "tools/trouble_codes.h"

namespace quelm {

inline constexpr double kMaxFlashSeconds = 1.2;
inline constexpr double kDigitGapSeconds = 1.2;
inline constexpr double kCodeGapSeconds = 3.0;
inline constexpr double kTestEndGapSeconds = 6.0;

// Codes at or above this are shown on the digits but never listed.
inline constexpr int kFirstUnlistedCode = 255;

// The three digit displays, left to right, each one character "0".."9".
using CodeDigits = std::array<std::string, 3>;

struct FlashDecoderState {
    int pulseCount = 0;  // flashes counted in the current digit
    int position = 1;    // digit being received, 1..3; 4 once three digits are in
    CodeDigits digits{"0", "0", "0"};

    // A new run counts from the first digit again but leaves the displays as they are.
    void BeginRun() {
        pulseCount = 0;
        position = 1;
    }
};

struct FlashCycleResult {
    FlashDecoderState state;
    bool digitsChanged = false;
    bool codeEnded = false;  // a code gap was seen
    int code = 0;            // the code assembled at that gap (0 when none could be formed)
    bool testEnded = false;
};

// One flash and the gap after it. Pure: the same inputs always give the same result.
FlashCycleResult DecodeFlashCycle(const FlashDecoderState& state, double onSeconds,
                                  double offSeconds);

// Whether a code assembled at a code gap goes into the code list.
constexpr bool IsListedCode(int code) {
    return code > 0 && code < kFirstUnlistedCode;
}

// The code list line without its line break: " 23:TPS out of self test range".
std::string CodeLine(int code, const TroubleCodes& table);

}  // namespace quelm
