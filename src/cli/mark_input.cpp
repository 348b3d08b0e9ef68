#include "cli/mark_input.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

namespace quelm::cli {

std::vector<std::string> MarkInput::Lines() {
    std::vector<std::string> lines;
    // A terminal is only read while we are its foreground job: a read from the background
    // would stop the recorder (SIGTTIN) in the middle of a recording.
    if (::isatty(fd_) == 1 && ::tcgetpgrp(fd_) != ::getpgrp()) {
        return lines;
    }
    // Only what is there already: a poll that does not wait, then one read it cannot block.
    while (!ended_) {
        pollfd p{fd_, POLLIN, 0};
        const int ready = ::poll(&p, 1, 0);
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            break;
        }
        char chunk[4096];
        ssize_t n = 0;  // an input in error (POLLERR, POLLNVAL) ends like a closed one
        if (p.revents & (POLLIN | POLLHUP)) {
            n = ::read(fd_, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) {
                continue;
            }
        }
        if (n <= 0) {
            // The end of the input, or an input that cannot be read (closed, a directory).
            ended_ = true;
            if (!partial_.empty()) {
                lines.push_back(std::move(partial_));
                partial_.clear();
            }
            break;
        }
        partial_.append(chunk, static_cast<std::size_t>(n));
        for (std::size_t end; (end = partial_.find('\n')) != std::string::npos;) {
            std::string line = partial_.substr(0, end);
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            lines.push_back(std::move(line));
            partial_.erase(0, end + 1);
        }
    }
    return lines;
}

}  // namespace quelm::cli
