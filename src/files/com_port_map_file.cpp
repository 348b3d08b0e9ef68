#include "files/com_port_map_file.h"

#include <fstream>
#include <iterator>

#include "files/atomic_file.h"

namespace quelm {

namespace {

std::string_view Trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    const auto last = s.find_last_not_of(" \t\r");
    return s.substr(first, last - first + 1);
}

bool StartsWithCom(std::string_view key) {
    return key.size() == 4 && (key[0] == 'C' || key[0] == 'c') &&
           (key[1] == 'O' || key[1] == 'o') && (key[2] == 'M' || key[2] == 'm');
}

}  // namespace

std::filesystem::path ComPortMapPath(const std::filesystem::path& settingsPath) {
    return settingsPath.parent_path() / "ports.conf";
}

std::string ComPortMapText(const ComPortMap& map) {
    std::string text = "# Device each COM number opens (set in Communications Setup)\n";
    for (int com = 1; com <= ComPortMap::kPorts; ++com) {
        if (map.HasOverride(com)) {
            text += "COM" + std::to_string(com) + "=" + map.KeptDevice(com) + "\n";
        }
    }
    return text;
}

void ParseComPortMap(std::string_view text, ComPortMap& map, std::vector<std::string>& problems) {
    int lineNumber = 0;
    while (!text.empty()) {
        const auto end = text.find('\n');
        const std::string_view line = Trim(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto eq = line.find('=');
        const std::string_view key = eq == std::string_view::npos ? line : Trim(line.substr(0, eq));
        const std::string_view device =
            eq == std::string_view::npos ? std::string_view{} : Trim(line.substr(eq + 1));
        const int com = StartsWithCom(key) ? key[3] - '0' : 0;
        if (com < 1 || com > ComPortMap::kPorts || device.empty()) {
            problems.push_back("line " + std::to_string(lineNumber) +
                               ": not a COM1..COM4=device line: " + std::string(line));
            continue;
        }
        map.SetOverride(com, std::string(device));
    }
}

void LoadComPortMap(const std::filesystem::path& path, ComPortMap& map,
                    std::vector<std::string>& problems) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) {
        return;
    }
    if (!std::filesystem::is_regular_file(path, ec)) {
        problems.push_back("is not a file");
        return;
    }
    std::ifstream in(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.is_open() || in.bad()) {
        problems.push_back("cannot be read");
        return;
    }
    ParseComPortMap(text, map, problems);
}

bool SaveComPortMap(const std::filesystem::path& path, const ComPortMap& map, std::string& error) {
    return ReplaceFileAtomically(path, ComPortMapText(map), error);
}

}  // namespace quelm
