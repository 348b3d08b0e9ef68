// `quelm selftest` on a real serial device.
#pragma once

namespace quelm::cli {

// argv[0] is "selftest"; the options follow. Returns the exit status.
int SelftestCommand(int argc, char** argv);

}  // namespace quelm::cli
