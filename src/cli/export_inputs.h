// The vehicle settings an export converts with, read from a settings file.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "common/live_config.h"
#include "decode/calibration_tables.h"

namespace quelm::cli {

struct ExportInputs {
    LiveConfig config;
    CalibrationTables tables;
    // Messages the loaders would show in a window (a missing MAF file, ...).
    std::vector<std::string> warnings;
};

ExportInputs LoadExportInputs(const std::filesystem::path& settingsPath);

}  // namespace quelm::cli
