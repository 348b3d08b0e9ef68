#include "sim/device_model.h"

#include <gtest/gtest.h>

#include <string>

#include "decode/frame_decoder.h"

template <>
struct quelm::TestAccess<quelm::sim::DeviceModel> {
    static int Rate(const sim::DeviceModel& m) { return m.rate_; }
};

namespace quelm::sim {
namespace {

// Frames whose bytes say which request they answer: byte 0 counts up.
class CountingSource : public FrameSource {
  public:
    Frame FrameAt(double) override {
        Frame f{};
        f[0] = static_cast<std::uint8_t>(++count_);
        f[20] = 0x34;
        f[21] = 0x12;
        SealFrame(f);
        return f;
    }

  private:
    int count_ = 0;
};

class Device {
  public:
    explicit Device(DeviceOptions options = {})
        : model(std::move(options), std::make_unique<CountingSource>()) {}

    // Sends one command at `rate` and collects everything that arrives within `wait` seconds.
    std::string Say(char c, int rate, double wait = 0.5) {
        model.Receive(static_cast<std::uint8_t>(c), rate, now);
        now += wait;
        const auto bytes = model.TakeDue(now, rate);
        return {bytes.begin(), bytes.end()};
    }

    // The line rate the device listens and answers at.
    int rate() const { return TestAccess<DeviceModel>::Rate(model); }

    DeviceModel model;
    double now = 1.0;
};

TEST(SimDeviceRateLadder, EachUpShiftClimbsOneStepAndResetReturnsTo9600) {
    Device d;
    EXPECT_EQ(d.rate(), 9600);
    for (int expected : {19200, 38400, 57600, 115200, 115200}) {
        d.Say('c', d.rate());
        EXPECT_EQ(d.rate(), expected);
    }
    d.Say('a', 115200);
    EXPECT_EQ(d.rate(), 9600);
}

TEST(SimDeviceHearing, CommandsAtAnotherRateAreIgnored) {
    Device d;
    EXPECT_TRUE(d.Say('c', 19200).empty());
    EXPECT_EQ(d.rate(), 9600);
    EXPECT_TRUE(d.Say('b', 115200).empty());
    EXPECT_TRUE(d.Say('f', 38400).empty());
    EXPECT_EQ(d.model.framesSent(), 0);
    // The reset sequence's "a" at the other rates leaves a 9600 device where it is.
    for (int rate : {115200, 19200, 38400, 57600, 115200}) {
        d.Say('a', rate);
    }
    EXPECT_EQ(d.Say('b', 9600), "\rQuelm v1.4");
}

TEST(SimDevicePacing, ReplyBytesArriveTenBitsApartAfterTheCommandByte) {
    Device d;
    d.model.Receive('f', 9600, 2.0);
    const double perByte = 10.0 / 9600;
    ASSERT_TRUE(d.model.NextDue().has_value());
    EXPECT_DOUBLE_EQ(*d.model.NextDue(), 2.0 + 2 * perByte);
    // Just before the last byte is complete only 37 bytes are there.
    const double last = 2.0 + 39 * perByte;
    EXPECT_EQ(d.model.TakeDue(last - 1e-6, 9600).size(), 37u);
    EXPECT_EQ(d.model.TakeDue(last + 1e-9, 9600).size(), 1u);
    EXPECT_FALSE(d.model.NextDue().has_value());
}

std::vector<std::size_t> FrameSizes(DeviceOptions options, int polls) {
    Device d(std::move(options));
    std::vector<std::size_t> sizes;
    for (int i = 0; i < polls; ++i) {
        sizes.push_back(d.Say('f', 9600, 0.1).size());
    }
    return sizes;
}

TEST(SimDeviceFaults, ShortAndBurstFramesComeEveryNth) {
    DeviceOptions shortFrames;
    shortFrames.faults.shortEvery = 3;
    EXPECT_EQ(FrameSizes(shortFrames, 6), (std::vector<std::size_t>{38, 38, 37, 38, 38, 37}));
    DeviceOptions bursts;
    bursts.faults.burstEvery = 2;
    EXPECT_EQ(FrameSizes(bursts, 4), (std::vector<std::size_t>{38, 39, 38, 39}));

    // Silent after N frames: nothing more is answered, not even a reset.
    DeviceOptions options;
    options.faults.silentAfter = 2;
    Device d(options);
    EXPECT_EQ(d.Say('f', 9600, 0.1).size(), 38u);
    EXPECT_EQ(d.Say('f', 9600, 0.1).size(), 38u);
    EXPECT_TRUE(d.Say('f', 9600, 0.1).empty());
    EXPECT_TRUE(d.Say('b', 9600).empty());
    d.Say('a', 9600);
    EXPECT_TRUE(d.Say('b', 9600).empty());
}

}  // namespace
}  // namespace quelm::sim
