#include "cli/cli_self_test_device.h"

#include "link/connect_device.h"

namespace quelm::cli {

void CliSelfTestDevice::Connect() {
    ConnectDevice(ctx_);
}

void CliSelfTestDevice::Send(char command) {
    ctx_.port.WriteByte(static_cast<std::uint8_t>(command));
}

std::string CliSelfTestDevice::ReadReply() {
    const double deadline = ctx_.rt.Now() + kReplyWait;
    while (ctx_.port.BytesWaiting() < 2 && ctx_.rt.Now() < deadline && !ctx_.rt.Aborting()) {
        if (ctx_.port.BytesWaiting() == 0) {
            ctx_.port.WaitForBytes(1);
        } else {
            ctx_.rt.Sleep(0.0005);  // the rest of a reply that has begun
        }
        ctx_.rt.Yield();
    }
    quelm::ReadReply(ctx_);
    return {ctx_.ReplyBuffer.begin(), ctx_.ReplyBuffer.end()};
}

}  // namespace quelm::cli
