// The playback slider with a tick at each marker's record, beside its regular ticks.
#pragma once

#include <QSlider>
#include <cstdint>
#include <vector>

namespace quelm {

class MarkedSlider : public QSlider {
    Q_OBJECT
  public:
    explicit MarkedSlider(Qt::Orientation orientation, QWidget* parent = nullptr);

    // Slider values (record numbers) that carry a marker.
    void SetMarks(std::vector<int> values);
    const std::vector<int>& marks() const { return marks_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    std::vector<int> marks_;
};

}  // namespace quelm
