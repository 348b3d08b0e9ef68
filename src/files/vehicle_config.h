// The vehicle description kept in the settings file and how it reaches the live configuration.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "common/live_config.h"
#include "files/settings_file.h"

namespace quelm {

// The vehicle and feature-connector settings as last loaded from the settings file. They only
// carry the settings into the two settings windows, whose fields are the live configuration.
struct VehicleConfig {
    double InjectorSize = 0;        // lb/hr
    std::int16_t NumCylinders = 0;  //
    double Displacement = 0;        // cubic inches
    std::string MafFile;
    bool BatchFire = false;
    double VssCorrection = 0;  // multiplier on MPH
    bool BapPresent = false;
    bool DisIgnition = false;
    std::int16_t WideBandType = 0;  // 0 none, 1 Bailey, 2 DIY, 3 Innovate
    std::int16_t MapType = 0;       // sensor rating in bar, 0 none
    std::int16_t AuxType = 0;       // 0 none, otherwise voltage display
};

// Reads every vehicle and feature setting. `current` supplies the wide-band type kept when the
// file names none of the known interfaces. An empty MAFFILE gives StockMafPath().
VehicleConfig LoadVehicleConfig(const SettingsFile& settings, VehicleConfig current);

// The MAP and wide-band options a code selects; nullopt for a code that selects none, which
// leaves the current selection as it is.
std::optional<MapOption> MapOptionFromCode(int code);
std::optional<WideBandOption> WideBandOptionFromCode(int code);

// The values the feature options window writes under MAP/TYPE, WIDEBAND/TYPE and AUX/TYPE.
std::string_view MapTypeText(MapOption option);
std::string_view WideBandTypeText(WideBandOption option);
std::string_view AuxTypeText(bool voltageDisplay);

// Copies the loaded configuration into the live fields, as the settings windows show it.
// MAP and wide-band codes outside 0..3 leave the current option; the MAP zero offset is
// untouched.
void ApplyToLiveConfig(const VehicleConfig& config, LiveConfig& live);

// True when the whole text, apart from blanks at either end, is one decimal number: an
// optional sign, digits with at most one ".", at least one digit.
bool IsNumberText(std::string_view text);

}  // namespace quelm
