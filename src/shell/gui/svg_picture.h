// A label that paints an SVG resource scaled to its size, sharp at any pixel ratio.
#pragma once

#include <QString>
#include <QSvgRenderer>
#include <QWidget>

namespace quelm {

class SvgPicture : public QWidget {
    Q_OBJECT
  public:
    explicit SvgPicture(const QString& resource, QWidget* parent = nullptr);
    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QSvgRenderer renderer_;
};

}  // namespace quelm
