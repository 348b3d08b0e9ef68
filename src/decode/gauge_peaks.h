// Peak hold: the highest value each dial has been given since the last reset, needle by needle.
// Fed with every frame, not only with the frames the dials repaint for, so a spike between two
// repaints still counts.
#pragma once

#include "decode/dashboard_update.h"

namespace quelm {

class GaugePeaks {
  public:
    // No peak yet: every field at minus infinity.
    GaugePeaks() { Reset(); }
    // Raises each field to the value when it is higher; NaN (no value) is left out.
    void Update(const GaugeValues& values);
    void Reset();
    const GaugeValues& Peaks() const { return peaks_; }

  private:
    GaugeValues peaks_;
};

}  // namespace quelm
