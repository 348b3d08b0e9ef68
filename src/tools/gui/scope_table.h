// The scope window table: slots 1..10 each hold one scope window, created hidden on first use
// and kept for the rest of the run. The menu opens the lowest slot whose window is hidden; the
// frame paths feed the visible ones.
#pragma once

#include <array>
#include <memory>

#include "decode/display_units.h"
#include "tools/scope_rules.h"
#include "widgets/app_hub.h"
#include "widgets/refresh_queue.h"
#include "widgets/strip_chart.h"

class QWidget;

namespace quelm {

class SettingsFile;
class SuperScope;

class ScopeTable : public ScopeFeed {
  public:
    // Message boxes are shown over `parentForMessages` (may be null).
    ScopeTable(SettingsFile& settings, QWidget* parentForMessages);
    ~ScopeTable() override;
    ScopeTable(const ScopeTable&) = delete;
    ScopeTable& operator=(const ScopeTable&) = delete;

    // The menu item: shows the lowest hidden slot as "Scope<n>", or tells the user that ten
    // are open. Returns the window shown, or nullptr.
    SuperScope* OpenNextScope();
    // Shows the window of a slot 1..10 as "Scope<n>" (a saved layout opens its scopes again).
    SuperScope& OpenSlot(int slot, bool reload = false);
    // Every scope window's labels in these units, now and when created later.
    void SetUnits(DisplayUnits units);

    void ResetScopes() override;
    void UpdateScopes(const EngData& eng, double scopeTime, bool live) override;
    // A tick on every visible scope at this time.
    void AddMarker(double scopeTime) override;

    // The window of a slot 1..10, created hidden (and loaded again after a close) on demand.
    SuperScope& Window(int slot);
    // The window of a slot if it exists, without creating it.
    SuperScope* Existing(int slot) const;

  private:
    SettingsFile& settings_;
    QWidget* parentForMessages_;
    DisplayUnits units_ = DisplayUnits::US;
    // The windows' charts take turns to replot, 200 replots a second at most among them: up to
    // six windows keep the full rate, ten replot 20 times a second each, and the poll loop
    // that shares the thread keeps its share however many are open.
    static constexpr int kReplotGapMs = 5;
    RefreshQueue replotQueue_{StripChart::kReplotIntervalMs, nullptr, kReplotGapMs};
    std::array<std::unique_ptr<SuperScope>, kScopeSlotCount> slots_;
};

}  // namespace quelm
