// The log file ".qm1": headerless 48-byte records, each a frame plus the time stamp of the
// moment it was written.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "common/records.h"

namespace quelm {

// Bytes 0..37 the frame, 38..40 the time stamp (big-endian hundredths of a second since the
// recording started), 41..47 zero padding that is never read.
inline constexpr std::size_t kLogRecordBytes = 48;
inline constexpr std::size_t kTimeStampOffset = 38;
inline constexpr std::size_t kTimeStampBytes = 3;
// 16 777 215 hundredths: about 46.6 hours.
inline constexpr std::uint32_t kMaxTimeStampHundredths = 0xFFFFFF;

using LogRecord = std::array<std::uint8_t, kLogRecordBytes>;
using TimeStamp = std::array<std::uint8_t, kTimeStampBytes>;

// Hundredths truncated (12.345 s gives 1234), high byte first. Empty once the count no longer
// fits in 24 bits: the recording has reached its time limit. A negative time counts as 0.
std::optional<TimeStamp> EncodeTimeStamp(double elapsedSeconds);

// Bytes 38..40 of a frame buffer or log record (at least 41 bytes) as hundredths / seconds.
std::uint32_t TimeStampHundredths(std::span<const std::uint8_t> record);
double DecodeTimeStamp(std::span<const std::uint8_t> record);

// The frame buffer as written to the file: bytes 0..40 unchanged, padding zero.
LogRecord MakeLogRecord(const FrameBuffer& buffer);

// Whole records only: a trailing partial record is never counted.
constexpr std::uint64_t LogRecordCount(std::uint64_t fileBytes) {
    return fileBytes / kLogRecordBytes;
}

// Record n (from 1) starts here.
constexpr std::uint64_t LogRecordOffset(std::uint64_t recordNumber) {
    return (recordNumber - 1) * kLogRecordBytes;
}

}  // namespace quelm
