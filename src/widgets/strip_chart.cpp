#include "widgets/strip_chart.h"

#include <qcustomplot.h>
#include <QVBoxLayout>

#include "widgets/marker_colour.h"

namespace quelm {

StripChart::StripChart(QWidget* parent) : QWidget(parent) {
    plot_ = new QCustomPlot(this);
    // Straight unsmoothed polylines: a strip chart redraws many times a second on the thread
    // that also polls the device.
    plot_->setPlottingHint(QCP::phFastPolylines, true);
    plot_->setNotAntialiasedElements(QCP::aePlottables);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(plot_);

    // Pen 0 uses the visible left axis; the others get hidden axes of their own so that each
    // pen can carry its own vertical range.
    QCPAxisRect* rect = plot_->axisRect();
    penAxes_[0] = plot_->yAxis;
    for (int pen = 1; pen < kPens; ++pen) {
        penAxes_[static_cast<std::size_t>(pen)] = rect->addAxis(QCPAxis::atLeft);
        Axis(pen)->setVisible(false);
    }
    for (int pen = 0; pen < kPens; ++pen) {
        Axis(pen)->setRange(0.0, 1.0);
        graphs_[static_cast<std::size_t>(pen)] = plot_->addGraph(plot_->xAxis, Axis(pen));
        Graph(pen)->setPen(QPen(PenColour(pen), 1.5));
        Graph(pen)->setAdaptiveSampling(true);
    }
    plot_->xAxis->setRange(0.0, 15.0);
    plot_->xAxis->grid()->setSubGridVisible(true);
    plot_->yAxis->grid()->setSubGridVisible(true);

    cursor_ = new QCPItemStraightLine(plot_);
    cursor_->setPen(QPen(QColor(120, 120, 120), 1.0, Qt::DashLine));
    cursor_->point1->setType(QCPItemPosition::ptPlotCoords);
    cursor_->point2->setType(QCPItemPosition::ptPlotCoords);
    cursor_->setVisible(false);
    cursor_->setSelectable(false);

    connect(plot_, &QCustomPlot::mousePress, this, &StripChart::OnPress);
    connect(plot_, &QCustomPlot::mouseMove, this, &StripChart::OnMove);
    connect(plot_, &QCustomPlot::mouseRelease, this, &StripChart::OnRelease);
    connect(plot_, &QCustomPlot::mouseWheel, this, &StripChart::OnWheel);
}

void StripChart::SetRefreshQueue(RefreshQueue* queue) {
    pacer_.SetQueue(queue);
}

QColor StripChart::PenColour(int pen) {
    static const std::array<QColor, kPens> kColours{QColor(0, 0, 0), QColor(255, 0, 0),
                                                    QColor(0, 0, 255), QColor(0, 160, 0)};
    return (pen >= 0 && pen < kPens) ? kColours[static_cast<std::size_t>(pen)]
                                     : QColor(128, 128, 128);
}

void StripChart::AddPoint(int pen, double x, double y) {
    if (!ValidPen(pen)) {
        return;
    }
    Graph(pen)->addData(x, y);
    ScheduleReplot();
}

void StripChart::SetCurrentTime(double t) {
    currentTime_ = t;
    const QCPRange range = plot_->xAxis->range();
    if (following_ && t > range.upper) {
        plot_->xAxis->setRange(t - range.size(), t);
        ScheduleReplot();
    }
}

void StripChart::Clear() {
    for (QCPGraph* graph : graphs_) {
        graph->data()->clear();
    }
    for (QCPItemLine* marker : markers_) {
        plot_->removeItem(marker);
    }
    markers_.clear();
    ScheduleReplot();
}

double StripChart::OldestX() const {
    double oldest = std::numeric_limits<double>::quiet_NaN();
    for (const QCPGraph* graph : graphs_) {
        if (!graph->data()->isEmpty()) {
            const double x = graph->data()->constBegin()->key;
            oldest = std::isnan(oldest) ? x : std::min(oldest, x);
        }
    }
    return oldest;
}

double StripChart::NewestX() const {
    double newest = std::numeric_limits<double>::quiet_NaN();
    for (const QCPGraph* graph : graphs_) {
        if (!graph->data()->isEmpty()) {
            const double x = (graph->data()->constEnd() - 1)->key;
            newest = std::isnan(newest) ? x : std::max(newest, x);
        }
    }
    return newest;
}

void StripChart::AddMarkerTick(double x) {
    auto* tick = new QCPItemLine(plot_);
    tick->setPen(QPen(MarkerColour(), 2.0));
    tick->setSelectable(false);
    for (QCPItemPosition* end : {tick->start, tick->end}) {
        end->setTypeX(QCPItemPosition::ptPlotCoords);
        end->setTypeY(QCPItemPosition::ptAxisRectRatio);
    }
    tick->start->setCoords(x, 1.0);
    tick->end->setCoords(x, 0.9);
    markers_.push_back(tick);
    ScheduleReplot();
}

void StripChart::ResetTimeAxis(double width, double lower) {
    Clear();
    currentTime_ = lower;
    SetRange(lower, lower + width);
}

void StripChart::SetRange(double lower, double upper) {
    plot_->xAxis->setRange(lower, upper);
    ScheduleReplot();
}

void StripChart::SetRangeWidth(double width) {
    const double lower = plot_->xAxis->range().lower;
    SetRange(lower, lower + width);
}

double StripChart::RangeLower() const {
    return plot_->xAxis->range().lower;
}
double StripChart::RangeUpper() const {
    return plot_->xAxis->range().upper;
}

void StripChart::SetPenRange(int pen, double lower, double upper) {
    if (!ValidPen(pen)) {
        return;
    }
    Axis(pen)->setRange(lower, upper);
    ScheduleReplot();
}

void StripChart::SetVerticalTop(double top) {
    for (int pen = 0; pen < kPens; ++pen) {
        SetPenRange(pen, Axis(pen)->range().lower, top);
    }
}

void StripChart::SetPenCount(int count) {
    penCount_ = std::clamp(count, 1, kPens);
    for (int pen = 0; pen < kPens; ++pen) {
        Graph(pen)->setVisible(pen < penCount_);
    }
    ScheduleReplot();
}

void StripChart::SetReadOutPosition(double x) {
    readOutX_ = x;
    cursor_->point1->setCoords(x, 0.0);
    cursor_->point2->setCoords(x, 1.0);
    cursor_->setVisible(true);
    ScheduleReplot();
    emit readOut(x);
}

void StripChart::ClearReadOut() {
    readOutX_ = std::numeric_limits<double>::quiet_NaN();
    cursor_->setVisible(false);
    ScheduleReplot();
}

double StripChart::ValueAt(int pen) const {
    if (!ValidPen(pen) || !HasReadOut()) {
        return 0.0;
    }
    const auto points = Graph(pen)->data();
    if (points->isEmpty()) {
        return 0.0;
    }
    auto after = points->findBegin(readOutX_, false);  // first point with key >= x
    if (after == points->constEnd()) {
        return (points->constEnd() - 1)->value;
    }
    if (after == points->constBegin() || after->key == readOutX_) {
        return after->value;
    }
    auto before = after - 1;
    const double span = after->key - before->key;
    if (span <= 0.0) {
        return after->value;
    }
    const double t = (readOutX_ - before->key) / span;
    return before->value + t * (after->value - before->value);
}

int StripChart::PointCount(int pen) const {
    return ValidPen(pen) ? Graph(pen)->data()->size() : 0;
}

void StripChart::ScheduleReplot() {
    dirty_ = true;
    pacer_.Request();
}

void StripChart::Flush() {
    if (!dirty_) {
        return;
    }
    // Trim even while hidden, so a chart nobody looks at does not grow either.
    for (QCPGraph* graph : graphs_) {
        auto points = graph->data();
        if (!points->isEmpty()) {
            points->removeBefore((points->constEnd() - 1)->key - historySpan_);
        }
    }
    const double keepFrom = NewestX() - historySpan_;
    while (!markers_.empty() && markers_.front()->start->coords().x() < keepFrom) {
        plot_->removeItem(markers_.front());
        markers_.erase(markers_.begin());
    }
    if (!isVisible()) {
        emit flushed();
        return;  // stays dirty; showEvent replots
    }
    dirty_ = false;
    ++replots_;
    plot_->replot(QCustomPlot::rpQueuedRefresh);
    emit flushed();
}

void StripChart::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (dirty_) {
        ScheduleReplot();
    }
}

void StripChart::OnPress(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        return;
    }
    dragging_ = false;
    dragFromPx_ = event->position().x();
    if (!dragPans_) {
        SetReadOutPosition(plot_->xAxis->pixelToCoord(dragFromPx_));
    }
}

void StripChart::OnMove(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        return;
    }
    const double px = event->position().x();
    if (!dragPans_) {
        SetReadOutPosition(plot_->xAxis->pixelToCoord(px));
        return;
    }
    // A few pixels of wobble are still a click.
    if (!dragging_ && std::abs(px - dragFromPx_) < 4) {
        return;
    }
    dragging_ = true;
    // Dragging the trace to the right brings earlier times into view.
    emit panRequested(plot_->xAxis->pixelToCoord(dragFromPx_) - plot_->xAxis->pixelToCoord(px));
    dragFromPx_ = px;
}

void StripChart::OnRelease(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragPans_ && !dragging_) {
        SetReadOutPosition(plot_->xAxis->pixelToCoord(event->position().x()));
    }
    dragging_ = false;
}

void StripChart::OnWheel(QWheelEvent* event) {
    if (!dragPans_) {
        return;
    }
    // One notch moves a fifth of the shown range; turning away from the user goes back in time.
    const double notches = event->angleDelta().y() / 120.0;
    emit panRequested(-notches * plot_->xAxis->range().size() / 5.0);
}

}  // namespace quelm
