// Replacing a whole file so that a crash or a full disk never leaves it half written.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quelm {

// Writes `content` to a temporary file beside `path`, flushes it to the disk and renames it over
// `path` (a symbolic link is followed and its target replaced). Creates the parent folder when
// missing. On failure returns false, sets `error` and leaves any existing file untouched.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                           std::string& error);

}  // namespace quelm
