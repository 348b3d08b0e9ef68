// The settings file as found on disk: any bytes. Reading never fails loudly; a write either
// succeeds and reads back, with every other line kept in order and other keys unchanged, or is
// refused with a reason and leaves the file as it was.
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "files/settings_file.h"
#include "fuzz_input.h"

namespace {

namespace fs = std::filesystem;

const fs::path& WorkFile() {
    static const fs::path file = quelm::fuzz::ScratchDir() / "Quelm.ini";
    return file;
}

std::string Slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Lines(const std::string& content) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < content.size()) {
        std::size_t lf = content.find('\n', start);
        if (lf == std::string::npos) {
            lf = content.size();
        }
        std::string line = content.substr(start, lf - start);
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
        start = lf + 1;
    }
    return lines;
}

std::string Trim(std::string s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) {
        s.erase(0, 1);
    }
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) {
        s.pop_back();
    }
    return s;
}

std::string Lower(std::string s) {
    for (char& c : s) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return s;
}

[[noreturn]] void Fail(const std::string& what) {
    std::fprintf(stderr, "%s\n", what.c_str());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quelm::fuzz::FuzzInput in(data, size);
    const std::string section = in.Text(40);
    const std::string key = in.Text(40);
    const std::string other = in.Text(40);
    const std::string value = in.Text(400);
    const std::string content(in.Rest());

    const fs::path& path = WorkFile();
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }

    quelm::SettingsFile file(path);
    const std::string otherBefore = file.Read(section, other);
    (void)file.Read(section, key);
    if (otherBefore.size() > 254) {
        Fail("value longer than 254 characters");
    }

    if (!file.Write(section, key, value)) {
        if (file.LastError().empty()) {
            Fail("refused write without a reason");
        }
        if (Slurp(path) != content) {
            Fail("refused write changed the file");
        }
        return 0;
    }

    const std::string after = Slurp(path);
    const std::string want = Trim(value).substr(0, 254);
    if (file.Read(section, key) != want) {
        Fail("written key does not read back: got \"" + file.Read(section, key) + "\" want \"" +
             want + "\"");
    }
    if (Lower(Trim(other)) != Lower(Trim(key)) && file.Read(section, other) != otherBefore) {
        Fail("another key changed");
    }
    // Every old line is still there, in order, except at most the one entry that was replaced:
    // the longest common subsequence of old and new lines misses at most one old line.
    const auto oldLines = Lines(content);
    const auto newLines = Lines(after);
    if (oldLines.size() <= 400 && newLines.size() <= 400) {
        std::vector<std::size_t> row(newLines.size() + 1, 0), prev(newLines.size() + 1, 0);
        for (const auto& line : oldLines) {
            for (std::size_t k = 0; k < newLines.size(); ++k) {
                row[k + 1] = line == newLines[k] ? prev[k] + 1 : std::max(row[k], prev[k + 1]);
            }
            std::swap(row, prev);
        }
        if (prev[newLines.size()] + 1 < oldLines.size()) {
            Fail("lines lost by a write");
        }
    }
    return 0;
}
