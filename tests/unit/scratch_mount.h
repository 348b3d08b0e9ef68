// Small file systems for fault-injection tests: a tmpfs of a few kilobytes that fills up, and a
// read-only view of a folder (permissions do not bind a privileged user, a read-only mount
// does). Mounting needs the privilege to mount; without it the factories give nothing and the
// test skips.
#pragma once

#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>

namespace quelm::test {

class ScratchMount {
  public:
    ~ScratchMount() { ::umount2(where_.c_str(), MNT_DETACH); }
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    const std::filesystem::path& path() const { return where_; }

    // A tmpfs of `bytes` at `where` (created); nullptr with `why` set when it cannot be mounted.
    static std::unique_ptr<ScratchMount> Tmpfs(const std::filesystem::path& where,
                                               std::size_t bytes, std::string& why) {
        std::filesystem::create_directories(where);
        const std::string options = "size=" + std::to_string(bytes);
        if (::mount("tmpfs", where.c_str(), "tmpfs", 0, options.c_str()) != 0) {
            why = std::string("cannot mount a tmpfs: ") + std::strerror(errno);
            return nullptr;
        }
        return std::unique_ptr<ScratchMount>(new ScratchMount(where));
    }

    // `source` seen read-only at `where` (created).
    static std::unique_ptr<ScratchMount> ReadOnlyView(const std::filesystem::path& source,
                                                      const std::filesystem::path& where,
                                                      std::string& why) {
        std::filesystem::create_directories(where);
        if (::mount(source.c_str(), where.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            why = std::string("cannot bind-mount: ") + std::strerror(errno);
            return nullptr;
        }
        auto view = std::unique_ptr<ScratchMount>(new ScratchMount(where));
        if (::mount(nullptr, where.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
            0) {
            why = std::string("cannot make the view read-only: ") + std::strerror(errno);
            return nullptr;
        }
        return view;
    }

    // A tmpfs at `where` holding `files`, filled up so that not even a small file fits more.
    static std::unique_ptr<ScratchMount> FullDisk(
        const std::filesystem::path& where,
        std::initializer_list<std::pair<const char*, std::string>> files, std::string& why) {
        auto disk = Tmpfs(where, 64 * 1024, why);
        if (disk) {
            for (const auto& [name, text] : files) {
                std::ofstream(where / name, std::ios::binary) << text;
            }
            disk->Fill();
        }
        return disk;
    }

    // Writes a filler file until the file system refuses more, topped up byte by byte so that
    // not even a small file fits.
    void Fill() const {
        std::ofstream filler(where_ / "filler", std::ios::binary);
        const std::string block(512, 'F');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())) &&
               filler.flush()) {
        }
        filler.clear();
        while (filler.put('F') && filler.flush()) {
        }
    }

  private:
    explicit ScratchMount(std::filesystem::path where) : where_(std::move(where)) {}
    std::filesystem::path where_;
};

}  // namespace quelm::test
