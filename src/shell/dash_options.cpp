#include "shell/dash_options.h"

#include <cstdlib>

#include "common/option_cursor.h"

namespace quelm {

std::string DashUsage() {
    return R"(Usage: quelm-dash [options]
The Quelm dashboard: live engine gauges, logging, scopes and tools.
An option's value follows it or an equals sign: --port /dev/ttyUSB0 or --port=/dev/ttyUSB0.

  --config INI       settings file to use (default: $QUELM_CONFIG, else
                     $XDG_CONFIG_HOME/quelm/Quelm.ini)
  --port DEVICE      open DEVICE for the configured COM port (e.g. /dev/ttyUSB0)
  --simulate         run the built-in device simulator behind the configured COM port
                     (COM1 when none is configured)
  --scenario NAME    engine the simulator shows: idle, cruise or wot (default idle)
  --connect          press Connect as soon as the window is up
  --minimized        start with the dashboard minimised
  --no-layout        do not open the windows of the last exit again where they were
  --scopes N         open N scope windows (1 to 10) at start
  --view LOG         open the log viewer showing LOG (.qm1)
  --stats-log FILE   append each second's link statistics to FILE: frames per second,
                     total frames, checksum errors, timeout errors
  --help             show this text
  --version          show the version
)";
}

std::variant<DashOptions, std::string> ParseDashOptions(const std::vector<std::string>& args) {
    DashOptions opts;
    bool scenarioGiven = false;
    OptionCursor cursor(args);
    while (cursor.Next()) {
        const std::string& opt = cursor.Name();
        bool* flag = opt == "--help" || opt == "-h" ? &opts.help
                     : opt == "--version"           ? &opts.version
                     : opt == "--simulate"          ? &opts.simulate
                     : opt == "--connect"           ? &opts.connect
                     : opt == "--minimized"         ? &opts.minimized
                     : opt == "--no-layout"         ? &opts.noLayout
                                                    : nullptr;
        if (flag != nullptr) {
            if (cursor.HasAttachedValue()) {
                return opt + " takes no value";
            }
            *flag = true;
        } else if (opt == "--scopes") {
            const auto v = cursor.Value();
            const int n = v ? std::atoi(v->c_str()) : 0;
            if (!v || n < 1 || n > 10 || std::to_string(n) != *v) {
                return "--scopes needs a number from 1 to 10";
            }
            opts.scopes = n;
        } else if (opt == "--config" || opt == "--port" || opt == "--scenario" ||
                   opt == "--stats-log" || opt == "--open" || opt == "--view") {
            const auto v = cursor.Value();
            if (!v || v->empty()) {
                return opt + " needs a value";
            }
            if (opt == "--config") {
                opts.config = *v;
            } else if (opt == "--port") {
                opts.port = *v;
            } else if (opt == "--stats-log") {
                opts.statsLog = *v;
            } else if (opt == "--view") {
                opts.view = *v;
            } else if (opt == "--open") {
                opts.open.push_back(*v);
            } else {
                const auto s = sim::ParseScenario(*v);
                if (!s) {
                    return "unknown scenario: " + *v + " (idle, cruise or wot)";
                }
                opts.scenario = *s;
                scenarioGiven = true;
            }
        } else {
            return "unknown option: " + opt;
        }
    }
    if (opts.simulate && !opts.port.empty()) {
        return "--port and --simulate exclude each other";
    }
    if (scenarioGiven && !opts.simulate) {
        return "--scenario needs --simulate";
    }
    return opts;
}

}  // namespace quelm
