// Window and control sizes are given in twips: 1440 per logical inch, so 15 per pixel at 96 dpi.
#pragma once

namespace quelm {

inline constexpr int kTwipsPerInch = 1440;

// Rounded to the nearest pixel at `dpi` logical dots per inch.
int TwipsToPixels(int twips, double dpi);
int PixelsToTwips(int pixels, double dpi);

// Window heights the feature options choose between: without and with the row of optional
// sensor gauges.
inline constexpr int kDashHeightCompactTwips = 7575;
inline constexpr int kDashHeightFullTwips = 9075;

struct TwipSize {
    int width = 0;
    int height = 0;
    bool operator==(const TwipSize&) const = default;
};

// The TPS tool's gauge fills the window: its outer size less 120 twips across and 405 down
// (border and caption). Never negative.
TwipSize TpsGaugeSize(TwipSize window);

}  // namespace quelm
