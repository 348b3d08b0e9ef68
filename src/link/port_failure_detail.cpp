#include "link/port_failure_detail.h"

namespace quelm {

std::string PortFailureDetail(const PortFailure& failure) {
    std::string text = failure.detail();
    if (failure.kind() == SerialPortErrorKind::Permission) {
        if (!text.empty()) {
            text += '\n';
        }
        text +=
            "Hint: serial devices belong to the 'dialout' group; add yourself with "
            "'sudo usermod -aG dialout $USER' and log in again. The port may also be held by "
            "another program, or a stale lock file /var/lock/LCK..<name> may be left from a "
            "program that was killed.";
    }
    return text;
}

}  // namespace quelm
