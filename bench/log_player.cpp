// Log playback through the core loop: unpaced throughput over a 1,000,000-record log with the
// per-record work of the dashboard path (decode, convert, gauge values, four scope channels),
// and the lateness of Real-Time pacing against the record stamps.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "common/live_config.h"
#include "common/runtime.h"
#include "decode/calibration_tables.h"
#include "decode/convert_frame.h"
#include "decode/dashboard_update.h"
#include "decode/frame_decoder.h"
#include "files/log_format.h"
#include "files/log_player.h"
#include "scratch_folder.h"

namespace {

using namespace quelm;

std::filesystem::path WriteLog(const std::filesystem::path& dir, const char* name,
                               std::uint64_t records, double secondsPerRecord) {
    const auto path = dir / name;
    std::ofstream out(path, std::ios::binary);
    std::uint32_t seed = 12345;
    for (std::uint64_t n = 0; n < records; ++n) {
        seed = seed * 1664525u + 1013904223u;
        FrameBuffer b{};
        for (std::size_t at = 0; at < 37; ++at) {
            b[at] = static_cast<std::uint8_t>((seed >> (at % 24)) + at * 13 + n);
        }
        SealFrame(b);
        const auto stamp = EncodeTimeStamp(static_cast<double>(n) * secondsPerRecord);
        std::copy(stamp->begin(), stamp->end(), b.begin() + kTimeStampOffset);
        const LogRecord r = MakeLogRecord(b);
        out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
    }
    return path;
}

struct Fixture {
    ScratchFolder scratch;
    const std::filesystem::path& dir = scratch.dir;
    std::filesystem::path big;
    Fixture() { big = WriteLog(dir, "big.qm1", 1'000'000, 0.0037); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

// What the main window does with a played record, minus the painting (which is coalesced to
// the screen's refresh rate and never waited for).
struct DisplayPath {
    CalibrationTables tables = BuiltInTables();
    LiveConfig config;
    RawData raw;
    ConvertState state;
    double sink = 0;

    void Show(const FrameBuffer& frame, double t) {
        DecodeFrame(frame, raw);
        ConvertFrame(raw, config, tables, state);
        const GaugeValues g = UpdateDashboard(state.eng, config);
        benchmark::DoNotOptimize(g);
        // Four scopes of four channels.
        for (int k = 0; k < 4; ++k) {
            sink += state.eng.RPM + state.eng.MAF + state.eng.TPS + state.eng.LOAD + t;
        }
    }
};

PlaybackHooks Hooks(DisplayPath& display, std::uint64_t& slider,
                    const std::function<void(double)>& onShow = {}) {
    PlaybackHooks h;
    h.opened = [](std::uint64_t, const SliderRange&) {};
    h.showPosition = [&slider](std::uint64_t n) { slider = n; };
    h.position = [&slider] { return slider; };
    h.showTime = [](double) {};
    h.showFrame = [&display, onShow](const FrameBuffer& f, double t) {
        if (onShow) {
            onShow(t);
        }
        display.Show(f, t);
    };
    h.speed = [] { return 0.0; };
    return h;
}

void BM_UnpacedPlayback1M(benchmark::State& state) {
    Fixture& f = Shared();
    SystemRuntime rt;
    for (auto _ : state) {
        DisplayPath display;
        std::uint64_t slider = 0;
        LogPlayer player(rt);
        const PlaybackResult r = player.PlayLog(f.big, Hooks(display, slider));
        if (r.shown != 1'000'000) {
            state.SkipWithError("not every record was shown");
            return;
        }
        benchmark::DoNotOptimize(display.sink);
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 1'000'000);
}
BENCHMARK(BM_UnpacedPlayback1M)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// 2000 records stamped 10 ms apart: 20 s of Real-Time playback. Lateness = the clock when the
// record reaches the display minus (Play + its stamp).
void BM_RealTimeLateness(benchmark::State& state) {
    Fixture& f = Shared();
    const auto log = WriteLog(f.dir, "paced.qm1", 2000, 0.01);
    SystemRuntime rt;
    std::vector<double> late;
    for (auto _ : state) {
        DisplayPath display;
        std::uint64_t slider = 0;
        LogPlayer player(rt);
        late.clear();
        PlaybackHooks h = Hooks(display, slider, [&](double t) {
            late.push_back(rt.Now() - player.Pace().DueTime(t));
        });
        h.speed = [] { return 1.0; };
        player.PlayLog(log, h);
    }
    std::sort(late.begin(), late.end());
    const auto at = [&](double q) {
        return late[static_cast<std::size_t>(q * static_cast<double>(late.size() - 1))];
    };
    // Shown before its stamp: must stay 0.
    state.counters["early"] = static_cast<double>(
        std::count_if(late.begin(), late.end(), [](double d) { return d < 0; }));
    state.counters["median_ms"] = at(0.5) * 1e3;
    state.counters["p99_ms"] = at(0.99) * 1e3;
    state.counters["max_ms"] = late.back() * 1e3;
}
BENCHMARK(BM_RealTimeLateness)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
