// What the self test needs from the serial link: connect, send one command character, and
// read every byte waiting. The dashboard and the command line adapt their link to it.
#pragma once

#include <string>

namespace quelm {

class SelfTestDevice {
  public:
    virtual ~SelfTestDevice() = default;
    // The full connection sequence; its outcome is not examined by the self test.
    virtual void Connect() = 0;
    virtual void Send(char command) = 0;
    // Every byte waiting in the receive buffer, in one read (empty when none).
    virtual std::string ReadReply() = 0;
    // The test is over and no longer uses the link.
    virtual void Release() {}
};

}  // namespace quelm
