#include "cli/export_command.h"

#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/export_inputs.h"
#include "common/app_paths.h"
#include "common/option_cursor.h"
#include "common/stop_signals.h"
#include "files/csv_export.h"
#include "files/log_marks.h"

namespace quelm::cli {
namespace {

constexpr const char* kUsage =
    "Usage: quelm export LOG [--config INI] [--units us|metric] [--markers]\n"
    "\n"
    "Converts the log file LOG into comma-separated text beside it (run1.qm1 -> run1.csv,\n"
    "replacing any file of that name), with the vehicle settings of the settings file.\n"
    "\n"
    "  --config INI    settings file to use instead of $QUELM_CONFIG or\n"
    "                  $XDG_CONFIG_HOME/quelm/Quelm.ini\n"
    "  --units metric  the same columns in km/h, C, kPa, kW and Nm, each changed\n"
    "                  header naming its unit (default: us)\n"
    "  --markers       also list the log's markers (LOG.marks) in run1.marks.csv\n"
    "  --help          show this text\n"
    "  --              the next argument is the log, even if it starts with \"-\"\n"
    "\n"
    "Exit status: 0 done, 1 the export failed, 2 usage error; 128 + the signal's number when\n"
    "SIGINT, SIGTERM or SIGHUP stopped it (the earlier CSV, if any, is then left as it was).\n";

// Logs this large show their progress even when stderr is not a terminal.
constexpr std::uint64_t kLargeLogRecords = 200000;

// A percentage on stderr: rewritten in place a few times a second on a terminal, otherwise a
// line every tenth of the way for large logs only.
class ProgressLine {
  public:
    explicit ProgressLine(std::FILE* err) : err_(err), terminal_(::isatty(::fileno(err)) == 1) {}

    bool operator()(std::uint64_t done, std::uint64_t total) {
        if (total == 0) {
            return true;
        }
        const int percent = static_cast<int>(done * 100 / total);
        if (terminal_) {
            const auto now = std::chrono::steady_clock::now();
            if (now - last_ >= std::chrono::milliseconds(250) || done == total) {
                last_ = now;
                std::fprintf(err_, "\rquelm export: %3d%% (%llu of %llu records)", percent,
                             static_cast<unsigned long long>(done),
                             static_cast<unsigned long long>(total));
                std::fflush(err_);
                shown_ = true;
            }
        } else if (total >= kLargeLogRecords && percent / 10 > lastTenth_ && done < total) {
            lastTenth_ = percent / 10;
            std::fprintf(err_, "quelm export: %d%%\n", lastTenth_ * 10);
        }
        return true;
    }

    // Ends the rewritten line so the next message starts on a line of its own.
    void Finish() {
        if (shown_) {
            std::fputc('\n', err_);
            shown_ = false;
        }
    }

  private:
    std::FILE* err_;
    bool terminal_;
    bool shown_ = false;
    int lastTenth_ = 0;
    std::chrono::steady_clock::time_point last_{};
};

// The markers of `log` into their CSV list beside the export; bad lines are reported and left
// out.
int ExportMarkers(const std::filesystem::path& log, std::FILE* out, std::FILE* err) {
    const MarksReadResult read = ReadLogMarks(MarksPath(log));
    if (!read.error.empty()) {
        std::fprintf(err, "quelm export: %s\n", read.error.c_str());
        return 1;
    }
    for (const std::string& bad : read.badLines) {
        std::fprintf(err, "quelm export: warning: %s: %s\n", MarksPath(log).c_str(), bad.c_str());
    }
    const std::filesystem::path csv = MarksCsvPath(log);
    if (const auto error = WriteMarksCsv(csv, read.marks)) {
        std::fprintf(err, "quelm export: %s\n", error->c_str());
        return 1;
    }
    std::fprintf(out, "%s\n", csv.c_str());
    return 0;
}

struct ExportArgs {
    std::vector<std::string> logs;
    std::filesystem::path config;
    DisplayUnits units = DisplayUnits::US;
    bool markers = false;
};

// The command line into `parsed`; an exit status when the command ends there (--help, a usage
// error).
std::optional<int> ParseExportArgs(const std::vector<std::string>& args, ExportArgs& parsed,
                                   std::FILE* out, std::FILE* err) {
    OptionCursor cursor(args);
    while (cursor.Next()) {
        const std::string& arg = cursor.Name();
        if (cursor.OptionsEnded()) {
            parsed.logs.push_back(arg);  // after "--" even "-dash.qm1" is a log
        } else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, out);
            return 0;
        } else if (arg == "--config") {
            const auto value = cursor.Value();
            if (!value) {
                std::fputs("quelm export: --config needs a settings file name\n", err);
                return 2;
            }
            parsed.config = *value;
        } else if (arg == "--units") {
            const auto value = cursor.Value();
            if (value != "us" && value != "metric") {
                std::fputs("quelm export: --units needs us or metric\n", err);
                return 2;
            }
            parsed.units = value == "metric" ? DisplayUnits::Metric : DisplayUnits::US;
        } else if (arg == "--markers") {
            if (cursor.HasAttachedValue()) {
                std::fputs("quelm export: --markers takes no value\n", err);
                return 2;
            }
            parsed.markers = true;
        } else if (arg.starts_with("-") && arg != "-") {
            std::fprintf(err, "quelm export: unknown option '%s' (see quelm export --help)\n",
                         arg.c_str());
            return 2;
        } else {
            parsed.logs.push_back(arg);
        }
    }
    if (parsed.logs.size() != 1) {
        std::fputs("quelm export: give one log file (see quelm export --help)\n", err);
        return 2;
    }
    return std::nullopt;
}

}  // namespace

int ExportCommand(int argc, char** argv, std::FILE* out, std::FILE* err) {
    ExportArgs parsed;
    if (const auto status =
            ParseExportArgs(std::vector<std::string>(argv + 1, argv + argc), parsed, out, err)) {
        return *status;
    }
    const std::filesystem::path& config = parsed.config;

    // From here on an interrupt cancels the export: its temporary file is removed, an earlier
    // CSV stays as it was, and the exit status is the signal's.
    const StopSignals signals;
    const std::filesystem::path source{parsed.logs.front()};
    std::error_code ec;
    if (IsCsvPath(source)) {
        std::fprintf(err, "quelm export: %s is already a CSV file; give the log (.qm1) instead\n",
                     source.c_str());
        return 1;
    }
    if (!std::filesystem::exists(source, ec)) {
        std::fprintf(err, "quelm export: log file not found: %s\n", source.c_str());
        return 1;
    }
    if (!config.empty() && !std::filesystem::is_regular_file(config, ec)) {
        std::fprintf(err, "quelm export: settings file not found: %s\n", config.c_str());
        return 1;
    }

    ExportInputs inputs = LoadExportInputs(SettingsPath(config));
    for (const std::string& warning : inputs.warnings) {
        std::fprintf(err, "quelm export: warning: %s\n", warning.c_str());
    }

    ProgressLine progress(err);
    const CsvExportResult result = ExportLogToCsv(
        source, inputs.config, inputs.tables,
        [&](std::uint64_t done, std::uint64_t total) {
            return progress(done, total) && signals.Caught() == 0;
        },
        parsed.units);
    progress.Finish();
    if (result.kind != CsvExportResult::Kind::Done && signals.Caught() != 0) {
        std::fprintf(err, "quelm export: interrupted; %s not written\n", result.output.c_str());
        return signals.ExitStatus();
    }
    if (result.kind != CsvExportResult::Kind::Done) {
        std::fprintf(err, "quelm export: %s\n",
                     result.error.empty() ? "export cancelled" : result.error.c_str());
        return 1;
    }
    std::fprintf(out, "%s\n", result.output.c_str());
    return parsed.markers ? ExportMarkers(source, out, err) : 0;
}

}  // namespace quelm::cli
