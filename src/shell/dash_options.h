// The dashboard's command line.
#pragma once

#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "sim/scenario.h"

namespace quelm {

struct DashOptions {
    std::filesystem::path config;  // empty: QUELM_CONFIG, then the XDG location
    std::string port;              // the device the configured COM number opens
    bool simulate = false;         // the built-in device simulator behind the COM port
    sim::Scenario scenario = sim::Scenario::Idle;
    bool connect = false;    // press Connect once the window is up
    bool minimized = false;  // start with the dashboard minimised
    bool noLayout = false;   // do not open the windows of the last exit again
    int scopes = 0;          // scope windows to open at start
    // A log to show in the log viewer once the window is up.
    std::filesystem::path view;
    // Appends each statistics tick ("fps total checksum timeouts") to this file.
    std::filesystem::path statsLog;
    // Menu items (by object name, e.g. mnuLogging_Control) to choose once the window is up, in
    // order. Not in the usage text: it serves the screenshot script and checks by eye.
    std::vector<std::string> open;
    bool help = false;
    bool version = false;
};

// The options, or a one-line message for an unknown option or a missing or bad value.
std::variant<DashOptions, std::string> ParseDashOptions(const std::vector<std::string>& args);
std::string DashUsage();

}  // namespace quelm
