// What happens to each frame after the link (or playback) has it: conversions, the dashboard
// gauges, the scope windows and the recorder, in that order.
#pragma once

#include <functional>

#include "common/live_config.h"
#include "common/records.h"
#include "decode/calibration_tables.h"
#include "decode/convert_frame.h"
#include "decode/dashboard_update.h"
#include "link/monitor.h"

namespace quelm {

class ScopeFeed;

class FramePath : public FrameSink {
  public:
    FramePath(const LiveConfig& config, const CalibrationTables& tables, ConvertState& state)
        : config_(config), tables_(tables), state_(state) {}

    // Whether the dashboard shows frames now. `live` frames need it visible and not
    // minimised; logged frames only visible.
    std::function<bool(bool live)> dashboardShown;
    // Writes one frame's needle values (the main window's gauges and, when shown, the TPS tool).
    std::function<void(const GaugeValues&)> showGauges;
    // The Boost gauge's full scale as the conversions chose it for this frame.
    std::function<void(double)> setBoostFullScale;
    // The scope windows; none until they are plugged in.
    ScopeFeed* scopes = nullptr;
    // Appends a live frame to the log while recording (the recorder decides whether it records).
    std::function<void(const FrameBuffer&)> recordFrame;

    // A good live frame from the receive loop.
    void OnGoodFrame(const FrameBuffer& frame, const RawData& raw, double scopeTime) override;

    // A frame read back from a log: decoded without regard to its checksum (a bad one leaves
    // the previous raw values, which are converted again), then shown like a live frame but
    // never recorded.
    void ShowLoggedFrame(const FrameBuffer& frame, double scopeTime);

    const EngData& engData() const { return state_.eng; }
    // The scope time of the frame shown last: where a marker dropped now goes on the scopes.
    double lastScopeTime() const { return lastScopeTime_; }

  private:
    void Show(const RawData& raw, double scopeTime, bool live);

    const LiveConfig& config_;
    const CalibrationTables& tables_;
    ConvertState& state_;
    RawData loggedRaw_{};
    double lastScopeTime_ = 0;
};

}  // namespace quelm
