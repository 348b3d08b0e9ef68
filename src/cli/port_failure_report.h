// What the command-line tools say when the serial port cannot be used.
#pragma once

#include <string>

#include "link/connect_device.h"

namespace quelm::cli {

// "Serial Port Error.  Please reconfigure.", the port's own words on the next line and, for a
// permission error, how to get access. Ends with a line break.
std::string PortFailureText(const PortFailure& failure);

}  // namespace quelm::cli
