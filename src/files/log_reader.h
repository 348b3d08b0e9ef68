// Random access to the records of a log file, for playback and export.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>

#include "common/records.h"
#include "files/regular_file.h"

namespace quelm {

class LogReader {
  public:
    // Opens the log for reading. A missing or unreadable file, and anything but a regular file,
    // is reported through Error(); nothing is ever created.
    explicit LogReader(const std::filesystem::path& path);

    bool IsOpen() const { return static_cast<bool>(fd_); }
    // Why the file could not be opened or read, empty while all is well.
    const std::string& Error() const { return error_; }

    // The file length when it was opened (for the size shown as length / 1000).
    std::uint64_t FileBytes() const { return fileBytes_; }
    // Whole records only.
    std::uint64_t RecordCount() const;

    // Record n (1..RecordCount()) into bytes 0..40 of `buffer`. False (and the buffer as it
    // was) for a number out of range or a read error.
    bool ReadRecord(std::uint64_t n, FrameBuffer& buffer);

    // Whole records from number `first` on into `out` (48 bytes each, as many as fit and
    // exist). Returns how many were read; 0 past the end or on a read error (see Error()).
    std::size_t ReadRecords(std::uint64_t first, std::span<std::uint8_t> out);

  private:
    UniqueFd fd_;
    std::uint64_t fileBytes_ = 0;
    std::string error_;
};

}  // namespace quelm
