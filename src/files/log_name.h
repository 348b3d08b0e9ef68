// The dated name a new log gets in the logs folder: quelm-YYYYMMDD-HHMMSS.qm1, local time.
#pragma once

#include <ctime>
#include <filesystem>
#include <string>

namespace quelm {

std::string DatedLogName(const std::tm& local);
// DatedLogName of `now` in the local time zone, in `folder`.
std::filesystem::path NewLogPath(const std::filesystem::path& folder, std::time_t now);

}  // namespace quelm
