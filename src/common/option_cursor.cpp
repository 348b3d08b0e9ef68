#include "common/option_cursor.h"

#include <utility>

namespace quelm {

bool OptionCursor::Next() {
    if (next_ >= args_.size()) {
        return false;
    }
    const std::string& arg = args_[next_++];
    attached_.reset();
    const std::size_t eq = arg.find('=');
    if (arg.starts_with("--") && eq != std::string::npos) {
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
