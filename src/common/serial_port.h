// The serial line as the link routines see it: open and close, line settings given as text,
// raw bytes in and single bytes out. The dashboard and the command line use QtSerialPort;
// tests use a scripted device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace quelm {

enum class Parity { None, Even, Odd, Mark, Space };
enum class StopBits { One, OneAndHalf, Two };

// Rate, parity, data bits and stop bits, as in "115200,N,8,1".
struct LineSettings {
    int rate = 9600;
    Parity parity = Parity::None;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    bool operator==(const LineSettings&) const = default;
};

// Parses "rate,parity,data,stop": the parity letter N, E, O, M or S in either case, 5 to 8 data
// bits, 1, 1.5 or 2 stop bits. Nothing for any other text.
std::optional<LineSettings> ParseLineSettings(std::string_view text);

enum class SerialPortErrorKind { NotFound, Permission, Other };

// Every failure of the port: opening, setting the line, reading, writing, a device that went away.
class SerialPortError : public std::runtime_error {
  public:
    SerialPortError(SerialPortErrorKind kind, const std::string& message)
        : std::runtime_error(message), kind_(kind) {}
    SerialPortErrorKind kind() const { return kind_; }

  private:
    SerialPortErrorKind kind_;
};

// All members but IsOpen, Close and SetDevice throw SerialPortError on failure.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // The device the next Open uses (a path such as /dev/ttyS0). Takes effect at the next Open.
    virtual void SetDevice(std::string device) = 0;
    // Opens the device at the line settings in force, raw bytes, no flow control, DTR and RTS on
    // (a device without modem lines, such as a pseudo-terminal, is not an error).
    virtual void Open() = 0;
    // Waits until what was written has left the line (bytes a device never takes are dropped
    // after a bounded wait), then closes the port and drops what was received. Never throws.
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;

    // Line settings text such as "115200,N,8,1" or "57600,n,8,1". Applied when the port is open
    // once what was written has left the line (kind Other when it cannot within a bounded
    // wait), else at the next Open. Text ParseLineSettings rejects throws (kind Other).
    virtual void SetSettings(std::string_view text) = 0;

    // Bytes received and not yet read (0 when the port is closed).
    virtual std::size_t BytesWaiting() = 0;
    // Replaces the contents of `into` with every byte waiting and returns how many. The vector's
    // capacity is reused, so a poll loop that passes the same vector does not allocate.
    virtual std::size_t ReadAll(std::vector<std::uint8_t>& into) = 0;
    // Sends one byte at once.
    virtual void WriteByte(std::uint8_t byte) = 0;
    // Waits up to `ms` milliseconds for at least one byte; true when bytes are waiting.
    virtual bool WaitForBytes(int ms) = 0;
};

}  // namespace quelm
