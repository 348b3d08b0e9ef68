#include "cli/cli_link.h"

#include "cli/status_printer.h"
#include "common/time_slice.h"

namespace quelm::cli {

CliLink::CliLink(const std::string& device, std::string maxRate, std::ostream& statusOut) {
    rt.interrupted = [this] { return stopSignals.Requested(); };
    map.SetOverride(1, device);
    PrintStatusChanges(status, statusOut);
    ctx.ComPort = 1;
    ctx.MaxBaudRate = std::move(maxRate);
    // Wake-ups on time matter more than throughput here; without short slices the loop only
    // polls a little slower on a busy machine.
    [[maybe_unused]] const bool shortSlices = RequestShortTimeSlices();
}

}  // namespace quelm::cli
