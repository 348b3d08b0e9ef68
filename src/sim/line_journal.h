// What crossed the simulated line, kept for tests and benchmarks to read once the simulator has
// stopped: every byte the device received with the rate the program sent it at, and how long
// the end of each frame waited for the next poll.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>

namespace quelm::sim {

class LineJournal {
  public:
    // An empty path keeps nothing of that kind. Throws std::runtime_error when a file cannot be
    // created.
    LineJournal(const std::filesystem::path& heard, const std::filesystem::path& frameWaits);

    // A byte from the program, sent at `rate` (0 for a rate off the ladder), read at `now`
    // seconds. Heard file: one line per byte, the character (printable ASCII, else \xHH), a
    // blank and the rate, e.g. "j 115200".
    void Heard(std::uint8_t byte, int rate, double now);

    // The device's last pending reply byte went out at `now`. Frame-waits file: for an "f" that
    // follows a reply to "f", the microseconds from that reply's last byte to the "f", one line
    // each.
    void ReplyOnLine(double now);

  private:
    std::ofstream heard_;
    std::ofstream frameWaits_;
    std::optional<double> replyEnd_;
    std::uint8_t lastCommand_ = 0;
};

}  // namespace quelm::sim
