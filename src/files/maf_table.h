// MAF transfer curve files: a header line and 31 "volts,kg/h" lines.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "decode/calibration_tables.h"

namespace quelm {

inline constexpr const char* kMafNotFoundMessage =
    "File not found attempting to access MAF configuration file.  Setting to default. Check "
    "Vehicle Settings.";
inline constexpr const char* kMafNotInstalledMessage =
    "Default MAF configuration file not installed.  Reinstall Application.";
inline constexpr const char* kMafHeader = "Volts , Kg/HR";
// A curve is 32 short lines. Larger files and longer point lines are not curves; the limits
// leave room for every line the editor can write (two boxes of at most 32767 characters).
inline constexpr std::uint64_t kMafFileLimit = 1 << 20;
inline constexpr std::size_t kMafLineLimit = 65536;

// A curve as the editor shows it (the texts, unchanged) and as the conversions use it.
struct MafCurve {
    std::array<std::string, kMafPoints> volts{};
    std::array<std::string, kMafPoints> kghr{};
    std::array<TablePoint, kMafPoints> points{};
    // The largest kg/h of the last complete load: the top of the editor chart's range.
    double largestFlow = 0;
};

struct MafLoadResult {
    MafCurve curve;
    // The file actually read: the requested one, or StockMafPath() when it was missing.
    std::filesystem::path path;
    bool usedFallback = false;
    // False when the file could not be read to its 32nd line; the points read before the
    // failure are in `curve`, the others kept their earlier values.
    bool complete = false;
    // Messages for the user, in the order they arose.
    std::vector<std::string> messages;
};

// Reads the curve named by `path` over `current`. Lines end at CR (a LF after it is skipped)
// or at a plain LF; lines after the 32nd are ignored. A name that is missing or not a regular
// file (a folder, a FIFO, a device) falls back to StockMafPath() with kMafNotFoundMessage; a
// file over kMafFileLimit or a point line over kMafLineLimit stops the load with
// kMafNotInstalledMessage.
MafLoadResult LoadMafTable(const std::filesystem::path& path, MafCurve current);

// Writes the header and one "volts,kghr" line per point, each ended by CR LF. Returns the
// reason on failure.
std::optional<std::string> SaveMafFile(const std::filesystem::path& path,
                                       const std::array<std::string, kMafPoints>& volts,
                                       const std::array<std::string, kMafPoints>& kghr);

// A path chosen in a file dialog: blanks at either end removed and ".maf" appended unless it
// already ends exactly (case-sensitively) in ".maf": "curve2.MAF" becomes "curve2.MAF.maf".
std::string WithMafExtension(std::string_view chosen);

// Rows 0..30 of the conversion table take the curve's points; rows 31..34 stay as they are.
void CopyMafCurve(const MafCurve& curve, MafTable& table);

}  // namespace quelm
