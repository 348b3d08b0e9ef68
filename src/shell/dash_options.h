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
    int scopes = 0;          // scope windows to open at start
    // Appends each statistics tick ("fps total checksum timeouts") to this file.
    std::filesystem::path statsLog;
    bool help = false;
    bool version = false;
};

// The options, or a one-line message for an unknown option or a missing or bad value.
std::variant<DashOptions, std::string> ParseDashOptions(const std::vector<std::string>& args);
std::string DashUsage();

}  // namespace quelm
