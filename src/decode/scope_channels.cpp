#include "decode/scope_channels.h"

#include <charconv>
#include <cmath>

namespace quelm {

namespace {

// Cuts the shortest fixed-point text of a value to two decimals toward minus infinity.
std::string CutToTwoDecimals(std::string_view text) {
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) {
        text.remove_prefix(1);
    }
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);

    // Digits of the magnitude in hundredths.
    std::string digits(whole);
    digits += fraction.size() > 0 ? fraction[0] : '0';
    digits += fraction.size() > 1 ? fraction[1] : '0';
    const bool cutOff =
        fraction.size() > 2 && fraction.substr(2).find_first_not_of('0') != std::string_view::npos;
    if (negative && cutOff) {
        // Toward minus infinity a negative magnitude grows by one hundredth.
        std::size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') {
            digits[--i] = '0';
        }
        if (i == 0) {
            digits.insert(digits.begin(), '1');
        } else {
            ++digits[i - 1];
        }
    }

    std::string wholeDigits = digits.substr(0, digits.size() - 2);
    std::string hundredths = digits.substr(digits.size() - 2);
    const std::size_t firstNonZero = wholeDigits.find_first_not_of('0');
    wholeDigits = firstNonZero == std::string::npos ? "0" : wholeDigits.substr(firstNonZero);
    while (!hundredths.empty() && hundredths.back() == '0') {
        hundredths.pop_back();
    }

    std::string out;
    if (negative && (wholeDigits != "0" || !hundredths.empty())) {
        out += '-';
    }
    out += wholeDigits;
    if (!hundredths.empty()) {
        out += '.';
        out += hundredths;
    }
    return out;
}

template <typename T>
std::string TwoDecimalTextOf(T value) {
    if (!std::isfinite(value)) {
        return "0";
    }
    // Enough for the longest fixed-point text of a double (309 whole digits and 17 decimals).
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    return CutToTwoDecimals(
        std::string_view(buffer, static_cast<std::size_t>(result.ptr - buffer)));
}

}  // namespace

const ScopeChannel* FindScopeChannel(std::string_view name) {
    for (const auto& channel : kScopeChannels) {
        if (channel.name == name) {
            return &channel;
        }
    }
    return nullptr;
}

bool ScopePlots(const ScopeChannel& channel) {
    return channel.source != nullptr;
}

float ScopeValue(const ScopeChannel& channel, const EngData& eng) {
    return channel.source == nullptr ? 0.0f : eng.*channel.source;
}

double ScopeScaled(const ScopeChannel& channel, const EngData& eng) {
    return (static_cast<double>(ScopeValue(channel, eng)) - channel.offset) / channel.fullScale;
}

double ScopeReadout(std::string_view name, double fraction) {
    const ScopeChannel* channel = FindScopeChannel(name);
    if (channel == nullptr || !ScopePlots(*channel)) {
        return 0;
    }
    return channel->fullScale * fraction + channel->offset;
}

std::string TwoDecimalText(double value) {
    return TwoDecimalTextOf(value);
}

std::string TwoDecimalText(float value) {
    return TwoDecimalTextOf(value);
}

}  // namespace quelm
