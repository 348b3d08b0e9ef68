// The quelm-sim command line.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "sim/device_model.h"
#include "sim/scenario.h"

namespace quelm::sim {

struct SimCommand {
    DeviceOptions device;
    Scenario scenario = Scenario::Idle;
    std::string replay;  // a ".qm1" log to play instead of a scenario
    // Not in the usage text, for tests and benchmarks: a file that receives every frame sent,
    // one of every byte heard with its rate, one of how long each frame waited for the next poll.
    std::string sentFrames;
    std::string heard;
    std::string frameWaits;
    bool help = false;
    bool version = false;
};

// The parsed command, or the message for a command line that is wrong.
std::variant<SimCommand, std::string> ParseSimCommand(const std::vector<std::string>& args);

std::string SimUsage();

int SimMain(int argc, char** argv);

}  // namespace quelm::sim
