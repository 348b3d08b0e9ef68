// Playback of a log without a window: records read one at a time as the player steps through
// them, decoded, converted and turned into gauge and scope values. Unpaced it runs as fast as
// it can; paced it waits for each record's due time at each speed of the logging window, with
// the player's own wait on the real clock, and measures how late each record is shown.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "common/runtime.h"
#include "decode/convert_frame.h"
#include "decode/dashboard_update.h"
#include "decode/frame_decoder.h"
#include "decode/scope_channels.h"
#include "files/log_format.h"
#include "files/log_player.h"
#include "files/log_reader.h"
#include "files/playback.h"
#include "scratch_folder.h"

namespace quelm {
namespace {

constexpr double kRecordSeconds = 39 * 10.0 / 115200;  // one record per poll at the top rate

// A recorded drive, removed at exit.
struct LogFixture {
    ScratchFolder scratch;
    const std::filesystem::path& dir = scratch.dir;
    std::filesystem::path log;
    CalibrationTables tables = BuiltInTables();

    explicit LogFixture(std::size_t records) {
        log = dir / "run.qm1";
        for (std::size_t i = 0; i < kMafPoints; ++i) {
            tables.maf[i] = {static_cast<double>(i) / 6.0, 40.0 * static_cast<double>(i)};
        }
        std::ofstream out(log, std::ios::binary);
        for (std::size_t n = 0; n < records; ++n) {
            FrameBuffer b{};
            const double load = 0.5 - 0.5 * std::cos(static_cast<double>(n) / 500.0);
            for (std::size_t at = 0; at < 20; at += 2) {
                const auto v = static_cast<unsigned>(150 + 700 * load + static_cast<double>(at));
                b[at] = static_cast<std::uint8_t>(v >> 8);
                b[at + 1] = static_cast<std::uint8_t>(v);
            }
            const auto fire = static_cast<unsigned>(120 / ((800 + 5200 * load) * 1.0855e-6 * 8));
            b[20] = static_cast<std::uint8_t>(fire);
            b[21] = static_cast<std::uint8_t>(fire >> 8);
            b[24] = 0x10;
            b[25] = 0x20;
            SealFrame(b);
            const auto stamp = EncodeTimeStamp(static_cast<double>(n) * kRecordSeconds);
            std::copy(stamp->begin(), stamp->end(), b.begin() + kTimeStampOffset);
            const LogRecord r = MakeLogRecord(b);
            out.write(reinterpret_cast<const char*>(r.data()),
                      static_cast<std::streamsize>(r.size()));
        }
    }
};

// What the player does with one record once it is due.
struct Display {
    RawData raw;
    ConvertState state;
    LiveConfig config;
    GaugeValues gauges;
    double scope = 0;

    void Show(const FrameBuffer& b, const CalibrationTables& tables) {
        DecodeFrame(b, raw);
        ConvertFrame(raw, config, tables, state);
        gauges = UpdateDashboard(state.eng, config);
        for (std::size_t c = 1; c <= 10; ++c) {
            scope += ScopeScaled(kScopeChannels[c], state.eng);
        }
    }
};

void BM_PlaybackUnpaced(benchmark::State& st) {
    static LogFixture fixture(100'000);
    LogReader reader(fixture.log);
    const std::uint64_t count = reader.RecordCount();
    Display display;
    FrameBuffer b{};
    std::uint64_t n = 1;
    for (auto _ : st) {
        if (!reader.ReadRecord(n, b)) {
            st.SkipWithError(reader.Error().c_str());
            return;
        }
        display.Show(b, fixture.tables);
        benchmark::DoNotOptimize(display.gauges);
        n = n % count + 1;
    }
    st.SetItemsProcessed(st.iterations());
}
BENCHMARK(BM_PlaybackUnpaced);

// Four seconds of clock at each paced speed (the argument indexes kPlaybackSpeeds), records
// as the top line rate writes them: several share each hundredth.
void BM_PlaybackRealTimeLateness(benchmark::State& st) {
    const PlaybackSpeed speed = kPlaybackSpeeds[static_cast<std::size_t>(st.range(0))];
    const double factor = SpeedFactor(speed);
    LogFixture fixture(static_cast<std::size_t>(4 * factor / kRecordSeconds));
    SystemRuntime rt;
    const bool halt = false;
    std::vector<double> lateMs;
    for (auto _ : st) {
        LogReader reader(fixture.log);
        Display display;
        FrameBuffer b{};
        lateMs.clear();
        lateMs.reserve(reader.RecordCount());
        const PlaybackPace pace{.wallAnchor = rt.Now(), .stampAnchor = 0, .speed = factor};
        for (std::uint64_t n = 1; n <= reader.RecordCount(); ++n) {
            reader.ReadRecord(n, b);
            const double stamp = DecodeTimeStamp(b);
            WaitForStamp(rt, pace, stamp, halt);
            lateMs.push_back((rt.Now() - pace.DueTime(stamp)) * 1000);
            display.Show(b, fixture.tables);
        }
    }
    std::sort(lateMs.begin(), lateMs.end());
    st.SetLabel(std::string(SpeedCaption(speed)));
    st.counters["late_median_ms"] = lateMs[lateMs.size() / 2];
    st.counters["late_p99_ms"] = lateMs[lateMs.size() * 99 / 100];
    st.counters["late_max_ms"] = lateMs.back();
    st.counters["records"] = static_cast<double>(lateMs.size());
}
BENCHMARK(BM_PlaybackRealTimeLateness)
    ->DenseRange(0, static_cast<int>(kPlaybackSpeeds.size()) - 2)
    ->Iterations(1)
    ->Unit(benchmark::kSecond)
    ->UseRealTime();

}  // namespace
}  // namespace quelm

BENCHMARK_MAIN();
