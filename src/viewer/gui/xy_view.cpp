#include "viewer/gui/xy_view.h"

#include <qcustomplot.h>

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <algorithm>

#include "viewer/log_columns.h"

namespace quelm {
namespace {

// Pixels per cell: fine enough to read a map, coarse enough that a cell gathers records.
constexpr int kCellPixels = 4;

QString Name(std::size_t channel) {
    const std::string_view name = LogChannels()[channel].name;
    return QString::fromLatin1(name.data(), static_cast<int>(name.size()));
}

QComboBox* Selector(const char* name, bool withOff, const char* initial, QWidget* parent) {
    auto* box = new QComboBox(parent);
    box->setObjectName(QLatin1String(name));
    if (withOff) {
        box->addItem(QStringLiteral("*OFF*"));
    }
    for (std::size_t c = 0; c < kLogChannelCount; ++c) {
        box->addItem(Name(c));
    }
    box->setCurrentText(QLatin1String(initial));
    return box;
}

}  // namespace

XYView::XYView(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("XYView"));
    setWindowTitle(QStringLiteral("X-Y View"));
    x_ = Selector("xChannel", false, "RPM", this);
    y_ = Selector("yChannel", false, "LOAD", this);
    colour_ = Selector("colourChannel", true, "WIDEO2", this);
    info_ = new QLabel(this);
    info_->setObjectName(QStringLiteral("info"));

    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(QStringLiteral("X:"), this));
    row->addWidget(x_);
    row->addWidget(new QLabel(QStringLiteral("Y:"), this));
    row->addWidget(y_);
    row->addWidget(new QLabel(QStringLiteral("Colour:"), this));
    row->addWidget(colour_);
    row->addSpacing(12);
    row->addWidget(info_, 1);

    plot_ = new QCustomPlot(this);
    map_ = new QCPColorMap(plot_->xAxis, plot_->yAxis);
    scale_ = new QCPColorScale(plot_);
    plot_->plotLayout()->addElement(0, 1, scale_);
    scale_->setType(QCPAxis::atRight);
    map_->setColorScale(scale_);
    QCPColorGradient gradient(QCPColorGradient::gpJet);
    gradient.setNanHandling(QCPColorGradient::nhTransparent);
    map_->setGradient(gradient);
    map_->setInterpolate(false);
    // The scale sits beside the plot with the same top and bottom.
    auto* margins = new QCPMarginGroup(plot_);
    plot_->axisRect()->setMarginGroup(QCP::msBottom | QCP::msTop, margins);
    scale_->setMarginGroup(QCP::msBottom | QCP::msTop, margins);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(plot_, 1);
    for (QComboBox* box : {x_, y_, colour_}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] { Redraw(); });
    }
    resize(720, 560);
}

void XYView::SetSource(const LogColumns* log, std::size_t first, std::size_t last) {
    log_ = log;
    first_ = first;
    last_ = last;
    if (isVisible()) {
        Redraw();
    }
}

void XYView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    Redraw();
}

void XYView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (isVisible()) {
        Redraw();
    }
}

void XYView::Redraw() {
    const auto x = static_cast<std::size_t>(std::max(x_->currentIndex(), 0));
    const auto y = static_cast<std::size_t>(std::max(y_->currentIndex(), 0));
    const int colourIndex = colour_->currentIndex();
    const std::optional<std::size_t> colour =
        colourIndex > 0 ? std::optional<std::size_t>(static_cast<std::size_t>(colourIndex - 1))
                        : std::nullopt;
    const auto caption = [this](std::size_t channel) {
        return QString::fromStdString(ChannelCaption(channel, units_));
    };
    plot_->xAxis->setLabel(caption(x));
    plot_->yAxis->setLabel(caption(y));
    scale_->axis()->setLabel(colour ? QStringLiteral("mean of ") + caption(*colour)
                                    : QStringLiteral("records"));
    if (log_ == nullptr) {
        map_->data()->clear();
        info_->clear();
        plot_->replot();
        return;
    }
    const QRect area = plot_->axisRect()->rect();
    const int nx = std::clamp(area.width() / kCellPixels, 10, 400);
    const int ny = std::clamp(area.height() / kCellPixels, 10, 400);
    grid_ = BinXY(*log_, x, y, colour, first_, last_, nx, ny, units_);

    // The map's range runs from the first cell's centre to the last one's.
    const double dx = (grid_.xUpper - grid_.xLower) / grid_.nx;
    const double dy = (grid_.yUpper - grid_.yLower) / grid_.ny;
    map_->data()->setSize(grid_.nx, grid_.ny);
    map_->data()->setRange(QCPRange(grid_.xLower + dx / 2, grid_.xUpper - dx / 2),
                           QCPRange(grid_.yLower + dy / 2, grid_.yUpper - dy / 2));
    for (int iy = 0; iy < grid_.ny; ++iy) {
        for (int ix = 0; ix < grid_.nx; ++ix) {
            map_->data()->setCell(ix, iy,
                                  grid_.cells[static_cast<std::size_t>(iy * grid_.nx + ix)]);
        }
    }
    map_->setDataRange(QCPRange(grid_.cellLower, grid_.cellUpper));
    plot_->xAxis->setRange(grid_.xLower, grid_.xUpper);
    plot_->yAxis->setRange(grid_.yLower, grid_.yUpper);
    info_->setText(QStringLiteral("%1 records").arg(grid_.points));
    plot_->replot();
}

}  // namespace quelm
