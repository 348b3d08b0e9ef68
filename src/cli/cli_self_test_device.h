// The command line's self-test device on the serial link: the full connection, single command bytes
// and the link's reply read, so that the test sees the port exactly as the receive loop does.
#pragma once

#include <stdexcept>

#include "link/link_context.h"
#include "tools/self_test_device.h"

namespace quelm::cli {

// The connection ended in "COM Retry": the device never identified itself, so a test would only
// wait for a light nobody reports.
struct DeviceNotReady : std::runtime_error {
    DeviceNotReady() : std::runtime_error("the device did not answer (COM Retry)") {}
};

class CliSelfTestDevice final : public SelfTestDevice {
  public:
    explicit CliSelfTestDevice(LinkContext& ctx) : ctx_(ctx) {}

    // ConnectDevice. Throws DeviceNotReady when it ends in "COM Retry", PortFailure on a port
    // error.
    void Connect() override;
    // Throws SerialPortError when the port fails.
    void Send(char command) override;
    // Every byte waiting, once a whole reply (its leading byte and at least one more) is there
    // or kReplyWait has passed. A reply still on its way is not a dark lamp: read half-arrived,
    // one late reply would split a flash in two and change the code.
    std::string ReadReply() override;

    static constexpr double kReplyWait = 0.1;

  private:
    LinkContext& ctx_;
};

}  // namespace quelm::cli
