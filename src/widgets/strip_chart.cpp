#include "widgets/strip_chart.h"

#include <qcustomplot.h>
#include <QVBoxLayout>

#include "widgets/marker_lines.h"

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
        penAxes_[pen] = rect->addAxis(QCPAxis::atLeft);
        penAxes_[pen]->setVisible(false);
    }
    for (int pen = 0; pen < kPens; ++pen) {
        penAxes_[pen]->setRange(0.0, 1.0);
        graphs_[pen] = plot_->addGraph(plot_->xAxis, penAxes_[pen]);
        graphs_[pen]->setPen(QPen(PenColour(pen), 1.5));
        graphs_[pen]->setAdaptiveSampling(true);
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

    markers_ = std::make_unique<MarkerLines>(plot_, plot_->xAxis, plot_->yAxis);

    connect(plot_, &QCustomPlot::mousePress, this, &StripChart::OnMouse);
    connect(plot_, &QCustomPlot::mouseMove, this, &StripChart::OnMouse);
}

StripChart::~StripChart() = default;

void StripChart::SetRefreshQueue(RefreshQueue* queue) {
    pacer_.SetQueue(queue);
}

QColor StripChart::PenColour(int pen) {
    static const std::array<QColor, kPens> kColours{QColor(0, 0, 0), QColor(255, 0, 0),
                                                    QColor(0, 0, 255), QColor(0, 160, 0)};
    return (pen >= 0 && pen < kPens) ? kColours[pen] : QColor(128, 128, 128);
}

void StripChart::AddPoint(int pen, double x, double y) {
    if (!ValidPen(pen)) {
        return;
    }
    graphs_[pen]->addData(x, y);
    ScheduleReplot();
}

void StripChart::SetCurrentTime(double t) {
    currentTime_ = t;
    const QCPRange range = plot_->xAxis->range();
    if (t > range.upper) {
        plot_->xAxis->setRange(t - range.size(), t);
        ScheduleReplot();
    }
}

void StripChart::Clear() {
    for (QCPGraph* graph : graphs_) {
        graph->data()->clear();
    }
    markers_->Clear();
    ScheduleReplot();
}

void StripChart::AddMarker(double x, const QString& label) {
    markers_->Add(x, label);
    ScheduleReplot();
}

int StripChart::MarkerCount() const {
    return markers_->Count();
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
    penAxes_[pen]->setRange(lower, upper);
    ScheduleReplot();
}

void StripChart::SetVerticalTop(double top) {
    for (int pen = 0; pen < kPens; ++pen) {
        SetPenRange(pen, penAxes_[pen]->range().lower, top);
    }
}

double StripChart::PenRangeLower(int pen) const {
    return ValidPen(pen) ? penAxes_[pen]->range().lower : 0.0;
}
double StripChart::PenRangeUpper(int pen) const {
    return ValidPen(pen) ? penAxes_[pen]->range().upper : 0.0;
}

void StripChart::SetPenCount(int count) {
    penCount_ = std::clamp(count, 1, kPens);
    for (int pen = 0; pen < kPens; ++pen) {
        graphs_[pen]->setVisible(pen < penCount_);
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

double StripChart::ValueAt(int pen) const {
    if (!ValidPen(pen) || !HasReadOut()) {
        return 0.0;
    }
    const auto data = graphs_[pen]->data();
    if (data->isEmpty()) {
        return 0.0;
    }
    auto after = data->findBegin(readOutX_, false);  // first point with key >= x
    if (after == data->constEnd()) {
        return (data->constEnd() - 1)->value;
    }
    if (after == data->constBegin() || after->key == readOutX_) {
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
    return ValidPen(pen) ? graphs_[pen]->data()->size() : 0;
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
        auto data = graph->data();
        if (!data->isEmpty()) {
            data->removeBefore((data->constEnd() - 1)->key - historySpan_);
        }
    }
    markers_->RemoveBefore(currentTime_ - historySpan_);
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

void StripChart::OnMouse(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton) {
        SetReadOutPosition(plot_->xAxis->pixelToCoord(event->position().x()));
    }
}

}  // namespace quelm
