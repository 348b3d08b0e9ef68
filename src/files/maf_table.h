// MAF transfer curve files: a header line and 31 "volts,kg/h" lines.
#pragma once

#include <array>
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

// True only for an existing entry that is not a folder; never throws.
bool FileExists(const std::filesystem::path& path);

// Reads the curve named by `path` over `current`. Lines end at CR (a LF after it is skipped)
// or at a plain LF; lines after the 32nd are ignored.
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
