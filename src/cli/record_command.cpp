#include "cli/record_command.h"

#include <unistd.h>

#include <QCoreApplication>
#include <ctime>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_link.h"
#include "cli/mark_input.h"
#include "cli/port_failure_report.h"
#include "cli/record_args.h"
#include "cli/record_session.h"
#include "cli/status_printer.h"
#include "common/app_paths.h"
#include "common/com_port_map.h"
#include "common/qt_serial_port.h"
#include "files/log_name.h"
#include "files/regular_file.h"
#include "files/settings_file.h"

namespace quelm::cli {

namespace {

namespace fs = std::filesystem;

// The highest rate to try: the command line's, else the settings file's, else the top rate.
std::optional<std::string> MaxRate(const RecordArgs& args, std::string& error) {
    if (!args.maxRate.empty()) {
        return args.maxRate;
    }
    const fs::path settings = SettingsPath(args.config);
    std::error_code ec;
    if (!args.config.empty() && !fs::is_regular_file(settings, ec)) {
        error = "settings file '" + settings.string() + "' not found";
        return std::nullopt;
    }
    const std::string rate = ReadIniValue(SettingsFile(settings), "SERIAL", "MAXBAUDRATE");
    return rate.empty() ? std::string("115200") : rate;
}

// Refuses, before the 14-second connection, a log that could not be written or that would
// replace a file the user did not offer or that is not to be replaced.
bool CheckLogPath(const fs::path& out, bool overwrite, std::string& error) {
    std::error_code ec;
    if (fs::exists(out, ec) && !overwrite) {
        error = "'" + out.string() + "' exists; use --overwrite to replace it";
        return false;
    }
    // A FIFO or a device is never a log (opening a FIFO would wait for a reader), and a
    // read-only file was made so to be kept: neither is replaced, whatever --overwrite says.
    if (const auto refusal = ReplaceRefusal(out)) {
        error = "cannot record into '" + out.string() + "': " + *refusal;
        return false;
    }
    const fs::path folder = out.has_parent_path() ? out.parent_path() : fs::path(".");
    if (!fs::is_directory(folder, ec)) {
        error = "no folder '" + folder.string() + "' for the log";
        return false;
    }
    if (::access(folder.c_str(), W_OK) != 0) {
        error = "the folder '" + folder.string() + "' is not writable";
        return false;
    }
    return true;
}

}  // namespace

int RecordCommand(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto parsed = ParseRecordArgs(args, error);
    if (!parsed) {
        std::cerr << "quelm record: " << error << "\n(see quelm record --help)\n";
        return 2;
    }
    if (parsed->help) {
        std::cout << RecordUsage();
        return 0;
    }
    const auto maxRate = MaxRate(*parsed, error);
    if (!maxRate) {
        std::cerr << "quelm record: " << error << "\n";
        return 2;
    }
    fs::path out;
    try {
        out =
            parsed->out.empty() ? NewLogPath(LogsDir(), std::time(nullptr)) : fs::path(parsed->out);
    } catch (const fs::filesystem_error& e) {
        std::cerr << "quelm record: cannot create the logs folder: " << e.what() << "\n";
        return 1;
    }
    if (!CheckLogPath(out, parsed->overwrite, error)) {
        std::cerr << "quelm record: " << error << "\n";
        return 1;
    }

    CliLink link(parsed->port, *maxRate, std::cerr);
    LinkContext& ctx = link.ctx;
    HookedRuntime& rt = link.rt;

    LogRecorder recorder;
    RecordSession session(ctx, rt, recorder, out, {parsed->frames, parsed->seconds}, std::cerr);
    MarkInput marks(STDIN_FILENO);
    session.markLines = [&marks] { return marks.Lines(); };
    const RecordReport report = session.Run();
    // No quelmom.ini: that side file belongs to the dashboard's configuration-error path, and a
    // command-line tool must not leave it in the user's current folder.
    if (report.portFailure) {
        std::cerr << PortFailureText(*report.portFailure);
    }
    if (parsed->json) {
        std::cout << RecordReportJson(report) << std::endl;
    }
    return report.ExitCode();
}

}  // namespace quelm::cli
