// The "key=value" lines of the small side files beside the settings (ports.conf, layout.conf).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quelm {

// `s` without the blanks (spaces, tabs, carriage returns) at either end.
[[nodiscard]] std::string_view TrimLine(std::string_view s);

struct SideFileLine {
    std::size_t number = 0;  // counted from 1, blank and comment lines included
    std::string_view text;   // the whole line, trimmed
    std::string_view key;    // before the first '=', trimmed; the whole line when it has none
    std::string_view value;  // after the first '=', trimmed; empty when there is none
};

// Calls `visit` for every line but blank ones and '#' comments, in order. Lines end at '\n'; a
// "\r\n" end is trimmed with the rest.
void ForEachSideFileLine(std::string_view text,
                         const std::function<void(const SideFileLine&)>& visit);

// The text of a side file of at most `maxBytes`, read as a regular file only. A missing file is
// no problem and gives nothing; one that cannot be read gives nothing and "not read: REASON" in
// `problems`.
std::optional<std::string> ReadSideFile(const std::filesystem::path& path, std::uint64_t maxBytes,
                                        std::vector<std::string>& problems);

}  // namespace quelm
