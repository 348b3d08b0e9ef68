#include "files/csv_export.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <initializer_list>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "common/number_text.h"
#include "decode/convert_frame.h"
#include "decode/frame_decoder.h"
#include "files/atomic_file.h"
#include "files/log_format.h"
#include "files/log_reader.h"
#include "files/regular_file.h"

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
    int Write(std::string_view text) { return WriteAll(fd_.get(), text); }

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

// Why an open log cannot be exported to `output`: it did not open, the output is the source
// itself, or the output may not be replaced. Nothing when it can.
std::optional<std::string> ExportRefusal(const std::filesystem::path& source,
                                         const LogReader& reader,
                                         const std::filesystem::path& output) {
    if (!reader.IsOpen()) {
        return reader.Error();
    }
    std::error_code ec;
    if (std::filesystem::equivalent(source, output, ec)) {
        return Text({"Refusing to export ", Quoted(source), ": the output ", Quoted(output),
                     " is the source itself."});
    }
    if (const auto refusal = ReplaceRefusal(output)) {
        return Text({"Refusing to replace ", Quoted(output), ": ", *refusal, "."});
    }
    return std::nullopt;
}

// The CSV text as it gathers: the header, then one CR LF line per log record, each converted
// after the one before it.
class CsvText {
  public:
    CsvText(const LiveConfig& config, const CalibrationTables& tables, DisplayUnits units)
        : config_(config), tables_(tables), units_(units) {
        const std::string header = CsvHeader(units);
        at_ = std::copy(header.begin(), header.end(), text_.data());
        *at_++ = '\r';
        *at_++ = '\n';
    }

    void Add(const std::uint8_t* record) {
        std::copy_n(record, buffer_.size(), buffer_.begin());
        // A failed checksum leaves `raw_` as it was: the previous record is written again.
        DecodeFrame(buffer_, raw_);
        ConvertFrame(raw_, config_, tables_, state_);
        const EngData& eng =
            units_ == DisplayUnits::US ? state_.eng : (metric_ = InUnits(state_.eng, units_));
        at_ = WriteCsvLine(at_, DecodeTimeStamp(buffer_), eng);
        *at_++ = '\r';
        *at_++ = '\n';
    }

    // Time to write: a whole block of lines always fits behind kFlushBytes.
    bool Full() const { return at_ - text_.data() >= static_cast<std::ptrdiff_t>(kFlushBytes); }
    std::string_view Gathered() const { return {text_.data(), at_}; }
    void Clear() { at_ = text_.data(); }

  private:
    const LiveConfig& config_;
    const CalibrationTables& tables_;
    DisplayUnits units_;
    std::vector<char> text_ = std::vector<char>(kFlushBytes + kBlockRecords * kLineRoom);
    char* at_ = nullptr;
    FrameBuffer buffer_{};
    RawData raw_;
    ConvertState state_;
    EngData metric_;
};

// Writes the rest of the text, keeps a replaced file's permissions and renames the output into
// place; returns 0 or the error.
int Finish(TempOutput& out, std::string_view rest, const std::filesystem::path& output) {
    if (const int error = out.Write(rest); error != 0) {
        return error;
    }
    if (const int error = out.KeepModeOf(output); error != 0) {
        return error;
    }
    return out.Commit(output);
}
}  // namespace

std::string CsvHeader(DisplayUnits units) {
    if (units == DisplayUnits::US) {
        return kCsvHeader;
    }
    std::string header;
    std::string_view rest = kCsvHeader;
    while (!rest.empty()) {
        const auto comma = rest.find(',');
        const std::string_view name = rest.substr(0, comma);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
        if (!header.empty()) {
            header += ',';
        }
        const std::optional<Quantity> q = QuantityOf(name);
        if (!q) {
            header += name;
            continue;
        }
        // A column named after its US unit takes the quantity's name instead.
        header += Text({*q == Quantity::Speed ? "Speed" : name, "(", MetricUnit(*q), ")"});
    }
    return header;
}

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
                               const CalibrationTables& tables, const ExportProgress& progress,
                               DisplayUnits units) {
    CsvExportResult result;
    result.output = CsvOutputPath(source);
    // Before the source is opened: a CSV file is not read at all.
    if (IsCsvPath(source)) {
        result.error = Text({"Refusing to export ", Quoted(source),
                             ": it is already a CSV file and would be overwritten."});
        return result;
    }
    LogReader reader(source);
    if (auto refusal = ExportRefusal(source, reader, result.output)) {
        result.error = std::move(*refusal);
        return result;
    }
    TempOutput out(result.output);
    if (!out.ok()) {
        result.error = CannotWrite(result.output, out.error());
        return result;
    }

    CsvText text(config, tables, units);
    const std::uint64_t total = reader.RecordCount();
    std::vector<std::uint8_t> block(kBlockRecords * kLogRecordBytes);
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
            text.Add(block.data() + i * kLogRecordBytes);
        }
        done += got;
        if (text.Full()) {
            if (const int error = out.Write(text.Gathered()); error != 0) {
                result.error = CannotWrite(result.output, error);
                return result;
            }
            text.Clear();
        }
    }
    if (const int error = Finish(out, text.Gathered(), result.output); error != 0) {
        result.error = CannotWrite(result.output, error);
        return result;
    }
    if (progress) {
        progress(total, total);
    }
    result.kind = CsvExportResult::Kind::Done;
    result.records = total;
    return result;
}

}  // namespace quelm
