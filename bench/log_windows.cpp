// The export window, then unpaced playback through the logging window, on one log: each on the
// real clock with window events processed on every yield, as in the dashboard. The hub is the
// window tests' fake: played frames are counted, not decoded (bench_playback and
// bench_log_player measure the decode path).
// usage: bench_log_windows LOG
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

#include "../tests/gui/fake_app_hub.h"
#include "files/gui/export_window.h"
#include "files/gui/logging_window.h"

namespace {

// The real clock, with pending window events run on every yield.
class RealWindowRuntime : public quelm::SystemRuntime {
  public:
    void Yield() override { QCoreApplication::processEvents(); }
};

template <typename Body>
double Seconds(Body body) {
    const auto start = std::chrono::steady_clock::now();
    body();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: bench_log_windows LOG\n");
        return 2;
    }
    const QString log = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir dir;
    quelm::testing::FakeHub hub(dir.filePath("Quelm.ini").toStdString());
    RealWindowRuntime rt;
    hub.runtimeOverride = &rt;  // before the windows are made: they take the runtime then

    quelm::Export exporter(hub);
    exporter.SetFileChooser(
        [&](const QString&, const QString&, const QString&,
            const std::function<void(const QString&)>& answered) { answered(log); });
    exporter.show();
    const double exported =
        Seconds([&] { quelm::testing::Child<QPushButton>(exporter, "BrowseSRC")->click(); });
    if (quelm::testing::Child<QLabel>(exporter, "Status")->text() != "Done.") {
        std::fprintf(stderr, "the export did not finish\n");
        return 1;
    }
    std::printf("export window: %.3f s\n", exported);

    quelm::Logging logging(hub);
    logging.show();
    quelm::testing::Child<QLineEdit>(logging, "LogFile")->setText(log);
    const double played =
        Seconds([&] { quelm::testing::Child<QPushButton>(logging, "Play")->click(); });
    std::printf("logging window: %zu records in %.3f s\n", hub.shown.size(), played);
    return 0;
}
