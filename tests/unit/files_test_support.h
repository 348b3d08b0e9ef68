// Scratch folders, file contents and generated logs for the file tests.
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
#include <vector>

#include "common/records.h"
#include "decode/frame_decoder.h"
#include "files/log_format.h"

namespace quelm::testing {

// A fresh folder under the system's temporary folder, removed with everything in it.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "quelm-log-XXXXXX");
        path_ = ::mkdtemp(pattern.data());
    }
    ~ScratchDir() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

inline std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline std::string Slurp(const std::filesystem::path& path) {
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

inline void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// A sealed frame whose first payload byte tells the records apart, stamped `hundredths`.
inline FrameBuffer StampedFrame(std::uint8_t tag, std::uint32_t hundredths) {
    FrameBuffer b{};
    b[0] = tag;
    b[1] = static_cast<std::uint8_t>(tag * 7);
    SealFrame(b);
    b[38] = static_cast<std::uint8_t>(hundredths >> 16);
    b[39] = static_cast<std::uint8_t>(hundredths >> 8);
    b[40] = static_cast<std::uint8_t>(hundredths);
    return b;
}

inline void AppendRecord(std::vector<std::uint8_t>& log, const FrameBuffer& frame) {
    const LogRecord r = MakeLogRecord(frame);
    log.insert(log.end(), r.begin(), r.end());
}

// Runs `body` in a child process (for process-wide limits such as a file size limit or a
// changed user) and returns its exit status, or -1 when it did not exit normally.
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
