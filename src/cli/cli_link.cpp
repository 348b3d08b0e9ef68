#include "cli/cli_link.h"

#include "cli/status_printer.h"

namespace quelm::cli {

CliLink::CliLink(const std::string& device, std::string maxRate, std::ostream& statusOut) {
    rt.interrupted = [this] { return stopSignals.Pending(); };
    map.SetOverride(1, device);
    PrintStatusChanges(status, statusOut);
    ctx.ComPort = 1;
    ctx.MaxBaudRate = std::move(maxRate);
}

}  // namespace quelm::cli
