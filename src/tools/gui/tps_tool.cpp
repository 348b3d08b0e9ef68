#include "tools/gui/tps_tool.h"

#include <QResizeEvent>
#include <algorithm>

#include "common/twips.h"
#include "tools/gui/tps_tool_gauge.h"
#include "widgets/gauge_widget.h"

namespace quelm {

TPSTool::TPSTool(QWidget* parent) : QWidget(parent, Qt::Tool) {
    setObjectName(QStringLiteral("TPSTool"));
    setWindowTitle(QStringLiteral("TPS Idle Setting Tool"));
    gauge_ = new GaugeWidget(this);
    gauge_->setObjectName(QStringLiteral("TPSToolGauge"));
    SetupTpsToolGauge(*gauge_);
    // Below this the dial's numbers no longer fit; the rule below never sees a negative size.
    setMinimumSize(220, 240);
    resize(360, 380);
}

bool TPSTool::ShowTps(double volts) {
    if (!isVisible()) {
        return false;
    }
    gauge_->SetValue(volts);
    return true;
}

void TPSTool::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // Outer size less border and caption, as the window frame is drawn by the window manager;
    // where there is no frame (offscreen) the outer size is the client size.
    const double dpi = logicalDpiX();
    const QSize outer = frameGeometry().size().expandedTo(size());
    const TwipSize g =
        TpsGaugeSize({PixelsToTwips(outer.width(), dpi), PixelsToTwips(outer.height(), dpi)});
    const int w = std::min(TwipsToPixels(g.width, dpi), width());
    const int h = std::min(TwipsToPixels(g.height, dpi), height());
    gauge_->setGeometry((width() - w) / 2, (height() - h) / 2, w, h);
}

}  // namespace quelm
