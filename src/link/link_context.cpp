#include "link/link_context.h"

#include "common/number_text.h"
#include "common/status_texts.h"

namespace quelm {

void LinkWait(LinkContext& ctx, double seconds) {
    Delay(ctx.rt, seconds);
    if (ctx.rt.Aborting()) {
        throw LinkAborted{};
    }
}

void StopLink(LinkContext& ctx) {
    ctx.Connected = false;
    ctx.status.SetPanel(2, status_text::kComStopped);
    ctx.status.SetIndicator(ComStat::Red);
    ctx.status.SetConnectCaption(status_text::kConnectCaption);
}

double RateValue(const std::string& rate) {
    // A hand-edited settings file may say "+57600" or "9600.5"; read it as every number is read.
    return LenientNumber(rate);
}

}  // namespace quelm
