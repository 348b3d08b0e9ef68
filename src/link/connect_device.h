// Connection and rate negotiation: bring the device back to 9600, find the highest rate at which
// it still answers (up to MaxBaudRate), climb to it and confirm. Progress and outcome go to the
// status model: panel 1 "Initializing", panel 2 "Resetting", "Connecting", "Connected", then
// "Ready @ <rate>" (green) or "COM Retry" (red).
#pragma once

#include <stdexcept>
#include <string>

#include "link/link_context.h"

namespace quelm {

// A port error during a connection. The caller shows `message` under `title` with a critical
// icon, writes WriteComPortFile(0) and ends the program.
class PortFailure : public std::runtime_error {
  public:
    static constexpr const char* kMessage = "Serial Port Error.  Please reconfigure.";
    static constexpr const char* kTitle = "System Configuration Error";

    // `detail` is what the port said (for a log line or stderr); message() is the user text.
    explicit PortFailure(std::string detail, SerialPortErrorKind kind = SerialPortErrorKind::Other)
        : std::runtime_error(kMessage), detail_(std::move(detail)), kind_(kind) {}
    const char* message() const { return kMessage; }
    const char* title() const { return kTitle; }
    const std::string& detail() const { return detail_; }
    // What kind of port error it was (a permission error deserves a hint about access rights).
    SerialPortErrorKind kind() const { return kind_; }

  private:
    std::string detail_;
    SerialPortErrorKind kind_;
};

enum class ConnectOutcome {
    Ready,    // panel 2 "Ready @ <BaudRate>", indicator green
    Retry,    // panel 2 "COM Retry", indicator red; the port stays open at BaudRate
    Aborted,  // the program is ending; the sequence stopped where it was
};

// Takes every byte waiting, in one read, into ReplyBuffer (replacing it).
void ReadReply(LinkContext& ctx);

// True when `text` occurs, case-sensitively, in ReplyBuffer from its second byte on: the first
// byte received is never examined, so an empty or one-byte reply gives false.
bool ReplyContains(const LinkContext& ctx, std::string_view text);
// The same test on a reply held elsewhere.
bool ReplyContains(std::string_view reply, std::string_view text);

// The routines below throw SerialPortError on a port error and LinkAborted once the program is
// ending; ConnectDevice catches both.

// Sends "a" at the rate in force and at 19200, 38400, 57600 and 115200, then leaves the port open
// at 9600 with the input drained. About 2.5 s.
void ResetDevice(LinkContext& ctx);
// "b" must be answered with "Quelm", then "e" with "OK".
bool IdentifyDevice(LinkContext& ctx);
// Climbs from 9600 with "c" while the device still identifies itself, up to MaxBaudRate (copied
// into BaudRate first). Returns the highest rate text that answered.
std::string FindMaxRate(LinkContext& ctx);
// From 9600, "c" step by step up to BaudRate without checking; the port ends open at BaudRate.
void ShiftUpToRate(LinkContext& ctx);

// The whole connection on ctx.ComPort (resolved through ctx.portMap). Sets BaudRate. Throws
// PortFailure on any port error (the port is closed then).
ConnectOutcome ConnectDevice(LinkContext& ctx);

}  // namespace quelm
