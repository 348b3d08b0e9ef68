#include "files/log_reader.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "files/log_format.h"

namespace quelm {

LogReader::LogReader(const std::filesystem::path& path) {
    if (path.empty()) {
        error_ = "No log file name given.";
        return;
    }
    // Never creates anything, and a FIFO or a device is refused instead of read for ever.
    RegularFile file = OpenRegularFile(path);
    if (!file.fd) {
        error_ = "Cannot read log file \"" + path.native() + "\": " + file.Reason() + ".";
        return;
    }
    fileBytes_ = file.bytes;
    fd_ = std::move(file.fd);
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
    if (!fd_ || first < 1 || first > count) {
        return 0;
    }
    const std::uint64_t wanted =
        std::min<std::uint64_t>(out.size() / kLogRecordBytes, count - first + 1);
    const std::size_t bytes = static_cast<std::size_t>(wanted * kLogRecordBytes);
    const auto offset = static_cast<off_t>(LogRecordOffset(first));
    std::size_t done = 0;
    while (done < bytes) {
        const ssize_t n =
            ::pread(fd_.get(), out.data() + done, bytes - done, offset + static_cast<off_t>(done));
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
