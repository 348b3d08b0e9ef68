// Scale arithmetic of the dial: where a value sits on the arc, how far apart the numbered ticks
// are and how many decimals the numbers and the read-out carry.
#pragma once

namespace quelm::gauge_scale {

// The arc starts at the lower left and sweeps clockwise through the top to the lower right.
inline constexpr double kStartAngleDeg = 225.0;
inline constexpr double kSweepDeg = 270.0;

// 0..1 along the scale, pinned to the ends; a degenerate scale reads 0.
double Fraction(double value, double minimum, double maximum);
// Angle in degrees, counter-clockwise from the positive x axis (y up).
double AngleDeg(double fraction);
// A 1/2/2.5/5 x 10^n spacing giving close to the wanted number of numbered intervals.
double NiceStep(double range, double wantedIntervals = 7.0);
// Decimals needed to print multiples of the step exactly (0..4).
int StepDecimals(double step);
// Decimals of the numeric read-out: fewer for wide scales.
int ReadoutDecimals(double range);

}  // namespace quelm::gauge_scale
