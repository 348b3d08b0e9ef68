// The self test's device on the serial link: the full connection, single command bytes and the
// link's reply read, so that the test sees the port exactly as the receive loop does.
#pragma once

#include "link/link_context.h"
#include "tools/self_test_device.h"

namespace quelm {

class LinkSelfTestDevice final : public SelfTestDevice {
  public:
    explicit LinkSelfTestDevice(LinkContext& ctx) : ctx_(ctx) {}

    // ConnectDevice; its outcome is not examined. Throws PortFailure on a port error.
    void Connect() override;
    // Throws SerialPortError when the port fails.
    void Send(char command) override;
    std::string ReadReply() override;

  private:
    LinkContext& ctx_;
};

}  // namespace quelm
