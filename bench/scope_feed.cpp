// Cost of feeding ten visible four-pen scope windows, and a soak that pushes an hour of frames
// through them to show that memory stays flat.
//
//   bench_scope_feed [benchmark options]      per-frame feed cost and per-window replot cost
//   bench_scope_feed --soak [data seconds]    300 frames/s of data for an hour (default) as
//                                             fast as possible; resident memory after 10
//                                             minutes' worth and at the end
#include <benchmark/benchmark.h>
#include <qcustomplot.h>

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "common/records.h"
#include "files/settings_file.h"
#include "resident_memory.h"
#include "tools/gui/scope_table.h"
#include "tools/gui/super_scope.h"
#include "widgets/strip_chart.h"

namespace {

using quelm::EngData;
using quelm::ScopeTable;
using quelm::SettingsFile;

constexpr double kFrameRate = 300.0;
constexpr int kWindows = 10;

// Ten visible windows with four different channels on each.
struct TenScopes {
    QTemporaryDir dir;
    SettingsFile settings{dir.filePath("Quelm.ini").toStdString()};
    ScopeTable scopes{settings, nullptr};

    TenScopes() {
        const char* channels[] = {"RPM", "LOAD", "MPH", "MPG", "HEGOL", "TPS", "ADVANCE", "MAF"};
        for (int i = 0; i < kWindows; ++i) {
            quelm::SuperScope* window = scopes.OpenNextScope();
            window->resize(640, 380);
            for (int n = 1; n <= 4; ++n) {
                window->selector(n)->setCurrentText(channels[(i + n) % 8]);
            }
        }
        scopes.ResetScopes();
        QApplication::processEvents();
    }
    ~TenScopes() {
        for (int slot = 1; slot <= kWindows; ++slot) {
            scopes.Existing(slot)->hide();
        }
    }
};

EngData FrameAt(long frame) {
    const double t = static_cast<double>(frame) / kFrameRate;
    EngData e{};
    e.RPM = static_cast<float>(2500 + 1500 * std::sin(t * 0.7));
    e.LOAD = static_cast<float>(0.5 + 0.3 * std::sin(t * 1.3));
    e.MPH = static_cast<float>(60 + 20 * std::sin(t * 0.05));
    e.MPG = static_cast<float>(22 + 6 * std::sin(t * 0.2));
    e.HEGOL = static_cast<float>(0.45 + 0.4 * std::sin(t * 6.0));
    e.TPS = static_cast<float>(1.5 + std::sin(t * 0.9));
    e.ADVANCE = static_cast<float>(20 + 10 * std::sin(t * 0.7));
    e.MAF = static_cast<float>(2 + std::sin(t * 0.7));
    return e;
}

// The feed alone, as the receive loop pays for it between two polls; replots are left to the
// event loop and measured below.
void BM_UpdateScopesTenWindows(benchmark::State& state) {
    TenScopes ten;
    long frame = 0;
    for (auto _ : state) {
        ten.scopes.UpdateScopes(FrameAt(frame), static_cast<double>(frame) / kFrameRate, true);
        ++frame;
        if (frame % 3000 == 0) {
            state.PauseTiming();
            QApplication::processEvents();
            state.ResumeTiming();
        }
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_UpdateScopesTenWindows);

// One replot of one window holding its full history with 15 s on show.
void BM_ReplotOneWindow(benchmark::State& state) {
    TenScopes ten;
    const long frames =
        state.range(0) *
        static_cast<long>(kFrameRate * ten.scopes.Existing(1)->chart()->HistorySpan());
    for (long frame = 0; frame < frames; ++frame) {
        ten.scopes.Existing(1)->UpdateScope(FrameAt(frame),
                                            static_cast<double>(frame) / kFrameRate);
    }
    QCustomPlot* plot = ten.scopes.Existing(1)->chart()->plot();
    for (auto _ : state) {
        plot->replot(QCustomPlot::rpImmediateRefresh);
    }
}
// Argument: a full history (1) or an empty chart (0), the cost of the frame alone.
BENCHMARK(BM_ReplotOneWindow)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

int Soak(double dataSeconds) {
    TenScopes ten;
    const long total = static_cast<long>(dataSeconds * kFrameRate);
    const long tenMinutes = static_cast<long>(600 * kFrameRate);
    long rssAtTenMinutes = -1;
    const long rssStart = ResidentKiB();
    QElapsedTimer clock;
    clock.start();
    for (long frame = 0; frame < total; ++frame) {
        ten.scopes.UpdateScopes(FrameAt(frame), static_cast<double>(frame) / kFrameRate, true);
        // Yield as often as the receive loop would, so the charts replot at their own pace.
        if (frame % 5 == 0) {
            QApplication::processEvents();
        }
        if ((frame + 1) % tenMinutes == 0) {
            const long rss = ResidentKiB();
            if (rssAtTenMinutes < 0) {
                rssAtTenMinutes = rss;
            }
            std::printf("%6.0f s of data  VmRSS %ld KiB  (%.1f s wall)\n",
                        static_cast<double>(frame + 1) / kFrameRate, rss,
                        static_cast<double>(clock.elapsed()) / 1000.0);
            std::fflush(stdout);
        }
    }
    QApplication::processEvents();
    const long rssEnd = ResidentKiB();
    long replots = 0;
    for (int slot = 1; slot <= kWindows; ++slot) {
        replots += ten.scopes.Existing(slot)->chart()->ReplotCount();
    }
    std::printf("frames fed      %ld (%.0f s of data at %.0f frames/s, %d windows x 4 pens)\n",
                total, dataSeconds, kFrameRate, kWindows);
    std::printf("wall time       %.1f s, %ld replots\n",
                static_cast<double>(clock.elapsed()) / 1000.0, replots);
    std::printf("VmRSS start     %ld KiB\n", rssStart);
    std::printf("VmRSS 10 min    %ld KiB\n", rssAtTenMinutes);
    std::printf("VmRSS end       %ld KiB\n", rssEnd);
    if (rssAtTenMinutes > 0) {
        std::printf("growth after 10 min: %.2f MB\n",
                    static_cast<double>(rssEnd - rssAtTenMinutes) / 1024.0);
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc >= 2 && std::strcmp(argv[1], "--soak") == 0) {
        return Soak(argc >= 3 ? std::atof(argv[2]) : 3600.0);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
