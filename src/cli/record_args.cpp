#include "cli/record_args.h"

#include <charconv>
#include <cmath>

#include "common/option_cursor.h"

namespace quelm::cli {

namespace {

bool IsRateText(const std::string& text) {
    return text == "9600" || text == "19200" || text == "38400" || text == "57600" ||
           text == "115200";
}

std::optional<long> WholeNumber(const std::string& text) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < 1) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> PositiveSeconds(const std::string& text) {
    double value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || !std::isfinite(value) ||
        value <= 0) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string RecordUsage() {
    return R"(Usage: quelm record --port DEVICE [--max-rate RATE] [--out FILE.qm1]
                    [--frames N | --seconds S] [--config INI] [--json] [--overwrite]
Connects to the device on DEVICE (as COM1), negotiates the line rate and records every good
frame to a log until N good frames or S seconds of polling, or until interrupted (Ctrl-C).
Status texts and the statistics (once a second) go to standard error. Each line read on
standard input while recording drops a marker in FILE.qm1.marks, the line its label (an empty
line gives "Mark N").

  --port DEVICE     serial device, e.g. /dev/ttyUSB0 or the simulator's /dev/pts/N
  --max-rate RATE   highest line rate to try: 9600, 19200, 38400, 57600 or 115200
                    (default: MAXBAUDRATE of the settings file, else 115200)
  --out FILE.qm1    the log (default: a dated name in the logs folder)
  --overwrite       replace FILE.qm1 if it exists (otherwise an existing file is an error)
  --frames N        stop after N good frames
  --seconds S       stop after S seconds of polling
  --config INI      settings file to use instead of the default one
  --json            end with one JSON line on standard output: rate, status, total_frames,
                    checksum_errors, timeout_errors, records, ...
  --help            show this text
Exit status: 0 when the recording ran to its end (or was interrupted), 1 when the link or the
log failed, 2 for a wrong command line.
)";
}

std::optional<RecordArgs> ParseRecordArgs(std::span<const std::string> args, std::string& error) {
    RecordArgs parsed;
    OptionCursor cursor(args);
    while (cursor.Next()) {
        const std::string& a = cursor.Name();
        bool* flag = a == "--help" || a == "-h" ? &parsed.help
                     : a == "--json"            ? &parsed.json
                     : a == "--overwrite"       ? &parsed.overwrite
                                                : nullptr;
        if (flag != nullptr) {
            if (cursor.HasAttachedValue()) {
                error = a + " takes no value";
                return std::nullopt;
            }
            *flag = true;
            continue;
        }
        const bool takesValue = a == "--port" || a == "--max-rate" || a == "--out" ||
                                a == "--frames" || a == "--seconds" || a == "--config";
        if (!takesValue) {
            error = "unknown option '" + a + "'";
            return std::nullopt;
        }
        const auto given = cursor.Value();
        if (!given || given->empty()) {
            error = a + " needs a value";
            return std::nullopt;
        }
        const std::string& value = *given;
        if (a == "--port") {
            parsed.port = value;
        } else if (a == "--max-rate") {
            if (!IsRateText(value)) {
                error =
                    "--max-rate must be 9600, 19200, 38400, 57600 or 115200, not '" + value + "'";
                return std::nullopt;
            }
            parsed.maxRate = value;
        } else if (a == "--out") {
            parsed.out = value;
        } else if (a == "--frames") {
            parsed.frames = WholeNumber(value);
            if (!parsed.frames) {
                error = "--frames needs a whole number of at least 1, not '" + value + "'";
                return std::nullopt;
            }
        } else if (a == "--seconds") {
            parsed.seconds = PositiveSeconds(value);
            if (!parsed.seconds) {
                error = "--seconds needs a number of seconds above 0, not '" + value + "'";
                return std::nullopt;
            }
        } else {
            parsed.config = value;
        }
    }
    if (parsed.help) {
        return parsed;
    }
    if (parsed.frames && parsed.seconds) {
        error = "give either --frames or --seconds, not both";
        return std::nullopt;
    }
    if (parsed.port.empty()) {
        error = "--port DEVICE is required";
        return std::nullopt;
    }
    return parsed;
}

}  // namespace quelm::cli
