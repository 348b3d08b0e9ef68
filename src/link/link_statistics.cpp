#include "link/link_statistics.h"

#include <cmath>

#include "common/number_text.h"

namespace quelm {

StatisticsTexts StatisticsTick(LinkStats& stats, double& frameCounter) {
    stats.FramesPerSecond = frameCounter;
    if (stats.TotalFrames != 0) {
        stats.FrameLoss = (stats.TimeoutErrors + stats.ChecksumErrors) / stats.TotalFrames;
    }
    StatisticsTexts texts;
    texts.panel3 = PrintNumber(stats.FramesPerSecond) + " FPS";
    texts.fps = PlainNumber(stats.FramesPerSecond);
    // The small allowance keeps 29 losses in 100 frames at 29 % although 0.29 * 100 falls just
    // below 29 in binary.
    texts.flp = PlainNumber(std::floor(stats.FrameLoss * 100 + 1e-9));
    texts.toe = PlainNumber(stats.TimeoutErrors);
    texts.cke = PlainNumber(stats.ChecksumErrors);
    texts.tfc = PlainNumber(stats.TotalFrames);
    frameCounter = 0;
    return texts;
}

void ResetStatistics(LinkStats& stats) {
    stats = LinkStats{};
}

}  // namespace quelm
