#include "widgets/marked_slider.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionSlider>

#include "widgets/marker_colour.h"

namespace quelm {

MarkedSlider::MarkedSlider(Qt::Orientation orientation, QWidget* parent)
    : QSlider(orientation, parent) {}

void MarkedSlider::SetMarks(std::vector<int> values) {
    marks_ = std::move(values);
    update();
}

void MarkedSlider::paintEvent(QPaintEvent* event) {
    QSlider::paintEvent(event);
    if (marks_.empty() || maximum() <= minimum()) {
        return;
    }
    QStyleOptionSlider option;
    initStyleOption(&option);
    const QRect groove =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderGroove, this);
    const QRect handle =
        style()->subControlRect(QStyle::CC_Slider, &option, QStyle::SC_SliderHandle, this);
    // The handle's centre travels over the groove less the handle's own length.
    const int span = groove.width() - handle.width();
    QPainter painter(this);
    painter.setPen(QPen(MarkerColour(), 2));
    for (const int value : marks_) {
        const int x = groove.left() + handle.width() / 2 +
                      QStyle::sliderPositionFromValue(minimum(), maximum(), value, span);
        painter.drawLine(x, rect().top(), x, rect().bottom());
    }
}

}  // namespace quelm
