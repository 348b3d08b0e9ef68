#include "cli/port_failure_report.h"

#include "link/port_failure_detail.h"

namespace quelm::cli {

std::string PortFailureText(const PortFailure& failure) {
    std::string text = failure.message();
    text += '\n';
    if (const std::string detail = PortFailureDetail(failure); !detail.empty()) {
        text += detail + '\n';
    }
    return text;
}

}  // namespace quelm::cli
