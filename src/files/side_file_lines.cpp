#include "files/side_file_lines.h"

#include <utility>

#include "files/regular_file.h"

namespace quelm {

std::string_view TrimLine(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

void ForEachSideFileLine(std::string_view text,
                         const std::function<void(const SideFileLine&)>& visit) {
    SideFileLine line;
    while (!text.empty()) {
        const auto end = text.find('\n');
        line.text = TrimLine(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++line.number;
        if (line.text.empty() || line.text.front() == '#') {
            continue;
        }
        const auto eq = line.text.find('=');
        line.key = TrimLine(line.text.substr(0, eq));
        line.value =
            eq == std::string_view::npos ? std::string_view{} : TrimLine(line.text.substr(eq + 1));
        visit(line);
    }
}

std::optional<std::string> ReadSideFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                                        std::vector<std::string>& problems) {
    RegularFileText file = ReadRegularFile(path, maxBytes);
    if (file.fault == FileFault::Missing) {
        return std::nullopt;
    }
    if (file.fault != FileFault::None) {
        problems.push_back("not read: " + file.Reason());
        return std::nullopt;
    }
    return std::move(file.text);
}

}  // namespace quelm
