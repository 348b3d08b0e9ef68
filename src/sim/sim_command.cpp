#include "sim/sim_command.h"

#include <time.h>

#include <charconv>
#include <cstdio>
#include <ctime>
#include <exception>
#include <iostream>

#include "common/option_cursor.h"
#include "common/product_info.h"
#include "common/stop_signals.h"
#include "sim/frame_tap.h"
#include "sim/simulator_thread.h"

namespace quelm::sim {

namespace {

std::optional<long> ParseCount(const std::string& text, long least) {
    long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc{} || end != text.data() + text.size() || value < least) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string SimUsage() {
    return R"(Usage: quelm-sim [options]
Simulates the Quelm interface device on a new pseudo-terminal. The terminal's path is the first
line on standard output; open it as the serial port. Runs until interrupted (SIGINT, SIGTERM).
An option's value follows it or an equals sign: --codes 11,23 or --codes=11,23.

  --max-rate RATE          highest line rate the device manages: 9600, 19200, 38400, 57600 or
                           115200 (default 115200)
  --scenario NAME          engine to simulate: idle (warming up near 750 rpm), cruise (about
                           2000 rpm and 60 mph) or wot (repeated full-throttle pulls from 2500
                           to 6000 rpm); default idle
  --replay LOG.qm1         send the frames of a recorded log instead, in their recorded time,
                           starting over after the last record
  --codes LIST             trouble codes flashed in the key-on self test, e.g. 11,23
                           (default 11)
Faults:
  --bad-checksum-every N   every Nth frame carries a wrong checksum
  --short-every N          every Nth frame stops after 37 bytes
  --burst-every N          every Nth frame comes as one burst of 39 bytes
  --silent-after N         after N frames the device answers nothing at all
  --drop-after N           after N frames the line goes away (the terminal is closed) and
                           quelm-sim ends
  --help                   show this text
  --version                show the version
)";
}

std::variant<SimCommand, std::string> ParseSimCommand(const std::vector<std::string>& args) {
    SimCommand cmd;
    OptionCursor cursor(args);
    while (cursor.Next()) {
        const std::string& opt = cursor.Name();
        if (opt == "--help" || opt == "-h" || opt == "--version") {
            if (cursor.HasAttachedValue()) {
                return opt + " takes no value";
            }
            (opt == "--version" ? cmd.version : cmd.help) = true;
            continue;
        }
        const auto given = cursor.Value();
        if (!given) {
            return "unknown option or missing value: " + opt;
        }
        const std::string& value = *given;
        if (opt == "--max-rate") {
            const auto rate = ParseCount(value, 1);
            if (!rate || !IsLadderRate(static_cast<int>(*rate))) {
                return "--max-rate must be 9600, 19200, 38400, 57600 or 115200, not " + value;
            }
            cmd.device.maxRate = static_cast<int>(*rate);
        } else if (opt == "--scenario") {
            const auto s = ParseScenario(value);
            if (!s) {
                return "--scenario must be idle, cruise or wot, not " + value;
            }
            cmd.scenario = *s;
        } else if (opt == "--replay") {
            cmd.replay = value;
        } else if (opt == "--sent-frames") {
            cmd.sentFrames = value;
        } else if (opt == "--heard") {
            cmd.heard = value;
        } else if (opt == "--frame-waits") {
            cmd.frameWaits = value;
        } else if (opt == "--codes") {
            const auto codes = ParseCodes(value);
            if (!codes) {
                return "--codes needs two- or three-digit codes separated by commas, not " + value;
            }
            cmd.device.codes = *codes;
        } else {
            const auto n = ParseCount(value, 1);
            Faults& f = cmd.device.faults;
            long* every = opt == "--bad-checksum-every" ? &f.badChecksumEvery
                          : opt == "--short-every"      ? &f.shortEvery
                          : opt == "--burst-every"      ? &f.burstEvery
                                                        : nullptr;
            const bool after = opt == "--silent-after" || opt == "--drop-after";
            if (every == nullptr && !after) {
                return "unknown option: " + opt;
            }
            if (!n) {
                return opt + " needs a whole number of at least 1, not " + value;
            }
            if (every != nullptr) {
                *every = *n;
            } else if (opt == "--silent-after") {
                f.silentAfter = *n;
            } else {
                f.dropAfter = *n;
            }
        }
    }
    return cmd;
}

int SimMain(int argc, char** argv) {
    const auto parsed = ParseSimCommand(std::vector<std::string>(argv + 1, argv + argc));
    if (const auto* message = std::get_if<std::string>(&parsed)) {
        std::cerr << "quelm-sim: " << *message << "\n" << SimUsage();
        return 2;
    }
    const SimCommand& cmd = std::get<SimCommand>(parsed);
    if (cmd.help) {
        std::cout << SimUsage();
        return 0;
    }
    if (cmd.version) {
        std::cout << VersionLine("quelm-sim") << "\n";
        return 0;
    }

    std::unique_ptr<FrameSource> frames;
    if (!cmd.replay.empty()) {
        auto records = ReadLogFrames(cmd.replay);
        if (const auto* message = std::get_if<std::string>(&records)) {
            std::cerr << "quelm-sim: " << *message << "\n";
            return 1;
        }
        frames =
            std::make_unique<ReplaySource>(std::get<std::vector<LogFrame>>(std::move(records)));
    } else {
        frames = std::make_unique<ScenarioSource>(cmd.scenario);
    }

    std::unique_ptr<LineJournal> journal;
    try {
        if (!cmd.sentFrames.empty()) {
            frames = std::make_unique<FrameTap>(std::move(frames), cmd.sentFrames);
        }
        if (!cmd.heard.empty() || !cmd.frameWaits.empty()) {
            journal = std::make_unique<LineJournal>(cmd.heard, cmd.frameWaits);
        }
    } catch (const std::exception& e) {
        std::cerr << "quelm-sim: " << e.what() << "\n";
        return 1;
    }

    const StopSignals stopSignals;
    try {
        SimulatorThread sim(cmd.device, std::move(frames), std::move(journal));
        std::cout << sim.path() << std::endl;
        std::cerr << "quelm-sim: device on " << sim.path() << ", highest rate "
                  << cmd.device.maxRate << "\n";
        const timespec tick{0, 100'000'000};
        while (!sim.finished() && !stopSignals.Requested()) {
            // A stop signal cuts the wait short.
            ::nanosleep(&tick, nullptr);
        }
        sim.Stop();
        if (sim.lineDropped()) {
            std::cerr << "quelm-sim: line dropped after " << sim.framesSent() << " frames\n";
            return 0;
        }
        if (!sim.error().empty()) {
            std::cerr << "quelm-sim: " << sim.error() << "\n";
            return 1;
        }
        std::cerr << "quelm-sim: stopped after " << sim.framesSent() << " frames\n";
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "quelm-sim: " << e.what() << "\n";
        return 1;
    }
}

}  // namespace quelm::sim
