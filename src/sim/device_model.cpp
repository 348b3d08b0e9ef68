#include "sim/device_model.h"

#include <algorithm>
#include <string_view>

namespace quelm::sim {

namespace {

// Replies carry one leading byte before their text, as the unit's firmware sends them.
constexpr std::string_view kIdentity = "\rQuelm v1.4";
constexpr std::string_view kEnabled = "\rOK";
constexpr std::string_view kLightLit = "\r0";
constexpr std::string_view kLightDark = "\r1";

std::span<const std::uint8_t> Bytes(std::string_view text) {
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

bool IsLadderRate(int rate) {
    return std::find(kRateLadder.begin(), kRateLadder.end(), rate) != kRateLadder.end();
}

DeviceModel::DeviceModel(DeviceOptions options, std::unique_ptr<FrameSource> frames, double powerOn)
    : options_(std::move(options)),
      frames_(std::move(frames)),
      flashPass_(FlashPass(options_.codes)),
      powerOn_(powerOn),
      txFreeAt_(powerOn) {}

void DeviceModel::Receive(std::uint8_t byte, int lineRate, double now) {
    if (silent_ || dropAt_ || lineRate != rate_) {
        return;
    }
    switch (byte) {
        case 'a':
            rate_ = kRateLadder.front();
            break;
        case 'b':
            Send(Bytes(kIdentity), now);
            break;
        case 'c': {
            const auto step = std::find(kRateLadder.begin(), kRateLadder.end(), rate_);
            if (step != kRateLadder.end() && std::next(step) != kRateLadder.end() &&
                *std::next(step) <= options_.maxRate) {
                rate_ = *std::next(step);
            }
            break;
        }
        case 'e':
            Send(Bytes(kEnabled), now);
            break;
        case 'f':
            SendFrame(now);
            break;
        case 'h':
            Send(Bytes(LightLit(now) ? kLightLit : kLightDark), now);
            break;
        case 'i':
            selfTestStart_ = now;
            break;
        case 'j':
            selfTestStart_.reset();
            break;
        default:
            break;  // not a command of this unit
    }
}

void DeviceModel::SendFrame(double now) {
    ++framesSent_;
    Frame frame = frames_->FrameAt(now - powerOn_);
    const Faults& f = options_.faults;
    if (Every(f.badChecksumEvery)) {
        frame[kFrameBytes - 1] = static_cast<std::uint8_t>(frame[kFrameBytes - 1] + 1);
    }
    if (Every(f.shortEvery)) {
        Send(std::span(frame).first(kFrameBytes - 1), now);
    } else if (Every(f.burstEvery)) {
        std::array<std::uint8_t, kFrameBytes + 1> burst{};
        std::copy(frame.begin(), frame.end(), burst.begin());
        burst.back() = frame.back();  // the checksum sent twice
        Send(burst, now, true);
    } else {
        Send(frame, now);
    }
    if (f.silentAfter && framesSent_ >= *f.silentAfter) {
        silent_ = true;
    }
    if (f.dropAfter && framesSent_ >= *f.dropAfter) {
        dropAt_ = txFreeAt_;
    }
}

void DeviceModel::Send(std::span<const std::uint8_t> bytes, double now, bool burst) {
    const double perByte = ByteSeconds(rate_);
    // The reply starts once the command byte has fully arrived and the line is free.
    const double start = std::max(now + perByte + options_.answerDelay, txFreeAt_);
    const double end = start + perByte * static_cast<double>(bytes.size());
    double n = 0;
    for (std::uint8_t b : bytes) {
        n += 1;
        pending_.push_back({burst ? end : start + n * perByte, b, rate_});
    }
    txFreeAt_ = end;
}

std::vector<std::uint8_t> DeviceModel::TakeDue(double now, int lineRate) {
    std::vector<std::uint8_t> out;
    while (!pending_.empty() && pending_.front().at <= now) {
        const PendingByte p = pending_.front();
        pending_.pop_front();
        if (lineRate == p.sentRate) {
            out.push_back(p.value);
            continue;
        }
        if (lineRate <= 0) {
            continue;  // the line is hung up: nothing is received
        }
        // A receiver faster than the sender sees each slow byte as several framing errors;
        // a slower one merges several fast bytes into one.
        junkCredit_ += std::clamp(static_cast<double>(lineRate) / p.sentRate, 0.1, 2.0);
        while (junkCredit_ >= 1.0) {
            out.push_back(Junk());
            junkCredit_ -= 1.0;
        }
    }
    return out;
}

std::optional<double> DeviceModel::NextDue() const {
    if (pending_.empty()) {
        return std::nullopt;
    }
    return pending_.front().at;
}

bool DeviceModel::LightLit(double now) const {
    return selfTestStart_ && LightLitAt(flashPass_, now - *selfTestStart_);
}

bool DeviceModel::LineDropped(double now) const {
    return dropAt_ && now >= *dropAt_ && pending_.empty();
}

std::uint8_t DeviceModel::Junk() {
    // Garbled bytes keep their top bit set, so they never read as the replies' text.
    junkSeed_ = junkSeed_ * 1103515245u + 12345u;
    return static_cast<std::uint8_t>(0x80u | ((junkSeed_ >> 16) & 0x7Fu));
}

}  // namespace quelm::sim
