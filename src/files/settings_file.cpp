#include "files/settings_file.h"

#include <cstddef>
#include <fstream>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

#include "common/number_text.h"
#include "files/atomic_file.h"

namespace quelm {
namespace {

namespace fs = std::filesystem;

// The profile service copies at most 254 characters of a value.
constexpr std::size_t kMaxValueChars = 254;
// A settings file holds a few hundred bytes; anything far larger is not one, and reading it
// whole must not exhaust memory.
constexpr std::uintmax_t kMaxFileBytes = 4U << 20;

struct Line {
    std::string_view text;  // without its line end
    std::string_view end;   // "\r\n", "\n", "\r" or "" on a last line without one
};

// Lines end at CR LF, LF or a lone CR: files from other editors use any of them.
std::vector<Line> SplitLines(std::string_view content) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t at = content.find_first_of("\r\n", start);
        if (at == std::string_view::npos) {
            lines.push_back({content.substr(start), {}});
            break;
        }
        const std::size_t endSize =
            content[at] == '\r' && at + 1 < content.size() && content[at + 1] == '\n' ? 2 : 1;
        lines.push_back({content.substr(start, at - start), content.substr(at, endSize)});
        start = at + endSize;
    }
    return lines;
}

// A UTF-8 byte-order mark that some editors put at the start of the file: not part of the first
// line, and written back as it was found.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string_view TakeByteOrderMark(std::string_view& content) {
    if (!content.starts_with(kByteOrderMark)) {
        return {};
    }
    content.remove_prefix(kByteOrderMark.size());
    return kByteOrderMark;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && IsBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

char AsciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (AsciiLower(a[i]) != AsciiLower(b[i])) {
            return false;
        }
    }
    return true;
}

// "[name]" with optional blanks around the name and anything after the bracket ignored.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    line.remove_prefix(1);
    return TrimBlanks(line.substr(0, line.find(']')));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

// "key=value", blanks around both tolerated. Comment lines (";") are never entries.
std::optional<Entry> ParseEntry(std::string_view line) {
    const std::string_view trimmed = TrimBlanks(line);
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '[') {
        return std::nullopt;
    }
    const std::size_t eq = trimmed.find('=');
    if (eq == std::string_view::npos) {
        return std::nullopt;
    }
    return Entry{TrimBlanks(trimmed.substr(0, eq)), TrimBlanks(trimmed.substr(eq + 1))};
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Where a key lives: the first section of that name and the first entry of that key in it.
struct Location {
    std::size_t section = kNone;    // line of the section header
    std::size_t key = kNone;        // line of the entry
    std::size_t lastInSection = 0;  // last non-blank line of the section
};

Location Find(const std::vector<Line>& lines, std::string_view section, std::string_view key) {
    Location at;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (auto name = SectionName(lines[i].text)) {
            if (at.section != kNone) {
                break;
            }
            if (SameName(*name, section)) {
                at.section = i;
                at.lastInSection = i;
            }
            continue;
        }
        if (at.section == kNone) {
            continue;
        }
        if (!TrimBlanks(lines[i].text).empty()) {
            at.lastInSection = i;
        }
        if (at.key == kNone) {
            if (auto entry = ParseEntry(lines[i].text); entry && SameName(entry->key, key)) {
                at.key = i;
            }
        }
    }
    return at;
}

enum class Load { kRead, kMissing, kFailed };

Load LoadFile(const fs::path& path, std::string& content, std::string& error) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found) {
        return Load::kMissing;
    }
    if (ec || !fs::is_regular_file(status)) {
        error = "\"" + path.string() + "\" is not a readable file";
        return Load::kFailed;
    }
    const auto size = fs::file_size(path, ec);
    if (ec || size > kMaxFileBytes) {
        error = "\"" + path.string() + "\" is too large for a settings file";
        return Load::kFailed;
    }
    std::ifstream in(path, std::ios::binary);
    content.assign(static_cast<std::size_t>(size), '\0');
    if (!in || !in.read(content.data(), static_cast<std::streamsize>(size))) {
        error = "cannot read \"" + path.string() + "\"";
        return Load::kFailed;
    }
    return Load::kRead;
}

bool HasLineBreak(std::string_view s) {
    return s.find_first_of("\r\n") != std::string_view::npos;
}

// Names and values that would not read back as written are refused rather than written.
std::optional<std::string> CheckEntry(std::string_view section, std::string_view key,
                                      std::string_view value) {
    const std::string_view s = TrimBlanks(section);
    const std::string_view k = TrimBlanks(key);
    if (s.empty() || HasLineBreak(s) || s.find(']') != std::string_view::npos) {
        return "invalid section name \"" + std::string(section) + "\"";
    }
    if (k.empty() || HasLineBreak(k) || k.find('=') != std::string_view::npos || k.front() == ';' ||
        k.front() == '[') {
        return "invalid key name \"" + std::string(key) + "\"";
    }
    if (HasLineBreak(value)) {
        return "a settings value cannot hold a line break";
    }
    return std::nullopt;
}

}  // namespace

SettingsFile::SettingsFile(std::filesystem::path path) : path_(std::move(path)) {}

std::string SettingsFile::Read(std::string_view section, std::string_view key) const {
    std::string content;
    std::string error;
    if (LoadFile(path_, content, error) != Load::kRead) {
        return {};
    }
    std::string_view body = content;
    TakeByteOrderMark(body);
    const auto lines = SplitLines(body);
    const Location at = Find(lines, TrimBlanks(section), TrimBlanks(key));
    if (at.key == kNone) {
        return {};
    }
    return std::string(ParseEntry(lines[at.key].text)->value.substr(0, kMaxValueChars));
}

bool SettingsFile::Write(std::string_view section, std::string_view key, std::string_view value) {
    if (auto problem = CheckEntry(section, key, value)) {
        lastError_ = *problem;
        return false;
    }
    std::string content;
    if (LoadFile(path_, content, lastError_) == Load::kFailed) {
        return false;
    }
    std::string_view body = content;
    const std::string_view mark = TakeByteOrderMark(body);
    const auto lines = SplitLines(body);
    const Location at = Find(lines, TrimBlanks(section), TrimBlanks(key));

    // New lines follow the file's own line ends.
    std::string_view newline = "\n";
    for (const Line& line : lines) {
        if (!line.end.empty()) {
            newline = line.end;
            break;
        }
    }
    const std::string entry = std::string(key) + "=" + std::string(value);

    std::string out(mark);
    out.reserve(content.size() + entry.size() + section.size() + 8);
    auto appendLine = [&out, newline](std::string_view text, std::string_view end) {
        out += text;
        out += end.empty() ? newline : end;
    };
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const Line& line = lines[i];
        if (i == at.key) {
            out += entry;
            out += line.end;
            continue;
        }
        out += line.text;
        out += line.end;
        if (at.key == kNone && at.section != kNone && i == at.lastInSection) {
            if (line.end.empty()) {
                out += newline;
            }
            appendLine(entry, {});
        }
    }
    if (at.section == kNone) {
        if (!lines.empty() && lines.back().end.empty()) {
            out += newline;
        }
        appendLine("[" + std::string(section) + "]", {});
        appendLine(entry, {});
    }
    return ReplaceFileAtomically(path_, out, lastError_);
}

std::string ReadIniValue(const SettingsFile& file, std::string_view section, std::string_view key) {
    return file.Read(section, key);
}

bool WriteIniValue(SettingsFile& file, std::string_view section, std::string_view key,
                   std::string_view value) {
    return file.Write(section, key, value);
}

bool WriteComPortFile(int port) {
    std::string error;
    return ReplaceFileAtomically("quelmom.ini", PrintNumber(port) + " \r\n", error);
}

}  // namespace quelm
