// One chart of the log viewer: up to four channels picked above it, each on an axis of its own
// scale, drawn from the min/max envelope of the visible time range. The mouse asks the viewer
// (which keeps the time axis all charts share) to zoom, pan and move the cursor.
#pragma once

#include <qcustomplot.h>

#include <QColor>
#include <QPoint>
#include <QVector>
#include <QWidget>
#include <array>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "viewer/envelope.h"

class QComboBox;
class QRubberBand;

namespace quelm {

class MarkerLines;
struct LogColumns;

class LogChart : public QWidget {
    Q_OBJECT
  public:
    static constexpr int kPens = 4;
    static QColor PenColour(int pen);

    explicit LogChart(QWidget* parent = nullptr);
    ~LogChart() override;

    // The channel (index into LogChannels()) each pen shows; nothing for "*OFF*".
    void SetChannels(const std::array<std::optional<std::size_t>, kPens>& channels);
    std::optional<std::size_t> Channel(int pen) const;

    // Draws `log` over t0..t1 (no log: an empty chart over that range), in the units set.
    void Draw(const LogColumns* log, double t0, double t1);
    void SetUnits(DisplayUnits units) { units_ = units; }
    void SetCursor(std::optional<double> t);
    void SetMarks(const std::vector<std::pair<double, QString>>& marks, bool labels);

    QComboBox* selector(int pen) const { return selectors_[static_cast<std::size_t>(pen)]; }
    QCustomPlot* plot() const { return plot_; }
    QCPGraph* graph(int pen) const { return graphs_[static_cast<std::size_t>(pen)]; }
    const MarkerLines& markers() const { return *markers_; }
    // Points drawn by the last Draw(), all pens together.
    int PointsDrawn() const { return pointsDrawn_; }

  signals:
    void channelsChanged();
    void cursorPicked(double t);
    void zoomTo(double t0, double t1);
    // Zoom by `factor` (below 1 closer) keeping `t` where it is.
    void zoomAt(double t, double factor);
    void panBy(double dt);
    void showAll();

  private:
    void OnPress(QMouseEvent* event);
    void OnMove(QMouseEvent* event);
    void OnRelease(QMouseEvent* event);
    void OnWheel(QWheelEvent* event);
    double TimeAt(double pixelX) const;

    QCustomPlot* plot_;
    std::array<QComboBox*, kPens> selectors_{};
    std::array<QCPGraph*, kPens> graphs_{};
    std::array<QCPAxis*, kPens> axes_{};
    QCPItemStraightLine* cursor_;
    std::unique_ptr<MarkerLines> markers_;
    QRubberBand* band_;
    EnvelopeLine line_;
    QVector<QCPGraphData> points_;
    int pointsDrawn_ = 0;
    DisplayUnits units_ = DisplayUnits::US;
    // Mouse: where a left press began (zoom box or cursor), the pixel a pan last stood on.
    std::optional<QPoint> pressAt_;
    std::optional<double> panFrom_;
};

}  // namespace quelm
