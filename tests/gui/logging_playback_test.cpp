#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QtTest>
#include <fstream>
#include <memory>

#include "common/long_operation.h"
#include "common/status_texts.h"
#include "fake_app_hub.h"
#include "files/gui/logging_window.h"
#include "widgets/marked_slider.h"

using namespace quelm;
using quelm::testing::Child;
using quelm::testing::WriteLog;

namespace {

std::vector<std::uint32_t> Stamps(const quelm::testing::FakeHub& hub) {
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

class LoggingPlaybackTest : public QObject, quelm::testing::HubWindow<Logging> {
    Q_OBJECT

    QPushButton* Button(const char* name) { return Child<QPushButton>(*w, name); }
    QSlider* Slider() { return Child<QSlider>(*w, "Slider"); }
    QString Label(const char* name) { return Child<QLabel>(*w, name)->text(); }
    void Open(const std::filesystem::path& log) {
        Child<QLineEdit>(*w, "LogFile")->setText(QString::fromStdString(log.string()));
    }
    void ExpectIdle() {
        QCOMPARE(w->state(), LoggingState::Idle);
        QVERIFY(Button("Record")->isEnabled());
        QVERIFY(Button("Play")->isEnabled());
        QVERIFY(!Button("Pause")->isEnabled());
        QVERIFY(!Button("Halt")->isEnabled());
        QVERIFY(Slider()->isHidden());
        QVERIFY(!w->Playing());
    }

    // Writes run.qm1 with records 1..count, record n stamped n, and puts it in the file box.
    void OpenRun(std::uint32_t count) {
        WriteLog(File("run.qm1"), count);
        Open(File("run.qm1"));
    }

  private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void playsEveryRecordOnceWithTheSliderRange() {
        OpenRun(600);
        int maximum = 0;
        bool sliderShownDisabled = true;
        hub->rt.onYield = [&] {
            maximum = Slider()->maximum();
            sliderShownDisabled = sliderShownDisabled && Slider()->isVisible() &&
                                  !Slider()->isEnabled() && !Button("Record")->isEnabled() &&
                                  !Button("Play")->isEnabled() && Button("Pause")->isEnabled() &&
                                  Button("Halt")->isEnabled();
        };
        Button("Play")->click();

        QCOMPARE(Stamps(*hub), Range(1, 600));
        QCOMPARE(hub->shown.back().scopeTime, 6.0);
        QCOMPARE(maximum, 600);  // the range itself is PlaybackSliderRange's test
        QVERIFY(sliderShownDisabled);
        QCOMPARE(hub->resets, 1);
        QCOMPARE(hub->status().Panel(1), std::string(status_text::kLogPlayback));
        QCOMPARE(hub->status().Panel(2), std::string(status_text::kComStopped));
        QCOMPARE(hub->status().Panel(3), std::string());
        QCOMPARE(Label("fs"), QString("28.8"));
        QCOMPARE(Label("LogTime"), QString("6"));
        QCOMPARE(Label("clock"), QString("0:00:06.00"));
        QCOMPARE(Label("records"), QString("600"));
        QCOMPARE(Label("duration"), QString("0:00:06.00"));
        QCOMPARE(Slider()->value(), 1);
        QVERIFY(messages.isEmpty());
        ExpectIdle();
        QCOMPARE(hub->operations().Current(), LongOperation::None);
    }

    void pauseSeekAndResumeContinueFromTheSlider() {
        OpenRun(600);
        int step = 0;
        std::size_t shownAtResume = 0;
        hub->rt.onYield = [&] {
            if (step == 0 && hub->shown.size() == 10) {
                step = 1;
                Button("Pause")->click();
                QVERIFY(Slider()->isEnabled());
                QVERIFY(Button("Play")->isEnabled());
                QVERIFY(!Button("Pause")->isEnabled());
            } else if (w->SliderBusy()) {
                // A record being shown yields too; the next step waits until it is done.
            } else if (step == 1 && w->state() == LoggingState::Paused) {
                step = 2;
                // The counters name the record on display with its own stamp; the slider
                // stands on the record that comes next.
                QCOMPARE(Label("pbcounter"), QString("10"));
                QCOMPARE(Label("LogTime"), QString(".1"));
                QCOMPARE(Slider()->value(), 11);
                Slider()->setValue(100);  // shows record 100 at once
                QCOMPARE(Label("pbcounter"), QString("100"));
                QCOMPARE(Label("LogTime"), QString("1"));
            } else if (step == 2) {
                step = 3;
                w->PlaybackKeyPressed("Left");  // one record back, shown as the slider shows
                QCOMPARE(Slider()->value(), 99);
                QCOMPARE(Label("pbcounter"), QString("99"));
            } else if (step == 3) {
                step = 4;
                shownAtResume = hub->shown.size();
                Button("Play")->click();  // only clears the pause
                QVERIFY(!Slider()->isEnabled());
            }
        };
        Button("Play")->click();

        QCOMPARE(step, 4);
        const std::vector<std::uint32_t> stamps = Stamps(*hub);
        QCOMPARE(std::vector<std::uint32_t>(stamps.begin(), stamps.begin() + 12), [] {
            auto v = Range(1, 10);
            v.push_back(100);
            v.push_back(99);
            return v;
        }());
        QCOMPARE(std::vector<std::uint32_t>(stamps.begin() + static_cast<long>(shownAtResume),
                                            stamps.end()),
                 Range(99, 600));
        ExpectIdle();
    }

    // The log viewer's "Play from here": the pace starts at that record, and the slider ticks
    // the markers inside the log.
    void playsFromARecordWithTheMarkersOnTheSlider() {
        OpenRun(600);
        std::ofstream(File("run.qm1.marks")) << "1.00\tm\n2.50\tn\n9.00\tafter the end\n";
        Child<QCheckBox>(*w, "realtime")->setChecked(true);
        const double pressed = hub->rt.Now();
        w->PlayFrom(QString::fromStdString(File("run.qm1").string()), 300);
        QCOMPARE(Stamps(*hub), Range(300, 600));
        QVERIFY(hub->shown.front().shownAt - pressed < 0.01);
        QCOMPARE(Child<MarkedSlider>(*w, "Slider")->marks(), (std::vector<int>{100, 250}));
    }

    void stopWhilePausedShowsTheRecordOnceMoreAndEnds() {
        OpenRun(600);
        bool paused = false;
        hub->rt.onYield = [&] {
            if (!paused && hub->shown.size() == 5) {
                paused = true;
                Button("Pause")->click();
            } else if (paused && w->state() == LoggingState::Paused) {
                Button("Halt")->click();
            }
        };
        Button("Play")->click();
        QCOMPARE(Stamps(*hub), Range(1, 6));
        ExpectIdle();
        QVERIFY(Child<QLabel>(*w, "pbcounter")->isHidden());
    }

    void playWhileConnectedDisconnectsFirst() {
        OpenRun(3);
        hub->connected = true;
        int disconnectsBeforeFirstFrame = -1;
        hub->rt.onYield = [&] {
            if (disconnectsBeforeFirstFrame < 0) {
                disconnectsBeforeFirstFrame = hub->disconnects;
            }
        };
        Button("Play")->click();
        QCOMPARE(messages, QStringList{"In order to display log file contents, Quelm must be "
                                       "disconnected.  Disconnecting now."});
        QCOMPARE(disconnectsBeforeFirstFrame, 1);
        QCOMPARE(Stamps(*hub), Range(1, 3));
    }

    // The check box and the speed reach the player: each record waits for its stamp, at the
    // speed chosen. Real-Time is 1x; a speed chosen ticks it, as fast as possible clears it.
    void realTimeWaitsForTheStamps() {
        WriteLog(File("rt.qm1"), 2, [](std::uint32_t n) { return (n - 1) * 500; });
        Open(File("rt.qm1"));
        auto* speed = Child<QComboBox>(*w, "speed");
        Child<QCheckBox>(*w, "realtime")->setChecked(true);
        QCOMPARE(speed->currentText(), QString::fromUtf8("1\u00d7"));
        for (const double factor : {1.0, 4.0}) {
            hub->shown.clear();
            const double pressed = hub->rt.Now();
            Button("Play")->click();
            QCOMPARE(hub->shown.size(), std::size_t{2});
            const double took = hub->shown.back().shownAt - pressed;
            QVERIFY2(took >= 5.0 / factor && took < 5.0 / factor + 0.1,
                     qPrintable(QString::number(took)));
            Child<QCheckBox>(*w, "realtime")->setChecked(false);
            QCOMPARE(speed->currentText(), QString("as fast as possible"));
            speed->setCurrentIndex(static_cast<int>(PlaybackSpeed::Four));
            QVERIFY(Child<QCheckBox>(*w, "realtime")->isChecked());
        }
    }

    void unpacedPlaybackDoesNotWait() {
        WriteLog(File("rt.qm1"), 3, [](std::uint32_t n) { return n * 1000; });
        Open(File("rt.qm1"));
        const double pressed = hub->rt.Now();
        Button("Play")->click();
        QCOMPARE(hub->shown.size(), std::size_t{3});
        QVERIFY(hub->shown.back().shownAt - pressed < 1.0);
    }

    void emptyLogReturnsToIdle() {
        WriteLog(File("empty.qm1"), 0);
        Open(File("empty.qm1"));
        Button("Play")->click();
        QVERIFY(messages.isEmpty());
        QVERIFY(hub->shown.empty());
        ExpectIdle();
    }

    void playbackIsRefusedWhileAnExportRuns() {
        OpenRun(3);
        const auto exporting = hub->operations().Begin(LongOperation::Export, {});
        Button("Play")->click();
        QCOMPARE(messages, QStringList{"A log export is running.  Wait until it is done before "
                                       "playing a log."});
        QVERIFY(hub->shown.empty());
        ExpectIdle();
    }

    // Connect during a Real-Time playback: the playback stops at once, the window is Idle, and
    // the link starts only once the playback has unwound, so no old record is drawn after it.
    void connectStopsAPlaybackAndStartsAfterIt() {
        OpenRun(600);
        Child<QCheckBox>(*w, "realtime")->setChecked(true);
        LoggingState stateAfterConnect = LoggingState::Playing;
        hub->rt.onYield = [&] {
            if (hub->shown.size() == 10 && hub->connectClicks == 0) {
                hub->Connect_Click();
                stateAfterConnect = w->state();
            }
        };
        Button("Play")->click();
        QCOMPARE(stateAfterConnect, LoggingState::Idle);
        QVERIFY(hub->shown.size() < 12);
        QVERIFY(hub->linkStarts.empty());
        QTRY_COMPARE(hub->linkStarts.size(), std::size_t{1});
        QCOMPARE(hub->linkStarts.front(), hub->shown.size());
        ExpectIdle();
    }

    void closingTheWindowStopsPlayback() {
        OpenRun(600);
        // Closing the window mid-playback ends it after the record in hand.
        hub->rt.onYield = [&] {
            if (hub->shown.size() == 20) {
                w->close();
            }
        };
        Button("Play")->click();
        QCOMPARE(hub->shown.size(), std::size_t{20});
        ExpectIdle();
    }
};

QTEST_MAIN(LoggingPlaybackTest)
#include "logging_playback_test.moc"
