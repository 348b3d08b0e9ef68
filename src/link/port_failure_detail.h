// Why the serial port could not be used, in words a user can act on. The dashboard shows it as
// the detail of its port error box; the command-line tools print it under the message.
#pragma once

#include <string>

#include "link/connect_device.h"

namespace quelm {

// The port's own words and, for a permission error, how to get access. Empty when the port said
// nothing and the error was not about permission. No line break at the end.
std::string PortFailureDetail(const PortFailure& failure);

}  // namespace quelm
