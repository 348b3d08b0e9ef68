// Which device each of COM1..COM4 opens. By default COMn is /dev/ttyS(n-1); the dashboard and the
// command line may map a number to any device (a USB adapter, the simulator's pseudo-terminal).
// The settings file keeps just the COM number; the map has a file of its own (ports.conf).
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace quelm {

// The COM number a SERIAL/COMPORT value names: 1..4 (a fraction is cut off, as the number form
// never has one), else 0, no port configured, however large, negative or odd the number is.
int ComPortNumber(std::string_view value);

class ComPortMap {
  public:
    static constexpr int kPorts = 4;

    // The device for COM `comPort`: its override when set, else the default; "" outside 1..4.
    std::string DevicePath(int comPort) const;
    static std::string DefaultPath(int comPort);

    // Maps COM `comPort` (1..4) to `device`; an empty device restores the default. Numbers
    // outside 1..4 are ignored and give false. This is the mapping kept for later sessions.
    bool SetOverride(int comPort, std::string device);
    bool HasOverride(int comPort) const;
    // The kept mapping of COM `comPort`, or "" when it is on its default device.
    std::string KeptDevice(int comPort) const;

    // Maps COM `comPort` to `device` for this session only (--port, the built-in simulator),
    // over the kept mapping, which stays as it was. SetOverride on the number ends it.
    bool SetSessionDevice(int comPort, std::string device);

  private:
    std::array<std::string, kPorts> overrides_{};
    std::array<std::string, kPorts> session_{};
};

}  // namespace quelm
