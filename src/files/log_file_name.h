// How a log file name is completed, whether it was chosen with Browse or typed into the logging
// window.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quelm {

// Blanks and line breaks trimmed from both ends, then ".qm1" appended unless the name already
// ends in exactly that (case-sensitive: "run1.QM1" becomes "run1.QM1.qm1").
std::string WithLogExtension(std::string_view chosen);

// A typed name: completed as above, and a name without a folder of its own (any relative path)
// taken to `logsDir`, where Browse starts. An empty or blank name stays empty.
std::filesystem::path TypedLogPath(std::string_view typed, const std::filesystem::path& logsDir);

}  // namespace quelm
