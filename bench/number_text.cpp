// Writing CSV lines of 21 numbers (one double time, twenty single-precision values): the general
// form's own writer against the C library's %G and the standard library's to_chars.
#include <benchmark/benchmark.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "common/number_text.h"

namespace {

constexpr int kValuesPerLine = 20;
constexpr int kRecords = 4096;

struct Record {
    double time;
    std::array<float, kValuesPerLine> values;
};

// Values shaped like converted engine records: counts times scale factors, so most carry the
// full seven significant digits, plus some zeros and negatives.
std::vector<Record> MakeRecords() {
    std::mt19937 rng(1);
    std::uniform_int_distribution<int> count(0, 1023);
    std::uniform_real_distribution<float> rpm(600, 7000);
    std::vector<Record> records(kRecords);
    for (int n = 0; n < kRecords; ++n) {
        Record& r = records[static_cast<std::size_t>(n)];
        r.time = (n * 7 + 3) / 100.0;
        for (int i = 0; i < kValuesPerLine; ++i) {
            const float c = static_cast<float>(count(rng));
            switch (i % 5) {
                case 0:
                    r.values[static_cast<std::size_t>(i)] = rpm(rng);
                    break;
                case 1:
                    r.values[static_cast<std::size_t>(i)] = c * 5.0f / 1023.0f;
                    break;
                case 2:
                    r.values[static_cast<std::size_t>(i)] = c * 0.1953f - 40.0f;
                    break;
                case 3:
                    r.values[static_cast<std::size_t>(i)] = c < 100 ? 0.0f : c / 64.0f;
                    break;
                default:
                    r.values[static_cast<std::size_t>(i)] = (c - 512.0f) * 0.0489f;
                    break;
            }
        }
    }
    return records;
}

template <typename WriteNumber>
void RunLines(benchmark::State& state, WriteNumber write) {
    const std::vector<Record> records = MakeRecords();
    std::array<char, 1024> line{};
    std::size_t n = 0;
    for (auto _ : state) {
        const Record& r = records[n++ % records.size()];
        char* p = write(line.data(), r.time, 15);
        for (float v : r.values) {
            *p++ = ',';
            p = write(p, v, 7);
        }
        *p++ = '\r';
        *p++ = '\n';
        benchmark::DoNotOptimize(p);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
    state.SetLabel("items = CSV lines");
}

void BM_CsvLine_GeneralNumber(benchmark::State& state) {
    RunLines(state, [](char* out, double v, int digits) {
        return quelm::AppendGeneralNumber(out, v, digits);
    });
}
BENCHMARK(BM_CsvLine_GeneralNumber);

// The slow reference the tests compare with: %G, then the zero before the point dropped.
void BM_CsvLine_Snprintf(benchmark::State& state) {
    RunLines(state, [](char* out, double v, int digits) {
        const int n = std::snprintf(out, quelm::kMaxGeneralNumberChars, "%.*G", digits, v);
        if (out[0] == '0' && out[1] == '.') {
            std::memmove(out, out + 1, static_cast<std::size_t>(n));
            return out + n - 1;
        }
        return out + n;
    });
}
BENCHMARK(BM_CsvLine_Snprintf);

// The standard library alone, without even the post-processing the format needs.
void BM_CsvLine_ToChars(benchmark::State& state) {
    RunLines(state, [](char* out, double v, int digits) {
        return std::to_chars(out, out + quelm::kMaxGeneralNumberChars, v,
                             std::chars_format::general, digits)
            .ptr;
    });
}
BENCHMARK(BM_CsvLine_ToChars);

void BM_GeneralNumber_String(benchmark::State& state) {
    const std::vector<Record> records = MakeRecords();
    std::size_t n = 0;
    for (auto _ : state) {
        const Record& r = records[n++ % records.size()];
        benchmark::DoNotOptimize(quelm::GeneralNumber(r.values[n % kValuesPerLine], 7));
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(BM_GeneralNumber_String);

}  // namespace

BENCHMARK_MAIN();
