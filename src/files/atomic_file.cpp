#include "files/atomic_file.h"

#include <cerrno>
#include <cstring>
#include <system_error>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quelm {
namespace {

namespace fs = std::filesystem;

std::string Describe(const std::string& what, const fs::path& path, int err) {
    return what + " \"" + path.string() + "\": " + std::strerror(err);
}

// Closes the descriptor and removes the temporary file unless the rename took it over.
class TempFile {
  public:
    explicit TempFile(const fs::path& target) : name_(target.string() + ".XXXXXX") {
        std::vector<char> pattern(name_.begin(), name_.end());
        pattern.push_back('\0');
        fd_ = ::mkstemp(pattern.data());
        name_.assign(pattern.data());
    }
    ~TempFile() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!kept_) {
            ::unlink(name_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_; }
    const std::string& name() const { return name_; }
    // Closes explicitly so that a failing close (late write error on some file systems) counts.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }
    void Keep() { kept_ = true; }

  private:
    std::string name_;
    int fd_ = -1;
    bool kept_ = false;
};

bool WriteAll(int fd, std::string_view content) {
    const char* p = content.data();
    std::size_t left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const fs::path& path, std::string_view content, std::string& error) {
    std::error_code ec;
    fs::path target = path;
    if (fs::is_symlink(path, ec)) {
        target = fs::weakly_canonical(path, ec);
        if (ec) {
            error = "cannot follow the link \"" + path.string() + "\": " + ec.message();
            return false;
        }
    }
    const fs::path folder = target.parent_path();
    if (!folder.empty() && !fs::is_directory(folder, ec)) {
        fs::create_directories(folder, ec);
        if (ec) {
            error = "cannot create the folder \"" + folder.string() + "\": " + ec.message();
            return false;
        }
    }

    // A replaced file keeps its permissions; a new one gets the usual rw-r--r--.
    mode_t mode = 0644;
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        mode = existing.st_mode & 07777;
    }

    TempFile temp(target);
    if (temp.fd() < 0) {
        error = Describe("cannot create a file beside", target, errno);
        return false;
    }
    if (::fchmod(temp.fd(), mode) != 0 || !WriteAll(temp.fd(), content) ||
        ::fsync(temp.fd()) != 0 || !temp.Close()) {
        error = Describe("cannot write", temp.name(), errno);
        return false;
    }
    if (::rename(temp.name().c_str(), target.c_str()) != 0) {
        error = Describe("cannot replace", target, errno);
        return false;
    }
    temp.Keep();

    // Make the rename itself durable. The new file is already in place, so a failure here does
    // not make the write fail.
    const int dir = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

}  // namespace quelm
