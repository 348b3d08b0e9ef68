#include "files/log_writer.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "files/log_format.h"
#include "files/log_marks.h"

namespace quelm {
namespace {

std::string Failure(const std::filesystem::path& path, int error) {
    std::string text = "Cannot write log file \"";
    text += path.native();
    text += "\": ";
    text += std::strerror(error);
    text += ".";
    return text;
}

// Closes the descriptor on every path out of a function.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    int get() const { return fd_; }
    // Closes now and reports the error close() gives (a delayed write error).
    int Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0 ? 0 : errno;
    }

  private:
    int fd_;
};

}  // namespace

bool LogFileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

std::optional<std::string> WriteLogRecord(const std::filesystem::path& path,
                                          std::uint64_t recordNumber, const FrameBuffer& buffer) {
    if (path.empty()) {
        return std::string("No log file name given.");
    }
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        return Failure(path, errno);
    }
    const LogRecord record = MakeLogRecord(buffer);
    const auto offset = static_cast<off_t>(LogRecordOffset(recordNumber));
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t n = ::pwrite(fd.get(), record.data() + done, record.size() - done,
                                   offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            if (done > 0) {
                // Cut our partial record off; the records before it stay whole. A device such
                // as /dev/full cannot be cut, and has nothing to cut.
                [[maybe_unused]] const int ignored = ::ftruncate(fd.get(), offset);
            }
            return Failure(path, error);
        }
        done += static_cast<std::size_t>(n);
    }
    if (const int error = fd.Close(); error != 0) {
        return Failure(path, error);
    }
    return std::nullopt;
}

std::optional<std::string> LogRecorder::StartRecording(const std::filesystem::path& path,
                                                       double now) {
    if (path.empty()) {
        return std::string("No log file name given.  Enter a log file name before recording.");
    }
    Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (fd.get() < 0) {
        return Failure(path, errno);
    }
    if (const int error = fd.Close(); error != 0) {
        return Failure(path, error);
    }
    // The markers of the recording this one replaces would land on the new log.
    std::error_code ec;
    if (std::filesystem::remove(MarksPath(path), ec); ec) {
        return "Cannot remove the old markers \"" + MarksPath(path).string() +
               "\": " + ec.message() + ".";
    }
    path_ = path;
    recording_ = true;
    recordNumber_ = 1;
    recordStartTime_ = now;
    return std::nullopt;
}

LogWriteResult LogRecorder::WriteLogRecord(FrameBuffer& buffer, double now) {
    LogWriteResult result;
    result.elapsed = now - recordStartTime_;
    if (!recording_) {
        result.message = "Not recording.";
        result.recordNumber = recordNumber_;
        return result;
    }
    const std::optional<TimeStamp> stamp = EncodeTimeStamp(result.elapsed);
    if (!stamp) {
        recording_ = false;
        result.kind = LogWriteResult::Kind::LimitReached;
        result.message = kLogTimeLimitMessage;
    } else {
        std::copy(stamp->begin(), stamp->end(), buffer.begin() + kTimeStampOffset);
        if (auto error = quelm::WriteLogRecord(path_, recordNumber_, buffer)) {
            recording_ = false;
            result.message = *error + "  Logging Stopped.";
        } else {
            ++recordNumber_;
            result.kind = LogWriteResult::Kind::Written;
        }
    }
    result.recordNumber = recordNumber_;
    result.fileSizeKb = recordNumber_ * kLogRecordBytes / 1000;
    return result;
}

}  // namespace quelm
