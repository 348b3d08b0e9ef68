// The running dashboard: the link, the live configuration and tables, the frame path and the
// windows, wired together. It is the AppHub the secondary windows reach the program through;
// SuperDash only lays out and forwards to it.
#pragma once

#include <functional>
#include <memory>
#include <optional>

#include "common/com_port_map.h"
#include "common/live_config.h"
#include "common/long_operation.h"
#include "common/qt_serial_port.h"
#include "common/status_model.h"
#include "common/test_access.h"
#include "decode/calibration_tables.h"
#include "decode/convert_frame.h"
#include "decode/display_units.h"
#include "decode/gauge_peaks.h"
#include "files/dash_layout_file.h"
#include "files/live_marks.h"
#include "files/log_writer.h"
#include "files/settings_file.h"
#include "link/connect_device.h"
#include "link/link_context.h"
#include "shell/gui/frame_path.h"
#include "shell/gui/gui_runtime.h"
#include "tools/dashboard_features.h"
#include "tools/link_self_test_device.h"
#include "widgets/app_hub.h"

class QTimer;

namespace quelm {

class ComSetup;
class Export;
class LogViewer;
class Logging;
class ScopeTable;
class SelfTester;
class SuperDash;
class TPSTool;
class VehicleWindows;
class comstatdisplay;

class DashApp : public AppHub {
  public:
    explicit DashApp(std::filesystem::path settingsPath);
    ~DashApp() override;
    DashApp(const DashApp&) = delete;
    DashApp& operator=(const DashApp&) = delete;

    // AppHub.
    Runtime& runtime() override { return rt_; }
    StatusModel& status() override { return status_; }
    SettingsFile& settings() override { return settings_; }
    LiveConfig& liveConfig() override { return config_; }
    const CalibrationTables& tables() const override { return tables_; }
    const EngData& engData() const override { return convert_.eng; }
    LogRecorder& recorder() override { return recorder_; }
    QWidget* mainWindow() override;
    OperationRecord& operations() override { return ops_; }
    bool Connected() const override { return link_.Connected; }
    void Connect_Click() override;
    void Disconnect() override;
    void ShowLoggedFrame(const FrameBuffer& frame, double scopeTime) override;
    void ResetScopes() override;

    // The log viewer, shown, loading `log` when one is given.
    void OpenViewer(const std::filesystem::path& log = {});
    // The M key and the Mark button: while the link runs, a numbered marker on the live scopes
    // and, while recording, in the log's marks file.
    void DropMarker();

    // Hook-in points for the windows other parts of the program provide.
    void SetScopeFeed(ScopeFeed* scopes);
    // What became of each live frame written while recording (the logging window shows it).
    // Without a handler a limit or a write failure is reported in a message box.
    std::function<void(const LogWriteResult&)> onRecordWritten;

    // The windows and the link state the start-up works with.
    SuperDash& window() { return *window_; }
    ComSetup& comSetup() { return *comSetup_; }
    // The vehicle dialog, the feature options and the MAF editor: hidden, live all run long.
    VehicleWindows& vehicle() { return *vehicle_; }
    ScopeTable& scopeTable() { return *scopeTable_; }
    LinkContext& link() { return link_; }
    ComPortMap& portMap() { return portMap_; }
    CalibrationTables& mutableTables() { return tables_; }
    GuiRuntime& guiRuntime() { return rt_; }

    // The View menu's display choices, remembered in the layout file.
    void SetUnits(DisplayUnits units);
    DisplayUnits units() const { return units_; }
    void SetPeakHold(bool on);
    bool peakHold() const { return peakHold_; }
    // Peaks start again from the next frame (the menu item, and the start of a recording).
    void ResetPeaks();
    // The layout file as found at start (its windows are opened by the start-up), and the
    // windows as they are now written to it (at the end of the program).
    const DashLayout& savedLayout() const { return savedLayout_; }
    void SaveLayout();

    // The statistics tick Timer1 runs once a second.
    void StatisticsTick();
    // Called after each statistics tick with the fresh figures.
    std::function<void(const LinkStats&)> onStatistics;
    // Reports a port error as the link requires, writes the port side file and ends the program.
    void PortFailed(const PortFailure& failure);
    // Ends the program: every loop unwinds, every window closes, the event loop returns `code`.
    void EndProgram(int code);
    bool Ending() const { return rt_.Aborting(); }
    int exitCode() const { return exitCode_; }

  private:
    friend struct TestAccess<DashApp>;
    // The constructor's steps.
    void LoadSideFiles();
    void MakeToolWindows(SuperDash* w);
    void ConnectWindow(SuperDash* w);
    void ConnectDataPath(SuperDash* w);
    // Connects and runs the receive loop until the link is stopped.
    void RunLink();
    void ReportPortLost(const std::string& error);
    void RecordFrame(const FrameBuffer& frame);
    // Needle values reach the widgets at most once per screen refresh; the latest frame wins.
    void ShowGauges(const GaugeValues& values);
    void FlushGauges();

    // The feature options' hold on the main window.
    class FeatureTarget : public DashboardFeatureTarget {
      public:
        explicit FeatureTarget(DashApp& app) : app_(app) {}
        void SetGaugeVisible(const std::string& name, bool visible) override;
        bool gaugeVisible(const std::string& name) const override;
        void SetBoostFullScale(double psi) override;
        void SetWindowHeightTwips(int twips) override;

      private:
        DashApp& app_;
    };

    GuiRuntime rt_;
    StatusModel status_;
    SettingsFile settings_;
    LiveConfig config_;
    CalibrationTables tables_;
    ConvertState convert_;
    ComPortMap portMap_;
    QtSerialPort port_;
    LinkContext link_;
    FramePath path_;
    LinkSelfTestDevice selfTestDevice_;
    ScopeFeed* scopes_ = nullptr;
    LogRecorder recorder_;
    // A start that waited for an operation to end runs from the event loop, after the ended
    // operation's handler has returned.
    OperationRecord ops_;
    LiveMarks liveMarks_;
    FeatureTarget featureTarget_{*this};
    GaugeValues pendingGauges_{};
    // The last frame's values in US units, shown again when the units change.
    std::optional<GaugeValues> lastGauges_;
    bool gaugesPending_ = false;
    DisplayUnits units_ = DisplayUnits::US;
    bool peakHold_ = false;
    GaugePeaks peaks_;
    DashLayout savedLayout_;
    double lastGaugeFlush_ = -1e9;
    QTimer* gaugeTimer_ = nullptr;
    int exitCode_ = 0;

    // Declared last: destroyed first, while everything they point at still exists. The other
    // windows are its children.
    std::unique_ptr<VehicleWindows> vehicle_;
    std::unique_ptr<SuperDash> window_;
    // Scope windows are top-level windows of their own; the table goes before the main window.
    std::unique_ptr<ScopeTable> scopeTable_;
    Logging* logging_ = nullptr;
    Export* export_ = nullptr;
    LogViewer* viewer_ = nullptr;
    ComSetup* comSetup_ = nullptr;
    comstatdisplay* comStats_ = nullptr;
    TPSTool* tpsTool_ = nullptr;
    SelfTester* selfTester_ = nullptr;
};

}  // namespace quelm
