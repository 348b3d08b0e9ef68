// "TPS Idle Setting Tool": the throttle sensor's voltage on one large dial with a narrow scale
// around the idle target, so that small turns of the sensor show.
#pragma once

#include <QWidget>

namespace quelm {

class GaugeWidget;

class TPSTool : public QWidget {
    Q_OBJECT
  public:
    explicit TPSTool(QWidget* parent = nullptr);

    GaugeWidget* gauge() const { return gauge_; }
    // Moves the needle only while the window is on screen; a hidden tool receives nothing.
    // Returns whether the value was taken.
    bool ShowTps(double volts);

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    GaugeWidget* gauge_;
};

}  // namespace quelm
