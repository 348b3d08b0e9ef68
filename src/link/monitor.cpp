#include "link/monitor.h"

#include <optional>
#include <utility>

#include "common/status_texts.h"
#include "decode/frame_decoder.h"
#include "link/connect_device.h"

namespace quelm {

namespace {

constexpr int kTimeoutsBeforeReconnect = 10;
constexpr int kReconnectAttempts = 3;
constexpr double kReconnectWait = 1.0;

enum class ReconnectEnd { Done, Failed, Aborted };

// Connects again, retrying once a second while the device does not answer; the third failed
// retry gives up with "COM Fail" and clears Connected.
ReconnectEnd Reconnect(LinkContext& ctx) {
    if (ConnectDevice(ctx) == ConnectOutcome::Aborted) {
        return ReconnectEnd::Aborted;
    }
    bool failed = false;
    int attempts = 0;
    while (ctx.status.Panel(2) == status_text::kComRetry) {
        Delay(ctx.rt, kReconnectWait);
        if (ctx.rt.Aborting() || ConnectDevice(ctx) == ConnectOutcome::Aborted) {
            return ReconnectEnd::Aborted;
        }
        ++attempts;
        if (attempts == kReconnectAttempts && ctx.status.Panel(2) == status_text::kComRetry) {
            ctx.status.SetPanel(2, status_text::kComFailReconnects);
            ctx.Connected = false;
            failed = true;
        }
    }
    ctx.status.SetPanel(1, status_text::kMonitoring);
    ctx.status.SetIndicator(ComStat::Green);
    return failed ? ReconnectEnd::Failed : ReconnectEnd::Done;
}

// A port error inside a reconnection is a connection error: the loop stops as at any other end
// and the error reaches Monitor's caller.
ReconnectEnd ReconnectOrStop(LinkContext& ctx) {
    try {
        return Reconnect(ctx);
    } catch (const PortFailure&) {
        StopLink(ctx);
        throw;
    }
}

// After a poll: the lamp shows how it went, and a reconnection is due on "COM Reset" in panel 1
// or once more than ten polls in a row have timed out ("COM FAIL").
bool ReconnectDue(LinkContext& ctx, int& consecutiveTimeouts) {
    ctx.status.SetIndicator(ComStat::Green);
    bool due = ctx.status.Panel(1) == status_text::kComReset;
    if (ctx.FrameTimedOut) {
        ctx.status.SetIndicator(ComStat::Yellow);
        ++consecutiveTimeouts;
    } else {
        consecutiveTimeouts = 0;
    }
    if (consecutiveTimeouts > kTimeoutsBeforeReconnect) {
        due = true;
        ctx.status.SetIndicator(ComStat::Red);
        ctx.status.SetPanel(1, status_text::kComFailTimeouts);
    }
    return due;
}

}  // namespace

MonitorResult Monitor(LinkContext& ctx, FrameSink& sink) {
    ctx.status.SetPanel(1, status_text::kMonitoring);
    const double startTime = ctx.rt.Now();
    int consecutiveTimeouts = 0;
    bool linkFailed = false;
    RawData raw;
    // When the poll sent ahead for the next turn went out.
    std::optional<double> pollSent;
    // The last poll timed out or failed its checksum: the rest of its answer may still come.
    bool lineUnsettled = false;
    const auto portLost = [&ctx](std::string error) -> MonitorResult {
        ctx.port.Close();
        StopLink(ctx);
        return {MonitorEnd::PortLost, std::move(error)};
    };

    while (true) {
        if (ctx.rt.Aborting()) {
            return {MonitorEnd::Aborted, {}};
        }
        if (!ctx.Connected) {
            StopLink(ctx);
            return {linkFailed ? MonitorEnd::LinkFailed : MonitorEnd::Stopped, {}};
        }
        try {
            if (!pollSent) {
                if (lineUnsettled) {
                    AwaitQuietLine(ctx);
                }
                pollSent = SendPoll(ctx);
            }
            CollectFrame(ctx, *pollSent);
        } catch (const SerialPortError& e) {
            return portLost(e.what());
        }
        pollSent.reset();
        lineUnsettled = ctx.FrameTimedOut;
        if (ReconnectDue(ctx, consecutiveTimeouts)) {
            const ReconnectEnd end = ReconnectOrStop(ctx);
            if (end == ReconnectEnd::Aborted) {
                return {MonitorEnd::Aborted, {}};
            }
            linkFailed = linkFailed || end == ReconnectEnd::Failed;
            continue;
        }
        ctx.FrameCounter += 1;
        // Whatever a timed-out poll left in the buffer is stale or torn: never decode it.
        if (ctx.FrameTimedOut) {
            continue;
        }
        if (DecodeFrame(ctx.Frame, raw)) {
            ctx.Stats.ChecksumErrors += 1;
            lineUnsettled = true;
            continue;
        }
        // The answer collects in the port while this frame is handled. A port that fails to
        // send still lets the frame already read reach the sink before the loop stops.
        std::optional<std::string> pollFailed;
        if (ctx.Connected) {
            try {
                pollSent = SendPoll(ctx);
            } catch (const SerialPortError& e) {
                pollFailed = e.what();
            }
        }
        sink.OnGoodFrame(ctx.Frame, raw, ctx.rt.Now() - startTime);
        if (pollFailed) {
            return portLost(std::move(*pollFailed));
        }
    }
}

}  // namespace quelm
