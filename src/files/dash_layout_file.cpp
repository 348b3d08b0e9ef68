#include "files/dash_layout_file.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "files/atomic_file.h"
#include "files/side_file_lines.h"

namespace quelm {
namespace {

bool ValidName(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '_';
    });
}

// "Name x y width height [channel...]"; false when it is not that.
bool ParseWindow(std::string_view value, WindowPlace& place) {
    std::istringstream in{std::string(value)};
    if (!(in >> place.name >> place.rect.x >> place.rect.y >> place.rect.width >>
          place.rect.height) ||
        !ValidName(place.name) || place.rect.width <= 0 || place.rect.height <= 0) {
        return false;
    }
    for (std::string channel; in >> channel;) {
        place.channels.push_back(channel);
    }
    return true;
}

long long Overlap(const ScreenRect& a, const ScreenRect& b) {
    const long long w =
        std::min<long long>(a.x + a.width, b.x + b.width) - std::max<long long>(a.x, b.x);
    const long long h =
        std::min<long long>(a.y + a.height, b.y + b.height) - std::max<long long>(a.y, b.y);
    return w > 0 && h > 0 ? w * h : 0;
}

}  // namespace

std::filesystem::path DashLayoutPath(const std::filesystem::path& settingsPath) {
    return settingsPath.parent_path() / "layout.conf";
}

std::string DashLayoutText(const DashLayout& layout) {
    std::string text = "# Windows open at the last exit and the View menu's choices\n";
    text += layout.units == DisplayUnits::Metric ? "units=metric\n" : "units=us\n";
    text += layout.peakHold ? "peak-hold=on\n" : "peak-hold=off\n";
    for (const WindowPlace& w : layout.windows) {
        text += "window=" + w.name + " " + std::to_string(w.rect.x) + " " +
                std::to_string(w.rect.y) + " " + std::to_string(w.rect.width) + " " +
                std::to_string(w.rect.height);
        for (const std::string& channel : w.channels) {
            text += " " + channel;
        }
        text += "\n";
    }
    return text;
}

DashLayout ParseDashLayout(std::string_view text, std::vector<std::string>& problems) {
    DashLayout layout;
    ForEachSideFileLine(text, [&](const SideFileLine& line) {
        const std::string_view key = line.key;
        const std::string_view value = line.value;
        WindowPlace place;
        if (key == "units" && (value == "us" || value == "metric")) {
            layout.units = value == "metric" ? DisplayUnits::Metric : DisplayUnits::US;
        } else if (key == "peak-hold" && (value == "on" || value == "off")) {
            layout.peakHold = value == "on";
        } else if (key == "window" && ParseWindow(value, place)) {
            layout.windows.push_back(std::move(place));
        } else {
            problems.push_back("line " + std::to_string(line.number) +
                               ": not understood: " + std::string(line.text));
        }
    });
    return layout;
}

DashLayout LoadDashLayout(const std::filesystem::path& path, std::vector<std::string>& problems) {
    // Read like the other side files: never a FIFO or device, never more than a layout can need.
    const auto text = ReadSideFile(path, kDashLayoutFileLimit, problems);
    return text ? ParseDashLayout(*text, problems) : DashLayout{};
}

bool SaveDashLayout(const std::filesystem::path& path, const DashLayout& layout,
                    std::string& error) {
    return ReplaceFileAtomically(path, DashLayoutText(layout), error);
}

ScreenRect FitOntoScreens(const ScreenRect& rect, std::span<const ScreenRect> screens) {
    // Screens do not overlap one another: the window lies on them when their overlaps with it
    // add up to its whole area (a window across two screens side by side stays).
    long long covered = 0;
    for (const ScreenRect& s : screens) {
        covered += Overlap(rect, s);
    }
    if (screens.empty() || covered >= static_cast<long long>(rect.width) * rect.height) {
        return rect;
    }
    const ScreenRect* target = &screens.front();
    long long best = 0;
    for (const ScreenRect& s : screens) {
        if (const long long overlap = Overlap(rect, s); overlap > best) {
            best = overlap;
            target = &s;
        }
    }
    ScreenRect fitted = rect;
    fitted.width = std::min(rect.width, target->width);
    fitted.height = std::min(rect.height, target->height);
    fitted.x = std::clamp(rect.x, target->x, target->x + target->width - fitted.width);
    fitted.y = std::clamp(rect.y, target->y, target->y + target->height - fitted.height);
    return fitted;
}

}  // namespace quelm
