// Markers on a log viewer chart: a labelled vertical line at each marked time.
#pragma once

#include <QString>
#include <utility>
#include <vector>

class QCPAxis;
class QCPItemStraightLine;
class QCPItemText;
class QCustomPlot;

namespace quelm {

class MarkerLines {
  public:
    // Lines along `yAxis` at times on `xAxis`; the plot owns the items.
    MarkerLines(QCustomPlot* plot, QCPAxis* xAxis, QCPAxis* yAxis);
    MarkerLines(const MarkerLines&) = delete;
    MarkerLines& operator=(const MarkerLines&) = delete;

    // Replaces every marker.
    void Set(const std::vector<std::pair<double, QString>>& marks);
    void Clear();
    // Labels drawn at the top of the plot (a stack of charts labels only its first).
    void SetLabelsShown(bool shown);

    int Count() const { return static_cast<int>(marks_.size()); }
    double X(int i) const { return marks_[static_cast<std::size_t>(i)].x; }

  private:
    struct Mark {
        double x;
        QCPItemStraightLine* line;
        QCPItemText* label;
    };
    void Add(double x, const QString& label);
    void Remove(const Mark& mark);

    QCustomPlot* plot_;
    QCPAxis* xAxis_;
    QCPAxis* yAxis_;
    bool labelsShown_ = true;
    std::vector<Mark> marks_;
};

}  // namespace quelm
