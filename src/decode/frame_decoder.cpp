#include "decode/frame_decoder.h"

#include <numeric>

namespace quelm {

namespace {
constexpr std::size_t kPayloadBytes = kFrameBytes - 1;

// The A/D counts are high byte first.
double BigEndianWord(const FrameBuffer& b, std::size_t at) {
    return static_cast<double>(b[at] * 256u + b[at + 1]);
}

// The timer words are low byte first.
double LittleEndianWord(const FrameBuffer& b, std::size_t at) {
    return static_cast<double>(b[at] + 256u * b[at + 1]);
}
}  // namespace

std::uint8_t FrameChecksum(std::span<const std::uint8_t> frame) {
    const auto payload = frame.first(kPayloadBytes);
    return static_cast<std::uint8_t>(std::accumulate(payload.begin(), payload.end(), 0u) & 0xFFu);
}

bool FrameChecksumGood(std::span<const std::uint8_t> buffer) {
    return FrameChecksum(buffer) == buffer[kPayloadBytes];
}

bool DecodeFrame(const FrameBuffer& b, RawData& raw) {
    if (!FrameChecksumGood(b)) {
        return true;
    }
    raw.MAFAD = BigEndianWord(b, 0);
    raw.TPSAD = BigEndianWord(b, 2);
    raw.ECTAD = BigEndianWord(b, 4);
    raw.ACTAD = BigEndianWord(b, 6);
    raw.MAPAD = BigEndianWord(b, 8);
    raw.WBAD = BigEndianWord(b, 10);
    raw.AUX1AD = BigEndianWord(b, 12);
    raw.AUX2AD = BigEndianWord(b, 14);
    raw.HEGOLAD = BigEndianWord(b, 16);
    raw.HEGORAD = BigEndianWord(b, 18);
    raw.FIRETIME = LittleEndianWord(b, 20);
    raw.SPKTIME = LittleEndianWord(b, 22);
    raw.INJTIME = LittleEndianWord(b, 24);
    raw.BAPTIME = LittleEndianWord(b, 26);
    raw.INJ2TIME = LittleEndianWord(b, 28);
    raw.VSSTIME = LittleEndianWord(b, 30);
    raw.SPARE1 = LittleEndianWord(b, 32);
    raw.SPARE2 = LittleEndianWord(b, 34);
    raw.STATUS = b[36];
    return false;
}

void SealFrame(std::span<std::uint8_t> frame) {
    frame[kPayloadBytes] = FrameChecksum(frame);
}

}  // namespace quelm
