#include "files/atomic_file.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <system_error>

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
    explicit TempFile(const fs::path& target)
        : fd_(CreateTempFile(target.parent_path(), name_, 0600)) {}
    ~TempFile() {
        fd_.Close();
        if (!kept_ && !name_.empty()) {
            ::unlink(name_.c_str());
        }
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    int fd() const { return fd_.get(); }
    std::string name() const { return name_.string(); }
    // Closes explicitly so that a failing close (late write error on some file systems) counts.
    bool Close() {
        if (const int error = fd_.Close(); error != 0) {
            errno = error;
            return false;
        }
        return true;
    }
    void Keep() { kept_ = true; }

  private:
    fs::path name_;
    UniqueFd fd_;
    bool kept_ = false;
};

}  // namespace

UniqueFd CreateTempFile(const fs::path& folder, fs::path& name, mode_t mode) {
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    auto seed =
        static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count() ^
                                   (static_cast<std::int64_t>(::getpid()) << 40));
    for (int attempt = 0; attempt < 100; ++attempt) {
        seed = seed * 6364136223846793005U + 1442695040888963407U;
        std::string suffix;
        for (int i = 0; i < 6; ++i) {
            suffix += kLetters[(seed >> (16 + 6 * i)) % kLetters.size()];
        }
        const fs::path path = (folder.empty() ? fs::path(".") : folder) / (".quelm-" + suffix);
        // The umask applies to `mode`, as it does to any new file.
        UniqueFd fd(
            ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
        if (fd) {
            name = path;
            return fd;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    name.clear();
    return {};
}

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
    if (::fchmod(temp.fd(), mode) != 0 || WriteAll(temp.fd(), content) != 0 ||
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
