// Turns physical engine values into the device's raw counts and timer words, then a sealed
// 38-byte frame. The sensor characteristics are the ones the dashboard converts back with.
#pragma once

#include <array>
#include <cstdint>

#include "common/records.h"
#include "sim/engine_state.h"

namespace quelm::sim {

using Frame = std::array<std::uint8_t, kFrameBytes>;

// The engine the device is fitted to: eight cylinders, one distributor (no DIS).
inline constexpr int kCylinders = 8;
inline constexpr double kTimerTick = 1.0855e-6;          // seconds
inline constexpr double kPulseTick = 4.0 / 3'500'000.0;  // seconds
inline constexpr std::uint8_t kInjectorHeldBit = 16;

// Every word of the frame, before it is packed.
struct RawCounts {
    std::uint16_t mafAd = 0, tpsAd = 0, ectAd = 0, actAd = 0, mapAd = 0, wbAd = 0;
    std::uint16_t aux1Ad = 0, aux2Ad = 0, hegoLeftAd = 0, hegoRightAd = 0;
    std::uint16_t firetime = 0, spktime = 0, injtime = 0, baptime = 0, inj2time = 0, vsstime = 0;
    std::uint8_t status = 0;
};

// A 0..5 V input as a 10-bit count.
std::uint16_t VoltsToCount(double volts);
// Volts the hot-wire air meter puts out for this flow (the inverse of its transfer curve).
double MafVoltsForFlow(double kgPerHour);
// Volts across the coolant/air thermistor divider at this temperature.
double ThermistorVolts(double fahrenheit);
// Period of the frequency-output barometric sensor at this pressure, in timer ticks.
double BaroPeriodTicks(double inHg);

RawCounts RawCountsFor(const EngineState& s);
Frame PackFrame(const RawCounts& c);  // sealed: byte 37 holds the checksum
inline Frame EncodeFrame(const EngineState& s) {
    return PackFrame(RawCountsFor(s));
}

}  // namespace quelm::sim
