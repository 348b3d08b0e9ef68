#include "cli/quelm_command.h"

#include <cstdio>
#include <string_view>

#include "cli/export_command.h"
#include "cli/record_command.h"
#include "cli/selftest_main.h"
#include "common/product_info.h"

namespace quelm::cli {
namespace {

constexpr const char* kUsage =
    "Usage: quelm COMMAND [options]\n"
    "The Quelm Dash command line: the dashboard's recording, export and self test without a\n"
    "window.\n"
    "\n"
    "Commands:\n"
    "  export LOG [--config INI]       convert a log (.qm1) to comma-separated text beside it\n"
    "  record --port DEVICE [...]      connect to the device and record a log\n"
    "  selftest --port DEVICE [--yes]  run the key-on self test and print the trouble codes\n"
    "\n"
    "An option's value follows it or an equals sign: --out run.qm1 or --out=run.qm1.\n"
    "\n"
    "  --help                          show this text; quelm COMMAND --help shows a command's\n"
    "                                  options\n"
    "  --version                       show the version\n";

}  // namespace

int Main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    const std::string_view sub = argv[1];
    if (sub == "--help" || sub == "-h") {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (sub == "export") {
        return ExportCommand(argc - 1, argv + 1, stdout, stderr);
    }
    if (sub == "--version") {
        std::puts(VersionLine("quelm").c_str());
        return 0;
    }
    if (sub == "record") {
        return RecordCommand(argc - 1, argv + 1);
    }
    if (sub == "selftest") {
        return SelftestCommand(argc - 1, argv + 1);
    }
    std::fprintf(stderr, "quelm: unknown command '%s' (see quelm --help)\n", argv[1]);
    return 2;
}

}  // namespace quelm::cli
