#include <algorithm>
#include <cmath>

#include "link/monitor.h"

namespace quelm {

namespace {

// Longest time between two yields, so that the window system stays live at the slow rates.
constexpr double kMaxYieldGap = 0.005;
// One wait for bytes on a quiet line.
constexpr int kByteWaitMs = 1;
constexpr double kByteWait = kByteWaitMs / 1000.0;
// Shortest nap worth a yield: a repaint or replot may take a millisecond, and one that outlasts
// the nap delays the frame. The nap right after the poll is longer than this at every rate.
constexpr double kMinYieldNap = 0.0015;
// The last bytes are waited for, not slept through: a sleep overshoots, a wait returns as soon
// as they land.
constexpr std::size_t kTailBytes = 3;

double NapFor(std::size_t count, double byteTime) {
    return count + kTailBytes < kFrameBytes
               ? static_cast<double>(kFrameBytes - kTailBytes - count) * byteTime
               : 0.0;
}

}  // namespace

double SendPoll(LinkContext& ctx) {
    ctx.port.ReadAll(ctx.ReadScratch);
    ctx.port.WriteByte('f');
    return ctx.rt.Now();
}

void ReadFrame(LinkContext& ctx) {
    CollectFrame(ctx, SendPoll(ctx));
}

void AwaitQuietLine(LinkContext& ctx) {
    const double rate = RateValue(ctx.BaudRate);
    // Two bytes' line time without a byte: the answer under way has ended.
    const int quietMs = rate > 0 ? std::max(1, static_cast<int>(std::ceil(2 * 10000.0 / rate))) : 1;
    const double limit = ctx.rt.Now() + kPollTimeout;
    while (ctx.rt.Now() < limit && !ctx.rt.Aborting() && ctx.port.WaitForBytes(quietMs)) {
        ctx.port.ReadAll(ctx.ReadScratch);
        ctx.rt.Yield();
    }
}

void CollectFrame(LinkContext& ctx, double sentAt) {
    auto& port = ctx.port;
    auto& bytes = ctx.ReadScratch;
    // Line time of one byte (10 bits); the missing bytes cannot arrive sooner than this each, so
    // sleeping through it replaces a wake-up every byte or two with one or two per frame.
    const double rate = RateValue(ctx.BaudRate);
    const double byteTime = rate > 0 ? 10.0 / rate : 0.0;
    const double deadline = sentAt + kPollTimeout;
    std::size_t count = 0;
    bool done = false;
    // Until then the missing bytes (but the last few) cannot all be in: sleep, yielding every
    // few milliseconds. Set from "f" and after every read that left the frame short.
    double napEnd = sentAt + NapFor(count, byteTime);
    ctx.FrameTimedOut = false;
    // The caller has just had its turn; naps end in time for a wait for bytes and a yield to
    // follow within the longest gap.
    double lastYield = ctx.rt.Now();
    const auto yield = [&] {
        ctx.rt.Yield();
        lastYield = ctx.rt.Now();
    };
    while (count < kFrameBytes && ctx.rt.Now() < deadline && !done && !ctx.rt.Aborting()) {
        if (const double now = ctx.rt.Now(); now < napEnd) {
            // The window system runs first, so that a repaint overlaps the bytes on the line
            // instead of delaying the read after them; in a short nap only when it is overdue.
            if (napEnd - now >= kMinYieldNap || now - lastYield >= kMaxYieldGap - kByteWait) {
                yield();
            }
            if (const double later = ctx.rt.Now(); later < napEnd) {
                const double turnDue = lastYield + kMaxYieldGap - kByteWait;
                ctx.rt.Sleep(std::min({napEnd - later, turnDue - later, deadline - later}));
            }
            continue;
        }
        if (port.BytesWaiting() == 0) {
            // Yield only while the line stays quiet: bytes that just landed are read first, so
            // a repaint cannot stand between the end of a frame and the next poll.
            if (!port.WaitForBytes(kByteWaitMs)) {
                yield();
            }
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
