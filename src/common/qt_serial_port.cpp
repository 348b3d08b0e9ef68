#include "common/qt_serial_port.h"

#include <linux/serial.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>

#include <QSerialPort>
#include <thread>

namespace quelm {

namespace {

using Clock = std::chrono::steady_clock;

// Longest wait for written bytes to leave: a line without flow control sends a byte in at most
// a millisecond, so only a device that never takes them (a stuck adapter, a terminal nobody
// reads) reaches it.
constexpr auto kDrainLimit = std::chrono::milliseconds(500);
// tcdrain returns once the driver has nothing left to send, yet the last byte may still sit in
// a USB adapter's own buffer, or, on a pseudo-terminal, on its way to the process at the other
// end, which looks at the line settings when it takes the byte. The last byte gets this long
// before the line may change; a connection changes the line long after its last write anyway.
constexpr auto kLineSettle = std::chrono::milliseconds(50);

QSerialPort::Parity ToQt(Parity p) {
    switch (p) {
        case Parity::Even:
            return QSerialPort::EvenParity;
        case Parity::Odd:
            return QSerialPort::OddParity;
        case Parity::Mark:
            return QSerialPort::MarkParity;
        case Parity::Space:
            return QSerialPort::SpaceParity;
        case Parity::None:
            break;
    }
    return QSerialPort::NoParity;
}

QSerialPort::StopBits ToQt(StopBits s) {
    switch (s) {
        case StopBits::OneAndHalf:
            return QSerialPort::OneAndHalfStop;
        case StopBits::Two:
            return QSerialPort::TwoStop;
        case StopBits::One:
            break;
    }
    return QSerialPort::OneStop;
}

SerialPortErrorKind KindOf(QSerialPort::SerialPortError error) {
    switch (error) {
        case QSerialPort::DeviceNotFoundError:
            return SerialPortErrorKind::NotFound;
        case QSerialPort::PermissionError:
            return SerialPortErrorKind::Permission;
        default:
            return SerialPortErrorKind::Other;
    }
}

// Asks the driver to hand over received bytes at once (USB adapters otherwise hold them for up to
// 16 ms). Drivers without the request (ENOTTY on a pseudo-terminal, EINVAL on some adapters) or
// that refuse it simply keep their own timing, which is slower but not an error.
void RequestLowLatency(int fd) {
    serial_struct info{};
    if (::ioctl(fd, TIOCGSERIAL, &info) != 0) {
        return;
    }
    info.flags |= static_cast<int>(ASYNC_LOW_LATENCY);
    ::ioctl(fd, TIOCSSERIAL, &info);
}

// A device that was unplugged, or a pseudo-terminal whose other side closed, reports a hang-up
// that Qt's wait alone would take for silence.
bool HungUp(int fd) {
    pollfd p{fd, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

}  // namespace

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {}

QtSerialPort::~QtSerialPort() {
    Close();
}

void QtSerialPort::SetDevice(std::string device) {
    device_ = std::move(device);
}

void QtSerialPort::Open() {
    if (device_.empty()) {
        throw SerialPortError(SerialPortErrorKind::NotFound, "No serial device is configured");
    }
    Close();
    port_->setPortName(QString::fromStdString(device_));
    port_->clearError();
    ApplySettings();
    port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!port_->open(QIODevice::ReadWrite)) {
        const auto kind = KindOf(port_->error());
        const auto text = port_->errorString().toStdString();
        port_->clearError();
        throw SerialPortError(kind, device_ + ": " + text);
    }
    // Pseudo-terminals have no modem lines; the device does not need them there.
    port_->setDataTerminalReady(true);
    port_->setRequestToSend(true);
    port_->clearError();
    RequestLowLatency(port_->handle());
}

void QtSerialPort::Close() {
    if (port_->isOpen()) {
        // Qt puts back the settings the port had before opening as it closes: a byte still on
        // its way would go at that rate. Bytes that cannot leave are dropped by the drain; the
        // port is closed all the same.
        DrainOutput();
        port_->close();
    }
    port_->clearError();
}

bool QtSerialPort::DrainOutput() {
    const auto deadline = Clock::now() + kDrainLimit;
    const auto msLeft = [&] {
        return static_cast<int>(
            std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count());
    };
    while (port_->bytesToWrite() > 0 && msLeft() > 0 && port_->waitForBytesWritten(msLeft())) {
    }
    const int fd = port_->handle();
    int queued = 0;
    while (port_->bytesToWrite() == 0 && ::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0 &&
           Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    port_->clearError();
    if (port_->bytesToWrite() > 0 || queued > 0) {
        port_->clear(QSerialPort::Output);
        port_->clearError();
        lastWrite_.reset();
        return false;
    }
    // The driver's queue is empty: only the transmitter itself is left, which tcdrain waits for
    // (a signal cutting it short leaves the settle time below).
    ::tcdrain(fd);
    if (lastWrite_) {
        std::this_thread::sleep_until(*lastWrite_ + kLineSettle);
        lastWrite_.reset();
    }
    return true;
}

bool QtSerialPort::IsOpen() const {
    return port_->isOpen();
}

void QtSerialPort::SetSettings(std::string_view text) {
    const auto parsed = ParseLineSettings(text);
    if (!parsed) {
        throw SerialPortError(SerialPortErrorKind::Other,
                              "Invalid line settings \"" + std::string(text) + "\"");
    }
    settings_ = *parsed;
    if (port_->isOpen()) {
        if (!DrainOutput()) {
            throw SerialPortError(SerialPortErrorKind::Other,
                                  device_ + ": the bytes written did not leave the line");
        }
        ApplySettings();
    }
}

void QtSerialPort::ApplySettings() {
    const bool ok = port_->setBaudRate(settings_.rate) &&
                    port_->setDataBits(static_cast<QSerialPort::DataBits>(settings_.dataBits)) &&
                    port_->setParity(ToQt(settings_.parity)) &&
                    port_->setStopBits(ToQt(settings_.stopBits));
    if (!ok && port_->isOpen()) {
        Fail("cannot set the line");
    }
}

std::size_t QtSerialPort::BytesWaiting() {
    if (!port_->isOpen()) {
        return 0;
    }
    // Pull in whatever the driver holds without blocking.
    port_->waitForReadyRead(0);
    CheckHealth("read");
    return static_cast<std::size_t>(port_->bytesAvailable());
}

std::size_t QtSerialPort::ReadAll(std::vector<std::uint8_t>& into) {
    into.clear();
    const auto waiting = BytesWaiting();
    if (waiting == 0) {
        return 0;
    }
    into.resize(waiting);
    const auto got =
        port_->read(reinterpret_cast<char*>(into.data()), static_cast<qint64>(waiting));
    if (got < 0) {
        into.clear();
        Fail("read");
    }
    into.resize(static_cast<std::size_t>(got));
    return into.size();
}

void QtSerialPort::WriteByte(std::uint8_t byte) {
    if (!port_->isOpen()) {
        throw SerialPortError(SerialPortErrorKind::Other, device_ + ": write to a closed port");
    }
    const char c = static_cast<char>(byte);
    if (port_->write(&c, 1) != 1) {
        Fail("write");
    }
    lastWrite_ = Clock::now();
    // No event loop may run: push the byte out now.
    port_->flush();
    if (port_->bytesToWrite() > 0) {
        port_->waitForBytesWritten(100);
    }
    CheckHealth("write");
}

bool QtSerialPort::WaitForBytes(int ms) {
    if (!port_->isOpen()) {
        return false;
    }
    if (port_->bytesAvailable() == 0) {
        port_->waitForReadyRead(ms);
        CheckHealth("read");
    }
    return port_->bytesAvailable() > 0;
}

void QtSerialPort::CheckHealth(const char* what) {
    const auto error = port_->error();
    if (error == QSerialPort::TimeoutError) {
        port_->clearError();
    } else if (error != QSerialPort::NoError) {
        Fail(what);
    }
    if (port_->bytesAvailable() == 0 && HungUp(port_->handle())) {
        throw SerialPortError(SerialPortErrorKind::Other,
                              device_ + ": " + what + " failed: the device went away");
    }
}

void QtSerialPort::Fail(const char* what) {
    const auto kind = KindOf(port_->error());
    const auto text = port_->errorString().toStdString();
    port_->clearError();
    throw SerialPortError(kind, device_ + ": " + what + " failed: " + text);
}

}  // namespace quelm
