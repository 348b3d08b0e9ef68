// The dashboard's windows as a layout to keep, and a kept layout opened again.
#pragma once

#include "files/dash_layout_file.h"

namespace quelm {

class DashApp;

// The View menu's choices, the main window first, then every other window that is open with
// its place and size, scope windows with their channels.
DashLayout CaptureLayout(DashApp& app);

// Places the main window and opens the other windows of `layout` where they were, each moved
// onto the screens there are now when it no longer fits them.
void RestoreLayout(DashApp& app, const DashLayout& layout);

}  // namespace quelm
