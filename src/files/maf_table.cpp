#include "files/maf_table.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "common/app_paths.h"
#include "common/number_text.h"
#include "files/atomic_file.h"
#include "files/regular_file.h"

namespace quelm {

namespace {

// One line ended by CR, CR LF or LF, taken off the front of `rest`. False at the end of the
// text with nothing read.
bool ReadLine(std::string_view& rest, std::string_view& line) {
    if (rest.empty()) {
        return false;
    }
    const auto end = rest.find_first_of("\r\n");
    line = rest.substr(0, end);
    if (end == std::string_view::npos) {
        rest = {};
    } else {
        rest.remove_prefix(rest.compare(end, 2, "\r\n") == 0 ? end + 2 : end + 1);
    }
    return true;
}

}  // namespace

MafLoadResult LoadMafTable(const std::filesystem::path& path, MafCurve current) {
    MafLoadResult result{std::move(current), path, false, false, {}};
    RegularFileText file = ReadRegularFile(result.path, kMafFileLimit);
    if (file.fault == FileFault::Missing || file.fault == FileFault::NotRegular) {
        result.messages.emplace_back(kMafNotFoundMessage);
        result.path = StockMafPath();
        result.usedFallback = true;
        file = ReadRegularFile(result.path, kMafFileLimit);
    }

    std::string_view rest = file.text;
    std::string_view line;
    if (file.fault != FileFault::None || !ReadLine(rest, line)) {
        result.messages.emplace_back(kMafNotInstalledMessage);
        return result;
    }
    double largest = 0;
    MafCurve& curve = result.curve;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        const bool read = ReadLine(rest, line) && line.size() <= kMafLineLimit;
        const auto comma = read ? line.find(',') : std::string_view::npos;
        if (comma == std::string_view::npos) {
            result.messages.emplace_back(kMafNotInstalledMessage);
            return result;
        }
        curve.volts[i] = line.substr(0, comma);
        curve.kghr[i] = line.substr(comma + 1);
        const double flow = LenientNumber(curve.kghr[i]);
        largest = std::max(largest, flow);
        curve.points[i] = {LenientNumber(curve.volts[i]), flow};
    }
    curve.largestFlow = largest;
    result.complete = true;
    return result;
}

std::optional<std::string> SaveMafFile(const std::filesystem::path& path,
                                       const std::array<std::string, kMafPoints>& volts,
                                       const std::array<std::string, kMafPoints>& kghr) {
    // The chosen folder must exist: a save never creates folders the user did not pick.
    std::error_code ec;
    const auto parent = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    if (!std::filesystem::is_directory(parent, ec)) {
        return "cannot create " + path.string() + ": " + std::strerror(ENOENT);
    }
    std::string content = kMafHeader;
    content += "\r\n";
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        content += volts[i];
        content += ',';
        content += kghr[i];
        content += "\r\n";
    }
    // Replaced whole, so that a full disk or a crash never leaves the old curve half written.
    std::string error;
    if (!ReplaceFileAtomically(path, content, error)) {
        return error;
    }
    return std::nullopt;
}

std::string WithMafExtension(std::string_view chosen) {
    const auto first = chosen.find_first_not_of(' ');
    std::string path;
    if (first != std::string_view::npos) {
        path = chosen.substr(first, chosen.find_last_not_of(' ') - first + 1);
    }
    if (!path.ends_with(".maf")) {
        path += ".maf";
    }
    return path;
}

void CopyMafCurve(const MafCurve& curve, MafTable& table) {
    std::copy(curve.points.begin(), curve.points.end(), table.begin());
}

}  // namespace quelm
