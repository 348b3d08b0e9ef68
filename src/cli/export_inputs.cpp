#include "cli/export_inputs.h"

#include <cmath>

#include "common/number_text.h"
#include "files/settings_file.h"

namespace quelm::cli {
namespace {

// A number setting as the vehicle dialog would show it: 0 (or no number) gives the default.
std::string NumberOr(const SettingsFile& file, std::string_view section, std::string_view key,
                     double fallback) {
    const double value = LenientNumber(ReadIniValue(file, section, key));
    return PlainNumber(value == 0 ? fallback : value);
}

}  // namespace

// The live settings only; the MAF curve is left to the MAF loader, and until that is wired in
// the MAF table stays empty (the MAF-derived values of the export read 0).
ExportInputs LoadExportInputs(const std::filesystem::path& settingsPath) {
    const SettingsFile file(settingsPath);
    ExportInputs inputs;
    inputs.tables = BuiltInTables();
    LiveConfig& c = inputs.config;
    c.numcyl = PlainNumber(
        std::nearbyint(LenientNumber(NumberOr(file, "INJECTION", "NumCyl", 8))));  // halves to even
    c.injsize = NumberOr(file, "INJECTION", "InjSize", 19);
    c.vsscorrection = NumberOr(file, "vsscorrection", "value", 1);
    c.hasbatchfire = ReadIniValue(file, "INJECTION", "BATCH") == "YES";
    c.hasdis = ReadIniValue(file, "IGNITION", "DIS") == "YES";
    const std::string wideBand = ReadIniValue(file, "WideBand", "TYPE");
    if (wideBand == "BAILEY") {
        c.wideBand = WideBandOption::Bailey;
    } else if (wideBand == "DIY") {
        c.wideBand = WideBandOption::Diy;
    } else if (wideBand == "INNOVATE") {
        c.wideBand = WideBandOption::Innovate;
    }
    const std::string map = ReadIniValue(file, "MAP", "TYPE");
    const double bar = map == "NONE" ? 0 : std::nearbyint(LenientNumber(map));
    c.map = bar == 1   ? MapOption::OneBar
            : bar == 2 ? MapOption::TwoBar
            : bar == 3 ? MapOption::ThreeBar
                       : MapOption::NoMap;
    return inputs;
}

}  // namespace quelm::cli
