// The state the link routines share: the port, the clock, the status bar, the configured port and
// rates, the frame buffer and the counters. The window or the command line owns one and passes it
// to every routine; handlers that run while a routine yields change it (Connected, ComPort,
// MaxBaudRate) and the routine notices at its next step.
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <vector>

#include "common/com_port_map.h"
#include "common/records.h"
#include "common/runtime.h"
#include "common/serial_port.h"
#include "common/status_model.h"

namespace quelm {

struct LinkContext {
    LinkContext(SerialPort& p, Runtime& r, StatusModel& s, const ComPortMap& m)
        : port(p), rt(r), status(s), portMap(m) {
        ReplyBuffer.reserve(1000);
        ReadScratch.reserve(1000);
    }

    SerialPort& port;
    Runtime& rt;
    StatusModel& status;
    const ComPortMap& portMap;

    // 1..4; 0 = not configured (opening it is a port error).
    int ComPort = 0;
    // Highest rate the user allows, compared by its leading number ("9600" .. "115200").
    std::string MaxBaudRate = "115200";
    // Rate negotiated by the last ConnectDevice.
    std::string BaudRate = "9600";
    // The receive loop runs while this is set; clearing it stops the loop at its next turn.
    bool Connected = false;

    // The bytes of the last reply (ReadReply).
    std::vector<std::uint8_t> ReplyBuffer;
    // Bytes 0..37 hold the last poll's bytes; never cleared between polls.
    FrameBuffer Frame{};
    bool FrameTimedOut = false;
    LinkStats Stats;
    // Polls since the last statistics tick.
    double FrameCounter = 0;

    // Reused by ReadFrame so that polling does not allocate.
    std::vector<std::uint8_t> ReadScratch;
};

// Thrown by the link's waits once the program is ending; ConnectDevice and Monitor turn it into
// their Aborted outcome, so it only reaches callers of the smaller routines.
struct LinkAborted : std::exception {
    const char* what() const noexcept override { return "link aborted"; }
};

// Delay, then LinkAborted if the program is ending meanwhile.
void LinkWait(LinkContext& ctx, double seconds);

// The link's stopped state: Connected cleared, panel 2 "COM Stopped", the red indicator and the
// caption "Connect". The port is left as it is.
void StopLink(LinkContext& ctx);

// Leading numeric value of a rate text; 0 for text without one.
double RateValue(const std::string& rate);

}  // namespace quelm
