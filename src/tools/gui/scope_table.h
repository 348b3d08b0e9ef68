// The scope window table: slots 1..10 each hold one scope window, created hidden on first use
// and kept for the rest of the run. The menu opens the lowest slot whose window is hidden; the
// frame paths feed the visible ones.
#pragma once

#include <array>
#include <memory>

#include "tools/scope_rules.h"
#include "widgets/app_hub.h"
#include "widgets/refresh_queue.h"
#include "widgets/strip_chart.h"

class QString;
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

    void ResetScopes() override;
    void UpdateScopes(const EngData& eng, double scopeTime, bool live) override;
    // A marker at the latest time of every visible scope.
    void MarkScopes(const QString& label);

    // The window of a slot 1..10, created hidden (and loaded again after a close) on demand.
    SuperScope& Window(int slot);
    // The window of a slot if it exists, without creating it.
    SuperScope* Existing(int slot) const;

  private:
    SettingsFile& settings_;
    QWidget* parentForMessages_;
    // The windows' charts take turns to replot.
    RefreshQueue replotQueue_{StripChart::kReplotIntervalMs};
    std::array<std::unique_ptr<SuperScope>, kScopeSlotCount> slots_;
};

}  // namespace quelm
