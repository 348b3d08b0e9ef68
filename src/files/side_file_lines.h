// The "key=value" lines of the small side files beside the settings (ports.conf, layout.conf).
#pragma once

#include <cstddef>
#include <functional>
#include <string_view>

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

}  // namespace quelm
