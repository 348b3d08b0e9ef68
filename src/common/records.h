// The records shared by the link, the decoder, the recorder and the displays.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace quelm {

// A device frame: 37 payload bytes and a checksum byte.
inline constexpr std::size_t kFrameBytes = 38;
// The frame plus the 24-bit time stamp a log record carries in bytes 38..40.
inline constexpr std::size_t kFrameBufferBytes = 41;

// Bytes 0..37 hold the last frame, 38..40 a log record's time stamp. Never cleared between
// polls: bytes a poll does not overwrite keep earlier values.
using FrameBuffer = std::array<std::uint8_t, kFrameBufferBytes>;

// The raw record of the last good frame. Word fields hold the unsigned word value.
struct RawData {
    double MAFAD = 0;
    double TPSAD = 0;
    double ECTAD = 0;
    double ACTAD = 0;
    double MAPAD = 0;
    double WBAD = 0;
    double AUX1AD = 0;
    double AUX2AD = 0;
    double HEGOLAD = 0;
    double HEGORAD = 0;
    double FIRETIME = 0;
    double SPKTIME = 0;
    double INJTIME = 0;
    double BAPTIME = 0;
    double INJ2TIME = 0;
    double VSSTIME = 0;
    double SPARE1 = 0;
    double SPARE2 = 0;
    std::uint8_t STATUS = 0;
};

// Engineering values, single precision as the displays and the CSV export expect them.
struct EngData {
    float MPH = 0;
    float RPM = 0;
    float MAF = 0;
    float TPS = 0;
    float ECT = 0;
    float ACT = 0;
    float BAP = 0;
    float BOOST = 0;
    float WIDEO2 = 0;
    float AUX1 = 0;
    float AUX2 = 0;
    float HEGOL = 0;
    float HEGOR = 0;
    float ADVANCE = 0;
    float INJDUTY = 0;
    float INJPW = 0;
    float VACUUM = 0;
    float INJHELD = 0;
    float RWHP = 0;
    float RWTQ = 0;
    float MPG = 0;
    float LOAD = 0;
};

// Link counters: the receive loop counts the first three, the statistics tick the rest.
struct LinkStats {
    double TotalFrames = 0;
    double ChecksumErrors = 0;
    double TimeoutErrors = 0;
    double FramesPerSecond = 0;
    double FrameLoss = 0;
};

}  // namespace quelm
