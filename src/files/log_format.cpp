#include "files/log_format.h"

#include <algorithm>
#include <cassert>
#include <cmath>

namespace quelm {

std::optional<TimeStamp> EncodeTimeStamp(double elapsedSeconds) {
    if (!(elapsedSeconds > 0)) {
        return TimeStamp{0, 0, 0};  // also NaN: a clock that went backwards never stamps < 0
    }
    // Elapsed times are differences of clock readings and carry rounding noise far below a
    // hundredth (5012.45 - 5000 is 12.4499999...). Allowing 1e-6 hundredths keeps such a time in
    // the hundredth it stands for; anything really short of it (12.345 s) still truncates.
    const double hundredths = std::floor(elapsedSeconds * 100.0 + 1e-6);
    if (hundredths > static_cast<double>(kMaxTimeStampHundredths)) {
        return std::nullopt;
    }
    const auto h = static_cast<std::uint32_t>(hundredths);
    return TimeStamp{static_cast<std::uint8_t>(h >> 16), static_cast<std::uint8_t>(h >> 8),
                     static_cast<std::uint8_t>(h)};
}

std::uint32_t TimeStampHundredths(std::span<const std::uint8_t> record) {
    assert(record.size() >= kTimeStampOffset + kTimeStampBytes);
    return (std::uint32_t{record[kTimeStampOffset]} << 16) |
           (std::uint32_t{record[kTimeStampOffset + 1]} << 8) |
           std::uint32_t{record[kTimeStampOffset + 2]};
}

double DecodeTimeStamp(std::span<const std::uint8_t> record) {
    return TimeStampHundredths(record) / 100.0;
}

LogRecord MakeLogRecord(const FrameBuffer& buffer) {
    LogRecord record{};
    std::copy(buffer.begin(), buffer.end(), record.begin());
    return record;
}

}  // namespace quelm
