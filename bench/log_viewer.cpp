// The log viewer on a one-hour log at the top rate: 1,000,000 records (48 MB) stamped 1/295 s
// apart. Prints the time from Open to the first chart drawn, the redraw after a zoom or a pan
// (at full extent and at the zoom levels down from it), and the resident memory with the log
// open, each as "name value" on a line of its own. Each time is given twice: on the wall clock
// (what the user waits) and in processor time (what the viewer costs; on a busy machine the
// wall clock also counts the time other programs had the processor).
//   bench_log_viewer [records]
#include <time.h>
#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "common/live_config.h"
#include "decode/calibration_tables.h"
#include "decode/frame_decoder.h"
#include "files/log_format.h"
#include "resident_memory.h"
#include "scratch_folder.h"
#include "viewer/envelope.h"
#include "viewer/gui/log_chart.h"
#include "viewer/gui/log_viewer.h"

namespace {

using namespace quelm;

// A drive of sorts: every channel moves, a little noise on top, every record good.
void WriteLog(const std::filesystem::path& path, long records) {
    std::ofstream out(path, std::ios::binary);
    std::uint32_t seed = 12345;
    for (long n = 0; n < records; ++n) {
        seed = seed * 1664525u + 1013904223u;
        FrameBuffer b{};
        const double phase = static_cast<double>(n) / 5000.0;
        for (std::size_t word = 0; word < 10; ++word) {
            const auto v = static_cast<std::uint32_t>(
                400 + 300 * std::sin(phase * (1 + 0.3 * static_cast<double>(word))) +
                ((seed >> (word * 3)) & 31));
            b[2 * word] = static_cast<std::uint8_t>(v >> 8);
            b[2 * word + 1] = static_cast<std::uint8_t>(v);
        }
        for (std::size_t at = 20; at < 36; at += 2) {
            const auto v = static_cast<std::uint32_t>(
                3000 + 1500 * std::sin(phase * 0.7 + static_cast<double>(at)) +
                ((seed >> (at % 16)) & 63));
            b[at] = static_cast<std::uint8_t>(v);
            b[at + 1] = static_cast<std::uint8_t>(v >> 8);
        }
        SealFrame(b);
        const auto stamp = EncodeTimeStamp(static_cast<double>(n) / 295.0);
        std::copy(stamp->begin(), stamp->end(), b.begin() + kTimeStampOffset);
        const LogRecord r = MakeLogRecord(b);
        out.write(reinterpret_cast<const char*>(r.data()), static_cast<std::streamsize>(r.size()));
    }
}

double CpuMillis() {
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

// Wall and processor time of one piece of work, in milliseconds.
struct Stopwatch {
    QElapsedTimer wall;
    double cpuStart = CpuMillis();
    Stopwatch() { wall.start(); }
    double Wall() const { return static_cast<double>(wall.nsecsElapsed()) / 1e6; }
    double Cpu() const { return CpuMillis() - cpuStart; }
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const long records = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    ScratchFolder scratch;
    const auto log = scratch.dir / "hour.qm1";
    WriteLog(log, records);

    const LiveConfig config;
    const CalibrationTables tables = BuiltInTables();
    LogViewer viewer(config, tables);
    viewer.resize(1280, 1000);
    viewer.show();
    // The worst case: four charts of four channels each.
    viewer.SetChartCount(4);
    const char* names[4][4] = {{"RPM", "LOAD", "TPS", "MAF"},
                               {"MPH", "WIDEO2", "HEGOL", "HEGOR"},
                               {"ECT", "ACT", "ADVANCE", "BAP"},
                               {"INJDUTY", "INJPW", "RWHP", "RWTQ"}};
    for (int c = 0; c < 4; ++c) {
        std::array<std::optional<std::size_t>, LogChart::kPens> channels;
        for (int p = 0; p < 4; ++p) {
            channels[static_cast<std::size_t>(p)] = FindLogChannel(names[c][p]);
        }
        viewer.chart(c)->SetChannels(channels);
    }
    QApplication::processEvents();
    const long rssBefore = ResidentKiB();

    bool loaded = false;
    QObject::connect(&viewer, &LogViewer::loaded, [&] { loaded = true; });
    const Stopwatch open;
    viewer.Open(log);
    while (!loaded && viewer.Loading()) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    if (!loaded) {
        std::fprintf(stderr, "bench_log_viewer: the log did not load\n");
        return 1;
    }
    // The replotted charts reach the screen.
    QApplication::processEvents();
    const double openWall = open.Wall();
    const double openCpu = open.Cpu();

    std::vector<double> fullWall;
    std::vector<double> fullCpu;
    for (int i = 0; i < 15; ++i) {
        viewer.ShowAll();
        const Stopwatch t;
        viewer.Redraw();
        fullWall.push_back(t.Wall());
        fullCpu.push_back(t.Cpu());
    }
    const int pointsFull = viewer.chart(0)->PointsDrawn();
    // Zoom in step by step from full extent, pan at each level, and out again.
    std::vector<double> movesWall;
    std::vector<double> movesCpu;
    const auto timed = [&] {
        const Stopwatch t;
        viewer.Redraw();
        movesWall.push_back(t.Wall());
        movesCpu.push_back(t.Cpu());
    };
    for (int level = 0; level < 12; ++level) {
        const double mid = (viewer.RangeLower() + viewer.RangeUpper()) / 2;
        viewer.ZoomAt(mid, 0.5);
        timed();
        viewer.PanBy((viewer.RangeUpper() - viewer.RangeLower()) / 10);
        timed();
    }
    for (int level = 0; level < 12; ++level) {
        viewer.ZoomAt((viewer.RangeLower() + viewer.RangeUpper()) / 2, 2.0);
        timed();
    }
    QApplication::processEvents();
    const long rssOpen = ResidentKiB();

    // The two halves of the work without the window: converting the log, and the envelopes of
    // sixteen channels at full extent for charts 1,000 pixels wide.
    const Stopwatch core;
    const LogLoadResult columns = LoadLogColumns(log, config, tables);
    const double coreCpu = core.Cpu();
    const Stopwatch envelopes;
    EnvelopeLine line;
    for (std::size_t c = 0; c < 16; ++c) {
        BuildEnvelope(columns.columns, c, columns.columns.times.front(),
                      columns.columns.times.back(), 1000, line);
    }
    const double envelopeCpu = envelopes.Cpu();

    const auto max = [](const std::vector<double>& v) {
        return *std::max_element(v.begin(), v.end());
    };
    std::printf("records %ld\n", records);
    std::printf("open_first_chart_s %.3f\n", openWall / 1000);
    std::printf("open_first_chart_cpu_s %.3f\n", openCpu / 1000);
    std::printf("load_columns_cpu_s %.3f\n", coreCpu / 1000);
    std::printf("envelopes_16_full_cpu_ms %.2f\n", envelopeCpu);
    std::printf("redraw_full_median_ms %.2f\n", Median(fullWall));
    std::printf("redraw_full_max_ms %.2f\n", max(fullWall));
    std::printf("redraw_full_cpu_median_ms %.2f\n", Median(fullCpu));
    std::printf("redraw_full_cpu_max_ms %.2f\n", max(fullCpu));
    std::printf("redraw_zoom_pan_median_ms %.2f\n", Median(movesWall));
    std::printf("redraw_zoom_pan_max_ms %.2f\n", max(movesWall));
    std::printf("redraw_zoom_pan_cpu_max_ms %.2f\n", max(movesCpu));
    std::printf("points_drawn_full %d\n", pointsFull);
    std::printf("rss_before_kib %ld\n", rssBefore);
    std::printf("rss_open_kib %ld\n", rssOpen);
    return 0;
}
