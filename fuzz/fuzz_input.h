// Splits a fuzzer's input into the choices and texts a target needs, so one byte string drives
// every option of the code under test.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

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

}  // namespace quelm::fuzz
