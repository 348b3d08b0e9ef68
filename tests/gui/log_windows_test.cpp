// The log windows on a fake hub. The logging window: recording (the file box, Browse, the overwrite
// question and the failures that end a recording), then playback (pace, pause and seek, stops,
// refusals); which controls each state enables is the playback state table's unit test. Then the
// export window: where its CSV goes, a cancelled dialog, its refusals. Last the log viewer.
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTableWidget>
#include <QtTest>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <optional>

#include "common/status_texts.h"
#include "decode/scope_channels.h"
#include "fake_app_hub.h"
#include "files/csv_export.h"
#include "files/gui/export_window.h"
#include "files/gui/logging_window.h"
#include "files/log_reader.h"
#include "viewer/gui/log_chart.h"
#include "viewer/gui/log_viewer.h"
#include "viewer/gui/marker_lines.h"
#include "viewer/gui/marks_panel.h"
#include "widgets/marked_slider.h"

using namespace quelm;
using namespace quelm::status_text;
using quelm::testing::Child;
using quelm::testing::WriteLog;

namespace {

std::vector<std::uint32_t> Range(std::uint32_t from, std::uint32_t to) {
    std::vector<std::uint32_t> out;
    for (std::uint32_t n = from; n <= to; ++n) {
        out.push_back(n);
    }
    return out;
}

}  // namespace

class LogWindowsTest : public QObject, quelm::testing::HubWindow<Logging> {
    Q_OBJECT

    QPushButton* Button(const char* name) { return Child<QPushButton>(*w, name); }
    QSlider* Slider() { return Child<QSlider>(*w, "Slider"); }
    QLineEdit* LogFile() { return Child<QLineEdit>(*w, "LogFile"); }
    QString Label(const char* name) { return Child<QLabel>(*w, name)->text(); }
    void Open(const std::filesystem::path& log) {
        LogFile()->setText(QString::fromStdString(log.string()));
    }
    // Writes run.qm1 with records 1..count, record n stamped n, and puts it in the file box.
    void OpenRun(std::uint32_t count) {
        WriteLog(File("run.qm1"), count);
        Open(File("run.qm1"));
    }
    // What the main window's receive loop does with each good frame while recording.
    void FeedFrames(int count) {
        for (int i = 0; i < count && hub->recorder().Recording(); ++i) {
            FrameBuffer frame = quelm::testing::StampedFrame(static_cast<std::uint32_t>(i));
            w->OnRecordResult(hub->recorder().WriteLogRecord(frame, hub->rt.Now()));
            hub->rt.Advance(0.0125);
        }
    }
    // Enabled state of Record, Play, Pause, Stop.
    QString Buttons() {
        QString s;
        for (const char* name : {"Record", "Play", "Pause", "Halt"}) {
            s += Button(name)->isEnabled() ? '1' : '0';
        }
        return s;
    }
    void ExpectIdle() {
        QCOMPARE(w->state(), LoggingState::Idle);
        QCOMPARE(Buttons(), QString("1100"));
        QVERIFY(Slider()->isHidden());
        QVERIFY(!w->Playing());
    }
    std::vector<std::uint32_t> Stamps() const {
        std::vector<std::uint32_t> out;
        for (const auto& f : hub->shown) {
            out.push_back(f.hundredths);
        }
        return out;
    }

    // The export window on the same hub, its file dialog answering `answer` (empty: cancel).
    QStringList exportAsked;
    std::unique_ptr<Export> MakeExport(const std::filesystem::path& answer) {
        auto ex = std::make_unique<Export>(*hub);
        ex->SetMessageSink(quelm::testing::CollectMessages(messages));
        ex->SetFileChooser([this, answer](const QString& title, const QString&,
                                          const QString& filter,
                                          const std::function<void(const QString&)>& answered) {
            exportAsked << title << filter;
            answered(QString::fromStdString(answer.string()));
        });
        ex->show();
        return ex;
    }

  private slots:
    void init() {
        Start();
        exportAsked.clear();
    }
    void cleanup() { Stop(); }

    // The keys reach the window's shortcuts rather than the file box: M marks.
    void opensWithTheKeysOnItsShortcuts() {
        int marks = 0;
        w->onMark = [&] { ++marks; };
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M);
        QCOMPARE(marks, 1);
    }

    void fileBoxComesFromAndGoesBackToTheSettings() {
        QVERIFY(hub->settings().Write("LOGGING", "FILE", "/logs/run7.qm1"));
        Make();
        QCOMPARE(LogFile()->text(), QString("/logs/run7.qm1"));
        LogFile()->setText("/logs/run8.qm1");
        w->close();
        QCOMPARE(hub->settings().Read("LOGGING", "FILE"), std::string("/logs/run8.qm1"));
    }

    void browseAppendsTheExtensionCaseSensitively() {
        QString folder;
        QString answer;
        w->SetFileChooser([&](const QString&, const QString& d, const QString&,
                              const std::function<void(const QString&)>& answered) {
            folder = d;
            answered(answer);
        });
        const std::pair<const char*, const char*> rows[] = {
            {" /data/run1 ", "/data/run1.qm1"},
            {"/data/run1.qm1", "/data/run1.qm1"},
            {"/data/run1.QM1", "/data/run1.QM1.qm1"},
        };
        for (auto [chosen, expected] : rows) {
            answer = chosen;
            w->browse_Click();
            QCOMPARE(LogFile()->text(), QString(expected));
        }
        answer.clear();  // cancelled: the box keeps its text
        w->browse_Click();
        QCOMPARE(LogFile()->text(), QString("/data/run1.QM1.qm1"));
        QVERIFY(folder.endsWith("quelm/logs"));

        Button("New")->click();  // a fresh dated name in the same folder
        const QFileInfo fresh(LogFile()->text());
        QCOMPARE(fresh.absolutePath(), folder);
        QVERIFY2(fresh.fileName().startsWith("quelm-") && fresh.suffix() == "qm1",
                 qPrintable(fresh.fileName()));
    }

    // Record without the link connects instead; with it but without a usable name it says so.
    // Either way nothing records, the status stays and the window is Idle.
    void recordIsRefusedWithoutTheLinkOrAUsableName() {
        Open(File("run.qm1"));
        Button("Record")->click();
        QCOMPARE(messages, QStringList{kRecordNeedsLinkMessage});
        QCOMPARE(hub->connectClicks, 1);
        QVERIFY(!std::filesystem::exists(File("run.qm1")));
        ExpectIdle();

        messages.clear();
        hub->connected = true;
        hub->status().SetPanel(1, kMonitoring);
        LogFile()->clear();
        Button("Record")->click();
        QCOMPARE(messages.size(), 1);
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(Button("Record")->text(), QString("Record"));
        QCOMPARE(hub->status().Panel(1), std::string(kMonitoring));
        ExpectIdle();
    }

    void recordingFiveHundredFrames() {
        hub->connected = true;
        int started = 0;
        w->recordingStarted = [&] { ++started; };
        Open(File("run.qm1"));
        Button("Record")->click();
        QVERIFY(hub->recorder().Recording());
        QCOMPARE(started, 1);
        QVERIFY(!Button("New")->isEnabled());  // the recorder keeps the file it opened
        QCOMPARE(hub->status().Panel(1), std::string(kRecording));
        QCOMPARE(Buttons(), QString("0001"));
        QCOMPARE(Button("Record")->text(), QString::fromUtf8(kRecordingCaption));

        FeedFrames(500);
        QCOMPARE(Label("pbcounter"), QString("501"));
        QCOMPARE(Label("fs"), QString("24"));
        QCOMPARE(Label("clock"), QString("0:00:06.23"));  // 499 x 12.5 ms, in whole hundredths

        Button("Halt")->click();
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(hub->status().Panel(1), std::string());
        QCOMPARE(Button("Record")->text(), QString("Record"));
        QVERIFY(Child<QLabel>(*w, "pbcounter")->isHidden());
        QVERIFY(messages.isEmpty());
        ExpectIdle();
    }

    void overwriteQuestionNoLeavesTheFileUntouched() {
        hub->connected = true;
        hub->status().SetPanel(1, kMonitoring);
        std::ofstream(File("old.qm1")) << "keep me";
        Open(File("old.qm1"));
        QStringList asked;
        w->SetOverwriteQuestion([&](const QString& text, const QString& title,
                                    const std::function<void(bool)>& answered) {
            asked << title + "|" + text;
            answered(false);
        });
        Button("Record")->click();
        QCOMPARE(asked, QStringList{"Warning|File exists.  Overwrite?"});
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(w->state(), LoggingState::Declined);
        QCOMPARE(quelm::testing::Slurp(File("old.qm1")), std::string("keep me"));
        QCOMPARE(hub->status().Panel(1), std::string(kMonitoring));
        // Yes replaces it: the dashboard's box test.
    }

    void aTypedNameGoesToTheLogsFolderWithTheExtension() {
        const QByteArray home = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dir->path().toUtf8());
        hub->connected = true;
        LogFile()->setText(" run9 ");
        Button("Record")->click();
        const auto expected = File("quelm/logs/run9.qm1");
        QCOMPARE(LogFile()->text(), QString::fromStdString(expected.string()));
        QVERIFY(hub->recorder().Recording());
        QVERIFY(std::filesystem::exists(expected));
        qputenv("XDG_DATA_HOME", home);
    }

    // A failed write and the time limit each end the recording with their message; Stop then
    // returns to Idle.
    void aWriteFailureOrTheTimeLimitStopsTheRecording() {
        hub->connected = true;
        const auto sub = File("sub");
        std::filesystem::create_directory(sub);
        Open(sub / "run.qm1");
        Button("Record")->click();
        FeedFrames(3);
        // The log is replaced by a folder: the next write fails.
        std::filesystem::remove(sub / "run.qm1");
        std::filesystem::create_directory(sub / "run.qm1");
        FeedFrames(2);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.front().endsWith("Logging Stopped."));
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(Buttons(), QString("0001"));
        QCOMPARE(Button("Record")->text(), QString("Record"));
        Button("Halt")->click();

        messages.clear();
        Open(File("long.qm1"));
        Button("Record")->click();
        FeedFrames(2);
        hub->rt.Advance(167773.0);
        FeedFrames(1);
        QCOMPARE(messages, QStringList{kLogTimeLimitMessage});
        QCOMPARE(w->state(), LoggingState::LimitReached);
        QCOMPARE(Buttons(), QString("0001"));
        Button("Halt")->click();
        ExpectIdle();
    }

    void playsEveryRecordOnceAtOnceWithTheSliderRange() {
        OpenRun(600);
        int maximum = 0;
        bool sliderShownDisabled = true;
        hub->rt.onYield = [&] {
            maximum = Slider()->maximum();
            sliderShownDisabled = sliderShownDisabled && Slider()->isVisible() &&
                                  !Slider()->isEnabled() && Buttons() == "0011";
        };
        const double pressed = hub->rt.Now();
        Button("Play")->click();

        QCOMPARE(Stamps(), Range(1, 600));
        QVERIFY(hub->shown.back().shownAt - pressed < 1.0);  // unpaced: 6 s of log at once
        QCOMPARE(hub->shown.back().scopeTime, 6.0);
        QCOMPARE(maximum, 600);  // the range itself is PlaybackSliderRange's test
        QVERIFY(sliderShownDisabled);
        QCOMPARE(hub->resets, 1);
        QCOMPARE(hub->status().Panel(1), std::string(kLogPlayback));
        QCOMPARE(hub->status().Panel(2), std::string(kComStopped));
        QCOMPARE(Label("fs"), QString("28.8"));
        QCOMPARE(Label("records"), QString("600"));
        QCOMPARE(Label("duration"), QString("0:00:06.00"));
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
            } else if (step == 2) {
                step = 3;
                w->PlaybackKeyPressed("Left");  // one record back, shown as the slider shows
                QCOMPARE(Slider()->value(), 99);
            } else if (step == 3) {
                step = 4;
                shownAtResume = hub->shown.size();
                Button("Play")->click();  // only clears the pause
                QVERIFY(!Slider()->isEnabled());
            }
        };
        Button("Play")->click();

        QCOMPARE(step, 4);
        const std::vector<std::uint32_t> stamps = Stamps();
        std::vector<std::uint32_t> expected = Range(1, 10);
        expected.insert(expected.end(), {100, 99});
        QCOMPARE(std::vector<std::uint32_t>(stamps.begin(), stamps.begin() + 12), expected);
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
        QCOMPARE(Stamps(), Range(300, 600));
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
        QCOMPARE(Stamps(), Range(1, 6));
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
        QCOMPARE(Stamps(), Range(1, 3));
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

    // An empty log, and a log while an export runs, play nothing and leave the window Idle.
    void emptyLogOrARunningExportPlaysNothing() {
        WriteLog(File("empty.qm1"), 0);
        Open(File("empty.qm1"));
        Button("Play")->click();
        QVERIFY(messages.isEmpty());
        QVERIFY(hub->shown.empty());
        ExpectIdle();

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

    void closingTheWindowStopsPlaybackAfterTheRecordInHand() {
        OpenRun(600);
        hub->rt.onYield = [&] {
            if (hub->shown.size() == 20) {
                w->close();
            }
        };
        Button("Play")->click();
        QCOMPARE(hub->shown.size(), std::size_t{20});
        ExpectIdle();
    }

    void exportsEveryRecordBesideTheLog() {
        WriteLog(File("run1.qm1"), 3, [](std::uint32_t n) { return n * 617; });
        const auto ex = MakeExport(File("run1.qm1"));
        QStringList seen;
        hub->rt.onYield = [&] { seen << Child<QLabel>(*ex, "Status")->text(); };
        Child<QPushButton>(*ex, "BrowseSRC")->click();

        QCOMPARE(exportAsked, (QStringList{"Browse", "Quelm Files (*.qm*)"}));
        // What the lines hold is the CSV export's unit test.
        const std::string csv = quelm::testing::Slurp(File("run1.csv"));
        QVERIFY(csv.starts_with(kCsvHeader));
        QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 4L);
        QVERIFY(seen.contains("Processing Frame 1"));
        QCOMPARE(Child<QLabel>(*ex, "Status")->text(), QString("Done."));
        QCOMPARE(Child<QProgressBar>(*ex, "Progress")->value(), 100);
        QVERIFY(messages.isEmpty());
        QCOMPARE(hub->operations().Current(), LongOperation::None);
    }

    void cancelledExportDialogChangesNothing() {
        const auto ex = MakeExport({});
        Child<QPushButton>(*ex, "BrowseSRC")->click();
        QCOMPARE(Child<QLabel>(*ex, "Status")->text(), QString("Ready."));
        QVERIFY(messages.isEmpty());
    }

    // A running link or playback: the export is refused before the dialog, nothing is written.
    void exportRefusedWhileTheLinkOrAPlaybackRuns() {
        WriteLog(File("run1.qm1"), 3, [](std::uint32_t n) { return n; });
        const auto ex = MakeExport(File("run1.qm1"));
        for (const bool connected : {true, false}) {
            messages.clear();
            hub->connected = connected;
            std::optional<OperationRecord::Running> playing;
            if (!connected) {
                playing.emplace(hub->operations().Begin(LongOperation::Playback, {}));
            }
            Child<QPushButton>(*ex, "BrowseSRC")->click();
            QCOMPARE(messages.size(), 1);
            QVERIFY(!std::filesystem::exists(File("run1.csv")));
            QVERIFY(exportAsked.isEmpty());
            QVERIFY(Child<QPushButton>(*ex, "BrowseSRC")->isEnabled());
        }
    }

    void viewerShowsASmallLogWithItsGapsCursorAndMarkers() {
        // Records 1..50 stamped 0.10 .. 5.00 s; record 20 (2.00 s) fails its checksum.
        WriteLog(File("run.qm1"), 50, [](std::uint32_t n) { return n * 10; });
        {
            std::fstream log(File("run.qm1"), std::ios::in | std::ios::out | std::ios::binary);
            log.seekp(19 * 48 + 37);
            log.put('\x55');
        }
        std::ofstream(File("run.qm1.marks")) << "1.00\tstart\nbroken line\n9.99\tafter the end\n";

        const LiveConfig config;
        const CalibrationTables tables = BuiltInTables();
        LogViewer viewer(config, tables);
        viewer.SetMessageSink(quelm::testing::CollectMessages(messages));
        viewer.show();
        QSignalSpy loaded(&viewer, &LogViewer::loaded);
        viewer.Open(File("run.qm1"));
        QVERIFY(viewer.Loading());
        QVERIFY(loaded.wait(5000));

        QCPGraph* rpm = viewer.chart(0)->graph(0);
        QCOMPARE(rpm->data()->size(), 50);
        QVERIFY(std::isnan(rpm->data()->findBegin(2.0, false)->value));
        QVERIFY(!std::isnan(rpm->data()->findBegin(2.1, false)->value));

        // Both markers listed, only the one inside the log drawn, the bad line named.
        QCOMPARE(viewer.marks()->marks().size(), std::size_t{2});
        QCOMPARE(viewer.chart(0)->markers().Count(), 1);
        QCOMPARE(viewer.chart(0)->markers().X(0), 1.0);
        QVERIFY(messages.join('\n').contains("line 2: no tab between the time and the label"));

        QTableWidget* values = viewer.valueTable();
        viewer.SetCursor(2.05);
        QCOMPARE(values->item(1, 1)->text(), QString("20 (bad checksum)"));
        viewer.SetCursor(2.15);
        QCOMPARE(values->item(0, 1)->text(), QString("2.10"));
        QCOMPARE(values->item(1, 1)->text(), QString("21"));
        QVERIFY(!values->item(2, 1)->text().isEmpty());

        // Metric: the table and the charts convert and name the unit.
        viewer.SetUnits(DisplayUnits::Metric);
        viewer.Redraw();
        const std::size_t ect = *FindLogChannel("ECT");
        const int ectRow = 2 + static_cast<int>(ect);
        QCOMPARE(values->item(ectRow, 0)->text(), QString("ECT (C)"));
        QCOMPARE(values->item(ectRow, 1)->text().toStdString(),
                 TwoDecimalText((viewer.log()->values[ect][20] - 32) * 5.0 / 9));
        QCPGraph* mph = viewer.chart(1)->graph(0);
        QCOMPARE(mph->valueAxis()->label(), QString("MPH (km/h)"));
        QCOMPARE(mph->data()->at(30)->value,
                 viewer.log()->values[*FindLogChannel("MPH")][30] * 1.609344);

        // A log playback and export refuse gets their message; the log shown stays.
        messages.clear();
        viewer.Open(File("absent.qm1"));
        QCOMPARE(messages,
                 QStringList{QString::fromStdString(LogReader(File("absent.qm1")).Error())});
        QCOMPARE(viewer.log()->size(), std::size_t{50});
    }
};

QTEST_MAIN(LogWindowsTest)
#include "log_windows_test.moc"
