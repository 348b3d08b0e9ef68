// How often a widget fed at the frame rate may repaint: once per refresh of the screen it is on.
#pragma once

class QWidget;

namespace quelm {

// Milliseconds between two refreshes of the widget's screen (the primary screen when it has
// none yet), never below the 60 Hz figure: a faster screen is no reason to take more time away
// from the poll loop, which shares the thread.
int RefreshIntervalMs(const QWidget* widget);

}  // namespace quelm
