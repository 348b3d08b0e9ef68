// A frame source that also writes every frame it hands out to a file, 38 bytes each, in order:
// the record of what the device sent (before any fault is applied), so that a test can compare
// a recorded log with it.
#pragma once

#include <filesystem>
#include <fstream>
#include <memory>

#include "sim/frame_source.h"

namespace quelm::sim {

class FrameTap final : public FrameSource {
  public:
    // Throws std::runtime_error when the file cannot be created.
    FrameTap(std::unique_ptr<FrameSource> inner, const std::filesystem::path& file);
    Frame FrameAt(double seconds) override;

  private:
    std::unique_ptr<FrameSource> inner_;
    std::ofstream file_;
};

}  // namespace quelm::sim
