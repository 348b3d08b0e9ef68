#include "sim/pseudoterminal.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace quelm::sim {

namespace {

[[noreturn]] void ThrowErrno(const char* what) {
    throw std::system_error(errno, std::generic_category(), what);
}

}  // namespace

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        Reset();
        fd_ = other.Release();
    }
    return *this;
}

int UniqueFd::Release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
}

void UniqueFd::Reset() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

int RateFromSpeed(unsigned speed) {
    switch (speed) {
        case B9600:
            return 9600;
        case B19200:
            return 19200;
        case B38400:
            return 38400;
        case B57600:
            return 57600;
        case B115200:
            return 115200;
        default:
            return 0;
    }
}

Pseudoterminal Pseudoterminal::Open() {
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY));
    if (!master) {
        ThrowErrno("posix_openpt");
    }
    const int flags = ::fcntl(master.get(), F_GETFL);
    if (flags < 0 || ::fcntl(master.get(), F_SETFL, flags | O_NONBLOCK) < 0 ||
        ::fcntl(master.get(), F_SETFD, FD_CLOEXEC) < 0) {
        ThrowErrno("fcntl on the pseudo-terminal master");
    }
    if (::grantpt(master.get()) != 0) {
        ThrowErrno("grantpt");
    }
    if (::unlockpt(master.get()) != 0) {
        ThrowErrno("unlockpt");
    }
    char name[128] = {};
    if (::ptsname_r(master.get(), name, sizeof name) != 0) {
        ThrowErrno("ptsname");
    }
    UniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave) {
        ThrowErrno("open pseudo-terminal slave");
    }
    // Raw bytes both ways: no echo of the replies back as commands, no CR/LF translation.
    termios tio{};
    if (::tcgetattr(slave.get(), &tio) != 0) {
        ThrowErrno("tcgetattr");
    }
    ::cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    ::cfsetispeed(&tio, B9600);
    ::cfsetospeed(&tio, B9600);
    if (::tcsetattr(slave.get(), TCSANOW, &tio) != 0) {
        ThrowErrno("tcsetattr");
    }
    return Pseudoterminal(std::move(master), std::move(slave), name);
}

int Pseudoterminal::Unread() const {
    int n = 0;
    return ::ioctl(slave_.get(), FIONREAD, &n) == 0 ? n : 0;
}

LineRates Pseudoterminal::Rates() const {
    termios tio{};
    if (::tcgetattr(slave_.get(), &tio) != 0) {
        return {};
    }
    LineRates r;
    r.transmit = RateFromSpeed(::cfgetospeed(&tio));
    const speed_t in = ::cfgetispeed(&tio);
    // An input speed of 0 means "the same as the output speed".
    r.receive = in == B0 ? r.transmit : RateFromSpeed(in);
    return r;
}

}  // namespace quelm::sim
