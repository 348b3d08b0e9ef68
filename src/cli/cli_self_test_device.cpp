#include "cli/cli_self_test_device.h"

#include "link/await_reply.h"
#include "link/connect_device.h"

namespace quelm::cli {

void CliSelfTestDevice::Connect() {
    if (ConnectDevice(ctx_) == ConnectOutcome::Retry) {
        throw DeviceNotReady();
    }
}

void CliSelfTestDevice::Send(char command) {
    ctx_.port.WriteByte(static_cast<std::uint8_t>(command));
}

std::string CliSelfTestDevice::ReadReply() {
    AwaitReply(ctx_, kReplyWait);
    quelm::ReadReply(ctx_);
    return {ctx_.ReplyBuffer.begin(), ctx_.ReplyBuffer.end()};
}

}  // namespace quelm::cli
