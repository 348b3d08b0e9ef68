#include "link/connect_device.h"

#include <array>
#include <string_view>

#include "common/status_texts.h"

namespace quelm {

namespace {

constexpr double kCommandWait = 0.5;

// One step of the device's rate ladder and the line text the program sets for its upper rate.
struct LadderStep {
    double lower;
    const char* lowerText;
    const char* upperText;
    const char* upperSettings;
};
constexpr std::array<LadderStep, 4> kLadder{{
    {9600, "9600", "19200", "19200,n,8,1"},
    {19200, "19200", "38400", "38400,n,8,1"},
    {38400, "38400", "57600", "57600,n,8,1"},
    {57600, "57600", "115200", "115200,n,8,1"},
}};

// The rates ResetDevice sends "a" at after the first, and the indicator shown after each reopen
// (flashing yellow and grey while the device is being reset).
struct ResetStep {
    const char* settings;
    ComStat indicator;
};
constexpr std::array<ResetStep, 5> kResetSteps{{
    {"19200,N,8,1", ComStat::Yellow},
    {"38400,N,8,1", ComStat::Grey},
    {"57600,N,8,1", ComStat::Yellow},
    {"115200,N,8,1", ComStat::Grey},
    {"9600,n,8,1", ComStat::Yellow},
}};

void Send(LinkContext& ctx, char command) {
    ctx.port.WriteByte(static_cast<std::uint8_t>(command));
    LinkWait(ctx, kCommandWait);
}

void Reopen(LinkContext& ctx, std::string_view settings) {
    ctx.port.Close();
    ctx.port.SetSettings(settings);
    ctx.port.Open();
}

}  // namespace

void ReadReply(LinkContext& ctx) {
    ctx.port.ReadAll(ctx.ReplyBuffer);
}

bool ReplyContains(std::string_view reply, std::string_view text) {
    return reply.size() >= 2 && reply.substr(1).find(text) != std::string_view::npos;
}

bool ReplyContains(const LinkContext& ctx, std::string_view text) {
    return ReplyContains(std::string_view(reinterpret_cast<const char*>(ctx.ReplyBuffer.data()),
                                          ctx.ReplyBuffer.size()),
                         text);
}

void ResetDevice(LinkContext& ctx) {
    if (ctx.port.IsOpen()) {
        ctx.port.Close();
    }
    ctx.port.Open();
    for (const auto& step : kResetSteps) {
        Send(ctx, 'a');
        Reopen(ctx, step.settings);
        ctx.status.SetIndicator(step.indicator);
        ctx.rt.Yield();
    }
    ReadReply(ctx);
    ctx.rt.Yield();
}

bool IdentifyDevice(LinkContext& ctx) {
    Send(ctx, 'b');
    ReadReply(ctx);
    if (!ReplyContains(ctx, "Quelm")) {
        return false;
    }
    Send(ctx, 'e');
    ReadReply(ctx);
    return ReplyContains(ctx, "OK");
}

std::string FindMaxRate(LinkContext& ctx) {
    std::string result = "9600";
    ctx.BaudRate = ctx.MaxBaudRate;
    for (const auto& step : kLadder) {
        if (!(RateValue(ctx.BaudRate) > step.lower)) {
            break;
        }
        Send(ctx, 'c');
        Reopen(ctx, step.upperSettings);
        if (!IdentifyDevice(ctx)) {
            return step.lowerText;
        }
        result = step.upperText;
    }
    ctx.port.Close();
    return result;
}

void ShiftUpToRate(LinkContext& ctx) {
    Reopen(ctx, "9600,n,8,1");
    for (const auto& step : kLadder) {
        if (!(RateValue(ctx.BaudRate) > step.lower)) {
            break;
        }
        Send(ctx, 'c');
        Reopen(ctx, step.upperSettings);
    }
}

ConnectOutcome ConnectDevice(LinkContext& ctx) {
    try {
        ctx.status.SetPanel(1, status_text::kInitializing);
        if (ctx.port.IsOpen()) {
            ctx.port.Close();
        }
        ctx.rt.Yield();
        const auto device = ctx.portMap.DevicePath(ctx.ComPort);
        if (device.empty()) {
            throw SerialPortError(SerialPortErrorKind::NotFound,
                                  "COM" + std::to_string(ctx.ComPort) + " is not a serial port");
        }
        ctx.port.SetDevice(device);
        ctx.port.SetSettings("115200,N,8,1");
        ctx.status.SetPanel(2, status_text::kResetting);
        ctx.status.SetIndicator(ComStat::Grey);
        ctx.rt.Yield();

        ResetDevice(ctx);
        ctx.status.SetPanel(2, status_text::kConnecting);
        ctx.rt.Yield();
        ctx.BaudRate = FindMaxRate(ctx);

        ctx.status.SetIndicator(ComStat::Grey);
        ResetDevice(ctx);
        Reopen(ctx, ctx.BaudRate + ",n,8,1");
        ctx.status.SetIndicator(ComStat::Yellow);
        ctx.rt.Yield();
        ctx.status.SetPanel(2, status_text::kConnected);
        ShiftUpToRate(ctx);
        ctx.rt.Yield();

        if (IdentifyDevice(ctx)) {
            ctx.status.SetPanel(2, std::string(status_text::kReadyAt) + ctx.BaudRate);
            ctx.status.SetIndicator(ComStat::Green);
            return ConnectOutcome::Ready;
        }
        ctx.status.SetPanel(2, status_text::kComRetry);
        ctx.status.SetIndicator(ComStat::Red);
        return ConnectOutcome::Retry;
    } catch (const SerialPortError& e) {
        ctx.port.Close();
        throw PortFailure(e.what(), e.kind());
    } catch (const LinkAborted&) {
        return ConnectOutcome::Aborted;
    }
}

}  // namespace quelm
