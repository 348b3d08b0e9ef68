#include "shell/gui/link_indicator.h"

#include <QPainter>
#include <QRadialGradient>
#include <array>

namespace quelm {

LinkIndicator::LinkIndicator(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void LinkIndicator::SetComStat(int stat) {
    static const std::array<QColor, 4> kColours{QColor(64, 64, 64), QColor(0, 255, 0),
                                                QColor(255, 255, 0), QColor(255, 0, 0)};
    if (stat < 0 || stat >= static_cast<int>(kColours.size())) {
        return;
    }
    if (const QColor& colour = kColours[static_cast<std::size_t>(stat)]; colour_ != colour) {
        colour_ = colour;
        update();
    }
}

void LinkIndicator::paintEvent(QPaintEvent* /*event*/) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const double side = std::min(width(), height()) - 2.0;
    const QRectF lamp((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    // A soft highlight makes the flat colour read as a lit lamp.
    QRadialGradient glow(lamp.center() - QPointF(side * 0.18, side * 0.18), side * 0.6);
    glow.setColorAt(0.0, colour_.lighter(160));
    glow.setColorAt(0.5, colour_);
    glow.setColorAt(1.0, colour_.darker(140));
    p.setPen(QPen(QColor(20, 20, 20), 1.5));
    p.setBrush(glow);
    p.drawEllipse(lamp);
}

}  // namespace quelm
