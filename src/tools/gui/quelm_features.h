// The feature connector options: which MAP sensor, wide-band interface and AUX inputs are
// fitted. The option buttons are the live MAP and wide-band choice of the conversions.
#pragma once

#include <QWidget>
#include <functional>

#include "common/live_config.h"
#include "files/settings_file.h"
#include "files/vehicle_config.h"
#include "tools/dashboard_features.h"
#include "widgets/user_prompts.h"

class QRadioButton;

namespace quelm {

class QuelmFeatures : public QWidget {
    Q_OBJECT

  public:
    QuelmFeatures(LiveConfig& live, SettingsFile& settings, QWidget* parent = nullptr);

    // The main window, whose feature gauges and height follow the choice; may stay unset.
    void SetDashboard(DashboardFeatureTarget* dashboard) { dashboard_ = dashboard; }
    // Reloads every vehicle and feature setting from the file into both settings windows.
    void SetReloadHandler(std::function<void()> handler) { reload_ = std::move(handler); }
    // The BOOST value last computed, zero offset included.
    void SetCurrentBoost(std::function<double()> boost) { currentBoost_ = std::move(boost); }
    // Reports a settings file that could not be written.
    void SetErrorSink(MessageSink sink) { error_ = std::move(sink); }

    void ConfigureFeaturesFromVars(const VehicleConfig& config);

    // Save Settings: writes the three choices, reloads all settings and hides.
    bool save();
    // Zero It!: the current boost reading becomes the zero.
    void zeroMap();

  private:
    LiveConfig& live_;
    SettingsFile& settings_;
    DashboardFeatureTarget* dashboard_ = nullptr;
    std::function<void()> reload_;
    std::function<double()> currentBoost_;
    MessageSink error_;
    QRadioButton* nomap_ = nullptr;
    QRadioButton* onebar_ = nullptr;
    QRadioButton* twobar_ = nullptr;
    QRadioButton* threebar_ = nullptr;
    QRadioButton* nowideband_ = nullptr;
    QRadioButton* bailey_ = nullptr;
    QRadioButton* diy_ = nullptr;
    QRadioButton* innovate_ = nullptr;
    QRadioButton* noaux_ = nullptr;
    QRadioButton* volts_ = nullptr;
};

}  // namespace quelm
