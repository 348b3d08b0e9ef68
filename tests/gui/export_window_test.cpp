#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QtTest>
#include <algorithm>
#include <memory>
#include <optional>

#include "common/long_operation.h"
#include "fake_app_hub.h"
#include "files/csv_export.h"
#include "files/gui/export_window.h"

using namespace quelm;
using quelm::testing::Child;
using quelm::testing::WriteLog;

class ExportWindowTest : public QObject, quelm::testing::HubWindow<Export> {
    Q_OBJECT

    QString answer_;
    QStringList asked_;

    QString Status() { return Child<QLabel>(*w, "Status")->text(); }
    void Choose(const std::filesystem::path& p) { answer_ = QString::fromStdString(p.string()); }

  private slots:
    void init() {
        Start();
        asked_.clear();
        w->SetFileChooser([this](const QString& title, const QString&, const QString& filter,
                                 const std::function<void(const QString&)>& answered) {
            asked_ << title << filter;
            answered(answer_);
        });
    }
    void cleanup() { Stop(); }

    void exportsEveryRecordBesideTheLog() {
        WriteLog(File("run1.qm1"), 3, [](std::uint32_t n) { return n * 617; });
        Choose(File("run1.qm1"));
        QStringList seen;
        hub->rt.onYield = [&] { seen << Status(); };
        Child<QPushButton>(*w, "BrowseSRC")->click();

        QCOMPARE(asked_, (QStringList{"Browse", "Quelm Files (*.qm*)"}));
        // What the lines hold is the CSV export's unit test.
        const std::string csv = quelm::testing::Slurp(File("run1.csv"));
        QVERIFY(csv.starts_with(kCsvHeader));
        QCOMPARE(std::count(csv.begin(), csv.end(), '\n'), 4L);
        QVERIFY(seen.contains("Processing Frame 1"));
        QCOMPARE(Status(), QString("Done."));
        QCOMPARE(Child<QProgressBar>(*w, "Progress")->value(), 100);
        QVERIFY(messages.isEmpty());
        QCOMPARE(hub->operations().Current(), LongOperation::None);
    }

    void cancelledDialogChangesNothing() {
        answer_.clear();
        Child<QPushButton>(*w, "BrowseSRC")->click();
        QCOMPARE(Status(), QString("Ready."));
        QVERIFY(messages.isEmpty());
    }

    // A running link or playback: the export is refused before the dialog, nothing is written.
    void refusedWhileTheLinkOrAPlaybackRuns() {
        WriteLog(File("run1.qm1"), 3, [](std::uint32_t n) { return n; });
        Choose(File("run1.qm1"));
        for (const bool connected : {true, false}) {
            messages.clear();
            hub->connected = connected;
            std::optional<OperationRecord::Running> playing;
            if (!connected) {
                playing.emplace(hub->operations().Begin(LongOperation::Playback, {}));
            }
            Child<QPushButton>(*w, "BrowseSRC")->click();
            QCOMPARE(messages.size(), 1);
            QVERIFY(!std::filesystem::exists(File("run1.csv")));
            QVERIFY(asked_.isEmpty());
            QVERIFY(Child<QPushButton>(*w, "BrowseSRC")->isEnabled());
        }
    }
};

QTEST_MAIN(ExportWindowTest)
#include "export_window_test.moc"
