#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <chrono>
#include <cstdlib>
#include <memory>

#include "fake_app_hub.h"
#include "files/gui/logging_window.h"
#include "files/log_activity.h"

using namespace quelm;
using quelm::testing::Child;
using quelm::testing::FakeHub;
using quelm::testing::WriteLog;

namespace {

std::vector<std::uint32_t> Stamps(const FakeHub& hub) {
    std::vector<std::uint32_t> out;
    for (const auto& f : hub.shown) {
        out.push_back(f.hundredths);
    }
    return out;
}

std::vector<std::uint32_t> Range(std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t n = from; n <= to; ++n) {
        out.push_back(n);
    }
    return out;
}

}  // namespace

class LoggingPlaybackTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakeHub> hub_;
    std::unique_ptr<LogActivity> jobs_;
    std::unique_ptr<Logging> w_;
    QStringList messages_;

    std::filesystem::path File(const char* name) const {
        return std::filesystem::path(dir_->filePath(name).toStdString());
    }
    QPushButton* Button(const char* name) { return Child<QPushButton>(*w_, name); }
    QSlider* Slider() { return Child<QSlider>(*w_, "Slider"); }
    QString Label(const char* name) { return Child<QLabel>(*w_, name)->text(); }
    void Open(const std::filesystem::path& log) {
        Child<QLineEdit>(*w_, "LogFile")->setText(QString::fromStdString(log.string()));
    }
    void ExpectIdle() {
        QCOMPARE(w_->state(), LoggingState::Idle);
        QVERIFY(Button("Record")->isEnabled());
        QVERIFY(Button("Play")->isEnabled());
        QVERIFY(!Button("Pause")->isEnabled());
        QVERIFY(!Button("Halt")->isEnabled());
        QVERIFY(Slider()->isHidden());
        QVERIFY(!w_->Playing());
    }

  private slots:
    void init() {
        dir_ = std::make_unique<QTemporaryDir>();
        hub_ = std::make_unique<FakeHub>(File("Quelm.ini"));
        jobs_ = std::make_unique<LogActivity>();
        w_ = std::make_unique<Logging>(*hub_, *jobs_);
        messages_.clear();
        w_->setMessageSink([this](const QString& text) { messages_ << text; });
        w_->show();
    }
    void cleanup() {
        w_.reset();
        hub_.reset();
        dir_.reset();
    }

    void playsEveryRecordOnceWithTheSliderRange() {
        WriteLog(File("run.qm1"), 600, [](std::uint32_t n) { return n; });
        Open(File("run.qm1"));
        int minimum = 0, maximum = 0, ticks = 0;
        bool sliderShownDisabled = true;
        hub_->rt.onYield = [&] {
            minimum = Slider()->minimum();
            maximum = Slider()->maximum();
            ticks = Slider()->tickInterval();
            sliderShownDisabled = sliderShownDisabled && Slider()->isVisible() &&
                                  !Slider()->isEnabled() && !Button("Record")->isEnabled() &&
                                  !Button("Play")->isEnabled() && Button("Pause")->isEnabled() &&
                                  Button("Halt")->isEnabled();
        };
        Button("Play")->click();

        QCOMPARE(Stamps(*hub_), Range(1, 600));
        QCOMPARE(hub_->shown.back().scopeTime, 6.0);
        QCOMPARE(minimum, 1);
        QCOMPARE(maximum, 600);
        QCOMPARE(ticks, 30);
        QVERIFY(sliderShownDisabled);
        QCOMPARE(hub_->resets, 1);
        QCOMPARE(hub_->status().Panel(1), std::string("Log Playback"));
        QCOMPARE(hub_->status().Panel(2), std::string("COM Stopped"));
        QCOMPARE(hub_->status().Panel(3), std::string());
        QCOMPARE(Label("fs"), QString("28.8"));
        QCOMPARE(Label("LogTime"), QString("6"));
        QCOMPARE(Slider()->value(), 1);
        QVERIFY(messages_.isEmpty());
        ExpectIdle();
        QCOMPARE(jobs_->Current(), LogJob::None);
    }

    void trailingBytesAreNeverPlayed() {
        WriteLog(
            File("odd.qm1"), 500, [](std::uint32_t n) { return n; }, 20);
        Open(File("odd.qm1"));
        Button("Play")->click();
        QCOMPARE(Stamps(*hub_), Range(1, 500));
        QCOMPARE(Label("fs"), QString("24.02"));
        ExpectIdle();
    }

    void pauseSeekAndResumeContinueFromTheSlider() {
        WriteLog(File("run.qm1"), 600, [](std::uint32_t n) { return n; });
        Open(File("run.qm1"));
        int step = 0;
        std::size_t shownAtResume = 0;
        hub_->rt.onYield = [&] {
            if (step == 0 && hub_->shown.size() == 10) {
                step = 1;
                Button("Pause")->click();
                QVERIFY(Slider()->isEnabled());
                QVERIFY(Button("Play")->isEnabled());
                QVERIFY(!Button("Pause")->isEnabled());
            } else if (step == 1 && w_->state() == LoggingState::Paused) {
                step = 2;
                Slider()->setValue(100);  // shows record 100 at once
                QCOMPARE(Label("pbcounter"), QString("100"));
                QCOMPARE(Label("LogTime"), QString("1"));
            } else if (step == 2) {
                step = 3;
                shownAtResume = hub_->shown.size();
                Button("Play")->click();  // only clears the pause
                QVERIFY(!Slider()->isEnabled());
            }
        };
        Button("Play")->click();

        QCOMPARE(step, 3);
        const std::vector<std::uint32_t> stamps = Stamps(*hub_);
        QCOMPARE(std::vector<std::uint32_t>(stamps.begin(), stamps.begin() + 11), [] {
            auto v = Range(1, 10);
            v.push_back(100);
            return v;
        }());
        QCOMPARE(std::vector<std::uint32_t>(stamps.begin() + static_cast<long>(shownAtResume),
                                            stamps.end()),
                 Range(100, 600));
        ExpectIdle();
    }

    void stopWhilePausedShowsTheRecordOnceMoreAndEnds() {
        WriteLog(File("run.qm1"), 600, [](std::uint32_t n) { return n; });
        Open(File("run.qm1"));
        bool paused = false;
        hub_->rt.onYield = [&] {
            if (!paused && hub_->shown.size() == 5) {
                paused = true;
                Button("Pause")->click();
            } else if (paused && w_->state() == LoggingState::Paused) {
                Button("Halt")->click();
            }
        };
        Button("Play")->click();
        QCOMPARE(Stamps(*hub_), Range(1, 6));
        ExpectIdle();
        QVERIFY(Child<QLabel>(*w_, "pbcounter")->isHidden());
    }

    void playWhileConnectedDisconnectsFirst() {
        WriteLog(File("run.qm1"), 3, [](std::uint32_t n) { return n; });
        Open(File("run.qm1"));
        hub_->connected = true;
        int disconnectsBeforeFirstFrame = -1;
        hub_->rt.onYield = [&] {
            if (disconnectsBeforeFirstFrame < 0) {
                disconnectsBeforeFirstFrame = hub_->disconnects;
            }
        };
        Button("Play")->click();
        QCOMPARE(messages_, QStringList{"In order to display log file contents, Quelm must be "
                                        "disconnected.  Disconnecting now."});
        QCOMPARE(disconnectsBeforeFirstFrame, 1);
        QCOMPARE(Stamps(*hub_), Range(1, 3));
    }

    void realTimeNeverShowsARecordBeforeItsStamp() {
        const std::vector<std::uint32_t> stamps = {0, 7, 50, 51, 1234, 1234, 1500};
        WriteLog(File("rt.qm1"), static_cast<std::uint32_t>(stamps.size()),
                 [&](std::uint32_t n) { return stamps[n - 1]; });
        Open(File("rt.qm1"));
        Child<QCheckBox>(*w_, "realtime")->setChecked(true);
        const double pressed = hub_->rt.Now();
        Button("Play")->click();
        QCOMPARE(hub_->shown.size(), stamps.size());
        for (const auto& f : hub_->shown) {
            const double due = pressed + f.hundredths / 100.0;
            QVERIFY2(f.shownAt >= due, qPrintable(QString::number(f.hundredths)));
            QVERIFY2(f.shownAt - due < 0.003, qPrintable(QString::number(f.shownAt - due)));
        }
    }

    void unpacedPlaybackDoesNotWait() {
        WriteLog(File("rt.qm1"), 3, [](std::uint32_t n) { return n * 1000; });
        Open(File("rt.qm1"));
        const double pressed = hub_->rt.Now();
        Button("Play")->click();
        QCOMPARE(hub_->shown.size(), std::size_t{3});
        QVERIFY(hub_->shown.back().shownAt - pressed < 1.0);
    }

    void missingOrEmptyLogReturnsToIdle() {
        Open(File("absent.qm1"));
        Button("Play")->click();
        QCOMPARE(messages_.size(), 1);
        QVERIFY(messages_.front().contains("absent.qm1"));
        QVERIFY(!std::filesystem::exists(File("absent.qm1")));
        QVERIFY(hub_->shown.empty());
        ExpectIdle();

        messages_.clear();
        WriteLog(File("empty.qm1"), 0, [](std::uint32_t n) { return n; });
        Open(File("empty.qm1"));
        Button("Play")->click();
        QVERIFY(messages_.isEmpty());
        QVERIFY(hub_->shown.empty());
        ExpectIdle();
    }

    void playbackIsRefusedWhileAnExportRuns() {
        WriteLog(File("run.qm1"), 3, [](std::uint32_t n) { return n; });
        Open(File("run.qm1"));
        QVERIFY(!jobs_->Begin(LogJob::Export));
        Button("Play")->click();
        QCOMPARE(messages_, QStringList{kExportRunningMessage});
        QVERIFY(hub_->shown.empty());
        ExpectIdle();
        QCOMPARE(jobs_->Current(), LogJob::Export);
    }

    void closingTheWindowStopsPlayback() {
        WriteLog(File("run.qm1"), 600, [](std::uint32_t n) { return n; });
        Open(File("run.qm1"));
        // Closing the window mid-playback ends it after the record in hand.
        hub_->rt.onYield = [&] {
            if (hub_->shown.size() == 20) {
                w_->close();
            }
        };
        Button("Play")->click();
        QCOMPARE(hub_->shown.size(), std::size_t{20});
        ExpectIdle();
    }

    // Not a check: times unpaced playback of the log named by QUELM_PLAYBACK_BENCH_LOG through
    // the window with the real clock and event processing on every yield.
    void timeOnBenchLog() {
        const char* log = std::getenv("QUELM_PLAYBACK_BENCH_LOG");
        if (log == nullptr) {
            QSKIP("QUELM_PLAYBACK_BENCH_LOG not set");
        }
        // A fresh window on the real clock: the player takes its runtime when it is made.
        quelm::testing::RealWindowRuntime rt;
        hub_->runtimeOverride = &rt;
        w_ = std::make_unique<Logging>(*hub_, *jobs_);
        w_->show();
        Open(log);
        const auto start = std::chrono::steady_clock::now();
        Button("Play")->click();
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("logging window: %zu records in %.3f s\n", hub_->shown.size(), seconds);
    }

    // Not a check: with QUELM_SHOT_DIR set (under Xvfb), screenshots of the window idle and
    // paused in a playback, for looking at.
    void screenshots() {
        const QString shots = qEnvironmentVariable("QUELM_SHOT_DIR");
        if (shots.isEmpty()) {
            QSKIP("QUELM_SHOT_DIR not set");
        }
        const auto shoot = [&](const char* name) {
            w_->raise();
            QTest::qWait(300);
            QProcess::execute("import", {"-window", "root", shots + "/" + name});
        };
        WriteLog(File("run.qm1"), 600, [](std::uint32_t n) { return n * 3; });
        Open(File("run.qm1"));
        w_->move(20, 20);
        shoot("logging_idle.png");
        bool shot = false;
        hub_->rt.onYield = [&] {
            if (w_->state() == LoggingState::Playing && hub_->shown.size() == 240) {
                Button("Pause")->click();
            } else if (!shot && w_->state() == LoggingState::Paused) {
                shot = true;
                shoot("logging_paused.png");
                Button("Halt")->click();
            }
        };
        Button("Play")->click();
        QVERIFY(shot);
    }
};

QTEST_MAIN(LoggingPlaybackTest)
#include "logging_playback_test.moc"
