#include "cli/selftest_command.h"

#include <istream>
#include <ostream>
#include <utility>

#include "common/option_cursor.h"
#include "tools/link_self_test_device.h"
#include "tools/self_test.h"

namespace quelm::cli {

std::string SelftestUsage() {
    return "Usage: quelm selftest --port DEVICE [--yes]\n"
           "Runs the engine computer's key-on engine-off self test through the device on "
           "DEVICE\n(as COM1) and prints each trouble code line, then \"Self Test Complete\".\n"
           "  --yes   skip the ignition prompt\n";
}

std::optional<SelftestArgs> ParseSelftestArgs(std::span<const std::string> args,
                                              std::string& error) {
    SelftestArgs parsed;
    OptionCursor cursor(args);
    while (cursor.Next()) {
        const std::string& a = cursor.Name();
        if (a == "--yes" || a == "--help" || a == "-h") {
            if (cursor.HasAttachedValue()) {
                error = a + " takes no value";
                return std::nullopt;
            }
            (a == "--yes" ? parsed.yes : parsed.help) = true;
        } else if (a == "--port") {
            const auto value = cursor.Value();
            if (!value || value->empty()) {
                error = "--port needs a device path";
                return std::nullopt;
            }
            parsed.port = *value;
        } else {
            error = "unknown option '" + a + "'";
            return std::nullopt;
        }
    }
    if (parsed.port.empty() && !parsed.help) {
        error = "--port DEVICE is required";
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
