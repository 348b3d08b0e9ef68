// Scratch folders, file contents and generated logs, for the unit and the window tests.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>

#include "common/records.h"
#include "decode/frame_decoder.h"
#include "files/log_format.h"

namespace quelm::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quelm-test-XXXXXX");
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

// The whole file; empty when it is no regular file or cannot be read.
inline std::string Slurp(const std::filesystem::path& path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        return {};
    }
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void Put(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

inline std::set<std::string> Names(const std::filesystem::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        names.insert(entry.path().filename().string());
    }
    return names;
}

// A sealed frame stamped `hundredths`, whose MAF word (bytes 0..1) changes with it, so that
// records tell apart and convert to different values.
inline FrameBuffer StampedFrame(std::uint32_t hundredths) {
    FrameBuffer b{};
    b[0] = static_cast<std::uint8_t>(hundredths);
    b[1] = static_cast<std::uint8_t>(hundredths >> 8);
    SealFrame(b);
    b[38] = static_cast<std::uint8_t>(hundredths >> 16);
    b[39] = static_cast<std::uint8_t>(hundredths >> 8);
    b[40] = static_cast<std::uint8_t>(hundredths);
    return b;
}

inline std::string RecordBytes(const FrameBuffer& frame) {
    const LogRecord r = MakeLogRecord(frame);
    return {r.begin(), r.end()};
}

using StampOf = std::function<std::uint32_t(std::uint32_t)>;

// A log of records 1..count, record n stamped stamp(n) hundredths.
inline std::string LogBytes(
    std::uint32_t count, const StampOf& stamp = [](std::uint32_t n) { return n; }) {
    std::string log;
    for (std::uint32_t n = 1; n <= count; ++n) {
        log += RecordBytes(StampedFrame(stamp(n)));
    }
    return log;
}

// The same on disk, followed by `trailing` stray bytes (a partial record).
inline void WriteLog(
    const std::filesystem::path& path, std::uint32_t count,
    const StampOf& stamp = [](std::uint32_t n) { return n; }, std::size_t trailing = 0) {
    Put(path, LogBytes(count, stamp) + std::string(trailing, '\x55'));
}

// Runs `body` in a child process (for process-wide limits such as a file size limit) and
// returns its exit status, or -1 when it did not exit normally.
inline int RunInChild(const std::function<int()>& body) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace quelm::testing
