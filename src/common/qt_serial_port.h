// SerialPort on Qt SerialPort. Works without a running event loop: every call polls the device
// itself, so the command line (which processes no events) and the dashboard behave alike. As for
// any Qt I/O object, a QCoreApplication must exist in the thread that uses the port.
#pragma once

#include <chrono>
#include <memory>
#include <optional>

#include "common/serial_port.h"

class QSerialPort;

namespace quelm {

class QtSerialPort final : public SerialPort {
  public:
    QtSerialPort();
    ~QtSerialPort() override;
    QtSerialPort(const QtSerialPort&) = delete;
    QtSerialPort& operator=(const QtSerialPort&) = delete;

    void SetDevice(std::string device) override;
    void Open() override;
    void Close() override;
    bool IsOpen() const override;
    void SetSettings(std::string_view text) override;
    std::size_t BytesWaiting() override;
    std::size_t ReadAll(std::vector<std::uint8_t>& into) override;
    void WriteByte(std::uint8_t byte) override;
    bool WaitForBytes(int ms) override;

  private:
    void ApplySettings();
    // Waits, for a bounded time, until what was written has left the line. False when it has
    // not; what is still queued is then discarded, so that closing cannot wait for it either.
    bool DrainOutput();
    // Throws when the port reported a read, write or resource error; clears a mere timeout.
    void CheckHealth(const char* what);
    [[noreturn]] void Fail(const char* what);

    std::unique_ptr<QSerialPort> port_;
    std::string device_;
    LineSettings settings_;
    // When the last byte not yet known to have left the line was written.
    std::optional<std::chrono::steady_clock::time_point> lastWrite_;
};

}  // namespace quelm
