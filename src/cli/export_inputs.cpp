#include "cli/export_inputs.h"

namespace quelm::cli {

ExportInputs LoadExportInputs(const std::filesystem::path& /*settingsPath*/) {
    ExportInputs inputs;
    inputs.tables = BuiltInTables();
    return inputs;
}

}  // namespace quelm::cli
