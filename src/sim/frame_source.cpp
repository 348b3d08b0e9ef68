#include "sim/frame_source.h"

#include <algorithm>
#include <cmath>
#include <span>

#include "files/log_format.h"
#include "files/log_reader.h"

namespace quelm::sim {

std::variant<std::vector<LogFrame>, std::string> ReadLogFrames(const std::filesystem::path& path) {
    LogReader reader(path);
    if (!reader.IsOpen()) {
        return reader.Error();
    }
    if (reader.FileBytes() > kReplayLimitBytes) {
        return "log " + path.string() + " is larger than " +
               std::to_string(kReplayLimitBytes >> 20) + " MiB; replay a shorter one";
    }
    std::vector<LogFrame> records;
    records.reserve(static_cast<std::size_t>(reader.RecordCount()));
    std::vector<std::uint8_t> block(4096 * kLogRecordBytes);
    while (records.size() < reader.RecordCount()) {
        const std::size_t got = reader.ReadRecords(records.size() + 1, block);
        if (got == 0) {
            return reader.Error().empty() ? "log " + path.string() + " became shorter"
                                          : reader.Error();
        }
        for (std::size_t i = 0; i < got; ++i) {
            const std::span<const std::uint8_t> record(block.data() + i * kLogRecordBytes,
                                                       kLogRecordBytes);
            LogFrame r;
            std::copy_n(record.begin(), kFrameBytes, r.frame.begin());
            r.seconds = DecodeTimeStamp(record);
            records.push_back(r);
        }
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
