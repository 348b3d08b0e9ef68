// The device each COM number opens, kept from one session to the next in "ports.conf" beside the
// settings file (whose key table has no place for it). One "COMn=device" line per mapped number;
// numbers on their default device have no line.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "common/com_port_map.h"

namespace quelm {

// The file holds at most four short lines; anything much larger is not one and is not read.
inline constexpr std::uint64_t kComPortMapFileLimit = 64 * 1024;
// Bad lines described one by one; any more are counted in one last problem.
inline constexpr std::size_t kComPortMapProblemLimit = 10;

std::filesystem::path ComPortMapPath(const std::filesystem::path& settingsPath);

std::string ComPortMapText(const ComPortMap& map);

// Applies every "COMn=device" line of `text` to `map`. Blank lines and lines starting with '#'
// are skipped; any other line that is not a mapping of COM1..COM4 is left out and described in
// `problems` ("line 3: ..."), the first kComPortMapProblemLimit of them.
void ParseComPortMap(std::string_view text, ComPortMap& map, std::vector<std::string>& problems);

// A missing file leaves the defaults and is no problem. A file that cannot be read, is not a
// regular file or is larger than kComPortMapFileLimit is one, and none of it applies.
void LoadComPortMap(const std::filesystem::path& path, ComPortMap& map,
                    std::vector<std::string>& problems);

// Replaces the file atomically; on failure returns false with `error` set and the old file kept.
bool SaveComPortMap(const std::filesystem::path& path, const ComPortMap& map, std::string& error);

}  // namespace quelm
