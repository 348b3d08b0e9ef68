#include "viewer/gui/log_chart.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QRubberBand>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "viewer/gui/marker_lines.h"
#include "viewer/log_columns.h"

namespace quelm {
namespace {

// A press that moves less than this is a click (the cursor), more a zoom box.
constexpr int kDragPixels = 5;
constexpr const char* kOff = "*OFF*";
constexpr int kSideMargin = 130;

}  // namespace

QColor LogChart::PenColour(int pen) {
    static const std::array<QColor, kPens> kColours{QColor(0, 0, 0), QColor(220, 0, 0),
                                                    QColor(0, 0, 230), QColor(0, 150, 0)};
    return kColours[static_cast<std::size_t>(std::clamp(pen, 0, kPens - 1))];
}

LogChart::LogChart(QWidget* parent) : QWidget(parent) {
    auto* selectorRow = new QHBoxLayout;
    for (int pen = 0; pen < kPens; ++pen) {
        auto* box = new QComboBox(this);
        box->setObjectName(QStringLiteral("var%1").arg(pen + 1));
        box->addItem(QLatin1String(kOff));
        for (const LogChannel& c : LogChannels()) {
            box->addItem(QString::fromLatin1(c.name.data(), static_cast<int>(c.name.size())));
        }
        QPalette palette = box->palette();
        palette.setColor(QPalette::ButtonText, PenColour(pen));
        palette.setColor(QPalette::Text, PenColour(pen));
        box->setPalette(palette);
        connect(box, &QComboBox::currentIndexChanged, this, [this] { emit channelsChanged(); });
        selectors_[static_cast<std::size_t>(pen)] = box;
        selectorRow->addWidget(box);
    }
    selectorRow->addStretch(1);

    plot_ = new QCustomPlot(this);
    plot_->setObjectName(QStringLiteral("plot"));
    // The envelope already holds at most two points per pixel: nothing to gain from QCustomPlot's
    // own sampling or from smoothing.
    plot_->setPlottingHint(QCP::phFastPolylines, true);
    plot_->setNotAntialiasedElements(QCP::aePlottables);
    plot_->setFocusPolicy(Qt::ClickFocus);
    QCPAxisRect* rect = plot_->axisRect();
    axes_ = {plot_->yAxis, plot_->yAxis2, rect->addAxis(QCPAxis::atLeft),
             rect->addAxis(QCPAxis::atRight)};
    for (int pen = 0; pen < kPens; ++pen) {
        QCPAxis* axis = axes_[static_cast<std::size_t>(pen)];
        const QColor colour = PenColour(pen);
        axis->setBasePen(QPen(colour));
        axis->setTickPen(QPen(colour));
        axis->setSubTickPen(QPen(colour));
        axis->setTickLabelColor(colour);
        axis->setLabelColor(colour);
        axis->setVisible(false);
        QCPGraph* graph = plot_->addGraph(plot_->xAxis, axis);
        graph->setPen(QPen(colour, 1.0));
        graph->setAdaptiveSampling(false);
        graphs_[static_cast<std::size_t>(pen)] = graph;
    }
    // Every chart of the stack keeps room for two axes a side, so that their time axes line up
    // whichever channels they show.
    rect->setMinimumMargins(QMargins(kSideMargin, 0, kSideMargin, 0));
    plot_->xAxis->setLabel(QStringLiteral("Time (s)"));
    plot_->xAxis->grid()->setSubGridVisible(true);

    cursor_ = new QCPItemStraightLine(plot_);
    cursor_->setPen(QPen(QColor(90, 90, 90), 1.0, Qt::DashLine));
    cursor_->setSelectable(false);
    cursor_->setVisible(false);
    markers_ = std::make_unique<MarkerLines>(plot_, plot_->xAxis, plot_->yAxis);

    band_ = new QRubberBand(QRubberBand::Rectangle, plot_);
    connect(plot_, &QCustomPlot::mousePress, this, &LogChart::OnPress);
    connect(plot_, &QCustomPlot::mouseMove, this, &LogChart::OnMove);
    connect(plot_, &QCustomPlot::mouseRelease, this, &LogChart::OnRelease);
    connect(plot_, &QCustomPlot::mouseWheel, this, &LogChart::OnWheel);
    connect(plot_, &QCustomPlot::mouseDoubleClick, this, [this] { emit showAll(); });

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(selectorRow);
    layout->addWidget(plot_, 1);
    setMinimumHeight(160);
}

LogChart::~LogChart() = default;

void LogChart::SetChannels(const std::array<std::optional<std::size_t>, kPens>& channels) {
    for (int pen = 0; pen < kPens; ++pen) {
        const auto& c = channels[static_cast<std::size_t>(pen)];
        const QSignalBlocker quiet(selector(pen));
        selector(pen)->setCurrentIndex(c ? static_cast<int>(*c) + 1 : 0);
    }
    emit channelsChanged();
}

std::optional<std::size_t> LogChart::Channel(int pen) const {
    const int index = selector(pen)->currentIndex();
    if (index <= 0) {
        return std::nullopt;
    }
    return static_cast<std::size_t>(index - 1);
}

void LogChart::Draw(const LogColumns* log, double t0, double t1) {
    plot_->xAxis->setRange(t0, t1);
    // Two points per pixel column of the plotting area (its width is known once laid out).
    const int columns = std::max(plot_->axisRect()->width(), 50);
    pointsDrawn_ = 0;
    for (int pen = 0; pen < kPens; ++pen) {
        QCPGraph* graph = graphs_[static_cast<std::size_t>(pen)];
        QCPAxis* axis = axes_[static_cast<std::size_t>(pen)];
        const auto channel = Channel(pen);
        axis->setVisible(channel.has_value());
        if (!channel || log == nullptr) {
            graph->data()->clear();
            continue;
        }
        axis->setLabel(QString::fromStdString(ChannelCaption(*channel, units_)));
        const auto [lower, upper] = AxisRange(*log, *channel, units_);
        axis->setRange(lower, upper);
        BuildEnvelope(*log, *channel, t0, t1, columns, line_, units_);
        points_.resize(static_cast<qsizetype>(line_.keys.size()));
        for (std::size_t i = 0; i < line_.keys.size(); ++i) {
            points_[static_cast<qsizetype>(i)] = QCPGraphData(line_.keys[i], line_.values[i]);
        }
        graph->data()->set(points_, true);
        pointsDrawn_ += static_cast<int>(points_.size());
    }
    plot_->replot(QCustomPlot::rpQueuedRefresh);
}

void LogChart::SetCursor(std::optional<double> t) {
    cursor_->setVisible(t.has_value());
    if (t) {
        cursor_->point1->setCoords(*t, 0.0);
        cursor_->point2->setCoords(*t, 1.0);
    }
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

void LogChart::SetMarks(const std::vector<std::pair<double, QString>>& marks, bool labels) {
    markers_->Set(marks);
    markers_->SetLabelsShown(labels);
    plot_->replot(QCustomPlot::rpQueuedReplot);
}

double LogChart::TimeAt(double pixelX) const {
    return plot_->xAxis->pixelToCoord(pixelX);
}

void LogChart::OnPress(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressAt_ = event->position().toPoint();
    } else if (event->button() == Qt::RightButton || event->button() == Qt::MiddleButton) {
        panFrom_ = event->position().x();
    }
}

void LogChart::OnMove(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (pressAt_ && std::abs(at.x() - pressAt_->x()) >= kDragPixels) {
        const QRect area = plot_->axisRect()->rect();
        band_->setGeometry(QRect(QPoint(std::min(at.x(), pressAt_->x()), area.top()),
                                 QPoint(std::max(at.x(), pressAt_->x()), area.bottom())));
        band_->show();
    } else if (panFrom_) {
        // The time under the pointer stays under it.
        const double perPixel =
            plot_->xAxis->range().size() / std::max(plot_->axisRect()->width(), 1);
        emit panBy((*panFrom_ - event->position().x()) * perPixel);
        panFrom_ = event->position().x();
    }
}

void LogChart::OnRelease(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressAt_) {
        const int x = event->position().toPoint().x();
        if (band_->isVisible()) {
            band_->hide();
            emit zoomTo(TimeAt(std::min(x, pressAt_->x())), TimeAt(std::max(x, pressAt_->x())));
        } else {
            emit cursorPicked(TimeAt(x));
        }
        pressAt_.reset();
    } else {
        panFrom_.reset();
    }
}

void LogChart::OnWheel(QWheelEvent* event) {
    const double steps = event->angleDelta().y() / 120.0;
    if (steps != 0) {
        emit zoomAt(TimeAt(event->position().x()), std::pow(0.8, steps));
    }
}

}  // namespace quelm
