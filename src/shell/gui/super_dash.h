// The main window "Quelm_Dash": the instrument panel, a status bar of five equal panels, the
// statistics timer and the menus. It lays out and forwards: the link, the frame path and the
// other windows belong to the application (DashApp), which hooks itself in through the
// callbacks and window openers below.
#pragma once

#include <QMainWindow>
#include <QString>
#include <array>
#include <functional>
#include <map>
#include <vector>

class QAction;
class QLabel;
class QPushButton;
class QShortcut;
class QTimer;

namespace quelm {

class DashboardView;
class GaugeWidget;
class StatusModel;

class SuperDash : public QMainWindow {
    Q_OBJECT
  public:
    // Object names of the menu items, which are also the names window openers are hooked under.
    static constexpr const char* kScopeItem = "mnuViewquelmscope1";
    static constexpr const char* kLoggingItem = "mnuLogging_Control";
    static constexpr const char* kExportItem = "mnu_Export_Utility";
    static constexpr const char* kViewerItem = "mnuLogViewer";
    static constexpr const char* kSelfTestItem = "mnuSelfTestTool";
    static constexpr const char* kTpsToolItem = "mnuTPSSettingTool";
    static constexpr const char* kComSetupItem = "mnuSerialCommunication";
    static constexpr const char* kComStatsItem = "mnuComStats";
    static constexpr const char* kFeaturesItem = "mnuQuelmFeatureConnector";
    static constexpr const char* kVehicleItem = "mnuVehicleSettings";
    static constexpr const char* kUserGuideItem = "mnuHelpUserGuide";
    static constexpr const char* kAboutItem = "mnuHelpAbout";
    // The View menu's display choices.
    static constexpr const char* kUnitsUsItem = "mnuUnitsUS";
    static constexpr const char* kUnitsMetricItem = "mnuUnitsMetric";
    static constexpr const char* kPeakHoldItem = "mnuPeakHold";
    static constexpr const char* kResetPeaksItem = "mnuResetPeaks";

    explicit SuperDash(QWidget* parent = nullptr);

    DashboardView* dashboard() const { return dashboard_; }
    GaugeWidget* gauge(const QString& name) const;
    QPushButton* connectButton() const;
    // The menu item with this object name, or nullptr.
    QAction* menuItem(const QString& objectName) const;

    // Mirrors the link's status model: panel texts, link lamp, Connect caption.
    void ShowStatus(const StatusModel& status);

    // Hooks the window a menu item shows. An item without an opener is greyed out; the tps gauge
    // opens whatever kTpsToolItem opens.
    void SetWindowOpener(const QString& itemName, std::function<void()> open);

    // The feature options' controls over the panel: optional gauges shown or hidden, the Boost
    // gauge's full scale, and the window height in twips (7575 without, 9075 with the row of
    // optional sensors).
    void SetGaugeVisible(const QString& name, bool visible);
    void SetBoostFullScale(double fullScale);
    void SetHeightTwips(int twips);

    // Whether frames reach the gauges: live frames need the window visible and not minimised,
    // logged frames only visible.
    bool DashboardShown(bool live) const;

    // Ticks the units item and the Peak Hold item as the application has them.
    void ShowDisplayChoices(bool metric, bool peakHold);
    // Space, the arrows, Page Up/Down, Home and End go to playback while the logging window is
    // open (otherwise they keep their usual meaning on the panel); M always drops a marker.
    void SetPlaybackKeysEnabled(bool enabled);

    // The View menu's display items were chosen.
    std::function<void(bool metric)> onUnitsChosen;
    std::function<void(bool on)> onPeakHoldChosen;
    std::function<void()> onResetPeaks;
    // A playback key ("Space", "PgUp", "M", ...) was pressed.
    std::function<void(const QString& keyName)> onPlaybackKey;

    // The Connect button was pressed; Timer1 fired; the window was closed (the program ends).
    std::function<void()> onConnectClicked;
    std::function<void()> onTimer1;
    std::function<void()> onClosed;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildMenus();
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption);
    void Open(const QString& itemName);

    DashboardView* dashboard_;
    std::array<QLabel*, 5> panels_{};
    QTimer* timer1_;
    std::map<QString, std::function<void()>> openers_;
    std::vector<QShortcut*> playbackKeys_;
};

}  // namespace quelm
