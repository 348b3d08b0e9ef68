// Cost of repainting the dashboard's gauges after every needle moved: the work one screen
// refresh asks of the thread that also polls the device.
//
//   bench_gauge_paint [benchmark options]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "shell/gui/dashboard_view.h"
#include "widgets/gauge_widget.h"

namespace {

// One gauge of the dashboard's size, its needle moved before each paint.
void BM_PaintOneGauge(benchmark::State& state) {
    quelm::GaugeWidget gauge;
    gauge.SetScale(0, 8000);
    gauge.resize(220, 220);
    QImage target(gauge.size(), QImage::Format_RGB32);
    double value = 0;
    for (auto _ : state) {
        value = value > 7900 ? 0 : value + 37.5;
        gauge.SetValue(value);
        gauge.render(&target);
    }
}
BENCHMARK(BM_PaintOneGauge)->Unit(benchmark::kMicrosecond);

// The whole dashboard at 1200 x 800, every needle moved.
void BM_PaintDashboard(benchmark::State& state) {
    quelm::DashboardView view;
    view.resize(1200, 800);
    QImage target(view.size(), QImage::Format_RGB32);
    view.render(&target);  // the faces are built once, outside the timing
    double step = 0;
    for (auto _ : state) {
        step = step > 0.9 ? 0 : step + 0.013;
        for (quelm::GaugeWidget* g : view.gauges()) {
            g->SetValue(g->ScaleMinimum() + step * (g->ScaleMaximum() - g->ScaleMinimum()));
        }
        view.render(&target);
    }
}
BENCHMARK(BM_PaintDashboard)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
