// The command line of `quelm record`.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace quelm::cli {

struct RecordArgs {
    std::string port;               // device path; COM1 is mapped to it
    std::string maxRate;            // "9600" .. "115200"; empty: MAXBAUDRATE of the settings file
    std::string out;                // the log; empty: a dated name in the logs folder
    std::optional<long> frames;     // stop after this many good frames
    std::optional<double> seconds;  // stop after this many seconds of polling
    std::string config;             // settings file instead of the default
    bool json = false;
    bool overwrite = false;  // replace an existing log instead of refusing
    bool help = false;
};

// Arguments after "record". On failure returns nothing and sets `error` to a one-line message.
std::optional<RecordArgs> ParseRecordArgs(std::span<const std::string> args, std::string& error);

std::string RecordUsage();

}  // namespace quelm::cli
