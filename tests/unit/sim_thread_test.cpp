#include "sim/simulator_thread.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "decode/frame_decoder.h"

namespace quelm::sim {
namespace {

// The program's end of the line: the slave path opened raw at a given rate.
class Port {
  public:
    explicit Port(const std::string& path) : fd_(::open(path.c_str(), O_RDWR | O_NOCTTY)) {}
    bool ok() const { return static_cast<bool>(fd_); }

    void SetRate(speed_t speed) {
        termios tio{};
        ASSERT_EQ(::tcgetattr(fd_.get(), &tio), 0);
        ::cfmakeraw(&tio);
        ::cfsetispeed(&tio, speed);
        ::cfsetospeed(&tio, speed);
        ASSERT_EQ(::tcsetattr(fd_.get(), TCSANOW, &tio), 0);
    }

    ssize_t Write(char c) { return ::write(fd_.get(), &c, 1); }

    // Sends one command and reads until `want` bytes came or the line stayed quiet for `quiet`
    // milliseconds.
    std::string Ask(char c, std::size_t want, int quiet = 300) {
        EXPECT_EQ(::write(fd_.get(), &c, 1), 1);
        std::string got;
        while (got.size() < want) {
            pollfd p{fd_.get(), POLLIN, 0};
            if (::poll(&p, 1, quiet) <= 0 || (p.revents & POLLIN) == 0) {
                break;
            }
            char buf[64];
            const ssize_t n = ::read(fd_.get(), buf, sizeof buf);
            if (n <= 0) {
                break;
            }
            got.append(buf, static_cast<std::size_t>(n));
        }
        return got;
    }

  private:
    UniqueFd fd_;
};

TEST(SimThread, AnswersOnItsTerminalAndStopsCleanly) {
    DeviceOptions options;
    options.maxRate = 19200;
    SimulatorThread sim(options, std::make_unique<ScenarioSource>(Scenario::Idle));
    ASSERT_EQ(sim.path().rfind("/dev/pts/", 0), 0u) << sim.path();
    Port port(sim.path());
    ASSERT_TRUE(port.ok());
    port.SetRate(B9600);
    EXPECT_NE(port.Ask('b', 11).find("Quelm"), std::string::npos);
    port.Ask('c', 0);
    ::usleep(100'000);  // the device climbs once it has heard the "c" at 9600
    port.SetRate(B19200);
    const std::string frame = port.Ask('f', 38);
    ASSERT_EQ(frame.size(), 38u);
    EXPECT_TRUE(FrameChecksumGood(
        std::span(reinterpret_cast<const std::uint8_t*>(frame.data()), frame.size())));
    EXPECT_FALSE(sim.finished());
    sim.Stop();
    sim.Stop();  // a second stop is harmless
    EXPECT_TRUE(sim.error().empty());
}

TEST(SimThread, ProgramMayCloseAndReopenThePort) {
    SimulatorThread sim(DeviceOptions{}, std::make_unique<ScenarioSource>(Scenario::Cruise));
    for (int i = 0; i < 2; ++i) {
        Port port(sim.path());
        ASSERT_TRUE(port.ok());
        port.SetRate(B9600);
        EXPECT_NE(port.Ask('e', 3).find("OK"), std::string::npos);
    }
    EXPECT_FALSE(sim.finished());
}

TEST(SimThread, LineDropFaultHangsUpThePort) {
    DeviceOptions options;
    options.faults.dropAfter = 1;
    SimulatorThread sim(options, std::make_unique<ScenarioSource>(Scenario::Idle));
    Port port(sim.path());
    port.SetRate(B9600);
    EXPECT_EQ(port.Ask('f', 38).size(), 38u);
    for (int i = 0; i < 200 && !sim.finished(); ++i) {
        ::usleep(10'000);
    }
    EXPECT_TRUE(sim.lineDropped());
    EXPECT_EQ(sim.framesSent(), 1);
    // The port has hung up under the program: writing to it fails.
    EXPECT_EQ(port.Write('b'), -1);
}

}  // namespace
}  // namespace quelm::sim
