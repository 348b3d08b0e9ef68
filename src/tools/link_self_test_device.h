// The self test's view of the serial link, for the dashboard and the command line alike: the
// full connection, one command byte out, every waiting byte in. The connection writes the status
// panels and the lamp; once the test is over they show the link as it was before.
#pragma once

#include <functional>
#include <stdexcept>
#include <string>

#include "link/connect_device.h"
#include "tools/self_test_device.h"

namespace quelm {

// The connection ended in "COM Retry": the device never identified itself, so a test would only
// wait for a light nobody reports.
struct DeviceNotReady : std::runtime_error {
    DeviceNotReady() : std::runtime_error("the device did not answer (COM Retry)") {}
};

// What a connection that ends in "COM Retry" means to the test.
enum class UnansweredConnect {
    TestAnyway,  // the dashboard: the test goes on and finds a dark lamp
    Refuse,      // the command line: Connect throws DeviceNotReady
};

class LinkSelfTestDevice final : public SelfTestDevice {
  public:
    // With `onPortFailure`, a port error closes the port and is handed to it (the dashboard
    // reports it and ends); after that the device sends nothing and hears nothing. Without it,
    // the error reaches the caller: PortFailure from Connect, SerialPortError from Send and
    // ReadReply.
    LinkSelfTestDevice(LinkContext& link, UnansweredConnect unanswered,
                       std::function<void(const PortFailure&)> onPortFailure = {})
        : link_(link), unanswered_(unanswered), onPortFailure_(std::move(onPortFailure)) {}

    void Connect() override;
    void Send(char command) override;
    // Every byte waiting, once a whole reply (its leading byte and at least one more) is there
    // or kReplyWait has passed.
    std::string ReadReply() override;
    void Release() override;

    // How long a light-state reply may take to arrive in full.
    static constexpr double kReplyWait = 0.1;

  private:
    // Inside the handler of a port error: closes the port, then hands the error on or rethrows it.
    void Fail(const SerialPortError& error);

    LinkContext& link_;
    UnansweredConnect unanswered_;
    std::function<void(const PortFailure&)> onPortFailure_;
    bool failed_ = false;
    // Panels 1 and 2 and the lamp before the test's connection.
    std::string panel1_;
    std::string panel2_;
    ComStat lamp_ = ComStat::Grey;
};

}  // namespace quelm
