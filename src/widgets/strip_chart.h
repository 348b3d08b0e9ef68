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
#include <vector>

#include "common/test_access.h"
#include "widgets/refresh_queue.h"

class QCustomPlot;
class QCPAxis;
class QCPGraph;
class QCPItemLine;
class QCPItemStraightLine;
class QMouseEvent;
class QWheelEvent;

namespace quelm {

class StripChart : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPens = 4;
    // A 15-second trace crawls a few pixels a frame: 30 replots a second look smooth and leave
    // the poll loop, which shares the thread, twice the time that 60 would.
    static constexpr int kReplotIntervalMs = 33;
    static constexpr double kDefaultHistorySpan = 300.0;

    explicit StripChart(QWidget* parent = nullptr);

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
    // Removes the points of every pen.
    void Clear();
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
    // 1 shows only pen 0 (a plain x/y curve); 4 is the scope layout.
    void SetPenCount(int count);
    // How far back (in x units) each pen keeps points behind its newest one.
    void SetHistorySpan(double span) { historySpan_ = span; }
    double HistorySpan() const { return historySpan_; }

    // While not following, SetCurrentTime leaves the shown range alone (a paused scope).
    void SetFollowing(bool following) { following_ = following; }
    // While set, a left drag and the mouse wheel ask to move the shown range (panRequested)
    // and only a click without a drag moves the read-out.
    void SetDragPans(bool pans) { dragPans_ = pans; }
    // The oldest and newest x any pen holds (NaN when all are empty).
    double OldestX() const;
    double NewestX() const;
    // A short tick at the foot of the chart at `x` (a marker); kept as long as the history.
    void AddMarkerTick(double x);

    // Read-out position: set by a left click or drag on the chart, or here. Either way the
    // cursor line moves and readOut() is raised.
    void SetReadOutPosition(double x);
    // No read-out position: the cursor line goes and every pen reads 0 until the next one.
    void ClearReadOut();
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
    // With SetDragPans: move the shown range by this many seconds (negative: back in time).
    void panRequested(double seconds);

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    friend class RefreshQueue;
    friend struct TestAccess<StripChart>;
    void ScheduleReplot();
    void Flush();
    void OnPress(QMouseEvent* event);
    void OnMove(QMouseEvent* event);
    void OnRelease(QMouseEvent* event);
    void OnWheel(QWheelEvent* event);
    bool ValidPen(int pen) const { return pen >= 0 && pen < kPens; }
    // The pen's graph and vertical axis; `pen` is valid.
    QCPGraph* Graph(int pen) const { return graphs_[static_cast<std::size_t>(pen)]; }
    QCPAxis* Axis(int pen) const { return penAxes_[static_cast<std::size_t>(pen)]; }

    QCustomPlot* plot_ = nullptr;
    std::array<QCPGraph*, kPens> graphs_{};
    std::array<QCPAxis*, kPens> penAxes_{};
    QCPItemStraightLine* cursor_ = nullptr;
    std::vector<QCPItemLine*> markers_;
    bool following_ = true;
    bool dragPans_ = false;
    bool dragging_ = false;
    double dragFromPx_ = 0;
    RefreshPacer pacer_{this, kReplotIntervalMs, [this] { Flush(); }};
    bool dirty_ = false;
    int replots_ = 0;
    int penCount_ = kPens;
    double historySpan_ = kDefaultHistorySpan;
    double currentTime_ = 0.0;
    double readOutX_ = std::numeric_limits<double>::quiet_NaN();
};

}  // namespace quelm
