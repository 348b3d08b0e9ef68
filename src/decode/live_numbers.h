// The numbers the conversions take from the texts of the vehicle settings, read on every frame.
#pragma once

#include "common/live_config.h"

namespace quelm {

// The number at the start of the cylinder text. While the text is being edited it may not be a
// positive number ("", "-", "0"); the engine is then taken as the common 8 cylinders, the same
// default the vehicle configuration loader uses, so no value divides by zero and the gauges do
// not jump while the user types.
double CylinderCount(const LiveConfig& config);

// The number at the start of the speed-correction text; text that is not a number gives 0.
double SpeedCorrection(const LiveConfig& config);

// The number at the start of the injector-size text, in pounds per hour (may be 0 or negative).
double InjectorSize(const LiveConfig& config);

}  // namespace quelm
