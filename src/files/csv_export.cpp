#include "files/csv_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

#include "common/number_text.h"
#include "decode/convert_frame.h"
#include "decode/frame_decoder.h"
#include "files/atomic_file.h"
#include "files/log_format.h"
#include "files/log_reader.h"

namespace quelm {
namespace {

constexpr std::size_t kBlockRecords = 4096;   // records read (and progress reported) at once
constexpr std::size_t kFlushBytes = 1 << 20;  // text gathered before each write
// More than the longest line: 21 numbers, 20 commas, CR LF.
constexpr std::size_t kLineRoom = 21 * (kMaxGeneralNumberChars + 1) + 2;

// Writes one line's text at `p` (room for kLineRoom bytes needed) and returns its end.
char* WriteCsvLine(char* p, double seconds, const EngData& eng) {
    p = AppendGeneralNumber(p, seconds, 15);
    for (const float value :
         {eng.RPM,    eng.LOAD,    eng.MPH,   eng.TPS,     eng.MAF,   eng.ECT,   eng.ACT,
          eng.BAP,    eng.ADVANCE, eng.INJPW, eng.INJDUTY, eng.HEGOL, eng.HEGOR, eng.BOOST,
          eng.VACUUM, eng.WIDEO2,  eng.AUX1,  eng.AUX2,    eng.RWHP,  eng.RWTQ}) {
        *p++ = ',';
        p = AppendGeneralNumber(p, value, 7);
    }
    return p;
}

// Joins message parts by appending (operator+ chains trip a false -Wrestrict in GCC 12 at -O3).
std::string Text(std::initializer_list<std::string_view> parts) {
    std::string text;
    for (const std::string_view part : parts) {
        text += part;
    }
    return text;
}

std::string Quoted(const std::filesystem::path& path) {
    return Text({"\"", path.native(), "\""});
}

std::string CannotWrite(const std::filesystem::path& path, int error) {
    return Text({"Cannot write ", Quoted(path), ": ", std::strerror(error), "."});
}

// A temporary output file beside the final one, removed unless it was renamed into place.
class TempOutput {
  public:
    explicit TempOutput(const std::filesystem::path& final)
        : fd_(CreateTempFile(final.parent_path(), path_, 0666)), error_(fd_ ? 0 : errno) {}
    TempOutput(const TempOutput&) = delete;
    TempOutput& operator=(const TempOutput&) = delete;
    ~TempOutput() {
        fd_.Close();
        if (!kept_ && !path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    bool ok() const { return static_cast<bool>(fd_); }
    int error() const { return error_; }

    // Writes all of `text`; returns 0 or the error.
    int Write(std::string_view text) {
        while (!text.empty()) {
            const ssize_t n = ::write(fd_.get(), text.data(), text.size());
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                return n < 0 ? errno : ENOSPC;
            }
            text.remove_prefix(static_cast<std::size_t>(n));
        }
        return 0;
    }

    // A replaced file keeps its permissions; a new one has those the umask gives.
    int KeepModeOf(const std::filesystem::path& final) {
        struct stat st {};
        if (::stat(final.c_str(), &st) != 0) {
            return 0;
        }
        return ::fchmod(fd_.get(), st.st_mode & 07777) == 0 ? 0 : errno;
    }

    // Closes and renames into place; returns 0 or the error.
    int Commit(const std::filesystem::path& final) {
        if (const int error = fd_.Close(); error != 0) {
            return error;
        }
        if (::rename(path_.c_str(), final.c_str()) != 0) {
            return errno;
        }
        kept_ = true;
        return 0;
    }

  private:
    std::filesystem::path path_;
    UniqueFd fd_;
    int error_ = 0;
    bool kept_ = false;
};

}  // namespace

std::filesystem::path CsvOutputPath(const std::filesystem::path& source) {
    std::string name = source.filename().string();
    if (const auto dot = name.rfind('.'); dot != std::string::npos) {
        name.erase(dot);
    }
    return source.parent_path() / (name + ".csv");
}

bool IsCsvPath(const std::filesystem::path& path) {
    const std::string name = path.filename().string();
    if (name.size() < 4) {
        return false;
    }
    std::string tail = name.substr(name.size() - 4);
    std::transform(tail.begin(), tail.end(), tail.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return tail == ".csv";
}

void AppendCsvLine(std::string& out, double seconds, const EngData& eng) {
    const std::size_t start = out.size();
    out.resize(start + kLineRoom);
    char* end = WriteCsvLine(out.data() + start, seconds, eng);
    out.resize(static_cast<std::size_t>(end - out.data()));
}

CsvExportResult ExportLogToCsv(const std::filesystem::path& source, const LiveConfig& config,
                               const CalibrationTables& tables, const ExportProgress& progress) {
    CsvExportResult result;
    result.output = CsvOutputPath(source);
    if (IsCsvPath(source)) {
        result.error = Text({"Refusing to export ", Quoted(source),
                             ": it is already a CSV file and would be overwritten."});
        return result;
    }
    LogReader reader(source);
    if (!reader.IsOpen()) {
        result.error = reader.Error();
        return result;
    }
    std::error_code ec;
    if (std::filesystem::equivalent(source, result.output, ec)) {
        result.error = Text({"Refusing to export ", Quoted(source), ": the output ",
                             Quoted(result.output), " is the source itself."});
        return result;
    }
    if (const auto refusal = ReplaceRefusal(result.output)) {
        result.error = Text({"Refusing to replace ", Quoted(result.output), ": ", *refusal, "."});
        return result;
    }
    TempOutput out(result.output);
    if (!out.ok()) {
        result.error = CannotWrite(result.output, out.error());
        return result;
    }
    const auto writeFailed = [&](int error) {
        result.error = CannotWrite(result.output, error);
        return result;
    };

    // Text gathers in `text` up to `at`; a whole block of lines always fits behind kFlushBytes.
    std::vector<char> text(kFlushBytes + kBlockRecords * kLineRoom);
    const std::string_view header = kCsvHeader;
    char* at = std::copy(header.begin(), header.end(), text.data());
    *at++ = '\r';
    *at++ = '\n';

    const std::uint64_t total = reader.RecordCount();
    std::vector<std::uint8_t> block(kBlockRecords * kLogRecordBytes);
    FrameBuffer buffer{};
    RawData raw;
    ConvertState state;
    std::uint64_t done = 0;
    while (done < total) {
        if (progress && !progress(done, total)) {
            result.kind = CsvExportResult::Kind::Cancelled;
            return result;
        }
        const std::size_t got = reader.ReadRecords(done + 1, block);
        if (got == 0) {
            result.error =
                reader.Error().empty()
                    ? Text({"Cannot read ", Quoted(source), ": the file became shorter."})
                    : reader.Error();
            return result;
        }
        for (std::size_t i = 0; i < got; ++i) {
            const std::uint8_t* record = block.data() + i * kLogRecordBytes;
            std::copy_n(record, buffer.size(), buffer.begin());
            // A failed checksum leaves `raw` as it was: the previous record is written again.
            DecodeFrame(buffer, raw);
            ConvertFrame(raw, config, tables, state);
            at = WriteCsvLine(at, DecodeTimeStamp(buffer), state.eng);
            *at++ = '\r';
            *at++ = '\n';
        }
        done += got;
        if (at - text.data() >= static_cast<std::ptrdiff_t>(kFlushBytes)) {
            if (const int error = out.Write({text.data(), at}); error != 0) {
                return writeFailed(error);
            }
            at = text.data();
        }
    }
    if (const int error = out.Write({text.data(), at}); error != 0) {
        return writeFailed(error);
    }
    if (const int error = out.KeepModeOf(result.output); error != 0) {
        return writeFailed(error);
    }
    if (const int error = out.Commit(result.output); error != 0) {
        return writeFailed(error);
    }
    if (progress) {
        progress(total, total);
    }
    result.kind = CsvExportResult::Kind::Done;
    result.records = total;
    return result;
}

}  // namespace quelm
