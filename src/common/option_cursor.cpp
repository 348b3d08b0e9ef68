#include "common/option_cursor.h"

#include <utility>

namespace quelm {

bool OptionCursor::Next() {
    attached_.reset();
    if (!optionsEnded_ && next_ < args_.size() && args_[next_] == "--") {
        optionsEnded_ = true;
        ++next_;
    }
    if (next_ >= args_.size()) {
        return false;
    }
    const std::string& arg = args_[next_++];
    const std::size_t eq = arg.find('=');
    if (!optionsEnded_ && arg.starts_with("--") && eq != std::string::npos) {
        name_ = arg.substr(0, eq);
        attached_ = arg.substr(eq + 1);
    } else {
        name_ = arg;
    }
    return true;
}

std::optional<std::string> OptionCursor::Value() {
    if (attached_) {
        return std::exchange(attached_, std::nullopt);
    }
    if (next_ >= args_.size()) {
        return std::nullopt;
    }
    return args_[next_++];
}

}  // namespace quelm
