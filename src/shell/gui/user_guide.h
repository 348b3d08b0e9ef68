// The Help menu's user guide: the guide installed with the program, opened in the desktop's
// viewer for its type.
#pragma once

#include <filesystem>
#include <vector>

#include "shell/gui/about_box.h"

class QWidget;

namespace quelm {

// Opens `guide` (UserGuidePath() by default) through `opener`. A missing guide, or one that no
// program would open, is reported in a box over `parent` that says where it was looked for.
// The box does not wait: whatever runs meanwhile (the receive loop) goes on.
void OpenUserGuide(QWidget* parent, const std::filesystem::path& guide,
                   const std::vector<std::filesystem::path>& lookedIn,
                   const UrlOpener& opener = UrlOpener::Desktop());
void OpenUserGuide(QWidget* parent);

}  // namespace quelm
