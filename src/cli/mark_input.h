// Marker lines typed or piped into `quelm record` while it records: read whenever they are
// there, never waited for.
#pragma once

#include <string>
#include <vector>

namespace quelm::cli {

class MarkInput {
  public:
    // Reads from `fd` (standard input); the descriptor stays as it is (blocking or not).
    explicit MarkInput(int fd) : fd_(fd) {}

    // The whole lines that have arrived since the last call, without their line ends. After
    // the end of the input, a last line without a line end counts too; then nothing more.
    std::vector<std::string> Lines();

  private:
    int fd_;
    bool ended_ = false;
    std::string partial_;
};

}  // namespace quelm::cli
