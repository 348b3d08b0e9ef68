// A round indicator lamp painted in one colour.
#pragma once

#include <QColor>
#include <QWidget>

namespace quelm {

class LampWidget : public QWidget {
    Q_OBJECT
  public:
    explicit LampWidget(QColor color, QWidget* parent = nullptr);

    QColor color() const { return color_; }
    // Repaints only when the colour really changes: the self test sets it at every poll.
    void SetColor(const QColor& color);

    QSize sizeHint() const override { return {40, 40}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QColor color_;
};

}  // namespace quelm
