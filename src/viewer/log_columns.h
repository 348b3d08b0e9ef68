// A whole log converted into one column per engineering value, for the log viewer: the same
// decode and convert path as playback, read in steps so that a window can show progress and
// cancel between them.
#pragma once

#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/live_config.h"
#include "common/records.h"
#include "decode/calibration_tables.h"
#include "decode/convert_frame.h"
#include "files/log_reader.h"
#include "viewer/log_channels.h"

namespace quelm {

// Records summarised together for the chart envelopes.
inline constexpr std::size_t kEnvelopeBlock = 64;
inline constexpr std::uint32_t kNoRecord = 0xFFFFFFFF;
// About 16 hours at the top rate, some 1.6 GB of columns. A larger log is refused rather than
// allowed to exhaust the memory.
inline constexpr std::uint64_t kMaxViewerRecords = std::uint64_t{1} << 24;

// Where the lowest and the highest value of a block are (the first of equals) and what they
// are; kNoRecord when every record of the block failed its checksum.
struct BlockExtremes {
    std::uint32_t min = kNoRecord;
    std::uint32_t max = kNoRecord;
    float low = 0;
    float high = 0;
};

// The extremes of the good values among records [begin, end).
BlockExtremes SummariseRecords(std::span<const float> values, std::size_t begin, std::size_t end);
// Takes the extremes of `later` records into `e`; of equal values the earlier stays.
void MergeExtremes(BlockExtremes& e, const BlockExtremes& later);

struct LogColumns {
    // Seconds of each record's time stamp, never decreasing: a stamp below the one before it
    // (a damaged record) is placed at that earlier time, so a time always finds one record.
    std::vector<double> times;
    // One value per record for each of LogChannels(); NaN where the record failed its checksum
    // (conversions never give NaN otherwise).
    std::array<std::vector<float>, kLogChannelCount> values;
    // Per channel, per block of kEnvelopeBlock records.
    std::array<std::vector<BlockExtremes>, kLogChannelCount> blocks;
    // Per channel, the lowest and highest good value of the whole log; nothing without one.
    std::array<std::optional<std::pair<float, float>>, kLogChannelCount> extents;
    std::uint64_t badRecords = 0;

    std::size_t size() const { return times.size(); }
    bool Good(std::size_t record) const { return !std::isnan(values[0][record]); }
    // Record `record`'s engineering values (zeros for a failed one).
    EngData Values(std::size_t record) const;
};

// The records stamped within [t0, t1], as the range [first, last).
std::pair<std::size_t, std::size_t> RecordsIn(std::span<const double> times, double t0, double t1);

// The last record stamped at or before `seconds`; nothing before the first record.
std::optional<std::size_t> RecordAtOrBefore(std::span<const double> times, double seconds);

class LogColumnsLoader {
  public:
    // Opens the log with the reader playback and export use, so a log they refuse is refused
    // here with the same message (Error()). The settings and tables are taken as they are now.
    LogColumnsLoader(const std::filesystem::path& path, const LiveConfig& config,
                     const CalibrationTables& tables);

    // Why the log cannot be loaded; empty while all is well.
    const std::string& Error() const { return error_; }
    std::uint64_t Total() const { return total_; }
    std::uint64_t Done() const { return done_; }
    bool Finished() const { return error_.empty() && done_ == total_; }

    // Reads, decodes and converts up to `records` more records. False once there is nothing
    // left to do: every record is loaded, or loading failed.
    bool Step(std::size_t records);

    // The columns, once Finished().
    LogColumns Take() { return std::move(columns_); }

  private:
    void Summarise(std::size_t end);

    LogReader reader_;
    LiveConfig config_;
    CalibrationTables tables_;
    ConvertState state_;
    RawData raw_;
    LogColumns columns_;
    std::vector<std::uint8_t> buffer_;
    std::string error_;
    std::uint64_t total_ = 0;
    std::uint64_t done_ = 0;
};

struct LogLoadResult {
    enum class Kind { Done, Cancelled, Error };
    Kind kind = Kind::Error;
    LogColumns columns;
    std::string error;
};

// The whole log at once; `progress(done, total)` is asked between steps and may cancel.
LogLoadResult LoadLogColumns(
    const std::filesystem::path& path, const LiveConfig& config, const CalibrationTables& tables,
    const std::function<bool(std::uint64_t done, std::uint64_t total)>& progress = {});

}  // namespace quelm
