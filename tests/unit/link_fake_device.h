// A scripted device behind the SerialPort interface, on a virtual clock. It keeps its own rate
// ladder (any rate -> "a" -> 9600 -> "c" -> next step, up to maxRate) and hears a command only
// while the port's rate equals its own. Replies arrive at the line rate, 10 bits a byte. Every
// port action goes into a transcript, with the waits between them.
#pragma once

#include <algorithm>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime.h"
#include "common/serial_port.h"
#include "decode/frame_decoder.h"
#include "link/link_context.h"
#include "test_clock.h"

namespace quelm::test {

enum class FrameMode {
    Good,         // 38 bytes in one burst
    Split,        // 38 bytes in two bursts 5 ms apart
    Short37,      // the first 37 bytes only
    Burst41,      // the frame plus three more bytes in one burst
    BadChecksum,  // byte 37 wrong
    Silent,       // no answer
    RepeatShort,  // the previous frame's first 37 bytes again (passes with the old byte 37)
    Torn,         // three stray bytes, then the frame, its last three bytes 0.5 ms later
};

class FakeDevice : public SerialPort {
  public:
    explicit FakeDevice(VirtualRuntime& rt) : rt_(rt) {}

    // Device model.
    int maxRate = 115200;
    int deviceRate = 57600;
    bool present = true;
    std::string enableReply = "\x01OK";
    std::deque<FrameMode> frames;  // consumed one per poll, then `steady`
    FrameMode steady = FrameMode::Good;
    bool failOpen = false;
    int vanishAfterPolls = -1;  // the port fails for good once this many polls were answered

    // Called after each "f" the device handled (1, 2, ...), and at each SetDevice.
    std::function<void(int)> onPoll;
    std::function<void(int)> onSetDevice;

    std::vector<std::string> transcript;
    int polls = 0;
    int setDeviceCalls = 0;
    std::uint16_t nextSeq = 0;

    void SetDevice(std::string device) override {
        Log("device " + device);
        ++setDeviceCalls;
        if (onSetDevice) {
            onSetDevice(setDeviceCalls);
        }
    }
    void Open() override {
        CheckGone();
        Log("open");
        if (failOpen) {
            throw SerialPortError(SerialPortErrorKind::NotFound, "no such device");
        }
        open_ = true;
    }
    void Close() override {
        Log("close");
        open_ = false;
        pending_.clear();
    }
    bool IsOpen() const override { return open_; }
    void SetSettings(std::string_view text) override {
        CheckGone();
        auto parsed = ParseLineSettings(text);
        if (!parsed) {
            throw SerialPortError(SerialPortErrorKind::Other, "bad settings");
        }
        settings_ = *parsed;
        Log("set " + std::string(text));
    }
    std::size_t BytesWaiting() override {
        CheckGone();
        std::size_t n = 0;
        for (const auto& [at, b] : pending_) {
            if (at > rt_.Now()) {
                break;
            }
            ++n;
        }
        return n;
    }
    std::size_t ReadAll(std::vector<std::uint8_t>& into) override {
        const auto n = BytesWaiting();
        Log("read");
        into.clear();
        for (std::size_t i = 0; i < n; ++i) {
            into.push_back(pending_.front().second);
            pending_.pop_front();
        }
        return n;
    }
    void WriteByte(std::uint8_t byte) override {
        CheckGone();
        if (!open_) {
            throw SerialPortError(SerialPortErrorKind::Other, "write to a closed port");
        }
        Log(std::string("send ") + static_cast<char>(byte));
        if (present && settings_.rate == deviceRate) {
            Hear(static_cast<char>(byte));
        }
    }
    bool WaitForBytes(int ms) override {
        if (BytesWaiting() > 0) {
            return true;
        }
        const double limit = rt_.Now() + ms / 1000.0;
        if (!pending_.empty() && pending_.front().first <= limit) {
            rt_.Advance(pending_.front().first - rt_.Now());
            return true;
        }
        rt_.Advance(limit - rt_.Now());
        return false;
    }

    // A sealed frame whose TPS word (bytes 2..3) carries `seq`.
    static std::vector<std::uint8_t> MakeFrame(std::uint16_t seq) {
        FrameBuffer b{};
        b[2] = static_cast<std::uint8_t>(seq >> 8);
        b[3] = static_cast<std::uint8_t>(seq & 0xFF);
        b[10] = 0x5A;
        SealFrame(std::span<std::uint8_t>(b.data(), kFrameBytes));
        return {b.begin(), b.begin() + kFrameBytes};
    }

  private:
    void Log(std::string event) {
        const double idle = rt_.Now() - lastEvent_;
        if (idle >= 0.05 && !transcript.empty()) {
            char text[32];
            std::snprintf(text, sizeof text, "wait %.1f", idle);
            transcript.emplace_back(text);
        }
        lastEvent_ = rt_.Now();
        transcript.push_back(std::move(event));
    }
    void CheckGone() {
        if (gone_) {
            throw SerialPortError(SerialPortErrorKind::Other, "the device went away");
        }
    }
    void Reply(const std::vector<std::uint8_t>& bytes, double after = 0.002) {
        double at = rt_.Now() + after + bytes.size() * 10.0 / deviceRate;
        for (auto b : bytes) {
            pending_.emplace_back(at, b);
        }
    }
    void ReplyText(const std::string& text) {
        Reply(std::vector<std::uint8_t>(text.begin(), text.end()));
    }
    void Hear(char command) {
        static constexpr int kLadder[] = {9600, 19200, 38400, 57600, 115200};
        switch (command) {
            case 'a':
                deviceRate = 9600;
                break;
            case 'c':
                for (std::size_t i = 0; i + 1 < std::size(kLadder); ++i) {
                    if (kLadder[i] == deviceRate && kLadder[i + 1] <= maxRate) {
                        deviceRate = kLadder[i + 1];
                        break;
                    }
                }
                break;
            case 'b':
                ReplyText("\x01Quelm Rev 1.4");
                break;
            case 'e':
                ReplyText(enableReply);
                break;
            case 'f':
                Poll();
                break;
            default:
                break;
        }
    }
    void Poll() {
        FrameMode mode = steady;
        if (!frames.empty()) {
            mode = frames.front();
            frames.pop_front();
        }
        auto frame = MakeFrame(nextSeq);
        switch (mode) {
            case FrameMode::Good:
                Reply(frame);
                break;
            case FrameMode::Split:
                Reply(std::vector<std::uint8_t>(frame.begin(), frame.begin() + 19));
                Reply(std::vector<std::uint8_t>(frame.begin() + 19, frame.end()), 0.007);
                break;
            case FrameMode::Short37:
                frame.pop_back();
                Reply(frame);
                break;
            case FrameMode::Burst41:
                frame.insert(frame.end(), {0xE1, 0xE2, 0xE3});
                Reply(frame);
                break;
            case FrameMode::BadChecksum:
                frame.back() ^= 0xFF;
                Reply(frame);
                break;
            case FrameMode::Torn: {
                std::vector<std::uint8_t> head{0x11, 0x22, 0x33};
                head.insert(head.end(), frame.begin(), frame.end() - 3);
                Reply(head);
                Reply(std::vector<std::uint8_t>(frame.end() - 3, frame.end()),
                      0.0025 + 35 * 10.0 / deviceRate);
                break;
            }
            case FrameMode::Silent:
                break;
            case FrameMode::RepeatShort:
                frame = MakeFrame(static_cast<std::uint16_t>(nextSeq - 1));
                frame.pop_back();
                Reply(frame);
                break;
        }
        if (mode != FrameMode::Silent && mode != FrameMode::RepeatShort) {
            ++nextSeq;
        }
        ++polls;
        if (polls == vanishAfterPolls) {
            gone_ = true;
            open_ = false;
        }
        if (onPoll) {
            onPoll(polls);
        }
    }

    VirtualRuntime& rt_;
    LineSettings settings_;
    bool open_ = false;
    bool gone_ = false;
    double lastEvent_ = 0;
    std::deque<std::pair<double, std::uint8_t>> pending_;
};

// A link on COM1 with the fake device behind it.
struct FakeLink {
    TestClock rt;
    FakeDevice device{rt};
    StatusModel status;
    ComPortMap map;
    LinkContext ctx{device, rt, status, map};

    FakeLink() { ctx.ComPort = 1; }
    long Count(const std::string& event) const {
        return std::count(device.transcript.begin(), device.transcript.end(), event);
    }
};

}  // namespace quelm::test
