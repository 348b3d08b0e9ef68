#include "files/log_activity.h"

namespace quelm {

std::optional<std::string> LogActivity::Begin(LogJob job) {
    if (current_ == LogJob::None || current_ == job) {
        current_ = job;
        return std::nullopt;
    }
    return std::string(current_ == LogJob::Export ? kExportRunningMessage
                                                  : kPlaybackRunningMessage);
}

void LogActivity::End(LogJob job) {
    if (current_ == job) {
        current_ = LogJob::None;
    }
}

}  // namespace quelm
