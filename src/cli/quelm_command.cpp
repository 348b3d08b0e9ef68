#include "cli/quelm_command.h"

#include <cstdio>
#include <string_view>

#include "cli/export_command.h"

namespace quelm::cli {

int Main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: quelm export|record|selftest ...\n", stderr);
        return 2;
    }
    const std::string_view sub = argv[1];
    if (sub == "export") {
        return ExportCommand(argc - 1, argv + 1, stdout, stderr);
    }
    if (sub == "--version") {
        std::puts("quelm " QUELM_VERSION_TEXT);
        return 0;
    }
    std::fprintf(stderr, "quelm: unknown command '%s'\n", argv[1]);
    return 2;
}

}  // namespace quelm::cli
