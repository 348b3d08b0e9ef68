#include "link/link_statistics.h"

#include <cmath>

namespace quelm {

namespace {

// Every value shown here is a whole number: the shortest text, no leading blank.
std::string WholeText(double value) {
    return std::to_string(static_cast<long long>(std::floor(value)));
}

}  // namespace

StatisticsTexts StatisticsTick(LinkStats& stats, double& frameCounter) {
    stats.FramesPerSecond = frameCounter;
    if (stats.TotalFrames != 0) {
        stats.FrameLoss = (stats.TimeoutErrors + stats.ChecksumErrors) / stats.TotalFrames;
    }
    StatisticsTexts texts;
    const auto fps = WholeText(stats.FramesPerSecond);
    texts.panel3 = (stats.FramesPerSecond < 0 ? "" : " ") + fps + " FPS";
    texts.fps = fps;
    // The small allowance keeps 29 losses in 100 frames at 29 % although 0.29 * 100 falls just
    // below 29 in binary.
    texts.flp = WholeText(std::floor(stats.FrameLoss * 100 + 1e-9));
    texts.toe = WholeText(stats.TimeoutErrors);
    texts.cke = WholeText(stats.ChecksumErrors);
    texts.tfc = WholeText(stats.TotalFrames);
    frameCounter = 0;
    return texts;
}

void ResetStatistics(LinkStats& stats) {
    stats = LinkStats{};
}

}  // namespace quelm
