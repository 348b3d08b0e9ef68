// Files the user names (logs, MAF curves, ports.conf) are read only when they are regular files:
// opening a FIFO waits for a writer that may never come, and a device such as /dev/zero never
// ends. Outputs are replaced only when they are regular files someone may write.
#pragma once

#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace quelm {

// Owns one open file descriptor.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd();

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now and returns 0 or the error close() reports (a delayed write error counts).
    int Close();

  private:
    int fd_ = -1;
};

enum class FileFault { None, Missing, NotRegular, TooLarge, Unreadable };

inline constexpr std::uint64_t kNoSizeLimit = std::numeric_limits<std::uint64_t>::max();

struct RegularFile {
    UniqueFd fd;
    // The size when it was opened.
    std::uint64_t bytes = 0;
    FileFault fault = FileFault::None;
    // The system's error for Missing and Unreadable (EISDIR for a folder).
    int error = 0;
    std::uint64_t limit = kNoSizeLimit;

    // Why the file cannot be read, for a message: "No such file or directory", "it is not a
    // regular file", "it is larger than 1048576 bytes".
    std::string Reason() const;
};

// Opens `path` for reading. Anything but a regular file is refused before it is opened (a FIFO
// would block, opening a device may act on it) and again on the descriptor, in case the name
// changed in between; the open itself never blocks. A file larger than `maxBytes` is refused.
[[nodiscard]] RegularFile OpenRegularFile(const std::filesystem::path& path,
                                          std::uint64_t maxBytes = kNoSizeLimit);

struct RegularFileText {
    std::string text;
    FileFault fault = FileFault::None;
    int error = 0;
    std::uint64_t limit = kNoSizeLimit;
    std::string Reason() const;
};

// The whole of a regular file of at most `maxBytes`. The limit holds for what is read, too: a
// file that grows past it, or reports a size of 0 and holds more, is refused as TooLarge.
[[nodiscard]] RegularFileText ReadRegularFile(const std::filesystem::path& path,
                                              std::uint64_t maxBytes);

// Why the entry at `path` must not be replaced by an output, or nothing (also when there is no
// entry). Only regular files are replaced, and only while their mode bits let someone write
// them: a file made read-only is kept even from root, who could otherwise write anything.
[[nodiscard]] std::optional<std::string> ReplaceRefusal(const std::filesystem::path& path);

// Every byte of `text` out through `fd`, past interrupted and partial writes; 0 or the error
// (ENOSPC for a write that makes no progress); errno is set to it as well.
[[nodiscard]] int WriteAll(int fd, std::string_view text);

}  // namespace quelm
