// Replacing a whole file so that a crash or a full disk never leaves it half written.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <string_view>

#include "files/regular_file.h"

namespace quelm {

// Creates a new empty file with a short unique name (".quelm-" and six letters or digits) in
// `folder` ("" for the current one), with `mode` less the umask, and opens it for writing;
// `name` receives its path. A temporary name made by adding to the target's would not fit beside
// a target whose name is already as long as names may be. On failure the descriptor is empty,
// `name` is empty and errno says why.
[[nodiscard]] UniqueFd CreateTempFile(const std::filesystem::path& folder,
                                      std::filesystem::path& name, mode_t mode);

// Writes `content` to a temporary file beside `path`, flushes it to the disk and renames it over
// `path` (a symbolic link is followed and its target replaced). Creates the parent folder when
// missing. On failure returns false, sets `error` and leaves any existing file untouched.
bool ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                           std::string& error);

}  // namespace quelm
