// Converts a log file into comma-separated text: one line per record with its time and twenty
// engineering values, computed under the vehicle settings in force now.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "common/live_config.h"
#include "common/records.h"
#include "decode/calibration_tables.h"

namespace quelm {

inline constexpr const char* kCsvHeader =
    "Time(s),RPM,LOAD,MPH,TPS,MAF,ECT,ACT,BAP,ADVNC,INJPW,INJDUTY,HEGOL,HEGOR,BOOST,VACUUM,"
    "WIDEO2,AUX1,AUX2,HP,TQ";

// The output beside the source: the file name without the text from its last "." on, plus
// ".csv" ("run1.qm1" -> "run1.csv", "run1" -> "run1.csv"). Dots in folder names do not count.
std::filesystem::path CsvOutputPath(const std::filesystem::path& source);

// True for a file name ending in ".csv" in any case: such a source is refused, its output
// would be the source itself (or, on a case-blind file system, overwrite it).
bool IsCsvPath(const std::filesystem::path& path);

// One data line without its line end: the time with 15 significant digits, then RPM, LOAD,
// MPH, TPS, MAF, ECT, ACT, BAP, ADVANCE, INJPW, INJDUTY, HEGOL, HEGOR, BOOST, VACUUM, WIDEO2,
// AUX1, AUX2, RWHP, RWTQ with 7.
void AppendCsvLine(std::string& out, double seconds, const EngData& eng);

// Called now and then with the records done so far and the total; returning false cancels.
using ExportProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

struct CsvExportResult {
    enum class Kind { Done, Cancelled, Error };
    Kind kind = Kind::Error;
    std::filesystem::path output;
    std::uint64_t records = 0;
    // Kind::Error: one line saying what went wrong.
    std::string error;
};

// Reads every whole record of `source`, runs DecodeFrame and ConvertFrame on it (a record whose
// checksum fails leaves the previous raw values, which are converted and written again) and
// writes the header and one CR LF line per record to CsvOutputPath(source), replacing any file
// of that name unless it is not a regular file or is read-only (refused, nothing changed). The
// text is written to a temporary file beside it and renamed into place only when complete, so a
// failed or cancelled export leaves no partial output and an earlier CSV of that name untouched;
// a replaced CSV keeps its permissions. A missing source, or one that is not a regular file, is
// reported and nothing is created.
CsvExportResult ExportLogToCsv(const std::filesystem::path& source, const LiveConfig& config,
                               const CalibrationTables& tables,
                               const ExportProgress& progress = {});

}  // namespace quelm
