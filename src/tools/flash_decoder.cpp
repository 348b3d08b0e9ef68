#include "tools/flash_decoder.h"

namespace quelm {
namespace {

// Ten flashes give "0", twelve "2": only the last decimal digit of the count fits a display.
std::string LastDigitOf(int count) {
    const std::string text = std::to_string(count);
    return text.substr(text.size() - 1);
}

int NumberOf(const std::string& text) {
    int value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
    }
    return value;
}

}  // namespace

FlashCycleResult DecodeFlashCycle(const FlashDecoderState& state, double onSeconds,
                                  double offSeconds) {
    FlashCycleResult r;
    FlashDecoderState& s = r.state;
    s = state;

    if (onSeconds > 0 && onSeconds < kMaxFlashSeconds) {
        ++s.pulseCount;
    }

    if (offSeconds > kDigitGapSeconds) {
        const std::string digit = LastDigitOf(s.pulseCount);
        switch (s.position) {
            case 1:
                s.digits = {digit, "0", "0"};
                r.digitsChanged = true;
                break;
            case 2:
                s.digits[1] = digit;
                r.digitsChanged = true;
                break;
            case 3:
                s.digits[2] = digit;
                r.digitsChanged = true;
                break;
            default:
                break;
        }
        ++s.position;
        s.pulseCount = 0;
    }

    if (offSeconds > kCodeGapSeconds && offSeconds < kTestEndGapSeconds) {
        r.codeEnded = true;
        r.code = 0;
        if (s.position == 3) {
            r.code = NumberOf(s.digits[0] + s.digits[1]);
            // Right-align a two-digit code: 23 stands as 0 2 3.
            s.digits = {"0", s.digits[0], s.digits[1]};
            r.digitsChanged = true;
        } else if (s.position == 4) {
            r.code = NumberOf(s.digits[0] + s.digits[1] + s.digits[2]);
        }
        s.position = 1;
    }

    if (offSeconds > kTestEndGapSeconds) {
        r.testEnded = true;
    }
    return r;
}

std::string CodeLine(int code, const TroubleCodes& table) {
    std::string line = code < 0 ? std::string{} : std::string{" "};
    line += std::to_string(code);
    line += ':';
    line += TroubleCodeText(table, code);
    return line;
}

}  // namespace quelm
