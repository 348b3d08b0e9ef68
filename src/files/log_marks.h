// Markers of a log: moments the user marked while recording or in the viewer. They live in a
// side file beside the log ("run.qm1" -> "run.qm1.marks"), UTF-8 text with one marker per line,
// "seconds<TAB>label", the seconds on the log's own time stamps with two decimals. The log
// itself stays untouched.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quelm {

struct LogMark {
    double seconds = 0;
    std::string label;

    bool operator==(const LogMark&) const = default;
};

// The largest marks file read: far beyond any hand-made list.
inline constexpr std::uintmax_t kMaxMarksFileBytes = 1 << 20;

std::filesystem::path MarksPath(const std::filesystem::path& log);
// The export's list of markers beside its CSV: "run.qm1" -> "run.marks.csv".
std::filesystem::path MarksCsvPath(const std::filesystem::path& log);

// "Mark 3".
std::string DefaultMarkLabel(int number);
// One more than the highest number of a "Mark N" label, and more than the count of markers.
int NextMarkNumber(std::span<const LogMark> marks);
// Tabs and line breaks would split the line: they become blanks.
std::string CleanMarkLabel(std::string_view label);
// The seconds with two decimals: "12.34".
std::string MarkSecondsText(double seconds);
// "seconds<TAB>label\n".
std::string MarkLine(const LogMark& mark);

struct MarksReadResult {
    std::vector<LogMark> marks;
    // "line 3: ..." for each line that was not read; the good lines are still in `marks`.
    std::vector<std::string> badLines;
    // The file exists but could not be read at all.
    std::string error;
};

// A missing file gives no markers and no error.
[[nodiscard]] MarksReadResult ReadLogMarks(const std::filesystem::path& marksFile);

// Appends one marker line with a single write, so that it has reached the system when this
// returns and a crash of the program keeps it. Returns the message on failure.
[[nodiscard]] std::optional<std::string> AppendLogMark(const std::filesystem::path& marksFile,
                                                       const LogMark& mark);

// Replaces the whole file atomically: a failure leaves the old one as it was.
[[nodiscard]] std::optional<std::string> SaveLogMarks(const std::filesystem::path& marksFile,
                                                      std::span<const LogMark> marks);

// "Time(s),Marker" and one CR LF line per marker, the time written as the CSV export writes it;
// replaced atomically.
[[nodiscard]] std::optional<std::string> WriteMarksCsv(const std::filesystem::path& csv,
                                                       std::span<const LogMark> marks);

// The record each marker falls on in the log (the last one stamped at or before it), or
// nothing for a marker outside the log's time range.
std::vector<std::optional<std::uint64_t>> MarkRecords(const std::filesystem::path& log,
                                                      std::span<const LogMark> marks);

}  // namespace quelm
