#include "cli/selftest_main.h"

#include <QCoreApplication>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_link.h"
#include "cli/port_failure_report.h"
#include "cli/selftest_command.h"
#include "cli/status_printer.h"
#include "common/app_paths.h"
#include "common/com_port_map.h"
#include "common/qt_serial_port.h"
#include "files/settings_file.h"
#include "link/connect_device.h"
#include "tools/link_self_test_device.h"

namespace quelm::cli {

int SelftestCommand(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string error;
    const auto parsed = ParseSelftestArgs(args, error);
    if (!parsed) {
        std::cerr << "quelm selftest: " << error << "\n(see quelm selftest --help)\n";
        return 2;
    }
    if (parsed->help) {
        std::cout << SelftestUsage();
        return 0;
    }

    // Asked before the stop signals are held, so that Ctrl-C at the prompt still ends the
    // program at once; nothing is open yet.
    SelftestArgs run = *parsed;
    if (!run.yes) {
        if (!AskForIgnitionCycle(std::cin, std::cerr)) {
            return 1;
        }
        run.yes = true;
    }

    const std::string rate = ReadIniValue(SettingsFile(SettingsPath()), "SERIAL", "MAXBAUDRATE");
    CliLink link(parsed->port, rate.empty() ? "115200" : rate, std::cerr);
    LinkContext& ctx = link.ctx;

    LinkSelfTestDevice device(ctx, UnansweredConnect::Refuse);
    int exitCode = 0;
    try {
        exitCode = RunSelftest(run, device, link.rt, std::cin, std::cout, std::cerr);
    } catch (const PortFailure& failure) {
        std::cerr << PortFailureText(failure);  // no quelmom.ini: see quelm record
        return 1;
    } catch (const SerialPortError& e) {
        std::cerr << "quelm selftest: the serial port failed during the test: " << e.what() << "\n";
        return 1;
    }
    link.port.Close();
    if (link.stopSignals.Requested()) {
        std::cerr << "quelm selftest: interrupted\n";
        return 1;
    }
    return exitCode;
}

}  // namespace quelm::cli
