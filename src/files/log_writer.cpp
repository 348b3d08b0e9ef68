#include "files/log_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "files/log_format.h"
#include "files/log_marks.h"
#include "files/regular_file.h"

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

std::string NoLongerOurs(const std::filesystem::path& path, const char* what) {
    std::string text = "Log file \"";
    text += path.native();
    text += "\" ";
    text += what;
    text += " while recording.";
    return text;
}

// The 48 bytes of record `recordNumber` at their place in the file open on `fd`, or the error.
// A write that only partly gets through is cut back to the records before it.
int WriteRecordAt(int fd, std::uint64_t recordNumber, const FrameBuffer& buffer) {
    const LogRecord record = MakeLogRecord(buffer);
    const auto offset = static_cast<off_t>(LogRecordOffset(recordNumber));
    std::size_t done = 0;
    while (done < record.size()) {
        const ssize_t n = ::pwrite(fd, record.data() + done, record.size() - done,
                                   offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            const int error = n < 0 ? errno : ENOSPC;
            if (done > 0) {
                // Cut our partial record off; the records before it stay whole.
                [[maybe_unused]] const int ignored = ::ftruncate(fd, offset);
            }
            return error;
        }
        done += static_cast<std::size_t>(n);
    }
    return 0;
}

}  // namespace

bool LogFileExists(const std::filesystem::path& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

std::optional<std::string> LogRecorder::StartRecording(const std::filesystem::path& path,
                                                       double now) {
    if (path.empty()) {
        return std::string("No log file name given.  Enter a log file name before recording.");
    }
    if (const auto refusal = ReplaceRefusal(path)) {
        return "Cannot record into \"" + path.native() + "\": " + *refusal + ".";
    }
    // Without blocking: should a FIFO take the name after the check, the open does not wait.
    UniqueFd fd(::open(path.c_str(),
                       O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0644));
    if (!fd) {
        return Failure(path, errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return Failure(path, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return "Cannot record into \"" + path.native() + "\": it is not a regular file.";
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
    device_ = st.st_dev;
    inode_ = st.st_ino;
    recording_ = true;
    recordNumber_ = 1;
    recordStartTime_ = now;
    return std::nullopt;
}

std::optional<std::string> LogRecorder::AppendRecord(const FrameBuffer& buffer) const {
    UniqueFd fd(::open(path_.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        return errno == ENOENT || errno == ENXIO ? NoLongerOurs(path_, "was moved or deleted")
                                                 : Failure(path_, errno);
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0) {
        return Failure(path_, errno);
    }
    if (st.st_dev != device_ || st.st_ino != inode_) {
        return NoLongerOurs(path_, "was replaced by another file");
    }
    if (static_cast<std::uint64_t>(st.st_size) < LogRecordOffset(recordNumber_)) {
        return NoLongerOurs(path_, "was cut short");
    }
    if (const int error = WriteRecordAt(fd.get(), recordNumber_, buffer); error != 0) {
        return Failure(path_, error);
    }
    if (const int error = fd.Close(); error != 0) {
        return Failure(path_, error);
    }
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
        if (auto error = AppendRecord(buffer)) {
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
