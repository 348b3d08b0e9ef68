#include "tools/gui/vehicle_windows.h"

namespace quelm {

VehicleWindows::VehicleWindows(SettingsFile& settings, LiveConfig& live, CalibrationTables& tables)
    : settings_(settings),
      vp_(std::make_unique<VP>(live, settings)),
      features_(std::make_unique<QuelmFeatures>(live, settings)),
      mafEdit_(std::make_unique<MAFEdit>(tables)) {
    vp_->SetEditHandler([this] {
        mafEdit_->show();
        mafEdit_->raise();
    });
    mafEdit_->SetApplyHandler([this](const QString& path) {
        vp_->SetMafFile(path);
        vp_->show();
        vp_->raise();
    });
    mafEdit_->SetFallbackHandler([this](const QString& path) { vp_->SetMafFile(path); });
    features_->SetReloadHandler([this] { LoadVehicleConfig(); });
}

VehicleWindows::~VehicleWindows() = default;

void VehicleWindows::LoadVehicleConfig() {
    config_ = quelm::LoadVehicleConfig(settings_, config_);
    mafEdit_->SetFileName(QString::fromStdString(config_.MafFile));
    features_->ConfigureFeaturesFromVars(config_);
    vp_->ConfigureFeaturesFromVars(config_);
}

void VehicleWindows::SetMessageSink(const MessageSink& sink) {
    vp_->SetMessageSink(sink);
    mafEdit_->SetMessageSink(sink);
    features_->SetErrorSink(sink);
}

}  // namespace quelm
