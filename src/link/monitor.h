// The receive loop: poll the device for frames, check them, hand every good frame to the sinks,
// count the link statistics, reconnect after eleven timeouts in a row or on "COM Reset" in
// panel 1, and stop when Connected is cleared.
#pragma once

#include <string>

#include "link/link_context.h"

namespace quelm {

inline constexpr double kPollTimeout = 0.1;

// Flushes the input, sends "f" and collects the answer into ctx.Frame within 0.1 s. A complete
// poll (38 bytes; a 39th that came in the same read is kept at index 38) adds to TotalFrames; a
// poll that reaches its deadline sets FrameTimedOut and adds to TimeoutErrors. Throws
// SerialPortError when the port fails.
void ReadFrame(LinkContext& ctx);
// ReadFrame in two halves, so that the receive loop can send the next poll before it handles the
// frame it has just read. SendPoll flushes the input and sends "f", and returns the clock
// reading then; CollectFrame collects the answer to that poll.
double SendPoll(LinkContext& ctx);
void CollectFrame(LinkContext& ctx, double sentAt);
// Reads and drops bytes until the line has been quiet for two bytes' time (at most the poll
// timeout). A torn answer (its first bytes lost, or others before it) still has bytes coming
// when the 38th is in; a poll sent then would be answered after them, and every later frame
// would be torn the same way.
void AwaitQuietLine(LinkContext& ctx);

// Where good frames go: conversions, dashboard, scopes, recorder, in the order the caller chains
// them.
class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // A complete poll that passed its checksum. `raw` is its decoded record; `scopeTime` the
    // seconds since Monitor started.
    virtual void OnGoodFrame(const FrameBuffer& frame, const RawData& raw, double scopeTime) = 0;
};

enum class MonitorEnd {
    Stopped,     // Connected was cleared (the user disconnected)
    LinkFailed,  // three reconnections failed: panel 2 went "COM Fail" before "COM Stopped"
    PortLost,    // the port failed while polling; MonitorResult::error says how
    Aborted,     // the program is ending
};

struct MonitorResult {
    MonitorEnd end = MonitorEnd::Stopped;
    std::string error;
};

// Runs until Connected is cleared, the link fails, the port fails or the program ends. Every end
// but Aborted leaves panel 2 "COM Stopped", the red indicator, the caption "Connect" and
// Connected cleared; after PortLost the port is closed. A port error inside a reconnection is a
// connection error: the loop stops the same way and PortFailure propagates to the caller.
// Once a poll is complete and its checksum good, the next "f" goes out before the frame is handed
// to the sink, so that the sink's work overlaps the device's answer instead of delaying it; a
// loop that stops leaves that last poll unanswered (the next flush or connection discards the
// answer). After a timed-out or bad poll the line is let go quiet before the next one.
MonitorResult Monitor(LinkContext& ctx, FrameSink& sink);

}  // namespace quelm
