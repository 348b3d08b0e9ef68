#include "files/log_file_name.h"

namespace quelm {

namespace {
constexpr std::string_view kLogExtension = ".qm1";
constexpr std::string_view kBlanks = " \t\r\n";
}  // namespace

std::string WithLogExtension(std::string_view chosen) {
    const auto first = chosen.find_first_not_of(kBlanks);
    std::string path;
    if (first != std::string_view::npos) {
        path = chosen.substr(first, chosen.find_last_not_of(kBlanks) - first + 1);
    }
    if (!path.ends_with(kLogExtension)) {
        path += kLogExtension;
    }
    return path;
}

std::filesystem::path TypedLogPath(std::string_view typed, const std::filesystem::path& logsDir) {
    if (typed.find_first_not_of(kBlanks) == std::string_view::npos) {
        return {};
    }
    const std::filesystem::path path = WithLogExtension(typed);
    return path.is_relative() ? (logsDir / path).lexically_normal() : path;
}

}  // namespace quelm
