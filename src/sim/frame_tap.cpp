#include "sim/frame_tap.h"

#include <stdexcept>

namespace quelm::sim {

FrameTap::FrameTap(std::unique_ptr<FrameSource> inner, const std::filesystem::path& file)
    : inner_(std::move(inner)), file_(file, std::ios::binary | std::ios::trunc) {
    if (!file_) {
        throw std::runtime_error("cannot create " + file.string());
    }
}

Frame FrameTap::FrameAt(double seconds) {
    const Frame frame = inner_->FrameAt(seconds);
    // Flushed per frame: the file is complete however the simulator ends.
    file_.write(reinterpret_cast<const char*>(frame.data()),
                static_cast<std::streamsize>(frame.size()));
    file_.flush();
    return frame;
}

}  // namespace quelm::sim
