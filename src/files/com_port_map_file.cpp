#include "files/com_port_map_file.h"

#include "files/atomic_file.h"
#include "files/side_file_lines.h"

namespace quelm {

namespace {

// A bad line is quoted up to this many characters.
constexpr std::size_t kShownLineChars = 80;

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
    std::size_t badLines = 0;
    ForEachSideFileLine(text, [&](const SideFileLine& line) {
        const int com = StartsWithCom(line.key) ? line.key[3] - '0' : 0;
        if (com < 1 || com > ComPortMap::kPorts || line.value.empty()) {
            if (++badLines <= kComPortMapProblemLimit) {
                problems.push_back("line " + std::to_string(line.number) +
                                   ": not a COM1..COM4=device line: " +
                                   std::string(line.text.substr(0, kShownLineChars)));
            }
            return;
        }
        map.SetOverride(com, std::string(line.value));
    });
    if (badLines > kComPortMapProblemLimit) {
        problems.push_back(std::to_string(badLines - kComPortMapProblemLimit) +
                           " more lines that are not COM1..COM4=device lines");
    }
}

void LoadComPortMap(const std::filesystem::path& path, ComPortMap& map,
                    std::vector<std::string>& problems) {
    if (const auto text = ReadSideFile(path, kComPortMapFileLimit, problems)) {
        ParseComPortMap(*text, map, problems);
    }
}

bool SaveComPortMap(const std::filesystem::path& path, const ComPortMap& map, std::string& error) {
    return ReplaceFileAtomically(path, ComPortMapText(map), error);
}

}  // namespace quelm
