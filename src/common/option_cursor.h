// Walks a command line the same way in every program: "--name value" and "--name=value" are
// one option, flags take no value, anything else is an operand, and so is everything after "--".
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace quelm {

class OptionCursor {
  public:
    explicit OptionCursor(std::span<const std::string> args) : args_(args) {}

    // Moves to the next argument, passing over a first "--"; false after the last one.
    bool Next();

    // The current argument came after "--": an operand, even if it starts with "-".
    bool OptionsEnded() const { return optionsEnded_; }

    // "--port" for both "--port DEVICE" and "--port=DEVICE"; an operand as it stands.
    const std::string& Name() const { return name_; }

    // The current option's value: the text after "=", else the next argument, which is then
    // used up. Nothing when the command line ends first.
    std::optional<std::string> Value();

    // The current argument carried "=value"; a flag that takes none must refuse it.
    bool HasAttachedValue() const { return attached_.has_value(); }

  private:
    std::span<const std::string> args_;
    std::size_t next_ = 0;
    bool optionsEnded_ = false;
    std::string name_;
    std::optional<std::string> attached_;
};

}  // namespace quelm
