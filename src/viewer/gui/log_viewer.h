// The log viewer ("Log Viewer"): a whole log on one to four stacked charts that share one time
// axis, zoomed and panned with the mouse and the keyboard, a cursor whose values of every
// channel fill a side table, the log's markers, and an X-Y view of the visible range. A log is
// loaded in slices from a timer, with progress and a Cancel button, so that nothing else waits
// for it.
#pragma once

#include <QElapsedTimer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

#include "common/live_config.h"
#include "common/records.h"
#include "decode/calibration_tables.h"
#include "viewer/log_columns.h"
#include "widgets/user_prompts.h"

class QCheckBox;
class QLabel;
class QLayout;
class QProgressBar;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTimer;
class QVBoxLayout;

namespace quelm {

class LogChart;
class MarksPanel;
class XYView;

class LogViewer : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kMaxCharts = 4;
    // The narrowest time range shown, in seconds.
    static constexpr double kMinSpan = 0.05;

    // Logs are converted with `config` and `tables` as they stand when each is opened.
    LogViewer(const LiveConfig& config, const CalibrationTables& tables, QWidget* parent = nullptr);
    ~LogViewer() override;

    void SetMessageSink(MessageSink sink);
    // The charts, the value table and the X-Y view show values in these units.
    void SetUnits(DisplayUnits units);
    DisplayUnits units() const { return units_; }

    // Starts loading `log`; the charts show it once loaded. A log that playback and export
    // refuse is refused with their message, and the log shown stays.
    void Open(const std::filesystem::path& log);
    // The open-file dialog (not modal to anything running), then Open().
    void Browse();
    void CancelLoad();
    bool Loading() const { return loader_ != nullptr; }
    // The loaded log, or nothing.
    const LogColumns* log() const { return log_.get(); }
    const std::filesystem::path& path() const { return path_; }

    void SetChartCount(int count);
    int ChartCount() const { return chartCount_; }
    LogChart* chart(int index) const { return charts_[static_cast<std::size_t>(index)]; }

    // The time range every chart shows, kept inside the log and at least kMinSpan wide.
    void SetRange(double t0, double t1);
    double RangeLower() const { return t0_; }
    double RangeUpper() const { return t1_; }
    void ShowAll();
    // Zoom by `factor` (below 1 closer) keeping `t` in place; pan by `dt` seconds.
    void ZoomAt(double t, double factor);
    void PanBy(double dt);

    // Puts the cursor at `t` (within the log): the side table shows the record at or before it.
    void SetCursor(double t);
    std::optional<double> Cursor() const { return cursor_; }
    std::optional<std::size_t> CursorRecord() const;

    // Draws every chart now (normally a range change schedules this once per event loop turn).
    void Redraw();

    MarksPanel* marks() const { return marks_; }
    QTableWidget* valueTable() const { return values_; }
    // Created on first use.
    XYView& xyView();

    // "Play from here": the logging window plays `log` from record `record` (from 1).
    std::function<void(const std::filesystem::path& log, std::uint64_t record)> onPlayFrom;
    // Moves the dashboard's gauges to these values; asked only while gaugesFree() says the
    // link and playback leave them alone.
    std::function<void(const EngData&)> showOnGauges;
    std::function<bool()> gaugesFree;

  signals:
    // A log has been loaded and drawn.
    void loaded();

  protected:
    // Closing stops a load and lets go of the log's memory.
    void closeEvent(QCloseEvent* event) override;

  private:
    // The constructor's steps.
    QLayout* BuildToolbar();
    QWidget* BuildCharts();
    QWidget* BuildSidePanel();
    QLayout* BuildStatusRow();
    void ConnectControls();
    void UpdateXYSource();
    void LoadSlice();
    void ScheduleRedraw();
    void ShowCursorValues();
    void ShowChannelCaptions();
    void ShowMarks();
    void UpdateButtons();
    std::pair<double, double> Extent() const;

    const LiveConfig& config_;
    const CalibrationTables& tables_;
    MessageSink message_;
    std::filesystem::path path_;
    std::filesystem::path loadingPath_;
    std::unique_ptr<LogColumnsLoader> loader_;
    std::unique_ptr<LogColumns> log_;
    QElapsedTimer loadClock_;
    double t0_ = 0;
    double t1_ = 1;
    std::optional<double> cursor_;
    int chartCount_ = 0;
    DisplayUnits units_ = DisplayUnits::US;

    QPushButton* open_;
    QLabel* file_;
    QSpinBox* chartCountBox_;
    QPushButton* xyButton_;
    QPushButton* playFromHere_;
    QCheckBox* followGauges_;
    std::array<LogChart*, kMaxCharts> charts_{};
    QTableWidget* values_;
    MarksPanel* marks_;
    QLabel* status_;
    QProgressBar* progress_;
    QPushButton* cancel_;
    QTimer* loadTimer_;
    QTimer* redrawTimer_;
    XYView* xy_ = nullptr;
};

}  // namespace quelm
