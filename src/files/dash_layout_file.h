// The dashboard's windows as they were at the last exit, and the View menu's choices, kept in
// "layout.conf" beside the settings file (whose key table has no place for them). One line per
// setting or open window:
//   units=metric
//   peak-hold=on
//   window=Scope2 120 80 640 420 RPM LOAD *OFF* TPS
// A window line gives the window's name, its position and size in pixels, and for a scope
// window its four channels.
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "decode/display_units.h"

namespace quelm {

struct ScreenRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

struct WindowPlace {
    std::string name;  // the window's object name ("SuperDash", "Logging", "Scope3", ...)
    ScreenRect rect;
    std::vector<std::string> channels;  // scope windows: the four selectors
    friend bool operator==(const WindowPlace&, const WindowPlace&) = default;
};

struct DashLayout {
    DisplayUnits units = DisplayUnits::US;
    bool peakHold = false;
    std::vector<WindowPlace> windows;  // in the order they are opened again
    friend bool operator==(const DashLayout&, const DashLayout&) = default;
};

std::filesystem::path DashLayoutPath(const std::filesystem::path& settingsPath);

std::string DashLayoutText(const DashLayout& layout);

// Blank lines and '#' comments are skipped; a line that cannot be read is left out and
// described in `problems` ("line 3: ...").
DashLayout ParseDashLayout(std::string_view text, std::vector<std::string>& problems);

// Far more than the dashboard's windows and choices ever take.
inline constexpr std::uint64_t kDashLayoutFileLimit = 64 * 1024;

// A missing file gives the defaults and is no problem; one that is not a regular file, is larger
// than kDashLayoutFileLimit or cannot be read is, and none of it applies.
DashLayout LoadDashLayout(const std::filesystem::path& path, std::vector<std::string>& problems);

// Replaces the file atomically; on failure returns false with `error` set and the old file kept.
bool SaveDashLayout(const std::filesystem::path& path, const DashLayout& layout,
                    std::string& error);

// Where a window saved at `rect` goes on the screens there are now (their available areas, the
// primary first): left where it is when it lies wholly on them; otherwise onto the screen it
// overlaps most (the primary when it overlaps none), shrunk to fit and moved just far enough to
// lie wholly on it.
ScreenRect FitOntoScreens(const ScreenRect& rect, std::span<const ScreenRect> screens);

}  // namespace quelm
