#include "tools/gui/scope_table.h"

#include <stdexcept>

#include "tools/gui/super_scope.h"
#include "widgets/dialogs.h"

namespace quelm {

ScopeTable::ScopeTable(SettingsFile& settings, QWidget* parentForMessages)
    : settings_(settings), parentForMessages_(parentForMessages) {}

ScopeTable::~ScopeTable() = default;

SuperScope& ScopeTable::Window(int slot) {
    if (slot < kFirstScopeSlot || slot > kLastScopeSlot) {
        throw std::out_of_range("scope slot out of range");
    }
    auto& window = slots_[static_cast<std::size_t>(slot)];
    if (!window) {
        // No Qt parent: scope windows are independent top-level windows.
        window = std::make_unique<SuperScope>(settings_);
        window->chart()->SetRefreshQueue(&replotQueue_);
    } else if (!window->IsLoaded()) {
        window->Load();
    }
    return *window;
}

SuperScope* ScopeTable::Existing(int slot) const {
    if (slot < kFirstScopeSlot || slot > kLastScopeSlot) {
        return nullptr;
    }
    return slots_[static_cast<std::size_t>(slot)].get();
}

SuperScope* ScopeTable::OpenNextScope() {
    const int slot = NextFreeScopeSlot([this](int n) { return Window(n).isVisible(); });
    if (slot == kNoFreeScopeSlot) {
        ShowNotice(parentForMessages_,
                   {QMessageBox::NoIcon,
                    parentForMessages_ ? parentForMessages_->windowTitle() : QString(),
                    "A maximum of 10 Quelm Scopes can be displayed."});
        return nullptr;
    }
    SuperScope& window = Window(slot);
    window.show();
    window.setWindowTitle(QString("Scope%1").arg(slot));
    return &window;
}

void ScopeTable::ResetScopes() {
    for (int slot = kFirstScopeSlot; slot <= kLastScopeSlot; ++slot) {
        Window(slot).ResetScope();
    }
}

void ScopeTable::UpdateScopes(const EngData& eng, double scopeTime, bool live) {
    for (int slot = kFirstScopeSlot; slot <= kLastScopeSlot; ++slot) {
        SuperScope* window = slots_[static_cast<std::size_t>(slot)].get();
        if (window != nullptr &&
            ScopeTakesFrame(window->isVisible(), window->isMinimized(), live)) {
            window->UpdateScope(eng, scopeTime);
        }
    }
}

void ScopeTable::MarkScopes(const QString& label) {
    for (int slot = kFirstScopeSlot; slot <= kLastScopeSlot; ++slot) {
        SuperScope* window = slots_[static_cast<std::size_t>(slot)].get();
        if (window != nullptr && window->isVisible()) {
            window->chart()->AddMarker(window->chart()->CurrentTime(), label);
        }
    }
}

}  // namespace quelm
