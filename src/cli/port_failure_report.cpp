#include "cli/port_failure_report.h"

namespace quelm::cli {

std::string PortFailureText(const PortFailure& failure) {
    std::string text = failure.message();
    text += '\n';
    if (!failure.detail().empty()) {
        text += failure.detail() + '\n';
    }
    if (failure.kind() == SerialPortErrorKind::Permission) {
        text +=
            "Hint: serial devices belong to the 'dialout' group; add yourself with "
            "'sudo usermod -aG dialout $USER' and log in again. The port may also be held by "
            "another program, or a stale lock file /var/lock/LCK..<name> may be left from a "
            "program that was killed.\n";
    }
    return text;
}

}  // namespace quelm::cli
