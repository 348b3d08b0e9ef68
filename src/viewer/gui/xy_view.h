// The X-Y view: one channel against another over the time range the viewer's charts show, each
// cell coloured by a third channel's mean there (RPM against LOAD by the wide-band value reads
// as a fuel map) or, with no colour channel, by how many records fell in it.
#pragma once

#include <QWidget>
#include <cstddef>

#include "viewer/xy_grid.h"

class QComboBox;
class QCustomPlot;
class QCPColorMap;
class QCPColorScale;
class QLabel;

namespace quelm {

struct LogColumns;

class XYView : public QWidget {
    Q_OBJECT
  public:
    explicit XYView(QWidget* parent = nullptr);

    // The records [first, last) of `log` (no log: an empty view); redraws when shown.
    void SetSource(const LogColumns* log, std::size_t first, std::size_t last);
    // The values in these units from the next redraw.
    void SetUnits(DisplayUnits units) { units_ = units; }

    QComboBox* xSelector() const { return x_; }
    QComboBox* ySelector() const { return y_; }
    QComboBox* colourSelector() const { return colour_; }
    const XYGrid& grid() const { return grid_; }

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Redraw();

    const LogColumns* log_ = nullptr;
    std::size_t first_ = 0;
    std::size_t last_ = 0;
    DisplayUnits units_ = DisplayUnits::US;
    XYGrid grid_;
    QComboBox* x_;
    QComboBox* y_;
    QComboBox* colour_;
    QLabel* info_;
    QCustomPlot* plot_;
    QCPColorMap* map_;
    QCPColorScale* scale_;
};

}  // namespace quelm
