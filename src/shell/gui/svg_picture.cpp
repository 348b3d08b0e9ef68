#include "shell/gui/svg_picture.h"

#include <QPainter>

#include "shell/gui/resources.h"

namespace quelm {

SvgPicture::SvgPicture(const QString& resource, QWidget* parent) : QWidget(parent) {
    InitResources();
    renderer_.load(resource);
    setAttribute(Qt::WA_TranslucentBackground);
}

QSize SvgPicture::sizeHint() const {
    return renderer_.defaultSize();
}

void SvgPicture::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    // Keep the picture's aspect ratio inside whatever room the layout gives.
    QSizeF size = renderer_.defaultSize();
    size.scale(QSizeF(width(), height()), Qt::KeepAspectRatio);
    const QRectF target((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(),
                        size.height());
    renderer_.render(&p, target);
}

}  // namespace quelm
