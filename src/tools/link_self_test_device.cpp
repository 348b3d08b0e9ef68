#include "tools/link_self_test_device.h"

#include "link/await_reply.h"

namespace quelm {

void LinkSelfTestDevice::Connect() {
    failed_ = false;
    panel1_ = link_.status.Panel(1);
    panel2_ = link_.status.Panel(2);
    lamp_ = link_.status.Indicator();
    ConnectOutcome outcome = ConnectOutcome::Ready;
    try {
        outcome = ConnectDevice(link_);
    } catch (const PortFailure& failure) {
        if (!onPortFailure_) {
            throw;
        }
        failed_ = true;
        onPortFailure_(failure);
        return;
    }
    if (outcome == ConnectOutcome::Retry && unanswered_ == UnansweredConnect::Refuse) {
        throw DeviceNotReady();
    }
}

void LinkSelfTestDevice::Send(char command) {
    if (failed_) {
        return;
    }
    try {
        link_.port.WriteByte(static_cast<std::uint8_t>(command));
    } catch (const SerialPortError& e) {
        Fail(e);
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
        Fail(e);
        return {};
    }
    return {link_.ReplyBuffer.begin(), link_.ReplyBuffer.end()};
}

void LinkSelfTestDevice::Release() {
    // The test's "Ready @" and green lamp say nothing about the dashboard's own link, which
    // stays as it was; a link started meanwhile shows its own state.
    if (link_.Connected) {
        return;
    }
    link_.status.SetPanel(1, panel1_);
    link_.status.SetPanel(2, panel2_);
    link_.status.SetIndicator(lamp_);
}

void LinkSelfTestDevice::Fail(const SerialPortError& error) {
    link_.port.Close();
    if (!onPortFailure_) {
        throw;  // only ever called while `error` is being handled
    }
    failed_ = true;
    onPortFailure_(PortFailure(error.what(), error.kind()));
}

}  // namespace quelm
