// The vehicle settings dialog, the feature options and the MAF editor, created hidden at
// start-up and kept for the whole run: their fields are the live configuration.
#pragma once

#include <memory>

#include "common/live_config.h"
#include "decode/calibration_tables.h"
#include "files/gui/maf_edit.h"
#include "files/settings_file.h"
#include "files/vehicle_config.h"
#include "tools/gui/quelm_features.h"
#include "tools/gui/vehicle_properties.h"

namespace quelm {

class VehicleWindows {
  public:
    VehicleWindows(SettingsFile& settings, LiveConfig& live, CalibrationTables& tables);
    ~VehicleWindows();
    VehicleWindows(const VehicleWindows&) = delete;
    VehicleWindows& operator=(const VehicleWindows&) = delete;

    VP& vehicleDialog() { return *vp_; }
    QuelmFeatures& features() { return *features_; }
    const VehicleConfig& config() const { return config_; }

    // Reads every vehicle and feature setting, puts the MAF path into the editor's file box
    // and fills the feature options, then the vehicle dialog.
    void LoadVehicleConfig();
    // Loads the curve named in the editor's file box into the editor and the conversions.
    void LoadMafTable() { mafEdit_->LoadMafTable(); }

    // Routes every message box of the three windows (tests collect them instead).
    void SetMessageSink(const MessageSink& sink);

  private:
    SettingsFile& settings_;
    VehicleConfig config_;
    std::unique_ptr<VP> vp_;
    std::unique_ptr<QuelmFeatures> features_;
    std::unique_ptr<MAFEdit> mafEdit_;
};

}  // namespace quelm
