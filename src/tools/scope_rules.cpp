#include "tools/scope_rules.h"

#include <algorithm>
#include <array>

#include "decode/scope_channels.h"

namespace quelm {

std::string_view ScopeSettingsKey(int selector) {
    static constexpr std::array<std::string_view, 4> kKeys{"VAR1", "VAR2", "VAR3", "VAR4"};
    return (selector >= 1 && selector <= 4) ? kKeys[static_cast<std::size_t>(selector - 1)]
                                            : std::string_view{};
}

int NextFreeScopeSlot(const std::function<bool(int slot)>& visible) {
    int slot = kFirstScopeSlot;
    while (slot <= kLastScopeSlot && visible(slot)) {
        ++slot;
    }
    return slot;
}

bool ScopeTakesFrame(bool visible, bool minimised, bool live) {
    return visible && !(live && minimised);
}

int RestoredChannelIndex(std::string_view savedName) {
    // Stepping forward from the first entry stops on a match or on the last entry.
    const int last = static_cast<int>(kScopeChannels.size()) - 1;
    int index = 0;
    while (index < last && kScopeChannels[static_cast<std::size_t>(index)].name != savedName) {
        ++index;
    }
    return index;
}

ScopeSizing FitScopeWindow(TwipSize window) {
    ScopeSizing out;
    out.window = {std::max(window.width, kScopeMinimumTwips),
                  std::max(window.height, kScopeMinimumTwips)};
    out.chart = {out.window.width - kScopeChartWidthMargin,
                 out.window.height - kScopeChartHeightMargin};
    return out;
}

double TwipsPerPixel(double logicalDpi) {
    return logicalDpi > 0 ? 1440.0 / logicalDpi : 15.0;
}

TimeRange ScrollScope(TimeRange shown, double seconds, double oldest, double newest) {
    const double width = shown.upper - shown.lower;
    const double lower = std::max(oldest, std::min(shown.lower + seconds, newest - width));
    return {lower, lower + width};
}

}  // namespace quelm
