#include "sim/frame_source.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>

namespace quelm::sim {

std::variant<std::vector<LogFrame>, std::string> ReadLogFrames(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return "cannot open log " + path.string();
    }
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return "cannot read log " + path.string();
    }
    std::vector<LogFrame> records;
    for (std::size_t at = 0; at + kLogRecordBytes <= bytes.size(); at += kLogRecordBytes) {
        LogFrame r;
        for (std::size_t i = 0; i < kFrameBytes; ++i) {
            r.frame[i] = static_cast<std::uint8_t>(bytes[at + i]);
        }
        const auto byteAt = [&](std::size_t i) {
            return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i]));
        };
        r.seconds = (byteAt(38) * 65536 + byteAt(39) * 256 + byteAt(40)) / 100.0;
        records.push_back(r);
    }
    if (records.empty()) {
        return "log " + path.string() + " holds no whole 48-byte record";
    }
    return records;
}

ReplaySource::ReplaySource(std::vector<LogFrame> records) : records_(std::move(records)) {
    const bool rising =
        std::is_sorted(records_.begin(), records_.end(),
                       [](const LogFrame& a, const LogFrame& b) { return a.seconds < b.seconds; });
    const double span = records_.empty() ? 0 : records_.back().seconds - records_.front().seconds;
    timed_ = rising && span > 0;
    if (timed_) {
        // One average record interval after the last record before it starts again.
        period_ = span + span / static_cast<double>(records_.size() - 1);
    }
}

Frame ReplaySource::FrameAt(double seconds) {
    if (records_.empty()) {
        return Frame{};
    }
    if (!timed_) {
        const Frame f = records_[next_].frame;
        next_ = (next_ + 1) % records_.size();
        return f;
    }
    const double wanted = records_.front().seconds + std::fmod(std::max(seconds, 0.0), period_);
    // The last record stamped at or before the wanted time.
    const auto after = std::upper_bound(records_.begin(), records_.end(), wanted,
                                        [](double t, const LogFrame& r) { return t < r.seconds; });
    return after == records_.begin() ? records_.front().frame : std::prev(after)->frame;
}

}  // namespace quelm::sim
