// The once-a-second statistics tick: frames per second from the poll count, frame loss, and the
// texts of the statistics window and of status panel 3.
#pragma once

#include <string>

#include "common/records.h"

namespace quelm {

struct StatisticsTexts {
    std::string panel3;  // frames per second in print form and " FPS": " 23 FPS"
    std::string tfc;     // TotalFrames
    std::string fps;     // FramesPerSecond
    std::string cke;     // ChecksumErrors
    std::string toe;     // TimeoutErrors
    std::string flp;     // whole percentage of frame loss
};

// FramesPerSecond = frameCounter; FrameLoss = (timeouts + checksum errors) / TotalFrames unless
// TotalFrames is 0 (then it keeps its last value); frameCounter back to 0. Returns the texts to
// show (the labels are refreshed whether or not the window is on screen).
StatisticsTexts StatisticsTick(LinkStats& stats, double& frameCounter);

// Clears all five statistics; the poll count runs on.
void ResetStatistics(LinkStats& stats);

}  // namespace quelm
