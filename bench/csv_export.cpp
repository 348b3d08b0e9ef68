// CSV export of a generated 1,000,000-record log, beside a plain write of the same CSV bytes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "decode/calibration_tables.h"
#include "decode/frame_decoder.h"
#include "files/csv_export.h"
#include "files/log_format.h"
#include "scratch_folder.h"

namespace {

using namespace quelm;

constexpr std::uint64_t kRecords = 1'000'000;

// A folder with the generated log, removed at exit.
struct Fixture {
    ScratchFolder scratch;
    const std::filesystem::path& dir = scratch.dir;
    std::filesystem::path log;
    CalibrationTables tables;

    Fixture() {
        log = dir / "run.qm1";
        tables = BuiltInTables();
        for (std::size_t i = 0; i < kMafPoints; ++i) {
            tables.maf[i] = {static_cast<double>(i) * 5.0 / 30.0, static_cast<double>(i * i) * 1.3};
        }
        // An engine sweeping through its range: every value changes from record to record.
        std::vector<std::uint8_t> bytes;
        bytes.reserve(kRecords * kLogRecordBytes);
        std::uint32_t seed = 12345;
        for (std::uint64_t n = 0; n < kRecords; ++n) {
            seed = seed * 1664525u + 1013904223u;
            const unsigned wiggle = seed >> 24;
            const unsigned phase = static_cast<unsigned>(n % 4000);
            FrameBuffer b{};
            const auto be = [&](std::size_t at, unsigned v) {
                b[at] = static_cast<std::uint8_t>(v >> 8);
                b[at + 1] = static_cast<std::uint8_t>(v);
            };
            const auto le = [&](std::size_t at, unsigned v) {
                b[at] = static_cast<std::uint8_t>(v);
                b[at + 1] = static_cast<std::uint8_t>(v >> 8);
            };
            for (std::size_t at = 0; at < 20; at += 2) {
                be(at, (150 + phase / 6 + wiggle + at * 13) & 0x3FF);
            }
            le(20, 1200 + phase * 3 + wiggle);
            le(22, 200 + wiggle);
            le(24, 2000 + phase + wiggle * 4);
            le(26, 6000 + wiggle);
            le(28, 0);
            le(30, 3000 + phase * 2);
            b[36] = static_cast<std::uint8_t>(wiggle & 0x10);
            SealFrame(b);
            const auto stamp = EncodeTimeStamp(static_cast<double>(n) * 0.0037);
            std::copy(stamp->begin(), stamp->end(), b.begin() + kTimeStampOffset);
            const LogRecord r = MakeLogRecord(b);
            bytes.insert(bytes.end(), r.begin(), r.end());
        }
        std::ofstream(log, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
    }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

void BM_ExportLogToCsv(benchmark::State& state) {
    Fixture& f = Shared();
    for (auto _ : state) {
        const CsvExportResult r = ExportLogToCsv(f.log, LiveConfig{}, f.tables);
        if (r.kind != CsvExportResult::Kind::Done) {
            state.SkipWithError(r.error.c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRecords));
    state.counters["csv_MB"] =
        static_cast<double>(std::filesystem::file_size(f.dir / "run.csv")) / 1e6;
}
BENCHMARK(BM_ExportLogToCsv)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

// The floor: the same CSV bytes written to a new file in 1 MB writes, no conversion at all.
void BM_PlainWriteOfTheSameCsv(benchmark::State& state) {
    Fixture& f = Shared();
    if (!std::filesystem::exists(f.dir / "run.csv")) {
        ExportLogToCsv(f.log, LiveConfig{}, f.tables);
    }
    std::ifstream in(f.dir / "run.csv", std::ios::binary);
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const auto copy = f.dir / "copy.csv";
    for (auto _ : state) {
        const int fd = ::open(copy.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        for (std::size_t at = 0; at < text.size(); at += 1 << 20) {
            const std::size_t n = std::min<std::size_t>(1 << 20, text.size() - at);
            if (::write(fd, text.data() + at, n) != static_cast<ssize_t>(n)) {
                state.SkipWithError("write failed");
                break;
            }
        }
        ::close(fd);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kRecords));
}
BENCHMARK(BM_PlainWriteOfTheSameCsv)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
