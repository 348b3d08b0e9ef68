// A four-pen strip chart on QCustomPlot. Points are appended to the pens' data and the chart
// replots on a short single-shot timer (or when its turn comes in a shared RefreshQueue), so any
// number of points between two screen refreshes costs one replot. Each pen keeps a bounded history
// so a long session stays in flat memory.
#pragma once

#include <QColor>
#include <QWidget>
#include <array>
#include <cmath>
#include <limits>
#include <memory>

#include "widgets/refresh_queue.h"

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemStraightLine;
class QMouseEvent;

namespace quelm {

class MarkerLines;

class StripChart : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPens = 4;
    // A 15-second trace crawls a few pixels a frame: 30 replots a second look smooth and leave
    // the poll loop, which shares the thread, twice the time that 60 would.
    static constexpr int kReplotIntervalMs = 33;
    static constexpr double kDefaultHistorySpan = 300.0;

    explicit StripChart(QWidget* parent = nullptr);
    ~StripChart() override;

    // Replots take turns with the other members of the queue instead of running on their own
    // timer.
    void SetRefreshQueue(RefreshQueue* queue);

    // Pen colours: black, red, blue, green for pens 0 to 3.
    static QColor PenColour(int pen);

    // Appends a point to a pen (0..3; other pens are ignored) and schedules a replot.
    void AddPoint(int pen, double x, double y);
    // Latest time; once it passes the right end the window scrolls to end there.
    void SetCurrentTime(double t);
    double CurrentTime() const { return currentTime_; }
    // Removes the points of every pen, and the markers.
    void Clear();
    // A labelled vertical line at x; it scrolls away with the history.
    void AddMarker(double x, const QString& label);
    int MarkerCount() const;
    // Clears and shows the horizontal range lower .. lower + width.
    void ResetTimeAxis(double width, double lower);
    void SetRange(double lower, double upper);
    // Keeps the lower end and sets the upper end to lower + width.
    void SetRangeWidth(double width);
    double RangeLower() const;
    double RangeUpper() const;
    // Vertical range of one pen; every pen starts at 0..1.
    void SetPenRange(int pen, double lower, double upper);
    // Sets the top of every pen's vertical range (the single-curve editor's largest flow).
    void SetVerticalTop(double top);
    double PenRangeLower(int pen) const;
    double PenRangeUpper(int pen) const;
    // 1 shows only pen 0 (a plain x/y curve); 4 is the scope layout.
    void SetPenCount(int count);
    int PenCount() const { return penCount_; }
    // How far back (in x units) each pen keeps points behind its newest one.
    void SetHistorySpan(double span) { historySpan_ = span; }
    double HistorySpan() const { return historySpan_; }

    // Read-out position: set by a left click or drag on the chart, or here. Either way the
    // cursor line moves and readOut() is raised.
    void SetReadOutPosition(double x);
    double ReadOutPosition() const { return readOutX_; }
    bool HasReadOut() const { return !std::isnan(readOutX_); }
    // The pen's plotted y at the read-out position: linear between the two points around it,
    // the nearest end point outside the pen's data, and 0 with no data or no read-out yet.
    double ValueAt(int pen) const;

    // Number of points a pen holds, and replots done so far; for tests and benchmarks.
    int PointCount(int pen) const;
    int ReplotCount() const { return replots_; }
    QCustomPlot* plot() const { return plot_; }

  signals:
    void readOut(double x);
    // The chart has taken in the latest points, and replotted them if it is on screen.
    void flushed();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    friend class RefreshQueue;
    void ScheduleReplot();
    void Flush();
    void OnMouse(QMouseEvent* event);
    bool ValidPen(int pen) const { return pen >= 0 && pen < kPens; }

    QCustomPlot* plot_ = nullptr;
    std::array<QCPGraph*, kPens> graphs_{};
    std::array<QCPAxis*, kPens> penAxes_{};
    QCPItemStraightLine* cursor_ = nullptr;
    std::unique_ptr<MarkerLines> markers_;
    RefreshPacer pacer_{this, kReplotIntervalMs, [this] { Flush(); }};
    bool dirty_ = false;
    int replots_ = 0;
    int penCount_ = kPens;
    double historySpan_ = kDefaultHistorySpan;
    double currentTime_ = 0.0;
    double readOutX_ = std::numeric_limits<double>::quiet_NaN();
};

}  // namespace quelm
