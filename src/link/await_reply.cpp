#include "link/await_reply.h"

namespace quelm {

void AwaitReply(LinkContext& ctx, double maxSeconds) {
    const double deadline = ctx.rt.Now() + maxSeconds;
    while (ctx.port.BytesWaiting() < 2 && ctx.rt.Now() < deadline && !ctx.rt.Aborting()) {
        if (ctx.port.BytesWaiting() == 0) {
            ctx.port.WaitForBytes(1);
        } else {
            ctx.rt.Sleep(0.0005);  // the rest of a reply that has begun
        }
        ctx.rt.Yield();
    }
}

}  // namespace quelm
