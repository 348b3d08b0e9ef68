#include "cli/status_printer.h"

#include <array>
#include <ostream>
#include <string>

namespace quelm::cli {

void PrintStatusChanges(StatusModel& status, std::ostream& out) {
    // The indicator changes at every poll; only the texts are worth a line.
    status.onChange = [&status, &out, shown = std::array<std::string, 2>{}]() mutable {
        for (int panel = 1; panel <= 2; ++panel) {
            auto& last = shown[static_cast<std::size_t>(panel - 1)];
            const std::string& now = status.Panel(panel);
            if (now != last) {
                last = now;
                if (!now.empty()) {
                    out << now << std::endl;
                }
            }
        }
    };
}

}  // namespace quelm::cli
