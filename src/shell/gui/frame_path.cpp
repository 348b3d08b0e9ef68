#include "shell/gui/frame_path.h"

#include "decode/frame_decoder.h"
#include "widgets/app_hub.h"

namespace quelm {

void FramePath::OnGoodFrame(const FrameBuffer& frame, const RawData& raw, double scopeTime) {
    Show(raw, scopeTime, true);
    if (recordFrame) {
        recordFrame(frame);
    }
}

void FramePath::ShowLoggedFrame(const FrameBuffer& frame, double scopeTime) {
    DecodeFrame(frame, loggedRaw_);
    Show(loggedRaw_, scopeTime, false);
}

void FramePath::Show(const RawData& raw, double scopeTime, bool live) {
    lastScopeTime_ = scopeTime;
    const ConvertOutput out = ConvertFrame(raw, config_, tables_, state_);
    if (out.boostFullScale && setBoostFullScale) {
        setBoostFullScale(*out.boostFullScale);
    }
    if (dashboardShown && dashboardShown(live)) {
        const GaugeValues values = UpdateDashboard(state_.eng, config_);
        if (showGauges) {
            showGauges(values);
        }
    }
    if (scopes) {
        scopes->UpdateScopes(state_.eng, scopeTime, live);
    }
}

}  // namespace quelm
