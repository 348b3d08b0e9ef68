#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QtTest>
#include <memory>

#include "common/status_texts.h"
#include "fake_app_hub.h"
#include "files/gui/logging_window.h"

using namespace quelm;
using quelm::testing::Child;

namespace {

using namespace status_text;

std::uintmax_t Size(const std::filesystem::path& p) {
    std::error_code ec;
    return std::filesystem::file_size(p, ec);
}

}  // namespace

class LoggingRecordTest : public QObject, quelm::testing::HubWindow<Logging> {
    Q_OBJECT

    QPushButton* Button(const char* name) { return Child<QPushButton>(*w, name); }
    QLineEdit* LogFile() { return Child<QLineEdit>(*w, "LogFile"); }
    QString Label(const char* name) { return Child<QLabel>(*w, name)->text(); }
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

  private slots:
    void init() { Start(); }
    void cleanup() { Stop(); }

    void opensIdle() {
        QCOMPARE(LogFile()->text(), QString());
        QCOMPARE(Buttons(), QString("1100"));
        QVERIFY(!Child<QCheckBox>(*w, "realtime")->isChecked());
        QVERIFY(Child<QSlider>(*w, "Slider")->isHidden());
        for (const char* name : {"pbcounter", "LogTime", "fs"}) {
            QCOMPARE(Label(name), QString("0"));
        }
        // The keys reach the window's shortcuts rather than the file box: M marks.
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
        QString title, folder, filter;
        QString answer;
        w->SetFileChooser([&](const QString& t, const QString& d, const QString& f,
                              const std::function<void(const QString&)>& answered) {
            title = t;
            folder = d;
            filter = f;
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
        QCOMPARE(title, QString("Browse"));
        QCOMPARE(filter, QString("Quelm Files (*.qm1)"));
        QVERIFY(folder.endsWith("quelm/logs"));

        Button("New")->click();  // a fresh dated name in the same folder
        const QFileInfo fresh(LogFile()->text());
        QCOMPARE(fresh.absolutePath(), folder);
        QVERIFY2(
            QRegularExpression("^quelm-\\d{8}-\\d{6}\\.qm1$").match(fresh.fileName()).hasMatch(),
            qPrintable(fresh.fileName()));
    }

    void recordWhileDisconnectedConnectsInstead() {
        LogFile()->setText(QString::fromStdString(File("run.qm1").string()));
        Button("Record")->click();
        QCOMPARE(messages, QStringList{kRecordNeedsLinkMessage});
        QCOMPARE(hub->connectClicks, 1);
        QVERIFY(!hub->recorder().Recording());
        QVERIFY(!std::filesystem::exists(File("run.qm1")));
        QCOMPARE(Buttons(), QString("1100"));
    }

    void recordingFiveHundredFrames() {
        hub->connected = true;
        int started = 0;
        w->recordingStarted = [&] { ++started; };
        LogFile()->setText(QString::fromStdString(File("run.qm1").string()));
        Button("Record")->click();
        QVERIFY(hub->recorder().Recording());
        QCOMPARE(started, 1);
        QVERIFY(!Button("New")->isEnabled());  // the recorder keeps the file it opened
        QCOMPARE(hub->status().Panel(1), std::string(kRecording));
        QCOMPARE(Buttons(), QString("0001"));
        QCOMPARE(Label("pbcounter"), QString("0"));
        QCOMPARE(Button("Record")->text(), QString::fromUtf8(kRecordingCaption));

        FeedFrames(500);
        QCOMPARE(Size(File("run.qm1")), std::uintmax_t{24000});
        QCOMPARE(Label("pbcounter"), QString("501"));
        QCOMPARE(Label("fs"), QString("24"));
        QCOMPARE(Label("LogTime"), QString("6.23"));  // 499 x 12.5 ms, in whole hundredths
        QCOMPARE(Label("clock"), QString("0:00:06.23"));

        Button("Halt")->click();
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(hub->status().Panel(1), std::string());
        QCOMPARE(Buttons(), QString("1100"));
        QCOMPARE(Button("Record")->text(), QString("Record"));
        QVERIFY(Child<QLabel>(*w, "pbcounter")->isHidden());
        QVERIFY(messages.isEmpty());
    }

    void overwriteQuestionNoLeavesTheFileUntouched() {
        hub->connected = true;
        hub->status().SetPanel(1, kMonitoring);
        std::ofstream(File("old.qm1")) << "keep me";
        LogFile()->setText(QString::fromStdString(File("old.qm1").string()));
        QStringList asked;
        bool yes = false;
        w->SetOverwriteQuestion([&](const QString& text, const QString& title,
                                    const std::function<void(bool)>& answered) {
            asked << title + "|" + text;
            answered(yes);
        });
        Button("Record")->click();
        QCOMPARE(asked, QStringList{"Warning|File exists.  Overwrite?"});
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(w->state(), LoggingState::Declined);
        QCOMPARE(Buttons(), QString("1101"));
        QCOMPARE(Size(File("old.qm1")), std::uintmax_t{7});
        QCOMPARE(hub->status().Panel(1), std::string(kMonitoring));

        yes = true;
        Button("Record")->click();
        QVERIFY(hub->recorder().Recording());
        QCOMPARE(Size(File("old.qm1")), std::uintmax_t{0});
    }

    void anUnusableNameIsReportedAndNothingRecords() {
        hub->connected = true;
        hub->status().SetPanel(1, kMonitoring);
        Button("Record")->click();  // no name given
        QCOMPARE(messages.size(), 1);
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(Buttons(), QString("1100"));
        QCOMPARE(Button("Record")->text(), QString("Record"));
        QCOMPARE(hub->status().Panel(1), std::string(kMonitoring));
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

    void aWriteFailureStopsTheRecordingAndKeepsTheRecords() {
        hub->connected = true;
        const auto sub = File("sub");
        std::filesystem::create_directory(sub);
        LogFile()->setText(QString::fromStdString((sub / "run.qm1").string()));
        Button("Record")->click();
        FeedFrames(3);
        QCOMPARE(Size(sub / "run.qm1"), std::uintmax_t{144});
        // The log is replaced by a folder: the next write fails.
        std::filesystem::remove(sub / "run.qm1");
        std::filesystem::create_directory(sub / "run.qm1");
        FeedFrames(2);
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages.front().endsWith("Logging Stopped."));
        QVERIFY(!hub->recorder().Recording());
        QCOMPARE(Buttons(), QString("0001"));
        QCOMPARE(Button("Record")->text(), QString("Record"));
    }

    void timeLimitShowsItsMessage() {
        hub->connected = true;
        LogFile()->setText(QString::fromStdString(File("long.qm1").string()));
        Button("Record")->click();
        FeedFrames(2);
        hub->rt.Advance(167773.0);
        FeedFrames(1);
        QCOMPARE(messages, QStringList{kLogTimeLimitMessage});
        QCOMPARE(Size(File("long.qm1")), std::uintmax_t{96});
        QCOMPARE(w->state(), LoggingState::LimitReached);
        QCOMPARE(Buttons(), QString("0001"));
        Button("Halt")->click();
        QCOMPARE(Buttons(), QString("1100"));
    }
};

QTEST_MAIN(LoggingRecordTest)
#include "logging_record_test.moc"
