#include "cli/selftest_command.h"

#include <istream>
#include <ostream>
#include <utility>

#include "cli/cli_self_test_device.h"
#include "tools/self_test.h"

namespace quelm::cli {

std::optional<SelftestArgs> ParseSelftestArgs(std::span<const std::string> args,
                                              std::string& error) {
    SelftestArgs parsed;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--yes") {
            parsed.yes = true;
        } else if (a == "--port") {
            if (i + 1 >= args.size() || args[i + 1].empty()) {
                error = "--port needs a device path";
                return std::nullopt;
            }
            parsed.port = args[++i];
        } else {
            error = "unknown option '" + a + "'";
            return std::nullopt;
        }
    }
    if (parsed.port.empty()) {
        error = "usage: quelm selftest --port DEVICE [--yes]";
        return std::nullopt;
    }
    return parsed;
}

bool AskForIgnitionCycle(std::istream& in, std::ostream& err) {
    err << "Turn off ignition, wait 3 seconds, turn on ignition, and press Enter." << std::endl;
    std::string answer;
    if (!std::getline(in, answer)) {
        err << "quelm selftest: no answer, test not started" << std::endl;
        return false;
    }
    return true;
}

int RunSelftest(const SelftestArgs& args, SelfTestDevice& device, Runtime& rt, std::istream& in,
                std::ostream& out, std::ostream& err) {
    if (!args.yes && !AskForIgnitionCycle(in, err)) {
        return 1;
    }
    std::string lastStatus;
    SelfTestObserver observer;
    observer.status = [&](std::string_view text) {
        lastStatus = text;
        if (text != kStatusComplete) {
            err << text << std::endl;
        }
    };
    observer.codeLine = [&](const std::string& line) { out << line << std::endl; };
    SelfTest test(device, rt, std::move(observer));
    try {
        test.Run();
    } catch (const DeviceNotReady& e) {
        err << "quelm selftest: " << e.what() << "; the test was not run" << std::endl;
        return 1;
    }
    // Interrupted, the test did not complete, whatever the last status said.
    if (rt.Aborting()) {
        return 1;
    }
    out << lastStatus << std::endl;
    return 0;
}

}  // namespace quelm::cli
