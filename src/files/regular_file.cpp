#include "files/regular_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace quelm {
namespace {

std::string Reason(FileFault fault, int error, std::uint64_t limit) {
    switch (fault) {
        case FileFault::None:
            break;
        case FileFault::NotRegular:
            return error == EISDIR ? std::strerror(EISDIR) : "it is not a regular file";
        case FileFault::TooLarge:
            return "it is larger than " + std::to_string(limit) + " bytes";
        case FileFault::Missing:
        case FileFault::Unreadable:
            return std::strerror(error);
    }
    return {};
}

FileFault FaultOf(int error) {
    return error == ENOENT || error == ENOTDIR ? FileFault::Missing : FileFault::Unreadable;
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Close();
        fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
}

UniqueFd::~UniqueFd() {
    Close();
}

int UniqueFd::Close() {
    if (fd_ < 0) {
        return 0;
    }
    return ::close(std::exchange(fd_, -1)) == 0 ? 0 : errno;
}

std::string RegularFile::Reason() const {
    return quelm::Reason(fault, error, limit);
}

std::string RegularFileText::Reason() const {
    return quelm::Reason(fault, error, limit);
}

RegularFile OpenRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
    RegularFile file;
    file.limit = maxBytes;
    const auto refuse = [&file](FileFault fault, int error) {
        file.fd = UniqueFd();
        file.fault = fault;
        file.error = error;
        return std::move(file);
    };
    if (path.empty()) {
        return refuse(FileFault::Missing, ENOENT);
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        return refuse(FaultOf(errno), errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return refuse(FileFault::NotRegular, S_ISDIR(st.st_mode) ? EISDIR : 0);
    }
    file.fd = UniqueFd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!file.fd) {
        return refuse(FaultOf(errno), errno);
    }
    if (::fstat(file.fd.get(), &st) != 0) {
        return refuse(FileFault::Unreadable, errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return refuse(FileFault::NotRegular, S_ISDIR(st.st_mode) ? EISDIR : 0);
    }
    file.bytes = static_cast<std::uint64_t>(st.st_size);
    if (file.bytes > maxBytes) {
        return refuse(FileFault::TooLarge, 0);
    }
    return file;
}

RegularFileText ReadRegularFile(const std::filesystem::path& path, std::uint64_t maxBytes) {
    RegularFileText result;
    result.limit = maxBytes;
    RegularFile file = OpenRegularFile(path, maxBytes);
    if (!file.fd) {
        result.fault = file.fault;
        result.error = file.error;
        return result;
    }
    // Room for one byte more than allowed tells a file that holds more than its size said.
    const std::uint64_t most = maxBytes == kNoSizeLimit ? maxBytes : maxBytes + 1;
    std::string& text = result.text;
    text.resize(static_cast<std::size_t>(file.bytes + 1));
    std::size_t done = 0;
    for (;;) {
        if (done == text.size()) {
            if (done >= most) {
                text.clear();
                result.fault = FileFault::TooLarge;
                return result;
            }
            text.resize(static_cast<std::size_t>(std::min<std::uint64_t>(2 * done, most)));
        }
        const ssize_t n = ::read(file.fd.get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            text.clear();
            result.fault = FileFault::Unreadable;
            result.error = errno;
            return result;
        }
        if (n == 0) {
            text.resize(done);
            return result;
        }
        done += static_cast<std::size_t>(n);
    }
}

std::optional<std::string> ReplaceRefusal(const std::filesystem::path& path) {
    struct stat st {};
    if (path.empty() || ::stat(path.c_str(), &st) != 0) {
        return std::nullopt;  // nothing to replace; creating it reports its own errors
    }
    if (!S_ISREG(st.st_mode)) {
        return std::string(S_ISDIR(st.st_mode) ? "it is a folder" : "it is not a regular file");
    }
    // Root may write any file, so for root the mode bits alone say whether it was meant to be
    // written. Anyone else may write it when the system says so.
    const bool writable = ::geteuid() == 0
                              ? (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0
                              : ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ||
                                    (errno != EACCES && errno != EPERM);
    if (!writable) {
        return std::string("it is read-only");
    }
    return std::nullopt;
}

int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            if (n == 0) {
                errno = ENOSPC;  // callers that describe errno see why
            }
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

}  // namespace quelm
