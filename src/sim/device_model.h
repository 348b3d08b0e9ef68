// The interface device as seen from its serial line, with no I/O of its own: it is told what
// byte arrived at which line rate and when, and says which reply bytes become available when.
#pragma once

#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "common/test_access.h"
#include "sim/flash_schedule.h"
#include "sim/frame_source.h"

namespace quelm::sim {

// The device's rate ladder, slowest first. "a" returns to the first, each "c" climbs one step.
inline constexpr std::array<int, 5> kRateLadder{9600, 19200, 38400, 57600, 115200};
bool IsLadderRate(int rate);

// Seconds one byte (start bit, 8 data bits, stop bit) takes on the line.
inline double ByteSeconds(int rate) {
    return 10.0 / rate;
}

// Faults the device can be told to show. A count of 0 leaves the fault off.
struct Faults {
    long badChecksumEvery = 0;        // every Nth frame carries a wrong checksum byte
    long shortEvery = 0;              // every Nth frame stops after 37 bytes
    long burstEvery = 0;              // every Nth frame comes as one burst of 39 bytes
    std::optional<long> silentAfter;  // after N frames the device answers nothing at all
    std::optional<long> dropAfter;    // after N frames the line goes away
};

struct DeviceOptions {
    int maxRate = 115200;  // the highest step of the ladder this unit manages
    std::vector<int> codes{11};
    Faults faults;
    double answerDelay = 0;  // seconds from the end of a command to the start of its reply
};

class DeviceModel {
  public:
    // `powerOn` is the clock reading when the device got power; frames are timed from it.
    DeviceModel(DeviceOptions options, std::unique_ptr<FrameSource> frames, double powerOn = 0);

    // A byte the program sent, with the program's transmit rate, as it arrived at `now`. The
    // device hears it only at its own rate; otherwise it is noise and ignored.
    void Receive(std::uint8_t byte, int lineRate, double now);

    // The reply bytes whose last bit is on the line by `now`, as a receiver at `lineRate` sees
    // them: bytes sent at another rate arrive as junk of a plausible count, never as text.
    std::vector<std::uint8_t> TakeDue(double now, int lineRate);

    // When the next reply byte becomes available, if one is pending.
    std::optional<double> NextDue() const;
    // The next pending byte is the last of its reply: the one the program waits for.
    bool NextEndsReply() const { return pending_.size() == 1; }

    long framesSent() const { return framesSent_; }
    bool LightLit(double now) const;
    // The line-drop fault has struck: the frames it allows are all on the line.
    bool LineDropped(double now) const;

  private:
    friend struct TestAccess<DeviceModel>;

    struct PendingByte {
        double at;
        std::uint8_t value;
        int sentRate;
    };

    void Send(std::span<const std::uint8_t> bytes, double now, bool burst = false);
    void SendFrame(double now);
    bool Every(long n) const { return n > 0 && framesSent_ % n == 0; }
    std::uint8_t Junk();

    DeviceOptions options_;
    std::unique_ptr<FrameSource> frames_;
    std::vector<LightSpan> flashPass_;
    double powerOn_;
    int rate_ = kRateLadder.front();
    std::deque<PendingByte> pending_;
    double txFreeAt_ = 0;
    long framesSent_ = 0;
    bool silent_ = false;
    std::optional<double> dropAt_;
    std::optional<double> selfTestStart_;
    double junkCredit_ = 0;
    std::uint32_t junkSeed_ = 0x2545F491u;
};

}  // namespace quelm::sim
