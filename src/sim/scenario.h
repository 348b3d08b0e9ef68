// Engine scenarios: physically consistent engine values as a function of time.
#pragma once

#include <optional>
#include <string_view>

#include "sim/engine_state.h"

namespace quelm::sim {

enum class Scenario { Idle, Cruise, Wot };

std::optional<Scenario> ParseScenario(std::string_view name);

// The engine `seconds` after the scenario started. The wide-open-throttle pull repeats.
EngineState ScenarioState(Scenario s, double seconds);

// Length of one wide-open-throttle cycle: the pull, then the lift back to its start speed.
inline constexpr double kWotPullSeconds = 8.0;
inline constexpr double kWotCycleSeconds = 12.0;

}  // namespace quelm::sim
