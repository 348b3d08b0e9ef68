// The rules of the scope windows that do not need a window: which slot the menu opens next,
// which windows take a frame, how a saved selector name is restored and how big the window and
// its chart are after a resize. Sizes are in twips (1/1440 inch).
#pragma once

#include "common/twips.h"

#include <functional>
#include <string_view>

namespace quelm {

// Slots 1..10 hold scope windows; slot 11 only marks that none is free.
inline constexpr int kFirstScopeSlot = 1;
inline constexpr int kLastScopeSlot = 10;
inline constexpr int kNoFreeScopeSlot = 11;
inline constexpr int kScopeSlotCount = 12;

inline constexpr std::string_view kScopeSettingsSection = "SCOPESETTINGS";
// "VAR1".."VAR4" for selectors 1..4.
std::string_view ScopeSettingsKey(int selector);

// The lowest slot from 1 whose window is not visible, or kNoFreeScopeSlot when 1..10 all are.
int NextFreeScopeSlot(const std::function<bool(int slot)>& visible);

// Live frames go to visible windows that are not minimised; played-back frames to every
// visible window.
bool ScopeTakesFrame(bool visible, bool minimised, bool live);

// The list position a selector ends on for a saved name: the channel with exactly that name,
// or the last channel ("ADVANCE") for an empty or unknown name.
int RestoredChannelIndex(std::string_view savedName);

inline constexpr int kScopeMinimumTwips = 5000;
inline constexpr int kScopeChartWidthMargin = 120;
inline constexpr int kScopeChartHeightMargin = 1250;

struct ScopeSizing {
    TwipSize window;  // at least kScopeMinimumTwips each way
    TwipSize chart;   // the window less the margins
    friend bool operator==(const ScopeSizing&, const ScopeSizing&) = default;
};
ScopeSizing FitScopeWindow(TwipSize window);

// 1440 twips per logical inch.
double TwipsPerPixel(double logicalDpi);

}  // namespace quelm
