#include "common/twips.h"

#include <algorithm>
#include <cmath>

namespace quelm {

int TwipsToPixels(int twips, double dpi) {
    return static_cast<int>(std::lround(twips * dpi / kTwipsPerInch));
}

int PixelsToTwips(int pixels, double dpi) {
    return dpi > 0 ? static_cast<int>(std::lround(pixels * kTwipsPerInch / dpi)) : 0;
}

TwipSize TpsGaugeSize(TwipSize window) {
    return {std::max(0, window.width - 120), std::max(0, window.height - 405)};
}

}  // namespace quelm
