#include "sim/line_journal.h"

#include <cstdio>
#include <stdexcept>

namespace quelm::sim {

namespace {

// The file is left unflushed per line: a write per poll would slow the device down, and the
// stream is written out when the simulator stops.
void OpenFor(std::ofstream& file, const std::filesystem::path& path) {
    if (path.empty()) {
        return;
    }
    file.open(path, std::ios::trunc);
    if (!file) {
        throw std::runtime_error("cannot create " + path.string());
    }
}

}  // namespace

LineJournal::LineJournal(const std::filesystem::path& heard,
                         const std::filesystem::path& frameWaits) {
    OpenFor(heard_, heard);
    OpenFor(frameWaits_, frameWaits);
}

void LineJournal::Heard(std::uint8_t byte, int rate, double now) {
    if (heard_.is_open()) {
        if (byte > 0x20 && byte < 0x7F) {
            heard_ << static_cast<char>(byte);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", byte);
            heard_ << hex;
        }
        heard_ << ' ' << rate << '\n';
    }
    if (frameWaits_.is_open() && byte == 'f' && lastCommand_ == 'f' && replyEnd_) {
        frameWaits_ << static_cast<long>((now - *replyEnd_) * 1e6) << '\n';
    }
    lastCommand_ = byte;
    replyEnd_.reset();
}

void LineJournal::ReplyOnLine(double now) {
    replyEnd_ = now;
}

}  // namespace quelm::sim
