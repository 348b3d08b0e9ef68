#include "tools/gui/lamp_widget.h"

#include <QPainter>
#include <algorithm>

namespace quelm {

LampWidget::LampWidget(QColor color, QWidget* parent) : QWidget(parent), color_(color) {
    setMinimumSize(24, 24);
}

void LampWidget::SetColor(const QColor& color) {
    if (color == color_) {
        return;
    }
    color_ = color;
    update();
}

void LampWidget::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int side = std::min(width(), height()) - 2;
    const QRectF circle((width() - side) / 2.0, (height() - side) / 2.0, side, side);
    p.setPen(QPen(QColor(40, 40, 40), 1.5));
    p.setBrush(color_);
    p.drawEllipse(circle);
}

}  // namespace quelm
