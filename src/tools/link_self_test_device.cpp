#include "tools/link_self_test_device.h"

#include "link/await_reply.h"

namespace quelm {

void LinkSelfTestDevice::Connect() {
    failed_ = false;
    try {
        ConnectDevice(link_);
    } catch (const PortFailure& failure) {
        Fail(failure);
    }
}

void LinkSelfTestDevice::Send(char command) {
    if (failed_) {
        return;
    }
    try {
        link_.port.WriteByte(static_cast<std::uint8_t>(command));
    } catch (const SerialPortError& e) {
        link_.port.Close();
        Fail(PortFailure(e.what()));
    }
}

std::string LinkSelfTestDevice::ReadReply() {
    if (failed_) {
        return {};
    }
    try {
        // A reply still on its way is not a dark lamp: read half-arrived, one late reply would
        // split a flash in two and change the code.
        AwaitReply(link_, kReplyWait);
        quelm::ReadReply(link_);
    } catch (const SerialPortError& e) {
        link_.port.Close();
        Fail(PortFailure(e.what()));
        return {};
    }
    return {link_.ReplyBuffer.begin(), link_.ReplyBuffer.end()};
}

void LinkSelfTestDevice::Fail(const PortFailure& failure) {
    failed_ = true;
    if (onPortFailure_) {
        onPortFailure_(failure);
    }
}

}  // namespace quelm
