#include <algorithm>

#include "link/monitor.h"

namespace quelm {

namespace {

// Longest nap between two yields, so that the window system stays live at the slow rates.
constexpr double kMaxNap = 0.005;
// The last bytes are waited for, not slept through: a sleep overshoots, a wait returns as soon
// as they land.
constexpr std::size_t kTailBytes = 3;

double NapFor(std::size_t count, double byteTime) {
    return count + kTailBytes < kFrameBytes
               ? static_cast<double>(kFrameBytes - kTailBytes - count) * byteTime
               : 0.0;
}

}  // namespace

void ReadFrame(LinkContext& ctx) {
    auto& port = ctx.port;
    auto& bytes = ctx.ReadScratch;
    // Line time of one byte (10 bits); the missing bytes cannot arrive sooner than this each, so
    // sleeping through it replaces a wake-up every byte or two with one or two per frame.
    const double rate = RateValue(ctx.BaudRate);
    const double byteTime = rate > 0 ? 10.0 / rate : 0.0;
    port.ReadAll(bytes);
    port.WriteByte('f');
    const double deadline = ctx.rt.Now() + kPollTimeout;
    std::size_t count = 0;
    bool done = false;
    // Until then the missing bytes (but the last few) cannot all be in: sleep, yielding every
    // few milliseconds. Set after "f" and after every read that left the frame short.
    double napEnd = ctx.rt.Now() + NapFor(count, byteTime);
    ctx.FrameTimedOut = false;
    while (count < kFrameBytes && ctx.rt.Now() < deadline && !done && !ctx.rt.Aborting()) {
        if (ctx.rt.Now() < napEnd) {
            // The window system runs first, so that a repaint overlaps the bytes on the line
            // instead of delaying the read after them.
            ctx.rt.Yield();
            if (const double now = ctx.rt.Now(); now < napEnd) {
                ctx.rt.Sleep(std::min({napEnd - now, kMaxNap, deadline - now}));
            }
            continue;
        }
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
        napEnd = ctx.rt.Now() + NapFor(count, byteTime);
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
