#include "shell/gui/dash_layout.h"

#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "shell/gui/dash_app.h"
#include "shell/gui/super_dash.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/super_scope.h"
#include "tools/scope_rules.h"

namespace quelm {
namespace {

constexpr const char* kMainWindow = "SuperDash";
constexpr std::string_view kScopePrefix = "Scope";

// The secondary windows a layout keeps (by object name) and the menu item that opens each.
struct KnownWindow {
    const char* name;
    const char* menuItem;
};
constexpr std::array<KnownWindow, 9> kWindows{{
    {"Logging", SuperDash::kLoggingItem},
    {"Export", SuperDash::kExportItem},
    {"LogViewer", SuperDash::kViewerItem},
    {"ComSetup", SuperDash::kComSetupItem},
    {"comstatdisplay", SuperDash::kComStatsItem},
    {"TPSTool", SuperDash::kTpsToolItem},
    {"SelfTester", SuperDash::kSelfTestItem},
    {"VP", SuperDash::kVehicleItem},
    {"QuelmFeatures", SuperDash::kFeaturesItem},
}};

QWidget* TopLevel(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String(name)) {
            return w;
        }
    }
    return nullptr;
}

WindowPlace PlaceOf(const std::string& name, const QWidget& w) {
    const QPoint at = w.pos();  // the frame's corner: where move() puts it back
    return {name, {at.x(), at.y(), w.width(), w.height()}, {}};
}

void PutAt(QWidget& w, const ScreenRect& saved, const std::vector<ScreenRect>& screens) {
    const ScreenRect r = FitOntoScreens(saved, screens);
    w.resize(r.width, r.height);
    w.move(r.x, r.y);
}

// The slot of "Scope<n>", or 0.
int ScopeSlot(const std::string& name) {
    if (!name.starts_with(kScopePrefix)) {
        return 0;
    }
    const std::string digits = name.substr(kScopePrefix.size());
    for (int slot = kFirstScopeSlot; slot <= kLastScopeSlot; ++slot) {
        if (digits == std::to_string(slot)) {
            return slot;
        }
    }
    return 0;
}

}  // namespace

DashLayout CaptureLayout(DashApp& app) {
    DashLayout layout;
    layout.units = app.units();
    layout.peakHold = app.peakHold();
    layout.windows.push_back(PlaceOf(kMainWindow, app.window()));
    for (const KnownWindow& known : kWindows) {
        if (const QWidget* w = TopLevel(known.name); w && w->isVisible()) {
            layout.windows.push_back(PlaceOf(known.name, *w));
        }
    }
    for (int slot = kFirstScopeSlot; slot <= kLastScopeSlot; ++slot) {
        const SuperScope* scope = app.scopeTable().Existing(slot);
        if (scope && scope->isVisible()) {
            WindowPlace place = PlaceOf(std::string(kScopePrefix) + std::to_string(slot), *scope);
            const auto channels = scope->Channels();
            place.channels.assign(channels.begin(), channels.end());
            layout.windows.push_back(std::move(place));
        }
    }
    return layout;
}

void RestoreLayout(DashApp& app, const DashLayout& layout) {
    std::vector<ScreenRect> screens;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect a = screen->availableGeometry();
        const ScreenRect r{a.x(), a.y(), a.width(), a.height()};
        screens.insert(screen == primary ? screens.begin() : screens.end(), r);
    }
    for (const WindowPlace& place : layout.windows) {
        if (place.name == kMainWindow) {
            PutAt(app.window(), place.rect, screens);
            continue;
        }
        if (const int slot = ScopeSlot(place.name)) {
            SuperScope& scope = app.scopeTable().OpenSlot(slot);
            if (place.channels.size() == 4) {
                scope.SetChannels(
                    {place.channels[0], place.channels[1], place.channels[2], place.channels[3]});
            }
            PutAt(scope, place.rect, screens);
            continue;
        }
        for (const KnownWindow& known : kWindows) {
            QAction* item = app.window().menuItem(QLatin1String(known.menuItem));
            if (place.name == known.name && item && item->isEnabled()) {
                item->trigger();
                if (QWidget* w = TopLevel(known.name)) {
                    PutAt(*w, place.rect, screens);
                }
            }
        }
    }
}

}  // namespace quelm
