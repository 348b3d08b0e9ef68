#include "viewer/log_columns.h"

#include <algorithm>
#include <limits>
#include <new>

#include "decode/dashboard_update.h"
#include "decode/frame_decoder.h"
#include "files/log_format.h"

namespace quelm {
namespace {

constexpr float kGap = std::numeric_limits<float>::quiet_NaN();

}  // namespace

BlockExtremes SummariseRecords(std::span<const float> values, std::size_t begin, std::size_t end) {
    BlockExtremes e;
    for (std::size_t i = begin; i < end; ++i) {
        const float v = values[i];
        if (!std::isnan(v)) {
            const auto at = static_cast<std::uint32_t>(i);
            MergeExtremes(e, {.min = at, .max = at, .low = v, .high = v});
        }
    }
    return e;
}

void MergeExtremes(BlockExtremes& e, const BlockExtremes& later) {
    if (later.min == kNoRecord) {
        return;
    }
    if (e.min == kNoRecord || later.low < e.low) {
        e.min = later.min;
        e.low = later.low;
    }
    if (e.max == kNoRecord || later.high > e.high) {
        e.max = later.max;
        e.high = later.high;
    }
}

EngData LogColumns::Values(std::size_t record) const {
    EngData eng;
    if (record >= size() || !Good(record)) {
        return eng;
    }
    const auto& channels = LogChannels();
    for (std::size_t c = 0; c < kLogChannelCount; ++c) {
        eng.*channels[c].source = values[c][record];
    }
    return eng;
}

std::pair<std::size_t, std::size_t> RecordsIn(std::span<const double> times, double t0, double t1) {
    const auto first = std::lower_bound(times.begin(), times.end(), t0);
    const auto last = std::upper_bound(first, times.end(), t1);
    return {static_cast<std::size_t>(first - times.begin()),
            static_cast<std::size_t>(last - times.begin())};
}

std::optional<std::size_t> RecordAtOrBefore(std::span<const double> times, double seconds) {
    const auto after = std::upper_bound(times.begin(), times.end(), seconds);
    if (after == times.begin()) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(after - times.begin()) - 1;
}

LogColumnsLoader::LogColumnsLoader(const std::filesystem::path& path, const LiveConfig& config,
                                   const CalibrationTables& tables)
    : reader_(path), config_(config), tables_(tables) {
    if (!reader_.IsOpen()) {
        error_ = reader_.Error();
        return;
    }
    total_ = reader_.RecordCount();
    if (total_ > kMaxViewerRecords) {
        error_ = "The log holds " + std::to_string(total_) + " records; the viewer shows at most " +
                 std::to_string(kMaxViewerRecords) + ".";
        total_ = 0;
        return;
    }
    try {
        const auto n = static_cast<std::size_t>(total_);
        columns_.times.reserve(n);
        for (std::size_t c = 0; c < kLogChannelCount; ++c) {
            columns_.values[c].reserve(n);
            columns_.blocks[c].reserve(n / kEnvelopeBlock + 1);
        }
    } catch (const std::bad_alloc&) {
        error_ = "Not enough memory to show a log of " + std::to_string(total_) + " records.";
        total_ = 0;
    }
}

bool LogColumnsLoader::Step(std::size_t records) {
    if (!error_.empty() || done_ == total_) {
        return false;
    }
    const std::size_t wanted =
        static_cast<std::size_t>(std::min<std::uint64_t>(records, total_ - done_));
    buffer_.resize(std::max<std::size_t>(wanted, 1) * kLogRecordBytes);
    const std::size_t got = reader_.ReadRecords(done_ + 1, buffer_);
    if (got == 0) {
        error_ = reader_.Error().empty() ? "Cannot read the log file: it became shorter."
                                         : reader_.Error();
        return false;
    }
    const auto& channels = LogChannels();
    FrameBuffer frame{};
    for (std::size_t i = 0; i < got; ++i) {
        std::copy_n(buffer_.data() + i * kLogRecordBytes, frame.size(), frame.begin());
        const double stamp = DecodeTimeStamp(frame);
        columns_.times.push_back(columns_.times.empty() ? stamp
                                                        : std::max(stamp, columns_.times.back()));
        if (DecodeFrame(frame, raw_)) {
            // A failed checksum is a gap, not the previous values again.
            ++columns_.badRecords;
            for (auto& column : columns_.values) {
                column.push_back(kGap);
            }
            continue;
        }
        ConvertFrame(raw_, config_, tables_, state_);
        // As playback shows it on the dashboard: MPG computed, a zero duty made 0.00001.
        UpdateDashboard(state_.eng, config_);
        for (std::size_t c = 0; c < kLogChannelCount; ++c) {
            columns_.values[c].push_back(state_.eng.*channels[c].source);
        }
    }
    done_ += got;
    Summarise(done_ == total_ ? columns_.size()
                              : columns_.size() / kEnvelopeBlock * kEnvelopeBlock);
    return done_ < total_;
}

void LogColumnsLoader::Summarise(std::size_t end) {
    for (std::size_t c = 0; c < kLogChannelCount; ++c) {
        std::vector<BlockExtremes>& blocks = columns_.blocks[c];
        auto& extent = columns_.extents[c];
        for (std::size_t begin = blocks.size() * kEnvelopeBlock; begin < end;
             begin += kEnvelopeBlock) {
            const BlockExtremes& b = blocks.emplace_back(
                SummariseRecords(columns_.values[c], begin, std::min(end, begin + kEnvelopeBlock)));
            if (b.min == kNoRecord) {
                continue;
            }
            if (!extent) {
                extent.emplace(b.low, b.high);
            }
            extent->first = std::min(extent->first, b.low);
            extent->second = std::max(extent->second, b.high);
        }
    }
}

LogLoadResult LoadLogColumns(
    const std::filesystem::path& path, const LiveConfig& config, const CalibrationTables& tables,
    const std::function<bool(std::uint64_t done, std::uint64_t total)>& progress) {
    constexpr std::size_t kStep = 16384;
    LogLoadResult result;
    LogColumnsLoader loader(path, config, tables);
    while (loader.Step(kStep)) {
        if (progress && !progress(loader.Done(), loader.Total())) {
            result.kind = LogLoadResult::Kind::Cancelled;
            return result;
        }
    }
    if (!loader.Finished()) {
        result.error = loader.Error();
        return result;
    }
    result.kind = LogLoadResult::Kind::Done;
    result.columns = loader.Take();
    return result;
}

}  // namespace quelm
