// DecodeFrame + ConvertFrame per frame over a spread of engine states.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "decode/convert_frame.h"
#include "decode/frame_decoder.h"

namespace quelm {
namespace {

void PutBigEndian(FrameBuffer& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v >> 8);
    b[at + 1] = static_cast<std::uint8_t>(v);
}

void PutLittleEndian(FrameBuffer& b, std::size_t at, unsigned v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

std::vector<FrameBuffer> VariedFrames(std::size_t count) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<unsigned> ad(0, 1023);
    std::uniform_int_distribution<unsigned> fire(1300, 30000);
    std::uniform_int_distribution<unsigned> word(0, 65535);
    std::vector<FrameBuffer> frames(count);
    for (auto& b : frames) {
        for (std::size_t at = 0; at < 20; at += 2) {
            PutBigEndian(b, at, ad(rng));
        }
        PutLittleEndian(b, 20, fire(rng));
        for (std::size_t at = 22; at < 36; at += 2) {
            PutLittleEndian(b, at, word(rng) % 8 == 0 ? 0 : word(rng));
        }
        b[36] = static_cast<std::uint8_t>(word(rng));
        SealFrame(b);
    }
    return frames;
}

// A drive: idle, a pull to about 6000 rpm and back, with every sensor in its working range and
// moving a little from one frame to the next, as a live stream or a log delivers them.
std::vector<FrameBuffer> DriveFrames(std::size_t count) {
    std::mt19937 rng(6789);
    std::uniform_int_distribution<int> jitter(-3, 3);
    std::vector<FrameBuffer> frames(count);
    auto counts = [&](double volts) {
        return static_cast<unsigned>(std::clamp(volts * 1023 / 5 + jitter(rng), 0.0, 1023.0));
    };
    for (std::size_t n = 0; n < count; ++n) {
        const double phase = static_cast<double>(n) / static_cast<double>(count);
        const double load = 0.5 - 0.5 * std::cos(2 * 3.14159265 * phase);  // 0..1..0
        const double rpm = 800 + 5200 * load;
        auto& b = frames[n];
        PutBigEndian(b, 0, counts(0.7 + 3.3 * load));   // MAF
        PutBigEndian(b, 2, counts(0.9 + 3.6 * load));   // TPS
        PutBigEndian(b, 4, counts(0.6));                // ECT, warm
        PutBigEndian(b, 6, counts(2.1));                // ACT
        PutBigEndian(b, 8, counts(1.6 + 2.8 * load));   // MAP
        PutBigEndian(b, 10, counts(2.3 - 0.6 * load));  // wide-band
        PutBigEndian(b, 12, counts(1.0));
        PutBigEndian(b, 14, counts(2.0));
        PutBigEndian(
            b, 16,
            counts(0.45 + 0.4 * static_cast<double>((n / 7) % 2)));  // switching oxygen sensors
        PutBigEndian(b, 18, counts(0.45 + 0.4 * static_cast<double>((n / 5) % 2)));
        PutLittleEndian(b, 20, static_cast<unsigned>(120 / (rpm * 1.0855e-6 * 8)));
        PutLittleEndian(b, 22, static_cast<unsigned>(9000 - 6000 * load));
        PutLittleEndian(b, 24, static_cast<unsigned>(1500 + 9000 * load));
        PutLittleEndian(b, 26, 7800);
        PutLittleEndian(b, 28, 0);
        PutLittleEndian(b, 30, static_cast<unsigned>(3000 / (0.2 + load)));
        b[36] = 0;
        SealFrame(b);
    }
    return frames;
}

void DecodeAndConvert(benchmark::State& st, const std::vector<FrameBuffer>& frames) {
    CalibrationTables tables = BuiltInTables();
    for (std::size_t i = 0; i < kMafPoints; ++i) {
        tables.maf[i] = {static_cast<double>(i) / 6.0, 40.0 * static_cast<double>(i)};
    }
    LiveConfig config;
    config.map = MapOption::TwoBar;
    config.wideBand = WideBandOption::Diy;
    config.hasbatchfire = true;
    ConvertState state;
    RawData raw;
    std::size_t n = 0;
    for (auto _ : st) {
        const bool bad = DecodeFrame(frames[n], raw);
        benchmark::DoNotOptimize(bad);
        benchmark::DoNotOptimize(ConvertFrame(raw, config, tables, state));
        benchmark::DoNotOptimize(state.eng);
        n = (n + 1) % frames.size();
    }
    st.SetItemsProcessed(st.iterations());
}

void BM_DecodeAndConvertDrive(benchmark::State& st) {
    DecodeAndConvert(st, DriveFrames(4096));
}
BENCHMARK(BM_DecodeAndConvertDrive);

// Every field uniformly random: every table walk stops somewhere new on each frame.
void BM_DecodeAndConvertRandom(benchmark::State& st) {
    DecodeAndConvert(st, VariedFrames(4096));
}
BENCHMARK(BM_DecodeAndConvertRandom);

}  // namespace
}  // namespace quelm

BENCHMARK_MAIN();
