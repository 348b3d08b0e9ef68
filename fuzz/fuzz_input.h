// Splits a fuzzer's input into the choices and texts a target needs, so one byte string drives
// every option of the code under test; and the few things every target shares.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "common/live_config.h"

namespace quelm::fuzz {

class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    std::size_t remaining() const { return size_ - at_; }

    std::uint8_t Byte() { return at_ < size_ ? data_[at_++] : 0; }

    template <typename T>
    T Raw() {
        T value{};
        const std::size_t n = remaining() < sizeof(T) ? remaining() : sizeof(T);
        std::memcpy(&value, data_ + at_, n);
        at_ += n;
        return value;
    }

    // Up to `max` bytes, ended early by a NUL byte (consumed, not included).
    std::string Text(std::size_t max) {
        std::string text;
        while (at_ < size_ && text.size() < max) {
            const char c = static_cast<char>(data_[at_++]);
            if (c == '\0') {
                break;
            }
            text += c;
        }
        return text;
    }

    std::string_view Rest() {
        std::string_view rest(reinterpret_cast<const char*>(data_ + at_), remaining());
        at_ = size_;
        return rest;
    }

  private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

// A found fault: say what, and abort so the fuzzer keeps the input.
[[noreturn]] inline void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

// A folder of this process's own for the files a target writes; memory-backed where there is
// one, since every write is flushed to the disk.
inline const std::filesystem::path& ScratchDir() {
    namespace fs = std::filesystem;
    static const fs::path dir = [] {
        const fs::path base =
            fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
        std::string name = (base / "quelm-fuzz-XXXXXX").string();
        if (mkdtemp(name.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        return fs::path(name);
    }();
    return dir;
}

// The four conversion options from the bits of one input byte.
inline void ApplyOptionBits(LiveConfig& config, std::uint8_t options) {
    config.map = static_cast<MapOption>(options & 3);
    config.wideBand = static_cast<WideBandOption>((options >> 2) & 3);
    config.hasdis = (options & 16) != 0;
    config.hasbatchfire = (options & 32) != 0;
}

}  // namespace quelm::fuzz
