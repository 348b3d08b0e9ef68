// Checks a frame's checksum and unpacks its payload into the raw record.
#pragma once

#include <cstdint>
#include <span>

#include "common/records.h"

namespace quelm {

// The low 8 bits of the sum of payload bytes 0..36.
std::uint8_t FrameChecksum(std::span<const std::uint8_t> frame);

// True when byte 37 matches the checksum of bytes 0..36 of `buffer`.
bool FrameChecksumGood(std::span<const std::uint8_t> buffer);

// Returns ChecksumBad: on a good frame fills every field of `raw`; on a bad one leaves `raw`
// untouched. Bytes 38..40 of the buffer are never read.
bool DecodeFrame(const FrameBuffer& buffer, RawData& raw);

// Seals a 37-byte payload by writing its checksum into byte 37 (the simulator and tests).
void SealFrame(std::span<std::uint8_t> frame);

}  // namespace quelm
