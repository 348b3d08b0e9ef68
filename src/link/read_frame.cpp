#include "link/monitor.h"

namespace quelm {

void ReadFrame(LinkContext& ctx) {
    auto& port = ctx.port;
    auto& bytes = ctx.ReadScratch;
    port.ReadAll(bytes);
    port.WriteByte('f');
    const double deadline = ctx.rt.Now() + kPollTimeout;
    std::size_t count = 0;
    bool done = false;
    ctx.FrameTimedOut = false;
    while (count < kFrameBytes && ctx.rt.Now() < deadline && !done && !ctx.rt.Aborting()) {
        if (port.BytesWaiting() == 0) {
            port.WaitForBytes(1);
            ctx.rt.Yield();
            continue;
        }
        port.ReadAll(bytes);
        for (auto b : bytes) {
            ctx.Frame[count++] = b;
            // A burst may carry one byte past the frame; keep it at index 38, drop the rest.
            if (count > kFrameBytes) {
                done = true;
                break;
            }
        }
    }
    if (ctx.rt.Now() >= deadline || ctx.rt.Aborting()) {
        port.ReadAll(bytes);
        ctx.Stats.TimeoutErrors += 1;
        ctx.FrameTimedOut = true;
    } else {
        ctx.Stats.TotalFrames += 1;
    }
}

}  // namespace quelm
