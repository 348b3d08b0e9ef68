// `quelm selftest --port DEVICE [--yes]`: the key-on self test without a window. Prints each
// code line as the window's code list shows it, then "Self Test Complete".
#pragma once

#include <iosfwd>
#include <optional>
#include <span>
#include <string>

#include "common/runtime.h"
#include "tools/self_test_device.h"

namespace quelm::cli {

struct SelftestArgs {
    std::string port;
    bool yes = false;  // skip the ignition prompt
    bool help = false;
};

std::string SelftestUsage();

// Arguments after "selftest". On failure returns nothing and sets `error` to a one-line message.
std::optional<SelftestArgs> ParseSelftestArgs(std::span<const std::string> args,
                                              std::string& error);

// The ignition prompt on `err`, answered by a line on `in`. False (with a message) at the end of
// input: the test must not start.
bool AskForIgnitionCycle(std::istream& in, std::ostream& err);

// Runs the test on an open device. Code lines and the final text go to `out`, the prompt and
// progress texts to `err`. Returns the exit code: 0 when the test ran to its end, 1 when the
// prompt was never answered, the connection ended in "COM Retry" (DeviceNotReady) or the run was
// interrupted; only a test that ran to its end prints "Self Test Complete".
int RunSelftest(const SelftestArgs& args, SelfTestDevice& device, Runtime& rt, std::istream& in,
                std::ostream& out, std::ostream& err);

}  // namespace quelm::cli
