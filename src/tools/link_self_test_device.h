// The self test's view of the serial link: the full connection, one command byte out, every
// waiting byte in. A port error is handed to `onPortFailure` (the program reports it and
// ends); after that the device sends nothing and hears nothing.
#pragma once

#include <functional>
#include <string>

#include "link/connect_device.h"
#include "tools/self_test_device.h"

namespace quelm {

class LinkSelfTestDevice : public SelfTestDevice {
  public:
    LinkSelfTestDevice(LinkContext& link, std::function<void(const PortFailure&)> onPortFailure)
        : link_(link), onPortFailure_(std::move(onPortFailure)) {}

    void Connect() override;
    void Send(char command) override;
    std::string ReadReply() override;

    // How long a light-state reply may take to arrive in full.
    static constexpr double kReplyWait = 0.1;

  private:
    void Fail(const PortFailure& failure);

    LinkContext& link_;
    std::function<void(const PortFailure&)> onPortFailure_;
    bool failed_ = false;
};

}  // namespace quelm
