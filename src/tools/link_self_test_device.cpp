#include "tools/link_self_test_device.h"

#include "link/connect_device.h"

namespace quelm {

void LinkSelfTestDevice::Connect() {
    ConnectDevice(ctx_);
}

void LinkSelfTestDevice::Send(char command) {
    ctx_.port.WriteByte(static_cast<std::uint8_t>(command));
}

std::string LinkSelfTestDevice::ReadReply() {
    quelm::ReadReply(ctx_);
    return {ctx_.ReplyBuffer.begin(), ctx_.ReplyBuffer.end()};
}

}  // namespace quelm
