// A new pseudo-terminal pair: the simulator keeps the master end, the program opens the slave
// path as if it were a serial port.
#pragma once

#include <string>

namespace quelm::sim {

// Owns one file descriptor.
class UniqueFd {
  public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;
    ~UniqueFd() { Reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release();
    void Reset();

  private:
    int fd_ = -1;
};

// The rates the program has set on its end of the line; 0 for a rate off the device's ladder.
struct LineRates {
    int transmit = 0;  // what the program sends at
    int receive = 0;   // what the program listens at
};

int RateFromSpeed(unsigned speed);

class Pseudoterminal {
  public:
    // Opens a pair in raw mode at 9600 bit/s. Throws std::system_error on failure.
    static Pseudoterminal Open();

    int master() const { return master_.get(); }
    const std::string& path() const { return path_; }
    bool open() const { return static_cast<bool>(master_); }

    // The line settings the program set, read from the terminal each time.
    LineRates Rates() const;

    // Bytes sent to the program that it has not read yet.
    int Unread() const;

    // Closes the master end: the program's port hangs up as if the cable were pulled.
    void Drop() { master_.Reset(); }

  private:
    Pseudoterminal(UniqueFd master, UniqueFd slave, std::string path)
        : master_(std::move(master)), slave_(std::move(slave)), path_(std::move(path)) {}

    UniqueFd master_;
    // Held open so the master never reads EIO while the program closes and reopens its port.
    UniqueFd slave_;
    std::string path_;
};

}  // namespace quelm::sim
