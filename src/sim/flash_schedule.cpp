#include "sim/flash_schedule.h"

#include <charconv>
#include <cmath>
#include <numeric>
#include <string>

namespace quelm::sim {

std::vector<LightSpan> FlashPass(const std::vector<int>& codes) {
    std::vector<LightSpan> pass;
    const auto flash = [&](int count) {
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                pass.push_back({false, kFlashGap});
            }
            pass.push_back({true, kFlashOn});
        }
    };
    for (int code : codes) {
        const std::string digits = std::to_string(code);
        for (std::size_t d = 0; d < digits.size(); ++d) {
            if (d > 0) {
                pass.push_back({false, kDigitGap});
            }
            const int value = digits[d] - '0';
            flash(value == 0 ? 10 : value);
        }
        pass.push_back({false, kCodeGap});
    }
    flash(1);
    pass.push_back({false, kEndDark});
    return pass;
}

bool LightLitAt(const std::vector<LightSpan>& pass, double sinceStart) {
    if (sinceStart < kSelfTestLeadIn || pass.empty()) {
        return false;
    }
    const double length =
        std::accumulate(pass.begin(), pass.end(), 0.0,
                        [](double sum, const LightSpan& s) { return sum + s.seconds; });
    double t = std::fmod(sinceStart - kSelfTestLeadIn, length);
    for (const LightSpan& span : pass) {
        if (t < span.seconds) {
            return span.lit;
        }
        t -= span.seconds;
    }
    return false;
}

std::optional<std::vector<int>> ParseCodes(std::string_view text) {
    std::vector<int> codes;
    while (true) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        int code = 0;
        const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), code);
        if (ec != std::errc{} || end != item.data() + item.size() || code < 10 || code > 999) {
            return std::nullopt;
        }
        codes.push_back(code);
        if (comma == std::string_view::npos) {
            return codes;
        }
        text.remove_prefix(comma + 1);
    }
}

}  // namespace quelm::sim
