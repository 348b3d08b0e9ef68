#include "decode/live_numbers.h"

#include <cmath>
#include <string_view>

namespace quelm {

namespace {

constexpr double kDefaultCylinders = 8;

// Blanks, an optional sign, digits with at most one "."; stops at the first other character and
// gives 0 when the text does not start with a number.
double LeadingNumber(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    double value = 0;
    double scale = 1;
    bool point = false;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            if (point) {
                scale /= 10;
                value += (c - '0') * scale;
            } else {
                value = value * 10 + (c - '0');
            }
        } else {
            break;
        }
    }
    return negative ? -value : value;
}

}  // namespace

double CylinderCount(const LiveConfig& config) {
    const double n = LeadingNumber(config.numcyl);
    return std::isfinite(n) && n > 0 ? n : kDefaultCylinders;
}

double SpeedCorrection(const LiveConfig& config) {
    return LeadingNumber(config.vsscorrection);
}

double InjectorSize(const LiveConfig& config) {
    return LeadingNumber(config.injsize);
}

}  // namespace quelm
