// How the engine computer flashes its trouble codes on the check-engine light during the
// key-on self test.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace quelm::sim {

inline constexpr double kSelfTestLeadIn =
    8.0;                                  // dark from the start of the test to the first flash
inline constexpr double kFlashOn = 0.5;   // one flash
inline constexpr double kFlashGap = 0.5;  // dark between flashes of one digit
inline constexpr double kDigitGap = 2.0;  // dark between the digits of a code
inline constexpr double kCodeGap = 4.0;   // dark after each code
inline constexpr double kEndDark = 8.0;   // dark after the end-of-list flash

struct LightSpan {
    bool lit = false;
    double seconds = 0;
};

// One pass of the code list: each code's digits (a 0 is ten flashes) with their gaps, each code
// followed by the code pause, then a single end-of-list flash and a long dark spell. The pass
// repeats for as long as the test runs.
std::vector<LightSpan> FlashPass(const std::vector<int>& codes);

// True while the light is lit `sinceStart` seconds after the test began.
bool LightLitAt(const std::vector<LightSpan>& pass, double sinceStart);

// "11,23" -> {11, 23}. Codes have two or three digits; nothing else is accepted.
std::optional<std::vector<int>> ParseCodes(std::string_view text);

}  // namespace quelm::sim
