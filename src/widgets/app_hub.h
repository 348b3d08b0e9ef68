// What the secondary windows need from the running program. The main window implements it;
// the logging, export, scope and self-test windows take an AppHub& instead of reaching for
// globals, and tests give them a fake.
#pragma once

#include "common/records.h"

class QWidget;

namespace quelm {

class LogRecorder;
class OperationRecord;
class Runtime;
class SettingsFile;
class StatusModel;
struct CalibrationTables;
struct EngData;
struct LiveConfig;

// The scope windows as the frame paths see them (implemented by the scope window table).
class ScopeFeed {
  public:
    virtual ~ScopeFeed() = default;
    // Clears every scope chart and sets its time axis to 0..15 s.
    virtual void ResetScopes() = 0;
    // Feeds every scope window that is visible (and, for live frames, not minimised).
    virtual void UpdateScopes(const EngData& eng, double scopeTime, bool live) = 0;
};

class AppHub {
  public:
    virtual ~AppHub() = default;

    virtual Runtime& runtime() = 0;
    virtual StatusModel& status() = 0;
    virtual SettingsFile& settings() = 0;
    virtual LiveConfig& liveConfig() = 0;
    virtual const CalibrationTables& tables() const = 0;
    virtual const EngData& engData() const = 0;
    virtual LogRecorder& recorder() = 0;
    virtual QWidget* mainWindow() = 0;
    // The long operation that runs; every handler that starts one asks it first.
    virtual OperationRecord& operations() = 0;

    // The link runs (the receive loop is active).
    virtual bool Connected() const = 0;
    // The Connect button's action: connects and runs the receive loop until disconnected.
    virtual void Connect_Click() = 0;
    // Stops the link: Connected cleared, panel 2 "COM Stopped", red lamp, caption "Connect".
    virtual void Disconnect() = 0;

    // Playback: decode and convert one logged frame, then show it on the dashboard (when the
    // main window is visible) and the visible scopes at `scopeTime`.
    virtual void ShowLoggedFrame(const FrameBuffer& frame, double scopeTime) = 0;
    virtual void ResetScopes() = 0;
};

}  // namespace quelm
