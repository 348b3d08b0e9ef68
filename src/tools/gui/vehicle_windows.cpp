#include "tools/gui/vehicle_windows.h"

namespace quelm {

VehicleWindows::VehicleWindows(SettingsFile& settings, LiveConfig& live, CalibrationTables& tables)
    : settings_(settings),
      vp_(std::make_unique<VP>(live, settings)),
      features_(std::make_unique<QuelmFeatures>(live, settings)),
      mafEdit_(std::make_unique<MAFEdit>(tables)) {
    vp_->setEditHandler([this] {
        mafEdit_->show();
        mafEdit_->raise();
    });
    mafEdit_->setApplyHandler([this](const QString& path) {
        vp_->setMafFile(path);
        vp_->show();
        vp_->raise();
    });
    mafEdit_->setFallbackHandler([this](const QString& path) { vp_->setMafFile(path); });
    features_->setReloadHandler([this] { LoadVehicleConfig(); });
}

VehicleWindows::~VehicleWindows() = default;

void VehicleWindows::LoadVehicleConfig() {
    config_ = quelm::LoadVehicleConfig(settings_, config_);
    mafEdit_->setFileName(QString::fromStdString(config_.MafFile));
    features_->ConfigureFeaturesFromVars(config_);
    vp_->ConfigureFeaturesFromVars(config_);
}

void VehicleWindows::setMessageSink(const MessageSink& sink) {
    vp_->setMessageSink(sink);
    mafEdit_->setMessageSink(sink);
    features_->setErrorSink(sink);
}

}  // namespace quelm
