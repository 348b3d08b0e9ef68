#include "files/log_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "files/log_format.h"

namespace quelm {
namespace {

std::string Failure(const std::filesystem::path& path, int error) {
    std::string text = "Cannot read log file \"";
    text += path.native();
    text += "\": ";
    text += std::strerror(error);
    text += ".";
    return text;
}

}  // namespace

LogReader::LogReader(const std::filesystem::path& path) {
    if (path.empty()) {
        error_ = "No log file name given.";
        return;
    }
    // O_RDONLY without O_CREAT: opening a log never leaves a file behind.
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error_ = Failure(path, errno);
        return;
    }
    struct stat st {};
    if (::fstat(fd_, &st) != 0) {
        error_ = Failure(path, errno);
        Close();
        return;
    }
    if (S_ISDIR(st.st_mode)) {
        error_ = Failure(path, EISDIR);
        Close();
        return;
    }
    fileBytes_ = static_cast<std::uint64_t>(st.st_size);
}

LogReader::LogReader(LogReader&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)),
      fileBytes_(other.fileBytes_),
      error_(std::move(other.error_)) {}

LogReader& LogReader::operator=(LogReader&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        fileBytes_ = other.fileBytes_;
        error_ = std::move(other.error_);
    }
    return *this;
}

LogReader::~LogReader() {
    Close();
}

void LogReader::Close() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

std::uint64_t LogReader::RecordCount() const {
    return LogRecordCount(fileBytes_);
}

bool LogReader::ReadRecord(std::uint64_t n, FrameBuffer& buffer) {
    std::array<std::uint8_t, kLogRecordBytes> record;
    if (ReadRecords(n, record) != 1) {
        return false;
    }
    std::copy_n(record.begin(), buffer.size(), buffer.begin());
    return true;
}

std::size_t LogReader::ReadRecords(std::uint64_t first, std::span<std::uint8_t> out) {
    const std::uint64_t count = RecordCount();
    if (fd_ < 0 || first < 1 || first > count) {
        return 0;
    }
    const std::uint64_t wanted =
        std::min<std::uint64_t>(out.size() / kLogRecordBytes, count - first + 1);
    const std::size_t bytes = static_cast<std::size_t>(wanted * kLogRecordBytes);
    const auto offset = static_cast<off_t>(LogRecordOffset(first));
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n =
            ::pread(fd_, out.data() + done, bytes - done, offset + static_cast<off_t>(done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            error_ = "Cannot read log file: ";
            error_ += std::strerror(errno);
            error_ += ".";
            return 0;
        }
        if (n == 0) {
            break;  // the file shrank since it was opened
        }
        done += static_cast<std::size_t>(n);
    }
    return done / kLogRecordBytes;
}

}  // namespace quelm
