// The settings file "Quelm.ini": sections of "key=value" lines, names matched without regard to
// case, values cut at 254 characters, every line a write does not touch kept as it was.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace quelm {

class SettingsFile {
  public:
    explicit SettingsFile(std::filesystem::path path);

    const std::filesystem::path& path() const { return path_; }

    // The value, or "" when the file, the section or the key is missing.
    std::string Read(std::string_view section, std::string_view key) const;

    // Sets the value, creating the file, section and key as needed. The file is replaced
    // atomically. Returns false (and leaves the file as it was) when it cannot be written;
    // LastError() then says why.
    bool Write(std::string_view section, std::string_view key, std::string_view value);
    const std::string& LastError() const { return lastError_; }

  private:
    std::filesystem::path path_;
    std::string lastError_;
};

std::string ReadIniValue(const SettingsFile& file, std::string_view section, std::string_view key);
bool WriteIniValue(SettingsFile& file, std::string_view section, std::string_view key,
                   std::string_view value);

// Writes " 0 " CR LF into "quelmom.ini" in the current folder (the serial-port error path).
// Returns false when the file cannot be written.
bool WriteComPortFile(int port);

}  // namespace quelm
