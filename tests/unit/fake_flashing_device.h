// A device whose engine computer flashes trouble codes on a virtual clock, for the self-test
// tests.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/runtime.h"
#include "tools/self_test_device.h"

namespace quelm {

// An engine computer behind the device: after "i" it stays dark for a while, then flashes
// its codes; lit answers ">0", dark ">1". Lit intervals are relative to the "i".
class FlashingDevice : public SelfTestDevice {
  public:
    explicit FlashingDevice(Runtime& rt) : rt_(rt) {}

    // Half-second flashes and gaps, 2 s between digits, 4 s after each code. A code is only
    // closed by the flash that ends its gap, so a last half-second flash follows, then more
    // than 6 s dark, then the light stays on.
    void FlashCodes(std::vector<std::vector<int>> codes, double firstFlashAt = 8.0) {
        lit_.clear();
        double t = firstFlashAt;
        for (const auto& code : codes) {
            for (std::size_t d = 0; d < code.size(); ++d) {
                for (int f = 0; f < code[d]; ++f) {
                    lit_.emplace_back(t, t + 0.5);
                    t += 1.0;
                }
                t += d + 1 < code.size() ? 1.5 : 3.5;
            }
        }
        lit_.emplace_back(t, t + 0.5);
        lit_.emplace_back(t + 7.5, 1e9);
    }

    void SetLit(std::vector<std::pair<double, double>> lit) { lit_ = std::move(lit); }

    void Connect() override {
        ++connects;
        if (onConnect) {
            onConnect();
        }
    }
    void Send(char command) override {
        sent += command;
        if (command == 'i') {
            begunAt_ = rt_.Now();
        }
        if (command == 'h') {
            pending_ = LitNow() ? ">0" : ">1";
        }
    }
    std::string ReadReply() override { return std::exchange(pending_, {}); }

    int connects = 0;
    std::string sent;
    std::function<void()> onConnect;

  private:
    bool LitNow() const {
        const double t = rt_.Now() - begunAt_;
        for (auto [from, to] : lit_) {
            if (t >= from && t < to) {
                return true;
            }
        }
        return false;
    }
    Runtime& rt_;
    double begunAt_ = 1e18;
    std::vector<std::pair<double, double>> lit_;
    std::string pending_;
};

}  // namespace quelm
