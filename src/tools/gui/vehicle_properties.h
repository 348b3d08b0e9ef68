// The vehicle settings dialog. Its fields are the live vehicle configuration: every edit
// reaches the conversions at once, saved or not.
#pragma once

#include <QWidget>
#include <functional>

#include "common/live_config.h"
#include "files/settings_file.h"
#include "files/vehicle_config.h"
#include "widgets/user_prompts.h"

class QCheckBox;
class QGridLayout;
class QLineEdit;
class QPushButton;

namespace quelm {

class VP : public QWidget {
    Q_OBJECT

  public:
    VP(LiveConfig& live, SettingsFile& settings, QWidget* parent = nullptr);

    void SetMessageSink(MessageSink sink) { message_ = std::move(sink); }
    // What "Edit/Browse" does: show the MAF editor.
    void SetEditHandler(std::function<void()> handler) { onEdit_ = std::move(handler); }

    // Shows the loaded configuration in the fields (and so in the live configuration).
    void ConfigureFeaturesFromVars(const VehicleConfig& config);
    void SetMafFile(const QString& path);

    // Save Settings: checks the fields, writes them and hides. Returns false when a check
    // refused the input or the settings file could not be written; the dialog then stays.
    bool save();

  private:
    // The steps of building the dialog.
    void CreateFields();
    QGridLayout* FieldGrid(QPushButton* edit);
    void FeedLiveConfig();

    LiveConfig& live_;
    SettingsFile& settings_;
    MessageSink message_;
    std::function<void()> onEdit_;
    QLineEdit* ci_ = nullptr;
    QLineEdit* numcyl_ = nullptr;
    QCheckBox* hasdis_ = nullptr;
    QLineEdit* injsize_ = nullptr;
    QCheckBox* hasbatchfire_ = nullptr;
    QLineEdit* vsscorrection_ = nullptr;
    QCheckBox* hasbap_ = nullptr;
    QLineEdit* maffile_ = nullptr;
};

}  // namespace quelm
