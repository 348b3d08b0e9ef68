// Where the device's frames come from: a live engine scenario or a recorded log.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <variant>
#include <vector>

#include "sim/frame_encoder.h"
#include "sim/scenario.h"

namespace quelm::sim {

class FrameSource {
  public:
    virtual ~FrameSource() = default;
    // The frame the device holds `seconds` after it started sending frames.
    virtual Frame FrameAt(double seconds) = 0;
};

class ScenarioSource : public FrameSource {
  public:
    explicit ScenarioSource(Scenario s) : scenario_(s) {}
    Frame FrameAt(double seconds) override {
        return EncodeFrame(ScenarioState(scenario_, seconds));
    }

  private:
    Scenario scenario_;
};

// One record of a ".qm1" log: the frame and its time stamp in seconds.
struct LogFrame {
    Frame frame{};
    double seconds = 0;
};

// The replayed log is held in memory; a longer one (over two hours at the fastest rate) is
// refused rather than read until memory runs out.
inline constexpr std::uint64_t kReplayLimitBytes = std::uint64_t{128} << 20;

// Reads every whole record; a trailing partial record is ignored. Fails with a message for a
// file that cannot be read, is not a regular file, is larger than kReplayLimitBytes or holds no
// whole record.
std::variant<std::vector<LogFrame>, std::string> ReadLogFrames(const std::filesystem::path& path);

// Plays a log back in the time its stamps say, from the start again after the last record.
// A log without rising stamps is played one record per request instead.
class ReplaySource : public FrameSource {
  public:
    explicit ReplaySource(std::vector<LogFrame> records);
    Frame FrameAt(double seconds) override;

  private:
    std::vector<LogFrame> records_;
    bool timed_ = false;
    double period_ = 0;
    std::size_t next_ = 0;  // untimed: the record the next request gets
};

}  // namespace quelm::sim
