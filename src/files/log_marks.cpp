#include "files/log_marks.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/number_text.h"
#include "files/atomic_file.h"
#include "files/log_format.h"
#include "files/log_reader.h"
#include "files/regular_file.h"
#include "files/side_file_lines.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

std::string Failure(const char* what, const fs::path& path, const std::string& why) {
    return std::string(what) + " \"" + path.string() + "\": " + why + ".";
}

std::optional<double> Seconds(std::string_view text) {
    text = TrimLine(text);
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc{} || end != text.data() + text.size() ||
        !std::isfinite(value) || value < 0) {
        return std::nullopt;
    }
    return value;
}

// Quoted when it holds what would split or shift a CSV field.
std::string CsvField(std::string_view text) {
    const bool quote = text.find_first_of(",\"\r\n") != std::string_view::npos ||
                       (!text.empty() && (text.front() == ' ' || text.back() == ' '));
    if (!quote) {
        return std::string(text);
    }
    std::string field = "\"";
    for (const char c : text) {
        field += c;
        if (c == '"') {
            field += '"';
        }
    }
    field += '"';
    return field;
}

}  // namespace

fs::path MarksPath(const fs::path& log) {
    fs::path marks = log;
    marks += ".marks";
    return marks;
}

fs::path MarksCsvPath(const fs::path& log) {
    std::string name = log.filename().string();
    if (const auto dot = name.rfind('.'); dot != std::string::npos) {
        name.erase(dot);
    }
    return log.parent_path() / (name + ".marks.csv");
}

std::string DefaultMarkLabel(int number) {
    return "Mark " + std::to_string(number);
}

int NextMarkNumber(std::span<const LogMark> marks) {
    int next = static_cast<int>(marks.size()) + 1;
    for (const LogMark& mark : marks) {
        int n = 0;
        const std::string_view label = mark.label;
        if (label.starts_with("Mark ")) {
            const auto [end, ec] =
                std::from_chars(label.data() + 5, label.data() + label.size(), n);
            if (ec == std::errc{} && end == label.data() + label.size() && n >= next) {
                next = n + 1;
            }
        }
    }
    return next;
}

std::string CleanMarkLabel(std::string_view label) {
    std::string clean(label);
    std::replace_if(
        clean.begin(), clean.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; },
        ' ');
    return clean;
}

std::string MarkSecondsText(double seconds) {
    char text[48];
    std::snprintf(text, sizeof text, "%.2f", seconds);
    return text;
}

std::string MarkLine(const LogMark& mark) {
    return MarkSecondsText(mark.seconds) + '\t' + CleanMarkLabel(mark.label) + '\n';
}

MarksReadResult ReadLogMarks(const fs::path& marksFile) {
    MarksReadResult result;
    RegularFileText file = ReadRegularFile(marksFile, kMaxMarksFileBytes);
    if (file.fault == FileFault::Missing) {
        return result;  // no markers yet
    }
    if (file.fault != FileFault::None) {
        result.error = Failure("Cannot read the markers", marksFile, file.Reason());
        return result;
    }
    const std::string& text = file.text;
    std::size_t at = 0;
    for (int number = 1; at < text.size(); ++number) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line = std::string_view(text).substr(at, end - at);
        at = end + 1;
        // Blank; a line of tabs is not, and is reported.
        if (line.find_first_not_of(" \r") == std::string_view::npos) {
            continue;
        }
        const std::string where = "line " + std::to_string(number) + ": ";
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos) {
            result.badLines.push_back(where + "no tab between the time and the label");
            continue;
        }
        const auto seconds = Seconds(line.substr(0, tab));
        if (!seconds) {
            result.badLines.push_back(where + "\"" + std::string(line.substr(0, tab)) +
                                      "\" is not a time in seconds");
            continue;
        }
        std::string_view label = line.substr(tab + 1);
        if (!label.empty() && label.back() == '\r') {
            label.remove_suffix(1);
        }
        result.marks.push_back({*seconds, std::string(label)});
    }
    return result;
}

std::optional<std::string> AppendLogMark(const fs::path& marksFile, const LogMark& mark) {
    // Without blocking, and only into a regular file: a FIFO would take the line and lose it.
    UniqueFd file(::open(marksFile.c_str(),
                         O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
    if (!file) {
        return Failure("Cannot write the marker to", marksFile, std::strerror(errno));
    }
    const int fd = file.get();
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        return Failure("Cannot write the marker to", marksFile, std::strerror(errno));
    }
    if (!S_ISREG(st.st_mode)) {
        return Failure("Cannot write the marker to", marksFile, "it is not a regular file");
    }
    std::string line = MarkLine(mark);
    // A line cut short by an earlier crash must not swallow this one.
    const off_t size = ::lseek(fd, 0, SEEK_END);
    char last = '\n';
    if (size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n') {
        line.insert(line.begin(), '\n');
    }
    int error = WriteAll(fd, line);
    if (const int closed = file.Close(); closed != 0 && error == 0) {
        error = closed;
    }
    if (error != 0) {
        return Failure("Cannot write the marker to", marksFile, std::strerror(error));
    }
    return std::nullopt;
}

std::optional<std::string> SaveLogMarks(const fs::path& marksFile, std::span<const LogMark> marks) {
    std::string text;
    for (const LogMark& mark : marks) {
        text += MarkLine(mark);
    }
    std::string error;
    if (!ReplaceFileAtomically(marksFile, text, error)) {
        return "Cannot save the markers: " + error + ".";
    }
    return std::nullopt;
}

std::optional<std::string> WriteMarksCsv(const fs::path& csv, std::span<const LogMark> marks) {
    std::string text = "Time(s),Marker\r\n";
    for (const LogMark& mark : marks) {
        text += GeneralNumber(mark.seconds, 15);
        text += ',';
        text += CsvField(mark.label);
        text += "\r\n";
    }
    std::string error;
    if (!ReplaceFileAtomically(csv, text, error)) {
        return "Cannot write the marker list: " + error + ".";
    }
    return std::nullopt;
}

std::vector<std::optional<std::uint64_t>> MarkRecords(const fs::path& log,
                                                      std::span<const LogMark> marks) {
    std::vector<std::optional<std::uint64_t>> records(marks.size());
    LogReader reader(log);
    const std::uint64_t count = reader.RecordCount();
    FrameBuffer frame{};
    const auto stamp = [&](std::uint64_t n) {
        return reader.ReadRecord(n, frame) ? TimeStampHundredths(frame) : 0u;
    };
    if (count == 0) {
        return records;
    }
    const std::uint32_t firstStamp = stamp(1);
    const std::uint32_t lastStamp = stamp(count);
    for (std::size_t m = 0; m < marks.size(); ++m) {
        const double hundredths = std::round(marks[m].seconds * 100);
        if (hundredths < firstStamp || hundredths > lastStamp) {
            continue;
        }
        // The last record stamped at or before the marker: stamps never decrease in a log.
        std::uint64_t low = 1;
        std::uint64_t high = count;
        while (low < high) {
            const std::uint64_t mid = low + (high - low + 1) / 2;
            if (stamp(mid) <= hundredths) {
                low = mid;
            } else {
                high = mid - 1;
            }
        }
        records[m] = low;
    }
    return records;
}

}  // namespace quelm
