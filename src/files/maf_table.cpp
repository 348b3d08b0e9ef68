#include "files/maf_table.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <system_error>

#include "common/app_paths.h"
#include "common/number_text.h"

namespace quelm {

namespace {

// One line ended by CR, CR LF or LF. False at the end of the file with nothing read.
bool ReadLine(std::istream& in, std::string& line) {
    line.clear();
    bool any = false;
    for (int ch = in.get(); ch != std::char_traits<char>::eof(); ch = in.get()) {
        any = true;
        if (ch == '\r') {
            if (in.peek() == '\n') {
                in.get();
            }
            return true;
        }
        if (ch == '\n') {
            return true;
        }
        line.push_back(static_cast<char>(ch));
    }
    return any;
}

}  // namespace

bool FileExists(const std::filesystem::path& path) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    return !error && std::filesystem::exists(status) && !std::filesystem::is_directory(status);
}

MafLoadResult LoadMafTable(const std::filesystem::path& path, MafCurve current) {
    MafLoadResult result{std::move(current), path, false, false, {}};
    if (!FileExists(result.path)) {
        result.messages.emplace_back(kMafNotFoundMessage);
        result.path = StockMafPath();
        result.usedFallback = true;
    }

    std::ifstream in(result.path, std::ios::binary);
    std::string line;
    if (!in || !ReadLine(in, line)) {
        result.messages.emplace_back(kMafNotInstalledMessage);
        return result;
    }
    double largest = 0;
    MafCurve& curve = result.curve;
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        const auto comma = ReadLine(in, line) ? line.find(',') : std::string::npos;
        if (comma == std::string::npos) {
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
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return "cannot create " + path.string() + ": " + std::strerror(errno);
    }
    out << kMafHeader << "\r\n";
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        out << volts[i] << ',' << kghr[i] << "\r\n";
    }
    out.close();
    if (!out) {
        return "cannot write " + path.string();
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
