#include "viewer/gui/marker_lines.h"

#include <qcustomplot.h>

#include <algorithm>

#include "widgets/marker_colour.h"

namespace quelm {

MarkerLines::MarkerLines(QCustomPlot* plot, QCPAxis* xAxis, QCPAxis* yAxis)
    : plot_(plot), xAxis_(xAxis), yAxis_(yAxis) {}

void MarkerLines::Add(double x, const QString& text) {
    auto* line = new QCPItemStraightLine(plot_);
    line->setPen(QPen(MarkerColour(), 1.5));
    line->setSelectable(false);
    for (QCPItemPosition* p : {line->point1, line->point2}) {
        p->setAxes(xAxis_, yAxis_);
        p->setType(QCPItemPosition::ptPlotCoords);
    }
    line->point1->setCoords(x, 0.0);
    line->point2->setCoords(x, 1.0);

    auto* label = new QCPItemText(plot_);
    label->setSelectable(false);
    label->position->setAxes(xAxis_, yAxis_);
    label->position->setTypeX(QCPItemPosition::ptPlotCoords);
    label->position->setTypeY(QCPItemPosition::ptAxisRectRatio);
    label->position->setAxisRect(xAxis_->axisRect());
    // Neighbours' labels take turns on three rows, so that close markers stay readable.
    constexpr int kRows = 3;
    constexpr double kRowHeight = 0.08;
    label->position->setCoords(x, static_cast<double>(marks_.size() % kRows) * kRowHeight);
    label->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setText(text);
    label->setColor(MarkerColour().darker(130));
    label->setBrush(QColor(255, 255, 255, 200));
    label->setPadding(QMargins(2, 1, 2, 1));
    label->setClipToAxisRect(true);
    label->setVisible(labelsShown_);
    marks_.push_back({x, line, label});
}

void MarkerLines::Set(const std::vector<std::pair<double, QString>>& marks) {
    Clear();
    for (const auto& [x, text] : marks) {
        Add(x, text);
    }
}

void MarkerLines::Remove(const Mark& mark) {
    plot_->removeItem(mark.line);
    plot_->removeItem(mark.label);
}

void MarkerLines::Clear() {
    for (const Mark& mark : marks_) {
        Remove(mark);
    }
    marks_.clear();
}

void MarkerLines::SetLabelsShown(bool shown) {
    labelsShown_ = shown;
    for (const Mark& mark : marks_) {
        mark.label->setVisible(shown);
    }
}

}  // namespace quelm
