// One JSON object on one line, for scripts that read a command's result from its last stdout line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace quelm::cli {

class JsonLine {
  public:
    JsonLine& Add(std::string_view key, std::string_view value);
    JsonLine& Add(std::string_view key, const char* value) {
        return Add(key, std::string_view(value));
    }
    // Whole numbers print without a fraction; others with up to 6 significant decimals. A value
    // that is not finite prints as null, which JSON can carry.
    JsonLine& Add(std::string_view key, double value);
    JsonLine& Add(std::string_view key, std::int64_t value);
    JsonLine& Add(std::string_view key, bool value);

    // The object, without a line break.
    std::string Text() const { return body_ + "}"; }

  private:
    void Key(std::string_view key);
    std::string body_ = "{";
};

// `text` as a JSON string literal, quotes included. Bytes that are not valid UTF-8 become U+FFFD
// so that a device path or message with stray bytes still gives a line every parser accepts.
std::string JsonString(std::string_view text);

}  // namespace quelm::cli
