// The command line's hold on one serial device: the stop signals caught for a clean stop, the Qt
// core application the port needs, the clock, COM1 mapped to the device and the status texts
// printed as they change. `quelm record` and `quelm selftest` both talk to the device this way.
#pragma once

#include <QCoreApplication>
#include <ostream>
#include <string>

#include "cli/cli_runtime.h"
#include "common/com_port_map.h"
#include "common/qt_serial_port.h"
#include "common/runtime.h"
#include "common/status_model.h"
#include "common/stop_signals.h"
#include "link/link_context.h"

namespace quelm::cli {

class CliLink {
  public:
    CliLink(const std::string& device, std::string maxRate, std::ostream& statusOut);
    CliLink(const CliLink&) = delete;
    CliLink& operator=(const CliLink&) = delete;

    // An interrupt ends the link's loops at their next step, with the port closed cleanly.
    StopSignals stopSignals;

  private:
    int qtArgc_ = 1;
    char qtName_[6] = "quelm";
    char* qtArgv_[2] = {qtName_, nullptr};
    QCoreApplication app_{qtArgc_, qtArgv_};
    SystemRuntime clock_;

  public:
    HookedRuntime rt{clock_};
    QtSerialPort port;
    ComPortMap map;
    StatusModel status;
    LinkContext ctx{port, rt, status, map};
};

}  // namespace quelm::cli
