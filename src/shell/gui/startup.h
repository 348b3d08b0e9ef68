// The dashboard program from its command line to its end: splash, settings, tables, the wait
// for a port, the vehicle configuration, then the event loop.
#pragma once

#include <functional>

namespace quelm {

class DashApp;
class Splash;

// The loading of the main window: reads the serial settings, fills the tables, waits a second,
// hides the splash, shows the window, waits (yielding) until a port is configured, turns the
// lamp red and loads the vehicle configuration. Returns false when the program is ending (the
// main window was closed meanwhile).
bool LoadDashboard(DashApp& app, Splash* splash);

// quelm-dash: returns the exit status.
int RunDashboard(int argc, char** argv);

}  // namespace quelm
