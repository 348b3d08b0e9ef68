#include "cli/export_inputs.h"

#include "files/maf_table.h"
#include "files/settings_file.h"
#include "files/vehicle_config.h"

namespace quelm::cli {

// The same loading the dashboard does at start: vehicle settings into the live fields, then the
// configured MAF curve (or the stock one, with the loader's message) into the conversion table.
ExportInputs LoadExportInputs(const std::filesystem::path& settingsPath) {
    const SettingsFile file(settingsPath);
    ExportInputs inputs;
    inputs.tables = BuiltInTables();
    const VehicleConfig vehicle = LoadVehicleConfig(file, VehicleConfig{});
    ApplyToLiveConfig(vehicle, inputs.config);
    MafLoadResult maf = LoadMafTable(vehicle.MafFile, MafCurve{});
    CopyMafCurve(maf.curve, inputs.tables.maf);
    inputs.warnings = std::move(maf.messages);
    return inputs;
}

}  // namespace quelm::cli
